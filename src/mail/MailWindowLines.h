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

// The widths of the received-mail line's parts. The date has 20 characters, one of them the
// full-width weekday, so it takes 21 columns; the other widths are columns (Shift-JIS bytes).
constexpr int kDateChars = 20;
constexpr int kDateColumns = kDateChars + 1;
constexpr int kReadMarkColumns = 2;
constexpr int kAttachmentColumns = 5;
constexpr int kSenderColumns = 30;
constexpr int kSubjectColumns = 50;
// The body column: the body's first characters, one line of them.
constexpr int kBodyPreviewColumns = 100;

// The columns where the parts of a received-mail line start: date, read mark, attachments,
// sender, subject, body. The filter "件名指定" starts the subject and the body one column
// further left (no space after the sender).
struct ReceivedMailColumnStarts {
    int date, readMark, attachments, sender, subject, body;
};
ReceivedMailColumnStarts ReceivedMailColumns(bool subjectFilter);

// The body column of a line: the body's first characters with line breaks and tabs as spaces,
// fitted to kBodyPreviewColumns.
QString BodyPreview(const QString& body);

// Text whose lines longer than kPreviewLineChars characters are broken into pieces of that
// many: a text box lays such pieces out at once, where one line of a megabyte (a single long
// word above all) holds the window for a minute. Mail lines are at most 998 characters anyway.
constexpr int kPreviewLineChars = 998;
QString BreakLongLines(const QString& text);
// Why a message's body is not shown: read for its headers only (too large, too complex), or
// not readable as a message at all.
enum class WithheldBody { None, TooLarge, TooComplex, Unreadable };
// The text of the preview box for a body: the body with its long lines broken, then, when the
// body was cut, a line saying so; for a body withheld, a line saying why.
QString PreviewText(const QString& body, bool cut, WithheldBody withheld = WithheldBody::None);

// The parts of one message's line, made once per fetch and reused by every filter.
struct ReceivedMailParts {
    QString date;         // 20 characters
    QString readMark;     // "未" or two spaces
    QString attachments;  // 5 characters
    QString sender;       // 30 bytes
    QString subject;      // 50 bytes
    QString body;         // BodyPreview of the note text
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

// The widths of the sender line's parts in columns: the number, then the name and the address
// padded to 50 (a longer one shifts the rest of its line), the two dates with " - " between, the
// count.
constexpr int kSenderNumberColumns = 10;
constexpr int kSenderNameColumns = 50;
constexpr int kSenderAddressColumns = 50;
constexpr int kSenderDatesColumns = 16 + 3 + 16;
struct SenderColumnStarts {
    int number, name, address, dates, count;
};
SenderColumnStarts SenderColumns();

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
