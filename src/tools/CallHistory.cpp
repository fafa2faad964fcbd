#include "tools/CallHistory.h"

#include "platform/db/Schema.h"
#include "shell/Formats.h"

#include <QRegularExpression>

namespace dialler {

namespace {

constexpr int kNumberWidth = 18;
// " yyyy/mm/dd(aaa) hh:mm:ss" is 24 columns wide: the weekday takes two.
constexpr int kStartColumns = 24;

QString pad(const QString& text, int width) { return text.leftJustified(width, QLatin1Char(' '), true); }

} // namespace

bool IsMemoRow(const HistoryRow& row) { return row.start.isValid() && row.end.isValid() && row.start == row.end; }

QString FormatClock(const QDateTime& t)
{
    if (!t.isValid())
        return {};
    return t.time().toString(QStringLiteral("HH:mm:ss"));
}

QString FormatMemoDate(const QDateTime& t)
{
    if (!t.isValid())
        return {};
    return Module1::FormatSlashDateWeekday(t.date()) + QLatin1Char(' ') + FormatClock(t);
}

QString HistoryLine(const HistoryRow& row)
{
    if (!row.present)
        return {};
    const bool memo = IsMemoRow(row);
    QString line = pad(row.number, kNumberWidth);
    line += row.start.isValid() ? QLatin1Char(' ') + FormatMemoDate(row.start) : QString(kStartColumns, QLatin1Char(' '));
    line += memo ? QStringLiteral("   ") : QStringLiteral(" - ");
    line += !memo && row.end.isValid() ? FormatClock(row.end) + QStringLiteral("  ") : QString(10, QLatin1Char(' '));
    line += !memo && row.duration.isValid() ? QLatin1Char('(') + FormatClock(row.duration) + QStringLiteral(")  ")
                                            : QString(12, QLatin1Char(' '));
    line += row.purpose;
    return line;
}

std::optional<QDateTime> ParseMemoDate(const QString& text)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{4})([/-])(\\d{1,2})\\2(\\d{1,2})\\s*(?:\\([日月火水木金土]\\))?(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (m.capturedLength(5) > 0) {
        time = QTime(m.captured(5).toInt(), m.captured(6).toInt(), m.capturedLength(7) > 0 ? m.captured(7).toInt() : 0);
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time);
}

QDateTime ZeroDuration() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0)); }

QDateTime DurationValue(const QDateTime& start, const QDateTime& end)
{
    const qint64 seconds = qMax<qint64>(0, start.secsTo(end));
    return ZeroDuration().addSecs(seconds);
}

db::Recordset OpenMemberHistory(const db::Database& book, qint64 memberNo)
{
    // The member's rows only, found through the index; the number is bound, never pasted.
    return book.openRecordset(QStringLiteral("SELECT * FROM \"%1\" WHERE \"%2\" = ?").arg(history::Query, history::MemberNo),
                              db::RecordsetType::Dynaset, {memberNo});
}

void DeleteMemberHistory(const db::Database& book, qint64 memberNo)
{
    book.beginTrans();
    try {
        book.execute(QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" = ?").arg(db::schema::historyTableName(), history::MemberNo),
                     {memberNo});
        book.commitTrans();
    } catch (...) {
        try {
            book.rollback();
        } catch (...) {
        }
        throw;
    }
}

std::vector<HistoryRow> ReadHistoryRows(const db::Recordset& rs, int from, int count)
{
    // By key: one member's rows are a small part of a large history, and a read of all of them
    // at once would scan the whole table.
    constexpr int kBlock = 2048;
    const QStringList fields{history::Number, history::Start, history::End, history::Duration, history::Purpose};
    const int end = int(qMin<qint64>(qint64(from) + qMax(0, count), rs.recordCount()));
    from = qMax(0, from);
    std::vector<HistoryRow> rows;
    rows.reserve(size_t(qMax(0, end - from)));
    for (int at = from; at < end; at += kBlock)
        for (const QVariantList& v : rs.readColumns(fields, at, qMin(kBlock, end - at))) {
            HistoryRow r;
            if (v.size() < 5) {
                r.present = false;
            } else {
                r.number = v[0].toString();
                r.start = v[1].toDateTime();
                r.end = v[2].toDateTime();
                r.duration = v[3].toDateTime();
                r.purpose = v[4].toString();
            }
            rows.push_back(std::move(r));
        }
    return rows;
}

std::vector<HistoryRow> ReadHistoryRows(const db::Recordset& rs) { return ReadHistoryRows(rs, 0, rs.recordCount()); }

void HistoryListModel::setSource(int count, Reader reader)
{
    beginResetModel();
    count_ = reader ? qMax(0, count) : 0;
    reader_ = std::move(reader);
    blocks_.clear();
    endResetModel();
}

int HistoryListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

HistoryRow HistoryListModel::row(int i) const
{
    if (i < 0 || i >= count_)
        return HistoryRow{false, {}, {}, {}, {}, {}};
    const int block = i / BlockRows;
    auto it = blocks_.find(block);
    if (it == blocks_.end())
        it = blocks_.insert(block, reader_(block * BlockRows, BlockRows));
    const size_t at = size_t(i - block * BlockRows);
    return at < it->size() ? (*it)[at] : HistoryRow{false, {}, {}, {}, {}, {}};
}

QString HistoryListModel::line(int i) const { return HistoryLine(row(i)); }

QVariant HistoryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count_)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return line(index.row());
    return {};
}

} // namespace dialler
