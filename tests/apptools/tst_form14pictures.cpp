// How the image viewer gets its pictures: metafiles through converters run as child processes
// (stand-in scripts named by KV_EMF2SVG and KV_WMF2SVG play converters that crash, hang, write
// nothing or sleep), decoding off the window's thread, pictures kept while their page is shown,
// the colours of two-colour pictures and a picture too large for the readers' usual limit.

#include "ViewerFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/Twips.h"
#include "shell/Module1.h"
#include "tools/Form14.h"
#include "tools/ImageControl.h"
#include "tools/PictureDecoder.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

using namespace viewerfixture;

namespace {

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

QColor at(const QImage& image, double x, double y)
{
    return image.pixelColor(int(image.width() * x), int(image.height() * y));
}

// A 24-bit BMP of width x height, its upper half green and its lower half magenta, written row
// by row so that the test never holds it whole.
void writeLargeBmp(const QString& path, int width, int height)
{
    const quint32 row = quint32(width) * 3;  // a multiple of 4 for the widths used here
    QByteArray h;
    h.append("BM");
    put32(h, 54 + row * quint32(height));
    put32(h, 0);
    put32(h, 54);
    put32(h, 40);
    put32(h, quint32(width));
    put32(h, quint32(height));  // bottom-up
    put16(h, 1);
    put16(h, 24);
    for (quint32 v : {0u, row * quint32(height), 2835u, 2835u, 0u, 0u})
        put32(h, v);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(h);
    QByteArray magenta;
    QByteArray green;
    for (int x = 0; x < width; ++x) {
        magenta.append("\xFF\x00\xFF", 3);  // blue, green, red
        green.append("\x00\xC0\x00", 3);
    }
    for (int y = 0; y < height; ++y)
        QCOMPARE(f.write(y < height / 2 ? magenta : green), qint64(row));
}

} // namespace

class TestForm14Pictures : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;

    QString folder() const { return dir->filePath(QStringLiteral("7")); }
    QString file(const QString& name) const { return folder() + QLatin1Char('/') + name; }

    // A stand-in converter: a shell script of the body given, named by variable.
    QString standIn(const char* variable, const QByteArray& body)
    {
        const QString script = dir->filePath(QString::fromLatin1(variable) + QStringLiteral(".sh"));
        writeBytes(script, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(variable, QFile::encodeName(script));
        return script;
    }

    std::unique_ptr<Form14> load()
    {
        Module1::CurrentDbFileCopy.DataFolder = folder();
        Module1::CurrentDbFileCopy.PreviewFolder = folder() + QStringLiteral("/Preview");
        Module1::ViewerTitle = QStringLiteral("00000007 試験");
        auto w = std::make_unique<Form14>();
        w->formLoad();
        return w;
    }
    static QString place(Form14* w) { return w->windowTitle().section(QString(5, QLatin1Char(' ')), -1); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("7")));
        dialogs = std::make_unique<ui::ScriptedDialogs>();
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
    }
    void cleanup()
    {
        qunsetenv("KV_EMF2SVG");
        qunsetenv("KV_WMF2SVG");
        tools::SetPictureTimeLimit(tools::kPictureMilliseconds);
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join('\n')));
        scope.reset();
        dialogs.reset();
        dir.reset();
    }

    // ---- converters that fail ----

    void convertersThatFail_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("script");
        // Scripts for emf2svg-conv find their output after "-o"; wmf2svg writes to its output.
        const QByteArray toOut = "while [ $# -gt 0 ]; do [ \"$1\" = -o ] && out=$2; shift; done; ";
        QTest::newRow("EMF: the converter crashes") << "a.emf" << QByteArray("kill -SEGV $$");
        QTest::newRow("EMF: the converter hangs past the limit") << "a.emf" << QByteArray("exec sleep 60");
        QTest::newRow("EMF: the converter writes no SVG") << "a.emf" << QByteArray("exit 0");
        QTest::newRow("EMF: the converter fails after writing") << "a.emf" << toOut + "echo '<svg width=\"9\" height=\"9\"/>' > \"$out\"; exit 3";
        QTest::newRow("EMF: the converter writes no picture") << "a.emf" << toOut + "echo 'no svg at all' > \"$out\"";
        QTest::newRow("EMF: the SVG grows past its limit")
            << "a.emf" << toOut + "{ echo '<svg width=\"9\" height=\"9\">'; exec yes '<g/>'; } > \"$out\"";
        QTest::newRow("WMF: the converter crashes") << "a.wmf" << QByteArray("kill -SEGV $$");
        QTest::newRow("WMF: the converter hangs past the limit") << "a.wmf" << QByteArray("exec sleep 60");
        QTest::newRow("WMF: the converter writes no SVG") << "a.wmf" << QByteArray("exit 0");
        QTest::newRow("WMF: the SVG grows past its limit") << "a.wmf" << QByteArray("echo '<svg width=\"9\" height=\"9\">'; exec yes '<g/>'");
    }
    void convertersThatFail()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, script);
        const bool emf = name.endsWith(QLatin1String(".emf"));
        writeBytes(file(name), emf ? redEmf() : redWmf());
        writePicture(file(QStringLiteral("b.png")), 40, 30, Qt::blue);
        standIn(emf ? "KV_EMF2SVG" : "KV_WMF2SVG", script);
        tools::SetPictureTimeLimit(1500);  // the hanging converter is stopped after this long

        QCOMPARE(tools::Picture::open(file(name)).isValid(), false);
        auto w = load();
        QTRY_COMPARE_WITH_TIMEOUT(w->Image1[0]->message(), QStringLiteral("表示できません"), 8000);
        QVERIFY(w->Image1[0]->image().isNull());
        QVERIFY(settled(w.get()));
        // Its thumbnail slot stays empty, its name under it.
        QCOMPARE(w->Label1[0]->text(), name);
        QVERIFY(w->Image2[0]->image().isNull());
        QVERIFY(!w->Image2[1]->image().isNull());
        // The viewer goes on: the next picture is shown, and the one that failed fails again
        // at once, without running the converter again.
        tools::SetPictureTimeLimit(tools::kPictureMilliseconds);
        const int decodes = w->pictureQueue()->decodesStarted();
        w->HScroll1->setValue(1);
        QTRY_VERIFY(!w->Image1[0]->image().isNull());
        QVERIFY(near(at(w->Image1[0]->image(), 0.5, 0.5), Qt::blue));
        w->HScroll1->setValue(0);
        QCOMPARE(w->Image1[0]->message(), QStringLiteral("表示できません"));
        QCOMPARE(w->pictureQueue()->decodesStarted(), decodes + 1);
        QVERIFY(dialogs->shown().isEmpty());
    }

    // The converters are run with an argument list on a copy in a private folder, which is gone
    // afterwards; the real emf2svg-conv converts a small EMF.
    void realConversionOfASmallEmf()
    {
        QTemporaryDir temp;
        const QByteArray savedTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        // A name that would read as an option or as words to a shell.
        const QString name = file(QStringLiteral("-o; rm -rf x.emf"));
        writeBytes(name, redEmf());
        const QByteArray svg = tools::ConvertEmf(name);
        const tools::Picture picture = tools::Picture::open(name);
        const QStringList left = QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        qputenv("TMPDIR", savedTemp);
        QVERIFY2(svg.contains("<svg"), svg.left(200).constData());
        QVERIFY(left.isEmpty());
        QVERIFY(picture.isValid());
        QVERIFY(std::abs(picture.size().width() - 100) <= 1);
        QVERIFY(std::abs(picture.size().height() - 50) <= 1);
        const QImage image = picture.decode(QSize(60, 30));
        QCOMPARE(image.size(), QSize(60, 30));
        QVERIFY(near(at(image, 0.5, 0.5), Qt::red));
        QVERIFY(QFile::exists(name));
    }

    void whatTheConverterIsGiven()
    {
        const QString log = dir->filePath(QStringLiteral("arguments.txt"));
        standIn("KV_EMF2SVG", "for a in \"$@\"; do echo \"$a\"; done > '" + QFile::encodeName(log)
                                  + "'; stat -c %a \"$(dirname \"$3\")\" >> '" + QFile::encodeName(log) + "'; exit 1");
        const QString name = file(QStringLiteral("photo.emf"));
        writeBytes(name, redEmf());
        QVERIFY(tools::ConvertEmf(name).isEmpty());
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("-p"));
        QCOMPARE(lines[1], QStringLiteral("-i"));
        QVERIFY2(lines[2].endsWith(QLatin1String("/picture.emf")) && !lines[2].startsWith(folder()), qPrintable(lines[2]));
        QCOMPARE(lines[3], QStringLiteral("-o"));
        QVERIFY(lines[4].endsWith(QLatin1String("/picture.svg")));
        QCOMPARE(lines[5], QStringLiteral("700"));  // the folder of the copy is the program's own
    }

    // ---- off the window's thread ----

    // While a slow picture is decoded the window shows its caption and answers events; the
    // picture fills its slot when it comes. One conversion serves the picture and its thumbnail.
    void theEventLoopTurnsWhileASlowPictureIsDecoded()
    {
        const QString log = dir->filePath(QStringLiteral("runs.txt"));
        standIn("KV_EMF2SVG", "echo run >> '" + QFile::encodeName(log) + "'; sleep 1.5; exec emf2svg-conv \"$@\"");
        writeBytes(file(QStringLiteral("a.emf")), redEmf());
        writePicture(file(QStringLiteral("b.png")), 40, 30, Qt::blue);
        int ticks = 0;
        QTimer beat;
        beat.setInterval(10);
        connect(&beat, &QTimer::timeout, this, [&ticks] { ++ticks; });
        beat.start();
        auto w = load();
        QCOMPARE(place(w.get()), QStringLiteral("1/2"));
        QVERIFY(w->Image1[0]->image().isNull());
        QCOMPARE(w->Image1[0]->message(), QString());
        QVERIFY(w->Image2[0]->isVisibleTo(w.get()));
        QVERIFY(w->Image2[0]->image().isNull());
        QTRY_VERIFY_WITH_TIMEOUT(!w->Image1[0]->image().isNull(), 8000);
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
        QVERIFY(near(at(w->Image1[0]->image(), 0.5, 0.5), Qt::red));
        QVERIFY(settled(w.get()));
        QVERIFY(near(at(w->Image2[0]->image(), 0.5, 0.5), Qt::red));
        QFile runs(log);
        QVERIFY(runs.open(QIODevice::ReadOnly));
        QCOMPARE(runs.readAll(), QByteArray("run\n"));
    }

    // A move to another picture while the first is decoded: the late result is never shown.
    void movingOnIgnoresTheLateResult()
    {
        standIn("KV_EMF2SVG", "sleep 1.5; exec emf2svg-conv \"$@\"");
        writeBytes(file(QStringLiteral("a.emf")), redEmf());
        writePicture(file(QStringLiteral("b.png")), 40, 30, Qt::blue);
        auto w = load();
        w->HScroll1->setValue(1);
        QTRY_VERIFY(!w->Image1[0]->image().isNull());
        QVERIFY(near(at(w->Image1[0]->image(), 0.5, 0.5), Qt::blue));
        // The conversion goes on for the thumbnail, which shows it when it is done.
        QTRY_VERIFY_WITH_TIMEOUT(!w->Image2[0]->image().isNull(), 8000);
        QVERIFY(settled(w.get()));
        QCoreApplication::processEvents();
        QCOMPARE(place(w.get()), QStringLiteral("2/2"));
        QCOMPARE(w->NaturalWidth, qint64(40) * 15);
        QCOMPARE(w->Image1[0]->size(), w->Image1[0]->image().size());
        QVERIFY(near(at(w->Image1[0]->image(), 0.5, 0.5), Qt::blue));
    }

    // ---- pictures kept ----

    // A return to a picture and a slide show round decode nothing again; a file changed since
    // is decoded anew.
    void picturesKeptWhileTheirPageIsShown()
    {
        for (const char* n : {"a.png", "b.png", "c.png"})
            writePicture(file(QString::fromLatin1(n)), 40, 30, Qt::blue);
        auto w = load();
        QVERIFY(settled(w.get()));
        tools::PictureQueue* q = w->pictureQueue();
        const int first = q->decodesStarted();
        QCOMPARE(first, 4);  // a.png large, and the three thumbnails
        w->Image3_Click();
        for (int i = 0; i < 3; ++i) {
            w->Timer1_Timer();
            QVERIFY(settled(w.get()));
        }
        QCOMPARE(w->ShownIndex, 0);
        QCOMPARE(q->decodesStarted(), first + 2);  // b.png and c.png large, once each
        for (int i = 0; i < 3; ++i)
            w->Timer1_Timer();
        QCOMPARE(q->decodesStarted(), first + 2);
        QVERIFY(!w->Image1[0]->image().isNull());

        writePicture(file(QStringLiteral("b.png")), 40, 30, Qt::red);
        QFile f(file(QStringLiteral("b.png")));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        f.close();
        w->HScroll1->setValue(1);
        QVERIFY(settled(w.get()));
        QCOMPARE(q->decodesStarted(), first + 3);
        QVERIFY(near(at(w->Image1[0]->image(), 0.5, 0.5), Qt::red));
    }

    // ---- colours and sizes ----

    // A one-bit palette PNG keeps its two colours when it is shown smaller, in its thumbnail and
    // in the fitted view.
    void twoColourPngShownSmaller()
    {
        QImage mono(2400, 1800, QImage::Format_Mono);
        mono.setColorTable({QColor(Qt::red).rgb(), QColor(Qt::blue).rgb()});
        mono.fill(0);
        for (int y = 0; y < mono.height(); ++y)
            for (int x = mono.width() / 2; x < mono.width(); ++x)
                mono.setPixel(x, y, 1);
        QVERIFY(mono.save(file(QStringLiteral("a.png")), "PNG"));
        QCOMPARE(QImageReader(file(QStringLiteral("a.png"))).imageFormat(), QImage::Format_Mono);
        auto w = load();
        QVERIFY(settled(w.get()));
        for (const tools::ImageControl* shown : {w->Image2[0], w->Image1[0]}) {
            const QImage image = shown->image();
            QVERIFY(!image.isNull());
            QVERIFY(image.width() < 2400);
            QVERIFY2(near(at(image, 0.25, 0.5), Qt::red), qPrintable(at(image, 0.25, 0.5).name()));
            QVERIFY2(near(at(image, 0.75, 0.5), Qt::blue), qPrintable(at(image, 0.75, 0.5).name()));
        }
    }

    // An 8000 x 8000 BMP, past the readers' usual allocation limit, is shown fitted and as a
    // thumbnail; the limit is back afterwards.
    void largeBmpShownFitted()
    {
        const int limit = QImageReader::allocationLimit();
        writeLargeBmp(file(QStringLiteral("big.bmp")), 8000, 8000);
        // Read and scaled within the time limit on an idle machine; a busy one may take longer,
        // and it is the allocation limit that is tested here.
        tools::SetPictureTimeLimit(120000);
        auto w = load();
        QVERIFY(settled(w.get(), 120000));
        QCOMPARE(w->Image1[0]->message(), QString());
        const QImage shown = w->Image1[0]->image();
        QVERIFY(!shown.isNull());
        QCOMPARE(shown.size(), w->Image1[0]->size());
        QCOMPARE(w->NaturalWidth, qint64(8000) * 15);
        QVERIFY(near(at(shown, 0.5, 0.25), QColor(0, 192, 0)));
        QVERIFY(near(at(shown, 0.5, 0.75), QColor(255, 0, 255)));
        QVERIFY(!w->Image2[0]->image().isNull());
        QCOMPARE(QImageReader::allocationLimit(), limit);
    }
};

QTEST_MAIN(TestForm14Pictures)
#include "tst_form14pictures.moc"
