#include "platform/ui/Accessibility.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QRegularExpression>
#include <QTextDocument>
#include <QWidget>

namespace ui {

namespace {

// Qt reads a label without text by the title of its group box, and drops every ampersand of a
// label's text, also where the label shows it; a label is read by exactly what it shows.
class ShownLabel : public QAccessibleWidget {
public:
    explicit ShownLabel(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        const QLabel* l = label();
        return l->text().isEmpty() && !l->pixmap().isNull() ? QAccessible::Graphic : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        if (!widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        return shown(label());
    }

    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> found = QAccessibleWidget::relations(match);
        if (QWidget* buddy = label()->buddy(); buddy && (match & QAccessible::Labelled))
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(buddy))
                found.append({iface, QAccessible::Labelled});
        return found;
    }

private:
    QLabel* label() const { return static_cast<QLabel*>(widget()); }

    static QString shown(const QLabel* l)
    {
        QString s = l->text();
        if (l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(s))) {
            QTextDocument doc;
            doc.setHtml(s);
            s = doc.toPlainText();
        }
        // Only a label with a buddy turns "&x" into an underlined mnemonic.
        if (l->buddy()) {
            static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
            s.replace(mnemonic, QStringLiteral("\\1"));
        }
        return s;
    }
};

QAccessibleInterface* labelFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QLabel"))
        if (auto* l = qobject_cast<QLabel*>(object))
            return new ShownLabel(l);
    return nullptr;
}

}  // namespace

void readLabelsByWhatTheyShow()
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(&labelFactory);
    }
}

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
    readLabelsByWhatTheyShow();
    widget->setObjectName(objectNameFor(systemName, index));
    widget->setAccessibleDescription(systemNameText(systemName, index));
    // Left unset, Qt reads a button, label or group box by its current caption (mnemonic
    // ampersands removed), which stays right when the program changes the caption later.
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
}

}  // namespace ui
