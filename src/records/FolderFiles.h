#pragma once
// What a record's picture folder holds, for the hand-over to the image viewer.

#include <QString>

namespace records {

struct FolderFiles {
    bool any = false;       // at least one regular file (read-only ones included)
    bool readOnly = false;  // at least one of them is read-only
};

// Every regular file of the folder, not its subfolders and not hidden files; nothing for a
// folder that does not exist. Read-only means the owner may not write it, whoever runs this.
FolderFiles ListFolderFiles(const QString& folder);

} // namespace records
