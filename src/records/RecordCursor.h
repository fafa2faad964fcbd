#pragma once
// The record window's position: which record of its records is the one on the screen. The
// scroll bar, the record list and the position label only mirror it, and every edit and command
// reaches the record through it, so the record shown is the record acted on.

#include "platform/db/Recordset.h"

#include <QObject>
#include <functional>

namespace records {

class RecordCursor : public QObject {
    Q_OBJECT
public:
    explicit RecordCursor(QObject* parent = nullptr) : QObject(parent) {}

    // Takes newly opened records and stands on the first one (nothing when they are empty).
    void reset(db::Recordset records);
    // Closes the records; the cursor is then empty.
    void close();

    bool isOpen() const { return rs_.isOpen(); }
    // No record at all: the records stand at their beginning and at their end at once.
    bool isEmpty() const;
    // Records now in the set, those added through it included.
    int count() const;
    // 0-based position of the record on the screen; -1 when there is none.
    int position() const { return position_; }

    // The records, standing on the cursor's record: a scan that moved them is undone first.
    db::Recordset& record();
    // The records as they stand, for scans that keep their own bookmark.
    db::Recordset& records() { return rs_; }

    // Moves to a position, kept within the records; returns the position reached.
    int moveTo(int position);
    // Stands on the record the records now stand on (after a find or an addition moved them).
    void follow();
    // Visits every record from the first, then stands on the cursor's record again.
    void forEach(const std::function<void(db::Recordset&)>& visit);

signals:
    // Any change of the position or of the count.
    void moved(int position, int count);

private:
    void announce();

    db::Recordset rs_;
    int position_ = -1;
};

} // namespace records
