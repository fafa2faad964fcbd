// The database schema of the common database and the address book, and the demo-folder maker.

#include "platform/db/Schema.h"
#include "platform/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

// A small direct connection, independent of the engine.
class Sql {
public:
    explicit Sql(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));
    }
    ~Sql() { sqlite3_close(db_); }

    // Rows of a statement, values bound in order; the result code lands in *rc.
    QList<QVariantList> rows(const QString& sql, const QVariantList& params = {}, int* rc = nullptr)
    {
        QList<QVariantList> out;
        sqlite3_stmt* st = nullptr;
        int r = sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr);
        if (r == SQLITE_OK) {
            for (int i = 0; i < params.size(); ++i) {
                const QVariant& v = params[i];
                if (v.isNull())
                    sqlite3_bind_null(st, i + 1);
                else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
                    sqlite3_bind_int64(st, i + 1, v.toLongLong());
                else
                    sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
            }
            while ((r = sqlite3_step(st)) == SQLITE_ROW) {
                QVariantList row;
                for (int c = 0; c < sqlite3_column_count(st); ++c) {
                    switch (sqlite3_column_type(st, c)) {
                    case SQLITE_NULL: row << QVariant(); break;
                    case SQLITE_INTEGER: row << QVariant(qint64(sqlite3_column_int64(st, c))); break;
                    case SQLITE_FLOAT: row << sqlite3_column_double(st, c); break;
                    default: row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
                    }
                }
                out << row;
            }
        }
        sqlite3_finalize(st);
        if (rc)
            *rc = r;
        else if (r != SQLITE_DONE)
            qWarning("%s: %s", qPrintable(sql), sqlite3_errmsg(db_));
        return out;
    }
    QVariant value(const QString& sql) { const auto r = rows(sql); return r.isEmpty() ? QVariant() : r[0].value(0); }
    QList<qint64> column(const QString& sql)
    {
        QList<qint64> out;
        for (const auto& r : rows(sql))
            out << r[0].toLongLong();
        return out;
    }
    QStringList columnNames(const QString& table)
    {
        QStringList names;
        for (const auto& r : rows(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table}))
            names << r[0].toString();
        return names;
    }

private:
    sqlite3* db_ = nullptr;
};

QString integrityCheck(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {path, QStringLiteral("PRAGMA integrity_check")});
    if (!p.waitForFinished(30000))
        return QStringLiteral("sqlite3 did not run: ") + p.errorString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

int runMaker(const QStringList& args, QString* output = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(KV_MAKE_DEMO), args);
    if (!p.waitForFinished(120000))
        return -1;
    if (output)
        *output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QStringList allQueryNames()
{
    return db::schema::personQueryNames() + QStringList{QStringLiteral("Q_定型メール"), QStringLiteral("Q_電話履歴")};
}

// Every saved query is a view over a base table, first column "_rowid", named in "_query_base".
void checkSavedQueries(Sql& db)
{
    QStringList views;
    for (const auto& r : db.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='view' ORDER BY name")))
        views << r[0].toString();
    QStringList expected = allQueryNames();
    expected.sort();
    QCOMPARE(views, expected);
    for (const QString& q : allQueryNames()) {
        const QString base = db.rows(QStringLiteral("SELECT base FROM _query_base WHERE query=?"), {q}).value(0).value(0).toString();
        QVERIFY2(db.value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='%1'").arg(base)).toInt() == 1,
                 qPrintable(q + QStringLiteral(" -> ") + base));
        QCOMPARE(db.columnNames(q).value(0), QStringLiteral("_rowid"));
    }
    QStringList person{QStringLiteral("_rowid"), QStringLiteral("_id")};
    for (const auto& f : db::schema::personFields())
        person << f.name;
    person << QStringLiteral("会員区分名称");
    for (const QString& q : db::schema::personQueryNames())
        QCOMPARE(db.columnNames(q), person);
}

} // namespace

class TestDemoMaker : public QObject {
    Q_OBJECT

private slots:
    void sampleFolder();
    void generatedBook();
    void viewOrders_data();
    void viewOrders();
    void memberNumberIsUnique();
    void refusesExistingFile_data();
    void refusesExistingFile();
};

void TestDemoMaker::sampleFolder()
{
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    QString out;
    QCOMPARE(runMaker({tmp.path()}, &out), 0);

    const QString common = root.filePath(QStringLiteral("共通情報/共通情報.mdb"));
    const QString book = root.filePath(QStringLiteral("サンプル住所録.mdb"));
    QVERIFY(!QImage(root.filePath(QStringLiteral("共通情報/default.png"))).isNull());
    // The record window takes the first file of the folder as the common picture.
    QCOMPARE(QDir(root.filePath(QStringLiteral("共通情報"))).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase).value(0),
             QStringLiteral("default.png"));
    QCOMPARE(integrityCheck(common), QStringLiteral("ok"));
    QCOMPARE(integrityCheck(book), QStringLiteral("ok"));

    QFile pm(root.filePath(QStringLiteral("PMPath.txt")));
    QVERIFY(pm.open(QIODevice::ReadOnly));
    QCOMPARE(pm.readAll(), text::encodeCp932(QFileInfo(book).absoluteFilePath()).bytes + "\r\n");

    {
        Sql c(common);
        const auto eras = c.rows(QStringLiteral("SELECT \"和暦名称\", \"年号\" FROM \"年号ｺｰﾄﾞ\""));
        const QList<QVariantList> expected = {
            {QStringLiteral("明治"), QStringLiteral("1868-09-08")}, {QStringLiteral("大正"), QStringLiteral("1912-07-30")},
            {QStringLiteral("昭和"), QStringLiteral("1926-12-25")}, {QStringLiteral("平成"), QStringLiteral("1989-01-08")},
            {QStringLiteral("令和"), QStringLiteral("2019-05-01")}};
        QCOMPARE(eras, expected);
        QCOMPARE(c.rows(QStringLiteral("SELECT com, \"外線使用\", \"付加番号使用\" FROM \"基本情報\"")),
                 (QList<QVariantList>{{QStringLiteral("1"), qint64(0), qint64(0)}}));
    }

    Sql b(book);
    checkSavedQueries(b);
    QCOMPARE(b.rows(QStringLiteral("SELECT \"タイトル\", \"表示順番\" FROM \"管理情報\"")),
             (QList<QVariantList>{{QStringLiteral("サンプル住所録"), QStringLiteral("1")}}));
    QCOMPARE(b.value(QStringLiteral("SELECT count(*) FROM \"住所録ラベル\"")).toInt(), 1);
    QCOMPARE(b.value(QStringLiteral("SELECT \"数値3\" FROM \"住所録ラベル\"")).toString(), QStringLiteral("合計金額"));
    QVERIFY(b.value(QStringLiteral("SELECT \"氏名\" FROM \"住所録ラベル\"")).isNull());

    const QList<qint64> numbers = b.column(QStringLiteral("SELECT \"会員NO\" FROM \"Q_個人台帳\""));
    QVERIFY(numbers.size() >= 24);
    const QSet<qint64> all(numbers.begin(), numbers.end());
    for (const QString& q : db::schema::personQueryNames()) {
        const QList<qint64> n = b.column(QStringLiteral("SELECT \"会員NO\" FROM \"%1\"").arg(q));
        QCOMPARE(QSet<qint64>(n.begin(), n.end()), all);
        QCOMPARE(n.size(), numbers.size());
    }
    QCOMPARE(b.value(QStringLiteral("SELECT count(*) FROM \"Q_個人台帳\" WHERE \"会員区分名称\" IS NULL")).toInt(), 0);

    // Fields hold what the windows expect of them.
    const QRegularExpression mail(QStringLiteral("^[a-z]+\\.[a-z]+\\d+@(mobile\\.)?example\\.(jp|com)$"));
    int withPictures = 0;
    for (const auto& r : b.rows(QStringLiteral("SELECT \"会員NO\", \"生年月日\", \"誕生日\", \"フリガナ\", \"Eメール\", \"携帯Eメール\", "
                                               "\"登録日\", \"都道府県\", \"市町村\", \"番地\" FROM \"個人台帳\""))) {
        const QString no = QString::number(r[0].toLongLong());
        const QDate birth = QDate::fromString(r[1].toString(), Qt::ISODate);
        QCOMPARE(r[2].toString(), r[1].isNull() ? QString() : birth.toString(QStringLiteral("MM/dd")));
        QVERIFY2(QRegularExpression(QStringLiteral("^[\\x{FF61}-\\x{FF9F} ]+$")).match(r[3].toString()).hasMatch(), qPrintable(no));
        for (int i : {4, 5})
            QVERIFY2(r[i].isNull() || mail.match(r[i].toString()).hasMatch(), qPrintable(r[i].toString()));
        QVERIFY(QDate::fromString(r[6].toString(), Qt::ISODate).isValid());
        QVERIFY(!r[7].toString().isEmpty() && !r[8].toString().isEmpty() && !r[9].toString().isEmpty());
        const QDir folder(root.filePath(QStringLiteral("サンプル住所録/") + no));
        QVERIFY2(folder.exists(QStringLiteral("Preview")), qPrintable(folder.path()));
        if (folder.exists(QStringLiteral("photo1.png"))) {
            ++withPictures;
            QVERIFY(!QImage(folder.filePath(QStringLiteral("photo1.png"))).isNull());
            QVERIFY(!QImage(folder.filePath(QStringLiteral("Preview/sn_photo1.png"))).isNull());
        }
    }
    QVERIFY(withPictures >= 3);

    // A second run keeps the existing book and says so.
    const QByteArray before = [&] { QFile f(book); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    QVERIFY(runMaker({tmp.path()}, &out) != 0);
    QVERIFY2(out.contains(QStringLiteral("already exists")), qPrintable(out));
    QFile after(book);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void TestDemoMaker::generatedBook()
{
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    constexpr int n = 5000;
    QCOMPARE(runMaker({tmp.path(), QStringLiteral("--records"), QString::number(n), QStringLiteral("--book"), QStringLiteral("大量")}), 0);
    const QString book = root.filePath(QStringLiteral("大量.mdb"));
    QCOMPARE(integrityCheck(book), QStringLiteral("ok"));
    QCOMPARE(integrityCheck(root.filePath(QStringLiteral("共通情報/共通情報.mdb"))), QStringLiteral("ok"));
    QVERIFY(QFileInfo(root.filePath(QStringLiteral("大量"))).isDir());
    QFile pm(root.filePath(QStringLiteral("PMPath.txt")));
    QVERIFY(pm.open(QIODevice::ReadOnly));
    QCOMPARE(pm.readAll(), text::encodeCp932(QFileInfo(book).absoluteFilePath()).bytes + "\r\n");

    Sql b(book);
    QCOMPARE(b.value(QStringLiteral("SELECT \"タイトル\" FROM \"管理情報\"")).toString(), QStringLiteral("大量"));
    QCOMPARE(b.rows(QStringLiteral("SELECT count(*), min(\"会員NO\"), max(\"会員NO\"), count(DISTINCT \"会員NO\") FROM \"個人台帳\"")),
             (QList<QVariantList>{{qint64(n), qint64(1), qint64(n), qint64(n)}}));
    // Each order is read straight from an index, without sorting the whole book.
    for (const QString& q : allQueryNames()) {
        for (const auto& r : b.rows(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM \"%1\"").arg(q)))
            QVERIFY2(!r.last().toString().contains(QStringLiteral("TEMP B-TREE")), qPrintable(q + QStringLiteral(": ") + r.last().toString()));
    }
}

void TestDemoMaker::viewOrders_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<qint64>>("numbers");
    // Fixture below: ties on the first keys are decided by the later ones, Null first.
    QTest::newRow("number") << QStringLiteral("Q_個人台帳") << QList<qint64>{1, 3, 5, 7, 8, 12};
    QTest::newRow("registration date, reading") << QStringLiteral("Q_個人台帳登録日順") << QList<qint64>{12, 3, 7, 8, 5, 1};
    QTest::newRow("reading, address, birth date") << QStringLiteral("Q_個人台帳フリガナ順") << QList<qint64>{7, 3, 8, 1, 5, 12};
    QTest::newRow("category, reading, address") << QStringLiteral("Q_個人台帳登録区分順") << QList<qint64>{7, 3, 12, 8, 5, 1};
    QTest::newRow("birth date, reading") << QStringLiteral("Q_個人台帳生年月日順") << QList<qint64>{3, 7, 8, 1, 5, 12};
    QTest::newRow("birthday") << QStringLiteral("Q_個人台帳誕生日順") << QList<qint64>{3, 12, 1, 5, 7, 8};
}

void TestDemoMaker::viewOrders()
{
    QFETCH(QString, query);
    QFETCH(QList<qint64>, numbers);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("順序.mdb"));
    QString error;
    QVERIFY2(db::schema::createAddressBook(path, QStringLiteral("順序"), &error), qPrintable(error));
    Sql db(path);
    checkSavedQueries(db);
    db.rows(QStringLiteral("INSERT INTO \"会員区分ｺｰﾄﾞ表\" VALUES(1,'友人'),(2,'家族')"));
    const QString insert = QStringLiteral(
        "INSERT INTO \"個人台帳\"(\"会員NO\",\"登録日\",\"フリガナ\",\"都道府県\",\"市町村\",\"番地\",\"生年月日\",\"会員区分\",\"誕生日\") "
        "VALUES(?,?,?,?,?,?,?,?,?)");
    const QList<QVariantList> people = {
        {5, "2020-01-01", "ｲﾄｳ", "東京都", "A", "1", "1980-05-05", 2, "05/05"},
        {3, "2019-06-01", "ｱﾍﾞ", "大阪府", "B", "2", QVariant(), 1, ""},
        {8, "2020-01-01", "ｱﾍﾞ", "大阪府", "B", "2", "1975-12-01", 2, "12/01"},
        {1, "2021-03-03", "ｲﾄｳ", "北海道", "C", "3", "1980-05-05", 99, "05/05"},   // no such category
        {12, QVariant(), "ｳｴﾀﾞ", "東京都", "A", "1", "1990-01-20", 1, "01/20"},
        {7, "2019-06-01", "ｱﾍﾞ", "大阪府", "B", "1", "1975-12-01", 1, "12/01"},
    };
    for (const QVariantList& p : people) {
        int rc = 0;
        db.rows(insert, p, &rc);
        QCOMPARE(rc, SQLITE_DONE);
    }

    QList<qint64> got;
    for (const auto& r : db.rows(QStringLiteral("SELECT _rowid, \"会員NO\", \"会員区分名称\" FROM \"%1\"").arg(query))) {
        got << r[1].toLongLong();
        // "_rowid" names the base row.
        QCOMPARE(db.rows(QStringLiteral("SELECT \"会員NO\" FROM \"個人台帳\" WHERE rowid = ?"), {r[0]}).value(0).value(0), r[1]);
        QCOMPARE(r[2].isNull(), r[1].toLongLong() == 1);
    }
    QCOMPARE(got, numbers);
}

void TestDemoMaker::memberNumberIsUnique()
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("一意.mdb"));
    QString error;
    QVERIFY2(db::schema::createAddressBook(path, QString(), &error), qPrintable(error));
    Sql db(path);
    QVERIFY(db.value(QStringLiteral("SELECT \"タイトル\" FROM \"管理情報\"")).isNull());
    int rc = 0;
    db.rows(QStringLiteral("INSERT INTO \"個人台帳\"(\"会員NO\",\"氏名\") VALUES(1,'一')"), {}, &rc);
    QCOMPARE(rc, SQLITE_DONE);
    db.rows(QStringLiteral("INSERT INTO \"個人台帳\"(\"会員NO\",\"氏名\") VALUES(1,'二')"), {}, &rc);
    QCOMPARE(rc, SQLITE_CONSTRAINT);
    db.rows(QStringLiteral("INSERT INTO \"個人台帳\"(\"会員NO\") VALUES(2)"), {}, &rc);
    QCOMPARE(rc, SQLITE_DONE);
    db.rows(QStringLiteral("UPDATE \"個人台帳\" SET \"会員NO\" = 1 WHERE \"会員NO\" = 2"), {}, &rc);
    QCOMPARE(rc, SQLITE_CONSTRAINT);
    // A new record starts with the defaults of the old engine's new table.
    QCOMPARE(db.rows(QStringLiteral("SELECT \"年齢\", \"数値1\", \"数値10\", \"メール送信拒否\", \"フリガナ\" FROM \"Q_個人台帳\" WHERE \"会員NO\" = 2")),
             (QList<QVariantList>{{qint64(0), 0.0, 0.0, qint64(0), QVariant()}}));
}

void TestDemoMaker::refusesExistingFile_data()
{
    QTest::addColumn<bool>("common");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("common database over a text file") << true << QByteArray("not a database\n");
    QTest::newRow("address book over a text file") << false << QByteArray("not a database\n");
    QTest::newRow("common database over an empty file") << true << QByteArray();
    QTest::newRow("address book over an empty file") << false << QByteArray();
}

void TestDemoMaker::refusesExistingFile()
{
    QFETCH(bool, common);
    QFETCH(QByteArray, content);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("既存.mdb"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    QString error;
    const bool made = common ? db::schema::createCommonDatabase(path, &error)
                             : db::schema::createAddressBook(path, QStringLiteral("題"), &error);
    QVERIFY(!made);
    QVERIFY(error.contains(QStringLiteral("already exists")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content);

    // A folder that does not exist fails and leaves nothing behind.
    const QString missing = tmp.filePath(QStringLiteral("無い/新.mdb"));
    QVERIFY(!(common ? db::schema::createCommonDatabase(missing, &error) : db::schema::createAddressBook(missing, {}, &error)));
    QVERIFY(!QFileInfo::exists(missing));
}

QTEST_GUILESS_MAIN(TestDemoMaker)
#include "tst_demomaker.moc"
