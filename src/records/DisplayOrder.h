#pragma once
// The six display orders of the personal records and the opening of the record window's records.

#include "platform/db/Database.h"

#include <QString>
#include <QVariant>

namespace records {

inline constexpr int DisplayOrderCount = 6;

// The saved query of a display order 1 to 6 ("Q_個人台帳" and its five sorted variants).
QString DisplayOrderQuery(int displayOrder);

// "表示順番" of a settings recordset as 1 to 6; an empty, Null, unknown or missing value (and a
// settings recordset that is closed or has no row) counts as 1.
int StoredDisplayOrder(const db::Recordset& bookSettings);

struct OpenedRecords {
    db::Recordset main;        // the personal records, a dynaset over the order's saved query
    db::Recordset categories;  // "会員区分ｺｰﾄﾞ表", a dynaset
    int displayOrder = 1;
};

// Opens the records of one address book in the order its settings name. Errors of the engine
// reach the caller.
OpenedRecords OpenRecordsByDisplayOrder(const db::Database& book, const db::Recordset& bookSettings);

} // namespace records
