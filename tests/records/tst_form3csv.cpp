// The record window's CSV commands: the export beside the book, and the import that reads the
// whole file first, asks, and replaces or adds in one go.

#include "RecordsFixture.h"
#include "platform/text/Cp932.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Form3.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>

using fixture::scalar;
using fixture::shown;

class TestForm3Csv : public QObject, private fixture::WindowCase {
    Q_OBJECT
    QString csvPath() const { return dir->filePath(QStringLiteral("サンプル住所録.csv")); }
    int count() const { return scalar(book, QStringLiteral("SELECT count(*) FROM \"個人台帳\"")).toInt(); }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup() { dropFolder(); }

    void exportAsksAndWritesBesideTheBook()
    {
        auto w = load();
        w->hScroll1()->setValue(5);
        QCOMPARE(w->cursor().position(), 5);
        dialogs->queueAnswer(ui::Answer::No);
        w->Command9_Click(4);
        QVERIFY(!QFile::exists(csvPath()));
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command9_Click(4);
        QCOMPARE(dialogs->shown().last().text, QString("同一ファイル名でＣＳＶ形式ファイルを作成します　よろしいですか？"));
        QCOMPARE(dialogs->shown().last().title, QString("ＣＳＶファイル形式出力"));
        const QStringList lines = text::readCp932File(csvPath()).content.split("\r\n");
        QCOMPARE(lines.size(), count() + 2);  // the header, the records, and nothing after the last line end
        QCOMPARE(w->cursor().position(), 5);  // the record on the screen stays
        QCOMPARE(w->cursor().record().value("会員NO").toInt(), shown(w.get(), "Text1_0").toInt());
    }

    void importReplacesTheBookFromItsOwnExport()
    {
        auto w = load();
        const int before = count();
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command9_Click(4);
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"氏名\" = 'x'"));
        dialogs->queueFile(csvPath());
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command9_Click(6);
        QCOMPARE(dialogs->fileDialogs().last().title, QString("入力ＣＳＶデータパス問い合わせ"));
        QCOMPARE(dialogs->shown().at(dialogs->shown().size() - 2).title, QString("ＣＳＶ形式ファイル読込"));
        QCOMPARE(dialogs->shown().last().text, QString("%1 件のデータを読み込みました。").arg(before));
        QCOMPARE(count(), before);
        QCOMPARE(scalar(book, QStringLiteral("SELECT count(*) FROM \"個人台帳\" WHERE \"氏名\" = 'x'")).toInt(), 0);
        QCOMPARE(w->cursor().position(), 0);
        QCOMPARE(w->cursor().count(), before);
        QCOMPARE(shown(w.get(), "Text1_0"), QString("00000001"));
    }

    void importWithNoAddsOnlyNewNumbers()
    {
        auto w = load();
        const int before = count();
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command9_Click(4);
        dialogs->queueFile(csvPath());
        dialogs->queueAnswer(ui::Answer::No);
        w->Command9_Click(6);
        QCOMPARE(count(), before);
        const QString report = dialogs->shown().last().text;
        QVERIFY(report.startsWith("0 件のデータを読み込みました。"));
        QVERIFY(report.contains(QString("読み込まなかった行：%1 件").arg(before)));
        QVERIFY(report.contains("2 行目：登録番号 1 は登録済みです"));
    }

    // A cancel of the export's progress leaves the file that was there as it was.
    void cancelledExportKeepsTheEarlierFile()
    {
        auto w = load();
        QFile earlier(csvPath());
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier\r\n");
        earlier.close();
        dialogs->queueAnswer(ui::Answer::Yes);
        dialogs->queueProgressCancel(3);
        w->Command9_Click(4);
        QCOMPARE(dialogs->progresses().size(), 1);
        QCOMPARE(dialogs->progresses().first().maximum, count());
        QVERIFY(dialogs->progresses().first().cancelled);
        QCOMPARE(dialogs->shown().last().text, QString("ＣＳＶファイルの作成を取り消しました。"));
        QFile after(csvPath());
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), QByteArray("earlier\r\n"));
        QCOMPARE(QDir(dir->path()).entryList({"*.csv*"}, QDir::Files | QDir::Hidden), QStringList{"サンプル住所録.csv"});
    }

    // A cancel of the import's progress rolls it back: the replaced records are all still there.
    void cancelledImportLeavesTheBookAsItWas()
    {
        auto w = load();
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command9_Click(4);
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"氏名\" = 'x'"));
        const int before = count();
        dialogs->queueFile(csvPath());
        dialogs->queueAnswer(ui::Answer::Yes);
        dialogs->queueProgressCancel(2);
        w->Command9_Click(6);
        QCOMPARE(dialogs->shown().last().text, QString("ＣＳＶファイルの読み込みを取り消しました。住所録は変更されていません。"));
        QCOMPARE(count(), before);
        QCOMPARE(scalar(book, QStringLiteral("SELECT count(*) FROM \"個人台帳\" WHERE \"氏名\" = 'x'")).toInt(), before);
        QCOMPARE(w->cursor().count(), before);
        QCOMPARE(w->windowDb().transactionLevel(), 0);
    }

    void cancelOrAnUnreadableFileChangesNothing()
    {
        auto w = load();
        const int before = count();
        dialogs->queueFile(std::nullopt);
        w->Command9_Click(6);
        QVERIFY(Module1::DialogCancelled);
        QVERIFY(dialogs->shown().isEmpty());
        dialogs->queueFile(dir->filePath("missing.csv"));
        w->Command9_Click(6);
        QCOMPARE(dialogs->shown().size(), 1);  // the reason, and no question
        QVERIFY(dialogs->shown().first().text.startsWith("ＣＳＶファイルを読み込めません。"));
        QCOMPARE(count(), before);
    }
};

QTEST_MAIN(TestForm3Csv)
#include "tst_form3csv.moc"
