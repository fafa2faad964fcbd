// The record search of the record window: search mode, the keys of each kind of box, the
// questions and messages, and the mode that comes back.

#include "Form3EditFixture.h"

#include <QComboBox>
#include <QScrollBar>

using fixture::shown;

class TestForm3Search : public QObject, editfx::Fixture {
    Q_OBJECT

    static QColor base(QWidget* w, const QString& name) { return fixture::control(w, name)->palette().color(QPalette::Base); }

    // Enters search mode, puts the key into its box as the user does, and runs the search.
    void search(Form3* w, const QString& keyBox, const QString& key)
    {
        w->Command9_Click(1);
        QCOMPARE(w->recordMode(), int(Form3::Search));
        QWidget* b = box(w, keyBox);
        b->setFocus(Qt::MouseFocusReason);
        records::SetBoxText(b, key);
        w->Command9_Click(1);
    }

    QStringList questions() const
    {
        QStringList q;
        for (const auto& s : dialogs->shown())
            if (s.kind == ui::ScriptedDialogs::Shown::Question)
                q << s.text;
        return q;
    }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup() { dropFolder(); }

    void searchModeOpensTheKeyBoxes()
    {
        auto w = load(false);
        w->Command9_Click(1);
        QCOMPARE(shown(w.get(), QStringLiteral("Command9_1")), QStringLiteral("検索実行"));
        QCOMPARE(w->searchField(), 1);
        for (const QString& b : {QStringLiteral("Text1_0"), QStringLiteral("Text1_1"), QStringLiteral("Text1_8"),
                                 QStringLiteral("Text1_24"), QStringLiteral("Combo5_0"), QStringLiteral("Combo5_1")}) {
            QVERIFY2(!records::IsBoxLocked(box(w.get(), b)), qPrintable(b));
            QCOMPARE(base(w.get(), b), QColor(Qt::yellow));
        }
        QVERIFY(!records::IsBoxLocked(box(w.get(), QStringLiteral("Combo3"))));  // the era of a date key
        QVERIFY(records::IsBoxLocked(box(w.get(), QStringLiteral("Text1_5"))));
        QVERIFY(records::IsBoxLocked(box(w.get(), QStringLiteral("Text2_0"))));
    }

    // A half-width key finds the reading anywhere in the field, in any of its writings; Yes after
    // the last match ends on it without a message.
    void readingFoundInEveryWriting()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = 'ﾐﾎﾝ ｼﾞﾛｳ'"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = 'ｻﾄｳ ﾊﾅｺ' WHERE \"会員NO\" = 3"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = 'サトウ　ハナコ' WHERE \"会員NO\" = 7"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = 'すずき　はなこ' WHERE \"会員NO\" = 12"));
        auto w = load(false);
        for (int i = 0; i < 3; ++i)
            dialogs->queueAnswer(ui::Answer::Yes);
        search(w.get(), QStringLiteral("Text1_1"), QStringLiteral("ﾊﾅｺ"));
        QCOMPARE(questions(), QStringList(3, QStringLiteral("次の名簿を検索しますか？")));
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("検索"));
        QCOMPARE(dialogs->shown().size(), 3);  // no "該当レコードはありません"
        QCOMPARE(w->cursor().position(), 11);
        QCOMPARE(w->hScroll1()->value(), 11);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000012"));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_1")), QStringLiteral("すずき　はなこ"));
        QCOMPARE(w->recordMode(), int(Form3::Browse));
        QCOMPARE(shown(w.get(), QStringLiteral("Command9_1")), QStringLiteral("検索"));
        QVERIFY(records::IsBoxLocked(box(w.get(), QStringLiteral("Text1_1"))));
        QCOMPARE(base(w.get(), QStringLiteral("Text1_1")), QColor(Qt::white));
        QCOMPARE(base(w.get(), QStringLiteral("Text1_0")), QColor(0xC0, 0xC0, 0xC0));
    }

    void noLeavesTheMatchOnScreen()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"自宅電話\" = '011-111-1111', \"携帯電話\" = ''"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"自宅電話\" = '(03) 1234 5678' WHERE \"会員NO\" = 4"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"自宅電話\" = '0312345678' WHERE \"会員NO\" = 30"));
        auto w = load(false);
        dialogs->queueAnswer(ui::Answer::No);
        search(w.get(), QStringLiteral("Text1_8"), QStringLiteral("03-1234-5678"));
        QCOMPARE(questions().size(), 1);
        QCOMPARE(w->cursor().position(), 3);
        QCOMPARE(w->hScroll1()->value(), 3);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000004"));
    }

    void homeBoxFindsTheMobileNumber_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<bool>("found");
        QTest::newRow("with a home number") << "03-0000-0000" << true;
        QTest::newRow("without one") << "" << false;
    }
    void homeBoxFindsTheMobileNumber()
    {
        QFETCH(QString, home);
        QFETCH(bool, found);
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"自宅電話\" = '011-111-1111', \"携帯電話\" = ''"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"自宅電話\" = ?, \"携帯電話\" = '090-9876-5432' WHERE \"会員NO\" = 9"), {home});
        auto w = load(false);
        if (found)
            dialogs->queueAnswer(ui::Answer::No);
        search(w.get(), QStringLiteral("Text1_8"), QStringLiteral("9876-5432"));
        QCOMPARE(w->cursor().position(), found ? 8 : 0);
        QCOMPARE(dialogs->shownTexts().contains(QStringLiteral("該当レコードはありません")), !found);
    }

    void memberNoAsksNoQuestion()
    {
        auto w = load(false);
        search(w.get(), QStringLiteral("Text1_0"), QStringLiteral("12"));
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(w->cursor().position(), 11);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000012"));
    }

    void noMatchLeavesTheRecordShown()
    {
        auto w = load(false);
        w->hScroll1()->setValue(10);
        const QString name = shown(w.get(), QStringLiteral("Text1_2"));
        search(w.get(), QStringLiteral("Text1_2"), QStringLiteral("どこにもない名前"));
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("該当レコードはありません")});
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("検索"));
        QCOMPARE(w->cursor().position(), 10);
        QCOMPARE(w->hScroll1()->value(), 10);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000011"));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_2")), name);
        QCOMPARE(w->recordMode(), int(Form3::Browse));
    }

    void keyWithoutAKeyKeepsSearchMode_data()
    {
        QTest::addColumn<QString>("keyBox");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty reading") << "Text1_1" << "";
        QTest::newRow("a hyphen for a home number") << "Text1_8" << "-";
        QTest::newRow("a registration date that is no date") << "Text1_24" << "05/13/01";
    }
    void keyWithoutAKeyKeepsSearchMode()
    {
        QFETCH(QString, keyBox);
        QFETCH(QString, key);
        auto w = load(false);
        search(w.get(), keyBox, key);
        QCOMPARE(dialogs->beeps(), 1);
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(w->recordMode(), int(Form3::Search));
        QCOMPARE(shown(w.get(), QStringLiteral("Command9_1")), QStringLiteral("検索実行"));
        QVERIFY(hasFocus(box(w.get(), keyBox)));
    }

    void placesByContainment_data()
    {
        QTest::addColumn<QString>("keyBox");
        QTest::addColumn<QString>("field");
        QTest::newRow("prefecture") << "Combo5_0" << "都道府県";
        QTest::newRow("city") << "Combo5_1" << "市町村";
    }
    void placesByContainment()
    {
        QFETCH(QString, keyBox);
        QFETCH(QString, field);
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"%1\" = 'ほかの所'").arg(field));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"%1\" = '見本市世田谷区' WHERE \"会員NO\" = 9").arg(field));
        auto w = load(false);
        dialogs->queueAnswer(ui::Answer::No);
        search(w.get(), keyBox, QStringLiteral("世田谷"));
        QCOMPARE(w->cursor().position(), 8);
        QCOMPARE(shown(w.get(), keyBox), QStringLiteral("見本市世田谷区"));
    }

    void registrationDateSearched()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"登録日\" = '2010-01-01'"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"登録日\" = '1993-04-01' WHERE \"会員NO\" = 6"));
        auto w = load(false);
        w->Command9_Click(1);
        records::SetBoxText(box(w.get(), QStringLiteral("Combo3")), QStringLiteral("平成"));
        dialogs->queueAnswer(ui::Answer::No);
        QWidget* date = box(w.get(), QStringLiteral("Text1_24"));
        date->setFocus(Qt::MouseFocusReason);
        records::SetBoxText(date, QStringLiteral("5/4/1"));
        w->Command9_Click(1);
        QCOMPARE(w->cursor().position(), 5);
    }

    // The mode that comes back has its own boxes back, and the search stored nothing.
    void fromEditModeBackToEditMode()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = 'ﾐﾎﾝ' WHERE \"会員NO\" <> 20"));
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = 'ｹﾝｻｸ ﾀﾛｳ' WHERE \"会員NO\" = 20"));
        auto w = load(true);
        dialogs->queueAnswer(ui::Answer::No);
        search(w.get(), QStringLiteral("Text1_1"), QStringLiteral("ﾀﾛｳ"));
        QCOMPARE(w->recordMode(), int(Form3::Edit));
        QCOMPARE(w->cursor().position(), 19);
        QCOMPARE(stored(QStringLiteral("フリガナ"), 1).toString(), QStringLiteral("ﾐﾎﾝ"));
        for (const QString& b : {QStringLiteral("Text1_1"), QStringLiteral("Text1_2"), QStringLiteral("Text1_5"),
                                 QStringLiteral("Text2_0"), QStringLiteral("Combo5_0")})
            QVERIFY2(!records::IsBoxLocked(box(w.get(), b)), qPrintable(b));
        // Edit mode works on the record found.
        typeAndLeave(w.get(), QStringLiteral("Text1_2"), QStringLiteral("見つけた人"));
        QCOMPARE(stored(QStringLiteral("氏名"), 20).toString(), QStringLiteral("見つけた人"));
    }
};

QTEST_MAIN(TestForm3Search)
#include "tst_form3search.moc"
