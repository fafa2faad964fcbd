#include "platform/mail/XdgEmailComposer.h"

#include <QProcess>

namespace mailclient {

QStringList XdgEmailComposer::arguments(const QStringList& addresses)
{
    return {mailtoUri(addresses)};
}

bool XdgEmailComposer::compose(const QStringList& addresses, QString* error)
{
    if (addresses.isEmpty()) {
        if (error)
            *error = QStringLiteral("宛先が指定されていません");
        return false;
    }
    if (!QProcess::startDetached(program_, arguments(addresses))) {
        if (error)
            *error = QStringLiteral("メールソフトを起動できませんでした: ") + program_;
        return false;
    }
    return true;
}

} // namespace mailclient
