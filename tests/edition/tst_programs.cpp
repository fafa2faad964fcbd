// Both programs as built: each starts on a demo folder, offscreen, and keeps running with its
// main window until it is stopped.

#include "DemoFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    void startsOnADemoFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("kartovia") << "kartovia";
        QTest::newRow("adrovia") << "adrovia";
    }
    void startsOnADemoFolder()
    {
        QFETCH(QString, program);
        // Built beside the tests: build/apps/<program>/<program>.
        const QString executable =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../../apps/%1/%1").arg(program));
        QVERIFY2(QFileInfo(executable).isExecutable(), qPrintable(executable + " is not built"));

        QTemporaryDir folder;
        QString error;
        QVERIFY2(demo::makeSampleFolder(folder.path(), &error), qPrintable(error));
        const QByteArray pmPath = [&] {
            QFile f(folder.filePath(QStringLiteral("PMPath.txt")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(!pmPath.isEmpty());

        QProcess p;
        p.setWorkingDirectory(folder.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(executable, {});
        QVERIFY2(p.waitForStarted(10000), qPrintable(p.errorString()));
        // Start-up is over once the main window is up; a program that failed would have ended.
        QVERIFY2(!p.waitForFinished(3000), qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
        QCOMPARE(p.state(), QProcess::Running);
        p.kill();
        p.waitForFinished(5000);

        const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(!errors.contains(QStringLiteral("no window named")), qPrintable(errors));
        // The start-up book was found: "PMPath.txt" is as it was.
        QFile f(folder.filePath(QStringLiteral("PMPath.txt")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), pmPath);
    }
};

QTEST_MAIN(TestPrograms)
#include "tst_programs.moc"
