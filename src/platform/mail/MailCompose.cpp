// Outgoing messages built with GMime: UTF-8 text, encoded words in the headers, RFC 2231 file
// names, base64 where the content needs it. No Qt header here (glib's "signals").

#include "platform/mail/MailCore.h"
#include "platform/mail/MailReaderInternal.h"
#include "platform/mail/MailText.h"

#include <gmime/gmime.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mailcore {
namespace {

bool plainAddress(const std::string& a)
{
    if (a.empty() || a[0] == '-')
        return false;
    size_t at = std::string::npos;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto c = static_cast<unsigned char>(a[i]);
        if (c <= 0x20 || c >= 0x7F)
            return false;
        if (std::strchr("<>()[]\",;:\\", c))
            return false;
        if (c == '@') {
            if (at != std::string::npos)
                return false;
            at = i;
        }
    }
    return at != std::string::npos && at > 0 && at + 1 < a.size();
}

std::string readWholeFile(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        throw MailError(AttachmentNotFound, "添付ファイルが見つかりません: " + path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw MailError(AttachmentOpenFailure, "添付ファイルを開けません: " + path + " (" + std::strerror(errno) + ")");
    std::string bytes;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            throw MailError(AttachmentOpenFailure, "添付ファイルを読めません: " + path + " (" + std::strerror(e) + ")");
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::string lineFeeds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

GMimeDataWrapper* wrapperOf(const std::string& bytes)
{
    GMimeStream* s = g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
    GMimeDataWrapper* w = g_mime_data_wrapper_new_with_stream(s, GMIME_CONTENT_ENCODING_DEFAULT);
    g_object_unref(s);
    return w;
}

} // namespace

std::vector<std::string> splitRecipients(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(";,", start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        const size_t a = part.find_first_not_of(' ');
        const size_t b = part.find_last_not_of(' ');
        part = a == std::string::npos ? std::string() : part.substr(a, b - a + 1);
        if (!part.empty()) {
            if (!plainAddress(part))
                throw MailError(InvalidRecips, "メールアドレスが正しくありません: " + cleanHeaderText(toUtf8(part, "utf-8")));
            out.push_back(part);
        }
        start = end + 1;
    }
    return out;
}

std::string buildMessage(const OutgoingMessage& m)
{
    const std::vector<std::string> to = splitRecipients(m.to);
    const std::vector<std::string> cc = splitRecipients(m.cc);
    if (to.empty())
        throw MailError(NoRecipients, "宛先のメールアドレスがありません");
    std::vector<std::string> files;
    for (const std::string& path : m.attachments)
        files.push_back(readWholeFile(path));

    ensureGMime();
    GMimeMessage* message = g_mime_message_new(TRUE);
    for (const std::string& a : to)
        g_mime_message_add_mailbox(message, GMIME_ADDRESS_TYPE_TO, nullptr, a.c_str());
    for (const std::string& a : cc)
        g_mime_message_add_mailbox(message, GMIME_ADDRESS_TYPE_CC, nullptr, a.c_str());
    const std::string subject = cleanHeaderText(toUtf8(m.subject, "utf-8"));
    g_mime_message_set_subject(message, subject.c_str(), "utf-8");
    GDateTime* now = g_date_time_new_now_local();
    g_mime_message_set_date(message, now);
    g_date_time_unref(now);

    GMimeTextPart* text = g_mime_text_part_new_with_subtype("plain");
    const std::string body = lineFeeds(toUtf8(m.body, "utf-8"));
    g_mime_text_part_set_text(text, body.c_str());
    g_mime_part_set_content_encoding(GMIME_PART(text),
                                     g_mime_part_get_best_content_encoding(GMIME_PART(text), GMIME_ENCODING_CONSTRAINT_7BIT));
    if (files.empty()) {
        g_mime_message_set_mime_part(message, GMIME_OBJECT(text));
    } else {
        GMimeMultipart* mixed = g_mime_multipart_new_with_subtype("mixed");
        g_mime_multipart_add(mixed, GMIME_OBJECT(text));
        for (size_t i = 0; i < files.size(); ++i) {
            GMimePart* part = g_mime_part_new_with_type("application", "octet-stream");
            GMimeDataWrapper* w = wrapperOf(files[i]);
            g_mime_part_set_content(part, w);
            g_object_unref(w);
            const std::string& path = m.attachments[i];
            const std::string name = cleanHeaderText(toUtf8(path.substr(path.find_last_of('/') + 1), "utf-8"));
            g_mime_part_set_filename(part, name.c_str());
            g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
            g_mime_multipart_add(mixed, GMIME_OBJECT(part));
            g_object_unref(part);
        }
        g_mime_message_set_mime_part(message, GMIME_OBJECT(mixed));
        g_object_unref(mixed);
    }
    g_object_unref(text);

    GMimeStream* out = g_mime_stream_mem_new();
    g_mime_object_write_to_stream(GMIME_OBJECT(message), nullptr, out);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
    std::string result(reinterpret_cast<const char*>(bytes->data), bytes->len);
    g_object_unref(out);
    g_object_unref(message);
    return result;
}

} // namespace mailcore
