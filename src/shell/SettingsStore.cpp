#include "shell/SettingsStore.h"

#include <QRegularExpression>
#include <limits>
#include <sqlite3.h>

namespace settings {

int textFieldSize(const db::Database& book, const QString& table, const QString& field)
{
    if (!book.isOpen())
        return 0;
    const char* declared = nullptr;
    const int rc = sqlite3_table_column_metadata(book.handle(), nullptr, table.toUtf8().constData(),
                                                 field.toUtf8().constData(), &declared, nullptr, nullptr, nullptr,
                                                 nullptr);
    if (rc != SQLITE_OK || !declared)
        return 0;
    static const QRegularExpression size(QStringLiteral("CHAR\\s*\\(\\s*(\\d+)\\s*\\)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = size.match(QString::fromUtf8(declared));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

std::optional<qint64> nextCategoryCode(db::Recordset& categories)
{
    qint64 largest = 0;
    if (categories.recordCount() > 0) {
        categories.moveFirst();
        for (; !categories.eof(); categories.moveNext()) {
            const QVariant v = categories.value(CategoryCode);
            if (v.isNull())
                continue;
            const qint64 code = v.toLongLong();
            if (code == std::numeric_limits<qint64>::min())
                return std::nullopt;
            largest = std::max(largest, code < 0 ? -code : code);
        }
    }
    if (largest == std::numeric_limits<qint64>::max())
        return std::nullopt;
    return largest + 1;
}

void resetCategories(db::Recordset& categories)
{
    if (categories.recordCount() > 0) {
        categories.moveFirst();
        while (!categories.eof()) {
            categories.deleteRecord();
            if (!categories.eof())  // past the last row the deletion already stands at the end
                categories.moveNext();
        }
    }
    for (int i = 1; i <= 10; ++i) {
        categories.addNew();
        categories.setValue(CategoryCode, qint64(i));
        categories.setValue(CategoryName, QStringLiteral("分類%1").arg(i));
        categories.update();
    }
}

} // namespace settings
