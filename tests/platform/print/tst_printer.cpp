// The printer object: its measures, its lines and spacing, its pages (no blank sheets, no job
// without text) and its failures, over the recording printer and over a real QPrinter.

#include "platform/print/QtPrinter.h"
#include "platform/print/RecordingPrinter.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using print::RecordingPrinter;

class TestPrinter : public QObject {
    Q_OBJECT
private slots:
    void measuresAreTheOldFixedPitchCell_data();
    void measuresAreTheOldFixedPitchCell();
    void lineWithSpacingCountsCellsFromX_data();
    void lineWithSpacingCountsCellsFromX();
    void pagesStartOnlyWithText_data();
    void pagesStartOnlyWithText();
    void failureStopsTheDocumentAndIsReported();
    void qtPrinterWritesNoFileForAnEmptyDocument();
    void qtPrinterReportsAnOutputItCannotOpen();
    void pdfFileIsReplacedWholeOrNotAtAll_data();
    void pdfFileIsReplacedWholeOrNotAtAll();
};

void TestPrinter::measuresAreTheOldFixedPitchCell_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("digit one at 10 point") << 10.0 << QStringLiteral("1") << 100.0 << 200.0;
    QTest::newRow("three digits at 10 point") << 10.0 << QStringLiteral("111") << 300.0 << 200.0;
    QTest::newRow("digit one at 12 point") << 12.0 << QStringLiteral("1") << 120.0 << 240.0;
    QTest::newRow("double-byte characters take two cells") << 10.0 << QStringLiteral("東京都") << 600.0 << 200.0;
    QTest::newRow("half-width katakana take one cell") << 10.0 << QStringLiteral("ｱｲ") << 200.0 << 200.0;
}

void TestPrinter::measuresAreTheOldFixedPitchCell()
{
    QFETCH(double, size);
    QFETCH(QString, text);
    RecordingPrinter p;
    p.setFontName(QStringLiteral("ＭＳ 明朝"));
    p.setFontSize(size);
    QFETCH(double, width);
    QFETCH(double, height);
    QCOMPARE(p.textWidth(text), width);
    QCOMPARE(p.textHeight(text), height);
}

void TestPrinter::lineWithSpacingCountsCellsFromX_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<double>("drawnX");
    QTest::addColumn<double>("nextY");
    QTest::newRow("label name: 1 cell at 10 point from the right column") << 10.0 << 6800.0 << 1 << 6900.0 << 1200.0;
    QTest::newRow("postcard name: 5 cells at 12 point") << 12.0 << 1000.0 << 5 << 1600.0 << 1240.0;
    QTest::newRow("no spacing") << 10.0 << 1000.0 << 0 << 1000.0 << 1200.0;
}

void TestPrinter::lineWithSpacingCountsCellsFromX()
{
    QFETCH(double, size);
    QFETCH(double, x);
    QFETCH(int, spacing);
    QFETCH(double, drawnX);
    QFETCH(double, nextY);
    RecordingPrinter p;
    p.setFontName(QStringLiteral("ＭＳ 明朝"));
    p.setFontSize(size);
    p.setCurrentX(x);
    p.setCurrentY(1000);
    p.print(QStringLiteral("山田太郎　様"), spacing);
    QCOMPARE(p.drawn().size(), 1);
    QCOMPARE(p.drawn().first().x, drawnX);
    QCOMPARE(p.drawn().first().y, 1000.0);
    QCOMPARE(p.drawn().first().fontSize, size);
    // The line is ended: one line lower, back at the left edge.
    QCOMPARE(p.currentY(), nextY);
    QCOMPARE(p.currentX(), 0.0);
}

void TestPrinter::pagesStartOnlyWithText_data()
{
    // Steps: "t" prints a text, "e" prints an empty line, "n" ends the page.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("pages");
    QTest::newRow("only the opening empty line: no job") << QStringLiteral("e") << 0 << 0;
    QTest::newRow("nothing at all: no job") << QString() << 0 << 0;
    QTest::newRow("a page break before the end adds no sheet") << QStringLiteral("etn") << 1 << 1;
    QTest::newRow("page breaks in a row give one break") << QStringLiteral("etnnnt") << 1 << 2;
    QTest::newRow("a break on an empty first page is no page") << QStringLiteral("entt") << 1 << 1;
    QTest::newRow("two pages of text") << QStringLiteral("ttntt") << 1 << 2;
}

void TestPrinter::pagesStartOnlyWithText()
{
    QFETCH(QString, steps);
    RecordingPrinter p;
    p.setFontName(QStringLiteral("ＭＳ 明朝"));
    for (const QChar s : steps) {
        if (s == u't')
            p.print(QStringLiteral("文"));
        else if (s == u'e')
            p.print();
        else
            p.newPage();
    }
    const print::JobResult r = p.endDoc();
    QVERIFY(r.ok);
    QTEST(p.jobsStarted(), "jobs");
    QTEST(p.jobsEnded(), "jobs");
    QTEST(p.pagesStarted(), "pages");
    QTEST(r.pages, "pages");
    QCOMPARE(r.started, p.jobsStarted() > 0);
}

void TestPrinter::failureStopsTheDocumentAndIsReported()
{
    RecordingPrinter p;
    p.failAt(2, 482, QStringLiteral("用紙がありません"));
    p.setFontName(QStringLiteral("ＭＳ 明朝"));
    p.print(QStringLiteral("一"));
    p.newPage();
    p.print(QStringLiteral("二"));
    QVERIFY(p.failed());
    p.newPage();
    p.print(QStringLiteral("三"));
    const print::JobResult r = p.endDoc();
    QVERIFY(!r.ok);
    QCOMPARE(r.errorNumber, 482);
    QCOMPARE(r.description, QStringLiteral("用紙がありません"));
    QCOMPARE(p.texts(1), QStringList{QStringLiteral("一")});
    QCOMPARE(p.drawn().size(), 1);
    // The object is ready for another document.
    QVERIFY(!p.failed());
}

void TestPrinter::qtPrinterWritesNoFileForAnEmptyDocument()
{
    QTemporaryDir dir;
    QPrinter device(QPrinter::HighResolution);
    print::prepareQPrinter(&device);
    QCOMPARE(device.docName(), QStringLiteral("宛名印刷"));
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(dir.filePath(QStringLiteral("empty.pdf")));
    print::QtPrinter p(&device);
    p.setFontName(QStringLiteral("ＭＳ 明朝"));
    p.setPaperSize(print::PaperA4);
    p.print();
    p.newPage();
    const print::JobResult r = p.endDoc();
    QVERIFY(r.ok);
    QVERIFY(!r.started);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("empty.pdf"))));
}

void TestPrinter::qtPrinterReportsAnOutputItCannotOpen()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("no-such-folder/out.pdf"));
    QPrinter device(QPrinter::HighResolution);
    print::prepareQPrinter(&device);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(target);
    print::QtPrinter p(&device);
    p.setFontName(QStringLiteral("ＭＳ 明朝"));
    p.setFontSize(10);
    p.print(QStringLiteral("東京都"));
    QVERIFY(p.failed());
    const print::JobResult r = p.endDoc();
    QVERIFY(!r.ok);
    QCOMPARE(r.errorNumber, print::PrinterErrorNumber);
    QVERIFY2(r.description.contains(target), qPrintable(r.description));
}

void TestPrinter::pdfFileIsReplacedWholeOrNotAtAll_data()
{
    QTest::addColumn<bool>("previous");  // a file stands at the place before the run
    QTest::addColumn<bool>("abort");     // the document is thrown away, not ended
    QTest::newRow("ended, a new file") << false << false;
    QTest::newRow("ended, over an old file") << true << false;
    QTest::newRow("thrown away: no file") << false << true;
    QTest::newRow("thrown away: the old file stays") << true << true;
}

void TestPrinter::pdfFileIsReplacedWholeOrNotAtAll()
{
    QFETCH(bool, previous);
    QFETCH(bool, abort);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("宛名印刷.pdf"));
    if (previous) {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QPrinter device(QPrinter::HighResolution);
    print::prepareQPrinter(&device);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(target);
    print::QtPrinter p(&device);
    p.setFontName(QStringLiteral("ＭＳ 明朝"));
    p.setFontSize(10);
    for (int page = 0; page < 3; ++page) {
        p.print(QStringLiteral("東京都千代田区%1").arg(page));
        p.newPage();
    }
    // Nothing is at the place while the document is written.
    QFile at(target);
    if (at.open(QIODevice::ReadOnly))
        QCOMPARE(at.readAll(), QByteArray("old"));
    at.close();
    const print::JobResult r = abort ? p.abortDoc() : p.endDoc();
    QVERIFY(r.ok);
    QCOMPARE(r.aborted, abort);
    QCOMPARE(r.pages, 3);
    QCOMPARE(device.outputFileName(), target);
    if (abort && !previous) {
        QVERIFY(!QFile::exists(target));
    } else {
        QVERIFY(at.open(QIODevice::ReadOnly));
        const QByteArray content = at.readAll();
        if (abort)
            QCOMPARE(content, QByteArray("old"));
        else
            QVERIFY(content.startsWith("%PDF") && content.trimmed().endsWith("%%EOF"));
    }
    // No other file is left beside it.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, (abort && !previous) ? QStringList() : QStringList{QStringLiteral("宛名印刷.pdf")});
}

QTEST_MAIN(TestPrinter)
#include "tst_printer.moc"
