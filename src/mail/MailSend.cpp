// Sending the mail window's mail.

#include "mail/MailSend.h"

#include "mail/Recipients.h"
#include "platform/mail/MailSession.h"
#include "platform/ui/Dialogs.h"

#include <exception>

namespace mail {

namespace {
const QString kTitle = QStringLiteral("メール送信");
}

bool CheckBeforeSending(const ComposeState& s)
{
    ui::Dialogs& d = ui::dialogs();
    if (s.addresses.isEmpty()) {
        d.message(QStringLiteral("メールアドレスが入力されていません"), kTitle);
        return false;
    }
    if (s.subject.isEmpty() &&
        d.question(QStringLiteral("件名が入力されていません　続行しますか？"), kTitle, ui::Icon::None, ui::Buttons::YesNo) !=
            ui::Answer::Yes)
        return false;
    if (s.body.isEmpty() &&
        d.question(QStringLiteral("本文が入力されていません　続行しますか？"), kTitle, ui::Icon::None, ui::Buttons::YesNo) !=
            ui::Answer::Yes)
        return false;
    return true;
}

bool TransportUnavailable(const mailclient::MailError& e)
{
    // The attachments are the same in every message: one that is missing fails them all.
    if (e.number() == mailcore::InvalidSession || e.number() == mailcore::AttachmentNotFound
        || e.number() == mailcore::AttachmentOpenFailure)
        return true;
    // A mail program that cannot be started, or that hangs, would do the same for every message.
    return e.number() == mailcore::Failure
           && (e.description().startsWith(QStringLiteral("プログラムを起動できません"))
               || e.description().startsWith(QStringLiteral("プログラムが時間内に終わりませんでした")));
}

void SendOneMessage(mailclient::MailMessages& m, qint32 sessionId, const QString& name, const QString& address,
                    const ComposeState& s)
{
    m.setAddressResolveUI(false);
    m.setSessionID(sessionId);
    m.Compose();
    m.setMsgSubject(s.subject);
    m.setMsgNoteText(NoteText(name, s.salutation, s.honorific, s.body));
    m.setRecipType(1);
    m.setRecipIndex(0);
    m.setRecipDisplayName(address);
    m.setRecipAddress(address);
    if (!s.cc.isEmpty()) {
        m.setRecipIndex(1);
        m.setRecipType(2);
        m.setRecipAddress(s.cc);
        m.setRecipDisplayName(s.cc);
    }
    for (qint32 i = 0; i < s.attachments.size(); ++i) {
        m.setAttachmentIndex(i);
        m.setAttachmentPosition(i);
        m.setAttachmentPathName(s.attachments[i]);
    }
    m.Send(false);
}

SendResult SendMail(mailclient::MailMessages& m, qint32 sessionId, const ComposeState& s)
{
    SendResult r;
    const auto stop = [&r](const mailclient::MailError& e) {
        r.stopped = true;
        ui::dialogs().message(e.text() + QStringLiteral("\n\nメールを送信できないため中止しました。送信済み: %1 通").arg(r.sent),
                              {}, ui::Icon::Exclamation);
    };
    // The CC goes with every message: a refused one is told once, before anything is sent.
    if (!s.cc.isEmpty()) {
        try {
            mailcore::splitRecipients(s.cc.toStdString());
        } catch (const mailcore::MailError& e) {
            stop(mailclient::MailError(e));
            return r;
        }
    }
    for (const OutgoingMessage& one : PairIndividually(s.names, s.addresses, s.separator)) {
        try {
            SendOneMessage(m, sessionId, one.name, one.address, s);
            ++r.sent;
        } catch (const mailclient::MailError& e) {
            ++r.failed;
            if (TransportUnavailable(e)) {
                stop(e);
                break;
            }
            ui::dialogs().message(e.text(), {}, ui::Icon::Exclamation);
        } catch (const std::exception& e) {
            ++r.failed;
            ui::dialogs().message(QStringLiteral("0\n") + QString::fromUtf8(e.what()), {}, ui::Icon::Exclamation);
        }
    }
    return r;
}

bool RunSendCommand(mailclient::MailMessages& m, qint32 sessionId, const ComposeState& s, SendResult* result)
{
    if (!CheckBeforeSending(s))
        return false;
    const SendResult r = SendMail(m, sessionId, s);
    if (result)
        *result = r;
    return true;
}

bool BrowseAttachment(QStringList& attachments)
{
    ui::OpenFileOptions o;
    o.title = QStringLiteral("添付ファイル");
    o.filters = {{QStringLiteral("すべてのﾌｧｲﾙ (*.*)"), QStringLiteral("*")}};
    o.selectedFilter = 0;
    o.mustExist = true;
    const std::optional<QString> file = ui::dialogs().openFile(o);
    if (!file || file->isEmpty())
        return false;
    attachments.append(*file);
    return true;
}

void CopyAddressesToCc(const QString& addresses, QString& cc)
{
    if (!addresses.isEmpty())
        cc = addresses;
}

} // namespace mail
