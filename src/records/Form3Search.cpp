// Searching the window's records by one key box: search mode opens the key boxes in yellow, and
// the search shows each record that matches, asking whether to go on.

#include "records/Form3.h"

#include "platform/ui/Dialogs.h"
#include "records/Boxes.h"
#include "records/EraDate.h"
#include "records/SearchKeys.h"
#include "shell/Module1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Module1;
using records::BoxText;

QWidget* Form3::SearchKeyBox(int keyField) const
{
    if (!records::SearchKeyFieldOf(keyField))
        return nullptr;
    if (keyField == 25 || keyField == 26)
        return Combo5[size_t(keyField - 25)];
    return Text1[size_t(keyField)];
}

void Form3::ColourSearchBoxes(bool searching)
{
    const QColor yellow = Label11[0]->palette().color(QPalette::Window);
    const QColor black = Label11[0]->palette().color(QPalette::WindowText);
    const QColor white = Label11[1]->palette().color(QPalette::Window);
    const QColor silver = Label11[2]->palette().color(QPalette::Window);
    for (const records::SearchKeyField& f : records::SearchKeyFields()) {
        QWidget* box = SearchKeyBox(f.keyField);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, searching ? yellow : f.keyField == 0 ? silver : white);
        if (f.keyField == 0)
            p.setColor(QPalette::Text, black);
        box->setPalette(p);
    }
}

void Form3::EnterSearchMode()
{
    if (IsBookEmpty()) {
        EnableCommandButtons();
        return;
    }
    // The box being edited goes into the record first; a box that refuses keeps edit mode.
    if (RecordMode == Edit) {
        InputValid = true;
        CommitFocusedField();
        if (!InputValid)
            return;
    }
    PreviousMode = RecordMode;
    RecordMode = Search;
    // Only the key boxes take typing while searching.
    LockEntryFields();
    for (const records::SearchKeyField& f : records::SearchKeyFields())
        records::SetBoxLocked(SearchKeyBox(f.keyField), false);
    // The era of a registration-date key.
    records::SetBoxLocked(Combo3, false);
    ColourSearchBoxes(true);
    Command9[1]->setText(QStringLiteral("検索実行"));
    SearchField = 1;
    SearchKeyTyped = false;
    static_cast<QLineEdit*>(Text1[1])->selectAll();
    Text1[1]->setFocus(Qt::OtherFocusReason);
}

void Form3::ExecuteSearch(int keyField)
{
    const records::SearchKeyField* field = records::SearchKeyFieldOf(keyField);
    // A box without a rule matches no record; its text still has to be there.
    QWidget* box = field ? SearchKeyBox(keyField)
                         : (keyField >= 0 && keyField < int(Text1.size()) ? Text1[size_t(keyField)] : nullptr);
    const QString text = box ? BoxText(box) : QString();
    auto refuse = [&] {
        ui::dialogs().beep();
        box->setFocus(Qt::OtherFocusReason);
    };
    if (box && text.isEmpty()) {
        refuse();
        return;
    }
    std::optional<records::SearchKey> key;
    if (field) {
        if (field->rule == records::SearchRule::RegistrationDate) {
            const QDate date = records::WesternEraDate(records::FindEraStart(EraRs, BoxText(Combo3)), text);
            if (date.isValid())
                key = records::SearchKey::forDate(*field, date);
        } else {
            key = records::SearchKey::fromText(*field, text);
        }
        if (!key) {
            refuse();
            return;
        }
    }

    bool found = false;
    try {
        if (key) {
            // The book is compared in one pass; a match's place is its position in the current order.
            const auto matchesRow = [&](const QVariantList& row) { return key->matches(row); };
            const std::vector<int> matches =
                key->readsText() ? Cursor.records().positionsWhereText(
                                       key->fields().front(), [&](QByteArrayView text) { return key->matchesText(text); }, matchesRow)
                                 : Cursor.records().positionsWhere(key->fields(), matchesRow);
            for (const int position : matches) {
                found = true;
                Cursor.moveTo(position);
                ClearRecordControls();
                ShowRecord();
                ShowRecordPicture();
                if (field->rule == records::SearchRule::MemberNo)
                    break;
                if (ui::dialogs().question(QStringLiteral("次の名簿を検索しますか？"), QStringLiteral("検索"), ui::Icon::None,
                                           ui::Buttons::YesNo)
                    != ui::Answer::Yes)
                    break;
            }
        }
    } catch (const db::Error& e) {
        ReportError(e);
    }
    if (!found) {
        ui::dialogs().message(QStringLiteral("該当レコードはありません"), QStringLiteral("検索"));
        ClearRecordControls();
        ShowRecord();
    }
    LeaveSearchMode();
}

void Form3::SearchBox_Enter(int keyField)
{
    if (RecordMode != Search)
        return;
    // The box typed in holds the key, whichever box the focus passed last.
    SearchField = keyField;
    Command9_Click(1);
}

void Form3::SearchBox_Typed(int keyField)
{
    if (RecordMode != Search)
        return;
    SearchField = keyField;
    SearchKeyTyped = true;
}

void Form3::LeaveSearchMode()
{
    for (const records::SearchKeyField& f : records::SearchKeyFields())
        records::SetBoxLocked(SearchKeyBox(f.keyField), true);
    ColourSearchBoxes(false);
    Command9[1]->setText(QStringLiteral("検索"));
    RecordMode = PreviousMode;
    // The mode that comes back gets its own boxes back: edit mode finds them open again.
    if (RecordMode == Edit)
        UnlockEntryFields();
    else
        LockEntryFields();
    EnableCommandButtons();
}
