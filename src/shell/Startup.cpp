#include "shell/Startup.h"
#include "edition/Profile.h"

#include "platform/ui/Fonts.h"
#include "platform/ui/Translations.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/Form1.h"
#include "shell/Form2.h"

#include <QApplication>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace Module1 {

void PrepareMemory()
{
#if defined(__GLIBC__)
    // Blocks below 32 MB come from the heap, and the heap keeps up to 64 MB free at its top.
    // Setting either also stops glibc from moving the thresholds on its own.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

void RegisterSharedWindows()
{
    auto& registry = ui::WindowRegistry::instance();
    registry.registerFactory(QStringLiteral("Form1"), [] { return new Form1; });
    registry.registerFactory(QStringLiteral("Form2"), [] { return new Form2; });
}

int RunMainWindow(QApplication& app)
{
    PrepareProgram(app);
    QApplication::setQuitOnLastWindowClosed(true);
    ui::WindowRegistry::instance().show(QStringLiteral("Form1"));
    return app.exec();
}

void PrepareProgram(QApplication& app)
{
    ui::installFontSubstitutions();
    ui::installJapaneseTranslations(app);
    const edition::Profile& profile = edition::profile();
    ui::setProgramTitle(profile.ProgramTitle);
    // The version information; no display name, which X11 would append to every caption.
    QCoreApplication::setApplicationName(profile.ProgramName);
    QCoreApplication::setApplicationVersion(profile.Version);
    QCoreApplication::setOrganizationName(profile.CompanyName);
}

} // namespace Module1
