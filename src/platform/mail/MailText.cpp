#include "platform/mail/MailText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <vector>

namespace mailcore {
namespace {

const char* const Replacement = "\xEF\xBF\xBD";

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at s[i], 0 when it is not one (overlong forms and
// surrogates included).
size_t utf8SequenceAt(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80)
        return 1;
    size_t n = 0;
    char32_t min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    char32_t v = c & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (b(i + k) & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    return n;
}

std::string repairUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t n = utf8SequenceAt(s, i);
        if (n == 0) {
            out += Replacement;
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

// A converter to UTF-8 from one charset, opened once per thread.
struct ConverterCache {
    std::map<std::string, iconv_t> converters;
    ~ConverterCache()
    {
        for (auto& [name, cd] : converters)
            if (cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(cd);
    }
};

iconv_t converterFrom(const std::string& charset)
{
    thread_local ConverterCache cache;
    const auto it = cache.converters.find(charset);
    if (it != cache.converters.end())
        return it->second;
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    cache.converters.emplace(charset, cd);
    return cd;
}

// The bytes through iconv; undecodable bytes become U+FFFD. False when the charset is unknown.
bool iconvToUtf8(std::string_view bytes, const std::string& charset, std::string& out, bool* clean = nullptr)
{
    iconv_t cd = converterFrom(charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (clean)
        *clean = true;
    std::vector<char> buf(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (true) {
        char* o = buf.data();
        size_t oLeft = buf.size();
        const size_t r = inLeft ? iconv(cd, &in, &inLeft, &o, &oLeft) : iconv(cd, nullptr, nullptr, &o, &oLeft);
        out.append(buf.data(), o - buf.data());
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An invalid or incomplete sequence: one byte becomes the replacement character.
        if (clean)
            *clean = false;
        out += Replacement;
        if (inLeft == 0)
            break;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (inLeft == 0)
            break;
    }
    return true;
}

std::string cp932ToUtf8(std::string_view sjis, bool* clean = nullptr)
{
    std::string out;
    iconvToUtf8(sjis, "CP932", out, clean);
    return out;
}

// A JIS X 0208 row and cell (0x21-0x7E each) as its Shift_JIS bytes; rows beyond 94 land in the
// NEC and IBM extension rows of code page 932, as Windows mail programs write them.
void jisToSjis(unsigned j1, unsigned j2, std::string& out)
{
    const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    const unsigned s2 = j2 + ((j1 & 1) ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
    out += static_cast<char>(s1);
    out += static_cast<char>(s2);
}

// ISO-2022-JP (with the half-width katakana and the extension rows of code page 932) as
// Shift_JIS bytes; unknown escapes and stray bytes are kept as they are.
std::string iso2022jpToSjis(std::string_view s)
{
    enum Mode { Ascii, Kanji, Kana, Other } mode = Ascii;
    bool shifted = false;  // SO/SI katakana
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0x1B && i + 2 < s.size()) {
            const std::string_view esc = s.substr(i + 1, 2);
            if (esc == "(B" || esc == "(J" || esc == "(H") {
                mode = Ascii;
                i += 2;
                continue;
            }
            if (esc == "(I") {
                mode = Kana;
                i += 2;
                continue;
            }
            if (esc == "$@" || esc == "$B") {
                mode = Kanji;
                i += 2;
                continue;
            }
            if (esc == "$(" && i + 3 < s.size()) {
                mode = (s[i + 3] == 'B' || s[i + 3] == 'Q' || s[i + 3] == 'O') ? Kanji : Other;
                i += 3;
                continue;
            }
            if (esc == "&@") {
                i += 2;
                continue;
            }
        }
        if (c == 0x0E) {
            shifted = true;
            continue;
        }
        if (c == 0x0F) {
            shifted = false;
            continue;
        }
        if (c == '\r' || c == '\n') {
            mode = Ascii;
            out += static_cast<char>(c);
            continue;
        }
        if ((shifted || mode == Kana) && c >= 0x21 && c <= 0x5F) {
            out += static_cast<char>(c + 0x80);
        } else if ((mode == Kanji || mode == Other) && c >= 0x21 && c <= 0x7E) {
            if (i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x21 && static_cast<unsigned char>(s[i + 1]) <= 0x7E) {
                if (mode == Kanji)
                    jisToSjis(c, static_cast<unsigned char>(s[i + 1]), out);
                else
                    out += "\xFF\xFF";  // a set code page 932 does not hold: two undecodable bytes
                ++i;
            } else {
                out += '\xFF';
            }
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Whether the bytes are well-formed EUC-JP with at least one 8-bit character.
bool looksEucJp(std::string_view s)
{
    bool any = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80)
            continue;
        any = true;
        const auto at = [&](size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
        if (c == 0x8E) {
            if (at(i + 1) < 0xA1 || at(i + 1) > 0xDF)
                return false;
            i += 1;
        } else if (c == 0x8F) {
            if (at(i + 1) < 0xA1 || at(i + 1) > 0xFE || at(i + 2) < 0xA1 || at(i + 2) > 0xFE)
                return false;
            i += 2;
        } else if (c >= 0xA1 && c <= 0xFE) {
            if (at(i + 1) < 0xA1 || at(i + 1) > 0xFE)
                return false;
            i += 1;
        } else {
            return false;
        }
    }
    return any;
}

std::string eucJpToUtf8(std::string_view s)
{
    // Two-byte characters go through Shift_JIS and code page 932; JIS X 0212 ones through iconv.
    std::string out;
    std::string sjis;
    const auto flush = [&] {
        if (!sjis.empty()) {
            out += cp932ToUtf8(sjis);
            sjis.clear();
        }
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const auto at = [&](size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
        if (c < 0x80) {
            sjis += static_cast<char>(c);
        } else if (c == 0x8E && at(i + 1) >= 0xA1 && at(i + 1) <= 0xDF) {
            sjis += static_cast<char>(at(i + 1));
            ++i;
        } else if (c == 0x8F && at(i + 1) >= 0xA1 && at(i + 2) >= 0xA1) {
            flush();
            if (!iconvToUtf8(s.substr(i, 3), "EUC-JP", out))
                out += Replacement;
            i += 2;
        } else if (c >= 0xA1 && c <= 0xFE && at(i + 1) >= 0xA1 && at(i + 1) <= 0xFE) {
            jisToSjis(c & 0x7F, at(i + 1) & 0x7F, sjis);
            ++i;
        } else {
            flush();
            out += Replacement;
        }
    }
    flush();
    return out;
}

// Bytes without a usable charset: UTF-8, else what Japanese text they look like, else Latin-1.
std::string guessToUtf8(std::string_view s)
{
    if (isValidUtf8(s))
        return std::string(s);
    if (s.find("\x1B$") != std::string_view::npos)
        return cp932ToUtf8(iso2022jpToSjis(s));
    if (looksEucJp(s))
        return eucJpToUtf8(s);
    bool clean = false;
    std::string sjis = cp932ToUtf8(s, &clean);
    if (clean)
        return sjis;
    std::string latin;
    iconvToUtf8(s, "ISO-8859-1", latin);
    return latin;
}

enum class Family { Utf8, Ascii, Iso2022jp, Sjis, EucJp, Other };

Family familyOf(const std::string& cs)
{
    if (cs.empty())
        return Family::Ascii;
    if (cs == "utf-8" || cs == "utf8")
        return Family::Utf8;
    if (cs == "us-ascii" || cs == "ascii" || cs == "ansi_x3.4-1968" || cs == "iso646-us")
        return Family::Ascii;
    if (cs.rfind("iso-2022-jp", 0) == 0 || cs == "csiso2022jp" || cs == "iso2022jp")
        return Family::Iso2022jp;
    if (cs == "shift_jis" || cs == "shift-jis" || cs == "sjis" || cs == "x-sjis" || cs == "ms_kanji" || cs == "csshiftjis" ||
        cs == "cp932" || cs == "ms932" || cs == "windows-31j" || cs == "cswindows31j" || cs == "x-ms-cp932" || cs == "shift_jisx0213")
        return Family::Sjis;
    if (cs == "euc-jp" || cs == "eucjp" || cs == "x-euc-jp" || cs == "cseucpkdfmtjapanese" || cs == "euc-jp-ms" || cs == "eucjp-ms" ||
        cs == "eucjp-win" || cs == "x-eucjp")
        return Family::EucJp;
    return Family::Other;
}

std::string normaliseCharset(std::string_view charset)
{
    std::string cs = lower(charset);
    // "charset*language" of RFC 2231 words.
    if (const size_t star = cs.find('*'); star != std::string::npos)
        cs.resize(star);
    while (!cs.empty() && (cs.back() == ' ' || cs.back() == '"' || cs.back() == '\''))
        cs.pop_back();
    size_t start = 0;
    while (start < cs.size() && (cs[start] == ' ' || cs[start] == '"' || cs[start] == '\''))
        ++start;
    return cs.substr(start);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string decodeQ(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_') {
            out += ' ';
        } else if (s[i] == '=' && i + 2 < s.size() + 0 && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Lenient base64: characters outside the alphabet are skipped, missing padding is accepted.
std::string decodeB(std::string_view s)
{
    std::string out;
    unsigned acc = 0;
    int bits = 0;
    for (char ch : s) {
        int v = -1;
        if (ch >= 'A' && ch <= 'Z')
            v = ch - 'A';
        else if (ch >= 'a' && ch <= 'z')
            v = ch - 'a' + 26;
        else if (ch >= '0' && ch <= '9')
            v = ch - '0' + 52;
        else if (ch == '+')
            v = 62;
        else if (ch == '/')
            v = 63;
        else if (ch == '=')
            break;
        if (v < 0)
            continue;
        acc = (acc << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

struct EncodedWord {
    size_t begin = 0, end = 0;  // of the whole word in the text
    std::string charset;
    std::string bytes;
};

// The encoded word starting at s[i] ("=?"), if there is one.
bool encodedWordAt(std::string_view s, size_t i, EncodedWord& w)
{
    if (s.compare(i, 2, "=?") != 0)
        return false;
    const size_t q1 = s.find('?', i + 2);
    if (q1 == std::string_view::npos || q1 == i + 2 || q1 + 2 >= s.size() || s[q1 + 2] != '?')
        return false;
    const char enc = static_cast<char>(std::toupper(static_cast<unsigned char>(s[q1 + 1])));
    if (enc != 'B' && enc != 'Q')
        return false;
    const size_t textStart = q1 + 3;
    const size_t close = s.find("?=", textStart);
    if (close == std::string_view::npos)
        return false;
    const std::string_view charset = s.substr(i + 2, q1 - i - 2);
    if (charset.find_first_of(" \t\"()<>,;") != std::string_view::npos)
        return false;
    const std::string_view text = s.substr(textStart, close - textStart);
    if (text.find_first_of(" \t") != std::string_view::npos)
        return false;
    w.begin = i;
    w.end = close + 2;
    w.charset = normaliseCharset(charset);
    w.bytes = enc == 'B' ? decodeB(text) : decodeQ(text);
    return true;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

size_t encodedWordEnd(std::string_view s, size_t i)
{
    EncodedWord w;
    return s.compare(i, 2, "=?") == 0 && encodedWordAt(s, i, w) ? w.end : std::string_view::npos;
}

bool isValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = utf8SequenceAt(bytes, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string toUtf8(std::string_view bytes, std::string_view charset)
{
    const std::string cs = normaliseCharset(charset);
    switch (familyOf(cs)) {
    case Family::Utf8:
        return isValidUtf8(bytes) ? std::string(bytes) : guessToUtf8(bytes);
    case Family::Ascii:
        return guessToUtf8(bytes);
    case Family::Iso2022jp: {
        // Shift_JIS or EUC-JP bytes under the wrong label are common: 8-bit bytes are guessed.
        if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            return guessToUtf8(bytes);
        return cp932ToUtf8(iso2022jpToSjis(bytes));
    }
    case Family::Sjis:
        return cp932ToUtf8(bytes);
    case Family::EucJp:
        return eucJpToUtf8(bytes);
    case Family::Other: {
        std::string out;
        if (iconvToUtf8(bytes, cs, out))
            return repairUtf8(out);
        return guessToUtf8(bytes);
    }
    }
    return guessToUtf8(bytes);
}

std::string unfold(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (char c : raw)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

std::string decodeHeaderText(std::string_view raw)
{
    std::string out;
    std::string plain;    // raw text waiting to be decoded
    std::string pending;  // bytes of adjacent encoded words of one charset
    std::string pendingCharset;
    std::string gap;      // white space after an encoded word, dropped when another follows
    const auto flushPlain = [&] {
        if (!plain.empty()) {
            out += guessToUtf8(plain);
            plain.clear();
        }
    };
    const auto flushPending = [&] {
        if (!pendingCharset.empty() || !pending.empty()) {
            out += toUtf8(pending, pendingCharset);
            pending.clear();
            pendingCharset.clear();
        }
    };
    bool afterWord = false;
    for (size_t i = 0; i < raw.size();) {
        EncodedWord w;
        if (raw[i] == '=' && encodedWordAt(raw, i, w)) {
            if (afterWord && w.charset == pendingCharset) {
                pending += w.bytes;  // the gap between two words is dropped
            } else {
                flushPending();
                if (!afterWord)
                    flushPlain();
                pendingCharset = w.charset;
                pending = w.bytes;
            }
            gap.clear();
            afterWord = true;
            i = w.end;
            continue;
        }
        if (afterWord && isSpace(raw[i])) {
            gap += raw[i++];
            continue;
        }
        if (afterWord) {
            flushPending();
            plain += gap;
            gap.clear();
            afterWord = false;
        }
        plain += raw[i++];
    }
    flushPending();
    plain += gap;
    flushPlain();
    return out;
}

namespace {

struct RawParameter {
    std::string name;    // lower case, without the "*N" and "*" marks
    int section = -1;    // N of "name*N", -1 without
    bool extended = false;  // "*" at the end: charset'lang'%XX
    std::string value;
};

std::vector<RawParameter> parseParameters(std::string_view v)
{
    std::vector<RawParameter> out;
    size_t i = v.find(';');
    while (i != std::string_view::npos && i < v.size()) {
        ++i;  // past ';'
        while (i < v.size() && isSpace(v[i]))
            ++i;
        const size_t nameStart = i;
        while (i < v.size() && v[i] != '=' && v[i] != ';')
            ++i;
        if (i >= v.size() || v[i] == ';')
            continue;
        std::string name = lower(v.substr(nameStart, i - nameStart));
        while (!name.empty() && isSpace(name.back()))
            name.pop_back();
        ++i;  // past '='
        while (i < v.size() && isSpace(v[i]))
            ++i;
        std::string value;
        if (i < v.size() && v[i] == '"') {
            ++i;
            while (i < v.size() && v[i] != '"') {
                if (v[i] == '\\' && i + 1 < v.size())
                    ++i;
                value += v[i++];
            }
            i = v.find(';', i);
        } else {
            const size_t end = v.find(';', i);
            value = std::string(v.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
            while (!value.empty() && isSpace(value.back()))
                value.pop_back();
            i = end;
        }
        RawParameter p;
        p.value = std::move(value);
        if (!name.empty() && name.back() == '*') {
            p.extended = true;
            name.pop_back();
        }
        if (const size_t star = name.find('*'); star != std::string::npos) {
            const std::string digits = name.substr(star + 1);
            if (!digits.empty() && digits.size() < 5 && std::all_of(digits.begin(), digits.end(), ::isdigit))
                p.section = std::stoi(digits);
            name.resize(star);
        }
        p.name = std::move(name);
        out.push_back(std::move(p));
    }
    return out;
}

std::string percentDecode(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() + 0 && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

std::string headerToken(std::string_view rawValue)
{
    const std::string v = unfold(rawValue);
    size_t end = v.find(';');
    std::string t = v.substr(0, end);
    t.erase(std::remove_if(t.begin(), t.end(), [](char c) { return isSpace(c); }), t.end());
    return lower(t);
}

std::string headerParameter(std::string_view rawValue, std::string_view name)
{
    const std::string v = unfold(rawValue);
    const std::string wanted = lower(name);
    std::vector<RawParameter> sections;
    const RawParameter* plain = nullptr;
    const std::vector<RawParameter> all = parseParameters(v);
    for (const RawParameter& p : all) {
        if (p.name != wanted)
            continue;
        if (p.section >= 0 || p.extended)
            sections.push_back(p);
        else if (!plain)
            plain = &p;
    }
    if (!sections.empty()) {
        std::stable_sort(sections.begin(), sections.end(),
                         [](const RawParameter& a, const RawParameter& b) { return std::max(a.section, 0) < std::max(b.section, 0); });
        std::string charset;
        std::string bytes;
        for (size_t k = 0; k < sections.size(); ++k) {
            const RawParameter& p = sections[k];
            std::string_view value = p.value;
            if (p.extended && k == 0) {
                // charset'language'value
                const size_t a = value.find('\'');
                const size_t b = a == std::string_view::npos ? a : value.find('\'', a + 1);
                if (b != std::string_view::npos) {
                    charset = std::string(value.substr(0, a));
                    value = value.substr(b + 1);
                }
            }
            bytes += p.extended ? percentDecode(value) : std::string(value);
        }
        return toUtf8(bytes, charset);
    }
    if (plain)
        return decodeHeaderText(plain->value);
    return {};
}

std::string cleanHeaderText(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) {
            out += ' ';
        } else if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(s[i + 1]) <= 0x9F) {
            out += ' ';
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string cleanBodyText(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '\r') {
            out += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else if (c == '\n' || c == '\t') {
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += ' ';
        } else if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(s[i + 1]) <= 0x9F) {
            out += ' ';
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

namespace {

bool startsWithCi(std::string_view s, size_t i, std::string_view word)
{
    if (i + word.size() > s.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(s[i + k])) != word[k])
            return false;
    return true;
}

void appendEntity(std::string& out, std::string_view name)
{
    static const std::map<std::string, char32_t> named = {
        {"amp", '&'},     {"lt", '<'},       {"gt", '>'},      {"quot", '"'},    {"apos", '\''},
        {"nbsp", ' '},    {"copy", 0xA9},    {"reg", 0xAE},    {"yen", 0xA5},    {"hellip", 0x2026},
        {"mdash", 0x2014}, {"ndash", 0x2013}, {"laquo", 0xAB},  {"raquo", 0xBB},  {"middot", 0xB7},
        {"times", 0xD7},  {"divide", 0xF7},  {"trade", 0x2122}, {"euro", 0x20AC}, {"bull", 0x2022},
    };
    char32_t c = 0;
    if (!name.empty() && name[0] == '#') {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string_view digits = name.substr(hex ? 2 : 1);
        unsigned long v = 0;
        for (char d : digits) {
            const int h = hexValue(d);
            if (h < 0 || (!hex && h > 9) || v > 0x10FFFF) {
                v = 0xFFFD;
                break;
            }
            v = v * (hex ? 16 : 10) + static_cast<unsigned long>(h);
        }
        c = (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) ? 0xFFFD : static_cast<char32_t>(v);
    } else {
        const auto it = named.find(std::string(name));
        if (it == named.end()) {
            out += '&';
            out.append(name);
            out += ';';
            return;
        }
        c = it->second;
    }
    appendUtf8(out, c);
}

} // namespace

std::string htmlToText(std::string_view h)
{
    std::string text;
    text.reserve(h.size());
    bool pendingSpace = false;
    const auto newline = [&] {
        pendingSpace = false;
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        text += '\n';
    };
    for (size_t i = 0; i < h.size();) {
        const char c = h[i];
        if (c == '<') {
            if (h.compare(i, 4, "<!--") == 0) {
                const size_t end = h.find("-->", i + 4);
                i = end == std::string_view::npos ? h.size() : end + 3;
                continue;
            }
            const size_t close = h.find('>', i + 1);
            if (close == std::string_view::npos) {
                i = h.size();
                break;
            }
            size_t n = i + 1;
            const bool closing = n < close && h[n] == '/';
            if (closing)
                ++n;
            size_t e = n;
            while (e < close && std::isalnum(static_cast<unsigned char>(h[e])))
                ++e;
            const std::string tag = lower(h.substr(n, e - n));
            i = close + 1;
            if (!closing && (tag == "script" || tag == "style" || tag == "head" || tag == "title")) {
                // Everything up to the matching end tag is not text.
                const std::string endTag = "</" + tag;
                size_t k = i;
                while (k < h.size() && !startsWithCi(h, k, endTag))
                    ++k;
                const size_t gt = h.find('>', k);
                i = gt == std::string_view::npos ? h.size() : gt + 1;
                continue;
            }
            if (tag == "br") {
                newline();
            } else if (tag == "p" || tag == "div" || tag == "tr" || tag == "li" || tag == "table" || tag == "blockquote" ||
                       tag == "pre" || tag == "ul" || tag == "ol" || tag == "hr" ||
                       (tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6')) {
                if (!text.empty() && text.back() != '\n')
                    newline();
            } else if (tag == "td" || tag == "th") {
                if (closing)
                    pendingSpace = true;
            }
            continue;
        }
        if (isSpace(c)) {
            pendingSpace = !text.empty() && text.back() != '\n';
            ++i;
            continue;
        }
        if (pendingSpace) {
            text += ' ';
            pendingSpace = false;
        }
        if (c == '&') {
            const size_t semi = h.find(';', i + 1);
            if (semi != std::string_view::npos && semi - i <= 12) {
                appendEntity(text, h.substr(i + 1, semi - i - 1));
                i = semi + 1;
                continue;
            }
        }
        text += c;
        ++i;
    }
    // At most one empty line in a row, none at the start or end.
    std::string out;
    int newlines = 0;
    for (char c : text) {
        if (c == '\n') {
            ++newlines;
            continue;
        }
        if (!out.empty())
            out.append(static_cast<size_t>(std::min(newlines, 2)), '\n');
        newlines = 0;
        out += c;
    }
    return out;
}

} // namespace mailcore
