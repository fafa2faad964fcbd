#pragma once
// The fixed-width lines of the mail window's lists, window-free: the address-book list, the
// received-mail list and the sender list. Widths in bytes are Shift-JIS bytes, which the lists'
// fixed-pitch font shows as columns.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

namespace mail {

// ---- Address-book list ----

// The fields an address-book line is made of, in the order AddressListLine takes their values.
const QStringList& AddressListFields();
// The line of one record from the values of AddressListFields(), ages as on `today`. An empty
// list (a record deleted elsewhere) gives an empty line.
QString AddressListLine(const QVariantList& values, const QDate& today);

// The pieces of the typed address text, cut at each separator; empty pieces (two separators in a
// row, one at the end) are left out, since they name nobody.
QStringList TypedAddressPieces(const QString& text, QChar separator);

// ---- Received mail ----

// The received date of a message: its date text taken as a date, 2001/1/1 00:00 when the text is
// empty or no date.
QDateTime ReceivedDate(const QString& dateText);
// "yyyy/mm/dd(aaa)hh:mm"
QString FormatReceivedDate(const QDateTime& date);
// The address without a leading "SMTP:".
QString WithoutSmtpPrefix(const QString& address);

// The parts of one message's line, made once per fetch and reused by every filter.
struct ReceivedMailParts {
    QString date;         // 20 characters
    QString readMark;     // "未" or two spaces
    QString attachments;  // 5 characters
    QString sender;       // 30 bytes
    QString subject;      // 50 bytes
    QString body;         // the whole note text, " " when empty
    QString address;      // the originator's address without "SMTP:"
};
ReceivedMailParts MakeReceivedMailParts(const QString& dateText, bool read, int attachmentCount,
                                        const QString& displayName, const QString& subject, const QString& body,
                                        const QString& address);
// The list line; the filter "件名指定" leaves out the space between sender and subject.
QString ReceivedMailLine(const ReceivedMailParts& parts, bool subjectFilter);

// ---- Senders ----

struct MailSender {
    QString FirstDate;
    QString LastDate;
    qint32 MessageCount = 0;
    QString SenderName;
    QString SenderAddress;
};

// The date text a sender entry keeps for a message: its own, "2001/1/1 00:00" when empty.
QString SenderDateText(const QString& dateText);
// The line of entry k (from 0) of the sender list.
QString SenderLine(int k, const MailSender& sender);

// One message as the sender table is built from it.
struct SenderMessage {
    QString dateText;
    QString displayName;
    QString address;  // as the messages control gives it
};
// The sender table in the order of each sender's first message; only the messages that
// `counts` admits (by index) are counted.
QList<MailSender> BuildSenders(const QList<SenderMessage>& messages, const std::function<bool(int)>& counts);

// ---- Senders found in the address book ----

// An originator address (without "SMTP:") that names no sender: empty, or "NONE:".
bool NamesNoSender(const QString& address);

// The "Eメール" and "携帯Eメール" texts of every record, read once, searched in memory: an address
// is found when some record's field contains it (letter case significant); a missing field
// contains nothing, and an address that names no sender is in no book. Results are kept per
// address.
class AddressBookIndex {
public:
    AddressBookIndex() = default;
    // values: rows of two fields each ("Eメール", "携帯Eメール").
    explicit AddressBookIndex(const QList<QVariantList>& rows);
    bool contains(const QString& address) const;
    // Answers for many addresses at once, in one pass over the fields; contains() then only
    // looks the answers up.
    void prepare(const QStringList& addresses) const;
    bool isEmpty() const { return fields_ == 0; }

private:
    std::u16string joined_;      // every present field, each followed by U+0001
    QSet<QString> whole_;        // whole fields and their ";" pieces: the fast path
    int fields_ = 0;
    mutable QHash<QString, bool> known_;
};

} // namespace mail
