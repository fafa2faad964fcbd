#include "platform/ui/InputMode.h"
#include "platform/ui/Kana.h"

#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

// What the input method is told when it asks the box whether it may attach.
bool inputMethodAccepted(QWidget* box)
{
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(box, &query);
    return query.value(Qt::ImEnabled).toBool();
}

}  // namespace

class TestInputMode : public QObject {
    Q_OBJECT
private slots:
    void halfWidthKatakana_data();
    void halfWidthKatakana();
    void offBoxNeverGetsTheInputMethod();
    void offSurvivesLockingAndUnlocking_data();
    void offSurvivesLockingAndUnlocking();
    void otherModesKeepTheInputMethod();
};

void TestInputMode::halfWidthKatakana_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("hiragana") << "やまだ たろう" << "ﾔﾏﾀﾞ ﾀﾛｳ";
    QTest::newRow("full-width katakana") << "ヤマダタロウ" << "ﾔﾏﾀﾞﾀﾛｳ";
    QTest::newRow("voiced") << "がぎぐげご ざじずぜぞ だぢづでど ばびぶべぼ" << "ｶﾞｷﾞｸﾞｹﾞｺﾞ ｻﾞｼﾞｽﾞｾﾞｿﾞ ﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ";
    QTest::newRow("semi-voiced") << "ぱぴぷぺぽ パピプペポ" << "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ";
    QTest::newRow("vu") << "ヴ ゔ" << "ｳﾞ ｳﾞ";
    QTest::newRow("small kana") << "ぁぃぅぇぉっゃゅょゎ" << "ｧｨｩｪｫｯｬｭｮﾜ";
    QTest::newRow("wo, n, old wi/we") << "をん ゐゑ ヰヱ" << "ｦﾝ ｲｴ ｲｴ";
    QTest::newRow("small ka ke") << "ヵヶ" << "ｶｹ";
    QTest::newRow("long mark") << "ヒーロー" << "ﾋｰﾛｰ";
    QTest::newRow("punctuation") << "「あ、い。」・" << "｢ｱ､ｲ｡｣･";
    QTest::newRow("full-width space") << "やまだ\u3000はなこ" << "ﾔﾏﾀﾞ ﾊﾅｺ";
    QTest::newRow("voicing marks alone and combining") << "゛゜か\u3099は\u309A" << "ﾞﾟｶﾞﾊﾟ";
    QTest::newRow("already half-width stays") << "ﾔﾏﾀﾞ" << "ﾔﾏﾀﾞ";
    QTest::newRow("kanji, latin and digits stay") << "山田ABC１２3ａ" << "山田ABC１２3ａ";
    QTest::newRow("iteration marks stay") << "ゝゞヽヾ" << "ゝゞヽヾ";
    QTest::newRow("surrogate pair stays") << "𠮷だ" << "𠮷ﾀﾞ";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("every katakana edge")
        << "ァアヺ" << "ｧｱｦﾞ";
}

void TestInputMode::halfWidthKatakana()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(ui::toHalfWidthKatakana(typed), stored);
}

void TestInputMode::offBoxNeverGetsTheInputMethod()
{
    QLineEdit box;
    QVERIFY(inputMethodAccepted(&box));
    ui::setInputMode(&box, ui::InputMode::Off);
    QVERIFY(!inputMethodAccepted(&box));
    QVERIFY(box.inputMethodHints() & Qt::ImhLatinOnly);
    QVERIFY(box.inputMethodHints() & Qt::ImhPreferLatin);
    QCOMPARE(ui::inputMode(&box), ui::InputMode::Off);
}

void TestInputMode::offSurvivesLockingAndUnlocking_data()
{
    QTest::addColumn<bool>("plainText");
    QTest::newRow("line edit") << false;
    QTest::newRow("plain text edit") << true;
}

void TestInputMode::offSurvivesLockingAndUnlocking()
{
    QFETCH(bool, plainText);
    std::unique_ptr<QWidget> box;
    if (plainText)
        box = std::make_unique<QPlainTextEdit>();
    else
        box = std::make_unique<QLineEdit>();
    ui::setInputMode(box.get(), ui::InputMode::Off);
    // Browse mode locks the box, edit mode unlocks it: Qt turns the input method on again here.
    QVERIFY(box->setProperty("readOnly", true));
    QVERIFY(box->setProperty("readOnly", false));
    QVERIFY(!inputMethodAccepted(box.get()));
    // The box still answers the other questions of the input method.
    QInputMethodQueryEvent hints(Qt::ImEnabled | Qt::ImHints);
    QCoreApplication::sendEvent(box.get(), &hints);
    QVERIFY(hints.value(Qt::ImHints).toInt() & Qt::ImhLatinOnly);

    ui::setInputMode(box.get(), ui::InputMode::Hiragana);
    QVERIFY(inputMethodAccepted(box.get()));
    QVERIFY(!(box->inputMethodHints() & Qt::ImhLatinOnly));
}

void TestInputMode::otherModesKeepTheInputMethod()
{
    QLineEdit reading;
    ui::setInputMode(&reading, ui::InputMode::HalfWidthKatakana);
    QVERIFY(inputMethodAccepted(&reading));
    QCOMPARE(ui::inputMode(&reading), ui::InputMode::HalfWidthKatakana);

    QLineEdit unset;
    QCOMPARE(ui::inputMode(&unset), ui::InputMode::Hiragana);
}

QTEST_MAIN(TestInputMode)
#include "tst_inputmode.moc"
