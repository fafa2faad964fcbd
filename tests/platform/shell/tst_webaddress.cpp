#include "platform/shell/Opener.h"

#include <QtTest>

class TestWebAddress : public QObject {
    Q_OBJECT
private slots:
    void normalises_data();
    void normalises();
    void refuses_data();
    void refuses();
    void shellMetacharactersStayInOneUrl();
};

void TestWebAddress::normalises_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");   // QUrl::toString() of the result

    QTest::newRow("plain host gets http") << "www.example.com" << "http://www.example.com";
    QTest::newRow("host and path") << "example.com/a/b.html?x=1" << "http://example.com/a/b.html?x=1";
    QTest::newRow("host with port is no scheme") << "localhost:8080/top" << "http://localhost:8080/top";
    QTest::newRow("http kept") << "http://example.com/" << "http://example.com/";
    QTest::newRow("https kept") << "https://example.com/x" << "https://example.com/x";
    QTest::newRow("uppercase scheme") << "HTTP://EXAMPLE.COM/Path" << "http://example.com/Path";
    QTest::newRow("spaces trimmed") << "  https://example.com  " << "https://example.com";
    QTest::newRow("full-width spaces trimmed") << "\u3000example.com\u3000" << "http://example.com";
    QTest::newRow("Japanese host and path kept")
        << "http://日本語.jp/住所録/一覧.html" << "http://日本語.jp/住所録/一覧.html";
    QTest::newRow("Japanese host without scheme") << "例え.jp" << "http://例え.jp";
}

void TestWebAddress::normalises()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QString error;
    const std::optional<QUrl> url = desktop::webAddress(address, &error);
    QVERIFY2(url.has_value(), qPrintable(error));
    QCOMPARE(url->toString(), expected);
}

void TestWebAddress::refuses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("empty") << "" << "指定されていません";
    QTest::newRow("only spaces") << "   " << "指定されていません";
    QTest::newRow("mailto") << "mailto:someone@example.com" << "http または https";
    QTest::newRow("javascript") << "javascript:alert(1)" << "http または https";
    QTest::newRow("uppercase javascript") << "JavaScript:alert(1)" << "http または https";
    QTest::newRow("file") << "file:///etc/passwd" << "http または https";
    QTest::newRow("ftp") << "ftp://example.com/" << "http または https";
    QTest::newRow("http without host") << "http://" << "正しくありません";
    QTest::newRow("https with path only") << "https:///path" << "正しくありません";
}

void TestWebAddress::refuses()
{
    QFETCH(QString, address);
    QFETCH(QString, errorPart);
    QString error;
    QCOMPARE(desktop::webAddress(address, &error), std::nullopt);
    QVERIFY2(error.contains(errorPart), qPrintable(error));
}

void TestWebAddress::shellMetacharactersStayInOneUrl()
{
    const std::optional<QUrl> url = desktop::webAddress(QStringLiteral("example.com/; rm -rf ~ && echo `id` | sh"));
    QVERIFY(url.has_value());
    QCOMPARE(url->scheme(), QStringLiteral("http"));
    QCOMPARE(url->host(), QStringLiteral("example.com"));
    QCOMPARE(url->path(), QStringLiteral("/; rm -rf ~ && echo `id` | sh"));
    // What the browser receives is one encoded address without a space in it.
    QVERIFY(!url->toEncoded().contains(' '));
}

QTEST_GUILESS_MAIN(TestWebAddress)
#include "tst_webaddress.moc"
