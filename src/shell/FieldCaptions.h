#pragma once
// The 45 captions of the field-caption row "住所録ラベル" as the settings window shows them: one
// table drives loading, storing and resetting the row and decides what counts as empty.

#include "platform/db/Recordset.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace settings {

inline constexpr int FieldCaptionCount = 45;

struct FieldCaption {
    QString field;          // column of "住所録ラベル"
    QString label;          // fixed caption of Label3(i), left of the box
    QString hint;           // fixed text right of the box
    QString builtIn;        // what the box shows when the field is empty
    QString reset;          // what a reset writes
    bool onlyNullIsEmpty;   // the empty text is a caption of its own here
};

// The caption of box i (0 to 44).
const FieldCaption& fieldCaption(int index);

// The boxes of the left column, top to bottom (42 rows); the heading boxes 28, 29 and 30 stand
// beside the rows of 37, 38 and 39.
const QList<int>& captionColumnOrder();
inline constexpr int headingBesideRow(int heading) { return heading + 9; }

bool isEmptyCaption(int index, const QVariant& stored);
// The box text for a stored value.
QString shownCaption(int index, const QVariant& stored);
// The value a box stores: its text, except that an empty box 0 or 2 stores the field's own name.
QString storedCaption(int index, const QString& boxText);

// Writes the reset column into the first row in one update. A table without a row gets one.
void resetFieldCaptions(db::Recordset& captions);

} // namespace settings
