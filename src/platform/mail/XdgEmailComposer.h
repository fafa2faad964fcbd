#pragma once
// The desktop's mail program through xdg-email: one "mailto:" argument, started directly (never
// through a shell) and not waited for; its exit status tells whether the desktop had a mail
// program.

#include "platform/mail/Composer.h"

namespace mailclient {

class XdgEmailComposer : public Composer {
public:
    // The program to run; tests name a stand-in.
    explicit XdgEmailComposer(QString program = QStringLiteral("xdg-email")) : program_(std::move(program)) {}

    // The argument list the program gets for the addresses.
    static QStringList arguments(const QStringList& addresses);

    bool compose(const QStringList& addresses, QString* error, desktop::Outcome outcome) override;

private:
    QString program_;
};

} // namespace mailclient
