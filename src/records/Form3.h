#pragma once
// The record window: one personal record at a time, every field in its own control, the record
// list below and a column of commands.
//
// The window writes only to the address book it loaded: it keeps its own database handle,
// settings recordset and database-file record from its load on. Its position is its cursor; the
// scroll bar, the record list and the position label mirror the cursor, and everything that
// reads or writes "the current record" goes through it.

#include "platform/db/Database.h"
#include "platform/ui/WindowRegistry.h"
#include "records/RecordCursor.h"
#include "records/ScaledPicture.h"
#include "records/ValueTotals.h"
#include "shell/DbFile.h"

#include <QHash>
#include <QStringList>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace ui {
class FocusCommit;
}

namespace records {
class LockableComboBox;
class RecordListModel;
class RecordListView;
}

class Form3 : public ui::Window {
    Q_OBJECT
public:
    // RecordMode
    enum Mode { Browse = 0, Edit = 1, Search = 2, Adding = 3 };

    explicit Form3(QWidget* parent = nullptr);
    ~Form3() override;

    void formLoad() override;

    // Frame, modes and commands.
    void Command9_Click(int index);
    void ToggleEditMode();
    void EnableCommandButtons();
    void LockEntryFields();
    void UnlockEntryFields();
    void SetCaption(const QString& title);
    void OpenRecordsetByDisplayOrder();

    // Display.
    void ShowRecord();
    void ClearRecordControls();
    // The record's first picture, else the common default picture; Image1 keeps what it shows
    // when there is neither.
    void ShowRecordPicture();

    // Captions.
    void ApplyFieldCaptions();
    void ApplyListHeadings();

    // Moves: the scroll bar's change. Also run when another window sets the scroll bar.
    void HScroll1_Change();
    // Runs the lost-focus handler of the box that last got the focus in edit mode, so that what
    // it shows is stored into the record on the screen before a move or a close.
    void CommitFocusedField();

    // Field handlers.
    void Text1_GotFocus(int index);
    void Text1_LostFocus(int index);
    void Text2_GotFocus(int index);
    void Text2_LostFocus(int index);
    void Combo1_GotFocus();
    void Combo2_GotFocus();
    void Combo3_GotFocus();
    void Combo4_GotFocus();
    void Combo5_GotFocus(int index);
    void Combo1_LostFocus();
    void Combo2_LostFocus();
    void Combo3_LostFocus();
    void Combo4_LostFocus();
    void Combo5_LostFocus(int index);
    void Check1_Click();
    void Option18_Click(int index);
    void Option1_Click(int index);
    // Checks and stores the era date typed into box 3, 24 or 29 with the era of its era box:
    // false when the text is empty or no date of that era (then nothing is stored); true when
    // stored, and for any other index.
    bool SaveEraDateField(int index, const QString& text);
    // Adds the text of Combo5(0) (code 25) or Combo5(1) (code 26) to that box's list when the
    // list lacks it; any other code does nothing.
    void AddPlaceToComboList(int code);

    // Lookup lists, record list, navigation and display order.
    void FillLookupCombos();
    // The place lists are read from the records when they are first wanted (the list of a place
    // box is opened or the box gets the focus), not at every load: on a large book that read
    // would be most of the load.
    void EnsurePlaceLists();
    void FillRecordList();
    void RefreshRecordList();
    void List1_Click();
    void Option2_Click(int index);
    void Label1_Click(int index);

    // Search, adding and deleting, other books, CSV.
    void EnterSearchMode();
    void ExecuteSearch(int keyField);
    // Enter in a search box: "検索実行" with that box as the key box.
    void SearchBox_Enter(int keyField);
    // The user changed the text of a search box (typing, pasting, a choice from its list): that
    // box holds the key.
    void SearchBox_Typed(int keyField);
    void AddRecord();
    void DeleteRecord();
    void OpenDatabaseFile();
    void ExportCsv();
    void ImportCsv();

    // Pictures and links.
    void Image1_Click();
    void Command2_Click();
    void Command3_Click();
    // Another window's hand-over of one record: the book it lies in and its "会員NO". The window
    // moves to it only when it shows that book and holds that number; otherwise a beep, and it
    // stays as it is. True when it stands on that record.
    bool ShowMember(const QString& bookPath, const QVariant& memberNo);
    void Command5_Click(int index);
    void Command6_Click(int index);
    // A new mail to the address(es) of box Text1(boxIndex) (9 or 15) in the user's mail program.
    void ComposeMailTo(int boxIndex);

    // State, for the other windows and for tests.
    int recordMode() const { return RecordMode; }
    int displayOrder() const { return DisplayOrder; }
    bool filling() const { return Filling; }
    int searchField() const { return SearchField; }
    records::RecordCursor& cursor() { return Cursor; }
    const Module1::DbFile& windowDbFile() const { return WindowDbFile; }
    const db::Database& windowDb() const { return WindowDb; }
    const db::Recordset& categoryRs() const { return CategoryRs; }
    const db::Recordset& captionRs() const { return CaptionRs; }
    // The picture file Image1 shows; "" while it shows its own.
    const QString& shownPicture() const { return ShownPicture; }
    // Pictures read and scaled for Image1 so far: a move to the same picture reads none.
    int pictureReads() const { return ShownPixmap.reads(); }
    QScrollBar* hScroll1() const { return HScroll1; }
    // The boxes of the entry fields, in the order they are locked and unlocked.
    QList<QWidget*> entryFields() const;


protected:
    // Where the address-book edition's record window differs; each default is this window's own.
    // The category of a record added by "登録".
    virtual QVariant NewRecordCategory();
    // The question "削除" asks before it deletes the record on the screen.
    virtual QString DeleteQuestion() const;
    // Leaving the 会員NO box with text in edit mode.
    virtual void ChangeMemberNo(QWidget* box, const QString& text);
    // What the birth-date box shows once a typed date was stored; eraDate is the era-relative date.
    virtual QString StoredBirthDateText(const QDate& date, const QString& eraDate) const;
    // The total and average fields the value captions call for.
    virtual records::ComputedValues ComputeValueFields(const QStringList& captions,
                                                       const records::ValueFields& values) const;

    // For those variants.
    db::Recordset& CurrentRecord() { return Cursor.record(); }
    // A refused box: a beep, the message unless it is "", InputValid false; the box keeps its
    // text and gets the focus back.
    void RefuseInput(QWidget* box, const QString& message);
    // The box's text was taken: a later commit of it is no repeat of a refusal.
    void AcceptInput(QWidget* box);
    // One edit, assignment and update of the record on the screen, skipped when the field holds
    // the value already; an engine error is reported and gives false.
    bool StoreField(const QString& field, const QVariant& value);

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildRecordFields();
    void BuildValueFields();
    void BuildFrames();
    void BuildCommands();
    void BuildListArea();
    void PlaceListArea();
    void FitListColumn();
    void ConnectHandlers();

    void MirrorPosition(int position, int count);
    void ShowFields(db::Recordset& rs);
    void WriteBackAge(db::Recordset& rs, const QDate& birth, const QDate& today);
    bool IsBookEmpty() const { return Cursor.isEmpty(); }
    QString BookTitle() const;
    QVariant CaptionValue(const QString& field) const;
    void SyncAccessibleNames();
    // The watcher of the box that has the focus now; nullptr when no box has it.
    ui::FocusCommit* FocusedBoxCommit() const;
    void CloseRecords();
    // Record list, moves, reopening the records, other books.
    // Stores the box being edited into the record on the screen before the records move or are
    // reopened; false when the box refused its text, and then nothing moves.
    bool CommitBeforeLeaving();
    // After a move in edit mode: the got-focus handler of the box that last had the focus.
    void ReselectFocusedField();
    // Moves to a line of the record list through the scroll bar.
    void MoveToLine(int line);
    // Turns on the display-order button of the order in force.
    void ShowOrderInForce();
    void ReportRefusedStore(const db::Error& e);
    // Shows the records just reopened: the record, the list and the picture.
    void ShowReopenedRecords();
    // With no record left there is nothing to edit: back to browse mode.
    void LeaveEditModeWhenEmpty();
    // Makes the chosen book the window's own, with its settings, captions and lists; an error
    // reaches the caller with the window still on its book.
    void SwitchBook(Module1::DbFile chosen);
    // Editing the fields, lookup lists, value fields, search.
    void ShowStoredEraDate(int index);
    void ShowStoredBirthDateBox();
    void RecomputeValueFields();
    void SetFocusBox(QWidget* box, int field, bool inTextBox, bool inCombo);
    // The box a search key is read from: Text1(keyField), Combo5(0) and Combo5(1) for 25 and 26.
    QWidget* SearchKeyBox(int keyField) const;
    // Whether a search box that gets the focus now becomes the key box.
    bool TakesSearchKeyByFocus() const;
    void ColourSearchBoxes(bool searching);
    void LeaveSearchMode();
    // Runs one step; an engine error is reported and the window goes on.
    template <class F>
    void Guarded(F&& step);

    // Controls, by their system names. Indexes without a control hold nullptr.
    std::array<QWidget*, 31> Text1{};
    std::array<QLineEdit*, 10> Text2{};
    records::LockableComboBox* Combo1 = nullptr;  // era of "生年月日"
    records::LockableComboBox* Combo2 = nullptr;  // category
    records::LockableComboBox* Combo3 = nullptr;  // era of "登録日"
    records::LockableComboBox* Combo4 = nullptr;  // era of "退会日"
    std::array<records::LockableComboBox*, 2> Combo5{};  // prefecture, city
    std::array<QRadioButton*, 2> Option18{};
    std::array<QRadioButton*, 3> Option1{};
    std::array<QRadioButton*, 6> Option2{};
    QCheckBox* Check1 = nullptr;
    QGroupBox* Frame1 = nullptr;  // 性別
    QGroupBox* Frame2 = nullptr;  // 表示順番
    QGroupBox* Frame3 = nullptr;  // 操作ガイド
    QGroupBox* Frame4 = nullptr;  // 状態
    std::array<QPushButton*, 11> Command9{};
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    std::array<QPushButton*, 2> Command5{};
    std::array<QPushButton*, 2> Command6{};
    QScrollBar* HScroll1 = nullptr;
    records::RecordListView* List1 = nullptr;  // one column of fixed-width lines, rows of one height
    records::RecordListModel* List1Model = nullptr;
    std::array<QLabel*, 15> Label1{};
    std::array<QLabel*, 3> Label2{};
    std::array<QLabel*, 14> Label3{};
    std::array<QLabel*, 1> Label4{};
    std::array<QLabel*, 14> Label5{};
    std::array<QLabel*, 34> Label6{};
    std::array<QLabel*, 10> Label7{};
    QLabel* Label9 = nullptr;   // before the web address
    std::array<QLabel*, 3> Label11{};
    QLabel* Label15 = nullptr;
    QLabel* Image1 = nullptr;
    // The lost-focus watcher of each box.
    QHash<QWidget*, ui::FocusCommit*> BoxCommit;

    // Form-level state.
    Module1::DbFile WindowDbFile;
    db::Database WindowDb;
    db::Recordset WindowSettingsRs;
    records::RecordCursor Cursor;  // the personal records in the current order
    db::Recordset CategoryRs;
    db::Recordset CaptionRs;
    int RecordMode = Browse;
    int PreviousMode = Browse;
    int SearchField = 0;
    // A key was typed into a search box since search mode began: the focus no longer chooses
    // the key box.
    bool SearchKeyTyped = false;
    int DisplayOrder = 1;
    bool Filling = false;
    bool StoreRefusalReported = false;  // a refused store of the order, told once a book
    bool MirroringList = false;  // the list follows the cursor: its click handler does not run
    bool PlaceListsPending = false;
    int FocusField = 1;
    bool FocusInTextBox = false;
    bool FocusInCombo = false;
    bool InputValid = false;
    // The focus record names the box itself, so that each box commits through its own handler.
    QWidget* FocusBox = nullptr;
    // The box whose text was refused last and that text: asked again unchanged, it stays refused
    // without a second message.
    QWidget* RefusedBox = nullptr;
    QString RefusedText;
    int KanaRowStart = 0;
    int KanaColumn = 0;
    QString ShownPicture;
    records::ScaledPicture ShownPixmap;
};
