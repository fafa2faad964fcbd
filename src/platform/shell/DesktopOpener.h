#pragma once
// Opens through xdg-open: the address or file is one argument, never a command line, and
// xdg-open's exit status tells whether the desktop had a program for it.

#include "platform/shell/Opener.h"

namespace desktop {

class DesktopOpener : public Opener {
public:
    // The program to run; tests name a stand-in.
    explicit DesktopOpener(QString program = QStringLiteral("xdg-open")) : program_(std::move(program)) {}

    bool openUrl(const QString& address, QString* error, Outcome outcome) override;
    bool openFile(const QString& path, QString* error, Outcome outcome) override;

private:
    QString program_;
};

}  // namespace desktop
