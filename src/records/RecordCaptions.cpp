#include "records/RecordCaptions.h"

namespace records {

QString EffectiveCaption(const QVariant& stored, const QString& builtIn)
{
    if (stored.isNull() || !stored.isValid())
        return builtIn;
    const QString text = stored.toString();
    return text.isEmpty() ? builtIn : text;
}

const QList<CaptionField>& RecordWindowCaptions()
{
    static const QList<CaptionField> captions = {
        {QStringLiteral("登録番号"), QStringLiteral("登録番号")},
        {QStringLiteral("登録日"), QStringLiteral("登録日")},
        {QStringLiteral("登録区分"), QStringLiteral("登録区分")},
        {QStringLiteral("フリガナ"), QStringLiteral("フリガナ")},
        {QStringLiteral("氏名"), QStringLiteral("氏名")},
        {QStringLiteral("生年月日"), QStringLiteral("生年月日")},
        {QStringLiteral("郵便番号"), QStringLiteral("〒")},
        {QStringLiteral("都道府県"), QStringLiteral("都道府県")},
        {QStringLiteral("市町村"), QStringLiteral("市区町村")},
        {QStringLiteral("番地"), QStringLiteral("番地")},
        {QStringLiteral("ビル"), QStringLiteral("ビル")},
        {QStringLiteral("自宅電話"), QStringLiteral("自宅電話")},
        {QStringLiteral("Eメールアドレス"), QStringLiteral("Ｅメールアドレス")},
        {QStringLiteral("職業"), QStringLiteral("職業")},
        {QStringLiteral("勤務先"), QStringLiteral("勤務先")},
        {QStringLiteral("職種"), QStringLiteral("職種（専攻）")},
        {QStringLiteral("学年"), QStringLiteral("（学年）")},
        {QStringLiteral("携帯電話"), QStringLiteral("携帯電話")},
        {QStringLiteral("携帯メールアドレス"), QStringLiteral("携帯メールアドレス")},
        {QStringLiteral("趣味"), QStringLiteral("趣味")},
        {QStringLiteral("特技"), QStringLiteral("特技")},
        {QStringLiteral("備考"), QStringLiteral("備考")},
        {QStringLiteral("記事"), QStringLiteral("記事")},
        {QStringLiteral("数値1"), QStringLiteral("数値１")},
        {QStringLiteral("数値2"), QStringLiteral("数値２")},
        {QStringLiteral("数値3"), QStringLiteral("数値３")},
        {QStringLiteral("数値4"), QStringLiteral("数値４")},
        {QStringLiteral("数値5"), QStringLiteral("数値５")},
        {QStringLiteral("趣味ヘッド"), QString()},
        {QStringLiteral("特技ヘッド"), QString()},
        {QStringLiteral("備考ヘッド"), QString()},
        {QStringLiteral("退会日"), QStringLiteral("退会日")},
        {QStringLiteral("性別"), QStringLiteral("性別")},
        {QStringLiteral("性別男"), QStringLiteral("男")},
        {QStringLiteral("性別女"), QStringLiteral("女")},
        {QStringLiteral("数値6"), QStringLiteral("数値６")},
        {QStringLiteral("状態"), QStringLiteral("状態")},
        {QStringLiteral("状態会員"), QStringLiteral("会員")},
        {QStringLiteral("状態休会"), QStringLiteral("休会")},
        {QStringLiteral("状態退会"), QStringLiteral("退会")},
        {QStringLiteral("自宅FAX"), QStringLiteral("自宅FAX")},
        {QStringLiteral("数値7"), QStringLiteral("数値７")},
        {QStringLiteral("数値8"), QStringLiteral("数値８")},
        {QStringLiteral("数値9"), QStringLiteral("数値９")},
        {QStringLiteral("数値10"), QStringLiteral("数値１０")},
    };
    return captions;
}

QString BuiltInCaption(const QString& field)
{
    for (const CaptionField& c : RecordWindowCaptions())
        if (c.field == field)
            return c.builtIn;
    return {};
}

const QStringList& ListHeadingFields()
{
    static const QStringList fields = {
        QStringLiteral("登録番号"), QStringLiteral("氏名"), QStringLiteral("生年月日"),
        QStringLiteral("自宅電話"), QStringLiteral("携帯電話"), QStringLiteral("Eメールアドレス"),
        QStringLiteral("携帯メールアドレス"), QStringLiteral("登録区分"), QStringLiteral("備考"),
    };
    return fields;
}

BirthDateCaptions BirthDateCaptionRule(const QVariant& stored)
{
    static const QString kBirthDate = QStringLiteral("生年月日");
    BirthDateCaptions r;
    r.label = EffectiveCaption(stored, kBirthDate);
    const bool empty = stored.isNull() || !stored.isValid() || stored.toString().isEmpty();
    if (empty)
        return r;
    if (r.label == kBirthDate) {
        r.ageUnit = QStringLiteral("歳");
        r.sortOption = kBirthDate;
    } else {
        r.ageUnit = QStringLiteral("年");
        r.sortOption = r.label;
    }
    return r;
}

} // namespace records
