#pragma once
// Shared by the tests that work every window without the mouse: a demo folder made once and
// copied for each window, the windows opened as the program opens them, and a snapshot of what a
// window shows and the books hold, to compare two ways of working a control.

#include "DemoFolder.h"
#include "EditionFixture.h"
#include "edition/Profile.h"
#include "editions/Windows.h"
#include "mail/Form22.h"
#include "platform/db/Database.h"
#include "platform/text/Cp932.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "shell/Formats.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "tools/Form14.h"
#include "tools/ImageControl.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace kbfx {

inline const QStringList kWindows = {QStringLiteral("Form1"), QStringLiteral("Form2"),  QStringLiteral("Form3"),
                              QStringLiteral("Form4"), QStringLiteral("Form5"),  QStringLiteral("Form6"),
                              QStringLiteral("Form11"), QStringLiteral("Form14"), QStringLiteral("Form22")};

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

// Three plain messages from senders the books do not know.
inline void makeMaildir(const QString& folder)
{
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(sub));
    writeFile(folder + QStringLiteral("/cur/1000.a.host:2,S"),
              "From: Taro <taro@example.jp>\r\nTo: me@example.jp\r\nDate: Mon, 1 Apr 2024 10:00:00 +0900\r\n"
              "Subject: Meeting\r\n\r\nTomorrow.\r\n");
    writeFile(folder + QStringLiteral("/cur/1001.b.host:2,S"),
              "From: Hanako <hanako@example.com>\r\nTo: me@example.jp\r\nDate: Tue, 2 Apr 2024 09:30:00 +0900\r\n"
              "Subject: Photo\r\n\r\nPicture.\r\n");
    writeFile(folder + QStringLiteral("/new/1002.c.host"),
              "From: Taro <taro@example.jp>\r\nTo: me@example.jp\r\nDate: Wed, 3 Apr 2024 08:00:00 +0900\r\n"
              "Subject: Again\r\n\r\nOnce more.\r\n");
}

// Every row of a table as text, in a stable order.
inline QStringList tableRows(const QString& path, const QString& sql)
{
    QStringList out;
    const db::Database d = db::Database::open(path, db::OpenMode::ReadOnly);
    db::Recordset rs = d.openRecordset(sql, db::RecordsetType::Snapshot);
    const QStringList fields = rs.fieldNames();
    for (; !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (const QString& f : fields)
            cells << f + QLatin1Char('=') + rs.text(f);
        out << cells.join(u'|');
    }
    return out;
}

inline void toggleByAccessibility(QAbstractButton* b)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
    QVERIFY(a && a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

inline void pressByAccessibility(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a && a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

inline void makeActive(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Makes the page of a tab control that holds the widget the current one.
inline void bringForward(QWidget* w)
{
    for (QWidget* child = w; child && child->parentWidget(); child = child->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(child->parentWidget()->parentWidget()))
            if (tabs->indexOf(child) >= 0)
                tabs->setCurrentWidget(child);
}


// A copy of a folder and everything under it.
inline bool copyFolder(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo& f : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = QDir(to).filePath(f.fileName());
        if (f.isDir() ? !copyFolder(f.filePath(), target) : !QFile::copy(f.filePath(), target))
            return false;
    }
    return true;
}

class Fixture {
protected:

    std::unique_ptr<QTemporaryDir> dir;
    QString templateFolder;  // the demo folder every window starts from, made once
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;
    QString savedCwd;
    Form1* menu = nullptr;

    QString folder() const { return dir->filePath(QStringLiteral("demo")); }
    QString book() const { return QDir(folder()).filePath(demo::sampleBookName()); }
    QString common() const { return QDir(folder()).filePath(QStringLiteral("共通情報/共通情報.mdb")); }

    // A fresh demo folder, always at the same path, and the main window loaded on it.
    void start(const QString& program)
    {
        editionfx::becomeProgram(program);
        QDir(folder()).removeRecursively();
        QVERIFY(copyFolder(templateFolder, folder()));
        // The copy's start-up file names the copy's book, not the template's.
        QVERIFY(text::writeCp932Lines(QDir(folder()).filePath(QStringLiteral("PMPath.txt")), {book()}, true).ok);
        makeMaildir(dir->filePath(QStringLiteral("Maildir")));
        qputenv("MAILDIR", dir->filePath(QStringLiteral("Maildir")).toLocal8Bit());
        QDir::setCurrent(folder());
        menu = ui::WindowRegistry::instance().reach<Form1>(QStringLiteral("Form1"));
        QVERIFY(menu);
        menu->show();
    }
    void stop()
    {
        ui::WindowRegistry::instance().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Module1::CloseSharedObjects();
        Module1::CurrentDbFile = Module1::CurrentDbFileCopy = Module1::DbFile{};
        QDir::setCurrent(savedCwd);
        menu = nullptr;
    }

    // Opens a window as the program does: from the menu, the dialler and the viewer from the
    // record window (on its first record, which has pictures).
    QWidget* open(const QString& name)
    {
        auto& registry = ui::WindowRegistry::instance();
        static const QHash<QString, int> menuCommand = {{QStringLiteral("Form22"), 0}, {QStringLiteral("Form3"), 1},
                                                        {QStringLiteral("Form4"), 2},  {QStringLiteral("Form5"), 3},
                                                        {QStringLiteral("Form2"), 4},  {QStringLiteral("Form6"), 6}};
        if (name == QStringLiteral("Form1"))
            return menu;
        if (menuCommand.contains(name)) {
            menu->Command1_Click(menuCommand.value(name));
            return registry.find(name);
        }
        auto* records = qobject_cast<Form3*>(open(QStringLiteral("Form3")));
        if (!records)
            return nullptr;
        if (name == QStringLiteral("Form11")) {
            // The record window's hand-over of its first record, without the modal wait.
            Module1::DialMemberNo = Module1::FormatMemberNo(records->cursor().record().value(QStringLiteral("会員NO")).toLongLong());
            Module1::DialDatabase = records->windowDb();
            QWidget* dialler = registry.reach(name);
            if (auto* home = dialler->findChild<QAbstractButton*>(QStringLiteral("Option1_0")))
                home->click();
        } else if (name == QStringLiteral("Form14"))
            records->Image1_Click();
        QWidget* w = registry.find(name);
        if (w)
            w->show();
        return w;
    }

    // What a window shows and what the books hold, to compare the effect of two ways of working it.
    QStringList snapshot(QWidget* w) const
    {
        QStringList out;
        out << QStringLiteral("title=") + w->windowTitle();
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const QString n = c->objectName();
            if (n.isEmpty() || n.startsWith(QLatin1String("qt_")))
                continue;
            if (auto* e = qobject_cast<QLineEdit*>(c))
                out << n + QLatin1Char('=') + e->text() + (e->isReadOnly() ? QStringLiteral(" (locked)") : QString());
            else if (auto* p = qobject_cast<QPlainTextEdit*>(c))
                out << n + QLatin1Char('=') + p->toPlainText();
            else if (auto* b = qobject_cast<QAbstractButton*>(c))
                out << n + QLatin1Char('=') + b->text() + (b->isChecked() ? QStringLiteral(" (on)") : QString())
                           + (b->isEnabled() ? QString() : QStringLiteral(" (off)"));
            else if (auto* l = qobject_cast<QLabel*>(c))
                out << n + QLatin1Char('=') + l->text();
            else if (auto* s = qobject_cast<QAbstractSlider*>(c))
                out << n + QStringLiteral("=%1/%2").arg(s->value()).arg(s->maximum());
            else if (auto* v = qobject_cast<QAbstractItemView*>(c); v && v->model()) {
                const QAbstractItemModel* m = v->model();
                out << n + QStringLiteral(" rows=%1").arg(m->rowCount());
                for (int r = 0; r < qMin(5, m->rowCount()); ++r)
                    for (int k = 0; k < m->columnCount(); ++k)
                        out << n + QStringLiteral("[%1,%2]=").arg(r).arg(k) + m->index(r, k).data().toString();
            }
        }
        out << tableRows(book(), QStringLiteral("SELECT * FROM \"管理情報\""));
        out << tableRows(book(), QStringLiteral("SELECT * FROM \"個人台帳\" ORDER BY \"会員NO\""));
        out << tableRows(common(), QStringLiteral("SELECT * FROM \"基本情報\""));
        for (const QString& name : kWindows)
            if (ui::WindowRegistry::instance().isLoaded(name))
                out << QStringLiteral("loaded ") + name;
        return out;
    }

    // The lines of two snapshots that differ, for a readable failure.
    static QString difference(const QStringList& a, const QStringList& b)
    {
        QStringList lines;
        for (const QString& l : a)
            if (!b.contains(l))
                lines << QStringLiteral("- ") + l;
        for (const QString& l : b)
            if (!a.contains(l))
                lines << QStringLiteral("+ ") + l;
        return lines.mid(0, 12).join(u'\n');
    }

    // The window of a row, ready to be worked: the record window in edit mode, where its
    // options store what they choose.
    QWidget* prepare(const QString& program, const QString& name)
    {
        start(program);
        QWidget* w = open(name);
        if (!w)
            return nullptr;
        if (auto* records = qobject_cast<Form3*>(w))
            records->Command9_Click(0);
        QCoreApplication::processEvents();
        return w;
    }

    void startFixture()
    {
        savedCwd = QDir::currentPath();
        dir = std::make_unique<QTemporaryDir>();
        templateFolder = dir->filePath(QStringLiteral("template"));
        QString error;
        QVERIFY2(demo::makeSampleFolder(templateFolder, &error), qPrintable(error));
    }
    void endFixture()
    {
        dir.reset();
        edition::setProfile(edition::InformationManagerProfile());
    }
    void startCase()
    {
        dialogs = std::make_unique<ui::ScriptedDialogs>(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
    }
    void endCase()
    {
        stop();
        const bool unexpected = dialogs->hadUnexpected();
        const QStringList failures = dialogs->failures();
        scope.reset();
        dialogs.reset();
        QVERIFY2(!unexpected, qPrintable(failures.join(u'\n')));
    }
};

} // namespace kbfx
