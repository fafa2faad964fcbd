// The printing window's "印刷": the question, the printer dialog and the print of the chosen kind.

#include "list/Form5.h"
#include "list/PrintListModel.h"

#include "edition/Profile.h"
#include "platform/db/Error.h"
#include "platform/print/QtPrinter.h"
#include "platform/ui/Dialogs.h"
#include "shell/Module1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QPrinter>

#include <memory>

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

// The progress of a print: a wait cursor at first; when the run lasts longer than the delay, a
// dialog with the count and "キャンセル", modal so that nothing else is worked while it prints.
// Events are handled a few times a second, so that the windows keep painting.
class PrintProgress {
public:
    PrintProgress(QWidget* window, int delay) : window_(window), delay_(delay)
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        clock_.start();
    }
    ~PrintProgress()
    {
        if (cursor_)
            QGuiApplication::restoreOverrideCursor();
    }
    PrintProgress(const PrintProgress&) = delete;
    PrintProgress& operator=(const PrintProgress&) = delete;

    // False once the user cancelled.
    bool step(qint64 done, qint64 total)
    {
        if (++calls_ % 64 != 0 && done < total)
            return true;
        const qint64 now = clock_.elapsed();
        if (now - lastPoll_ < 50 && done < total)
            return true;
        lastPoll_ = now;
        if (!dialog_ && now >= delay_ && done < total)
            open(total);
        if (dialog_) {
            dialog_->setValue(int(qMin<qint64>(done, total)));
            QCoreApplication::processEvents();
            return !dialog_->wasCanceled();
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    }

private:
    void open(qint64 total)
    {
        dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("宛名を印刷しています"), QStringLiteral("キャンセル"), 0,
                                                    int(total), window_);
        dialog_->setObjectName(QStringLiteral("PrintProgress"));
        dialog_->setWindowTitle(QStringLiteral("宛名印刷"));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
        // The dialog answers the mouse; the wait cursor would say it does not.
        QGuiApplication::restoreOverrideCursor();
        cursor_ = false;
    }

    QWidget* window_;
    int delay_;
    QElapsedTimer clock_;
    qint64 calls_ = 0;
    qint64 lastPoll_ = -1000;
    bool cursor_ = true;
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace

void Form5::PrintChosen()
{
    const QString title = QStringLiteral("宛名印刷");
    const int kind = printKind();
    if (ui::dialogs().question(QuestionFor(kind), title, ui::Icon::None, ui::Buttons::YesNo) != ui::Answer::Yes)
        return;

    list::PrintRequest request;
    request.kind = kind;
    request.selectedOnly = selectedOnly();
    request.selection = &List1Model->selection();

    const QString nothing = QStringLiteral("印刷する宛名がありません");
    // Nothing to print is told before the printer dialog, not after it.
    try {
        if ((request.selectedOnly && List1Model->selectedCount() == 0) || !list::AnyToPrint(PersonRs, request)) {
            ui::dialogs().message(nothing, title, ui::Icon::None);
            return;
        }
    } catch (const db::Error& e) {
        Module1::ReportError(e);
        return;
    }

    QPrinter device(QPrinter::HighResolution);
    print::prepareQPrinter(&device);
    // A cancelled dialog prints nothing.
    if (!ui::dialogs().printerDialog(&device))
        return;

    // While it prints the window is not closed under it, and no second print starts.
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(Printing);
    list::PrintRun run;
    try {
        PrintProgress progress(this, ProgressDelay);
        request.progress = [&progress](qint64 done, qint64 total) { return progress.step(done, total); };
        const std::shared_ptr<print::Printer> printer = print::printerFor(&device);
        // The program without return postcards prints labels for kind 0 and postcards otherwise.
        run = edition::profile().HasReturnPostcards ? list::PrintAddresses(*printer, PersonRs, request)
                                                    : list::PrintLabelsOrPostcards(*printer, PersonRs, request);
    } catch (const db::Error& e) {
        Module1::ReportError(e);
        return;
    }
    if (run.cancelled)
        return;
    if (!run.job.ok)
        Module1::ReportError(run.job.errorNumber, run.job.description);
    else if (run.printed == 0)
        // Records deleted elsewhere since the window loaded.
        ui::dialogs().message(nothing, title, ui::Icon::None);
}
