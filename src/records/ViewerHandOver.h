#pragma once
// The hand-over of a record's pictures to the image viewer, the same from every window that
// shows a record: the viewer reads its folders and title from the shared state at its load.

#include "shell/DbFile.h"

#include <QString>

namespace records {

// Sets ImageSubfolder and ViewerDirAttr for the record's folder; when the folder holds a file
// (read-only ones included, and then the viewer is told to list those too), sets ViewerTitle to
// the number as "00000000", a space and the name, hands the folder and its "Preview" over in
// CurrentDbFileCopy, shows the viewer "Form14" without blocking and puts CurrentDbFileCopy back.
// False when there was nothing to show.
bool ShowRecordPictures(const Module1::DbFile& book, qint64 memberNo, const QString& name);

} // namespace records
