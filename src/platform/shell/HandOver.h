#pragma once
// Handing an address or a file over to a program of the desktop (xdg-open, xdg-email): the
// program is started without a shell and without waiting for it, and its exit status is looked
// at when it ends, so that a desktop without a program for the address says so.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace desktop {

// What became of a hand-over once its program has ended: empty when the program took the address
// or file, otherwise why not. It may run before the call that started the hand-over returns (a
// stand-in that ends at once), and never more than once.
using Outcome = std::function<void(const QString& failure)>;

// Starts `program` with `arguments`, each one argument as it is, and returns at once. False (with
// the reason in `error`, and `outcome` never run) when the program is not found. Otherwise
// `outcome` runs from the event loop when the program has ended: a failure unless it exited with
// 0. A program still running when this program ends goes on running.
bool handOver(const QString& program, const QStringList& arguments, Outcome outcome, QString* error = nullptr);

// One failed hand-over of several: what it was (an address, a file name) and why it failed.
struct Failure {
    QString what;
    QString reason;
};

// One report for several hand-overs started together, so that a desktop without the program says
// so once, not once a page. `report` runs with the failures in the order the hand-overs were
// added, once every one has ended; a program that took its file may run on for as long as the
// user works in it, so failures wait for the others no longer than a second. Nothing is reported
// when nothing failed.
class HandOverReport {
public:
    using Report = std::function<void(const QList<Failure>& failures)>;
    explicit HandOverReport(Report report);
    // Reports what is still owed when nothing more is added (see finish()).
    ~HandOverReport();
    HandOverReport(const HandOverReport&) = delete;
    HandOverReport& operator=(const HandOverReport&) = delete;

    // Something that was not handed over at all, and why.
    void refused(const QString& what, const QString& reason);
    // The outcome to give the hand-over of `what`; a hand-over refused at once is given its
    // reason through it by the caller.
    Outcome outcome(const QString& what);
    // Every hand-over has been added: the report runs as soon as they have all ended, which may be
    // at once.
    void finish();

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace desktop
