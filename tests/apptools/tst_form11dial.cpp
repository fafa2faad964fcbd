// The dialler's call states through the fake modem line: every transition of its state table,
// the failures that end a dial, what reaches the modem and the call's history row.

#include "DiallerFixture.h"

#include "platform/ui/WindowRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

using namespace dfix;
using comm::ModemAnswer;
using comm::WaitEnd;

Q_DECLARE_METATYPE(comm::WaitResult)

// Member 10 of the sample book has no history of its own.
constexpr qint64 kMember = 10;

class TestForm11Dial : public QObject, private DiallerCase {
    Q_OBJECT

    static QString label(QWidget* w, const char* name) { return fixture::shown(w, QString::fromLatin1(name)); }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { fresh(); }
    void cleanup() { drop(); }

    // Idle → Dialling → Handing over → Connected → Idle, with the row written at each step.
    void callFromDialToEnd()
    {
        auto w = open(kMember);
        QCOMPARE(buttons(w.get()), Idle);
        lineEdit(w.get(), QStringLiteral("Text4"))->setText(QStringLiteral("会費の件"));
        QString duringWait, duringMessage, statusDuringWait;
        bool openDuringMessage = false;
        line->duringWait = [&] {
            duringWait = buttons(w.get());
            statusDuringWait = label(w.get(), "Status");
        };
        dialogs->onMessage = [&](const QString& text) {
            if (text != LiftHandset)
                return;
            duringMessage = buttons(w.get());
            openDuringMessage = line->isOpen();
            QCOMPARE(historyOf(book, kMember).size(), size_t(1));
        };
        dialogs->setNow(QDateTime(QDate(2024, 4, 1), QTime(10, 0, 0)));
        w->DialButton_Click();

        QCOMPARE(duringWait, Dialling);
        QCOMPARE(statusDuringWait, QStringLiteral("ﾀﾞｲｱﾙ中 - 0312345678"));
        QCOMPARE(duringMessage, Dialling);  // handing over: the buttons of Dialling
        QVERIFY(openDuringMessage);
        QCOMPARE(line->written, (QList<QByteArray>{"ATDP0312345678;\r", "ATH\r"}));
        QCOMPARE(line->lastTimeoutMs, 60000);
        QVERIFY(!line->isOpen());
        QCOMPARE(buttons(w.get()), Connected);
        QVERIFY(w->callActive());
        QCOMPARE(label(w.get(), "Status"), StatusCaption);
        QCOMPARE(label(w.get(), "Label3_0"), QStringLiteral("10:00:00"));
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(dialogs->shownTexts(), QStringList{LiftHandset});
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::None);
        {
            const auto rows = historyOf(book, kMember);
            QCOMPARE(rows.size(), size_t(1));
            QCOMPARE(rows[0].number, QStringLiteral("0312345678"));
            QCOMPARE(rows[0].start, QDateTime(QDate(2024, 4, 1), QTime(10, 0, 0)));
            QVERIFY(!rows[0].end.isValid());
            QCOMPARE(rows[0].purpose, QStringLiteral("会費の件"));
        }

        dialogs->setNow(QDateTime(QDate(2024, 4, 1), QTime(10, 4, 7)));
        buttonOf(w.get(), QStringLiteral("QuitButton_0"))->click();
        QCOMPARE(buttons(w.get()), Idle);
        QVERIFY(!w->callActive());
        QCOMPARE(label(w.get(), "Label3_1"), QStringLiteral("10:04:07 (00:04:07)"));
        QCOMPARE(historyValue(book, kMember, 0, dialler::history::Aborted).toBool(), false);
        QVERIFY(!historyValue(book, kMember, 0, dialler::history::Aborted).isNull());
        QCOMPARE(lines(w.get()), QStringList{QStringLiteral("0312345678         2024/04/01(月) 10:00:00 - 10:04:07  (00:04:07)  会費の件")});
        // The row was written to the book the window loaded, member from the load.
        QCOMPARE(historyValue(book, kMember, 0, dialler::history::MemberNo).toLongLong(), kMember);
    }

    // Dialling, then "ｷｬﾝｾﾙ": the hang-up goes out, the port closes, no row.
    void cancelWhileDialling()
    {
        auto w = open(kMember);
        QString afterCancel;
        line->duringWait = [&] {
            buttonOf(w.get(), QStringLiteral("CancelButton"))->click();
            afterCancel = buttons(w.get());
        };
        w->DialButton_Click();
        QCOMPARE(afterCancel, Idle);
        QCOMPARE(buttons(w.get()), Idle);
        QCOMPARE(line->written, (QList<QByteArray>{"ATDP0312345678;\r", "ATH\r"}));
        QVERIFY(!line->isOpen());
        QVERIFY(historyOf(book, kMember).empty());
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(label(w.get(), "Status"), StatusCaption);
    }

    // Each way a dial ends without a call: hang-up, port closed, no row, a message naming the
    // cause, and the state after a dial without a call.
    void dialWithoutCall_data()
    {
        QTest::addColumn<comm::WaitResult>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("BUSY") << comm::WaitResult{WaitEnd::Answered, ModemAnswer::Busy, "BUSY"} << "ダイアルできませんでした（BUSY）";
        QTest::newRow("NO CARRIER") << comm::WaitResult{WaitEnd::Answered, ModemAnswer::NoCarrier, "NO CARRIER"}
                                    << "ダイアルできませんでした（NO CARRIER）";
        QTest::newRow("NO DIALTONE") << comm::WaitResult{WaitEnd::Answered, ModemAnswer::NoDialtone, "NO DIALTONE"}
                                     << "ダイアルできませんでした（NO DIALTONE）";
        QTest::newRow("NO ANSWER") << comm::WaitResult{WaitEnd::Answered, ModemAnswer::NoAnswer, "NO ANSWER"}
                                   << "ダイアルできませんでした（NO ANSWER）";
        QTest::newRow("ERROR") << comm::WaitResult{WaitEnd::Answered, ModemAnswer::Error, "ERROR"} << "ダイアルできませんでした（ERROR）";
        QTest::newRow("no answer in time") << comm::WaitResult{WaitEnd::TimedOut, ModemAnswer::Ok, ""} << "モデムから応答がありません";
        QTest::newRow("port gone") << comm::WaitResult{WaitEnd::LineLost, ModemAnswer::Ok, "Input/output error"}
                                   << "モデムとの通信が切れました（Input/output error）";
    }
    void dialWithoutCall()
    {
        QFETCH(comm::WaitResult, result);
        QFETCH(QString, message);
        auto w = open(kMember);
        line->queue(result);
        w->DialButton_Click();
        QCOMPARE(line->written, (QList<QByteArray>{"ATDP0312345678;\r", "ATH\r"}));
        QVERIFY(!line->isOpen());
        QVERIFY(historyOf(book, kMember).empty());
        QCOMPARE(dialogs->shownTexts(), QStringList{message});
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(dialogs->shown().first().title, ui::programTitle());
        QCOMPARE(buttons(w.get()), IdleAfterDial);
        QVERIFY(!w->callActive());
        // The next dial works as any other.
        dialogs->clearRecord();
        w->DialButton_Click();
        QCOMPARE(buttons(w.get()), Connected);
    }

    void portCannotBeOpened()
    {
        auto w = open(kMember);
        line->refuseOpen = true;
        w->DialButton_Click();
        QVERIFY(line->written.isEmpty());
        QCOMPARE(dialogs->shownTexts(),
                 QStringList{QStringLiteral("通信ポートは使用できません。CommPort ﾌﾟﾛﾊﾟﾃｨを別のﾎﾟｰﾄに設定してください。")});
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::None);
        QCOMPARE(buttons(w.get()), IdleAfterDial);
        QVERIFY(historyOf(book, kMember).empty());
    }

    // A number without a digit dials nothing, not even the outside line or the prefix.
    void numberWithoutDigits_data()
    {
        QTest::addColumn<QString>("home");
        QTest::newRow("empty") << "";
        QTest::newRow("no digits") << "なし";
    }
    void numberWithoutDigits()
    {
        QFETCH(QString, home);
        setSetting(dir->path(), QStringLiteral("外線使用"), true);
        auto w = open(kMember, home);
        w->DialButton_Click();
        QVERIFY(line->openedPorts.isEmpty());
        QVERIFY(line->written.isEmpty());
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(buttons(w.get()), IdleAfterDial);
        QVERIFY(historyOf(book, kMember).empty());
    }

    // What goes to the modem: the chosen number's dial string, with the outside line and, for the
    // mobile number, the prefix; the mobile number when no option is chosen; the stored port.
    void dialStrings_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("com");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("port");
        QTest::newRow("home") << 0 << "2" << QByteArray("ATDP00312;\r") << "2";
        QTest::newRow("mobile") << 1 << "3" << QByteArray("ATDP00033090;\r") << "3";
        QTest::newRow("no option chosen dials the mobile") << -1 << "7" << QByteArray("ATDP00033090;\r") << "7";
    }
    void dialStrings()
    {
        QFETCH(int, option);
        QFETCH(QString, com);
        QFETCH(QByteArray, command);
        QFETCH(QString, port);
        setSetting(dir->path(), QStringLiteral("外線使用"), true);
        setSetting(dir->path(), QStringLiteral("外線番号"), 0);
        setSetting(dir->path(), QStringLiteral("付加番号使用"), true);
        setSetting(dir->path(), QStringLiteral("com"), com);
        auto w = open(kMember, QStringLiteral("(03)-12"), QStringLiteral("０９０"), option);
        w->DialButton_Click();
        QCOMPARE(line->openedPorts, QStringList{port});
        QCOMPARE(line->written.first(), command);
        QCOMPARE(historyValue(book, kMember, 0, dialler::history::Number).toString(),
                 QString::fromLatin1(command.mid(4, command.size() - 6)));
    }

    // The options and boxes stay live during the wait; the row keeps the string that was sent
    // and the purpose typed meanwhile.
    void rowKeepsWhatWasSent()
    {
        auto w = open(kMember, QStringLiteral("03-1234-5678"), QStringLiteral("090-1111-2222"), 1);
        line->duringWait = [&] {
            buttonOf(w.get(), QStringLiteral("Option5_1"))->click();
            buttonOf(w.get(), QStringLiteral("Option1_0"))->click();
            lineEdit(w.get(), QStringLiteral("Text1_1"))->setText(QStringLiteral("080-9"));
            lineEdit(w.get(), QStringLiteral("Text4"))->setText(QStringLiteral("待つ間に入力"));
        };
        w->DialButton_Click();
        QCOMPARE(line->written.first(), QByteArray("ATDP09011112222;\r"));
        QCOMPARE(historyValue(book, kMember, 0, dialler::history::Number).toString(), QStringLiteral("09011112222"));
        QCOMPARE(historyValue(book, kMember, 0, dialler::history::Purpose).toString(), QStringLiteral("待つ間に入力"));
    }

    // A cancel while the handset message is shown aborts the call's row; the window goes idle.
    void cancelWhileHandingOver()
    {
        auto w = open(kMember);
        dialogs->onMessage = [&](const QString& text) {
            if (text == LiftHandset) {
                dialogs->setNow(QDateTime(QDate(2024, 4, 1), QTime(10, 0, 9)));
                buttonOf(w.get(), QStringLiteral("CancelButton"))->click();
            }
        };
        w->DialButton_Click();
        QCOMPARE(buttons(w.get()), Idle);
        QVERIFY(!w->callActive());
        QCOMPARE(line->written.last(), QByteArray("ATH\r"));
        QVERIFY(!line->isOpen());
        const auto rows = historyOf(book, kMember);
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].end, QDateTime(QDate(2024, 4, 1), QTime(10, 0, 9)));
        QVERIFY(!rows[0].duration.isValid());
        QCOMPARE(historyValue(book, kMember, 0, dialler::history::Aborted).toBool(), true);
    }

    // Worked by keys, the focus stays on the call: ダイアル hands it to ｷｬﾝｾﾙ for the wait, and
    // the end of the dial gives it to the button of the next step (ダイアル again, or 通話終了
    // while a call goes on, and ダイアル after it), never along the Tab order to the options.
    void focusFollowsTheCall_data()
    {
        QTest::addColumn<QString>("how");  // "cancel", "busy", "call"
        QTest::addColumn<QString>("after");  // the focused button when the dial has ended
        QTest::newRow("ｷｬﾝｾﾙ while dialling") << "cancel" << "DialButton";
        QTest::newRow("a dial without a call") << "busy" << "DialButton";
        QTest::newRow("a call, then 通話終了") << "call" << "QuitButton_0";
    }
    void focusFollowsTheCall()
    {
        QFETCH(QString, how);
        QFETCH(QString, after);
        auto w = open(kMember);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const auto focused = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); };
        const auto press = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); };
        buttonOf(w.get(), QStringLiteral("DialButton"))->setFocus();
        QCOMPARE(focused(), QStringLiteral("DialButton"));
        if (how == QLatin1String("busy"))
            line->queue(comm::WaitResult{WaitEnd::Answered, ModemAnswer::Busy, "BUSY"});
        QString duringWait, afterCancel;
        line->duringWait = [&] {
            duringWait = focused();
            if (how == QLatin1String("cancel")) {
                press();
                afterCancel = focused();
            }
        };
        press();
        QCOMPARE(duringWait, QStringLiteral("CancelButton"));
        if (how == QLatin1String("cancel"))
            QCOMPARE(afterCancel, QStringLiteral("DialButton"));
        QCOMPARE(focused(), after);
        if (how == QLatin1String("call")) {
            QCOMPARE(buttons(w.get()), Connected);
            press();
            QCOMPARE(buttons(w.get()), Idle);
            QCOMPARE(focused(), QStringLiteral("DialButton"));
        }
        // And ダイアル again from there, by the same key.
        dialogs->clearRecord();
        line->duringWait = [&] { duringWait = focused(); };
        duringWait.clear();
        press();
        QCOMPARE(duringWait, QStringLiteral("CancelButton"));
    }

    // A cancel left over from before does not end the next dial.
    void staleCancelIsForgotten()
    {
        auto w = open(kMember);
        w->CancelButton_Click();
        w->DialButton_Click();
        QCOMPARE(buttons(w.get()), Connected);
        QCOMPARE(historyOf(book, kMember).size(), size_t(1));
    }

    // The purpose must fit "用件" before anything is dialled; a member that is no number
    // neither dials nor writes.
    void dialRefused_data()
    {
        QTest::addColumn<QString>("memberNo");
        QTest::addColumn<QString>("purpose");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("purpose of 256 bytes") << "00000010" << QString(128, QChar(u'あ')) + QLatin1Char('x')
                                               << QStringList{QStringLiteral("入力データが不正またはデータが長すぎます")};
        QTest::newRow("member number not a number") << "" << "" << QStringList{};
    }
    void dialRefused()
    {
        QFETCH(QString, memberNo);
        QFETCH(QString, purpose);
        QFETCH(QStringList, messages);
        auto w = open(kMember);
        Module1::DialMemberNo = memberNo;
        w = std::make_unique<Form11>();
        w->formLoad();
        lineEdit(w.get(), QStringLiteral("Text1_0"))->setText(QStringLiteral("03"));
        buttonOf(w.get(), QStringLiteral("Option1_0"))->click();
        lineEdit(w.get(), QStringLiteral("Text4"))->setText(purpose);
        w->DialButton_Click();
        QVERIFY(line->openedPorts.isEmpty());
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(dialogs->shownTexts(), messages);
        QCOMPARE(buttons(w.get()), Idle);
        // A purpose of exactly 255 bytes dials.
        if (!purpose.isEmpty()) {
            lineEdit(w.get(), QStringLiteral("Text4"))->setText(QString(127, QChar(u'あ')) + QLatin1Char('x'));
            w->DialButton_Click();
            QCOMPARE(buttons(w.get()), Connected);
            QCOMPARE(historyOf(book, kMember).size(), size_t(1));
        }
    }

    // The close box is "終了": refused during a dial and a call, and it unloads the idle window.
    void closeBox()
    {
        auto& registry = ui::WindowRegistry::instance();
        registry.registerFactory(QStringLiteral("Form11"), [] { return new Form11; });
        Module1::DialMemberNo = Module1::FormatMemberNo(kMember);
        auto* w = registry.reach<Form11>(QStringLiteral("Form11"));
        QVERIFY(w);
        lineEdit(w, QStringLiteral("Text1_0"))->setText(QStringLiteral("03"));
        buttonOf(w, QStringLiteral("Option1_0"))->click();
        registry.show(QStringLiteral("Form11"));
        bool refusedDuringWait = false;
        line->duringWait = [&] { refusedDuringWait = !w->close(); };
        w->DialButton_Click();
        QVERIFY(refusedDuringWait);
        QCOMPARE(buttons(w), Connected);
        QVERIFY(!w->close());
        QVERIFY(registry.isLoaded(QStringLiteral("Form11")));
        QVERIFY(w->isVisible());
        buttonOf(w, QStringLiteral("QuitButton_0"))->click();
        QPointer<Form11> alive(w);
        buttonOf(w, QStringLiteral("QuitButton_1"))->click();
        QVERIFY(!registry.isLoaded(QStringLiteral("Form11")));
        QTRY_VERIFY(!alive);
        QCOMPARE(historyOf(book, kMember).size(), size_t(1));
    }

    // The window goes while a call is connected (the program ends): its row is closed as
    // aborted. It goes during the wait: the modem is hung up and the port closed.
    void windowGoesDuringCall()
    {
        auto w = open(kMember);
        w->DialButton_Click();
        QCOMPARE(buttons(w.get()), Connected);
        dialogs->setNow(QDateTime(QDate(2024, 4, 1), QTime(10, 1, 0)));
        w.reset();
        const auto rows = historyOf(book, kMember);
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].end, QDateTime(QDate(2024, 4, 1), QTime(10, 1, 0)));
        QCOMPARE(historyValue(book, kMember, 0, dialler::history::Aborted).toBool(), true);
    }
    void windowGoesDuringWait()
    {
        auto w = open(kMember);
        Form11* raw = w.release();
        line->duringWait = [&] { delete raw; };
        raw->DialButton_Click();
        QCOMPARE(line->written, (QList<QByteArray>{"ATDP0312345678;\r", "ATH\r"}));
        QVERIFY(!line->isOpen());
        QVERIFY(historyOf(book, kMember).empty());
    }
};

QTEST_MAIN(TestForm11Dial)
#include "tst_form11dial.moc"
