#pragma once
// Shared by the mail-window tests: a demo folder whose sample book holds three known records, a
// Maildir of a few known messages, and the window loaded as the main menu loads it.

#include "DemoFolder.h"
#include "MaildirMaker.h"
#include "mail/Form22.h"
#include "platform/db/Database.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace fixture {

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

inline QString encodedWord(const QString& text, const char* charset)
{
    const std::string bytes = maildirmaker::encodeText(text.toStdString(), charset);
    return QStringLiteral("=?%1?B?%2?=")
        .arg(QLatin1String(charset), QString::fromLatin1(QByteArray::fromStdString(bytes).toBase64()));
}

inline QByteArray encodedBody(const QString& text, const char* charset)
{
    return QByteArray::fromStdString(maildirmaker::encodeText(text.toStdString(), charset));
}

inline void writeMail(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The known Maildir, in the order of a sorted fetch (mail without a date first):
//  0 no date, unread, from "Taro Y" <taro@example.jp>, no subject, no body (UTF-8)
//  1 2024/04/01 10:00 read, from "山田 太郎" <taro@example.jp>, ISO-2022-JP subject and body
//  2 2024/04/02 09:30 unread (new), from "Hanako" <hanako@example.com>, Shift_JIS, one attachment
//  3 2024/04/03 08:00 read, from <unknown@elsewhere.org> without a name, EUC-JP, a header text
//    that tries to start a header of its own
inline void makeKnownMaildir(const QString& folder)
{
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(sub));
    writeMail(folder + "/cur/1000.a.host:2,",
              "From: Taro Y <taro@example.jp>\r\nTo: me@example.jp\r\nMIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=UTF-8\r\n\r\n");
    writeMail(folder + "/cur/1001.b.host:2,S",
              "From: " + encodedWord(QStringLiteral("山田 太郎"), "iso-2022-jp").toLatin1()
                  + " <taro@example.jp>\r\nTo: me@example.jp\r\nDate: Mon, 1 Apr 2024 10:00:00 +0900\r\n"
                    "Subject: " + encodedWord(QStringLiteral("会議のお知らせ"), "iso-2022-jp").toLatin1()
                  + "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"
                    "Content-Transfer-Encoding: 7bit\r\n\r\n" + encodedBody(QStringLiteral("明日は会議です。"), "iso-2022-jp")
                  + "\r\n");
    writeMail(folder + "/new/1002.c.host",
              "From: Hanako <hanako@example.com>\r\nTo: me@example.jp\r\nDate: Tue, 2 Apr 2024 09:30:00 +0900\r\n"
              "Subject: Photo\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
              "--XX\r\nContent-Type: text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
                  + encodedBody(QStringLiteral("写真を送ります"), "shift_jis")
                  + "\r\n--XX\r\nContent-Type: application/octet-stream\r\n"
                    "Content-Disposition: attachment; filename=\"a.txt\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                    "aGVsbG8=\r\n--XX--\r\n");
    writeMail(folder + "/cur/1003.d.host:2,S",
              "From: unknown@elsewhere.org\r\nTo: me@example.jp\r\nDate: Wed, 3 Apr 2024 08:00:00 +0900\r\n"
              "Subject: " + encodedWord(QStringLiteral("請求書 Invoice\r\nBcc: victim@example.jp"), "euc-jp").toLatin1()
                  + "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=EUC-JP\r\n"
                    "Content-Transfer-Encoding: 8bit\r\n\r\n" + encodedBody(QStringLiteral("お支払いください"), "euc-jp")
                  + "\r\n");
}

// The sample book with three known records (and nothing else).
inline void setKnownRecords(const QString& book)
{
    db::Database d = db::Database::open(book);
    d.execute(QStringLiteral("DELETE FROM \"個人台帳\""));
    const QString insert = QStringLiteral(
        "INSERT INTO \"個人台帳\" (\"会員NO\", \"氏名\", \"フリガナ\", \"市町村\", \"番地\", \"自宅電話\", \"携帯電話\", "
        "\"Eメール\", \"携帯Eメール\", \"メール送信拒否\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    d.execute(insert, {1, QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("横浜市"), QStringLiteral("1-2"),
                       QStringLiteral("045-111-2222"), QVariant(), QStringLiteral("old@example.jp;taro@example.jp"),
                       QVariant(), false});
    d.execute(insert, {2, QStringLiteral("佐藤花子"), QStringLiteral("ｻﾄｳ"), QVariant(), QVariant(), QVariant(),
                       QStringLiteral("090-1234-5678"), QVariant(), QStringLiteral("hanako.m@example.ne.jp"), true});
    d.execute(insert, {3, QStringLiteral("鈴木一郎"), QStringLiteral("ｱｵｷ"), QVariant(), QVariant(),
                       QStringLiteral("03-1111-2222"), QStringLiteral("080-0000-1111"), QVariant(), QVariant(), false});
}

class MailWindowCase {
protected:
    ui::ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::ScopedDialogs> scope;
    std::unique_ptr<QTemporaryDir> dir;
    QString book;
    QString maildir;

    void startCase()
    {
        qputenv("TZ", "Asia/Tokyo");
        dialogs = new ui::ScriptedDialogs(QDate(2024, 4, 5));
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
        book = dir->filePath(demo::sampleBookName());
        setKnownRecords(book);
        maildir = dir->filePath(QStringLiteral("Maildir"));
        makeKnownMaildir(maildir);
        qputenv("MAILDIR", maildir.toLocal8Bit());
    }
    void dropFolder()
    {
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(QLatin1Char('\n'))));
        dialogs->clearRecord();
        Module1::CloseSharedObjects();
        dir.reset();
    }
    std::unique_ptr<Form22> load(const QString& path = {})
    {
        Module1::OpenCommonDatabase(dir->path() + QStringLiteral("/共通情報/共通情報.mdb"));
        Module1::PublishCurrentBook(path.isEmpty() ? book : path);
        auto w = std::make_unique<Form22>();
        w->formLoad();
        return w;
    }
};

} // namespace fixture
