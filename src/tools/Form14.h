#pragma once
// The image viewer: the pictures of one folder, one at a time and fitted to the screen or at their
// own size, with a column of ten thumbnails, a scroll bar through the list and a timed slide show.
//
// It reads what its opener hands over (title and folders in the shared state) once, at its load,
// and never lists the folder again while it is open. Nothing is ever written into the folders.
//
// Pictures are decoded off the window's thread: the captions and slots are set at once, each
// picture fills its slot when it arrives, and a move on leaves the work for the old one unused.

#include "platform/ui/WindowRegistry.h"
#include "tools/PictureDecoderQueue.h"

#include <QStringList>
#include <array>
#include <optional>

class QGroupBox;
class QLabel;
class QScrollBar;
class QTimer;

namespace tools {
class ImageControl;
}

class Form14 : public ui::Window {
    Q_OBJECT
public:
    explicit Form14(QWidget* parent = nullptr);
    ~Form14() override;

    void formLoad() override;

    // Picture list and display.
    void LoadImageList();
    void ShowImage(int n);
    void HScroll1_Change();
    void Image1_Click();
    void Image4_Click();

    // Thumbnails and slide show.
    void ShowThumbnailPage();
    void Image2_Click(int index);
    void Image3_Click();
    void Timer1_Timer();
    // When a show is on: the full interval of Label2 runs again from now.
    void RestartTimer();

    // The screen's height in twips, which the fit is measured against.
    qint64 ScreenHeightTwips() const;

    // The decoding of the pictures, and the pictures of the page kept.
    tools::PictureQueue* pictureQueue() const { return Pictures; }

    // Controls.
    std::array<tools::ImageControl*, 1> Image1{};
    QGroupBox* Frame1 = nullptr;
    tools::ImageControl* Image3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    std::array<tools::ImageControl*, 10> Image2{};
    std::array<QLabel*, 10> Label1{};
    tools::ImageControl* Image4 = nullptr;
    QTimer* Timer1 = nullptr;

    // State from the load on.
    QString PictureFolder;
    QString ThumbnailFolder;
    QStringList PictureNames;
    int PictureCount = 0;
    int ShownIndex = 0;
    int PageStart = 0;
    qint64 FitHeight = 0;
    qint64 FitWidth = 0;
    qint64 NaturalHeight = 0;
    qint64 NaturalWidth = 0;
    bool SlideShowOn = false;
    int PausedInterval = 0;

    static constexpr int kImage1Left = 1440;
    static constexpr int kImage1Top = 240;
    static constexpr int kThumbnailWidth = 975;
    static constexpr int kThumbnailHeight = 735;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // The normal size: the screen's available area, holding the column and the fitted picture.
    void SizeToScreen();
    // The controls pressed like buttons, in their tab order.
    QList<QWidget*> PictureControls() const;
    // The previous (-1) or next (1) picture, as the scroll bar's arrows move.
    void StepPicture(int step);
    // Gives Image1(0) the size its stretch mode asks for and the pixels decoded at that size.
    void ApplyImage1Size();
    // Asks for the pixels of the current picture at the size its mode shows it.
    void RequestImage1();
    void Image1Arrived(const tools::DecodedPicture& picture);
    void ShowUndecodable();
    QString PicturePath(const QString& name) const;
    void SetSlideInterval(int milliseconds);
    void StartTimer();

    QString title_;  // the title handed over at the load
    QStringList listedAtLoad_;
    bool listedFolder_ = false;
    tools::PictureQueue* Pictures = nullptr;
    quint64 image1Ticket_ = 0;
    std::array<quint64, 10> image2Tickets_{};
    QString currentPath_;   // the picture shown large
    QSize currentSize_;     // its own size in pixels, once known
    bool currentFailed_ = false;
    bool requestedStretch_ = true;  // the mode the pixels on their way were asked for
    std::optional<QString> thumbnailPrefix_;
};
