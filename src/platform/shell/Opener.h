#pragma once
// Opening web addresses and files on the desktop.

#include "platform/shell/HandOver.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace desktop {

// The web address to open for a text typed by a user or stored in a record: surrounding spaces
// removed, "http://" put before an address without a scheme; only http and https pass. nullopt
// (with the reason in `error`) for an empty text, another scheme or an address without a host.
std::optional<QUrl> webAddress(const QString& address, QString* error = nullptr);

class Opener {
public:
    virtual ~Opener() = default;
    // Opens the web address (see webAddress) in the desktop's browser. False with the reason in
    // `error` when it is refused or the browser could not be started; `outcome` then never runs.
    // Otherwise `outcome` tells, once the desktop's program has ended, whether it opened it.
    virtual bool openUrl(const QString& address, QString* error, Outcome outcome) = 0;
    // Opens the file with the desktop's program for it, as openUrl.
    virtual bool openFile(const QString& path, QString* error, Outcome outcome) = 0;
};

// The process-wide opener (the desktop one unless a test installed another).
Opener& opener();
// Installs another opener (nullptr: the desktop one again); returns the one installed before.
Opener* setOpener(Opener* opener);

class ScopedOpener {
public:
    explicit ScopedOpener(Opener* opener) : previous_(setOpener(opener)) {}
    ~ScopedOpener() { setOpener(previous_); }
    ScopedOpener(const ScopedOpener&) = delete;
    ScopedOpener& operator=(const ScopedOpener&) = delete;

private:
    Opener* previous_;
};

}  // namespace desktop
