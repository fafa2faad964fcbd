#pragma once
// Shared by the record-window tests: a demo folder in a temporary directory, opened the way the
// main window's start-up and menu click open it, and helpers to read the window's controls.

#include "DemoFolder.h"
#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Boxes.h"
#include "records/Form3.h"
#include "shell/DbFile.h"
#include "shell/Module1.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace fixture {

inline QString samplePath(const QTemporaryDir& dir)
{
    return dir.filePath(demo::sampleBookName());
}

// The common database and its era table, as the main window opens them at start.
inline void openCommon(const QString& folder)
{
    Module1::OpenCommonDatabase(folder + QStringLiteral("/共通情報/共通情報.mdb"));
}

// A book and its settings, as a main-menu click opens them and publishes them.
inline void openBook(const QString& path, db::OpenMode mode = db::OpenMode::ReadWrite)
{
    using namespace Module1;
    if (mode == db::OpenMode::ReadWrite) {
        PublishCurrentBook(path);
        return;
    }
    CurrentDb = db::Database::open(path, mode);
    BookSettingsRs = CurrentDb.openRecordset(QStringLiteral("管理情報"), db::RecordsetType::Table);
    DbFile f;
    f.FullPath = path;
    SplitDbFilePath(f, f);
    CurrentDbFile = f;
    CurrentDbFileCopy = f;
}

inline void closeShared()
{
    Module1::BookSettingsRs = db::Recordset();
    Module1::CurrentDb = db::Database();
    Module1::EraRs = db::Recordset();
    Module1::CommonSettingsRs = db::Recordset();
    Module1::CommonDb = db::Database();
}

// Runs a statement on a book file directly, outside any window.
inline void exec(const QString& book, const QString& sql, const QVariantList& params = {})
{
    db::Database d = db::Database::open(book);
    d.execute(sql, params);
}

// The first column of the first row of a SELECT on a book file.
inline QVariant scalar(const QString& book, const QString& sql)
{
    db::Database d = db::Database::open(book);
    db::Recordset rs = d.openRecordset(sql, db::RecordsetType::Snapshot);
    return rs.eof() ? QVariant() : rs.value(rs.fieldNames().first());
}

inline QWidget* control(QWidget* window, const QString& objectName)
{
    auto* w = window->findChild<QWidget*>(objectName);
    if (!w)
        qWarning("no control %s", qPrintable(objectName));
    return w;
}

// What a control shows: a box's text, a label's or button's caption, a frame's title.
inline QString shown(QWidget* window, const QString& objectName)
{
    QWidget* w = control(window, objectName);
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    return records::BoxText(w);
}

inline bool checked(QWidget* window, const QString& objectName)
{
    auto* b = qobject_cast<QAbstractButton*>(control(window, objectName));
    return b && b->isChecked();
}

// What a test class of the record window holds: scripted dialogs for the run, a fresh sample
// folder for each test, and the window loaded the way the main menu loads it.
class WindowCase {
protected:
    ui::ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::ScopedDialogs> scope;
    std::unique_ptr<QTemporaryDir> dir;
    QString book;

    void startCase(const QDate& today = QDate(2024, 4, 1))
    {
        dialogs = new ui::ScriptedDialogs(today);
        scope = std::make_unique<ui::ScopedDialogs>(dialogs);
    }
    void endCase()
    {
        scope.reset();
        delete dialogs;
        dialogs = nullptr;
    }
    void freshFolder()
    {
        dir = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(demo::makeSampleFolder(dir->path(), &error), qPrintable(error));
        book = samplePath(*dir);
    }
    // Nothing may have been asked that the test did not expect.
    void dropFolder()
    {
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(QLatin1Char('\n'))));
        dialogs->clearRecord();
        closeShared();
        dir.reset();
    }
    // The window on a book of the folder (the sample book when none is named).
    std::unique_ptr<Form3> load(const QString& path = {}, db::OpenMode mode = db::OpenMode::ReadWrite)
    {
        openCommon(dir->path());
        openBook(path.isEmpty() ? book : path, mode);
        auto w = std::make_unique<Form3>();
        w->formLoad();
        return w;
    }
};

} // namespace fixture
