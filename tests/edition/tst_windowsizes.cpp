// Every window of both programs restored from maximised, as a desktop that does not maximise
// shows it and as the user restores it, on a 1600 × 1000 screen: its normal size holds every
// control it shows, the image viewer's picture among them, and lies inside the screen's
// available area.

#include "../OffscreenScreen.h"
#include "KeyboardFixture.h"

#include "platform/ui/ScrolledContent.h"

#include <QAbstractScrollArea>
#include <QScrollArea>
#include <QScreen>

using namespace kbfx;

namespace {

// The controls of the design a person can see: named ones, not the parts Qt builds inside them
// nor the lines of a list.
QList<QWidget*> shownControls(QWidget* window)
{
    QList<QWidget*> out;
    for (QWidget* c : window->findChildren<QWidget*>()) {
        if (c->objectName().isEmpty() || c->objectName().startsWith(QLatin1String("qt_")) || c->isWindow()
            || !c->isVisibleTo(window))
            continue;
        bool inAView = false;
        for (QWidget* p = c->parentWidget(); p && p != window; p = p->parentWidget())
            if (auto* view = qobject_cast<QAbstractScrollArea*>(p); view && view != ui::contentScrollArea(window))
                inAView = true;
        if (!inAView)
            out << c;
    }
    return out;
}

} // namespace

class TestWindowSizes : public QObject, Fixture {
    Q_OBJECT
private slots:
    void initTestCase() { startFixture(); }
    void cleanupTestCase() { endFixture(); }
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void normalSizeHoldsTheDesign_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("window");
        for (const QString& program : {QStringLiteral("kartovia"), QStringLiteral("adrovia")})
            for (const QString& window : kWindows)
                if (program == QStringLiteral("kartovia") || window != QStringLiteral("Form6"))
                    QTest::addRow("%s %s", qPrintable(program), qPrintable(window)) << program << window;
    }
    void normalSizeHoldsTheDesign()
    {
        QFETCH(QString, program);
        QFETCH(QString, window);
        start(program);
        QWidget* w = open(window);
        QVERIFY(w);
        // As the program shows a window that is not shown yet: maximised.
        w->hide();
        ui::WindowRegistry::instance().show(window);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->isMaximized());
        if (auto* viewer = qobject_cast<Form14*>(w)) {
            QVERIFY(QTest::qWaitFor([viewer] { return viewer->pictureQueue()->pending() == 0; }, 10000));
            QVERIFY(!viewer->Image1[0]->image().isNull());
        }
        w->showNormal();
        QTRY_VERIFY(!w->isMaximized());
        QCoreApplication::processEvents();
        const QRect available = w->screen()->availableGeometry();
        // With its frame, as the desktop has placed it; the viewer fills the screen by its own rule.
        if (!qobject_cast<Form14*>(w))
            QTRY_VERIFY2(available.contains(w->frameGeometry()),
                         qPrintable(QStringLiteral("%1x%2 at %3,%4").arg(w->width()).arg(w->height()).arg(w->x()).arg(w->y())));
        QCoreApplication::processEvents();

        const QList<QWidget*> controls = shownControls(w);
        QVERIFY(controls.size() > 3);
        QStringList outside;
        for (QWidget* c : controls) {
            const QRect place(c->mapTo(w, QPoint(0, 0)), c->size());
            if (!w->rect().contains(place))
                outside << QStringLiteral("%1 at %2,%3 %4x%5")
                               .arg(c->objectName())
                               .arg(place.x())
                               .arg(place.y())
                               .arg(place.width())
                               .arg(place.height());
        }
        QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("window %1x%2: ").arg(w->width()).arg(w->height())
                                               + outside.mid(0, 8).join(QStringLiteral("; "))));
        // A window with a scrolled content shows all of it without scrolling.
        if (QScrollArea* area = ui::contentScrollArea(w)) {
            QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
            QCOMPARE(area->verticalScrollBar()->maximum(), 0);
        }
    }
};

int main(int argc, char** argv)
{
    // The offscreen platform's screen: 1600 × 1000, as large as the windows' designs.
    return offscreen::runOnScreen<TestWindowSizes>(argc, argv, 1600, 1000);
}
#include "tst_windowsizes.moc"
