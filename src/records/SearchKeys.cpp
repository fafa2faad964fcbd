#include "records/SearchKeys.h"

#include <algorithm>
#include <cstring>

#include "records/RecordDisplay.h"

namespace records {

const QList<SearchKeyField>& SearchKeyFields()
{
    const auto contains = [](int box, const char16_t* field) {
        return SearchKeyField{box, SearchRule::Contains, {QString::fromUtf16(field)}};
    };
    static const QList<SearchKeyField> fields = {
        {0, SearchRule::MemberNo, {QStringLiteral("会員NO")}},
        contains(1, u"フリガナ"),
        contains(2, u"氏名"),
        {8, SearchRule::HomePhone, {QStringLiteral("自宅電話"), QStringLiteral("携帯電話")}},
        contains(9, u"Eメール"),
        {14, SearchRule::MobilePhone, {QStringLiteral("携帯電話")}},
        contains(15, u"携帯Eメール"),
        contains(21, u"趣味"),
        contains(22, u"特技"),
        contains(23, u"備考"),
        {24, SearchRule::RegistrationDate, {QStringLiteral("登録日")}},
        contains(25, u"都道府県"),
        contains(26, u"市町村"),
    };
    return fields;
}

const SearchKeyField* SearchKeyFieldOf(int keyField)
{
    for (const SearchKeyField& f : SearchKeyFields())
        if (f.keyField == keyField)
            return &f;
    return nullptr;
}

namespace {

// Characters that compatibility composition and case folding leave as they are, or change by
// a fixed step: the kanji, kana, ASCII and full-width space most names and addresses are made of.
bool foldsSimply(char16_t u)
{
    return (u >= 0x20 && u < 0x7F) || u == 0x3000 || (u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E
           || (u >= 0x30A1 && u <= 0x30FA) || (u >= 0x30FC && u <= 0x30FE) || (u >= 0x4E00 && u <= 0x9FFF);
}

bool isHalfWidthKana(char16_t u) { return u >= 0xFF61 && u <= 0xFF9F; }

// What compatibility composition makes of the half-width katakana (readings are kept in them),
// and which kana a voiced or semi-voiced mark joins with: taken from the full rules once, so
// that a reading is folded by table instead of being normalised in full.
struct KanaTables {
    char16_t wide[0xFF9F - 0xFF61 + 1] = {};
    char16_t voiced[0x30FF - 0x3041 + 1] = {};
    char16_t semiVoiced[0x30FF - 0x3041 + 1] = {};
    KanaTables()
    {
        for (char16_t u = 0xFF61; u <= 0xFF9F; ++u) {
            const QString n = QString(QChar(u)).normalized(QString::NormalizationForm_KC);
            wide[u - 0xFF61] = n.size() == 1 ? n.at(0).unicode() : 0;
        }
        for (char16_t u = 0x3041; u <= 0x30FF; ++u) {
            const QString v = (QString(QChar(u)) + QChar(char16_t(0x3099))).normalized(QString::NormalizationForm_C);
            const QString s = (QString(QChar(u)) + QChar(char16_t(0x309A))).normalized(QString::NormalizationForm_C);
            voiced[u - 0x3041] = v.size() == 1 ? v.at(0).unicode() : 0;
            semiVoiced[u - 0x3041] = s.size() == 1 ? s.at(0).unicode() : 0;
        }
    }
};

const KanaTables& kanaTables()
{
    static const KanaTables t;
    return t;
}

// The text as compatibility composition gives it, for texts of simply folded characters and
// half-width katakana; false when another character needs the full rules.
bool composeHalfWidth(const QString& text, QString* out)
{
    const KanaTables& t = kanaTables();
    // No character gives more than one: written in place, the room of the text folded before
    // used again.
    out->resize(text.size());
    char16_t* o = reinterpret_cast<char16_t*>(out->data());
    qsizetype n = 0;
    for (const QChar c : text) {
        char16_t u = c.unicode();
        if (isHalfWidthKana(u)) {
            u = t.wide[u - 0xFF61];
            if (u == 0)
                return false;
        } else if (!foldsSimply(u)) {
            return false;
        }
        if ((u == 0x3099 || u == 0x309A) && n > 0) {
            // A mark joins the kana before it when the two have one composed form.
            const char16_t b = o[n - 1];
            if (b >= 0x3041 && b <= 0x30FF) {
                const char16_t joined = u == 0x3099 ? t.voiced[b - 0x3041] : t.semiVoiced[b - 0x3041];
                if (joined) {
                    o[n - 1] = joined;
                    continue;
                }
            }
        }
        o[n++] = u;
    }
    out->truncate(n);
    return true;
}

// Hiragana to katakana, ASCII letters to small letters, the full-width space to a space: the
// rest of the fold for characters the fast ways let through (kana marks included).
void foldComposed(QString& s)
{
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            c = QChar(char16_t(u + 0x20));
        else if (u == 0x3000)
            c = QChar(u' ');
        else if ((u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E)
            c = QChar(char16_t(u + 0x60));
    }
}

// Compatibility composition makes full-width letters and digits half-width and half-width
// katakana full-width, voiced marks joined ("ｶﾞ" becomes "ガ").
QString fullFold(const QString& text)
{
    QString s = text.normalized(QString::NormalizationForm_KC);
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if ((u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E)  // hiragana to katakana
            c = QChar(char16_t(u + 0x60));
    }
    return s.toCaseFolded();
}

// The fold of a text into out, whose room is used again: a search folds every record.
void foldInto(const QString& text, QString& out)
{
    // Texts of simply folded characters alone are folded directly.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return foldsSimply(c.unicode()); })) {
        out.resize(0);
        out.append(text);
        foldComposed(out);
        return;
    }
    // Readings in half-width katakana: composed by table, voiced marks joined ("ｶﾞ" becomes "ガ").
    if (composeHalfWidth(text, &out)) {
        foldComposed(out);
        return;
    }
    out = fullFold(text);
}

// The fold of a stored UTF-8 text, decoded and folded in one pass, for texts of simply folded
// characters and half-width katakana; false when another character (or a byte that is not
// well-formed UTF-8) needs the text decoded in full first.
bool foldUtf8(QByteArrayView in, QString& out)
{
    const KanaTables& t = kanaTables();
    // Hiragana to katakana, ASCII letters to small letters, the full-width space to a space.
    const auto folded = [](char16_t u) -> char16_t {
        if (u >= u'A' && u <= u'Z')
            return char16_t(u + 0x20);
        if (u == 0x3000)
            return u' ';
        if ((u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E)
            return char16_t(u + 0x60);
        return u;
    };
    out.resize(in.size());  // no character takes fewer bytes than UTF-16 units
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    char16_t before = 0;  // the last character written, before its fold: marks join by it
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const qsizetype size = in.size();
    for (qsizetype i = 0; i < size;) {
        char16_t u;
        const unsigned char b = p[i];
        if (b < 0x80) {
            u = b;
            ++i;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < size && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
            u = char16_t(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
            if (u < 0x800)
                return false;  // an overlong form, which the full decoding replaces
            i += 3;
        } else {
            return false;
        }
        if (isHalfWidthKana(u)) {
            u = t.wide[u - 0xFF61];
            if (u == 0)
                return false;
        } else if (!foldsSimply(u)) {
            return false;
        }
        if ((u == 0x3099 || u == 0x309A) && n > 0 && before >= 0x3041 && before <= 0x30FF) {
            const char16_t joined = u == 0x3099 ? t.voiced[before - 0x3041] : t.semiVoiced[before - 0x3041];
            if (joined) {
                before = joined;
                o[n - 1] = folded(joined);
                continue;
            }
        }
        before = u;
        o[n++] = folded(u);
    }
    out.truncate(n);
    return true;
}

// A stored UTF-8 text as the database layer reads it: a leading byte-order mark is part of it.
QString decodedStored(QByteArrayView utf8)
{
    static constexpr char kMark[] = "\xEF\xBB\xBF";
    qsizetype marks = 0;
    while (utf8.size() - 3 * marks >= 3 && std::memcmp(utf8.data() + 3 * marks, kMark, 3) == 0)
        ++marks;
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(utf8.sliced(3 * marks));
}

// Whether the folded text contains the folded key.
bool foldedContains(const QString& text, const QString& key)
{
    thread_local QString folded;
    foldInto(text, folded);
    return folded.contains(key);
}

} // namespace

QString SearchFolded(const QString& text)
{
    QString s;
    foldInto(text, s);
    return s;
}

QString SearchFoldedUtf8(QByteArrayView utf8)
{
    QString s;
    if (!foldUtf8(utf8, s))
        foldInto(decodedStored(utf8), s);
    return s;
}

QString Digits(const QString& text)
{
    QString d;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            d += c;
        else if (c >= u'０' && c <= u'９')
            d += QChar(char16_t(u'0' + (c.unicode() - u'０')));
    }
    return d;
}

qint64 LeadingNumber(const QString& text)
{
    qint64 n = 0;
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    for (int digits = 0; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9' && digits < 18; ++i, ++digits)
        n = n * 10 + (text.at(i).unicode() - u'0');
    return n;
}

bool SearchKey::matchesText(QByteArrayView utf8) const
{
    if (utf8.isEmpty())
        return false;
    thread_local QString folded;
    if (foldUtf8(utf8, folded))
        return folded.contains(keyText_);
    return foldedContains(decodedStored(utf8), keyText_);
}

std::optional<SearchKey> SearchKey::fromText(const SearchKeyField& field, const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    switch (field.rule) {
    case SearchRule::MemberNo:
        return SearchKey(field, LeadingNumber(text));
    case SearchRule::Contains:
        return SearchKey(field, SearchFolded(text));
    case SearchRule::HomePhone:
    case SearchRule::MobilePhone: {
        const QString digits = Digits(text);
        if (digits.isEmpty())
            return std::nullopt;
        return SearchKey(field, digits);
    }
    case SearchRule::RegistrationDate:
        break;
    }
    return std::nullopt;
}

SearchKey SearchKey::forDate(const SearchKeyField& field, const QDate& date)
{
    return SearchKey(field, date);
}

bool SearchKey::matches(const QVariantList& row) const
{
    if (row.size() < field_.fields.size())
        return false;  // a record deleted meanwhile
    const QVariant& first = row.at(0);
    switch (field_.rule) {
    case SearchRule::MemberNo:
        return !first.isNull() && first.isValid() && first.toLongLong() == key_.toLongLong();
    case SearchRule::Contains: {
        const QString value = first.isNull() ? QString() : first.toString();
        return !value.isEmpty() && foldedContains(value, keyText_);
    }
    case SearchRule::HomePhone: {
        // Each number by itself, so that no key is found across the end of one and the start of the other.
        const QString home = first.isNull() ? QString() : first.toString();
        const QString mobile = row.at(1).isNull() ? QString() : row.at(1).toString();
        return !home.isEmpty() && (Digits(home).contains(key_.toString()) || Digits(mobile).contains(key_.toString()));
    }
    case SearchRule::MobilePhone: {
        const QString mobile = first.isNull() ? QString() : first.toString();
        return !mobile.isEmpty() && Digits(mobile).contains(key_.toString());
    }
    case SearchRule::RegistrationDate:
        return StoredDate(first).isValid() && StoredDate(first) == key_.toDate();
    }
    return false;
}

} // namespace records
