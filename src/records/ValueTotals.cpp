#include "records/ValueTotals.h"

#include "shell/Formats.h"

#include <QRegularExpression>

#include <cmath>

namespace records {

std::optional<double> ParseValueText(const QString& typed)
{
    const QString text = typed.trimmed();
    static const QRegularExpression number(QStringLiteral("^[+-]?(?:\\d{1,3}(?:,\\d{3})+|\\d+)?(?:\\.\\d*)?$"));
    if (!number.match(text).hasMatch() || !text.contains(QRegularExpression(QStringLiteral("\\d"))))
        return std::nullopt;
    QString plain = text;
    plain.remove(u',');
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString StoredValueText(double value)
{
    return Module1::FormatNumber(value, value != std::floor(value) ? 1 : 0);
}

QString AverageText(double value)
{
    return Module1::FormatNumber(value, 1);
}

namespace {

int firstBeginningWith(const QStringList& captions, const QString& head, int lowest)
{
    for (int k = 0; k < captions.size() && k < ValueFieldCount; ++k)
        if (captions.at(k).startsWith(head))
            return k >= lowest ? k : -1;
    return -1;
}

} // namespace

int TotalBox(const QStringList& captions)
{
    return firstBeginningWith(captions, QStringLiteral("合計"), 2);
}

int AverageBox(const QStringList& captions)
{
    return firstBeginningWith(captions, QStringLiteral("平均"), 3);
}

ComputedValues ComputeValues(const QStringList& captions, const ValueFields& values)
{
    ComputedValues c;
    c.totalBox = TotalBox(captions);
    if (c.totalBox < 0)
        return c;
    ValueFields v = values;
    for (int k = 0; k < c.totalBox; ++k)
        c.total += v[size_t(k)];
    v[size_t(c.totalBox)] = c.total;

    c.averageBox = AverageBox(captions);
    if (c.averageBox < 0)
        return c;
    const int divided = c.averageBox - 1;
    int counted = 0;
    for (int k = 0; k < divided; ++k)
        if (v[size_t(k)] > 0)
            ++counted;
    // Without a value above 0 there is nothing to average over.
    c.average = counted > 0 ? v[size_t(divided)] / counted : 0.0;
    return c;
}

} // namespace records
