// The mail window's chosen message stays in sight: the row the load selects (the last message)
// is in view once the window is shown at its final size, maximised on a 1600 × 1000 screen or
// restored, and the row a fetch selects is in view after the fetch.

#include "../OffscreenScreen.h"
#include "Form22Fixture.h"
#include "platform/ui/WindowRegistry.h"

#include <QApplication>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace {

// Rows are wider than the list (it scrolls sideways): their height is what counts.
bool rowInView(const QListView* list, int row)
{
    const QRect r = list->visualRect(list->model()->index(row, 0));
    return r.isValid() && r.top() >= 0 && r.bottom() <= list->viewport()->rect().bottom();
}

QString shownRows(const QListView* list)
{
    const int first = list->indexAt(QPoint(1, 1)).row();
    const int last = list->indexAt(QPoint(1, list->viewport()->height() - 2)).row();
    return QStringLiteral("current row %1, rows %2 to %3 of %4 shown")
        .arg(list->currentIndex().row())
        .arg(first)
        .arg(last)
        .arg(list->model()->rowCount());
}

} // namespace

class TestForm22ChosenRow : public QObject, private fixture::MailWindowCase {
    Q_OBJECT

    // Mail numbered from `from` on, each a minute after the one before, after the four known ones.
    void addMail(int from, int count)
    {
        for (int i = from; i < from + count; ++i)
            fixture::writeMail(maildir + QStringLiteral("/cur/3%1.x.host:2,S").arg(i, 4, 10, QLatin1Char('0')),
                               QStringLiteral("From: A <a@example.jp>\r\nDate: Fri, 5 Apr 2024 %1:%2:00 +0900\r\n"
                                              "Subject: n%3\r\n\r\nbody %3\r\n")
                                   .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
                                   .arg(i % 60, 2, 10, QLatin1Char('0'))
                                   .arg(i)
                                   .toLatin1());
    }

    // The window reached and shown as the main menu shows it: loaded, then shown maximised.
    Form22* showWindow(bool maximized)
    {
        Module1::OpenCommonDatabase(dir->path() + QStringLiteral("/共通情報/共通情報.mdb"));
        Module1::PublishCurrentBook(book);
        auto& registry = ui::WindowRegistry::instance();
        if (maximized) {
            registry.show(QStringLiteral("Form22"));
        } else if (QWidget* w = registry.reach(QStringLiteral("Form22"))) {
            w->show();
        }
        auto* w = qobject_cast<Form22*>(registry.find(QStringLiteral("Form22")));
        if (w && !QTest::qWaitForWindowExposed(w))
            return nullptr;
        return w;
    }

private slots:
    void initTestCase()
    {
        startCase();
        ui::WindowRegistry::instance().registerFactory(QStringLiteral("Form22"), [] { return new Form22; });
    }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup()
    {
        ui::WindowRegistry::instance().unloadAll();
        QCoreApplication::processEvents();
        dropFolder();
    }

    void screenIs1600By1000()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(1600, 1000));
    }

    void lastMessageInViewWhenShown_data()
    {
        QTest::addColumn<int>("messages");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("30 messages, maximised") << 30 << true;
        QTest::newRow("200 messages, maximised") << 200 << true;
        QTest::newRow("30 messages, restored") << 30 << false;
        QTest::newRow("200 messages, restored") << 200 << false;
    }
    void lastMessageInViewWhenShown()
    {
        QFETCH(int, messages);
        QFETCH(bool, maximized);
        addMail(0, messages - 4);
        Form22* w = showWindow(maximized);
        QVERIFY(w);
        if (maximized)
            QTRY_COMPARE(w->frameGeometry().size(), QGuiApplication::primaryScreen()->availableGeometry().size());
        QListView* list = w->list3();
        QCOMPARE(w->list3Model()->rowCount(), messages);
        QCOMPARE(w->list3Index(), messages - 1);
        QCOMPARE(w->hscroll1()->value(), messages - 1);
        QTRY_VERIFY2(rowInView(list, messages - 1), qPrintable(shownRows(list)));
        // Where the list is shorter than the mail, the first row went out of view for the last.
        if (maximized || messages > 30)
            QVERIFY2(!rowInView(list, 0), qPrintable(shownRows(list)));
        QVERIFY(w->text7(3)->text().startsWith(u'n'));

        // Resized afterwards (restored, maximised again), the chosen row stays in view.
        w->showNormal();
        QTRY_VERIFY2(rowInView(list, messages - 1), qPrintable(shownRows(list)));
        w->showMaximized();
        QTRY_VERIFY2(rowInView(list, messages - 1), qPrintable(shownRows(list)));
    }

    void rowTheUserScrolledAwayFromStaysWhereHeLeftIt()
    {
        addMail(0, 96);
        Form22* w = showWindow(true);
        QVERIFY(w);
        QListView* list = w->list3();
        QTRY_VERIFY2(rowInView(list, 99), qPrintable(shownRows(list)));
        const QSize maximizedSize = w->size();
        list->verticalScrollBar()->setValue(0);
        w->showNormal();
        QTRY_VERIFY(w->size() != maximizedSize);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY2(rowInView(list, 0), qPrintable(shownRows(list)));
        QVERIFY2(!rowInView(list, 99), qPrintable(shownRows(list)));
    }

    void chosenRowInViewAfterFetch_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("arrived");
        QTest::newRow("30 messages, 170 arrive") << 30 << 170;
        QTest::newRow("200 messages, none arrive") << 200 << 0;
    }
    void chosenRowInViewAfterFetch()
    {
        QFETCH(int, before);
        QFETCH(int, arrived);
        addMail(0, before - 4);
        Form22* w = showWindow(true);
        QVERIFY(w);
        QListView* list = w->list3();
        QTRY_VERIFY2(rowInView(list, before - 1), qPrintable(shownRows(list)));
        addMail(before - 4, arrived);
        w->command2(0)->click();  // 再受信
        QCOMPARE(w->list3Model()->rowCount(), before + arrived);
        const int chosen = w->list3Index();
        QVERIFY(chosen >= 0);
        QTRY_VERIFY2(rowInView(list, chosen), qPrintable(shownRows(list)));
        QCOMPARE(w->hscroll1()->value(), chosen);
    }
};

int main(int argc, char** argv)
{
    // The offscreen platform's screen: 1600 × 1000.
    return offscreen::runOnScreen<TestForm22ChosenRow>(argc, argv, 1600, 1000);
}

#include "tst_form22chosenrow.moc"
