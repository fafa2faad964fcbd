#include "platform/ui/ScriptedDialogs.h"

#include <QDebug>

namespace ui {
namespace {

bool offered(Answer answer, Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return answer == Answer::Ok;
    case Buttons::OkCancel: return answer == Answer::Ok || answer == Answer::Cancel;
    case Buttons::YesNo: return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel: return answer != Answer::Ok;
    }
    return false;
}

Answer negative(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: break;
    }
    return Answer::No;
}

}  // namespace

void ScriptedDialogs::message(const QString& text, const QString& title, Icon icon)
{
    Shown s;
    s.kind = Shown::Message;
    s.text = text;
    s.title = shownTitle(title);
    s.icon = icon;
    shown_ << s;
}

Answer ScriptedDialogs::question(const QString& text, const QString& title, Icon icon, Buttons buttons)
{
    Shown s;
    s.kind = Shown::Question;
    s.text = text;
    s.title = shownTitle(title);
    s.icon = icon;
    s.buttons = buttons;
    if (answers_.isEmpty()) {
        failures_ << QStringLiteral("unexpected question: ") + text;
        qWarning("ScriptedDialogs: unexpected question: %s", qPrintable(text));
        s.answer = negative(buttons);
    } else {
        const Answer queued = answers_.dequeue();
        if (offered(queued, buttons)) {
            s.answer = queued;
        } else {
            failures_ << QStringLiteral("scripted answer is not a button of: ") + text;
            qWarning("ScriptedDialogs: scripted answer is not a button of: %s", qPrintable(text));
            s.answer = negative(buttons);
        }
    }
    shown_ << s;
    return s.answer;
}

std::optional<QString> ScriptedDialogs::openFile(const OpenFileOptions& options)
{
    fileDialogs_ << options;
    if (files_.isEmpty()) {
        failures_ << QStringLiteral("unexpected file dialog: ") + options.title;
        qWarning("ScriptedDialogs: unexpected file dialog: %s", qPrintable(options.title));
        return std::nullopt;
    }
    return files_.dequeue();
}

namespace {

// Notes what the work reports into the record of its progress, which outlives the dialogs.
class ScriptedProgress : public Progress {
public:
    ScriptedProgress(std::shared_ptr<QList<ScriptedDialogs::ProgressShown>> record, qsizetype index,
                     std::optional<qint64> cancelAt)
        : record_(std::move(record)), index_(index), cancelAt_(cancelAt)
    {
    }
    bool setValue(qint64 value) override
    {
        if (index_ >= record_->size())  // the record was cleared meanwhile
            return true;
        ScriptedDialogs::ProgressShown& p = (*record_)[index_];
        p.last = value;
        if (cancelAt_ && value >= *cancelAt_)
            p.cancelled = true;
        return !p.cancelled;
    }
    bool wasCanceled() const override { return index_ < record_->size() && (*record_)[index_].cancelled; }

private:
    std::shared_ptr<QList<ScriptedDialogs::ProgressShown>> record_;
    qsizetype index_;
    std::optional<qint64> cancelAt_;
};

}  // namespace

std::unique_ptr<Progress> ScriptedDialogs::progress(const QString& label, qint64 maximum, const QString& title)
{
    ProgressShown p;
    p.label = label;
    p.title = shownTitle(title);
    p.maximum = maximum;
    progresses_->append(p);
    std::optional<qint64> cancelAt;
    if (!cancels_.isEmpty())
        cancelAt = cancels_.dequeue();
    return std::make_unique<ScriptedProgress>(progresses_, progresses_->size() - 1, cancelAt);
}

bool ScriptedDialogs::printerDialog(QPrinter* printer)
{
    ++printerDialogs_;
    if (printerSetup_ && printer)
        printerSetup_(printer);
    return printerResult_;
}

QStringList ScriptedDialogs::shownTexts() const
{
    QStringList texts;
    for (const Shown& s : shown_)
        texts << s.text;
    return texts;
}

void ScriptedDialogs::clearRecord()
{
    shown_.clear();
    fileDialogs_.clear();
    progresses_->clear();
    failures_.clear();
    beeps_ = 0;
    printerDialogs_ = 0;
}

}  // namespace ui
