#pragma once
// The web pages kept in the records, grouped by category: which records a category lists and which
// pages opening "all of them" opens. Window-free, over the records in category order.

#include "platform/db/Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace tools {

// One line of the site list: the record's name and the record itself.
struct SiteLine {
    QString name;
    db::Bookmark row;
};

// The sites of the category with this code: from the first record of the category, it and the
// records following it with the same code, up to the first record of another code or the end.
// Records deleted elsewhere are passed over. Empty when no record has the code (or it is Null).
// The records' current position stays.
QList<SiteLine> ReadSiteLines(const db::Recordset& persons, const QVariant& code);

// The pages of a category, in order, starting with the record `first`: the record's
// "会員区分名称" is noted, and every record from there whose "WebHome" is not blank gives a
// page, up to the first record of another (or Null) "会員区分名称" or the end, whatever their
// codes. A category whose name is Null opens nothing. Moves the records' position.
QStringList CategoryPages(db::Recordset& persons, const db::Bookmark& first);

// A web address worth opening: something left after its leading spaces.
bool HasAddress(const QVariant& webHome);

// The question asked before opening more pages than one wants to open by accident.
inline constexpr int PagesWithoutQuestion = 20;
QString OpenPagesQuestion(qint64 pages);

// One message for every page that could not be opened: "" when all opened.
struct PageFailure {
    QString address;
    QString reason;
};
QString FailedPagesMessage(const QList<PageFailure>& failures);

// Opens the pages through the desktop opener, one right after the other, without a box per page:
// `report` runs once with the pages that could not be opened, refused at once or failed when the
// desktop's program ended, and not at all when every page opened.
void OpenPages(const QStringList& addresses, std::function<void(const QList<PageFailure>&)> report);

} // namespace tools
