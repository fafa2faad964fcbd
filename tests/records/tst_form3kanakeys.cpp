// The record window's kana index by the keyboard and by assistive technology: each line of the
// index is one Tab stop with the arrow keys along it, and an entry pressed by Enter, the space
// bar or the press action jumps exactly as a click on it does.

#include "RecordsFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Form3.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QScrollBar>

using fixture::shown;

namespace {

QLabel* entry(Form3* w, int index)
{
    return qobject_cast<QLabel*>(fixture::control(w, QStringLiteral("Label1_%1").arg(index)));
}

int entryWithFocus(Form3* w)
{
    for (int i = 0; i < 15; ++i)
        if (entry(w, i)->hasFocus())
            return i;
    return -1;
}

// Presses an index entry the given way: "click", "enter", "keypad", "space" or "action".
void press(Form3* w, int index, const QString& way)
{
    QLabel* l = entry(w, index);
    if (way == QLatin1String("click")) {
        QTest::mouseClick(l, Qt::LeftButton);
    } else if (way == QLatin1String("action")) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(l);
        QVERIFY(a && a->actionInterface());
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    } else {
        l->setFocus(Qt::OtherFocusReason);
        if (way == QLatin1String("enter"))
            QTest::keyClick(l, Qt::Key_Return);
        else if (way == QLatin1String("keypad"))
            QTest::keyClick(l, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(l, Qt::Key_Space);
    }
}

} // namespace

class TestForm3KanaKeys : public QObject, private fixture::WindowCase {
    Q_OBJECT

    // Readings that the index tells apart: 1 ｱｵｷ, 2 ｲﾄｳ, 3 ﾋﾗﾀ, 4 ﾏﾂﾓﾄ; then readings in
    // full-width katakana and hiragana, an empty one, and the rest without a reading.
    std::unique_ptr<Form3> shownInReadingOrder(const QString& order = QStringLiteral("3"))
    {
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = NULL"));
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = CASE \"会員NO\" WHEN 1 THEN 'ｱｵｷ' WHEN 2 THEN 'ｲﾄｳ' "
                                           "WHEN 3 THEN 'ﾋﾗﾀ' WHEN 4 THEN 'ﾏﾂﾓﾄ' WHEN 5 THEN 'タナカ' WHEN 6 THEN 'あおき' "
                                           "WHEN 7 THEN '' END WHERE \"会員NO\" <= 7"));
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {order});
        auto w = load(book);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the record window did not become active");
        return w;
    }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup() { dropFolder(); }

    void pressedByKeysAsByTheMouse_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("order");  // the display order the book is shown in
        QTest::addColumn<QList<int>>("entries");  // pressed one after the other
        QTest::addColumn<int>("memberNo");  // the record shown after; 0: none moved, the message
        for (const char* way : {"click", "enter", "keypad", "space", "action"}) {
            const QString w = QString::fromLatin1(way);
            QTest::newRow(qPrintable(w + QStringLiteral(": column ｲ before any row"))) << w << "3" << QList<int>{11} << 2;
            QTest::newRow(qPrintable(w + QStringLiteral(": row ﾊ then column ｲ is ﾋ"))) << w << "3" << QList<int>{5, 11} << 3;
            QTest::newRow(qPrintable(w + QStringLiteral(": row ﾏ"))) << w << "3" << QList<int>{6} << 4;
            QTest::newRow(qPrintable(w + QStringLiteral(": beyond every reading, the last record"))) << w << "3" << QList<int>{9} << 4;
            QTest::newRow(qPrintable(w + QStringLiteral(": not in reading order, the message"))) << w << "1" << QList<int>{5} << 0;
        }
    }
    void pressedByKeysAsByTheMouse()
    {
        QFETCH(QString, way);
        QFETCH(QString, order);
        QFETCH(QList<int>, entries);
        QFETCH(int, memberNo);
        auto w = shownInReadingOrder(order);
        w->hScroll1()->setValue(2);
        const QString before = shown(w.get(), QStringLiteral("Text1_0"));
        for (int i : entries)
            press(w.get(), i, way);
        if (memberNo == 0) {
            QCOMPARE(dialogs->shown().size(), 1);
            QCOMPARE(dialogs->shown().first().text, QStringLiteral("表示順番が「ふりがな」のみ有効です"));
            QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), before);
            QCOMPARE(w->hScroll1()->value(), 2);
            dialogs->clearRecord();
            return;
        }
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("%1").arg(memberNo, 8, 10, QLatin1Char('0')));
        // The list, the scroll bar and the cursor went with it.
        QCOMPARE(w->hScroll1()->value(), w->cursor().position());
        auto* list = w->findChild<QAbstractItemView*>(QStringLiteral("List1"));
        QCOMPARE(list->currentIndex().row(), w->cursor().position());
    }

    // Tab reaches each line of the index once; the arrows, Home and End move along the line and
    // stop at its ends; the line keeps its place for the next Tab; the entry with the focus shows
    // it by a frame.
    void eachLineIsOneTabStop()
    {
        auto w = shownInReadingOrder();
        QLabel* first = entry(w.get(), 0);
        first->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(entryWithFocus(w.get()), 0);
        QCOMPARE(first->frameShape(), QFrame::Box);

        const struct {
            Qt::Key key;
            int lands;
        } moves[] = {{Qt::Key_Left, 0}, {Qt::Key_Right, 1}, {Qt::Key_End, 9}, {Qt::Key_Right, 9},
                     {Qt::Key_Home, 0}, {Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 3},
                     {Qt::Key_Right, 4}, {Qt::Key_Right, 5}};
        for (const auto& m : moves) {
            QTest::keyClick(QApplication::focusWidget(), m.key);
            QCOMPARE(entryWithFocus(w.get()), m.lands);
        }
        QCOMPARE(first->frameShape(), QFrame::NoFrame);  // only the entry with the focus is framed
        QCOMPARE(entry(w.get(), 5)->frameShape(), QFrame::Box);
        QTest::keyClick(entry(w.get(), 5), Qt::Key_Return);  // "ﾊ": no reading of it, so "ﾋﾗﾀ"
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000003"));

        // One Tab passes the rest of the rows: on to the columns, then out of the index.
        QTest::keyClick(entry(w.get(), 5), Qt::Key_Tab);
        QCOMPARE(entryWithFocus(w.get()), 10);
        QTest::keyClick(entry(w.get(), 10), Qt::Key_Right);
        QCOMPARE(entryWithFocus(w.get()), 11);
        QTest::keyClick(entry(w.get(), 11), Qt::Key_Right);
        QTest::keyClick(entry(w.get(), 12), Qt::Key_Space);  // "ｳ" of the row "ﾊ": "ﾌ", none before "ﾏﾂﾓﾄ"
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000004"));
        QTest::keyClick(entry(w.get(), 12), Qt::Key_Tab);
        QCOMPARE(entryWithFocus(w.get()), -1);
        QCOMPARE(entry(w.get(), 12)->frameShape(), QFrame::NoFrame);

        // Back by Shift+Tab: each line where it was left, then out before the index.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(entryWithFocus(w.get()), 12);
        QTest::keyClick(entry(w.get(), 12), Qt::Key_Backtab);
        QCOMPARE(entryWithFocus(w.get()), 5);
        QTest::keyClick(entry(w.get(), 5), Qt::Key_Backtab);
        QCOMPARE(entryWithFocus(w.get()), -1);
        QVERIFY(dialogs->shown().isEmpty());
    }

    // Read by its kana as a button, with the press action; a click leaves the focus where it was.
    void entriesAreButtonsNamedByTheirKana()
    {
        auto w = shownInReadingOrder();
        const QString kana = QStringLiteral("ｱｶｻﾀﾅﾊﾏﾔﾗﾜｱｲｳｴｵ");
        for (int i = 0; i < 15; ++i) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(entry(w.get(), i));
            QVERIFY(a);
            QCOMPARE(a->text(QAccessible::Name), kana.mid(i, 1));
            QCOMPARE(a->text(QAccessible::Description), QStringLiteral("Label1(%1)").arg(i));
            QCOMPARE(a->role(), QAccessible::Button);
            QVERIFY(a->actionInterface());
            QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        }
        QWidget* box = fixture::control(w.get(), QStringLiteral("Text1_2"));
        box->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(box->hasFocus());
        QTest::mouseClick(entry(w.get(), 6), Qt::LeftButton);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000004"));
        QVERIFY(box->hasFocus());
    }
};

QTEST_MAIN(TestForm3KanaKeys)
#include "tst_form3kanakeys.moc"
