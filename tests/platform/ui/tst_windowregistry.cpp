#include "platform/ui/WindowRegistry.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {

QStringList loadLog;

class CountedForm : public ui::Window {
    Q_OBJECT
public:
    explicit CountedForm(QString name, QString alsoReach = {})
        : name_(std::move(name)), alsoReach_(std::move(alsoReach)) {}
    void formLoad() override
    {
        loadLog << name_;
        if (!alsoReach_.isEmpty())
            ui::WindowRegistry::instance().reach(alsoReach_);
    }
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent* e) override { e->setAccepted(!refuseClose); }

private:
    QString name_;
    QString alsoReach_;
};

void flushDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestWindowRegistry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstReachLoadsLaterReachFinds();
    void loadRunsBeforeReachReturnsAndMayReachOthers();
    void showOpensMaximisedAndOnlyBringsForward();
    void restoredWindowShowsItsDesign_data();
    void restoredWindowShowsItsDesign();
    void unloadDestroysAndNextReachLoadsAgain();
    void closingTheWindowUnloadsIt();
    void refusedCloseKeepsTheWindow();
    void windowMayUnloadItselfFromItsOwnHandler();
    void windowDestroyedElsewhereIsForgotten();
    void unknownNameGivesNothing();

private:
    ui::WindowRegistry& reg() { return ui::WindowRegistry::instance(); }
};

void TestWindowRegistry::init()
{
    loadLog.clear();
    reg().registerFactory(QStringLiteral("Form3"), [] { return new CountedForm(QStringLiteral("Form3")); });
    reg().registerFactory(QStringLiteral("Form4"), [] { return new CountedForm(QStringLiteral("Form4")); });
    reg().registerFactory(QStringLiteral("Form5"),
                          [] { return new CountedForm(QStringLiteral("Form5"), QStringLiteral("Form4")); });
}

void TestWindowRegistry::cleanup()
{
    reg().unloadAll();
    flushDeletions();
}

void TestWindowRegistry::firstReachLoadsLaterReachFinds()
{
    QVERIFY(!reg().isLoaded(QStringLiteral("Form3")));
    QCOMPARE(reg().find(QStringLiteral("Form3")), nullptr);

    auto* first = reg().reach<CountedForm>(QStringLiteral("Form3"));
    QVERIFY(first);
    QVERIFY(reg().isLoaded(QStringLiteral("Form3")));
    QVERIFY(!first->isVisible());   // loaded, not shown
    QCOMPARE(first->objectName(), QStringLiteral("Form3"));

    QCOMPARE(reg().reach<CountedForm>(QStringLiteral("Form3")), first);
    QCOMPARE(loadLog, QStringList{QStringLiteral("Form3")});
}

void TestWindowRegistry::loadRunsBeforeReachReturnsAndMayReachOthers()
{
    reg().reach(QStringLiteral("Form5"));
    QCOMPARE(loadLog, (QStringList{QStringLiteral("Form5"), QStringLiteral("Form4")}));
    QVERIFY(reg().isLoaded(QStringLiteral("Form4")));
}

void TestWindowRegistry::showOpensMaximisedAndOnlyBringsForward()
{
    reg().show(QStringLiteral("Form3"));
    QWidget* w = reg().find(QStringLiteral("Form3"));
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(w->windowState() & Qt::WindowMaximized);

    w->showMinimized();
    reg().show(QStringLiteral("Form3"));
    QCOMPARE(reg().find(QStringLiteral("Form3")), w);
    QVERIFY(!w->isMinimized());
    QVERIFY(w->isVisible());
    QCOMPARE(loadLog.size(), 1);
}

// Restored from maximised, a window keeps the size its design gives it, and is never smaller than
// the controls it shows; one that gives itself no size fills the screen's available area.
void TestWindowRegistry::restoredWindowShowsItsDesign_data()
{
    QTest::addColumn<QSize>("design");  // invalid: the window sets no size
    QTest::addColumn<QRect>("farControl");  // invalid: none beyond the design
    QTest::addColumn<bool>("hidden");  // the far control is hidden
    QTest::addColumn<QSize>("normal");  // invalid: the screen's available area
    QTest::newRow("a design size") << QSize(300, 200) << QRect() << false << QSize(300, 200);
    QTest::newRow("a control beyond the design size") << QSize(300, 200) << QRect(250, 180, 100, 40) << false << QSize(350, 220);
    QTest::newRow("a hidden control beyond it") << QSize(300, 200) << QRect(250, 180, 100, 40) << true << QSize(300, 200);
    QTest::newRow("no size of its own") << QSize() << QRect(10, 10, 50, 20) << false << QSize();
}

void TestWindowRegistry::restoredWindowShowsItsDesign()
{
    QFETCH(QSize, design);
    QFETCH(QRect, farControl);
    QFETCH(bool, hidden);
    QFETCH(QSize, normal);
    reg().registerFactory(QStringLiteral("Form9"), [=] {
        auto* w = new CountedForm(QStringLiteral("Form9"));
        if (design.isValid())
            w->resize(design);
        if (farControl.isValid()) {
            auto* b = new QPushButton(QStringLiteral("終了"), w);
            b->setGeometry(farControl);
            b->setVisible(!hidden);
        }
        return w;
    });
    reg().show(QStringLiteral("Form9"));
    QWidget* w = reg().find(QStringLiteral("Form9"));
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(w->isMaximized());
    w->showNormal();
    QTRY_VERIFY(!w->isMaximized());
    QTRY_COMPARE(w->size(), normal.isValid() ? normal : w->screen()->availableGeometry().size());
}

void TestWindowRegistry::unloadDestroysAndNextReachLoadsAgain()
{
    reg().show(QStringLiteral("Form3"));
    QPointer<QWidget> old = reg().find(QStringLiteral("Form3"));
    reg().unload(QStringLiteral("Form3"));
    QVERIFY(!reg().isLoaded(QStringLiteral("Form3")));
    QVERIFY(!old || !old->isVisible());
    flushDeletions();
    QVERIFY(old.isNull());

    QWidget* fresh = reg().reach(QStringLiteral("Form3"));
    QVERIFY(fresh);
    QCOMPARE(loadLog.size(), 2);
}

void TestWindowRegistry::closingTheWindowUnloadsIt()
{
    reg().show(QStringLiteral("Form4"));
    QPointer<QWidget> old = reg().find(QStringLiteral("Form4"));
    QVERIFY(old->close());
    // Forgotten at once, even before the deferred deletion: the next reach loads anew.
    QVERIFY(!reg().isLoaded(QStringLiteral("Form4")));
    QWidget* fresh = reg().reach(QStringLiteral("Form4"));
    QVERIFY(fresh != old.data());
    QCOMPARE(loadLog.size(), 2);
    flushDeletions();
    QVERIFY(old.isNull());
    QCOMPARE(reg().find(QStringLiteral("Form4")), fresh);
}

void TestWindowRegistry::refusedCloseKeepsTheWindow()
{
    reg().show(QStringLiteral("Form3"));
    auto* w = reg().reach<CountedForm>(QStringLiteral("Form3"));
    w->refuseClose = true;
    QVERIFY(!w->close());
    flushDeletions();
    QCOMPARE(reg().find(QStringLiteral("Form3")), w);
    QVERIFY(w->isVisible());

    // Unloading does not ask.
    QPointer<QWidget> guard(w);
    reg().unload(QStringLiteral("Form3"));
    flushDeletions();
    QVERIFY(guard.isNull());
}

void TestWindowRegistry::windowMayUnloadItselfFromItsOwnHandler()
{
    reg().registerFactory(QStringLiteral("Form1"), [] {
        auto* w = new CountedForm(QStringLiteral("Form1"));
        auto* quit = new QPushButton(QStringLiteral("終了"), w);
        quit->setObjectName(QStringLiteral("Command1_5"));
        QObject::connect(quit, &QPushButton::clicked, w, [] {
            ui::WindowRegistry::instance().unload(QStringLiteral("Form1"));
        });
        return w;
    });
    reg().show(QStringLiteral("Form1"));
    QPointer<QWidget> w = reg().find(QStringLiteral("Form1"));
    auto* quit = w->findChild<QPushButton*>(QStringLiteral("Command1_5"));
    QTest::mouseClick(quit, Qt::LeftButton);
    QVERIFY(!reg().isLoaded(QStringLiteral("Form1")));
    flushDeletions();
    QVERIFY(w.isNull());
}

void TestWindowRegistry::windowDestroyedElsewhereIsForgotten()
{
    delete reg().reach(QStringLiteral("Form3"));
    QVERIFY(!reg().isLoaded(QStringLiteral("Form3")));
    QVERIFY(reg().reach(QStringLiteral("Form3")));
    QCOMPARE(loadLog.size(), 2);
}

void TestWindowRegistry::unknownNameGivesNothing()
{
    QTest::ignoreMessage(QtWarningMsg, "ui::WindowRegistry: no window named Form99");
    QCOMPARE(reg().reach(QStringLiteral("Form99")), nullptr);
    QVERIFY(!reg().isLoaded(QStringLiteral("Form99")));
}

QTEST_MAIN(TestWindowRegistry)
#include "tst_windowregistry.moc"
