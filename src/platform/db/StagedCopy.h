#pragma once
// Internal to the engine: the copy of a snapshot made in steps.
//
// Its query stands on the next row to copy, in a read that stays open (so it reads the rows as
// they were at the opening) until every row is copied. A step is one INSERT ... SELECT from the
// open query itself, through the virtual table "kv_staged", with one statement prepared for the
// whole copy: a row costs what it costs in a plain CREATE TABLE ... AS SELECT and the hand-over
// of its values through the virtual table (one call each, no copy), not a statement run of its
// own.

#include "platform/db/Connection.h"

#include <memory>
#include <optional>
#include <vector>

namespace db {

// Most columns a copy in steps takes; a wider query is copied whole at its opening.
inline constexpr int kStagedColumns = 500;

// Gives a new connection the virtual table the steps read through.
void registerStagedCopies(sqlite3* db);

// Drops a snapshot's temporary table: now, or when the copies under way on its connection are
// done (SQLite drops no table while a read of the connection is open, and finishing the copies
// for it would make an order change copy its new snapshot whole, at once).
void dropSnapshotTable(const std::shared_ptr<Connection>& conn, const QString& table);

struct StagedCopy {
    std::shared_ptr<Connection> conn;  // first: it goes last
    std::unique_ptr<Stmt> source;
    sqlite3_stmt* insert = nullptr;
    QString table;  // the temporary table copied into, its rows numbered 1, 2, ... in the query's order
    int columns = 0;
    int copied = 0;
    int total = 0;
    bool haveRow = false;  // the query stands on a row not copied yet
    bool done = false;
    std::optional<Error> failure;
    std::optional<Error> sourceFailure;  // the query's own failure in the step under way

    // Prepares the step into table (made, with the query's columns) for a query of that many
    // columns; the query is then set up by the caller and stepped onto its first row by start().
    StagedCopy(std::shared_ptr<Connection> c, const QString& table, int columns);
    ~StagedCopy() { release(); }
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;

    std::vector<sqlite3_value*> values;  // the query's values of the row it stands on

    void release();
    // Steps the query onto its first row; false when it has none.
    bool start();
    // Copies the rows up to position n (exclusive); rows past the copy of a failed one fail.
    void copyUpTo(int n);
    // The step's read moves on: the row it stood on is in the copy. SQLite's result code.
    int advance();

private:
    void takeRow();
};

} // namespace db
