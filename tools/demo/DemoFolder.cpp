// Demo database folders of fictional people, for trying the programs out and for tests.

#include "DemoFolder.h"

#include "BookWriter.h"
#include "People.h"
#include "Pictures.h"

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/text/Cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {

const QString kCommonFolder = QStringLiteral("共通情報");
const QString kSampleBook = QStringLiteral("サンプル住所録");
const QString kGeneratedBook = QStringLiteral("生成住所録");
constexpr int kSampleRecords = 40;

QStringList* g_log = nullptr;
QString* g_error = nullptr;
void say(const QString& s)
{
    if (g_log)
        *g_log << s;
}
int fail(const QString& s)
{
    if (g_error)
        *g_error = s;
    return 1;
}

// The common database and its default picture, each made only when missing.
bool ensureCommon(const QDir& root, QString* error)
{
    const QString folder = root.filePath(kCommonFolder);
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make %1").arg(folder);
        return false;
    }
    const QString common = folder + QStringLiteral("/共通情報.mdb");
    if (QFileInfo::exists(common)) {
        say(QStringLiteral("kept %1").arg(common));
    } else {
        if (!db::schema::createCommonDatabase(common, error))
            return false;
        say(QStringLiteral("wrote %1").arg(common));
    }
    // The record window shows the first file of this folder for a record without a picture,
    // so the name sorts before "共通情報.mdb".
    const QString picture = folder + QStringLiteral("/default.png");
    if (!QFileInfo::exists(picture) && !demo::writeDefaultPicture(picture)) {
        *error = QStringLiteral("cannot write %1").arg(picture);
        return false;
    }
    return true;
}

bool writePmPath(const QDir& root, const QString& book, QString* error)
{
    const text::WriteResult r = text::writeCp932Lines(root.filePath(QStringLiteral("PMPath.txt")), {book}, true);
    if (!r.ok)
        *error = r.substituted ? QStringLiteral("the path %1 cannot be written in code page 932").arg(book) : r.error;
    return r.ok;
}

// Record folders with their "Preview" subfolder; every fourth record gets pictures.
void writeRecordFolder(const QString& dataFolder, const demo::Person& p)
{
    const int no = p.get(QStringLiteral("会員NO")).toInt();
    const QString folder = dataFolder + QLatin1Char('/') + QString::number(no);
    QDir().mkpath(folder + QStringLiteral("/Preview"));
    if (no % 4 != 1)
        return;
    const QString caption = QStringLiteral("%1 %2").arg(no, 8, 10, QLatin1Char('0')).arg(p.get(QStringLiteral("氏名")).toString());
    const int pictures = no % 8 == 1 ? 2 : 1;
    for (int k = 1; k <= pictures; ++k) {
        const QString name = QStringLiteral("photo%1.png").arg(k);
        demo::writePortrait(folder + QLatin1Char('/') + name, QSize(480, 360), no * 3 + k, caption);
        demo::writePortrait(folder + QStringLiteral("/Preview/sn_") + name, QSize(120, 90), no * 3 + k, caption);
    }
}

QString digitsOf(const QString& number)
{
    QString d;
    for (const QChar c : number)
        if (c >= u'0' && c <= u'9')
            d += c;
    return d;
}

// A few calls and memos of the first records, for the dialler's history list.
bool writeCallHistory(const QString& book, const QList<demo::Person>& people, QString* error)
{
    try {
        const db::Database d = db::Database::open(book);
        const QString sql = QStringLiteral("INSERT INTO \"%1\"(\"会員NO\",\"電話番号\",\"開始時間\",\"終了時間\",\"通話時間\",\"用件\",\"通話中止\") "
                                           "VALUES(?,?,?,?,?,?,?)").arg(db::schema::historyTableName());
        const QDateTime base(QDate::currentDate().addDays(-14), QTime(10, 0));
        const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
        // Stored the way the engine stores a date and time.
        auto iso = [](const QDateTime& t) { return QVariant(t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))); };
        d.beginTrans();
        for (int i = 0; i < qMin(3, int(people.size())); ++i) {
            const demo::Person& p = people[i];
            const qint64 no = p.get(QStringLiteral("会員NO")).toLongLong();
            const QString home = digitsOf(p.get(QStringLiteral("自宅電話")).toString());
            const QString mobile = digitsOf(p.get(QStringLiteral("携帯電話")).toString());
            const QDateTime start = base.addDays(i * 3);
            // A finished call, an aborted one and a memo.
            d.execute(sql, {no, home.isEmpty() ? mobile : home, iso(start), iso(start.addSecs(185)), iso(zero.addSecs(185)),
                            QStringLiteral("会費の確認"), false});
            if (!mobile.isEmpty())
                d.execute(sql, {no, mobile, iso(start.addDays(1)), iso(start.addDays(1).addSecs(20)), QVariant(), QVariant(), true});
            const QDateTime memo = start.addDays(2).addSecs(3600);
            d.execute(sql, {no, QStringLiteral(" "), iso(memo), iso(memo), iso(zero), QStringLiteral("折り返し電話あり"), QVariant()});
        }
        d.commitTrans();
    } catch (const db::Error& e) {
        *error = QStringLiteral("cannot write the call history of %1: %2").arg(book, e.description());
        return false;
    }
    return true;
}

int makeSample(const QDir& root)
{
    QString error;
    if (!ensureCommon(root, &error))
        return fail(error);
    const QString book = root.absoluteFilePath(kSampleBook + QStringLiteral(".mdb"));
    const QString dataFolder = root.absoluteFilePath(kSampleBook);
    if (QFileInfo::exists(book))
        return fail(QStringLiteral("%1 already exists; it is not replaced").arg(book));
    if (!QDir().mkpath(dataFolder))
        return fail(QStringLiteral("cannot make %1").arg(dataFolder));

    demo::BookContent content;
    content.title = kSampleBook;
    content.records = kSampleRecords;
    content.captions = {{QStringLiteral("数値1"), QStringLiteral("年会費")},
                        {QStringLiteral("数値2"), QStringLiteral("寄付金")},
                        {QStringLiteral("数値3"), QStringLiteral("合計金額")}};
    demo::PersonGenerator people(20240501u, QDate::currentDate());
    QList<demo::Person> written;
    if (!demo::writeBook(book, content, people, [&](const demo::Person& p) { written << p; }, &error))
        return fail(error);
    for (const demo::Person& p : written)
        writeRecordFolder(dataFolder, p);
    if (!writeCallHistory(book, written, &error))
        return fail(error);
    say(QStringLiteral("wrote %1 (%2 records) and %3").arg(book).arg(kSampleRecords).arg(dataFolder));

    if (!writePmPath(root, book, &error))
        return fail(error);
    say(QStringLiteral("wrote %1").arg(root.filePath(QStringLiteral("PMPath.txt"))));
    return 0;
}

int makeGenerated(const QDir& root, int records, QString name)
{
    if (!name.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive))
        name += QStringLiteral(".mdb");
    if (name.contains(QLatin1Char('/')) || name == QStringLiteral("共通情報.mdb"))
        return fail(QStringLiteral("not a book name: %1").arg(name));
    QString error;
    if (!ensureCommon(root, &error))
        return fail(error);
    const QString book = root.absoluteFilePath(name);
    const QString baseName = name.left(name.size() - 4);
    if (QFileInfo::exists(book))
        return fail(QStringLiteral("%1 already exists; it is not replaced").arg(book));
    // The data folder must exist for the record window to make record folders in it.
    if (!QDir().mkpath(root.absoluteFilePath(baseName)))
        return fail(QStringLiteral("cannot make %1").arg(root.absoluteFilePath(baseName)));

    demo::BookContent content;
    content.title = baseName;
    content.records = records;
    demo::PersonGenerator people(7u + quint32(records), QDate::currentDate());
    QElapsedTimer timer;
    timer.start();
    if (!demo::writeBook(book, content, people, {}, &error))
        return fail(error);
    say(QStringLiteral("wrote %1 (%2 records, %3 ms)").arg(book).arg(records).arg(timer.elapsed()));

    if (!QFileInfo::exists(root.filePath(QStringLiteral("PMPath.txt")))) {
        if (!writePmPath(root, book, &error))
            return fail(error);
        say(QStringLiteral("wrote %1").arg(root.filePath(QStringLiteral("PMPath.txt"))));
    }
    return 0;
}

} // namespace

namespace demo {

bool makeSampleFolder(const QString& folder, QString* error, QStringList* log)
{
    g_log = log;
    g_error = error;
    const bool ok = QDir().mkpath(folder) ? makeSample(QDir(QFileInfo(folder).absoluteFilePath())) == 0
                                          : fail(QStringLiteral("cannot make %1").arg(folder)) == 0;
    g_log = nullptr;
    g_error = nullptr;
    return ok;
}

bool makeGeneratedBook(const QString& folder, int records, const QString& name, QString* error, QStringList* log)
{
    g_log = log;
    g_error = error;
    const bool ok = QDir().mkpath(folder)
        ? makeGenerated(QDir(QFileInfo(folder).absoluteFilePath()), records, name.isEmpty() ? kGeneratedBook : name) == 0
        : fail(QStringLiteral("cannot make %1").arg(folder)) == 0;
    g_log = nullptr;
    g_error = nullptr;
    return ok;
}

QString sampleBookName() { return kSampleBook + QStringLiteral(".mdb"); }

} // namespace demo
