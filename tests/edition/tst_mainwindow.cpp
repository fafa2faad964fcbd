// The main window of each program: its menu buttons from the top, its labels, and in the
// address-book edition the bare file list and the "各種設定" that hands over to the settings window.

#include "EditionFixture.h"
#include "shell/Form1.h"
#include "platform/ui/Twips.h"
#include "shell/Form2.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

using namespace editionfx;

class TestMainWindow : public QObject, private Case {
    Q_OBJECT

    // The main window as the program starts it, in the folder of "PMPath.txt".
    Form1* start(const QString& pmPath = {})
    {
        if (!pmPath.isEmpty())
            writeFile(folder() + "/PMPath.txt", pmPath.toUtf8() + "\r\n");
        QDir::setCurrent(folder());
        auto& registry = ui::WindowRegistry::instance();
        registry.show(QStringLiteral("Form1"));
        return registry.reach<Form1>(QStringLiteral("Form1"));
    }
    static bool loaded(const char* window) { return ui::WindowRegistry::instance().isLoaded(QString::fromUtf8(window)); }

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void menuFromTheTop_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("nameLabel");
        QTest::addColumn<bool>("logo");
        QTest::newRow("kartovia") << "kartovia"
                                  << QStringList{"住所録一覧表", "住所録管理", "Web管理", "宛名印刷", "各種設定", "終了"}
                                  << 8880 << QString() << true;
        QTest::newRow("adrovia") << "adrovia" << QStringList{"住所録一覧表", "住所録管理", "宛名印刷", "各種設定", "終了"}
                                 << 3840 << "Adrolta" << false;
    }
    void menuFromTheTop()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, buttons);
        QFETCH(int, left);
        QFETCH(QString, nameLabel);
        QFETCH(bool, logo);
        becomeProgram(program);
        makeCommon(folder());
        Form1* w = start();
        QVERIFY(w);

        QList<QPushButton*> shown;
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->objectName().startsWith("Command1_") && b->isVisible())
                shown << b;
        std::sort(shown.begin(), shown.end(), [](QPushButton* a, QPushButton* b) { return a->y() < b->y(); });
        QStringList captions;
        for (QPushButton* b : shown) {
            captions << b->text();
            QCOMPARE(b->x(), ui::twips(left));
        }
        QCOMPARE(captions, buttons);
        QVERIFY(!w->findChild<QPushButton*>("Command1_0")->isVisible());  // the mail button stays hidden
        QCOMPARE(w->findChild<QPushButton*>("Command1_6") != nullptr, logo);
        QCOMPARE(w->findChild<QToolButton*>("Image3") != nullptr, logo);

        // The maker's notice at the foot, below the path label, in both programs.
        QLabel* notice = w->findChild<QLabel*>("Label1_0");
        QVERIFY(notice && notice->isVisible());
        QVERIFY(notice->text().contains(edition::profile().CompanyName));
        QVERIFY(notice->y() > w->label2()->y());

        QLabel* name = w->findChild<QLabel*>("Label1_1");
        QCOMPARE(name ? name->text() : QString(), nameLabel);
        if (name) {
            QVERIFY(name->isVisible());
            QCOMPARE(name->palette().color(QPalette::WindowText), QColor(0, 128, 0));
            QVERIFY(name->font().bold());
            QCOMPARE(name->font().pointSize(), 12);
        }
    }

    void bareNamesAndTheChosenBook()
    {
        becomeProgram("adrovia");
        makeCommon(folder());
        const QString meibo = makeBook(folder() + "/Meibo.mdb", "会員名簿");
        makeBook(folder() + "/共通情報.mdb");
        Form1* w = start(meibo);
        QCOMPARE(w->list1()->count(), 1);
        QCOMPARE(w->list1()->item(0)->text(), QString("Meibo"));
        QVERIFY(w->list1()->item(0)->isSelected());

        w->Command1_Click(1);  // 住所録管理
        QCOMPARE(Module1::CurrentDbFile.FullPath, meibo);
        QCOMPARE(Module1::CurrentDb.path(), meibo);
        QVERIFY(loaded("Form3"));
        QVERIFY(loaded("Form1"));
    }

    void folderWithoutBooksListsNothing()
    {
        becomeProgram("adrovia");
        makeCommon(folder());
        makeBook(folder() + "/共通情報.mdb");
        QTemporaryDir other;
        makeBook(other.filePath("A.mdb"));
        makeBook(other.filePath("B.mdb"));
        Form1* w = start(other.filePath("A.mdb"));
        QCOMPARE(w->list1()->count(), 2);
        // Another folder, holding only "共通情報.mdb", is chosen.
        dialogs->queueFile(folder() + "/共通情報.mdb");
        dialogs->queueAnswer(ui::Answer::No);  // not written into "PMPath.txt"
        w->Image6_Click();
        QCOMPARE(w->list1()->count(), 0);
        QVERIFY(w->dbFileNames().isEmpty());
    }

    void bookFilesAreNotOpenedForTheList()
    {
        becomeProgram("adrovia");
        makeCommon(folder());
        writeFile(folder() + "/Broken.mdb", "not a database at all");
        Form1* w = start(folder() + "/Broken.mdb");
        // Listed by name without being opened, so nothing is reported.
        QCOMPARE(w->list1()->count(), 1);
        QCOMPARE(w->list1()->item(0)->text(), QString("Broken"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void settingsTakesOverFromTheMenu()
    {
        becomeProgram("adrovia");
        makeCommon(folder());
        const QString meibo = makeBook(folder() + "/Meibo.mdb");
        Form1* w = start(meibo);
        w->Command1_Click(4);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(loaded("Form2"));
        QVERIFY(ui::WindowRegistry::instance().find("Form2")->isVisible());
        QVERIFY(!loaded("Form1"));
        QCOMPARE(Module1::CurrentDbFile.FullPath, meibo);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void settingsOnABookThatCannotBeOpened()
    {
        becomeProgram("adrovia");
        makeCommon(folder());
        writeFile(folder() + "/Meibo.mdb", "not a database at all");
        Form1* w = start(folder() + "/Meibo.mdb");
        QCOMPARE(w->list1()->count(), 1);
        w->Command1_Click(4);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Reported as the other program does, and the menu stays for another choice.
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.startsWith("3049\n"));
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QVERIFY(loaded("Form1"));
        QVERIFY(w->isVisible());
        QVERIFY(!loaded("Form2"));
    }

    void quitClosesOnlyTheMainWindow()
    {
        becomeProgram("adrovia");
        makeCommon(folder());
        const QString meibo = makeBook(folder() + "/Meibo.mdb");
        Form1* w = start(meibo);
        w->Command1_Click(1);
        ui::WindowRegistry::instance().reach<Form1>("Form1")->Command1_Click(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!loaded("Form1"));
        QVERIFY(loaded("Form3"));
        QVERIFY(Module1::CurrentDb.isOpen());
        Q_UNUSED(w);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
