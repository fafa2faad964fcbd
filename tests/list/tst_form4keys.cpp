// The list window's grid by the keyboard: Up and Down move along a cell's column within the
// page, Page Up and Page Down page as "前画面" and "次画面" do, at the first and the last page too;
// the Menu key, Shift+F10 and a right click open the menu of the row's commands, which act on
// that row as its buttons do.

#include "DemoFolder.h"
#include "editions/Windows.h"
#include "list/Form4.h"
#include "list/ListCells.h"
#include "platform/db/Database.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "shell/Module1.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

ui::WindowRegistry& registry() { return ui::WindowRegistry::instance(); }

// The cell with the focus as (column, row), column counted from 1 as Text1 .. Text24.
QPair<int, int> focusedCell(Form4* w)
{
    for (int k = 1; k <= listwin::CellColumns; ++k)
        for (int r = 0; r < listwin::PageRows; ++r)
            if (w->cell(k, r)->hasFocus())
                return {k, r};
    return {-1, -1};
}

// The image viewer: the title its load is handed.
QStringList viewerTitles;
class StandInViewer : public ui::Window {
public:
    void formLoad() override { viewerTitles << Module1::ViewerTitle; }
};

// Asks for the row menu in the cell: by the key "Menu" or "Shift+F10"; as the desktop asks for a
// menu when its Menu key is pressed ("menu request"); or by a right click, which the desktop sends
// as the press and then a menu request from the mouse.
void openRowMenu(QLineEdit* cell, const QString& way)
{
    const QPoint at(4, cell->height() / 2);
    if (way == QLatin1String("Menu")) {
        QTest::keyClick(cell, Qt::Key_Menu);
    } else if (way == QLatin1String("Shift+F10")) {
        QTest::keyClick(cell, Qt::Key_F10, Qt::ShiftModifier);
    } else if (way == QLatin1String("menu request")) {
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, cell->mapToGlobal(at));
        QCoreApplication::sendEvent(cell, &request);
    } else {
        QTest::mousePress(cell, Qt::RightButton, Qt::NoModifier, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, cell->mapToGlobal(at));
        QCoreApplication::sendEvent(cell, &request);
    }
}

// The menu's items as "caption" or "caption (off)".
QStringList itemsOf(QMenu* menu)
{
    QStringList items;
    for (const QAction* a : menu->actions())
        items << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
    return items;
}

} // namespace

class TestForm4Keys : public QObject {
    Q_OBJECT

    ui::ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::ScopedDialogs> scope;
    std::unique_ptr<QTemporaryDir> dir;
    QString book57, book15;
    desktop::RecordingOpener* opener = nullptr;
    std::unique_ptr<desktop::ScopedOpener> openerScope;

    // The list window on a book, active, with the focus in the cell the user works from.
    Form4* showList(const QString& book)
    {
        Module1::PublishCurrentBook(book);
        registry().show(QStringLiteral("Form4"));
        auto* w = dynamic_cast<Form4*>(registry().find(QStringLiteral("Form4")));
        if (!w)
            return nullptr;
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            return nullptr;
        return w;
    }

    // From the first cell of a column, by keys: Page Down to the second page when asked, then
    // Down to the row. The cell reached.
    static QLineEdit* walkTo(Form4* w, int column, int row, bool secondPage)
    {
        QLineEdit* cell = w->cell(column, 0);
        cell->setFocus(Qt::TabFocusReason);
        if (!cell->hasFocus())
            return nullptr;
        if (secondPage)
            QTest::keyClick(cell, Qt::Key_PageDown);
        for (int r = 0; r < row; ++r)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        return w->cell(column, row)->hasFocus() ? w->cell(column, row) : nullptr;
    }

    QString makeBook(int records, const QString& name)
    {
        QString error;
        if (!demo::makeGeneratedBook(dir->path(), records, name, &error))
            qFatal("%s", qPrintable(error));
        return dir->filePath(name + QStringLiteral(".mdb"));
    }

private slots:
    void initTestCase()
    {
        editions::RegisterKartoviaWindows();
        registry().registerFactory(QStringLiteral("Form14"), [] { return new StandInViewer; });
        dialogs = new ui::ScriptedDialogs(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs);
        dir = std::make_unique<QTemporaryDir>();
        book57 = makeBook(57, QStringLiteral("五十七件"));
        book15 = makeBook(15, QStringLiteral("十五件"));
        Module1::OpenCommonDatabase(dir->filePath(QStringLiteral("共通情報/共通情報.mdb")));
    }

    void init()
    {
        opener = new desktop::RecordingOpener;
        openerScope = std::make_unique<desktop::ScopedOpener>(opener);
        viewerTitles.clear();
    }

    void cleanup()
    {
        openerScope.reset();
        delete opener;
        opener = nullptr;
        registry().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(QLatin1Char('\n'))));
        Module1::BookSettingsRs = db::Recordset();
        Module1::CurrentDb = db::Database();
    }

    void cleanupTestCase()
    {
        Module1::EraRs = db::Recordset();
        Module1::CommonSettingsRs = db::Recordset();
        Module1::CommonDb = db::Database();
        scope.reset();
        delete dialogs;
        dir.reset();
    }

    void gridKeys_data()
    {
        QTest::addColumn<QString>("book");  // "57" or "15"
        QTest::addColumn<int>("start");  // the page's first position
        QTest::addColumn<int>("column");  // Text1 .. Text24
        QTest::addColumn<int>("row");  // the cell the key is pressed in
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value");  // the page's first position after
        QTest::addColumn<int>("landsRow");  // the row of the same column that has the focus after
        QTest::newRow("Up in a middle row") << "57" << 0 << 6 << 7 << int(Qt::Key_Up) << 0 << 6;
        QTest::newRow("Down in a middle row") << "57" << 0 << 13 << 7 << int(Qt::Key_Down) << 0 << 8;
        QTest::newRow("Down from the number cell") << "57" << 20 << 1 << 0 << int(Qt::Key_Down) << 20 << 1;
        QTest::newRow("Up in the top row stays") << "57" << 20 << 6 << 0 << int(Qt::Key_Up) << 20 << 0;
        QTest::newRow("Down in the bottom row stays") << "57" << 20 << 24 << 19 << int(Qt::Key_Down) << 20 << 19;
        QTest::newRow("Down below the last record, within the page") << "57" << 40 << 6 << 16 << int(Qt::Key_Down) << 40 << 17;
        QTest::newRow("keypad Down") << "57" << 0 << 6 << 3 << int(Qt::Key_Down) << 0 << 4;
        QTest::newRow("Page Down on the first page") << "57" << 0 << 6 << 5 << int(Qt::Key_PageDown) << 20 << 0;
        QTest::newRow("Page Down to the last page") << "57" << 20 << 9 << 19 << int(Qt::Key_PageDown) << 40 << 0;
        QTest::newRow("Page Down on the last page") << "57" << 40 << 6 << 5 << int(Qt::Key_PageDown) << 40 << 0;
        QTest::newRow("Page Down with one page of records") << "15" << 0 << 6 << 5 << int(Qt::Key_PageDown) << 0 << 0;
        QTest::newRow("Page Up from the last page") << "57" << 40 << 6 << 5 << int(Qt::Key_PageUp) << 20 << 0;
        QTest::newRow("Page Up less than a page from the start") << "57" << 10 << 13 << 5 << int(Qt::Key_PageUp) << 0 << 0;
        QTest::newRow("Page Up on the first page") << "57" << 0 << 6 << 5 << int(Qt::Key_PageUp) << 0 << 0;
    }
    void gridKeys()
    {
        QFETCH(QString, book);
        QFETCH(int, start);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(int, value);
        QFETCH(int, landsRow);
        Module1::PublishCurrentBook(book == QLatin1String("57") ? book57 : book15);
        registry().show(QStringLiteral("Form4"));
        auto* w = dynamic_cast<Form4*>(registry().find(QStringLiteral("Form4")));
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->hScroll1()->setValue(start);
        QLineEdit* cell = w->cell(column, row);
        cell->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(cell->hasFocus());
        QCOMPARE(w->focusedRow(), row);

        const bool keypad = QString::fromUtf8(QTest::currentDataTag()).startsWith(QLatin1String("keypad"));
        QTest::keyClick(cell, Qt::Key(key), keypad ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(w->hScroll1()->value(), value);
        QCOMPARE(w->label4()->text(), QStringLiteral("%1/%2").arg(value + 1).arg(book));
        QCOMPARE(w->cell(1, 0)->text(), QStringLiteral("%1").arg(value + 1, 8, 10, QLatin1Char('0')));
        // The focus stays in its column, on the row the commands act on.
        QCOMPARE(focusedCell(w), qMakePair(column, landsRow));
        QCOMPARE(w->focusedRow(), landsRow);
        QCOMPARE(cell->text(), w->cell(column, row)->text());  // nothing typed into the page
    }

    // Other keys are the cell's own: Left and Right move in its text, Ctrl+Down is no move.
    void otherKeysStayInTheCell()
    {
        Module1::PublishCurrentBook(book57);
        registry().show(QStringLiteral("Form4"));
        auto* w = dynamic_cast<Form4*>(registry().find(QStringLiteral("Form4")));
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QLineEdit* cell = w->cell(6, 4);
        cell->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(cell->hasFocus());
        cell->setCursorPosition(0);
        QTest::keyClick(cell, Qt::Key_Right);
        QCOMPARE(cell->cursorPosition(), 1);
        QTest::keyClick(cell, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(cell, Qt::Key_PageDown, Qt::ShiftModifier);
        QVERIFY(cell->hasFocus());
        QCOMPARE(w->hScroll1()->value(), 0);
    }

    // ---- the row menu ----

    void rowMenuShowsThatRowsRecord_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("column");  // the cell the menu is opened from
        QTest::addColumn<int>("row");     // 0 .. 19
        QTest::addColumn<bool>("secondPage");
        for (const char* way : {"Menu", "Shift+F10"}) {
            QTest::addRow("%s, row 1, number cell", way) << way << 1 << 0 << false;
            QTest::addRow("%s, row 5, name cell", way) << way << 6 << 4 << false;
            QTest::addRow("%s, row 20, URL cell", way) << way << 24 << 19 << false;
            QTest::addRow("%s, row 5 of the second page, state cell", way) << way << 23 << 4 << true;
        }
        QTest::addRow("menu request, row 20, number cell") << "menu request" << 1 << 19 << false;
        QTest::addRow("right click, row 5, name cell") << "right click" << 6 << 4 << false;
    }
    void rowMenuShowsThatRowsRecord()
    {
        QFETCH(QString, way);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(bool, secondPage);
        Form4* w = showList(book57);
        QVERIFY(w);
        QLineEdit* cell = walkTo(w, column, row, secondPage);
        QVERIFY2(cell, "the cell was not reached by keys");
        const int number = (secondPage ? 20 : 0) + row + 1;

        openRowMenu(cell, way);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY2(menu && menu == w->rowMenu(), "no row menu");
        const db::Database book = db::Database::open(book57, db::OpenMode::ReadOnly);
        const auto field = [&](const char* f) {
            return book.scalar(QStringLiteral("SELECT \"%1\" FROM \"個人台帳\" WHERE \"会員NO\" = ?").arg(QString::fromUtf8(f)), {number})
                .toString();
        };
        // "WEB表示" as its button: only for a record with an address.
        const QString web = field("WebHome").isEmpty() ? QStringLiteral("WEB表示 (off)") : QStringLiteral("WEB表示");
        QCOMPARE(itemsOf(menu), (QStringList{QStringLiteral("明細表示"), web, QStringLiteral("写真")}));
        // Read by the record it acts on; its items by the buttons' captions.
        const QString name = field("氏名");
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(menu);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("%1 %2").arg(number, 8, 10, QLatin1Char('0')).arg(name));
        QStringList itemNames;
        for (int i = 0; i < a->childCount(); ++i)
            itemNames << a->child(i)->text(QAccessible::Name);
        QCOMPARE(itemNames, (QStringList{QStringLiteral("明細表示"), QStringLiteral("WEB表示"), QStringLiteral("写真")}));

        // Opened by keys, "明細表示" is chosen and Enter runs it; by the mouse, Down chooses it.
        if (way == QLatin1String("right click"))
            QTest::keyClick(menu, Qt::Key_Down);
        QVERIFY(menu->activeAction());
        QCOMPARE(menu->activeAction()->text(), QStringLiteral("明細表示"));
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY(!menu->isVisible());
        auto* records = dynamic_cast<Form3*>(registry().find(QStringLiteral("Form3")));
        QVERIFY2(records && records->isVisible(), "the record window did not open");
        QCOMPARE(records->cursor().record().value(QStringLiteral("会員NO")).toLongLong(), qint64(number));
        QCOMPARE(dialogs->beeps(), 0);
    }

    // Each item does for the menu's row what its button does for the row clicked into; the
    // buttons are unchanged for the mouse. A row without a record offers nothing.
    void rowMenuItemsDoWhatTheirButtonsDo_data()
    {
        QTest::addColumn<int>("button");  // Command1's index
        QTest::addColumn<int>("row");
        QTest::newRow("明細表示") << 4 << 7;
        QTest::newRow("WEB表示") << 5 << 4;
        QTest::newRow("写真") << 6 << 2;
    }
    void rowMenuItemsDoWhatTheirButtonsDo()
    {
        QFETCH(int, button);
        QFETCH(int, row);
        db::Database::open(book15).execute(QStringLiteral(
            "UPDATE \"個人台帳\" SET \"WebHome\" = CASE WHEN \"会員NO\" = 5 THEN 'https://example.org/five' ELSE NULL END"));
        const QString pictures = dir->filePath(QStringLiteral("十五件/3"));
        QVERIFY(QDir().mkpath(pictures));
        QFile picture(pictures + QStringLiteral("/a.png"));
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.close();

        // What a command did: the record window's record, the addresses and the viewer's titles.
        const auto effect = [&] {
            QStringList e = opener->requestedUrls + viewerTitles;
            if (auto* records = dynamic_cast<Form3*>(registry().find(QStringLiteral("Form3"))))
                e << records->cursor().record().text(QStringLiteral("会員NO"));
            return e;
        };
        const auto reset = [&] {
            registry().unloadAll();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            opener->requestedUrls.clear();
            viewerTitles.clear();
        };

        // By the button, after a click into a cell of the row (the first row has the focus).
        Form4* w = showList(book15);
        QVERIFY(w);
        QTest::mouseClick(w->cell(6, row), Qt::LeftButton);
        QCOMPARE(w->focusedRow(), row);
        QTest::mouseClick(w->command1(button), Qt::LeftButton);
        const QStringList byButton = effect();
        QVERIFY2(!byButton.isEmpty(), "the button did nothing");
        reset();

        // By the menu from a cell of the row, reached by keys.
        w = showList(book15);
        QVERIFY(w);
        QLineEdit* cell = walkTo(w, 6, row, false);
        QVERIFY(cell);
        openRowMenu(cell, QStringLiteral("Menu"));
        QMenu* menu = w->rowMenu();
        QVERIFY(menu->isVisible());
        while (menu->activeAction() && menu->activeAction()->text() != w->command1(button)->text()) {
            const QAction* was = menu->activeAction();
            QTest::keyClick(menu, Qt::Key_Down);
            QVERIFY2(menu->activeAction() != was, "the item cannot be chosen");
        }
        QVERIFY(menu->activeAction());
        QTest::keyClick(menu, Qt::Key_Return);
        QCOMPARE(effect(), byButton);
        QCOMPARE(dialogs->beeps(), 0);

        // A row beyond the last record: every item is off, and Enter runs none.
        reset();
        w = showList(book15);
        QVERIFY(w);
        cell = walkTo(w, 6, 17, false);
        QVERIFY(cell);
        openRowMenu(cell, QStringLiteral("Shift+F10"));
        menu = w->rowMenu();
        QVERIFY(menu->isVisible());
        QCOMPARE(itemsOf(menu), (QStringList{QStringLiteral("明細表示 (off)"), QStringLiteral("WEB表示 (off)"), QStringLiteral("写真 (off)")}));
        QCOMPARE(QAccessible::queryAccessibleInterface(menu)->text(QAccessible::Name), QStringLiteral("18行目"));
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        QTest::keyClick(menu, Qt::Key_Escape);
        QVERIFY(effect().isEmpty());
    }
};

QTEST_MAIN(TestForm4Keys)
#include "tst_form4keys.moc"
