#include "platform/mail/MailWire.h"

#include <cstring>

namespace mailcore::wire {

Writer::Writer(char kind)
{
    out_.push_back(kind);
}

void Writer::u64(std::uint64_t v)
{
    char b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    out_.append(b, 8);
}

void Writer::str(const std::string& s)
{
    u64(s.size());
    out_ += s;
}

void Writer::info(const MessageInfo& m)
{
    str(m.dateReceived);
    u64(static_cast<std::uint64_t>(m.receivedTime));
    u8(static_cast<std::uint8_t>((m.hasDate ? 1 : 0) | (m.tooLarge ? 2 : 0) | (m.tooComplex ? 4 : 0) | (m.damaged ? 8 : 0)));
    str(m.displayName);
    str(m.address);
    str(m.subject);
    u8(static_cast<std::uint8_t>(m.bodyKind));
    u64(m.bodyPart.size());
    for (int i : m.bodyPart)
        u64(static_cast<std::uint64_t>(i));
    u64(m.attachments.size());
    for (const AttachmentInfo& a : m.attachments) {
        str(a.name);
        str(a.fileName);
        u64(a.part.size());
        for (int i : a.part)
            u64(static_cast<std::uint64_t>(i));
    }
}

std::string Writer::frame() const
{
    std::string f(4, '\0');
    const auto n = static_cast<std::uint32_t>(out_.size());
    for (int i = 0; i < 4; ++i)
        f[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    return f + out_;
}

bool Reader::take(size_t n)
{
    if (!ok_ || static_cast<size_t>(end_ - p_) < n) {
        ok_ = false;
        return false;
    }
    return true;
}

char Reader::kind()
{
    return static_cast<char>(u8());
}

std::uint8_t Reader::u8()
{
    if (!take(1))
        return 0;
    return static_cast<std::uint8_t>(*p_++);
}

std::uint64_t Reader::u64()
{
    if (!take(8))
        return 0;
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= std::uint64_t(static_cast<unsigned char>(p_[i])) << (8 * i);
    p_ += 8;
    return v;
}

std::string Reader::str()
{
    const std::uint64_t n = u64();
    if (!take(n))
        return {};
    std::string s(p_, n);
    p_ += n;
    return s;
}

MessageInfo Reader::info()
{
    MessageInfo m;
    m.dateReceived = str();
    m.receivedTime = static_cast<std::int64_t>(u64());
    const std::uint8_t flags = u8();
    m.hasDate = flags & 1;
    m.tooLarge = flags & 2;
    m.tooComplex = flags & 4;
    m.damaged = flags & 8;
    m.displayName = str();
    m.address = str();
    m.subject = str();
    const std::uint8_t kind = u8();
    m.bodyKind = kind == 1 ? BodyKind::Plain : kind == 2 ? BodyKind::Html : BodyKind::None;
    // Counts are checked against what is left, so that a bad frame cannot make a huge vector.
    const auto path = [&](std::vector<int>& into) {
        const std::uint64_t n = u64();
        if (n > static_cast<std::uint64_t>(end_ - p_) / 8) {
            ok_ = false;
            return;
        }
        into.reserve(n);
        for (std::uint64_t i = 0; i < n; ++i)
            into.push_back(static_cast<int>(u64()));
    };
    path(m.bodyPart);
    const std::uint64_t attachments = u64();
    if (attachments > static_cast<std::uint64_t>(end_ - p_) / 24) {
        ok_ = false;
        return m;
    }
    m.attachments.reserve(attachments);
    for (std::uint64_t i = 0; i < attachments && ok_; ++i) {
        AttachmentInfo a;
        a.name = str();
        a.fileName = str();
        path(a.part);
        m.attachments.push_back(std::move(a));
    }
    return m;
}

size_t completeFrame(const std::string& buffer, size_t from, bool* tooLong)
{
    *tooLong = false;
    if (buffer.size() - from < 4)
        return 0;
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t(static_cast<unsigned char>(buffer[from + i])) << (8 * i);
    if (n > kMaxFrameBytes) {
        *tooLong = true;
        return 0;
    }
    return buffer.size() - from >= 4 + size_t(n) ? 4 + size_t(n) : 0;
}

} // namespace mailcore::wire
