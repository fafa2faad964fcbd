#include "editions/Windows.h"

#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "shell/Startup.h"

namespace editions {

void RegisterKartoviaWindows()
{
    Module1::RegisterSharedWindows();
    ui::WindowRegistry::instance().registerFactory(QStringLiteral("Form3"), [] { return new Form3; });
}

} // namespace editions
