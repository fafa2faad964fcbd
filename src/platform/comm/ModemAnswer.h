#pragma once
// The modem's answers to a command, as they appear in the text it sends back.

#include <QByteArray>
#include <QString>

#include <optional>

namespace comm {

enum class ModemAnswer { Ok, Busy, NoCarrier, NoDialtone, NoAnswer, Error };

struct FoundAnswer {
    ModemAnswer answer = ModemAnswer::Ok;
    QString text;  // as the modem wrote it: "OK", "BUSY", "NO CARRIER", ...
};

// The answer that starts first in the text received since a command: anywhere in it, exact
// case, no line end needed. Nothing while no whole answer has arrived.
std::optional<FoundAnswer> FindModemAnswer(const QByteArray& received);

// The command that dials a number: "ATDP", the number's ASCII digits and ";" and CR. Anything
// else the text holds is dropped, so nothing but digits ever reaches the modem.
QByteArray DialCommand(const QString& dialString);

// "ATH" and CR.
QByteArray HangUpCommand();

} // namespace comm
