#pragma once
// Small shared procedures every window uses: byte-width fitting, era years, ages,
// date-text checks, CSV fields, picture names and folders.

#include <QChar>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace Module1 {

// The text padded with spaces or cut to exactly width Shift-JIS bytes; a double-byte character
// that would straddle the end becomes one space. A width of 0 or less gives "".
QString FitBytes(const QString& text, int width);

// One row of the era table: the era's name and its first day. Rows stand in ascending order.
struct Era {
    QString name;
    QDate start;
};

// The era the date falls in: the last row starting on or before it; nullptr before the first
// era, for an empty list or an invalid date.
const Era* EraOf(const QList<Era>& eras, const QDate& date);

// Era name, era year as two digits and "年" ("平成05年"); sets *eraDate to the era year and
// "/mm/dd" ("05/04/01"). Gives "" and sets *eraDate to "" when no era holds the date.
QString JapaneseEraYear(const QList<Era>& eras, const QDate& date, QString* eraDate);

// Whole years from birth to ref; a birthday on ref counts as reached, 29 February is reached
// on 1 March in other years. Never below 0; 0 when either date is invalid.
int AgeInYears(const QDate& birth, const QDate& ref);

// True for a year/month/day text of digits: year of 1 to 4 digits, month 1-12, a day that
// exists in that month. One- and two-digit years mean 2000+yy below 30, else 1900+yy.
bool IsYmdDate(const QString& text);

// The n-th field (from 1) of one CSV line; "" when the line has fewer fields.
// A quoted field ends at the first quote not doubled; doubled quotes inside it read as one.
QString CsvField(const QString& line, int n, QChar sep);

// Splits a whole CSV text into records of fields. Records end at CR LF, LF or CR outside
// quotes; a quoted field may hold line breaks. Lines without such fields give exactly the
// fields CsvField gives for them. A line break at the very end gives no empty last record.
QList<QStringList> ReadCsvRecords(const QString& content, QChar sep = u',');

// The same, a record at a time, for files too large to hold as lists of strings: the cells of
// the current record are views, valid until the next call of next() (content must outlive it).
class CsvReader {
public:
    explicit CsvReader(QStringView content, QChar sep = u',');
    bool next();  // false at the end
    int size() const { return int(cells_.size()); }
    // The n-th cell from 0; "" past the last one.
    QStringView cell(int n) const { return n >= 0 && n < size() ? cells_[size_t(n)] : QStringView(); }
    // Line feeds held inside the cells of the current record.
    int lineFeeds() const { return lineFeeds_; }

private:
    QStringView content_;
    QChar sep_;
    qsizetype pos_ = 0;
    int lineFeeds_ = 0;
    std::vector<QStringView> cells_;
    std::vector<QString> scratch_;  // cells whose doubled quotes were undone
};

// The name itself when it ends in a picture extension (exact case), else "".
QString ImageFileName(const QString& fileName);

// Creates the folder (one level; its parent must exist) unless it exists.
// Callers may ignore the result: true when the folder exists afterwards.
bool EnsureFolder(const QString& path);

} // namespace Module1
