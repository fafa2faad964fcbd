// The list window's commands: paging, and the focused row's record taken to the record window,
// the browser and the image viewer, by the buttons and by the row's menu; the web pages of its
// category.

#include "list/Form4.h"

#include "edition/Profile.h"
#include "platform/shell/Opener.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "records/ViewerHandOver.h"
#include "shell/Module1.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

using namespace Module1;

void Form4::Command1_Click(int index)
{
    if (index == 9) {
        close();  // unloads the window
        return;
    }
    if (!HasCurrentRecord())
        return;
    const qint64 value = HScroll1->value();
    switch (index) {
    case 0:
        SetScrollValue(0);
        FocusedRow = 0;
        break;
    case 1:
        SetScrollValue(value - listwin::PageRows >= 0 ? value - listwin::PageRows : 0);
        FocusedRow = 0;
        break;
    case 2:
        if (value + listwin::PageRows <= ScrollMax)
            SetScrollValue(value + listwin::PageRows);
        FocusedRow = 0;
        break;
    case 3:
        if (ScrollMax - (listwin::PageRows - 1) >= 0)
            SetScrollValue(ScrollMax - (listwin::PageRows - 1));
        FocusedRow = 0;
        break;
    case 4:
        ShowRecordOfFocusedRow();
        break;
    case 5: {
        const QString address = Cells[23][size_t(FocusedRow)]->text();
        if (!address.trimmed().isEmpty())
            OpenUrl(address);
        break;
    }
    case 6: {
        const QString number = Cells[0][size_t(FocusedRow)]->text();
        if (!number.trimmed().isEmpty())
            ShowRecordImages(number);
        break;
    }
    case 7:
        // The address-book program has no "WEB区分".
        if (edition::profile().HasWebLinks)
            OpenCategoryWebPages();
        break;
    default:
        break;
    }
}

qint64 Form4::RowPosition(int row) const
{
    const qint64 position = qint64(HScroll1->value()) + row;
    return position <= ScrollMax ? position : -1;
}

qint64 Form4::FocusedPosition() const
{
    return RowPosition(FocusedRow);
}

namespace {

// The commands of the row menu: "明細表示", "WEB表示", "写真", as Command1 numbers them.
constexpr int kRowCommands[] = {4, 5, 6};

} // namespace

void Form4::BuildRowMenu()
{
    RowMenu = new QMenu(this);
    RowMenu->setObjectName(QStringLiteral("RowMenu"));
    for (const int index : kRowCommands) {
        // The button's caption, and exactly what the button does for the menu's row.
        QAction* item = RowMenu->addAction(Command1[size_t(index)]->text());
        item->setData(index);
        connect(item, &QAction::triggered, this, [this, index] {
            FocusedRow = RowMenuRow;
            Command1_Click(index);
        });
    }
}

void Form4::ShowRowMenu(int row, const QPoint& at, bool byKeys)
{
    if (row < 0 || row >= listwin::PageRows || RowMenu->isVisible())
        return;
    RowMenuRow = row;
    // The buttons' rules: a row without a record has none of them, "WEB表示" needs an address.
    const bool hasRecord = HasCurrentRecord() && RowPosition(row) >= 0 && !Cells[0][size_t(row)]->text().trimmed().isEmpty();
    for (QAction* item : RowMenu->actions()) {
        const int index = item->data().toInt();
        item->setEnabled(hasRecord && (index != 5 || !Cells[23][size_t(row)]->text().trimmed().isEmpty()));
    }
    // Read by the record it acts on, so that a screen reader tells whose commands these are.
    const QString name = RowNames[size_t(row)].isNull() ? QString() : RowNames[size_t(row)].toString();
    const QString title = hasRecord ? (Cells[0][size_t(row)]->text() + QLatin1Char(' ') + name).trimmed()
                                    : QStringLiteral("%1行目").arg(row + 1);
    RowMenu->setTitle(title);
    RowMenu->setAccessibleName(title);
    RowMenu->popup(at);
    if (byKeys) {
        // Opened by keys, the first item that can be chosen is chosen, as desktop menus do.
        for (QAction* item : RowMenu->actions())
            if (item->isEnabled()) {
                RowMenu->setActiveAction(item);
                break;
            }
    }
}

void Form4::ShowRecordOfFocusedRow()
{
    const qint64 position = FocusedPosition();
    if (position < 0)
        return;
    QVariant number;
    try {
        const QList<QVariantList> row = PersonRs.readColumns({QStringLiteral("会員NO")}, int(position), 1);
        if (!row.isEmpty() && !row.first().isEmpty())
            number = row.first().first();
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    auto& registry = ui::WindowRegistry::instance();
    if (!registry.hasFactory(QStringLiteral("Form3")))
        return;
    registry.show(QStringLiteral("Form3"));
    // The record goes over by its book and number, never by a position, so that a record window
    // in another order, with other records or on another book never shows someone else.
    if (auto* records = dynamic_cast<Form3*>(registry.find(QStringLiteral("Form3"))))
        records->ShowMember(WindowDbFile.FullPath, number);
}

void Form4::ShowRecordImages(const QString& recordNumber)
{
    // Only a number cell as the page wrote it: digits, nothing that could name another folder.
    if (!listwin::IsRecordNumberText(recordNumber))
        return;
    bool ok = false;
    const qint64 number = recordNumber.trimmed().toLongLong(&ok);
    if (!ok)
        return;
    const QVariant name = RowNames[size_t(FocusedRow)];
    records::ShowRecordPictures(WindowDbFile, number, name.isNull() ? QString() : name.toString());
}

void Form4::OpenCategoryWebPages()
{
    const qint64 focused = FocusedPosition();
    if (focused < 0)
        return;  // an empty row
    QStringList addresses;
    try {
        // The category names and addresses of the records in order, read in one pass; the
        // records and the page stay where they are.
        addresses = listwin::CategoryWebAddresses(
            PersonRs.readColumns({QStringLiteral("会員区分名称"), QStringLiteral("WebHome")}), focused);
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    if (addresses.isEmpty())
        return;
    if (addresses.size() > listwin::PagesWithoutQuestion
        && ui::dialogs().question(listwin::ManyPagesQuestion(addresses.size()), QStringLiteral("住所録一覧表"),
                                  ui::Icon::None, ui::Buttons::YesNo)
               != ui::Answer::Yes)
        return;
    // One message for all the pages that could not be opened, refused at once or failed later.
    desktop::HandOverReport report([](const QList<desktop::Failure>& failures) {
        QStringList lines;
        for (const desktop::Failure& f : failures)
            lines << f.what + QStringLiteral("\u3000") + f.reason;
        ui::dialogs().message(QStringLiteral("Webページを開けません。\n") + lines.join(QLatin1Char('\n')), {},
                              ui::Icon::Exclamation);
    });
    for (const QString& address : addresses) {
        QString error;
        const desktop::Outcome outcome = report.outcome(address);
        if (!desktop::opener().openUrl(address, &error, outcome))
            outcome(error);
    }
    report.finish();
}
