#include "BookWriter.h"

#include "platform/db/Schema.h"

#include <QFile>
#include <QStringList>
#include <sqlite3.h>

namespace demo {

namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

class Statement {
public:
    Statement(sqlite3* db, const QString& sql)
    {
        ok_ = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st_, nullptr) == SQLITE_OK;
    }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return ok_; }

    void bind(int index1, const QVariant& v)
    {
        if (!v.isValid() || v.isNull()) {
            sqlite3_bind_null(st_, index1);
            return;
        }
        switch (v.typeId()) {
        case QMetaType::Bool:
            sqlite3_bind_int(st_, index1, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
            sqlite3_bind_int64(st_, index1, v.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(st_, index1, v.toDouble());
            break;
        case QMetaType::QDate:
            bindText(index1, v.toDate().toString(Qt::ISODate));
            break;
        default:
            bindText(index1, v.toString());
        }
    }

    // Runs the statement once and makes it ready for the next values.
    bool run()
    {
        const int rc = sqlite3_step(st_);
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
        return rc == SQLITE_DONE;
    }

private:
    void bindText(int index1, const QString& s)
    {
        const QByteArray u = s.toUtf8();
        sqlite3_bind_text(st_, index1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }

    sqlite3_stmt* st_ = nullptr;
    bool ok_ = false;
};

bool exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

bool fill(sqlite3* db, const BookContent& content, PersonGenerator& people,
          const std::function<void(const Person&)>& onRecord)
{
    Statement category(db, QStringLiteral("INSERT INTO \"会員区分ｺｰﾄﾞ表\"(\"会員区分コード\",\"会員区分名称\") VALUES(?,?)"));
    if (!category.ok())
        return false;
    for (const Category& c : categories()) {
        category.bind(1, c.code);
        category.bind(2, c.name);
        if (!category.run())
            return false;
    }

    for (const auto& [field, caption] : content.captions) {
        Statement st(db, QStringLiteral("UPDATE \"住所録ラベル\" SET %1 = ?").arg(quoted(field)));
        if (!st.ok())
            return false;
        st.bind(1, caption);
        if (!st.run())
            return false;
    }

    QStringList cols, marks;
    for (const auto& f : db::schema::personFields()) {
        cols << quoted(f.name);
        marks << QStringLiteral("?");
    }
    Statement insert(db, QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                             .arg(quoted(db::schema::personTableName()), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    if (!insert.ok())
        return false;
    for (int no = 1; no <= content.records; ++no) {
        const Person p = people.make(no);
        const QVariantList& values = p.values();
        for (int i = 0; i < values.size(); ++i)
            insert.bind(i + 1, values[i]);
        if (!insert.run())
            return false;
        if (onRecord)
            onRecord(p);
    }
    return true;
}

} // namespace

bool writeBook(const QString& path, const BookContent& content, PersonGenerator& people,
               const std::function<void(const Person&)>& onRecord, QString* error)
{
    if (!db::schema::createAddressBook(path, content.title, error))
        return false;
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    // The whole book is one transaction; the file is complete or not written at all.
    ok = ok && exec(db, "PRAGMA synchronous=OFF") && exec(db, "PRAGMA cache_size=-131072") && exec(db, "BEGIN") && fill(db, content, people, onRecord)
        && exec(db, "COMMIT");
    if (!ok && error)
        *error = QStringLiteral("cannot fill %1: %2").arg(path, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
    sqlite3_close(db);
    if (!ok)
        QFile::remove(path);
    return ok;
}

} // namespace demo
