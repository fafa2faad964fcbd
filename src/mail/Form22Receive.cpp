// The mail window's receive tab: fetching the Maildir, the received-mail list with its four
// filters, the stepper, the preview and the sender list.

#include "mail/Form22.h"

#include "mail/ListHeadings.h"

#include "platform/db/Error.h"
#include "platform/ui/Dialogs.h"
#include "shell/Module1.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringListModel>

using namespace Module1;

namespace {

void Report(const mailclient::MailError& e)
{
    ui::dialogs().message(e.text(), {}, ui::Icon::Exclamation);
}

} // namespace

int Form22::ChosenFilter() const
{
    return ChosenIndex(Option4.data(), 4);
}

void Form22::FetchInbox()
{
    MAPIMessages1.setSessionID(MAPISession1.SessionID());
    MAPIMessages1.setFetchSorted(Option5[0]->isChecked());
    try {
        MAPIMessages1.Fetch();
    } catch (const mailclient::MailError& e) {
        Report(e);
    }
    MakeMessageParts();
    FillReceivedMailList();
    // An empty list previews nothing: message 0 would not be one of its rows.
    if (List3Model->rowCount() > 0)
        ShowReceivedMail(0);
    BuildSenderList();
    BuildRecipients();
}

void Form22::MakeMessageParts()
{
    Fetched.clear();
    BodyReported = false;
    const qint32 count = MAPIMessages1.inbox() ? MAPIMessages1.MsgCount() : 0;
    Fetched.reserve(size_t(count));
    bool reported = false;  // one box per fetch, not one per unreadable message
    for (qint32 m = 0; m < count; ++m) {
        FetchedMessage f;
        try {
            MAPIMessages1.setMsgIndex(m);
            f.dateText = MAPIMessages1.MsgDateReceived();
            f.displayName = MAPIMessages1.MsgOrigDisplayName();
            f.rawAddress = MAPIMessages1.MsgOrigAddress();
            f.subject = MAPIMessages1.MsgSubject();
            const bool read = MAPIMessages1.MsgRead();
            const qint32 attachments = MAPIMessages1.AttachmentCount();
            f.parts = mail::MakeReceivedMailParts(f.dateText, read, attachments, f.displayName, f.subject, {},
                                                  f.rawAddress);
        } catch (const mailclient::MailError& e) {
            if (!reported)
                Report(e);
            reported = true;
            f.parts = mail::MakeReceivedMailParts({}, true, 0, {}, {}, {}, {});
            f.bodyRead = true;
        }
        Fetched.push_back(std::move(f));
    }
    MAPIMessages1.setMsgIndex(0);
}

QString Form22::ReadBody(qint32 m, bool* cut, mail::WithheldBody* withheld)
{
    *cut = false;
    *withheld = mail::WithheldBody::None;
    try {
        MAPIMessages1.setMsgIndex(m);
        if (MAPIMessages1.MsgTooLarge())
            *withheld = mail::WithheldBody::TooLarge;
        else if (MAPIMessages1.MsgTooComplex())
            *withheld = mail::WithheldBody::TooComplex;
        else if (MAPIMessages1.MsgUnreadable())
            *withheld = mail::WithheldBody::Unreadable;
        if (*withheld != mail::WithheldBody::None)
            return {};
        QString body = MAPIMessages1.MsgNoteText();
        // A body whose reading passed the reader's bounds leaves the message too complex.
        if (MAPIMessages1.MsgTooComplex()) {
            *withheld = mail::WithheldBody::TooComplex;
            return {};
        }
        *cut = MAPIMessages1.MsgNoteTextCut();
        return body;
    } catch (const mailclient::MailError& e) {
        // One box per fetch, not one per unreadable message.
        if (!BodyReported)
            Report(e);
        BodyReported = true;
        return {};
    }
}

const QString& Form22::BodyPart(qint32 m)
{
    FetchedMessage& f = Fetched[size_t(m)];
    if (!f.bodyRead) {
        f.bodyRead = true;
        bool cut = false;
        mail::WithheldBody withheld = mail::WithheldBody::None;
        f.parts.body = mail::BodyPreview(ReadBody(m, &cut, &withheld));
    }
    return f.parts.body;
}

mail::AddressBookIndex Form22::ReadAddressBookIndex() const
{
    if (!PersonRs.isOpen())
        return {};
    try {
        mail::AddressBookIndex index(PersonRs.readColumns({QStringLiteral("Eメール"), QStringLiteral("携帯Eメール")}));
        QStringList addresses;
        addresses.reserve(qsizetype(Fetched.size()));
        for (const FetchedMessage& f : Fetched)
            addresses << f.parts.address;
        addresses.removeDuplicates();
        index.prepare(addresses);
        return index;
    } catch (const db::Error& e) {
        ReportError(e);
        return {};
    }
}

void Form22::FillReceivedMailList()
{
    const int filter = ChosenFilter();
    const qint32 count = qint32(Fetched.size());
    RowToMessage.assign(size_t(count) + 1, 0);
    mail::AddressBookIndex book;
    if (filter == 3)
        book = ReadAddressBookIndex();

    qint32 rows = 0;
    for (qint32 m = 0; m < count; ++m) {
        const FetchedMessage& f = Fetched[size_t(m)];
        bool listed = true;
        switch (filter) {
        case 1:
            listed = f.rawAddress == SenderFilter;
            break;
        case 2:
            listed = f.subject.contains(SubjectFilter, Qt::CaseInsensitive);
            break;
        case 3:
            listed = book.contains(f.parts.address);
            break;
        default:
            break;
        }
        if (!listed)
            continue;
        RowToMessage[size_t(rows)] = m;
        ++rows;
    }
    const bool subjectFilter = filter == 2;
    // The subject and body columns start one cell further left without the space.
    const mail::ReceivedMailColumnStarts at = mail::ReceivedMailColumns(subjectFilter);
    ReceivedHeadings->setColumn(Label2[2], at.subject);
    ReceivedHeadings->setColumn(Label2[3], at.body);
    List3Model->fill(rows, [this, subjectFilter](int row) {
        const qint32 m = RowToMessage[size_t(row)];
        BodyPart(m);
        return mail::ReceivedMailLine(Fetched[size_t(m)].parts, subjectFilter);
    });
    Label2[12]->setText(QString::number(rows) + QStringLiteral(" 件"));
    if (rows > 0) {
        setList3Index(0);
    } else if (filter == 0) {
        ClearPreview();
    }
    HScroll1->setRange(0, std::max(0, rows - 1));
}

void Form22::ClearPreview()
{
    for (QLineEdit* box : Text7)
        box->clear();
    Text6->clear();
}

void Form22::ShowReceivedMail(int row)
{
    MAPIMessages1.setSessionID(MAPISession1.SessionID());
    ClearPreview();
    if (row < 0 || row >= List3Model->rowCount() || size_t(row) >= RowToMessage.size())
        return;
    const qint32 m = RowToMessage[size_t(row)];
    if (m < 0 || size_t(m) >= Fetched.size())
        return;
    MAPIMessages1.setMsgIndex(m);
    const FetchedMessage& f = Fetched[size_t(m)];
    MAPIMessages1.setMsgIndex(m);
    Text7[0]->setText(mail::FormatReceivedDate(mail::ReceivedDate(f.dateText)));
    Text7[1]->setText(f.displayName);
    Text7[2]->setText(f.parts.address);
    Text7[3]->setText(f.subject);
    bool cut = false;
    mail::WithheldBody withheld = mail::WithheldBody::None;
    const QString body = ReadBody(m, &cut, &withheld);
    Text6->setPlainText(mail::PreviewText(body, cut, withheld));
}

int Form22::list3Index() const
{
    const QModelIndex current = List3->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Form22::setList3Index(int row)
{
    const QModelIndex index = List3Model->index(row, 0);
    List3->setCurrentIndex(index);
    // In view now, or once the list is shown at its final size.
    mail::ShowCurrentRow(List3);
}

int Form22::list5Index() const
{
    const QModelIndex current = List5->currentIndex();
    return current.isValid() && List5->selectionModel()->isSelected(current) ? current.row() : -1;
}

void Form22::List3_Click()
{
    const int row = list3Index();
    if (row < 0)
        return;
    SyncingScroll = true;
    ShowReceivedMail(row);
    HScroll1->setValue(row);
    SyncingScroll = false;
}

void Form22::HScroll1_Change()
{
    if (list3Index() < 0 || SyncingScroll)
        return;
    const int last = List3Model->rowCount() - 1;
    const auto select = [&](int row) { setList3Index(std::clamp(row, 0, std::max(0, last))); };
    const int v = HScroll1->value();
    if (v == 0) {
        select(0);
    } else if (v == HScroll1->maximum()) {
        select(HScroll1->maximum());
    } else {
        if (LastScrollValue < HScroll1->value())
            select(list3Index() + 1);
        if (LastScrollValue > HScroll1->value())
            select(list3Index() - 1);
    }
    LastScrollValue = HScroll1->value();
}

void Form22::Option4_Click(int index)
{
    switch (index) {
    case 0:
    case 3:
        FillReceivedMailList();
        BuildSenderList();
        break;
    case 1: {
        const int row = list5Index();
        if (row >= 0 && row < Senders.size()) {
            SenderFilter = Senders[row].SenderAddress;
            FillReceivedMailList();
        } else {
            SenderFilter = Text7[2]->text();
            FillReceivedMailList();
            LastScrollValue = 0;
        }
        break;
    }
    case 2: {
        QString subject = Text7[3]->text();
        if (subject.isEmpty())
            break;
        while (subject.endsWith(u' '))
            subject.chop(1);
        SubjectFilter = subject;
        FillReceivedMailList();
        break;
    }
    default:
        break;
    }
}

void Form22::List5_Click()
{
    const int row = list5Index();
    if (!Option4[1]->isChecked() || row < 0 || row >= Senders.size())
        return;
    SenderFilter = Senders[row].SenderAddress;
    FillReceivedMailList();
}

void Form22::Text7_LostFocus(int)
{
    if (Option4[2]->isChecked())
        Option4_Click(2);
}

void Form22::Option5_Click(int)
{
    FetchInbox();
}

void Form22::Check1_Click()
{
    FillReceivedMailList();
}

void Form22::BuildSenderList()
{
    MAPIMessages1.setSessionID(MAPISession1.SessionID());
    QList<mail::SenderMessage> messages;
    messages.reserve(qsizetype(Fetched.size()));
    for (const FetchedMessage& f : Fetched)
        messages << mail::SenderMessage{f.dateText, f.displayName, f.rawAddress};
    std::function<bool(int)> counts;
    mail::AddressBookIndex book;
    if (ChosenFilter() == 3) {
        book = ReadAddressBookIndex();
        counts = [&](int m) { return book.contains(Fetched[size_t(m)].parts.address); };
    }
    Senders = mail::BuildSenders(messages, counts);
    QStringList lines;
    lines.reserve(Senders.size());
    for (qsizetype k = 0; k < Senders.size(); ++k)
        lines << mail::SenderLine(int(k), Senders[k]);
    List5Model->setStringList(lines);
}
