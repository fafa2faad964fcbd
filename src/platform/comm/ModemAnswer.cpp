#include "platform/comm/ModemAnswer.h"

namespace comm {

std::optional<FoundAnswer> FindModemAnswer(const QByteArray& received)
{
    static const struct {
        ModemAnswer answer;
        const char* text;
    } answers[] = {
        {ModemAnswer::Ok, "OK"},
        {ModemAnswer::Busy, "BUSY"},
        {ModemAnswer::NoCarrier, "NO CARRIER"},
        {ModemAnswer::NoDialtone, "NO DIALTONE"},
        {ModemAnswer::NoAnswer, "NO ANSWER"},
        {ModemAnswer::Error, "ERROR"},
    };
    std::optional<FoundAnswer> first;
    qsizetype firstAt = -1;
    for (const auto& a : answers) {
        const qsizetype at = received.indexOf(a.text);
        if (at >= 0 && (firstAt < 0 || at < firstAt)) {
            firstAt = at;
            first = FoundAnswer{a.answer, QString::fromLatin1(a.text)};
        }
    }
    return first;
}

QByteArray DialCommand(const QString& dialString)
{
    QByteArray command("ATDP");
    for (const QChar c : dialString)
        if (c >= u'0' && c <= u'9')
            command.append(char(c.unicode()));
    command.append(";\r");
    return command;
}

QByteArray HangUpCommand() { return QByteArrayLiteral("ATH\r"); }

} // namespace comm
