#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <QTest>

#include "platform/text/Cp932.h"

using namespace text;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The text every code page 932 check starts from: NEC and IBM extensions, the full-width
// tilde that Windows maps to 0x8160, and half-width katakana.
const QString kSample = QString::fromUtf8("①㈱髙﨑～ｱｲｳ");
const QByteArray kSampleBytes = QByteArray::fromHex("8740878afbfcfab18160b1b2b3");

} // namespace

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void converterExists();
    void byteWidth_data();
    void byteWidth();
    void surrogatePairIsOneCharacter();
    void roundTrip_data();
    void roundTrip();
    void fileRoundTripWritesCrLf();
    void readLineEnds_data();
    void readLineEnds();
    void readMissingFileFails();
    void unencodable_data();
    void unencodable();
    void refuseLeavesFileUntouched();
    void substituteWhenNotRefused();
    void danglingLeadByteIsNotLost();
    void decodesAsTheConverter_data();
    void decodesAsTheConverter();
    void controlCodesReadAsWritten();
    void twins_data();
    void twins();
    void brokenBytesAreMarkedAndCounted_data();
    void brokenBytesAreMarkedAndCounted();
};

void TestCp932::converterExists()
{
    QVERIFY(cp932Available());
}

void TestCp932::byteWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("ab 1~") << 5;
    QTest::newRow("control chars") << QStringLiteral("\t\r\n") << 3;
    QTest::newRow("half-width katakana") << QString::fromUtf8("ｱｲｳﾞﾟ") << 5;
    QTest::newRow("first half-width U+FF61") << QString(QChar(0xFF61)) << 1;
    QTest::newRow("last half-width U+FF9F") << QString(QChar(0xFF9F)) << 1;
    QTest::newRow("below half-width U+FF60") << QString(QChar(0xFF60)) << 2;
    QTest::newRow("above half-width U+FFA0") << QString(QChar(0xFFA0)) << 2;
    QTest::newRow("kanji and kana") << QString::fromUtf8("山田あア") << 8;
    QTest::newRow("full-width digits") << QString::fromUtf8("１２") << 4;
    QTest::newRow("latin-1 beyond ascii") << QString::fromUtf8("é") << 2;
    QTest::newRow("surrogate pair") << QString::fromUtf8("𠮷") << 2;
    QTest::newRow("mixed") << QString::fromUtf8("a𠮷ｱ漢") << 6;
    QTest::newRow("lone high surrogate") << QString(QChar(0xD842)) << 2;
}

void TestCp932::byteWidth()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QCOMPARE(text::byteWidth(text), width);
}

void TestCp932::surrogatePairIsOneCharacter()
{
    const QString s = QString::fromUtf8("a𠮷b");
    qsizetype units = -1;
    QCOMPARE(charByteWidth(s, 0, &units), 1);
    QCOMPARE(units, 1);
    QCOMPARE(charByteWidth(s, 1, &units), 2);
    QCOMPARE(units, 2);
    QCOMPARE(charByteWidth(s, 3, &units), 1);
    QCOMPARE(units, 1);
    QCOMPARE(charByteWidth(s, 4, &units), 0);
    QCOMPARE(units, 0);
}

void TestCp932::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("sample") << kSample << kSampleBytes;
    QTest::newRow("full-width tilde") << QString(QChar(0xFF5E)) << QByteArray::fromHex("8160");
    QTest::newRow("windows-only signs") << QString::fromUtf8("－￠￡￢∥＼")
                                        << QByteArray::fromHex("817c8191819281ca8161815f");
    QTest::newRow("ascii backslash and tilde") << QStringLiteral("\\~") << QByteArray("\\~");
    QTest::newRow("kanji") << QString::fromUtf8("住所録") << QByteArray::fromHex("8f5a8f8a985e");
}

void TestCp932::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const Encoded e = encodeCp932(text);
    QCOMPARE(e.substituted, 0);
    QCOMPARE(e.bytes.toHex(), bytes.toHex());
    QCOMPARE(decodeCp932(e.bytes), text);
    QVERIFY(fitsCp932(text));
}

void TestCp932::fileRoundTripWritesCrLf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("PMPath.txt"));
    const QStringList lines{kSample, QString(), QStringLiteral("abc")};

    const WriteResult w = writeCp932Lines(path, lines, true);
    QVERIFY2(w.ok, qPrintable(w.error));
    QCOMPARE(w.substituted, 0);
    QCOMPARE(readBytes(path).toHex(), (kSampleBytes + "\r\n\r\nabc\r\n").toHex());

    const ReadResult r = readCp932File(path);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(splitLines(r.content), lines);
}

void TestCp932::readLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QString yamada = QString::fromUtf8("山田");
    const QByteArray yamadaBytes = QByteArray::fromHex("8e529363");
    QTest::newRow("LF") << QByteArray(yamadaBytes + "\nb\n") << QStringList{yamada, "b"};
    QTest::newRow("CR") << QByteArray(yamadaBytes + "\rb") << QStringList{yamada, "b"};
    QTest::newRow("CR LF") << QByteArray(yamadaBytes + "\r\nb\r\n") << QStringList{yamada, "b"};
    QTest::newRow("mixed, empty lines kept") << QByteArray("a\r\n\r\nb\rc\nd")
                                             << QStringList{"a", "", "b", "c", "d"};
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("only a break") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestCp932::readLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.txt"));
    writeBytes(path, bytes);
    const ReadResult r = readCp932File(path);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(splitLines(r.content), lines);
}

void TestCp932::readMissingFileFails()
{
    QTemporaryDir dir;
    const ReadResult r = readCp932File(dir.filePath(QStringLiteral("missing.txt")));
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QVERIFY(r.content.isEmpty());
    // A FIFO fails at once instead of waiting for a writer; so does a folder.
    const QString fifo = dir.filePath(QStringLiteral("x.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QVERIFY(!readCp932File(fifo).ok);
    QVERIFY(!readCp932File(dir.path()).ok);
}

void TestCp932::unencodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("substituted");
    QTest::newRow("emoji") << QString::fromUtf8("a😀b") << QByteArray("a?b") << 1;
    QTest::newRow("kanji outside cp932") << QString::fromUtf8("𠮷野")
                                         << QByteArray("?\x96\xec") << 1;
    QTest::newRow("wave dash U+301C") << QString::fromUtf8("1〜2") << QByteArray("1?2") << 1;
    QTest::newRow("byte order mark") << (QChar(0xFEFF) + QStringLiteral("x")) << QByteArray("?x") << 1;
    QTest::newRow("lone surrogate") << QString(QChar(0xDC00)) << QByteArray("?") << 1;
    QTest::newRow("two in a row") << QString::fromUtf8("😀😀") << QByteArray("??") << 2;
}

void TestCp932::unencodable()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, substituted);
    const Encoded e = encodeCp932(text);
    QCOMPARE(e.bytes.toHex(), bytes.toHex());
    QCOMPARE(e.substituted, substituted);
    QVERIFY(!fitsCp932(text));
}

void TestCp932::refuseLeavesFileUntouched()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PMPath.txt"));
    writeBytes(path, "old\r\n");
    const WriteResult w = writeCp932Lines(path, {QString::fromUtf8("/home/𠮷田"), "x"}, true);
    QVERIFY(!w.ok);
    QCOMPARE(w.substituted, 1);
    QVERIFY(!w.error.isEmpty());
    QCOMPARE(readBytes(path), QByteArray("old\r\n"));
}

void TestCp932::substituteWhenNotRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    writeBytes(path, "old contents that are longer\r\n");
    const WriteResult w = writeCp932Lines(path, {QString::fromUtf8("x😀"), QString::fromUtf8("𠮷")}, false);
    QVERIFY2(w.ok, qPrintable(w.error));
    QCOMPARE(w.substituted, 2);
    QCOMPARE(readBytes(path), QByteArray("x?\r\n?\r\n"));
}

void TestCp932::danglingLeadByteIsNotLost()
{
    QCOMPARE(decodeCp932(QByteArray("a\x82")), QStringLiteral("a") + QChar(QChar::ReplacementCharacter));
    QCOMPARE(decodeCp932(QByteArray("\x82\xa0")), QString::fromUtf8("あ"));
}

// However a text is decoded, it reads as the converter itself reads it, character for
// character, broken bytes included.
void TestCp932::decodesAsTheConverter_data()
{
    QTest::addColumn<QByteArray>("bytes");
    auto isLead = [](int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    auto oneCharacter = [](const QByteArray& code) {
        const QString c = QStringDecoder("windows-31j").decode(code);
        return c.size() == 1 && c[0] != QChar::ReplacementCharacter && c[0] != QChar(0x1A);
    };
    QByteArray pairs, singles;
    int pairCount = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; isLead(lead) && trail <= 0xFC; ++trail) {
            const char two[2] = {char(lead), char(trail)};
            if (oneCharacter(QByteArray(two, 2))) {
                pairs += QByteArray(two, 2);
                ++pairCount;
            }
        }
    }
    for (int b = 0x20; b < 256; ++b)
        if (!isLead(b) && oneCharacter(QByteArray(1, char(b))))
            singles += char(b);
    QVERIFY(pairCount > 7000);
    QTest::newRow("every two-byte character") << pairs;
    QTest::newRow("every single-byte character") << singles;
    QTest::newRow("a lead byte before a line end") << QByteArray("\x82\r\nabc\x82\xa0");
    QTest::newRow("a lead byte before a byte no trail can be") << QByteArray("x\x88\x20y");
    QTest::newRow("bytes no character uses") << QByteArray("\x80\xa0\xfd\xfe\xff\x82\xa0");
    QTest::newRow("a code no character has") << QByteArray("\x85\x40\x82\xa0");
}

void TestCp932::decodesAsTheConverter()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(decodeCp932(bytes), QStringDecoder("windows-31j").decode(bytes));
}

// Control codes stay themselves both ways, in a text of ASCII alone and beside Japanese.
void TestCp932::controlCodesReadAsWritten()
{
    const QString controls = QString::fromUtf8("\x1a\x1c\x7f");
    for (const QString& text : {controls, controls + QString::fromUtf8("あ") + QChar(0)}) {
        const Encoded e = encodeCp932(text);
        QCOMPARE(e.substituted, 0);
        QVERIFY(e.bytes.startsWith("\x1a\x1c\x7f"));
        QCOMPARE(decodeCp932(e.bytes), text);
    }
}

// Characters typed on Linux whose full-width twin code page 932 holds: a CSV file gets the twin,
// a path (PMPath.txt) is refused, as it must name the file exactly.
void TestCp932::twins_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("twin");
    QTest::newRow("wave dash") << QString(QChar(0x301C)) << QString(QChar(0xFF5E));
    QTest::newRow("minus sign") << QString(QChar(0x2212)) << QString(QChar(0xFF0D));
    QTest::newRow("double vertical line") << QString(QChar(0x2016)) << QString(QChar(0x2225));
    QTest::newRow("em dash") << QString(QChar(0x2014)) << QString(QChar(0x2015));
    QTest::newRow("cent") << QString(QChar(0x00A2)) << QString(QChar(0xFFE0));
    QTest::newRow("pound") << QString(QChar(0x00A3)) << QString(QChar(0xFFE1));
    QTest::newRow("not sign") << QString(QChar(0x00AC)) << QString(QChar(0xFFE2));
}

void TestCp932::twins()
{
    QFETCH(QString, character);
    QFETCH(QString, twin);
    const Encoded held = encodeCp932(twin);
    QCOMPARE(held.substituted, 0);
    QCOMPARE(held.bytes.size(), 2);

    const QString text = QStringLiteral("a") + character + QStringLiteral("b");
    const Encoded csv = encodeCp932(text, Twins::Write);
    QCOMPARE(csv.bytes.toHex(), (QByteArray("a") + held.bytes + QByteArray("b")).toHex());
    QCOMPARE(csv.substituted, 0);
    QCOMPARE(decodeCp932(csv.bytes), QStringLiteral("a") + twin + QStringLiteral("b"));

    const Encoded exact = encodeCp932(text);
    QCOMPARE(exact.bytes, QByteArray("a?b"));
    QCOMPARE(exact.substituted, 1);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PMPath.txt"));
    writeBytes(path, "old\r\n");
    const WriteResult w = writeCp932Lines(path, {QStringLiteral("/home/a") + character + QStringLiteral("/b.mdb")}, true);
    QVERIFY(!w.ok);
    QCOMPARE(readBytes(path), QByteArray("old\r\n"));
}

void TestCp932::brokenBytesAreMarkedAndCounted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("broken");
    const QChar bad = QChar::ReplacementCharacter;
    QTest::newRow("whole characters") << QByteArray("a\x82\xa0\x1a") << QString::fromUtf8("aあ\x1a") << 0;
    QTest::newRow("a code no character has") << QByteArray("\x85\x40,\x82\xa0") << (QString(bad) + QString::fromUtf8(",あ")) << 1;
    QTest::newRow("a lead before a comma keeps the comma") << QByteArray("x\x88,y") << (QStringLiteral("x") + bad + QStringLiteral(",y")) << 1;
    QTest::newRow("a lead at the end") << QByteArray("a\x82") << (QStringLiteral("a") + bad) << 1;
    QTest::newRow("bytes no character uses") << QByteArray("\xfd\xfe\xff") << QString(3, bad) << 3;
}

void TestCp932::brokenBytesAreMarkedAndCounted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, broken);
    int counted = -1;
    QCOMPARE(decodeCp932Marked(bytes, &counted), text);
    QCOMPARE(counted, broken);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    writeBytes(path, bytes);
    const ReadResult r = readCp932File(path);
    QCOMPARE(r.content, text);
    QCOMPARE(r.broken, broken);
}

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
