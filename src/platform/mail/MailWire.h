#pragma once
// What the mail window's side and the mail reader process say to each other over their socket:
// frames of a 4-byte length and a payload, the payload a kind byte and fields. Plain C++.
//
// Requests (window to reader), each answered in order:
//   'F' path                        -> 'H' headers (the message's own header block read alone)
//                                      for a file larger than its first read, then 'M' found info
//   'h' path                        -> 'M' found info of the header block alone
//   'B' path info limit             -> 'T' body text, or 'E'
//   'A' path info j target name     -> 'K' written into the file at target, or 'E'
// 'E' carries a MailError (number, description).

#include "platform/mail/MailCore.h"

#include <cstdint>
#include <string>

namespace mailcore::wire {

// The largest frame either side accepts: a bound on what a message can make the window keep.
constexpr std::uint32_t kMaxFrameBytes = std::uint32_t(16) << 20;

class Writer {
public:
    explicit Writer(char kind);
    void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void u64(std::uint64_t v);
    void str(const std::string& s);
    void info(const MessageInfo& m);
    // The frame: length and payload.
    std::string frame() const;

private:
    std::string out_;
};

// Reads a payload's fields; every read past its end makes ok() false.
class Reader {
public:
    Reader(const char* data, size_t size) : p_(data), end_(data + size) {}
    char kind();
    std::uint8_t u8();
    std::uint64_t u64();
    std::string str();
    MessageInfo info();
    bool ok() const { return ok_; }

private:
    bool take(size_t n);
    const char* p_;
    const char* end_;
    bool ok_ = true;
};

// The length of the frame at the start of `buffer` when it is all there (4 + payload), else 0;
// `tooLong` when it declares more than kMaxFrameBytes.
size_t completeFrame(const std::string& buffer, size_t from, bool* tooLong);

} // namespace mailcore::wire
