#pragma once
// The printer object over a QPrinter set up by the printer dialog. Positions count from the
// printable area (fullPage off); text is drawn with its top at the print position, in the font
// that stands in for the old one ("ＭＳ 明朝" is served by IPA Mincho). A PDF file is written
// beside its place under another name and takes its place when the document ends whole, so a
// run that fails or is cancelled leaves the file that was there before.

#include "platform/print/Printer.h"

#include <QFont>
#include <QPainter>

#include <functional>
#include <memory>

class QPrinter;

namespace print {

class QtPrinter : public Printer {
public:
    // The printer stays the caller's and must outlive this object.
    explicit QtPrinter(QPrinter* printer);
    ~QtPrinter() override;

protected:
    bool beginJob() override;
    bool beginPage() override;
    bool drawText(double x, double y, const QString& text) override;
    bool endJob() override;
    void abortJob() override;
    void paperSizeChanged(int code) override;

private:
    // Where the output goes, for messages: the file or the printer's name.
    QString target() const;
    // Throws the file being written away and gives the printer its file name back.
    void dropPart();

    QString file_;   // the PDF file asked for
    QString part_;   // the file written until the document ends

    QPrinter* printer_;
    QPainter painter_;
    double scaleX_ = 1;
    double scaleY_ = 1;
    QString drawnFontName_;
    double drawnFontSize_ = -1;
    double ascent_ = 0;
};

// A QPrinter as every print of the program starts: high resolution, positions from the
// printable area, the program's document name.
void prepareQPrinter(QPrinter* printer);

// The printer object for a QPrinter the printer dialog has set up: a QtPrinter unless a test
// installed another maker (which may keep the printers it makes, to look at them afterwards).
using PrinterMaker = std::function<std::shared_ptr<Printer>(QPrinter*)>;
std::shared_ptr<Printer> printerFor(QPrinter* printer);
// Installs a maker (an empty one: the QtPrinter again); returns the one installed before.
PrinterMaker setPrinterMaker(PrinterMaker maker);

class ScopedPrinterMaker {
public:
    explicit ScopedPrinterMaker(PrinterMaker maker) : previous_(setPrinterMaker(std::move(maker))) {}
    ~ScopedPrinterMaker() { setPrinterMaker(std::move(previous_)); }
    ScopedPrinterMaker(const ScopedPrinterMaker&) = delete;
    ScopedPrinterMaker& operator=(const ScopedPrinterMaker&) = delete;

private:
    PrinterMaker previous_;
};

} // namespace print
