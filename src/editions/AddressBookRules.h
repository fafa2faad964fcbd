#pragma once
// The rules of the address-book edition's windows that need no window: the database-file list's
// lines, the record number as typed, the birth date after a store, and the average field.

#include "records/ValueTotals.h"
#include "shell/Helpers.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace editions {

// A line of the main window's database-file list: the file name without its last four
// characters (".mdb").
QString BareDatabaseName(const QString& fileName);

// The record number typed into the 会員NO box: digits with an optional decimal fraction (spaces
// around allowed), rounded half away from zero; nullopt for anything else and for a number
// outside 1 to 2,147,483,647. "12.6" gives 13, "1,234", "-5", "1e12" and "0.4" give nullopt.
std::optional<qint64> ParseRoundedMemberNo(const QString& text);

// A stored birth date as the box shows it after a store: the era year without a leading zero,
// "/", month and day in two digits ("2/05/01"). The era comes from the era table, so that the
// text converts back to the same date. "" when no era holds the date.
QString EraYearDate(const QList<Module1::Era>& eras, const QDate& date);

// The total as the other edition computes it; the average field is the field just before it
// divided by the number of fields before that one (a fixed 2 to 8; nothing is counted). A Null
// field is read as 0, so the average is never Null or NaN.
records::ComputedValues ComputeValuesFixedDivisor(const QStringList& captions, const records::ValueFields& values);

} // namespace editions
