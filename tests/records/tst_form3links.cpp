// The record taken to other places: its picture folder to the image viewer, its web page to the
// browser, its position to the list window, its numbers to the dialler, its address to a mail.
// The other windows are stand-ins that show what they would read at their load.

#include "../StandInProgram.h"
#include "RecordsFixture.h"
#include "platform/mail/RecordingComposer.h"
#include "platform/mail/XdgEmailComposer.h"
#include "platform/shell/DesktopOpener.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"

#include <QCloseEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

using fixture::shown;

namespace {

// The image viewer: its load reads the folders and the title it was handed.
struct ViewerSeen {
    int loads = 0;
    Module1::DbFile copy;
    QString title;
    int dirAttr = -1;
};
ViewerSeen viewerSeen;

class FakeViewer : public ui::Window {
public:
    void formLoad() override
    {
        ++viewerSeen.loads;
        viewerSeen.copy = Module1::CurrentDbFileCopy;
        viewerSeen.title = Module1::ViewerTitle;
        viewerSeen.dirAttr = Module1::ViewerDirAttr;
    }
};

// The list window: a page of twenty records from its scroll bar's value, and its first cell.
class FakeList : public ui::Window {
public:
    QScrollBar* bar = new QScrollBar(Qt::Horizontal, this);
    QLineEdit* firstCell = new QLineEdit(this);
    int pageChanges = 0;
    FakeList()
    {
        bar->setObjectName(QStringLiteral("HScroll1"));
        bar->setRange(0, 39);
        firstCell->setObjectName(QStringLiteral("Text1_0"));
        connect(bar, &QScrollBar::valueChanged, this, [this] { ++pageChanges; });
    }
};

// The dialler: what its load reads, and what its boxes hold when the user closes it.
struct DiallerSeen {
    QString memberAtLoad;
    QStringList boxes;  // Text2(0), Text2(1), Text1(0), Text1(1)
    int option = -1;
    bool closed = false;
};
DiallerSeen diallerSeen;

class FakeDialler : public ui::Window {
public:
    QLineEdit* box(const QString& name, const QString& text)
    {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(name);
        return e;
    }
    QLineEdit* member = box(QStringLiteral("Text2_0"), QStringLiteral("Text2"));
    QLineEdit* name = box(QStringLiteral("Text2_1"), QStringLiteral("Text2"));
    QLineEdit* home = box(QStringLiteral("Text1_0"), QStringLiteral("Text1"));
    QLineEdit* mobile = box(QStringLiteral("Text1_1"), QStringLiteral("Text1"));
    QRadioButton* homeOption = new QRadioButton(QStringLiteral("自宅電話"), this);
    QRadioButton* mobileOption = new QRadioButton(QStringLiteral("携帯電話"), this);
    FakeDialler()
    {
        homeOption->setObjectName(QStringLiteral("Option1_0"));
        mobileOption->setObjectName(QStringLiteral("Option1_1"));
    }
    void formLoad() override { diallerSeen.memberAtLoad = Module1::DialMemberNo; }

protected:
    // The user closes the dialler as soon as it shows.
    void showEvent(QShowEvent*) override { QTimer::singleShot(0, this, [this] { close(); }); }
    void closeEvent(QCloseEvent* e) override
    {
        diallerSeen.boxes = {member->text(), name->text(), home->text(), mobile->text()};
        diallerSeen.option = homeOption->isChecked() ? 0 : (mobileOption->isChecked() ? 1 : -1);
        diallerSeen.closed = true;
        e->accept();
    }
};

// The desktop's real hand-overs, run with a stand-in program, that count the hand-overs that
// have ended, so that a test knows when "nothing was said" is the last word.
class EndCountingComposer : public mailclient::Composer {
public:
    explicit EndCountingComposer(const QString& program) : real(program) {}
    mailclient::XdgEmailComposer real;
    int ended = 0;
    bool compose(const QStringList& addresses, QString* error, desktop::Outcome outcome) override
    {
        return real.compose(addresses, error, [this, outcome](const QString& failure) {
            outcome(failure);
            ++ended;
        });
    }
};

class EndCountingOpener : public desktop::Opener {
public:
    explicit EndCountingOpener(const QString& program) : real(program) {}
    desktop::DesktopOpener real;
    int ended = 0;
    desktop::Outcome counted(desktop::Outcome outcome)
    {
        return [this, outcome](const QString& failure) {
            outcome(failure);
            ++ended;
        };
    }
    bool openUrl(const QString& address, QString* error, desktop::Outcome outcome) override
    {
        return real.openUrl(address, error, counted(outcome));
    }
    bool openFile(const QString& path, QString* error, desktop::Outcome outcome) override
    {
        return real.openFile(path, error, counted(outcome));
    }
};

QString number(int no)
{
    return QStringLiteral("%1").arg(no, 8, 10, QLatin1Char('0'));
}

} // namespace

class TestForm3Links : public QObject, private fixture::WindowCase {
    Q_OBJECT
    QString recordFolder(int no) const { return dir->filePath(QStringLiteral("サンプル住所録/%1").arg(no)); }

    static void writeFile(const QString& path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("picture");
    }

    static void unload(const QString& name)
    {
        ui::WindowRegistry::instance().unload(name);
        QTRY_VERIFY(!ui::WindowRegistry::instance().isLoaded(name));
    }

private slots:
    void initTestCase()
    {
        startCase();
        auto& registry = ui::WindowRegistry::instance();
        registry.registerFactory(QStringLiteral("Form14"), [] { return new FakeViewer; });
        registry.registerFactory(QStringLiteral("Form4"), [] { return new FakeList; });
        registry.registerFactory(QStringLiteral("Form11"), [] { return new FakeDialler; });
    }

    void cleanupTestCase()
    {
        ui::WindowRegistry::instance().unloadAll();
        endCase();
    }

    void init()
    {
        freshFolder();
        viewerSeen = {};
        diallerSeen = {};
        Module1::ImageSubfolder = QStringLiteral("unchanged");
        Module1::ViewerDirAttr = 5;
    }

    void cleanup()
    {
        unload(QStringLiteral("Form14"));
        unload(QStringLiteral("Form4"));
        dropFolder();
    }

    // ---- the image viewer ----

    void viewerGetsTheRecordsFolderForItsLoad()
    {
        auto w = load(book);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->hScroll1()->setValue(11);
        writeFile(recordFolder(12) + QStringLiteral("/写真.jpg"));
        const Module1::DbFile before = Module1::CurrentDbFileCopy;
        QTest::mouseClick(fixture::control(w.get(), QStringLiteral("Image1")), Qt::LeftButton);

        QCOMPARE(viewerSeen.loads, 1);
        QCOMPARE(viewerSeen.copy.DataFolder, recordFolder(12));
        QCOMPARE(viewerSeen.copy.PreviewFolder, recordFolder(12) + QStringLiteral("/Preview"));
        const QString name = fixture::scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 12")).toString();
        QCOMPARE(viewerSeen.title, number(12) + QLatin1Char(' ') + name);
        QCOMPARE(viewerSeen.dirAttr, 0);
        QCOMPARE(Module1::ImageSubfolder, QStringLiteral("12"));
        // The hand-over is over: the shared record is what it was.
        QCOMPARE(Module1::CurrentDbFileCopy, before);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void folderContents_data()
    {
        QTest::addColumn<QString>("setup");  // "file", "readonly", "mixed", "hidden", "none", "missing"
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("dirAttr");
        QTest::newRow("a normal file") << "file" << true << 0;
        QTest::newRow("read-only files only") << "readonly" << true << 1;
        QTest::newRow("normal and read-only files") << "mixed" << true << 1;
        QTest::newRow("only a hidden file") << "hidden" << false << 0;
        QTest::newRow("only the Preview subfolder") << "none" << false << 0;
        QTest::newRow("no folder at all") << "missing" << false << 0;
    }
    void folderContents()
    {
        QFETCH(QString, setup);
        QFETCH(bool, opens);
        QFETCH(int, dirAttr);
        const QString folder = recordFolder(2);
        if (setup == QLatin1String("file") || setup == QLatin1String("mixed"))
            writeFile(folder + QStringLiteral("/a.png"));
        if (setup == QLatin1String("readonly") || setup == QLatin1String("mixed")) {
            writeFile(folder + QStringLiteral("/b.png"));
            QVERIFY(QFile::setPermissions(folder + QStringLiteral("/b.png"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        }
        if (setup == QLatin1String("hidden"))
            writeFile(folder + QStringLiteral("/.directory"));
        if (setup == QLatin1String("missing"))
            QVERIFY(QDir(folder).removeRecursively());
        auto w = load(book);
        w->hScroll1()->setValue(1);
        w->Image1_Click();
        QCOMPARE(viewerSeen.loads, opens ? 1 : 0);
        QCOMPARE(Module1::ViewerDirAttr, dirAttr);
        QCOMPARE(Module1::ImageSubfolder, opens ? QStringLiteral("2") : QString());
        QVERIFY(dialogs->shown().isEmpty());
    }

    // ---- the browser ----

    void webPage_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("requested");
        QTest::newRow("handed over unchanged, leading spaces too")
            << "  www.example.com/会員?id=1;ls" << QStringList{"  www.example.com/会員?id=1;ls"};
        QTest::newRow("blank") << "   " << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void webPage()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, requested);
        desktop::RecordingOpener opener;
        desktop::ScopedOpener use(&opener);
        auto w = load(book);
        records::SetBoxText(fixture::control(w.get(), QStringLiteral("Text1_30")), address);
        qobject_cast<QPushButton*>(fixture::control(w.get(), QStringLiteral("Command2")))->click();
        QCOMPARE(opener.requestedUrls, requested);
        QVERIFY(dialogs->shown().isEmpty());
    }

    // ---- the mail program ----

    void newMail_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("arguments");  // of xdg-email, one list per mail
        QTest::newRow("Eメール") << 0 << "Text1_9" << "hanako@example.jp"
                               << QList<QStringList>{{"mailto:hanako@example.jp"}};
        QTest::newRow("携帯Eメール") << 1 << "Text1_15" << "hanako@mobile.example.com"
                                 << QList<QStringList>{{"mailto:hanako@mobile.example.com"}};
        QTest::newRow("several addresses, one mailto") << 0 << "Text1_9" << "a@example.jp; b@example.jp;"
                                                      << QList<QStringList>{{"mailto:a@example.jp,b@example.jp"}};
        QTest::newRow("headers and shell text stay data")
            << 0 << "Text1_9" << "a@example.jp?bcc=c@example.jp&body=$(id)"
            << QList<QStringList>{{"mailto:a@example.jp%3Fbcc%3Dc@example.jp%26body%3D%24%28id%29"}};
        QTest::newRow("blank box") << 0 << "Text1_9" << "  " << QList<QStringList>{};
        QTest::newRow("the other box's text is not used") << 1 << "Text1_9" << "a@example.jp" << QList<QStringList>{};
    }
    void newMail()
    {
        QFETCH(int, index);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QList<QStringList>, arguments);
        mailclient::RecordingComposer composer;
        mailclient::ScopedComposer use(&composer);
        auto w = load(book);
        for (const char* name : {"Text1_9", "Text1_15"})
            records::SetBoxText(fixture::control(w.get(), QString::fromLatin1(name)), QString());
        records::SetBoxText(fixture::control(w.get(), box), text);
        qobject_cast<QPushButton*>(fixture::control(w.get(), QStringLiteral("Command6_%1").arg(index)))->click();
        QCOMPARE(composer.arguments, arguments);
        QCOMPARE(composer.requests.size(), arguments.size());
        QVERIFY(dialogs->shown().isEmpty());
    }

    void mailProgramFailureIsReported()
    {
        mailclient::RecordingComposer composer;
        composer.succeed = false;
        mailclient::ScopedComposer use(&composer);
        auto w = load(book);
        records::SetBoxText(fixture::control(w.get(), QStringLiteral("Text1_9")), QStringLiteral("a@example.jp"));
        w->Command6_Click(0);
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("32002\n") + composer.failure);
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(dialogs->shown().first().title, ui::programTitle());
    }

    // 送信 and 表示 pressed by keys hand the address to the desktop's program without waiting for
    // it; a program that ends with a failure (no mail program or browser set up) is reported in
    // the box a failure to start it gets, one that took the address says nothing.
    void handOverEndIsReported_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("ending");  // of the stand-in xdg-email or xdg-open
        QTest::addColumn<QString>("message");    // "": no box
        const QString noMail = QStringLiteral("32002\nメールソフトでメールを作成できませんでした: ");
        const QString noPage = QStringLiteral("Webページを開けません。\nwww.example.com/会員\n");
        QTest::newRow("送信, no mail program on the desktop")
            << "Command6_0" << QByteArray("echo 'xdg-email: no method available' >&2; exit 3")
            << noMail + QStringLiteral("開くプログラムが設定されていません（xdg-email の終了コード 3）");
        QTest::newRow("送信, a slow mail program that fails")
            << "Command6_0" << QByteArray("sleep 0.5; exit 4") << noMail + QStringLiteral("開けませんでした（xdg-email の終了コード 4）");
        QTest::newRow("送信, the mail program took it") << "Command6_0" << QByteArray("exit 0") << QString();
        QTest::newRow("表示, no browser on the desktop")
            << "Command2" << QByteArray("exit 3")
            << noPage + QStringLiteral("開くプログラムが設定されていません（xdg-open の終了コード 3）");
        QTest::newRow("表示, the browser took it") << "Command2" << QByteArray("exit 0") << QString();
    }
    void handOverEndIsReported()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, ending);
        QFETCH(QString, message);
        const bool mail = command.startsWith(QLatin1String("Command6"));
        standin::Program program(ending, mail ? QStringLiteral("xdg-email") : QStringLiteral("xdg-open"));
        QVERIFY(program.isValid());
        EndCountingComposer composer(program.path());
        mailclient::ScopedComposer useComposer(&composer);
        EndCountingOpener opener(program.path());
        desktop::ScopedOpener useOpener(&opener);

        auto w = load(book);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        records::SetBoxText(fixture::control(w.get(), QStringLiteral("Text1_9")), QStringLiteral("hanako@example.jp"));
        records::SetBoxText(fixture::control(w.get(), QStringLiteral("Text1_30")), QStringLiteral("www.example.com/会員"));
        QWidget* button = fixture::control(w.get(), command);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        // The window goes on at once; the program's end is heard later.
        QVERIFY(dialogs->shown().isEmpty());
        QTRY_COMPARE(composer.ended + opener.ended, 1);
        QCOMPARE(program.arguments(), QStringList{mail ? QStringLiteral("mailto:hanako@example.jp")
                                                       : QStringLiteral("http://www.example.com/%E4%BC%9A%E5%93%A1")});
        if (message.isEmpty()) {
            QVERIFY(dialogs->shown().isEmpty());
            return;
        }
        QCOMPARE(dialogs->shownTexts(), QStringList{message});
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(dialogs->shown().first().title, ui::programTitle());
    }

    // ---- the list window ----

    void listWindowPage_data()
    {
        QTest::addColumn<int>("page");      // the list window's page before, -1: not loaded
        QTest::addColumn<int>("position");  // of the record window
        QTest::addColumn<int>("expected");
        QTest::newRow("beyond the first page") << -1 << 25 << 25;
        QTest::newRow("on the first page") << -1 << 10 << 0;
        QTest::newRow("last row of the page") << -1 << 19 << 0;
        QTest::newRow("just after the page") << -1 << 20 << 20;
        QTest::newRow("open list window, on its page") << 10 << 15 << 10;
        QTest::newRow("open list window, before its page") << 10 << 3 << 3;
    }
    void listWindowPage()
    {
        QFETCH(int, page);
        QFETCH(int, position);
        QFETCH(int, expected);
        auto& registry = ui::WindowRegistry::instance();
        if (page >= 0)
            registry.reach<FakeList>(QStringLiteral("Form4"))->bar->setValue(page);
        auto w = load(book);
        w->hScroll1()->setValue(position);
        w->Command3_Click();
        auto* list = registry.reach<FakeList>(QStringLiteral("Form4"));
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->bar->value(), expected);
        QCOMPARE(list->focusWidget(), static_cast<QWidget*>(list->firstCell));
    }

    // ---- the dialler ----

    void dialler_data()
    {
        QTest::addColumn<int>("memberNo");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("change");  // SQL run on the record first
        QTest::newRow("home number") << 1 << 0 << "";
        QTest::newRow("mobile number") << 4 << 1 << "";
        QTest::newRow("mobile option without a mobile number") << 3 << 1 << "\"携帯電話\" = NULL";
        QTest::newRow("record without a name") << 7 << 0 << "\"氏名\" = NULL, \"自宅電話\" = ''";
    }
    void dialler()
    {
        QFETCH(int, memberNo);
        QFETCH(int, index);
        QFETCH(QString, change);
        if (!change.isEmpty())
            fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET %1 WHERE \"会員NO\" = %2").arg(change).arg(memberNo));
        auto value = [&](const char* field) {
            return fixture::scalar(book, QStringLiteral("SELECT \"%1\" FROM \"個人台帳\" WHERE \"会員NO\" = %2")
                                             .arg(QString::fromUtf8(field)).arg(memberNo)).toString();
        };
        auto w = load(book);
        w->hScroll1()->setValue(memberNo - 1);
        w->Command5_Click(index);
        // The click waited for the dialler to be closed; closing unloaded it.
        QVERIFY(diallerSeen.closed);
        QVERIFY(!ui::WindowRegistry::instance().isLoaded(QStringLiteral("Form11")));
        QCOMPARE(diallerSeen.memberAtLoad, number(memberNo));
        QCOMPARE(Module1::DialMemberNo, number(memberNo));
        QCOMPARE(diallerSeen.boxes, (QStringList{number(memberNo), value("氏名"), value("自宅電話"), value("携帯電話")}));
        QCOMPARE(diallerSeen.option, index);
    }

    void noRecordNothingIsHandedOver()
    {
        const QString empty = dir->filePath(QStringLiteral("空.mdb"));
        QString error;
        QVERIFY2(db::schema::createAddressBook(empty, QStringLiteral("空"), &error), qPrintable(error));
        mailclient::RecordingComposer composer;
        mailclient::ScopedComposer useComposer(&composer);
        desktop::RecordingOpener opener;
        desktop::ScopedOpener useOpener(&opener);
        Module1::DialMemberNo = QStringLiteral("before");
        auto w = load(empty);
        w->Image1_Click();
        w->Command5_Click(0);
        w->Command2_Click();
        w->Command6_Click(0);
        w->Command6_Click(1);
        QCOMPARE(viewerSeen.loads, 0);
        QVERIFY(!diallerSeen.closed);
        QCOMPARE(Module1::DialMemberNo, QStringLiteral("before"));
        QVERIFY(composer.requests.isEmpty());
        QVERIFY(opener.requestedUrls.isEmpty());
        // The list window still opens.
        w->Command3_Click();
        QVERIFY(ui::WindowRegistry::instance().isLoaded(QStringLiteral("Form4")));
        QVERIFY(dialogs->shown().isEmpty());
    }
};

QTEST_MAIN(TestForm3Links)
#include "tst_form3links.moc"
