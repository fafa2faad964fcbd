// The MIME structure of a message counted from its bytes, read once in order: the parts it holds
// and how deep they nest, found the way GMime's parser splits a message (a stack of boundaries,
// the last Content-Type of a header block deciding, the parts of a multipart/digest messages by
// default, attached messages parsed unless transfer-encoded), without building the tree. The scan
// stops at the first part or level beyond the bounds, so a message of millions of parts costs
// what its first few kilobytes cost. Where it cannot tell as GMime would, it counts more, never
// fewer: a delimiter line also ends a header block, and a header it cannot keep whole is beyond
// the bounds.
// No Qt header here: glib's headers use the word "signals".

#include "platform/mail/MailReaderInternal.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace mailcore {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLwsp(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool allLwsp(std::string_view s)
{
    for (char c : s)
        if (!isLwsp(c))
            return false;
    return true;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

void noteInvalidType(gint64, GMimeParserWarning code, const gchar*, gpointer flag)
{
    if (code == GMIME_WARN_INVALID_CONTENT_TYPE)
        *static_cast<bool*>(flag) = true;
}

} // namespace

struct MimeScanner::Impl {
    struct Frame {
        std::string delimiter;  // "--" and the boundary; empty for an attached message
        bool digest = false;
    };
    enum class Field { None, ContentType, Encoding, Other };

    GMimeParserOptions* options = nullptr;
    bool invalidType = false;

    MimeShape shape;
    std::vector<Frame> frames;
    bool inHeaders = true;
    bool topLevel = true;
    bool parentDigest = false;
    std::uint64_t offset = 0;  // bytes of the lines handled so far

    // The header block being read: only the fields that decide the structure are kept.
    Field field = Field::None;
    std::string contentType;
    bool haveContentType = false;
    std::string encoding;
    bool haveEncoding = false;

    // A line that runs past the bytes fed so far: its start, up to kKeptLineBytes.
    std::string pending;
    bool pendingCut = false;
    bool pendingRestBlank = true;

    static constexpr size_t kKeptLineBytes = kMaxHeaderBlockBytes + 4;

    Impl()
    {
        ensureGMime();
        options = g_mime_parser_options_new();
        g_mime_parser_options_set_warning_callback(options, noteInvalidType, &invalidType);
    }
    ~Impl() { g_mime_parser_options_free(options); }

    void exceed() { shape.withinBounds = false; }

    void push(std::string delimiter, bool digest)
    {
        frames.push_back({std::move(delimiter), digest});
        shape.depth = std::max(shape.depth, static_cast<int>(frames.size()));
        if (frames.size() > static_cast<size_t>(kMaxMimeDepth))
            exceed();
    }

    // Whether the line is the delimiter (or with `final`, the close delimiter) of the frame.
    static bool delimits(std::string_view line, bool cut, bool restBlank, const std::string& delimiter, bool final)
    {
        const size_t n = delimiter.size() + (final ? 2 : 0);
        if (line.size() < n || line.compare(0, delimiter.size(), delimiter) != 0)
            return false;
        if (final && line.compare(delimiter.size(), 2, "--") != 0)
            return false;
        return allLwsp(line.substr(n)) && (!cut || restBlank);
    }

    // The frame whose delimiter the line is, innermost first (GMime's order); -1 when none.
    int boundaryOf(std::string_view line, bool cut, bool restBlank, bool* final) const
    {
        if (line.size() < 2 || line[0] != '-' || line[1] != '-')
            return -1;
        for (size_t k = frames.size(); k-- > 0;) {
            const Frame& f = frames[k];
            if (f.delimiter.empty())
                continue;
            if (delimits(line, cut, restBlank, f.delimiter, true)) {
                *final = true;
                return static_cast<int>(k);
            }
            if (delimits(line, cut, restBlank, f.delimiter, false)) {
                *final = false;
                return static_cast<int>(k);
            }
        }
        return -1;
    }

    void boundary(int k, bool final)
    {
        frames.resize(static_cast<size_t>(k) + (final ? 0 : 1));
        if (final) {
            inHeaders = false;  // the epilogue: content of the part around the multipart
            return;
        }
        if (++shape.parts > kMaxMimeParts)
            exceed();
        startHeaders(false, frames[static_cast<size_t>(k)].digest);
    }

    void startHeaders(bool top, bool digest)
    {
        inHeaders = true;
        topLevel = top;
        parentDigest = digest;
        field = Field::None;
        contentType.clear();
        haveContentType = false;
        encoding.clear();
        haveEncoding = false;
    }

    // The end of a header block: the entity's type decides what follows.
    void endHeaders()
    {
        if (topLevel)
            shape.headerEnd = offset;
        inHeaders = false;
        bool multipart = false, digest = false, message = false;
        const char* boundaryParameter = nullptr;
        GMimeContentType* type = nullptr;
        if (haveContentType) {
            invalidType = false;
            type = g_mime_content_type_parse(options, contentType.c_str());
        }
        if (!type || invalidType) {
            message = parentDigest;
        } else {
            const char* media = g_mime_content_type_get_media_type(type);
            const char* sub = g_mime_content_type_get_media_subtype(type);
            multipart = media && g_ascii_strcasecmp(media, "multipart") == 0;
            digest = multipart && sub && g_ascii_strcasecmp(sub, "digest") == 0;
            if (multipart)
                boundaryParameter = g_mime_content_type_get_parameter(type, "boundary");
            message = media && sub && g_ascii_strcasecmp(media, "message") == 0
                      && (g_ascii_strcasecmp(sub, "rfc822") == 0 || g_ascii_strcasecmp(sub, "rfc2822") == 0
                          || g_ascii_strcasecmp(sub, "global") == 0 || g_ascii_strcasecmp(sub, "news") == 0);
        }
        if (message && haveEncoding) {
            // GMime keeps an encoded attached message as an opaque leaf.
            switch (g_mime_content_encoding_from_string(encoding.c_str())) {
            case GMIME_CONTENT_ENCODING_BASE64:
            case GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE:
            case GMIME_CONTENT_ENCODING_UUENCODE:
                message = false;
                break;
            default:
                break;
            }
        }
        if (multipart && boundaryParameter)
            push(std::string("--") + boundaryParameter, digest);
        if (type)
            g_object_unref(type);
        if (message) {
            push(std::string(), false);
            startHeaders(false, false);
        }
    }

    void headerLine(std::string_view line, bool cut)
    {
        if (line.empty() || line == "\r") {
            endHeaders();
            return;
        }
        std::string* value = nullptr;
        if (isBlank(line[0])) {
            // A folded line continues the field before it.
            if (field == Field::ContentType)
                value = &contentType;
            else if (field == Field::Encoding)
                value = &encoding;
            if (value) {
                value->push_back('\n');
                value->append(line);
            }
        } else {
            field = Field::Other;
            size_t i = 0;
            bool blank = false, valid = true;
            for (; i < line.size() && line[i] != ':'; ++i) {
                const auto c = static_cast<unsigned char>(line[i]);
                if (isBlank(line[i]))
                    blank = true;
                else if (blank || c < 0x20 || c == 0x7F) {
                    valid = false;
                    break;
                }
            }
            if (!valid || i == line.size())
                return;
            size_t nameEnd = i;
            while (nameEnd > 0 && isBlank(line[nameEnd - 1]))
                --nameEnd;
            const std::string_view name = line.substr(0, nameEnd);
            if (equalsNoCase(name, "Content-Type")) {
                field = Field::ContentType;  // the last one decides, as in GMime
                haveContentType = true;
                contentType.assign(line.substr(i + 1));
                value = &contentType;
            } else if (equalsNoCase(name, "Content-Transfer-Encoding") && !haveEncoding) {
                field = Field::Encoding;  // the first one decides
                haveEncoding = true;
                encoding.assign(line.substr(i + 1));
                value = &encoding;
            }
        }
        // A deciding field that is not kept whole cannot be read as GMime reads it.
        if (value && (cut || value->size() > kMaxHeaderBlockBytes))
            exceed();
    }

    void handleLine(std::string_view line, bool cut, bool restBlank)
    {
        bool final = false;
        const int k = frames.empty() ? -1 : boundaryOf(line, cut, restBlank, &final);
        if (inHeaders) {
            if (k >= 0) {
                endHeaders();
                boundary(k, final);
            } else {
                headerLine(line, cut);
            }
        } else if (k >= 0) {
            boundary(k, final);
        }
    }

    void feed(const char* data, size_t n)
    {
        const char* p = data;
        const char* end = data + n;
        while (p < end && shape.withinBounds) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const char* stop = lf ? lf : end;
            if (!lf) {
                keepPending(p, stop);
                return;
            }
            if (pending.empty() && !pendingCut) {
                offset += static_cast<std::uint64_t>(lf - p) + 1;
                handleLine(std::string_view(p, static_cast<size_t>(lf - p)), false, true);
            } else {
                keepPending(p, lf);
                offset += 1;
                handleLine(pending, pendingCut, pendingRestBlank);
                pending.clear();
                pendingCut = false;
                pendingRestBlank = true;
            }
            p = lf + 1;
        }
    }

    void keepPending(const char* from, const char* to)
    {
        const size_t n = static_cast<size_t>(to - from);
        offset += n;
        const size_t room = pending.size() < kKeptLineBytes ? kKeptLineBytes - pending.size() : 0;
        pending.append(from, std::min(n, room));
        if (n > room) {
            pendingCut = true;
            if (pendingRestBlank && !allLwsp(std::string_view(from + room, n - room)))
                pendingRestBlank = false;
        }
    }

    void finish()
    {
        if (shape.withinBounds && (!pending.empty() || pendingCut))
            handleLine(pending, pendingCut, pendingRestBlank);
        pending.clear();
        if (topLevel && inHeaders)
            shape.headerEnd = offset;  // the file ended inside its headers
    }
};

MimeScanner::MimeScanner() : impl_(std::make_unique<Impl>()) {}
MimeScanner::~MimeScanner() = default;

bool MimeScanner::feed(const char* data, size_t size)
{
    impl_->feed(data, size);
    return impl_->shape.withinBounds;
}

MimeShape MimeScanner::finish()
{
    impl_->finish();
    return impl_->shape;
}

MimeShape scanMimeShape(const char* data, size_t size)
{
    MimeScanner scanner;
    scanner.feed(data, size);
    return scanner.finish();
}

bool scanMimeShapeFile(int fd, MimeShape* shape)
{
    MimeScanner scanner;
    char buf[65536];
    while (true) {
        const long n = readRetrying(fd, buf, sizeof buf);
        if (n < 0)
            return false;
        if (n == 0 || !scanner.feed(buf, static_cast<size_t>(n)))
            break;
    }
    *shape = scanner.finish();
    return true;
}

namespace {

void walkShape(GMimeObject* o, int depth, MimeShape& shape)
{
    if (!o)
        return;
    if (GMIME_IS_MULTIPART(o)) {
        const int n = g_mime_multipart_get_count(GMIME_MULTIPART(o));
        if (n > 0)
            shape.depth = std::max(shape.depth, depth + 1);
        for (int i = 0; i < n; ++i) {
            ++shape.parts;
            walkShape(g_mime_multipart_get_part(GMIME_MULTIPART(o), i), depth + 1, shape);
        }
    } else if (GMIME_IS_MESSAGE_PART(o)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(o));
        if (inner && g_mime_message_get_mime_part(inner)) {
            shape.depth = std::max(shape.depth, depth + 1);
            walkShape(g_mime_message_get_mime_part(inner), depth + 1, shape);
        }
    }
}

} // namespace

MimeShape parsedMimeShape(const std::string& bytes)
{
    ensureGMime();
    MimeShape shape;
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    if (GMimeMessage* m = g_mime_parser_construct_message(parser, nullptr)) {
        walkShape(g_mime_message_get_mime_part(m), 0, shape);
        g_object_unref(m);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    shape.withinBounds = shape.parts <= kMaxMimeParts && shape.depth <= kMaxMimeDepth;
    return shape;
}

} // namespace mailcore
