// Web addresses and files handed to the desktop through a stand-in for xdg-open: what it gets as
// its arguments, and how its end comes back as the outcome of the hand-over, alone and for
// several hand-overs reported together.

#include "../../StandInProgram.h"
#include "platform/shell/DesktopOpener.h"
#include "platform/shell/HandOver.h"
#include "platform/shell/RecordingOpener.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

// The outcomes of hand-overs as they come.
struct Outcomes {
    QStringList received;
    desktop::Outcome take()
    {
        return [this](const QString& failure) { received << failure; };
    }
};

class TestOpener : public QObject {
    Q_OBJECT
private slots:
    void desktopOpensWebAddressAsOneUrl();
    void desktopRefusesOtherSchemes();
    void desktopOpensExistingFile();
    void desktopReportsMissingFile_data();
    void desktopReportsMissingFile();
    void programsEndIsTheOutcome_data();
    void programsEndIsTheOutcome();
    void missingProgramIsRefusedAtOnce();
    void programThatCannotRunIsAFailure();
    void severalHandOversOneReport_data();
    void severalHandOversOneReport();
    void failureDoesNotWaitForAProgramThatRunsOn();
    void processWideOpenerCanBeReplaced();
    void recordingOpenerRefusesLikeTheDesktop();
};

void TestOpener::desktopOpensWebAddressAsOneUrl()
{
    standin::Program xdgOpen;
    QVERIFY(xdgOpen.isValid());
    desktop::DesktopOpener opener(xdgOpen.path());
    Outcomes outcomes;
    QString error;
    QVERIFY2(opener.openUrl(QStringLiteral(" example.com/a b;ls "), &error, outcomes.take()), qPrintable(error));
    QTRY_COMPARE(outcomes.received, QStringList{QString()});
    const QStringList args = xdgOpen.arguments().value_or(QStringList());
    QCOMPARE(args.size(), 1);
    const QUrl url(args.first(), QUrl::StrictMode);
    QCOMPARE(url.scheme(), QStringLiteral("http"));
    QCOMPARE(url.host(), QStringLiteral("example.com"));
    QCOMPARE(url.path(), QStringLiteral("/a b;ls"));
    QVERIFY(!args.first().contains(QLatin1Char(' ')));
}

void TestOpener::desktopRefusesOtherSchemes()
{
    standin::Program xdgOpen;
    desktop::DesktopOpener opener(xdgOpen.path());
    Outcomes outcomes;
    QString error;
    QVERIFY(!opener.openUrl(QStringLiteral("javascript:alert(1)"), &error, outcomes.take()));
    QVERIFY(!error.isEmpty());
    QVERIFY(!opener.openUrl(QString(), &error, outcomes.take()));
    QTest::qWait(100);
    QVERIFY(!xdgOpen.ran());
    QVERIFY(outcomes.received.isEmpty());
}

void TestOpener::desktopOpensExistingFile()
{
    standin::Program xdgOpen;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("添付 ファイル;1.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    desktop::DesktopOpener opener(xdgOpen.path());
    Outcomes outcomes;
    QString error;
    QVERIFY2(opener.openFile(path, &error, outcomes.take()), qPrintable(error));
    QTRY_COMPARE(outcomes.received, QStringList{QString()});
    QCOMPARE(xdgOpen.arguments(), QStringList{path});
}

void TestOpener::desktopReportsMissingFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << QString();
    QTest::newRow("missing") << QStringLiteral("/nonexistent/kv/写真.jpg");
}

void TestOpener::desktopReportsMissingFile()
{
    QFETCH(QString, path);
    standin::Program xdgOpen;
    desktop::DesktopOpener opener(xdgOpen.path());
    Outcomes outcomes;
    QString error;
    QVERIFY(!opener.openFile(path, &error, outcomes.take()));
    QVERIFY(!error.isEmpty());
    QTest::qWait(100);
    QVERIFY(!xdgOpen.ran());
    QVERIFY(outcomes.received.isEmpty());
}

// The program ends after it was started: its exit status is the outcome, for a web address and
// a file alike, and the outcome never runs inside the call that started it.
void TestOpener::programsEndIsTheOutcome_data()
{
    QTest::addColumn<QByteArray>("ending");
    QTest::addColumn<bool>("file");
    QTest::addColumn<QString>("failure");  // a part of it; empty: no failure
    for (const bool file : {false, true}) {
        const char* what = file ? "file" : "web page";
        QTest::addRow("%s, took it", what) << QByteArray("exit 0") << file << QString();
        QTest::addRow("%s, no program on the desktop", what)
            << QByteArray("echo 'xdg-open: no method available' >&2; exit 3") << file
            << QStringLiteral("開くプログラムが設定されていません（xdg-open の終了コード 3）");
        QTest::addRow("%s, the program failed", what) << QByteArray("exit 4") << file
                                                       << QStringLiteral("開けませんでした（xdg-open の終了コード 4）");
        QTest::addRow("%s, not readable", what) << QByteArray("exit 5") << file
                                                 << QStringLiteral("読み取る権限がありません（xdg-open の終了コード 5）");
        QTest::addRow("%s, another code", what) << QByteArray("exit 7") << file
                                                 << QStringLiteral("xdg-open が終了コード 7 で終わりました");
        QTest::addRow("%s, killed", what) << QByteArray("kill -9 $$") << file << QStringLiteral("xdg-open が異常終了しました");
    }
}

void TestOpener::programsEndIsTheOutcome()
{
    QFETCH(QByteArray, ending);
    QFETCH(bool, file);
    QFETCH(QString, failure);
    standin::Program xdgOpen(ending);
    QVERIFY(xdgOpen.isValid());
    desktop::DesktopOpener opener(xdgOpen.path());
    const QString path = xdgOpen.folder() + QStringLiteral("/写真.jpg");
    QFile(path).open(QIODevice::WriteOnly);
    Outcomes outcomes;
    QString error;
    const bool started = file ? opener.openFile(path, &error, outcomes.take())
                              : opener.openUrl(QStringLiteral("https://example.com/"), &error, outcomes.take());
    QVERIFY2(started, qPrintable(error));
    QVERIFY(outcomes.received.isEmpty());
    QTRY_COMPARE(outcomes.received.size(), 1);
    QCOMPARE(outcomes.received.first(), failure);
    QVERIFY(xdgOpen.ran());
    // Once only.
    QTest::qWait(50);
    QCOMPARE(outcomes.received.size(), 1);
}

void TestOpener::missingProgramIsRefusedAtOnce()
{
    for (const QString& program : {QStringLiteral("/nonexistent/kv/xdg-open"), QStringLiteral("kv-no-such-program")}) {
        desktop::DesktopOpener opener(program);
        Outcomes outcomes;
        QString error;
        QVERIFY(!opener.openUrl(QStringLiteral("https://example.com/"), &error, outcomes.take()));
        QVERIFY2(error.contains(QStringLiteral("見つかりません")), qPrintable(error));
        QTest::qWait(50);
        QVERIFY(outcomes.received.isEmpty());
    }
}

// Found but not able to run (its interpreter is missing): a failure, heard from the event loop.
void TestOpener::programThatCannotRunIsAFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("xdg-open"));
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/nonexistent/kv/sh\nexit 0\n");
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    desktop::DesktopOpener opener(path);
    Outcomes outcomes;
    QString error;
    QVERIFY2(opener.openUrl(QStringLiteral("https://example.com/"), &error, outcomes.take()), qPrintable(error));
    QVERIFY(outcomes.received.isEmpty());
    QTRY_COMPARE(outcomes.received, QStringList{QStringLiteral("xdg-open を起動できませんでした")});
}

// Several hand-overs started together: one report, once every one has ended, with the failures
// in the order they were started; none when all took what they got.
void TestOpener::severalHandOversOneReport_data()
{
    QTest::addColumn<QList<QByteArray>>("endings");  // one program per page; "" refused at once
    QTest::addColumn<QStringList>("failed");         // the pages reported, in order
    QTest::addColumn<int>("reports");
    QTest::newRow("all took them") << QList<QByteArray>{"exit 0", "exit 0", "exit 0"} << QStringList{} << 0;
    QTest::newRow("no program on the desktop")
        << QList<QByteArray>{"exit 3", "exit 3", "exit 3"} << QStringList{"p0", "p1", "p2"} << 1;
    QTest::newRow("the slowest one failed, listed in its place")
        << QList<QByteArray>{"sleep 0.3; exit 4", "exit 0", "exit 3"} << QStringList{"p0", "p2"} << 1;
    QTest::newRow("refused at once and failed later") << QList<QByteArray>{"exit 3", QByteArray(), "exit 0"}
                                                      << QStringList{"p0", "p1"} << 1;
    QTest::newRow("refused at once only") << QList<QByteArray>{QByteArray()} << QStringList{"p0"} << 1;
}

void TestOpener::severalHandOversOneReport()
{
    QFETCH(QList<QByteArray>, endings);
    QFETCH(QStringList, failed);
    QFETCH(int, reports);
    std::vector<std::unique_ptr<standin::Program>> programs;
    int reported = 0;
    QStringList got;
    {
        desktop::HandOverReport report([&](const QList<desktop::Failure>& failures) {
            ++reported;
            for (const desktop::Failure& f : failures) {
                got << f.what;
                QVERIFY(!f.reason.isEmpty());
            }
        });
        for (int i = 0; i < endings.size(); ++i) {
            const QString page = QStringLiteral("p%1").arg(i);
            const desktop::Outcome outcome = report.outcome(page);
            QString error;
            if (endings[i].isEmpty()) {
                outcome(QStringLiteral("http または https のアドレスしか開けません"));
                continue;
            }
            programs.push_back(std::make_unique<standin::Program>(endings[i]));
            desktop::DesktopOpener opener(programs.back()->path());
            QVERIFY(opener.openUrl(QStringLiteral("https://example.com/%1").arg(page), &error, outcome));
        }
        report.finish();
        if (programs.empty())
            QCOMPARE(reported, reports);  // nothing to wait for: at once
    }
    QTRY_VERIFY(std::all_of(programs.begin(), programs.end(), [](const auto& p) { return p->ran(); }));
    QTRY_COMPARE(reported, reports);
    QTest::qWait(200);
    QCOMPARE(reported, reports);
    QCOMPARE(got, failed);
}

// A viewer that took its file may run for as long as the user works in it: the failure of
// another file is reported without waiting for it to end.
void TestOpener::failureDoesNotWaitForAProgramThatRunsOn()
{
    standin::Program stays("sleep 4");
    standin::Program fails("exit 3");
    QStringList got;
    QElapsedTimer clock;
    clock.start();
    desktop::HandOverReport report([&](const QList<desktop::Failure>& failures) {
        for (const desktop::Failure& f : failures)
            got << f.what;
    });
    QVERIFY(desktop::DesktopOpener(stays.path()).openUrl(QStringLiteral("https://example.com/a"), nullptr, report.outcome("a")));
    QVERIFY(desktop::DesktopOpener(fails.path()).openUrl(QStringLiteral("https://example.com/b"), nullptr, report.outcome("b")));
    report.finish();
    QTRY_COMPARE_WITH_TIMEOUT(got, QStringList{"b"}, 3000);
    QVERIFY(clock.elapsed() < 3500);
    QVERIFY(stays.ran());
}

void TestOpener::processWideOpenerCanBeReplaced()
{
    desktop::RecordingOpener recording;
    Outcomes outcomes;
    {
        desktop::ScopedOpener scope(&recording);
        QCOMPARE(&desktop::opener(), static_cast<desktop::Opener*>(&recording));
        QVERIFY(desktop::opener().openUrl(QStringLiteral("example.com"), nullptr, outcomes.take()));
    }
    QVERIFY(dynamic_cast<desktop::DesktopOpener*>(&desktop::opener()));
    QCOMPARE(recording.openedUrls, QList<QUrl>{QUrl(QStringLiteral("http://example.com"))});
    QCOMPARE(outcomes.received, QStringList{QString()});
}

void TestOpener::recordingOpenerRefusesLikeTheDesktop()
{
    desktop::RecordingOpener recording;
    Outcomes outcomes;
    QString error;
    QVERIFY(!recording.openUrl(QStringLiteral("file:///etc/passwd"), &error, outcomes.take()));
    QVERIFY(!error.isEmpty());
    recording.succeed = false;
    QVERIFY(!recording.openUrl(QStringLiteral("https://example.com"), &error, outcomes.take()));
    QCOMPARE(error, recording.failure);
    QCOMPARE(recording.requestedUrls.size(), 2);
    QVERIFY(recording.openedUrls.isEmpty());
    QVERIFY(outcomes.received.isEmpty());
    // A program that ends with a failure after it was started.
    recording.succeed = true;
    recording.ends = QStringLiteral("開くプログラムが設定されていません");
    QVERIFY(recording.openFile(QStringLiteral("/tmp/a.pdf"), &error, outcomes.take()));
    QCOMPARE(outcomes.received, QStringList{recording.ends});
}

QTEST_MAIN(TestOpener)
#include "tst_opener.moc"
