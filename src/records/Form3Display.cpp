// Showing the record on the screen, and emptying the controls before the next one.

#include "records/Form3.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Options.h"
#include "records/Boxes.h"
#include "records/RecordDisplay.h"
#include "records/RecordFolder.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>

using namespace Module1;
using records::SetBoxText;

namespace {

// Turns every button of a group off, which an exclusive group does not allow by itself.
template <size_t N>
void turnOff(const std::array<QRadioButton*, N>& group)
{
    for (QRadioButton* b : group) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

} // namespace

void Form3::ClearRecordControls()
{
    Filling = true;
    for (QWidget* box : Text1)
        if (box)
            SetBoxText(box, QString());
    for (QLineEdit* box : Text2)
        box->clear();
    for (QWidget* box : {static_cast<QWidget*>(Combo5[0]), static_cast<QWidget*>(Combo5[1]),
                         static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo3),
                         static_cast<QWidget*>(Combo4), static_cast<QWidget*>(Combo2)})
        SetBoxText(box, QString());
    turnOff(Option18);
    turnOff(Option1);
    for (int i : {0, 7, 1})
        Label3[size_t(i)]->clear();
    Filling = false;
}

void Form3::ShowRecord()
{
    Label15->setText(records::PositionText(Cursor.position(), Cursor.count()));
    if (IsBookEmpty())
        return;
    Filling = true;
    try {
        ShowFields(Cursor.record());
    } catch (const db::Error& e) {
        // The controls written so far stay; the window goes on.
        ReportError(e);
    }
    Filling = false;
}

void Form3::ShowFields(db::Recordset& rs)
{
    const QDate today = ui::dialogs().today();
    const QList<Era> eras = LoadEras();
    auto showText = [&rs, this](int index, const QString& field) {
        const QString text = rs.text(field);
        if (!text.isEmpty())
            SetBoxText(Text1[size_t(index)], text);
    };
    auto showCombo = [&rs](QWidget* box, const QString& field) {
        const QString text = rs.text(field);
        if (!text.isEmpty())
            SetBoxText(box, text);
    };

    for (QLineEdit* box : Text2)
        box->clear();
    // The button of the order in force; its click changes nothing for that order.
    ui::checkOption(Option2[size_t(DisplayOrder - 1)]);

    const QVariant number = rs.value(QStringLiteral("会員NO"));
    if (!number.isNull())
        SetBoxText(Text1[0], FormatMemberNo(number.toLongLong()));

    const QDate registered = records::StoredDate(rs.value(QStringLiteral("登録日")));
    records::EraDateTexts registeredTexts;
    if (registered.isValid()) {
        registeredTexts = records::EraTexts(eras, registered, &EraDate);
        SetBoxText(Text1[24], registeredTexts.eraDate);
        Label3[7]->setText(registeredTexts.western);
    }

    const QDate left = records::StoredDate(rs.value(QStringLiteral("退会日")));
    if (left.isValid()) {
        const records::EraDateTexts t = records::EraTexts(eras, left, &EraDate);
        SetBoxText(Text1[29], t.eraDate);
        Label3[1]->setText(t.western);
        SetBoxText(Combo4, FormatEraName(eras, left));
    }

    showCombo(Combo2, QStringLiteral("会員区分名称"));

    // Turning a button on raises its click, as the old controls did.
    if (const int sex = records::SexOption(rs.value(QStringLiteral("性別"))); sex >= 0)
        ui::checkOption(Option18[size_t(sex)]);
    if (const int state = records::StateOption(rs.value(QStringLiteral("状態"))); state >= 0)
        ui::checkOption(Option1[size_t(state)]);
    // A change of value raises the box's click.
    Check1->setChecked(records::RefusesMail(rs.value(QStringLiteral("メール送信拒否"))));

    showText(1, QStringLiteral("フリガナ"));
    showText(2, QStringLiteral("氏名"));

    const QDate birth = records::StoredDate(rs.value(QStringLiteral("生年月日")));
    if (birth.isValid()) {
        const records::EraDateTexts t = records::EraTexts(eras, birth, &EraDate);
        SetBoxText(Combo1, t.eraName);
        SetBoxText(Text1[3], t.eraDate);
        Label3[0]->setText(t.western);
    } else {
        SetBoxText(Combo1, QString());
        SetBoxText(Text1[3], QString());
        Label3[0]->clear();
    }

    if (registered.isValid()) {
        SetBoxText(Text1[4], records::YearsSinceText(registered, today));
        SetBoxText(Combo3, registeredTexts.eraName);
    }

    showText(5, QStringLiteral("郵便番号"));

    if (birth.isValid()) {
        WriteBackAge(rs, birth, today);
        SetBoxText(Text1[6], QString::number(AgeInYears(birth, today)));
    }

    showText(7, QStringLiteral("住所2"));
    showText(27, QStringLiteral("番地"));
    showText(8, QStringLiteral("自宅電話"));
    showText(25, QStringLiteral("自宅FAX"));
    showText(9, QStringLiteral("Eメール"));
    showText(10, QStringLiteral("職業"));
    showText(11, QStringLiteral("勤務先学校"));
    showText(12, QStringLiteral("職種専攻"));
    showText(13, QStringLiteral("学年"));
    showText(14, QStringLiteral("携帯電話"));
    showText(15, QStringLiteral("携帯Eメール"));
    for (int k = 0; k < 10; ++k)
        records::SetBoxText(Text2[size_t(k)], records::ValueFieldText(rs.value(QStringLiteral("数値%1").arg(k + 1))));
    showText(21, QStringLiteral("趣味"));
    showText(22, QStringLiteral("特技"));
    showText(23, QStringLiteral("備考"));
    showText(28, QStringLiteral("記事"));
    showCombo(Combo5[0], QStringLiteral("都道府県"));
    showCombo(Combo5[1], QStringLiteral("市町村"));
    showText(30, QStringLiteral("WebHome"));
}

void Form3::WriteBackAge(db::Recordset& rs, const QDate& birth, const QDate& today)
{
    const QVariant stored = rs.value(QStringLiteral("年齢"));
    if (stored.isNull() || stored.toDouble() != 0)
        return;
    try {
        rs.edit();
        rs.setValue(QStringLiteral("年齢"), AgeInYears(birth, today));
        rs.update();
    } catch (const db::Error&) {
        // A book that cannot be written (read-only, locked) still shows the computed age.
        try {
            rs.cancelUpdate();
        } catch (const db::Error&) {
        }
    }
}

void Form3::ShowRecordPicture()
{
    if (IsBookEmpty())
        return;
    const QVariant number = Cursor.record().value(QStringLiteral("会員NO"));
    if (number.isNull())
        return;
    const QString path = records::RecordPicture(WindowDbFile, number.toLongLong());
    if (path.isEmpty())
        return;
    const QPixmap picture = ShownPixmap.get(path, Image1->contentsRect().size());
    if (picture.isNull())
        return;
    if (Image1->pixmap().cacheKey() != picture.cacheKey())
        Image1->setPixmap(picture);
    ShownPicture = path;
}
