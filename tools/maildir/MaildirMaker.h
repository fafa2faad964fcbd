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

// Writes a Maildir (cur, new, tmp) of options.count messages into the folder, which is made when
// missing; returns the bytes written. Some go to new, the others to cur with flags, some read.
std::size_t makeMaildir(const std::string& folder, const Options& options);

} // namespace maildirmaker
