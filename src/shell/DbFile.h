#pragma once
// The database-file record: where the current address book lies and the folders derived from it.

#include <QString>

namespace Module1 {

struct DbFile {
    QString FullPath;
    QString Drive;          // "X:" or "\\server\share"; empty for a POSIX path
    QString Folder;         // between Drive and the file name, without a trailing separator
    QString FileName;
    QString BaseName;       // FileName less its last four characters
    QString DataFolder;     // parent of the per-record folders
    QString PreviewFolder;  // = DataFolder after a split; the viewer's thumbnail folder during a hand-over

    bool operator==(const DbFile&) const = default;
};

// The separator of the record's path form: "\" for drive-letter and UNC paths, "/" otherwise.
QString PathSeparator(const DbFile& f);

// Splits source.FullPath into all fields of target. An empty FullPath changes nothing and counts
// as success. A path with no separator, or with a file name of four characters or fewer, is not
// a database file: target is left as it was and the result is false, for the caller to report.
bool SplitDbFilePath(const DbFile& source, DbFile& target);

// Fills Drive, Folder and FileName only (the file dialog leaves the derived fields to its callers).
bool SplitDbFilePathHead(const DbFile& source, DbFile& target);

// Drive & Folder: the folder that holds the address books; "/" when both are empty.
QString DatabaseFolder(const DbFile& f);
// The common database of that folder: "共通情報/共通情報.mdb".
QString CommonDbPath(const DbFile& f);
// The folder of one record: DataFolder, separator, the number as "#######0".
QString RecordFolderPath(const DbFile& f, qint64 memberNo);

} // namespace Module1
