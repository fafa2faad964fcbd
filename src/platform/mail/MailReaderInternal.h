#pragma once
// Pieces of the message reader shared inside the mail library. Plain C++.

#include "platform/mail/MailCore.h"

#include <string>

namespace mailcore {

// Initialises GMime once per process.
void ensureGMime();

// parseMessage on a file, within the bounds of MailCore.h: a small file is read in one piece, a
// larger one through GMime's file stream (its parts stay in the file), one above
// kMaxMessageFileBytes for its headers only. A file whose headers do not end within
// kMaxHeaderBlockBytes, or that is there but cannot be opened, is damaged. `ok` false when it
// is gone.
MessageInfo parseMessageFile(const std::string& path, bool* ok);

// The body text of a message file (readBody's text, read as a stream, at most `limit` bytes).
// Throws InvalidMessage when the file cannot be opened.
BodyText readBodyFile(const std::string& path, const MessageInfo& info, size_t limit = kMaxBodyTextBytes);

// Attachment j of a message file decoded into the open file `fd` as a stream. Throws
// InvalidMessage when the message or its part cannot be read, AttachmentWriteFailure when
// writing fails (`name` names the target in the message).
void writeAttachmentFile(const std::string& path, const MessageInfo& info, size_t j, int fd, const std::string& name);

} // namespace mailcore
