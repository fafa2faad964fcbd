#include "records/FieldLimits.h"

#include "platform/text/Cp932.h"

namespace records {

const QList<TextBoxField>& TextBoxFields()
{
    // "学年", "携帯電話" and "WebHome" take what their fields hold (255 bytes).
    static const QList<TextBoxField> fields = {
        {0, QStringLiteral("会員NO"), BoxKind::MemberNo, 0},
        {1, QStringLiteral("フリガナ"), BoxKind::Reading, 255},
        {2, QStringLiteral("氏名"), BoxKind::Text, 255},
        {3, QStringLiteral("生年月日"), BoxKind::EraDate, 0},
        {4, QString(), BoxKind::Shown, 0},
        {5, QStringLiteral("郵便番号"), BoxKind::Text, 50},
        {6, QString(), BoxKind::Shown, 0},
        {7, QStringLiteral("住所2"), BoxKind::Text, 128},
        {8, QStringLiteral("自宅電話"), BoxKind::Text, 50},
        {9, QStringLiteral("Eメール"), BoxKind::Text, 128},
        {10, QStringLiteral("職業"), BoxKind::Text, 64},
        {11, QStringLiteral("勤務先学校"), BoxKind::Text, 64},
        {12, QStringLiteral("職種専攻"), BoxKind::Text, 64},
        {13, QStringLiteral("学年"), BoxKind::Text, 255},
        {14, QStringLiteral("携帯電話"), BoxKind::Text, 255},
        {15, QStringLiteral("携帯Eメール"), BoxKind::Text, 128},
        {21, QStringLiteral("趣味"), BoxKind::Text, 255},
        {22, QStringLiteral("特技"), BoxKind::Text, 255},
        {23, QStringLiteral("備考"), BoxKind::Text, 255},
        {24, QStringLiteral("登録日"), BoxKind::EraDate, 0},
        {25, QStringLiteral("自宅FAX"), BoxKind::Text, 50},
        {27, QStringLiteral("番地"), BoxKind::Text, 128},
        {28, QStringLiteral("記事"), BoxKind::Text, 64000},
        {29, QStringLiteral("退会日"), BoxKind::EraDate, 0},
        {30, QStringLiteral("WebHome"), BoxKind::WebAddress, 255},
    };
    return fields;
}

const TextBoxField* TextBoxFieldOf(int index)
{
    for (const TextBoxField& f : TextBoxFields())
        if (f.index == index)
            return &f;
    return nullptr;
}

QString InvalidInputMessage()
{
    return QStringLiteral("入力データが不正またはデータが長すぎます");
}

bool FitsLimit(const QString& text, int limit)
{
    return limit <= 0 || text::byteWidth(text) <= limit;
}

std::optional<qint64> ParseMemberNo(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 18)
        return std::nullopt;
    qint64 n = 0;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    if (n > MaxMemberNo)
        return std::nullopt;
    return n;
}

QString StoredWebAddress(const QString& text)
{
    for (const QChar c : text)
        if (c != u' ')
            return text;
    return QStringLiteral("");
}

} // namespace records
