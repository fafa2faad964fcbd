// The printing window's frame: its load, its list and its commands.

#include "list/Form5.h"
#include "list/PrintListModel.h"

#include "platform/db/Error.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/DisplayOrder.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

#include <QItemSelectionModel>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

using namespace Module1;

Form5::Form5(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("宛名印刷"));
    BuildControls();

    connect(List1, &QListView::clicked, this, [this](const QModelIndex& i) { ToggleLine(i.row()); });
    // Whatever changes the choice (a click, the space bar, assistive technology), the target follows.
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { List1_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(Command1[size_t(i)], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
}

Form5::~Form5() = default;

void Form5::formLoad()
{
    // From here on the window keeps to the book it was loaded with.
    WindowDbFile = CurrentDbFileCopy;
    CurrentDbFile = CurrentDbFileCopy;
    WindowDb = CurrentDb;
    WindowSettingsRs = BookSettingsRs;

    try {
        OpenRecordsetByDisplayOrder();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    SetCaption(BookTitle() + QString(10, QLatin1Char(' ')) + WindowDbFile.FullPath);
    FillRecordList();
}

QString Form5::BookTitle() const
{
    const QString own = QStringLiteral("宛名印刷");
    if (!WindowSettingsRs.isOpen() || WindowSettingsRs.bof() || WindowSettingsRs.eof()
        || !WindowSettingsRs.hasField(BookSettings::Title))
        return own;
    const QVariant title = WindowSettingsRs.value(BookSettings::Title);
    return title.isNull() ? own : title.toString();
}

void Form5::OpenRecordsetByDisplayOrder()
{
    PersonRs = db::Recordset();
    if (!WindowDb.isOpen())
        return;
    // An order that is not "1" to "6" opens the first one.
    const int order = records::StoredDisplayOrder(WindowSettingsRs);
    PersonRs = WindowDb.openRecordset(records::DisplayOrderQuery(order), db::RecordsetType::Dynaset);
}

void Form5::SetCaption(const QString& text)
{
    setWindowTitle(FitBytes(text, 160) + FormatCaptionDate(ui::dialogs().today()));
}

void Form5::FillRecordList()
{
    // Lines are built as the list shows them; an empty or missing recordset lists nothing.
    List1Model->fill(PersonRs, ui::dialogs().today());
}

void Form5::ToggleLine(int line)
{
    if (line < 0 || line >= List1Model->rowCount())
        return;
    List1Model->toggle(line);
}

void Form5::List1_Click()
{
    if (List1Model->selectedCount() == 0)
        Option2[0]->setChecked(true);
    else
        Option2[1]->setChecked(true);
}

bool Form5::eventFilter(QObject* watched, QEvent* event)
{
    // The space bar toggles the line with the focus, as a click does.
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            ToggleLine(List1->currentIndex().row());
            return true;
        }
    }
    return ui::Window::eventFilter(watched, event);
}

void Form5::closeEvent(QCloseEvent* event)
{
    if (Printing) {
        event->ignore();
        return;
    }
    ui::Window::closeEvent(event);
}

void Form5::resizeEvent(QResizeEvent* event)
{
    ui::Window::resizeEvent(event);
    if (List1)
        PlaceList();
}

int Form5::printKind() const
{
    for (int i = 0; i < int(Option1.size()); ++i)
        if (Option1[size_t(i)]->isChecked())
            return i;
    return list::LabelSheet;
}

bool Form5::selectedOnly() const { return Option2[1]->isChecked(); }

void Form5::Command1_Click(int index)
{
    if (Printing)
        return;
    switch (index) {
    case 0:
        PrintChosen();
        break;
    case 1:
        ui::WindowRegistry::instance().unload(QStringLiteral("Form5"));
        break;
    default:
        break;
    }
}
