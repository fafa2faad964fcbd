#include "shell/Formats.h"

#include <cmath>

namespace Module1 {

namespace {

QString zeroPadded(qint64 value, int digits)
{
    const quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    const QString body = QString::number(magnitude).rightJustified(digits, u'0');
    return value < 0 ? QLatin1Char('-') + body : body;
}

QString yyyymmdd(const QDate& d)
{
    int y = 0, m = 0, day = 0;
    d.getDate(&y, &m, &day);
    if (y < 0 || y > 9999)
        return zeroPadded(y, 4) + u'/' + zeroPadded(m, 2) + u'/' + zeroPadded(day, 2);
    // Put together in place: lists and CSV files format a date for every record.
    const char16_t text[10] = {char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10), char16_t(u'0' + y / 10 % 10),
                               char16_t(u'0' + y % 10), u'/', char16_t(u'0' + m / 10), char16_t(u'0' + m % 10), u'/',
                               char16_t(u'0' + day / 10), char16_t(u'0' + day % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

} // namespace

QString WeekdayKanji(const QDate& date)
{
    if (!date.isValid())
        return QString();
    static const QString kNames = QStringLiteral("日月火水木金土");
    return kNames.at(date.dayOfWeek() % 7);   // dayOfWeek: 1 Monday .. 7 Sunday
}

QString FormatCaptionDate(const QDate& date)
{
    if (!date.isValid())
        return QString();
    return zeroPadded(date.year(), 4) + u'年' + zeroPadded(date.month(), 2) + u'月'
        + zeroPadded(date.day(), 2) + u'日' + u'(' + WeekdayKanji(date) + QStringLiteral(") ");
}

QString FormatSlashDateWeekday(const QDate& date)
{
    if (!date.isValid())
        return QString();
    static const char16_t kNames[] = u"日月火水木金土";
    QString text = yyyymmdd(date);
    text.reserve(13);
    text.append(u'(').append(QChar(kNames[date.dayOfWeek() % 7])).append(u')');
    return text;
}

QString FormatSlashDate(const QDate& date)
{
    return date.isValid() ? yyyymmdd(date) : QString();
}

QString FormatShortSlashDate(const QDate& date)
{
    if (!date.isValid())
        return QString();
    const int yy = ((date.year() % 100) + 100) % 100;
    return zeroPadded(yy, 2) + u'/' + zeroPadded(date.month(), 2) + u'/' + zeroPadded(date.day(), 2);
}

QString FormatShortSlashDateWeekday(const QDate& date)
{
    if (!date.isValid())
        return QString();
    return FormatShortSlashDate(date) + u'(' + WeekdayKanji(date) + u')';
}

QString FormatMonthDay(const QDate& date)
{
    return date.isValid() ? zeroPadded(date.month(), 2) + u'/' + zeroPadded(date.day(), 2) : QString();
}

QString FormatSlashMonthDay(const QDate& date)
{
    return date.isValid() ? u'/' + FormatMonthDay(date) : QString();
}

QString FormatEraName(const QList<Era>& eras, const QDate& date)
{
    const Era* era = EraOf(eras, date);
    return era ? era->name : QString();
}

QString FormatTwoDigits(qint64 value)
{
    return zeroPadded(value, 2);
}

QString FormatMemberNo(qint64 value)
{
    return zeroPadded(value, 8);
}

QString FormatPlain(qint64 value)
{
    return QString::number(value);
}

QString FormatNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString();
    decimals = qBound(0, decimals, 6);
    const double scaled = std::round(std::abs(value) * std::pow(10.0, decimals));
    // All digits of the rounded value, then the decimal point put back in.
    QString digits = QString::number(scaled, 'f', 0).rightJustified(decimals + 1, u'0');
    const QString fraction = digits.right(decimals);
    QString whole = digits.left(digits.size() - decimals);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, u',');
    QString out = decimals > 0 ? whole + u'.' + fraction : whole;
    if (value < 0 && scaled != 0)   // -0.4 rounds to "0", not "-0"
        out.prepend(u'-');
    return out;
}

QString FormatAtLeastTwo(const QString& text)
{
    return text.rightJustified(2, u' ');
}

} // namespace Module1
