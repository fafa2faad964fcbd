#include "platform/text/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>
#include <vector>

namespace text {

namespace {

// ICU knows code page 932 under this name; QStringConverter::encodingForName does not.
constexpr const char* kCodec = "windows-31j";

void requireCodec()
{
    static const bool available = cp932Available();
    if (!available)
        qFatal("Code page 932 (windows-31j) is not available: Qt was built without ICU");
}

bool isHalfWidthKatakana(char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

// Shift-JIS lead bytes: a byte in these ranges starts a two-byte character.
bool isLeadByte(uchar b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Opening a converter costs far more than a short conversion, so one of each is kept per thread.
// Code page 932 has no shift states; but a converter's error flag cannot be cleared again
// (resetState keeps it in Qt 6.4), so a converter that met an error is replaced.
QByteArray encodeStrict(QStringView s, bool* failed)
{
    thread_local std::optional<QStringEncoder> enc;
    if (!enc || enc->hasError())
        enc.emplace(kCodec);
    QByteArray bytes = enc->encode(s);
    *failed = enc->hasError();
    enc->resetState();  // a lone high surrogate at the end must not join the next text
    return bytes;
}

QString decodeRaw(const QByteArray& bytes)
{
    thread_local std::optional<QStringDecoder> dec;
    if (!dec || dec->hasError())
        dec.emplace(kCodec);
    QString s = dec->decode(bytes);
    // A lead byte left at the end would wait inside the converter for the next call.
    dec->resetState();
    return s;
}

// A character counts as held only when it encodes without error and decodes back to itself:
// ICU accepts a few characters silently (U+FEFF vanishes, some private-use ones map to others).
bool encodesExactly(QStringView c, QByteArray* bytes)
{
    bool failed = false;
    *bytes = encodeStrict(c, &failed);
    return !failed && !bytes->isEmpty() && decodeRaw(*bytes) == c;
}

} // namespace

int charByteWidth(const QString& s, qsizetype i, qsizetype* units)
{
    if (i < 0 || i >= s.size()) {
        if (units)
            *units = 0;
        return 0;
    }
    const char16_t c = s.at(i).unicode();
    qsizetype n = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
        n = 2;
    if (units)
        *units = n;
    return (c < 0x80 || isHalfWidthKatakana(c)) ? 1 : 2;
}

int byteWidth(const QString& s)
{
    int width = 0;
    for (qsizetype i = 0; i < s.size();) {
        qsizetype units = 0;
        width += charByteWidth(s, i, &units);
        i += units;
    }
    return width;
}

bool cp932Available()
{
    return QStringEncoder(kCodec).isValid() && QStringDecoder(kCodec).isValid();
}

bool fitsCp932(const QString& s)
{
    return encodeCp932(s).substituted == 0;
}

namespace {

// What each character encodes to, asked of the converter the first time the character is met:
// a list of 100,000 records repeats the same few thousand characters. Entries: 0 not asked yet,
// kNotHeld, or kHeld | length << 16 | bytes.
constexpr quint32 kHeld = 0x80000000u;
constexpr quint32 kNotHeld = 0x40000000u;

quint32 encodedChar(char16_t c)
{
    thread_local std::vector<quint32> memo(0x10000, 0);
    quint32& e = memo[c];
    if (e == 0) {
        const QChar ch(c);
        QByteArray bytes;
        if (encodesExactly(QStringView(&ch, 1), &bytes) && bytes.size() <= 2)
            e = kHeld | quint32(bytes.size()) << 16 | (bytes.size() == 2 ? uchar(bytes[0]) << 8 | uchar(bytes[1]) : uchar(bytes[0]));
        else
            e = kNotHeld;
    }
    return e;
}

} // namespace

char16_t cp932Twin(char16_t c)
{
    switch (c) {
    case 0x301C: return 0xFF5E;  // 〜 -> ～
    case 0x2212: return 0xFF0D;  // − -> －
    case 0x2016: return 0x2225;  // ‖ -> ∥
    case 0x2014: return 0x2015;  // — -> ―
    case 0x00A2: return 0xFFE0;  // ¢ -> ￠
    case 0x00A3: return 0xFFE1;  // £ -> ￡
    case 0x00AC: return 0xFFE2;  // ¬ -> ￢
    default: return 0;
    }
}

char* writeCp932(QStringView s, char* to, int* substituted, Twins twins)
{
    for (qsizetype i = 0; i < s.size();) {
        const char16_t c = s[i].unicode();
        if (c < 0x80) {
            *to++ = char(c);
            ++i;
            continue;
        }
        if (!QChar::isSurrogate(c)) {
            requireCodec();
            quint32 e = encodedChar(c);
            if (!(e & kHeld) && twins == Twins::Write) {
                if (const char16_t twin = cp932Twin(c))
                    e = encodedChar(twin);
            }
            if (e & kHeld) {
                if (((e >> 16) & 0xFF) == 2)
                    *to++ = char((e >> 8) & 0xFF);
                *to++ = char(e & 0xFF);
            } else {
                *to++ = '?';
                ++*substituted;
            }
            ++i;
            continue;
        }
        // Code page 932 holds nothing beyond the basic plane: a pair, or a lone half, is one substitute.
        const qsizetype units = (QChar::isHighSurrogate(c) && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ? 2 : 1;
        // Nothing code page 932 holds takes two units, so this is one substitute.
        *to++ = '?';
        ++*substituted;
        i += units;
    }
    return to;
}

Encoded encodeCp932(const QString& s, Twins twins)
{
    // Room for two bytes a character, written in place and cut to what was written.
    Encoded out;
    out.bytes.resize(2 * s.size());
    char* end = writeCp932(s, out.bytes.data(), &out.substituted, twins);
    out.bytes.truncate(end - out.bytes.constData());
    return out;
}

namespace {

// What each byte and each pair of bytes decodes to, taken from the converter itself once, so that
// a large file is decoded by looking up its characters. 0 marks what is not a whole character.
struct DecodeTable {
    char16_t single[256] = {};
    std::vector<char16_t> pair;  // (lead - 0x80) * 256 + trail

    DecodeTable() : pair(128 * 256, 0)
    {
        for (int b = 0; b < 256; ++b) {
            if (isLeadByte(uchar(b)))
                continue;
            const QString c = decodeRaw(QByteArray(1, char(b)));
            if (c.size() == 1 && c[0] != QChar::ReplacementCharacter && (c[0].unicode() != 0x1A || b == 0x1A))
                single[b] = c[0].unicode();
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(uchar(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char two[2] = {char(lead), char(trail)};
                const QString c = decodeRaw(QByteArray(two, 2));
                if (c.size() == 1 && c[0] != QChar::ReplacementCharacter && c[0].unicode() != 0x1A)
                    pair[size_t((lead - 0x80) * 256 + trail)] = c[0].unicode();
            }
        }
    }
};

const DecodeTable& decodeTable()
{
    static const DecodeTable table;
    return table;
}

// Decodes by the table; false when something in the bytes is not a whole character, which the
// converter then decodes in its own way.
bool decodeByTable(const QByteArray& bytes, QString* out)
{
    const DecodeTable& table = decodeTable();
    out->resize(bytes.size());
    char16_t* to = reinterpret_cast<char16_t*>(out->data());
    const auto* from = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype k = 0;
    for (qsizetype i = 0; i < n;) {
        const uchar b = from[i];
        // ASCII as it is, control codes too, as an all-ASCII text reads and as it is written.
        if (b < 0x80) {
            to[k++] = char16_t(b);
            ++i;
            continue;
        }
        char16_t c = 0;
        if (isLeadByte(b)) {
            if (i + 1 < n)
                c = table.pair[size_t((b - 0x80) * 256 + from[i + 1])];
            i += 2;
        } else {
            c = table.single[b];
            ++i;
        }
        if (c == 0)
            return false;
        to[k++] = c;
    }
    out->truncate(k);
    return true;
}

} // namespace

QString decodeCp932(const QByteArray& bytes)
{
    const auto* from = reinterpret_cast<const uchar*>(bytes.constData());
    if (std::all_of(from, from + bytes.size(), [](uchar b) { return b < 0x80; }))
        return QString::fromLatin1(bytes);
    requireCodec();
    QString s;
    if (decodeByTable(bytes, &s))
        return s;
    s = decodeRaw(bytes);
    // The decoder silently drops a lead byte at the very end; show that something was there.
    qsizetype i = 0;
    while (i < bytes.size())
        i += isLeadByte(uchar(bytes.at(i))) ? 2 : 1;
    if (i > bytes.size())
        s += QChar(QChar::ReplacementCharacter);
    return s;
}

QString decodeCp932Marked(const QByteArray& bytes, int* broken)
{
    *broken = 0;
    const auto* bytesFrom = reinterpret_cast<const uchar*>(bytes.constData());
    if (std::all_of(bytesFrom, bytesFrom + bytes.size(), [](uchar b) { return b < 0x80; }))
        return QString::fromLatin1(bytes);
    requireCodec();
    QString s;
    if (decodeByTable(bytes, &s))
        return s;
    const DecodeTable& table = decodeTable();
    s.resize(bytes.size());
    char16_t* to = reinterpret_cast<char16_t*>(s.data());
    const auto* from = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype k = 0;
    for (qsizetype i = 0; i < n;) {
        const uchar b = from[i];
        if (b < 0x80) {
            to[k++] = char16_t(b);
            ++i;
            continue;
        }
        char16_t c = 0;
        if (isLeadByte(b)) {
            const int trail = i + 1 < n ? from[i + 1] : -1;
            // A byte that no trail can be (a line end, a comma) is not swallowed with the lead.
            const bool trailByte = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
            if (trailByte)
                c = table.pair[size_t((b - 0x80) * 256 + trail)];
            i += trailByte ? 2 : 1;
        } else {
            c = table.single[b];
            ++i;
        }
        if (c == 0) {
            c = QChar::ReplacementCharacter;
            ++*broken;
        }
        to[k++] = c;
    }
    s.truncate(k);
    return s;
}

ReadResult readCp932File(const QString& path)
{
    ReadResult r;
    // A FIFO or device would keep the read waiting: regular files only.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        r.error = QStringLiteral("ファイルを開けません: %1\n通常のファイルではありません").arg(path);
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("ファイルを開けません: %1\n%2").arg(path, file.errorString());
        return r;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        r.error = QStringLiteral("ファイルを読み込めません: %1\n%2").arg(path, file.errorString());
        return r;
    }
    r.content = decodeCp932Marked(bytes, &r.broken);
    r.ok = true;
    return r;
}

QStringList splitLines(const QString& content)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = content.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && content.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(content.mid(start));
    return lines;
}

WriteResult writeCp932Lines(const QString& path, const QStringList& lines, bool refuseUnencodable)
{
    WriteResult r;
    QString content;
    for (const QString& line : lines) {
        content += line;
        content += QStringLiteral("\r\n");
    }
    const Encoded encoded = encodeCp932(content);
    r.substituted = encoded.substituted;
    if (refuseUnencodable && encoded.substituted > 0) {
        r.error = QStringLiteral("シフトJISで表せない文字が %1 文字あるため書き込めません: %2")
                      .arg(encoded.substituted)
                      .arg(path);
        return r;
    }
    // Written beside the old file and renamed over it, so a failure leaves the old file whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encoded.bytes) != encoded.bytes.size()
        || !file.commit()) {
        r.error = QStringLiteral("ファイルに書き込めません: %1\n%2").arg(path, file.errorString());
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace text
