// The windows designed wider than a small screen (the record, mail, list and printing windows),
// opened as the menu opens them on a 1024 × 768 screen: the window stays on the screen and every
// command it shows can be scrolled into view.

#include "../OffscreenScreen.h"
#include "DemoFolder.h"
#include "EditionFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include "platform/ui/ScrolledContent.h"

using namespace editionfx;

class TestSmallScreen : public QObject, private Case {
    Q_OBJECT

    // The commands a person can see on the window's current page, in creation order.
    static QList<QAbstractButton*> shownCommands(QWidget* window)
    {
        QList<QAbstractButton*> out;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(window) && !b->objectName().isEmpty() && !qobject_cast<QTabBar*>(b->parentWidget()))
                out << b;
        return out;
    }

private slots:
    void init()
    {
        startCase();
        QString error;
        QVERIFY2(demo::makeSampleFolder(folder(), &error), qPrintable(error));
        const QString maildir = folder() + QStringLiteral("/Maildir");
        for (const char* sub : {"cur", "new", "tmp"})
            QDir().mkpath(maildir + QLatin1Char('/') + QLatin1String(sub));
        qputenv("MAILDIR", maildir.toLocal8Bit());
    }
    void cleanup() { endCase(); }

    void screenIsSmall()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(1024, 768));
    }

    void everyCommandCanBeReached_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("commandsOutside");  // some command lies beyond the screen's edge
        for (const char* program : {"kartovia", "adrovia"})
            for (const char* window : {"Form3", "Form22", "Form4", "Form5"})
                QTest::addRow("%s, %s", program, window) << program << window << (QLatin1String(window) != "Form5");
    }
    void everyCommandCanBeReached()
    {
        QFETCH(QString, program);
        QFETCH(QString, window);
        QFETCH(bool, commandsOutside);
        becomeProgram(program);
        Module1::OpenCommonDatabase(folder() + QStringLiteral("/共通情報/共通情報.mdb"));
        Module1::PublishCurrentBook(folder() + QLatin1Char('/') + demo::sampleBookName());
        auto& registry = ui::WindowRegistry::instance();
        registry.show(window);  // as the menu shows it: maximised
        QWidget* w = registry.find(window);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(w->width() <= screen.width() && w->height() <= screen.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(w->width()).arg(w->height())));
        QScrollArea* area = ui::contentScrollArea(w);
        QVERIFY(area);

        QList<QWidget*> pages{nullptr};
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        int scrolled = 0, checked = 0;
        for (int page = 0; page < (tabs ? tabs->count() : 1); ++page) {
            if (tabs)
                tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (QAbstractButton* b : shownCommands(w)) {
                const auto inView = [&] {
                    const QRect r(b->mapTo(area->viewport(), QPoint(0, 0)), b->size());
                    return area->viewport()->rect().contains(r);
                };
                if (!inView())
                    ++scrolled;
                area->ensureWidgetVisible(b, 0, 0);
                QVERIFY2(inView(), qPrintable(b->objectName() + u' ' + b->text()));
                ++checked;
            }
        }
        QVERIFY(checked > 5);
        // The design is wider than the screen: the view scrolls, to commands outside it at first.
        QCOMPARE(scrolled > 0, commandsOutside);
        QVERIFY(area->horizontalScrollBar()->maximum() > 0);
    }

    // Restored from maximised, each of them lies inside the screen's available area with its
    // frame, and what does not fit scrolls into view.
    void restoredWindowStaysOnTheScreen_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("window");
        for (const char* program : {"kartovia", "adrovia"})
            for (const char* window : {"Form3", "Form22", "Form4", "Form5"})
                QTest::addRow("%s, %s", program, window) << program << window;
    }
    void restoredWindowStaysOnTheScreen()
    {
        QFETCH(QString, program);
        QFETCH(QString, window);
        becomeProgram(program);
        Module1::OpenCommonDatabase(folder() + QStringLiteral("/共通情報/共通情報.mdb"));
        Module1::PublishCurrentBook(folder() + QLatin1Char('/') + demo::sampleBookName());
        auto& registry = ui::WindowRegistry::instance();
        registry.show(window);
        QWidget* w = registry.find(window);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_VERIFY(w->isMaximized());
        w->showNormal();
        QTRY_VERIFY(!w->isMaximized());
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QTRY_VERIFY2(available.contains(w->frameGeometry()),
                     qPrintable(QStringLiteral("%1x%2 at %3,%4").arg(w->width()).arg(w->height()).arg(w->x()).arg(w->y())));
        QScrollArea* area = ui::contentScrollArea(w);
        QVERIFY(area);
        QCoreApplication::processEvents();
        const QList<QAbstractButton*> commands = shownCommands(w);
        QVERIFY(commands.size() > 5);
        for (QAbstractButton* b : commands) {
            area->ensureWidgetVisible(b, 0, 0);
            const QRect r(b->mapTo(area->viewport(), QPoint(0, 0)), b->size());
            QVERIFY2(area->viewport()->rect().contains(r), qPrintable(b->objectName() + u' ' + b->text()));
        }
    }
};

int main(int argc, char** argv)
{
    // The offscreen platform's screen: 1024 × 768.
    return offscreen::runOnScreen<TestSmallScreen>(argc, argv, 1024, 768);
}

#include "tst_smallscreen.moc"
