#include "platform/ui/Dialogs.h"

#include "platform/ui/QtDialogs.h"

namespace ui {
namespace {

Dialogs* current = nullptr;

QString& titleStore()
{
    static QString title;
    return title;
}

}  // namespace

Dialogs& dialogs()
{
    if (current)
        return *current;
    static QtDialogs real;
    return real;
}

Dialogs* setDialogs(Dialogs* dialogs)
{
    Dialogs* previous = current;
    current = dialogs;
    return previous;
}

void setProgramTitle(const QString& title)
{
    titleStore() = title;
}

QString programTitle()
{
    return titleStore();
}

QString shownTitle(const QString& title)
{
    return title.isEmpty() ? programTitle() : title;
}

}  // namespace ui
