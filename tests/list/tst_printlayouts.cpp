// The address layouts: what each run draws where, over the recording printer, and the same
// runs into real PDF files whose text positions pdftotext reads back.

#include "PrintFixture.h"

#include "list/PrintLayouts.h"
#include "platform/print/QtPrinter.h"
#include "platform/print/RecordingPrinter.h"
#include "platform/ui/Fonts.h"

#include <QProcess>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace printfixture;

namespace {

const QString kLabels = QStringLiteral("PrintAddresses");
const QString kEither = QStringLiteral("PrintLabelsOrPostcards");

// "k:field:value" sets a field of person k; the value "<null>" is Null.
QList<Person> edited(int n, const QStringList& edits)
{
    QList<Person> persons = people(n);
    for (const QString& e : edits) {
        const QStringList parts = e.split(u':');
        Person& p = persons[parts[0].toInt()];
        const QVariant v = parts[2] == QStringLiteral("<null>") ? QVariant() : QVariant(parts[2]);
        const QString& f = parts[1];
        (f == u"zip" ? p.zip : f == u"prefecture" ? p.prefecture : f == u"city" ? p.city
         : f == u"address2" ? p.address2 : p.name) = v;
    }
    return persons;
}

list::PrintRun run(const QString& routine, print::Printer& printer, const db::Recordset& rs,
                   const list::PrintRequest& request)
{
    return routine == kLabels ? list::PrintAddresses(printer, rs, request)
                              : list::PrintLabelsOrPostcards(printer, rs, request);
}

struct PdfWord {
    int page;
    double xMin, yMin, xMax, yMax;
    QString text;
};

// The words of a PDF with their boxes in points from the top left of the page.
QList<PdfWord> pdfWords(const QString& pdf, int* pages)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QList<PdfWord> out;
    int page = 0;
    static const QRegularExpression tag(QStringLiteral(
        "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        out << PdfWord{page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                       m.captured(4).toDouble(), m.captured(5)};
    }
    *pages = page;
    return out;
}

} // namespace

class TestPrintLayouts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void runsDrawTheirLines_data();
    void runsDrawTheirLines();
    void printerFailureEndsTheRun();
    void pdfTextStandsWhereTheLayoutPutsIt_data();
    void pdfTextStandsWhereTheLayoutPutsIt();

private:
    QTemporaryDir dir;
    int books = 0;
    QString newBook(const QList<Person>& persons)
    {
        const QString path = dir.filePath(QStringLiteral("book%1.mdb").arg(++books));
        if (!writeBook(path, persons))
            return {};
        return path;
    }
};

void TestPrintLayouts::initTestCase()
{
    ui::installFontSubstitutions();
    QVERIFY(dir.isValid());
}

void TestPrintLayouts::runsDrawTheirLines_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("routine");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("selectedOnly");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<QList<int>>("deletedElsewhere");
    QTest::addColumn<QList<int>>("printed");   // the people printed, in order
    QTest::addColumn<int>("pages");
    QTest::addColumn<QList<int>>("papers");

    QList<int> all21;
    for (int k = 0; k < 21; ++k)
        all21 << k;
    const QList<int> a4{9}, none;

    QTest::newRow("21 labels: 20 on page 1, the 21st at the top of the left column of page 2")
        << 21 << QStringList() << kLabels << 0 << false << none << none << all21 << 2 << a4;
    QTest::newRow("the 11th label tops the right column")
        << 11 << QStringList() << kLabels << 0 << false << none << none << all21.mid(0, 11) << 1 << a4;
    QTest::newRow("20 labels: the page break before the end adds no sheet")
        << 20 << QStringList() << kLabels << 0 << false << none << none << all21.mid(0, 20) << 1 << a4;
    QTest::newRow("no 市町村 (empty or Null): skipped, the next takes its label")
        << 4 << QStringList{QStringLiteral("1:city:"), QStringLiteral("2:city:<null>")} << kLabels << 0 << false
        << none << none << QList<int>{0, 3} << 1 << a4;
    QTest::newRow("リスト選択者 with lines 0 and 2: the first two labels")
        << 4 << QStringList() << kLabels << 0 << true << QList<int>{0, 2} << none << QList<int>{0, 2} << 1 << a4;
    QTest::newRow("全員 with lines selected: everyone")
        << 3 << QStringList() << kLabels << 0 << false << QList<int>{1} << none << QList<int>{0, 1, 2} << 1 << a4;
    QTest::newRow("a record deleted elsewhere keeps its line: line 2 is still record 2")
        << 4 << QStringList() << kLabels << 0 << true << QList<int>{2, 3} << QList<int>{1} << QList<int>{2, 3} << 1 << a4;
    QTest::newRow("a record deleted elsewhere is passed over")
        << 3 << QStringList() << kLabels << 0 << false << none << QList<int>{0} << QList<int>{1, 2} << 1 << a4;
    QTest::newRow("empty 郵便番号, Null 住所2, empty 氏名: the lines below keep their places")
        << 3 << QStringList{QStringLiteral("0:zip:"), QStringLiteral("1:address2:<null>"), QStringLiteral("2:name:")}
        << kLabels << 0 << false << none << none << QList<int>{0, 1, 2} << 1 << a4;
    QTest::newRow("no 都道府県: the address starts with 市町村")
        << 1 << QStringList{QStringLiteral("0:prefecture:<null>")} << kLabels << 0 << false << none << none
        << QList<int>{0} << 1 << a4;
    QTest::newRow("nothing selected with リスト選択者: no job")
        << 3 << QStringList() << kLabels << 0 << true << none << none << none << 0 << a4;
    QTest::newRow("no record has a 市町村: no job")
        << 2 << QStringList{QStringLiteral("0:city:"), QStringLiteral("1:city:<null>")} << kLabels << 1 << false
        << none << none << none << 0 << none;
    QTest::newRow("an empty book: no job") << 0 << QStringList() << kLabels << 0 << false << none << none << none << 0 << a4;
    QTest::newRow("postcards: one a page, no paper chosen")
        << 3 << QStringList() << kLabels << 1 << false << none << none << QList<int>{0, 1, 2} << 3 << none;
    QTest::newRow("a postcard without 氏名 still ends its page")
        << 2 << QStringList{QStringLiteral("0:name:<null>")} << kLabels << 1 << false << none << none
        << QList<int>{0, 1} << 2 << none;
    QTest::newRow("return postcards print as postcards")
        << 2 << QStringList() << kLabels << 2 << false << none << none << QList<int>{0, 1} << 2 << none;
    QTest::newRow("an unknown kind prints nothing") << 2 << QStringList() << kLabels << 3 << false << none << none << none << 0 << none;
    QTest::newRow("address book, kind 0: labels")
        << 2 << QStringList() << kEither << 0 << false << none << none << QList<int>{0, 1} << 1 << a4;
    QTest::newRow("address book, kind 1: postcards")
        << 2 << QStringList() << kEither << 1 << false << none << none << QList<int>{0, 1} << 2 << none;
    QTest::newRow("address book, any other kind: postcards")
        << 2 << QStringList() << kEither << 2 << true << QList<int>{1} << none << QList<int>{1} << 1 << none;
}

void TestPrintLayouts::runsDrawTheirLines()
{
    QFETCH(int, count);
    QFETCH(QStringList, edits);
    QFETCH(QString, routine);
    QFETCH(int, kind);
    QFETCH(bool, selectedOnly);
    QFETCH(QList<int>, selection);
    QFETCH(QList<int>, deletedElsewhere);
    QFETCH(QList<int>, printed);
    QFETCH(int, pages);
    QFETCH(QList<int>, papers);

    const QList<Person> persons = edited(count, edits);
    const QString path = newBook(persons);
    QVERIFY(!path.isEmpty());
    db::Database book = db::Database::open(path);
    db::Recordset rs = book.openRecordset(QStringLiteral("Q_個人台帳"), db::RecordsetType::Dynaset);
    for (int k : deletedElsewhere)
        db::Database::open(path).execute(QStringLiteral("DELETE FROM \"%1\" WHERE \"会員NO\" = ?").arg(db::schema::personTableName()), {k + 1});
    const int before = rs.absolutePosition();

    std::vector<char> lines(size_t(count), 0);
    for (int i : selection)
        lines[size_t(i)] = 1;
    list::PrintRequest request{kind, selectedOnly, &lines, {}};

    print::RecordingPrinter printer;
    const list::PrintRun r = run(routine, printer, rs, request);

    QList<Person> printedPeople;
    for (int k : printed)
        printedPeople << persons[k];
    const bool labels = kind == 0;
    QStringList expected, drawn;
    for (const Line& l : expectedLines(labels, printedPeople))
        expected << l.key();
    for (const print::RecordingPrinter::Drawn& d : printer.drawn()) {
        QCOMPARE(d.fontName, QStringLiteral("ＭＳ 明朝"));
        drawn << Line{d.page, d.x, d.y, d.fontSize, d.text}.key();
    }
    QCOMPARE(drawn, expected);
    QCOMPARE(r.printed, qint64(printed.size()));
    QVERIFY(r.job.ok);
    QCOMPARE(r.job.started, !printed.isEmpty());
    QCOMPARE(printer.jobsStarted(), printed.isEmpty() ? 0 : 1);
    QCOMPARE(printer.pagesStarted(), pages);
    QCOMPARE(printer.paperSizes(), papers);
    // The records stand where they stood.
    QCOMPARE(rs.absolutePosition(), before);
}

void TestPrintLayouts::printerFailureEndsTheRun()
{
    const QString path = newBook(people(25));
    db::Recordset rs = db::Database::open(path).openRecordset(QStringLiteral("Q_個人台帳"));
    print::RecordingPrinter printer;
    printer.failAt(2, 482, QStringLiteral("用紙切れ"));
    const list::PrintRun r = list::PrintAddresses(printer, rs, {list::LabelSheet, false, nullptr, {}});
    QVERIFY(!r.job.ok);
    QCOMPARE(r.job.errorNumber, 482);
    QCOMPARE(r.job.description, QStringLiteral("用紙切れ"));
    // Page 1 holds its 20 labels; nothing follows the failure.
    QCOMPARE(printer.pagesStarted(), 1);
    QCOMPARE(r.printed, qint64(20));
    for (const auto& d : printer.drawn())
        QCOMPARE(d.page, 1);
}

void TestPrintLayouts::pdfTextStandsWhereTheLayoutPutsIt_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("count");
    QTest::newRow("label sheet, both columns") << 0 << 12;
    QTest::newRow("postcards") << 1 << 2;
    QTest::newRow("return postcards") << 2 << 2;
}

void TestPrintLayouts::pdfTextStandsWhereTheLayoutPutsIt()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(int, kind);
    QFETCH(int, count);
    const QList<Person> persons = people(count);
    const QString path = newBook(persons);
    db::Recordset rs = db::Database::open(path).openRecordset(QStringLiteral("Q_個人台帳"));

    const QString pdf = dir.filePath(QStringLiteral("kind%1.pdf").arg(kind));
    QPrinter device(QPrinter::HighResolution);
    print::prepareQPrinter(&device);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(pdf);
    if (kind != 0)
        device.setPageSize(QPageSize(QSize(100, 148), QPageSize::Millimeter, QStringLiteral("はがき")));
    if (kind == 2)
        device.setPageOrientation(QPageLayout::Landscape);
    const QPointF offset = device.pageRect(QPrinter::Point).topLeft();
    print::QtPrinter printer(&device);
    const list::PrintRun r = list::PrintAddresses(printer, rs, {kind, false, nullptr, {}});
    QVERIFY(r.job.ok);

    int pages = 0;
    const QList<PdfWord> words = pdfWords(pdf, &pages);
    QVERIFY(!words.isEmpty());
    const QList<Line> lines = expectedLines(kind == 0, persons);
    for (const Line& l : lines) {
        // The line's first word: the text up to its first space.
        const QString first = l.text.section(QRegularExpression(QStringLiteral("[ 　]")), 0, 0);
        const PdfWord* found = nullptr;
        for (const PdfWord& w : words)
            if (w.page == l.page && w.text == first && qAbs(w.yMin - (offset.y() + l.y / 20)) < 2)
                found = &w;
        QVERIFY2(found, qPrintable(QStringLiteral("not found: ") + l.key()));
        QVERIFY2(qAbs(found->xMin - (offset.x() + l.x / 20)) < 0.5,
                 qPrintable(QStringLiteral("%1: x %2").arg(l.key()).arg(found->xMin)));
        QVERIFY2(qAbs(found->yMin - (offset.y() + l.y / 20)) < 0.5,
                 qPrintable(QStringLiteral("%1: top %2").arg(l.key()).arg(found->yMin)));
        QVERIFY2(qAbs((found->yMax - found->yMin) - l.size) < 0.5,
                 qPrintable(QStringLiteral("%1: height %2").arg(l.key()).arg(found->yMax - found->yMin)));
    }
    // One sheet a postcard, one for the labels, and no blank sheet at the end.
    QCOMPARE(pages, kind == 0 ? 1 : count);
    QCOMPARE(r.job.pages, pages);
}

QTEST_MAIN(TestPrintLayouts)
#include "tst_printlayouts.moc"
