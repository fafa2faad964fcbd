#pragma once
// A small address book and the shared state the main menu leaves before it shows the settings
// window; helpers to drive the window's boxes.

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/DbFile.h"
#include "shell/Form2.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace form2test {

inline const QString TooLong = QStringLiteral("入力データが不正またはデータが長すぎます");

struct Category {
    QVariant code;
    QVariant name;
};

// Creates a book with a title (Null when title is null) and categories; returns its path.
inline QString makeBook(const QString& path, const QVariant& title, const QList<Category>& categories = {})
{
    QString error;
    if (!db::schema::createAddressBook(path, title.toString(), &error))
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(error));
    const db::Database d = db::Database::open(path);
    if (title.isNull())
        d.execute(QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = NULL"));
    for (const Category& c : categories)
        d.execute(QStringLiteral("INSERT INTO \"会員区分ｺｰﾄﾞ表\" VALUES (?, ?)"), {c.code, c.name});
    return path;
}

// What the main menu does before it shows a window: the book becomes current.
inline void openAsMenu(const QString& path)
{
    Module1::PublishCurrentBook(path);
}

inline void resetShared()
{
    Module1::BookSettingsRs.close();
    Module1::CurrentDb.close();
    Module1::CurrentDbFile = Module1::CurrentDbFileCopy = Module1::DbFile{};
}

// Loads the window as the registry would and shows it, active, so that focus works offscreen.
inline std::unique_ptr<Form2> loadWindow()
{
    auto w = std::make_unique<Form2>();
    w->formLoad();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("settings window did not become active");
    return w;
}

// Reads one value of a book through a connection of its own.
inline QVariant read(const QString& path, const QString& sql)
{
    const db::Database d = db::Database::open(path, db::OpenMode::ReadOnly);
    db::Recordset rs = d.openRecordset(sql, db::RecordsetType::Snapshot);
    return rs.eof() ? QVariant() : rs.value(rs.fieldNames().first());
}

inline QVariant title(const QString& path)
{
    return read(path, QStringLiteral("SELECT \"タイトル\" FROM \"管理情報\""));
}

inline QVariant caption(const QString& path, const QString& field)
{
    return read(path, QStringLiteral("SELECT \"%1\" FROM \"住所録ラベル\"").arg(field));
}

inline QStringList categories(const QString& path)
{
    const db::Database d = db::Database::open(path, db::OpenMode::ReadOnly);
    db::Recordset rs = d.openRecordset(
        QStringLiteral("SELECT \"会員区分コード\", \"会員区分名称\" FROM \"会員区分ｺｰﾄﾞ表\" ORDER BY 1"),
        db::RecordsetType::Snapshot);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext())
        rows << rs.text(QStringLiteral("会員区分コード")) + QLatin1Char(':')
                    + (rs.isNull(QStringLiteral("会員区分名称")) ? QStringLiteral("<null>")
                                                                 : rs.text(QStringLiteral("会員区分名称")));
    return rows;
}

// Enters a box the way Tab does, types the text in place of its own, and leaves it by Tab for the
// close button (which does nothing on getting the focus).
inline void typeAndLeave(Form2& w, QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    box->setText(text);
    w.command2(9)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}

inline void setEditMode(Form2& w, bool on)
{
    if (w.editMode() != on)
        w.Command2_Click(0);
}

// What each settings-window test class holds: a fresh folder and scripted dialogs per test.
class Case {
protected:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;
    QString book;

    void startTest()
    {
        dir = std::make_unique<QTemporaryDir>();
        dialogs = std::make_unique<ui::ScriptedDialogs>(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
    }
    // Nothing may have been asked that the test did not expect.
    void endTest()
    {
        resetShared();
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join('\n')));
        scope.reset();
        dialogs.reset();
        dir.reset();
    }
};

} // namespace form2test
