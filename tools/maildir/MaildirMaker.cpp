#include "MaildirMaker.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

namespace maildirmaker {
namespace {

const char* const Names[] = {"山田 太郎", "佐藤 花子", "髙橋 一郎", "鈴木 ㈱営業部", "田中 次郎", "Alice Smith", "渡辺 さくら", "伊藤 健"};
const char* const Subjects[] = {"会議のご案内①", "見積書の送付について", "㈱テスト商事より", "髙橋様へのご連絡", "Re: 打ち合わせ",
                                "週報～第3週～", "Invoice for December", "お問い合わせありがとうございます"};
const char* const Lines[] = {"いつもお世話になっております。", "下記の通りご案内申し上げます。", "①日時：十二月十日 十四時～",
                             "②場所：本社 三階会議室", "ご不明な点は髙橋までお知らせください。", "株式会社テスト ㈱営業部",
                             "Please find the details below.", "よろしくお願いいたします。"};
const char* const FileNames[] = {"見積書.pdf", "資料①.xlsx", "写真.jpg", "report.txt", "../../evil.txt", "議事録～最終版.docx"};
const char* const Charsets[] = {"iso-2022-jp", "shift_jis", "euc-jp", "utf-8"};

std::string base64(const std::string& in, size_t lineLength = 76)
{
    static const char* t = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t col = 0;
    for (size_t i = 0; i < in.size(); i += 3) {
        const unsigned a = static_cast<unsigned char>(in[i]);
        const unsigned b = i + 1 < in.size() ? static_cast<unsigned char>(in[i + 1]) : 0;
        const unsigned c = i + 2 < in.size() ? static_cast<unsigned char>(in[i + 2]) : 0;
        const unsigned v = (a << 16) | (b << 8) | c;
        out += t[(v >> 18) & 63];
        out += t[(v >> 12) & 63];
        out += i + 1 < in.size() ? t[(v >> 6) & 63] : '=';
        out += i + 2 < in.size() ? t[v & 63] : '=';
        col += 4;
        if (lineLength && col >= lineLength) {
            out += '\n';
            col = 0;
        }
    }
    if (lineLength && col)
        out += '\n';
    return out;
}

std::string quotedPrintable(const std::string& in)
{
    std::string out;
    size_t col = 0;
    for (char ch : in) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            out += '\n';
            col = 0;
            continue;
        }
        char buf[4];
        if (c == '=' || c < 0x20 || c >= 0x7F)
            std::snprintf(buf, sizeof buf, "=%02X", c);
        else
            buf[0] = static_cast<char>(c), buf[1] = 0;
        if (col + std::strlen(buf) > 75) {
            out += "=\n";
            col = 0;
        }
        out += buf;
        col += std::strlen(buf);
    }
    return out;
}

std::string toSjis(const std::string& utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no CP932 converter");
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* o = out.data();
    size_t oLeft = out.size();
    iconv(cd, &in, &inLeft, &o, &oLeft);
    iconv_close(cd);
    out.resize(out.size() - oLeft);
    return out;
}

// Shift_JIS bytes as JIS row and cell pairs (the IBM-row 髙 through its NEC-selected form).
template <typename Emit2, typename Emit1>
void walkSjis(const std::string& s, Emit2 two, Emit1 one)
{
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned c1 = static_cast<unsigned char>(s[i]);
        if ((c1 >= 0x81 && c1 <= 0x9F) || (c1 >= 0xE0 && c1 <= 0xFC)) {
            unsigned c2 = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0x40;
            ++i;
            if (c1 == 0xFB && c2 == 0xFC) {
                c1 = 0xEE;
                c2 = 0xE0;
            }
            unsigned j1 = (c1 - (c1 <= 0x9F ? 0x70 : 0xB0)) * 2;
            unsigned j2 = c2;
            if (c2 < 0x9F) {
                --j1;
                j2 = c2 - (c2 >= 0x80 ? 0x20 : 0x1F);
            } else {
                j2 = c2 - 0x7E;
            }
            two(j1, j2);
        } else {
            one(c1);
        }
    }
}

std::string pick(std::mt19937_64& rng, const char* const* list, size_t n)
{
    return list[std::uniform_int_distribution<size_t>(0, n - 1)(rng)];
}

template <size_t N>
std::string pick(std::mt19937_64& rng, const char* const (&list)[N])
{
    return pick(rng, list, N);
}

bool chance(std::mt19937_64& rng, double p)
{
    return std::uniform_real_distribution<double>(0, 1)(rng) < p;
}

std::string encodedWords(std::mt19937_64& rng, const std::string& utf8, const std::string& charset)
{
    const std::string bytes = encodeText(utf8, charset);
    if (chance(rng, 0.3) && bytes.size() > 3) {
        // Two words split somewhere, possibly inside a character.
        const size_t cut = std::uniform_int_distribution<size_t>(1, bytes.size() - 1)(rng);
        return "=?" + charset + "?B?" + base64(bytes.substr(0, cut), 0) + "?=\n =?" + charset + "?B?" + base64(bytes.substr(cut), 0) + "?=";
    }
    if (chance(rng, 0.3)) {
        std::string q;
        for (char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            char buf[4];
            if (c == ' ')
                q += '_';
            else if (c < 0x21 || c >= 0x7F || c == '=' || c == '?' || c == '_')
                std::snprintf(buf, sizeof buf, "=%02X", c), q += buf;
            else
                q += static_cast<char>(c);
        }
        return "=?" + charset + "?Q?" + q + "?=";
    }
    return "=?" + charset + "?B?" + base64(bytes, 0) + "?=";
}

std::string dateText(std::mt19937_64& rng)
{
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::uniform_int_distribution<int> d(1, 28), m(0, 11), y(2019, 2026), h(0, 23), mi(0, 59);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %d %02d:%02d:%02d +0900", days[d(rng) % 7], d(rng), months[m(rng)], y(rng), h(rng),
                  mi(rng), mi(rng));
    return buf;
}

std::string bodyText(std::mt19937_64& rng, std::size_t bytes)
{
    std::string text;
    if (bytes > 0) {
        // Whole lines up to the size; a size below one line gives that many ASCII letters.
        text.reserve(bytes);
        for (std::string line; text.size() + (line = pick(rng, Lines) + "\n").size() <= bytes;)
            text += line;
        if (text.empty())
            text.assign(bytes, 'a');
        return text;
    }
    const int lines = std::uniform_int_distribution<int>(10, 50)(rng);
    for (int i = 0; i < lines; ++i)
        text += pick(rng, Lines) + "\n";
    return text;
}

} // namespace

std::string encodeText(const std::string& utf8, const std::string& charset)
{
    if (charset == "utf-8")
        return utf8;
    const std::string sjis = toSjis(utf8);
    if (charset == "shift_jis")
        return sjis;
    std::string out;
    if (charset == "euc-jp") {
        walkSjis(
            sjis, [&](unsigned j1, unsigned j2) { out += static_cast<char>(j1 | 0x80), out += static_cast<char>(j2 | 0x80); },
            [&](unsigned c) {
                if (c >= 0xA1 && c <= 0xDF)
                    out += '\x8E';
                out += static_cast<char>(c);
            });
        return out;
    }
    bool kanji = false;
    walkSjis(
        sjis,
        [&](unsigned j1, unsigned j2) {
            if (!kanji)
                out += "\x1b$B";
            kanji = true;
            out += static_cast<char>(j1), out += static_cast<char>(j2);
        },
        [&](unsigned c) {
            if (kanji)
                out += "\x1b(B";
            kanji = false;
            out += static_cast<char>(c);
        });
    if (kanji)
        out += "\x1b(B";
    return out;
}

std::string makeMessage(std::mt19937_64& rng, const Options& o, int index)
{
    const std::string charset = pick(rng, Charsets);
    const bool malformed = chance(rng, o.malformedShare);
    const int flaw = malformed ? std::uniform_int_distribution<int>(0, 7)(rng) : -1;
    std::string h;
    if (chance(rng, 0.7))
        h += "Received: from mx.example.jp by mail.example.jp;\n " + (flaw == 0 ? std::string("yesterday-ish") : dateText(rng)) + "\n";
    h += "Return-Path: <user" + std::to_string(index % 500) + "@example.jp>\n";
    const std::string address = "user" + std::to_string(index % 500) + "@example.jp";
    const std::string name = pick(rng, Names);
    if (flaw == 1)
        h += "From: " + encodeText(name, "shift_jis") + " <" + address + ">\n";  // raw 8-bit
    else if (flaw != 2)
        h += "From: " + encodedWords(rng, name, charset) + " <" + address + ">\n";
    h += "To: me@example.jp\n";
    if (flaw != 3)
        h += "Date: " + (flaw == 4 ? std::string("32 Foo 99999 99:99") : dateText(rng)) + "\n";
    const std::string subject = pick(rng, Subjects) + " #" + std::to_string(index);
    if (flaw == 5)
        h += "Subject: =?x-unknown-charset?B?" + base64(subject, 0) + "?=\n";
    else
        h += "Subject: " + encodedWords(rng, subject, charset) + "\n";
    h += "Message-ID: <" + std::to_string(o.seed) + "." + std::to_string(index) + "@example.jp>\n";
    if (flaw == 6)
        h += "X-Broken header without colon\n";
    h += "MIME-Version: 1.0\n";

    const std::string text = bodyText(rng, o.bodyBytes);
    const std::string bytes = encodeText(text, charset);
    std::string encoding;
    std::string encoded;
    if (charset == "iso-2022-jp") {
        encoding = "7bit";
        encoded = bytes;
    } else if (chance(rng, 0.5)) {
        encoding = "base64";
        encoded = base64(bytes);
        if (flaw == 7)
            encoded.insert(encoded.size() / 2, "!!**");  // broken base64
    } else if (chance(rng, 0.5)) {
        encoding = "quoted-printable";
        encoded = quotedPrintable(bytes);
    } else {
        encoding = "8bit";
        encoded = bytes;
    }
    const std::string textPart =
        "Content-Type: text/plain; charset=" + charset + "\nContent-Transfer-Encoding: " + encoding + "\n\n" + encoded;

    if (!chance(rng, o.attachmentShare))
        return h + textPart;

    const std::string boundary = "=_kv_" + std::to_string(o.seed) + "_" + std::to_string(index);
    std::string m = h + "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\nThis is a multi-part message.\n";
    m += "--" + boundary + "\n" + textPart + "\n";
    const int parts = std::uniform_int_distribution<int>(1, 3)(rng);
    for (int p = 0; p < parts; ++p) {
        std::string data(o.attachmentBytes / static_cast<size_t>(parts), '\0');
        for (char& c : data)
            c = static_cast<char>(rng());
        const std::string file = pick(rng, FileNames);
        m += "--" + boundary + "\nContent-Type: application/octet-stream\n";
        if (chance(rng, 0.5)) {
            std::string pct;
            for (char ch : file) {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(ch));
                pct += buf;
            }
            m += "Content-Disposition: attachment; filename*=UTF-8''" + pct + "\n";
        } else {
            m += "Content-Disposition: attachment; filename=\"" + encodedWords(rng, file, charset) + "\"\n";
        }
        m += "Content-Transfer-Encoding: base64\n\n" + base64(data);
    }
    if (!(malformed && chance(rng, 0.5)))  // an unterminated multipart now and then
        m += "--" + boundary + "--\n";
    return m;
}

namespace {

std::string hostileHeaders(const std::string& subject, const std::string& boundary)
{
    return "From: Hostile <hostile@example.jp>\nDate: Tue, 1 Dec 2026 09:00:00 +0900\nSubject: " + subject +
           "\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\n";
}

} // namespace

std::string manyPartsMessage(std::size_t parts, std::size_t attachments, bool text, const std::string& subject)
{
    std::string m = hostileHeaders(subject, "b");
    m.reserve(m.size() + parts * 5 + attachments * 80 + 64);
    std::size_t made = 0;
    if (text && made < parts) {
        m += "--b\nContent-Type: text/plain; charset=us-ascii\n\nthe text part\n";
        ++made;
    }
    for (std::size_t a = 1; a <= attachments && made < parts; ++a, ++made)
        m += "--b\nContent-Type: text/plain\nContent-Disposition: attachment; filename=\"a" + std::to_string(a) +
             ".txt\"\n\nattachment " + std::to_string(a) + "\n";
    for (; made < parts; ++made)
        m += "--b\n\n";
    return m;
}

std::string nestedMessage(int depth, const std::string& subject)
{
    std::string m = hostileHeaders(subject, "b0");
    for (int i = 0; i + 1 < depth; ++i)
        m += "--b" + std::to_string(i) + "\nContent-Type: multipart/mixed; boundary=\"b" + std::to_string(i + 1) + "\"\n\n";
    m += "--b" + std::to_string(depth > 0 ? depth - 1 : 0) + "\nContent-Type: text/plain; charset=us-ascii\n\nbottom\n";
    for (int i = depth - 1; i >= 0; --i)
        m += "--b" + std::to_string(i) + "--\n";
    return m;
}

const char* const* hostileKinds()
{
    static const char* const kinds[] = {"latin1-boundary", "buffer-edge", "delimiter-header", "part-header-lines", nullptr};
    return kinds;
}

std::string hostileMessage(const std::string& kind, std::size_t bytes)
{
    const auto fill = [&](std::string& m, const std::string& unit) {
        m.reserve(bytes + unit.size() + 64);
        while (m.size() + unit.size() <= bytes)
            m += unit;
    };
    if (kind == "latin1-boundary") {
        std::string m = hostileHeaders(kind, "\xE9");
        fill(m, "--\xC3\xA9\n\n");
        return m;
    }
    if (kind == "buffer-edge") {
        std::string m = hostileHeaders(kind, "b") + "--b\nContent-Type: text/plain\n\n";
        // GMime reads a file 4,096 bytes at a time; a line longer than its buffer is split there.
        const std::size_t edge = (m.size() / 4096 + 2) * 4096;
        m.append(edge - m.size(), 'A');
        m += "--b\nContent-Type: multipart/mixed; boundary=\"c\"\n\n";
        fill(m, "--c\n\n");
        m += "--b--\n";
        return m;
    }
    if (kind == "delimiter-header") {
        std::string m = hostileHeaders(kind, "x") + "--x\nContent-Type: multipart/mixed; boundary=\"x--\"\n";
        fill(m, "--x--\n\n");
        return m;
    }
    if (kind == "part-header-lines") {
        std::string m = hostileHeaders(kind, "b") + "--b\n";
        const std::size_t end = bytes > 32 ? bytes - 32 : 0;
        m.reserve(bytes + 64);
        while (m.size() + 3 <= end)
            m += "a:\n";
        m += "\nbody\n--b--\n";
        return m;
    }
    throw std::invalid_argument("unknown hostile kind: " + kind);
}

std::string bigAttachmentsMessage(std::size_t parts, std::size_t partBytes)
{
    std::string m = hostileHeaders("attachments", "b");
    m += "--b\nContent-Type: text/plain; charset=us-ascii\n\nthe text part\n";
    // Base64 lines of 76 characters, 57 bytes each decoded.
    std::string line;
    for (int i = 0; i < 76; ++i)
        line += "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[i % 64];
    line += '\n';
    const std::size_t lines = (partBytes + 56) / 57;
    m.reserve(parts * (lines * line.size() + 160) + 256);
    for (std::size_t p = 1; p <= parts; ++p) {
        m += "--b\nContent-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n"
             "Content-Disposition: attachment; filename=\"part" + std::to_string(p) + ".bin\"\n\n";
        for (std::size_t l = 0; l < lines; ++l)
            m += line;
    }
    m += "--b--\n";
    return m;
}

std::size_t makeMaildir(const std::string& folder, const Options& o)
{
    ::mkdir(folder.c_str(), 0700);
    for (const char* sub : {"cur", "new", "tmp"})
        ::mkdir((folder + "/" + sub).c_str(), 0700);
    std::mt19937_64 rng(o.seed);
    std::size_t total = 0;
    for (int i = 0; i < o.count; ++i) {
        const std::string bytes = makeMessage(rng, o, i);
        char unique[96];
        std::snprintf(unique, sizeof unique, "%llu.M%dP%llu.kartovia", 1700000000ULL + static_cast<unsigned long long>(i), i,
                      static_cast<unsigned long long>(o.seed % 100000));
        std::string path;
        const int where = std::uniform_int_distribution<int>(0, 3)(rng);
        if (where == 0)
            path = folder + "/new/" + unique;
        else
            path = folder + "/cur/" + unique + (where == 1 ? ":2," : where == 2 ? ":2,S" : ":2,RS");
        std::ofstream f(path, std::ios::binary);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!f)
            throw std::runtime_error("cannot write " + path);
        total += bytes.size();
    }
    return total;
}

} // namespace maildirmaker
