#include "platform/ui/WindowRegistry.h"

#include "platform/ui/Keyboard.h"
#include "platform/ui/ScrolledContent.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace ui {

namespace {

// The room a window has on its screen: the available area less its frame, where the frame is
// known (a window shown once).
QRect RoomFor(const QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return {};
    QMargins frame;
    if (const QWindow* handle = window->windowHandle())
        frame = handle->frameMargins();
    return screen->availableGeometry().marginsRemoved(frame);
}

// The size a window is restored to from maximised, and shown at by a desktop that does not
// maximise, shows its design: a window that sets no size of its own takes the available area of
// its screen, and no window cuts off a control it shows. A window whose controls scroll is no
// larger than its screen's available area: what does not fit scrolls into view.
void GiveNormalSize(QWidget* window)
{
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    QSize size = window->size();
    const QRect room = RoomFor(window);
    if (!window->testAttribute(Qt::WA_Resized) && room.isValid())
        size = room.size();
    // The controls of a scrolled content stand on it, at its origin.
    QRect shown = window->childrenRect();
    const QScrollArea* area = contentScrollArea(window);
    if (area)
        shown = area->widget()->childrenRect() | QRect(QPoint(0, 0), area->widget()->minimumSize());
    size = size.expandedTo(QSize(shown.right() + 1, shown.bottom() + 1));
    if (area && room.isValid())
        size = size.boundedTo(room.size());
    if (size != window->size())
        window->resize(size);
}

// A window whose controls scroll is, with its frame, no larger than its screen's available area,
// however the desktop restores it from maximised: a larger one is made to fit and put inside it.
bool TooLargeForScreen(const QWidget* window)
{
    if (!contentScrollArea(window) || !window->isVisible()
        || (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return false;
    const QScreen* screen = window->screen();
    if (!screen)
        return false;
    const QSize frame = window->frameGeometry().size();
    const QSize available = screen->availableGeometry().size();
    return frame.width() > available.width() || frame.height() > available.height();
}

void FitToScreen(QWidget* window)
{
    if (!TooLargeForScreen(window))
        return;
    const QRect available = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    const QSize size = inner.size().boundedTo(available.marginsRemoved(margins).size());
    QRect placed(frame.topLeft(), size.grownBy(margins));
    placed.moveLeft(std::clamp(placed.left(), available.left(), std::max(available.left(), available.right() - placed.width() + 1)));
    placed.moveTop(std::clamp(placed.top(), available.top(), std::max(available.top(), available.bottom() - placed.height() + 1)));
    window->setGeometry(QRect(placed.topLeft() + QPoint(margins.left(), margins.top()), size));
}

} // namespace

WindowRegistry& WindowRegistry::instance()
{
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::registerFactory(const QString& name, Factory factory)
{
    factories_.insert(name, std::move(factory));
}

bool WindowRegistry::hasFactory(const QString& name) const
{
    return factories_.contains(name);
}

QWidget* WindowRegistry::find(const QString& name) const
{
    return windows_.value(name).data();
}

bool WindowRegistry::isLoaded(const QString& name) const
{
    return find(name) != nullptr;
}

QWidget* WindowRegistry::reach(const QString& name)
{
    if (QWidget* loaded = find(name))
        return loaded;
    const auto factory = factories_.constFind(name);
    if (factory == factories_.constEnd() || !*factory) {
        qWarning("ui::WindowRegistry: no window named %s", qPrintable(name));
        return nullptr;
    }
    // Every window the registry loads answers Enter on its buttons.
    installKeyboardRules();
    QWidget* window = (*factory)();
    if (!window)
        return nullptr;
    if (window->objectName().isEmpty())
        window->setObjectName(name);
    // Closing by the window frame unloads the window, as the old runtime did.
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this](QObject* gone) { forget(gone); });
    // Registered before the load runs, so that the load may already reach its own window.
    windows_.insert(name, window);
    if (auto* loadable = dynamic_cast<Loadable*>(window))
        loadable->formLoad();
    return find(name);
}

void WindowRegistry::show(const QString& name)
{
    QWidget* window = reach(name);
    if (!window)
        return;
    if (!window->isVisible()) {
        GiveNormalSize(window);
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        window->show();
    } else if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    }
    window->raise();
    window->activateWindow();
}

void WindowRegistry::unload(const QString& name)
{
    QPointer<QWidget> window = windows_.take(name);
    if (!window)
        return;
    window->removeEventFilter(this);
    // close() keeps the quit-on-last-window logic working; a window that refuses is removed anyway.
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->close() && window) {
        window->hide();
        window->deleteLater();
    }
}

void WindowRegistry::unloadAll()
{
    const QStringList names = windows_.keys();
    for (const QString& name : names)
        unload(name);
}

void WindowRegistry::forget(QObject* window)
{
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (it->isNull() || it->data() == window)
            it = windows_.erase(it);
        else
            ++it;
    }
}

bool WindowRegistry::eventFilter(QObject* watched, QEvent* event)
{
    // A close that the window accepts unloads it at once: until its deferred deletion it must not
    // be found again. Let the window decide first, then look at the answer.
    if (event->type() == QEvent::Close && watched != forwardingClose_) {
        QObject* previous = forwardingClose_;
        forwardingClose_ = watched;
        watched->event(event);
        forwardingClose_ = previous;
        if (event->isAccepted())
            forget(watched);
        return true;
    }
    if (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange) {
        // Looked at once the desktop is done: a restore tells the new state and the new size
        // one after the other, in either order.
        if (auto* window = qobject_cast<QWidget*>(watched); window && contentScrollArea(window))
            QTimer::singleShot(0, window, [window] { FitToScreen(window); });
    }
    return QObject::eventFilter(watched, event);
}

namespace {

// Ends a local event loop when the watched window is hidden or goes.
class UntilClosed : public QObject {
public:
    UntilClosed(QWidget* window, QEventLoop* loop) : loop_(loop)
    {
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, loop, &QEventLoop::quit);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            loop_->quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop* loop_;
};

} // namespace

void ShowModal(const QString& name)
{
    auto& registry = WindowRegistry::instance();
    QPointer<QWidget> window = registry.reach(name);
    if (!window)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window.data())) {
        dialog->exec();
        return;
    }
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    UntilClosed watch(window, &loop);
    registry.show(name);
    if (window && window->isVisible())
        loop.exec();
}

}  // namespace ui
