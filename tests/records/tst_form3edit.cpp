// Editing the record fields in the record window: the commits of the text boxes with their limits
// and refusals, era dates, the registration number and its folder, the clickable controls, and
// the commit before a move.

#include "Form3EditFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

using fixture::shown;

class TestForm3Edit : public QObject, editfx::Fixture {
    Q_OBJECT

    QString recordFolder(int no) const { return dir->filePath(QStringLiteral("サンプル住所録/%1").arg(no)); }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup() { dropFolder(); }

    void textCommits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");  // what the field holds afterwards; "" checks it is not Null
        QTest::addColumn<bool>("refused");
        const QString name255 = QString(127, QChar(u'あ')) + "a";
        QTest::newRow("氏名 255 bytes stored") << "Text1_2" << "氏名" << name255 << name255 << false;
        QTest::newRow("氏名 256 bytes refused") << "Text1_2" << "氏名" << name255 + "b" << "" << true;
        QTest::newRow("記事 at its limit") << "Text1_28" << "記事" << QString(32000, QChar(u'記')) << QString(32000, QChar(u'記')) << false;
        QTest::newRow("記事 one byte more refused") << "Text1_28" << "記事" << QString(32000, QChar(u'記')) + "x" << "" << true;
        QTest::newRow("学年 has its field's limit") << "Text1_13" << "学年" << QString(256, u'x') << "" << true;
        QTest::newRow("携帯電話 has its field's limit") << "Text1_14" << "携帯電話" << QString(256, u'0') << "" << true;
        QTest::newRow("WebHome has its field's limit") << "Text1_30" << "WebHome" << QString(256, u'w') << "" << true;
        QTest::newRow("WebHome of spaces stores the empty text") << "Text1_30" << "WebHome" << "   " << "" << false;
        QTest::newRow("emptied フリガナ stores the empty text") << "Text1_1" << "フリガナ" << "" << "" << false;
        QTest::newRow("emptied 住所2 stores the empty text") << "Text1_7" << "住所2" << "" << "" << false;
        QTest::newRow("フリガナ typed in hiragana") << "Text1_1" << "フリガナ" << "さとう　がっこう" << "ｻﾄｳ ｶﾞｯｺｳ" << false;
        QTest::newRow("フリガナ typed in full-width katakana") << "Text1_1" << "フリガナ" << "ワタナベ　パン" << "ﾜﾀﾅﾍﾞ ﾊﾟﾝ" << false;
        QTest::newRow("郵便番号 51 bytes refused") << "Text1_5" << "郵便番号" << QString(51, u'1') << "" << true;
        QTest::newRow("Eメール as typed") << "Text1_9" << "Eメール" << " a@example.jp " << " a@example.jp " << false;
    }
    void textCommits()
    {
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        const QVariant before = this->stored(field, 1);
        auto w = load();
        typeAndLeave(w.get(), box, typed);
        if (refused) {
            expectRefused(w.get(), box, typed);
            QCOMPARE(dialogs->beeps(), 1);
            QCOMPARE(this->stored(field, 1), before);
        } else {
            QVERIFY(dialogs->shown().isEmpty());
            const QVariant now = this->stored(field, 1);
            QVERIFY2(!now.isNull(), "the empty text, not Null");
            QCOMPARE(now.toString(), stored);
            QCOMPARE(shown(w.get(), box), field == QStringLiteral("フリガナ") ? stored : typed);
        }
    }

    void eraDates_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("eraBox");
        QTest::addColumn<QString>("era");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QDate>("date");  // invalid: refused, the field unchanged
        QTest::addColumn<bool>("message");
        QTest::newRow("登録日 平成05/04/01") << "Text1_24" << "Combo3" << "平成" << "05/04/01" << "登録日" << QDate(1993, 4, 1) << false;
        QTest::newRow("生年月日 昭和63/5/12") << "Text1_3" << "Combo1" << "昭和" << "63/5/12" << "生年月日" << QDate(1988, 5, 12) << false;
        QTest::newRow("生年月日 29 February of 1988") << "Text1_3" << "Combo1" << "昭和" << "63/02/29" << "生年月日" << QDate(1988, 2, 29) << false;
        QTest::newRow("退会日 令和02/04/01") << "Text1_29" << "Combo4" << "令和" << "02/04/01" << "退会日" << QDate(2020, 4, 1) << false;
        QTest::newRow("生年月日 02/30 refused") << "Text1_3" << "Combo1" << "令和" << "02/02/30" << "生年月日" << QDate() << true;
        QTest::newRow("退会日 31 April refused") << "Text1_29" << "Combo4" << "平成" << "05/04/31" << "退会日" << QDate() << true;
        QTest::newRow("an era the table does not hold refused") << "Text1_3" << "Combo1" << "大化" << "01/01/01" << "生年月日" << QDate() << true;
        QTest::newRow("登録日 not a date: a beep, no message") << "Text1_24" << "Combo3" << "平成" << "05/13/01" << "登録日" << QDate() << false;
    }
    void eraDates()
    {
        QFETCH(QString, box);
        QFETCH(QString, eraBox);
        QFETCH(QString, era);
        QFETCH(QString, typed);
        QFETCH(QString, field);
        QFETCH(QDate, date);
        QFETCH(bool, message);
        const QVariant before = stored(field, 1);
        auto w = load();
        const QString shownBefore = shown(w.get(), box);
        records::SetBoxText(this->box(w.get(), eraBox), era);
        typeAndLeave(w.get(), box, typed);
        if (date.isValid()) {
            QVERIFY(dialogs->shown().isEmpty());
            QCOMPARE(stored(field, 1).toDate(), date);
            return;
        }
        // A refused birth date is replaced by the stored one; the other boxes keep what was typed.
        const QString kept = box == QStringLiteral("Text1_3") ? shownBefore : typed;
        if (message)
            expectRefused(w.get(), box, kept);
        else
            QTRY_VERIFY(hasFocus(this->box(w.get(), box)));
        QVERIFY(dialogs->shown().size() == (message ? 1 : 0));
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(shown(w.get(), box), kept);
        QCOMPARE(stored(field, 1), before);
    }

    // After a refusal the birth-date box shows the stored date (empty without one), so leaving
    // it again stores nothing and brings no second message.
    void refusedBirthDateShowsTheStoredDate_data()
    {
        QTest::addColumn<QVariant>("birthDate");
        QTest::addColumn<QString>("era");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("stored date") << QVariant(QStringLiteral("1980-02-03")) << "昭和" << "55/02/03";
        QTest::newRow("no stored date") << QVariant() << "" << "";
    }
    void refusedBirthDateShowsTheStoredDate()
    {
        QFETCH(QVariant, birthDate);
        QFETCH(QString, era);
        QFETCH(QString, shownAfter);
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"生年月日\" = ? WHERE \"会員NO\" = 1"), {birthDate});
        auto w = load();
        records::SetBoxText(box(w.get(), QStringLiteral("Combo1")), QStringLiteral("令和"));
        typeAndLeave(w.get(), QStringLiteral("Text1_3"), QStringLiteral("02/02/30"));
        expectRefused(w.get(), QStringLiteral("Text1_3"), shownAfter);
        if (!era.isEmpty())
            QCOMPARE(shown(w.get(), QStringLiteral("Combo1")), era);
        // The user leaves again: the box lets go, with no message and nothing stored.
        box(w.get(), QStringLiteral("Text1_11"))->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(hasFocus(box(w.get(), QStringLiteral("Text1_11"))));
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(stored(QStringLiteral("生年月日"), 1), birthDate.isNull() ? QVariant() : QVariant(QDate(1980, 2, 3)));
    }

    // A text longer than its box shows its start when the program puts it there.
    void longTextsShowTheirStart_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::newRow("mail address") << "Text1_9" << "Eメール";
        QTest::newRow("name") << "Text1_2" << "氏名";
        QTest::newRow("city combo") << "Combo5_1" << "市町村";
        QTest::newRow("memo") << "Text1_28" << "記事";
    }
    void longTextsShowTheirStart()
    {
        QFETCH(QString, box);
        QFETCH(QString, field);
        const QString text = QStringLiteral("start-") + QString(60, u'x') + QStringLiteral("aka1@mobile.example.com");
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"%1\" = ? WHERE \"会員NO\" = 1").arg(field), {text});
        auto w = load(false);
        QWidget* b = this->box(w.get(), box);
        QCOMPARE(records::BoxText(b), text);
        if (auto* c = qobject_cast<QComboBox*>(b))
            b = c->lineEdit();
        if (auto* e = qobject_cast<QLineEdit*>(b))
            QCOMPARE(e->cursorPosition(), 0);
        else if (auto* p = qobject_cast<QPlainTextEdit*>(b))
            QCOMPARE(p->textCursor().position(), 0);
        else
            QFAIL("not a text box");
    }

    void registrationDateShownWithItsYears()
    {
        auto w = load();
        const QString birthEra = shown(w.get(), QStringLiteral("Combo1"));
        records::SetBoxText(box(w.get(), QStringLiteral("Combo3")), QStringLiteral("平成"));
        typeAndLeave(w.get(), QStringLiteral("Text1_24"), QStringLiteral("5/4/1"));
        QCOMPARE(stored(QStringLiteral("登録日"), 1).toDate(), QDate(1993, 4, 1));
        QCOMPARE(shown(w.get(), QStringLiteral("Combo3")), QStringLiteral("平成"));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_24")), QStringLiteral("05/04/01"));
        QCOMPARE(shown(w.get(), QStringLiteral("Label3_7")), QStringLiteral("1993/04/01(木)"));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_4")), QStringLiteral("31 年"));
        QCOMPARE(shown(w.get(), QStringLiteral("Combo1")), birthEra);
    }

    void birthDateStoresTheAge()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"年齢\" = 3 WHERE \"会員NO\" = 1"));
        auto w = load();
        records::SetBoxText(box(w.get(), QStringLiteral("Combo1")), QStringLiteral("昭和"));
        typeAndLeave(w.get(), QStringLiteral("Text1_3"), QStringLiteral("64/1/7"));
        QCOMPARE(stored(QStringLiteral("生年月日"), 1).toDate(), QDate(1989, 1, 7));
        QCOMPARE(stored(QStringLiteral("年齢"), 1).toInt(), 35);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_6")), QStringLiteral("35"));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_3")), QStringLiteral("64/01/07"));
        QCOMPARE(shown(w.get(), QStringLiteral("Label3_0")), QStringLiteral("1989/01/07(土)"));
        // 64/1/8 of 昭和 is the first day of 平成: the era box follows the stored date.
        typeAndLeave(w.get(), QStringLiteral("Text1_3"), QStringLiteral("64/1/8"));
        QCOMPARE(shown(w.get(), QStringLiteral("Combo1")), QStringLiteral("平成"));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_3")), QStringLiteral("01/01/08"));
    }

    void clearedDateKeepsTheDate()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"生年月日\" = '1980-02-03' WHERE \"会員NO\" = 1"));
        auto w = load();
        typeAndLeave(w.get(), QStringLiteral("Text1_3"), QString());
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(dialogs->beeps(), 0);
        QCOMPARE(stored(QStringLiteral("生年月日"), 1).toDate(), QDate(1980, 2, 3));
    }

    void memberNoChangeRenamesTheFolder()
    {
        auto w = load();
        w->hScroll1()->setValue(4);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000005"));
        QVERIFY(QDir(recordFolder(5)).exists());
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), QStringLiteral("1005"));
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00001005"));
        QCOMPARE(stored(QStringLiteral("氏名"), 1005), w->cursor().record().value(QStringLiteral("氏名")));
        QVERIFY(stored(QStringLiteral("氏名"), 5).isNull());
        QVERIFY(!QDir(recordFolder(5)).exists());
        QVERIFY(QDir(recordFolder(1005)).exists());
        QVERIFY(QDir(recordFolder(1005) + QStringLiteral("/Preview")).exists());
    }

    void memberNoUnchangedByItsOwnNumber()
    {
        auto w = load();
        w->hScroll1()->setValue(4);
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), QStringLiteral("5"));
        QVERIFY(dialogs->shown().isEmpty());
        QVERIFY(QDir(recordFolder(5)).exists());
        QCOMPARE(stored(QStringLiteral("会員NO"), 5).toInt(), 5);
    }

    void memberNoRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("message");
        QTest::newRow("fraction") << "12.5" << true;
        QTest::newRow("negative") << "-3" << true;
        QTest::newRow("exponent") << "1e3" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("empty: a beep only") << "" << false;
    }
    void memberNoRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, message);
        auto w = load();
        w->hScroll1()->setValue(4);
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), typed);
        if (message)
            expectRefused(w.get(), QStringLiteral("Text1_0"), typed);
        else
            QTRY_VERIFY(hasFocus(box(w.get(), QStringLiteral("Text1_0"))));
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(w->cursor().record().value(QStringLiteral("会員NO")).toInt(), 5);
        QVERIFY(QDir(recordFolder(5)).exists());
    }

    void duplicateMemberNoRefused()
    {
        auto w = load();
        w->hScroll1()->setValue(4);
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), QStringLiteral("3"));
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("会員NOは登録済みです")});
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000005"));
        QCOMPARE(w->cursor().position(), 4);
        QCOMPARE(w->cursor().record().value(QStringLiteral("会員NO")).toInt(), 5);
        QCOMPARE(stored(QStringLiteral("会員NO"), 3).toInt(), 3);
        QVERIFY(QDir(recordFolder(5)).exists());
    }

    void memberNoRefusedWhenItsFolderExists()
    {
        QVERIFY(QDir().mkpath(recordFolder(77)));
        auto w = load();
        w->hScroll1()->setValue(4);
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), QStringLiteral("77"));
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.contains(QStringLiteral("77")));
        QTRY_VERIFY(hasFocus(box(w.get(), QStringLiteral("Text1_0"))));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("77"));
        QCOMPARE(stored(QStringLiteral("会員NO"), 5).toInt(), 5);
        QVERIFY(QDir(recordFolder(5)).exists());
    }

    void memberNoWithoutAFolderIsOnlyStored()
    {
        QVERIFY(QDir(recordFolder(5)).removeRecursively());
        auto w = load();
        w->hScroll1()->setValue(4);
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), QStringLiteral("1005"));
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(stored(QStringLiteral("会員NO"), 1005).toInt(), 1005);
        QVERIFY(!QDir(recordFolder(1005)).exists());
    }

    void clickableControls()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"性別\" = '1', \"状態\" = '1', \"メール送信拒否\" = NULL WHERE \"会員NO\" = 1"));
        auto w = load(false);
        // Browse mode: nothing is stored.
        w->findChild<QRadioButton*>(QStringLiteral("Option18_1"))->click();
        QCOMPARE(stored(QStringLiteral("性別"), 1).toString(), QStringLiteral("1"));
        w->Command9_Click(0);
        w->findChild<QRadioButton*>(QStringLiteral("Option18_1"))->click();
        QCOMPARE(stored(QStringLiteral("性別"), 1).toString(), QStringLiteral("2"));
        w->findChild<QRadioButton*>(QStringLiteral("Option1_2"))->click();
        QCOMPARE(stored(QStringLiteral("状態"), 1).toString(), QStringLiteral("3"));
        auto* check = w->findChild<QCheckBox*>(QStringLiteral("Check1"));
        check->click();
        QCOMPARE(stored(QStringLiteral("メール送信拒否"), 1).toInt(), 1);
        check->click();
        QVERIFY(!stored(QStringLiteral("メール送信拒否"), 1).isNull());
        QCOMPARE(stored(QStringLiteral("メール送信拒否"), 1).toInt(), 0);
    }

    void outsideEditModeNothingIsStored()
    {
        const QVariant before = stored(QStringLiteral("氏名"), 1);
        auto w = load(false);
        QWidget* name = box(w.get(), QStringLiteral("Text1_2"));
        records::SetBoxText(name, QStringLiteral("変更"));
        w->Text1_LostFocus(2);
        w->Text1_LostFocus(4);
        QCOMPARE(stored(QStringLiteral("氏名"), 1), before);
        QVERIFY(dialogs->shown().isEmpty());
    }

    // The box being edited goes into the record on the screen when the window moves, through
    // that box's own handler, and never into the record moved to.
    void moveCommitsIntoTheRecordOnTheScreen_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("氏名") << "Text1_2" << "氏名" << "移動前の名前" << QVariant("移動前の名前");
        QTest::newRow("a value box, not Text1 of its index") << "Text2_5" << "数値6" << "42" << QVariant(42.0);
        QTest::newRow("the city box") << "Combo5_1" << "市町村" << "見本町" << QVariant("見本町");
    }
    void moveCommitsIntoTheRecordOnTheScreen()
    {
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        const QVariant fifth = this->stored(field, 5);
        const QVariant secondOwn = this->stored(QStringLiteral("氏名"), 2);
        auto w = load();
        QWidget* b = this->box(w.get(), box);
        b->setFocus(Qt::TabFocusReason);
        records::SetBoxText(b, typed);
        w->hScroll1()->setValue(4);
        QCOMPARE(w->cursor().position(), 4);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000005"));
        QCOMPARE(this->stored(field, 1), stored);
        QCOMPARE(this->stored(field, 5), fifth);
        QCOMPARE(this->stored(QStringLiteral("氏名"), 2), secondOwn);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void refusedBoxStopsTheMove()
    {
        const QVariant before = stored(QStringLiteral("氏名"), 1);
        auto w = load();
        QWidget* name = box(w.get(), QStringLiteral("Text1_2"));
        name->setFocus(Qt::TabFocusReason);
        const QString tooLong(256, u'x');
        records::SetBoxText(name, tooLong);
        w->hScroll1()->setValue(7);
        expectRefused(w.get(), QStringLiteral("Text1_2"), tooLong);
        QCOMPARE(w->cursor().position(), 0);
        QCOMPARE(w->hScroll1()->value(), 0);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000001"));
        QCOMPARE(stored(QStringLiteral("氏名"), 1), before);

        // Asked again with the same text (a second way of moving): still refused, said once.
        w->hScroll1()->setValue(8);
        QCOMPARE(w->cursor().position(), 0);
        QCOMPARE(dialogs->shown().size(), 1);

        // Put right, the move goes on and the text is stored into the first record.
        records::SetBoxText(name, QStringLiteral("直した名前"));
        w->hScroll1()->setValue(7);
        QCOMPARE(w->cursor().position(), 7);
        QCOMPARE(stored(QStringLiteral("氏名"), 1).toString(), QStringLiteral("直した名前"));
    }
};

QTEST_MAIN(TestForm3Edit)
#include "tst_form3edit.moc"
