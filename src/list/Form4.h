#pragma once
// The list window: the records of an address book twenty at a time on a fixed grid, two screen
// lines per record, in one of six orders, with paging and the commands on the focused row.
//
// The window keeps to the book it was loaded with: its own database handle, settings row and
// database-file record, whatever book the main menu opens later. Its records are a snapshot
// taken at each order change; the scroll bar's value is the position of the first shown record.

#include "list/ListCells.h"
#include "platform/db/Database.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"

#include <array>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

class Form4 : public ui::Window {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);
    ~Form4() override;

    void formLoad() override;

    void Option2_Click(int index);
    void HScroll1_Change();
    // Moves to the position in HScroll1's value and shows the page; the record window calls it
    // after setting the value.
    void Form4_HScroll1_Change();
    // 0-3 paging, 4 "明細表示", 5 "WEB表示", 6 "写真", 7 "WEB区分" (information manager only), 9 "終了".
    void Command1_Click(int index);
    // The pictures of the record whose number a number cell shows ("00000123").
    void ShowRecordImages(const QString& recordNumber);
    void ShowPage();
    void ApplyListHeadings();
    void SetCaption(const QString& title);

    // State, for the other windows and for tests.
    int focusedRow() const { return FocusedRow; }
    int displayOrder() const { return DisplayOrder; }
    qint64 lastScrollValue() const { return LastScrollValue; }
    // The scroll bar's maximum as the window counts it: the record count less one (-1 when empty).
    qint64 scrollMaximum() const { return ScrollMax; }
    const Module1::DbFile& windowDbFile() const { return WindowDbFile; }
    const db::Recordset& personRs() const { return PersonRs; }
    QScrollBar* hScroll1() const { return HScroll1; }
    // True while the snapshot of the records is still being copied from the event loop.
    bool copyingRecords() const;
    QLineEdit* cell(int column, int row) const { return Cells[size_t(column - 1)][size_t(row)]; }
    QLabel* heading(int index) const { return Label1[size_t(index)]; }
    QLabel* label4() const { return Label4; }
    QPushButton* command1(int index) const { return Command1[size_t(index)]; }
    QRadioButton* option2(int index) const { return Option2[size_t(index)]; }
    // The menu of a row's commands, opened from a cell of the row by the Menu key, Shift+F10 or
    // a right click.
    QMenu* rowMenu() const { return RowMenu; }
    // Opens it for the row (0 .. 19) at the global place; by keys its first item is chosen.
    void ShowRowMenu(int row, const QPoint& at, bool byKeys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Up and Down move along a cell's column within the page, Page Up and Page Down page as
    // "前画面" and "次画面" do. True when the key was the grid's.
    bool CellKey(QObject* watched, const QKeyEvent* key);
    // The column (0 .. 23) and row of a cell; false for anything else.
    bool CellPlace(const QObject* watched, int* column, int* row) const;
    void BuildRowMenu();
    // The record of a row: its position, or -1 when the row lies beyond the last record.
    qint64 RowPosition(int row) const;
    void BuildTopBar();
    void BuildGrid();
    // The scroll value a paging command asks for; the page moves only when it changes.
    void SetScrollValue(qint64 value);
    bool HasCurrentRecord() const;
    // The focused row's record: its position, or -1 when the row lies beyond the last record.
    qint64 FocusedPosition() const;
    void ShowRecordOfFocusedRow();
    void OpenCategoryWebPages();
    // Stores the order's number in the window's own settings row; a refusal is reported once
    // a load.
    void StoreDisplayOrder(int order);
    // Copies the rest of the records' snapshot from the event loop.
    void CopyRecordsLater();
    void SyncAccessibleNames(const std::array<QString, listwin::HeadingCount>& headings);

    // Controls, by their system names. Indexes without a control hold nullptr.
    std::array<QPushButton*, 10> Command1{};
    std::array<QRadioButton*, 6> Option2{};
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    std::array<QLabel*, listwin::HeadingCount> Label1{};
    // Text1 .. Text24, rows 0 .. 19.
    std::array<std::array<QLineEdit*, listwin::PageRows>, listwin::CellColumns> Cells{};
    QMenu* RowMenu = nullptr;
    int RowMenuRow = 0;  // the row the open menu acts on

    // Form-level state.
    Module1::DbFile WindowDbFile;
    db::Database WindowDb;
    db::Recordset WindowSettingsRs;
    db::Recordset PersonRs;
    db::Recordset CaptionRs;
    qint64 LastScrollValue = 0;
    qint64 ScrollMax = -1;
    int DisplayOrder = 9;
    int FocusedRow = 0;
    bool StoreRefusalReported = false;
    QTimer* CopyTimer = nullptr;
    int CopyStepRows = 0;  // rows the next step of the copy takes
    // What the page shows of each row's record: its number and name, for "写真".
    std::array<QVariant, listwin::PageRows> RowNames{};
    std::array<QString, listwin::HeadingCount> ShownHeadings{};
};
