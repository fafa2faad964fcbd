#include "platform/mail/MailSession.h"

#include "platform/mail/Composer.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>

namespace mailclient {
namespace {

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

// Open sessions by id, so that a messages control finds the Maildir of the session it is bound to.
QHash<qint32, QString>& openSessions()
{
    static QHash<qint32, QString> sessions;
    return sessions;
}
qint32 nextSessionId = 1;

QString& attachmentRootOverride()
{
    static QString root;
    return root;
}

mailcore::Transport* installedTransport = nullptr;

} // namespace

MailError::MailError(int number, QString description)
    : number_(number), description_(std::move(description)), what_(text().toUtf8())
{
}

MailError::MailError(const mailcore::MailError& e) : MailError(e.number(), QString::fromStdString(e.description())) {}

// ---- Session ----

MailSession::~MailSession()
{
    SignOff();
}

void MailSession::SignOn()
{
    SignOff();
    try {
        maildir_ = fromStd(mailcore::findMaildir());
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
    id_ = nextSessionId++;
    openSessions().insert(id_, maildir_);
}

void MailSession::SignOff()
{
    if (id_ != 0)
        openSessions().remove(id_);
    id_ = 0;
}

// ---- Messages ----

struct MailMessages::Recipient {
    int type = 1;  // 1 To, 2 CC
    QString name, address;
};

struct MailMessages::Outgoing {
    QString subject, noteText;
    QList<Recipient> recipients;
    qint32 recipIndex = -1;
    QStringList attachments;
    bool active = false;  // composed and not yet sent
};

MailMessages::MailMessages() = default;
MailMessages::~MailMessages() = default;

void MailMessages::requireSession() const
{
    if (!openSessions().contains(sessionId_))
        throw MailError(mailcore::InvalidSession, QStringLiteral("メールのセッションが開かれていません"));
}

void MailMessages::Fetch()
{
    requireSession();
    try {
        auto fresh = std::make_unique<mailcore::Inbox>(mailcore::Inbox::fetch(
            openSessions().value(sessionId_).toStdString(), fetchSorted_, attachmentRoot().toStdString()));
        inbox_ = std::move(fresh);
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
    msgIndex_ = 0;
    attachmentIndex_ = 0;
}

qint32 MailMessages::MsgCount() const
{
    return inbox_ ? static_cast<qint32>(inbox_->count()) : 0;
}

size_t MailMessages::chosenIndex() const
{
    if (!inbox_ || msgIndex_ < 0 || msgIndex_ >= MsgCount())
        throw MailError(mailcore::InvalidMessage, QStringLiteral("メールの番号が正しくありません: %1").arg(msgIndex_));
    return static_cast<size_t>(msgIndex_);
}

const mailcore::MessageInfo& MailMessages::chosen() const
{
    return inbox_->message(chosenIndex());
}

QString MailMessages::MsgDateReceived() const { return fromStd(chosen().dateReceived); }
bool MailMessages::MsgRead() const { return chosen().read; }
QString MailMessages::MsgOrigDisplayName() const { return fromStd(chosen().displayName); }
QString MailMessages::MsgOrigAddress() const { return fromStd(chosen().address); }

QString MailMessages::MsgSubject() const
{
    if (msgIndex_ == -1 && outgoing_)
        return outgoing_->subject;
    return fromStd(chosen().subject);
}

QString MailMessages::MsgNoteText() const
{
    if (msgIndex_ == -1 && outgoing_)
        return outgoing_->noteText;
    const size_t i = chosenIndex();
    try {
        return fromStd(inbox_->body(i));
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
}

bool MailMessages::MsgNoteTextCut() const
{
    if (msgIndex_ == -1 && outgoing_)
        return false;
    const size_t i = chosenIndex();
    try {
        return inbox_->bodyCut(i);
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
}

bool MailMessages::MsgTooLarge() const
{
    if (msgIndex_ == -1 && outgoing_)
        return false;
    return chosen().tooLarge;
}

bool MailMessages::MsgTooComplex() const
{
    if (msgIndex_ == -1 && outgoing_)
        return false;
    return chosen().tooComplex;
}

bool MailMessages::MsgUnreadable() const
{
    if (msgIndex_ == -1 && outgoing_)
        return false;
    return chosen().damaged;
}

bool MailMessages::MsgDeleted() const { return inbox_->deleted(chosenIndex()); }

qint32 MailMessages::AttachmentCount() const
{
    if (msgIndex_ == -1 && outgoing_)
        return static_cast<qint32>(outgoing_->attachments.size());
    return static_cast<qint32>(chosen().attachments.size());
}

void MailMessages::setAttachmentIndex(qint32 index)
{
    attachmentIndex_ = index;
    if (msgIndex_ == -1 && outgoing_ && index == outgoing_->attachments.size())
        outgoing_->attachments << QString();
}

QString MailMessages::AttachmentName() const
{
    const mailcore::MessageInfo& m = chosen();
    if (attachmentIndex_ < 0 || static_cast<size_t>(attachmentIndex_) >= m.attachments.size())
        throw MailError(mailcore::InvalidMessage, QStringLiteral("添付ファイルの番号が正しくありません: %1").arg(attachmentIndex_));
    return fromStd(m.attachments[static_cast<size_t>(attachmentIndex_)].name);
}

QString MailMessages::AttachmentPathName() const
{
    if (msgIndex_ == -1 && outgoing_) {
        if (attachmentIndex_ < 0 || attachmentIndex_ >= outgoing_->attachments.size())
            throw MailError(mailcore::InvalidMessage, QStringLiteral("添付ファイルの番号が正しくありません: %1").arg(attachmentIndex_));
        return outgoing_->attachments.at(attachmentIndex_);
    }
    const size_t i = chosenIndex();
    try {
        if (attachmentIndex_ < 0)
            throw mailcore::MailError(mailcore::InvalidMessage, "添付ファイルの番号が正しくありません: " + std::to_string(attachmentIndex_));
        return fromStd(inbox_->attachmentPath(i, static_cast<size_t>(attachmentIndex_)));
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
}

QString MailMessages::SaveAttachment()
{
    const size_t i = chosenIndex();
    if (attachmentIndex_ < 0)
        throw MailError(mailcore::InvalidMessage, QStringLiteral("添付ファイルの番号が正しくありません: %1").arg(attachmentIndex_));
    try {
        return fromStd(inbox_->saveAttachment(i, static_cast<size_t>(attachmentIndex_)));
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
}

void MailMessages::Delete()
{
    requireSession();
    const size_t i = chosenIndex();
    try {
        inbox_->remove(i);
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
    // Whatever was being composed is over: Send with its dialog now does nothing.
    if (outgoing_)
        outgoing_->active = false;
}

// ---- Composing ----

void MailMessages::Compose()
{
    outgoing_ = std::make_unique<Outgoing>();
    outgoing_->active = true;
    msgIndex_ = -1;
    attachmentIndex_ = -1;
}

MailMessages::Outgoing& MailMessages::composing()
{
    if (!outgoing_ || msgIndex_ != -1)
        throw MailError(mailcore::InvalidMessage, QStringLiteral("作成中のメールがありません"));
    return *outgoing_;
}

void MailMessages::setMsgSubject(const QString& text) { composing().subject = text; }
void MailMessages::setMsgNoteText(const QString& text) { composing().noteText = text; }

void MailMessages::setRecipIndex(qint32 index)
{
    Outgoing& o = composing();
    if (index < 0 || index > o.recipients.size())
        throw MailError(mailcore::InvalidRecips, QStringLiteral("宛先の番号が正しくありません: %1").arg(index));
    if (index == o.recipients.size())
        o.recipients.append(Recipient{});
    o.recipIndex = index;
}

MailMessages::Recipient& MailMessages::currentRecipient()
{
    Outgoing& o = composing();
    if (o.recipIndex < 0 || o.recipIndex >= o.recipients.size())
        throw MailError(mailcore::InvalidRecips, QStringLiteral("宛先が選ばれていません"));
    return o.recipients[o.recipIndex];
}

void MailMessages::setRecipType(int type)
{
    Outgoing& o = composing();
    // The type may be set before the first index: it then applies to the recipient added next.
    if (o.recipIndex < 0 || o.recipIndex >= o.recipients.size()) {
        o.recipients.append(Recipient{});
        o.recipIndex = static_cast<qint32>(o.recipients.size() - 1);
    }
    if (type != 1 && type != 2)
        throw MailError(mailcore::InvalidRecips, QStringLiteral("宛先の種類が正しくありません: %1").arg(type));
    o.recipients[o.recipIndex].type = type;
}

void MailMessages::setRecipDisplayName(const QString& name)
{
    currentRecipient().name = name;
}

void MailMessages::setRecipAddress(const QString& address)
{
    currentRecipient().address = address;
}

void MailMessages::setAttachmentPosition(qint32) { composing(); }

void MailMessages::setAttachmentPathName(const QString& path)
{
    Outgoing& o = composing();
    if (attachmentIndex_ < 0 || attachmentIndex_ >= o.attachments.size())
        throw MailError(mailcore::InvalidMessage, QStringLiteral("添付ファイルの番号が正しくありません: %1").arg(attachmentIndex_));
    o.attachments[attachmentIndex_] = path;
}

void MailMessages::Send(bool dialog)
{
    if (dialog) {
        if (!outgoing_ || !outgoing_->active)
            return;
        QStringList addresses;
        for (const Recipient& r : std::as_const(outgoing_->recipients))
            if (r.type == 1)
                addresses << r.address.split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts);
        for (QString& a : addresses)
            a = a.trimmed();
        QString error;
        // Like the old session's dialog send, only a failure to start is an error of the call; a
        // window that hands a mail over reports the end of the hand-over itself.
        if (!composer().compose(addresses, &error, {}))
            throw MailError(ComposeFailure, error);
        outgoing_->active = false;
        return;
    }
    Outgoing& o = composing();
    requireSession();
    mailcore::OutgoingMessage m;
    QStringList to, cc;
    for (const Recipient& r : std::as_const(o.recipients))
        (r.type == 2 ? cc : to) << r.address;
    m.subject = o.subject.toStdString();
    m.body = o.noteText.toStdString();
    m.to = to.join(QLatin1Char(';')).toStdString();
    m.cc = cc.join(QLatin1Char(';')).toStdString();
    for (const QString& a : std::as_const(o.attachments))
        m.attachments.push_back(a.toStdString());
    try {
        const std::string bytes = mailcore::buildMessage(m);
        transport().send(bytes);
    } catch (const mailcore::MailError& e) {
        throw MailError(e);
    }
    o.active = false;
}

// ---- Process-wide settings ----

QString attachmentRoot()
{
    if (!attachmentRootOverride().isEmpty())
        return attachmentRootOverride();
    QString program = QCoreApplication::applicationName();
    if (program.isEmpty() || program.contains(QLatin1Char('/')))
        program = QStringLiteral("kartovia");
    return fromStd(mailcore::defaultAttachmentRoot(program.toStdString()));
}

void setAttachmentRoot(const QString& folder)
{
    attachmentRootOverride() = folder;
}

mailcore::Transport& transport()
{
    if (installedTransport)
        return *installedTransport;
    static mailcore::SendmailTransport sendmail;
    return sendmail;
}

mailcore::Transport* setTransport(mailcore::Transport* t)
{
    mailcore::Transport* previous = installedTransport;
    installedTransport = t;
    return previous;
}

void RecordingTransport::send(const std::string& bytes)
{
    if (failNumber != 0)
        throw mailcore::MailError(failNumber, failDescription.toStdString());
    messages << QByteArray::fromStdString(bytes);
}

mailcore::SentMessage RecordingTransport::sent(int i) const
{
    return mailcore::readBack(messages.at(i).toStdString());
}

} // namespace mailclient
