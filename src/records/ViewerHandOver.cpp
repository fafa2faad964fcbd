#include "records/ViewerHandOver.h"

#include "platform/ui/WindowRegistry.h"
#include "records/FolderFiles.h"
#include "records/RecordFolder.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

namespace records {

bool ShowRecordPictures(const Module1::DbFile& book, qint64 memberNo, const QString& name)
{
    using namespace Module1;
    ImageSubfolder.clear();
    ViewerDirAttr = 0;
    const FolderFiles files = ListFolderFiles(RecordFolder(book, memberNo));
    if (!files.any)
        return false;
    ImageSubfolder = FormatPlain(memberNo);
    ViewerDirAttr = files.readOnly ? 1 : 0;

    // The viewer takes its folders from the shared record at its load, for this hand-over only.
    const DbFile saved = CurrentDbFileCopy;
    ViewerTitle = FormatMemberNo(memberNo) + QLatin1Char(' ') + name;
    CurrentDbFileCopy.DataFolder = book.DataFolder + PathSeparator(book) + ImageSubfolder;
    CurrentDbFileCopy.PreviewFolder = CurrentDbFileCopy.DataFolder + PathSeparator(book) + QStringLiteral("Preview");
    auto& registry = ui::WindowRegistry::instance();
    if (registry.hasFactory(QStringLiteral("Form14")))
        registry.show(QStringLiteral("Form14"));
    CurrentDbFileCopy = saved;
    return true;
}

} // namespace records
