#include "platform/ui/TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVariant>

namespace ui {

namespace {

// Below this a text is no longer read comfortably; smaller fonts are not tried.
constexpr qreal kSmallestPoints = 6.0;

} // namespace

int widthForText(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const QMargins m = label->contentsMargins();
        int indent = label->indent();
        if (indent < 0)
            indent = label->frameWidth() > 0 ? QFontMetrics(label->font()).horizontalAdvance(QLatin1Char('x')) / 2 : 0;
        return QFontMetrics(label->font()).horizontalAdvance(label->text()) + m.left() + m.right() + 2 * label->margin()
               + indent;
    }
    if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control))
        return control->sizeHint().width();
    if (const auto* button = qobject_cast<const QPushButton*>(control))
        return QFontMetrics(button->font()).horizontalAdvance(button->text())
               + 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    if (const auto* box = qobject_cast<const QLineEdit*>(control))
        return widthForText(box, box->text());
    return control->width();
}

int widthForText(const QLineEdit* box, const QString& text)
{
    // As the box lays its text out: the style's frame, the box's own margins of 2 pixels, the
    // text margins and the cursor.
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QMargins m = box->textMargins();
    const int inner = QFontMetrics(box->font()).horizontalAdvance(text) + 2 * 2 + m.left() + m.right() + 1;
    return box->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, box->height()), box).width();
}

bool fitText(QWidget* control, int left, int right)
{
    const bool toTheRight = [&] {
        if (const auto* label = qobject_cast<const QLabel*>(control))
            return bool(label->alignment() & Qt::AlignRight);
        if (const auto* box = qobject_cast<const QLineEdit*>(control))
            return bool(box->alignment() & Qt::AlignRight);
        return false;
    }();
    QRect place = control->geometry();
    const int room = right - left;
    const int wanted = qMin(room, widthForText(control));
    if (wanted > place.width()) {
        if (toTheRight)
            place.setLeft(qMax(left, place.right() + 1 - wanted));
        else
            place.setRight(qMin(right, place.left() + wanted) - 1);
        // Still short where one edge met the room's end: the other edge gives the rest.
        if (place.width() < wanted) {
            if (toTheRight)
                place.setRight(qMin(right, place.left() + wanted) - 1);
            else
                place.setLeft(qMax(left, place.right() + 1 - wanted));
        }
        control->setGeometry(place);
    }
    // Each fit starts again from the font the control had at its first fit, so that a shorter
    // text later gets it back.
    const char* const kDesignFont = "kvTextFitDesignFont";
    const QVariant design = control->property(kDesignFont);
    if (design.isValid())
        control->setFont(design.value<QFont>());
    else
        control->setProperty(kDesignFont, control->font());
    QFont font = control->font();
    while (widthForText(control) > control->width() && font.pointSizeF() > 0 && font.pointSizeF() - 0.5 >= kSmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        control->setFont(font);
    }
    return widthForText(control) <= control->width();
}

} // namespace ui
