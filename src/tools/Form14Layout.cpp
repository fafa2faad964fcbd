// The image viewer's controls at their places (twips from the top left of the window).

#include "tools/Form14.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Twips.h"
#include "tools/ImageControl.h"
#include "tools/PictureList.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kFrameWidth = 1440;
constexpr int kFrameHeight = 10560;

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(ui::twipsRect(left, top, width, height));
}

void colours(QWidget* w, const QColor& background, const QColor& text)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QLabel* label(QWidget* parent, const QString& systemName, int index, const QString& caption, const QColor& text)
{
    auto* l = new QLabel(caption, parent);
    l->setTextFormat(Qt::PlainText);  // file names are shown as they are
    colours(l, Qt::black, text);
    ui::name(l, systemName, index);
    return l;
}

// The slide-show button: a play mark.
QImage SlideShowMark(const QSize& size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 200, 0));
    const qreal h = size.height();
    QPainterPath tri;
    tri.moveTo(size.width() * 0.3, h * 0.15);
    tri.lineTo(size.width() * 0.75, h * 0.5);
    tri.lineTo(size.width() * 0.3, h * 0.85);
    tri.closeSubpath();
    p.drawPath(tri);
    return img;
}

// The zoom button: a magnifying glass.
QImage ZoomMark(const QSize& size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = qMin(size.width(), size.height()) * 0.55;
    const QRectF lens(size.width() / 2.0 - d / 2 - 3, 2, d, d);
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(lens);
    p.drawLine(lens.center() + QPointF(d * 0.35, d * 0.35), QPointF(lens.right() + d * 0.45, lens.bottom() + d * 0.45));
    return img;
}

} // namespace

void Form14::BuildControls()
{
    setWindowTitle(QStringLiteral("画像表示"));
    // Read by its caption, which names the picture shown.
    ui::name(this, QStringLiteral("Form14"));
    colours(this, Qt::black, Qt::white);

    Image1[0] = new tools::ImageControl(this);
    ui::name(Image1[0], QStringLiteral("Image1"), 0, QStringLiteral("画像"));
    Image1[0]->setStretch(true);
    place(Image1[0], kImage1Left, kImage1Top, 0, 0);
    connect(Image1[0], &tools::ImageControl::clicked, this, &Form14::Image1_Click);

    Frame1 = new QGroupBox(QStringLiteral("INDEX"), this);
    ui::name(Frame1, QStringLiteral("Frame1"));
    colours(Frame1, Qt::black, Qt::white);
    place(Frame1, 0, 0, kFrameWidth, kFrameHeight);

    Image3 = new tools::ImageControl(Frame1);
    ui::name(Image3, QStringLiteral("Image3"), -1, QStringLiteral("スライドショー"));
    place(Image3, 840, 60, 495, 285);
    Image3->setStretch(true);
    Image3->setImage(SlideShowMark(Image3->size()));
    Image3->setCursor(Qt::PointingHandCursor);
    connect(Image3, &tools::ImageControl::clicked, this, &Form14::Image3_Click);

    Label2 = label(Frame1, QStringLiteral("Label2"), -1, QStringLiteral("OFF"), Qt::yellow);
    place(Label2, 120, 360, 615, 240);
    Label3 = label(Frame1, QStringLiteral("Label3"), -1, QStringLiteral("■"), Qt::white);
    place(Label3, 840, 360, 495, 240);

    HScroll1 = new QScrollBar(Qt::Horizontal, Frame1);
    ui::name(HScroll1, QStringLiteral("HScroll1"), -1, QStringLiteral("INDEX"));
    place(HScroll1, 120, 600, 1215, 255);
    HScroll1->setRange(0, 32767);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });

    for (int i = 0; i < 10; ++i) {
        auto* thumb = new tools::ImageControl(Frame1);
        ui::name(thumb, QStringLiteral("Image2"), i, QStringLiteral("サムネイル%1").arg(i + 1));
        thumb->setStretch(true);
        place(thumb, 240, 840 + 960 * i, kThumbnailWidth, kThumbnailHeight);
        thumb->hide();
        thumb->setCursor(Qt::PointingHandCursor);
        connect(thumb, &tools::ImageControl::clicked, this, [this, i] { Image2_Click(i); });
        Image2[size_t(i)] = thumb;

        QLabel* caption = label(Frame1, QStringLiteral("Label1"), i, QString(), Qt::white);
        place(caption, 120, 1560 + 960 * i, 1215, 255);
        Label1[size_t(i)] = caption;
    }

    Image4 = new tools::ImageControl(this);
    ui::name(Image4, QStringLiteral("Image4"), -1, QStringLiteral("拡大"));
    place(Image4, 120, kFrameHeight + 60, 615, 375);
    Image4->setStretch(true);
    Image4->setImage(ZoomMark(Image4->size()));
    Image4->setCursor(Qt::PointingHandCursor);
    connect(Image4, &tools::ImageControl::clicked, this, &Form14::Image4_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(0);
    connect(Timer1, &QTimer::timeout, this, &Form14::Timer1_Timer);

    // The picture lies under the column where it grows to its own size.
    Frame1->raise();
    Image4->raise();

    // The keyboard reaches what the mouse works: the scroll bar and, pressed by Enter or the
    // space bar, the picture, the slide-show control, the thumbnails and the zoom. Arrow keys on
    // any of them move through the pictures as the scroll bar's do.
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    ui::makePressable(Image1[0], [this] { Image1_Click(); });
    ui::makePressable(Image3, [this] { Image3_Click(); });
    for (int i = 0; i < 10; ++i)
        ui::makePressable(Image2[size_t(i)], [this, i] { Image2_Click(i); });
    ui::makePressable(Image4, [this] { Image4_Click(); });
    for (QWidget* w : PictureControls())
        w->installEventFilter(this);
    HScroll1->installEventFilter(this);

    SizeToScreen();
}

void Form14::SizeToScreen()
{
    const QScreen* s = screen();
    if (!s)
        return;
    // Restored from maximised, or on a desktop that does not maximise, the viewer still holds its
    // column and the picture fitted to the screen: the landscape frame is the widest fit, and no
    // fit is higher. It fills the available area, or more where the fit is larger than that.
    const QRect available = s->availableGeometry();
    const tools::FitSize frame = tools::FitPicture(3, 4, ScreenHeightTwips());
    const QRect picture = ui::twipsRect(kImage1Left, kImage1Top, int(frame.width), int(frame.height));
    const QRect design = childrenRect() | picture;
    setGeometry(QRect(available.topLeft(), available.size().expandedTo(QSize(design.right() + 1, design.bottom() + 1))));
}

QList<QWidget*> Form14::PictureControls() const
{
    QList<QWidget*> controls{Image1[0], Image3};
    for (tools::ImageControl* thumb : Image2)
        controls << thumb;
    controls << Image4;
    return controls;
}

bool Form14::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && (watched == HScroll1 || PictureControls().contains(static_cast<QWidget*>(watched)))) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Left:
            case Qt::Key_Up:
                StepPicture(-1);
                return true;
            case Qt::Key_Right:
            case Qt::Key_Down:
                StepPicture(1);
                return true;
            default:
                break;
            }
        }
    }
    return ui::Window::eventFilter(watched, event);
}

void Form14::StepPicture(int step)
{
    const bool onThumbnail = std::find(Image2.begin(), Image2.end(), focusWidget()) != Image2.end();
    HScroll1->triggerAction(step < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    // On the thumbnails the focus follows the picture shown, which may be on a new page.
    if (onThumbnail) {
        tools::ImageControl* thumb = Image2[size_t(HScroll1->value() % 10)];
        if (thumb->isVisible())
            thumb->setFocus(Qt::OtherFocusReason);
    }
}
