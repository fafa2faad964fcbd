#include "platform/print/Printer.h"

#include "platform/text/Cp932.h"

namespace print {

QString documentName() { return QStringLiteral("宛名印刷"); }

Printer::~Printer() = default;

void Printer::setPaperSize(int code)
{
    paperSize_ = code;
    paperSizeChanged(code);
}

double Printer::textWidth(const QString& text) const
{
    return cell() * text::byteWidth(text);
}

double Printer::textHeight(const QString& text) const
{
    return 2 * cell() * (text.count(QLatin1Char('\n')) + 1);
}

void Printer::print(const QString& text, int spacing)
{
    if (!text.isEmpty() && !failed_) {
        bool ready = true;
        if (!started_) {
            started_ = true;
            ready = beginJob();
        } else if (breakPending_) {
            ready = beginPage();
        }
        breakPending_ = false;
        if (ready) {
            if (!pageHasText_)
                ++pages_;
            pageHasText_ = true;
            drawText(x_ + cell() * qMax(0, spacing), y_, text);
        }
    }
    y_ += textHeight(text);
    x_ = 0;
}

void Printer::newPage()
{
    if (pageHasText_) {
        breakPending_ = true;
        pageHasText_ = false;
    }
    x_ = 0;
    y_ = 0;
}

JobResult Printer::endDoc()
{
    if (started_ && !failed_)
        endJob();
    return finish();
}

JobResult Printer::abortDoc()
{
    if (started_)
        abortJob();
    JobResult r = finish();
    r.aborted = r.started;
    return r;
}

JobResult Printer::finish()
{
    JobResult r;
    r.started = started_;
    r.pages = pages_;
    r.ok = !failed_;
    r.errorNumber = errorNumber_;
    r.description = description_;

    started_ = pageHasText_ = breakPending_ = failed_ = false;
    pages_ = errorNumber_ = 0;
    description_.clear();
    x_ = y_ = 0;
    return r;
}

void Printer::fail(int number, const QString& description)
{
    if (failed_)
        return;
    failed_ = true;
    errorNumber_ = number;
    description_ = description;
}

} // namespace print
