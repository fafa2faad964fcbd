#pragma once
// Initialisation of an address book: its settings back to their defaults and its personal
// records replaced by numbered blank ones. All of it happens in one transaction.

#include "platform/db/Database.h"
#include "platform/ui/Dialogs.h"
#include "shell/DbFile.h"

#include <QDate>
#include <QString>
#include <optional>

namespace settings {

// The largest count: record numbers are shown with eight digits.
inline constexpr int MaxRecordCount = 99999999;
inline const QString InitialTitle = QStringLiteral("住所録タイトル");

// The count box: empty gives 20; a number is rounded half to even, 0 becomes 1. A text that is not
// a number, a negative count or one above MaxRecordCount gives nullopt.
std::optional<int> parseRecordCount(const QString& text);

struct Initialisation {
    bool resetSettings = false;   // title "住所録タイトル", the ten default categories, reset captions
    bool replaceRecords = false;  // every personal record deleted, records 1 to count added
    int count = 20;
    QDate today;
};

// Runs the initialisation in one transaction, telling step how many records are written. On any
// failure the book is rolled back to what it was and the db::Error is thrown on; when step asks
// to stop, the book is rolled back likewise and false is returned.
bool initialiseBook(const db::Database& book, const Initialisation& what, const ui::ProgressStep& step = {});

// The folder of each record 1 to count with its "Preview" subfolder. Folders that exist are kept
// with their contents; one that cannot be made is skipped (the data folder is not made here).
// Stops when step (told how many records have their folders) asks to; returns how many have.
int makeRecordFolders(const Module1::DbFile& file, int count, const ui::ProgressStep& step = {});

} // namespace settings
