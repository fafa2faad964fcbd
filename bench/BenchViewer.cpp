// The image viewer on folders of generated pictures: its load with and without Preview thumbnails,
// the next picture, the listing of a large folder, the peak memory of a 48-megapixel picture, and
// its opening on a folder of a JPEG and two metafiles of many records (24 MB EMF of a million
// ellipses, 4 MB WMF of 300,000) with the longest wait of its event loop while they convert.
// The pictures are made once in the work folder and kept. Below 100,000 records in --sizes the
// workloads run on small folders and metafiles (the smoke run).

#include "BenchCommon.h"

#include "shell/Module1.h"
#include "tools/Form14.h"
#include "tools/ImageControl.h"
#include "tools/PictureList.h"

#include "MetafileMaker.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QTimer>
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
    quint32 emfRecords = 20000;
    quint32 wmfRecords = 6000;
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
        s.emfRecords = 1000000;
        s.wmfRecords = 300000;
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

// A JPEG and two metafiles of many ellipse records, named so that the JPEG is shown first.
QString MetafileFolder(const Options& o, const Scale& s)
{
    const QString folder = QDir(o.work).filePath(QStringLiteral("viewer/metafiles-%1-%2").arg(s.emfRecords).arg(s.wmfRecords));
    const QString marker = folder + QStringLiteral("/.complete");
    if (QFile::exists(marker))
        return folder;
    QDir().mkpath(folder);
    WriteJpeg(folder + QStringLiteral("/a.jpg"), QSize(1600, 1200));
    if (!metafile::WriteEllipseEmf(QFile::encodeName(folder + QStringLiteral("/b.emf")).toStdString(), s.emfRecords)
        || !metafile::WriteEllipseWmf(QFile::encodeName(folder + QStringLiteral("/c.wmf")).toStdString(), s.wmfRecords))
        qFatal("cannot write the metafiles in %s", qPrintable(folder));
    QFile(marker).open(QIODevice::WriteOnly);
    return folder;
}

// Runs the event loop until a call posted now has run: the window answers events.
void AnswerEvents()
{
    bool answered = false;
    QTimer::singleShot(0, [&answered] { answered = true; });
    while (!answered)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The longest gap, in seconds, between the ticks of a 10 ms timer while until() is false.
double LongestWait(const std::function<bool()>& until)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    beat.setInterval(10);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = qMax(longest, now - last);
        last = now;
    });
    beat.start();
    while (!until())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    longest = qMax(longest, clock.nsecsElapsed() - last);
    return double(longest) / 1e9;
}

double Median(QList<double> t)
{
    std::sort(t.begin(), t.end());
    return t.isEmpty() ? 0 : t[t.size() / 2];
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
    const qint64 peak = peakResidentKB();
    if (peak <= 0)
        return 1;
    std::printf("viewer-probe-peak-kb %lld\n", static_cast<long long>(peak));
    std::fflush(stdout);
    // Past the fitted peak: the own size decodes the whole picture, beyond the readers' usual
    // allocation limit.
    const QSize own(int(w.NaturalWidth / 15), int(w.NaturalHeight / 15));
    w.Image4_Click();
    Settle(w);
    if (w.Image1[0]->image().size() != own)
        qFatal("the picture was not shown at its own size");
    return 0;
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
    if (wanted(o, QStringLiteral("viewer-open-metafiles")) || wanted(o, QStringLiteral("viewer-metafile-wait"))) {
        const QString folder = MetafileFolder(o, s);
        HandOver(folder, folder + QStringLiteral("/Preview"));
        const int records = int(s.emfRecords + s.wmfRecords);
        QList<double> opened;
        QList<double> waits;
        for (int run = 0; run < qMax(1, o.runs); ++run) {
            QElapsedTimer clock;
            clock.start();
            auto w = std::make_unique<Form14>();
            w->formLoad();
            w->show();
            AnswerEvents();
            opened << clock.nsecsElapsed() / 1e9;
            // While the metafiles convert for their thumbnails, the viewer moves on to each of
            // them as the picture shown large.
            int step = 0;
            waits << LongestWait([&] {
                const bool arrived = !w->Image1[0]->image().isNull() || !w->Image1[0]->message().isEmpty();
                if (step < 2 && arrived)
                    w->HScroll1->setValue(++step);
                return step == 2 && w->pictureQueue()->pending() == 0;
            });
            if (w->PictureCount != 3 || w->Image2[0]->image().isNull())
                qFatal("the viewer did not show its folder of metafiles");
        }
        // Plain Qt: a window shown with the JPEG read at the fitted size, and the same timer on an
        // idle event loop for a second.
        const QSize fitted = [&] {
            Form14 probe;
            const tools::FitSize fit = tools::FitPicture(1200 * 15, 1600 * 15, probe.ScreenHeightTwips());
            return QSize(int(fit.width / 15), int(fit.height / 15));
        }();
        const double plainOpen = medianSeconds(o.runs, [&] {
            QWidget plain;
            QImageReader reader(folder + QStringLiteral("/a.jpg"));
            reader.setScaledSize(fitted);
            if (reader.read().isNull())
                qFatal("the plain read failed");
            plain.show();
            AnswerEvents();
        });
        QElapsedTimer idle;
        idle.start();
        const double plainWait = LongestWait([&] { return idle.elapsed() >= 1000; });
        Result open{QStringLiteral("viewer-open-metafiles"), records, Median(opened), plainOpen};
        Result wait{QStringLiteral("viewer-metafile-wait"), records, Median(waits), plainWait};
        std::fprintf(stderr, "viewer: shown and answering in %.3f s (bar 1 s); longest wait of its event loop %.1f ms (bar 100 ms)\n",
                     open.median, wait.median * 1000);
        if (wanted(o, QStringLiteral("viewer-open-metafiles")))
            out << open;
        if (wanted(o, QStringLiteral("viewer-metafile-wait")))
            out << wait;
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
