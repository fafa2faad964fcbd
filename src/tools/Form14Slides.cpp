// The image viewer's thumbnail column and its slide show.

#include "tools/Form14.h"

#include "platform/ui/Twips.h"
#include "tools/ImageControl.h"
#include "tools/PictureList.h"

#include <QLabel>
#include <QScrollBar>
#include <QTimer>

namespace {

// The interval of a slide-show caption; nullopt for a caption that sets none.
std::optional<int> IntervalOf(const QString& caption)
{
    if (caption == QStringLiteral("３秒"))
        return 3000;
    if (caption == QStringLiteral("３０秒"))
        return 30000;
    if (caption == QStringLiteral("６０秒"))
        return 60000;
    return std::nullopt;
}

} // namespace

void Form14::ShowThumbnailPage()
{
    for (size_t i = 0; i < 10; ++i) {
        Pictures->cancel(image2Tickets_[i]);
        image2Tickets_[i] = 0;
        Label1[i]->clear();
        Image2[i]->hide();
        Image2[i]->clearPicture();
    }
    PageStart = (HScroll1->value() / 10) * 10;
    if (PageStart < 0 || PageStart >= PictureCount) {
        Pictures->keepOnly({});
        return;
    }
    Label1[0]->setText(PictureNames[PageStart]);
    if (!thumbnailPrefix_)
        thumbnailPrefix_ = tools::ThumbnailPrefix(ThumbnailFolder);
    const QSize slot = ui::twipsRect(0, 0, kThumbnailWidth, kThumbnailHeight).size();
    QStringList files;
    QStringList kept;  // the pictures of this page and their thumbnails stay decoded while it is shown
    for (int i = 0; i < 10 && PageStart + i < PictureCount; ++i) {
        const QString& name = PictureNames[PageStart + i];
        const QString picture = tools::JoinPath(PictureFolder, name);
        QString file = tools::ThumbnailFile(ThumbnailFolder, *thumbnailPrefix_, name);
        if (file.isEmpty())
            file = picture;
        files << file;
        kept << picture << file;
    }
    Pictures->keepOnly(kept);
    for (int i = 0; i < int(files.size()); ++i) {
        Label1[size_t(i)]->setText(PictureNames[PageStart + i]);
        Image2[size_t(i)]->show();
        // The slot stays empty until its picture arrives, and when it cannot be decoded.
        image2Tickets_[size_t(i)] = Pictures->request(
            files[i], tools::PictureQueue::Lane::Thumbnail, [slot](QSize) { return slot; },
            [this, i](const tools::DecodedPicture& picture) {
                image2Tickets_[size_t(i)] = 0;
                Image2[size_t(i)]->setImage(picture.ok ? picture.image : QImage());
            });
    }
}

void Form14::Image2_Click(int index)
{
    if (index < 0 || index >= 10 || PageStart + index >= PictureCount)
        return;
    HScroll1->setValue(PageStart + index);
    if (SlideShowOn)
        RestartTimer();
    HScroll1_Change();
}

void Form14::StartTimer()
{
    // An interval of 0 would fire without pause: such a timer stays off.
    if (Timer1->interval() > 0)
        Timer1->start();
}

void Form14::SetSlideInterval(int milliseconds)
{
    Timer1->setInterval(milliseconds);
}

void Form14::RestartTimer()
{
    if (!SlideShowOn)
        return;
    Timer1->stop();
    if (const std::optional<int> interval = IntervalOf(Label2->text()))
        SetSlideInterval(*interval);
    StartTimer();
}

void Form14::Image3_Click()
{
    if (PictureCount < 2)
        return;
    Timer1->stop();
    if (!SlideShowOn) {
        Label3->setText(QStringLiteral("⇒"));
        SlideShowOn = true;
        SetSlideInterval(3000);
        Label2->setText(QStringLiteral("３秒"));
        StartTimer();
        return;
    }
    const QString caption = Label2->text();
    if (caption == QStringLiteral("３秒")) {
        SetSlideInterval(30000);
        Label2->setText(QStringLiteral("３０秒"));
        StartTimer();
    } else if (caption == QStringLiteral("３０秒")) {
        SetSlideInterval(60000);
        Label2->setText(QStringLiteral("６０秒"));
        StartTimer();
    } else if (caption == QStringLiteral("６０秒")) {
        SlideShowOn = false;
        Label3->setText(QStringLiteral("■"));
        SetSlideInterval(0);
        Label2->setText(QStringLiteral("OFF"));
    }
}

void Form14::Timer1_Timer()
{
    const int position = HScroll1->value();
    if (position < PictureCount - 1)
        HScroll1->setValue(position + 1);
    else
        HScroll1->setValue(0);
    HScroll1_Change();
}
