#pragma once
// The record window of the address-book edition: new records in category 1, its own delete
// question, a 会員NO stored at once (no search, no folder rename), the birth date shown "e/mm/dd"
// and averages over a fixed number of fields.

#include "records/Form3.h"

namespace editions {

class AddressBookForm3 : public Form3 {
    Q_OBJECT
public:
    using Form3::Form3;

protected:
    QVariant NewRecordCategory() override;
    QString DeleteQuestion() const override;
    void ChangeMemberNo(QWidget* box, const QString& text) override;
    QString StoredBirthDateText(const QDate& date, const QString& eraDate) const override;
    records::ComputedValues ComputeValueFields(const QStringList& captions,
                                               const records::ValueFields& values) const override;
};

} // namespace editions
