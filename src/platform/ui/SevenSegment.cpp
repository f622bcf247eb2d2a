#include "ui/SevenSegment.h"

#include "ui/Accessibility.h"

#include <QAccessible>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

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
    // Flat segments are painted in the foreground colour; disabled displays keep it too.
    colours.setColor(QPalette::All, QPalette::WindowText, segments);
    setPalette(colours);
    setValue(0.0);
}

void SevenSegment::setValue(double value)
{
    takeValue(value);
    preparePicture();
}

void SevenSegment::setValue(double value, const QColor& color)
{
    takeValue(value);
    takeColor(color);
    preparePicture();
}

void SevenSegment::takeValue(double value)
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
    if (takeColor(color))
        preparePicture();
}

bool SevenSegment::takeColor(const QColor& color)
{
    // The view sets the colour of every display on every page; a new palette costs a repaint
    // and a round of change events, so only a real change makes one.
    if (color == segments)
        return false;
    segments = color;
    QPalette colours = palette();
    colours.setColor(QPalette::All, QPalette::WindowText, color);
    setPalette(colours);
    return true;
}

QColor SevenSegment::segmentColor() const
{
    return segments;
}

// Every new reading moves each value of the column one display up, so the pictures of the
// displays are drawn once per value and colour and then only copied.
QString SevenSegment::pictureKey() const
{
    return QStringLiteral("sonmetra-seven-segment %1 %2 %3x%4 %5")
        .arg(shownText, segments.name())
        .arg(width())
        .arg(height())
        .arg(isEnabled() ? 1 : 0);
}

void SevenSegment::preparePicture()
{
    // render() sends the events a widget not yet shown is owed, a resize among them.
    if (drawingPicture)
        return;
    shownPicture = QPixmap();
    if (width() <= 0 || height() <= 0)
        return;
    const QString key = pictureKey();
    if (QPixmapCache::find(key, &shownPicture))
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    drawingPicture = true;
    render(&picture);
    drawingPicture = false;
    QPixmapCache::insert(key, picture);
    shownPicture = picture;
}

void SevenSegment::paintEvent(QPaintEvent* event)
{
    if (drawingPicture || shownPicture.isNull()) {
        QLCDNumber::paintEvent(event);
        return;
    }
    QPainter(this).drawPixmap(0, 0, shownPicture);
}

void SevenSegment::resizeEvent(QResizeEvent* event)
{
    QLCDNumber::resizeEvent(event);
    preparePicture();
}

void SevenSegment::changeEvent(QEvent* event)
{
    QLCDNumber::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        preparePicture();
}

} // namespace sonmetra::ui
