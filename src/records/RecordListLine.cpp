#include "records/RecordListLine.h"

#include "records/RecordDisplay.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"

using Module1::FitBytes;

namespace records {
namespace {

enum Column { No, Name, Birth, City, Street, Home, Mobile, Mail, MobileMail, Refuses, Category, Remarks, Count };

QString textOf(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

QString characters(const QString& text, int width)
{
    return text.leftJustified(width, u' ', true);
}

} // namespace

const QStringList& RecordListFields()
{
    static const QStringList fields = {
        QStringLiteral("会員NO"),   QStringLiteral("氏名"),     QStringLiteral("生年月日"),
        QStringLiteral("市町村"),   QStringLiteral("番地"),     QStringLiteral("自宅電話"),
        QStringLiteral("携帯電話"), QStringLiteral("Eメール"),  QStringLiteral("携帯Eメール"),
        QStringLiteral("メール送信拒否"), QStringLiteral("会員区分名称"), QStringLiteral("備考"),
    };
    return fields;
}

QString RecordListLine(const QVariantList& v, const QDate& today)
{
    if (v.size() < Count)
        return {};
    QString line;
    line.reserve(170);

    line += v[No].isNull() ? QString(8, u' ') : Module1::FormatMemberNo(v[No].toLongLong());
    line += u' ';
    line += FitBytes(textOf(v[Name]), 12);

    const QDate birth = StoredDate(v[Birth]);
    if (birth.isValid()) {
        line += Module1::FormatShortSlashDate(birth).rightJustified(8, u' ', true);
        line += QString::number(Module1::AgeInYears(birth, today)).rightJustified(3, u' ', true);
    } else {
        line += QString(11, u' ');
    }
    line += u' ';

    const QString city = textOf(v[City]);
    line += city.isEmpty() ? QString(28, u' ') : FitBytes(city + textOf(v[Street]), 28);
    line += characters(textOf(v[Home]), 14);
    line += characters(textOf(v[Mobile]), 14);

    const QString mark = RefusesMail(v[Refuses]) ? QStringLiteral("*") : QString();
    const QString mail = textOf(v[Mail]);
    line += IsBlankAfterLeadingSpaces(mail) ? QString(30, u' ') : FitBytes(mark + mail, 30);
    line += u' ';
    const QString mobileMail = textOf(v[MobileMail]);
    line += IsBlankAfterLeadingSpaces(mobileMail) ? QString(30, u' ') : FitBytes(mark + mobileMail, 30) + mark;

    line += FitBytes(textOf(v[Category]), 8);
    line += textOf(v[Remarks]);
    return line;
}

bool IsBlankAfterLeadingSpaces(const QString& text)
{
    for (const QChar c : text)
        if (c != u' ')
            return false;
    return true;
}

QStringList RecordListLines(const QList<QVariantList>& rows, const QDate& today)
{
    QStringList lines;
    lines.reserve(rows.size());
    for (const QVariantList& row : rows)
        lines << RecordListLine(row, today);
    return lines;
}

} // namespace records
