#include "shell/DbFile.h"

#include <QDir>
#include <QRegularExpression>

namespace Module1 {

namespace {

bool isDriveLetterPath(const QString& p)
{
    return p.size() >= 2 && p[1] == QLatin1Char(':') && p[0].isLetter() && p[0].unicode() < 128;
}

bool isUncPath(const QString& p) { return p.startsWith(QLatin1String("\\\\")); }

} // namespace

QString PathSeparator(const DbFile& f)
{
    return (isDriveLetterPath(f.Drive) || isUncPath(f.Drive)) ? QStringLiteral("\\") : QStringLiteral("/");
}

bool SplitDbFilePathHead(const DbFile& source, DbFile& target)
{
    QString path = source.FullPath;
    if (path.isEmpty())
        return true;

    QChar sep = QLatin1Char('\\');
    QString drive;
    qsizetype bound = 0;  // characters before the search range (0-based count)
    if (isUncPath(path)) {
        // Everything before the fourth backslash is the "drive": \\server\share.
        int seen = 0;
        qsizetype fourth = -1;
        for (qsizetype i = 0; i < path.size(); ++i) {
            if (path[i] == QLatin1Char('\\') && ++seen == 4) {
                fourth = i;
                break;
            }
        }
        if (fourth < 0)
            return false;
        drive = path.left(fourth);
        bound = fourth;
    } else if (isDriveLetterPath(path)) {
        drive = path.left(2);
        bound = 2;
    } else {
        sep = QLatin1Char('/');
        if (!path.contains(sep))
            return false;
        if (!path.startsWith(sep))
            path = QDir::cleanPath(QDir::current().absoluteFilePath(path));
        bound = 0;
    }

    const qsizetype q = path.lastIndexOf(sep);
    if (q < bound)
        return false;  // no separator after the drive
    const QString fileName = path.mid(q + 1);
    if (fileName.size() <= 4)
        return false;

    target.FullPath = path;
    target.Drive = drive;
    target.Folder = path.mid(bound, q - bound);
    target.FileName = fileName;
    return true;
}

bool SplitDbFilePath(const DbFile& source, DbFile& target)
{
    if (source.FullPath.isEmpty())
        return true;
    DbFile result = target;
    if (!SplitDbFilePathHead(source, result))
        return false;
    result.BaseName = result.FileName.left(result.FileName.size() - 4);
    result.DataFolder = result.Drive + result.Folder + PathSeparator(result) + result.BaseName;
    result.PreviewFolder = result.DataFolder;
    target = result;
    return true;
}

QString DatabaseFolder(const DbFile& f)
{
    const QString folder = f.Drive + f.Folder;
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

QString CommonDbPath(const DbFile& f)
{
    const QString sep = PathSeparator(f);
    return f.Drive + f.Folder + sep + QStringLiteral("共通情報") + sep + QStringLiteral("共通情報.mdb");
}

QString RecordFolderPath(const DbFile& f, qint64 memberNo)
{
    return f.DataFolder + PathSeparator(f) + QString::number(memberNo);
}

} // namespace Module1
