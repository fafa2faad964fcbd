// The record window's load: its records in the stored order, the first record field by field,
// an empty book, the captions, the picture and the caption of the window.

#include "RecordsFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Form3.h"

#include <QAbstractButton>
#include <QFile>
#include <QScrollBar>

using fixture::shown;

namespace {

const QDate kToday(2024, 4, 1);

// Record 1 of the sample book, made into a record whose every display rule can be seen.
void chooseRecordOne(const QString& book)
{
    fixture::exec(book, QStringLiteral(
        "UPDATE \"個人台帳\" SET \"登録日\" = '2001-05-20', \"退会日\" = '2020-03-31', \"会員区分\" = 99, "
        "\"性別\" = '2', \"状態\" = '3', \"メール送信拒否\" = NULL, \"フリガナ\" = 'ｼｹﾝ ﾊﾅｺ', \"氏名\" = '試験　花子', "
        "\"生年月日\" = '1988-05-12', \"年齢\" = 0, \"郵便番号\" = '100-0001', \"都道府県\" = '架空県', "
        "\"市町村\" = '見本市', \"番地\" = '中央1-2-3', \"住所2\" = '見本ビル101', \"自宅電話\" = '03-0000-1111', "
        "\"自宅FAX\" = '03-0000-2222', \"Eメール\" = 'hanako@example.jp', \"携帯電話\" = '090-0000-3333', "
        "\"携帯Eメール\" = 'hanako@mobile.example.com', \"職業\" = '会社員', \"勤務先学校\" = '架空商事', "
        "\"職種専攻\" = '営業', \"学年\" = '3年', \"数値1\" = 1234, \"数値2\" = 1234.56, \"数値3\" = -2.5, "
        "\"数値4\" = 0, \"数値5\" = NULL, \"数値6\" = 2.04, \"数値7\" = 0, \"数値8\" = 0, \"数値9\" = 0, "
        "\"数値10\" = 1000000, \"趣味\" = '読書', \"特技\" = '将棋', \"備考\" = '年賀状のやりとりあり', "
        "\"記事\" = '一行目' || char(10) || '二行目', \"WebHome\" = 'https://www.example.com/hanako/' "
        "WHERE \"会員NO\" = 1"));
}

// A checkable button shows "on" or "off"; anything else its text.
QString state(QWidget* window, const QString& name)
{
    auto* b = qobject_cast<QAbstractButton*>(fixture::control(window, name));
    if (b && b->isCheckable())
        return b->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    return shown(window, name);
}

} // namespace

class TestForm3Load : public QObject {
    Q_OBJECT
    ui::ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::ScopedDialogs> scope;
    std::unique_ptr<QTemporaryDir> dir;
    QString book;
    // The sample book's window with record 1 chosen, loaded once for the field table.
    std::unique_ptr<QTemporaryDir> shownDir;
    std::unique_ptr<Form3> shownWindow;

    void freshFolder()
    {
        dir = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(demo::makeSampleFolder(dir->path(), &error), qPrintable(error));
        book = fixture::samplePath(*dir);
    }

    std::unique_ptr<Form3> load(const QString& path, db::OpenMode mode = db::OpenMode::ReadWrite)
    {
        fixture::openCommon(QFileInfo(path).absolutePath());
        fixture::openBook(path, mode);
        auto w = std::make_unique<Form3>();
        w->formLoad();
        return w;
    }

private slots:
    void initTestCase()
    {
        dialogs = new ui::ScriptedDialogs(kToday);
        scope = std::make_unique<ui::ScopedDialogs>(dialogs);
        shownDir = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(demo::makeSampleFolder(shownDir->path(), &error), qPrintable(error));
        chooseRecordOne(fixture::samplePath(*shownDir));
        shownWindow = load(fixture::samplePath(*shownDir));
    }

    void cleanupTestCase()
    {
        shownWindow.reset();
        fixture::closeShared();
        scope.reset();
        delete dialogs;
    }

    void cleanup()
    {
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(QLatin1Char('\n'))));
        dialogs->clearRecord();
    }

    void fieldByField_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected");
        QTest::newRow("position") << "Label15" << "1/40";
        QTest::newRow("order in force") << "Option2_0" << "on";
        QTest::newRow("会員NO eight digits") << "Text1_0" << "00000001";
        QTest::newRow("登録日 era-relative") << "Text1_24" << "13/05/20";
        QTest::newRow("登録日 western") << "Label3_7" << "2001/05/20(日)";
        QTest::newRow("登録日 era") << "Combo3" << "平成";
        QTest::newRow("years since registration") << "Text1_4" << "22 年";
        QTest::newRow("退会日 era-relative, not 登録日's") << "Text1_29" << "02/03/31";
        QTest::newRow("退会日 western") << "Label3_1" << "2020/03/31(火)";
        QTest::newRow("退会日 era") << "Combo4" << "令和";
        QTest::newRow("Null category name") << "Combo2" << "";
        QTest::newRow("性別 2: 男 off") << "Option18_0" << "off";
        QTest::newRow("性別 2: 女 on") << "Option18_1" << "on";
        QTest::newRow("状態 3: 会員 off") << "Option1_0" << "off";
        QTest::newRow("状態 3: 休会 off") << "Option1_1" << "off";
        QTest::newRow("状態 3: 退会 on") << "Option1_2" << "on";
        QTest::newRow("Null メール送信拒否") << "Check1" << "off";
        QTest::newRow("フリガナ") << "Text1_1" << "ｼｹﾝ ﾊﾅｺ";
        QTest::newRow("氏名") << "Text1_2" << "試験　花子";
        QTest::newRow("生年月日 era") << "Combo1" << "昭和";
        QTest::newRow("生年月日 era-relative") << "Text1_3" << "63/05/12";
        QTest::newRow("生年月日 western") << "Label3_0" << "1988/05/12(木)";
        QTest::newRow("age from today, not the stored 0") << "Text1_6" << "35";
        QTest::newRow("age unit") << "Label2_2" << "歳";
        QTest::newRow("郵便番号") << "Text1_5" << "100-0001";
        QTest::newRow("住所2") << "Text1_7" << "見本ビル101";
        QTest::newRow("番地") << "Text1_27" << "中央1-2-3";
        QTest::newRow("自宅電話") << "Text1_8" << "03-0000-1111";
        QTest::newRow("自宅FAX") << "Text1_25" << "03-0000-2222";
        QTest::newRow("Eメール") << "Text1_9" << "hanako@example.jp";
        QTest::newRow("職業") << "Text1_10" << "会社員";
        QTest::newRow("勤務先学校") << "Text1_11" << "架空商事";
        QTest::newRow("職種専攻") << "Text1_12" << "営業";
        QTest::newRow("学年") << "Text1_13" << "3年";
        QTest::newRow("携帯電話") << "Text1_14" << "090-0000-3333";
        QTest::newRow("携帯Eメール") << "Text1_15" << "hanako@mobile.example.com";
        QTest::newRow("数値1 without fraction") << "Text2_0" << "1,234";
        QTest::newRow("数値2 with fraction") << "Text2_1" << "1,234.6";
        QTest::newRow("数値3 negative fraction") << "Text2_2" << "-2.5";
        QTest::newRow("数値4 zero stays empty") << "Text2_3" << "";
        QTest::newRow("数値5 Null stays empty") << "Text2_4" << "";
        QTest::newRow("数値6 fraction shown as .0") << "Text2_5" << "2.0";
        QTest::newRow("数値10 million") << "Text2_9" << "1,000,000";
        QTest::newRow("趣味") << "Text1_21" << "読書";
        QTest::newRow("特技") << "Text1_22" << "将棋";
        QTest::newRow("備考") << "Text1_23" << "年賀状のやりとりあり";
        QTest::newRow("記事 with its line break") << "Text1_28" << "一行目\n二行目";
        QTest::newRow("都道府県 not in any list") << "Combo5_0" << "架空県";
        QTest::newRow("市町村 not in any list") << "Combo5_1" << "見本市";
        QTest::newRow("WebHome") << "Text1_30" << "https://www.example.com/hanako/";
    }
    void fieldByField()
    {
        QFETCH(QString, control);
        QFETCH(QString, expected);
        QCOMPARE(state(shownWindow.get(), control), expected);
    }

    void storesTheAgeOnlyOverAStoredZero()
    {
        const QString path = fixture::samplePath(*shownDir);
        QCOMPARE(fixture::scalar(path, QStringLiteral("SELECT \"年齢\" FROM \"個人台帳\" WHERE \"会員NO\" = 1")).toInt(), 35);
        // The write-back left the window on its record, in browse mode, with nothing reported.
        QCOMPARE(shownWindow->cursor().position(), 0);
        QCOMPARE(shownWindow->recordMode(), int(Form3::Browse));
        QVERIFY(dialogs->shown().isEmpty());

        // An outdated age that is not 0 stays as stored; the box shows the age of today.
        fixture::exec(path, QStringLiteral("UPDATE \"個人台帳\" SET \"年齢\" = 20 WHERE \"会員NO\" = 1"));
        shownWindow->ClearRecordControls();
        shownWindow->ShowRecord();
        QCOMPARE(shown(shownWindow.get(), QStringLiteral("Text1_6")), QStringLiteral("35"));
        QCOMPARE(fixture::scalar(path, QStringLiteral("SELECT \"年齢\" FROM \"個人台帳\" WHERE \"会員NO\" = 1")).toInt(), 20);
    }

    void sixOrders_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("orderBy");
        QTest::newRow("1 number") << QVariant(QStringLiteral("1")) << 1 << "\"会員NO\"";
        QTest::newRow("2 registration") << QVariant(QStringLiteral("2")) << 2 << "\"登録日\", \"フリガナ\", \"会員NO\"";
        QTest::newRow("3 reading") << QVariant(QStringLiteral("3")) << 3
                                   << "\"フリガナ\", \"都道府県\", \"市町村\", \"番地\", \"生年月日\", \"会員NO\"";
        QTest::newRow("4 category") << QVariant(QStringLiteral("4")) << 4
                                    << "\"会員区分\", \"フリガナ\", \"都道府県\", \"市町村\", \"番地\", \"会員NO\"";
        QTest::newRow("5 birth date") << QVariant(QStringLiteral("5")) << 5 << "\"生年月日\", \"フリガナ\", \"会員NO\"";
        QTest::newRow("6 birthday") << QVariant(QStringLiteral("6")) << 6 << "\"誕生日\", \"会員NO\"";
        QTest::newRow("empty counts as 1") << QVariant(QString("")) << 1 << "\"会員NO\"";
        QTest::newRow("Null counts as 1") << QVariant() << 1 << "\"会員NO\"";
        QTest::newRow("unknown counts as 1") << QVariant(QStringLiteral("9")) << 1 << "\"会員NO\"";
    }
    void sixOrders()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, order);
        QFETCH(QString, orderBy);
        freshFolder();
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {stored});
        const qint64 first = fixture::scalar(book, QStringLiteral("SELECT \"会員NO\" FROM \"個人台帳\" ORDER BY ") + orderBy).toLongLong();
        auto w = load(book);
        QCOMPARE(w->displayOrder(), order);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(fixture::checked(w.get(), QStringLiteral("Option2_%1").arg(i)), i == order - 1);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("%1").arg(first, 8, 10, QLatin1Char('0')));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("1/40"));
        QCOMPARE(w->hScroll1()->maximum(), 39);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void emptyBookOpensEmpty()
    {
        freshFolder();
        const QString empty = dir->filePath(QStringLiteral("空.mdb"));
        QString error;
        QVERIFY2(db::schema::createAddressBook(empty, QStringLiteral("空の住所録"), &error), qPrintable(error));
        auto w = load(empty);
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("0/0"));
        QVERIFY(!w->hScroll1()->isEnabled());
        for (QWidget* box : w->entryFields())
            QVERIFY2(records::BoxText(box).isEmpty(), qPrintable(box->objectName()));
        for (int i = 0; i < 10; ++i)
            QVERIFY(shown(w.get(), QStringLiteral("Text2_%1").arg(i)).isEmpty());
        QVERIFY(w->shownPicture().isEmpty());
        QVERIFY(w->windowTitle().startsWith(QStringLiteral("空の住所録")));

        // Only 編集, 登録 and 終了 act: the others ask nothing and change nothing.
        for (int i : {1, 3, 4, 5, 6, 7, 10}) {
            w->Command9_Click(i);
            QCOMPARE(w->recordMode(), int(Form3::Browse));
        }
        QVERIFY(dialogs->shown().isEmpty());
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("空.csv"))));
        w->Command9_Click(0);  // 編集 with no record stays in browse mode
        QCOMPARE(w->recordMode(), int(Form3::Browse));
        QCOMPARE(shown(w.get(), QStringLiteral("Command9_0")), QStringLiteral("編集"));
        w->Command9_Click(9);
        QVERIFY(!w->cursor().isOpen());
        QVERIFY(!w->categoryRs().isOpen());
    }

    void captions_data()
    {
        QTest::addColumn<QString>("field");     // "" deletes the caption row
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("expected");  // control=caption; "@control=name" for its accessible name
        QTest::newRow("登録番号 Null") << "登録番号" << QVariant()
                                   << QStringList{"Label4_0=登録番号", "Label3_12=登録番号", "Option2_0=登録番号"};
        QTest::newRow("郵便番号 empty text") << "郵便番号" << QVariant(QString("")) << QStringList{"Label6_5=〒"};
        QTest::newRow("市町村 Null") << "市町村" << QVariant() << QStringList{"Label6_7=市区町村"};
        QTest::newRow("氏名 of the book's own")
            << "氏名" << QVariant(QStringLiteral("お名前"))
            << QStringList{"Label6_3=お名前", "Label3_11=お名前", "@Text1_2=お名前"};
        QTest::newRow("趣味ヘッド one space") << "趣味ヘッド" << QVariant(QStringLiteral(" ")) << QStringList{"Label6_27= "};
        QTest::newRow("特技ヘッド Null") << "特技ヘッド" << QVariant() << QStringList{"Label6_28="};
        QTest::newRow("数値1 合計") << "数値1" << QVariant(QStringLiteral("合計"))
                                  << QStringList{"Label7_0=合計", "@Text2_0=合計"};
        QTest::newRow("数値10 empty text") << "数値10" << QVariant(QString("")) << QStringList{"Label7_9=数値１０"};
        QTest::newRow("性別男 own") << "性別男" << QVariant(QStringLiteral("男性")) << QStringList{"Option18_0=男性"};
        QTest::newRow("状態 frame") << "状態" << QVariant(QStringLiteral("会員状態")) << QStringList{"Frame4=会員状態"};
        QTest::newRow("生年月日 Null") << "生年月日" << QVariant()
                                   << QStringList{"Label6_4=生年月日", "Label3_10=生年月日", "Label2_2=歳", "Option2_4=生年月日"};
        QTest::newRow("生年月日 exactly")
            << "生年月日" << QVariant(QStringLiteral("生年月日"))
            << QStringList{"Label6_4=生年月日", "Label2_2=歳", "Option2_4=生年月日"};
        QTest::newRow("生年月日 trailing space")
            << "生年月日" << QVariant(QStringLiteral("生年月日 "))
            << QStringList{"Label6_4=生年月日 ", "Label3_10=生年月日 ", "Label2_2=年", "Option2_4=生年月日 "};
        QTest::newRow("生年月日 founding date")
            << "生年月日" << QVariant(QStringLiteral("設立日")) << QStringList{"Label2_2=年", "Option2_4=設立日"};
        QTest::newRow("no caption row at all")
            << "" << QVariant() << QStringList{"Label6_11=Ｅメールアドレス", "Label6_14=職種（専攻）", "Option18_1=女"};
    }
    void captions()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, stored);
        QFETCH(QStringList, expected);
        freshFolder();
        if (field.isEmpty())
            fixture::exec(book, QStringLiteral("DELETE FROM \"住所録ラベル\""));
        else
            fixture::exec(book, QStringLiteral("UPDATE \"住所録ラベル\" SET \"%1\" = ?").arg(field), {stored});
        auto w = load(book);
        QVERIFY(dialogs->shown().isEmpty());
        for (const QString& e : expected) {
            const qsizetype eq = e.indexOf(QLatin1Char('='));
            QString name = e.left(eq);
            const QString caption = e.mid(eq + 1);
            if (name.startsWith(QLatin1Char('@'))) {
                name = name.mid(1);
                QCOMPARE(fixture::control(w.get(), name)->accessibleName(), caption);
            } else {
                QCOMPARE(shown(w.get(), name), caption);
            }
        }
    }

    void headLabelsStandAboveTheirOwnBoxes_data()
    {
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("box");
        QTest::newRow("趣味ヘッド over 趣味") << "Label6_27" << "Text1_21";
        QTest::newRow("特技ヘッド over 特技") << "Label6_28" << "Text1_22";
        QTest::newRow("備考ヘッド over 備考") << "Label6_29" << "Text1_23";
    }
    void headLabelsStandAboveTheirOwnBoxes()
    {
        QFETCH(QString, head);
        QFETCH(QString, box);
        const QRect h = fixture::control(shownWindow.get(), head)->geometry();
        const QRect b = fixture::control(shownWindow.get(), box)->geometry();
        QCOMPARE(h.left(), b.left());
        QVERIFY(h.bottom() < b.top());
        QVERIFY(b.top() - h.bottom() <= 4);
        QCOMPARE(fixture::control(shownWindow.get(), head)->font().family(), fixture::control(shownWindow.get(), box)->font().family());
    }

    void firstPictureElseTheCommonOne()
    {
        // Record 1 of the sample has two pictures; the first in name order is shown.
        QVERIFY2(shownWindow->shownPicture().endsWith(QStringLiteral("/1/Preview/sn_photo1.png")),
                 qPrintable(shownWindow->shownPicture()));
        // Record 2 has a picture folder without pictures: the common default picture.
        shownWindow->hScroll1()->setValue(1);
        QCOMPARE(shown(shownWindow.get(), QStringLiteral("Text1_0")), QStringLiteral("00000002"));
        QVERIFY2(shownWindow->shownPicture().endsWith(QStringLiteral("/共通情報/default.png")),
                 qPrintable(shownWindow->shownPicture()));
        shownWindow->hScroll1()->setValue(0);
        QVERIFY(shownWindow->shownPicture().endsWith(QStringLiteral("/1/Preview/sn_photo1.png")));
    }

    void readOnlyBookShowsTheAgeWithoutStoringIt()
    {
        freshFolder();
        chooseRecordOne(book);
        auto w = load(book, db::OpenMode::ReadOnly);
        // The failed write-back is passed over: no message, and the controls after it are written.
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_6")), QStringLiteral("35"));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_30")), QStringLiteral("https://www.example.com/hanako/"));
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT \"年齢\" FROM \"個人台帳\" WHERE \"会員NO\" = 1")).toInt(), 0);
    }

    void windowCaption_data()
    {
        QTest::addColumn<QVariant>("title");
        QTest::addColumn<QString>("begins");
        QTest::newRow("the book's title") << QVariant(QStringLiteral("会員名簿")) << "会員名簿";
        QTest::newRow("Null title") << QVariant() << "Infolta";
        QTest::newRow("empty title") << QVariant(QString("")) << "";
    }
    void windowCaption()
    {
        QFETCH(QVariant, title);
        QFETCH(QString, begins);
        freshFolder();
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = ?"), {title});
        auto w = load(book);
        const QString expected = Module1::FitBytes(begins + QString(10, QLatin1Char(' ')) + QFileInfo(book).absoluteFilePath(), 160)
                                 + QStringLiteral("2024年04月01日(月) ");
        QCOMPARE(w->windowTitle(), expected);
    }
};

QTEST_MAIN(TestForm3Load)
#include "tst_form3load.moc"
