// The list window's grid by the keyboard: Up and Down move along a cell's column within the
// page, Page Up and Page Down page as "前画面" and "次画面" do, at the first and the last page too.

#include "DemoFolder.h"
#include "editions/Windows.h"
#include "list/Form4.h"
#include "list/ListCells.h"
#include "platform/db/Database.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/Module1.h"

#include <QApplication>
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

} // namespace

class TestForm4Keys : public QObject {
    Q_OBJECT

    ui::ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::ScopedDialogs> scope;
    std::unique_ptr<QTemporaryDir> dir;
    QString book57, book15;

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
        dialogs = new ui::ScriptedDialogs(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs);
        dir = std::make_unique<QTemporaryDir>();
        book57 = makeBook(57, QStringLiteral("五十七件"));
        book15 = makeBook(15, QStringLiteral("十五件"));
        Module1::OpenCommonDatabase(dir->filePath(QStringLiteral("共通情報/共通情報.mdb")));
    }

    void cleanup()
    {
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
};

QTEST_MAIN(TestForm4Keys)
#include "tst_form4keys.moc"
