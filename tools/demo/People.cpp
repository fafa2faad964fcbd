#include "People.h"

#include "platform/db/Schema.h"

#include <QHash>

namespace demo {

namespace {

struct Name {
    const char* kanji;
    const char* kana;    // half-width katakana
    const char* romaji;  // for mail addresses
};

// Common family names; combined with the given names below they name nobody in particular.
const Name kFamily[] = {
    {"佐藤", "ｻﾄｳ", "sato"},       {"鈴木", "ｽｽﾞｷ", "suzuki"},     {"高橋", "ﾀｶﾊｼ", "takahashi"},
    {"田中", "ﾀﾅｶ", "tanaka"},     {"伊藤", "ｲﾄｳ", "ito"},         {"渡辺", "ﾜﾀﾅﾍﾞ", "watanabe"},
    {"山本", "ﾔﾏﾓﾄ", "yamamoto"},  {"中村", "ﾅｶﾑﾗ", "nakamura"},   {"小林", "ｺﾊﾞﾔｼ", "kobayashi"},
    {"加藤", "ｶﾄｳ", "kato"},       {"吉田", "ﾖｼﾀﾞ", "yoshida"},     {"山田", "ﾔﾏﾀﾞ", "yamada"},
    {"佐々木", "ｻｻｷ", "sasaki"},   {"山口", "ﾔﾏｸﾞﾁ", "yamaguchi"}, {"松本", "ﾏﾂﾓﾄ", "matsumoto"},
    {"井上", "ｲﾉｳｴ", "inoue"},     {"木村", "ｷﾑﾗ", "kimura"},       {"林", "ﾊﾔｼ", "hayashi"},
    {"清水", "ｼﾐｽﾞ", "shimizu"},   {"森", "ﾓﾘ", "mori"},            {"池田", "ｲｹﾀﾞ", "ikeda"},
    {"橋本", "ﾊｼﾓﾄ", "hashimoto"}, {"阿部", "ｱﾍﾞ", "abe"},          {"石川", "ｲｼｶﾜ", "ishikawa"},
    {"前田", "ﾏｴﾀﾞ", "maeda"},     {"藤田", "ﾌｼﾞﾀ", "fujita"},      {"岡田", "ｵｶﾀﾞ", "okada"},
    {"後藤", "ｺﾞﾄｳ", "goto"},      {"長谷川", "ﾊｾｶﾞﾜ", "hasegawa"}, {"村上", "ﾑﾗｶﾐ", "murakami"},
};

const Name kMale[] = {
    {"太郎", "ﾀﾛｳ", "taro"},   {"一郎", "ｲﾁﾛｳ", "ichiro"}, {"健太", "ｹﾝﾀ", "kenta"},
    {"翔太", "ｼｮｳﾀ", "shota"}, {"大輔", "ﾀﾞｲｽｹ", "daisuke"}, {"誠", "ﾏｺﾄ", "makoto"},
    {"浩", "ﾋﾛｼ", "hiroshi"},  {"拓也", "ﾀｸﾔ", "takuya"},   {"和也", "ｶｽﾞﾔ", "kazuya"},
    {"直樹", "ﾅｵｷ", "naoki"},  {"隆", "ﾀｶｼ", "takashi"},    {"修", "ｵｻﾑ", "osamu"},
    {"蓮", "ﾚﾝ", "ren"},       {"悠真", "ﾕｳﾏ", "yuma"},     {"亮", "ﾘｮｳ", "ryo"},
};

const Name kFemale[] = {
    {"花子", "ﾊﾅｺ", "hanako"}, {"陽子", "ﾖｳｺ", "yoko"},     {"美咲", "ﾐｻｷ", "misaki"},
    {"由美", "ﾕﾐ", "yumi"},    {"恵子", "ｹｲｺ", "keiko"},    {"愛", "ｱｲ", "ai"},
    {"真由美", "ﾏﾕﾐ", "mayumi"}, {"結衣", "ﾕｲ", "yui"},    {"明美", "ｱｹﾐ", "akemi"},
    {"智子", "ﾄﾓｺ", "tomoko"}, {"裕子", "ﾕｳｺ", "yuko"},     {"さくら", "ｻｸﾗ", "sakura"},
    {"彩", "ｱﾔ", "aya"},       {"直美", "ﾅｵﾐ", "naomi"},    {"久美子", "ｸﾐｺ", "kumiko"},
};

struct Place {
    const char* prefecture;
    const char* city;
    const char* areaCode;
};

const Place kPlaces[] = {
    {"東京都", "千代田区", "03"},          {"東京都", "世田谷区", "03"},
    {"神奈川県", "横浜市中区", "045"},     {"大阪府", "大阪市北区", "06"},
    {"愛知県", "名古屋市中区", "052"},     {"北海道", "札幌市中央区", "011"},
    {"福岡県", "福岡市博多区", "092"},     {"京都府", "京都市左京区", "075"},
    {"兵庫県", "神戸市中央区", "078"},     {"宮城県", "仙台市青葉区", "022"},
    {"広島県", "広島市中区", "082"},       {"静岡県", "静岡市葵区", "054"},
    {"埼玉県", "さいたま市浦和区", "048"}, {"千葉県", "千葉市中央区", "043"},
    {"新潟県", "新潟市中央区", "025"},     {"沖縄県", "那覇市", "098"},
};

const char* const kTowns[] = {"本町", "緑町", "栄町", "中央", "桜台", "若葉", "東町", "旭町", "花園", "青葉台"};
const char* const kBuildings[] = {"みどりハイツ", "さくらコーポ", "ひかりマンション", "あおばレジデンス"};
const char* const kJobs[] = {"会社員", "公務員", "自営業", "教員", "学生", "看護師", "技術者", "デザイナー"};
const char* const kWorkplaces[] = {"架空商事", "見本工業", "例示システム", "空想大学", "仮名高等学校"};
const char* const kFields[] = {"営業", "経理", "開発", "事務", "情報工学", "経済学"};
const char* const kHobbies[] = {"読書", "映画鑑賞", "旅行", "釣り", "料理", "写真", "ゴルフ", "園芸"};
const char* const kSkills[] = {"英会話", "ピアノ", "書道", "水泳", "将棋"};
const char* const kRemarks[] = {"年賀状のやりとりあり", "同窓会の幹事", "引越し予定あり", "連絡はメールで"};

template <typename T, std::size_t N>
constexpr int count(const T (&)[N]) { return int(N); }

// The tables' texts, converted once: a large book asks for them a million times.
QString s(const char* utf8)
{
    static QHash<const char*, QString> cache;
    auto it = cache.constFind(utf8);
    if (it == cache.constEnd())
        it = cache.insert(utf8, QString::fromUtf8(utf8));
    return *it;
}

int columnIndex(const QString& field)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        const auto& fields = db::schema::personFields();
        for (int i = 0; i < fields.size(); ++i)
            h.insert(fields[i].name, i);
        return h;
    }();
    const int i = index.value(field, -1);
    Q_ASSERT_X(i >= 0, "demo::Person", "unknown field");
    return i;
}

int ageInYears(QDate birth, QDate on)
{
    int age = on.year() - birth.year();
    if (on.month() < birth.month() || (on.month() == birth.month() && on.day() < birth.day()))
        --age;
    return qMax(age, 0);
}

} // namespace

const QList<Category>& categories()
{
    static const QList<Category> c = {
        {1, QStringLiteral("友人")}, {2, QStringLiteral("取引先")}, {3, QStringLiteral("家族")},
        {4, QStringLiteral("同僚")}, {5, QStringLiteral("サークル")},
    };
    return c;
}

Person::Person() : values_(db::schema::personFields().size())
{
    // Every column is written, so the table's defaults are given here: numbers 0, mail allowed.
    set(QStringLiteral("年齢"), 0);
    for (int i = 1; i <= 10; ++i)
        set(QStringLiteral("数値%1").arg(i), 0);
    set(QStringLiteral("メール送信拒否"), false);
}

void Person::set(const QString& field, const QVariant& value) { values_[columnIndex(field)] = value; }

QVariant Person::get(const QString& field) const { return values_[columnIndex(field)]; }

PersonGenerator::PersonGenerator(quint32 seed, QDate today) : rng_(seed), today_(today) {}

QDate PersonGenerator::randomDate(QDate from, QDate to)
{
    return from.addDays(qint64(rng_.bounded(quint32(from.daysTo(to) + 1))));
}

Person PersonGenerator::make(int memberNo)
{
    Person p;
    const Name& family = kFamily[pick(count(kFamily))];
    const bool male = pick(2) == 0;
    const Name& given = male ? kMale[pick(count(kMale))] : kFemale[pick(count(kFemale))];
    const Place& place = kPlaces[pick(count(kPlaces))];

    p.set(QStringLiteral("会員NO"), memberNo);
    p.set(QStringLiteral("会員区分"), categories()[pick(categories().size())].code);
    p.set(QStringLiteral("性別"), male ? QStringLiteral("1") : QStringLiteral("2"));
    const int state = pick(20);
    p.set(QStringLiteral("状態"), state < 17 ? QStringLiteral("1") : state < 19 ? QStringLiteral("2") : QStringLiteral("3"));
    p.set(QStringLiteral("メール送信拒否"), pick(10) == 0);
    p.set(QStringLiteral("フリガナ"), s(family.kana) + QLatin1Char(' ') + s(given.kana));
    p.set(QStringLiteral("氏名"), s(family.kanji) + QStringLiteral("　") + s(given.kanji));

    // Registered at ten years of age or later, and left after registering.
    QDate firstDay(2000, 1, 1);
    if (pick(12) != 0) {
        const QDate birth = randomDate(QDate(1935, 1, 1), today_.addYears(-12));
        p.set(QStringLiteral("生年月日"), birth);
        p.set(QStringLiteral("年齢"), ageInYears(birth, today_));
        p.set(QStringLiteral("誕生日"), birth.toString(QStringLiteral("MM/dd")));
        firstDay = qMax(firstDay, birth.addYears(10));
    } else {
        p.set(QStringLiteral("誕生日"), QString(""));
    }
    const QDate registered = randomDate(firstDay, today_);
    p.set(QStringLiteral("登録日"), registered);
    if (state == 19)
        p.set(QStringLiteral("退会日"), randomDate(registered, today_));

    p.set(QStringLiteral("郵便番号"), QStringLiteral("%1-%2").arg(100 + pick(900)).arg(pick(10000), 4, 10, QLatin1Char('0')));
    p.set(QStringLiteral("都道府県"), s(place.prefecture));
    p.set(QStringLiteral("市町村"), s(place.city));
    p.set(QStringLiteral("番地"), QStringLiteral("%1%2丁目%3番%4号")
                                      .arg(s(kTowns[pick(count(kTowns))]))
                                      .arg(1 + pick(5)).arg(1 + pick(20)).arg(1 + pick(30)));
    if (pick(3) == 0)
        p.set(QStringLiteral("住所2"), QStringLiteral("%1%2").arg(s(kBuildings[pick(count(kBuildings))])).arg(101 + 100 * pick(5) + pick(8)));

    // A subscriber number never begins with 0 after the area code: no real line has these.
    const QString local = QStringLiteral("0%1-%2").arg(pick(1000), 3, 10, QLatin1Char('0')).arg(pick(10000), 4, 10, QLatin1Char('0'));
    p.set(QStringLiteral("自宅電話"), s(place.areaCode) + QLatin1Char('-') + local);
    if (pick(5) == 0)
        p.set(QStringLiteral("自宅FAX"), s(place.areaCode) + QLatin1Char('-') + local.left(5) + QStringLiteral("9999"));
    if (pick(4) != 0)
        p.set(QStringLiteral("携帯電話"), QStringLiteral("090-0%1-%2").arg(pick(1000), 3, 10, QLatin1Char('0')).arg(pick(10000), 4, 10, QLatin1Char('0')));

    const QString user = QStringLiteral("%1.%2%3").arg(s(given.romaji), s(family.romaji)).arg(memberNo);
    if (pick(5) != 0)
        p.set(QStringLiteral("Eメール"), user + QStringLiteral("@example.jp"));
    if (pick(3) == 0)
        p.set(QStringLiteral("携帯Eメール"), user + QStringLiteral("@mobile.example.com"));
    if (pick(6) == 0)
        p.set(QStringLiteral("WebHome"), QStringLiteral("https://www.example.com/%1/").arg(user));

    const int job = pick(count(kJobs));
    p.set(QStringLiteral("職業"), s(kJobs[job]));
    p.set(QStringLiteral("勤務先学校"), s(kWorkplaces[pick(count(kWorkplaces))]));
    p.set(QStringLiteral("職種専攻"), s(kFields[pick(count(kFields))]));
    if (s(kJobs[job]) == QStringLiteral("学生"))
        p.set(QStringLiteral("学年"), QStringLiteral("%1年").arg(1 + pick(4)));

    if (pick(3) == 0) {
        const int fee = 1000 * (1 + pick(9));
        const int gift = 500 * pick(10);
        p.set(QStringLiteral("数値1"), fee);
        p.set(QStringLiteral("数値2"), gift);
        p.set(QStringLiteral("数値3"), fee + gift);   // shown as their total ("合計" caption)
        p.set(QStringLiteral("数値4"), 0.5 * pick(20));
    }
    p.set(QStringLiteral("趣味"), s(kHobbies[pick(count(kHobbies))]));
    if (pick(2) == 0)
        p.set(QStringLiteral("特技"), s(kSkills[pick(count(kSkills))]));
    if (pick(3) == 0)
        p.set(QStringLiteral("備考"), s(kRemarks[pick(count(kRemarks))]));
    if (pick(8) == 0)
        p.set(QStringLiteral("記事"), QStringLiteral("%1年に登録。\n連絡先の確認済み。").arg(p.get(QStringLiteral("登録日")).toDate().year()));
    return p;
}

} // namespace demo
