// A new mail in the user's mail program: the addresses of a box, the one "mailto:" address made of
// them, and xdg-email started with it as its only argument, never through a shell, its end looked at.

#include "../../StandInProgram.h"
#include "platform/mail/RecordingComposer.h"
#include "platform/mail/XdgEmailComposer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestMailComposer : public QObject {
    Q_OBJECT
private slots:
    void splitAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("one") << "a@example.jp" << QStringList{"a@example.jp"};
        QTest::newRow("surrounding spaces") << "  a@example.jp " << QStringList{"a@example.jp"};
        QTest::newRow("several at ;") << "a@example.jp; b@example.jp" << QStringList{"a@example.jp", "b@example.jp"};
        QTest::newRow("empty parts dropped") << ";a@example.jp;; ;" << QStringList{"a@example.jp"};
        QTest::newRow("blank") << "   " << QStringList{};
    }
    void splitAddresses()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, addresses);
        QCOMPARE(mailclient::splitAddresses(text), addresses);
    }

    void mailtoUri_data()
    {
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QString>("uri");
        QTest::newRow("one") << QStringList{"a@example.jp"} << "mailto:a@example.jp";
        QTest::newRow("several joined by commas") << QStringList{"a@example.jp", "b@example.jp"}
                                                  << "mailto:a@example.jp,b@example.jp";
        QTest::newRow("no headers, body or extra recipients from the text")
            << QStringList{"a@example.jp?cc=b@example.jp&body=x#y,c@example.jp"}
            << "mailto:a@example.jp%3Fcc%3Db@example.jp%26body%3Dx%23y%2Cc@example.jp";
        QTest::newRow("spaces and percent") << QStringList{"a b%@example.jp"} << "mailto:a%20b%25@example.jp";
        QTest::newRow("non-ASCII as UTF-8") << QStringList{"花子@例え.jp"}
                                            << "mailto:%E8%8A%B1%E5%AD%90@%E4%BE%8B%E3%81%88.jp";
        QTest::newRow("none") << QStringList{} << "";
    }
    void mailtoUri()
    {
        QFETCH(QStringList, addresses);
        QFETCH(QString, uri);
        QCOMPARE(mailclient::mailtoUri(addresses), uri);
        if (!addresses.isEmpty())
            QCOMPARE(mailclient::XdgEmailComposer::arguments(addresses), QStringList{uri});
    }

    void xdgEmailGetsOneArgument()
    {
        // A stand-in for xdg-email that writes down the arguments it got, one a line.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString program = dir.filePath(QStringLiteral("xdg-email"));
        const QString out = dir.filePath(QStringLiteral("args.txt"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.part\"\n"
                     "mv \"$0.part\" \"$(dirname \"$0\")/args.txt\"\n");
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

        const QString marker = dir.filePath(QStringLiteral("ran"));
        const QString hostile = QStringLiteral("a@example.jp $(touch %1) `touch %1`").arg(marker);
        mailclient::XdgEmailComposer composer(program);
        QString error;
        QVERIFY2(composer.compose({hostile, QStringLiteral("b@example.jp")}, &error, {}), qPrintable(error));
        QTRY_VERIFY(QFile::exists(out));
        QFile got(out);
        QVERIFY(got.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(got.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines, (QStringList{"1", mailclient::mailtoUri({hostile, QStringLiteral("b@example.jp")})}));
        QVERIFY(lines[1].startsWith(QStringLiteral("mailto:a@example.jp%20%24%28touch")));
        QVERIFY(!QFile::exists(marker));
    }

    void failuresSayWhy_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("no mail program") << "/nonexistent/kv/xdg-email" << QStringList{"a@example.jp"};
        QTest::newRow("no address") << "xdg-email" << QStringList{};
    }
    void failuresSayWhy()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, addresses);
        mailclient::XdgEmailComposer composer(program);
        QString error;
        bool ended = false;
        QVERIFY(!composer.compose(addresses, &error, [&](const QString&) { ended = true; }));
        QVERIFY(!error.isEmpty());
        QTest::qWait(50);
        QVERIFY(!ended);
    }

    // Started, xdg-email ends later: its exit status comes back as the outcome, a failure said
    // as a failure of the mail program.
    void endOfTheMailProgram_data()
    {
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<QString>("failure");
        QTest::newRow("took the mail") << QByteArray("exit 0") << QString();
        QTest::newRow("no mail program on the desktop")
            << QByteArray("echo 'xdg-email: no method available' >&2; exit 3")
            << QStringLiteral("メールソフトでメールを作成できませんでした: 開くプログラムが設定されていません（xdg-email の終了コード 3）");
        QTest::newRow("killed") << QByteArray("kill -9 $$")
                                << QStringLiteral("メールソフトでメールを作成できませんでした: xdg-email が異常終了しました");
    }
    void endOfTheMailProgram()
    {
        QFETCH(QByteArray, ending);
        QFETCH(QString, failure);
        standin::Program xdgEmail(ending, QStringLiteral("xdg-email"));
        QVERIFY(xdgEmail.isValid());
        mailclient::XdgEmailComposer composer(xdgEmail.path());
        QStringList outcomes;
        QString error;
        QVERIFY2(composer.compose({QStringLiteral("a@example.jp")}, &error,
                                  [&](const QString& f) { outcomes << f; }),
                 qPrintable(error));
        QTRY_COMPARE(outcomes.size(), 1);
        QCOMPARE(outcomes.first(), failure);
        QCOMPARE(xdgEmail.arguments(), QStringList{QStringLiteral("mailto:a@example.jp")});
    }

    void processWideComposerCanBeReplaced()
    {
        mailclient::RecordingComposer recording;
        {
            mailclient::ScopedComposer scope(&recording);
            QCOMPARE(&mailclient::composer(), static_cast<mailclient::Composer*>(&recording));
            QString error;
            QVERIFY(mailclient::composer().compose({QStringLiteral("a@example.jp")}, &error, {}));
            recording.succeed = false;
            QVERIFY(!mailclient::composer().compose({QStringLiteral("b@example.jp")}, &error, {}));
            QCOMPARE(error, recording.failure);
        }
        QVERIFY(dynamic_cast<mailclient::XdgEmailComposer*>(&mailclient::composer()));
        QCOMPARE(recording.requests.size(), 2);
        QCOMPARE(recording.arguments, QList<QStringList>{{QStringLiteral("mailto:a@example.jp")}});
    }
};

QTEST_GUILESS_MAIN(TestMailComposer)
#include "tst_mailcomposer.moc"
