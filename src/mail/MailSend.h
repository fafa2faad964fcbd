#pragma once
// Sending the mail window's mail: the checks of the send command, one message per address with
// its own salutation, CC and attachments, and the attachment list's commands. Window-free: the
// window passes what its boxes hold.

#include <QChar>
#include <QString>
#include <QStringList>

namespace mailclient {
class MailMessages;
class MailError;
}

namespace mail {

struct ComposeState {
    QString names;       // Text1
    QString addresses;   // Text2
    QChar separator = u';';
    QString cc;          // Text3
    QString subject;     // Text4
    QString body;        // Text5
    QStringList attachments;  // List2, in order
    bool salutation = false;  // Option7(0) "する"
    int honorific = 0;        // Option8 index
};

// The send command's checks and questions (title "メール送信"); true when sending may go on.
bool CheckBeforeSending(const ComposeState& state);

struct SendResult {
    int sent = 0;
    int failed = 0;          // messages refused, each reported in a box of its own
    bool stopped = false;    // the transport could not be started: the rest was not tried
};

// True for an error after which no further message can go either: no open session, an
// attachment missing or unreadable, or a mail program that could not be started or hung.
bool TransportUnavailable(const mailclient::MailError& error);

// Composes and sends one message to the address text; throws the mail client's MailError.
void SendOneMessage(mailclient::MailMessages& messages, qint32 sessionId, const QString& name,
                    const QString& address, const ComposeState& state);

// One message per address part, each with the name at its place (the last name repeated).
// A refused CC is told once and nothing is sent.
// A refused message gets one box (number, line break, description, exclamation icon) and the
// next address goes on; when the transport cannot be started the run ends after one box that
// tells how many messages were sent.
SendResult SendMail(mailclient::MailMessages& messages, qint32 sessionId, const ComposeState& state);

// "送信": the checks, then SendMail. False when a check stopped it.
bool RunSendCommand(mailclient::MailMessages& messages, qint32 sessionId, const ComposeState& state,
                    SendResult* result = nullptr);

// "参照": one existing file picked and appended; a cancelled dialog adds nothing.
bool BrowseAttachment(QStringList& attachments);

// "宛先をCCへコピー": the CC text replaced by the addresses when there are any.
void CopyAddressesToCc(const QString& addresses, QString& cc);

} // namespace mail
