#include "platform/ui/Accessibility.h"

#include <QWidget>

namespace ui {

QString objectNameFor(const QString& systemName, int index)
{
    return index < 0 ? systemName : systemName + QLatin1Char('_') + QString::number(index);
}

QString systemNameText(const QString& systemName, int index)
{
    return index < 0 ? systemName : systemName + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

void name(QWidget* widget, const QString& systemName, int index, const QString& accessibleName)
{
    if (!widget)
        return;
    widget->setObjectName(objectNameFor(systemName, index));
    widget->setAccessibleDescription(systemNameText(systemName, index));
    // Left unset, Qt reads a button, label or group box by its current caption (mnemonic
    // ampersands removed), which stays right when the program changes the caption later.
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
}

}  // namespace ui
