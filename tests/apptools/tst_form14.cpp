// The image viewer driven through its controls: the load and its message, the fitted display and
// the zoom, the thumbnail column, the slide show with the timer ticked by the test, and pictures
// that cannot be shown.

#include "ViewerFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/Twips.h"
#include "shell/Module1.h"
#include "tools/Form14.h"
#include "tools/ImageControl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

using namespace viewerfixture;

namespace {

const QString kTitle = QStringLiteral("00000012 山田 太郎");
const QString kFive(5, QLatin1Char(' '));
const QString kTen(10, QLatin1Char(' '));

QColor centre(const QImage& image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 && std::abs(a.blue() - b.blue()) < 24;
}

} // namespace

class TestForm14 : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;

    QString folder() const { return dir->filePath(QStringLiteral("12")); }
    QString preview() const { return folder() + QStringLiteral("/Preview"); }
    QString file(const QString& name) const { return folder() + QLatin1Char('/') + name; }

    // Tiny pictures named a.png, b.png, ... (or from the list given).
    void pictures(int count, const QColor& colour = Qt::blue)
    {
        for (int i = 0; i < count; ++i)
            writePicture(file(QStringLiteral("p%1.png").arg(i, 3, 10, QLatin1Char('0'))), 8, 6, colour);
    }

    // The viewer loaded as an opener hands it over.
    std::unique_ptr<Form14> open()
    {
        Module1::CurrentDbFileCopy.DataFolder = folder();
        Module1::CurrentDbFileCopy.PreviewFolder = preview();
        Module1::ViewerTitle = kTitle;
        auto w = std::make_unique<Form14>();
        w->formLoad();
        settled(w.get());  // the first picture and its page, decoded off the window's thread
        return w;
    }

    static QString place(Form14* w) { return w->windowTitle().section(kFive, -1); }
    static qint64 screen(Form14* w) { return w->ScreenHeightTwips(); }
    static QRect fitted(qint64 width, qint64 height)
    {
        return ui::twipsRect(Form14::kImage1Left, Form14::kImage1Top, int(width), int(height));
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("12")));
        dialogs = std::make_unique<ui::ScriptedDialogs>();
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
    }
    void cleanup()
    {
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join('\n')));
        scope.reset();
        dialogs.reset();
        dir.reset();
    }

    // ---- the load ----

    void loadOfAFolder_data()
    {
        QTest::addColumn<QString>("contents");
        QTest::addColumn<bool>("message");
        QTest::addColumn<int>("count");
        QTest::newRow("an empty folder") << "" << true << 0;
        QTest::newRow("only its Preview folder") << "preview" << true << 0;
        QTest::newRow("only a text file") << "text" << false << 0;
        QTest::newRow("read-only photos") << "readonly" << false << 2;
        QTest::newRow("no such folder") << "missing" << true << 0;
    }
    void loadOfAFolder()
    {
        QFETCH(QString, contents);
        QFETCH(bool, message);
        QFETCH(int, count);
        if (contents == QLatin1String("preview"))
            QVERIFY(QDir(folder()).mkpath(QStringLiteral("Preview")));
        if (contents == QLatin1String("text"))
            writeBytes(file(QStringLiteral("readme.txt")), "hello");
        if (contents == QLatin1String("readonly")) {
            pictures(2);
            makeReadOnly(file(QStringLiteral("p000.png")));
            makeReadOnly(file(QStringLiteral("p001.png")));
        }
        if (contents == QLatin1String("missing"))
            QVERIFY(QDir(folder()).removeRecursively());
        // The attribute the last hand-over left has no say in what is listed.
        Module1::ViewerDirAttr = 0;
        auto w = open();
        QCOMPARE(dialogs->shownTexts(), message ? QStringList{QStringLiteral("表示させる画像がありません")} : QStringList{});
        if (message) {
            QCOMPARE(dialogs->beeps(), 1);
            QCOMPARE(dialogs->shown().first().icon, ui::Icon::None);
        }
        QCOMPARE(w->PictureCount, count);
        QCOMPARE(w->Label3->text(), QStringLiteral("■"));
        if (count == 0) {
            QCOMPARE(w->windowTitle(), kTitle);
            QVERIFY(w->Image2[0]->isHidden());
            QCOMPARE(w->Label1[0]->text(), QString());
        } else {
            QCOMPARE(place(w.get()), QStringLiteral("1/%1").arg(count));
            QCOMPARE(w->HScroll1->maximum(), count - 1);
        }
    }

    // With nothing listed, every way of moving leaves the viewer empty.
    void withoutPicturesNothingMoves()
    {
        writeBytes(file(QStringLiteral("readme.txt")), "hello");
        auto w = open();
        w->HScroll1->setValue(5);
        w->HScroll1_Change();
        w->Image2_Click(0);
        w->Image3_Click();
        w->Timer1_Timer();
        w->Image1_Click();
        QCOMPARE(w->windowTitle(), kTitle);
        QVERIFY(!w->Timer1->isActive());
        QCOMPARE(w->Label3->text(), QStringLiteral("■"));
        QCOMPARE(w->Label2->text(), QStringLiteral("OFF"));
        QVERIFY(w->Image2[0]->isHidden());
    }

    // ---- one picture ----

    void captionOfAPicture()
    {
        // Trailing bytes after the end of a PNG do not hinder it; they give the length wanted.
        writePicture(file(QStringLiteral("a.png")), 8, 6);
        QFile f(file(QStringLiteral("a.png")));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(1234567));
        QVERIFY(f.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)), QFileDevice::FileModificationTime));
        f.close();
        auto w = open();
        QCOMPARE(w->windowTitle(), kTitle + kTen + file(QStringLiteral("a.png")) + kFive + QStringLiteral("1,234,567") + kFive
                                       + QStringLiteral("2024/03/05 9:07:03") + kFive + QStringLiteral("1/1"));
        QVERIFY(!w->Image1[0]->image().isNull());
    }

    void fitRules_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<double>("widthPerScreen");  // FitWidth / screen height, for a portrait from FitHeight
        QTest::newRow("landscape 4:3") << QSize(160, 120) << 1.2;
        QTest::newRow("landscape panorama") << QSize(300, 100) << 1.2;
        QTest::newRow("portrait twice as high as wide") << QSize(100, 200) << 0.405;
        QTest::newRow("square") << QSize(100, 100) << 0.81;
    }
    void fitRules()
    {
        QFETCH(QSize, pixels);
        QFETCH(double, widthPerScreen);
        writePicture(file(QStringLiteral("a.jpg")), pixels.width(), pixels.height());
        auto w = open();
        const qint64 h = screen(w.get());
        QVERIFY(h > 0);
        QCOMPARE(w->FitHeight, qint64(std::nearbyint(0.9 * double(h))));
        QCOMPARE(w->FitWidth, qint64(std::nearbyint(widthPerScreen * double(h))));
        QCOMPARE(w->NaturalWidth, qint64(pixels.width()) * 15);
        QCOMPARE(w->NaturalHeight, qint64(pixels.height()) * 15);
        QVERIFY(w->Image1[0]->stretch());
        QCOMPARE(w->Image1[0]->geometry(), fitted(w->FitWidth, w->FitHeight));
        // Decoded at the size shown, not at its own size.
        QCOMPARE(w->Image1[0]->image().size(), w->Image1[0]->size());
        QVERIFY(w->Image1[0]->isVisibleTo(w.get()));
    }

    // Shown without maximising (a desktop that does not maximise), or maximised and restored, the
    // viewer holds the picture as it is fitted and the whole column, and a maximised one fills its
    // screen; its normal size is not smaller than the screen's available area.
    void restoredWindowHoldsTheFittedPicture_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<bool>("maximisedFirst");
        for (const bool maximised : {false, true}) {
            const char* how = maximised ? "restored" : "shown without maximising";
            QTest::addRow("landscape, %s", how) << QSize(160, 120) << maximised;
            QTest::addRow("portrait, %s", how) << QSize(100, 200) << maximised;
        }
    }
    void restoredWindowHoldsTheFittedPicture()
    {
        QFETCH(QSize, pixels);
        QFETCH(bool, maximisedFirst);
        writePicture(file(QStringLiteral("a.png")), pixels.width(), pixels.height());
        auto w = open();
        if (maximisedFirst) {
            w->showMaximized();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QTRY_VERIFY(w->isMaximized());
            w->showNormal();
            QTRY_VERIFY(!w->isMaximized());
        } else {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        }
        QCoreApplication::processEvents();
        QCOMPARE(w->Image1[0]->geometry(), fitted(w->FitWidth, w->FitHeight));
        QVERIFY(!w->Image1[0]->image().isNull());
        for (const QWidget* c : QList<QWidget*>{w->Image1[0], w->Frame1, w->Image4})
            QVERIFY2(w->rect().contains(c->geometry()),
                     qPrintable(QStringLiteral("%1 %2x%3 in %4x%5").arg(c->objectName()).arg(c->width()).arg(c->height()).arg(w->width()).arg(w->height())));
        const QSize available = w->screen()->availableGeometry().size();
        QVERIFY(w->width() >= available.width() && w->height() >= available.height());
    }

    // Own size and back: back at the fitted width, with the height of the picture's proportions;
    // the choice carries over to the next picture.
    void zoomAndItsReturn()
    {
        writePicture(file(QStringLiteral("a.png")), 300, 100);
        writePicture(file(QStringLiteral("b.png")), 40, 80);
        auto w = open();
        const qint64 fitWidth = w->FitWidth;
        w->Image4_Click();
        QVERIFY(!w->Image1[0]->stretch());
        QCOMPARE(w->Image1[0]->size(), QSize(300, 100));
        QVERIFY(settled(w.get()));
        QCOMPARE(w->Image1[0]->image().size(), QSize(300, 100));
        QCOMPARE(w->FitHeight, qint64(std::nearbyint(double(fitWidth) / 4500.0 * 1500.0)));
        w->Image4_Click();
        QVERIFY(w->Image1[0]->stretch());
        QCOMPARE(w->Image1[0]->geometry(), fitted(fitWidth, w->FitHeight));
        QCOMPARE(w->Image1[0]->height(), ui::twips(int(fitWidth / 3)));

        // A click on the picture zooms too while no show is on.
        w->Image1_Click();
        QVERIFY(!w->Image1[0]->stretch());
        w->HScroll1->setValue(1);
        QCOMPARE(place(w.get()), QStringLiteral("2/2"));
        QVERIFY(!w->Image1[0]->stretch());
        QVERIFY(settled(w.get()));
        QCOMPARE(w->Image1[0]->size(), QSize(40, 80));
        QCOMPARE(w->Image1[0]->pos(), fitted(1, 1).topLeft());
    }

    // The own-size view decodes the whole picture even past the readers' allocation limit, raised
    // for that one read; the fitted view decodes at the size shown and stays under it.
    void ownSizePastTheAllocationLimit()
    {
        writePicture(file(QStringLiteral("big.jpg")), 4000, 3000, Qt::darkGreen);
        const int saved = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(8);
        QVERIFY(QImageReader(file(QStringLiteral("big.jpg"))).read().isNull());
        auto w = open();
        QVERIFY(!w->Image1[0]->image().isNull());
        QVERIFY(w->Image1[0]->image().width() < 4000);
        w->Image4_Click();
        QVERIFY(settled(w.get()));
        QCOMPARE(w->Image1[0]->image().size(), QSize(4000, 3000));
        QCOMPARE(QImageReader::allocationLimit(), 8);
        QImageReader::setAllocationLimit(saved);
    }

    // ---- pictures that cannot be shown ----

    void picturesThatCannotBeShown_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a corrupt file") << "corrupt";
        QTest::newRow("a file gone since the listing") << "vanished";
        QTest::newRow("a file of more than 2 GiB") << "huge";
        QTest::newRow("a cut enhanced metafile") << "emf";
        QTest::newRow("a cut Windows metafile") << "wmf";
    }
    void picturesThatCannotBeShown()
    {
        QFETCH(QString, kind);
        writePicture(file(QStringLiteral("a.png")), 8, 6);
        const QString bad = file(kind == QLatin1String("emf")   ? QStringLiteral("b.emf")
                                 : kind == QLatin1String("wmf") ? QStringLiteral("b.wmf")
                                                                : QStringLiteral("b.jpg"));
        if (kind == QLatin1String("emf"))
            writeBytes(bad, redEmf().left(140));
        else if (kind == QLatin1String("wmf"))
            writeBytes(bad, redWmf().left(60));
        else
            writeBytes(bad, kind == QLatin1String("huge") ? "no picture" : "\xFF\xD8 this is no picture at all");
        if (kind == QLatin1String("huge")) {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(qint64(2147483648) + 5));  // sparse
        }
        auto w = open();
        w->Image3_Click();  // a show is on: no box may stop it
        if (kind == QLatin1String("vanished"))
            QVERIFY(QFile::remove(bad));
        w->Timer1_Timer();
        QCOMPARE(w->ShownIndex, 1);
        QVERIFY(settled(w.get()));
        QCOMPARE(w->Image1[0]->message(), QStringLiteral("表示できません"));
        QVERIFY(w->Image1[0]->isVisibleTo(w.get()));
        const QString expectedLength = kind == QLatin1String("huge")       ? QStringLiteral("2,147,483,653")
                                     : kind == QLatin1String("vanished") ? QString()
                                                                         : QString::number(QFileInfo(bad).size());
        const QString head = kTitle + kTen + bad + kFive + expectedLength + kFive;
        QVERIFY2(w->windowTitle().startsWith(head), qPrintable(w->windowTitle()));
        QVERIFY(w->windowTitle().endsWith(kFive + QStringLiteral("2/2")));
        if (kind == QLatin1String("vanished"))
            QCOMPARE(w->windowTitle(), head + kFive + QStringLiteral("2/2"));
        QVERIFY(w->Timer1->isActive());
        QVERIFY(dialogs->shown().isEmpty());
        // The next tick shows the first picture again.
        w->Timer1_Timer();
        QVERIFY(settled(w.get()));
        QCOMPARE(w->Image1[0]->message(), QString());
        QVERIFY(!w->Image1[0]->image().isNull());
        // A thumbnail that cannot be decoded leaves its slot empty, its name under it.
        QCOMPARE(w->Label1[1]->text(), QFileInfo(bad).fileName());
        QVERIFY(w->Image2[1]->image().isNull());
    }

    void metafiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("enhanced metafile") << "a.emf" << redEmf();
        QTest::newRow("Windows metafile") << "a.WMF" << redWmf();
    }
    void metafiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        writeBytes(file(name), bytes);
        auto w = open();
        QCOMPARE(w->PictureCount, 1);
        const QImage shown = w->Image1[0]->image();
        QVERIFY2(!shown.isNull(), qPrintable(w->Image1[0]->message()));
        QVERIFY(near(centre(shown), Qt::red));
        QVERIFY(qAbs(w->NaturalWidth - 100 * 15) <= 15);
        QVERIFY(qAbs(w->NaturalHeight - 50 * 15) <= 15);
        QVERIFY(near(centre(w->Image2[0]->image()), Qt::red));
        w->Image4_Click();
        QVERIFY(settled(w.get()));
        QVERIFY(qAbs(w->Image1[0]->image().width() - 100) <= 1);
    }

    // ---- thumbnails ----

    void thumbnails_data()
    {
        QTest::addColumn<QStringList>("previewFiles");  // green thumbnails; "red:" first is red
        QTest::addColumn<QList<QColor>>("slotColours");
        QTest::newRow("no Preview folder") << QStringList{} << QList<QColor>{Qt::blue, Qt::blue, Qt::blue};
        QTest::newRow("sn_ thumbnails, one missing")
            << QStringList{"sn_a.png", "sn_b.png"} << QList<QColor>{Qt::green, Qt::green, Qt::blue};
        QTest::newRow("tm_ thumbnails") << QStringList{"tm_a.png", "tm_b.png", "tm_c.png"}
                                        << QList<QColor>{Qt::green, Qt::green, Qt::green};
        QTest::newRow("first file without a prefix: bare names only")
            << QStringList{"a.png", "sn_b.png", "sn_c.png"} << QList<QColor>{Qt::green, Qt::blue, Qt::blue};
    }
    void thumbnails()
    {
        QFETCH(QStringList, previewFiles);
        QFETCH(QList<QColor>, slotColours);
        for (const char* n : {"a.png", "b.png", "c.png"})
            writePicture(file(QString::fromLatin1(n)), 40, 30, Qt::blue);
        if (!previewFiles.isEmpty())
            QVERIFY(QDir(folder()).mkpath(QStringLiteral("Preview")));
        for (const QString& n : previewFiles)
            writePicture(preview() + QLatin1Char('/') + n, 40, 30, Qt::green);
        const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        auto w = open();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(w->Image2[size_t(i)]->isVisibleTo(w.get()));
            QVERIFY2(near(centre(w->Image2[size_t(i)]->image()), slotColours[i]), qPrintable(QString::number(i)));
            QCOMPARE(w->Label1[size_t(i)]->text(), QStringLiteral("%1.png").arg(QChar(u'a' + i)));
        }
        QVERIFY(w->Image2[3]->isHidden());
        QVERIFY(w->Image2[0]->border());
        QVERIFY(!w->Image2[1]->border());
        // Nothing is written into the user's folders.
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    }

    void thumbnailPages()
    {
        pictures(23);
        auto w = open();
        w->HScroll1->setValue(21);
        QCOMPARE(w->PageStart, 20);
        QCOMPARE(w->Label1[0]->text(), QStringLiteral("p020.png"));
        QCOMPARE(w->Label1[2]->text(), QStringLiteral("p022.png"));
        for (size_t i = 3; i < 10; ++i) {
            QVERIFY(w->Image2[i]->isHidden());
            QCOMPARE(w->Label1[i]->text(), QString());
        }
        // The highlight moves with the picture shown.
        QVERIFY(w->Image2[1]->border());
        QVERIFY(!w->Image2[0]->border());
        QCOMPARE(place(w.get()), QStringLiteral("22/23"));
    }

    void clickingAThumbnail()
    {
        pictures(25);
        auto w = open();
        w->HScroll1->setValue(20);
        w->Image3_Click();
        w->Image3_Click();  // 30 s
        QCOMPARE(w->Timer1->interval(), 30000);
        QTest::qWait(1200);  // the running interval has less than 28.8 s left now
        QTest::mouseClick(w->Image2[4], Qt::LeftButton);
        QCOMPARE(w->ShownIndex, 24);
        QCOMPARE(place(w.get()), QStringLiteral("25/25"));
        QVERIFY(w->Image2[4]->border());
        QVERIFY(!w->Image2[0]->border());
        // A full interval from the click.
        QVERIFY(w->Timer1->isActive());
        QVERIFY(w->Timer1->remainingTime() > 29000);
    }

    // ---- the slide show ----

    void slideShowButton_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<int>("milliseconds");  // 0: the timer is off
        QTest::newRow("once") << 1 << "３秒" << "⇒" << 3000;
        QTest::newRow("twice") << 2 << "３０秒" << "⇒" << 30000;
        QTest::newRow("three times") << 3 << "６０秒" << "⇒" << 60000;
        QTest::newRow("four times") << 4 << "OFF" << "■" << 0;
        QTest::newRow("five times") << 5 << "３秒" << "⇒" << 3000;
    }
    void slideShowButton()
    {
        QFETCH(int, clicks);
        QFETCH(QString, interval);
        QFETCH(QString, mark);
        QFETCH(int, milliseconds);
        pictures(2);
        auto w = open();
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(w->Image3, Qt::LeftButton);
        QCOMPARE(w->Label2->text(), interval);
        QCOMPARE(w->Label3->text(), mark);
        QCOMPARE(w->SlideShowOn, milliseconds > 0);
        QCOMPARE(w->Timer1->isActive(), milliseconds > 0);
        QCOMPARE(w->Timer1->interval(), milliseconds);
        // A move with the show off never starts the timer at 0.
        w->HScroll1->setValue(1);
        QCOMPARE(w->Timer1->isActive(), milliseconds > 0);
    }

    void oneOrNoPictureHasNoShow()
    {
        pictures(1);
        auto w = open();
        w->Image3_Click();
        QCOMPARE(w->Label3->text(), QStringLiteral("■"));
        QCOMPARE(w->Label2->text(), QStringLiteral("OFF"));
        QVERIFY(!w->Timer1->isActive());
        QCOMPARE(w->HScroll1->maximum(), 0);
        QCOMPARE(place(w.get()), QStringLiteral("1/1"));
    }

    void ticksWrapToTheFirstPicture()
    {
        pictures(12);
        auto w = open();
        w->Image3_Click();
        w->Timer1_Timer();
        QCOMPARE(place(w.get()), QStringLiteral("2/12"));
        w->HScroll1->setValue(11);
        QCOMPARE(w->PageStart, 10);
        w->Timer1_Timer();
        QCOMPARE(w->HScroll1->value(), 0);
        QCOMPARE(w->ShownIndex, 0);
        QCOMPARE(place(w.get()), QStringLiteral("1/12"));
        QCOMPARE(w->PageStart, 0);
        QCOMPARE(w->Label1[0]->text(), QStringLiteral("p000.png"));
        QVERIFY(w->Image2[0]->border());
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Timer1->interval(), 3000);
    }

    void pauseAndResume()
    {
        pictures(3);
        auto w = open();
        w->Image3_Click();
        w->Image3_Click();  // 30 s
        QTest::mouseClick(w->Image1[0], Qt::LeftButton);
        QCOMPARE(w->Label3->text(), QStringLiteral("■"));
        QVERIFY(!w->Timer1->isActive());
        QCOMPARE(w->PausedInterval, 30000);
        QVERIFY(w->Image1[0]->stretch());  // no zoom while a show is on
        w->Image1_Click();
        QCOMPARE(w->Label3->text(), QStringLiteral("⇒"));
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Timer1->interval(), 30000);

        // The zoom button still zooms during a show.
        w->Image4_Click();
        QVERIFY(!w->Image1[0]->stretch());

        // Paused, then moved: the show runs again, under the mark "■".
        w->Image1_Click();
        w->HScroll1->setValue(2);
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Timer1->interval(), 30000);
        QCOMPARE(w->Label3->text(), QStringLiteral("■"));

        // Paused, the button moves to the next interval and runs under "■" too.
        w->Image1_Click();
        QVERIFY(!w->Timer1->isActive());
        w->Image3_Click();
        QCOMPARE(w->Label2->text(), QStringLiteral("６０秒"));
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Label3->text(), QStringLiteral("■"));
    }

    // A real tick of the timer moves the show on.
    void theTimerTicks()
    {
        pictures(3);
        auto w = open();
        w->Image3_Click();
        w->Timer1->setInterval(20);  // shortened here only, so that the test need not wait
        w->Timer1->start();
        QTRY_COMPARE_WITH_TIMEOUT(w->ShownIndex, 1, 2000);
    }
};

QTEST_MAIN(TestForm14)
#include "tst_form14.moc"
