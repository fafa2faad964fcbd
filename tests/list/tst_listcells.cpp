// What the list window's page shows without the window: the cells of one record, the headings,
// the caption, the run of a category's web pages and the number cells "写真" acts on.

#include "list/ListCells.h"

#include <QTest>

using listwin::CaptionRow;

Q_DECLARE_METATYPE(QList<QVariantList>)

namespace {

CaptionRow captionRow(const QVariantHash& fields, bool present = true)
{
    CaptionRow row;
    row.present = present;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        row.fields.insert(it.key(), it.value());
    return row;
}

const QDate kToday(2024, 4, 1);

} // namespace

class TestListCells : public QObject {
    Q_OBJECT
private slots:
    void cells_data()
    {
        QTest::addColumn<QVariantHash>("record");
        QTest::addColumn<QVariantHash>("captions");
        QTest::addColumn<bool>("captionRowPresent");
        QTest::addColumn<int>("column");  // Text1 .. Text24
        QTest::addColumn<QString>("shown");

        const QVariantHash none;
        const QVariant null;
        auto rec = [](std::initializer_list<std::pair<const char*, QVariant>> values) {
            QVariantHash h;
            for (const auto& [k, v] : values)
                h.insert(QString::fromUtf8(k), v);
            return h;
        };

        QTest::newRow("number with eight digits") << rec({{"会員NO", 123}}) << none << true << 1 << "00000123";
        QTest::newRow("null number is empty") << rec({{"会員NO", null}}) << none << true << 1 << "";
        QTest::newRow("registered with weekday") << rec({{"登録日", QDate(2023, 4, 1)}}) << none << true << 2 << "23/04/01(土)";
        QTest::newRow("null registered is empty") << rec({{"登録日", null}}) << none << true << 2 << "";
        QTest::newRow("left with weekday") << rec({{"退会日", QDate(1999, 12, 31)}}) << none << true << 3 << "99/12/31(金)";

        QTest::newRow("sex 1 with empty caption") << rec({{"性別", "1"}}) << QVariantHash{{"性別男", ""}} << true << 4 << "男";
        QTest::newRow("sex 1 with own caption") << rec({{"性別", "1"}}) << QVariantHash{{"性別男", "男性"}} << true << 4 << "男性";
        QTest::newRow("sex 2 with null caption") << rec({{"性別", "2"}}) << QVariantHash{{"性別女", null}} << true << 4 << "女";
        QTest::newRow("sex 2 without caption row") << rec({{"性別", "2"}}) << none << false << 4 << "女";
        QTest::newRow("sex 2 with own caption") << rec({{"性別", "2"}}) << QVariantHash{{"性別女", "女性"}} << true << 4 << "女性";
        QTest::newRow("sex 3 shows nothing") << rec({{"性別", "3"}}) << none << true << 4 << "";
        QTest::newRow("null sex shows nothing") << rec({{"性別", null}}) << none << true << 4 << "";

        QTest::newRow("state 1 without caption row") << rec({{"状態", "1"}}) << none << false << 23 << "会員";
        QTest::newRow("state 1 with missing caption field") << rec({{"状態", "1"}}) << none << true << 23 << "会員";
        QTest::newRow("state 2 with null caption") << rec({{"状態", "2"}}) << QVariantHash{{"状態休会", null}} << true << 23 << "休会";
        QTest::newRow("state 3 with empty caption") << rec({{"状態", "3"}}) << QVariantHash{{"状態退会", ""}} << true << 23 << "";
        QTest::newRow("state 3 built-in") << rec({{"状態", "3"}}) << none << false << 23 << "退会";
        QTest::newRow("state word as stored") << rec({{"状態", "1"}}) << QVariantHash{{"状態会員", " 正会員 "}} << true << 23 << " 正会員 ";
        QTest::newRow("state 4 shows nothing") << rec({{"状態", "4"}}) << none << false << 23 << "";

        QTest::newRow("null category") << rec({{"会員区分名称", null}}) << none << true << 5 << "";
        QTest::newRow("category name") << rec({{"会員区分名称", "友人"}}) << none << true << 5 << "友人";
        const QString longName = QString(60, QChar(0x9577)) + QStringLiteral("abc");
        QTest::newRow("long name whole") << rec({{"氏名", longName}}) << none << true << 6 << longName;
        QTest::newRow("empty name") << rec({{"氏名", ""}}) << none << true << 6 << "";

        QTest::newRow("birth date with weekday") << rec({{"生年月日", QDate(1979, 4, 2)}}) << none << true << 7 << "79/04/02(月)";
        QTest::newRow("null birth date") << rec({{"生年月日", null}}) << none << true << 7 << "";
        QTest::newRow("age with birthday today") << rec({{"生年月日", QDate(1979, 4, 1)}}) << none << true << 8 << "45 ";
        QTest::newRow("age a day before birthday") << rec({{"生年月日", QDate(1979, 4, 2)}}) << none << true << 8 << "44 ";
        QTest::newRow("null birth date no age") << rec({{"生年月日", null}}) << none << true << 8 << "";

        QTest::newRow("no address parts") << none << none << true << 9 << " ";
        QTest::newRow("address joined") << rec({{"郵便番号", "100-0001"}, {"都道府県", "東京都"}, {"市町村", "千代田区"},
                                                 {"番地", "1-1"}, {"住所2", "ビル"}})
                                       << none << true << 9 << "100-0001東京都千代田区1-1 ビル";
        QTest::newRow("address with null parts") << rec({{"都道府県", "東京都"}, {"番地", null}, {"住所2", ""}}) << none
                                                 << true << 9 << "東京都 ";

        QTest::newRow("home phone") << rec({{"自宅電話", "03-0000-0000"}}) << none << true << 10 << "03-0000-0000";
        QTest::newRow("mobile phone") << rec({{"携帯電話", "090-0000-0000"}}) << none << true << 11 << "090-0000-0000";
        QTest::newRow("job without field") << rec({{"職業", "会社員"}, {"職種専攻", null}}) << none << true << 12 << "会社員 ";
        QTest::newRow("job with field") << rec({{"職業", "会社員"}, {"職種専攻", "営業"}}) << none << true << 12 << "会社員 営業";
        QTest::newRow("field without job") << rec({{"職業", ""}, {"職種専攻", "営業"}}) << none << true << 12 << "";

        QTest::newRow("value 0") << rec({{"数値1", 0}}) << none << true << 16 << "";
        QTest::newRow("value null") << rec({{"数値2", null}}) << none << true << 17 << "";
        QTest::newRow("value whole") << rec({{"数値3", 12}}) << none << true << 18 << "12";
        QTest::newRow("value whole real grouped") << rec({{"数値4", 1234567.0}}) << none << true << 19 << "1,234,567";
        QTest::newRow("value fractional") << rec({{"数値5", 1234.5}}) << none << true << 20 << "1,234.5";
        QTest::newRow("value negative") << rec({{"数値6", -3}}) << none << true << 21 << "-3";
        QTest::newRow("value negative fractional") << rec({{"数値1", -2.5}}) << none << true << 16 << "-2.5";

        QTest::newRow("memo") << rec({{"記事", "メモ"}}) << none << true << 22 << "メモ";
        QTest::newRow("web address as stored") << rec({{"WebHome", "www.example.com"}}) << none << true << 24 << "www.example.com";
    }
    void cells()
    {
        QFETCH(QVariantHash, record);
        QFETCH(QVariantHash, captions);
        QFETCH(bool, captionRowPresent);
        QFETCH(int, column);
        QFETCH(QString, shown);
        const auto texts = listwin::ListCellTexts([&](const QString& f) { return record.value(f); },
                                                  captionRow(captions, captionRowPresent), kToday);
        QCOMPARE(texts[size_t(column - 1)], shown);
    }

    void headings_data()
    {
        QTest::addColumn<QVariantHash>("captions");
        QTest::addColumn<bool>("captionRowPresent");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("shown");
        const QVariantHash none;
        const QVariant null;
        QTest::newRow("no caption row: birth date") << none << false << 6 << "年月日";
        QTest::newRow("no caption row: age") << none << false << 7 << "年齢";
        QTest::newRow("no caption row: job") << none << false << 11 << "職業職種（専攻）";
        QTest::newRow("no caption row: value 1 empty") << none << false << 15 << "";
        QTest::newRow("fixed address") << QVariantHash{{"住所", "所在地"}} << true << 8 << "住所";
        QTest::newRow("fixed URL") << none << true << 23 << "URL";
        QTest::newRow("own birth caption") << QVariantHash{{"生年月日", "設立日"}} << true << 6 << "設立日";
        QTest::newRow("own birth caption: years") << QVariantHash{{"生年月日", "設立日"}} << true << 7 << "年";
        QTest::newRow("birth caption as built-in name") << QVariantHash{{"生年月日", "生年月日"}} << true << 6 << "生年月日";
        QTest::newRow("birth caption as built-in name: age") << QVariantHash{{"生年月日", "生年月日"}} << true << 7 << "年齢";
        QTest::newRow("empty birth caption") << QVariantHash{{"生年月日", ""}} << true << 6 << "年月日";
        QTest::newRow("empty birth caption: age") << QVariantHash{{"生年月日", ""}} << true << 7 << "年齢";
        QTest::newRow("null birth caption: age") << QVariantHash{{"生年月日", null}} << true << 7 << "年齢";
        QTest::newRow("job and field joined") << QVariantHash{{"職業", "勤務先"}, {"職種", "部署"}} << true << 11 << "勤務先部署";
        QTest::newRow("empty job, own field") << QVariantHash{{"職業", ""}, {"職種", "部署"}} << true << 11 << "職業部署";
        QTest::newRow("own job, null field") << QVariantHash{{"職業", "勤務先"}, {"職種", null}} << true << 11 << "勤務先職種（専攻）";
        QTest::newRow("own value caption") << QVariantHash{{"数値1", "年会費"}} << true << 15 << "年会費";
        QTest::newRow("value 6 caption") << QVariantHash{{"数値6", "残高"}} << true << 20 << "残高";
        QTest::newRow("null state heading") << QVariantHash{{"状態", null}} << true << 22 << "状態";
        QTest::newRow("empty number heading") << QVariantHash{{"登録番号", ""}} << true << 0 << "登録番号";
        QTest::newRow("own category heading") << QVariantHash{{"登録区分", "分類"}} << true << 4 << "分類";
    }
    void headings()
    {
        QFETCH(QVariantHash, captions);
        QFETCH(bool, captionRowPresent);
        QFETCH(int, index);
        QFETCH(QString, shown);
        QCOMPARE(listwin::ListHeadings(captionRow(captions, captionRowPresent))[size_t(index)], shown);
    }

    void optionCaptions()
    {
        const auto builtIn = listwin::OrderOptionCaptions(captionRow({}, false));
        QCOMPARE(builtIn[2], QStringLiteral("フリガナ"));
        const auto own = listwin::OrderOptionCaptions(
            captionRow({{QStringLiteral("生年月日"), QStringLiteral("設立日")}, {QStringLiteral("登録日"), QString()}}));
        QCOMPARE(own[4], QStringLiteral("設立日"));
        QCOMPARE(own[1], QStringLiteral("登録日"));
        QCOMPARE(own[5], QStringLiteral("誕生日"));
    }

    void captionCutAtDoubleByteEdge()
    {
        // 159 single bytes and a double-byte character that would straddle byte 160.
        const QString title = QString(159, QLatin1Char('x')) + QStringLiteral("あいう");
        const QString caption = listwin::WindowCaption(title, QDate(2024, 4, 1));
        QCOMPARE(caption, QString(159, QLatin1Char('x')) + QLatin1Char(' ') + QStringLiteral("2024年04月01日(月) "));
        // A short title is padded: the date still starts at byte 161.
        QCOMPARE(listwin::WindowCaption(QStringLiteral("住所録"), QDate(2024, 4, 1)).indexOf(QStringLiteral("2024")), 3 + 154);
    }

    void categoryRun_data()
    {
        QTest::addColumn<QList<QVariantList>>("records");  // name, address
        QTest::addColumn<qint64>("focused");
        QTest::addColumn<QStringList>("opened");
        const QVariant null;
        const QList<QVariantList> sorted = {{"友人", "a1"}, {"友人", null}, {"友人", ""}, {"友人", "a4"}, {"家族", "b1"}};
        QTest::newRow("whole run, empty addresses skipped") << sorted << qint64(3) << QStringList{"a1", "a4"};
        QTest::newRow("other category") << sorted << qint64(4) << QStringList{"b1"};
        QTest::newRow("beyond the records") << sorted << qint64(5) << QStringList{};
        QTest::newRow("negative position") << sorted << qint64(-1) << QStringList{};
        const QList<QVariantList> mixed = {{"家族", "b1"}, {"友人", "a1"}, {"家族", "b2"}};
        QTest::newRow("first run only") << mixed << qint64(2) << QStringList{"b1"};
        const QList<QVariantList> nullInRun = {{"友人", "a1"}, {null, "n1"}, {"友人", "a2"}};
        QTest::newRow("null name ends the run") << nullInRun << qint64(0) << QStringList{"a1"};
        QTest::newRow("null category opens nothing") << nullInRun << qint64(1) << QStringList{};
        const QList<QVariantList> empty = {{"", "e1"}, {"", "e2"}};
        QTest::newRow("empty category opens nothing") << empty << qint64(0) << QStringList{};
        const QList<QVariantList> quote = {{"O'Neil会", "q1"}, {"O'Neil会", "q2"}};
        QTest::newRow("apostrophe in the name") << quote << qint64(1) << QStringList{"q1", "q2"};
    }
    void categoryRun()
    {
        QFETCH(QList<QVariantList>, records);
        QFETCH(qint64, focused);
        QFETCH(QStringList, opened);
        QCOMPARE(listwin::CategoryWebAddresses(records, focused), opened);
    }

    void recordNumberCells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("eight digits") << "00000123" << true;
        QTest::newRow("leading spaces") << "  123" << true;
        QTest::newRow("blank") << "   " << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("parent folder") << "../../x" << false;
        QTest::newRow("sign") << "-1" << false;
        QTest::newRow("full-width digits") << "１２３" << false;
        QTest::newRow("digits and slash") << "12/3" << false;
    }
    void recordNumberCells()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QCOMPARE(listwin::IsRecordNumberText(text), number);
    }

    void manyPagesQuestion()
    {
        QCOMPARE(listwin::ManyPagesQuestion(21), QStringLiteral("21 件のWebページを開きます　よろしいですか？"));
    }
};

QTEST_GUILESS_MAIN(TestListCells)
#include "tst_listcells.moc"
