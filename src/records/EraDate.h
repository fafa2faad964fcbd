#pragma once
// Era dates as the record window takes them: an era chosen by name and a date "yy/mm/dd" within
// that era, turned into a western date.

#include "platform/db/Recordset.h"

#include <QDate>
#include <QString>

namespace records {

// The first day of the era of that name in the era table ("年号ｺｰﾄﾞ", with "和暦名称" and
// "年号"), looked up with the name as a bound value; invalid when the table holds no such era
// (or is closed).
QDate FindEraStart(db::Recordset& eras, const QString& name);

// The western date as text: the year of the era's first day plus the number at the start of the
// date text, less 1 (at least two characters, right-aligned with spaces), then the date text
// from its first "/" on. "" when the era start is invalid or the text starts with no number.
// For an era starting 1989/01/08: "05/04/01" gives "1993/04/01", "1/12/3" gives "1989/12/3".
QString ConvertEraDate(const QDate& eraStart, const QString& dateText);

// The date an era-relative "yy/mm/dd" stands for: era year (1 to 4 digits, from 1), month and
// day (1 or 2 digits each), the day one that exists in that month of that western year. Invalid
// for any other text or an invalid era start.
QDate WesternEraDate(const QDate& eraStart, const QString& dateText);

} // namespace records
