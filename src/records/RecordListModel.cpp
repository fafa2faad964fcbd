#include "records/RecordListModel.h"

#include "platform/db/Error.h"
#include "records/RecordListLine.h"

namespace records {

namespace {
// Lines are read this many at a time around the one asked for (a screen is some twenty).
constexpr int kBlock = 128;
}

RecordListModel::RecordListModel(QObject* parent)
    : RecordListModel(RecordListFields(), [](const QVariantList& v, const QDate& d) { return RecordListLine(v, d); }, parent)
{
}

RecordListModel::RecordListModel(QStringList fields, LineBuilder builder, QObject* parent)
    : QAbstractListModel(parent), fields_(std::move(fields)), builder_(std::move(builder))
{
}

void RecordListModel::fill(const db::Recordset& records, const QDate& today)
{
    beginResetModel();
    records_ = records;
    today_ = today;
    count_ = records_.isOpen() ? records_.recordCount() : 0;
    lines_.assign(size_t(count_), QString());
    built_.assign(size_t(count_), false);
    endResetModel();
}

void RecordListModel::clear() { fill(db::Recordset(), today_); }

int RecordListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count_)
        return {};
    return line(index.row());
}

QString RecordListModel::line(int row) const
{
    if (row < 0 || row >= count_)
        return {};
    if (!built_[size_t(row)])
        build(row);
    return lines_[size_t(row)];
}

void RecordListModel::build(int row) const
{
    const int from = qMax(0, row - kBlock / 4);
    QList<QVariantList> rows;
    try {
        if (records_.isOpen())
            rows = records_.readColumns(fields_, from, kBlock);
    } catch (const db::Error&) {
        // Records closed or gone: the lines stay empty.
    }
    for (int i = 0; i < rows.size() && from + i < count_; ++i) {
        if (built_[size_t(from + i)])
            continue;
        lines_[size_t(from + i)] = builder_(rows[i], today_);
        built_[size_t(from + i)] = true;
    }
    built_[size_t(row)] = true;
}

} // namespace records
