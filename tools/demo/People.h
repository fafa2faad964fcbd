#pragma once
// Fictional people for demo address books: combinations of common family and given names,
// invented addresses, reserved example mail domains and telephone numbers no line can have.

#include <QDate>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QVariant>

namespace demo {

struct Category {
    int code;
    QString name;
};
const QList<Category>& categories();

// One personal record, its values in the column order of db::schema::personFields().
class Person {
public:
    Person();
    void set(const QString& field, const QVariant& value);
    QVariant get(const QString& field) const;
    const QVariantList& values() const { return values_; }

private:
    QVariantList values_;
};

// Makes the same people for the same seed and day.
class PersonGenerator {
public:
    PersonGenerator(quint32 seed, QDate today);
    Person make(int memberNo);

private:
    int pick(int n) { return int(rng_.bounded(n)); }
    QDate randomDate(QDate from, QDate to);

    QRandomGenerator rng_;
    QDate today_;
};

} // namespace demo
