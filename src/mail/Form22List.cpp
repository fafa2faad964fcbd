// The mail window's address-book list: its records in the chosen order, the rows of typed
// addresses, and the selected records handed to the dialler.

#include "mail/Form22.h"

#include "platform/db/Error.h"
#include "platform/ui/Dialogs.h"
#include "records/Boxes.h"
#include "records/DisplayOrder.h"
#include "records/RecordListModel.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>

using namespace Module1;

namespace {

void SetChildText(QWidget* window, const QString& name, const QString& text)
{
    if (auto* box = window->findChild<QWidget*>(name))
        records::SetBoxText(box, text);
}

void ClickChild(QWidget* window, const QString& name)
{
    // Clicked, not only turned on, so that the dialler's own handler runs.
    if (auto* option = window->findChild<QAbstractButton*>(name))
        option->click();
}

} // namespace

void Form22::OpenRecordsetBySortOption()
{
    PersonRs = WindowDb.openRecordset(records::DisplayOrderQuery(ChosenIndex(Option6.data(), 6) + 1),
                                      db::RecordsetType::Dynaset);
}

void Form22::FillRecordList()
{
    List1Model->fill(PersonRs, ui::dialogs().today());
}

void Form22::Option6_Click(int)
{
    if (!Loading)
        ReopenRecordList();
}

void Form22::ReopenRecordList()
{
    try {
        PersonRs.close();
        OpenRecordsetBySortOption();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    FillRecordList();
}

QList<int> Form22::selectedRecordRows() const
{
    QList<int> rows;
    for (const QModelIndex& i : List1->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Form22::setRecordRowSelected(int row, bool selected)
{
    List1->selectionModel()->select(List1Model->index(row, 0),
                                    selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void Form22::DialSelectedRecords()
{
    if (!PersonRs.isOpen() || List1Model->rowCount() == 0)
        return;
    const QList<int> rows = selectedRecordRows();
    if (rows.isEmpty())
        return;
    auto& registry = ui::WindowRegistry::instance();
    const QStringList fields = {QStringLiteral("会員NO"), QStringLiteral("氏名"), QStringLiteral("携帯電話"),
                                QStringLiteral("自宅電話")};
    for (const int k : rows) {
        try {
            const QList<QVariantList> values = PersonRs.readColumns(fields, k, 1);
            if (values.isEmpty() || values.first().size() < fields.size())
                continue;  // a record deleted elsewhere
            const QVariantList& v = values.first();
            DialMemberNo = FormatMemberNo(v[0].toLongLong());
            // The call history is kept in this window's own book, whatever book is current now.
            DialDatabase = WindowDb;
            if (!registry.hasFactory(QStringLiteral("Form11")))
                return;
            QWidget* dialler = registry.reach(QStringLiteral("Form11"));
            if (!dialler)
                return;
            SetChildText(dialler, QStringLiteral("Text2_0"), DialMemberNo);
            SetChildText(dialler, QStringLiteral("Text2_1"), v[1].isNull() ? QString() : v[1].toString());
            const QString mobile = v[2].isNull() ? QString() : v[2].toString();
            const QString home = v[3].isNull() ? QString() : v[3].toString();
            SetChildText(dialler, QStringLiteral("Text1_1"), mobile);
            if (!mobile.isEmpty())
                ClickChild(dialler, QStringLiteral("Option1_1"));
            SetChildText(dialler, QStringLiteral("Text1_0"), home);
            if (!home.isEmpty())
                ClickChild(dialler, QStringLiteral("Option1_0"));
        } catch (const db::Error& e) {
            ReportError(e);
            continue;
        }
        ui::ShowModal(QStringLiteral("Form11"));
    }
}

void Form22::SelectTypedAddresses()
{
    if (Text1->text().isEmpty())
        return;
    SelectingRows = true;
    QList<QVariantList> fields;
    try {
        if (PersonRs.isOpen())
            fields = PersonRs.readColumns({QStringLiteral("Eメール"), QStringLiteral("携帯Eメール")});
    } catch (const db::Error& e) {
        ReportError(e);
        SelectingRows = false;
        return;
    }
    const auto holds = [](const QVariant& field, const QString& piece) {
        return !field.isNull() && field.isValid() && field.toString().contains(piece, Qt::CaseSensitive);
    };
    const QString separator = AddressSeparator.isEmpty() ? QStringLiteral(",") : AddressSeparator;
    for (const QString& piece : mail::TypedAddressPieces(Text2->text(), separator.front())) {
        int found = -1;
        for (qsizetype k = 0; k < fields.size(); ++k) {
            const QVariantList& row = fields[k];
            if (row.size() == 2 && (holds(row[0], piece) || holds(row[1], piece))) {
                found = int(k);
                break;
            }
        }
        if (found >= 0) {
            setRecordRowSelected(found, true);
            continue;
        }
        if (ui::dialogs().question(piece + QStringLiteral(" 住所録に登録されていません　処理を継続しますか？"))
            == ui::Answer::No)
            break;
    }
    SelectingRows = false;
}
