#include "editions/Windows.h"

#include "platform/ui/WindowRegistry.h"
#include "shell/Startup.h"

namespace editions {

void RegisterKartoviaWindows()
{
    Module1::RegisterSharedWindows();
}

} // namespace editions
