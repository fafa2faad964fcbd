#pragma once
// The address-book CSV: 38 columns, a header line from the book's captions, one line a record.
// Export writes it beside the database; import reads it back, replacing or adding records.

#include "platform/db/Database.h"
#include "platform/ui/Dialogs.h"
#include "shell/DbFile.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace records {

// The "住所録ラベル" row: field -> value; a field that is missing counts as Null.
using CaptionRow = QHash<QString, QVariant>;
CaptionRow ReadCaptionRow(const db::Recordset& captionRs);

// A category of "会員区分ｺｰﾄﾞ表": code and name, in the table's order.
using CategoryList = QList<QPair<qint64, QString>>;
CategoryList ReadCategories(db::Recordset& categoryRs);

// The words of "性別" and "状態": the caption when it is neither Null nor empty, else the
// built-in word. Export and import share this rule, so a file reads back as it was written.
QString SexWord(const CaptionRow& captions, const QString& code);     // "1" 男, "2" 女, else ""
QString StatusWord(const CaptionRow& captions, const QString& code);  // "1" 会員, "2" 休会, "3" 退会
// "1" for the word of 男 (or the built-in "男"), "2" for anything else, an empty cell included.
QString SexCode(const CaptionRow& captions, const QString& cell);
// The code of a status word; nullopt for any other text.
std::optional<QString> StatusCode(const CaptionRow& captions, const QString& cell);

// Value fields as plain decimal text: rounded to 15 significant digits, no exponent, no
// grouping, no trailing zeros (1234.5, 12, 3.33333333333333).
QString PlainNumber(double value);
// The prefecture, city and street of a one-cell address.
struct Address {
    QString prefecture;
    QString city;
    QString street;
};
// The prefecture is the one of the 47 names that the address begins with, else defaultPrefecture.
Address SplitAddress(const QString& address, const QString& defaultPrefecture);
// The 47 prefecture names.
const QStringList& PrefectureNames();
// Used when the record window's prefecture box is empty.
QString BuiltInDefaultPrefecture();

QStringList CsvHeaderCells(const CaptionRow& captions);
// The header cells of the built-in captions, naming the columns in messages.
const QStringList& CsvColumnHeadings();
// The fields a record's line is made of, and its 38 cells from the values of those fields.
const QStringList& CsvRecordFields();
QStringList CsvRecordCells(const QVariantList& values, const CaptionRow& captions, const QDate& today);

// The file beside the database: its folder and its name less the last four characters (".csv"
// is added by the list output).
QString CsvPathWithoutExtension(const Module1::DbFile& f);

struct CsvExportResult {
    bool ok = false;
    bool cancelled = false;    // stopped by step: the file that was there stays as it was
    QString error;
    int records = 0;
    int substitutedCells = 0;  // cells with characters code page 932 cannot hold
};
// Writes the header and every record of mainRs in its order; mainRs stays on the record it stood on.
// step is told how many records are written and may stop the export.
CsvExportResult ExportAddressBookCsv(const db::Recordset& mainRs, const CaptionRow& captions,
                                     const QString& pathWithoutExtension, const QDate& today,
                                     const ui::ProgressStep& step = {});

struct CsvLineProblem {
    int line = 0;      // line number in the file, from 1
    QString reason;
};

// One record read from a line: fields in column order.
struct CsvRecord {
    int line = 0;
    QList<QPair<QString, QVariant>> fields;
};

// A file read through once: what it holds is known, its records are converted again from its
// text as they are stored, so that a large file is never held as records all at once.
struct ParsedCsv {
    QString text;
    CaptionRow captions;
    CategoryList categories;
    QString defaultPrefecture;
    QDate today;

    int recordCount = 0;               // lines that give a record
    QList<CsvLineProblem> skipped;     // lines that cannot be read as a record
    QList<CsvLineProblem> unsetCells;  // cells that could not be stored; the field stays unset
    QList<CsvLineProblem> brokenCells; // cells holding bytes that are not code page 932 (read as U+FFFD)

    // Every record in file order; the one handed over is valid during the call only.
    void forEachRecord(const std::function<void(const CsvRecord&)>& take) const;
    QList<CsvRecord> records() const;
};
// Reads the whole file's text (the first line is the header and is skipped).
ParsedCsv ParseAddressBookCsv(const QString& content, const CaptionRow& captions, const CategoryList& categories,
                              const QString& defaultPrefecture, const QDate& today);

struct CsvImportResult {
    bool ok = false;
    bool cancelled = false;  // stopped by step: the book is as it was
    QString error;  // the import failed and the book is as it was
    int added = 0;
    QList<CsvLineProblem> skipped;
    QList<CsvLineProblem> unsetCells;
    QList<CsvLineProblem> brokenCells;
};
// Adds the records in one transaction, after deleting every record when replace is set.
// Lines the book refuses (a number already there or given twice) are skipped and counted;
// any other failure rolls everything back, as does a stop asked by step (told how many records
// of the file have been handled).
CsvImportResult ImportAddressBookCsv(const db::Database& book, const ParsedCsv& parsed, bool replace,
                                     const ui::ProgressStep& step = {});

// The message the user reads after an import.
QString ImportReport(const CsvImportResult& result);

} // namespace records
