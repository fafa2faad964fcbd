#pragma once
// Tables, fields, indexes and saved queries of the two kinds of database file: the common
// database "共通情報.mdb" and an address book "*.mdb". The program itself only opens such files;
// tests, benchmarks and the demo maker create them here.

#include <QList>
#include <QString>
#include <QStringList>

namespace db::schema {

// A column of a base table: its name, its declared type ("INTEGER", "VARCHAR", "TEXT", "DOUBLE",
// "BOOLEAN", "DATE", "DATETIME") and, for VARCHAR, the characters it holds (0 otherwise); a longer
// text is refused with 3163.
struct FieldDef {
    QString name;
    QString type;
    int size = 0;
};

// Creates a new common database at path with its one "基本情報" row and the five eras of
// "年号ｺｰﾄﾞ". Refuses a path that already exists; leaves no file behind on failure.
bool createCommonDatabase(const QString& path, QString* error);

// Creates a new, empty address book at path: its one "管理情報" row (display order "1", the
// title, default mail options), its one "住所録ラベル" row (every caption Null, which means the
// built-in caption), no categories and no records. Refuses a path that already exists.
bool createAddressBook(const QString& path, const QString& title, QString* error);

// The base table behind the six "Q_個人台帳" queries.
QString personTableName();
// Its columns, in table order ("会員区分名称" is not among them: the queries join it).
const QList<FieldDef>& personFields();
// The base table behind "Q_電話履歴".
QString historyTableName();
// The six saved queries of the personal records, for "表示順番" "1" to "6".
QStringList personQueryNames();

} // namespace db::schema
