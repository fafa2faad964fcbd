// The value boxes Text2(0) to Text2(9): each stores its field "数値1" to "数値10" when it loses the
// focus in edit mode, and the total and average fields that the value labels call for follow.

#include "records/Form3.h"
#include "records/Boxes.h"

#include "records/FieldLimits.h"
#include "records/RecordDisplay.h"
#include "records/ValueTotals.h"
#include "shell/Module1.h"

#include <QLabel>
#include <QLineEdit>

using namespace Module1;

namespace {

QString valueField(int box)
{
    return QStringLiteral("数値%1").arg(box + 1);
}

} // namespace

void Form3::Text2_GotFocus(int index)
{
    QLineEdit* box = Text2[size_t(index)];
    // A value box is no search field: in search mode the key box stays the one entered last.
    if (RecordMode == Edit)
        SetFocusBox(box, index, false, false);
    else if (RecordMode != Search)
        return;
    if (!box->text().isEmpty())
        box->selectAll();
}

void Form3::Text2_LostFocus(int index)
{
    if (RecordMode != Edit || IsBookEmpty() || index < 0 || index >= records::ValueFieldCount)
        return;
    QLineEdit* box = Text2[size_t(index)];
    const QString text = box->text();
    const QString field = valueField(index);
    QVariant stored;
    try {
        stored = Cursor.record().value(field);
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }

    double value = 0;  // an emptied box stores 0
    if (!text.isEmpty()) {
        if (!stored.isNull() && text == records::ValueFieldText(stored)) {
            // The box still shows the stored value, rounded for the display: the value stays.
            value = stored.toDouble();
        } else if (const std::optional<double> typed = records::ParseValueText(text)) {
            value = *typed;
        } else {
            RefuseInput(box, records::InvalidInputMessage());
            return;
        }
    }
    if (RefusedBox == box)
        RefusedBox = nullptr;
    if (!StoreField(field, value))
        return;
    records::SetBoxText(box, records::StoredValueText(value));
    RecomputeValueFields();
}

records::ComputedValues Form3::ComputeValueFields(const QStringList& captions, const records::ValueFields& values) const
{
    return records::ComputeValues(captions, values);
}

void Form3::RecomputeValueFields()
{
    QStringList captions;
    for (const QLabel* label : Label7)
        captions << label->text();
    records::ValueFields values{};
    try {
        db::Recordset& rs = Cursor.record();
        for (int k = 0; k < records::ValueFieldCount; ++k)
            values[size_t(k)] = rs.value(valueField(k)).toDouble();  // Null counts as 0
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    const records::ComputedValues computed = ComputeValueFields(captions, values);
    if (computed.totalBox < 0)
        return;
    if (StoreField(valueField(computed.totalBox), computed.total))
        records::SetBoxText(Text2[size_t(computed.totalBox)], records::StoredValueText(computed.total));
    if (computed.averageBox < 0)
        return;
    if (StoreField(valueField(computed.averageBox), computed.average))
        records::SetBoxText(Text2[size_t(computed.averageBox)], records::AverageText(computed.average));
}
