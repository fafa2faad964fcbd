#include "platform/print/RecordingPrinter.h"

#include <QStringList>

namespace print {

QStringList RecordingPrinter::texts(int page) const
{
    QStringList out;
    for (const Drawn& d : drawn_)
        if (d.page == page)
            out << d.text;
    return out;
}

bool RecordingPrinter::startPage()
{
    ++jobPage_;
    if (failPage_ > 0 && jobPage_ == failPage_) {
        fail(failNumber_, failDescription_);
        return false;
    }
    ++page_;
    return true;
}

bool RecordingPrinter::beginJob()
{
    ++jobs_;
    jobPage_ = 0;
    return startPage();
}

bool RecordingPrinter::beginPage() { return startPage(); }

bool RecordingPrinter::drawText(double x, double y, const QString& text)
{
    if (onDraw_)
        onDraw_(int(drawn_.size()));
    drawn_ << Drawn{page_, x, y, fontName(), fontSize(), text};
    return true;
}

bool RecordingPrinter::endJob()
{
    ++ended_;
    return true;
}

} // namespace print
