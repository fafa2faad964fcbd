#include "platform/comm/FakeModemLine.h"

namespace comm {

bool FakeModemLine::open(const QString& comPort, QString* error)
{
    if (refuseOpen) {
        if (error)
            *error = openError;
        return false;
    }
    openedPorts << comPort;
    open_ = true;
    return true;
}

WaitResult FakeModemLine::command(const QByteArray& command, int timeoutMs)
{
    if (!open_)
        return {WaitEnd::LineLost, ModemAnswer::Ok, QStringLiteral("port not open")};
    written << command;
    lastTimeoutMs = timeoutMs;
    waiting_ = true;
    cancelled_ = false;
    if (duringWait)
        duringWait();
    waiting_ = false;
    if (cancelled_)
        return {WaitEnd::Cancelled, ModemAnswer::Ok, {}};
    return results_.isEmpty() ? WaitResult{WaitEnd::Answered, ModemAnswer::Ok, QStringLiteral("OK")} : results_.dequeue();
}

void FakeModemLine::cancel()
{
    if (waiting_)
        cancelled_ = true;
}

void FakeModemLine::hangUp()
{
    if (!open_)
        return;
    written << HangUpCommand();
    open_ = false;
    ++closes;
}

} // namespace comm
