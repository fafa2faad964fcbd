#pragma once
// What the settings window stores in an address book, apart from the window: field sizes,
// category codes and the default categories.

#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace settings {

inline const QString SettingsTable = QStringLiteral("管理情報");
inline const QString CaptionTable = QStringLiteral("住所録ラベル");
inline const QString CategoryTable = QStringLiteral("会員区分ｺｰﾄﾞ表");
inline const QString CategoryCode = QStringLiteral("会員区分コード");
inline const QString CategoryName = QStringLiteral("会員区分名称");

// The size in Shift-JIS bytes of a text column ("VARCHAR(n)"); 0 when it has none (a memo) or the
// column cannot be found.
int textFieldSize(const db::Database& book, const QString& table, const QString& field);

// A text to store: the empty text stays the empty text and never becomes Null.
QVariant textValue(const QString& text);

// One above the largest absolute code of the rows (1 for none), scanning from the first row.
// nullopt when no larger code can be held.
std::optional<qint64> nextCategoryCode(db::Recordset& categories);

// Deletes every row and adds the ten default categories 1 "分類1" to 10 "分類10".
void resetCategories(db::Recordset& categories);

} // namespace settings
