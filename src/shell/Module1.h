#pragma once
// State shared by every window for the whole run, and the start-up file "PMPath.txt".
// Touched only on the user-interface thread.

#include "platform/db/Database.h"
#include "shell/DbFile.h"
#include "shell/Helpers.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace Module1 {

inline db::Database CommonDb;
inline db::Recordset CommonSettingsRs;  // "基本情報", table type
inline db::Recordset EraRs;             // "年号ｺｰﾄﾞ", snapshot
inline db::Database CurrentDb;
inline db::Recordset BookSettingsRs;    // "管理情報" of CurrentDb, table type

inline DbFile CurrentDbFile;
inline DbFile CurrentDbFileCopy;

inline QString StartDir;
inline QString StartDrive;

// Distinct "都道府県" and "市町村" of the current book, first seen first; they grow as needed.
inline QStringList Prefectures;
inline QStringList Cities;

inline QString EraDate;        // "yy/mm/dd" of the last JapaneseEraYear
inline QString ViewerTitle;
inline int ViewerDirAttr = 0;  // 0 normal, 1 read-only
inline QString ImageSubfolder;
inline QString DialMemberNo;   // "00000000"
// The caller's own book, handed to the dialler with DialMemberNo: its history is kept there.
inline db::Database DialDatabase;
inline QString ComPort;        // "1", "2" or "3"
inline bool ToneDial = false;
inline bool DialogCancelled = false;
// Target of the list output: only the CSV file is ever chosen here.
inline bool ToPrinter = false;

// The eras of EraRs in its own order; empty when EraRs is not open.
QList<Era> LoadEras();
// The era year of the date through EraRs; sets EraDate. "" (and EraDate "") when no era holds it.
QString JapaneseEraYear(const QDate& date);

// Field names of the "管理情報" row.
namespace BookSettings {
inline const QString Title = QStringLiteral("タイトル");
inline const QString DisplayOrder = QStringLiteral("表示順番");
inline const QString SemicolonSeparator = QStringLiteral("区切文字セミコロン");
inline const QString InsertName = QStringLiteral("宛名挿入");
inline const QString Honorific = QStringLiteral("敬称");
inline const QString MailChoice = QStringLiteral("メール選択");
inline const QString UseMobileMail = QStringLiteral("携帯メール有無");
}

// "表示順番" as 1 to 6; an empty, Null or unknown value counts as 1.
int DisplayOrderNumber(const QVariant& stored);

// "PMPath.txt" in a folder.
QString PmPathFile(const QString& startDir);

struct PmPathRead {
    bool exists = false;
    QString path;  // its first line
};
PmPathRead ReadPmPath(const QString& startDir);

// Replaces "PMPath.txt" with the one line and CR LF, in code page 932. A path that code page 932
// cannot hold is refused (nothing written) with a message for the user.
bool WritePmPath(const QString& startDir, const QString& fullPath, QString* error);

// Opens a book and its "管理情報" and makes them the shared current ones, with the record in both
// shared copies, as a main-menu click does. Throws db::Error and changes nothing when the book
// cannot be opened.
void PublishCurrentBook(const DbFile& book);
// The same for a path, split first.
void PublishCurrentBook(const QString& path);
// Opens the common database with its "基本情報" (table) and "年号ｺｰﾄﾞ" (snapshot) as the shared
// ones. Throws db::Error.
void OpenCommonDatabase(const QString& path);

// Reports a caught error the system's way: its number, a line break and its description,
// with an exclamation icon and the program title.
void ReportError(int number, const QString& description);
void ReportError(const db::Error& e);

// Closes the shared recordsets and databases, in the order the old "終了" did. Run when the
// program ends, so that windows left open keep working until then.
void CloseSharedObjects();

// Opens a web address in the desktop's browser, the address as one argument (http and https
// only; no scheme means http). A refusal is shown to the user at once and the result is false; a
// browser that fails after it was started (none set up on the desktop) is shown when it ends.
bool OpenUrl(const QString& address);

} // namespace Module1
