// The mail window's send tab: the recipient boxes built from the address book, the separator
// switch, the send and attachment commands, and the stored mails ("定型メール").

#include "mail/Form22.h"

#include "mail/SenderRegistration.h"
#include "platform/db/Error.h"
#include "platform/ui/Dialogs.h"
#include "records/RecordListModel.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <vector>

using namespace Module1;

QChar Form22::Separator() const
{
    // The load's own fetch builds the boxes before the separator is taken from the option.
    if (!AddressSeparator.isEmpty())
        return AddressSeparator.front();
    return Option9[0]->isChecked() ? u';' : u',';
}

mail::RecipientOptions Form22::ChosenRecipientOptions() const
{
    mail::RecipientOptions o;
    o.target = mail::Target(ChosenIndex(Option1.data(), 3));
    o.kind = mail::AddressKind(ChosenIndex(Option2.data(), 3));
    o.mobileWhenNoInternet = Check2->isChecked();
    o.separator = Separator();
    return o;
}

bool Form22::PersonRsEmpty() const
{
    return !PersonRs.isOpen() || PersonRs.recordCount() == 0;
}

mail::RecipientTexts Form22::RecipientsFromBook(const mail::RecipientOptions& options) const
{
    const QList<int> rows = selectedRecordRows();
    if (options.target == mail::Target::Selected) {
        // Only the selected records are read, run by run: a click in a large book stays quick.
        QList<mail::RecipientRecord> records;
        for (qsizetype i = 0; i < rows.size();) {
            qsizetype j = i + 1;
            while (j < rows.size() && rows[j] == rows[j - 1] + 1)
                ++j;
            for (const QVariantList& v : PersonRs.readColumns(mail::RecipientFields, rows[i], int(j - i)))
                records << (v.size() == 4 ? mail::RecipientRecord{v[0], v[1], v[2], v[3]} : mail::RecipientRecord{});
            i = j;
        }
        return mail::BuildRecipients(records, [](int) { return true; }, options);
    }
    std::vector<char> selected(size_t(std::max(0, List1Model->rowCount())), 0);
    for (const int k : rows)
        if (k >= 0 && size_t(k) < selected.size())
            selected[size_t(k)] = 1;
    return mail::BuildRecipients(
        PersonRs, [&selected](int k) { return k >= 0 && size_t(k) < selected.size() && selected[size_t(k)] != 0; },
        options);
}

void Form22::RegisterSendersOfEmptyBook()
{
    // Asked once per load; the records go to the book the window was loaded with.
    if (!mail::RegisterSendersIntoEmptyBook(WindowDb, WindowDbFile, Senders, AskedToRegisterSenders))
        return;
    ReopenRecordList();
}

void Form22::BuildRecipients()
{
    if (Option1[2]->isChecked())
        return;
    try {
        if (PersonRsEmpty())
            RegisterSendersOfEmptyBook();
        // setText, not clear(): clearing keeps an undo step per character of the old text.
        Text1->setText(QString());
        Text2->setText(QString());
        if (PersonRsEmpty())
            return;
        const mail::RecipientTexts t = RecipientsFromBook(ChosenRecipientOptions());
        Text1->setText(t.names);
        Text2->setText(t.addresses);
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form22::List1_Click()
{
    if (!SelectingRows)
        BuildRecipients();
}

void Form22::Option1_Click(int index)
{
    if (index != 2)
        BuildRecipients();
}

void Form22::Option2_Click(int)
{
    if (!Loading)
        BuildRecipients();
}

void Form22::Option9_Click(int index)
{
    if (Loading)
        return;
    const QChar to = index == 1 ? u',' : u';';
    const QChar from = index == 1 ? u';' : u',';
    const mail::RecipientTexts t = mail::ConvertSeparator({Text1->text(), Text2->text()}, from, to);
    Text1->setText(t.names);
    Text2->setText(t.addresses);
    AddressSeparator = QString(to);
}

QStringList Form22::AttachmentRows() const
{
    QStringList rows;
    rows.reserve(List2->count());
    for (int i = 0; i < List2->count(); ++i)
        rows << List2->item(i)->text();
    return rows;
}

mail::ComposeState Form22::ComposeBoxes() const
{
    mail::ComposeState s;
    s.names = Text1->text();
    s.addresses = Text2->text();
    s.separator = Separator();
    s.cc = Text3->text();
    s.subject = Text4->text();
    s.body = Text5->toPlainText();
    s.attachments = AttachmentRows();
    s.salutation = Option7[0]->isChecked();
    s.honorific = ChosenIndex(Option8.data(), 3);
    return s;
}

void Form22::Command1_Click(int index)
{
    // A failure the commands do not report themselves is shown, and the window goes on.
    Guarded([this, index] { RunCommand1(index); });
}

void Form22::RunCommand1(int index)
{
    switch (index) {
    case 0:
        // One message per address; the boxes are read, never changed, so they keep the full texts.
        mail::RunSendCommand(MAPIMessages1, MAPISession1.SessionID(), ComposeBoxes());
        break;
    case 1: {
        QStringList rows = AttachmentRows();
        if (mail::BrowseAttachment(rows))
            List2->addItem(rows.last());
        break;
    }
    case 2:
        if (!List2->selectedItems().isEmpty() && List2->currentRow() >= 0)
            delete List2->takeItem(List2->currentRow());
        break;
    case 3:
        List2->clear();
        break;
    case 4: {
        QString cc = Text3->text();
        mail::CopyAddressesToCc(Text2->text(), cc);
        Text3->setText(cc);
        break;
    }
    case 5:
        ShowTemplate();
        break;
    case 6:
        RegisterTemplate();
        break;
    case 7:
        UpdateTemplate();
        break;
    case 8:
        DeleteTemplate();
        break;
    default:
        break;
    }
}

void Form22::FillTemplateList(int item)
{
    List4->clear();
    if (!Templates)
        return;
    try {
        Templates->Fill();
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    List4->addItems(Templates->subjects());
    if (item > 0 && item <= List4->count())
        List4->setCurrentRow(item - 1);
    else
        List4->setCurrentRow(-1);
}

int Form22::SelectedTemplateLine() const
{
    const QModelIndexList rows = List4->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

mail::TemplateContent Form22::TemplateArea() const
{
    mail::TemplateContent a;
    a.names = Text1->text();
    a.addresses = Text2->text();
    a.cc = Text3->text();
    a.subject = Text4->text();
    a.body = Text5->toPlainText();
    a.attachments = AttachmentRows();
    a.target = ChosenIndex(Option1.data(), 3);
    a.kind = ChosenIndex(Option2.data(), 3);
    a.salutation = ChosenIndex(Option7.data(), 2);
    a.honorific = ChosenIndex(Option8.data(), 3);
    return a;
}

void Form22::ShowTemplate()
{
    const int line = SelectedTemplateLine();
    if (!Templates || line < 0)
        return;
    const mail::TemplateShowPart part = Option10[1]->isChecked()   ? mail::TemplateShowPart::Names
                                        : Option10[2]->isChecked() ? mail::TemplateShowPart::SubjectBody
                                                                   : mail::TemplateShowPart::All;
    mail::TemplateContent area = TemplateArea();
    area.target = area.kind = area.salutation = area.honorific = -1;
    if (!Templates->Show(line, part, area))
        return;
    if (part != mail::TemplateShowPart::SubjectBody) {
        Text1->setText(area.names);
        Text2->setText(area.addresses);
        Text3->setText(area.cc);
    }
    if (part != mail::TemplateShowPart::Names) {
        Text4->setText(area.subject);
        Text5->setPlainText(area.body);
        List2->clear();
        List2->addItems(area.attachments);
    }
    // The option groups follow the template without rebuilding anything, except that a new
    // target is applied last and builds the boxes as a click on it would, with the template's
    // address kind already chosen, so that the boxes agree with the options shown.
    Loading = true;
    if (area.kind >= 0)
        Option2[size_t(area.kind)]->setChecked(true);
    if (area.salutation >= 0)
        Option7[size_t(area.salutation)]->setChecked(true);
    if (area.honorific >= 0)
        Option8[size_t(area.honorific)]->setChecked(true);
    if (area.target >= 0)
        Option1[size_t(area.target)]->setChecked(true);
    Loading = false;
}

void Form22::RegisterTemplate()
{
    if (!Templates)
        return;
    const int line = Templates->Register(TemplateArea());
    if (line >= 0)
        FillTemplateList(line + 1);
}

void Form22::UpdateTemplate()
{
    if (!Templates)
        return;
    const int line = SelectedTemplateLine();
    if (Templates->Update(line, TemplateArea()))
        FillTemplateList(line + 1);
}

void Form22::DeleteTemplate()
{
    const int line = SelectedTemplateLine();
    if (!Templates || line < 0)
        return;
    if (Templates->Delete(line))
        FillTemplateList(0);
}
