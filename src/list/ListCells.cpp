#include "list/ListCells.h"

#include "platform/db/Criteria.h"
#include "platform/db/Schema.h"
#include "records/DisplayOrder.h"
#include "records/RecordDisplay.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"

namespace listwin {

namespace {

bool IsEmpty(const QVariant& v)
{
    return v.isNull() || !v.isValid() || v.toString().isEmpty();
}

QString DateCell(const QVariant& v)
{
    return Module1::FormatShortSlashDateWeekday(records::StoredDate(v));
}

// The word of a "性別" value: its caption when that holds text, else the built-in word.
QString SexWord(const CaptionRow& captions, const QVariant& sex)
{
    const QString s = sex.isNull() ? QString() : sex.toString();
    if (s == QLatin1String("1"))
        return CaptionOrBuiltIn(captions, QStringLiteral("性別男"), QStringLiteral("男"));
    if (s == QLatin1String("2"))
        return CaptionOrBuiltIn(captions, QStringLiteral("性別女"), QStringLiteral("女"));
    return {};
}

// The word of a "状態" value: its caption as stored, the empty text included; the built-in word
// only where the caption is missing or Null.
QString StateWord(const CaptionRow& captions, const QVariant& state)
{
    static const QString fields[3] = {QStringLiteral("状態会員"), QStringLiteral("状態休会"), QStringLiteral("状態退会")};
    static const QString words[3] = {QStringLiteral("会員"), QStringLiteral("休会"), QStringLiteral("退会")};
    const QString s = state.isNull() ? QString() : state.toString();
    for (int i = 0; i < 3; ++i) {
        if (s != QString::number(i + 1))
            continue;
        const std::optional<QVariant> stored = captions.get(fields[i]);
        if (!stored || stored->isNull() || !stored->isValid())
            return words[i];
        return stored->toString();
    }
    return {};
}

} // namespace

std::optional<QVariant> CaptionRow::get(const QString& field) const
{
    if (!present)
        return std::nullopt;
    const auto it = fields.constFind(field);
    if (it == fields.constEnd())
        return std::nullopt;
    return *it;
}

CaptionRow ReadCaptionRow(const db::Recordset& captions)
{
    CaptionRow row;
    if (!captions.isOpen() || captions.bof() || captions.eof())
        return row;
    row.present = true;
    for (const QString& f : captions.fieldNames())
        row.fields.insert(f, captions.value(f));
    return row;
}

QString CaptionOrBuiltIn(const CaptionRow& row, const QString& field, const QString& builtIn)
{
    const std::optional<QVariant> stored = row.get(field);
    return stored && !IsEmpty(*stored) ? stored->toString() : builtIn;
}

const QStringList& ListCellFields()
{
    static const QStringList fields = {
        QStringLiteral("会員NO"),   QStringLiteral("登録日"),   QStringLiteral("退会日"),       QStringLiteral("性別"),
        QStringLiteral("会員区分名称"), QStringLiteral("氏名"), QStringLiteral("生年月日"),     QStringLiteral("郵便番号"),
        QStringLiteral("都道府県"), QStringLiteral("市町村"),   QStringLiteral("番地"),         QStringLiteral("住所2"),
        QStringLiteral("自宅電話"), QStringLiteral("携帯電話"), QStringLiteral("職業"),         QStringLiteral("職種専攻"),
        QStringLiteral("趣味"),     QStringLiteral("特技"),     QStringLiteral("備考"),         QStringLiteral("数値1"),
        QStringLiteral("数値2"),    QStringLiteral("数値3"),    QStringLiteral("数値4"),        QStringLiteral("数値5"),
        QStringLiteral("数値6"),    QStringLiteral("記事"),     QStringLiteral("状態"),         QStringLiteral("WebHome"),
    };
    return fields;
}

QString OrderSnapshotSql(int displayOrder)
{
    QStringList columns;
    for (const QString& f : ListCellFields())
        columns << QLatin1Char('"') + f + QLatin1Char('"');
    return QStringLiteral("SELECT %1 FROM \"%2\"").arg(columns.join(QLatin1Char(',')), records::DisplayOrderQuery(displayOrder));
}

QString OrderCountSql()
{
    return QStringLiteral("SELECT count(*) FROM \"%1\"").arg(db::schema::personTableName());
}

std::array<QString, CellColumns> ListCellTexts(const FieldValue& record, const CaptionRow& captions, const QDate& today)
{
    std::array<QString, CellColumns> cell;
    auto text = [&](const QString& f) {
        const QVariant v = record(f);
        return v.isNull() || !v.isValid() ? QString() : v.toString();
    };

    const QVariant number = record(QStringLiteral("会員NO"));
    if (!number.isNull() && number.isValid())
        cell[0] = Module1::FormatMemberNo(number.toLongLong());
    cell[1] = DateCell(record(QStringLiteral("登録日")));
    cell[2] = DateCell(record(QStringLiteral("退会日")));
    cell[3] = SexWord(captions, record(QStringLiteral("性別")));
    cell[4] = text(QStringLiteral("会員区分名称"));
    cell[5] = text(QStringLiteral("氏名"));
    const QDate birth = records::StoredDate(record(QStringLiteral("生年月日")));
    if (birth.isValid()) {
        cell[6] = Module1::FormatShortSlashDateWeekday(birth);
        cell[7] = QString::number(Module1::AgeInYears(birth, today)) + QLatin1Char(' ');
    }
    cell[8] = text(QStringLiteral("郵便番号")) + text(QStringLiteral("都道府県")) + text(QStringLiteral("市町村"))
              + text(QStringLiteral("番地")) + QLatin1Char(' ') + text(QStringLiteral("住所2"));
    cell[9] = text(QStringLiteral("自宅電話"));
    cell[10] = text(QStringLiteral("携帯電話"));
    const QString job = text(QStringLiteral("職業"));
    if (!job.isEmpty())
        cell[11] = job + QLatin1Char(' ') + text(QStringLiteral("職種専攻"));
    cell[12] = text(QStringLiteral("趣味"));
    cell[13] = text(QStringLiteral("特技"));
    cell[14] = text(QStringLiteral("備考"));
    for (int k = 0; k < 6; ++k)
        cell[size_t(15 + k)] = records::ValueFieldText(record(QStringLiteral("数値%1").arg(k + 1)));
    cell[21] = text(QStringLiteral("記事"));
    cell[22] = StateWord(captions, record(QStringLiteral("状態")));
    cell[23] = text(QStringLiteral("WebHome"));
    return cell;
}

std::array<QString, HeadingCount> ListHeadings(const CaptionRow& captions)
{
    std::array<QString, HeadingCount> h;
    auto from = [&](const char* field, const char* builtIn) {
        return CaptionOrBuiltIn(captions, QString::fromUtf8(field), QString::fromUtf8(builtIn));
    };
    h[0] = from("登録番号", "登録番号");
    h[1] = from("登録日", "登録日");
    h[2] = from("退会日", "退会日");
    h[3] = from("性別", "性別");
    h[4] = from("登録区分", "登録区分");
    h[5] = from("氏名", "氏名");
    h[6] = from("生年月日", "年月日");
    const QString birth = CaptionOrBuiltIn(captions, QStringLiteral("生年月日"), QString());
    h[7] = birth.isEmpty() || birth == QStringLiteral("生年月日") ? QStringLiteral("年齢") : QStringLiteral("年");
    h[8] = QStringLiteral("住所");
    h[9] = from("自宅電話", "自宅電話");
    h[10] = from("携帯電話", "携帯電話");
    h[11] = from("職業", "職業") + from("職種", "職種（専攻）");
    h[12] = from("趣味", "趣味");
    h[13] = from("特技", "特技");
    h[14] = from("備考", "備考");
    for (int k = 0; k < 6; ++k)
        h[size_t(15 + k)] = CaptionOrBuiltIn(captions, QStringLiteral("数値%1").arg(k + 1), QString());
    h[21] = from("記事", "記事");
    h[22] = from("状態", "状態");
    h[23] = QStringLiteral("URL");
    return h;
}

std::array<QString, 6> OrderOptionCaptions(const CaptionRow& captions)
{
    return {CaptionOrBuiltIn(captions, QStringLiteral("登録番号"), QStringLiteral("登録番号")),
            CaptionOrBuiltIn(captions, QStringLiteral("登録日"), QStringLiteral("登録日")),
            CaptionOrBuiltIn(captions, QStringLiteral("フリガナ"), QStringLiteral("フリガナ")),
            CaptionOrBuiltIn(captions, QStringLiteral("登録区分"), QStringLiteral("登録区分")),
            CaptionOrBuiltIn(captions, QStringLiteral("生年月日"), QStringLiteral("生年月日")),
            QStringLiteral("誕生日")};
}

QStringList CategoryWebAddresses(const QList<QVariantList>& namesAndAddresses, qint64 focused)
{
    QStringList out;
    if (focused < 0 || focused >= namesAndAddresses.size() || namesAndAddresses[focused].size() < 2)
        return out;
    const QVariant name = namesAndAddresses[focused][0];
    if (IsEmpty(name))
        return out;
    // The criterion compares as the engine's finds do; the name is a value, never query text.
    auto sameCategory = [&](const QVariantList& row) {
        return row.size() >= 2 && db::matches(row[0], db::Op::Eq, name);
    };
    qint64 i = 0;
    while (i < namesAndAddresses.size() && !sameCategory(namesAndAddresses[i]))
        ++i;
    for (; i < namesAndAddresses.size() && sameCategory(namesAndAddresses[i]); ++i) {
        const QVariant& address = namesAndAddresses[i][1];
        if (!IsEmpty(address))
            out << address.toString();
    }
    return out;
}

QString ManyPagesQuestion(qint64 pages)
{
    return QString::number(pages) + QStringLiteral(" 件のWebページを開きます　よろしいですか？");
}

bool IsRecordNumberText(const QString& text)
{
    int i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace listwin

namespace listwin {

QString WindowCaption(const QString& title, const QDate& today)
{
    return Module1::FitBytes(title, 160) + Module1::FormatCaptionDate(today);
}

} // namespace listwin
