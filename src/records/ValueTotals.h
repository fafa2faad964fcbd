#pragma once
// The ten value fields "数値1" to "数値10": how a value box's text reads as a number, how a
// stored value is shown after a store, and the computed total and average that the captions of
// the value labels call for.

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace records {

inline constexpr int ValueFieldCount = 10;
using ValueFields = std::array<double, ValueFieldCount>;

// A value box's text as a number: an optional sign, digits (grouped by commas in threes, as the
// display writes them, or not grouped), an optional decimal point and fraction digits, with
// spaces around allowed. nullopt for anything else, "" included.
std::optional<double> ParseValueText(const QString& text);

// A value after it was stored: "#,###,##0.0" when it has a fractional part, else "#,###,##0";
// 0 shows "0".
QString StoredValueText(double value);
// An average: always "#,###,##0.0".
QString AverageText(double value);

// The box whose caption is the first to begin with "合計", when it is one of boxes 2 to 9;
// -1 otherwise (no such caption, or the first stands on box 0 or 1).
int TotalBox(const QStringList& captions);
// The same for "平均" and boxes 3 to 9.
int AverageBox(const QStringList& captions);

struct ComputedValues {
    int totalBox = -1;      // -1: nothing is computed
    double total = 0;
    int averageBox = -1;    // -1: no average is computed
    double average = 0;
};

// The total: the sum of the fields before the total box. The average, computed only with a
// total: the field directly before the average box divided by how many fields before that one
// hold more than 0; 0 when none does.
ComputedValues ComputeValues(const QStringList& captions, const ValueFields& values);

} // namespace records
