#include "ui/SevenSegment.h"

#include "ui/Accessibility.h"

#include <QAccessible>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <array>
#include <cmath>

namespace sonmetra::ui {
namespace {

// Segments as bits: a (top), b (upper right), c (lower right), d (bottom), e (lower left),
// f (upper left), g (middle).
constexpr std::array<quint8, 10> DigitSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                  0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr quint8 MinusSegments = 0x40;
// The picture store is shared by all displays: a handful of sizes and colours, eleven characters
// with and without a point. The bound only guards against a widget resized without end.
constexpr qsizetype MaxCachedCells = 1024;

quint8 segmentsOf(QChar c)
{
    if (c.isDigit())
        return DigitSegments[static_cast<std::size_t>(c.digitValue())];
    return c == QLatin1Char('-') ? MinusSegments : 0;
}

// A digit position: the digit, and right of it the room where a decimal point goes.
struct Cell
{
    quint8 segments;
    bool point;
};

// A horizontal segment centred on y from x0 to x1, pointed at both ends.
QPolygonF horizontal(double x0, double x1, double y, double half)
{
    return QPolygonF({{x0, y},
                      {x0 + half, y - half},
                      {x1 - half, y - half},
                      {x1, y},
                      {x1 - half, y + half},
                      {x0 + half, y + half}});
}

QPolygonF vertical(double x, double y0, double y1, double half)
{
    return QPolygonF({{x, y0},
                      {x + half, y0 + half},
                      {x + half, y1 - half},
                      {x, y1},
                      {x - half, y1 - half},
                      {x - half, y0 + half}});
}

QPixmap drawCell(const Cell& cell, const QSize& size, qreal ratio, const QColor& color)
{
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);

    const double pointRoom = std::max(3.0, size.width() / 4.0);
    const double margin = size.height() / 8.0;
    const double digitWidth = size.width() - pointRoom;
    const double digitHeight = size.height() - 2.0 * margin;
    const double thickness = std::max(2.0, std::round(digitHeight / 9.0));
    const double half = thickness / 2.0;
    const double gap = 0.75;
    const double left = half;
    const double right = digitWidth - half;
    const double top = margin + half;
    const double middle = margin + digitHeight / 2.0;
    const double bottom = margin + digitHeight - half;

    const std::array<QPolygonF, 7> shapes = {
        horizontal(left + gap, right - gap, top, half),
        vertical(right, top + gap, middle - gap, half),
        vertical(right, middle + gap, bottom - gap, half),
        horizontal(left + gap, right - gap, bottom, half),
        vertical(left, middle + gap, bottom - gap, half),
        vertical(left, top + gap, middle - gap, half),
        horizontal(left + gap, right - gap, middle, half),
    };
    for (std::size_t s = 0; s < shapes.size(); ++s) {
        if (cell.segments & (1u << s))
            painter.drawPolygon(shapes[s]);
    }
    if (cell.point) {
        const double x = digitWidth + (pointRoom - thickness) / 2.0;
        painter.drawRect(QRectF(x, margin + digitHeight - thickness, thickness, thickness));
    }
    return picture;
}

// Every new reading moves each value of the column one display up, so drawing the polygons anew
// on each repaint would dominate a live measurement. A character's picture is drawn once per size
// and colour and then only copied.
const QPixmap& cellPicture(const Cell& cell, const QSize& size, qreal ratio, const QColor& color)
{
    static QHash<quint64, QPixmap> pictures;
    if (pictures.size() > MaxCachedCells)
        pictures.clear();
    const quint64 key = quint64(cell.segments) | quint64(cell.point) << 7 |
                        quint64(size.width() & 0xFFF) << 8 | quint64(size.height() & 0xFFF) << 20 |
                        quint64(color.rgb() & 0xFFFFFF) << 32 |
                        quint64(qRound(ratio * 8.0) & 0xFF) << 56;
    auto found = pictures.find(key);
    if (found == pictures.end())
        found = pictures.insert(key, drawCell(cell, size, ratio, color));
    return found.value();
}

// The text right-aligned into the positions, each point joined to the digit left of it.
std::array<Cell, SevenSegment::Positions> cellsOf(const QString& text)
{
    std::array<Cell, SevenSegment::Positions> cells{};
    int position = SevenSegment::Positions;
    bool point = false;
    for (qsizetype i = text.size() - 1; i >= 0 && position > 0; --i) {
        if (text[i] == QLatin1Char('.')) {
            point = true;
            continue;
        }
        cells[static_cast<std::size_t>(--position)] = {segmentsOf(text[i]), point};
        point = false;
    }
    return cells;
}

} // namespace

SevenSegment::SevenSegment(QWidget* parent) : QWidget(parent), segments(0x00, 0xFF, 0x00)
{
    installAccessibleInterfaces();
    // The paint covers every pixel, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    takeValue(0.0);
}

void SevenSegment::setValue(double value)
{
    if (takeValue(value))
        update();
}

void SevenSegment::setValue(double value, const QColor& color)
{
    const bool newValue = takeValue(value);
    if (takeColor(color) || newValue)
        update();
}

bool SevenSegment::takeValue(double value)
{
    shownValue = value;
    QString text = QString::number(value, 'f', 2);
    if (text == shownText)
        return false;
    shownText = std::move(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    return true;
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
        update();
}

bool SevenSegment::takeColor(const QColor& color)
{
    if (color == segments)
        return false;
    segments = color;
    return true;
}

QColor SevenSegment::segmentColor() const
{
    return segments;
}

QSize SevenSegment::sizeHint() const
{
    return {138, 40};
}

void SevenSegment::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const int advance = std::max(1, (width() - 4) / Positions);
    const QSize cellSize(advance, height());
    const int left = (width() - Positions * advance) / 2;
    const qreal ratio = devicePixelRatioF();
    const std::array<Cell, Positions> cells = cellsOf(shownText);
    for (int i = 0; i < Positions; ++i) {
        const Cell& cell = cells[static_cast<std::size_t>(i)];
        if (cell.segments != 0 || cell.point)
            painter.drawPixmap(left + i * advance, 0, cellPicture(cell, cellSize, ratio, segments));
    }
}

} // namespace sonmetra::ui
