#include "platform/ui/ScrolledContent.h"

#include <QLayout>
#include <QVBoxLayout>

namespace ui {

namespace {

const char* const kAreaName = "kvWindowContentArea";

} // namespace

void WindowContent::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

QScrollArea* contentScrollArea(const QWidget* window)
{
    return window ? window->findChild<QScrollArea*>(QLatin1String(kAreaName), Qt::FindDirectChildrenOnly) : nullptr;
}

WindowContent* scrolledContent(QWidget* window, QSize design)
{
    if (QScrollArea* area = contentScrollArea(window)) {
        auto* content = static_cast<WindowContent*>(area->widget());
        if (design.isValid())
            content->setMinimumSize(design);
        return content;
    }
    auto* content = new WindowContent;
    // The window's layout, with the controls it manages, goes over to the content.
    if (QLayout* layout = window->layout())
        content->setLayout(layout);
    const QList<QWidget*> children = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow())
            continue;  // dialogs and other windows owned by this one stay as they are
        const bool hidden = child->isHidden();
        const QRect place = child->geometry();
        child->setParent(content);
        child->setGeometry(place);
        child->setVisible(!hidden);
    }
    if (design.isValid())
        content->setMinimumSize(design);

    auto* area = new QScrollArea(window);
    area->setObjectName(QLatin1String(kAreaName));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    // The controls are the stops of Tab, not the area; Tab still scrolls the next one into view.
    area->setFocusPolicy(Qt::NoFocus);
    // Read by what it scrolls: its scroll bars are the window's ("画面の縦スクロールバー").
    area->setAccessibleName(QStringLiteral("画面"));
    area->setWidget(content);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);

    // Shown at its design size unless maximised; the design counts, not a scroll area's hint.
    const QSize size = content->minimumSize().expandedTo(content->minimumSizeHint()).expandedTo(content->sizeHint());
    if (size.isValid())
        window->resize(size);
    return content;
}

} // namespace ui
