#include "ui/SwitchLight.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace sonmetra::ui {
namespace {

constexpr int bevel = 2;
constexpr int lightDiameter = 9;
constexpr int lightTop = 5;

QColor faceTop(bool enabled)
{
    return enabled ? QColor(0xEC, 0xEC, 0xEC) : QColor(0xDC, 0xDC, 0xDC);
}

QColor faceBottom(bool enabled)
{
    return enabled ? QColor(0xB4, 0xB4, 0xB4) : QColor(0xC8, 0xC8, 0xC8);
}

// Raised (or, pressed, sunken) edge: light from the top left.
void drawBevel(QPainter& painter, const QRect& face, const QColor& topLeft,
               const QColor& bottomRight)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < bevel; ++i) {
        const QRect edge = face.adjusted(i, i, -i, -i);
        painter.setPen(topLeft);
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());
    }
    painter.restore();
}

} // namespace

SwitchLight::SwitchLight(QWidget* parent) : SwitchLight(QString(), parent) {}

SwitchLight::SwitchLight(const QString& caption, QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setText(caption);
    QFont captionFont = font();
    captionFont.setBold(true);
    setFont(captionFont);
}

void SwitchLight::setLit(bool lit)
{
    setChecked(lit);
}

bool SwitchLight::isLit() const
{
    return isChecked();
}

QSize SwitchLight::sizeHint() const
{
    const int captionWidth = fontMetrics().horizontalAdvance(text()) + 2 * bevel + 8;
    return {qMax(57, captionWidth), 36};
}

QSize SwitchLight::minimumSizeHint() const
{
    return {lightDiameter + 2 * bevel + 4, lightTop + lightDiameter + fontMetrics().height()};
}

void SwitchLight::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !hitButton(event->position().toPoint())) {
        event->ignore();
        return;
    }
    // The system turns the second press of a fast pair into this event instead of a press; it
    // still is a press of the switch, so the light flips as on any other.
    nextCheckState();
    emit doubleClicked();
    event->accept();
}

bool SwitchLight::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleDescription(toolTip());
    return QAbstractButton::event(event);
}

void SwitchLight::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool enabled = isEnabled();
    const bool sunken = isDown();
    const QRect face = rect();

    QLinearGradient faceFill(face.topLeft(), face.bottomLeft());
    faceFill.setColorAt(0.0, sunken ? faceBottom(enabled) : faceTop(enabled));
    faceFill.setColorAt(1.0, sunken ? faceTop(enabled) : faceBottom(enabled));
    painter.fillRect(face, faceFill);

    const QColor highlight = enabled ? Qt::white : QColor(0xF0, 0xF0, 0xF0);
    const QColor shadow = enabled ? QColor(0x50, 0x50, 0x50) : QColor(0xA0, 0xA0, 0xA0);
    drawBevel(painter, face, sunken ? shadow : highlight, sunken ? highlight : shadow);

    const int shift = sunken ? 1 : 0;
    const QRectF light(face.center().x() - lightDiameter / 2.0 + 0.5 + shift, lightTop + shift,
                       lightDiameter, lightDiameter);
    QRadialGradient glow(light.center() - QPointF(1.5, 1.5), lightDiameter / 1.6);
    // A disabled switch still shows its light (FILE stays lit, disabled, while it downloads),
    // only dimmed.
    if (isLit()) {
        glow.setColorAt(0.0, enabled ? QColor(0xDF, 0xFF, 0xDF) : QColor(0xD0, 0xE8, 0xD0));
        glow.setColorAt(0.4, enabled ? QColor(0x00, 0xFF, 0x00) : QColor(0x50, 0xD0, 0x50));
        glow.setColorAt(1.0, enabled ? QColor(0x00, 0xB0, 0x00) : QColor(0x40, 0x98, 0x40));
    } else {
        glow.setColorAt(0.0, enabled ? QColor(0x00, 0x70, 0x00) : QColor(0x58, 0x70, 0x58));
        glow.setColorAt(1.0, enabled ? QColor(0x00, 0x30, 0x00) : QColor(0x38, 0x48, 0x38));
    }
    painter.setPen(QPen(shadow, 1.0));
    painter.setBrush(glow);
    painter.drawEllipse(light);

    const QRect caption(face.left() + bevel, int(light.bottom()) + 1 + shift,
                        face.width() - 2 * bevel, face.bottom() - bevel - int(light.bottom()));
    painter.setPen(enabled ? Qt::black : QColor(0x80, 0x80, 0x80));
    painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, text());

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = face.adjusted(bevel + 1, bevel + 1, -bevel - 1, -bevel - 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace sonmetra::ui
