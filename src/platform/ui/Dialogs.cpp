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

class SilentProgress : public Progress {
public:
    bool setValue(qint64) override { return true; }
    bool wasCanceled() const override { return false; }
};

}  // namespace

std::unique_ptr<Progress> Dialogs::progress(const QString&, qint64, const QString&)
{
    return std::make_unique<SilentProgress>();
}

ProgressStep stepsOf(Progress* progress)
{
    if (!progress)
        return {};
    return [progress](qint64 done) { return progress->setValue(done); };
}

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
