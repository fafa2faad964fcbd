#pragma once
// A new mail composed in the user's mail program: addressed, for the user to write and send or
// to discard there.

#include "platform/shell/HandOver.h"

#include <QString>
#include <QStringList>

namespace mailclient {

// The number a failed hand-over is reported with (the old mail session's "unspecified failure").
inline constexpr int ComposeFailure = 32002;

// The addresses of a mail-address box: split at ";", surrounding spaces removed, empty parts
// dropped.
QStringList splitAddresses(const QString& text);

// The one "mailto:" address for the recipients: each address percent-encoded but for "@" and the
// unreserved characters, so that nothing in it can add headers, a body or another recipient, nor
// mean anything to a program that passes it on; several joined by ",". "" without addresses.
QString mailtoUri(const QStringList& addresses);

class Composer {
public:
    virtual ~Composer() = default;
    // Opens a new mail to the addresses. False with the reason in `error` when there is no
    // address or the mail program could not be started; `outcome` then never runs. Otherwise
    // `outcome` tells, once the hand-over has ended, whether the mail program took the mail.
    virtual bool compose(const QStringList& addresses, QString* error, desktop::Outcome outcome) = 0;
};

// The process-wide composer (xdg-email unless a test installed another).
Composer& composer();
// Installs another composer (nullptr: the xdg-email one again); returns the one installed before.
Composer* setComposer(Composer* composer);

class ScopedComposer {
public:
    explicit ScopedComposer(Composer* composer) : previous_(setComposer(composer)) {}
    ~ScopedComposer() { setComposer(previous_); }
    ScopedComposer(const ScopedComposer&) = delete;
    ScopedComposer& operator=(const ScopedComposer&) = delete;

private:
    Composer* previous_;
};

} // namespace mailclient
