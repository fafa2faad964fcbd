// The record window's labels, headings, frames and options in the book's own words.

#include "records/Form3.h"

#include "records/Boxes.h"
#include "records/RecordCaptions.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using records::EffectiveCaption;

namespace {

void setCaption(QWidget* control, const QString& caption)
{
    if (auto* l = qobject_cast<QLabel*>(control))
        l->setText(caption);
    else if (auto* b = qobject_cast<QAbstractButton*>(control))
        b->setText(caption);
    else if (auto* g = qobject_cast<QGroupBox*>(control))
        g->setTitle(caption);
}

QString captionOf(const QWidget* control)
{
    if (const auto* l = qobject_cast<const QLabel*>(control))
        return l->text();
    return {};
}

} // namespace

QVariant Form3::CaptionValue(const QString& field) const
{
    // A missing row or field counts as empty: the built-in caption is shown.
    if (!CaptionRs.isOpen() || CaptionRs.bof() || CaptionRs.eof() || !CaptionRs.hasField(field))
        return {};
    return CaptionRs.value(field);
}

void Form3::ApplyFieldCaptions()
{
    const QList<std::pair<QString, QList<QWidget*>>> targets = {
        {QStringLiteral("登録番号"), {Label4[0], Label3[12], Option2[0]}},
        {QStringLiteral("登録日"), {Label6[0], Option2[1]}},
        {QStringLiteral("登録区分"), {Label6[1], Label3[9], Option2[3]}},
        {QStringLiteral("フリガナ"), {Label6[2], Option2[2]}},
        {QStringLiteral("氏名"), {Label6[3], Label3[11]}},
        {QStringLiteral("郵便番号"), {Label6[5]}},
        {QStringLiteral("都道府県"), {Label6[6]}},
        {QStringLiteral("市町村"), {Label6[7]}},
        {QStringLiteral("番地"), {Label6[8]}},
        {QStringLiteral("ビル"), {Label6[9]}},
        {QStringLiteral("自宅電話"), {Label6[10], Label3[5]}},
        {QStringLiteral("Eメールアドレス"), {Label6[11], Label3[2]}},
        {QStringLiteral("職業"), {Label6[12]}},
        {QStringLiteral("勤務先"), {Label6[13]}},
        {QStringLiteral("職種"), {Label6[14]}},
        {QStringLiteral("学年"), {Label6[15]}},
        {QStringLiteral("携帯電話"), {Label6[16], Label3[6]}},
        {QStringLiteral("携帯メールアドレス"), {Label6[17], Label3[8]}},
        {QStringLiteral("趣味"), {Label6[18]}},
        {QStringLiteral("特技"), {Label6[19]}},
        {QStringLiteral("備考"), {Label6[20], Label3[13]}},
        {QStringLiteral("記事"), {Label6[21]}},
        {QStringLiteral("数値1"), {Label7[0]}},
        {QStringLiteral("数値2"), {Label7[1]}},
        {QStringLiteral("数値3"), {Label7[2]}},
        {QStringLiteral("数値4"), {Label7[3]}},
        {QStringLiteral("数値5"), {Label7[4]}},
        {QStringLiteral("趣味ヘッド"), {Label6[27]}},
        {QStringLiteral("特技ヘッド"), {Label6[28]}},
        {QStringLiteral("備考ヘッド"), {Label6[29]}},
        {QStringLiteral("退会日"), {Label6[30]}},
        {QStringLiteral("性別"), {Frame1}},
        {QStringLiteral("性別男"), {Option18[0]}},
        {QStringLiteral("性別女"), {Option18[1]}},
        {QStringLiteral("数値6"), {Label7[5]}},
        {QStringLiteral("状態"), {Frame4}},
        {QStringLiteral("状態会員"), {Option1[0]}},
        {QStringLiteral("状態休会"), {Option1[1]}},
        {QStringLiteral("状態退会"), {Option1[2]}},
        {QStringLiteral("自宅FAX"), {Label6[33]}},
        {QStringLiteral("数値7"), {Label7[6]}},
        {QStringLiteral("数値8"), {Label7[7]}},
        {QStringLiteral("数値9"), {Label7[8]}},
        {QStringLiteral("数値10"), {Label7[9]}},
    };
    for (const auto& [field, controls] : targets) {
        const QString caption = EffectiveCaption(CaptionValue(field), records::BuiltInCaption(field));
        for (QWidget* control : controls)
            setCaption(control, caption);
    }

    const records::BirthDateCaptions birth = records::BirthDateCaptionRule(CaptionValue(QStringLiteral("生年月日")));
    Label6[4]->setText(birth.label);
    Label3[10]->setText(birth.label);
    if (birth.ageUnit)
        Label2[2]->setText(*birth.ageUnit);
    if (birth.sortOption)
        Option2[4]->setText(*birth.sortOption);
    SyncAccessibleNames();
}

void Form3::ApplyListHeadings()
{
    const QList<std::pair<QString, std::pair<QLabel*, QLabel*>>> headings = {
        {QStringLiteral("登録番号"), {Label3[12], Label4[0]}},
        {QStringLiteral("氏名"), {Label3[11], Label6[3]}},
        {QStringLiteral("生年月日"), {Label3[10], Label6[4]}},
        {QStringLiteral("自宅電話"), {Label3[5], Label6[10]}},
        {QStringLiteral("携帯電話"), {Label3[6], Label6[16]}},
        {QStringLiteral("Eメールアドレス"), {Label3[2], Label6[11]}},
        {QStringLiteral("携帯メールアドレス"), {Label3[8], Label6[17]}},
        {QStringLiteral("登録区分"), {Label3[9], Label6[1]}},
        {QStringLiteral("備考"), {Label3[13], Label6[20]}},
    };
    for (const auto& [field, labels] : headings) {
        const QString caption = EffectiveCaption(CaptionValue(field), records::BuiltInCaption(field));
        labels.first->setText(caption);
        labels.second->setText(caption);
    }
    PlaceListArea();
    SyncAccessibleNames();
}

void Form3::SyncAccessibleNames()
{
    // A box is read by the caption of the field it holds, which the book may have changed.
    const QList<std::pair<QWidget*, QWidget*>> boxes = {
        {Text1[0], Label4[0]}, {Text1[24], Label6[0]}, {Combo2, Label6[1]}, {Text1[1], Label6[2]},
        {Text1[2], Label6[3]}, {Text1[3], Label6[4]}, {Text1[5], Label6[5]}, {Combo5[0], Label6[6]},
        {Combo5[1], Label6[7]}, {Text1[27], Label6[8]}, {Text1[7], Label6[9]}, {Text1[8], Label6[10]},
        {Text1[9], Label6[11]}, {Text1[10], Label6[12]}, {Text1[11], Label6[13]}, {Text1[12], Label6[14]},
        {Text1[13], Label6[15]}, {Text1[14], Label6[16]}, {Text1[15], Label6[17]}, {Text1[21], Label6[18]},
        {Text1[22], Label6[19]}, {Text1[23], Label6[20]}, {Text1[28], Label6[21]}, {Text1[29], Label6[30]},
        {Text1[25], Label6[33]}, {Text1[30], Label9},
    };
    for (const auto& [box, label] : boxes)
        box->setAccessibleName(captionOf(label));
    for (int k = 0; k < 10; ++k)
        Text2[size_t(k)]->setAccessibleName(captionOf(Label7[size_t(k)]));
    const QString era = QStringLiteral("の年号");
    Combo1->setAccessibleName(captionOf(Label6[4]) + era);
    Combo3->setAccessibleName(captionOf(Label6[0]) + era);
    Combo4->setAccessibleName(captionOf(Label6[30]) + era);
    Text1[4]->setAccessibleName(captionOf(Label6[0]) + QStringLiteral("からの年数"));
    Text1[6]->setAccessibleName(QStringLiteral("年齢"));
    // Tab lands in an editable combo box's own edit field, and its list opens apart: both are
    // read by the field the box holds.
    for (QComboBox* c : {static_cast<QComboBox*>(Combo1), static_cast<QComboBox*>(Combo2),
                         static_cast<QComboBox*>(Combo3), static_cast<QComboBox*>(Combo4),
                         static_cast<QComboBox*>(Combo5[0]), static_cast<QComboBox*>(Combo5[1])}) {
        if (c->lineEdit())
            c->lineEdit()->setAccessibleName(c->accessibleName());
        c->view()->setAccessibleName(c->accessibleName());
    }
}
