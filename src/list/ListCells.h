#pragma once
// What the list window's page shows, apart from the window: the texts of a record's 24 cells,
// the 24 headings, the sort options' captions and the run of one category's web pages.

#include "platform/db/Recordset.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <functional>
#include <optional>

namespace listwin {

inline constexpr int PageRows = 20;
inline constexpr int CellColumns = 24;  // Text1 .. Text24
inline constexpr int HeadingCount = 24; // Label1(0) .. Label1(23)

// The row of "住所録ラベル" as read: a field the row lacks (or a missing row) is missing, which
// is told apart from Null and from the empty text.
struct CaptionRow {
    bool present = false;
    QHash<QString, QVariant> fields;

    // nullopt when missing; else the stored value (an invalid QVariant for Null).
    std::optional<QVariant> get(const QString& field) const;
};

// The current row of the caption recordset; not present when it is closed or has no row.
CaptionRow ReadCaptionRow(const db::Recordset& captions);

// The stored caption when it holds text; the built-in one when it is missing, Null or empty.
QString CaptionOrBuiltIn(const CaptionRow& row, const QString& field, const QString& builtIn);

// The fields of a personal record the page reads, in one list.
const QStringList& ListCellFields();

// The statement of the window's records in a display order 1 to 6: the order's saved query with
// only the fields the page and its commands read, so that the copy the snapshot takes stays small.
QString OrderSnapshotSql(int displayOrder);
// The number of its records, read from the person table: each saved query of an order lists every
// record once (the category is joined on its table's key), and the table counts by an index
// where the query would walk every record.
QString OrderCountSql();

// A field's value by name (Null for a missing one).
using FieldValue = std::function<QVariant(const QString& field)>;

// The texts of Text1 .. Text24 (index 0 .. 23) of one record; "" where a cell stays empty.
std::array<QString, CellColumns> ListCellTexts(const FieldValue& record, const CaptionRow& captions, const QDate& today);

// The texts of Label1(0) .. Label1(23).
std::array<QString, HeadingCount> ListHeadings(const CaptionRow& captions);

// The captions of Option2(0) .. Option2(5).
std::array<QString, 6> OrderOptionCaptions(const CaptionRow& captions);

// The category web pages of the record at position `focused`: the category name of that record,
// the first record of the same category from the start, and the run of records from there on
// whose category is the same; a record of another category or of none ends the run. Given the
// category names and web addresses of all records in order. The addresses of the run that are
// not empty, in order; empty when the record has no category (Null or empty) or lies outside.
QStringList CategoryWebAddresses(const QList<QVariantList>& namesAndAddresses, qint64 focused);

// The question asked before more than this many pages are opened at once.
inline constexpr int PagesWithoutQuestion = 20;
QString ManyPagesQuestion(qint64 pages);

// A record-number cell that "写真" may act on: digits only (after leading spaces).
bool IsRecordNumberText(const QString& text);

} // namespace listwin

namespace listwin {

// The window caption: the title fitted to 160 Shift-JIS bytes, then today's date, so that the
// date always starts at byte 161.
QString WindowCaption(const QString& title, const QDate& today);

} // namespace listwin
