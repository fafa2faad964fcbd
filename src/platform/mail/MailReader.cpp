// Received messages read with GMime: headers and structure at the fetch, body and attachments when
// asked. GMime splits the message and undoes the transfer encodings; the texts go through
// MailText, so that the Japanese charsets decode through code page 932.
// No Qt header here: glib's headers use the word "signals".

#include "platform/mail/MailCore.h"
#include "platform/mail/MailReaderInternal.h"
#include "platform/mail/MailText.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <iconv.h>
#include <mutex>
#include <vector>
#include <unistd.h>

namespace mailcore {

MailError::MailError(int number, std::string description)
    : std::runtime_error(std::to_string(number) + "\n" + description), number_(number), description_(std::move(description))
{
}

std::string MailError::text() const
{
    return std::to_string(number_) + "\n" + description_;
}

void ensureGMime()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_mime_init();
        // GMime opens and closes a converter for every encoded header; glibc unloads a charset's
        // module when its last converter closes and loads it again at the next. Converters kept
        // open for the charsets mail arrives in keep their modules loaded.
        struct Pinned {
            std::vector<iconv_t> converters;
            ~Pinned()
            {
                for (iconv_t cd : converters)
                    if (cd != reinterpret_cast<iconv_t>(-1))
                        iconv_close(cd);
            }
        };
        static Pinned pinned;
        for (const char* charset : {"ISO-2022-JP", "SHIFT_JIS", "CP932", "EUC-JP", "ISO-8859-1", "WINDOWS-1252", "ISO-2022-JP-2"}) {
            pinned.converters.push_back(iconv_open("UTF-8", charset));
            pinned.converters.push_back(iconv_open(charset, "UTF-8"));
        }
    });
}

namespace {

// The raw value of the first header of the name, "" when there is none.
std::string rawHeader(GMimeObject* object, const char* name, bool* found = nullptr)
{
    GMimeHeaderList* list = g_mime_object_get_header_list(object);
    if (found)
        *found = false;
    if (!list)
        return {};
    const int n = g_mime_header_list_get_count(list);
    for (int i = 0; i < n; ++i) {
        GMimeHeader* h = g_mime_header_list_get_header_at(list, i);
        const char* hn = g_mime_header_get_name(h);
        if (hn && g_ascii_strcasecmp(hn, name) == 0) {
            if (found)
                *found = true;
            const char* v = g_mime_header_get_raw_value(h);
            return v ? std::string(v) : std::string();
        }
    }
    return {};
}

std::string trimmed(std::string s)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t a = 0;
    while (a < s.size() && space(s[a]))
        ++a;
    size_t b = s.size();
    while (b > a && space(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

// The first mailbox of an address-list text, up to the first "," outside quotes, brackets and
// comments.
std::string firstMailbox(const std::string& v)
{
    int angle = 0, paren = 0;
    bool quoted = false;
    for (size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        if (const size_t end = c == '=' ? encodedWordEnd(v, i) : std::string::npos; end != std::string::npos) {
            i = end - 1;
            continue;
        }
        if (quoted) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                quoted = false;
        } else if (paren > 0) {
            if (c == '\\')
                ++i;
            else if (c == '(')
                ++paren;
            else if (c == ')')
                --paren;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            ++paren;
        } else if (c == '<') {
            ++angle;
        } else if (c == '>') {
            angle = angle > 0 ? angle - 1 : 0;
        } else if (c == ',' && angle == 0) {
            return v.substr(0, i);
        }
    }
    return v;
}

std::string unquote(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"')
            continue;
        if (s[i] == '\\' && i + 1 < s.size())
            ++i;
        out += s[i];
    }
    return out;
}

// Display name and address of a From value, read without GMime's charset handling so that the
// name decodes as every other header text does.
void parseFrom(const std::string& raw, InternetAddressList* fromList, std::string& name, std::string& address)
{
    const std::string v = firstMailbox(unfold(raw));
    name.clear();
    address.clear();
    // "name <address>"
    bool quoted = false;
    size_t lt = std::string::npos;
    for (size_t i = 0; i < v.size(); ++i) {
        if (const size_t end = v[i] == '=' ? encodedWordEnd(v, i) : std::string::npos; end != std::string::npos) {
            i = end - 1;
            continue;
        }
        if (v[i] == '\\' && quoted) {
            ++i;
            continue;
        }
        if (v[i] == '"')
            quoted = !quoted;
        else if (v[i] == '<' && !quoted) {
            lt = i;
            break;
        }
    }
    if (lt != std::string::npos) {
        name = trimmed(v.substr(0, lt));
        const size_t gt = v.find('>', lt);
        address = trimmed(v.substr(lt + 1, gt == std::string::npos ? std::string::npos : gt - lt - 1));
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = unquote(name);
        name = decodeHeaderText(name);
    } else {
        // "address (name)"
        const size_t lp = v.find('(');
        if (lp != std::string::npos) {
            const size_t rp = v.rfind(')');
            name = decodeHeaderText(trimmed(v.substr(lp + 1, rp == std::string::npos || rp < lp ? std::string::npos : rp - lp - 1)));
            address = trimmed(v.substr(0, lp));
        } else {
            address = trimmed(v);
        }
    }
    // GMime's reading of the address where it found one (routes, comments and quoting undone),
    // taken from the list it made while parsing the message.
    InternetAddressList* list = fromList;
    if (list && internet_address_list_length(list) > 0) {
        InternetAddress* a = internet_address_list_get_address(list, 0);
        if (INTERNET_ADDRESS_IS_GROUP(a)) {
            InternetAddressList* members = internet_address_group_get_members(INTERNET_ADDRESS_GROUP(a));
            a = members && internet_address_list_length(members) > 0 ? internet_address_list_get_address(members, 0) : nullptr;
        }
        if (a && INTERNET_ADDRESS_IS_MAILBOX(a)) {
            const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a));
            if (addr && *addr)
                address = addr;
        }
    }
    address = decodeHeaderText(address);
    name = cleanHeaderText(name);
    address = cleanHeaderText(address);
}

bool isType(GMimeObject* o, const char* type, const char* subtype)
{
    GMimeContentType* ct = g_mime_object_get_content_type(o);
    return ct && g_mime_content_type_is_type(ct, type, subtype);
}

// The last component of a name, never empty, never "." or "..", at most 200 bytes.
std::string fileNameOf(const std::string& name)
{
    std::string base = name;
    const size_t slash = base.find_last_of("/\\");
    if (slash != std::string::npos)
        base = base.substr(slash + 1);
    base = trimmed(base);
    if (base.empty() || base == "." || base == "..")
        base = "attachment";
    if (base.size() > 200) {
        size_t cut = 200;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
            --cut;
        base.resize(cut);
    }
    return base;
}

struct Walker {
    MessageInfo& info;
    bool plainFound = false;
    bool htmlFound = false;
    std::vector<int> htmlPath;
    // The tree counted as it is walked: the scan before the parse keeps it within the bounds,
    // and a file changed in between is held to them all the same.
    size_t parts = 0;
    bool tooDeep = false;

    void leaf(GMimeObject* o, const std::vector<int>& path, bool messagePart)
    {
        const std::string disposition = rawHeader(o, "Content-Disposition");
        const std::string type = rawHeader(o, "Content-Type");
        std::string name = headerParameter(disposition, "filename");
        if (name.empty())
            name = headerParameter(type, "name");
        name = cleanHeaderText(name);
        const bool plain = !messagePart && isType(o, "text", "plain");
        const bool html = !messagePart && isType(o, "text", "html");
        const bool attachment = messagePart || headerToken(disposition) == "attachment" || !name.empty() || !(plain || html);
        if (!attachment) {
            if (plain && !plainFound) {
                plainFound = true;
                info.bodyKind = BodyKind::Plain;
                info.bodyPart = path;
            } else if (html && !htmlFound) {
                htmlFound = true;
                htmlPath = path;
            }
            return;
        }
        AttachmentInfo a;
        a.name = name;
        a.fileName = fileNameOf(name.empty() && messagePart ? std::string("message.eml") : name);
        a.part = path;
        info.attachments.push_back(std::move(a));
    }

    void walk(GMimeObject* o, std::vector<int>& path, int depth)
    {
        if (!o)
            return;
        if (GMIME_IS_MULTIPART(o)) {
            const int n = g_mime_multipart_get_count(GMIME_MULTIPART(o));
            if (n > 0 && depth >= kMaxMimeDepth) {
                tooDeep = true;
                return;
            }
            for (int i = 0; i < n && parts <= kMaxMimeParts; ++i) {
                ++parts;
                path.push_back(i);
                walk(g_mime_multipart_get_part(GMIME_MULTIPART(o), i), path, depth + 1);
                path.pop_back();
            }
        } else if (GMIME_IS_MESSAGE_PART(o)) {
            leaf(o, path, true);
        } else if (GMIME_IS_PART(o)) {
            leaf(o, path, false);
        }
    }
};

GMimeObject* objectAt(GMimeMessage* m, const std::vector<int>& path)
{
    GMimeObject* o = m ? g_mime_message_get_mime_part(m) : nullptr;
    for (int i : path) {
        if (!o || !GMIME_IS_MULTIPART(o) || i >= g_mime_multipart_get_count(GMIME_MULTIPART(o)))
            return nullptr;
        o = g_mime_multipart_get_part(GMIME_MULTIPART(o), i);
    }
    return o;
}

std::string streamBytes(GMimeStream* mem)
{
    GByteArray* a = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(mem));
    return a ? std::string(reinterpret_cast<const char*>(a->data), a->len) : std::string();
}

// The decoded content of a part as a stream to read from (transfer encoding undone), or the
// bytes of an attached message; nullptr when there is nothing. The caller unrefs it.
GMimeStream* decodedStream(GMimeObject* o)
{
    if (GMIME_IS_PART(o)) {
        GMimeDataWrapper* w = g_mime_part_get_content(GMIME_PART(o));
        GMimeStream* raw = w ? g_mime_data_wrapper_get_stream(w) : nullptr;
        if (!raw)
            return nullptr;
        g_mime_stream_reset(raw);
        GMimeStream* filtered = g_mime_stream_filter_new(raw);
        switch (g_mime_data_wrapper_get_encoding(w)) {
        case GMIME_CONTENT_ENCODING_BASE64:
        case GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE:
        case GMIME_CONTENT_ENCODING_UUENCODE: {
            GMimeFilter* f = g_mime_filter_basic_new(g_mime_data_wrapper_get_encoding(w), FALSE);
            g_mime_stream_filter_add(GMIME_STREAM_FILTER(filtered), f);
            g_object_unref(f);
            break;
        }
        default:
            break;
        }
        return filtered;
    }
    if (GMIME_IS_MESSAGE_PART(o)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(o));
        if (!inner)
            return nullptr;
        // An attached message is bounded by its file, which is bounded itself.
        GMimeStream* mem = g_mime_stream_mem_new();
        g_mime_object_write_to_stream(GMIME_OBJECT(inner), nullptr, mem);
        g_mime_stream_reset(mem);
        return mem;
    }
    return nullptr;
}

// At most `limit` bytes of a stream; *more tells whether it holds more.
std::string readAtMost(GMimeStream* s, size_t limit, bool* more)
{
    std::string out;
    *more = false;
    if (!s)
        return out;
    char buf[65536];
    while (out.size() <= limit) {
        const size_t want = std::min(sizeof buf, limit + 1 - out.size());
        const ssize_t n = g_mime_stream_read(s, buf, want);
        if (n <= 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    if (out.size() > limit) {
        *more = true;
        out.resize(limit);
    }
    return out;
}

// The decoded content of a part, whole (small messages only: tests and read-back).
std::string contentOf(GMimeObject* o)
{
    GMimeStream* s = decodedStream(o);
    if (!s)
        return {};
    GMimeStream* mem = g_mime_stream_mem_new();
    g_mime_stream_write_to_stream(s, mem);
    std::string out = streamBytes(mem);
    g_object_unref(mem);
    g_object_unref(s);
    return out;
}

// Bytes cut at the end of their last line (within the last 64 kB), so that no character and
// no charset shift sequence is split.
void cutAtLastLine(std::string& bytes)
{
    const size_t from = bytes.size() > 65536 ? bytes.size() - 65536 : 0;
    const size_t lf = bytes.rfind('\n');
    if (lf != std::string::npos && lf >= from)
        bytes.resize(lf + 1);
}

// UTF-8 text cut to at most `limit` bytes: after its last whole line when one ends near the
// limit, else at a character boundary.
bool cutUtf8(std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return false;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    cutAtLastLine(text);
    return true;
}

// The charset an HTML document names for itself in its first bytes.
std::string metaCharset(const std::string& html)
{
    std::string head = html.substr(0, 4096);
    for (char& c : head)
        c = static_cast<char>(g_ascii_tolower(c));
    const size_t at = head.find("charset=");
    if (at == std::string::npos)
        return {};
    size_t i = at + 8;
    while (i < head.size() && (head[i] == '"' || head[i] == '\''))
        ++i;
    size_t e = i;
    while (e < head.size() && (g_ascii_isalnum(head[e]) || head[e] == '-' || head[e] == '_'))
        ++e;
    return head.substr(i, e - i);
}

struct Parsed {
    GMimeStream* stream = nullptr;
    GMimeParser* parser = nullptr;
    GMimeMessage* message = nullptr;
    explicit Parsed(GMimeStream* s) : stream(s)
    {
        parser = g_mime_parser_new_with_stream(stream);
        message = g_mime_parser_construct_message(parser, nullptr);
    }
    ~Parsed()
    {
        if (message)
            g_object_unref(message);
        g_object_unref(parser);
        g_object_unref(stream);
    }
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;
};

GMimeStream* memoryStream(const std::string& bytes)
{
    ensureGMime();
    return g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
}

void withoutContent(MessageInfo& info)
{
    info.bodyKind = BodyKind::None;
    info.bodyPart.clear();
    info.attachments.clear();
}

MessageInfo infoOf(GMimeMessage* m)
{
    MessageInfo info;
    if (!m)
        return info;
    GMimeObject* top = GMIME_OBJECT(m);
    bool found = false;
    const std::string received = rawHeader(top, "Received", &found);
    if (found) {
        const std::string v = unfold(received);
        const size_t semi = v.rfind(';');
        if (semi != std::string::npos)
            info.dateReceived = formatReceivedDate(v.substr(semi + 1), &info.receivedTime);
    }
    if (info.dateReceived.empty()) {
        const std::string date = rawHeader(top, "Date", &found);
        if (found)
            info.dateReceived = formatReceivedDate(unfold(date), &info.receivedTime);
    }
    info.hasDate = !info.dateReceived.empty();
    if (!info.hasDate)
        info.receivedTime = 0;
    parseFrom(rawHeader(top, "From"), g_mime_message_get_from(m), info.displayName, info.address);
    info.subject = cleanHeaderText(decodeHeaderText(trimmed(unfold(rawHeader(top, "Subject")))));
    Walker w{info, false, false, {}, 0, false};
    std::vector<int> path;
    w.walk(g_mime_message_get_mime_part(m), path, 0);
    if (!w.plainFound && w.htmlFound) {
        info.bodyKind = BodyKind::Html;
        info.bodyPart = w.htmlPath;
    }
    if (w.parts > kMaxMimeParts || w.tooDeep) {
        withoutContent(info);
        info.tooComplex = true;
    }
    return info;
}

// A message read for its header block alone: the block parsed on its own, no body, no attachments.
MessageInfo headersOnly(std::string block)
{
    if (block.empty() || block.back() != '\n')
        block += '\n';
    block += '\n';
    Parsed p(memoryStream(block));
    MessageInfo info = infoOf(p.message);
    withoutContent(info);
    return info;
}

MessageInfo tooComplexMessage(std::string block)
{
    MessageInfo info = headersOnly(std::move(block));
    info.tooComplex = true;
    return info;
}

} // namespace

std::string formatReceivedDate(const std::string& headerValue, std::int64_t* seconds)
{
    ensureGMime();
    const std::string v = trimmed(headerValue);
    if (v.empty())
        return {};
    GDateTime* dt = g_mime_utils_header_decode_date(v.c_str());
    if (!dt)
        return {};
    GDateTime* local = g_date_time_to_local(dt);
    std::string out;
    if (local) {
        if (gchar* text = g_date_time_format(local, "%Y/%m/%d %H:%M")) {
            out = text;
            g_free(text);
        }
        if (seconds)
            *seconds = g_date_time_to_unix(local);
        g_date_time_unref(local);
    }
    g_date_time_unref(dt);
    return out;
}

MessageInfo parseMessage(const std::string& bytes)
{
    const MimeShape shape = scanMimeShape(bytes.data(), bytes.size());
    if (!shape.withinBounds)
        return tooComplexMessage(bytes.substr(0, static_cast<size_t>(shape.headerEnd)));
    Parsed p(memoryStream(bytes));
    return infoOf(p.message);
}

long readRetrying(int fd, char* buffer, size_t size)
{
    while (true) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR)
            return static_cast<long>(n);
    }
}

namespace {

// Reads the start of a file until the blank line that ends its top-level headers: `out` holds
// the bytes read (whole chunks, so often the whole of a small file), *end the length of the
// header block with its blank line (all the bytes when the file ends first). False when the
// headers do not end within `limit` bytes.
bool readHeaderBlock(int fd, std::string& out, size_t limit, size_t* end)
{
    out.clear();
    char buf[65536];
    size_t scanned = 0;
    while (true) {
        const long n = readRetrying(fd, buf, sizeof buf);
        if (n < 0)
            return false;
        if (n == 0) {
            *end = out.size();
            return *end <= limit;
        }
        out.append(buf, static_cast<size_t>(n));
        // A message may start with its blank line: no headers at all.
        if (scanned == 0 && (out[0] == '\n' || (out.size() > 1 && out[0] == '\r' && out[1] == '\n'))) {
            *end = out[0] == '\n' ? 1 : 2;
            return true;
        }
        for (size_t i = scanned > 2 ? scanned - 2 : 0; i + 1 < out.size(); ++i) {
            if (out[i] != '\n')
                continue;
            // Found in the last chunk read, the end may still lie past the limit.
            if (out[i + 1] == '\n') {
                *end = i + 2;
                return *end <= limit;
            }
            if (out[i + 1] == '\r' && i + 2 < out.size() && out[i + 2] == '\n') {
                *end = i + 3;
                return *end <= limit;
            }
        }
        scanned = out.size();
        if (out.size() > limit)
            return false;
    }
}

MessageInfo damagedMessage()
{
    MessageInfo info;
    info.damaged = true;
    return info;
}

enum class FileBounds { Within, TooLarge, TooComplex };

// A file stream over a message file from its start; nullptr when it cannot be opened. A file
// that grew past the bounds since the fetch is not parsed again: *bounds says which, and the
// stream is nullptr then too.
GMimeStream* boundedFileStream(const std::string& path, FileBounds* bounds)
{
    *bounds = FileBounds::Within;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    MimeShape shape;
    bool readable = ::fstat(fd, &st) == 0;
    if (readable && st.st_size > kMaxMessageFileBytes)
        *bounds = FileBounds::TooLarge;
    else if (readable && (readable = scanMimeShapeFile(fd, &shape) && ::lseek(fd, 0, SEEK_SET) == 0) && !shape.withinBounds)
        *bounds = FileBounds::TooComplex;
    if (!readable || *bounds != FileBounds::Within) {
        ::close(fd);
        return nullptr;
    }
    return g_mime_stream_fs_new(fd);  // the stream closes the file
}

} // namespace

namespace {

// The message file opened for reading, or -1 with what to list instead in `instead`: nothing (ok
// false) when it is gone since the listing, damaged when it is there but cannot be opened.
int openMessageFile(const std::string& path, bool* ok, MessageInfo* instead)
{
    ensureGMime();
    *ok = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT) {
        *ok = true;
        *instead = damagedMessage();
    }
    return fd;
}

} // namespace

MessageInfo parseMessageFile(const std::string& path, bool* ok, const std::function<void(const MessageInfo&)>& headers)
{
    MessageInfo instead;
    const int fd = openMessageFile(path, ok, &instead);
    if (fd < 0)
        return instead;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return {};
    }
    *ok = true;
    std::string head;
    size_t headerEnd = 0;
    // An empty file has no headers to list it by.
    if (st.st_size == 0 || !readHeaderBlock(fd, head, kMaxHeaderBlockBytes, &headerEnd)) {
        ::close(fd);
        return damagedMessage();
    }
    if (st.st_size > kMaxMessageFileBytes) {
        // Headers only: the rest of the file is never read.
        ::close(fd);
        head.resize(headerEnd);
        MessageInfo info = headersOnly(std::move(head));
        info.tooLarge = true;
        return info;
    }
    // The headers of a file larger than its first read are handed over before the structure is
    // counted or parsed: whatever the rest of the file does to the process reading it, the
    // message is listed by them. A smaller file is asked for again by parseMessageHeaders.
    if (headers && head.size() < static_cast<size_t>(st.st_size))
        headers(headersOnly(head.substr(0, headerEnd)));
    if (head.size() == static_cast<size_t>(st.st_size)) {
        // A small file: counted and parsed from the bytes already read.
        ::close(fd);
        if (!scanMimeShape(head.data(), head.size()).withinBounds) {
            head.resize(headerEnd);
            return tooComplexMessage(std::move(head));
        }
        auto* data = static_cast<guint8*>(g_malloc(head.size() ? head.size() : 1));
        std::memcpy(data, head.data(), head.size());
        Parsed p(g_mime_stream_mem_new_with_byte_array(g_byte_array_new_take(data, head.size())));
        if (!p.message)
            return damagedMessage();
        return infoOf(p.message);
    }
    // Counted as a stream first, so that GMime never builds a tree beyond the bounds; then
    // parsed as a stream over the file: the parts stay in the file as ranges of it.
    MimeShape shape;
    if (::lseek(fd, 0, SEEK_SET) != 0 || !scanMimeShapeFile(fd, &shape) || ::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return damagedMessage();
    }
    if (!shape.withinBounds) {
        ::close(fd);
        head.resize(headerEnd);
        return tooComplexMessage(std::move(head));
    }
    Parsed p(g_mime_stream_fs_new(fd));
    if (!p.message)
        return damagedMessage();
    return infoOf(p.message);
}

MessageInfo parseMessageHeaders(const std::string& path, bool* ok)
{
    MessageInfo instead;
    const int fd = openMessageFile(path, ok, &instead);
    if (fd < 0)
        return instead;
    *ok = true;
    std::string head;
    size_t headerEnd = 0;
    const bool read = readHeaderBlock(fd, head, kMaxHeaderBlockBytes, &headerEnd);
    ::close(fd);
    if (!read || head.empty())
        return damagedMessage();
    head.resize(headerEnd);
    return headersOnly(std::move(head));
}

namespace {

BodyText bodyOf(GMimeMessage* message, const MessageInfo& info, size_t limit)
{
    BodyText out;
    if (info.bodyKind == BodyKind::None)
        return out;
    GMimeObject* o = objectAt(message, info.bodyPart);
    if (!o || !GMIME_IS_PART(o))
        return out;
    // HTML loses its markup on the way to text: more of it is read for the same text.
    const bool html = info.bodyKind == BodyKind::Html;
    const size_t rawLimit = html ? 4 * limit : 2 * limit;
    bool more = false;
    GMimeStream* s = decodedStream(o);
    std::string content = readAtMost(s, rawLimit, &more);
    if (s)
        g_object_unref(s);
    if (more)
        cutAtLastLine(content);
    const char* cs = g_mime_object_get_content_type_parameter(o, "charset");
    std::string charset = cs ? cs : "";
    if (html) {
        if (charset.empty())
            charset = metaCharset(content);
        out.text = cleanBodyText(htmlToText(toUtf8(content, charset)));
    } else {
        out.text = cleanBodyText(toUtf8(content, charset));
    }
    out.cut = cutUtf8(out.text, limit) || more;
    return out;
}

} // namespace

std::string readBody(const std::string& bytes, const MessageInfo& info)
{
    if (info.bodyKind == BodyKind::None)
        return {};
    Parsed p(memoryStream(bytes));
    return bodyOf(p.message, info, kMaxBodyTextBytes).text;
}

BodyText readBodyFile(const std::string& path, const MessageInfo& info, size_t limit)
{
    ensureGMime();
    if (info.bodyKind == BodyKind::None || info.tooLarge || info.tooComplex || info.damaged)
        return {};
    FileBounds bounds = FileBounds::Within;
    GMimeStream* s = boundedFileStream(path, &bounds);
    if (bounds != FileBounds::Within)
        return {};
    if (!s)
        throw MailError(InvalidMessage, "メールのファイルを開けません: " + info.fileName);
    Parsed p(s);
    return bodyOf(p.message, info, limit);
}

void writeAttachmentFile(const std::string& path, const MessageInfo& info, size_t j, int fd, const std::string& name)
{
    ensureGMime();
    if (j >= info.attachments.size())
        throw MailError(InvalidMessage, "添付ファイルの番号が正しくありません");
    FileBounds bounds = FileBounds::Within;
    GMimeStream* s = boundedFileStream(path, &bounds);
    if (bounds == FileBounds::TooLarge)
        throw MailError(InvalidMessage, "メールが大きすぎるため添付ファイルを読めません: " + info.fileName);
    if (bounds == FileBounds::TooComplex)
        throw MailError(InvalidMessage, "メールの構成が複雑すぎるため添付ファイルを読めません: " + info.fileName);
    if (!s)
        throw MailError(InvalidMessage, "メールのファイルを開けません: " + info.fileName);
    Parsed p(s);
    GMimeObject* o = objectAt(p.message, info.attachments[j].part);
    GMimeStream* content = o ? decodedStream(o) : nullptr;
    if (!content)
        throw MailError(InvalidMessage, "添付ファイルが見つかりません: " + info.attachments[j].fileName);
    GMimeStream* out = g_mime_stream_fs_new(fd);
    g_mime_stream_fs_set_owner(GMIME_STREAM_FS(out), FALSE);  // the caller closes it
    // The file stream writes straight to the file: nothing waits in a buffer.
    const gint64 written = g_mime_stream_write_to_stream(content, out);
    const int e = errno;
    g_object_unref(out);
    g_object_unref(content);
    if (written < 0)
        throw MailError(AttachmentWriteFailure, "添付ファイルを書き込めません: " + name + " (" + std::strerror(e) + ")");
}

SentMessage readBack(const std::string& bytes)
{
    SentMessage out;
    const MessageInfo info = parseMessage(bytes);
    out.subject = info.subject;
    out.body = readBody(bytes, info);
    for (size_t j = 0; j < info.attachments.size(); ++j)
        out.attachments.emplace_back(info.attachments[j].name, readAttachment(bytes, info, j));
    Parsed p(memoryStream(bytes));
    const auto addresses = [&](GMimeAddressType type, std::vector<std::string>& into) {
        InternetAddressList* list = p.message ? g_mime_message_get_addresses(p.message, type) : nullptr;
        const int n = list ? internet_address_list_length(list) : 0;
        for (int i = 0; i < n; ++i) {
            InternetAddress* a = internet_address_list_get_address(list, i);
            if (INTERNET_ADDRESS_IS_MAILBOX(a))
                into.emplace_back(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a)));
        }
    };
    addresses(GMIME_ADDRESS_TYPE_TO, out.to);
    addresses(GMIME_ADDRESS_TYPE_CC, out.cc);
    return out;
}

std::string readAttachment(const std::string& bytes, const MessageInfo& info, size_t j)
{
    if (j >= info.attachments.size())
        throw MailError(InvalidMessage, "添付ファイルの番号が正しくありません");
    Parsed p(memoryStream(bytes));
    GMimeObject* o = objectAt(p.message, info.attachments[j].part);
    if (!o)
        throw MailError(InvalidMessage, "添付ファイルが見つかりません: " + info.attachments[j].fileName);
    return contentOf(o);
}

} // namespace mailcore
