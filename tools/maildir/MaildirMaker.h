#pragma once
// Generated Maildirs for tests and benchmarks, reproducible from a seed: messages in ISO-2022-JP,
// Shift_JIS, EUC-JP and UTF-8, quoted-printable and base64, attachments, and a share of
// malformed headers and encodings. Plain C++.

#include <cstdint>
#include <random>
#include <string>

namespace maildirmaker {

struct Options {
    std::uint64_t seed = 1;
    int count = 100;
    double attachmentShare = 0.2;     // messages with attachments
    double malformedShare = 0.05;     // messages with broken headers or encodings
    std::size_t attachmentBytes = 30000;  // about this much attachment data per such message
    std::size_t bodyBytes = 0;        // body text of about this many UTF-8 bytes (never more); 0: 10 to 50 lines
};

// The bytes of one generated message; the same generator state gives the same message.
std::string makeMessage(std::mt19937_64& rng, const Options& options, int index);

// Text in a charset as Windows mail programs write it ("iso-2022-jp", "shift_jis", "euc-jp",
// "utf-8"); the text is UTF-8 of characters code page 932 holds.
std::string encodeText(const std::string& utf8, const std::string& charset);

// Messages of a hostile structure, to try the reader's bounds on them (From, Date and Subject
// headers, LF line ends):
// `parts` parts in one multipart/mixed with the boundary "b": with `text`, a text/plain part
// first; then up to `attachments` small text attachments ("a1.txt", ...); the rest empty parts,
// each "--b" and an empty line (no close delimiter). Five bytes a part.
std::string manyPartsMessage(std::size_t parts, std::size_t attachments = 0, bool text = false,
                             const std::string& subject = "parts");
// Multiparts nested `depth` levels deep (each the one part of the one around it), a text/plain
// part "bottom" in the innermost, every level closed. About 67 bytes a level.
std::string nestedMessage(int depth, const std::string& subject = "nested");

// Messages that GMime's parser splits otherwise than a count of their bytes expects, each of
// about `bytes` bytes (From, Date and Subject headers, LF line ends); each builds a tree of far
// more parts, or part headers, than a reader may hold:
//  "latin1-boundary"   the boundary parameter a Latin-1 byte, the delimiter lines that character in
//                      UTF-8 (the header's value as GMime decodes it), one empty part each;
//  "buffer-edge"       a text part's line whose "--b" starts where GMime's 4 kB read ends, opening a
//                      part that declares a multipart of empty parts;
//  "delimiter-header"  a part whose header block ends on the close delimiter "--x--" and declares
//                      the boundary "x--", followed by that line repeated;
//  "part-header-lines" a part whose header block is lines of "a:".
// Throws std::invalid_argument for another kind.
std::string hostileMessage(const std::string& kind, std::size_t bytes);
// The kinds hostileMessage makes, in that order.
const char* const* hostileKinds();

// A real message of `parts` base64 attachments of about `partBytes` decoded bytes each, and a text
// part first: the largest a mailbox may hold within the reader's bounds.
std::string bigAttachmentsMessage(std::size_t parts, std::size_t partBytes);

// Writes a Maildir (cur, new, tmp) of options.count messages into the folder, which is made when
// missing; returns the bytes written. Some go to new, the others to cur with flags, some read.
std::size_t makeMaildir(const std::string& folder, const Options& options);

} // namespace maildirmaker
