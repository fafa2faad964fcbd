#pragma once
// The record search: which fields a key box searches and how a record's values are compared
// with the key.

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace records {

enum class SearchRule {
    MemberNo,          // the stored number equals the number at the start of the key
    Contains,          // the field contains the key (Japanese comparison)
    HomePhone,         // "自宅電話" is not empty and its digits or those of "携帯電話" contain the key's digits
    MobilePhone,       // "携帯電話" is not empty and its digits contain the key's digits
    RegistrationDate,  // "登録日" equals the era date typed
};

// One key box: Text1(keyField), or Combo5(keyField - 25) for 25 and 26.
struct SearchKeyField {
    int keyField = -1;
    SearchRule rule = SearchRule::Contains;
    QStringList fields;  // the record's fields the rule reads, in this order
};

// Every box that takes a key, in the order search mode opens them.
const QList<SearchKeyField>& SearchKeyFields();
// nullptr for a box that takes no key.
const SearchKeyField* SearchKeyFieldOf(int keyField);

// A text as the search compares it: full- and half-width forms, letter case and hiragana and
// katakana are not told apart ("ｻﾄｳ", "サトウ", "さとう" read alike; so do "ABC" and "ａｂｃ").
QString SearchFolded(const QString& text);
// SearchFolded of the text the database reads from these stored UTF-8 bytes (a leading
// byte-order mark kept), folded straight from the bytes where it can.
QString SearchFoldedUtf8(QByteArrayView utf8);
// The digits of a text, in order (full-width digits as their ASCII forms); all else is dropped.
QString Digits(const QString& text);
// The number at the start of a text (after leading spaces); 0 when it starts with none.
qint64 LeadingNumber(const QString& text);

// A key taken from the key box, ready to compare with the records.
class SearchKey {
public:
    // nullopt when the text holds no key for the rule: empty, or a telephone key without digits.
    // The registration date is not read from text here: see forDate.
    static std::optional<SearchKey> fromText(const SearchKeyField& field, const QString& text);
    static SearchKey forDate(const SearchKeyField& field, const QDate& date);

    const QStringList& fields() const { return field_.fields; }
    // row: the values of fields(), in that order.
    bool matches(const QVariantList& row) const;
    // Whether the rule reads one text field, so that a record's stored text can be compared as
    // it is (matchesText) instead of as a value.
    bool readsText() const { return field_.rule == SearchRule::Contains; }
    // matches() for a record whose one field holds this stored UTF-8 text (a rule that reads text).
    bool matchesText(QByteArrayView utf8) const;

private:
    SearchKey(SearchKeyField field, QVariant key)
        : field_(std::move(field)), key_(std::move(key)),
          keyText_(key_.typeId() == QMetaType::QString ? key_.toString() : QString())
    {
    }
    SearchKeyField field_;
    QVariant key_;
    QString keyText_;  // the key when it is a text, kept out of the variant for the scans
};

} // namespace records
