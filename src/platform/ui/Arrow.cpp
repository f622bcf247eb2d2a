#include "ui/Arrow.h"

#include "ui/Accessibility.h"

#include <QAccessible>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace sonmetra::ui {

Arrow::Arrow(Direction direction, QWidget* parent) : QAbstractButton(parent), pointing(direction)
{
    installAccessibleInterfaces();
    setAutoRepeat(false);
    setAccessibleName(direction == Direction::Up ? QStringLiteral("Page up")
                                                 : QStringLiteral("Page down"));
}

Arrow::Direction Arrow::direction() const
{
    return pointing;
}

void Arrow::setLit(bool on)
{
    if (lit == on)
        return;
    lit = on;
    update();
    QAccessible::State changes;
    changes.pressed = true;
    QAccessibleStateChangeEvent changed(this, changes);
    QAccessible::updateAccessibility(&changed);
}

bool Arrow::isLit() const
{
    return lit;
}

QSize Arrow::sizeHint() const
{
    return {30, 30};
}

void Arrow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(2.5, 3.5, -2.5, -3.5);
    QPainterPath triangle;
    if (pointing == Direction::Up) {
        triangle.moveTo(box.center().x(), box.top());
        triangle.lineTo(box.bottomRight());
        triangle.lineTo(box.bottomLeft());
    } else {
        triangle.moveTo(box.topLeft());
        triangle.lineTo(box.topRight());
        triangle.lineTo(box.center().x(), box.bottom());
    }
    triangle.closeSubpath();

    QColor fill = lit ? QColor(0x00, 0xFF, 0x00) : QColor(0x00, 0x80, 0x00);
    if (!isEnabled())
        fill = QColor(0x60, 0x70, 0x60);
    painter.setPen(QPen(fill.darker(200), 1.0));
    painter.setBrush(fill);
    painter.drawPath(triangle);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace sonmetra::ui
