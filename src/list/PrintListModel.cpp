#include "list/PrintListModel.h"

#include "platform/db/Error.h"
#include "platform/text/Cp932.h"

#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QTimer>

namespace list {

namespace {

// The fields whose width varies from line to line: the phone columns count characters, so a
// double-byte phone number widens its line, and "備考" stands unfitted at the end.
const QStringList& widthFields()
{
    static const QStringList fields = {QStringLiteral("自宅電話"), QStringLiteral("携帯電話"), QStringLiteral("備考")};
    return fields;
}

qint64 extraBytes(const QVariant& v, int characters)
{
    if (v.isNull())
        return 0;
    const QString s = v.toString().left(characters);
    return text::byteWidth(s) - s.size();
}

} // namespace

void PrintListModel::attach(QItemSelectionModel* selection)
{
    if (selectionModel_)
        disconnect(selectionModel_, nullptr, this, nullptr);
    selectionModel_ = selection;
    if (selectionModel_)
        connect(selectionModel_, &QItemSelectionModel::selectionChanged, this, &PrintListModel::mirror);
}

void PrintListModel::setFont(const QFont& font)
{
    font_ = font;
    widestPixels_ = -1;
}

void PrintListModel::fill(const db::Recordset& records, const QDate& today)
{
    selected_.clear();
    selectedCount_ = 0;
    records::RecordListModel::fill(records, today);
    selected_.assign(size_t(rowCount()), 0);
    records_ = records;
    widestRow_ = rowCount() > 0 ? 0 : -1;
    widestBytes_ = 0;
    widestPixels_ = -1;
    measuredTo_ = 0;
    if (!measuring_) {
        measuring_ = new QTimer(this);
        measuring_->setInterval(0);
        connect(measuring_, &QTimer::timeout, this, &PrintListModel::measureBlock);
    }
    if (rowCount() > 0)
        measuring_->start();
    else
        measuring_->stop();
}

void PrintListModel::measureBlock()
{
    constexpr int kBlock = 4096;
    QList<QVariantList> rows;
    try {
        if (records_.isOpen())
            rows = records_.readColumns(widthFields(), measuredTo_, kBlock);
    } catch (const db::Error&) {
        // Records gone: what was measured stands.
        measuredTo_ = rowCount();
    }
    const qint64 before = widestBytes_;
    for (int i = 0; i < rows.size() && measuredTo_ + i < rowCount(); ++i) {
        const QVariantList& v = rows[i];
        if (v.size() != widthFields().size())
            continue;
        const qint64 bytes = extraBytes(v[0], 14) + extraBytes(v[1], 14) + (v[2].isNull() ? 0 : text::byteWidth(v[2].toString()));
        if (bytes > widestBytes_) {
            widestBytes_ = bytes;
            widestRow_ = measuredTo_ + i;
        }
    }
    measuredTo_ = rows.isEmpty() ? rowCount() : qMin(rowCount(), measuredTo_ + kBlock);
    if (widthKnown())
        measuring_->stop();
    if (widestBytes_ != before) {
        widestPixels_ = -1;
        emit widestChanged();
    }
}

int PrintListModel::widestLinePixels() const
{
    if (widestRow_ < 0)
        return 0;
    if (widestPixels_ < 0) {
        const QFontMetrics fm(font_);
        const QString widest = line(widestRow_);
        // The mail mark and a long record number add a byte or two to some lines.
        const qint64 bytes = text::byteWidth(widest) + 2;
        widestPixels_ = int(qMin<qint64>(qMax<qint64>(fm.horizontalAdvance(widest), bytes * fm.horizontalAdvance(u'0')), 1 << 24));
    }
    return widestPixels_;
}

QVariant PrintListModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::SizeHintRole && index.isValid()) {
        // Every line is as wide as the widest, so that the list scrolls across all of them.
        const QFontMetrics fm(font_);
        return QSize(widestLinePixels() + 2 * fm.horizontalAdvance(u' '), fm.height());
    }
    return records::RecordListModel::data(index, role);
}

bool PrintListModel::isSelected(int row) const
{
    return row >= 0 && size_t(row) < selected_.size() && selected_[size_t(row)] != 0;
}

void PrintListModel::mark(int row, bool selected)
{
    if (row < 0 || size_t(row) >= selected_.size() || isSelected(row) == selected)
        return;
    selected_[size_t(row)] = selected ? 1 : 0;
    selectedCount_ += selected ? 1 : -1;
}

void PrintListModel::mirror(const QItemSelection& selected, const QItemSelection& deselected)
{
    for (const QItemSelectionRange& r : deselected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            mark(row, false);
    for (const QItemSelectionRange& r : selected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            mark(row, true);
}

void PrintListModel::setSelected(int row, bool selected)
{
    if (row < 0 || size_t(row) >= selected_.size() || isSelected(row) == selected)
        return;
    if (!selectionModel_) {
        mark(row, selected);
        return;
    }
    if (!selected) {
        selectionModel_->select(index(row), QItemSelectionModel::Deselect);
        return;
    }
    // The line joins the chosen lines on either side into one range; the selection model drops
    // the parts the new range covers.
    int top = row;
    int bottom = row;
    if (isSelected(row - 1) || isSelected(row + 1)) {
        for (const QItemSelectionRange& r : selectionModel_->selection()) {
            if (r.top() <= row - 1 && row - 1 <= r.bottom())
                top = qMin(top, r.top());
            if (r.top() <= row + 1 && row + 1 <= r.bottom())
                bottom = qMax(bottom, r.bottom());
        }
    }
    selectionModel_->select(QItemSelection(index(top), index(bottom)), QItemSelectionModel::Select);
}

void PrintListModel::toggle(int row)
{
    setSelected(row, !isSelected(row));
}

} // namespace list
