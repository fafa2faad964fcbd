// Registration of mail senders as personal records.

#include "mail/SenderRegistration.h"

#include "platform/db/Inserter.h"
#include "platform/db/Schema.h"
#include "platform/ui/Dialogs.h"
#include "shell/Helpers.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>

#include <QFile>

#include <cerrno>
#include <limits>
#include <sys/stat.h>

namespace mail {

namespace {

const QString kTitle = QStringLiteral("住所録登録");

int fieldSize(const QString& name)
{
    for (const db::schema::FieldDef& f : db::schema::personFields())
        if (f.name == name)
            return f.size;
    return 0;
}

int charBytes(QChar c)
{
    const ushort u = c.unicode();
    return (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) ? 1 : 2;
}

int byteLength(const QString& s)
{
    int n = 0;
    for (QChar c : s)
        n += charBytes(c);
    return n;
}

// The text cut to at most `bytes` Shift-JIS bytes, never inside a character.
QString cutToBytes(const QString& s, int bytes)
{
    int n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        int w = charBytes(s[i]);
        qsizetype len = 1;
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            len = 2, w = 2;
        if (n + w > bytes)
            return s.left(i);
        n += w;
        i += len - 1;
    }
    return s;
}

QString storedAddress(const QString& address)
{
    return address.startsWith(QLatin1String("SMTP:")) ? address.mid(5) : address;
}

QDate firstDay(const QString& text)
{
    const QString day = text.section(QLatin1Char(' '), 0, 0);
    QDate d = QDate::fromString(day, QStringLiteral("yyyy/MM/dd"));
    if (!d.isValid())
        d = QDate::fromString(day, QStringLiteral("yyyy/M/d"));
    return d;
}

// One level made unless it exists: a single call, since a book of 100,000 records has
// 200,000 folders to look at. A folder that cannot be made is passed over.
void ensureFolder(const QString& path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0 && errno != EEXIST)
        Module1::EnsureFolder(path);
}

QString errorText(const db::Error& e) { return QString::number(e.number()) + QLatin1Char('\n') + e.description(); }

} // namespace

RegistrationResult AddSenderRecords(const db::Database& book, const Module1::DbFile& bookFile,
                                    const QList<MailSender>& senders, bool replace)
{
    RegistrationResult r;
    const QString table = db::schema::personTableName();
    const QString quoted = QLatin1Char('"') + table + QLatin1Char('"');
    const int nameBytes = fieldSize(QStringLiteral("氏名"));
    const int mailBytes = fieldSize(QStringLiteral("Eメール"));
    try {
        // Checks before anything is written.
        qint64 start = 0;
        if (!replace)
            start = qMax<qint64>(0, book.scalar(QStringLiteral("SELECT MAX(\"会員NO\") FROM ") + quoted).toLongLong());
        QList<const MailSender*> kept;
        for (const MailSender& s : senders) {
            if (mailBytes > 0 && byteLength(storedAddress(s.SenderAddress)) > mailBytes)
                ++r.leftOut;
            else
                kept << &s;
        }
        // Nothing to add: a replacing registration must not empty the book for nothing.
        if (kept.isEmpty()) {
            r.ok = true;
            return r;
        }
        if (start + kept.size() > std::numeric_limits<qint32>::max()) {
            r.error = QStringLiteral("0\n会員NOが 2147483647 を超えるため登録できません");
            return r;
        }

        book.beginTrans();
        try {
            if (replace)
                book.execute(QStringLiteral("DELETE FROM ") + quoted);
            db::Inserter ins(book, table);
            const int fNo = ins.field(QStringLiteral("会員NO"));
            const int fDate = ins.field(QStringLiteral("登録日"));
            const int fKind = ins.field(QStringLiteral("会員区分"));
            const int fKana = ins.field(QStringLiteral("フリガナ"));
            const int fName = ins.field(QStringLiteral("氏名"));
            const int fMail = ins.field(QStringLiteral("Eメール"));
            const int fMobile = ins.field(QStringLiteral("携帯Eメール"));
            qint64 n = start;
            for (const MailSender* s : std::as_const(kept)) {
                ++n;
                ins.setValue(fNo, n);
                const QDate d = firstDay(s->FirstDate);
                if (d.isValid())
                    ins.setValue(fDate, d);
                ins.setValue(fKind, 0);
                ins.setValue(fKana, QStringLiteral(""));
                QString name = s->SenderName.isEmpty()
                                   ? QStringLiteral("****** ") + QString::number(n).rightJustified(8, QLatin1Char('0')) +
                                         QStringLiteral(" ******")
                                   : s->SenderName;
                if (nameBytes > 0)
                    name = cutToBytes(name, nameBytes);
                ins.setValue(fName, name);
                if (!s->SenderAddress.isEmpty()) {
                    ins.setValue(fMail, storedAddress(s->SenderAddress));
                    ins.setValue(fMobile, storedAddress(s->SenderAddress));
                }
                ins.insert();
            }
            ins.finish();
            book.commitTrans();
            r.added = qint32(kept.size());
        } catch (...) {
            book.rollback();
            throw;
        }

        // Folders after the commit: a folder that cannot be made does not undo the records.
        r.ok = true;
        try {
            const QString dataFolder = bookFile.DataFolder.isEmpty()
                                           ? bookFile.Drive + bookFile.Folder + Module1::PathSeparator(bookFile) + bookFile.BaseName
                                           : bookFile.DataFolder;
            Module1::DbFile f = bookFile;
            f.DataFolder = dataFolder;
            Module1::EnsureFolder(dataFolder);
            db::Recordset numbers = book.openRecordset(QStringLiteral("SELECT \"会員NO\" FROM ") + quoted, db::RecordsetType::Snapshot);
            for (const QVariantList& row : numbers.readColumns({QStringLiteral("会員NO")})) {
                if (row.isEmpty() || row[0].isNull())
                    continue;
                const QString folder = Module1::RecordFolderPath(f, row[0].toLongLong());
                ensureFolder(folder);
                ensureFolder(folder + Module1::PathSeparator(f) + QStringLiteral("Preview"));
            }
        } catch (const db::Error& e) {
            r.folderError = errorText(e);
        }
    } catch (const db::Error& e) {
        r.ok = false;
        r.added = 0;
        r.error = errorText(e);
    }
    return r;
}

bool IsMailOnlyBook(const Module1::DbFile& bookFile)
{
    const QString name = bookFile.FileName;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.left(dot) == QStringLiteral("Ｅメール専用住所録") &&
           name.mid(dot + 1).compare(QLatin1String("mdb"), Qt::CaseInsensitive) == 0;
}

void ReportRegistration(const RegistrationResult& r)
{
    if (!r.ok) {
        ui::dialogs().message(QStringLiteral("住所録に登録できませんでした。住所録は登録前のままです。\n") + r.error, kTitle,
                              ui::Icon::Exclamation);
        return;
    }
    if (!r.folderError.isEmpty())
        ui::dialogs().message(QStringLiteral("住所録に登録しましたが、個人フォルダを作成できませんでした。\n") + r.folderError, kTitle,
                              ui::Icon::Exclamation);
    if (r.leftOut > 0)
        ui::dialogs().message(
            QStringLiteral("メールアドレスが長すぎるため登録しなかった差出人が %1 件あります。").arg(r.leftOut), kTitle);
}

bool RegisterSenders(const db::Database& book, const Module1::DbFile& bookFile, const QList<MailSender>& senders)
{
    ui::Dialogs& d = ui::dialogs();
    if (!IsMailOnlyBook(bookFile)) {
        d.message(QStringLiteral("Ｅメール専用住所録.mdbファイルでないので処理を中止します"), kTitle);
        return false;
    }
    // Without senders a replacing registration would only delete the book.
    if (senders.isEmpty()) {
        d.message(QStringLiteral("登録する差出人がありません"), kTitle);
        return false;
    }
    if (d.question(QStringLiteral("差出人一覧を専用の住所録ファイルに登録します"), kTitle) != ui::Answer::Yes)
        return false;
    bool replace = false;
    try {
        const bool hasRecords =
            book.scalar(QStringLiteral("SELECT 1 FROM \"") + db::schema::personTableName() + QStringLiteral("\" LIMIT 1")).isValid();
        if (hasRecords)
            replace = d.question(QStringLiteral("既存データを削除して新規に住所録登録しますか？（いいえの場合は追加処理）"),
                                 kTitle) == ui::Answer::Yes;
    } catch (const db::Error& e) {
        d.message(errorText(e), kTitle, ui::Icon::Exclamation);
        return false;
    }
    const RegistrationResult r = AddSenderRecords(book, bookFile, senders, replace);
    ReportRegistration(r);
    return r.ok;
}

bool RegisterSendersIntoEmptyBook(const db::Database& book, const Module1::DbFile& bookFile,
                                  const QList<MailSender>& senders, bool& askedThisLoad)
{
    if (askedThisLoad || senders.isEmpty())
        return false;
    try {
        if (book.scalar(QStringLiteral("SELECT 1 FROM \"") + db::schema::personTableName() + QStringLiteral("\" LIMIT 1")).isValid())
            return false;
    } catch (const db::Error& e) {
        ui::dialogs().message(errorText(e), kTitle, ui::Icon::Exclamation);
        return false;
    }
    askedThisLoad = true;
    if (ui::dialogs().question(QStringLiteral("住所録にデータがありません。受信メールの差出人を住所録に登録しますか？"), kTitle) !=
        ui::Answer::Yes)
        return false;
    const RegistrationResult r = AddSenderRecords(book, bookFile, senders, false);
    ReportRegistration(r);
    return r.ok;
}

} // namespace mail
