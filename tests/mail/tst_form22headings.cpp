// The headings of the mail window's received-mail and sender lists stand over their columns, and
// the last row selected at load is scrolled into view, on the window as it is shown.

#include "Form22Fixture.h"
#include "mail/ListHeadings.h"
#include "platform/text/Cp932.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/WindowRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <QStyle>

namespace {

// Where text `cells` half-width cells into a line of the list stands, in the window: the first
// row's text margin as the item delegate draws it, then that many spaces of the list's font.
int expectedX(QWidget* window, QListView* list, int cells)
{
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int lineStart = list->visualRect(list->model()->index(0, 0)).left() + margin;
    const int x = lineStart + QFontMetrics(list->font()).horizontalAdvance(QString(cells, u' '));
    return list->viewport()->mapTo(window, QPoint(x, 0)).x();
}

// The characters of a line before its column `cells` (counted in Shift-JIS bytes).
QString before(const QString& line, int cells)
{
    for (qsizetype i = 0; i <= line.size(); ++i)
        if (text::byteWidth(line.left(i)) >= cells)
            return line.left(i);
    return line;
}

} // namespace

class TestForm22Headings : public QObject, private fixture::MailWindowCase {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ui::installFontSubstitutions();  // as the program starts
        startCase();
    }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup()
    {
        ui::WindowRegistry::instance().unloadAll();
        dropFolder();
    }

    void headingsStandOverTheirColumns_data()
    {
        QTest::addColumn<bool>("senderList");
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("cells");
        // Date 20 characters (one full-width weekday: 21 cells), read mark 2, attachments 5,
        // sender 30 and a space, subject 50 and a space.
        QTest::newRow("received: 日時") << false << 0 << QStringLiteral("日時") << 0;
        QTest::newRow("received: 読") << false << 10 << QStringLiteral("読") << 21;
        QTest::newRow("received: 添") << false << 11 << QStringLiteral("添") << 23;
        QTest::newRow("received: 差出人") << false << 1 << QStringLiteral("差出人") << 28;
        QTest::newRow("received: 件名") << false << 2 << QStringLiteral("件名") << 59;
        QTest::newRow("received: 本文") << false << 3 << QStringLiteral("本文（プレビュー）") << 110;
        // Number 10, name 50, address 50, the dates 16 + 3 + 16, the count.
        QTest::newRow("senders: 差出人一覧") << true << 8 << QStringLiteral("差出人一覧") << 10;
        QTest::newRow("senders: メールアドレス") << true << 14 << QStringLiteral("メールアドレス") << 60;
        QTest::newRow("senders: 受信記録") << true << 15 << QStringLiteral("受信記録") << 110;
        QTest::newRow("senders: 件数") << true << 16 << QStringLiteral("件数") << 145;
    }
    void headingsStandOverTheirColumns()
    {
        QFETCH(bool, senderList);
        QFETCH(int, label);
        QFETCH(QString, caption);
        QFETCH(int, cells);
        auto w = load();
        w->resize(1000, 800);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QListView* list = senderList ? w->list5() : w->list3();
        QLabel* heading = w->label2(label);
        QCOMPARE(heading->text(), caption);
        QVERIFY(heading->isVisible());
        QCOMPARE(QFontInfo(heading->font()).family(), QFontInfo(list->font()).family());
        QCOMPARE(heading->font().pointSize(), list->font().pointSize());
        QVERIFY(list->model()->rowCount() > 1);

        const auto headingX = [&] { return heading->mapTo(w.get(), QPoint(0, 0)).x(); };
        QVERIFY2(std::abs(headingX() - expectedX(w.get(), list, cells)) <= 1,
                 qPrintable(QStringLiteral("heading at %1, column at %2").arg(headingX()).arg(expectedX(w.get(), list, cells))));

        // The cells hold in the real lines: the text before the column, full-width characters
        // and all, is as wide as that many spaces.
        const QFontMetrics fm(list->font());
        const QString line = list->model()->index(1, 0).data().toString();
        QVERIFY2(std::abs(fm.horizontalAdvance(before(line, cells)) - fm.horizontalAdvance(QString(cells, u' '))) <= 1,
                 qPrintable(line));

        // Scrolled sideways, the heading moves with its column.
        QScrollBar* bar = list->horizontalScrollBar();
        if (bar->maximum() > 0) {
            bar->setValue(bar->maximum() / 2);
            QVERIFY(std::abs(headingX() - expectedX(w.get(), list, cells)) <= 1);
        }
    }

    void subjectFilterMovesTheSubjectHeading()
    {
        auto w = load();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->text7(3)->setText(QStringLiteral("Invoice"));
        w->option4(2)->setChecked(true);
        w->Option4_Click(2);
        QCOMPARE(w->list3Model()->rowCount(), 1);
        QCOMPARE(w->receivedHeadings()->column(w->label2(2)), 58);
        QCOMPARE(w->receivedHeadings()->column(w->label2(3)), 109);
        QVERIFY(std::abs(w->label2(2)->mapTo(w.get(), QPoint(0, 0)).x() - expectedX(w.get(), w->list3(), 58)) <= 1);
        w->option4(0)->setChecked(true);
        w->Option4_Click(0);
        QCOMPARE(w->receivedHeadings()->column(w->label2(2)), 59);
    }

    void lastRowScrolledIntoViewAtLoad()
    {
        // Enough mail that the last row lies below the list's first screen.
        for (int i = 0; i < 80; ++i)
            fixture::writeMail(maildir + QStringLiteral("/cur/2%1.x.host:2,S").arg(i, 3, 10, QLatin1Char('0')),
                               QStringLiteral("From: A <a@example.jp>\r\nDate: Thu, 4 Apr 2024 10:%1:00 +0900\r\n"
                                              "Subject: n%1\r\n\r\nbody\r\n")
                                   .arg(i % 60, 2, 10, QLatin1Char('0'))
                                   .toLatin1());
        auto w = load();
        const int last = w->list3Model()->rowCount() - 1;
        QCOMPARE(last, 83);
        QCOMPARE(w->list3Index(), last);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QListView* list = w->list3();
        // Rows are wider than the list (it scrolls sideways): their height is what counts.
        const auto shown = [list](const QModelIndex& index) {
            const QRect row = list->visualRect(index);
            return row.top() >= 0 && row.bottom() <= list->viewport()->rect().bottom();
        };
        QTRY_VERIFY(shown(list->currentIndex()));
        QVERIFY(!shown(w->list3Model()->index(0, 0)));
        QVERIFY(w->text7(0)->text().startsWith(QStringLiteral("2024/04/04")));
    }
};

QTEST_MAIN(TestForm22Headings)
#include "tst_form22headings.moc"
