#include "platform/shell/Opener.h"

#include "platform/shell/DesktopOpener.h"

#include <QRegularExpression>

namespace desktop {
namespace {

Opener* current = nullptr;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

}  // namespace

std::optional<QUrl> webAddress(const QString& address, QString* error)
{
    const QString text = address.trimmed();
    if (text.isEmpty()) {
        setError(error, QStringLiteral("アドレスが指定されていません"));
        return std::nullopt;
    }
    // "name:" starts a scheme, except "host:8080" where the digits are a port.
    static const QRegularExpression schemePrefix(QStringLiteral("^([A-Za-z][A-Za-z0-9+.\\-]*):(?!\\d+(?:[/?#]|$))"));
    const QRegularExpressionMatch m = schemePrefix.match(text);
    QString full = text;
    if (m.hasMatch()) {
        const QString scheme = m.captured(1).toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
            setError(error, QStringLiteral("http または https のアドレスしか開けません: ") + text);
            return std::nullopt;
        }
    } else {
        full = QStringLiteral("http://") + text;
    }
    const QUrl url(full, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) {
        setError(error, QStringLiteral("アドレスが正しくありません: ") + text);
        return std::nullopt;
    }
    return url;
}

Opener& opener()
{
    if (current)
        return *current;
    static DesktopOpener real;
    return real;
}

Opener* setOpener(Opener* opener)
{
    Opener* previous = current;
    current = opener;
    return previous;
}

}  // namespace desktop
