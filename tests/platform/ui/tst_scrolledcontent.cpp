// A window's controls moved onto a scrolled content: places, hidden state and layout kept, the
// window sized to its design, and a window smaller than its design scrolling to every control.

#include "platform/ui/ScrolledContent.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Shown inside the viewport of the area, whole.
bool inView(const QScrollArea* area, const QWidget* w)
{
    const QRect r(w->mapTo(area->viewport(), QPoint(0, 0)), w->size());
    return area->viewport()->rect().contains(r);
}

} // namespace

class TestScrolledContent : public QObject {
    Q_OBJECT
private slots:
    void controlsMoveWithTheirPlaces_data()
    {
        QTest::addColumn<bool>("laidOut");
        QTest::newRow("placed by position") << false;
        QTest::newRow("placed by a layout") << true;
    }
    void controlsMoveWithTheirPlaces()
    {
        QFETCH(bool, laidOut);
        QWidget window;
        auto* near = new QLineEdit(&window);
        auto* far = new QPushButton(QStringLiteral("終了"), &window);
        auto* hidden = new QPushButton(QStringLiteral("電話"), &window);
        hidden->hide();
        QLayout* layout = nullptr;
        if (laidOut) {
            layout = new QVBoxLayout(&window);
            layout->addWidget(near);
            layout->addWidget(far);
            far->setMinimumSize(900, 600);
        } else {
            near->setGeometry(10, 10, 100, 20);
            far->setGeometry(900, 600, 80, 30);
        }
        ui::WindowContent* content = ui::scrolledContent(&window, laidOut ? QSize() : QSize(1000, 700));
        QCOMPARE(ui::scrolledContent(&window), content);
        QCOMPARE(ui::contentScrollArea(&window)->widget(), content);
        for (QWidget* w : {static_cast<QWidget*>(near), static_cast<QWidget*>(far), static_cast<QWidget*>(hidden)})
            QCOMPARE(w->parentWidget(), content);
        if (laidOut)
            QCOMPARE(content->layout(), layout);
        else
            QCOMPARE(far->geometry(), QRect(900, 600, 80, 30));
        // The window takes the design's size: the one given, or the layout's.
        const QSize design = laidOut ? layout->minimumSize() : QSize(1000, 700);
        QVERIFY2(window.width() >= design.width() && window.height() >= design.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(window.width()).arg(window.height())));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(near->isVisible());
        QVERIFY(far->isVisible());
        QVERIFY(hidden->isHidden());
        QVERIFY(inView(ui::contentScrollArea(&window), far));
    }

    // A window smaller than its design scrolls; Tab brings the next control into view and the
    // area itself is no stop of Tab.
    void smallerWindowScrollsToEveryControl()
    {
        QWidget window;
        auto* first = new QLineEdit(&window);
        first->setGeometry(10, 10, 100, 20);
        auto* last = new QPushButton(QStringLiteral("終了"), &window);
        last->setGeometry(1400, 900, 80, 30);
        QScrollArea* area = nullptr;
        ui::scrolledContent(&window, QSize(1500, 950));
        area = ui::contentScrollArea(&window);
        window.resize(600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(area->horizontalScrollBar()->maximum() > 0);
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        QVERIFY(!inView(area, last));
        QApplication::setActiveWindow(&window);
        first->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), last);
        QVERIFY(inView(area, last));
        QTest::keyClick(last, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), first);
        QVERIFY(inView(area, first));
        QCOMPARE(area->focusPolicy(), Qt::NoFocus);
    }
};

QTEST_MAIN(TestScrolledContent)
#include "tst_scrolledcontent.moc"
