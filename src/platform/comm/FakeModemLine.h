#pragma once
// A modem line for window tests: answers from a queue, records what went to the modem, and lets
// the test act inside a wait as the user would while the window waits.

#include "platform/comm/ModemLine.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

namespace comm {

class FakeModemLine : public ModemLine {
public:
    // Each open succeeds unless refused; a refused open gives this reason.
    bool refuseOpen = false;
    QString openError = QStringLiteral("no such device");
    // Runs inside each wait, before it ends, as the window's events would.
    std::function<void()> duringWait;

    // How the next waits end; an empty queue answers "OK".
    void queue(WaitResult r) { results_.enqueue(std::move(r)); }
    void queueAnswer(ModemAnswer a, const QString& text) { queue({WaitEnd::Answered, a, text}); }

    bool open(const QString& comPort, QString* error) override;
    bool isOpen() const override { return open_; }
    WaitResult command(const QByteArray& command, int timeoutMs) override;
    void cancel() override;
    void hangUp() override;

    // Everything written, in order: commands and hang-ups.
    QList<QByteArray> written;
    QStringList openedPorts;
    int closes = 0;
    int lastTimeoutMs = -1;
    bool waiting() const { return waiting_; }

private:
    QQueue<WaitResult> results_;
    bool open_ = false;
    bool waiting_ = false;
    bool cancelled_ = false;
};

} // namespace comm
