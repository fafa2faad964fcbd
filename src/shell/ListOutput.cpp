#include "shell/ListOutput.h"

#include <QSaveFile>

#include <memory>

#include "platform/text/Cp932.h"

namespace Module1 {

namespace {

struct ListOutputTarget {
    std::unique_ptr<QSaveFile> file;   // set while a list is open
    bool failed = false;               // a step failed; the list waits for EndListOutput
    QString error;
    int substitutedCells = 0;
    QByteArray cell;                   // the bytes of the cell being written, kept for its room
    QByteArray pending;                // cells not yet handed to the file, written a chunk at a time
};

constexpr qsizetype kWriteChunk = 256 * 1024;

bool flush(ListOutputTarget& t)
{
    if (t.pending.isEmpty())
        return true;
    const bool ok = t.file->write(t.pending) == t.pending.size();
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
    // The cell's bytes are put together here, a list of 100,000 records writes millions of them.
    QByteArray& bytes = t.cell;
    bytes.clear();
    int substituted = 0;
    if (!text.isEmpty()) {
        bytes.append('"');
        QStringView rest(text);
        for (qsizetype q; (q = rest.indexOf(u'"')) >= 0; rest = rest.mid(q + 1)) {
            substituted += text::appendCp932(rest.left(q), &bytes);
            bytes.append("\"\"");
        }
        substituted += text::appendCp932(rest, &bytes);
        bytes.append('"');
    } else if (last) {
        bytes.append(' ');
    }
    bytes.append(last ? "\r\n" : ",");

    if (substituted > 0)
        ++t.substitutedCells;
    t.pending.append(bytes);
    if (t.pending.size() >= kWriteChunk && !flush(t)) {
        t.failed = true;
        return fail(t, fileError(*t.file));
    }
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

QString ListOutputError()
{
    return target().error;
}

int ListOutputSubstitutedCells()
{
    return target().substitutedCells;
}

} // namespace Module1
