#pragma once
// Pieces of the message reader shared inside the mail library. Plain C++.

#include "platform/mail/MailCore.h"

#include <string>

namespace mailcore {

// Initialises GMime once per process.
void ensureGMime();

// parseMessage on a file, read through GMime's file stream. `ok` false when it cannot be opened.
MessageInfo parseMessageFile(const std::string& path, bool* ok);

} // namespace mailcore
