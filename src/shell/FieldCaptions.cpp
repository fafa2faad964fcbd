#include "shell/FieldCaptions.h"

#include "shell/SettingsStore.h"

#include <array>

namespace settings {

namespace {

using S = QString;

FieldCaption row(const char* field, const char* label, const char* hint, const char* builtIn, const char* reset,
                 bool onlyNull = false)
{
    return {S::fromUtf8(field), S::fromUtf8(label), S::fromUtf8(hint), S::fromUtf8(builtIn), S::fromUtf8(reset),
            onlyNull};
}

const std::array<FieldCaption, FieldCaptionCount>& table()
{
    static const std::array<FieldCaption, FieldCaptionCount> t = {
        row("登録番号", "登録番号", "数値（５桁）", "登録番号", "登録番号", true),
        row("登録日", "登録日", "日付", "登録日", "登録日"),
        row("登録区分", "登録区分", "全角（１２７桁）", "登録区分", "登録区分"),
        row("フリガナ", "フリガナ", "半角カタカナ（２５５桁）", "フリガナ", "フリガナ"),
        row("氏名", "氏名", "全角（１２７桁）", "氏名", "氏名"),
        row("生年月日", "生年月日", "日付", "生年月日", "生年月日"),
        row("郵便番号", "〒", "半角英数（５０桁）", "〒", "郵便番号"),
        row("都道府県", "都道府県", "全角（２５桁）", "都道府県", "都道府県"),
        row("市町村", "市区町村", "全角（５０桁）", "市町村", "市町村"),
        row("番地", "番地", "全角（６４桁）", "番地", "番地"),
        row("ビル", "ビル", "全角（１２７桁）", "ビル", "ビル"),
        row("自宅電話", "自宅電話", "半角英数（５０桁）", "自宅電話", "自宅電話"),
        row("Eメールアドレス", "Ｅメールアドレス", "半角（１２８桁）", "Ｅメールアドレス", "Eメールアドレス"),
        row("職業", "職業", "全角（３２桁）", "職業", "職業"),
        row("勤務先", "勤務先（学校）", "全角（３２桁）", "勤務先", "勤務先（学校）"),
        row("職種", "職種（専攻）", "全角（３２桁）", "職種（専攻）", "職種（専攻）"),
        row("学年", "（学年）", "全角（３２桁）", "（学年）", "（学年）"),
        row("携帯電話", "携帯電話", "半角英数（５０桁）", "携帯電話", "携帯電話"),
        row("携帯メールアドレス", "携帯メールアドレス", "半角英数（１２８桁）", "携帯メールアドレス", "携帯メールアドレス"),
        row("趣味", "趣味", "全角（１２７桁）", "趣味", "趣味"),
        row("特技", "特技", "全角（１２７桁）", "特技", "特技"),
        row("備考", "備考", "全角（１２７桁）", "備考", "備考"),
        row("記事", "記事", "全角（３２０００桁）", "記事", "記事"),
        row("数値1", "数値１", "数値（小数点１桁）", "数値１", "数値1"),
        row("数値2", "数値２", "数値（小数点１桁）", "数値２", "数値2"),
        row("数値3", "数値３", "数値（小数点１桁）", "数値３", "数値3"),
        row("数値4", "数値４", "数値（小数点１桁）", "数値４", "数値4"),
        row("数値5", "数値５", "数値（小数点１桁）", "数値５", "数値5"),
        row("趣味ヘッド", "趣味上ラベル", "全角", "", ""),
        row("特技ヘッド", "特技上ラベル", "全角", "", ""),
        row("備考ヘッド", "備考上ラベル", "全角", "", ""),
        row("退会日", "退会日", "日付", "退会日", "退会日"),
        row("性別", "性別", "全角（６４桁）", "性別", "性別"),
        row("性別男", "性別男", "全角（６４桁）", "男", "男"),
        row("性別女", "性別女", "全角（６４桁）", "女", "女"),
        row("数値6", "数値６", "数値（小数点１桁）", "数値６", "数値6"),
        row("状態", "状態", "全角（６４桁）", "状態", "状態", true),
        row("状態会員", "状態会員", "全角（６４桁）", "会員", "会員", true),
        row("状態休会", "状態休会", "全角（６４桁）", "休会", "休会", true),
        row("状態退会", "状態退会", "全角（６４桁）", "退会", "退会", true),
        row("自宅FAX", "自宅FAX", "半角英数（５０桁）", "自宅FAX", "自宅FAX"),
        row("数値7", "数値７", "数値（小数点１桁）", "数値７", "数値7"),
        row("数値8", "数値８", "数値（小数点１桁）", "数値８", "数値8"),
        row("数値9", "数値９", "数値（小数点１桁）", "数値９", "数値9"),
        row("数値10", "数値１０", "数値（小数点１桁）", "数値１０", "数値10"),
    };
    return t;
}

} // namespace

const FieldCaption& fieldCaption(int index)
{
    return table().at(size_t(index));
}

const QList<int>& captionColumnOrder()
{
    static const QList<int> order = {0,  1,  31, 32, 33, 34, 2,  3,  4,  5,  6,  7,  8,  9,
                                     10, 11, 40, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                     23, 24, 25, 26, 27, 35, 41, 42, 43, 44, 36, 37, 38, 39};
    return order;
}

bool isEmptyCaption(int index, const QVariant& stored)
{
    if (stored.isNull())
        return true;
    return !fieldCaption(index).onlyNullIsEmpty && stored.toString().isEmpty();
}

QString shownCaption(int index, const QVariant& stored)
{
    return isEmptyCaption(index, stored) ? fieldCaption(index).builtIn : stored.toString();
}

QString storedCaption(int index, const QString& boxText)
{
    if (boxText.isEmpty() && (index == 0 || index == 2))
        return fieldCaption(index).field;
    return boxText;
}

void resetFieldCaptions(db::Recordset& captions)
{
    bool hasRow = true;
    try {
        captions.moveFirst();
    } catch (const db::Error& e) {
        if (e.number() != db::err::NoCurrentRecord)
            throw;
        hasRow = false;
    }
    if (hasRow && captions.eof())
        hasRow = false;
    if (hasRow)
        captions.edit();
    else
        captions.addNew();
    try {
        for (int i = 0; i < FieldCaptionCount; ++i)
            captions.setValue(fieldCaption(i).field, textValue(fieldCaption(i).reset));
        captions.update();
    } catch (...) {
        captions.cancelUpdate();
        throw;
    }
}

} // namespace settings
