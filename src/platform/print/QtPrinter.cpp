#include "platform/print/QtPrinter.h"

#include "platform/ui/Fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPrinter>

#include <cstdio>

namespace print {

namespace {
constexpr double kTwipsPerInch = 1440.0;

PrinterMaker& installedMaker()
{
    static PrinterMaker maker;
    return maker;
}
} // namespace

void prepareQPrinter(QPrinter* printer)
{
    printer->setFullPage(false);
    printer->setDocName(documentName());
}

std::shared_ptr<Printer> printerFor(QPrinter* printer)
{
    if (installedMaker())
        return installedMaker()(printer);
    return std::make_shared<QtPrinter>(printer);
}

PrinterMaker setPrinterMaker(PrinterMaker maker)
{
    PrinterMaker previous = std::move(installedMaker());
    installedMaker() = std::move(maker);
    return previous;
}

QtPrinter::QtPrinter(QPrinter* printer) : printer_(printer)
{
    // The old font names are served by their stand-ins also where no window installed them.
    ui::installFontSubstitutions();
    printer_->setFullPage(false);
    if (printer_->docName().isEmpty())
        printer_->setDocName(documentName());
}

QtPrinter::~QtPrinter()
{
    if (painter_.isActive())
        painter_.end();
    dropPart();
}

void QtPrinter::dropPart()
{
    if (part_.isEmpty())
        return;
    QFile::remove(part_);
    printer_->setOutputFileName(file_);
    part_.clear();
}

QString QtPrinter::target() const
{
    if (!file_.isEmpty())
        return file_;
    if (!printer_->outputFileName().isEmpty())
        return printer_->outputFileName();
    return printer_->printerName().isEmpty() ? QStringLiteral("（プリンタなし）") : printer_->printerName();
}

void QtPrinter::paperSizeChanged(int code)
{
    if (code == PaperA4)
        printer_->setPageSize(QPageSize(QPageSize::A4));
}

bool QtPrinter::beginJob()
{
    file_ = printer_->outputFileName();
    if (!file_.isEmpty() && printer_->outputFormat() == QPrinter::PdfFormat) {
        const QFileInfo info(file_);
        part_ = info.absoluteDir().filePath(
            QStringLiteral(".%1.%2.part.pdf").arg(info.fileName()).arg(QCoreApplication::applicationPid()));
        printer_->setOutputFileName(part_);
    }
    if (!painter_.begin(printer_)) {
        dropPart();
        fail(PrinterErrorNumber, QStringLiteral("プリンタ エラー: 印刷を開始できません（%1）").arg(target()));
        return false;
    }
    scaleX_ = printer_->logicalDpiX() / kTwipsPerInch;
    scaleY_ = printer_->logicalDpiY() / kTwipsPerInch;
    drawnFontSize_ = -1;
    return true;
}

bool QtPrinter::beginPage()
{
    if (!printer_->newPage()) {
        fail(PrinterErrorNumber, QStringLiteral("プリンタ エラー: 次のページを開始できません（%1）").arg(target()));
        return false;
    }
    return true;
}

bool QtPrinter::drawText(double x, double y, const QString& text)
{
    if (fontName() != drawnFontName_ || fontSize() != drawnFontSize_) {
        QFont font(fontName());
        font.setPointSizeF(fontSize());
        painter_.setFont(font);
        ascent_ = QFontMetricsF(painter_.font(), printer_).ascent();
        drawnFontName_ = fontName();
        drawnFontSize_ = fontSize();
    }
    // The print position is the top of the text; QPainter places the baseline.
    painter_.drawText(QPointF(x * scaleX_, y * scaleY_ + ascent_), text);
    return true;
}

bool QtPrinter::endJob()
{
    const bool ended = painter_.end();
    bool placed = true;
    if (ended && printer_->printerState() != QPrinter::Error && !part_.isEmpty()) {
        // rename() puts the whole file in place of the old one at once.
        placed = ::rename(QFile::encodeName(part_).constData(), QFile::encodeName(file_).constData()) == 0;
        if (placed) {
            part_.clear();
            printer_->setOutputFileName(file_);
        }
    }
    dropPart();
    if (!ended || !placed || printer_->printerState() == QPrinter::Error) {
        fail(PrinterErrorNumber, QStringLiteral("プリンタ エラー: 印刷を完了できません（%1）").arg(target()));
        return false;
    }
    return true;
}

void QtPrinter::abortJob()
{
    // A printer that cannot take the job back is given what was drawn up to here.
    printer_->abort();
    if (painter_.isActive())
        painter_.end();
    dropPart();
}

} // namespace print
