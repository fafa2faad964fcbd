#include "records/ScaledPicture.h"

#include <QDateTime>
#include <QFileInfo>

namespace records {

QPixmap ScaledPicture::get(const QString& path, QSize box)
{
    const QFileInfo info(path);
    const qint64 length = info.isFile() ? info.size() : -1;
    const qint64 modified = info.isFile() ? info.lastModified().toMSecsSinceEpoch() : 0;
    if (path == path_ && length == length_ && modified == modifiedMs_ && box == box_)
        return pixmap_;
    path_ = path;
    length_ = length;
    modifiedMs_ = modified;
    box_ = box;
    ++reads_;
    const QPixmap picture(path);
    pixmap_ = picture.isNull() ? QPixmap() : picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return pixmap_;
}

} // namespace records
