#include "ui/CheckLight.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace sonmetra::ui {
namespace {

constexpr int lightSize = 12;
constexpr int gap = 6;

} // namespace

CheckLight::CheckLight(QWidget* parent) : CheckLight(QString(), parent) {}

CheckLight::CheckLight(const QString& caption, QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setText(caption);
}

QSize CheckLight::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {lightSize + gap + metrics.horizontalAdvance(text()) + 4,
            qMax(lightSize, metrics.height()) + 6};
}

void CheckLight::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool enabled = isEnabled();
    const QRect light(2, (height() - lightSize) / 2, lightSize, lightSize);
    QColor fill = isChecked() ? QColor(0x00, 0xFF, 0x00) : QColor(0x00, 0x80, 0x00);
    if (!enabled)
        fill = fill.darker(150);
    painter.fillRect(light, fill);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(light.adjusted(0, 0, -1, -1));

    const QRect caption(light.right() + gap, 0, width() - light.right() - gap, height());
    painter.setPen(
        palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QRect used = painter.boundingRect(caption, Qt::AlignLeft | Qt::AlignVCenter, text());
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = used.adjusted(-2, -1, 2, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace sonmetra::ui
