#pragma once
// The fixed-width lines of the record window's record list, one per record. Widths in bytes are
// Shift-JIS bytes (so, in the list's fixed-pitch font, widths on screen); the number, the dates,
// the age and the telephone numbers are counted in characters.

#include <QDate>
#include <QList>
#include <QStringList>
#include <QVariant>

namespace records {

// The fields a line is made of, in the order RecordListLine takes their values (for a bulk read).
const QStringList& RecordListFields();

// The line of one record from the values of RecordListFields(), ages as on `today`. An empty list
// (a record deleted elsewhere) gives an empty line.
QString RecordListLine(const QVariantList& values, const QDate& today);
QStringList RecordListLines(const QList<QVariantList>& rows, const QDate& today);

// True when nothing is left of the text after its leading spaces are removed: a mail or web
// address that counts as none.
bool IsBlankAfterLeadingSpaces(const QString& text);

} // namespace records
