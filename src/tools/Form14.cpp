// The image viewer's load, its picture list, the display of one picture and the moves.

#include "tools/Form14.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Twips.h"
#include "shell/Module1.h"
#include "tools/ImageControl.h"
#include "tools/PictureList.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace {

const QString kNoPictures = QStringLiteral("表示させる画像がありません");
const QString kCannotShow = QStringLiteral("表示できません");

} // namespace

Form14::Form14(QWidget* parent) : ui::Window(parent)
{
    Pictures = new tools::PictureQueue(this);
    BuildControls();
}

Form14::~Form14() = default;

void Form14::formLoad()
{
    PictureFolder = Module1::CurrentDbFileCopy.DataFolder;
    ThumbnailFolder = Module1::CurrentDbFileCopy.PreviewFolder;
    // The window keeps the title it was opened with, like its folders.
    title_ = Module1::ViewerTitle;
    const tools::PictureFolderScan scan = tools::ScanPictureFolder(PictureFolder);
    if (!scan.anyFile) {
        ui::dialogs().beep();
        ui::dialogs().message(kNoPictures);
    }
    Label3->setText(QStringLiteral("■"));
    listedAtLoad_ = scan.names;
    listedFolder_ = true;
    LoadImageList();
}

void Form14::LoadImageList()
{
    SlideShowOn = false;
    Timer1->stop();
    setWindowTitle(title_);
    ShownIndex = 0;
    {
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setValue(0);
    }
    PageStart = 0;
    for (int i = 0; i < 10; ++i) {
        Label1[size_t(i)]->clear();
        Image2[size_t(i)]->hide();
    }

    if (listedFolder_) {
        PictureNames = listedAtLoad_;
        listedAtLoad_.clear();
        listedFolder_ = false;
    } else {
        PictureNames = tools::ScanPictureFolder(PictureFolder).names;
    }
    PictureCount = int(PictureNames.size());
    thumbnailPrefix_.reset();

    // With no picture the bar keeps its design range; positions past the list show nothing.
    if (PictureCount > 0) {
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setMaximum(PictureCount - 1);
    }
    ShowThumbnailPage();
    ShowImage(0);
}

QString Form14::PicturePath(const QString& name) const
{
    return tools::JoinPath(PictureFolder, name);
}

qint64 Form14::ScreenHeightTwips() const
{
    const QScreen* s = screen();
    if (!s)
        return 0;
    return qint64(s->geometry().height()) * ui::twipsPerPixel;
}

void Form14::ShowImage(int n)
{
    if (n < 0 || n >= PictureCount)
        return;
    const QString& name = PictureNames[n];
    const QString path = PicturePath(name);

    // The length and time are read now: the file may have gone or changed since the listing.
    const QFileInfo info(path);
    std::optional<qint64> length;
    QDateTime modified;
    if (info.isFile()) {
        length = info.size();
        modified = info.lastModified();
    }
    setWindowTitle(tools::PictureCaption(title_, PictureFolder, name, length, modified, n, PictureCount));

    // The slot stays empty until the picture arrives; a late one for the picture before is dropped.
    tools::ImageControl* image = Image1[0];
    image->hide();
    Pictures->cancel(image1Ticket_);
    image1Ticket_ = 0;
    currentPath_ = path;
    currentSize_ = QSize();
    currentFailed_ = false;
    image->clearPicture();
    // The picture comes in the mode the user chose (fitted or its own size), so that the choice
    // carries over from picture to picture.
    RequestImage1();
    image->show();

    Image2[size_t(ShownIndex % 10)]->setBorder(false);
    Image2[size_t(HScroll1->value() % 10)]->setBorder(true);
}

void Form14::RequestImage1()
{
    Pictures->cancel(image1Ticket_);
    image1Ticket_ = 0;
    const bool fitted = Image1[0]->stretch();
    requestedStretch_ = fitted;
    tools::TargetSize target;
    if (currentSize_.isValid()) {
        const QSize box = fitted ? ui::twipsRect(kImage1Left, kImage1Top, int(FitWidth), int(FitHeight)).size() : QSize();
        target = [box](QSize) { return box; };
    } else {
        // The fitted frame follows from the picture's own size, which only its opening tells.
        const qint64 screenHeight = ScreenHeightTwips();
        target = [fitted, screenHeight](QSize natural) {
            if (!fitted)
                return QSize();
            const tools::FitSize fit = tools::FitPicture(qint64(natural.height()) * ui::twipsPerPixel,
                                                         qint64(natural.width()) * ui::twipsPerPixel, screenHeight);
            return ui::twipsRect(kImage1Left, kImage1Top, int(fit.width), int(fit.height)).size();
        };
    }
    image1Ticket_ = Pictures->request(currentPath_, tools::PictureQueue::Lane::Main, std::move(target),
                                      [this](const tools::DecodedPicture& picture) { Image1Arrived(picture); });
}

void Form14::Image1Arrived(const tools::DecodedPicture& picture)
{
    image1Ticket_ = 0;
    tools::ImageControl* image = Image1[0];
    if (!picture.ok) {
        currentFailed_ = true;
        ShowUndecodable();
        return;
    }
    if (!currentSize_.isValid()) {
        currentSize_ = picture.natural;
        NaturalHeight = qint64(currentSize_.height()) * ui::twipsPerPixel;
        NaturalWidth = qint64(currentSize_.width()) * ui::twipsPerPixel;
        const tools::FitSize fit = tools::FitPicture(NaturalHeight, NaturalWidth, ScreenHeightTwips());
        FitHeight = fit.height;
        FitWidth = fit.width;
    }
    const QRect box = image->stretch() ? ui::twipsRect(kImage1Left, kImage1Top, int(FitWidth), int(FitHeight))
                                       : QRect(QPoint(ui::twips(kImage1Left), ui::twips(kImage1Top)), currentSize_);
    image->setGeometry(box);
    if (image->stretch() == requestedStretch_)
        image->setImage(picture.image);
    else
        RequestImage1();  // the zoom changed while it was decoded
}

void Form14::ShowUndecodable()
{
    // No box: a slide show would pile them up. The text stands where the picture would.
    tools::ImageControl* image = Image1[0];
    const tools::FitSize frame = tools::FitPicture(3, 4, ScreenHeightTwips());
    image->setGeometry(ui::twipsRect(kImage1Left, kImage1Top, int(frame.width), int(frame.height)));
    image->setMessage(kCannotShow);
}

void Form14::ApplyImage1Size()
{
    tools::ImageControl* image = Image1[0];
    if (currentFailed_) {
        ShowUndecodable();
        return;
    }
    if (!currentSize_.isValid())
        return;  // the picture is on its way; it arrives in the mode chosen by then
    if (image->stretch())
        image->setGeometry(ui::twipsRect(kImage1Left, kImage1Top, int(FitWidth), int(FitHeight)));
    else
        image->setGeometry(QRect(QPoint(ui::twips(kImage1Left), ui::twips(kImage1Top)), currentSize_));
    // Until the pixels of the new size arrive, the ones shown are drawn stretched into the box.
    RequestImage1();
}

void Form14::HScroll1_Change()
{
    const int position = HScroll1->value();
    if (position == ShownIndex)
        return;
    // A position past the list is no picture at all.
    if (position < 0 || position >= PictureCount)
        return;
    if (SlideShowOn)
        RestartTimer();
    ShowImage(position);
    if ((position / 10) * 10 != PageStart) {
        PageStart = (position / 10) * 10;
        ShowThumbnailPage();
    }
    ShownIndex = position;
}

void Form14::Image1_Click()
{
    if (!SlideShowOn) {
        Image4_Click();
        return;
    }
    // A click on the picture pauses or resumes the show.
    if (Timer1->isActive()) {
        Label3->setText(QStringLiteral("■"));
        PausedInterval = Timer1->interval();
        Timer1->stop();
    } else {
        Label3->setText(QStringLiteral("⇒"));
        Timer1->setInterval(PausedInterval);
        StartTimer();
    }
}

void Form14::Image4_Click()
{
    tools::ImageControl* image = Image1[0];
    if (image->stretch()) {
        image->setStretch(false);
        if (!currentSize_.isValid())
            return;
        ApplyImage1Size();
        NaturalHeight = qint64(currentSize_.height()) * ui::twipsPerPixel;
        NaturalWidth = qint64(currentSize_.width()) * ui::twipsPerPixel;
        FitHeight = tools::ProportionalHeight(FitWidth, NaturalHeight, NaturalWidth);
    } else {
        image->setStretch(true);
        if (!currentSize_.isValid())
            return;
        ApplyImage1Size();
    }
}

void Form14::closeEvent(QCloseEvent* event)
{
    // Closing the viewer ends any show and the decoding of its pictures.
    Timer1->stop();
    Pictures->cancelAll();
    SlideShowOn = false;
    ui::Window::closeEvent(event);
}
