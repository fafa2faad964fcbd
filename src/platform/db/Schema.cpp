#include "platform/db/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <sqlite3.h>

// Storage conventions the engine maps by declared type: VARCHAR(n)/TEXT text, INTEGER, DOUBLE,
// BOOLEAN (0/1), DATE ("yyyy-MM-dd"), DATETIME ("yyyy-MM-ddTHH:mm:ss"). Every base table is a
// rowid table; each saved query is a view whose first column "_rowid" is its base table's rowid,
// and "_query_base" names that base table, so that updates through a view reach the right row.

namespace db::schema {

namespace {

const QString kPersonTable = QStringLiteral("個人台帳");
const QString kCategoryTable = QStringLiteral("会員区分ｺｰﾄﾞ表");
const QString kTemplateTable = QStringLiteral("定型メール");
const QString kHistoryTable = QStringLiteral("電話履歴");

using Extras = QHash<QString, QString>;   // column name -> constraint text after the type

QString ident(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString identList(const QStringList& names)
{
    QStringList q;
    for (const QString& n : names)
        q << ident(n);
    return q.join(QLatin1Char(','));
}

enum class RowKey { Plain, Stable };

// A stable key is a hidden "_id" that is never given twice, so a recordset holding the keys of
// rows deleted elsewhere can never mistake a newer row for one of them.
QString createTableSql(const QString& table, const QList<FieldDef>& fields, const Extras& extras = {},
                       RowKey key = RowKey::Plain)
{
    QStringList cols;
    if (key == RowKey::Stable)
        cols << QStringLiteral("\"_id\" INTEGER PRIMARY KEY AUTOINCREMENT");
    for (const FieldDef& f : fields) {
        QString c = ident(f.name) + QLatin1Char(' ') + f.type;
        if (f.type == QLatin1String("VARCHAR"))
            c += QStringLiteral("(%1)").arg(f.size);
        if (extras.contains(f.name))
            c += QLatin1Char(' ') + extras.value(f.name);
        cols << c;
    }
    return QStringLiteral("CREATE TABLE %1(%2)").arg(ident(table), cols.join(QLatin1Char(',')));
}

QString indexSql(const QString& name, const QString& table, const QStringList& cols, bool unique = false)
{
    return QStringLiteral("CREATE %1INDEX %2 ON %3(%4)")
        .arg(unique ? QStringLiteral("UNIQUE ") : QString(), ident(name), ident(table), identList(cols));
}

FieldDef text(const QString& name, int size) { return {name, QStringLiteral("VARCHAR"), size}; }
FieldDef memo(const QString& name) { return {name, QStringLiteral("TEXT"), 0}; }
FieldDef integer(const QString& name) { return {name, QStringLiteral("INTEGER"), 0}; }
FieldDef number(const QString& name) { return {name, QStringLiteral("DOUBLE"), 0}; }
FieldDef boolean(const QString& name) { return {name, QStringLiteral("BOOLEAN"), 0}; }
FieldDef date(const QString& name) { return {name, QStringLiteral("DATE"), 0}; }
FieldDef dateTime(const QString& name) { return {name, QStringLiteral("DATETIME"), 0}; }

QList<FieldDef> buildPersonFields()
{
    // Sizes (characters) hold at least what the record window accepts (Shift-JIS bytes, never
    // fewer than characters); boxes without a limit get the largest ordinary text size.
    QList<FieldDef> f = {
        integer(QStringLiteral("会員NO")),
        date(QStringLiteral("登録日")),
        date(QStringLiteral("退会日")),
        integer(QStringLiteral("会員区分")),
        text(QStringLiteral("性別"), 1),
        text(QStringLiteral("状態"), 1),
        boolean(QStringLiteral("メール送信拒否")),
        text(QStringLiteral("フリガナ"), 255),
        text(QStringLiteral("氏名"), 255),
        date(QStringLiteral("生年月日")),
        integer(QStringLiteral("年齢")),
        text(QStringLiteral("誕生日"), 5),   // "mm/dd", the key of the birthday order
        text(QStringLiteral("郵便番号"), 50),
        text(QStringLiteral("都道府県"), 255),
        text(QStringLiteral("市町村"), 255),
        text(QStringLiteral("番地"), 128),
        text(QStringLiteral("住所2"), 128),
        text(QStringLiteral("自宅電話"), 50),
        text(QStringLiteral("自宅FAX"), 50),
        text(QStringLiteral("Eメール"), 128),
        text(QStringLiteral("携帯電話"), 255),
        text(QStringLiteral("携帯Eメール"), 128),
        text(QStringLiteral("職業"), 64),
        text(QStringLiteral("勤務先学校"), 64),
        text(QStringLiteral("職種専攻"), 64),
        text(QStringLiteral("学年"), 255),
    };
    for (int i = 1; i <= 10; ++i)
        f << number(QStringLiteral("数値%1").arg(i));
    f << text(QStringLiteral("趣味"), 255) << text(QStringLiteral("特技"), 255)
      << text(QStringLiteral("備考"), 255) << memo(QStringLiteral("記事"))
      << text(QStringLiteral("WebHome"), 255);
    return f;
}

// The 45 caption fields of "住所録ラベル", in the order of the settings window's boxes 0 to 44.
QStringList captionFieldNames()
{
    return {
        QStringLiteral("登録番号"), QStringLiteral("登録日"), QStringLiteral("登録区分"),
        QStringLiteral("フリガナ"), QStringLiteral("氏名"), QStringLiteral("生年月日"),
        QStringLiteral("郵便番号"), QStringLiteral("都道府県"), QStringLiteral("市町村"),
        QStringLiteral("番地"), QStringLiteral("ビル"), QStringLiteral("自宅電話"),
        QStringLiteral("Eメールアドレス"), QStringLiteral("職業"), QStringLiteral("勤務先"),
        QStringLiteral("職種"), QStringLiteral("学年"), QStringLiteral("携帯電話"),
        QStringLiteral("携帯メールアドレス"), QStringLiteral("趣味"), QStringLiteral("特技"),
        QStringLiteral("備考"), QStringLiteral("記事"), QStringLiteral("数値1"),
        QStringLiteral("数値2"), QStringLiteral("数値3"), QStringLiteral("数値4"),
        QStringLiteral("数値5"), QStringLiteral("趣味ヘッド"), QStringLiteral("特技ヘッド"),
        QStringLiteral("備考ヘッド"), QStringLiteral("退会日"), QStringLiteral("性別"),
        QStringLiteral("性別男"), QStringLiteral("性別女"), QStringLiteral("数値6"),
        QStringLiteral("状態"), QStringLiteral("状態会員"), QStringLiteral("状態休会"),
        QStringLiteral("状態退会"), QStringLiteral("自宅FAX"), QStringLiteral("数値7"),
        QStringLiteral("数値8"), QStringLiteral("数値9"), QStringLiteral("数値10"),
    };
}

struct QueryDef {
    QString name;
    QStringList order;   // sort keys of the base table, each ending with "会員NO"
};

const QList<QueryDef>& personQueries()
{
    static const QString no = QStringLiteral("会員NO");
    static const QString kana = QStringLiteral("フリガナ");
    static const QStringList address = {QStringLiteral("都道府県"), QStringLiteral("市町村"), QStringLiteral("番地")};
    static const QList<QueryDef> q = {
        {QStringLiteral("Q_個人台帳"), {no}},
        {QStringLiteral("Q_個人台帳登録日順"), {QStringLiteral("登録日"), kana, no}},
        {QStringLiteral("Q_個人台帳フリガナ順"), QStringList{kana} + address + QStringList{QStringLiteral("生年月日"), no}},
        // By the category code, so that the rows of one category stand together.
        {QStringLiteral("Q_個人台帳登録区分順"), QStringList{QStringLiteral("会員区分"), kana} + address + QStringList{no}},
        {QStringLiteral("Q_個人台帳生年月日順"), {QStringLiteral("生年月日"), kana, no}},
        {QStringLiteral("Q_個人台帳誕生日順"), {QStringLiteral("誕生日"), no}},
    };
    return q;
}

QStringList qualified(const QString& alias, const QStringList& cols)
{
    QStringList q;
    for (const QString& c : cols)
        q << alias + QLatin1Char('.') + ident(c);
    return q;
}

QStringList queryBaseRows(const QList<QPair<QString, QString>>& rows)
{
    QStringList sql{QStringLiteral("CREATE TABLE \"_query_base\"(query TEXT PRIMARY KEY, base TEXT NOT NULL)")};
    for (const auto& [query, base] : rows) {
        sql << QStringLiteral("INSERT INTO \"_query_base\"(query, base) VALUES('%1','%2')")
                   .arg(QString(query).replace(QLatin1Char('\''), QStringLiteral("''")),
                        QString(base).replace(QLatin1Char('\''), QStringLiteral("''")));
    }
    return sql;
}

QStringList commonDatabaseSql()
{
    const QList<FieldDef> settings = {
        text(QStringLiteral("com"), 10),
        boolean(QStringLiteral("プッシュ回線")),
        boolean(QStringLiteral("外線使用")),
        integer(QStringLiteral("外線番号")),
        boolean(QStringLiteral("付加番号使用")),
        text(QStringLiteral("付加番号"), 50),
        boolean(QStringLiteral("ダウンロード")),
        text(QStringLiteral("住所録画面"), 255),
    };
    const QList<FieldDef> eras = {text(QStringLiteral("和暦名称"), 20), date(QStringLiteral("年号"))};
    QStringList sql = {
        createTableSql(QStringLiteral("基本情報"), settings),
        // Port 1, push-button line, no outside line, no carrier prefix, no download.
        QStringLiteral("INSERT INTO \"基本情報\" VALUES('1',1,0,0,0,'',0,NULL)"),
        // The era start is the natural key; its order is the ascending order the lookups rely on.
        createTableSql(QStringLiteral("年号ｺｰﾄﾞ"), eras,
                       {{QStringLiteral("和暦名称"), QStringLiteral("NOT NULL")},
                        {QStringLiteral("年号"), QStringLiteral("NOT NULL PRIMARY KEY")}}),
        QStringLiteral("INSERT INTO \"年号ｺｰﾄﾞ\" VALUES('明治','1868-09-08'),('大正','1912-07-30'),"
                       "('昭和','1926-12-25'),('平成','1989-01-08'),('令和','2019-05-01')"),
    };
    sql << queryBaseRows({});
    return sql;
}

QStringList addressBookSql()
{
    const QString p = QStringLiteral("p");
    QStringList sql;

    sql << createTableSql(QStringLiteral("管理情報"),
                          {text(QStringLiteral("タイトル"), 255), text(QStringLiteral("表示順番"), 1),
                           boolean(QStringLiteral("区切文字セミコロン")), boolean(QStringLiteral("宛名挿入")),
                           text(QStringLiteral("敬称"), 1), text(QStringLiteral("メール選択"), 1),
                           boolean(QStringLiteral("携帯メール有無"))});

    QList<FieldDef> captions;
    for (const QString& n : captionFieldNames())
        captions << text(n, 255);
    sql << createTableSql(QStringLiteral("住所録ラベル"), captions)
        << QStringLiteral("INSERT INTO \"住所録ラベル\" DEFAULT VALUES");

    sql << createTableSql(kCategoryTable,
                          {integer(QStringLiteral("会員区分コード")), text(QStringLiteral("会員区分名称"), 255)},
                          {{QStringLiteral("会員区分コード"), QStringLiteral("PRIMARY KEY NOT NULL")}});

    // Numbers start at 0 as in a new table of the old engine; the record window stores the
    // computed age over a stored age of 0.
    Extras personExtras{{QStringLiteral("会員NO"), QStringLiteral("NOT NULL")},
                        {QStringLiteral("年齢"), QStringLiteral("DEFAULT 0")},
                        {QStringLiteral("メール送信拒否"), QStringLiteral("DEFAULT 0")}};
    for (int i = 1; i <= 10; ++i)
        personExtras.insert(QStringLiteral("数値%1").arg(i), QStringLiteral("DEFAULT 0"));
    // "会員NO" is not the rowid: the record window changes numbers, and the views address rows
    // by rowid.
    sql << createTableSql(kPersonTable, personFields(), personExtras, RowKey::Stable)
        << indexSql(kPersonTable + QStringLiteral("_会員NO"), kPersonTable, {QStringLiteral("会員NO")}, true);

    QList<QPair<QString, QString>> bases;
    const QList<QueryDef>& queries = personQueries();
    for (int i = 0; i < queries.size(); ++i) {
        const QueryDef& q = queries[i];
        if (i > 0)
            sql << indexSql(kPersonTable + QStringLiteral("_") + q.name.mid(QStringLiteral("Q_個人台帳").size()),
                            kPersonTable, q.order);
        sql << QStringLiteral("CREATE VIEW %1 AS SELECT p.rowid AS \"_rowid\", p.*, c.\"会員区分名称\" "
                              "FROM %2 AS p LEFT JOIN %3 AS c ON c.\"会員区分コード\" = p.\"会員区分\" "
                              "ORDER BY %4")
                   .arg(ident(q.name), ident(kPersonTable), ident(kCategoryTable),
                        qualified(p, q.order).join(QLatin1Char(',')));
        bases << qMakePair(q.name, kPersonTable);
    }

    QList<FieldDef> tmpl = {memo(QStringLiteral("宛名")), memo(QStringLiteral("メールアドレス")),
                            memo(QStringLiteral("CC")), text(QStringLiteral("件名"), 255),
                            memo(QStringLiteral("本文"))};
    for (int i = 1; i <= 5; ++i)
        tmpl << memo(QStringLiteral("添付%1").arg(i));   // full paths, of any length
    tmpl << text(QStringLiteral("対象者オプション"), 1) << text(QStringLiteral("宛先オプション"), 1)
         << text(QStringLiteral("宛名本文挿入オプション"), 1) << text(QStringLiteral("敬称オプション"), 1);
    sql << createTableSql(kTemplateTable, tmpl, {}, RowKey::Stable)
        // Rows in the order they were stored: a new template appears last.
        << QStringLiteral("CREATE VIEW \"Q_定型メール\" AS SELECT t.rowid AS \"_rowid\", t.* FROM %1 AS t ORDER BY t.rowid")
               .arg(ident(kTemplateTable));
    bases << qMakePair(QStringLiteral("Q_定型メール"), kTemplateTable);

    // "通話時間" is a duration held as a time of day, the way the old engine kept times.
    sql << createTableSql(kHistoryTable,
                          {integer(QStringLiteral("会員NO")), text(QStringLiteral("電話番号"), 255),
                           dateTime(QStringLiteral("開始時間")), dateTime(QStringLiteral("終了時間")),
                           dateTime(QStringLiteral("通話時間")), text(QStringLiteral("用件"), 255),
                           boolean(QStringLiteral("通話中止"))},
                          {}, RowKey::Stable)
        << indexSql(kHistoryTable + QStringLiteral("_会員NO"), kHistoryTable, {QStringLiteral("会員NO")})
        // Rows in the order they were stored: a call or memo added later follows the others.
        << QStringLiteral("CREATE VIEW \"Q_電話履歴\" AS SELECT h.rowid AS \"_rowid\", h.* FROM %1 AS h ORDER BY h.rowid")
               .arg(ident(kHistoryTable));
    bases << qMakePair(QStringLiteral("Q_電話履歴"), kHistoryTable);

    sql << queryBaseRows(bases);
    return sql;
}

class Creator {
public:
    explicit Creator(const QString& path) : path_(QFileInfo(path).absoluteFilePath()) {}
    ~Creator()
    {
        if (db_)
            sqlite3_close(db_);
        if (!done_ && opened_) {
            QFile::remove(path_);
            QFile::remove(path_ + QStringLiteral("-journal"));
        }
    }

    bool open(QString* error)
    {
        const QFileInfo fi(path_);
        if (fi.exists() || fi.isSymLink())
            return fail(error, QStringLiteral("%1 already exists; it is not replaced").arg(path_));
        const int rc = sqlite3_open_v2(QFile::encodeName(path_).constData(), &db_,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        opened_ = QFileInfo::exists(path_);
        if (rc != SQLITE_OK)
            return fail(error, QStringLiteral("cannot create %1: %2").arg(path_, message()));
        return true;
    }

    bool exec(const QString& sql, QString* error)
    {
        char* msg = nullptr;
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &msg) == SQLITE_OK)
            return true;
        const QString why = QString::fromUtf8(msg ? msg : "unknown error");
        sqlite3_free(msg);
        return fail(error, QStringLiteral("%1: %2 [%3]").arg(path_, why, sql));
    }

    bool execAll(const QStringList& statements, QString* error)
    {
        for (const QString& s : statements)
            if (!exec(s, error))
                return false;
        return true;
    }

    // Runs one statement with text parameters bound in order (a null QString binds Null).
    bool execBound(const QString& sql, const QStringList& params, QString* error)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return fail(error, QStringLiteral("%1: %2").arg(path_, message()));
        for (int i = 0; i < params.size(); ++i) {
            if (params[i].isNull()) {
                sqlite3_bind_null(st, i + 1);
                continue;
            }
            const QByteArray v = params[i].toUtf8();
            sqlite3_bind_text(st, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            return fail(error, QStringLiteral("%1: %2").arg(path_, message()));
        return true;
    }

    bool finish(QString* error)
    {
        if (!exec(QStringLiteral("COMMIT"), error))
            return false;
        const int rc = sqlite3_close(db_);
        db_ = nullptr;
        if (rc != SQLITE_OK)
            return fail(error, QStringLiteral("cannot close %1").arg(path_));
        done_ = true;
        return true;
    }

private:
    QString message() const { return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory"); }
    static bool fail(QString* error, const QString& why)
    {
        if (error)
            *error = why;
        return false;
    }

    QString path_;
    sqlite3* db_ = nullptr;
    bool opened_ = false;
    bool done_ = false;
};

} // namespace

QString personTableName() { return kPersonTable; }
QString historyTableName() { return kHistoryTable; }

const QList<FieldDef>& personFields()
{
    static const QList<FieldDef> fields = buildPersonFields();
    return fields;
}

QStringList personQueryNames()
{
    QStringList names;
    for (const QueryDef& q : personQueries())
        names << q.name;
    return names;
}

bool createCommonDatabase(const QString& path, QString* error)
{
    Creator c(path);
    return c.open(error) && c.exec(QStringLiteral("BEGIN"), error) && c.execAll(commonDatabaseSql(), error)
        && c.finish(error);
}

bool createAddressBook(const QString& path, const QString& title, QString* error)
{
    Creator c(path);
    // No separator ";", no name inserted, "様", internet mail, no mobile fallback.
    return c.open(error) && c.exec(QStringLiteral("BEGIN"), error) && c.execAll(addressBookSql(), error)
        && c.execBound(QStringLiteral("INSERT INTO \"管理情報\" VALUES(?,'1',0,0,'1','1',0)"), {title}, error)
        && c.finish(error);
}

} // namespace db::schema
