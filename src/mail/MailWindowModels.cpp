#include "mail/MailWindowModels.h"

namespace mail {

void ReceivedMailListModel::fill(int count, LineOf lineOf)
{
    beginResetModel();
    count_ = std::max(0, count);
    lineOf_ = std::move(lineOf);
    lines_.assign(size_t(count_), QString());
    built_.assign(size_t(count_), false);
    endResetModel();
}

int ReceivedMailListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count_;
}

QVariant ReceivedMailListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count_)
        return {};
    return line(index.row());
}

QString ReceivedMailListModel::line(int row) const
{
    if (row < 0 || row >= count_)
        return {};
    if (!built_[size_t(row)]) {
        lines_[size_t(row)] = lineOf_ ? lineOf_(row) : QString();
        built_[size_t(row)] = true;
    }
    return lines_[size_t(row)];
}

QStringList ReceivedMailListModel::lines() const
{
    QStringList all;
    all.reserve(count_);
    for (int i = 0; i < count_; ++i)
        all << line(i);
    return all;
}

} // namespace mail
