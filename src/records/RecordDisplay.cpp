#include "records/RecordDisplay.h"

#include "shell/Formats.h"

#include <cmath>

namespace records {

QString ValueFieldText(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || v == 0)
        return {};
    return Module1::FormatNumber(v, v != std::floor(v) ? 1 : 0);
}

QDate StoredDate(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return {};
}

EraDateTexts EraTexts(const QList<Module1::Era>& eras, const QDate& date, QString* eraDate)
{
    EraDateTexts t;
    QString relative;
    t.eraName = Module1::JapaneseEraYear(eras, date, &relative).left(2);
    t.eraDate = relative;
    t.western = Module1::FormatSlashDateWeekday(date);
    if (eraDate)
        *eraDate = relative;
    return t;
}

QString YearsSinceText(const QDate& registered, const QDate& today)
{
    return QString::number(Module1::AgeInYears(registered, today)) + QStringLiteral(" 年");
}

QString PositionText(int position, int count)
{
    if (count <= 0 || position < 0)
        return QStringLiteral("0/0");
    return QString::number(qint64(position) + 1) + QLatin1Char('/') + QString::number(count);
}

namespace {
int optionOf(const QVariant& stored, int options)
{
    if (stored.isNull() || !stored.isValid())
        return -1;
    const QString s = stored.toString();
    for (int i = 0; i < options; ++i)
        if (s == QString::number(i + 1))
            return i;
    return -1;
}
} // namespace

int SexOption(const QVariant& stored) { return optionOf(stored, 2); }
int StateOption(const QVariant& stored) { return optionOf(stored, 3); }

bool RefusesMail(const QVariant& stored)
{
    return !stored.isNull() && stored.isValid() && stored.toBool();
}

} // namespace records
