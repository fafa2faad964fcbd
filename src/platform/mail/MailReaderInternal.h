#pragma once
// Pieces of the message reader shared inside the mail library. Plain C++.

#include "platform/mail/MailCore.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace mailcore {

// Initialises GMime once per process.
void ensureGMime();

// read(2), tried again when a signal interrupts it.
long readRetrying(int fd, char* buffer, size_t size);

// The MIME structure of a message as GMime's parser splits it: the parts at every level (each
// opened by a delimiter line), the deepest nesting (multiparts and attached messages), and where
// the message's own header block ends (its blank line included).
struct MimeShape {
    size_t parts = 0;
    int depth = 0;
    // Neither more than kMaxMimeParts parts nor deeper than kMaxMimeDepth; false also when a
    // header that decides the structure is too long to read as GMime would.
    bool withinBounds = true;
    std::uint64_t headerEnd = 0;
};

// Counts the structure of a message from its bytes fed in order, in pieces of any size, without
// building it; it stops counting once a bound is passed. Memory: the longest line it keeps
// (kMaxHeaderBlockBytes) and one entry per level.
class MimeScanner {
public:
    MimeScanner();
    ~MimeScanner();
    MimeScanner(const MimeScanner&) = delete;
    MimeScanner& operator=(const MimeScanner&) = delete;
    // False once a bound is passed: the rest need not be fed.
    bool feed(const char* data, size_t size);
    MimeShape finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

MimeShape scanMimeShape(const char* data, size_t size);
// The shape of a file read from its current offset to its end (or until a bound is passed);
// false when reading fails.
bool scanMimeShapeFile(int fd, MimeShape* shape);
// The tree GMime builds of the bytes, counted the same way (tests hold the scan against it).
MimeShape parsedMimeShape(const std::string& bytes);

// parseMessage on a file, within the bounds of MailCore.h: a small file is read in one piece, a
// larger one through GMime's file stream (its parts stay in the file), one above
// kMaxMessageFileBytes for its headers only, and so is one whose structure, counted before GMime
// parses it, passes kMaxMimeParts or kMaxMimeDepth (tooComplex). An empty file, one whose
// headers GMime cannot read or that do not end within kMaxHeaderBlockBytes, or one that is there
// but cannot be opened, is damaged. `ok` false when it is gone.
// `headers`, when given, receives the message read for its header block alone before the rest
// of a file larger than its first read is counted or parsed (the reader process answers them
// first).
MessageInfo parseMessageFile(const std::string& path, bool* ok, const std::function<void(const MessageInfo&)>& headers = {});
// A message file read for its header block alone (no body, no attachments), or damaged as
// parseMessageFile finds it; `ok` false when it is gone.
MessageInfo parseMessageHeaders(const std::string& path, bool* ok);

// The body text of a message file (readBody's text, read as a stream, at most `limit` bytes);
// "" when the file has grown past the bounds since the fetch. Throws InvalidMessage when the
// file cannot be opened.
BodyText readBodyFile(const std::string& path, const MessageInfo& info, size_t limit = kMaxBodyTextBytes);

// Attachment j of a message file decoded into the open file `fd` as a stream. Throws
// InvalidMessage when the message or its part cannot be read, AttachmentWriteFailure when
// writing fails (`name` names the target in the message).
void writeAttachmentFile(const std::string& path, const MessageInfo& info, size_t j, int fd, const std::string& name);

} // namespace mailcore
