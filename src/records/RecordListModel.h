#pragma once
// A list of records as a model: one line per record of a recordset, each line built from its
// record the first time the view shows it, so that a book of 100,000 records lists at once. A line
// once built stays as it was until the list is filled again. The line builder and the fields it
// reads are the record window's unless another window gives its own.

#include "platform/db/Recordset.h"

#include <QAbstractListModel>
#include <QDate>
#include <QStringList>
#include <functional>
#include <vector>

namespace records {

class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The line of one record from the values of the builder's fields, ages as on the date.
    using LineBuilder = std::function<QString(const QVariantList& values, const QDate& today)>;

    explicit RecordListModel(QObject* parent = nullptr);
    RecordListModel(QStringList fields, LineBuilder builder, QObject* parent = nullptr);

    // Lists the records anew (a closed or empty recordset lists nothing); ages as on today.
    void fill(const db::Recordset& records, const QDate& today);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The line of a row, built when needed.
    QString line(int row) const;

private:
    void build(int row) const;

    QStringList fields_;
    LineBuilder builder_;
    db::Recordset records_;
    QDate today_;
    int count_ = 0;
    mutable std::vector<QString> lines_;
    mutable std::vector<bool> built_;
};

} // namespace records
