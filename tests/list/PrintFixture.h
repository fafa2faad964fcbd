#pragma once
// Small address books for the printing tests, written straight into a new book file, and the
// places the layouts put each line (in twips from the printable area's top left corner).

#include "platform/db/Database.h"
#include "platform/db/Schema.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtTest>

namespace printfixture {

// The six fields a layout reads; a Null value is an invalid QVariant.
struct Person {
    QVariant zip, prefecture, city, street, address2, name;
};

// Person k of a generated book: every field set, every text telling whose it is.
inline Person person(int k)
{
    return Person{QStringLiteral("100-%1").arg(k, 4, 10, QLatin1Char('0')), QStringLiteral("東京都"),
                  QStringLiteral("千代田区%1").arg(k), QStringLiteral("丸の内%1-1").arg(k),
                  QStringLiteral("ビル%1階").arg(k), QStringLiteral("山田%1").arg(k)};
}

inline QList<Person> people(int n)
{
    QList<Person> out;
    for (int k = 0; k < n; ++k)
        out << person(k);
    return out;
}

// A new book at path holding the people with the record numbers 1, 2, ... in that order.
inline bool writeBook(const QString& path, const QList<Person>& persons, const QString& title = QStringLiteral("テスト住所録"))
{
    QString error;
    if (!db::schema::createAddressBook(path, title, &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    db::Database d = db::Database::open(path);
    d.beginTrans();
    for (int k = 0; k < persons.size(); ++k) {
        const Person& p = persons[k];
        d.execute(QStringLiteral("INSERT INTO \"%1\"(\"会員NO\", \"郵便番号\", \"都道府県\", \"市町村\", \"番地\", "
                                 "\"住所2\", \"氏名\", \"フリガナ\") VALUES(?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(db::schema::personTableName()),
                  {k + 1, p.zip, p.prefecture, p.city, p.street, p.address2, p.name, QStringLiteral("ﾃｽﾄ")});
    }
    d.commitTrans();
    return true;
}

inline QString textOf(const QVariant& v) { return v.isNull() ? QString() : v.toString(); }

// One line as the layouts draw it.
struct Line {
    int page = 0;
    double x = 0;   // twips
    double y = 0;
    double size = 0;
    QString text;
    QString key() const { return QStringLiteral("p%1 x%2 y%3 %4pt %5").arg(page).arg(x).arg(y).arg(size).arg(text); }
};

// The lines of the L-th label printed (from 0): 20 a page, the left column first, 10 labels of
// 7 lines each from 3 lines below the top; the left edges 10 and 68 cells of 100 twips.
inline QList<Line> labelLines(int L, const Person& p)
{
    const int page = L / 20 + 1, column = (L % 20) / 10, row = L % 10;
    const double left = 1000 + 5800 * column, top = 600 + 1400 * row;
    QList<Line> out;
    if (!textOf(p.zip).isEmpty())
        out << Line{page, left, top, 10, textOf(p.zip)};
    out << Line{page, left, top + 200, 10, textOf(p.prefecture) + textOf(p.city) + textOf(p.street)};
    if (!textOf(p.address2).isEmpty())
        out << Line{page, left, top + 400, 10, textOf(p.address2)};
    if (!textOf(p.name).isEmpty())
        out << Line{page, left + 100, top + 800, 10, textOf(p.name) + QStringLiteral("　様")};
    return out;
}

// The lines of a postcard on its page: 15 lines below the top, 10 cells in; the name at 12
// point after 5 cells of 120 twips.
inline QList<Line> postcardLines(int page, const Person& p)
{
    QList<Line> out;
    if (!textOf(p.zip).isEmpty())
        out << Line{page, 1000, 3000, 10, textOf(p.zip)};
    out << Line{page, 1000, 3200, 10, textOf(p.prefecture) + textOf(p.city) + textOf(p.street)};
    if (!textOf(p.address2).isEmpty())
        out << Line{page, 1000, 3400, 10, textOf(p.address2)};
    if (!textOf(p.name).isEmpty())
        out << Line{page, 1600, 3800, 12, textOf(p.name) + QStringLiteral("　様")};
    return out;
}

// The lines of a whole run that prints the given people in this order.
inline QList<Line> expectedLines(bool labels, const QList<Person>& printed)
{
    QList<Line> out;
    for (int k = 0; k < printed.size(); ++k)
        out << (labels ? labelLines(k, printed[k]) : postcardLines(k + 1, printed[k]));
    return out;
}

} // namespace printfixture
