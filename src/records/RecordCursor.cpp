#include "records/RecordCursor.h"

namespace records {

void RecordCursor::reset(db::Recordset records)
{
    rs_ = std::move(records);
    position_ = -1;
    if (!isEmpty()) {
        rs_.moveFirst();
        position_ = qMax(0, rs_.absolutePosition());
    }
    announce();
}

void RecordCursor::close()
{
    rs_.close();
    rs_ = db::Recordset();
    position_ = -1;
    announce();
}

bool RecordCursor::isEmpty() const
{
    return !rs_.isOpen() || (rs_.bof() && rs_.eof()) || rs_.recordCount() == 0;
}

int RecordCursor::count() const
{
    return rs_.isOpen() ? rs_.recordCount() : 0;
}

db::Recordset& RecordCursor::record()
{
    if (position_ >= 0 && position_ < count() && rs_.absolutePosition() != position_)
        rs_.setAbsolutePosition(position_);
    return rs_;
}

int RecordCursor::moveTo(int position)
{
    if (isEmpty()) {
        position_ = -1;
    } else {
        rs_.setAbsolutePosition(qBound(0, position, count() - 1));
        // A record deleted by another window is stepped over.
        const int reached = rs_.absolutePosition();
        position_ = reached >= 0 ? reached : qBound(0, position, count() - 1);
    }
    announce();
    return position_;
}

void RecordCursor::follow()
{
    const int at = rs_.isOpen() ? rs_.absolutePosition() : -1;
    position_ = at >= 0 ? at : (isEmpty() ? -1 : qBound(0, position_, count() - 1));
    announce();
}

void RecordCursor::forEach(const std::function<void(db::Recordset&)>& visit)
{
    if (isEmpty())
        return;
    for (rs_.moveFirst(); !rs_.eof(); rs_.moveNext())
        visit(rs_);
    record();
}

void RecordCursor::announce()
{
    emit moved(position_, count());
}

} // namespace records
