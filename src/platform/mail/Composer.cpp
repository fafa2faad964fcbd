#include "platform/mail/Composer.h"

#include "platform/mail/XdgEmailComposer.h"

#include <QUrl>

namespace mailclient {
namespace {

Composer* current = nullptr;

}  // namespace

QStringList splitAddresses(const QString& text)
{
    QStringList addresses;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QString address = part.trimmed();
        if (!address.isEmpty())
            addresses << address;
    }
    return addresses;
}

QString mailtoUri(const QStringList& addresses)
{
    if (addresses.isEmpty())
        return {};
    QStringList encoded;
    for (const QString& address : addresses)
        encoded << QString::fromLatin1(QUrl::toPercentEncoding(address, "@"));
    return QStringLiteral("mailto:") + encoded.join(QLatin1Char(','));
}

Composer& composer()
{
    if (current)
        return *current;
    static XdgEmailComposer real;
    return real;
}

Composer* setComposer(Composer* composer)
{
    Composer* previous = current;
    current = composer;
    return previous;
}

} // namespace mailclient
