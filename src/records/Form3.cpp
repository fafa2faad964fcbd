// The record window's frame: its load, its modes, its command dispatcher and its position.

#include "records/Form3.h"
#include "edition/Profile.h"
#include "records/RecordListModel.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusCommit.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Options.h"
#include "records/Boxes.h"
#include "records/DisplayOrder.h"
#include "records/RecordDisplay.h"
#include "records/RecordListView.h"
#include "records/SearchKeys.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

using namespace Module1;

// The title of a book whose "タイトル" is Null.

Form3::Form3(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("住所録管理"));
    BuildControls();
    ConnectHandlers();
    MirrorPosition(Cursor.position(), Cursor.count());
}

Form3::~Form3() = default;

template <class F>
void Form3::Guarded(F&& step)
{
    try {
        step();
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form3::ConnectHandlers()
{
    connect(&Cursor, &records::RecordCursor::moved, this, &Form3::MirrorPosition);
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(List1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!MirroringList)
            List1_Click();
    });

    for (int i = 0; i < int(Text1.size()); ++i) {
        if (!Text1[size_t(i)])
            continue;
        auto* commit = ui::onLostFocus(Text1[size_t(i)], [this, i] { Text1_LostFocus(i); });
        commit->setGotFocus([this, i] { Text1_GotFocus(i); });
        BoxCommit.insert(Text1[size_t(i)], commit);
    }
    for (int k = 0; k < int(Text2.size()); ++k) {
        auto* commit = ui::onLostFocus(Text2[size_t(k)], [this, k] { Text2_LostFocus(k); });
        commit->setGotFocus([this, k] { Text2_GotFocus(k); });
        BoxCommit.insert(Text2[size_t(k)], commit);
    }
    const std::array<std::pair<QWidget*, std::pair<void (Form3::*)(), void (Form3::*)()>>, 4> combos = {{
        {Combo1, {&Form3::Combo1_GotFocus, &Form3::Combo1_LostFocus}},
        {Combo2, {&Form3::Combo2_GotFocus, &Form3::Combo2_LostFocus}},
        {Combo3, {&Form3::Combo3_GotFocus, &Form3::Combo3_LostFocus}},
        {Combo4, {&Form3::Combo4_GotFocus, &Form3::Combo4_LostFocus}},
    }};
    for (const auto& [box, handlers] : combos) {
        const auto [got, lost] = handlers;
        auto* commit = ui::onLostFocus(box, [this, lost] { (this->*lost)(); });
        commit->setGotFocus([this, got] { (this->*got)(); });
        BoxCommit.insert(box, commit);
    }
    for (int i = 0; i < 2; ++i) {
        auto* commit = ui::onLostFocus(Combo5[size_t(i)], [this, i] { Combo5_LostFocus(i); });
        commit->setGotFocus([this, i] { Combo5_GotFocus(i); });
        Combo5[size_t(i)]->setBeforePopup([this] { EnsurePlaceLists(); });
        BoxCommit.insert(Combo5[size_t(i)], commit);
    }

    ui::onCheckChanged(Check1, [this] { Check1_Click(); });
    // A click on the checked option runs its handler too: in edit mode it stores what it shows.
    ui::onOptionChecked(Option18, [this](int i) { Option18_Click(i); }, ui::ChosenClick::Runs);
    ui::onOptionChecked(Option1, [this](int i) { Option1_Click(i); }, ui::ChosenClick::Runs);
    ui::onOptionChecked(Option2, [this](int i) { Option2_Click(i); }, ui::ChosenClick::Runs);
    for (int i = 0; i < int(Command9.size()); ++i)
        if (Command9[size_t(i)])
            connect(Command9[size_t(i)], &QPushButton::clicked, this, [this, i] { Command9_Click(i); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(Command5[size_t(i)], &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
        connect(Command6[size_t(i)], &QPushButton::clicked, this, [this, i] { Command6_Click(i); });
    }
    Image1->installEventFilter(this);
    // The picture opens the viewer from the keyboard and from assistive technology too.
    ui::makePressable(Image1, [this] { Image1_Click(); });
    for (const records::SearchKeyField& f : records::SearchKeyFields()) {
        QWidget* box = SearchKeyBox(f.keyField);
        auto* edit = qobject_cast<QLineEdit*>(box);
        if (auto* combo = qobject_cast<QComboBox*>(box))
            edit = combo->lineEdit();
        if (edit) {
            connect(edit, &QLineEdit::returnPressed, this, [this, key = f.keyField] { SearchBox_Enter(key); });
            connect(edit, &QLineEdit::textEdited, this, [this, key = f.keyField] { SearchBox_Typed(key); });
        }
        if (auto* combo = qobject_cast<QComboBox*>(box))
            connect(combo, &QComboBox::activated, this, [this, key = f.keyField] { SearchBox_Typed(key); });
    }
    // The kana index works from the keyboard and from assistive technology as by the mouse:
    // each entry is pressed by Enter, the space bar or the press action. Each line of the index
    // (the rows "ｱ" to "ﾜ", the columns "ｱ" to "ｵ") is one Tab stop with the arrow keys along
    // it, so that Tab passes the index in two presses. A click still leaves the focus where it
    // was, so that the box being edited is committed only by the move.
    QList<QWidget*> kanaRows, kanaColumns;
    for (int i = 0; i < int(Label1.size()); ++i) {
        QLabel* l = Label1[size_t(i)];
        l->installEventFilter(this);
        ui::makePressable(l, [this, i] { Label1_Click(i); });
        l->setFocusPolicy(Qt::NoFocus);
        (i < 10 ? kanaRows : kanaColumns).append(l);
    }
    ui::makeOneTabStop(kanaRows);
    ui::makeOneTabStop(kanaColumns);
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Image1) {
            Image1_Click();
            return true;
        }
        for (int i = 0; i < int(Label1.size()); ++i) {
            if (watched == Label1[size_t(i)]) {
                Label1_Click(i);
                return true;
            }
        }
    }
    return ui::Window::eventFilter(watched, event);
}

// ---- load ----

void Form3::formLoad()
{
    FocusField = 1;
    FocusInTextBox = false;
    FocusInCombo = false;
    KanaRowStart = 0;
    KanaColumn = 0;

    // From here on the window keeps to the book it was loaded with.
    WindowDbFile = CurrentDbFileCopy;
    CurrentDbFile = CurrentDbFileCopy;
    WindowDb = CurrentDb;
    WindowSettingsRs = BookSettingsRs;
    StoreRefusalReported = false;

    Guarded([this] { OpenRecordsetByDisplayOrder(); });
    Guarded([this] { SetCaption(BookTitle() + QString(10, QLatin1Char(' ')) + WindowDbFile.FullPath); });

    Guarded([this] { FillLookupCombos(); });
    ClearRecordControls();
    Guarded([this] { FillRecordList(); });
    ShowRecord();
    Guarded([this] { ShowRecordPicture(); });

    // The window starts in browse mode.
    LockEntryFields();

    // Without the caption row every control keeps its built-in caption.
    Guarded([this] { CaptionRs = WindowDb.openRecordset(QStringLiteral("住所録ラベル"), db::RecordsetType::Table); });
    Guarded([this] { ApplyFieldCaptions(); });
    Guarded([this] { ApplyListHeadings(); });

    Filling = true;
}

QString Form3::BookTitle() const
{
    if (!WindowSettingsRs.isOpen() || WindowSettingsRs.bof() || WindowSettingsRs.eof())
        return edition::profile().EditionName;
    const QVariant title = WindowSettingsRs.value(BookSettings::Title);
    return title.isNull() ? edition::profile().EditionName : title.toString();
}

void Form3::OpenRecordsetByDisplayOrder()
{
    records::OpenedRecords opened = records::OpenRecordsByDisplayOrder(WindowDb, WindowSettingsRs);
    DisplayOrder = opened.displayOrder;
    CategoryRs = opened.categories;
    // The scroll bar, the list and the label follow the cursor to the first record.
    Cursor.reset(opened.main);
}

void Form3::SetCaption(const QString& title)
{
    setWindowTitle(FitBytes(title, 160) + FormatCaptionDate(ui::dialogs().today()));
}

// ---- modes ----

QList<QWidget*> Form3::entryFields() const
{
    QList<QWidget*> fields;
    for (int i = 0; i <= 15; ++i)
        fields << Text1[size_t(i)];
    for (int k = 0; k <= 4; ++k)
        fields << Text2[size_t(k)];
    for (int i = 21; i <= 24; ++i)
        fields << Text1[size_t(i)];
    fields << Combo5[0] << Combo5[1] << Text1[27] << Combo1 << Combo3 << Combo4 << Combo2;
    // Locked as well, so that nothing typed there outside edit mode is lost at the next display.
    fields << Text1[25] << Text1[28] << Text1[29] << Text1[30];
    for (int k = 5; k <= 9; ++k)
        fields << Text2[size_t(k)];
    return fields;
}

void Form3::LockEntryFields()
{
    for (QWidget* box : entryFields())
        records::SetBoxLocked(box, true);
}

void Form3::UnlockEntryFields()
{
    for (QWidget* box : entryFields()) {
        // The years since registration and the age are worked out, never typed.
        if (box != Text1[4] && box != Text1[6])
            records::SetBoxLocked(box, false);
    }
}

void Form3::EnableCommandButtons()
{
    for (int i = 0; i <= 7; ++i)
        Command9[size_t(i)]->setEnabled(true);
}

void Form3::ToggleEditMode()
{
    if (IsBookEmpty()) {
        EnableCommandButtons();
        return;
    }
    if (RecordMode == Browse) {
        UnlockEntryFields();
        RecordMode = Edit;
        Command9[0]->setText(QStringLiteral("編集解除"));
    } else if (RecordMode == Edit) {
        LockEntryFields();
        RecordMode = Browse;
        Command9[0]->setText(QStringLiteral("編集"));
        EnableCommandButtons();
    }
}

void Form3::Command9_Click(int index)
{
    try {
        switch (index) {
        case 0:
            ToggleEditMode();
            return;
        case 2:
            AddRecord();
            return;
        case 9:
            close();  // commits the box being edited, then closes the records (closeEvent)
            return;
        default:
            break;
        }
        // The other commands act only on an address book with records.
        if (IsBookEmpty())
            return;
        switch (index) {
        case 1:
            if (RecordMode == Browse || RecordMode == Edit)
                EnterSearchMode();
            else if (RecordMode == Search)
                ExecuteSearch(SearchField);
            break;
        case 3:
            DeleteRecord();
            break;
        case 4:
            if (ui::dialogs().question(QStringLiteral("同一ファイル名でＣＳＶ形式ファイルを作成します　よろしいですか？"),
                                       QStringLiteral("ＣＳＶファイル形式出力"), ui::Icon::None, ui::Buttons::YesNo)
                == ui::Answer::Yes)
                ExportCsv();
            else
                EnableCommandButtons();
            break;
        case 5:
            OpenDatabaseFile();
            break;
        case 6:
            ImportCsv();
            break;
        case 7:
            if (ui::WindowRegistry::instance().hasFactory(QStringLiteral("Form5")))
                ui::WindowRegistry::instance().show(QStringLiteral("Form5"));
            break;
        case 10:
            RefreshRecordList();
            break;
        default:
            break;
        }
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

// ---- position ----

void Form3::MirrorPosition(int position, int count)
{
    {
        const QSignalBlocker block(HScroll1);
        HScroll1->setRange(0, qMax(0, count - 1));
        HScroll1->setValue(qMax(0, position));
        HScroll1->setEnabled(count > 0);
    }
    Label15->setText(records::PositionText(position, count));
    QItemSelectionModel* selection = List1->selectionModel();
    // The selection model's signals must reach the view, which repaints the lines whose
    // selection changed; only the list's click handler is held back.
    const QScopedValueRollback<bool> mirroring(MirroringList, true);
    if (position >= 0 && position < List1Model->rowCount()) {
        const QModelIndex line = List1Model->index(position);
        selection->setCurrentIndex(line, QItemSelectionModel::ClearAndSelect);
        List1->scrollTo(line);
    } else {
        selection->clear();
    }
}

void Form3::HScroll1_Change()
{
    const int value = HScroll1->value();
    // While searching or adding, and without records, the records do not move: the scroll bar
    // shows the cursor again.
    if (IsBookEmpty() || RecordMode == Search || RecordMode == Adding || value == Cursor.position()) {
        MirrorPosition(Cursor.position(), Cursor.count());
        return;
    }
    try {
        if (RecordMode == Edit) {
            InputValid = true;
            CommitFocusedField();
            // A refused text stops the move: the window stays on the record it shows.
            if (!InputValid) {
                MirrorPosition(Cursor.position(), Cursor.count());
                return;
            }
        }
        // The list line follows the cursor (MirrorPosition).
        Cursor.moveTo(value);
        ClearRecordControls();
        ShowRecord();
        if (RecordMode == Edit)
            ReselectFocusedField();
        // The picture follows every move, also once an edit session has recorded a focused box.
        ShowRecordPicture();
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form3::CommitFocusedField()
{
    if (RecordMode != Edit)
        return;
    ui::FocusCommit* box = BoxCommit.value(FocusBox);
    if (!box)
        return;
    // Refused a moment ago and still unchanged: refused again, without a second message.
    if (FocusBox == RefusedBox && records::BoxText(FocusBox) == RefusedText) {
        InputValid = false;
        return;
    }
    box->commit();
}

// ---- closing ----

ui::FocusCommit* Form3::FocusedBoxCommit() const
{
    const QWidget* focused = focusWidget();
    for (auto it = BoxCommit.constBegin(); focused && it != BoxCommit.constEnd(); ++it)
        if (it.key() == focused || it.key()->isAncestorOf(focused))
            return it.value();
    return nullptr;
}

void Form3::CloseRecords()
{
    Cursor.close();
    CategoryRs.close();
    CaptionRs.close();
}

void Form3::closeEvent(QCloseEvent* event)
{
    // The box being edited has not lost its focus yet (closing takes no focus from it): store
    // it into the record on the screen while the records are still open.
    if (RecordMode == Edit) {
        if (FocusedBoxCommit())
            FocusBox = focusWidget();
        bool stored = true;
        try {
            stored = CommitBeforeLeaving();
        } catch (const db::Error& e) {
            ReportError(e);
        }
        if (!stored) {
            // A refused box keeps its text and the focus; the window stays open.
            event->ignore();
            return;
        }
    }
    CloseRecords();
    event->accept();
}

void Form3::resizeEvent(QResizeEvent* event)
{
    ui::Window::resizeEvent(event);
    PlaceListArea();
}
