#pragma once
// Opens through QDesktopServices (xdg-open on Linux): the address or file is one argument, never
// a command line.

#include "platform/shell/Opener.h"

namespace desktop {

class DesktopOpener : public Opener {
public:
    bool openUrl(const QString& address, QString* error = nullptr) override;
    bool openFile(const QString& path, QString* error = nullptr) override;
};

}  // namespace desktop
