#pragma once
// The record window's picture, scaled to its box once: it is read and scaled again only when the
// file (path, length, modification time) or the box changes, not on every move to a record that
// shows the same picture (often the common default).

#include <QPixmap>
#include <QSize>
#include <QString>

namespace records {

class ScaledPicture {
public:
    // The picture at path scaled into box, keeping its proportions; null when it cannot be read.
    QPixmap get(const QString& path, QSize box);
    // Files read and scaled so far.
    int reads() const { return reads_; }

private:
    QString path_;
    qint64 length_ = -1;
    qint64 modifiedMs_ = 0;
    QSize box_;
    QPixmap pixmap_;
    int reads_ = 0;
};

} // namespace records
