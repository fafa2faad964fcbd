// Registering mail senders as records: replacing and appending, the whole registration undone
// when the database fails midway, only the mail-only book accepted, the empty-book question
// asked once per load, over-long names cut and over-long addresses left out.

#include "mail/SenderRegistration.h"

#include "platform/db/Database.h"
#include "platform/db/Inserter.h"
#include "platform/db/Schema.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/DbFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace mail;

Q_DECLARE_METATYPE(mail::MailSender)

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QList<MailSender> kSenders = {
    {"2026/12/01 09:00", "2026/12/03 09:00", 3, "山田", "SMTP:yamada@example.jp"},
    {"2001/1/1 00:00", "2001/1/1 00:00", 1, "", "anon@example.jp"},
};

} // namespace

class TestSenderRegistration : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int n_ = 0;

    // A book with the given file name and records numbered as listed.
    Module1::DbFile makeBook(const QString& fileName, const QList<qint64>& numbers)
    {
        const QString folder = dir_.path() + "/b" + QString::number(++n_);
        QDir().mkpath(folder);
        Module1::DbFile src;
        src.FullPath = folder + "/" + fileName;
        QString error;
        if (!db::schema::createAddressBook(src.FullPath, "t", &error))
            qFatal("%s", qPrintable(error));
        db::Database book = db::Database::open(src.FullPath);
        db::Inserter ins(book, db::schema::personTableName());
        for (qint64 no : numbers) {
            ins.setValue("会員NO", no);
            ins.setValue("氏名", QString("old %1").arg(no));
            ins.insert();
        }
        Module1::DbFile f;
        Module1::SplitDbFilePath(src, f);
        return f;
    }
    static QList<QVariantList> rows(const db::Database& book)
    {
        return book.openRecordset("SELECT \"会員NO\", \"氏名\", \"Eメール\", \"携帯Eメール\", \"登録日\", \"会員区分\", \"フリガナ\" FROM \"" +
                                      db::schema::personTableName() + "\" ORDER BY \"会員NO\"",
                                  db::RecordsetType::Snapshot)
            .readColumns({"会員NO", "氏名", "Eメール", "携帯Eメール", "登録日", "会員区分", "フリガナ"});
    }

private slots:
    void registerAnswers_data()
    {
        QTest::addColumn<bool>("replace");  // answer to the second question
        QTest::addColumn<QList<qint64>>("numbers");
        QTest::newRow("Yes/Yes: replaced, numbered from 1") << true << QList<qint64>{1, 2};
        QTest::newRow("Yes/No: appended after 57") << false << QList<qint64>{3, 57, 58, 59};
    }
    void registerAnswers()
    {
        QFETCH(bool, replace);
        QFETCH(QList<qint64>, numbers);
        const Module1::DbFile f = makeBook("Ｅメール専用住所録.mdb", {57, 3});
        db::Database book = db::Database::open(f.FullPath);
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        d.queueAnswer(ui::Answer::Yes);
        d.queueAnswer(replace ? ui::Answer::Yes : ui::Answer::No);
        QVERIFY(RegisterSenders(book, f, kSenders));
        QVERIFY2(!d.hadUnexpected(), qPrintable(d.failures().join('\n')));
        QCOMPARE(d.shown().size(), 2);
        for (const auto& box : d.shown())
            QCOMPARE(box.title, QStringLiteral("住所録登録"));

        const QList<QVariantList> r = rows(book);
        QList<qint64> got;
        for (const QVariantList& row : r)
            got << row[0].toLongLong();
        QCOMPARE(got, numbers);
        const QVariantList& yamada = r[r.size() - 2];
        QCOMPARE(yamada[1].toString(), QStringLiteral("山田"));
        QCOMPARE(yamada[2].toString(), QStringLiteral("yamada@example.jp"));
        QCOMPARE(yamada[3].toString(), QStringLiteral("yamada@example.jp"));
        QCOMPARE(yamada[4].toDate(), QDate(2026, 12, 1));
        QCOMPARE(yamada[5].toInt(), 0);
        QVERIFY(!yamada[6].isNull());
        QCOMPARE(yamada[6].toString(), QString());
        const QVariantList& anon = r.last();
        QCOMPARE(anon[1].toString(), "****** " + QString::number(numbers.last()).rightJustified(8, '0') + " ******");
        QCOMPARE(anon[4].toDate(), QDate(2001, 1, 1));
        // Every record, old and new, has its folder and "Preview".
        for (qint64 no : numbers)
            QVERIFY2(QFileInfo(Module1::RecordFolderPath(f, no) + "/Preview").isDir(), qPrintable(QString::number(no)));
    }

    void failureMidwayLeavesTheBook()
    {
        const Module1::DbFile f = makeBook("Ｅメール専用住所録.mdb", {5, 6});
        {
            db::Database b = db::Database::open(f.FullPath);
            b.execute("CREATE TRIGGER refuse BEFORE INSERT ON \"" + db::schema::personTableName() +
                      "\" WHEN NEW.\"Eメール\" = 'anon@example.jp' BEGIN SELECT RAISE(ABORT, 'refused'); END");
        }
        const QByteArray before = readFile(f.FullPath);
        {
            db::Database book = db::Database::open(f.FullPath);
            ui::ScriptedDialogs d;
            ui::ScopedDialogs scoped(&d);
            d.queueAnswer(ui::Answer::Yes);
            d.queueAnswer(ui::Answer::Yes);  // replace: the deletion must be undone too
            QVERIFY(!RegisterSenders(book, f, kSenders));
            QCOMPARE(d.shown().size(), 3);
            QCOMPARE(d.shown().last().icon, ui::Icon::Exclamation);
            QCOMPARE(rows(book).size(), 2);
            QCOMPARE(book.transactionLevel(), 0);
        }
        QCOMPARE(readFile(f.FullPath), before);
        QVERIFY(!QFileInfo(Module1::RecordFolderPath(f, 1)).exists());
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exact") << "Ｅメール専用住所録.mdb" << true;
        QTest::newRow("extension upper case") << "Ｅメール専用住所録.MDB" << true;
        QTest::newRow("half-width E") << "Eメール専用住所録.mdb" << false;
        QTest::newRow("other book") << "住所録.mdb" << false;
        QTest::newRow("name with more") << "Ｅメール専用住所録2.mdb" << false;
    }
    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        const Module1::DbFile f = makeBook(name, {});
        QCOMPARE(IsMailOnlyBook(f), accepted);
        db::Database book = db::Database::open(f.FullPath);
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        if (accepted)
            d.queueAnswer(ui::Answer::No);
        QVERIFY(!RegisterSenders(book, f, kSenders));
        QCOMPARE(d.shown().size(), 1);
        if (!accepted)
            QCOMPARE(d.shown()[0].text, QStringLiteral("Ｅメール専用住所録.mdbファイルでないので処理を中止します"));
        QCOMPARE(rows(book).size(), 0);
    }

    void replacingNeverEmptiesTheBookForNothing_data()
    {
        QTest::addColumn<QList<MailSender>>("senders");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("no senders: told before any question")
            << QList<MailSender>{} << QStringList{QStringLiteral("登録する差出人がありません")};
        QTest::newRow("every address too long")
            << QList<MailSender>{{"2026/12/01 09:00", "2026/12/01 09:00", 1, "x", QString("x").repeated(200) + "@example.jp"}}
            << QStringList{QStringLiteral("差出人一覧を専用の住所録ファイルに登録します"),
                           QStringLiteral("既存データを削除して新規に住所録登録しますか？（いいえの場合は追加処理）"),
                           QStringLiteral("メールアドレスが長すぎるため登録しなかった差出人が 1 件あります。")};
    }
    void replacingNeverEmptiesTheBookForNothing()
    {
        QFETCH(QList<MailSender>, senders);
        QFETCH(QStringList, told);
        const Module1::DbFile f = makeBook("Ｅメール専用住所録.mdb", {5, 6});
        db::Database book = db::Database::open(f.FullPath);
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        if (!senders.isEmpty()) {
            d.queueAnswer(ui::Answer::Yes);
            d.queueAnswer(ui::Answer::Yes);  // replace
        }
        RegisterSenders(book, f, senders);
        QVERIFY2(!d.hadUnexpected(), qPrintable(d.failures().join('\n')));
        QCOMPARE(d.shownTexts(), told);
        QCOMPARE(rows(book).size(), 2);
    }

    void emptyBookAskedOncePerLoad()
    {
        const Module1::DbFile f = makeBook("住所録.mdb", {});
        db::Database book = db::Database::open(f.FullPath);
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        bool asked = false;
        // No senders: no question.
        QVERIFY(!RegisterSendersIntoEmptyBook(book, f, {}, asked));
        QVERIFY(d.shown().isEmpty());
        // No: nothing written, not asked again on this load.
        d.queueAnswer(ui::Answer::No);
        QVERIFY(!RegisterSendersIntoEmptyBook(book, f, kSenders, asked));
        QVERIFY(!RegisterSendersIntoEmptyBook(book, f, kSenders, asked));
        QCOMPARE(d.shownTexts(), QStringList{"住所録にデータがありません。受信メールの差出人を住所録に登録しますか？"});
        QCOMPARE(rows(book).size(), 0);
        // The next load asks again; Yes registers.
        asked = false;
        d.queueAnswer(ui::Answer::Yes);
        QVERIFY(RegisterSendersIntoEmptyBook(book, f, kSenders, asked));
        QCOMPARE(rows(book).size(), 2);
        QVERIFY(!d.hadUnexpected());
        // A book with records is not asked about.
        asked = false;
        QVERIFY(!RegisterSendersIntoEmptyBook(book, f, kSenders, asked));
        QCOMPARE(d.shown().size(), 2);
    }

    void longTextsChecked()
    {
        const Module1::DbFile f = makeBook("Ｅメール専用住所録.mdb", {});
        db::Database book = db::Database::open(f.FullPath);
        const QString longName = QString("あ").repeated(127) + "ab";  // 256 bytes: the last cut
        const QString longAddress = QString("x").repeated(120) + "@example.jp";
        const RegistrationResult r = AddSenderRecords(
            book, f, {{"2026/12/01 09:00", "", 1, longName, "ok@example.jp"}, {"2026/12/01 09:00", "", 1, "z", longAddress}},
            false);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.added, 1);
        QCOMPARE(r.leftOut, 1);
        const QList<QVariantList> got = rows(book);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0][1].toString(), QString("あ").repeated(127) + "a");
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        ReportRegistration(r);
        QCOMPARE(d.shown().size(), 1);
        QVERIFY(d.shown()[0].text.contains("1 件"));
    }

    void numbersBeyond32Bits()
    {
        const Module1::DbFile f = makeBook("Ｅメール専用住所録.mdb", {2147483647});
        db::Database book = db::Database::open(f.FullPath);
        const RegistrationResult r = AddSenderRecords(book, f, kSenders, false);
        QVERIFY(!r.ok);
        QCOMPARE(rows(book).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSenderRegistration)
#include "tst_senderregistration.moc"
