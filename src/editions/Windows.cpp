#include "editions/Windows.h"

#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "shell/Startup.h"
#include "tools/Form11.h"

namespace editions {

void RegisterCommonWindows()
{
    Module1::RegisterSharedWindows();
    auto& registry = ui::WindowRegistry::instance();
    registry.registerFactory(QStringLiteral("Form3"), [] { return new Form3; });
    registry.registerFactory(QStringLiteral("Form11"), [] { return new Form11; });
}

void RegisterKartoviaWindows()
{
    RegisterCommonWindows();
}

void RegisterAdroviaWindows()
{
    RegisterCommonWindows();
}

} // namespace editions
