#include "platform/comm/ModemLine.h"

#include "platform/comm/SerialModemLine.h"

namespace comm {

namespace {

ModemLine* g_installed = nullptr;

} // namespace

ModemLine& modemLine()
{
    if (g_installed)
        return *g_installed;
    static SerialModemLine serial;
    return serial;
}

ModemLine* setModemLine(ModemLine* line)
{
    ModemLine* previous = g_installed;
    g_installed = line;
    return previous;
}

} // namespace comm
