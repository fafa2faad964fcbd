#include "platform/ui/ScriptedDialogs.h"

#include <QPrinter>
#include <QtTest>

using ui::Answer;
using ui::Buttons;
using ui::Icon;

class TestScriptedDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { ui::setProgramTitle(QStringLiteral("TovariInfolta")); }
    void cleanup() { ui::setProgramTitle(QString()); }
    void recordsWhatWasShownWithTheTitleItBore();
    void answersQuestionsInOrder();
    void unexpectedQuestionFailsLoudly_data();
    void unexpectedQuestionFailsLoudly();
    void fileDialogsFromQueueAndCancel();
    void todayAndBeepsAndPrinter();
    void processWideInstanceIsScoped();
};

void TestScriptedDialogs::recordsWhatWasShownWithTheTitleItBore()
{
    ui::ScriptedDialogs d;
    d.message(QStringLiteral("3022\n重複しています"), QString(), Icon::Exclamation);
    d.message(QStringLiteral("該当レコードはありません"), QStringLiteral("検索"));

    QCOMPARE(d.shown().size(), 2);
    QCOMPARE(d.shown()[0].kind, ui::ScriptedDialogs::Shown::Message);
    QCOMPARE(d.shown()[0].title, QStringLiteral("TovariInfolta"));
    QCOMPARE(d.shown()[0].icon, Icon::Exclamation);
    QCOMPARE(d.shown()[1].title, QStringLiteral("検索"));
    QCOMPARE(d.shownTexts(), (QStringList{QStringLiteral("3022\n重複しています"), QStringLiteral("該当レコードはありません")}));
    QVERIFY(!d.hadUnexpected());
}

void TestScriptedDialogs::answersQuestionsInOrder()
{
    ui::ScriptedDialogs d;
    d.queueAnswer(Answer::Yes);
    d.queueAnswer(Answer::No);
    d.queueAnswer(Answer::Cancel);
    QCOMPARE(d.question(QStringLiteral("新規顧客登録を行いますか？"), QStringLiteral("顧客登録")), Answer::Yes);
    QCOMPARE(d.question(QStringLiteral("次の名簿を検索しますか？"), QStringLiteral("検索")), Answer::No);
    QCOMPARE(d.question(QStringLiteral("作成しますか？"), QString(), Icon::None, Buttons::YesNoCancel), Answer::Cancel);
    QCOMPARE(d.pendingAnswers(), 0);
    QCOMPARE(d.shown()[0].buttons, Buttons::YesNo);
    QCOMPARE(d.shown()[2].title, QStringLiteral("TovariInfolta"));
    QCOMPARE(d.shown()[2].answer, Answer::Cancel);
    QVERIFY(!d.hadUnexpected());
}

void TestScriptedDialogs::unexpectedQuestionFailsLoudly_data()
{
    QTest::addColumn<bool>("queueSomething");
    QTest::addColumn<Answer>("queued");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Answer>("expected");

    QTest::newRow("empty queue, yes/no") << false << Answer::Yes << Buttons::YesNo << Answer::No;
    QTest::newRow("empty queue, yes/no/cancel") << false << Answer::Yes << Buttons::YesNoCancel << Answer::No;
    QTest::newRow("empty queue, ok/cancel") << false << Answer::Ok << Buttons::OkCancel << Answer::Cancel;
    QTest::newRow("answer not a button") << true << Answer::Ok << Buttons::YesNo << Answer::No;
    QTest::newRow("cancel on yes/no") << true << Answer::Cancel << Buttons::YesNo << Answer::No;
}

void TestScriptedDialogs::unexpectedQuestionFailsLoudly()
{
    QFETCH(bool, queueSomething);
    QFETCH(Answer, queued);
    QFETCH(Buttons, buttons);
    QFETCH(Answer, expected);

    ui::ScriptedDialogs d;
    if (queueSomething)
        d.queueAnswer(queued);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^ScriptedDialogs: ")));
    QCOMPARE(d.question(QStringLiteral("削除しますか"), QString(), Icon::None, buttons), expected);
    QVERIFY(d.hadUnexpected());
    QCOMPARE(d.failures().size(), 1);
    QVERIFY(d.failures().first().contains(QStringLiteral("削除しますか")));
    QCOMPARE(d.shown().size(), 1);   // the question is still recorded
}

void TestScriptedDialogs::fileDialogsFromQueueAndCancel()
{
    ui::ScriptedDialogs d;
    d.queueFile(QStringLiteral("/data/住所録.mdb"));
    d.queueFile(std::nullopt);

    ui::OpenFileOptions options;
    options.title = QStringLiteral("Infoltaシステム Microsoft Access2000 データベース設定");
    options.filters = {{QStringLiteral("Microsoft Access MDB (*.mdb)"), QStringLiteral("*.mdb")},
                       {QStringLiteral("すべてのﾌｧｲﾙ (*.*)"), QStringLiteral("*.*")}};
    QCOMPARE(d.openFile(options), std::optional<QString>(QStringLiteral("/data/住所録.mdb")));
    QCOMPARE(d.openFile(options), std::nullopt);
    QVERIFY(!d.hadUnexpected());
    QCOMPARE(d.fileDialogs().size(), 2);
    QCOMPARE(d.fileDialogs()[0].title, options.title);
    QCOMPARE(d.fileDialogs()[0].filters.size(), 2);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("unexpected file dialog")));
    QCOMPARE(d.openFile(options), std::nullopt);
    QVERIFY(d.hadUnexpected());
}

void TestScriptedDialogs::todayAndBeepsAndPrinter()
{
    ui::ScriptedDialogs d(QDate(2023, 1, 13));
    QCOMPARE(d.today(), QDate(2023, 1, 13));
    d.setToday(QDate(2019, 5, 1));
    QCOMPARE(d.today(), QDate(2019, 5, 1));
    d.beep();
    d.beep();
    QCOMPARE(d.beeps(), 2);
    QVERIFY(d.printerDialog(nullptr));
    d.setPrinterDialogResult(false);
    QVERIFY(!d.printerDialog(nullptr));
    QCOMPARE(d.printerDialogs(), 2);

    // What the user set up in the dialog reaches the printer, confirmed or cancelled.
    QPrinter printer;
    int setups = 0;
    d.setPrinterSetup([&](QPrinter* p) {
        ++setups;
        p->setOutputFileName(QStringLiteral("/tmp/宛名印刷.pdf"));
    });
    QVERIFY(!d.printerDialog(&printer));
    QCOMPARE(printer.outputFileName(), QStringLiteral("/tmp/宛名印刷.pdf"));
    d.setPrinterDialogResult(true);
    QVERIFY(d.printerDialog(&printer));
    QCOMPARE(setups, 2);
}

void TestScriptedDialogs::processWideInstanceIsScoped()
{
    ui::Dialogs* real = &ui::dialogs();
    ui::ScriptedDialogs d;
    {
        ui::ScopedDialogs scope(&d);
        QCOMPARE(&ui::dialogs(), static_cast<ui::Dialogs*>(&d));
        ui::dialogs().message(QStringLiteral("初期化完了"));
    }
    QCOMPARE(&ui::dialogs(), real);
    QCOMPARE(d.shownTexts(), QStringList{QStringLiteral("初期化完了")});
}

QTEST_GUILESS_MAIN(TestScriptedDialogs)
#include "tst_scripteddialogs.moc"
