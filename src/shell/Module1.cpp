#include "shell/Module1.h"

#include "platform/shell/Opener.h"
#include "platform/text/Cp932.h"
#include "platform/ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace Module1 {

QList<Era> LoadEras()
{
    QList<Era> eras;
    if (!EraRs.isOpen() || EraRs.recordCount() == 0)
        return eras;
    for (EraRs.moveFirst(); !EraRs.eof(); EraRs.moveNext())
        eras.append(Era{EraRs.text(QStringLiteral("和暦名称")), EraRs.value(QStringLiteral("年号")).toDate()});
    EraRs.moveFirst();
    return eras;
}

QString JapaneseEraYear(const QDate& date)
{
    return JapaneseEraYear(LoadEras(), date, &EraDate);
}

int DisplayOrderNumber(const QVariant& stored)
{
    bool ok = false;
    const int n = stored.toString().trimmed().toInt(&ok);
    return ok && n >= 1 && n <= 6 ? n : 1;
}

QString PmPathFile(const QString& startDir)
{
    return QDir(startDir.isEmpty() ? QStringLiteral("/") : startDir).filePath(QStringLiteral("PMPath.txt"));
}

PmPathRead ReadPmPath(const QString& startDir)
{
    PmPathRead r;
    const QString file = PmPathFile(startDir);
    if (!QFileInfo(file).isFile())
        return r;
    r.exists = true;
    const text::ReadResult read = text::readCp932File(file);
    if (read.ok) {
        const QStringList lines = text::splitLines(read.content);
        if (!lines.isEmpty())
            r.path = lines.first();
    }
    return r;
}

bool WritePmPath(const QString& startDir, const QString& fullPath, QString* error)
{
    const text::WriteResult w = text::writeCp932Lines(PmPathFile(startDir), {fullPath}, true);
    if (w.ok)
        return true;
    if (error) {
        *error = w.substituted > 0
            ? QStringLiteral("パスにシフトJISで保存できない文字が含まれているため、PMPath.txt に保存できません。\n")
                  + fullPath
            : QStringLiteral("PMPath.txt に書き込めません。\n") + w.error;
    }
    return false;
}

void PublishCurrentBook(const DbFile& book)
{
    // Both are opened first: a book that cannot be opened leaves the current one in place.
    db::Database opened = db::Database::open(book.FullPath);
    db::Recordset settings = opened.openRecordset(QStringLiteral("管理情報"), db::RecordsetType::Table);
    CurrentDb = opened;
    BookSettingsRs = settings;
    CurrentDbFile = book;
    CurrentDbFileCopy = book;
}

void PublishCurrentBook(const QString& path)
{
    DbFile f;
    f.FullPath = path;
    SplitDbFilePath(f, f);
    PublishCurrentBook(f);
}

void OpenCommonDatabase(const QString& path)
{
    db::Database common = db::Database::open(path);
    CommonSettingsRs = common.openRecordset(QStringLiteral("基本情報"), db::RecordsetType::Table);
    EraRs = common.openRecordset(QStringLiteral("年号ｺｰﾄﾞ"), db::RecordsetType::Snapshot);
    CommonDb = common;
}

void ReportError(int number, const QString& description)
{
    ui::dialogs().message(QString::number(number) + QStringLiteral("\n") + description, {}, ui::Icon::Exclamation);
}

void ReportError(const db::Error& e) { ReportError(e.number(), e.description()); }

void CloseSharedObjects()
{
    BookSettingsRs.close();
    CommonSettingsRs.close();
    EraRs.close();
    CurrentDb.close();
    CommonDb.close();
}

bool OpenUrl(const QString& address)
{
    // Refused at once or ended with a failure later (no browser on the desktop): one box alike.
    const auto reportFailure = [address](const QString& failure) {
        if (!failure.isEmpty())
            ui::dialogs().message(QStringLiteral("Webページを開けません。\n") + address + QStringLiteral("\n") + failure,
                                  {}, ui::Icon::Exclamation);
    };
    QString error;
    if (desktop::opener().openUrl(address, &error, reportFailure))
        return true;
    reportFailure(error);
    return false;
}

} // namespace Module1
