// Every place that shows a product text, in each program: the text comes from the running
// program's profile, never from the other one's.

#include "DemoFolder.h"
#include "EditionFixture.h"
#include "platform/text/Cp932.h"
#include "records/Form3.h"
#include "shell/Form1.h"
#include "shell/Form2.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QLineEdit>

using namespace editionfx;

class TestProductTexts : public QObject, private Case {
    Q_OBJECT
    QString book;  // the sample book, its title Null

    ui::WindowRegistry& registry() { return ui::WindowRegistry::instance(); }

    // The main window as the program starts it, in the folder of "PMPath.txt".
    Form1* startMainWindow()
    {
        QDir::setCurrent(folder());
        registry().show(QStringLiteral("Form1"));
        return registry().reach<Form1>(QStringLiteral("Form1"));
    }
    // A window reached the way the main menu reaches it, on the sample book.
    template <class T>
    T* openFromMenu(const char* window)
    {
        Module1::OpenCommonDatabase(folder() + QStringLiteral("/共通情報/共通情報.mdb"));
        Module1::PublishCurrentBook(book);
        return registry().reach<T>(QString::fromUtf8(window));
    }
    QString recordCaptionStart(const QString& path) const
    {
        return edition::profile().EditionName + QString(10, u' ') + path;
    }

    // What the place shows.
    QString textAt(const QString& place)
    {
        if (place == "untitled message box") {
            Module1::PrepareProgram(*qApp);
            ui::dialogs().message(QStringLiteral("表示させる画像がありません"));
            return dialogs->shown().last().title;
        }
        if (place == "version information") {
            Module1::PrepareProgram(*qApp);
            return QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u' '
                   + QCoreApplication::organizationName();
        }
        if (place == "main caption") {
            const QString caption = startMainWindow()->windowTitle();
            const QString date = Module1::FormatCaptionDate(dialogs->today());
            if (!caption.endsWith(date) || text::byteWidth(caption.chopped(date.size())) != 160)
                return caption;
            return caption.chopped(date.size()).trimmed();
        }
        if (place == "about panel") {
            startMainWindow()->Image2_Click();
            return dialogs->shown().last().text.split(QStringLiteral("\n\n")).first();
        }
        if (place == "about panel, the lines after the first") {
            startMainWindow()->Image2_Click();
            return dialogs->shown().last().text.split(QStringLiteral("\n\n")).mid(1, 5).join(u'|');
        }
        if (place == "database-file dialog") {
            writeFile(folder() + "/PMPath.txt", (folder() + "/missing.mdb\r\n").toUtf8());
            dialogs->queueFile(std::nullopt);
            startMainWindow();
            return dialogs->fileDialogs().first().title;
        }
        if (place == "record caption, Null title") {
            return openFromMenu<Form3>("Form3")->windowTitle().startsWith(recordCaptionStart(book))
                       ? edition::profile().EditionName
                       : QString();
        }
        if (place == "kana-index message") {
            auto* w = openFromMenu<Form3>("Form3");
            w->Label1_Click(0);  // the book stands in number order
            return dialogs->shown().last().title;
        }
        if (place == "settings title box, Null title")
            return openFromMenu<Form2>("Form2")->text3()->text();
        if (place == "record caption after a deletion, Null title") {
            auto* w = openFromMenu<Form3>("Form3");
            w->setWindowTitle(QString());
            dialogs->queueAnswer(ui::Answer::Yes);
            w->DeleteRecord();
            return w->windowTitle().startsWith(recordCaptionStart(book)) ? edition::profile().EditionName : w->windowTitle();
        }
        if (place == "record caption after another book") {
            const QString other = makeBook(folder() + "/別の住所録.mdb", QStringLiteral("別の名簿"));
            auto* w = openFromMenu<Form3>("Form3");
            dialogs->queueFile(other);
            dialogs->queueAnswer(ui::Answer::No);  // not written into "PMPath.txt"
            w->OpenDatabaseFile();
            const QString caption = w->windowTitle();
            const QString head = edition::profile().EditionName + u' ' + other;
            return caption.startsWith(head) && caption.mid(head.size()).startsWith(u' ') ? edition::profile().EditionName + u' '
                                                                                          : caption;
        }
        return QStringLiteral("no such place");
    }

private slots:
    void init()
    {
        startCase();
        QString error;
        QVERIFY2(demo::makeSampleFolder(folder(), &error), qPrintable(error));
        book = dir->filePath(demo::sampleBookName());
        db::Database::open(book).execute(QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = NULL, \"表示順番\" = '1'"));
    }
    void cleanup()
    {
        QCOMPARE(dialogs->pendingAnswers(), 0);
        QCOMPARE(dialogs->pendingFiles(), 0);
        endCase();
    }

    void shownText_data()
    {
        static const char* const kAboutLines = "■動作環境　Linux（Debian 12 以降）|"
                                               "■機能　　　住所録管理機能を中心に顧客管理機能をサポート|"
                                               "　　　　　　宛名印刷機能　タックシート、はがき宛名印刷|"
                                               "　　　　　　画像管理機能　デジカメ画像管理（スライドショー）|"
                                               "■操作　　　使用するデータベースファイルを選択後、コマンドクリック";
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("expected");
        const struct {
            const char* place;
            const char* kartovia;
            const char* adrovia;
        } places[] = {
            {"untitled message box", "TovariInfolta", "TovariAdrolta"},
            {"version information", "kartovia 1.00 Tovari プロジェクト", "adrovia 1.00 Tovari プロジェクト"},
            {"main caption", "TovariInfolta 1.3\u30002023/01/13", "TovariAdrolta 1.1\u30002022/03/28"},
            {"about panel", "  「TovariInfolta」", "  「TovariAdrolta」"},
            {"about panel, the lines after the first", kAboutLines, kAboutLines},
            {"database-file dialog", "Infoltaシステム Microsoft Access2000 データベース設定",
             "Adroltaシステム Microsoft Access2000 データベース設定"},
            {"record caption, Null title", "Infolta", "Adrolta"},
            {"kana-index message", "Infolta", "Adrolta"},
            {"settings title box, Null title", "Infolta", "Adrolta"},
            {"record caption after a deletion, Null title", "Infolta", "Adrolta"},
            {"record caption after another book", "Infolta ", "Adrolta "},
        };
        for (const auto& p : places) {
            QTest::addRow("%s, %s", p.place, "kartovia") << "kartovia" << p.place << QString::fromUtf8(p.kartovia);
            QTest::addRow("%s, %s", p.place, "adrovia") << "adrovia" << p.place << QString::fromUtf8(p.adrovia);
        }
    }
    void shownText()
    {
        QFETCH(QString, program);
        QFETCH(QString, place);
        QFETCH(QString, expected);
        becomeProgram(program);
        QCOMPARE(textAt(place), expected);
    }
};

QTEST_MAIN(TestProductTexts)
#include "tst_producttexts.moc"
