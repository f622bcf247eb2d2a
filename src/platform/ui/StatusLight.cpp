#include "ui/StatusLight.h"

#include "ui/Accessibility.h"

#include <QAccessible>
#include <QPainter>

namespace sonmetra::ui {

StatusLight::StatusLight(QWidget* parent) : QWidget(parent)
{
    installAccessibleInterfaces();
    setFixedSize(10, 10);
}

void StatusLight::setLit(bool on)
{
    if (lit == on)
        return;
    lit = on;
    update();
    QAccessibleValueChangeEvent changed(this, lightStateText(lit));
    QAccessible::updateAccessibility(&changed);
}

bool StatusLight::isLit() const
{
    return lit;
}

QSize StatusLight::sizeHint() const
{
    return {10, 10};
}

void StatusLight::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor fill = lit ? QColor(0xFF, 0x00, 0x00) : QColor(0x00, 0x80, 0x00);
    painter.fillRect(rect(), fill);
    painter.setPen(fill.darker(170));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace sonmetra::ui
