// The printing window's "印刷": the question, the printer dialog and the print of the chosen kind.

#include "list/Form5.h"
#include "list/PrintListModel.h"

#include "edition/Profile.h"
#include "platform/db/Error.h"
#include "platform/print/QtPrinter.h"
#include "platform/ui/Dialogs.h"
#include "shell/Module1.h"

#include <QGuiApplication>
#include <QPrinter>

namespace {

QString QuestionFor(int kind)
{
    switch (kind) {
    case list::LabelSheet:
        return QStringLiteral("宛名ラベルA4用紙に印刷を行います　よろしいですか？");
    case list::Postcard:
        return QStringLiteral("はがきに宛名を印刷を行います　よろしいですか？");
    default:
        return QStringLiteral("往復はがきに宛名を印刷を行います　よろしいですか？");
    }
}

// A wait cursor while a long print runs.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

void Form5::PrintChosen()
{
    const QString title = QStringLiteral("宛名印刷");
    const int kind = printKind();
    if (ui::dialogs().question(QuestionFor(kind), title, ui::Icon::None, ui::Buttons::YesNo) != ui::Answer::Yes)
        return;

    QPrinter device(QPrinter::HighResolution);
    print::prepareQPrinter(&device);
    // A cancelled dialog prints nothing.
    if (!ui::dialogs().printerDialog(&device))
        return;

    list::PrintRequest request;
    request.kind = kind;
    request.selectedOnly = selectedOnly();
    request.selection = &List1Model->selection();

    list::PrintRun run;
    try {
        BusyCursor busy;
        const std::shared_ptr<print::Printer> printer = print::printerFor(&device);
        // The program without return postcards prints labels for kind 0 and postcards otherwise.
        run = edition::profile().HasReturnPostcards ? list::PrintAddresses(*printer, PersonRs, request)
                                                    : list::PrintLabelsOrPostcards(*printer, PersonRs, request);
    } catch (const db::Error& e) {
        Module1::ReportError(e);
        return;
    }
    if (!run.job.ok)
        Module1::ReportError(run.job.errorNumber, run.job.description);
    else if (run.printed == 0)
        ui::dialogs().message(QStringLiteral("印刷する宛名がありません"), title, ui::Icon::None);
}
