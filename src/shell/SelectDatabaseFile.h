#pragma once
// The database-file dialog: choose an address book and offer it as the start-up book.

#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"

namespace Module1 {

// True when a file was chosen: target then holds its FullPath, Drive, Folder and FileName
// (the derived fields are the caller's to split). False on a cancel or a failure.
// After the choice it asks whether to write "PMPath.txt"; a failed write is reported and the
// choice still holds for this run.
bool SelectDatabaseFile(const DbFile& source, DbFile& target);

} // namespace Module1

// Host of the database-file dialog: loaded hidden on first use and never shown.
class Form10 : public ui::Window {
    Q_OBJECT
public:
    explicit Form10(QWidget* parent = nullptr);
};
