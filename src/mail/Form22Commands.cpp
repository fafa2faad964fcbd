// The commands of the mail window's receive tab: fetch again, reply, delete into the trash,
// register the senders, the received-mail CSV list, the stored download default, the
// attachments, and closing the window.

#include "mail/Form22.h"

#include "mail/AttachmentSafety.h"
#include "mail/ReceivedMailCsv.h"
#include "mail/SenderRegistration.h"
#include "platform/db/Error.h"
#include "platform/shell/Opener.h"
#include "platform/ui/Dialogs.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>

using namespace Module1;

namespace {

void Report(const mailclient::MailError& e)
{
    ui::dialogs().message(e.text(), {}, ui::Icon::Exclamation);
}

QString WithoutSmtpPrefix(const QString& address)
{
    return address.startsWith(QLatin1String("SMTP:")) ? address.mid(5) : address;
}

} // namespace

void Form22::Command2_Click(int index)
{
    // A failure the commands do not report themselves is shown, and the window goes on.
    Guarded([this, index] { RunCommand2(index); });
}

void Form22::RunCommand2(int index)
{
    switch (index) {
    case 0:
        Refetch();
        break;
    case 1:
        ReplyToSelected();
        break;
    case 3:
        DeleteSelectedMail();
        break;
    case 4:
        RegisterSendersCommand();
        break;
    case 5:
        ExportReceivedMailCommand();
        break;
    case 6:
        StoreDownloadDefault();
        break;
    case 7:
        OpenAttachments();
        break;
    case 9:
        ClearSignOnFlag();
        ui::WindowRegistry::instance().unload(QStringLiteral("Form22"));
        break;
    default:  // 2 "転送" does nothing
        break;
    }
}

qint32 Form22::SelectedMessage() const
{
    const QModelIndex current = List3->currentIndex();
    if (!current.isValid() || !List3->selectionModel()->isSelected(current))
        return -1;
    const int row = current.row();
    if (row < 0 || row >= List3Model->rowCount() || size_t(row) >= RowToMessage.size())
        return -1;
    const qint32 m = RowToMessage[size_t(row)];
    return m >= 0 && m < MAPIMessages1.MsgCount() ? m : -1;
}

void Form22::Refetch()
{
    try {
        MAPISession1.SignOff();
        MAPISession1.setDownLoadMail(false);
        MAPISession1.SignOn();
    } catch (const mailclient::MailError& e) {
        // The list keeps the last fetch; it stays readable without a session.
        Report(e);
        return;
    }
    FetchInbox();
}

void Form22::ReplyToSelected()
{
    const qint32 m = SelectedMessage();
    if (m < 0)
        return;
    QString name, address, subject, body;
    try {
        MAPIMessages1.setSessionID(MAPISession1.SessionID());
        MAPIMessages1.setMsgIndex(m);
        name = MAPIMessages1.MsgOrigDisplayName();
        address = WithoutSmtpPrefix(MAPIMessages1.MsgOrigAddress());
        subject = MAPIMessages1.MsgSubject();
        body = MAPIMessages1.MsgNoteText();
    } catch (const mailclient::MailError& e) {
        // Half a reply would be worse than none: the boxes keep what they hold.
        Report(e);
        return;
    }
    Text1->setText(name);
    Text2->setText(address);
    Text4->setText(QStringLiteral("RE:") + subject);
    Text5->setPlainText(QStringLiteral("＞") + mail::BreakLongLines(body));
    Option1[2]->setChecked(true);
}

void Form22::DeleteSelectedMail()
{
    const qint32 m = SelectedMessage();
    if (m < 0)
        return;
    try {
        MAPIMessages1.setSessionID(MAPISession1.SessionID());
        MAPIMessages1.setMsgIndex(m);
        // The list is not renumbered until the next fetch, so its row still shows a message
        // that is already in the trash.
        if (MAPIMessages1.MsgDeleted()) {
            ui::dialogs().message(QStringLiteral("選択したメールは既に削除されています"), QStringLiteral("削除"),
                                  ui::Icon::Exclamation);
            return;
        }
        MAPIMessages1.Delete();
        MAPIMessages1.Send(true);
    } catch (const mailclient::MailError& e) {
        Report(e);
    }
}

void Form22::RegisterSendersCommand()
{
    if (mail::RegisterSenders(WindowDb, WindowDbFile, Senders))
        ReopenRecordList();
    else
        FillRecordList();
}

void Form22::ExportReceivedMailCommand()
{
    mail::ReceivedMailFilter filter;
    switch (ChosenFilter()) {
    case 1:
        filter.kind = mail::MailFilterKind::Sender;
        break;
    case 2:
        filter.kind = mail::MailFilterKind::Subject;
        break;
    case 3:
        filter.kind = mail::MailFilterKind::Registered;
        break;
    default:
        filter.kind = mail::MailFilterKind::All;
        break;
    }
    filter.sender = SenderFilter;
    filter.subject = SubjectFilter;
    MAPIMessages1.setSessionID(MAPISession1.SessionID());
    const qint32 chosen = MAPIMessages1.MsgIndex();
    mail::RunReceivedMailCsv(MAPIMessages1, filter, WindowDbFile);
    // The list and its preview go on with the message they had chosen.
    MAPIMessages1.setMsgIndex(chosen);
}

void Form22::StoreDownloadDefault()
{
    try {
        CommonSettingsRs.edit();
        CommonSettingsRs.setValue(QStringLiteral("ダウンロード"), Check1->isChecked());
        CommonSettingsRs.update();
    } catch (const db::Error& e) {
        if (CommonSettingsRs.isOpen() && CommonSettingsRs.editMode() != db::EditMode::None)
            CommonSettingsRs.cancelUpdate();
        ReportError(e);
    }
}

bool Form22::ShellEx(const QString& file, QString* error, desktop::Outcome outcome)
{
    return desktop::opener().openFile(file, error, std::move(outcome));
}

void Form22::OpenAttachments()
{
    const qint32 m = SelectedMessage();
    if (m < 0)
        return;
    qint32 count = 0;
    try {
        MAPIMessages1.setMsgIndex(m);
        count = MAPIMessages1.AttachmentCount();
    } catch (const mailclient::MailError& e) {
        Report(e);
        return;
    }
    // Many programs started at once can swamp the desktop: a large number is asked first.
    constexpr qint32 kAskAbove = 20;
    if (count > kAskAbove
        && ui::dialogs().question(QString::number(count) + QStringLiteral(" 個の添付ファイルを開きます　よろしいですか？"),
                                  QStringLiteral("添付ファイルを開く"))
               != ui::Answer::Yes)
        return;
    // One box for the files not opened: refused here, or failed when the desktop's program ended
    // (no program for the file's type).
    desktop::HandOverReport report([](const QList<desktop::Failure>& failures) {
        // A long list would outgrow the screen: the first ones are named, the rest counted.
        constexpr qsizetype kNamed = 20;
        QStringList problems;
        for (const desktop::Failure& f : failures.mid(0, kNamed))
            problems << f.what + QStringLiteral("：") + f.reason;
        QString text = QStringLiteral("開けなかった添付ファイルがあります") + u'\n' + problems.join(u'\n');
        if (failures.size() > kNamed)
            text += QStringLiteral("\nほか ") + QString::number(failures.size() - kNamed) + QStringLiteral(" 件");
        ui::dialogs().message(text, QStringLiteral("添付ファイルを開く"), ui::Icon::Exclamation);
    });
    for (qint32 j = 0; j < count; ++j) {
        QString name;
        try {
            MAPIMessages1.setAttachmentIndex(j);
            name = MAPIMessages1.AttachmentName();
            // Saved into the program's own folder, readable by the user alone; the name comes
            // from the mail but never leads out of that folder.
            const QString path = MAPIMessages1.SaveAttachment();
            name = QFileInfo(path).fileName();
            const QString unsafe = mail::UnsafeAttachmentReason(path);
            if (!unsafe.isEmpty()) {
                report.refused(name, unsafe + QStringLiteral("（開きません）"));
                continue;
            }
            QString error;
            const desktop::Outcome outcome = report.outcome(name);
            if (!ShellEx(path, &error, outcome))
                outcome(error);
        } catch (const mailclient::MailError& e) {
            report.refused(name.isEmpty() ? QStringLiteral("添付ファイル %1").arg(j + 1) : name, e.description());
        }
    }
    report.finish();
}
