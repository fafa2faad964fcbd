#include <QTest>

#include "shell/Helpers.h"

using namespace Module1;

using Records = QList<QStringList>;

class TestCsv : public QObject {
    Q_OBJECT
private slots:
    void csvField_data();
    void csvField();
    void readCsvRecords_data();
    void readCsvRecords();
    void recordsMatchFieldsLineByLine();
};

void TestCsv::csvField_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, const char* line, int n, const char* expected, QChar sep = u',') {
        QTest::newRow(name) << QString::fromUtf8(line) << sep << n << QString::fromUtf8(expected);
    };
    row("a,,b first", "a,,b", 1, "a");
    row("a,,b empty between separators", "a,,b", 2, "");
    row("a,,b last", "a,,b", 3, "b");
    row("fewer fields than n", "a,,b", 4, "");
    row("empty after separator at end", "a,", 2, "");
    row("field 0", "a,b", 0, "");
    row("empty line", "", 1, "");
    row("quoted separator", "\"x,y\",z", 1, "x,y");
    row("field after a quoted one", "\"x,y\",z", 2, "z");
    row("doubled quotes read as one", "\"a\"\"b\",c", 1, "a\"b");
    row("two adjacent doubled quotes", "\"x\"\"\"\"y\"", 1, "x\"\"y");
    row("quoted quote only", "\"\"\"\",b", 1, "\"");
    row("empty quoted field", "\"\",b", 1, "");
    row("field after empty quoted one", "\"\",b", 2, "b");
    row("character after closing quote is the separator", "\"a\"x,b", 2, "");
    row("field after the taken separator", "\"a\"x,b", 3, "b");
    row("no closing quote runs to the end", "\"abc,def", 1, "abc,def");
    row("nothing after an unclosed field", "\"abc,def", 2, "");
    row("quote inside an unquoted field", "a\"b,c", 1, "a\"b");
    row("quoted line break", "\"x\r\ny\",z", 1, "x\r\ny");
    row("kanji", "\"山田\",太郎", 2, "太郎");
    row("tab separator", "a\tb,c", 2, "b,c", u'\t');
}

void TestCsv::csvField()
{
    QFETCH(QString, line);
    QFETCH(QChar, sep);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(CsvField(line, n, sep), expected);
}

void TestCsv::readCsvRecords_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<Records>("records");
    QTest::newRow("CR LF lines") << QStringLiteral("a,b\r\nc,d\r\n") << Records{{"a", "b"}, {"c", "d"}};
    QTest::newRow("LF and CR lines") << QStringLiteral("a\nb\rc") << Records{{"a"}, {"b"}, {"c"}};
    QTest::newRow("empty line kept") << QStringLiteral("a\r\n\r\nb") << Records{{"a"}, {""}, {"b"}};
    QTest::newRow("empty content") << QString() << Records{};
    QTest::newRow("quoted CR LF stays in the cell")
        << QStringLiteral("\"x\r\ny\",z\r\nq") << Records{{"x\r\ny", "z"}, {"q"}};
    QTest::newRow("quoted LF stays in the cell")
        << QStringLiteral("1,\"x\ny\"\n2") << Records{{"1", "x\ny"}, {"2"}};
    QTest::newRow("doubled quotes") << QStringLiteral("\"a\"\"b\"\r\n") << Records{{"a\"b"}};
    QTest::newRow("closing quote ends the record")
        << QStringLiteral("\"a\"\r\nb") << Records{{"a"}, {"b"}};
    QTest::newRow("separator at end of line")
        << QStringLiteral("a,\r\nb") << Records{{"a", ""}, {"b"}};
    QTest::newRow("list output rows")
        << QStringLiteral("\"1\",,\"a,b\"\r\n,, \r\n") << Records{{"1", "", "a,b"}, {"", "", " "}};
    QTest::newRow("unclosed quote runs to the end of its line")
        << QStringLiteral("\"abc,d\r\ne,f") << Records{{"abc,d"}, {"e", "f"}};
}

void TestCsv::readCsvRecords()
{
    QFETCH(QString, content);
    QFETCH(Records, records);
    QCOMPARE(ReadCsvRecords(content), records);
}

// A file without quoted line breaks reads as CsvField reads it line by line.
void TestCsv::recordsMatchFieldsLineByLine()
{
    const QStringList lines{
        "a,,b", "a,", "", "\"x,y\",z", "\"a\"\"b\",c", "\"a\"x,b", "a\"b,c", ",, ", QString::fromUtf8("\"山田\",太郎"),
        "\"abc,def",   // an unclosed quote, on the last line so no later quote can close it
    };
    for (const QString& lineEnd : {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")}) {
        const Records records = ReadCsvRecords(lines.join(lineEnd) + lineEnd);
        QCOMPARE(records.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            for (int n = 1; n <= records.at(i).size() + 1; ++n)
                QCOMPARE(records.at(i).value(n - 1), CsvField(lines.at(i), n, u','));
        }
    }
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
