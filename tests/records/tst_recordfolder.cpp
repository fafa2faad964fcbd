// A record's folder and the picture the record window shows for it.

#include "records/RecordFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using Module1::DbFile;

namespace {

void picture(const QString& path)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(path, "PNG"));
}

void file(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestRecordFolder : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    DbFile book;

    QString preview(qint64 no) const { return records::RecordPreviewFolder(book, no); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        book.FullPath = dir.filePath(QStringLiteral("会員.mdb"));
        QVERIFY(Module1::SplitDbFilePath(book, book));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("会員"))));
    }

    void folderNames()
    {
        QCOMPARE(records::RecordFolder(book, 12), dir.filePath(QStringLiteral("会員/12")));
        QCOMPARE(records::RecordPreviewFolder(book, 1005), dir.filePath(QStringLiteral("会員/1005/Preview")));
        QCOMPARE(records::CommonFolder(book), dir.filePath(QStringLiteral("共通情報")));
    }

    void firstPictureInCaseFoldedOrder()
    {
        const QString folder = preview(1);
        QVERIFY(QDir().mkpath(folder));
        file(folder + QStringLiteral("/0notes.txt"), "not a picture");
        file(folder + QStringLiteral("/1broken.png"), "a picture by name only");
        picture(folder + QStringLiteral("/b_second.png"));
        picture(folder + QStringLiteral("/A_first.png"));
        picture(folder + QStringLiteral("/c_upper.PNG"));
        QCOMPARE(records::FirstPictureIn(folder), folder + QStringLiteral("/A_first.png"));
        QCOMPARE(records::RecordPicture(book, 1), folder + QStringLiteral("/A_first.png"));
    }

    void commonPictureWhenTheRecordHasNone()
    {
        const QString common = records::CommonFolder(book);
        QVERIFY(QDir().mkpath(common));
        file(common + QStringLiteral("/共通情報.mdb"), "database");
        picture(common + QStringLiteral("/default.png"));
        // A record folder with only non-pictures, and a record without any folder.
        QVERIFY(QDir().mkpath(preview(2)));
        file(preview(2) + QStringLiteral("/readme.txt"), "text");
        QCOMPARE(records::RecordPicture(book, 2), common + QStringLiteral("/default.png"));
        QCOMPARE(records::RecordPicture(book, 3), common + QStringLiteral("/default.png"));
    }

    void nothingAnywhere()
    {
        DbFile other;
        QTemporaryDir empty;
        other.FullPath = empty.filePath(QStringLiteral("空.mdb"));
        QVERIFY(Module1::SplitDbFilePath(other, other));
        QCOMPARE(records::RecordPicture(other, 1), QString());
        QCOMPARE(records::FirstPictureIn(QString()), QString());
    }
};

QTEST_MAIN(TestRecordFolder)
#include "tst_recordfolder.moc"
