// Only the information manager has the web-link window.

#include "editions/Windows.h"
#include "platform/ui/WindowRegistry.h"

#include <QTest>

class TestWebLinkWindow : public QObject {
    Q_OBJECT
private slots:
    // The address book registers first: the registry only grows.
    void addressBookHasNone()
    {
        editions::RegisterAdroviaWindows();
        QVERIFY(!ui::WindowRegistry::instance().hasFactory(QStringLiteral("Form6")));
    }
    void informationManagerHasIt()
    {
        editions::RegisterKartoviaWindows();
        QVERIFY(ui::WindowRegistry::instance().hasFactory(QStringLiteral("Form6")));
    }
};

QTEST_MAIN(TestWebLinkWindow)
#include "tst_weblinkwindow.moc"
