#include "tools/DialNumbers.h"

namespace dialler {

namespace {

// "外線番号" is a long integer.
constexpr qint64 kMaxOutsideLineNumber = 2147483647;

} // namespace

QString DialDigits(const QString& text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digits.append(c);
        else if (u >= u'０' && u <= u'９')
            digits.append(QChar(char16_t(u'0' + (u - u'０'))));
    }
    return digits;
}

DialStrings BuildDialNumbers(const DialSettings& settings, const QString& homeNumber, const QString& mobileNumber)
{
    QString outside;
    if (settings.outsideLine && !settings.outsideLineNumber.isNull())
        outside = DialDigits(settings.outsideLineNumber.toString());
    QString prefix;
    switch (settings.prefix) {
    case CarrierPrefix::Prefix0033: prefix = QStringLiteral("0033"); break;
    case CarrierPrefix::Prefix0036: prefix = QStringLiteral("0036"); break;
    case CarrierPrefix::Custom: prefix = DialDigits(settings.customPrefix); break;
    case CarrierPrefix::None: break;
    }
    DialStrings out;
    const QString home = DialDigits(homeNumber);
    const QString mobile = DialDigits(mobileNumber);
    if (!home.isEmpty())
        out.home = outside + home;
    if (!mobile.isEmpty())
        out.mobile = outside + prefix + mobile;
    return out;
}

std::optional<qint64> ParseOutsideLineNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    const QString digits = DialDigits(text);
    if (digits.size() != text.size())
        return std::nullopt;
    bool ok = false;
    const qint64 n = digits.toLongLong(&ok);
    if (!ok || n > kMaxOutsideLineNumber)
        return std::nullopt;
    return n;
}

} // namespace dialler
