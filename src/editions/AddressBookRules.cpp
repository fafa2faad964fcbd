#include "editions/AddressBookRules.h"

#include "records/FieldLimits.h"
#include "shell/Formats.h"

#include <QRegularExpression>

namespace editions {

QString BareDatabaseName(const QString& fileName)
{
    return fileName.chopped(qMin<qsizetype>(4, fileName.size()));
}

std::optional<qint64> ParseRoundedMemberNo(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^([0-9]+)(?:\\.([0-9]+))?$"));
    const QRegularExpressionMatch m = number.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString whole = m.captured(1);
    while (whole.size() > 1 && whole.front() == u'0')
        whole.remove(0, 1);
    // Longer than the largest number: no need to read it.
    if (whole.size() > 10)
        return std::nullopt;
    qint64 value = whole.toLongLong();
    const QString fraction = m.captured(2);
    if (!fraction.isEmpty() && fraction.front() >= u'5')
        ++value;
    if (value < 1 || value > records::MaxMemberNo)
        return std::nullopt;
    return value;
}

QString EraYearDate(const QList<Module1::Era>& eras, const QDate& date)
{
    const Module1::Era* era = Module1::EraOf(eras, date);
    if (!era)
        return {};
    return QString::number(date.year() - era->start.year() + 1) + Module1::FormatSlashMonthDay(date);
}

records::ComputedValues ComputeValuesFixedDivisor(const QStringList& captions, const records::ValueFields& values)
{
    records::ComputedValues c;
    c.totalBox = records::TotalBox(captions);
    if (c.totalBox < 0)
        return c;
    records::ValueFields v = values;
    for (int k = 0; k < c.totalBox; ++k)
        c.total += v[size_t(k)];
    v[size_t(c.totalBox)] = c.total;

    c.averageBox = records::AverageBox(captions);
    if (c.averageBox < 0)
        return c;
    // The average box is 3 or above: the divisor is 2 at least.
    const int divided = c.averageBox - 1;
    c.average = v[size_t(divided)] / divided;
    return c;
}

} // namespace editions
