#include "tools/WebSites.h"

#include "platform/db/Criteria.h"
#include "platform/shell/Opener.h"

#include <optional>

namespace tools {

namespace {

const QString kCategory = QStringLiteral("会員区分");
const QString kCategoryName = QStringLiteral("会員区分名称");
const QString kName = QStringLiteral("氏名");
const QString kWebHome = QStringLiteral("WebHome");

// True when every record at the positions from .. to - 1 was deleted elsewhere. The first
// record still there answers, so the blocks grow from a few rows.
bool deletedBetween(const db::Recordset& persons, int from, int to)
{
    for (int block = 8; from < to; from += block, block = qMin(block * 4, 2048)) {
        const QList<QVariantList> rows = persons.readColumns({kCategory}, from, qMin(block, to - from));
        for (const QVariantList& row : rows)
            if (!row.isEmpty())
                return false;
    }
    return true;
}

// The records satisfying `c` that stand together in the records' order, with the values of the
// fields: from the position `start` (or, when -1, from the first record satisfying it) up to the
// first record that does not, or the end. The records are read with one bound statement; records
// deleted elsewhere are passed over.
std::vector<db::PlacedRow> runWhere(const db::Recordset& persons, const db::Criteria& c, const QStringList& fields, int start)
{
    std::vector<db::PlacedRow> rows = persons.readWhere(c, fields, qMax(0, start));
    if (rows.empty())
        return rows;
    int next = start < 0 ? rows.front().position : start;
    size_t kept = 0;
    for (; kept < rows.size(); ++kept) {
        const int at = rows[kept].position;
        if (at != next && !deletedBetween(persons, next, at))
            break;  // a record of another code stands between
        next = at + 1;
    }
    rows.resize(kept);
    return rows;
}

// The first record from the position `from` on that was not deleted elsewhere, with the values
// of the fields; none at the end of the records.
std::optional<db::PlacedRow> firstPresent(const db::Recordset& persons, int from, const QStringList& fields)
{
    const int count = persons.recordCount();
    for (int block = 8; from < count; from += block, block = qMin(block * 4, 2048)) {
        const QList<QVariantList> rows = persons.readColumns(fields, from, qMin(block, count - from));
        for (int i = 0; i < rows.size(); ++i)
            if (!rows[i].isEmpty())
                return db::PlacedRow{from + i, rows[i]};
    }
    return std::nullopt;
}

} // namespace

bool HasAddress(const QVariant& webHome)
{
    if (webHome.isNull())
        return false;
    const QString text = webHome.toString();
    for (QChar c : text)
        if (c != QLatin1Char(' '))
            return true;
    return false;
}

QList<SiteLine> ReadSiteLines(const db::Recordset& persons, const QVariant& code)
{
    QList<SiteLine> lines;
    if (code.isNull() || persons.recordCount() == 0)
        return lines;
    const std::vector<db::PlacedRow> rows = runWhere(persons, db::eq(kCategory, code), {kName}, -1);
    lines.reserve(qsizetype(rows.size()));
    for (const db::PlacedRow& row : rows)
        lines << SiteLine{db::TextOf(row.values[0]), persons.bookmarkAt(row.position)};
    return lines;
}

QStringList CategoryPages(db::Recordset& persons, const db::Bookmark& first)
{
    QStringList pages;
    if (!first.valid)
        return pages;
    persons.setBookmark(first);
    // The name is noted at the first record still there.
    std::optional<db::PlacedRow> at = firstPresent(persons, persons.absolutePosition(), {kCategoryName, kCategory});
    if (!at || at->values[0].isNull())
        return pages;  // Null is no name, not even equal to another Null
    const QString noted = at->values[0].toString();
    // One code's run at a time, each read through the code's index; the run of the code that
    // follows goes on while its records bear the same name.
    while (at && !at->values[0].isNull() && at->values[0].toString() == noted) {
        const std::vector<db::PlacedRow> rows = runWhere(persons, db::eq(kCategory, at->values[1]), {kCategoryName, kWebHome}, at->position);
        if (rows.empty())
            break;
        for (const db::PlacedRow& row : rows) {
            if (row.values[0].isNull() || row.values[0].toString() != noted)
                return pages;
            if (HasAddress(row.values[1]))
                pages << row.values[1].toString();
        }
        at = firstPresent(persons, rows.back().position + 1, {kCategoryName, kCategory});
    }
    return pages;
}

QString OpenPagesQuestion(qint64 pages)
{
    return QString::number(pages) + QStringLiteral(" 件のWebページを開きます　よろしいですか？");
}

QString FailedPagesMessage(const QList<PageFailure>& failures)
{
    if (failures.isEmpty())
        return {};
    QString text = QString::number(failures.size()) + QStringLiteral(" 件のWebページを開けませんでした。");
    // A long list would outgrow the screen: the first ones name the rest.
    constexpr int kShown = 10;
    for (int i = 0; i < failures.size() && i < kShown; ++i)
        text += QStringLiteral("\n") + failures[i].address + QStringLiteral("（") + failures[i].reason + QStringLiteral("）");
    if (failures.size() > kShown)
        text += QStringLiteral("\nほか ") + QString::number(failures.size() - kShown) + QStringLiteral(" 件");
    return text;
}

void OpenPages(const QStringList& addresses, std::function<void(const QList<PageFailure>&)> report)
{
    desktop::HandOverReport handOvers([report = std::move(report)](const QList<desktop::Failure>& failures) {
        QList<PageFailure> pages;
        for (const desktop::Failure& f : failures)
            pages << PageFailure{f.what, f.reason};
        report(pages);
    });
    for (const QString& address : addresses) {
        QString error;
        const desktop::Outcome outcome = handOvers.outcome(address);
        if (!desktop::opener().openUrl(address, &error, outcome))
            outcome(error);
    }
    handOvers.finish();
}

} // namespace tools
