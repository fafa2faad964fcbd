#pragma once
// Single-instance windows reached by name: the first reference loads a window, later ones find it.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace ui {

// A window whose load handler runs once, right after it is created by the registry.
class Loadable {
public:
    virtual ~Loadable() = default;
    virtual void formLoad() = 0;
};

// Convenience base for plain widget windows with a load handler.
class Window : public QWidget, public Loadable {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr) : QWidget(parent) {}
    void formLoad() override {}
};

class WindowRegistry : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    static WindowRegistry& instance();

    // Replaces any factory of that name; a window already loaded stays as it is.
    void registerFactory(const QString& name, Factory factory);
    bool hasFactory(const QString& name) const;

    // The loaded window of that name; a window not loaded is created first and its load runs
    // before this returns. nullptr (with a warning) when no factory has that name.
    QWidget* reach(const QString& name);
    template <class T>
    T* reach(const QString& name) { return dynamic_cast<T*>(reach(name)); }

    bool isLoaded(const QString& name) const;
    // The loaded window or nullptr, never loading it.
    QWidget* find(const QString& name) const;

    // Shows the window without blocking: a hidden window opens maximised, a shown one is only
    // brought forward. Loads it first when needed. Restored, a window shows every control it
    // shows at its design size, and one without a size of its own fills the screen's available
    // area; a window whose controls scroll stays inside that area with its frame and scrolls what
    // does not fit.
    void show(const QString& name);

    // Destroys the window and forgets it; the next reach loads a new one. Safe to call from a
    // handler of the window itself (deletion happens in the event loop).
    void unload(const QString& name);
    void unloadAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowRegistry() = default;
    void forget(QObject* window);

    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<QWidget>> windows_;
    QObject* forwardingClose_ = nullptr;
};

// Shows a window of the registry modally and returns when it is closed (hidden or destroyed).
// A dialog runs its own loop; any other window gets an application-modal local loop.
void ShowModal(const QString& name);

}  // namespace ui
