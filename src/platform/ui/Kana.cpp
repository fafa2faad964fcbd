#include "platform/ui/Kana.h"

#include <QStringList>

namespace ui {
namespace {

// Half-width forms of the katakana U+30A1 (ァ) to U+30FA (ヺ), in code order.
const QStringList& katakanaTable()
{
    static const QStringList table = QStringLiteral(
        "ｧ ｱ ｨ ｲ ｩ ｳ ｪ ｴ ｫ ｵ "                 // ァアィイゥウェエォオ
        "ｶ ｶﾞ ｷ ｷﾞ ｸ ｸﾞ ｹ ｹﾞ ｺ ｺﾞ "            // カガキギクグケゲコゴ
        "ｻ ｻﾞ ｼ ｼﾞ ｽ ｽﾞ ｾ ｾﾞ ｿ ｿﾞ "            // サザシジスズセゼソゾ
        "ﾀ ﾀﾞ ﾁ ﾁﾞ ｯ ﾂ ﾂﾞ ﾃ ﾃﾞ ﾄ ﾄﾞ "          // タダチヂッツヅテデトド
        "ﾅ ﾆ ﾇ ﾈ ﾉ "                           // ナニヌネノ
        "ﾊ ﾊﾞ ﾊﾟ ﾋ ﾋﾞ ﾋﾟ ﾌ ﾌﾞ ﾌﾟ ﾍ ﾍﾞ ﾍﾟ ﾎ ﾎﾞ ﾎﾟ " // ハバパヒビピフブプヘベペホボポ
        "ﾏ ﾐ ﾑ ﾒ ﾓ "                           // マミムメモ
        "ｬ ﾔ ｭ ﾕ ｮ ﾖ "                         // ャヤュユョヨ
        "ﾗ ﾘ ﾙ ﾚ ﾛ "                           // ラリルレロ
        "ﾜ ﾜ ｲ ｴ ｦ ﾝ ｳﾞ ｶ ｹ "                   // ヮワヰヱヲンヴヵヶ
        "ﾜﾞ ｲﾞ ｴﾞ ｦﾞ")                         // ヷヸヹヺ
        .split(QLatin1Char(' '));
    Q_ASSERT(table.size() == 0x30FA - 0x30A1 + 1);
    return table;
}

QChar halfWidthMark(char16_t c)
{
    switch (c) {
    case u'\u3000': return QLatin1Char(' ');
    case u'、': return QChar(u'､');
    case u'。': return QChar(u'｡');
    case u'「': return QChar(u'｢');
    case u'」': return QChar(u'｣');
    case u'・': return QChar(u'･');
    case u'ー': return QChar(u'ｰ');
    case u'゛':
    case u'\u3099': return QChar(u'ﾞ');
    case u'゜':
    case u'\u309A': return QChar(u'ﾟ');
    default: return QChar();
    }
}

}  // namespace

QString toHalfWidthKatakana(const QString& text)
{
    const QStringList& table = katakanaTable();
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        char16_t c = ch.unicode();
        if (c >= 0x3041 && c <= 0x3096)   // hiragana ぁ..ゖ share the order of katakana ァ..ヶ
            c = char16_t(c + 0x60);
        if (c >= 0x30A1 && c <= 0x30FA) {
            out += table.at(c - 0x30A1);
        } else if (const QChar mark = halfWidthMark(c); !mark.isNull()) {
            out += mark;
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace ui
