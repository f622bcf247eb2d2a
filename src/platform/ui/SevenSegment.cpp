#include "ui/SevenSegment.h"

#include "ui/Accessibility.h"

#include <QAccessible>

namespace sonmetra::ui {

SevenSegment::SevenSegment(QWidget* parent) : QLCDNumber(parent), segments(0x00, 0xFF, 0x00)
{
    installAccessibleInterfaces();
    setDigitCount(6);
    // The decimal point sits between digits, so all six positions hold digits: up to 9999.99.
    setSmallDecimalPoint(true);
    setSegmentStyle(QLCDNumber::Flat);
    setFrameStyle(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    setPalette(colours);
    setSegmentColor(segments);
    setValue(0.0);
}

void SevenSegment::setValue(double value)
{
    shownValue = value;
    shownText = QString::number(value, 'f', 2);
    display(shownText);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

double SevenSegment::value() const
{
    return shownValue;
}

QString SevenSegment::text() const
{
    return shownText;
}

void SevenSegment::setSegmentColor(const QColor& color)
{
    segments = color;
    QPalette colours = palette();
    // Flat segments are painted in the foreground colour; disabled displays keep it too.
    colours.setColor(QPalette::All, QPalette::WindowText, color);
    setPalette(colours);
}

QColor SevenSegment::segmentColor() const
{
    return segments;
}

} // namespace sonmetra::ui
