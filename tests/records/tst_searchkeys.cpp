// The record search's comparisons: the Japanese text comparison, telephone digits, registration
// numbers, and the table of key boxes.

#include "platform/db/Schema.h"
#include "records/SearchKeys.h"

#include <QTest>

using records::SearchKey;

namespace {

bool matches(int keyField, const QString& key, const QVariantList& row)
{
    const records::SearchKeyField* f = records::SearchKeyFieldOf(keyField);
    Q_ASSERT(f);
    const std::optional<SearchKey> k = SearchKey::fromText(*f, key);
    return k && k->matches(row);
}

// The value the database reads from stored UTF-8 bytes: a leading byte-order mark is kept.
QString storedValue(const QByteArray& bytes)
{
    qsizetype marks = 0;
    while (bytes.mid(3 * marks, 3) == QByteArray("\xEF\xBB\xBF"))
        ++marks;
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(bytes.mid(3 * marks));
}

} // namespace

class TestSearchKeys : public QObject {
    Q_OBJECT
private slots:
    void japaneseContains_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("field");
        QTest::addColumn<bool>("found");
        QTest::newRow("half-width key inside, not at the start") << "ﾊﾅｺ" << QVariant("ｻﾄｳ ﾊﾅｺ") << true;
        QTest::newRow("half-width key, full-width katakana") << "ﾊﾅｺ" << QVariant("サトウ　ハナコ") << true;
        QTest::newRow("half-width key, hiragana") << "ﾊﾅｺ" << QVariant("さとう　はなこ") << true;
        QTest::newRow("voiced half-width key, full-width") << "ﾜﾀﾅﾍﾞ" << QVariant("ワタナベ") << true;
        QTest::newRow("hiragana key, half-width reading") << "がっこう" << QVariant("ｶﾞｯｺｳ") << true;
        QTest::newRow("long mark") << "ｺｰﾋｰ" << QVariant("こーひー") << true;
        QTest::newRow("letter case") << "EXAMPLE.JP" << QVariant("taro@example.jp") << true;
        QTest::newRow("full-width letters") << "ａｂｃ" << QVariant("xABCx") << true;
        QTest::newRow("another reading") << "ｽｽﾞｷ" << QVariant("ｻﾄｳ ﾊﾅｺ") << false;
        QTest::newRow("voiced and plain kana differ") << "ﾊﾞ" << QVariant("ハナコ") << false;
        QTest::newRow("empty field") << "ﾊﾅｺ" << QVariant(QString("")) << false;
        QTest::newRow("Null field") << "ﾊﾅｺ" << QVariant() << false;
    }
    void japaneseContains()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, field);
        QFETCH(bool, found);
        QCOMPARE(matches(1, key, {field}), found);
    }

    // Every character folds as composition, kana and case folding together fold it, whichever
    // way the fold takes; checked one character at a time and inside a longer text.
    void foldingMatchesTheFullRules_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("ASCII") << 0x20 << 0x7E;
        QTest::newRow("kana and their marks") << 0x3000 << 0x30FF;
        QTest::newRow("kanji") << 0x4E00 << 0x9FFF;
        QTest::newRow("full-width and half-width forms") << 0xFF00 << 0xFFEF;
    }
    void foldingMatchesTheFullRules()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        auto reference = [](const QString& text) {
            QString s = text.normalized(QString::NormalizationForm_KC);
            for (QChar& c : s)
                if ((c.unicode() >= 0x3041 && c.unicode() <= 0x3096) || c.unicode() == 0x309D || c.unicode() == 0x309E)
                    c = QChar(char16_t(c.unicode() + 0x60));
            return s.toCaseFolded();
        };
        for (int u = first; u <= last; ++u) {
            const QString one{QChar(char16_t(u))};
            QCOMPARE(records::SearchFolded(one), reference(one));
            const QString inside = QStringLiteral("Aあ") + one + QStringLiteral("漢");
            QCOMPARE(records::SearchFolded(inside), reference(inside));
        }
    }

    // Readings in half-width katakana fold by table; a voiced or semi-voiced mark joins the kana
    // before it exactly when the full rules join them. Every kana, half-width or not, before
    // every half-width character and mark.
    void foldingOfPairsMatchesTheFullRules_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("hiragana and katakana before") << 0x3041 << 0x30FF;
        QTest::newRow("half-width katakana before") << 0xFF61 << 0xFF9F;
        QTest::newRow("letters and the full-width space before") << 0x3000 << 0x3000;
    }
    void foldingOfPairsMatchesTheFullRules()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        auto reference = [](const QString& text) {
            QString s = text.normalized(QString::NormalizationForm_KC);
            for (QChar& c : s)
                if ((c.unicode() >= 0x3041 && c.unicode() <= 0x3096) || c.unicode() == 0x309D || c.unicode() == 0x309E)
                    c = QChar(char16_t(c.unicode() + 0x60));
            return s.toCaseFolded();
        };
        for (int u = first; u <= last; ++u) {
            for (int v = 0xFF61; v <= 0xFF9F; ++v) {
                const QString pair = QStringLiteral("Aｶ") + QChar(char16_t(u)) + QChar(char16_t(v)) + QStringLiteral("ﾞｱ");
                QCOMPARE(records::SearchFolded(pair), reference(pair));
            }
        }
    }

    // A stored text is compared straight from its bytes as its value would be: the same fold,
    // the same match, also for bytes that are not well-formed UTF-8.
    void storedTextComparesAsItsValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("found");
        QTest::newRow("half-width reading") << "ﾊﾅｺ" << QByteArray("ｻﾄｳ ﾊﾅｺ") << true;
        QTest::newRow("half-width voiced reading, hiragana key") << "わたなべ" << QByteArray("ﾜﾀﾅﾍﾞ") << true;
        QTest::newRow("hiragana wa and a half-width mark stay apart") << "ヷ" << QByteArray("わﾞ") << false;
        QTest::newRow("katakana wa and a half-width mark join") << "ヷ" << QByteArray("ﾜﾞ") << true;
        QTest::newRow("kanji and full-width letters") << "ABC" << QByteArray("山田ＡＢＣ") << true;
        QTest::newRow("two-byte letter") << "É" << QByteArray("Café") << true;
        QTest::newRow("four-byte character") << "😀" << QByteArray("ﾊﾅｺ😀") << true;
        QTest::newRow("leading byte-order mark is kept") << "\uFEFFｻ" << QByteArray("\xEF\xBB\xBFｻﾄｳ") << true;
        QTest::newRow("overlong form is no letter") << "A" << QByteArray("x\xE0\x81\x81x") << false;
        QTest::newRow("cut-off character") << "ｻ" << QByteArray("ｻ\xE3\x81") << true;
        QTest::newRow("lone continuation byte") << "ﾄｳ" << QByteArray("ｻ\x81ﾄｳ") << true;
        QTest::newRow("encoded surrogate") << "ｻ" << QByteArray("\xED\xA0\x80ｻ") << true;
        QTest::newRow("control character") << "ｻﾄ" << QByteArray("\tｻﾄｳ") << true;
        QTest::newRow("another reading") << "ｽｽﾞｷ" << QByteArray("ｻﾄｳ ﾊﾅｺ") << false;
        QTest::newRow("empty text") << "ｻ" << QByteArray("") << false;
    }
    void storedTextComparesAsItsValue()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, stored);
        QFETCH(bool, found);
        const std::optional<SearchKey> k = SearchKey::fromText(*records::SearchKeyFieldOf(1), key);
        QVERIFY(k && k->readsText());
        QCOMPARE(k->matchesText(stored), found);
        QCOMPARE(k->matches({storedValue(stored)}), found);
        QCOMPARE(records::SearchFoldedUtf8(stored), records::SearchFolded(storedValue(stored)));
    }
    // Every character of the basic plane, stored as UTF-8 between kana and a half-width mark,
    // folds from its bytes as from its text.
    void foldingFromBytesMatchesFoldingOfText()
    {
        for (int u = 1; u <= 0xFFFF; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const QString text = QStringLiteral("Aｶ") + QChar(char16_t(u)) + QStringLiteral("ﾞ漢");
            const QByteArray stored = text.toUtf8();
            QCOMPARE(records::SearchFoldedUtf8(stored), records::SearchFolded(text));
        }
    }

    void phones_data()
    {
        QTest::addColumn<int>("keyField");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("home");
        QTest::addColumn<QVariant>("mobile");
        QTest::addColumn<bool>("found");
        QTest::newRow("hyphens against brackets and spaces") << 8 << "03-1234-5678" << QVariant("(03) 1234 5678") << QVariant() << true;
        QTest::newRow("part of the number") << 8 << "1234" << QVariant("0312345678") << QVariant() << true;
        QTest::newRow("full-width digits") << 8 << "０３－１２３４" << QVariant("03-1234-5678") << QVariant() << true;
        QTest::newRow("home box finds the mobile number") << 8 << "090-0000-3333" << QVariant("03-1111-2222") << QVariant("090-0000-3333") << true;
        QTest::newRow("not without a home number") << 8 << "090-0000-3333" << QVariant("") << QVariant("090-0000-3333") << false;
        QTest::newRow("not across the two numbers") << 8 << "22220900" << QVariant("03-1111-2222") << QVariant("090-0000-3333") << false;
        QTest::newRow("other digits") << 8 << "9999" << QVariant("03-1111-2222") << QVariant() << false;
        QTest::newRow("mobile box") << 14 << "0000-3333" << QVariant() << QVariant("090-0000-3333") << true;
        QTest::newRow("mobile box ignores the home number") << 14 << "1111" << QVariant("03-1111-2222") << QVariant("090-0000-3333") << false;
        QTest::newRow("mobile box, no mobile number") << 14 << "090" << QVariant("090") << QVariant() << false;
    }
    void phones()
    {
        QFETCH(int, keyField);
        QFETCH(QString, key);
        QFETCH(QVariant, home);
        QFETCH(QVariant, mobile);
        QFETCH(bool, found);
        const QVariantList row = keyField == 8 ? QVariantList{home, mobile} : QVariantList{mobile};
        QCOMPARE(matches(keyField, key, row), found);
    }

    void keysWithoutAKey_data()
    {
        QTest::addColumn<int>("keyField");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty reading") << 1 << "";
        QTest::newRow("a hyphen for a home number") << 8 << "-";
        QTest::newRow("brackets for a mobile number") << 14 << "( )";
        QTest::newRow("the registration date is no text key") << 24 << "05/04/01";
    }
    void keysWithoutAKey()
    {
        QFETCH(int, keyField);
        QFETCH(QString, text);
        QVERIFY(!SearchKey::fromText(*records::SearchKeyFieldOf(keyField), text));
    }

    void memberNo()
    {
        QVERIFY(matches(0, "12", {12}));
        QVERIFY(matches(0, "00000012", {qint64(12)}));
        QVERIFY(matches(0, "12abc", {12}));
        QVERIFY(!matches(0, "12", {112}));
        QVERIFY(!matches(0, "12", {120}));
        QVERIFY(!matches(0, "12", {QVariant()}));
        QVERIFY(matches(0, "40000", {40000}));
    }

    void registrationDate()
    {
        const records::SearchKeyField* f = records::SearchKeyFieldOf(24);
        const SearchKey key = SearchKey::forDate(*f, QDate(1993, 4, 1));
        QVERIFY(key.matches({QDate(1993, 4, 1)}));
        QVERIFY(!key.matches({QDate(1993, 4, 2)}));
        QVERIFY(!key.matches({QVariant()}));
    }

    void aDeletedRecordMatchesNothing()
    {
        QVERIFY(!matches(1, "ﾊﾅｺ", {}));
        QVERIFY(!matches(8, "03", {QVariant("03")}));
    }

    // The key boxes and the fields they search.
    void keyBoxes()
    {
        QList<int> boxes;
        for (const records::SearchKeyField& f : records::SearchKeyFields())
            boxes << f.keyField;
        QCOMPARE(boxes, (QList<int>{0, 1, 2, 8, 9, 14, 15, 21, 22, 23, 24, 25, 26}));
        QStringList known;
        for (const db::schema::FieldDef& f : db::schema::personFields())
            known << f.name;
        for (const records::SearchKeyField& f : records::SearchKeyFields())
            for (const QString& name : f.fields)
                QVERIFY2(known.contains(name), qPrintable(name));
        QCOMPARE(records::SearchKeyFieldOf(25)->fields, QStringList{QStringLiteral("都道府県")});
        QCOMPARE(records::SearchKeyFieldOf(26)->fields, QStringList{QStringLiteral("市町村")});
        QVERIFY(!records::SearchKeyFieldOf(5));
        QVERIFY(!records::SearchKeyFieldOf(-1));
    }
};

QTEST_APPLESS_MAIN(TestSearchKeys)
#include "tst_searchkeys.moc"
