#include "shell/ListOutput.h"

#include <QSaveFile>

#include <memory>
#include <string>

#include "platform/text/Cp932.h"

namespace Module1 {

namespace {

struct ListOutputTarget {
    std::unique_ptr<QSaveFile> file;   // set while a list is open
    bool failed = false;               // a step failed; the list waits for EndListOutput
    QString error;
    int substitutedCells = 0;
    std::string pending;               // cells not yet handed to the file, written a chunk at a time
};

constexpr size_t kWriteChunk = 256 * 1024;

bool flush(ListOutputTarget& t)
{
    if (t.pending.empty())
        return true;
    const bool ok = t.file->write(t.pending.data(), qint64(t.pending.size())) == qint64(t.pending.size());
    t.pending.clear();
    return ok;
}

ListOutputTarget& target()
{
    static ListOutputTarget t;
    return t;
}

bool fail(ListOutputTarget& t, const QString& error)
{
    t.error = error;
    return false;
}

QString fileError(const QSaveFile& file)
{
    return QStringLiteral("一覧ファイルに書き込めません: %1\n%2").arg(file.fileName(), file.errorString());
}

} // namespace

bool BeginListOutput(const QString& pathWithoutExtension, int /*columns*/, int /*leftMargin*/,
                     int /*option*/, const QString& /*fontName*/, int /*fontSize*/)
{
    ListOutputTarget& t = target();
    if (t.file)
        return fail(t, QStringLiteral("別の一覧ファイルを書き込み中です: %1").arg(t.file->fileName()));
    t.failed = false;
    t.error.clear();
    t.substitutedCells = 0;
    t.pending.clear();
    auto file = std::make_unique<QSaveFile>(pathWithoutExtension + QStringLiteral(".csv"));
    if (!file->open(QIODevice::WriteOnly))
        return fail(t, fileError(*file));
    t.file = std::move(file);
    return true;
}

bool WriteListCell(int /*column*/, const QString& text, const QString& kind)
{
    ListOutputTarget& t = target();
    if (!t.file)
        return fail(t, QStringLiteral("一覧ファイルが開かれていません"));
    if (t.failed)
        return false;

    const bool last = kind == u"E" || kind == u"e";
    // The cell's bytes go straight into the buffer: a list of 100,000 records writes millions
    // of cells. Room: two bytes a character (a doubled quote too), the quotes and the end.
    std::string& out = t.pending;
    const size_t at = out.size();
    out.resize(at + 2 * size_t(text.size()) + 4);
    char* to = out.data() + at;
    int substituted = 0;
    if (!text.isEmpty()) {
        *to++ = '"';
        QStringView rest(text);
        for (qsizetype q; (q = rest.indexOf(u'"')) >= 0; rest = rest.mid(q + 1)) {
            to = text::writeCp932(rest.left(q), to, &substituted, text::Twins::Write);
            *to++ = '"';
            *to++ = '"';
        }
        to = text::writeCp932(rest, to, &substituted, text::Twins::Write);
        *to++ = '"';
    } else if (last) {
        *to++ = ' ';
    }
    if (last) {
        *to++ = '\r';
        *to++ = '\n';
    } else {
        *to++ = ',';
    }
    out.resize(size_t(to - out.data()));

    if (substituted > 0)
        ++t.substitutedCells;
    if (t.pending.size() >= kWriteChunk && !flush(t)) {
        t.failed = true;
        return fail(t, fileError(*t.file));
    }
    return true;
}

bool WriteListLine(const QStringList& cells)
{
    for (int i = 0; i < cells.size(); ++i)
        if (!WriteListCell(i + 1, cells[i], i + 1 == cells.size() ? QStringLiteral("E") : QStringLiteral("C")))
            return false;
    return true;
}

bool EndListOutput()
{
    ListOutputTarget& t = target();
    if (!t.file)
        return fail(t, QStringLiteral("一覧ファイルが開かれていません"));
    if (!t.failed && !flush(t)) {
        t.failed = true;
        fail(t, fileError(*t.file));
    }
    std::unique_ptr<QSaveFile> file = std::move(t.file);
    t.pending.clear();
    if (t.failed) {
        t.failed = false;
        file->cancelWriting();
        return false;   // the error of the failing step stays in place
    }
    if (!file->commit())
        return fail(t, fileError(*file));
    return true;
}

void CancelListOutput()
{
    ListOutputTarget& t = target();
    if (std::unique_ptr<QSaveFile> file = std::move(t.file))
        file->cancelWriting();
    t.pending.clear();
    t.failed = false;
}

QString ListOutputError()
{
    return target().error;
}

int ListOutputSubstitutedCells()
{
    return target().substitutedCells;
}

} // namespace Module1
