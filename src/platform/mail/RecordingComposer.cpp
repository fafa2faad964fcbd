#include "platform/mail/RecordingComposer.h"

#include "platform/mail/XdgEmailComposer.h"

namespace mailclient {

bool RecordingComposer::compose(const QStringList& addresses, QString* error, desktop::Outcome outcome)
{
    requests << addresses;
    if (addresses.isEmpty()) {
        if (error)
            *error = QStringLiteral("宛先が指定されていません");
        return false;
    }
    if (!succeed) {
        if (error)
            *error = failure;
        return false;
    }
    arguments << XdgEmailComposer::arguments(addresses);
    if (outcome)
        outcome(ends);
    return true;
}

} // namespace mailclient
