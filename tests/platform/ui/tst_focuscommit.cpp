#include "platform/ui/FocusCommit.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

class TestFocusCommit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void commitsOnlyForOwnFocusMoves_data();
    void commitsOnlyForOwnFocusMoves();
    void gotFocusHookFollowsTheSameReasons();
    void refusedValueGetsFocusBackWithoutPingPong();
    void handlerMovingTheFocusDoesNotCommitOtherBoxes();
    void programCommitRunsHandlerButNotWhileCommitting();

private:
    std::unique_ptr<QWidget> window_;
    QLineEdit* a_ = nullptr;
    QLineEdit* b_ = nullptr;
    QLineEdit* c_ = nullptr;
};

void TestFocusCommit::init()
{
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    a_ = new QLineEdit(window_.get());
    b_ = new QLineEdit(window_.get());
    c_ = new QLineEdit(window_.get());
    layout->addWidget(a_);
    layout->addWidget(b_);
    layout->addWidget(c_);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    a_->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(a_->hasFocus());
}

void TestFocusCommit::cleanup()
{
    window_.reset();
}

void TestFocusCommit::commitsOnlyForOwnFocusMoves_data()
{
    QTest::addColumn<Qt::FocusReason>("reason");
    QTest::addColumn<bool>("commits");
    QTest::newRow("tab") << Qt::TabFocusReason << true;
    QTest::newRow("backtab") << Qt::BacktabFocusReason << true;
    QTest::newRow("mouse") << Qt::MouseFocusReason << true;
    QTest::newRow("program") << Qt::OtherFocusReason << true;
    QTest::newRow("another window") << Qt::ActiveWindowFocusReason << false;
    QTest::newRow("pop-up") << Qt::PopupFocusReason << false;
}

void TestFocusCommit::commitsOnlyForOwnFocusMoves()
{
    QFETCH(Qt::FocusReason, reason);
    QFETCH(bool, commits);
    int commitsOfA = 0;
    ui::onLostFocus(a_, [&] { ++commitsOfA; });
    b_->setFocus(reason);
    QVERIFY(b_->hasFocus());
    QCOMPARE(commitsOfA, commits ? 1 : 0);
}

void TestFocusCommit::gotFocusHookFollowsTheSameReasons()
{
    QStringList log;
    auto* watcher = ui::onLostFocus(b_, [&] { log << QStringLiteral("lost"); });
    watcher->setGotFocus([&] { log << QStringLiteral("got"); });
    b_->setFocus(Qt::TabFocusReason);
    a_->setFocus(Qt::PopupFocusReason);
    b_->setFocus(Qt::ActiveWindowFocusReason);
    c_->setFocus(Qt::MouseFocusReason);
    QCOMPARE(log, (QStringList{QStringLiteral("got"), QStringLiteral("lost")}));
}

void TestFocusCommit::refusedValueGetsFocusBackWithoutPingPong()
{
    // Both boxes refuse whatever they hold: without the guard they would take the focus from
    // each other for ever.
    int commitsOfA = 0;
    int commitsOfB = 0;
    ui::onLostFocus(a_, [&] { ++commitsOfA; ui::refocusLater(a_); });
    ui::onLostFocus(b_, [&] { ++commitsOfB; ui::refocusLater(b_); });

    b_->setFocus(Qt::TabFocusReason);
    QCOMPARE(commitsOfA, 1);
    QTRY_VERIFY(a_->hasFocus());
    QTest::qWait(20);
    QVERIFY(a_->hasFocus());
    QCOMPARE(commitsOfA, 1);
    QCOMPARE(commitsOfB, 0);
}

void TestFocusCommit::handlerMovingTheFocusDoesNotCommitOtherBoxes()
{
    int commitsOfB = 0;
    ui::onLostFocus(a_, [&] { c_->setFocus(Qt::OtherFocusReason); });
    ui::onLostFocus(b_, [&] { ++commitsOfB; });
    b_->setFocus(Qt::MouseFocusReason);   // A commits and sends the focus on from B to C
    QVERIFY(c_->hasFocus());
    QCOMPARE(commitsOfB, 0);
}

void TestFocusCommit::programCommitRunsHandlerButNotWhileCommitting()
{
    int commitsOfA = 0;
    bool nestedRan = true;
    ui::FocusCommit* watchA = ui::onLostFocus(a_, [&] { ++commitsOfA; });
    ui::FocusCommit* watchB = nullptr;
    watchB = ui::onLostFocus(b_, [&] {
        QVERIFY(ui::FocusCommit::committing());
        nestedRan = watchA->commit();
    });
    QVERIFY(watchA->commit());
    QCOMPARE(commitsOfA, 1);
    QVERIFY(!ui::FocusCommit::committing());
    QVERIFY(watchB->commit());
    QVERIFY(!nestedRan);
    QCOMPARE(commitsOfA, 1);
}

QTEST_MAIN(TestFocusCommit)
#include "tst_focuscommit.moc"
