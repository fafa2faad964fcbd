#pragma once
// Shared by the edition tests: the windows and profile of either program, a fresh folder and
// scripted dialogs per test, and small books made through the engine's schema.

#include "edition/Profile.h"
#include "editions/Windows.h"
#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"
#include "shell/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace editionfx {

// Makes the running program the one named: its profile, its windows, its message-box title.
inline void becomeProgram(const QString& program)
{
    if (program == QStringLiteral("adrovia")) {
        edition::setProfile(edition::AddressBookProfile());
        editions::RegisterAdroviaWindows();
    } else {
        edition::setProfile(edition::InformationManagerProfile());
        editions::RegisterKartoviaWindows();
    }
    ui::setProgramTitle(edition::profile().ProgramTitle);
}

inline void makeCommon(const QString& folder)
{
    QDir(folder).mkpath(QStringLiteral("共通情報"));
    QString error;
    if (!db::schema::createCommonDatabase(folder + QStringLiteral("/共通情報/共通情報.mdb"), &error))
        qFatal("cannot create the common database: %s", qPrintable(error));
}

// A book with a title (Null when title is null); returns its path.
inline QString makeBook(const QString& path, const QVariant& title = QStringLiteral("名簿"))
{
    QString error;
    if (!db::schema::createAddressBook(path, title.toString(), &error))
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(error));
    if (title.isNull())
        db::Database::open(path).execute(QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = NULL"));
    return path;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

// One value of a book, read through a connection of its own.
inline QVariant scalar(const QString& book, const QString& sql)
{
    const db::Database d = db::Database::open(book, db::OpenMode::ReadOnly);
    db::Recordset rs = d.openRecordset(sql, db::RecordsetType::Snapshot);
    return rs.eof() ? QVariant() : rs.value(rs.fieldNames().first());
}

class Case {
protected:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;
    QString savedCwd;

    QString folder() const { return dir->path(); }

    void startCase(const QDate& today = QDate(2024, 4, 1))
    {
        savedCwd = QDir::currentPath();
        dir = std::make_unique<QTemporaryDir>();
        dialogs = std::make_unique<ui::ScriptedDialogs>(today);
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
    }
    // Nothing may have been asked that the test did not expect.
    void endCase()
    {
        ui::WindowRegistry::instance().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Module1::CloseSharedObjects();
        Module1::CurrentDbFile = Module1::CurrentDbFileCopy = Module1::DbFile{};
        QDir::setCurrent(savedCwd);
        const bool unexpected = dialogs->hadUnexpected();
        const QStringList failures = dialogs->failures();
        scope.reset();
        dialogs.reset();
        dir.reset();
        QVERIFY2(!unexpected, qPrintable(failures.join(QLatin1Char('\n'))));
    }
};

} // namespace editionfx
