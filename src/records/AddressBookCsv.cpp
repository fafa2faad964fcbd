#include "records/AddressBookCsv.h"
#include "records/FieldLimits.h"

#include "platform/db/Inserter.h"
#include "platform/db/Schema.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/ListOutput.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <functional>
#include <unordered_map>

namespace records {

namespace {

const QString kNo = QStringLiteral("会員NO");

// The fields of columns 12 to 21, 22 to 31 and 32 to 35, named once: every record passes here.
const QStringList& textFields()
{
    static const QStringList f = {QStringLiteral("住所2"), QStringLiteral("自宅電話"), QStringLiteral("自宅FAX"),
                                  QStringLiteral("Eメール"), QStringLiteral("携帯電話"), QStringLiteral("携帯Eメール"),
                                  QStringLiteral("職業"), QStringLiteral("勤務先学校"), QStringLiteral("職種専攻"),
                                  QStringLiteral("学年")};
    return f;
}
const QStringList& valueFields()
{
    static const QStringList f = [] {
        QStringList v;
        for (int i = 1; i <= 10; ++i)
            v << QStringLiteral("数値%1").arg(i);
        return v;
    }();
    return f;
}
const QStringList& tailFields()
{
    static const QStringList f = {QStringLiteral("趣味"), QStringLiteral("特技"), QStringLiteral("備考"), QStringLiteral("WebHome")};
    return f;
}

bool isEmptyCaption(const QVariant& v) { return v.isNull() || v.toString().isEmpty(); }

// "caption X": the caption's text, or the fixed word when the caption is Null.
QString captionOr(const CaptionRow& c, const QString& field, const QString& fixed)
{
    const QVariant v = c.value(field);
    return v.isNull() ? fixed : v.toString();
}

QString fieldText(const QVariant& v) { return db::TextOf(v); }

QString dateCell(const QVariant& v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return Module1::FormatSlashDateWeekday(v.toDate());
    return v.toString();
}

QString numberCell(const QVariant& v)
{
    if (v.isNull())
        return {};
    const double d = v.toDouble();
    return d == 0 ? QString() : PlainNumber(d);
}

// A date as typed or as the export writes it: "yyyy/mm/dd" or "yyyy/mm/dd(aaa)" (also with "-").
std::optional<QDate> readDate(QStringView cell)
{
    const QStringView t = cell.trimmed();
    int part[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int k = 0;
    qsizetype i = 0;
    for (; i < t.size() && k < 3; ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            part[k] = part[k] * 10 + (c.unicode() - u'0');
            if (++digits[k] > 4)
                return std::nullopt;
        } else if ((c == u'/' || c == u'-') && k < 2 && digits[k] > 0) {
            ++k;
        } else {
            break;
        }
    }
    if (k != 2 || digits[2] == 0 || digits[1] > 2 || digits[2] > 2)
        return std::nullopt;
    // What may follow: a weekday in brackets, as the export writes it.
    const QStringView rest = t.mid(i).trimmed();
    if (!rest.isEmpty() && !(rest.startsWith(u'(') && rest.endsWith(u')')))
        return std::nullopt;
    const QDate d(part[0], part[1], part[2]);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

std::optional<double> readNumber(QStringView cell)
{
    // Whole numbers, the common case, without the general parser.
    const QStringView t = cell.trimmed();
    if (!t.isEmpty() && t.size() < 16) {
        qsizetype i = t[0] == u'-' ? 1 : 0;
        qint64 n = 0;
        bool plain = i < t.size();
        for (; plain && i < t.size(); ++i) {
            const QChar c = t[i];
            plain = c >= u'0' && c <= u'9';
            n = n * 10 + (c.unicode() - u'0');
        }
        if (plain)
            return double(t[0] == u'-' ? -n : n);
    }
    QString u = t.toString();
    u.remove(QLatin1Char(','));
    bool ok = false;
    const double d = u.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

} // namespace

CaptionRow ReadCaptionRow(const db::Recordset& captionRs)
{
    CaptionRow row;
    if (!captionRs.isOpen() || captionRs.eof() || captionRs.bof())
        return row;
    for (const QString& f : captionRs.fieldNames())
        row.insert(f, captionRs.value(f));
    return row;
}

CategoryList ReadCategories(db::Recordset& categoryRs)
{
    CategoryList list;
    if (!categoryRs.isOpen() || categoryRs.recordCount() == 0)
        return list;
    const db::Bookmark keep = categoryRs.eof() || categoryRs.bof() ? db::Bookmark{} : categoryRs.bookmark();
    for (categoryRs.moveFirst(); !categoryRs.eof(); categoryRs.moveNext())
        list.append({categoryRs.value(QStringLiteral("会員区分コード")).toLongLong(),
                     categoryRs.text(QStringLiteral("会員区分名称"))});
    if (keep.valid)
        categoryRs.setBookmark(keep);
    return list;
}

QString SexWord(const CaptionRow& c, const QString& code)
{
    auto word = [&](const QString& field, const QString& fixed) {
        const QVariant v = c.value(field);
        return isEmptyCaption(v) ? fixed : v.toString();
    };
    if (code == QLatin1String("1"))
        return word(QStringLiteral("性別男"), QStringLiteral("男"));
    if (code == QLatin1String("2"))
        return word(QStringLiteral("性別女"), QStringLiteral("女"));
    return {};
}

QString StatusWord(const CaptionRow& c, const QString& code)
{
    auto word = [&](const QString& field, const QString& fixed) {
        const QVariant v = c.value(field);
        return isEmptyCaption(v) ? fixed : v.toString();
    };
    if (code == QLatin1String("1"))
        return word(QStringLiteral("状態会員"), QStringLiteral("会員"));
    if (code == QLatin1String("2"))
        return word(QStringLiteral("状態休会"), QStringLiteral("休会"));
    if (code == QLatin1String("3"))
        return word(QStringLiteral("状態退会"), QStringLiteral("退会"));
    return {};
}

QString SexCode(const CaptionRow& c, const QString& cell)
{
    if (cell.isEmpty())
        return QStringLiteral("2");
    if (cell == SexWord(c, QStringLiteral("1")))
        return QStringLiteral("1");
    if (cell == SexWord(c, QStringLiteral("2")))
        return QStringLiteral("2");
    // A file written before the captions changed still says "男".
    return cell == QStringLiteral("男") ? QStringLiteral("1") : QStringLiteral("2");
}

std::optional<QString> StatusCode(const CaptionRow& c, const QString& cell)
{
    if (cell.isEmpty())
        return std::nullopt;
    std::optional<QString> code;
    for (const char* k : {"1", "2", "3"}) {  // a later equal word wins, as before
        if (cell == StatusWord(c, QString::fromLatin1(k)))
            code = QString::fromLatin1(k);
    }
    if (code)
        return code;
    const QStringList builtIn = {QStringLiteral("会員"), QStringLiteral("休会"), QStringLiteral("退会")};
    const qsizetype i = builtIn.indexOf(cell);
    return i >= 0 ? std::optional<QString>(QString::number(i + 1)) : std::nullopt;
}

QString PlainNumber(double value)
{
    // As a Double was written as text: 15 significant digits, rounded, never an exponent.
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0");
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", value);  // [-]d.dddddddddddddde[+-]xx
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out;
    if (exponent >= 0) {
        const size_t whole = size_t(exponent) + 1;
        if (digits.size() <= whole) {
            out = digits + std::string(whole - digits.size(), '0');
        } else {
            out = digits.substr(0, whole) + '.' + digits.substr(whole);
        }
    } else {
        out = "0." + std::string(size_t(-exponent - 1), '0') + digits;
    }
    if (negative)
        out.insert(out.begin(), '-');
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString BuiltInDefaultPrefecture() { return QStringLiteral("東京都"); }

const QStringList& PrefectureNames()
{
    static const QStringList names = {
        QStringLiteral("北海道"), QStringLiteral("青森県"), QStringLiteral("岩手県"), QStringLiteral("宮城県"),
        QStringLiteral("秋田県"), QStringLiteral("山形県"), QStringLiteral("福島県"), QStringLiteral("茨城県"),
        QStringLiteral("栃木県"), QStringLiteral("群馬県"), QStringLiteral("埼玉県"), QStringLiteral("千葉県"),
        QStringLiteral("東京都"), QStringLiteral("神奈川県"), QStringLiteral("新潟県"), QStringLiteral("富山県"),
        QStringLiteral("石川県"), QStringLiteral("福井県"), QStringLiteral("山梨県"), QStringLiteral("長野県"),
        QStringLiteral("岐阜県"), QStringLiteral("静岡県"), QStringLiteral("愛知県"), QStringLiteral("三重県"),
        QStringLiteral("滋賀県"), QStringLiteral("京都府"), QStringLiteral("大阪府"), QStringLiteral("兵庫県"),
        QStringLiteral("奈良県"), QStringLiteral("和歌山県"), QStringLiteral("鳥取県"), QStringLiteral("島根県"),
        QStringLiteral("岡山県"), QStringLiteral("広島県"), QStringLiteral("山口県"), QStringLiteral("徳島県"),
        QStringLiteral("香川県"), QStringLiteral("愛媛県"), QStringLiteral("高知県"), QStringLiteral("福岡県"),
        QStringLiteral("佐賀県"), QStringLiteral("長崎県"), QStringLiteral("熊本県"), QStringLiteral("大分県"),
        QStringLiteral("宮崎県"), QStringLiteral("鹿児島県"), QStringLiteral("沖縄県")};
    return names;
}

Address SplitAddress(const QString& a, const QString& defaultPrefecture)
{
    Address r;
    r.prefecture = defaultPrefecture;
    qsizetype start = 0;  // 0-based start of the city part
    for (const QString& name : PrefectureNames()) {
        if (a.startsWith(name)) {
            r.prefecture = name;
            start = name.size();
            break;
        }
    }
    qsizetype m = -1;
    // Cities whose name holds 市 before its end would be cut at that first 市.
    for (const QString& city : {QStringLiteral("四日市市"), QStringLiteral("廿日市市"), QStringLiteral("野々市市")}) {
        if (QStringView(a).mid(start).startsWith(city)) {
            m = start + city.size() - 1;
            break;
        }
    }
    if (m < 0 && (m = a.indexOf(QStringLiteral("市"), start + 1)) < 0 && (m = a.indexOf(QStringLiteral("区"), start)) < 0
        && (m = a.indexOf(QStringLiteral("町"), start + 1)) < 0)
        m = a.indexOf(QStringLiteral("村"), start + 1);
    if (m >= 0) {
        r.city = a.mid(start, m - start + 1);
        r.street = a.mid(m + 1);
    } else {
        r.street = a;
    }
    return r;
}

const QStringList& CsvColumnHeadings()
{
    static const QStringList h = CsvHeaderCells({});
    return h;
}

QStringList CsvHeaderCells(const CaptionRow& c)
{
    QStringList h;
    h << captionOr(c, QStringLiteral("登録番号"), QStringLiteral("登録番号"))
      << captionOr(c, QStringLiteral("登録日"), QStringLiteral("登録日"))
      << captionOr(c, QStringLiteral("退会日"), QStringLiteral("退会日"))
      << captionOr(c, QStringLiteral("登録区分"), QStringLiteral("登録区分"))
      << captionOr(c, QStringLiteral("フリガナ"), QStringLiteral("フリガナ"))
      << captionOr(c, QStringLiteral("氏名"), QStringLiteral("氏名"))
      << captionOr(c, QStringLiteral("性別"), QStringLiteral("性別"))
      << captionOr(c, QStringLiteral("生年月日"), QStringLiteral("生年月日"));
    const QVariant birth = c.value(QStringLiteral("生年月日"));
    h << (birth.isNull() || birth.toString() == QStringLiteral("生年月日") ? QStringLiteral("年齢") : QStringLiteral("経過年"));
    h << captionOr(c, QStringLiteral("郵便番号"), QStringLiteral("郵便番号")) << QStringLiteral("住所1") << QStringLiteral("住所2");
    for (const char* f : {"自宅電話", "自宅FAX", "Eメールアドレス", "携帯電話", "携帯メールアドレス", "職業", "勤務先", "職種", "学年"})
        h << captionOr(c, QString::fromUtf8(f), QString::fromUtf8(f));
    static const char* const fullWidth[] = {"１", "２", "３", "４", "５", "６", "７", "８", "９", "１０"};
    for (int i = 1; i <= 10; ++i)
        h << captionOr(c, QStringLiteral("数値%1").arg(i), QStringLiteral("数値") + QString::fromUtf8(fullWidth[i - 1]));
    for (const char* f : {"趣味", "特技", "備考"})
        h << captionOr(c, QString::fromUtf8(f), QString::fromUtf8(f));
    h << QStringLiteral("ホームページ") << captionOr(c, QStringLiteral("状態"), QStringLiteral("状態"))
      << QStringLiteral("メール送信拒否") << QStringLiteral("誕生日");
    return h;
}

const QStringList& CsvRecordFields()
{
    static const QStringList f = QStringList{kNo, QStringLiteral("登録日"), QStringLiteral("退会日"), QStringLiteral("会員区分名称"),
                                             QStringLiteral("フリガナ"), QStringLiteral("氏名"), QStringLiteral("性別"),
                                             QStringLiteral("生年月日"), QStringLiteral("郵便番号"), QStringLiteral("都道府県"),
                                             QStringLiteral("市町村"), QStringLiteral("番地")}
                                 + textFields() + valueFields() + tailFields()
                                 + QStringList{QStringLiteral("状態"), QStringLiteral("メール送信拒否")};
    return f;
}

QStringList CsvRecordCells(const QVariantList& v, const CaptionRow& c, const QDate& today)
{
    // v holds the fields of CsvRecordFields(), in that order.
    QStringList r;
    r.reserve(38);
    r << Module1::FormatMemberNo(v[0].toLongLong()) << dateCell(v[1]) << dateCell(v[2]) << fieldText(v[3])
      << fieldText(v[4]) << fieldText(v[5]) << SexWord(c, fieldText(v[6])) << dateCell(v[7]);
    const QDate birthDate = v[7].typeId() == QMetaType::QDate ? v[7].toDate() : QDate();
    r << (birthDate.isValid() ? Module1::FormatPlain(Module1::AgeInYears(birthDate, today)) : QString());
    r << fieldText(v[8]) << fieldText(v[9]) + fieldText(v[10]) + fieldText(v[11]);
    int i = 12;
    for (qsizetype k = 0; k < textFields().size(); ++k)
        r << fieldText(v[i++]);
    for (qsizetype k = 0; k < valueFields().size(); ++k)
        r << numberCell(v[i++]);
    for (qsizetype k = 0; k < tailFields().size(); ++k)
        r << fieldText(v[i++]);
    r << StatusWord(c, fieldText(v[i++]));
    const QVariant& refuse = v[i];
    r << (!refuse.isNull() && refuse.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    r << (birthDate.isValid() ? Module1::FormatMonthDay(birthDate) : QString());
    return r;
}

QString CsvPathWithoutExtension(const Module1::DbFile& f)
{
    return f.Drive + f.Folder + Module1::PathSeparator(f) + f.FileName.left(f.FileName.size() - 4);
}

CsvExportResult ExportAddressBookCsv(const db::Recordset& mainRs, const CaptionRow& captions,
                                     const QString& pathWithoutExtension, const QDate& today,
                                     const ui::ProgressStep& step)
{
    CsvExportResult result;
    bool ok = Module1::BeginListOutput(pathWithoutExtension, 9, 4, 2, QStringLiteral("ＭＳ ゴシック"), 9);
    try {
        ok = ok && Module1::WriteListLine(CsvHeaderCells(captions));
        // In the recordset's order, a block of records at a time; a record deleted meanwhile is
        // passed over, as a move passes over it.
        constexpr int kBlock = 512;
        for (int from = 0; ok && from < mainRs.recordCount(); from += kBlock) {
            for (const QVariantList& row : mainRs.readColumns(CsvRecordFields(), from, kBlock)) {
                if (row.isEmpty())
                    continue;
                ok = Module1::WriteListLine(CsvRecordCells(row, captions, today));
                if (!ok)
                    break;
                ++result.records;
                if (step && !step(result.records)) {
                    result.cancelled = true;
                    ok = false;
                    break;
                }
            }
        }
    } catch (const db::Error& e) {
        ok = false;
        result.error = QString::number(e.number()) + QStringLiteral("\n") + e.description();
    }
    if (result.cancelled) {
        Module1::CancelListOutput();
        result.substitutedCells = Module1::ListOutputSubstitutedCells();
        return result;
    }
    const bool ended = Module1::EndListOutput();
    result.ok = ok && ended;
    if (!result.ok && result.error.isEmpty())
        result.error = Module1::ListOutputError();
    result.substitutedCells = Module1::ListOutputSubstitutedCells();
    return result;
}

namespace {

// Walks the records of the file's text, converts each line that gives a record and hands it to
// take (valid during the call only); collects what cannot be read into problems when given.
// Both the parse and the storing go through here, so that they read every line alike.
void scanCsv(const ParsedCsv& in, ParsedCsv* problems, const std::function<void(const CsvRecord&)>& take)
{
    const CaptionRow& captions = in.captions;
    const CategoryList& categories = in.categories;
    const QString& defaultPrefecture = in.defaultPrefecture;
    const QDate& today = in.today;
    ParsedCsv ignored;
    ParsedCsv& out = problems ? *problems : ignored;
    // Only a text that holds broken bytes has its cells looked through for them.
    const bool mayHoldBroken = problems && in.text.contains(QChar(QChar::ReplacementCharacter));
    Module1::CsvReader reader(in.text, QLatin1Char(','));
    CsvRecord rec;
    rec.fields.reserve(48);
    // Physical line of each record: one more than the last, and the line breaks its cells hold.
    int lineNo = 0;
    int breaksBefore = 0;
    for (bool header = true; reader.next(); header = false) {
        lineNo += 1 + breaksBefore;
        breaksBefore = reader.lineFeeds();
        bool blank = true;
        for (int i = 0; blank && i < reader.size(); ++i)
            blank = reader.cell(i).trimmed().isEmpty();
        if (header || blank)
            continue;
        auto cell = [&](int n) { return reader.cell(n - 1); };
        // The record lives only during take: its texts are the file's own characters, not copies.
        auto text = [&](int n) {
            const QStringView cell = reader.cell(n - 1);
            return QString::fromRawData(cell.data(), cell.size());
        };

        rec.line = lineNo;
        rec.fields.clear();
        // Reading the file through only to learn what it holds builds no values.
        const bool keep = bool(take);
        auto set = [&](const QString& f, const QVariant& v) {
            if (keep)
                rec.fields.append({f, v});
        };
        auto setText = [&](const QString& f, int n) {
            if (keep)
                rec.fields.append({f, text(n)});
        };
        auto unset = [&](const QString& f, const QString& why) { out.unsetCells.append({lineNo, f + QStringLiteral(": ") + why}); };

        if (mayHoldBroken) {
            const QStringList& headings = CsvColumnHeadings();
            for (int i = 0; i < reader.size(); ++i) {
                if (reader.cell(i).contains(QChar(QChar::ReplacementCharacter)))
                    out.brokenCells.append({lineNo, (i < headings.size() ? headings[i] : QStringLiteral("%1 列目").arg(i + 1))
                                                        + QStringLiteral(": シフトJISで読めない文字があります")});
            }
        }
        const std::optional<double> no = readNumber(cell(1));
        if (!no && cell(1).trimmed().isEmpty()) {
            out.skipped.append({lineNo, QStringLiteral("登録番号がありません")});
            continue;
        }
        // The number as the record window takes it: a whole number from 1 to 2,147,483,647.
        const double rounded = no ? std::round(std::abs(*no)) : 0.0;
        if (!(rounded >= 1 && rounded <= double(MaxMemberNo))) {
            out.skipped.append({lineNo, QStringLiteral("登録番号 %1 は使えません").arg(cell(1).toString())});
            continue;
        }
        set(kNo, qint64(rounded));
        for (int col : {2, 3}) {
            const QString f = col == 2 ? QStringLiteral("登録日") : QStringLiteral("退会日");
            if (cell(col).isEmpty())
                continue;
            if (const auto d = readDate(cell(col)))
                set(f, *d);
            else
                unset(f, QStringLiteral("日付ではありません"));
        }
        qint64 category = 1;
        if (!cell(4).isEmpty()) {
            for (const auto& [code, name] : categories) {
                if (name == cell(4)) {
                    category = code;
                    break;
                }
            }
        }
        set(QStringLiteral("会員区分"), category);
        if (!cell(5).isEmpty())
            setText(QStringLiteral("フリガナ"), 5);
        if (!cell(6).isEmpty())
            setText(QStringLiteral("氏名"), 6);
        if (keep)
            set(QStringLiteral("性別"), SexCode(captions, text(7)));
        if (!cell(8).isEmpty()) {
            if (const auto d = readDate(cell(8))) {
                set(QStringLiteral("生年月日"), *d);
                set(QStringLiteral("年齢"), Module1::AgeInYears(*d, today));
            } else {
                unset(QStringLiteral("生年月日"), QStringLiteral("日付ではありません"));
            }
        }
        setText(QStringLiteral("郵便番号"), 10);
        if (keep && !cell(11).isEmpty()) {
            const Address a = SplitAddress(text(11), defaultPrefecture);
            set(QStringLiteral("都道府県"), a.prefecture);
            set(QStringLiteral("市町村"), a.city);
            set(QStringLiteral("番地"), a.street);
        }
        int col = 12;
        for (const QString& f : textFields())
            setText(f, col++);
        for (int i = 1; i <= 10; ++i, ++col) {
            const QString& f = valueFields()[i - 1];
            if (cell(col).isEmpty())
                set(f, 0.0);
            else if (const auto n = readNumber(cell(col)))
                set(f, *n);
            else
                unset(f, QStringLiteral("数値ではありません"));
        }
        for (const QString& f : tailFields())
            setText(f, col++);
        if (keep) {
            if (const auto status = StatusCode(captions, text(36)))
                set(QStringLiteral("状態"), *status);
        }
        set(QStringLiteral("メール送信拒否"), cell(37) == QLatin1String("1"));
        ++out.recordCount;
        if (take)
            take(rec);
    }
}

} // namespace

ParsedCsv ParseAddressBookCsv(const QString& content, const CaptionRow& captions, const CategoryList& categories,
                              const QString& defaultPrefecture, const QDate& today)
{
    ParsedCsv out;
    out.text = content;
    out.captions = captions;
    out.categories = categories;
    out.defaultPrefecture = defaultPrefecture;
    out.today = today;
    scanCsv(out, &out, {});
    return out;
}

void ParsedCsv::forEachRecord(const std::function<void(const CsvRecord&)>& take) const { scanCsv(*this, nullptr, take); }

QList<CsvRecord> ParsedCsv::records() const
{
    QList<CsvRecord> all;
    forEachRecord([&](const CsvRecord& r) {
        // Kept beyond the call: texts get characters of their own.
        CsvRecord copy = r;
        for (auto& [field, value] : copy.fields)
            if (value.typeId() == QMetaType::QString)
                value = QString(value.toString().constData(), value.toString().size());
        all.append(copy);
    });
    return all;
}


namespace {
struct ImportCancelled {};
} // namespace

CsvImportResult ImportAddressBookCsv(const db::Database& book, const ParsedCsv& parsed, bool replace,
                                     const ui::ProgressStep& step)
{
    CsvImportResult result;
    result.skipped = parsed.skipped;
    result.unsetCells = parsed.unsetCells;
    result.brokenCells = parsed.brokenCells;
    try {
        book.beginTrans();
    } catch (const db::Error& e) {
        result.error = QString::number(e.number()) + QStringLiteral("\n") + e.description();
        return result;
    }
    try {
        if (replace)
            book.execute(QStringLiteral("DELETE FROM \"%1\"").arg(db::schema::personTableName()));
        // Replacing loads into an emptied table: its indexes are built once at the end.
        db::Inserter rows(book, db::schema::personTableName(),
                          replace ? db::Inserter::Indexes::RebuiltAtFinish : db::Inserter::Indexes::Kept);
        // Field names are the same few strings in every record, mostly in the same order: each
        // is looked up once, by where its text is (texts alive at once at one place are equal).
        std::unordered_map<const QChar*, int> fieldOf;
        std::vector<std::pair<const QChar*, int>> lastRecord;
        auto index = [&](qsizetype k, const QString& field) {
            if (size_t(k) < lastRecord.size() && lastRecord[size_t(k)].first == field.constData())
                return lastRecord[size_t(k)].second;
            auto it = fieldOf.find(field.constData());
            if (it == fieldOf.end())
                it = fieldOf.emplace(field.constData(), rows.field(field)).first;
            if (size_t(k) >= lastRecord.size())
                lastRecord.resize(size_t(k) + 1);
            lastRecord[size_t(k)] = {field.constData(), it->second};
            return it->second;
        };
        qint64 handled = 0;
        parsed.forEachRecord([&](const CsvRecord& rec) {
            for (qsizetype k = 0; k < rec.fields.size(); ++k) {
                const auto& [field, value] = rec.fields[k];
                try {
                    rows.setValue(index(k, field), value);
                } catch (const db::Error& e) {
                    // A value of the wrong kind, or a text longer than its field: the cell is left out.
                    if (e.number() != db::err::TypeMismatch && e.number() != db::err::FieldTooSmall)
                        throw;
                    result.unsetCells.append({rec.line, field + QStringLiteral(": ") + e.description()});
                }
            }
            try {
                rows.insert();
                ++result.added;
            } catch (const db::Error& e) {
                if (e.number() != db::err::DuplicateKey)
                    throw;
                result.skipped.append({rec.line, QStringLiteral("登録番号 %1 は登録済みです").arg(rec.fields.first().second.toLongLong())});
            }
            if (step && !step(++handled))
                throw ImportCancelled{};
        });
        rows.finish();
        book.commitTrans();
        result.ok = true;
    } catch (const ImportCancelled&) {
        try {
            book.rollback();
        } catch (const db::Error&) {
        }
        result.added = 0;
        result.cancelled = true;
    } catch (const db::Error& e) {
        try {
            book.rollback();
        } catch (const db::Error&) {
        }
        result.added = 0;
        result.error = QString::number(e.number()) + QStringLiteral("\n") + e.description();
    }
    std::sort(result.unsetCells.begin(), result.unsetCells.end(),
              [](const CsvLineProblem& a, const CsvLineProblem& b) { return a.line < b.line; });
    std::sort(result.skipped.begin(), result.skipped.end(),
              [](const CsvLineProblem& a, const CsvLineProblem& b) { return a.line < b.line; });
    return result;
}

QString ImportReport(const CsvImportResult& r)
{
    if (r.cancelled)
        return QStringLiteral("ＣＳＶファイルの読み込みを取り消しました。住所録は変更されていません。");
    if (!r.ok)
        return QStringLiteral("ＣＳＶファイルを読み込めませんでした。住所録は変更されていません。\n") + r.error;
    constexpr int listed = 20;
    QString text = QStringLiteral("%1 件のデータを読み込みました。").arg(r.added);
    auto list = [&](const QString& heading, const QList<CsvLineProblem>& items) {
        if (items.isEmpty())
            return;
        text += QStringLiteral("\n\n") + heading.arg(items.size());
        for (int i = 0; i < items.size() && i < listed; ++i)
            text += QStringLiteral("\n　%1 行目：%2").arg(items[i].line).arg(items[i].reason);
        if (items.size() > listed)
            text += QStringLiteral("\n　ほか %1 件").arg(items.size() - listed);
    };
    list(QStringLiteral("読み込まなかった行：%1 件"), r.skipped);
    list(QStringLiteral("設定できなかった項目：%1 件"), r.unsetCells);
    list(QStringLiteral("シフトJISで読めない文字を含む項目：%1 件（「\uFFFD」として読み込みました）"), r.brokenCells);
    return text;
}

} // namespace records
