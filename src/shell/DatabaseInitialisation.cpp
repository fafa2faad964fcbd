#include "shell/DatabaseInitialisation.h"

#include "platform/db/Schema.h"
#include "shell/FieldCaptions.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"
#include "shell/SettingsStore.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace settings {

namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void resetSettings(const db::Database& book)
{
    db::Recordset s = book.openRecordset(SettingsTable, db::RecordsetType::Table);
    s.edit();
    s.setValue(Module1::BookSettings::Title, InitialTitle);
    s.update();

    db::Recordset categories = book.openRecordset(CategoryTable, db::RecordsetType::Dynaset);
    resetCategories(categories);

    db::Recordset captions = book.openRecordset(CaptionTable, db::RecordsetType::Dynaset);
    resetFieldCaptions(captions);
}

bool replaceRecords(const db::Database& book, int count, const QDate& today, const ui::ProgressStep& step)
{
    // The personal table's row keys are never given twice, so windows still holding the deleted
    // rows find them gone instead of finding the new records in their place.
    const QString table = quoted(db::schema::personTableName());
    book.execute(QStringLiteral("DELETE FROM ") + table);
    const QString insert =
        QStringLiteral("INSERT INTO %1 (\"会員NO\", \"登録日\", \"性別\", \"状態\", \"会員区分\", \"フリガナ\", \"氏名\") "
                       "VALUES (?, ?, ?, ?, ?, ?, ?)")
            .arg(table);
    for (int i = 1; i <= count; ++i) {
        book.execute(insert, {qint64(i), today, QStringLiteral("1"), QStringLiteral("1"), qint64(1),
                              textValue(QString()), QStringLiteral("新規登録%1").arg(i)});
        if (step && !step(i))
            return false;
    }
    return true;
}

} // namespace

std::optional<int> parseRecordCount(const QString& text)
{
    if (text.isEmpty())
        return 20;
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    const double value = std::nearbyint(text.trimmed().toDouble());  // half to even, as the old rounding
    if (!std::isfinite(value) || value < 0 || value > MaxRecordCount)
        return std::nullopt;
    const int count = int(value);
    return count == 0 ? 1 : count;
}

bool initialiseBook(const db::Database& book, const Initialisation& what, const ui::ProgressStep& step)
{
    book.beginTrans();
    try {
        if (what.resetSettings)
            resetSettings(book);
        if (what.replaceRecords && !replaceRecords(book, what.count, what.today, step)) {
            // Cancelled: the whole initialisation goes, the reset settings too.
            book.rollback();
            return false;
        }
        book.commitTrans();
        return true;
    } catch (...) {
        try {
            if (book.transactionLevel() > 0)
                book.rollback();
        } catch (const db::Error&) {
            // the failure that got here is the one to report
        }
        throw;
    }
}

int makeRecordFolders(const Module1::DbFile& file, int count, const ui::ProgressStep& step)
{
    if (!QFileInfo(file.DataFolder).isDir())
        return 0;  // no record folder can be made without it
    const QString sep = Module1::PathSeparator(file);
    for (int i = 1; i <= count; ++i) {
        const QString folder = Module1::RecordFolderPath(file, i);
        Module1::EnsureFolder(folder);
        Module1::EnsureFolder(folder + sep + QStringLiteral("Preview"));
        if (step && !step(i))
            return i;
    }
    return count;
}

} // namespace settings
