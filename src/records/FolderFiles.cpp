#include "records/FolderFiles.h"

#include <QDir>
#include <QFileInfo>

namespace records {

FolderFiles ListFolderFiles(const QString& folder)
{
    FolderFiles files;
    if (folder.isEmpty())
        return files;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        files.any = true;
        if (!(entry.permissions() & QFileDevice::WriteOwner))
            files.readOnly = true;
    }
    return files;
}

} // namespace records
