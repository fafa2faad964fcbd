#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/text/Cp932.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "edition/Profile.h"
#include "shell/Form1.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Module1;

namespace {

void makeBook(const QString& path, const QVariant& title)
{
    QString error;
    QVERIFY2(db::schema::createAddressBook(path, title.toString(), &error), qPrintable(error));
    if (title.isNull()) {
        db::Database d = db::Database::open(path);
        d.execute(QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = NULL"));
    }
}

void makeCommon(const QString& folder)
{
    QDir(folder).mkpath(QStringLiteral("共通情報"));
    QString error;
    QVERIFY2(db::schema::createCommonDatabase(folder + QStringLiteral("/共通情報/共通情報.mdb"), &error), qPrintable(error));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A window that only notes what the shared state held when it loaded.
class ProbeWindow : public ui::Window {
public:
    static inline DbFile seenCopy;
    static inline int loads = 0;
    void formLoad() override
    {
        seenCopy = CurrentDbFileCopy;
        ++loads;
    }
};

QString nameColumn(const QString& line) { return line.mid(40).trimmed(); }

// A book of many records whose long write is cut off: a child process rewrites every record in
// one transaction with a page cache too small to hold it, so that pages reach the file, and is
// killed before it commits. The book is left with a hot journal.
void cutOffAWrite(const QString& path)
{
    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    const QByteArray file = QFile::encodeName(path);
    const QByteArray update = QStringLiteral("UPDATE \"%1\" SET \"氏名\" = '書き換え中', \"記事\" = printf('%.500c', 'x')")
                                  .arg(db::schema::personTableName())
                                  .toUtf8();
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // Only SQLite and plain system calls here; the child never returns into the test.
        sqlite3* h = nullptr;
        char ok = 0;
        if (sqlite3_open_v2(file.constData(), &h, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
            && sqlite3_exec(h, "PRAGMA cache_size = 2; BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK
            && sqlite3_exec(h, update.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
            ok = 1;
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char ok = 0;
    const bool told = ::read(ready[0], &ok, 1) == 1;
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(told && ok == 1);
    QVERIFY(QFileInfo(path + "-journal").size() > 0);
}

// The names and memos of every record, in number order.
QStringList recordTexts(const QString& path)
{
    QStringList out;
    db::Database d = db::Database::open(path, db::OpenMode::ReadOnly);
    db::Recordset rs = d.openRecordset(
        QStringLiteral("SELECT \"氏名\", \"記事\" FROM \"%1\" ORDER BY \"会員NO\"").arg(db::schema::personTableName()),
        db::RecordsetType::Snapshot);
    for (; !rs.eof(); rs.moveNext())
        out << rs.text(QStringLiteral("氏名")) + u'|' + rs.text(QStringLiteral("記事"));
    return out;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
    QTemporaryDir* dir = nullptr;
    ui::ScriptedDialogs* dialogs = nullptr;
    ui::ScopedDialogs* scope = nullptr;
    QString savedCwd;

    QString folder() const { return dir->path(); }

    std::unique_ptr<Form1> start()
    {
        QDir::setCurrent(folder());
        auto f = std::make_unique<Form1>();
        f->formLoad();
        return f;
    }

private slots:
    void initTestCase()
    {
        savedCwd = QDir::currentPath();
        ui::WindowRegistry::instance().registerFactory(QStringLiteral("Form3"), [] { return new ProbeWindow; });
        ui::WindowRegistry::instance().registerFactory(QStringLiteral("Form14"), [] { return new ProbeWindow; });
    }
    void init()
    {
        dir = new QTemporaryDir;
        dialogs = new ui::ScriptedDialogs(QDate(2024, 4, 1));
        scope = new ui::ScopedDialogs(dialogs);
        ProbeWindow::loads = 0;
    }
    void cleanup()
    {
        ui::WindowRegistry::instance().unloadAll();
        CloseSharedObjects();
        CurrentDbFile = CurrentDbFileCopy = DbFile{};
        QDir::setCurrent(savedCwd);
        delete scope;
        delete dialogs;
        delete dir;
    }

    void withoutPmPathNothingIsAsked()
    {
        auto f = start();
        QVERIFY(dialogs->fileDialogs().isEmpty());
        QCOMPARE(f->menuDbFile().FullPath, QString());
        QCOMPARE(DatabaseFolder(f->menuDbFile()), QString("/"));
        // The missing common database is named where it was looked for; era texts stay empty.
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.contains("/共通情報/共通情報.mdb"));
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(JapaneseEraYear(QDate(2020, 1, 1)), QString());
    }

    void pmPathNamingAMissingFileOpensTheDialog()
    {
        const QString missing = folder() + "/missing.mdb";
        writeFile(folder() + "/PMPath.txt", missing.toUtf8() + "\r\n");
        dialogs->queueFile(std::nullopt);
        auto f = start();
        QCOMPARE(dialogs->fileDialogs().size(), 1);
        const ui::OpenFileOptions& o = dialogs->fileDialogs().first();
        QCOMPARE(o.initialFile, missing);
        QCOMPARE(o.title, QString("Infoltaシステム Microsoft Access2000 データベース設定"));
        QCOMPARE(o.filters.size(), 2);
        QCOMPARE(o.filters[1].description, QString("すべてのﾌｧｲﾙ (*.*)"));
        QCOMPARE(f->menuDbFile().FullPath, missing);  // a cancel keeps the path read
        QCOMPARE(f->label2()->text(), missing);
    }

    void startUpOpensTheFirstLineAndListsTheFolder()
    {
        makeCommon(folder());
        makeBook(folder() + "/b.mdb", QStringLiteral("取引先名簿"));
        makeBook(folder() + "/A.MDB", QVariant());
        writeFile(folder() + "/c.txt", "x");
        writeFile(folder() + "/PMPath.txt", (folder() + "/b.mdb\r\n" + folder() + "/A.MDB\r\n").toUtf8());
        auto f = start();
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(f->menuDbFile().FileName, QString("b.mdb"));
        QCOMPARE(f->dbFileNames(), (QStringList{"A.MDB", "b.mdb"}));
        QCOMPARE(f->list1()->count(), 2);
        const QString nullLine = f->list1()->item(0)->text();
        QCOMPARE(text::byteWidth(nullLine), 80);
        QVERIFY(nullLine.startsWith(QString(30, '*') + QString(10, ' ') + "A.MDB"));
        QCOMPARE(f->list1()->item(1)->text(), FitBytes("取引先名簿", 40) + FitBytes("b.mdb", 40));
        QCOMPARE(f->list1()->currentRow(), 1);
        QCOMPARE(f->label2()->text(), folder() + "/b.mdb");
        QCOMPARE(f->windowTitle(), FitBytes(edition::profile().MainWindowTitle, 160) + QString("2024年04月01日(月) "));
        QCOMPARE(JapaneseEraYear(QDate(2019, 5, 1)), QString("令和01年"));
    }

    void listingKeepsToTheFirst101InNameOrder()
    {
        makeBook(folder() + "/template.mdb", QStringLiteral("t"));
        for (int i = 0; i < 102; ++i)
            QFile::copy(folder() + "/template.mdb", folder() + QStringLiteral("/book%1.mdb").arg(i, 3, 10, QLatin1Char('0')));
        QFile::remove(folder() + "/template.mdb");
        makeCommon(folder());  // "共通情報.mdb" lies in its own folder and is never listed
        QFile::copy(folder() + "/共通情報/共通情報.mdb", folder() + "/共通情報.mdb");
        writeFile(folder() + "/PMPath.txt", (folder() + "/book000.mdb").toUtf8());
        auto f = start();
        QCOMPARE(f->list1()->count(), Form1::MaxListedFiles);
        QCOMPARE(nameColumn(f->list1()->item(0)->text()), QString("book000.mdb"));
        QCOMPARE(nameColumn(f->list1()->item(100)->text()), QString("book100.mdb"));
        QVERIFY(!f->dbFileNames().contains("共通情報.mdb"));
    }

    // A FIFO named "x.mdb" is listed as a book that cannot be read, and start-up goes on; a
    // folder named "*.mdb" stays unlisted.
    void aFifoNamedLikeABookIsListedAndNeverOpened()
    {
        makeCommon(folder());
        makeBook(folder() + "/b.mdb", QStringLiteral("取引先名簿"));
        QCOMPARE(::mkfifo(QFile::encodeName(folder() + "/x.mdb").constData(), 0644), 0);
        QVERIFY(QDir(folder()).mkdir("folder.mdb"));
        writeFile(folder() + "/PMPath.txt", (folder() + "/b.mdb\r\n").toUtf8());
        auto f = start();
        QCOMPARE(f->dbFileNames(), (QStringList{"b.mdb", "x.mdb"}));
        QVERIFY(f->list1()->item(1)->text().startsWith(QString(30, '*') + QString(10, ' ') + "x.mdb"));
        QCOMPARE(f->label2()->text(), folder() + "/b.mdb");
        QVERIFY(dialogs->shown().isEmpty());
        // Chosen and opened from the menu, it fails at once with a message; nothing waits.
        f->list1()->setCurrentRow(1);
        f->Command1_Click(1);
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.startsWith("3049\n"));
        QCOMPARE(ProbeWindow::loads, 0);
    }

    void aDamagedBookHidesNoOther()
    {
        makeCommon(folder());
        makeBook(folder() + "/a.mdb", QStringLiteral("最初"));
        writeFile(folder() + "/b.mdb", "this is not a database");
        makeBook(folder() + "/c.mdb", QStringLiteral("最後"));
        writeFile(folder() + "/PMPath.txt", (folder() + "/a.mdb").toUtf8());
        auto f = start();
        QCOMPARE(f->list1()->count(), 3);
        QVERIFY(f->list1()->item(1)->text().startsWith(QString(30, '*')));
        QVERIFY(f->list1()->item(2)->text().startsWith("最後"));
        QCOMPARE(QFile(folder() + "/b.mdb").size(), qint64(22));  // read-only: untouched
    }

    // A book whose last write was cut off is listed with its title, as it was before the write;
    // one that cannot be recovered stays listed as unreadable, as it was.
    void aBookLeftMidWriteIsListedAsItWas_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("titled");
        QTest::newRow("hot journal: rolled back, title and records whole") << "writable" << true;
        QTest::newRow("hot journal on a file that may not be written: unreadable") << "read-only file" << false;
        QTest::newRow("a journal beside what is no book: unreadable, untouched") << "not a book" << false;
    }
    void aBookLeftMidWriteIsListedAsItWas()
    {
        QFETCH(QString, state);
        QFETCH(bool, titled);
        if (state == "read-only file" && ::geteuid() == 0)
            QSKIP("the file-system permissions do not hold for root");
        makeCommon(folder());
        const QString path = folder() + "/b.mdb";
        makeBook(path, QStringLiteral("途中で止まった名簿"));
        {
            db::Database d = db::Database::open(path);
            d.beginTrans();
            for (int no = 1; no <= 3000; ++no)
                d.execute(QStringLiteral("INSERT INTO \"%1\"(\"会員NO\", \"氏名\", \"フリガナ\", \"記事\") VALUES(?, ?, ?, ?)")
                              .arg(db::schema::personTableName()),
                          {no, QStringLiteral("名前%1").arg(no), QStringLiteral("ﾅﾏｴ"), QStringLiteral("記事%1").arg(no)});
            d.commitTrans();
        }
        const QStringList before = recordTexts(path);
        cutOffAWrite(path);
        if (state == "read-only file")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (state == "not a book") {
            QFile::remove(path);
            writeFile(path, "this is not a database");
        }
        const QByteArray journal = [&] {
            QFile f(path + "-journal");
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        writeFile(folder() + "/PMPath.txt", (folder() + "/b.mdb").toUtf8());
        auto f = start();
        QCOMPARE(f->list1()->count(), 1);
        const QString line = f->list1()->item(0)->text();
        QVERIFY2(line.startsWith(titled ? QStringLiteral("途中で止まった名簿") : QString(30, '*')), qPrintable(line));
        if (titled) {
            QCOMPARE(recordTexts(path), before);
            QVERIFY(!QFileInfo(path + "-journal").exists() || QFileInfo(path + "-journal").size() == 0);
        } else {
            // Nothing recovered: the journal stays for a later writer.
            QFile f(path + "-journal");
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), journal);
        }
        if (state == "not a book")
            QCOMPARE(QFile(path).size(), qint64(22));
    }

    void onlyTheCommonDatabaseGivesAnEmptyList()
    {
        makeCommon(folder());
        QFile::copy(folder() + "/共通情報/共通情報.mdb", folder() + "/共通情報.mdb");
        writeFile(folder() + "/PMPath.txt", (folder() + "/none.mdb").toUtf8());
        dialogs->queueFile(std::nullopt);
        auto f = start();
        QCOMPARE(f->dbFileNames(), QStringList());
        QCOMPARE(f->list1()->count(), 0);
    }

    void menuClickPublishesTheChosenBook()
    {
        makeCommon(folder());
        makeBook(folder() + "/a.mdb", QStringLiteral("甲"));
        makeBook(folder() + "/b.mdb", QStringLiteral("乙"));
        writeFile(folder() + "/PMPath.txt", (folder() + "/a.mdb").toUtf8());
        auto f = start();
        f->list1()->setCurrentRow(1);
        f->Command1_Click(1);
        QCOMPARE(f->menuDbFile().FileName, QString("b.mdb"));
        QCOMPARE(CurrentDbFile, f->menuDbFile());
        QCOMPARE(CurrentDbFileCopy, f->menuDbFile());
        QCOMPARE(CurrentDbFile.DataFolder, folder() + "/b");
        QCOMPARE(CurrentDb.path(), folder() + "/b.mdb");
        QCOMPARE(BookSettingsRs.text("タイトル"), QString("乙"));
        QCOMPARE(ProbeWindow::loads, 1);
        QCOMPARE(ProbeWindow::seenCopy.FileName, QString("b.mdb"));
        f->Command1_Click(1);  // a loaded window is only brought forward
        QCOMPARE(ProbeWindow::loads, 1);
    }

    void menuButtonsAreWired()
    {
        makeCommon(folder());
        makeBook(folder() + "/a.mdb", QStringLiteral("甲"));
        writeFile(folder() + "/PMPath.txt", (folder() + "/a.mdb").toUtf8());
        auto f = start();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        QTest::mouseClick(f->command1(1), Qt::LeftButton);
        QCOMPARE(ProbeWindow::loads, 1);
        QCOMPARE(CurrentDb.path(), folder() + "/a.mdb");
    }

    void menuClickOnABadBookKeepsTheCurrentOne_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("number");
        QTest::newRow("not a database") << QByteArray("plain text, chosen through the all-files entry") << "3049";
        QTest::newRow("empty file") << QByteArray() << "3049";
    }
    void menuClickOnABadBookKeepsTheCurrentOne()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, number);
        makeCommon(folder());
        makeBook(folder() + "/a.mdb", QStringLiteral("甲"));
        writeFile(folder() + "/z.mdb", content);
        writeFile(folder() + "/PMPath.txt", (folder() + "/a.mdb").toUtf8());
        auto f = start();
        f->Command1_Click(4);  // no settings window yet: the common steps only
        const DbFile before = CurrentDbFile;
        f->list1()->setCurrentRow(1);
        f->Command1_Click(1);
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.startsWith(number + "\n"));
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(dialogs->shown().first().title, QString());  // the program title is the caller's
        QCOMPARE(CurrentDbFile, before);
        QCOMPARE(CurrentDb.path(), folder() + "/a.mdb");
        QCOMPARE(BookSettingsRs.text("タイトル"), QString("甲"));
        QCOMPARE(ProbeWindow::loads, 0);
    }

    void menuClickWithNoBookSaysSo()
    {
        auto f = start();  // no PMPath, nothing selected
        dialogs->clearRecord();
        f->Command1_Click(1);
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.startsWith("3024\n"));
        QCOMPARE(ProbeWindow::loads, 0);
    }

    void quitLeavesOtherWindowsWorking()
    {
        makeCommon(folder());
        makeBook(folder() + "/a.mdb", QStringLiteral("甲"));
        writeFile(folder() + "/PMPath.txt", (folder() + "/a.mdb").toUtf8());
        QDir::setCurrent(folder());
        auto& registry = ui::WindowRegistry::instance();
        registry.registerFactory("Form1", [] { return new Form1; });
        auto* f = registry.reach<Form1>("Form1");
        f->show();
        f->Command1_Click(1);
        QWidget* records = registry.find("Form3");
        QVERIFY(records && records->isVisible());
        f->Command1_Click(5);
        QTRY_VERIFY(!registry.isLoaded("Form1"));
        QVERIFY(records->isVisible());
        QVERIFY(CurrentDb.isOpen() && CommonDb.isOpen() && EraRs.isOpen());
        QCOMPARE(BookSettingsRs.text("タイトル"), QString("甲"));
    }

    void chosenBookIsOfferedAsTheStartUpBook_data()
    {
        QTest::addColumn<ui::Answer>("answer");
        QTest::addColumn<QByteArray>("pmPath");
        QTest::newRow("yes replaces every line") << ui::Answer::Yes << QByteArray("NEW\r\n");
        QTest::newRow("no keeps the file") << ui::Answer::No << QByteArray("/old/one.mdb\r\n/old/two.mdb\r\n");
    }
    void chosenBookIsOfferedAsTheStartUpBook()
    {
        QFETCH(ui::Answer, answer);
        QFETCH(QByteArray, pmPath);
        makeCommon(folder());
        QDir(folder()).mkdir("other");
        makeBook(folder() + "/other/x.mdb", QStringLiteral("別"));
        writeFile(folder() + "/PMPath.txt", "/old/one.mdb\r\n/old/two.mdb\r\n");
        dialogs->queueFile(std::nullopt);  // start-up: the old path does not exist
        auto f = start();
        const QString chosen = folder() + "/other/x.mdb";
        dialogs->queueFile(chosen);
        dialogs->queueAnswer(answer);
        f->Image6_Click();
        QCOMPARE(dialogs->shown().last().text, chosen + " 初期起動パスとして設定しますか ?");
        QFile pm(folder() + "/PMPath.txt");
        QVERIFY(pm.open(QIODevice::ReadOnly));
        QCOMPARE(pm.readAll(), pmPath == "NEW\r\n" ? chosen.toUtf8() + "\r\n" : pmPath);
        QCOMPARE(f->dbFileNames(), QStringList{"x.mdb"});
        QCOMPARE(f->list1()->currentRow(), 0);
        QCOMPARE(f->menuDbFile().DataFolder, folder() + "/other/x");
    }

    void failedPmPathWriteIsReportedAndTheChoiceHolds()
    {
        makeBook(folder() + "/x.mdb", QStringLiteral("別"));
        auto f = start();
        StartDir = folder() + "/no such folder";
        dialogs->clearRecord();
        dialogs->queueFile(folder() + "/x.mdb");
        dialogs->queueAnswer(ui::Answer::Yes);
        f->Image6_Click();
        QCOMPARE(dialogs->shown().size(), 2);
        QVERIFY(dialogs->shown().last().text.contains("PMPath.txt"));
        QCOMPARE(f->menuDbFile().FileName, QString("x.mdb"));
        QCOMPARE(f->dbFileNames(), QStringList{"x.mdb"});
    }

    void pictureChoiceHandsItsFolderToTheViewer()
    {
        auto f = start();
        CurrentDbFileCopy.DataFolder = "/keep";
        QDir(folder()).mkdir("pics");
        writeFile(folder() + "/pics/a.png", "png");
        dialogs->queueFile(folder() + "/pics/a.png");
        f->Image1_Click();
        QCOMPARE(dialogs->fileDialogs().last().title, QString("画像ファイル指定"));
        QCOMPARE(dialogs->fileDialogs().last().filters.first().description, QString("画像ファイル"));
        QCOMPARE(ProbeWindow::seenCopy.DataFolder, folder() + "/pics");
        QCOMPARE(ProbeWindow::seenCopy.PreviewFolder, folder() + "/pics/Preview");
        QCOMPARE(ViewerTitle, QString("画像ファイル"));
        QCOMPARE(CurrentDbFileCopy.DataFolder, QString("/keep"));
        QVERIFY(!DialogCancelled);

        dialogs->queueFile(std::nullopt);
        f->Image1_Click();
        QVERIFY(DialogCancelled);
        QCOMPARE(ProbeWindow::loads, 1);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
