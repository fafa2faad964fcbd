#include "tools/ImageControl.h"

#include <QMouseEvent>
#include <QPainter>

namespace tools {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageControl::setImage(const QImage& image)
{
    image_ = image;
    message_.clear();
    update();
}

void ImageControl::setMessage(const QString& text)
{
    image_ = QImage();
    message_ = text;
    update();
}

void ImageControl::clearPicture()
{
    image_ = QImage();
    message_.clear();
    update();
}

void ImageControl::setBorder(bool on)
{
    if (border_ == on)
        return;
    border_ = on;
    update();
}

void ImageControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!image_.isNull()) {
        if (image_.size() == size()) {
            p.drawImage(0, 0, image_);
        } else {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(rect(), image_);
        }
    } else if (!message_.isEmpty()) {
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, message_);
    }
    if (border_) {
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (hasFocus()) {
        // Where the keyboard is, for the eye as well.
        p.setPen(QPen(QColor(0, 200, 255), 2, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}

} // namespace tools
