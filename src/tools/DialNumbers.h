#pragma once
// The two dial strings of the dialler, built from its settings and the record's numbers.
// Only ASCII digits ever come out: whatever else a number or a prefix holds is dropped.

#include <QString>
#include <QVariant>

#include <optional>

namespace dialler {

// The carrier prefix options Option5(0) to Option5(3).
enum class CarrierPrefix { None = 0, Prefix0033 = 1, Prefix0036 = 2, Custom = 3 };

struct DialSettings {
    bool outsideLine = false;      // Option4(0) "使用する"
    QVariant outsideLineNumber;    // the stored "外線番号", not the box
    CarrierPrefix prefix = CarrierPrefix::None;
    QString customPrefix;          // Text5, for "指定番号"
};

struct DialStrings {
    QString home;
    QString mobile;
};

// The digits of a text, in order, as ASCII; full-width digits count as digits.
QString DialDigits(const QString& text);

// Outside-line number, then (mobile only) the carrier prefix, then the number's digits. A
// number without a digit gives an empty dial string: there is nothing to dial.
DialStrings BuildDialNumbers(const DialSettings& settings, const QString& homeNumber, const QString& mobileNumber);

// What the outside-line box Text3 may store: digits only (full-width ones too), as a number
// the field can hold. Anything else, the empty box included, is refused.
std::optional<qint64> ParseOutsideLineNumber(const QString& text);

} // namespace dialler
