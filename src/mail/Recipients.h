#pragma once
// The recipients of the mail window's next mail: names and addresses built from the records,
// the separator between them, and the pairing of one name with each address when every address
// gets a message of its own. Window-free.

#include "platform/db/Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace mail {

enum class Target { AllExceptSelected, Selected, Typed };  // Option1(0), (1), (2)
enum class AddressKind { Internet, Mobile, Both };        // Option2(0), (1), (2)

struct RecipientOptions {
    Target target = Target::Selected;
    AddressKind kind = AddressKind::Internet;
    bool mobileWhenNoInternet = true;  // Check2 "なし時携帯メール"
    QChar separator = u';';            // AddressSeparator
};

// The fields of a personal record that the recipients are built from.
struct RecipientRecord {
    QVariant name;     // "氏名"
    QVariant email;    // "Eメール"
    QVariant mobile;   // "携帯Eメール"
    QVariant refuses;  // "メール送信拒否"
};
inline const QStringList RecipientFields = {QStringLiteral("氏名"), QStringLiteral("Eメール"),
                                            QStringLiteral("携帯Eメール"), QStringLiteral("メール送信拒否")};

// The addresses of one address field: split at ";" and ",", the spaces around each part trimmed,
// empty parts dropped. A field may hold several addresses; either separator may have been typed.
QStringList SplitAddresses(const QVariant& field);
// True when the field holds at least one address.
bool HasAddress(const QVariant& field);

struct RecipientTexts {
    QString names;      // Text1: one name per address
    QString addresses;  // Text2
    bool operator==(const RecipientTexts& o) const { return names == o.names && addresses == o.addresses; }
};

// A record's name as the names box holds it: ";" and "," become full-width, so that a name such
// as "ABC, Inc." stays one name when the boxes are split at the separator.
QString NameForBoxes(const QVariant& name);

// The names text for one address field of a record: the name once per address, joined by the
// separator. A missing name stands as the empty text, so that names and addresses stay paired.
QString RepeatNameForAddresses(const QVariant& name, const QVariant& field, QChar separator);

// The boxes for the records in list order; selected(k) tells whether row k of the list is
// selected. Target::Typed builds nothing (the caller keeps the boxes).
RecipientTexts BuildRecipients(const QList<RecipientRecord>& records, const std::function<bool(int)>& selected,
                               const RecipientOptions& options);
// The same over the records of a recordset, read in bulk.
RecipientTexts BuildRecipients(const db::Recordset& persons, const std::function<bool(int)>& selected,
                               const RecipientOptions& options);

// Both boxes converted to the other separator, pair by pair, as the separator option does; the
// names are left as they are when empty.
RecipientTexts ConvertSeparator(const RecipientTexts& texts, QChar from, QChar to);

// One message of an individual send: its name for the salutation and its address text.
struct OutgoingMessage {
    QString name;
    QString address;
    bool operator==(const OutgoingMessage& o) const { return name == o.name && address == o.address; }
};
// One message per part of the address text, each with the name at the same place; a names text
// with fewer parts repeats its last name, extra names are not used. An empty part (two
// separators in a row) gives a message with an empty address, which the transport refuses. A
// part that holds several addresses joined by ";" or "," gives one message per address.
QList<OutgoingMessage> PairIndividually(const QString& names, const QString& addresses, QChar separator);

// Honorific suffixes of Option8: " 様", " 殿", " 御中".
QString HonorificSuffix(int option);

// The text of the mail: with the salutation (when asked for and a name is given) its line, an
// empty line, then the body; every line end LF. An empty body gives an empty text.
QString NoteText(const QString& name, bool salutation, int honorific, const QString& body);

} // namespace mail
