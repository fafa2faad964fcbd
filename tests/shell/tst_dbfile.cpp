#include "shell/DbFile.h"
#include "shell/Module1.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Module1;

class TestDbFile : public QObject {
    Q_OBJECT
private slots:
    void split_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expected");  // Drive, Folder, FileName, BaseName, DataFolder
        QTest::newRow("drive letter, two folders")
            << R"(D:\dir\sub\book.mdb)" << QStringList{"D:", R"(\dir\sub)", "book.mdb", "book", R"(D:\dir\sub\book)"};
        QTest::newRow("drive letter, root") << R"(D:\book.mdb)" << QStringList{"D:", "", "book.mdb", "book", R"(D:\book)"};
        QTest::newRow("unc with folder")
            << R"(\\srv\share\dir\book.mdb)"
            << QStringList{R"(\\srv\share)", R"(\dir)", "book.mdb", "book", R"(\\srv\share\dir\book)"};
        QTest::newRow("unc, share root")
            << R"(\\srv\share\book.mdb)" << QStringList{R"(\\srv\share)", "", "book.mdb", "book", R"(\\srv\share\book)"};
        QTest::newRow("posix")
            << "/home/user/住所録/顧客.mdb" << QStringList{"", "/home/user/住所録", "顧客.mdb", "顧客", "/home/user/住所録/顧客"};
        QTest::newRow("posix, root") << "/book.mdb" << QStringList{"", "", "book.mdb", "book", "/book"};
        QTest::newRow("five characters") << "/a/b.mdb" << QStringList{"", "/a", "b.mdb", "b", "/a/b"};
    }
    void split()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, expected);
        DbFile f;
        f.FullPath = path;
        QVERIFY(SplitDbFilePath(f, f));
        QCOMPARE((QStringList{f.Drive, f.Folder, f.FileName, f.BaseName, f.DataFolder}), expected);
        QCOMPARE(f.PreviewFolder, f.DataFolder);
        QCOMPARE(f.FullPath, path);
    }

    void notADatabaseFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no separator") << "book.mdb";
        QTest::newRow("drive without backslash") << "D:book.mdb";
        QTest::newRow("unc with three backslashes") << R"(\\srv\book.mdb)";
        QTest::newRow("four-character name") << "/dir/.mdb";
        QTest::newRow("name of four characters") << R"(D:\dir\abcd)";
        QTest::newRow("trailing separator") << "/dir/";
    }
    void notADatabaseFile()
    {
        QFETCH(QString, path);
        DbFile f;
        f.FullPath = "/keep/keep.mdb";
        QVERIFY(SplitDbFilePath(f, f));
        const DbFile before = f;
        DbFile source;
        source.FullPath = path;
        QVERIFY(!SplitDbFilePath(source, f));
        QCOMPARE(f, before);
    }

    void emptyPathChangesNothing()
    {
        DbFile f;
        f.FileName = "x";
        const DbFile before = f;
        QVERIFY(SplitDbFilePath(f, f));
        QCOMPARE(f, before);
        // The empty record's database folder is the root.
        QCOMPARE(DatabaseFolder(DbFile{}), QString("/"));
        QCOMPARE(CommonDbPath(DbFile{}), QString("/共通情報/共通情報.mdb"));
    }

    void derivedPaths()
    {
        DbFile f;
        f.FullPath = "/data/book.mdb";
        SplitDbFilePath(f, f);
        QCOMPARE(CommonDbPath(f), QString("/data/共通情報/共通情報.mdb"));
        QCOMPARE(RecordFolderPath(f, 123), QString("/data/book/123"));
        f.FullPath = R"(C:\data\book.mdb)";
        SplitDbFilePath(f, f);
        QCOMPARE(CommonDbPath(f), QString(R"(C:\data\共通情報\共通情報.mdb)"));
    }

    void pmPathReadsTheFirstLineOnly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("path");
        QTest::newRow("crlf, several lines") << QByteArray("/a/book.mdb\r\n/b/other.mdb\r\n") << "/a/book.mdb";
        QTest::newRow("lf") << QByteArray("/a/book.mdb\n") << "/a/book.mdb";
        QTest::newRow("no line end") << QByteArray("/a/book.mdb") << "/a/book.mdb";
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("shift-jis")
            << QByteArray("/\x8f\x5a\x8f\x8a\x98\x5e.mdb\r\n") /* 住所録 */ << "/住所録.mdb";
    }
    void pmPathReadsTheFirstLineOnly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, path);
        QTemporaryDir dir;
        QFile f(dir.filePath("PMPath.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const PmPathRead r = ReadPmPath(dir.path());
        QVERIFY(r.exists);
        QCOMPARE(r.path, path);
    }

    void pmPathWriteReplacesWithOneLine()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("PMPath.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old\r\nlines\r\n");
        f.close();
        QString error;
        QVERIFY(WritePmPath(dir.path(), "/住所録/顧客.mdb", &error));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("/\x8f\x5a\x8f\x8a\x98\x5e/\x8c\xda\x8b\x71.mdb\r\n"));
        f.close();
        QVERIFY(!ReadPmPath(QTemporaryDir().path()).exists);

        // A path code page 932 cannot hold is refused and the old file stays.
        QVERIFY(!WritePmPath(dir.path(), "/\U0001F600/book.mdb", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadPmPath(dir.path()).path, QString("/住所録/顧客.mdb"));
    }

    void displayOrderNumber_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("order");
        QTest::newRow("null") << QVariant() << 1;
        QTest::newRow("empty") << QVariant(QString()) << 1;
        QTest::newRow("three") << QVariant(QString("3")) << 3;
        QTest::newRow("six") << QVariant(QString("6")) << 6;
        QTest::newRow("seven") << QVariant(QString("7")) << 1;
        QTest::newRow("word") << QVariant(QString("x")) << 1;
    }
    void displayOrderNumber()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, order);
        QCOMPARE(DisplayOrderNumber(stored), order);
    }
};

QTEST_GUILESS_MAIN(TestDbFile)
#include "tst_dbfile.moc"
