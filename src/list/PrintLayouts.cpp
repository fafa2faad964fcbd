#include "list/PrintLayouts.h"

#include "platform/db/Error.h"

#include <functional>

namespace list {

namespace {

enum Field { Zip, Prefecture, City, Street, Address2, Name };

const QString kFont = QStringLiteral("ＭＳ 明朝");
const QString kHonorific = QStringLiteral("　様");
constexpr int kBlock = 512;
constexpr int kLabelRows = 10;

QString textOf(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

bool isSelected(const PrintRequest& r, qint64 line)
{
    return r.selection && line < qint64(r.selection->size()) && (*r.selection)[size_t(line)] != 0;
}

// Hands the records the request takes to visit, in order, read a block at a time: unselected
// lines (when only selected ones are wanted) and records deleted elsewhere are passed over.
// visit returns false to stop; so does the walk then.
bool Visit(const db::Recordset& records, const PrintRequest& request, const QStringList& fields,
           const std::function<bool(const QVariantList&, qint64 line)>& visit)
{
    const qint64 count = records.isOpen() ? records.recordCount() : 0;
    qint64 line = 0;
    while (line < count) {
        qint64 end = qMin(count, line + kBlock);
        if (request.selectedOnly) {
            while (line < count && !isSelected(request, line))
                ++line;
            if (line == count)
                break;
            end = line;
            while (end < count && end - line < kBlock && isSelected(request, end))
                ++end;
        }
        const QList<QVariantList> rows = records.readColumns(fields, int(line), int(end - line));
        for (qsizetype k = 0; k < rows.size(); ++k)
            if (rows[k].size() == fields.size() && !visit(rows[k], line + k))
                return false;
        line = end;
    }
    return true;
}

// Hands every record that qualifies to print; records without "市町村" are passed over. False
// when progress stopped the run.
bool Walk(print::Printer& printer, const db::Recordset& records, const PrintRequest& request,
          const std::function<void(const QVariantList&)>& print)
{
    const qint64 count = records.isOpen() ? records.recordCount() : 0;
    bool stopped = false;
    Visit(records, request, PrintFields(), [&](const QVariantList& v, qint64 line) {
        if (printer.failed())
            return false;
        if (!textOf(v[City]).isEmpty())
            print(v);
        if (request.progress && !request.progress(line + 1, count)) {
            stopped = true;
            return false;
        }
        return true;
    });
    return !stopped;
}

// Lines 1 to 4 of a label or a postcard, each from x at the left edge.
void PrintAddressLines(print::Printer& p, const QVariantList& v, double left)
{
    auto optionalLine = [&](const QString& text) {
        p.setCurrentX(left);
        if (!text.isEmpty()) {
            p.print(text);
            PrintCarriageReturn(p);
        } else {
            PrintLineFeeds(p, 1);
        }
    };
    optionalLine(textOf(v[Zip]));
    p.setCurrentX(left);
    p.print(textOf(v[Prefecture]) + textOf(v[City]) + textOf(v[Street]));
    PrintCarriageReturn(p);
    optionalLine(textOf(v[Address2]));
    PrintLineFeeds(p, 1);
}

// The document is ended also when the engine fails half-way, so that the device is let go.
// A cancelled run throws the document away.
template <class F>
PrintRun RunDocument(print::Printer& p, F&& body)
{
    PrintRun run;
    try {
        run.cancelled = !body(run.printed);
    } catch (const db::Error&) {
        p.endDoc();
        throw;
    }
    run.job = run.cancelled ? p.abortDoc() : p.endDoc();
    return run;
}

PrintRun PrintLabelSheet(print::Printer& p, const db::Recordset& records, const PrintRequest& request)
{
    return RunDocument(p, [&](qint64& printed) {
        int row = 1;
        int column = 0;
        p.setFontName(kFont);
        p.setPaperSize(print::PaperA4);
        p.print();
        return Walk(p, records, request, [&](const QVariantList& v) {
            p.setFontSize(10);
            if (row == 1)
                p.setCurrentY(p.textHeight(QStringLiteral("111")) * 3);
            const double cell = p.textWidth(QStringLiteral("1"));
            const double left = cell * 10 + cell * 58 * column;
            PrintAddressLines(p, v, left);
            p.setCurrentX(left);
            p.setFontSize(10);
            const QString name = textOf(v[Name]);
            if (!name.isEmpty()) {
                p.print(name + kHonorific, 1);
                PrintCarriageReturn(p);
            } else {
                PrintLineFeeds(p, 1);
            }
            PrintLineFeeds(p, 2);
            if (!p.failed())
                ++printed;
            if (++row > kLabelRows) {
                if (++column == 2) {
                    column = 0;
                    p.newPage();
                }
                row = 1;
            }
        });
    });
}

PrintRun PrintPostcards(print::Printer& p, const db::Recordset& records, const PrintRequest& request)
{
    return RunDocument(p, [&](qint64& printed) {
        // The paper is the one the printer dialog chose.
        p.setFontName(kFont);
        p.print();
        return Walk(p, records, request, [&](const QVariantList& v) {
            p.setFontSize(10);
            p.setCurrentY(p.textHeight(QStringLiteral("111")) * 15);
            const double left = p.textWidth(QStringLiteral("1")) * 10;
            PrintAddressLines(p, v, left);
            p.setCurrentX(left);
            p.setFontSize(12);
            const QString name = textOf(v[Name]);
            if (!name.isEmpty())
                p.print(name + kHonorific, 5);
            if (!p.failed())
                ++printed;
            p.newPage();
        });
    });
}

} // namespace

const QStringList& PrintFields()
{
    static const QStringList fields = {
        QStringLiteral("郵便番号"), QStringLiteral("都道府県"), QStringLiteral("市町村"),
        QStringLiteral("番地"),     QStringLiteral("住所2"),   QStringLiteral("氏名"),
    };
    return fields;
}

bool AnyToPrint(const db::Recordset& records, const PrintRequest& request)
{
    static const QStringList city = {PrintFields()[City]};
    return !Visit(records, request, city, [](const QVariantList& v, qint64) { return textOf(v[0]).isEmpty(); });
}

void PrintCarriageReturn(print::Printer& printer)
{
    printer.setCurrentX(0);
}

void PrintLineFeeds(print::Printer& printer, int n)
{
    for (int k = 0; k < n; ++k)
        printer.setCurrentY(printer.currentY() + printer.textHeight(QStringLiteral("1")));
    printer.setCurrentX(0);
}

PrintRun PrintAddresses(print::Printer& printer, const db::Recordset& records, const PrintRequest& request)
{
    switch (request.kind) {
    case LabelSheet:
        return PrintLabelSheet(printer, records, request);
    case Postcard:
    case ReturnPostcard:
        // A return postcard is a postcard; its paper and orientation come from the printer dialog.
        return PrintPostcards(printer, records, request);
    default:
        return {};
    }
}

PrintRun PrintLabelsOrPostcards(print::Printer& printer, const db::Recordset& records, const PrintRequest& request)
{
    if (request.kind == LabelSheet)
        return PrintLabelSheet(printer, records, request);
    return PrintPostcards(printer, records, request);
}

} // namespace list
