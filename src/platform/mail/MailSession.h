#pragma once
// The mail client as the mail window calls it: a session control (MailSession) and a messages
// control (MailMessages), with the members the window sets, calls and reads.
//
// Session: SignOn finds the user's Maildir ($MAILDIR, else ~/Maildir, holding cur, new and tmp)
// and gives the session an id; SignOff ends it. Nothing in the Maildir is created or changed.
//
// Messages, bound to a session by setSessionID:
//  - Fetch takes a snapshot of the inbox (new and cur). It stays as it is until the next Fetch:
//    MsgIndex 0 … MsgCount()-1 choose the messages in the fetch order (received date, then file
//    name, with FetchSorted true, mail without a date first; cur then new by file name
//    otherwise). Nothing is ever renumbered: a deleted message keeps its index, marked deleted
//    (MsgDeleted).
//  - Every message is read within bounds (MailCore.h): a file too large is read for its headers
//    only (MsgTooLarge), and so is a message of too many MIME parts or levels (MsgTooComplex);
//    a body text is cut at 1 MB (MsgNoteTextCut); a file that cannot be read as a message
//    within them is listed with empty headers (MsgUnreadable). Message files are read in reader
//    processes held to a memory and a time limit (MailReaderProcess.h); a message that takes
//    its reader past them is listed by its headers only (MsgTooComplex), also when that happens
//    while its body is read.
//  - Headers, flags and attachment lists were read at the fetch and stay readable whatever
//    happens to the files. The body (MsgNoteText) is read from the message's file when first
//    asked (and then kept), attachments when saved; the file is found again by its unique name
//    in new or cur, and when it is gone the read throws an error naming it.
//  - Opening an attachment: choose it (setAttachmentIndex), call SaveAttachment, open the path
//    it returns. AttachmentPathName alone (the CSV list) writes nothing.
//  - Delete moves the chosen message's file into the Maildir's .Trash/cur (never unlinks it);
//    deleting it again is refused.
//  - Compose, the Msg/Recip/Attachment setters and Send(false) build a message and pipe it to
//    sendmail (see transport()). The recipient texts are checked first: each is split at ";" and
//    ",", and every part must be a plain address; the To text must hold one.
//  - Send(true) ("with the client's dialog") opens the desktop's compose window for a message
//    being composed; with no message being composed (as after Delete) it does nothing.
//
// Every failure throws MailError; the window shows text() ("number\ndescription"). Numbers:
// 32003 no usable Maildir at sign-on, 32018 the bound session is not open, 32016 no message at
// the index or its file is gone, 32021 already deleted, 32024 a recipient part is not a plain
// address, 32057 no To address, 32010/32011 an attachment to send is missing or unreadable,
// 32012 a received attachment cannot be written, 32002 any other failure (sendmail's exit
// status and first error lines, its time limit, a file that cannot be read or moved).

#include "platform/mail/MailCore.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>

namespace mailclient {

class MailError : public std::exception {
public:
    MailError(int number, QString description);
    explicit MailError(const mailcore::MailError& e);
    int number() const { return number_; }
    const QString& description() const { return description_; }
    // "number\ndescription"
    QString text() const { return QString::number(number_) + QLatin1Char('\n') + description_; }
    const char* what() const noexcept override { return what_.constData(); }

private:
    int number_;
    QString description_;
    QByteArray what_;
};

class MailSession {
public:
    MailSession() = default;
    ~MailSession();
    MailSession(const MailSession&) = delete;
    MailSession& operator=(const MailSession&) = delete;

    // No dialog is ever shown and nothing is downloaded (the Maildir is read as it is): the
    // window sets these, they change nothing.
    void setLogonUI(bool value) { logonUI_ = value; }
    void setDownLoadMail(bool value) { downLoadMail_ = value; }

    // Opens a session on the user's Maildir; a session already open is ended first.
    // Throws MailError 32003 when there is no usable Maildir.
    void SignOn();
    // Ends the session (nothing happens when none is open).
    void SignOff();
    // The id of the open session, 0 when none is open.
    qint32 SessionID() const { return id_; }
    QString maildir() const { return maildir_; }

private:
    qint32 id_ = 0;
    QString maildir_;
    bool logonUI_ = false;
    bool downLoadMail_ = false;
};

class MailMessages {
public:
    MailMessages();
    ~MailMessages();
    MailMessages(const MailMessages&) = delete;
    MailMessages& operator=(const MailMessages&) = delete;

    // Binds the control to a session (MailSession::SessionID). Fetch, Delete and Send(false)
    // need that session to be open (else MailError 32018); reading a fetched message does not.
    void setSessionID(qint32 id) { sessionId_ = id; }
    qint32 SessionID() const { return sessionId_; }

    // ---- Received mail ----
    void setFetchSorted(bool sorted) { fetchSorted_ = sorted; }
    // Replaces the snapshot with the inbox as it is now; MsgIndex becomes 0.
    void Fetch();
    qint32 MsgCount() const;
    // Chooses the message read or deleted next (0 … MsgCount()-1); -1 is the message being
    // composed. An index without a message throws when a property is read.
    void setMsgIndex(qint32 index) { msgIndex_ = index; }
    qint32 MsgIndex() const { return msgIndex_; }

    // Properties of the chosen fetched message (MsgSubject and MsgNoteText of the composed one
    // at MsgIndex -1). Header texts hold no control characters.
    QString MsgDateReceived() const;   // "yyyy/mm/dd hh:mm" local time, "" when the mail has no date
    bool MsgRead() const;              // the "S" flag of its file name
    QString MsgOrigDisplayName() const;
    QString MsgOrigAddress() const;    // the plain address, never with "SMTP:"
    QString MsgSubject() const;
    QString MsgNoteText() const;       // line breaks LF; throws when the file is gone
    // MsgNoteText holds only the start of a longer body (mailcore::kMaxBodyTextBytes of it).
    bool MsgNoteTextCut() const;
    // The message's file was too large to read more than its headers: it has no body text and
    // offers no attachments.
    bool MsgTooLarge() const;
    // The message holds more MIME parts, or nests them deeper, than is read: as MsgTooLarge.
    bool MsgTooComplex() const;
    // The file could not be read as a message: listed without headers, date or body.
    bool MsgUnreadable() const;
    bool MsgDeleted() const;           // deleted through this snapshot
    qint32 AttachmentCount() const;

    // Chooses an attachment of the chosen message (0 … AttachmentCount()-1); while composing,
    // setting the next number adds an attachment.
    void setAttachmentIndex(qint32 index);
    qint32 AttachmentIndex() const { return attachmentIndex_; }
    // The decoded name of the chosen attachment as the mail gives it ("" when it names none).
    QString AttachmentName() const;
    // The file that holds the chosen attachment: <attachment folder>/<message>/<index>/<name>.
    // Only a path: the file is written by SaveAttachment, which the window calls before it opens
    // it. While composing: the path set by setAttachmentPathName.
    QString AttachmentPathName() const;
    // Writes the chosen attachment's file (folders 0700, file 0600) and returns its path.
    QString SaveAttachment();

    // Moves the chosen message into the Maildir's trash; its entry stays, marked deleted.
    void Delete();

    // ---- Composing ----
    void setAddressResolveUI(bool value) { addressResolveUI_ = value; }  // no dialog either way
    // Starts a new, empty outgoing message and chooses it (MsgIndex -1).
    void Compose();
    void setMsgSubject(const QString& text);
    void setMsgNoteText(const QString& text);
    // Setting the next number adds a recipient; the type (1 To, 2 CC), display name and address
    // then apply to it. Only the address is used: it is a recipient text, split at ";" and ",".
    void setRecipIndex(qint32 index);
    void setRecipType(int type);
    void setRecipDisplayName(const QString& name);
    void setRecipAddress(const QString& address);
    void setAttachmentPosition(qint32 position);
    void setAttachmentPathName(const QString& path);
    // dialog false: builds the composed message and hands it to transport(); the recipient
    // checks and a failing transport throw MailError, and nothing is sent then.
    // dialog true: see the top of this file.
    void Send(bool dialog);

    // The snapshot of the last fetch (nullptr before the first).
    const mailcore::Inbox* inbox() const { return inbox_.get(); }

private:
    struct Outgoing;
    const mailcore::MessageInfo& chosen() const;
    size_t chosenIndex() const;
    Outgoing& composing();
    struct Recipient;
    Recipient& currentRecipient();
    void requireSession() const;

    qint32 sessionId_ = 0;
    bool fetchSorted_ = true;
    bool addressResolveUI_ = false;
    qint32 msgIndex_ = 0;
    qint32 attachmentIndex_ = 0;
    std::unique_ptr<mailcore::Inbox> inbox_;
    std::unique_ptr<Outgoing> outgoing_;
};

// Where saved attachments go: by default the program's cache folder; tests point it elsewhere.
QString attachmentRoot();
void setAttachmentRoot(const QString& folder);  // "" restores the default

// Where Send(false) hands the built message: sendmail unless a test installed another.
mailcore::Transport& transport();
mailcore::Transport* setTransport(mailcore::Transport* transport);  // nullptr: sendmail again

class ScopedTransport {
public:
    explicit ScopedTransport(mailcore::Transport* t) : previous_(setTransport(t)) {}
    ~ScopedTransport() { setTransport(previous_); }
    ScopedTransport(const ScopedTransport&) = delete;
    ScopedTransport& operator=(const ScopedTransport&) = delete;

private:
    mailcore::Transport* previous_;
};

// A transport for tests: sends nothing, keeps each message's bytes; can be made to fail.
class RecordingTransport : public mailcore::Transport {
public:
    QList<QByteArray> messages;
    // When set, every send fails with this error and nothing is recorded.
    int failNumber = 0;
    QString failDescription;

    void send(const std::string& bytes) override;
    // Message i read back: recipients, subject, body, attachments.
    mailcore::SentMessage sent(int i) const;
};

} // namespace mailclient
