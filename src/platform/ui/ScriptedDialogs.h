#pragma once
// Dialogs for tests: questions and file dialogs are answered from queues, the date is fixed, and
// every box shown is recorded. Anything asked that the test did not expect is recorded as a failure.

#include "platform/ui/Dialogs.h"

#include <QQueue>
#include <QStringList>

#include <functional>
#include <memory>

namespace ui {

class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        enum Kind { Message, Question };
        Kind kind = Message;
        QString text;
        QString title;   // as the box shows it: the program title when it had none of its own
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer answer = Answer::Ok;
    };

    explicit ScriptedDialogs(QDate today = QDate(2024, 4, 1)) : today_(today) {}

    void queueAnswer(Answer answer) { answers_.enqueue(answer); }
    // A file name, or nullopt for a cancelled dialog.
    void queueFile(std::optional<QString> file) { files_.enqueue(std::move(file)); }
    void setToday(QDate today) { today_ = today; }
    void setPrinterDialogResult(bool confirmed) { printerResult_ = confirmed; }
    // The next progress shown is cancelled by the user once the work reports value or more.
    // Progresses without a queued cancel run to their end.
    void queueProgressCancel(qint64 value) { cancels_.enqueue(value); }

    struct ProgressShown {
        QString label;
        QString title;
        qint64 maximum = 0;
        qint64 last = -1;       // the last value reported
        bool cancelled = false;
    };
    const QList<ProgressShown>& progresses() const { return *progresses_; }
    // What the user sets up in the printer dialog (a PDF file to print to, say). It is applied
    // whether the dialog is confirmed or cancelled, so that a print after a cancel would show.
    void setPrinterSetup(std::function<void(QPrinter*)> setup) { printerSetup_ = std::move(setup); }

    void message(const QString& text, const QString& title = {}, Icon icon = Icon::None) override;
    // Answers from the queue. With an empty queue, or a queued answer that is not one of the
    // buttons, records a failure and answers No (Cancel for OK/Cancel, OK for an OK box).
    Answer question(const QString& text, const QString& title = {}, Icon icon = Icon::None,
                    Buttons buttons = Buttons::YesNo) override;
    void beep() override { ++beeps_; }
    // From the queue; an empty queue records a failure and cancels.
    std::optional<QString> openFile(const OpenFileOptions& options) override;
    bool printerDialog(QPrinter* printer) override;
    QDate today() override { return today_; }
    std::unique_ptr<Progress> progress(const QString& label, qint64 maximum, const QString& title = {}) override;

    const QList<Shown>& shown() const { return shown_; }
    QStringList shownTexts() const;
    const QList<OpenFileOptions>& fileDialogs() const { return fileDialogs_; }
    int beeps() const { return beeps_; }
    int printerDialogs() const { return printerDialogs_; }
    int pendingAnswers() const { return int(answers_.size()); }
    int pendingFiles() const { return int(files_.size()); }
    // What was asked without a scripted answer; empty when everything went as the test expected.
    const QStringList& failures() const { return failures_; }
    bool hadUnexpected() const { return !failures_.isEmpty(); }

    // Forgets what was shown and asked (the queues stay).
    void clearRecord();

private:
    QDate today_;
    QQueue<Answer> answers_;
    QQueue<std::optional<QString>> files_;
    QQueue<qint64> cancels_;
    std::shared_ptr<QList<ProgressShown>> progresses_ = std::make_shared<QList<ProgressShown>>();
    bool printerResult_ = true;
    std::function<void(QPrinter*)> printerSetup_;
    QList<Shown> shown_;
    QList<OpenFileOptions> fileDialogs_;
    QStringList failures_;
    int beeps_ = 0;
    int printerDialogs_ = 0;
};

}  // namespace ui
