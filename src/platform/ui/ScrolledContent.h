#pragma once
// Windows are designed at a fixed size, and a screen may be smaller than the design. A window's
// controls stand on a content widget inside a scroll area that fills the window: the content keeps
// at least its design size, so a window smaller than its design scrolls to every control instead
// of cutting them off at its edge, and a larger window gives the content its whole room.

#include <QScrollArea>
#include <QWidget>

namespace ui {

// The content of a window: its minimum size is the design's (or its layout's minimum).
class WindowContent : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

signals:
    // After every change of its size, so that controls placed from the room can follow.
    void resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// Puts the window's controls into a scrolled content, once; later calls return the same content.
// The controls already built move onto it with their places, their hidden state and the window's
// layout; controls built later are built on it. `design` (when valid) is the content's minimum
// size. The window is sized to the design, a maximised one to the screen, which scrolls what does
// not fit.
WindowContent* scrolledContent(QWidget* window, QSize design = {});

// The scroll area of a window given a scrolled content, or nullptr.
QScrollArea* contentScrollArea(const QWidget* window);

} // namespace ui
