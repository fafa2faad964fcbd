#include "shell/Helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include "platform/text/Cp932.h"
#include "shell/Formats.h"

namespace Module1 {

QString FitBytes(const QString& text, int width)
{
    if (width <= 0)
        return QString();
    const int have = text::byteWidth(text);
    if (have == width)
        return text;
    if (have < width)
        return text + QString(width - have, u' ');

    QString out;
    int used = 0;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype units = 0;
        const int w = text::charByteWidth(text, i, &units);
        if (used + w > width) {
            // Half a double-byte character cannot be shown: one space fills its place.
            if (w == 2 && width - used == 1)
                out += u' ';
            break;
        }
        out += QStringView(text).mid(i, units);
        used += w;
        i += units;
    }
    return out;
}

const Era* EraOf(const QList<Era>& eras, const QDate& date)
{
    if (!date.isValid())
        return nullptr;
    for (qsizetype i = eras.size() - 1; i >= 0; --i) {
        if (eras.at(i).start <= date)
            return &eras.at(i);
    }
    return nullptr;
}

QString JapaneseEraYear(const QList<Era>& eras, const QDate& date, QString* eraDate)
{
    const Era* era = EraOf(eras, date);
    if (!era) {
        if (eraDate)
            eraDate->clear();
        return QString();
    }
    const QString year = FormatTwoDigits(date.year() - era->start.year() + 1);
    if (eraDate)
        *eraDate = year + FormatSlashMonthDay(date);
    return era->name + year + QStringLiteral("年");
}

int AgeInYears(const QDate& birth, const QDate& ref)
{
    if (!birth.isValid() || !ref.isValid())
        return 0;
    int age = ref.year() - birth.year();
    if (birth.month() > ref.month() || (birth.month() == ref.month() && birth.day() > ref.day()))
        --age;
    return age < 0 ? 0 : age;
}

namespace {

bool parseDigits(const QString& s, int maxLength, int* value)
{
    if (s.isEmpty() || s.size() > maxLength)
        return false;
    int v = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    *value = v;
    return true;
}

} // namespace

bool IsYmdDate(const QString& text)
{
    const QStringList parts = text.split(u'/');
    if (parts.size() != 3)
        return false;
    int year = 0, month = 0, day = 0;
    if (!parseDigits(parts.at(0), 4, &year) || !parseDigits(parts.at(1), 2, &month)
        || !parseDigits(parts.at(2), 2, &day))
        return false;
    // Short years follow the old platform's window: 00-29 are 2000s, 30-99 are 1900s.
    if (parts.at(0).size() <= 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, month, day).isValid();
}

namespace {

bool isBreak(QChar c) { return c == u'\r' || c == u'\n'; }

// Position after the line break that starts at k (CR LF counts as one).
qsizetype skipBreak(QStringView s, qsizetype k)
{
    return (s.at(k) == u'\r' && k + 1 < s.size() && s.at(k + 1) == u'\n') ? k + 2 : k + 1;
}

// Reads the field that starts at *pos and moves *pos to where the next one starts; *more is
// false when it was the last field. With records set, a line break outside quotes ends the
// record (and *pos moves past it), and a quoted field may run over line breaks.
// The text is a view of s, or of *scratch when doubled quotes had to be undone.
QStringView readField(QStringView s, qsizetype* pos, QChar sep, bool records, bool* more, QString* scratch,
                      int* lineFeeds = nullptr)
{
    const qsizetype n = s.size();
    const qsizetype start = *pos;
    *more = false;
    int feeds = 0;
    const auto countFeeds = qScopeGuard([&] {
        if (lineFeeds)
            *lineFeeds = feeds;
    });

    if (start < n && s.at(start) == u'"') {
        // A stretch at a time, from quote to quote: a whole file goes through here. Only a
        // field with doubled quotes is copied.
        bool copied = false;
        qsizetype viewEnd = start + 1;  // end of the text while it is still a view of s
        qsizetype textAtBreak = -1, breakAt = -1;
        qsizetype j = start + 1;
        auto text = [&]() -> QStringView {
            return copied ? QStringView(*scratch) : s.mid(start + 1, viewEnd - start - 1);
        };
        for (;;) {
            // One pass to the next quote, noting the first line break and counting line feeds.
            qsizetype q = j;
            for (; q < n; ++q) {
                const char16_t c = s[q].unicode();
                if (c > u'"')
                    continue;
                if (c == u'"')
                    break;
                if (c == u'\n' || c == u'\r') {
                    feeds += c == u'\n';
                    if (records && breakAt < 0) {
                        textAtBreak = text().size() + (q - j);
                        breakAt = q;
                    }
                }
            }
            const qsizetype end = q;
            if (q >= n)
                q = -1;
            if (copied)
                scratch->append(s.mid(j, end - j));
            else
                viewEnd = end;
            if (q < 0)
                break;
            if (q + 1 < n && s.at(q + 1) == u'"') {
                if (!copied) {
                    *scratch = s.mid(start + 1, viewEnd - start - 1).toString();
                    copied = true;
                }
                scratch->append(u'"');
                j = q + 2;
                continue;
            }
            // Closing quote; the character after it is taken as the separator.
            const qsizetype after = q + 1;
            if (after >= n) {
                *pos = n;
            } else if (records && isBreak(s.at(after))) {
                *pos = skipBreak(s, after);
            } else {
                *pos = after + 1;
                *more = true;
            }
            return text();
        }
        // No closing quote: the field runs to the end of its line and is the last one.
        if (breakAt >= 0) {
            *pos = skipBreak(s, breakAt);
            feeds = 0;  // the text ends before its first line break
            return text().left(textAtBreak);
        }
        *pos = n;
        return text();
    }

    qsizetype j = start;
    while (j < n && s.at(j) != sep && !(records && isBreak(s.at(j))))
        ++j;
    const QStringView text = s.mid(start, j - start);
    if (j >= n) {
        *pos = n;
    } else if (s.at(j) == sep) {
        *pos = j + 1;
        *more = true;
    } else {
        *pos = skipBreak(s, j);
    }
    return text;
}

} // namespace

QString CsvField(const QString& line, int n, QChar sep)
{
    qsizetype pos = 0;
    bool more = true;
    QString scratch;
    for (int field = 1; field <= n && more; ++field) {
        const QStringView text = readField(line, &pos, sep, false, &more, &scratch);
        if (field == n)
            return text.toString();
    }
    return QString();
}

CsvReader::CsvReader(QStringView content, QChar sep) : content_(content), sep_(sep) {}

bool CsvReader::next()
{
    cells_.clear();
    lineFeeds_ = 0;
    if (pos_ >= content_.size())
        return false;
    bool more = true;
    while (more) {
        if (scratch_.size() <= cells_.size())
            scratch_.resize(cells_.size() + 1);
        int feeds = 0;
        cells_.push_back(readField(content_, &pos_, sep_, true, &more, &scratch_[cells_.size()], &feeds));
        lineFeeds_ += feeds;
    }
    return true;
}

QList<QStringList> ReadCsvRecords(const QString& content, QChar sep)
{
    QList<QStringList> records;
    CsvReader reader(content, sep);
    while (reader.next()) {
        QStringList fields;
        fields.reserve(reader.size());
        for (int i = 0; i < reader.size(); ++i)
            fields.append(reader.cell(i).toString());
        records.append(fields);
    }
    return records;
}

QString ImageFileName(const QString& fileName)
{
    static const char* const kExtensions[] = {
        ".emf", ".EMF", ".wmf", ".WMF", ".jpg", ".JPG", ".jpeg", ".JPEG", ".jpe",
        ".JPE", ".jfif", ".JFIF", ".png", ".PNG", ".bmp", ".BMP", ".gif", ".GIF",
    };
    for (const char* ext : kExtensions) {
        if (fileName.endsWith(QLatin1String(ext), Qt::CaseSensitive))
            return fileName;
    }
    return QString();
}

bool EnsureFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).isDir())
        return true;
    return QDir().mkdir(path);
}

} // namespace Module1
