#include "tools/WebSites.h"

#include "platform/db/Criteria.h"
#include "platform/shell/Opener.h"

namespace tools {

namespace {

const QString kCategory = QStringLiteral("会員区分");
const QString kCategoryName = QStringLiteral("会員区分名称");
const QString kName = QStringLiteral("氏名");
const QString kWebHome = QStringLiteral("WebHome");

// Rows are read in blocks, so that a category of a few records costs a few rows, not the book.
constexpr int kBlock = 2048;

} // namespace

bool HasAddress(const QVariant& webHome)
{
    if (webHome.isNull())
        return false;
    const QString text = webHome.toString();
    for (QChar c : text)
        if (c != QLatin1Char(' '))
            return true;
    return false;
}

QList<SiteLine> ReadSiteLines(db::Recordset& persons, const QVariant& code)
{
    QList<SiteLine> lines;
    if (code.isNull() || persons.recordCount() == 0 || !persons.findFirst(db::eq(kCategory, code)))
        return lines;
    const int total = persons.recordCount();
    for (int from = persons.absolutePosition(); from >= 0 && from < total; from += kBlock) {
        const QList<QVariantList> rows = persons.readColumns({kCategory, kName}, from, kBlock);
        for (int i = 0; i < rows.size(); ++i) {
            if (rows[i].isEmpty())
                continue;  // deleted by another window since the records were opened
            if (!db::matches(rows[i][0], db::Op::Eq, code))
                return lines;
            lines << SiteLine{db::TextOf(rows[i][1]), persons.bookmarkAt(from + i)};
        }
        if (rows.size() < kBlock)
            break;
    }
    return lines;
}

QStringList CategoryPages(db::Recordset& persons, const db::Bookmark& first, const QVariant& code)
{
    QStringList pages;
    if (!first.valid || code.isNull())
        return pages;
    persons.setBookmark(first);
    const int start = persons.absolutePosition();
    QVariant noted;
    bool started = false;
    const int total = persons.recordCount();
    for (int from = start; from >= 0 && from < total; from += kBlock) {
        const QList<QVariantList> rows = persons.readColumns({kCategory, kCategoryName, kWebHome}, from, kBlock);
        for (const QVariantList& row : rows) {
            if (row.isEmpty())
                continue;
            if (!started) {
                noted = row[1];
                started = true;
            }
            // Null is no name, not even equal to another Null; another code is another category.
            if (row[1].isNull() || noted.isNull() || row[1].toString() != noted.toString()
                || !db::matches(row[0], db::Op::Eq, code))
                return pages;
            if (HasAddress(row[2]))
                pages << row[2].toString();
        }
        if (rows.size() < kBlock)
            break;
    }
    return pages;
}

QString OpenPagesQuestion(qint64 pages)
{
    return QString::number(pages) + QStringLiteral(" 件のWebページを開きます　よろしいですか？");
}

QString FailedPagesMessage(const QList<PageFailure>& failures)
{
    if (failures.isEmpty())
        return {};
    QString text = QString::number(failures.size()) + QStringLiteral(" 件のWebページを開けませんでした。");
    // A long list would outgrow the screen: the first ones name the rest.
    constexpr int kShown = 10;
    for (int i = 0; i < failures.size() && i < kShown; ++i)
        text += QStringLiteral("\n") + failures[i].address + QStringLiteral("（") + failures[i].reason + QStringLiteral("）");
    if (failures.size() > kShown)
        text += QStringLiteral("\nほか ") + QString::number(failures.size() - kShown) + QStringLiteral(" 件");
    return text;
}

QList<PageFailure> OpenPages(const QStringList& addresses)
{
    QList<PageFailure> failures;
    for (const QString& address : addresses) {
        QString error;
        if (!desktop::opener().openUrl(address, &error))
            failures << PageFailure{address, error};
    }
    return failures;
}

} // namespace tools
