#pragma once
// Recordsets with the semantics the windows rely on:
//  - Table:    the live rows of one table in its key order; rows added through it take their place.
//  - Dynaset:  the keys are taken at open, values are read live; a row added through it appears at
//              its end; a row deleted elsewhere is skipped by moves.
//  - Snapshot: the rows are copied at open and never change; read-only.
// The record count is exact from the moment of opening (plus rows added, less rows deleted, through it).

#include "platform/db/Criteria.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace db {

enum class RecordsetType { Table, Dynaset, Snapshot };
enum class EditMode { None, Edit, Add };

struct RecordsetImpl;
class Stmt;
enum class Kind;

struct Bookmark {
    qint64 key = 0;
    bool valid = false;
    bool operator==(const Bookmark& o) const { return valid == o.valid && key == o.key; }
};

// A value as text, as Recordset::text gives it: Null as "", dates as "yyyy/MM/dd", booleans as
// "True" / "False".
QString TextOf(const QVariant& value);

// A record read by Recordset::readWhere: its position and the values asked for.
struct PlacedRow {
    int position = -1;
    QVariantList values;
};

// The stored UTF-8 of a text written at out as UTF-16, exactly as the text value read from the
// book holds it (a leading byte-order mark kept, a broken sequence as U+FFFD); out has room for
// utf8.size() characters. Returns the end of what was written.
QChar* AppendStoredText(QChar* out, QByteArrayView utf8);

// One record's values of the fields a scan asked for, in their order, as Recordset::scanColumns
// hands them over: valid only during the visit.
class ScannedRow {
public:
    // The bytes of value i when it is a text stored in a text field, with no value made of them;
    // otherwise a null view (data() is nullptr).
    QByteArrayView storedText(int i) const;
    // Value i as Recordset::value gives it.
    QVariant value(int i) const;

private:
    friend class Recordset;
    const Stmt* stmt_ = nullptr;             // a row of a scan of the base table: values at 1..
    const std::vector<Kind>* kinds_ = nullptr; // the fields' kinds, for stmt_
    const QVariantList* values_ = nullptr;   // or the values read by readColumns
};

class Recordset {
public:
    Recordset() = default;

    bool isOpen() const;
    RecordsetType type() const;
    bool updatable() const;
    void close();

    bool bof() const;
    bool eof() const;
    int recordCount() const;
    // 0-based position of the current record; -1 at BOF, EOF or on a deleted record.
    int absolutePosition() const;
    void setAbsolutePosition(int position);

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(int rows);

    Bookmark bookmark() const;
    void setBookmark(const Bookmark& b);
    // The bookmark of the record at a position, without moving (a row deleted elsewhere keeps its
    // place and its bookmark; setBookmark then reports it). Position out of range: invalid.
    Bookmark bookmarkAt(int position) const;
    // The row last added or changed through this recordset.
    Bookmark lastModified() const;

    QStringList fieldNames() const;
    bool hasField(const QString& name) const;
    // Null is an invalid QVariant; the empty text is an empty QString. Unknown field: 3265.
    QVariant value(const QString& field) const;
    // The value as text, Null as the empty text.
    QString text(const QString& field) const;
    bool isNull(const QString& field) const;

    void edit();
    void addNew();
    // A value the field cannot hold fails with 3421; a text longer than its field's size (counted
    // in characters, a surrogate pair as one) with 3163. Either leaves the field as it was.
    void setValue(const QString& field, const QVariant& value);
    void update();
    void cancelUpdate();
    void deleteRecord();
    EditMode editMode() const;

    // Finds from the first / after the current / from the last / before the current record.
    // Without a match the position stays and noMatch() is true.
    bool findFirst(const Criteria& c);
    bool findNext(const Criteria& c);
    bool findLast(const Criteria& c);
    bool findPrevious(const Criteria& c);
    bool noMatch() const;

    // Finds and filters read the keys of the matching rows with one bound statement; the rows,
    // their order and the comparison (matches()) are those of reading every row in turn.
    // The filter applies to recordsets opened from this one, as on the old engine.
    void setFilter(const Criteria& c);
    Criteria filter() const;
    Recordset openRecordset() const;

    // A snapshot copied in steps (Database::openSnapshotInSteps): copies up to rows more of its
    // records; true while some are left to copy. Any other recordset: false.
    bool copyMore(int rows);

    // The values of a few fields for every record, in the recordset's order, read in bulk (a
    // list of 100,000 records reads only what it shows). A row deleted elsewhere gives an empty
    // list at its place. The current record does not change. Unknown field: 3265.
    QList<QVariantList> readColumns(const QStringList& fields) const;
    // The same for the records at positions from .. from + count - 1 (kept within the records).
    QList<QVariantList> readColumns(const QStringList& fields, int from, int count) const;
    // The positions, in order, of the records whose values of these fields satisfy matches
    // (handed the values in the order of fields). Records deleted elsewhere are left out.
    std::vector<int> positionsWhere(const QStringList& fields, const std::function<bool(const QVariantList&)>& matches) const;
    // The same for one field, for scans that look at the text of every record: a text stored in a
    // text field is handed to matchesText as its stored UTF-8 bytes, with no value made of it;
    // every other value (Null, a number, a record read otherwise) to matches, as positionsWhere does.
    std::vector<int> positionsWhereText(const QString& field, const std::function<bool(QByteArrayView)>& matchesText,
                                        const std::function<bool(const QVariantList&)>& matches) const;
    // Every record's values of these fields, handed to visit with the record's position, in no set
    // order (a large recordset over one table is read in the table's stored order, with no list of
    // the values made). Records deleted elsewhere are left out. Unknown field: 3265.
    void scanColumns(const QStringList& fields, const std::function<void(int, const ScannedRow&)>& visit) const;
    // The records from position `from` on that satisfy c (compared as the finds compare), in
    // order, each with the values of these fields: read with one bound statement where the source
    // allows it, so that the few records of a large book that match cost a few rows. Records
    // deleted elsewhere are left out. The current record does not change. Unknown field: 3265.
    std::vector<PlacedRow> readWhere(const Criteria& c, const QStringList& fields, int from = 0) const;

private:
    friend class Database;
    explicit Recordset(std::shared_ptr<RecordsetImpl> i) : d(std::move(i)) {}
    RecordsetImpl& impl() const;
    std::shared_ptr<RecordsetImpl> d;
};

} // namespace db
