#include "platform/shell/HandOver.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace desktop {
namespace {

// The program's path, or empty when there is none to start.
QString findProgram(const QString& program)
{
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

// Why a program that ended did not take what it was given. xdg-open and xdg-email tell the cause
// by their exit code.
QString exitReason(const QString& name, QProcess::ExitStatus status, int code)
{
    if (status == QProcess::CrashExit)
        return QStringLiteral("%1 が異常終了しました").arg(name);
    switch (code) {
    case 0: return {};
    case 1: return QStringLiteral("%1 への指定が正しくありません（終了コード 1）").arg(name);
    case 2: return QStringLiteral("開くものが見つかりません（%1 の終了コード 2）").arg(name);
    case 3: return QStringLiteral("開くプログラムが設定されていません（%1 の終了コード 3）").arg(name);
    case 4: return QStringLiteral("開けませんでした（%1 の終了コード 4）").arg(name);
    case 5: return QStringLiteral("読み取る権限がありません（%1 の終了コード 5）").arg(name);
    default: return QStringLiteral("%1 が終了コード %2 で終わりました").arg(name).arg(code);
    }
}

}  // namespace

bool handOver(const QString& program, const QStringList& arguments, Outcome outcome, QString* error)
{
    const QString path = findProgram(program);
    const QString name = QFileInfo(program).fileName();
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 が見つかりません").arg(name);
        return false;
    }
    // Not owned by anything: a program that outlives this one (a browser started by xdg-open
    // without a desktop's launcher) is not killed with it.
    auto* process = new QProcess;
    process->setProgram(path);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    // Its words go where this program's go; no pipe that a browser could inherit and write into
    // after the process object has gone.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    auto pending = std::make_shared<Outcome>(std::move(outcome));
    const auto end = [process, pending](const QString& failure) {
        process->deleteLater();
        if (!*pending)
            return;
        const Outcome o = std::exchange(*pending, Outcome());
        o(failure);
    };
    // Queued, so that the outcome never runs inside the start.
    QObject::connect(
        process, &QProcess::finished, process,
        [end, name](int code, QProcess::ExitStatus status) { end(exitReason(name, status, code)); },
        Qt::QueuedConnection);
    QObject::connect(
        process, &QProcess::errorOccurred, process,
        [end, name](QProcess::ProcessError e) {
            // A crash or a lost channel ends in finished as well.
            if (e == QProcess::FailedToStart)
                end(QStringLiteral("%1 を起動できませんでした").arg(name));
        },
        Qt::QueuedConnection);
    process->start();
    return true;
}

struct HandOverReport::State : std::enable_shared_from_this<State> {
    enum class End { Pending, Took, Failed, Reported };
    struct Entry {
        Failure failure;
        End end = End::Pending;
    };
    Report report;
    QList<Entry> entries;
    bool finished = false;
    bool waiting = false;    // the longest wait for the others is running
    bool reporting = false;  // a report's box is up

    int pending() const
    {
        int n = 0;
        for (const Entry& e : entries)
            n += e.end == End::Pending;
        return n;
    }
    bool hasUnreported() const
    {
        for (const Entry& e : entries)
            if (e.end == End::Failed)
                return true;
        return false;
    }
    void flush()
    {
        QList<Failure> failures;
        for (Entry& e : entries)
            if (e.end == End::Failed) {
                failures << e.failure;
                e.end = End::Reported;
            }
        if (failures.isEmpty() || !report)
            return;
        reporting = true;
        report(failures);
        reporting = false;
        // Hand-overs that ended while the box was up.
        settle();
    }
    void settle()
    {
        if (!finished || reporting)
            return;
        if (pending() == 0) {
            flush();
            return;
        }
        if (hasUnreported() && !waiting) {
            waiting = true;
            QTimer::singleShot(1000, [self = shared_from_this()] {
                self->waiting = false;
                if (!self->reporting)
                    self->flush();
            });
        }
    }
};

HandOverReport::HandOverReport(Report report) : state_(std::make_shared<State>())
{
    state_->report = std::move(report);
}

HandOverReport::~HandOverReport() { finish(); }

void HandOverReport::refused(const QString& what, const QString& reason)
{
    state_->entries.append({Failure{what, reason}, State::End::Failed});
    state_->settle();
}

Outcome HandOverReport::outcome(const QString& what)
{
    const qsizetype index = state_->entries.size();
    state_->entries.append({Failure{what, QString()}, State::End::Pending});
    return [state = state_, index](const QString& failure) {
        State::Entry& e = state->entries[index];
        if (e.end != State::End::Pending)
            return;
        e.failure.reason = failure;
        e.end = failure.isEmpty() ? State::End::Took : State::End::Failed;
        state->settle();
    };
}

void HandOverReport::finish()
{
    if (state_->finished)
        return;
    state_->finished = true;
    state_->settle();
}

}  // namespace desktop
