#pragma once
// The call history of one member: its rows in "Q_電話履歴", the fixed-width lines of the list,
// the memo date and the list's item model.

#include "platform/db/Database.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace dialler {

namespace history {
inline const QString Query = QStringLiteral("Q_電話履歴");
inline const QString MemberNo = QStringLiteral("会員NO");
inline const QString Number = QStringLiteral("電話番号");
inline const QString Start = QStringLiteral("開始時間");
inline const QString End = QStringLiteral("終了時間");
inline const QString Duration = QStringLiteral("通話時間");
inline const QString Purpose = QStringLiteral("用件");
inline const QString Aborted = QStringLiteral("通話中止");
// "電話番号" of a memo row.
inline const QString MemoNumber = QStringLiteral(" ");
// "用件" holds at most this many Shift-JIS bytes.
inline constexpr int PurposeLimit = 255;
} // namespace history

// One row as the list shows it.
struct HistoryRow {
    bool present = true;  // false for a row deleted elsewhere since the list was read
    QString number;
    QDateTime start;
    QDateTime end;
    QDateTime duration;
    QString purpose;
};

// A memo row: its end equals its start.
bool IsMemoRow(const HistoryRow& row);

// The list line: number in 18 characters, " yyyy/mm/dd(aaa) hh:mm:ss", " - ", end "hh:mm:ss  ",
// duration "(hh:mm:ss)  ", purpose. A memo line has spaces in place of the separator, end and
// duration; so has a call line for an end or a duration it lacks, so that every purpose starts
// in the same column.
QString HistoryLine(const HistoryRow& row);

// "hh:mm:ss"; "" for an invalid value.
QString FormatClock(const QDateTime& t);
// "yyyy/mm/dd(aaa) hh:mm:ss", the memo date as the window writes it.
QString FormatMemoDate(const QDateTime& t);
// The memo date box: the window's own form, and "yyyy/mm/dd" or "yyyy-mm-dd" with or without
// a time "hh:mm" or "hh:mm:ss". nullopt for anything else or a date that does not exist.
std::optional<QDateTime> ParseMemoDate(const QString& text);

// A call's duration as the old engine kept it: a time of day on its day zero, 1899-12-30.
QDateTime DurationValue(const QDateTime& start, const QDateTime& end);
// The time value 0 (00:00:00) of a memo row.
QDateTime ZeroDuration();

// The member's rows of "Q_電話履歴", in the query's order, as a dynaset of that book.
db::Recordset OpenMemberHistory(const db::Database& book, qint64 memberNo);
// Deletes every row of the member's history in one transaction: all or nothing. Throws db::Error.
void DeleteMemberHistory(const db::Database& book, qint64 memberNo);
// Every row of the recordset, in its order, read in bulk.
std::vector<HistoryRow> ReadHistoryRows(const db::Recordset& rs);
// The rows at positions from .. from + count - 1 (kept within the rows).
std::vector<HistoryRow> ReadHistoryRows(const db::Recordset& rs, int from, int count);

// The list's model: one line per row of the history. Rows are read a block at a time when
// they are first shown, so that a long history opens at once; a new fill reads them again.
class HistoryListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using Reader = std::function<std::vector<HistoryRow>(int from, int count)>;
    // A screenful and more: the first block is the page the history's recordset read at open.
    static constexpr int BlockRows = 64;

    using QAbstractListModel::QAbstractListModel;
    // count rows, read through reader.
    void setSource(int count, Reader reader);
    void clear() { setSource(0, {}); }
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    HistoryRow row(int i) const;
    QString line(int i) const;

private:
    int count_ = 0;
    Reader reader_;
    mutable QHash<int, std::vector<HistoryRow>> blocks_;
};

} // namespace dialler
