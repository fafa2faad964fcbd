#pragma once
// The modem on a serial port, as the dialler uses it: open the port, send a command and wait
// for the answer without blocking the window, cancel the wait, hang up and close.

#include "platform/comm/ModemAnswer.h"

#include <QByteArray>
#include <QString>

namespace comm {

// How a wait for the modem's answer ended.
enum class WaitEnd {
    Answered,   // the modem answered (answer tells which)
    TimedOut,   // no answer in the time given
    Cancelled,  // cancel() was called, or the program is ending
    LineLost,   // the command could not be sent, or the port went away
};

struct WaitResult {
    WaitEnd end = WaitEnd::LineLost;
    ModemAnswer answer = ModemAnswer::Ok;  // when answered
    QString text;  // the answer as the modem wrote it; for a lost line, why
};

// The device of port "1", "2" or "3": /dev/ttyS0 to /dev/ttyS2, or what the environment
// variable KV_COM1, KV_COM2 or KV_COM3 names. Any other port text means port "1".
QString PortDevice(const QString& comPort);

class ModemLine {
public:
    virtual ~ModemLine() = default;

    // Opens the port at 9600 bit/s, no parity, 8 data bits, 1 stop bit. False, with the
    // reason in *error, when it cannot be opened.
    virtual bool open(const QString& comPort, QString* error) = 0;
    virtual bool isOpen() const = 0;
    // Discards what the modem sent before, writes the command and waits for its answer, the
    // window's events going on meanwhile, until an answer, the timeout, a cancel or the loss of
    // the line.
    virtual WaitResult command(const QByteArray& command, int timeoutMs) = 0;
    // Ends the wait under way as cancelled; nothing when no wait runs.
    virtual void cancel() = 0;
    // Writes "ATH" and CR, lets it go out and closes the port; nothing when the port is closed.
    virtual void hangUp() = 0;
};

// The process-wide line (the serial port unless a test installed another).
ModemLine& modemLine();
// Installs another line (nullptr: the serial port again); returns the one installed before.
ModemLine* setModemLine(ModemLine* line);

class ScopedModemLine {
public:
    explicit ScopedModemLine(ModemLine* line) : previous_(setModemLine(line)) {}
    ~ScopedModemLine() { setModemLine(previous_); }
    ScopedModemLine(const ScopedModemLine&) = delete;
    ScopedModemLine& operator=(const ScopedModemLine&) = delete;

private:
    ModemLine* previous_;
};

} // namespace comm
