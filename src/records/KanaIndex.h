#pragma once
// The kana index of the record window: fifteen labels, ten rows ("ｱ" to "ﾜ") and five columns
// ("ｱ" to "ｵ"), that jump to the first record whose reading begins at or after a half-width
// katakana.

#include <QList>
#include <QString>
#include <QVariant>

namespace records {

inline constexpr int KanaLabelCount = 15;

// The message shown when the records are not in reading order.
QString KanaOrderOnlyMessage();

// Ten rows of five half-width katakana; the empty places of "ﾔ" and "ﾜ" repeat "ｲ", "ｳ", "ｴ", "ｵ".
const QString& KanaTable();

// Which kana the label stands for. A row label (0 to 9) chooses its row and the row's first
// column; a column label (10 to 14) chooses the column of the row chosen last. rowStart (five
// times the row) and column carry the choice from click to click.
QString KanaKey(int label, int* rowStart, int* column);

// The position to jump to: the first record whose reading (first value of each row) is not empty
// and whose first characters, as many as the key has, compare at or above the key by UTF-16 code
// unit; the last record when none does; -1 without records.
int KanaPosition(const QList<QVariantList>& readings, const QString& key);

} // namespace records
