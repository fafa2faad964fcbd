#pragma once
// The received-mail list as a CSV file beside the address book: one line per fetched message
// that passes the window's filters, with or without the message bodies. Window-free. Each
// message is read and written before the next is read, so that a list of large bodies never
// holds more than one of them.

#include "shell/DbFile.h"

#include <QList>
#include <QString>

#include <optional>

namespace mailclient {
class MailMessages;
}

namespace mail {

// Option4: which fetched messages the lists show.
enum class MailFilterKind { All, Registered, Sender, Subject };

struct ReceivedMailFilter {
    MailFilterKind kind = MailFilterKind::All;
    QString sender;   // SenderFilter
    QString subject;  // SubjectFilter
};

// One fetched message as the list reads it; nullopt where the property could not be read.
struct ReceivedMailRow {
    std::optional<QString> date;
    std::optional<QString> displayName;
    std::optional<QString> address;
    std::optional<QString> subject;
    std::optional<QString> body;  // read only when the bodies are listed
    std::optional<qint32> attachmentCount;
    QList<std::optional<QString>> attachmentPaths;
};

// Whether the filter lists the message. The sender filter compares the address exactly, the
// subject filter looks for its text ignoring letter case; a property that could not be read
// lists the message. "全メール" and "住所録登録者" list every message.
bool IsListed(const ReceivedMailRow& row, const ReceivedMailFilter& filter);


// The running number of a line: right-aligned in four characters, five or more digits whole.
QString FormatLineNumber(qint64 number);

// The file written, without ".csv": "受信メール一覧表" in the folder of the book.
QString ReceivedMailCsvPath(const Module1::DbFile& book);

// The cells of the header and of one message (the address without a leading "SMTP:").
QStringList ReceivedMailHeaderCells(bool withBodies);
QStringList ReceivedMailCells(const ReceivedMailRow& row, qint64 number, bool withBodies);

struct ReceivedMailCsvResult {
    bool ok = false;
    QString error;          // why the file could not be written (the old file is kept then)
    qint64 lines = 0;       // message lines written
    int substitutedCells = 0;  // cells with characters code page 932 cannot hold
};

// Writes the list through the list output (code page 932, CR LF): the header, then the messages
// of the last fetch that the filter lists, in fetch order and numbered from 1, each written as
// soon as it is read. Each property is read on its own, so that one that fails leaves only its
// cell empty; the body (only when asked for) and the attachments only of a listed message.
// Reading stops at a failed write. The file is put in place whole at the end, or not at all.
ReceivedMailCsvResult ExportReceivedMailCsv(mailclient::MailMessages& messages, const ReceivedMailFilter& filter,
                                            bool withBodies, const QString& pathWithoutExtension);
// The same for rows read before: those the filter lists.
ReceivedMailCsvResult ExportReceivedMailCsv(const QList<ReceivedMailRow>& rows, const ReceivedMailFilter& filter,
                                            bool withBodies, const QString& pathWithoutExtension);

// The boxes after the writing: a failure (path and reason), else the cells written with "?".
void ReportReceivedMailCsv(const ReceivedMailCsvResult& result, const QString& pathWithoutExtension);

// The command "CSV形式ファイル出力": the question (Yes with bodies, No without, Cancel nothing),
// then reading, writing and reporting. False when cancelled.
bool RunReceivedMailCsv(mailclient::MailMessages& messages, const ReceivedMailFilter& filter,
                        const Module1::DbFile& book);

} // namespace mail
