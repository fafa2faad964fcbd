#pragma once
// How the record window writes the values of a personal record: value fields, dates in their
// three forms, years since registration, the position, the option groups.

#include "shell/Helpers.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace records {

// A value field: "" for Null and 0; "#,###,##0.0" when the value differs from its integer part
// (the greatest whole number not above it), else "#,###,##0".
QString ValueFieldText(const QVariant& value);

// A stored date: invalid for Null and for anything that does not hold a date.
QDate StoredDate(const QVariant& value);

// A date the three ways the window shows it.
struct EraDateTexts {
    QString eraName;   // the era box: first two characters of the era year ("平成")
    QString eraDate;   // the era-relative date box ("13/05/20")
    QString western;   // the label: "yyyy/mm/dd(aaa)"
};
// Also leaves the era-relative date in *eraDate, as each era conversion does.
EraDateTexts EraTexts(const QList<Module1::Era>& eras, const QDate& date, QString* eraDate = nullptr);

// Whole years from the registration to today followed by " 年"; "0 年" for a later date.
QString YearsSinceText(const QDate& registered, const QDate& today);

// The position label: position + 1, "/", count ("3/120"); "0/0" without records.
QString PositionText(int position, int count);

// The option button a stored "性別" or "状態" turns on: "1" → 0, "2" → 1 (, "3" → 2); -1 for any
// other value, which leaves every button of the group as it was.
int SexOption(const QVariant& stored);
int StateOption(const QVariant& stored);

// "メール送信拒否": only True ticks the box; False and Null leave it unticked.
bool RefusesMail(const QVariant& stored);

} // namespace records
