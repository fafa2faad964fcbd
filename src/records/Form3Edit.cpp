// Editing the record fields: in edit mode each text box stores its own field of the record on the
// screen when it loses the focus, and the check box and option buttons store theirs when clicked.
// A box that refuses what it holds keeps the text and takes the focus back.

#include "records/Form3.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusCommit.h"
#include "platform/ui/Kana.h"
#include "records/Boxes.h"
#include "records/EraDate.h"
#include "records/FieldLimits.h"
#include "records/MemberNumbers.h"
#include "records/RecordDisplay.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

using namespace Module1;
using records::BoxText;
using records::SetBoxText;

namespace {

// The empty text, never Null: text fields are not set to Null by this window.
QString notNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// True when the stored value is the value about to be stored, so that the write can be left out.
bool sameValue(const QVariant& stored, const QVariant& value)
{
    if (!stored.isValid() || stored.isNull() || !value.isValid() || value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::QString:
        return stored.typeId() == QMetaType::QString && stored.toString() == value.toString();
    case QMetaType::QDate:
        return records::StoredDate(stored) == value.toDate();
    case QMetaType::Bool:
        return stored.typeId() == QMetaType::Bool ? stored.toBool() == value.toBool()
                                                  : stored.toLongLong() == (value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: {
        bool ok = false;
        const double d = stored.toDouble(&ok);
        return ok && stored.typeId() != QMetaType::QString && d == value.toDouble();
    }
    default:
        return false;
    }
}

void selectWhole(QWidget* box)
{
    if (auto* e = qobject_cast<QLineEdit*>(box))
        e->selectAll();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(box))
        p->selectAll();
    else if (auto* c = qobject_cast<QComboBox*>(box); c && c->lineEdit())
        c->lineEdit()->selectAll();
}

} // namespace

// ---- shared steps ----

void Form3::RefuseInput(QWidget* box, const QString& message)
{
    ui::dialogs().beep();
    if (!message.isEmpty())
        ui::dialogs().message(message);
    InputValid = false;
    RefusedBox = box;
    RefusedText = BoxText(box);
    ui::refocusLater(box);
}

void Form3::AcceptInput(QWidget* box)
{
    if (RefusedBox == box)
        RefusedBox = nullptr;
}

bool Form3::StoreField(const QString& field, const QVariant& value)
{
    db::Recordset& rs = Cursor.record();
    try {
        if (sameValue(rs.value(field), value))
            return true;
        rs.edit();
        rs.setValue(field, value);
        rs.update();
        return true;
    } catch (const db::Error& e) {
        try {
            if (rs.isOpen() && rs.editMode() != db::EditMode::None)
                rs.cancelUpdate();
        } catch (const db::Error&) {
        }
        ReportError(e);
        return false;
    }
}

void Form3::SetFocusBox(QWidget* box, int field, bool inTextBox, bool inCombo)
{
    if (box != RefusedBox)
        RefusedBox = nullptr;
    FocusBox = box;
    FocusField = field;
    FocusInTextBox = inTextBox;
    FocusInCombo = inCombo;
}

// ---- focus bookkeeping ----

bool Form3::TakesSearchKeyByFocus() const
{
    // The box typed into holds the key. Until something is typed, the box the user puts the
    // focus in (by the mouse, or where search mode put it); a box that Tab or Shift+Tab only
    // passes on the way to "検索実行" does not take it over.
    if (SearchKeyTyped)
        return false;
    const Qt::FocusReason reason = ui::FocusCommit::gotFocusReason();
    return reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason;
}

void Form3::Text1_GotFocus(int index)
{
    QWidget* box = Text1[size_t(index)];
    if (RecordMode == Search) {
        if (TakesSearchKeyByFocus())
            SearchField = index;
    } else if (RecordMode == Edit) {
        SetFocusBox(box, index, true, false);
    } else {
        return;
    }
    if (!BoxText(box).isEmpty())
        selectWhole(box);
}

void Form3::Combo1_GotFocus()
{
    if (RecordMode == Edit)
        SetFocusBox(Combo1, 1, false, true);
}

void Form3::Combo2_GotFocus()
{
    // Outside edit mode the box keeps the focus, a stop of the Tab round like the others: the
    // busy flag stays set from the load until a record is next shown, and sending the focus on
    // while it was set took the box out of the round.
    if (RecordMode == Edit)
        SetFocusBox(Combo2, 2, false, true);
}

void Form3::Combo3_GotFocus()
{
    if (RecordMode == Edit)
        SetFocusBox(Combo3, 3, false, true);
}

void Form3::Combo4_GotFocus()
{
    if (RecordMode == Edit)
        SetFocusBox(Combo4, 4, false, true);
}

void Form3::Combo5_GotFocus(int index)
{
    QWidget* box = Combo5[size_t(index)];
    if (RecordMode == Search || RecordMode == Edit)
        EnsurePlaceLists();
    if (RecordMode == Search) {
        if (TakesSearchKeyByFocus())
            SearchField = 25 + index;
    } else if (RecordMode == Edit) {
        SetFocusBox(box, 25 + index, true, false);
    } else {
        return;
    }
    if (!BoxText(box).isEmpty())
        selectWhole(box);
}

// A new era in an era box counts when its date box is next committed.
void Form3::Combo1_LostFocus() {}
void Form3::Combo3_LostFocus() {}
void Form3::Combo4_LostFocus() {}

// ---- text boxes ----

void Form3::Text1_LostFocus(int index)
{
    if (RecordMode != Edit || IsBookEmpty())
        return;
    const records::TextBoxField* field = records::TextBoxFieldOf(index);
    QWidget* box = index >= 0 && index < int(Text1.size()) ? Text1[size_t(index)] : nullptr;
    if (!field || !box)
        return;
    QString text = BoxText(box);

    switch (field->kind) {
    case records::BoxKind::Shown:
        return;
    case records::BoxKind::MemberNo:
        ChangeMemberNo(box, text);
        return;
    case records::BoxKind::EraDate:
        // An emptied date box keeps the stored date.
        if (text.isEmpty())
            break;
        if (!SaveEraDateField(index, text)) {
            // The birth-date box shows the stored date again (empty without one), so that the
            // refused text does not come back at the next focus change.
            if (index == 3)
                ShowStoredBirthDateBox();
            RefuseInput(box, index == 24 ? QString() : records::InvalidInputMessage());
            return;
        }
        ShowStoredEraDate(index);
        break;
    case records::BoxKind::Reading:
        // What was typed in hiragana or full-width katakana is kept in half-width katakana.
        if (const QString half = ui::toHalfWidthKatakana(text); half != text) {
            text = half;
            SetBoxText(box, text);
        }
        [[fallthrough]];
    case records::BoxKind::Text:
    case records::BoxKind::WebAddress:
        if (!records::FitsLimit(text, field->limit)) {
            RefuseInput(box, records::InvalidInputMessage());
            return;
        }
        StoreField(field->field, field->kind == records::BoxKind::WebAddress ? records::StoredWebAddress(text) : notNull(text));
        break;
    }
    if (RefusedBox == box)
        RefusedBox = nullptr;
}

void Form3::ChangeMemberNo(QWidget* box, const QString& text)
{
    if (text.isEmpty()) {
        RefuseInput(box, QString());
        return;
    }
    const std::optional<qint64> number = records::ParseMemberNo(text);
    qint64 stored = 0;
    try {
        stored = Cursor.record().value(QStringLiteral("会員NO")).toLongLong();
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    if (number && *number == stored) {
        if (RefusedBox == box)
            RefusedBox = nullptr;
        return;
    }
    if (!number || *number < 1) {
        RefuseInput(box, records::InvalidInputMessage());
        return;
    }

    try {
        if (records::MemberNoInUse(WindowDb, *number)) {
            ui::dialogs().beep();
            ui::dialogs().message(QStringLiteral("会員NOは登録済みです"));
            SetBoxText(box, FormatMemberNo(stored));
            InputValid = false;
            return;
        }
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    // The record folder takes the new number as its name: a folder of that name must not exist.
    if (records::RecordFolderTaken(WindowDbFile, *number)) {
        RefuseInput(box, QStringLiteral("フォルダ「%1」が既にあるため、会員NOを変更できません")
                             .arg(QDir::toNativeSeparators(RecordFolderPath(WindowDbFile, *number))));
        return;
    }

    if (!StoreField(QStringLiteral("会員NO"), *number)) {
        SetBoxText(box, FormatMemberNo(stored));
        return;
    }
    SetBoxText(box, FormatMemberNo(*number));
    if (RefusedBox == box)
        RefusedBox = nullptr;

    const records::FolderRename renamed = records::RenameRecordFolder(WindowDbFile, stored, *number);
    if (renamed == records::FolderRename::Renamed || renamed == records::FolderRename::NoFolder)
        return;
    // The number and the folder name belong together: the number goes back.
    if (StoreField(QStringLiteral("会員NO"), stored))
        SetBoxText(box, FormatMemberNo(stored));
    ui::dialogs().message(QStringLiteral("フォルダの名前を変更できないため、会員NOを元に戻しました\n%1 → %2")
                              .arg(QDir::toNativeSeparators(RecordFolderPath(WindowDbFile, stored)),
                                   QDir::toNativeSeparators(RecordFolderPath(WindowDbFile, *number))),
                          {}, ui::Icon::Exclamation);
}

// ---- era dates ----

bool Form3::SaveEraDateField(int index, const QString& text)
{
    QWidget* eraBox = index == 3 ? Combo1 : index == 24 ? Combo3 : index == 29 ? Combo4 : nullptr;
    if (!eraBox)
        return true;
    if (text.isEmpty())
        return false;
    const QDate date = records::WesternEraDate(records::FindEraStart(EraRs, BoxText(eraBox)), text);
    if (!date.isValid())
        return false;
    // A failed store has been reported; the date itself passed its check.
    StoreField(records::TextBoxFieldOf(index)->field, date);
    return true;
}

QString Form3::StoredBirthDateText(const QDate&, const QString& eraDate) const
{
    return eraDate;
}

void Form3::ShowStoredEraDate(int index)
{
    const records::TextBoxField* field = records::TextBoxFieldOf(index);
    QDate date;
    try {
        date = records::StoredDate(Cursor.record().value(field->field));
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    if (!date.isValid())
        return;
    const QDate today = ui::dialogs().today();
    const records::EraDateTexts t = records::EraTexts(LoadEras(), date, &EraDate);
    switch (index) {
    case 3: {
        // The era box follows the date too: 64/2/1 of 昭和 is 平成 1.
        SetBoxText(Combo1, t.eraName);
        SetBoxText(Text1[3], StoredBirthDateText(date, t.eraDate));
        Label3[0]->setText(t.western);
        StoreField(QStringLiteral("年齢"), AgeInYears(date, today));
        try {
            SetBoxText(Text1[6], Cursor.record().text(QStringLiteral("年齢")));
        } catch (const db::Error& e) {
            ReportError(e);
        }
        break;
    }
    case 24:
        SetBoxText(Combo3, t.eraName);
        SetBoxText(Text1[24], t.eraDate);
        Label3[7]->setText(t.western);
        SetBoxText(Text1[4], records::YearsSinceText(date, today));
        break;
    case 29:
        SetBoxText(Combo4, t.eraName);
        SetBoxText(Text1[29], t.eraDate);
        Label3[1]->setText(t.western);
        break;
    default:
        break;
    }
}

void Form3::ShowStoredBirthDateBox()
{
    QDate date;
    try {
        date = records::StoredDate(Cursor.record().value(QStringLiteral("生年月日")));
    } catch (const db::Error& e) {
        ReportError(e);
    }
    if (!date.isValid()) {
        SetBoxText(Text1[3], QString());
        return;
    }
    // The era box goes with the date it shows, or the next commit would read it in another era.
    const records::EraDateTexts t = records::EraTexts(LoadEras(), date, &EraDate);
    SetBoxText(Combo1, t.eraName);
    SetBoxText(Text1[3], t.eraDate);
}

// ---- clickable controls ----

void Form3::Check1_Click()
{
    if (RecordMode != Edit || IsBookEmpty())
        return;
    StoreField(QStringLiteral("メール送信拒否"), Check1->isChecked());
}

void Form3::Option18_Click(int index)
{
    if (RecordMode != Edit || IsBookEmpty() || index < 0 || index > 1)
        return;
    StoreField(QStringLiteral("性別"), QString::number(index + 1));
}

void Form3::Option1_Click(int index)
{
    if (RecordMode != Edit || IsBookEmpty() || index < 0 || index > 2)
        return;
    StoreField(QStringLiteral("状態"), QString::number(index + 1));
}
