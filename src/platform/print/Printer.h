#pragma once
// The printer object the print routines write to: a font, a position in twips, lines of text,
// pages and the end of the document. Measures use the fixed-pitch cell of the old fonts (the
// width of "1" is 10 twips a point, a line 20 twips a point), never the metrics of the font that
// stands in for them, so that every layout lands where it always did.
//
// Nothing reaches the device before the first text is drawn: a document with no text starts no
// job, and a page is started only when something is drawn on it (a page break followed by the
// end of the document adds no blank sheet).

#include <QString>

namespace print {

// The paper-size code of A4, as the old printer object numbered it.
inline constexpr int PaperA4 = 9;
// The number the old runtime gave printer errors.
inline constexpr int PrinterErrorNumber = 482;

// The name of every document the program prints, so that a file it is printed to has a name
// the user expects.
QString documentName();

// How a document ended.
struct JobResult {
    bool ok = true;         // false: the printer failed; errorNumber and description tell why
    bool started = false;   // something was drawn, so a job was started
    bool aborted = false;   // the job was thrown away (abortDoc)
    int pages = 0;          // sheets with text on them
    int errorNumber = 0;
    QString description;
};

class Printer {
public:
    virtual ~Printer();

    void setFontName(const QString& name) { fontName_ = name; }
    const QString& fontName() const { return fontName_; }
    void setFontSize(double points) { fontSize_ = points; }
    double fontSize() const { return fontSize_; }
    // Chooses the paper (PaperA4); the printer keeps whatever it was set up with otherwise.
    void setPaperSize(int code);
    int paperSize() const { return paperSize_; }

    // The print position, in twips from the top left corner of the printable area.
    double currentX() const { return x_; }
    double currentY() const { return y_; }
    void setCurrentX(double twips) { x_ = twips; }
    void setCurrentY(double twips) { y_ = twips; }

    // Width of a text at the font in force: one cell a Shift-JIS byte.
    double textWidth(const QString& text) const;
    // Height of a text at the font in force: one line a line of text.
    double textHeight(const QString& text) const;

    // Prints one line: the text at the print position, after `spacing` blank cells of the font
    // in force; then the next line starts one line height lower at x 0. An empty text only
    // moves the position.
    void print(const QString& text = {}, int spacing = 0);
    // Ends the page: the next text goes to the top of a new one. A page with nothing on it is
    // not ended, so no blank sheet comes out.
    void newPage();
    // Ends the document and hands it to the printer; the object is then ready for another one.
    JobResult endDoc();

    // Ends the document without handing it over: where the device allows, nothing drawn comes
    // out (a file is not written, or keeps what it held); the object is then ready for another.
    JobResult abortDoc();

    // True once the printer failed in this document: what follows is not printed.
    bool failed() const { return failed_; }

protected:
    // Starts the job before the first text of a document; false (after fail()) when it cannot.
    virtual bool beginJob() = 0;
    // Starts a page after the first one; false (after fail()) when it cannot.
    virtual bool beginPage() = 0;
    // Draws a text with its top left corner at (x, y) twips in the font in force.
    virtual bool drawText(double x, double y, const QString& text) = 0;
    // Ends a started job; false (after fail()) when the printer could not finish it.
    virtual bool endJob() = 0;
    // Throws a started job away; a device that cannot take back what it was given ends the job.
    virtual void abortJob() { endJob(); }
    // The paper was chosen; before the job starts, or for the next page.
    virtual void paperSizeChanged(int /*code*/) {}

    // Records a failure of the device: the rest of the document is not printed.
    void fail(int number, const QString& description);

private:
    // The result of the document, and the object made ready for the next one.
    JobResult finish();
    // One cell of the fixed-pitch font in force, in twips.
    double cell() const { return 10.0 * fontSize_; }

    QString fontName_;
    double fontSize_ = 10;
    int paperSize_ = 0;
    double x_ = 0;
    double y_ = 0;
    bool started_ = false;      // the job has begun
    bool pageHasText_ = false;  // something is drawn on the page in hand
    bool breakPending_ = false; // the next text goes to a new page
    int pages_ = 0;
    bool failed_ = false;
    int errorNumber_ = 0;
    QString description_;
};

} // namespace print
