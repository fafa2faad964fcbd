#include "editions/AddressBookForm3.h"

#include "editions/AddressBookRules.h"
#include "platform/ui/Dialogs.h"
#include "records/Boxes.h"
#include "records/FieldLimits.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

namespace editions {

QVariant AddressBookForm3::NewRecordCategory()
{
    return qint64(1);
}

QString AddressBookForm3::DeleteQuestion() const
{
    return QStringLiteral("表示している個人情報を削除していいですか？");
}

void AddressBookForm3::ChangeMemberNo(QWidget* box, const QString& text)
{
    if (text.isEmpty()) {
        ui::dialogs().beep();
        return;
    }
    const std::optional<qint64> number = ParseRoundedMemberNo(text);
    if (!number) {
        RefuseInput(box, records::InvalidInputMessage());
        return;
    }
    AcceptInput(box);
    QVariant stored;
    try {
        stored = CurrentRecord().value(QStringLiteral("会員NO"));
    } catch (const db::Error& e) {
        Module1::ReportError(e);
        return;
    }
    // No search beforehand: a number another record holds is refused by the book's unique index,
    // which is reported, and the box shows the number the record keeps. The pictures stay in
    // the folder of the old number.
    const bool storedNew = StoreField(QStringLiteral("会員NO"), *number);
    records::SetBoxText(box, Module1::FormatMemberNo(storedNew ? *number : stored.toLongLong()));
}

QString AddressBookForm3::StoredBirthDateText(const QDate& date, const QString& eraDate) const
{
    const QString text = EraYearDate(Module1::LoadEras(), date);
    return text.isEmpty() ? eraDate : text;
}

records::ComputedValues AddressBookForm3::ComputeValueFields(const QStringList& captions,
                                                             const records::ValueFields& values) const
{
    return ComputeValuesFixedDivisor(captions, values);
}

} // namespace editions
