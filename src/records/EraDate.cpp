#include "records/EraDate.h"

#include "platform/db/Criteria.h"

#include <QStringList>

namespace records {

namespace {

// A run of ASCII digits of 1 to maxDigits characters.
bool readDigits(const QString& s, int maxDigits, int* value)
{
    if (s.isEmpty() || s.size() > maxDigits)
        return false;
    int n = 0;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
        n = n * 10 + (c.unicode() - u'0');
    }
    *value = n;
    return true;
}

} // namespace

QDate FindEraStart(db::Recordset& eras, const QString& name)
{
    if (!eras.isOpen() || eras.recordCount() == 0 || name.isEmpty())
        return {};
    if (!eras.findFirst(db::eq(QStringLiteral("和暦名称"), name)))
        return {};
    const QVariant start = eras.value(QStringLiteral("年号"));
    return start.typeId() == QMetaType::QDateTime ? start.toDateTime().date() : start.toDate();
}

QString ConvertEraDate(const QDate& eraStart, const QString& dateText)
{
    if (!eraStart.isValid())
        return {};
    qsizetype digits = 0;
    while (digits < dateText.size() && digits < 9 && dateText.at(digits) >= u'0' && dateText.at(digits) <= u'9')
        ++digits;
    if (digits == 0)
        return {};
    const int year = eraStart.year() + dateText.left(digits).toInt() - 1;
    const qsizetype slash = dateText.indexOf(u'/');
    return QString::number(year).rightJustified(2, u' ') + (slash < 0 ? QString() : dateText.mid(slash));
}

QDate WesternEraDate(const QDate& eraStart, const QString& dateText)
{
    if (!eraStart.isValid())
        return {};
    const QStringList parts = dateText.split(u'/');
    int eraYear = 0, month = 0, day = 0;
    if (parts.size() != 3 || !readDigits(parts.at(0), 4, &eraYear) || !readDigits(parts.at(1), 2, &month)
        || !readDigits(parts.at(2), 2, &day) || eraYear < 1)
        return {};
    // Checked in the western year: 02/29 exists in 昭和63 (1988), not in 平成02 (1990).
    return QDate(eraStart.year() + eraYear - 1, month, day);
}

} // namespace records
