// What the image viewer reads of its folders, how it words its caption and how it sizes a picture.

#include "ViewerFixture.h"
#include "tools/PictureList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace viewerfixture;

namespace {

// Entries of a test folder: "name" a one-byte file, "name:0" an empty file, "name:ro" a
// read-only file, "dir:name" a subfolder.
void makeEntries(const QString& folder, const QStringList& entries)
{
    for (const QString& e : entries) {
        if (e.startsWith(QLatin1String("dir:"))) {
            QVERIFY(QDir(folder).mkpath(e.mid(4)));
            continue;
        }
        const QString name = e.section(QLatin1Char(':'), 0, 0);
        const QString flag = e.section(QLatin1Char(':'), 1);
        const QString path = QDir(folder).filePath(name);
        writeBytes(path, flag == QLatin1String("0") ? QByteArray() : QByteArray("x"));
        if (flag == QLatin1String("ro"))
            makeReadOnly(path);
    }
}

} // namespace

class TestPictureList : public QObject {
    Q_OBJECT

private slots:
    void listing_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("anyFile");
        QTest::newRow("extensions of the exact case")
            << QStringList{"a.jpg", "b.JPG", "c.Jpg", "d.jpeg", "e.JPEG", "f.jpe", "g.JFIF", "h.png", "i.PNG", "j.bmp",
                           "k.GIF", "l.emf", "m.WMF", "n.Png", "o.tif", "p.jpg.txt", "q", "r.jfif"}
            << QStringList{"a.jpg", "b.JPG", "d.jpeg", "e.JPEG", "f.jpe", "g.JFIF", "h.png", "i.PNG", "j.bmp", "k.GIF",
                           "l.emf", "m.WMF", "r.jfif"}
            << true;
        QTest::newRow("empty files are left out") << QStringList{"x.jpg:0", "y.jpg"} << QStringList{"y.jpg"} << true;
        QTest::newRow("read-only files are listed") << QStringList{"r.jpg:ro", "s.jpg"} << QStringList{"r.jpg", "s.jpg"}
                                                    << true;
        QTest::newRow("only read-only files") << QStringList{"r.jpg:ro"} << QStringList{"r.jpg"} << true;
        QTest::newRow("hidden files are left out") << QStringList{".h.jpg", "v.jpg"} << QStringList{"v.jpg"} << true;
        QTest::newRow("upper case before lower case") << QStringList{"B.jpg", "a.jpg", "D.JPG"}
                                                      << QStringList{"B.jpg", "D.JPG", "a.jpg"} << true;
        QTest::newRow("only the Preview subfolder") << QStringList{"dir:Preview"} << QStringList{} << false;
        QTest::newRow("a subfolder named like a picture") << QStringList{"dir:p.jpg"} << QStringList{} << false;
        QTest::newRow("only a hidden file") << QStringList{".x.jpg"} << QStringList{} << false;
        QTest::newRow("only a text file") << QStringList{"readme.txt"} << QStringList{} << true;
        QTest::newRow("only an empty picture") << QStringList{"x.jpg:0"} << QStringList{} << true;
        QTest::newRow("nothing at all") << QStringList{} << QStringList{} << false;
    }
    void listing()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, names);
        QFETCH(bool, anyFile);
        QTemporaryDir dir;
        makeEntries(dir.path(), entries);
        const tools::PictureFolderScan scan = tools::ScanPictureFolder(dir.path());
        QCOMPARE(scan.names, names);
        QCOMPARE(scan.anyFile, anyFile);
    }

    void missingFolderListsNothing()
    {
        const tools::PictureFolderScan scan = tools::ScanPictureFolder(QStringLiteral("/no/such/folder"));
        QVERIFY(!scan.anyFile);
        QVERIFY(scan.names.isEmpty());
    }

    // The first 10000 in listing order (case-folded), only then the order of the code units:
    // "B0.jpg" sorts before "a....jpg" by code units but is listed after them.
    void moreThanTenThousandKeepsTheFirstListed()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 10000; ++i)
            writeBytes(dir.filePath(QStringLiteral("a%1.jpg").arg(i, 5, 10, QLatin1Char('0'))), "x");
        for (int i = 0; i < 5; ++i)
            writeBytes(dir.filePath(QStringLiteral("B%1.jpg").arg(i)), "x");
        const tools::PictureFolderScan scan = tools::ScanPictureFolder(dir.path());
        QCOMPARE(scan.names.size(), 10000);
        QCOMPARE(scan.names.first(), QStringLiteral("a00000.jpg"));
        QCOMPARE(scan.names.last(), QStringLiteral("a09999.jpg"));
    }

    void thumbnailPrefix_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("sn_ first") << QStringList{"sn_a.jpg", "sn_b.jpg"} << "sn_";
        QTest::newRow("tm_ first") << QStringList{"tm_x.jpg"} << "tm_";
        QTest::newRow("a bare name first") << QStringList{"a.jpg", "sn_a.jpg"} << "";
        QTest::newRow("listing order folds the case") << QStringList{"A.jpg", "sn_b.jpg"} << "";
        QTest::newRow("the prefix is of the exact case") << QStringList{"Sn_a.jpg"} << "";
        QTest::newRow("hidden files do not count") << QStringList{".a", "sn_a.jpg"} << "sn_";
        QTest::newRow("subfolders do not count") << QStringList{"dir:aaa", "sn_a.jpg"} << "sn_";
        QTest::newRow("an empty folder") << QStringList{} << "";
    }
    void thumbnailPrefix()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, prefix);
        QTemporaryDir dir;
        makeEntries(dir.path(), entries);
        QCOMPARE(tools::ThumbnailPrefix(dir.path()), prefix);
    }

    void thumbnailFile_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");  // "" none
        QTest::newRow("the exact file") << QStringList{"sn_a.jpg"} << "sn_" << "a.jpg" << "sn_a.jpg";
        QTest::newRow("no prefix") << QStringList{"a.jpg", "sn_a.jpg"} << "" << "a.jpg" << "a.jpg";
        QTest::newRow("missing") << QStringList{"sn_b.jpg"} << "sn_" << "a.jpg" << "";
        QTest::newRow("a star is no pattern") << QStringList{"sn_aX.jpg"} << "sn_" << "a*.jpg" << "";
        QTest::newRow("a star in the name itself") << QStringList{"sn_a*.jpg"} << "sn_" << "a*.jpg" << "sn_a*.jpg";
        QTest::newRow("a question mark is no pattern") << QStringList{"sn_ab.jpg"} << "sn_" << "a?.jpg" << "";
        QTest::newRow("brackets are no pattern") << QStringList{"sn_a.jpg"} << "sn_" << "[ab].jpg" << "";
        QTest::newRow("read-only thumbnails count") << QStringList{"sn_a.jpg:ro"} << "sn_" << "a.jpg" << "sn_a.jpg";
        QTest::newRow("a folder is no thumbnail") << QStringList{"dir:sn_a.jpg"} << "sn_" << "a.jpg" << "";
    }
    void thumbnailFile()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, prefix);
        QFETCH(QString, name);
        QFETCH(QString, found);
        QTemporaryDir dir;
        makeEntries(dir.path(), entries);
        QCOMPARE(tools::ThumbnailFile(dir.path(), prefix, name), found.isEmpty() ? QString() : dir.filePath(found));
    }

    void caption_data()
    {
        QTest::addColumn<qint64>("length");  // -1: the file could not be read
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("sizeText");
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<QString>("place");
        QTest::newRow("seven digits in groups of three")
            << qint64(1234567) << QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)) << 0 << 1 << "1,234,567" << "2024/03/05 9:07:03"
            << "1/1";
        QTest::newRow("three digits bare") << qint64(999) << QDateTime(QDate(2024, 12, 31), QTime(13, 45, 0)) << 4 << 12
                                           << "999" << "2024/12/31 13:45:00" << "5/12";
        QTest::newRow("midnight shows the date alone")
            << qint64(1) << QDateTime(QDate(2024, 1, 2), QTime(0, 0, 0)) << 9999 << 10000 << "1" << "2024/01/02" << "10000/10000";
        QTest::newRow("a second past midnight") << qint64(1000) << QDateTime(QDate(2024, 1, 2), QTime(0, 0, 1)) << 1 << 2
                                                << "1,000" << "2024/01/02 0:00:01" << "2/2";
        QTest::newRow("parts of a second are dropped")
            << qint64(10) << QDateTime(QDate(2024, 1, 2), QTime(0, 0, 0, 500)) << 0 << 2 << "10" << "2024/01/02" << "1/2";
        QTest::newRow("2 GiB and more") << qint64(2147483653) << QDateTime(QDate(2023, 7, 8), QTime(23, 59, 59)) << 0 << 1
                                        << "2,147,483,653" << "2023/07/08 23:59:59" << "1/1";
        QTest::newRow("a file that can no longer be read") << qint64(-1) << QDateTime() << 1 << 3 << "" << "" << "2/3";
    }
    void caption()
    {
        QFETCH(qint64, length);
        QFETCH(QDateTime, time);
        QFETCH(int, n);
        QFETCH(int, count);
        QFETCH(QString, sizeText);
        QFETCH(QString, timeText);
        QFETCH(QString, place);
        const std::optional<qint64> len = length < 0 ? std::nullopt : std::optional<qint64>(length);
        const QString five(5, QLatin1Char(' '));
        QCOMPARE(tools::PictureCaption(QStringLiteral("00000012 山田 太郎"), QStringLiteral("/p/12"), QStringLiteral("写真.jpg"),
                                       len, time, n, count),
                 QStringLiteral("00000012 山田 太郎") + QString(10, QLatin1Char(' ')) + QStringLiteral("/p/12/写真.jpg") + five
                     + sizeText + five + timeText + five + place);
    }

    void fit_data()
    {
        QTest::addColumn<qint64>("screen");
        QTest::addColumn<qint64>("naturalHeight");
        QTest::addColumn<qint64>("naturalWidth");
        QTest::addColumn<qint64>("height");
        QTest::addColumn<qint64>("width");
        QTest::newRow("landscape 4:3") << qint64(9000) << qint64(1200 * 15) << qint64(1600 * 15) << qint64(8100) << qint64(10800);
        QTest::newRow("landscape panorama, the same frame") << qint64(9000) << qint64(1500) << qint64(4500) << qint64(8100)
                                                           << qint64(10800);
        QTest::newRow("portrait twice as high as wide") << qint64(9000) << qint64(3000) << qint64(1500) << qint64(8100)
                                                        << qint64(3645);
        QTest::newRow("square counts as portrait") << qint64(9000) << qint64(1500) << qint64(1500) << qint64(8100)
                                                   << qint64(7290);
        QTest::newRow("height 1012.5 goes to even") << qint64(1125) << qint64(30) << qint64(45) << qint64(1012) << qint64(1350);
        QTest::newRow("height 1039.5 goes to even") << qint64(1155) << qint64(30) << qint64(45) << qint64(1040) << qint64(1386);
        QTest::newRow("width 4.5 goes to even") << qint64(1000) << qint64(900) << qint64(5) << qint64(900) << qint64(4);
        QTest::newRow("width 13.5 goes to even") << qint64(1000) << qint64(900) << qint64(15) << qint64(900) << qint64(14);
    }
    void fit()
    {
        QFETCH(qint64, screen);
        QFETCH(qint64, naturalHeight);
        QFETCH(qint64, naturalWidth);
        QFETCH(qint64, height);
        QFETCH(qint64, width);
        const tools::FitSize f = tools::FitPicture(naturalHeight, naturalWidth, screen);
        QCOMPARE(f.height, height);
        QCOMPARE(f.width, width);
    }

    // Back from the own size: the fitted width, and the height of the picture's proportions.
    void proportionalHeight_data()
    {
        QTest::addColumn<qint64>("fitWidth");
        QTest::addColumn<qint64>("naturalHeight");
        QTest::addColumn<qint64>("naturalWidth");
        QTest::addColumn<qint64>("height");
        QTest::newRow("panorama") << qint64(10800) << qint64(1500) << qint64(4500) << qint64(3600);
        QTest::newRow("portrait") << qint64(3645) << qint64(3000) << qint64(1500) << qint64(7290);
        QTest::newRow("a half goes to even") << qint64(5) << qint64(1) << qint64(2) << qint64(2);
        QTest::newRow("no width") << qint64(5) << qint64(1) << qint64(0) << qint64(0);
    }
    void proportionalHeight()
    {
        QFETCH(qint64, fitWidth);
        QFETCH(qint64, naturalHeight);
        QFETCH(qint64, naturalWidth);
        QFETCH(qint64, height);
        QCOMPARE(tools::ProportionalHeight(fitWidth, naturalHeight, naturalWidth), height);
    }
};

QTEST_GUILESS_MAIN(TestPictureList)
#include "tst_picturelist.moc"
