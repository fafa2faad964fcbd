#pragma once
// A change of a record's registration number: whether another record has the number, and the
// record folder that takes the new number as its name.

#include "platform/db/Database.h"
#include "shell/DbFile.h"

namespace records {

// True when a personal record of the book has the number, found through the unique index of
// "会員NO" with the number bound (not by a scan of the records). Errors of the engine reach the
// caller.
bool MemberNoInUse(const db::Database& book, qint64 memberNo);

enum class FolderRename {
    Renamed,    // the old folder now bears the new number
    NoFolder,   // the record had no folder: nothing to rename
    Taken,      // a folder of the new number exists: nothing was renamed
    Failed,     // the rename did not happen
};

// Gives the record folder of oldNo the name of newNo, unless a folder of newNo exists already.
FolderRename RenameRecordFolder(const Module1::DbFile& book, qint64 oldNo, qint64 newNo);

// True when anything (a folder or a file) bears the record folder's name of that number.
bool RecordFolderTaken(const Module1::DbFile& book, qint64 memberNo);

} // namespace records
