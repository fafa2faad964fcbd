#pragma once
// What each text box of the record window stores and how long its text may be. Lengths count
// Shift-JIS bytes (text::byteWidth), as the fields of the old engine did.

#include <QList>
#include <QString>

#include <optional>

namespace records {

enum class BoxKind {
    Text,        // stores its text ("" when empty)
    Reading,     // "フリガナ": stored in half-width katakana
    MemberNo,    // "会員NO": a whole number, unique in the book
    EraDate,     // an era-relative date with its era box
    Shown,       // shows what the window works out; stores nothing
    WebAddress,  // stores "" when blank after its leading spaces
};

struct TextBoxField {
    int index = -1;    // Text1(index)
    QString field;     // the field of the personal record; "" for the boxes that only show
    BoxKind kind = BoxKind::Text;
    int limit = 0;     // largest length in Shift-JIS bytes; 0 where no length applies
};

// The 25 boxes Text1(0) to Text1(30), in index order.
const QList<TextBoxField>& TextBoxFields();
// nullptr for an index without a box.
const TextBoxField* TextBoxFieldOf(int index);

// "都道府県" and "市町村", typed into Combo5(0) and Combo5(1).
inline constexpr int PlaceLimit = 255;

// What a refused box says: its text is no valid value or too long.
QString InvalidInputMessage();

// True when the text is no longer than limit Shift-JIS bytes; a limit of 0 checks nothing.
bool FitsLimit(const QString& text, int limit);

// The largest registration number: the field is a long integer.
inline constexpr qint64 MaxMemberNo = 2147483647;
// A registration number as typed: decimal digits only (leading zeros and surrounding spaces
// allowed), at most MaxMemberNo. 12.5, -3, 1e3 and "" are no numbers.
std::optional<qint64> ParseMemberNo(const QString& text);

// What "WebHome" stores for the text typed: "" when nothing is left after its leading spaces,
// else the text as typed.
QString StoredWebAddress(const QString& text);

} // namespace records
