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
};

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
    QString cell;
    if (!text.isEmpty()) {
        cell = u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
    } else if (last) {
        cell = QStringLiteral(" ");
    }
    cell += last ? QStringLiteral("\r\n") : QStringLiteral(",");

    const text::Encoded encoded = text::encodeCp932(cell);
    if (encoded.substituted > 0)
        ++t.substitutedCells;
    if (t.file->write(encoded.bytes) != encoded.bytes.size()) {
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
    std::unique_ptr<QSaveFile> file = std::move(t.file);
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
