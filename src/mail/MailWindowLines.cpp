#include "mail/MailWindowLines.h"

#include "platform/text/Cp932.h"
#include "records/RecordDisplay.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"

#include <QHash>

#include <algorithm>
#include <functional>

using Module1::FitBytes;

namespace mail {
namespace {

enum Column { No, Name, Birth, City, Street, Home, Mobile, Mail, MobileMail, Refuses, Category, Remarks, Count };

// A value counts as present when it is neither missing nor the empty text.
QString presentText(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

QString characters(const QString& text, int width)
{
    return text.leftJustified(width, u' ', true);
}

QString spacesAfter(const QString& text, int width)
{
    return QString(std::max(1, width - text::byteWidth(text)), u' ');
}

} // namespace

const QStringList& AddressListFields()
{
    static const QStringList fields = {
        QStringLiteral("会員NO"),   QStringLiteral("氏名"),     QStringLiteral("生年月日"),
        QStringLiteral("市町村"),   QStringLiteral("番地"),     QStringLiteral("自宅電話"),
        QStringLiteral("携帯電話"), QStringLiteral("Eメール"),  QStringLiteral("携帯Eメール"),
        QStringLiteral("メール送信拒否"), QStringLiteral("会員区分名称"), QStringLiteral("備考"),
    };
    return fields;
}

QString AddressListLine(const QVariantList& v, const QDate& today)
{
    if (v.size() < Count)
        return {};
    QString line;
    line.reserve(180);
    line += v[No].isNull() ? QString(8, u' ') : Module1::FormatMemberNo(v[No].toLongLong());
    line += u' ';
    const QString name = presentText(v[Name]);
    line += name.isEmpty() ? QString(12, u' ') : FitBytes(name, 12);

    const QDate birth = records::StoredDate(v[Birth]);
    if (birth.isValid()) {
        line += Module1::FormatShortSlashDate(birth).rightJustified(8, u' ');
        line += QString::number(Module1::AgeInYears(birth, today)).rightJustified(3, u' ');
    } else {
        line += QString(11, u' ');
    }
    line += u' ';

    const QString city = presentText(v[City]);
    line += city.isEmpty() ? QString(24, u' ') : FitBytes(city + presentText(v[Street]), 24);
    line += characters(presentText(v[Home]), 14);
    line += characters(presentText(v[Mobile]), 14);
    line += u' ';

    const QString mark = records::RefusesMail(v[Refuses]) ? QStringLiteral("*") : QString();
    const QString mail = presentText(v[Mail]);
    line += mail.isEmpty() ? QString(32, u' ') : FitBytes(mark + mail, 32);
    const QString mobileMail = presentText(v[MobileMail]);
    line += mobileMail.isEmpty() ? QString(32, u' ') : FitBytes(mark + mobileMail, 32) + mark;

    const QString category = presentText(v[Category]);
    line += category.isEmpty() ? QString(8, u' ') : FitBytes(category, 8);
    line += u' ';
    line += presentText(v[Remarks]);
    return line;
}

QStringList TypedAddressPieces(const QString& text, QChar separator)
{
    QStringList pieces;
    for (const QString& piece : text.split(separator, Qt::SkipEmptyParts, Qt::CaseSensitive))
        pieces << piece;
    return pieces;
}

QDateTime ReceivedDate(const QString& dateText)
{
    QDateTime date = QDateTime::fromString(dateText, QStringLiteral("yyyy/MM/dd hh:mm"));
    if (!date.isValid())
        date = QDateTime(QDate(2001, 1, 1), QTime(0, 0));
    return date;
}

QString FormatReceivedDate(const QDateTime& date)
{
    return Module1::FormatSlashDateWeekday(date.date()) + date.time().toString(QStringLiteral("hh:mm"));
}

QString WithoutSmtpPrefix(const QString& address)
{
    return address.startsWith(QLatin1String("SMTP:")) ? address.mid(5) : address;
}

ReceivedMailColumnStarts ReceivedMailColumns(bool subjectFilter)
{
    ReceivedMailColumnStarts c{};
    c.date = 0;
    c.readMark = c.date + kDateColumns;
    c.attachments = c.readMark + kReadMarkColumns;
    c.sender = c.attachments + kAttachmentColumns;
    c.subject = c.sender + kSenderColumns + (subjectFilter ? 0 : 1);
    c.body = c.subject + kSubjectColumns + 1;
    return c;
}

QString BodyPreview(const QString& body)
{
    // Every character takes at least one column: that many are enough.
    QString start = body.left(kBodyPreviewColumns + 1);
    for (QChar& c : start)
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return FitBytes(start, kBodyPreviewColumns);
}

QString BreakLongLines(const QString& body)
{
    QString text;
    text.reserve(body.size() + body.size() / kPreviewLineChars + 1);
    qsizetype run = 0;  // characters since the last line break
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c == u'\n') {
            run = 0;
        } else {
            if (run >= kPreviewLineChars && !c.isLowSurrogate()) {
                text += u'\n';
                run = 0;
            }
            ++run;
        }
        text += c;
    }
    return text;
}

QString PreviewText(const QString& body, bool cut, WithheldBody withheld)
{
    switch (withheld) {
    case WithheldBody::TooLarge:
        return QStringLiteral("（メールが大きすぎるため本文を表示できません）");
    case WithheldBody::TooComplex:
        return QStringLiteral("（メールの構成が複雑すぎるため本文を表示できません）");
    case WithheldBody::Unreadable:
        return QStringLiteral("（このメールは読み取れませんでした）");
    case WithheldBody::None:
        break;
    }
    QString text = BreakLongLines(body);
    if (cut) {
        if (!text.isEmpty() && !text.endsWith(u'\n'))
            text += u'\n';
        text += QStringLiteral("（以下、表示を省略しました）");
    }
    return text;
}

ReceivedMailParts MakeReceivedMailParts(const QString& dateText, bool read, int attachmentCount,
                                        const QString& displayName, const QString& subject, const QString& body,
                                        const QString& address)
{
    ReceivedMailParts p;
    p.date = FormatReceivedDate(ReceivedDate(dateText)).leftJustified(kDateChars, u' ', true);
    p.readMark = read ? QStringLiteral("  ") : QStringLiteral("未");
    p.attachments = attachmentCount == 0
                        ? QString(kAttachmentColumns, u' ')
                        : (QStringLiteral("  ") + QString::number(attachmentCount) + u' ')
                              .leftJustified(kAttachmentColumns, u' ', true);
    p.sender = FitBytes(displayName, kSenderColumns);
    p.subject = subject.isEmpty() ? QString(kSubjectColumns, u' ') : FitBytes(subject, kSubjectColumns);
    p.body = BodyPreview(body);
    p.address = WithoutSmtpPrefix(address);
    return p;
}

QString ReceivedMailLine(const ReceivedMailParts& p, bool subjectFilter)
{
    QString line;
    line.reserve(kDateChars + kReadMarkColumns + kAttachmentColumns + kSenderColumns + kSubjectColumns + 2
                 + p.body.size());
    line += p.date;
    line += p.readMark;
    line += p.attachments;
    line += p.sender;
    if (!subjectFilter)
        line += u' ';
    line += p.subject;
    line += u' ';
    line += p.body;
    return line;
}

QString SenderDateText(const QString& dateText)
{
    return dateText.isEmpty() ? QStringLiteral("2001/1/1 00:00") : dateText;
}

SenderColumnStarts SenderColumns()
{
    SenderColumnStarts c{};
    c.number = 0;
    c.name = kSenderNumberColumns;
    c.address = c.name + kSenderNameColumns;
    c.dates = c.address + kSenderAddressColumns;
    c.count = c.dates + kSenderDatesColumns;
    return c;
}

QString SenderLine(int k, const MailSender& s)
{
    const QString address = WithoutSmtpPrefix(s.SenderAddress);
    const QDateTime first = ReceivedDate(s.FirstDate);
    const QDateTime last = ReceivedDate(s.LastDate);
    const QString format = QStringLiteral("yyyy/MM/dd hh:mm");
    QString line = (QString::number(qint64(k) + 1) + QStringLiteral(" : ")).rightJustified(kSenderNumberColumns, u' ');
    line += s.SenderName + spacesAfter(s.SenderName, kSenderNameColumns);
    line += address + spacesAfter(address, kSenderAddressColumns);
    line += first.toString(format);
    line += QStringLiteral(" - ");
    line += last == first ? QString(16, u' ') : last.toString(format);
    line += (u' ' + QString::number(s.MessageCount) + u' ').rightJustified(8, u' ');
    line += QStringLiteral("件 ");
    return line;
}

QList<MailSender> BuildSenders(const QList<SenderMessage>& messages, const std::function<bool(int)>& counts)
{
    QList<MailSender> senders;
    QHash<QString, qsizetype> entryOf;  // exact address to its entry: the first equal entry
    for (qsizetype m = 0; m < messages.size(); ++m) {
        if (counts && !counts(int(m)))
            continue;
        const SenderMessage& msg = messages[m];
        const QString date = SenderDateText(msg.dateText);
        const auto found = entryOf.constFind(msg.address);
        if (found != entryOf.constEnd()) {
            MailSender& s = senders[*found];
            s.LastDate = date;
            ++s.MessageCount;
            continue;
        }
        MailSender s;
        s.FirstDate = date;
        s.LastDate = date;
        s.MessageCount = 1;
        s.SenderName = msg.displayName;
        s.SenderAddress = msg.address;
        entryOf.insert(msg.address, senders.size());
        senders << s;
    }
    return senders;
}

AddressBookIndex::AddressBookIndex(const QList<QVariantList>& rows)
{
    for (const QVariantList& row : rows) {
        for (const QVariant& v : row) {
            if (v.isNull() || !v.isValid())
                continue;
            const QString text = v.toString();
            ++fields_;
            joined_.append(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
            joined_.push_back(u'\x01');
            whole_.insert(text);
            for (const QString& piece : text.split(u';'))
                whole_.insert(piece);
        }
    }
}

bool NamesNoSender(const QString& address)
{
    return address.isEmpty() || address == QLatin1String("NONE:");
}

bool AddressBookIndex::contains(const QString& address) const
{
    if (fields_ == 0 || NamesNoSender(address))
        return false;
    if (whole_.contains(address))
        return true;
    // Header texts hold no control characters, so no match runs across two fields.
    if (address.contains(u'\x01'))
        return false;
    const auto known = known_.constFind(address);
    if (known != known_.constEnd())
        return *known;
    const std::u16string_view needle(reinterpret_cast<const char16_t*>(address.utf16()), size_t(address.size()));
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
    const bool found = std::search(joined_.begin(), joined_.end(), searcher) != joined_.end();
    known_.insert(address, found);
    return found;
}

void AddressBookIndex::prepare(const QStringList& addresses) const
{
    // Aho-Corasick over the addresses not answered yet: one scan of the joined fields.
    struct Node {
        QHash<char16_t, int> next;
        int fail = 0;
        int output = -1;      // an address ending here
        int outputLink = -1;  // the nearest node on the failure chain that ends an address
        bool seen = false;
    };
    std::vector<Node> nodes(1);
    QStringList pending;
    for (const QString& a : addresses) {
        if (NamesNoSender(a) || known_.contains(a) || a.contains(u'\x01'))
            continue;
        if (fields_ == 0 || whole_.contains(a)) {
            known_.insert(a, fields_ != 0);
            continue;
        }
        known_.insert(a, false);
        int state = 0;
        for (const QChar c : a) {
            const auto it = nodes[size_t(state)].next.constFind(c.unicode());
            if (it != nodes[size_t(state)].next.constEnd()) {
                state = *it;
            } else {
                nodes.push_back(Node());
                const int created = int(nodes.size()) - 1;
                nodes[size_t(state)].next.insert(c.unicode(), created);
                state = created;
            }
        }
        nodes[size_t(state)].output = int(pending.size());
        pending << a;
    }
    if (pending.isEmpty())
        return;
    std::vector<int> queue;
    for (auto it = nodes[0].next.cbegin(); it != nodes[0].next.cend(); ++it)
        queue.push_back(*it);
    for (size_t q = 0; q < queue.size(); ++q) {
        const int u = queue[q];
        const Node& un = nodes[size_t(u)];
        nodes[size_t(u)].outputLink = nodes[size_t(un.fail)].output >= 0 ? un.fail : nodes[size_t(un.fail)].outputLink;
        for (auto it = nodes[size_t(u)].next.cbegin(); it != nodes[size_t(u)].next.cend(); ++it) {
            const char16_t c = it.key();
            const int v = *it;
            int f = nodes[size_t(u)].fail;
            while (f != 0 && !nodes[size_t(f)].next.contains(c))
                f = nodes[size_t(f)].fail;
            const auto j = nodes[size_t(f)].next.constFind(c);
            nodes[size_t(v)].fail = (j != nodes[size_t(f)].next.constEnd() && *j != v) ? *j : 0;
            queue.push_back(v);
        }
    }
    int state = 0;
    for (const char16_t c : joined_) {
        while (state != 0 && !nodes[size_t(state)].next.contains(c))
            state = nodes[size_t(state)].fail;
        const auto j = nodes[size_t(state)].next.constFind(c);
        state = j != nodes[size_t(state)].next.constEnd() ? *j : 0;
        // Every address ending here is found; a node seen before had its chain marked then.
        for (int k = nodes[size_t(state)].output >= 0 ? state : nodes[size_t(state)].outputLink;
             k > 0 && !nodes[size_t(k)].seen; k = nodes[size_t(k)].outputLink) {
            nodes[size_t(k)].seen = true;
            known_[pending[nodes[size_t(k)].output]] = true;
        }
    }
}

} // namespace mail
