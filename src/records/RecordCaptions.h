#pragma once
// The captions of the record window: the book's own from its "住所録ラベル" row, or the window's
// built-in ones where the book's is empty.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace records {

// The caption a control shows: the built-in one when the stored caption is Null or "", else the
// stored text exactly (spaces and all).
QString EffectiveCaption(const QVariant& stored, const QString& builtIn);

struct CaptionField {
    QString field;    // field of "住所録ラベル"
    QString builtIn;  // the record window's caption when the field is empty
};
// All 45 caption fields in the order of the row, with the record window's built-in captions.
const QList<CaptionField>& RecordWindowCaptions();
// The built-in caption of one field ("" for an unknown field).
QString BuiltInCaption(const QString& field);

// The fields whose captions also head a column of the record list.
const QStringList& ListHeadingFields();

// The birth-date caption decides the age unit and the caption of the fifth sort option.
struct BirthDateCaptions {
    QString label;                     // the field label and the list heading
    std::optional<QString> ageUnit;    // nullopt: left as it is
    std::optional<QString> sortOption; // nullopt: left as it is
};
BirthDateCaptions BirthDateCaptionRule(const QVariant& stored);

} // namespace records
