#include "platform/mail/XdgEmailComposer.h"

namespace mailclient {

QStringList XdgEmailComposer::arguments(const QStringList& addresses)
{
    return {mailtoUri(addresses)};
}

bool XdgEmailComposer::compose(const QStringList& addresses, QString* error, desktop::Outcome outcome)
{
    if (addresses.isEmpty()) {
        if (error)
            *error = QStringLiteral("宛先が指定されていません");
        return false;
    }
    const auto ended = [outcome = std::move(outcome)](const QString& failure) {
        if (outcome)
            outcome(failure.isEmpty() ? failure : QStringLiteral("メールソフトでメールを作成できませんでした: ") + failure);
    };
    if (!desktop::handOver(program_, arguments(addresses), ended)) {
        if (error)
            *error = QStringLiteral("メールソフトを起動できませんでした: ") + program_;
        return false;
    }
    return true;
}

} // namespace mailclient
