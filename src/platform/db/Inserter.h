#pragma once
// Adds many rows to one table: what a recordset's add, assign and update do for a row, without
// a recordset's keys and caches. Values are converted as a recordset converts them, fields left
// unset take the table's defaults, and rows of the same shape reuse one prepared statement.

#include "platform/db/Database.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace db {

struct InserterImpl;

class Inserter {
public:
    enum class Indexes {
        Kept,      // every index is kept up to date row by row
        // For loading many rows into an emptied table, inside a transaction: the indexes that
        // refuse no value are dropped and built again, at once, by finish(). Unique indexes stay,
        // so a duplicate key is still refused row by row.
        RebuiltAtFinish,
    };

    // The table's columns are read once; a table that does not exist fails with 3078.
    Inserter(const Database& db, const QString& table, Indexes indexes = Indexes::Kept);
    ~Inserter();
    Inserter(Inserter&&) noexcept;

    // The index of a field of the table, by its name as a recordset finds it. Unknown field: 3265.
    int field(const QString& name) const;
    // Sets a field of the row being built; a value the field cannot hold fails with 3421, a text
    // longer than the field's size (in characters) with 3163, and either leaves the field as it was.
    void setValue(int field, const QVariant& value);
    void setValue(const QString& name, const QVariant& value) { setValue(field(name), value); }
    // Stores the row and starts the next one; returns the new row's key. A duplicate key fails
    // with 3022. Whether it succeeds or not, the next row starts with no field set.
    qint64 insert();
    // Drops what was set for the row being built.
    void clear();
    // Builds the indexes dropped at the start again; call it before the transaction commits.
    // (Should it not be called, the indexes are built again when the inserter goes.)
    void finish();

private:
    std::unique_ptr<InserterImpl> d;
};

} // namespace db
