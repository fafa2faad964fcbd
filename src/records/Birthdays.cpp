#include "records/Birthdays.h"

#include "platform/db/Schema.h"
#include "records/RecordDisplay.h"
#include "shell/Formats.h"

#include <QMap>

namespace records {
namespace {

// Numbers bound to one statement at most.
constexpr qsizetype kNumbersPerStatement = 500;

} // namespace

int RewriteBirthdays(const db::Database& book)
{
    const QString table = db::schema::personTableName();
    db::Recordset rs = book.openRecordset(table, db::RecordsetType::Dynaset);
    const QList<QVariantList> rows =
        rs.readColumns({QStringLiteral("会員NO"), QStringLiteral("生年月日"), QStringLiteral("誕生日")});

    // The records to write, by the day they get ("会員NO" is unique): a few statements for a
    // whole book instead of one write per record.
    QMap<QString, QList<qint64>> byDay;
    for (const QVariantList& row : rows) {
        if (row.size() < 3 || row[0].isNull())
            continue;  // deleted meanwhile
        const QDate birth = StoredDate(row[1]);
        const QString day = birth.isValid() ? Module1::FormatMonthDay(birth) : QStringLiteral("");
        if (!row[2].isNull() && row[2].toString() == day)
            continue;
        byDay[day] << row[0].toLongLong();
    }
    if (byDay.isEmpty())
        return 0;

    const QString update = QStringLiteral("UPDATE \"%1\" SET \"誕生日\" = ? WHERE \"会員NO\" IN (%2)")
                               .arg(QString(table).replace(QLatin1Char('"'), QStringLiteral("\"\"")));
    int written = 0;
    book.beginTrans();
    try {
        for (auto it = byDay.constBegin(); it != byDay.constEnd(); ++it) {
            const QList<qint64>& numbers = it.value();
            for (qsizetype from = 0; from < numbers.size(); from += kNumbersPerStatement) {
                const qsizetype n = qMin(kNumbersPerStatement, numbers.size() - from);
                QVariantList params{it.key()};
                QStringList marks;
                for (qsizetype i = 0; i < n; ++i) {
                    params << numbers[from + i];
                    marks << QStringLiteral("?");
                }
                written += book.execute(update.arg(marks.join(QLatin1Char(','))), params);
            }
        }
        book.commitTrans();
    } catch (...) {
        book.rollback();
        throw;
    }
    return written;
}

} // namespace records
