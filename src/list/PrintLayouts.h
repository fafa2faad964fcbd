#pragma once
// The address layouts of the printing window, without the window: A4 label sheets of two
// columns by ten labels, postcards and return postcards (printed as postcards), one document
// a run, over the window's records.
//
// The walk goes by position in the window's records: line i of the window's list is record i,
// also when records were deleted elsewhere since the window loaded (such a record is passed
// over and keeps its place). Records are read a block at a time, so a run of any size holds
// only one block; with only the selected lines wanted, only those lines are read.

#include "platform/db/Recordset.h"
#include "platform/print/Printer.h"

#include <functional>
#include <vector>

namespace list {

// The printing window's print kinds (Option1).
enum PrintKind { LabelSheet = 0, Postcard = 1, ReturnPostcard = 2 };

struct PrintRequest {
    int kind = LabelSheet;
    // "リスト選択者": only the records whose lines are selected.
    bool selectedOnly = false;
    // Line i is selected when selection holds a non-zero i-th entry.
    const std::vector<char>* selection = nullptr;
    // Told after each record visited (lines visited, lines in all); false stops the run, and the
    // document is thrown away instead of ended.
    std::function<bool(qint64 done, qint64 total)> progress;
};

struct PrintRun {
    qint64 printed = 0;      // records printed
    print::JobResult job;    // how the document ended
    bool cancelled = false;  // progress stopped the run
};

// Whether a run would print anything: some record that the request takes has a "市町村".
// Reads only that field, and stops at the first such record.
bool AnyToPrint(const db::Recordset& records, const PrintRequest& request);

// The information manager's routine: labels for kind 0, postcards for kinds 1 and 2, nothing
// for any other kind. The records' current record does not change. Engine errors reach the
// caller after the document has been ended.
PrintRun PrintAddresses(print::Printer& printer, const db::Recordset& records, const PrintRequest& request);
// The address book's routine: labels for kind 0, postcards for every other kind.
PrintRun PrintLabelsOrPostcards(print::Printer& printer, const db::Recordset& records, const PrintRequest& request);

// x to the left edge.
void PrintCarriageReturn(print::Printer& printer);
// n times the height of "1" down, then x to the left edge (n of 0 or less only sets x).
void PrintLineFeeds(print::Printer& printer, int n);

// The fields a layout reads, in the order the walk hands them over.
const QStringList& PrintFields();

} // namespace list
