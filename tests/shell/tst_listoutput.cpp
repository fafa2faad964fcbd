#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "platform/text/Cp932.h"
#include "shell/Helpers.h"
#include "shell/ListOutput.h"

using namespace Module1;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One row per entry of rows; the last cell of each row gets kind "E", the others "C".
bool writeRows(const QString& base, const QList<QStringList>& rows)
{
    if (!BeginListOutput(base, 9, 4, 2, QString::fromUtf8("ＭＳ ゴシック"), 9))
        return false;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (!WriteListCell(int(i + 1), row.at(i), i + 1 == row.size() ? "E" : "C"))
                return false;
        }
    }
    return EndListOutput();
}

} // namespace

class TestListOutput : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fileForm_data();
    void fileForm();
    void kindDecidesTheRowEnd();
    void existingFileIsReplaced();
    void substitutedCellsAreCounted();
    void readsBackThroughTheCsvReader();
    void missingFolderIsReported();
    void onlyOneListAtATime();
    void callsWithoutAListFail();

private:
    QTemporaryDir* dir_ = nullptr;
    QString base_;
};

void TestListOutput::init()
{
    dir_ = new QTemporaryDir;
    QVERIFY(dir_->isValid());
    base_ = dir_->filePath(QStringLiteral("住所録"));
}

void TestListOutput::cleanup()
{
    EndListOutput();   // close whatever a failed test left open
    delete dir_;
    dir_ = nullptr;
}

void TestListOutput::fileForm_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text, empty, text with a comma")
        << QList<QStringList>{{"1", "", "a,b"}} << QByteArray("\"1\",,\"a,b\"\r\n");
    QTest::newRow("all cells empty") << QList<QStringList>{{"", "", ""}} << QByteArray(",, \r\n");
    QTest::newRow("last cell empty") << QList<QStringList>{{"x", ""}} << QByteArray("\"x\", \r\n");
    QTest::newRow("one-cell rows") << QList<QStringList>{{"a"}, {""}} << QByteArray("\"a\"\r\n \r\n");
    QTest::newRow("inner quote doubled")
        << QList<QStringList>{{"say \"hi\"", "\""}} << QByteArray("\"say \"\"hi\"\"\",\"\"\"\"\r\n");
    QTest::newRow("line break stays inside the quotes")
        << QList<QStringList>{{"a\r\nb", "c"}} << QByteArray("\"a\r\nb\",\"c\"\r\n");
    QTest::newRow("code page 932")
        << QList<QStringList>{{QString::fromUtf8("山田"), QString::fromUtf8("①ｱ")}}
        << QByteArray("\"\x8e\x52\x93\x63\",\"\x87\x40\xb1\"\r\n");
    // Typed on Linux, written as the full-width twins code page 932 holds, and not counted.
    QTest::newRow("wave dash and minus sign take their twins")
        << QList<QStringList>{{QString::fromUtf8("1\u301C2"), QString::fromUtf8("\u2212\u00A3")}}
        << QByteArray("\"1\x81\x60\x32\",\"\x81\x7c\x81\x92\"\r\n");
}

void TestListOutput::fileForm()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QByteArray, bytes);
    QVERIFY2(writeRows(base_, rows), qPrintable(ListOutputError()));
    QCOMPARE(readBytes(base_ + ".csv"), bytes);
    QCOMPARE(ListOutputSubstitutedCells(), 0);
}

void TestListOutput::kindDecidesTheRowEnd()
{
    QVERIFY(BeginListOutput(base_, 9, 4, 2, QString(), 9));
    QVERIFY(WriteListCell(7, "a", "X"));   // any kind but E/e is an inner cell
    QVERIFY(WriteListCell(1, "b", "e"));
    QVERIFY(WriteListCell(1, "c", "E"));
    QVERIFY(EndListOutput());
    QCOMPARE(readBytes(base_ + ".csv"), QByteArray("\"a\",\"b\"\r\n\"c\"\r\n"));
}

void TestListOutput::existingFileIsReplaced()
{
    const QString path = base_ + ".csv";
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("a much longer earlier list\r\nwith two lines\r\n");
    }
    QVERIFY(writeRows(base_, {{"new"}}));
    QCOMPARE(readBytes(path), QByteArray("\"new\"\r\n"));
}

void TestListOutput::substitutedCellsAreCounted()
{
    QVERIFY(writeRows(base_, {{QString::fromUtf8("😀"), "ok", QString::fromUtf8("𠮷田𠮷")}, {QString::fromUtf8("a😀")}}));
    QCOMPARE(ListOutputSubstitutedCells(), 3);
    QCOMPARE(readBytes(base_ + ".csv"), QByteArray("\"?\",\"ok\",\"?\x93\x63?\"\r\n\"a?\"\r\n"));

    // The count starts again with the next list.
    QVERIFY(writeRows(base_, {{"plain"}}));
    QCOMPARE(ListOutputSubstitutedCells(), 0);
}

void TestListOutput::readsBackThroughTheCsvReader()
{
    const QList<QStringList> rows{{"1", QString::fromUtf8("山田 \"太郎\""), "a,b"},
                                  {"2", QString::fromUtf8("一行目\r\n二行目"), "x"}};
    QVERIFY(writeRows(base_, rows));
    const text::ReadResult file = text::readCp932File(base_ + ".csv");
    QVERIFY2(file.ok, qPrintable(file.error));
    QCOMPARE(ReadCsvRecords(file.content), rows);
}

void TestListOutput::missingFolderIsReported()
{
    const QString base = dir_->filePath(QStringLiteral("missing/list"));
    QVERIFY(!BeginListOutput(base, 9, 4, 2, QString(), 9));
    QVERIFY(!ListOutputError().isEmpty());
    QVERIFY(!WriteListCell(1, "a", "E"));
    QVERIFY(!EndListOutput());
    QVERIFY(!QFileInfo::exists(base + ".csv"));
}

void TestListOutput::onlyOneListAtATime()
{
    const QString other = dir_->filePath(QStringLiteral("other"));
    QVERIFY(BeginListOutput(base_, 9, 4, 2, QString(), 9));
    QVERIFY(!BeginListOutput(other, 9, 4, 2, QString(), 9));
    QVERIFY(!ListOutputError().isEmpty());
    QVERIFY(WriteListCell(1, "still open", "E"));
    QVERIFY(EndListOutput());
    QCOMPARE(readBytes(base_ + ".csv"), QByteArray("\"still open\"\r\n"));
    QVERIFY(!QFileInfo::exists(other + ".csv"));
}

void TestListOutput::callsWithoutAListFail()
{
    QVERIFY(!WriteListCell(1, "a", "E"));
    QVERIFY(!ListOutputError().isEmpty());
    QVERIFY(!EndListOutput());
}

QTEST_GUILESS_MAIN(TestListOutput)
#include "tst_listoutput.moc"
