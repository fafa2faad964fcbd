// The image viewer on folders of generated pictures: its load with and without Preview thumbnails,
// the next picture, the listing of a large folder and the peak memory of a 48-megapixel picture.
// The bars are absolute; the pictures are made once in the work folder and kept. Below 100,000
// records in --sizes the workloads run on small folders (the smoke run).

#include "BenchCommon.h"

#include "shell/Module1.h"
#include "tools/Form14.h"
#include "tools/ImageControl.h"
#include "tools/PictureList.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

const QString kProbe = QStringLiteral("viewer-probe:");

struct Scale {
    bool full = false;
    int folderPictures = 20;       // pictures of the load workloads
    int listedFiles = 1000;        // files of the listing workload
    QSize next = QSize(1200, 900);  // the picture of the next-picture workload
    QSize peak = QSize(1600, 1200);
};

Scale ScaleFor(const Options& o)
{
    Scale s;
    if (std::any_of(o.sizes.begin(), o.sizes.end(), [](int n) { return n >= 100000; })) {
        s.full = true;
        s.folderPictures = 2000;
        s.listedFiles = 10000;
        s.next = QSize(4000, 3000);
        s.peak = QSize(8000, 6000);
    }
    return s;
}

// A photograph-like picture: gradients and detail, so that the JPEG is not trivially small.
void WriteJpeg(const QString& path, const QSize& size)
{
    if (QFile::exists(path))
        return;
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(30, 90, 160));
    g.setColorAt(1, QColor(220, 180, 90));
    p.fillRect(image.rect(), g);
    p.setPen(QColor(20, 20, 20));
    const int step = qMax(8, size.width() / 200);
    for (int x = 0; x < size.width(); x += step)
        p.drawLine(x, 0, size.width() - x, size.height());
    p.end();
    if (!image.save(path, "JPG", 85))
        qFatal("cannot write %s", qPrintable(path));
}

// n copies of one picture (and of one thumbnail, as "sn_" files in Preview).
QString PictureFolder(const Options& o, int n)
{
    const QString folder = QDir(o.work).filePath(QStringLiteral("viewer/pictures%1").arg(n));
    const QString preview = folder + QStringLiteral("/Preview");
    const QString marker = folder + QStringLiteral("/.complete");
    if (QFile::exists(marker))
        return folder;
    QDir().mkpath(preview);
    const QString model = QDir(o.work).filePath(QStringLiteral("viewer/model-1600x1200.jpg"));
    const QString thumb = QDir(o.work).filePath(QStringLiteral("viewer/model-160x120.jpg"));
    WriteJpeg(model, QSize(1600, 1200));
    WriteJpeg(thumb, QSize(160, 120));
    for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
        QFile::copy(model, folder + QLatin1Char('/') + name);
        QFile::copy(thumb, preview + QStringLiteral("/sn_") + name);
    }
    QFile(marker).open(QIODevice::WriteOnly);
    return folder;
}

QString OnePictureFolder(const Options& o, const QString& name, const QSize& size, int copies)
{
    const QString folder = QDir(o.work).filePath(QStringLiteral("viewer/%1-%2x%3").arg(name).arg(size.width()).arg(size.height()));
    QDir().mkpath(folder);
    const QString first = folder + QStringLiteral("/P0.jpg");
    WriteJpeg(first, size);
    for (int i = 1; i < copies; ++i) {
        const QString copy = folder + QStringLiteral("/P%1.jpg").arg(i);
        if (!QFile::exists(copy))
            QFile::copy(first, copy);
    }
    return folder;
}

QString ListingFolder(const Options& o, int n)
{
    const QString folder = QDir(o.work).filePath(QStringLiteral("viewer/listing%1").arg(n));
    const QString marker = folder + QStringLiteral("/.complete");
    if (QFile::exists(marker))
        return folder;
    QDir().mkpath(folder);
    for (int i = 0; i < n; ++i) {
        // Mixed case, so that the order of the code units differs from the listing order.
        const QString name = (i % 3 ? QStringLiteral("img_%1.jpg") : QStringLiteral("DSC_%1.JPG")).arg((i * 7919) % n);
        QFile f(folder + QLatin1Char('/') + name);
        if (f.open(QIODevice::WriteOnly))
            f.write("x");
    }
    QFile(marker).open(QIODevice::WriteOnly);
    return folder;
}

// Until every picture the viewer asked for has arrived: its decoding runs off the window's thread.
void Settle(Form14& w)
{
    if (w.pictureQueue()->pending() == 0)
        return;
    QEventLoop loop;
    QObject::connect(w.pictureQueue(), &tools::PictureQueue::settled, &loop, &QEventLoop::quit);
    loop.exec();
}

void HandOver(const QString& folder, const QString& preview)
{
    Module1::ViewerTitle = QStringLiteral("00000001 試験");
    Module1::CurrentDbFileCopy.DataFolder = folder;
    Module1::CurrentDbFileCopy.PreviewFolder = preview;
}

Result Load(const Options& o, const QString& name, const QString& folder, const QString& preview, int n)
{
    HandOver(folder, preview);
    Result r{name, n};
    r.median = medianSeconds(o.runs, [&] {
        Form14 w;
        w.formLoad();
        Settle(w);
        if (w.PictureCount != n || w.Image2[0]->isHidden() || w.Image2[0]->image().isNull())
            qFatal("the viewer listed %d of %d pictures", w.PictureCount, n);
    });
    return r;
}

int PeakProbe(const QString& folder)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");  // the peak counts from here
    clear.close();
    HandOver(folder, folder + QStringLiteral("/Preview"));
    Form14 w;
    w.formLoad();
    Settle(w);
    if (w.Image1[0]->image().isNull())
        qFatal("the picture was not shown");
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("viewer-probe-peak-kb %s\n", line.mid(6).trimmed().split(' ').first().constData());
            std::fflush(stdout);
            // Past the fitted peak: the own size decodes the whole picture, beyond the readers'
            // usual allocation limit.
            const QSize own(int(w.NaturalWidth / 15), int(w.NaturalHeight / 15));
            w.Image4_Click();
            Settle(w);
            if (w.Image1[0]->image().size() != own)
                qFatal("the picture was not shown at its own size");
            return 0;
        }
    }
    return 1;
}

double PeakMB(const Options& o, const QString& folder)
{
    QProcess p;
    const QString json = QDir(o.work).filePath(QStringLiteral("viewer/probe.json"));
    p.start(o.self, {QStringLiteral("--sizes"), QStringLiteral("1"), QStringLiteral("--runs"), QStringLiteral("1"),
                     QStringLiteral("--work"), o.work, QStringLiteral("--json"), json, QStringLiteral("--only"), kProbe + folder});
    p.waitForFinished(-1);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("the memory probe failed: %s", p.readAllStandardError().constData());
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("viewer-probe-peak-kb "))
            return line.mid(21).trimmed().toDouble() / 1024.0;
    return -1;
}

QList<Result> RunViewer(const Options& o)
{
    if (o.only.startsWith(kProbe)) {
        PeakProbe(o.only.mid(kProbe.size()));
        return {};
    }
    QList<Result> out;
    const Scale s = ScaleFor(o);
    {
        // The fit, and so the decoded size, follows the screen.
        const Form14 w;
        std::fprintf(stderr, "viewer: a screen %lld pixels high\n", w.ScreenHeightTwips() / 15);
    }
    if (wanted(o, QStringLiteral("viewer-load-preview")) || wanted(o, QStringLiteral("viewer-load-no-preview"))) {
        const QString folder = PictureFolder(o, s.folderPictures);
        if (wanted(o, QStringLiteral("viewer-load-preview")))
            out << Load(o, QStringLiteral("viewer-load-preview"), folder, folder + QStringLiteral("/Preview"), s.folderPictures);
        if (wanted(o, QStringLiteral("viewer-load-no-preview")))
            out << Load(o, QStringLiteral("viewer-load-no-preview"), folder, folder + QStringLiteral("/none"), s.folderPictures);
    }
    if (wanted(o, QStringLiteral("viewer-next-picture"))) {
        const QString folder = OnePictureFolder(o, QStringLiteral("next"), s.next, 4);
        HandOver(folder, folder + QStringLiteral("/Preview"));
        Form14 w;
        w.formLoad();
        Settle(w);
        int position = 0;
        Result r{QStringLiteral("viewer-next-picture"), s.next.width() * s.next.height() / 1000000};
        r.median = medianSeconds(o.runs, [&] {
            position = (position + 1) % w.PictureCount;
            w.HScroll1->setValue(position);
            Settle(w);
            if (w.ShownIndex != position || w.Image1[0]->image().isNull())
                qFatal("the next picture was not shown");
        });
        out << r;
    }
    if (wanted(o, QStringLiteral("viewer-list-order"))) {
        const QString folder = ListingFolder(o, s.listedFiles);
        Result r{QStringLiteral("viewer-list-order"), s.listedFiles};
        r.median = medianSeconds(o.runs, [&] {
            const tools::PictureFolderScan scan = tools::ScanPictureFolder(folder);
            if (scan.names.size() != qMin(s.listedFiles, tools::kMaxPictures))
                qFatal("listed %d files", int(scan.names.size()));
        });
        out << r;
    }
    if (wanted(o, QStringLiteral("viewer-peak-memory"))) {
        const QString folder = OnePictureFolder(o, QStringLiteral("peak"), s.peak, 1);
        Result r{QStringLiteral("viewer-peak-memory"), s.peak.width() * s.peak.height() / 1000000};
        HandOver(folder, folder + QStringLiteral("/Preview"));
        r.median = medianSeconds(1, [&] {
            Form14 w;
            w.formLoad();
            Settle(w);
        });
        r.peakMB = PeakMB(o, folder);
        out << r;
    }
    return out;
}

} // namespace

static RegisterGroup g(QStringLiteral("viewer"), [](const Options& o) { return RunViewer(o); });

} // namespace bench
