#pragma once
// The received-mail list as a model: a line is built when the view first shows it (the message
// body it ends with is read from its file only then), so that a Maildir of 10,000 messages lists
// at once.

#include <QAbstractListModel>
#include <QStringList>

#include <functional>
#include <vector>

namespace mail {

class ReceivedMailListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using LineOf = std::function<QString(int row)>;
    explicit ReceivedMailListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    // Lists `count` rows anew, line k built by lineOf(k) when first wanted.
    void fill(int count, LineOf lineOf);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QString line(int row) const;
    // Every line (built when needed).
    QStringList lines() const;

private:
    int count_ = 0;
    LineOf lineOf_;
    mutable std::vector<QString> lines_;
    mutable std::vector<bool> built_;
};

} // namespace mail
