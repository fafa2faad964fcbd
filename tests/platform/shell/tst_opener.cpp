#include "platform/shell/DesktopOpener.h"
#include "platform/shell/RecordingOpener.h"

#include <QDesktopServices>
#include <QTemporaryDir>
#include <QtTest>

// Takes the place of the browser and the file handler, so no program is started.
class UrlSink : public QObject {
    Q_OBJECT
public:
    QList<QUrl> received;
public slots:
    void handle(const QUrl& url) { received << url; }
};

class TestOpener : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void desktopOpensWebAddressAsOneUrl();
    void desktopRefusesOtherSchemes();
    void desktopOpensExistingFile();
    void desktopReportsMissingFile_data();
    void desktopReportsMissingFile();
    void processWideOpenerCanBeReplaced();
    void recordingOpenerRefusesLikeTheDesktop();

private:
    UrlSink sink_;
};

void TestOpener::init()
{
    sink_.received.clear();
    for (const char* scheme : {"http", "https", "file", "mailto", "javascript"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink_, "handle");
}

void TestOpener::cleanup()
{
    for (const char* scheme : {"http", "https", "file", "mailto", "javascript"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void TestOpener::desktopOpensWebAddressAsOneUrl()
{
    desktop::DesktopOpener opener;
    QString error;
    QVERIFY2(opener.openUrl(QStringLiteral(" example.com/a b;ls "), &error), qPrintable(error));
    QCOMPARE(sink_.received.size(), 1);
    QCOMPARE(sink_.received.first().host(), QStringLiteral("example.com"));
    QCOMPARE(sink_.received.first().path(), QStringLiteral("/a b;ls"));
}

void TestOpener::desktopRefusesOtherSchemes()
{
    desktop::DesktopOpener opener;
    QString error;
    QVERIFY(!opener.openUrl(QStringLiteral("javascript:alert(1)"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!opener.openUrl(QString(), &error));
    QVERIFY(sink_.received.isEmpty());
}

void TestOpener::desktopOpensExistingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("添付 ファイル;1.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    desktop::DesktopOpener opener;
    QString error;
    QVERIFY2(opener.openFile(path, &error), qPrintable(error));
    QCOMPARE(sink_.received.size(), 1);
    QCOMPARE(sink_.received.first().toLocalFile(), path);
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
    desktop::DesktopOpener opener;
    QString error;
    QVERIFY(!opener.openFile(path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(sink_.received.isEmpty());
}

void TestOpener::processWideOpenerCanBeReplaced()
{
    desktop::RecordingOpener recording;
    {
        desktop::ScopedOpener scope(&recording);
        QCOMPARE(&desktop::opener(), static_cast<desktop::Opener*>(&recording));
        QVERIFY(desktop::opener().openUrl(QStringLiteral("example.com")));
    }
    QVERIFY(dynamic_cast<desktop::DesktopOpener*>(&desktop::opener()));
    QCOMPARE(recording.openedUrls, QList<QUrl>{QUrl(QStringLiteral("http://example.com"))});
    QVERIFY(sink_.received.isEmpty());
}

void TestOpener::recordingOpenerRefusesLikeTheDesktop()
{
    desktop::RecordingOpener recording;
    QString error;
    QVERIFY(!recording.openUrl(QStringLiteral("file:///etc/passwd"), &error));
    QVERIFY(!error.isEmpty());
    recording.succeed = false;
    QVERIFY(!recording.openUrl(QStringLiteral("https://example.com"), &error));
    QCOMPARE(error, recording.failure);
    QCOMPARE(recording.requestedUrls.size(), 2);
    QVERIFY(recording.openedUrls.isEmpty());
}

QTEST_MAIN(TestOpener)
#include "tst_opener.moc"
