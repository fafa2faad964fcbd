// The record list, the moves that end in the scroll bar, the kana index and the display orders.

#include "records/Form3.h"
#include "edition/Profile.h"
#include "records/RecordListModel.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Options.h"
#include "records/Boxes.h"
#include "records/Birthdays.h"
#include "records/DisplayOrder.h"
#include "records/KanaIndex.h"
#include "records/RecordListLine.h"
#include "records/RecordListView.h"
#include "shell/Module1.h"

#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

using namespace Module1;

// ---- the list ----

void Form3::FillRecordList()
{
    // Lines are built as the list shows them.
    if (IsBookEmpty())
        List1Model->clear();
    else
        List1Model->fill(Cursor.records(), ui::dialogs().today());
    FitListColumn();
    // Line i is the record at position i: the cursor's line is the selected one.
    MirrorPosition(Cursor.position(), Cursor.count());
}

void Form3::FitListColumn()
{
    // Lines have one width, the first one's, as a list of uniform items measures them.
    List1->setLineWidth(List1Model->rowCount() > 0
                            ? QFontMetrics(List1->font()).horizontalAdvance(List1Model->line(0)) + 8 : 0);
}

void Form3::RefreshRecordList()
{
    if (!List1->selectionModel()->hasSelection())
        return;
    FillRecordList();
}

void Form3::List1_Click()
{
    const QModelIndex current = List1->currentIndex();
    if (!current.isValid())
        return;
    const int line = current.row();
    if (line == Cursor.position())
        return;
    MoveToLine(line);
    // A move that did not happen (a refused box) leaves the list on the record shown, also after
    // the view has finished handling the click.
    if (Cursor.position() != line)
        QTimer::singleShot(0, this, [this] { MirrorPosition(Cursor.position(), Cursor.count()); });
}

void Form3::MoveToLine(int line)
{
    // Setting the value raises HScroll1_Change, where every move is made.
    HScroll1->setValue(line);
}

// ---- moves ----

bool Form3::CommitBeforeLeaving()
{
    if (RecordMode != Edit)
        return true;
    // The lost-focus handler of a box that refuses its text clears this.
    InputValid = true;
    CommitFocusedField();
    return InputValid;
}

void Form3::ReselectFocusedField()
{
    // The got-focus handler of the box CommitFocusedField committed, which selects its text again.
    QWidget* box = FocusBox;
    if (!box)
        return;
    for (int i = 0; i < int(Text1.size()); ++i) {
        if (Text1[size_t(i)] == box) {
            Text1_GotFocus(i);
            return;
        }
    }
    for (int k = 0; k < int(Text2.size()); ++k) {
        if (Text2[size_t(k)] == box) {
            Text2_GotFocus(k);
            return;
        }
    }
    if (box == Combo5[0])
        Combo5_GotFocus(0);
    else if (box == Combo5[1])
        Combo5_GotFocus(1);
    else if (box == Combo1)
        Combo1_GotFocus();
    else if (box == Combo2)
        Combo2_GotFocus();
    else if (box == Combo3)
        Combo3_GotFocus();
    else if (box == Combo4)
        Combo4_GotFocus();
}

void Form3::Label1_Click(int index)
{
    if (index < 0 || index >= records::KanaLabelCount)
        return;
    // The index only makes sense while the records stand in reading order.
    if (DisplayOrder != 3) {
        ui::dialogs().message(records::KanaOrderOnlyMessage(), edition::profile().EditionName, ui::Icon::None);
        return;
    }
    if (IsBookEmpty())
        return;
    const QString key = records::KanaKey(index, &KanaRowStart, &KanaColumn);
    try {
        const int position = records::KanaPosition(Cursor.records().readColumns({QStringLiteral("フリガナ")}), key);
        MoveToLine(position);
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

// ---- display orders ----

void Form3::ShowOrderInForce()
{
    // Put back as it was: the order did not change, so no handler runs.
    if (DisplayOrder >= 1 && DisplayOrder <= records::DisplayOrderCount)
        ui::checkOptionQuietly(Option2[size_t(DisplayOrder - 1)]);
}

void Form3::Option2_Click(int index)
{
    const int order = index + 1;
    if (order < 1 || order > records::DisplayOrderCount)
        return;
    // The order in force, or no records to order: nothing changes and nothing is stored.
    if (IsBookEmpty() || order == DisplayOrder) {
        ShowOrderInForce();
        return;
    }
    if (!CommitBeforeLeaving()) {
        ShowOrderInForce();
        return;
    }
    if (order == 6) {
        // The birthday order sorts on "誕生日": bring it up to date first, so that the records
        // open in the order of today's birth dates. A book that cannot be written opens them
        // by the days it holds.
        try {
            records::RewriteBirthdays(WindowDb);
        } catch (const db::Error& e) {
            ReportRefusedStore(e);
        }
    }
    try {
        db::Recordset main = WindowDb.openRecordset(records::DisplayOrderQuery(order), db::RecordsetType::Dynaset);
        DisplayOrder = order;
        Cursor.reset(main);
    } catch (const db::Error& e) {
        ReportError(e);
        ShowOrderInForce();
        return;
    }
    try {
        // Stored in the window's own book, where the other windows take it up.
        WindowSettingsRs.edit();
        WindowSettingsRs.setValue(BookSettings::DisplayOrder, QString::number(order));
        WindowSettingsRs.update();
    } catch (const db::Error& e) {
        try {
            if (WindowSettingsRs.isOpen() && WindowSettingsRs.editMode() != db::EditMode::None)
                WindowSettingsRs.cancelUpdate();
        } catch (const db::Error&) {
        }
        ReportRefusedStore(e);
    }
    Filling = false;
    ShowReopenedRecords();
}

void Form3::ReportRefusedStore(const db::Error& e)
{
    // A book that refuses one store refuses the next for the same reason: told once a book.
    if (StoreRefusalReported)
        return;
    StoreRefusalReported = true;
    ReportError(e);
}

// ---- reopened records ----

void Form3::ShowReopenedRecords()
{
    ClearRecordControls();
    try {
        FillRecordList();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    ShowRecord();
    if (IsBookEmpty()) {
        Image1->clear();
        ShownPicture.clear();
        return;
    }
    try {
        ShowRecordPicture();
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form3::LeaveEditModeWhenEmpty()
{
    if (!IsBookEmpty() || RecordMode != Edit)
        return;
    LockEntryFields();
    RecordMode = Browse;
    Command9[0]->setText(QStringLiteral("編集"));
}
