#include "editions/Windows.h"

#include "editions/AddressBookForm1.h"
#include "editions/AddressBookForm2.h"
#include "editions/AddressBookForm3.h"

#include "list/Form5.h"
#include "mail/Form22.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "shell/Startup.h"
#include "tools/Form6.h"

namespace editions {

void RegisterCommonWindows()
{
    Module1::RegisterSharedWindows();
    auto& registry = ui::WindowRegistry::instance();
    registry.registerFactory(QStringLiteral("Form3"), [] { return new Form3; });
    registry.registerFactory(QStringLiteral("Form5"), [] { return new Form5; });
    registry.registerFactory(QStringLiteral("Form22"), [] { return new Form22; });
}

void RegisterKartoviaWindows()
{
    RegisterCommonWindows();
    ui::WindowRegistry::instance().registerFactory(QStringLiteral("Form6"), [] { return new Form6; });
}

void RegisterAdroviaWindows()
{
    RegisterCommonWindows();
    // The address-book edition's main, settings and record windows in place of the shared ones.
    auto& registry = ui::WindowRegistry::instance();
    registry.registerFactory(QStringLiteral("Form1"), [] { return new AddressBookForm1; });
    registry.registerFactory(QStringLiteral("Form2"), [] { return new AddressBookForm2; });
    registry.registerFactory(QStringLiteral("Form3"), [] { return new AddressBookForm3; });
}

} // namespace editions
