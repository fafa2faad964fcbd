#include "records/DisplayOrder.h"

#include "platform/db/Schema.h"
#include "shell/Module1.h"

namespace records {

QString DisplayOrderQuery(int displayOrder)
{
    const QStringList names = db::schema::personQueryNames();
    const int i = displayOrder >= 1 && displayOrder <= names.size() ? displayOrder - 1 : 0;
    return names.at(i);
}

int StoredDisplayOrder(const db::Recordset& bookSettings)
{
    if (!bookSettings.isOpen() || bookSettings.bof() || bookSettings.eof()
        || !bookSettings.hasField(Module1::BookSettings::DisplayOrder))
        return 1;
    return Module1::DisplayOrderNumber(bookSettings.value(Module1::BookSettings::DisplayOrder));
}

OpenedRecords OpenRecordsByDisplayOrder(const db::Database& book, const db::Recordset& bookSettings)
{
    OpenedRecords r;
    r.displayOrder = StoredDisplayOrder(bookSettings);
    r.main = book.openRecordset(DisplayOrderQuery(r.displayOrder), db::RecordsetType::Dynaset);
    r.categories = book.openRecordset(QStringLiteral("会員区分ｺｰﾄﾞ表"), db::RecordsetType::Dynaset);
    return r;
}

} // namespace records
