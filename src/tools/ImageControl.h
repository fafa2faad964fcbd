#pragma once
// An image control of the viewer: a picture drawn into the control's box (stretched to it), a
// single-line border when highlighted, a text in place of a picture that cannot be shown, and
// a click.

#include <QImage>
#include <QWidget>

namespace tools {

class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    // A text drawn instead of the picture; setting an image clears it.
    void setMessage(const QString& text);
    const QString& message() const { return message_; }
    void clearPicture();

    // Stretch mode: the picture fills the box; otherwise the box takes the picture's own size.
    void setStretch(bool on) { stretch_ = on; }
    bool stretch() const { return stretch_; }

    void setBorder(bool on);
    bool border() const { return border_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QString message_;
    bool stretch_ = false;
    bool border_ = false;
    bool pressed_ = false;
};

} // namespace tools
