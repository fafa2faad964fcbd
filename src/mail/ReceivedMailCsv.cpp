// The received-mail list as a CSV file.

#include "mail/ReceivedMailCsv.h"

#include "platform/mail/MailSession.h"
#include "platform/ui/Dialogs.h"
#include "shell/ListOutput.h"
#include "shell/Module1.h"

#include <exception>
#include <functional>
#include <optional>

namespace mail {

namespace {

template <typename F>
auto readOrNothing(F&& read) -> std::optional<decltype(read())>
{
    try {
        return read();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

QString cell(const std::optional<QString>& v) { return v ? *v : QString(); }

} // namespace

bool IsListed(const ReceivedMailRow& row, const ReceivedMailFilter& filter)
{
    switch (filter.kind) {
    case MailFilterKind::Sender:
        return !row.address || *row.address == filter.sender;
    case MailFilterKind::Subject:
        return !row.subject || row.subject->contains(filter.subject, Qt::CaseInsensitive);
    case MailFilterKind::All:
    case MailFilterKind::Registered:
        break;
    }
    return true;
}

namespace {

// The listed messages one at a time: each call reads the next of them, nullopt after the last.
using RowSource = std::function<std::optional<ReceivedMailRow>()>;

RowSource messageRows(mailclient::MailMessages& messages, const ReceivedMailFilter& filter, bool withBodies)
{
    const qint32 count = readOrNothing([&] { return messages.MsgCount(); }).value_or(0);
    return [&messages, filter, withBodies, count, m = qint32(0)]() mutable -> std::optional<ReceivedMailRow> {
        for (; m < count; ++m) {
            messages.setMsgIndex(m);
            ReceivedMailRow r;
            r.date = readOrNothing([&] { return messages.MsgDateReceived(); });
            r.displayName = readOrNothing([&] { return messages.MsgOrigDisplayName(); });
            r.address = readOrNothing([&] { return messages.MsgOrigAddress(); });
            r.subject = readOrNothing([&] { return messages.MsgSubject(); });
            if (!IsListed(r, filter))
                continue;
            if (withBodies)
                r.body = readOrNothing([&] { return messages.MsgNoteText(); });
            r.attachmentCount = readOrNothing([&] { return messages.AttachmentCount(); });
            for (qint32 a = 0; r.attachmentCount && a < *r.attachmentCount; ++a) {
                r.attachmentPaths.append(readOrNothing([&] {
                    messages.setAttachmentIndex(a);
                    return messages.AttachmentPathName();
                }));
            }
            ++m;
            return r;
        }
        return std::nullopt;
    };
}

// The header, then each row as the source gives it.
ReceivedMailCsvResult writeList(const RowSource& next, bool withBodies, const QString& pathWithoutExtension)
{
    ReceivedMailCsvResult result;
    bool ok = Module1::BeginListOutput(pathWithoutExtension, 9, 4, 2, QStringLiteral("ＭＳ ゴシック"), 9);
    ok = ok && Module1::WriteListLine(ReceivedMailHeaderCells(withBodies));
    while (ok) {
        const std::optional<ReceivedMailRow> row = next();
        if (!row)
            break;
        ok = Module1::WriteListLine(ReceivedMailCells(*row, result.lines + 1, withBodies));
        if (ok)
            ++result.lines;
    }
    const bool ended = Module1::EndListOutput();
    result.ok = ok && ended;
    if (!result.ok)
        result.error = Module1::ListOutputError();
    result.substitutedCells = Module1::ListOutputSubstitutedCells();
    return result;
}

} // namespace

QString FormatLineNumber(qint64 number) { return QString::number(number).rightJustified(4, QLatin1Char(' ')); }

QString ReceivedMailCsvPath(const Module1::DbFile& book)
{
    return book.Drive + book.Folder + Module1::PathSeparator(book) + QStringLiteral("受信メール一覧表");
}

QStringList ReceivedMailHeaderCells(bool withBodies)
{
    QStringList h{QStringLiteral("NO"), QStringLiteral("日付"), QStringLiteral("差出人氏名"),
                  QStringLiteral("メールアドレス"), QStringLiteral("件名")};
    if (withBodies)
        h << QStringLiteral("テキスト本文");
    h << QStringLiteral("添付ファイル数") << QStringLiteral("添付ファイル名");
    return h;
}

QStringList ReceivedMailCells(const ReceivedMailRow& row, qint64 number, bool withBodies)
{
    QString address = cell(row.address);
    if (address.startsWith(QLatin1String("SMTP:")))
        address = address.mid(5);
    QStringList c{FormatLineNumber(number), cell(row.date), cell(row.displayName), address, cell(row.subject)};
    if (withBodies)
        c << cell(row.body);
    c << (row.attachmentCount ? QString::number(*row.attachmentCount) : QString());
    QStringList paths;
    for (const std::optional<QString>& p : row.attachmentPaths)
        paths << cell(p);
    c << paths.join(QLatin1Char(','));
    return c;
}

ReceivedMailCsvResult ExportReceivedMailCsv(mailclient::MailMessages& messages, const ReceivedMailFilter& filter,
                                            bool withBodies, const QString& pathWithoutExtension)
{
    return writeList(messageRows(messages, filter, withBodies), withBodies, pathWithoutExtension);
}

ReceivedMailCsvResult ExportReceivedMailCsv(const QList<ReceivedMailRow>& rows, const ReceivedMailFilter& filter,
                                            bool withBodies, const QString& pathWithoutExtension)
{
    qsizetype i = 0;
    const auto next = [&]() -> std::optional<ReceivedMailRow> {
        while (i < rows.size()) {
            const ReceivedMailRow& row = rows[i++];
            if (IsListed(row, filter))
                return row;
        }
        return std::nullopt;
    };
    return writeList(next, withBodies, pathWithoutExtension);
}

void ReportReceivedMailCsv(const ReceivedMailCsvResult& r, const QString& pathWithoutExtension)
{
    if (!r.ok) {
        ui::dialogs().message(QStringLiteral("ＣＳＶファイルを作成できません。\n") + pathWithoutExtension +
                                  QStringLiteral(".csv\n") + r.error,
                              {}, ui::Icon::Exclamation);
    } else if (r.substitutedCells > 0) {
        ui::dialogs().message(
            QStringLiteral("シフトJISで書けない文字を含む項目が %1 件ありました。\nこれらの文字は「?」で書き出しました。")
                .arg(r.substitutedCells),
            {}, ui::Icon::Exclamation);
    }
}

bool RunReceivedMailCsv(mailclient::MailMessages& messages, const ReceivedMailFilter& filter, const Module1::DbFile& book)
{
    Module1::ToPrinter = false;
    const ui::Answer a = ui::dialogs().question(
        QStringLiteral("本文を含め【受信メール一覧表】ファイルをＣＳＶ形式で作成しますか？"),
        QStringLiteral("ＣＳＶファイル形式出力"), ui::Icon::None, ui::Buttons::YesNoCancel);
    if (a == ui::Answer::Cancel)
        return false;
    const bool withBodies = a == ui::Answer::Yes;
    const QString path = ReceivedMailCsvPath(book);
    ReportReceivedMailCsv(ExportReceivedMailCsv(messages, filter, withBodies, path), path);
    return true;
}

} // namespace mail
