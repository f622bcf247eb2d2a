#include "ui/BarChart.h"

#include "error/PlatformError.h"
#include "ui/Accessibility.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>
#include <QtMath>
#include <algorithm>
#include <climits>
#include <cmath>

namespace sonmetra::ui {
namespace {

constexpr double barWidthShare = 0.7;
constexpr int tickLength = 4;
constexpr qsizetype maxCachedLabels = 4096;
// A tall bar picture is some 40 KB; a page of similar readings needs only a handful.
constexpr qsizetype maxCachedBars = 64;
constexpr int markGap = 6;
constexpr double emptyValueAxisMaximum = 10.0;

const QColor defaultBarColor(0x00, 0x80, 0x00);

// Step of the left axis: 1, 2 or 5 times a power of ten, about eight steps up to the largest bar.
double niceStep(double largest)
{
    const double raw = largest / 8.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double residual = raw / magnitude;
    for (const double nice : {1.0, 2.0, 5.0}) {
        if (residual <= nice)
            return nice * magnitude;
    }
    return 10.0 * magnitude;
}

// 1, 2, 5, 10, 20, 50, ...: label spacing on the bottom axis.
long long nextNiceStep(long long step)
{
    long long magnitude = 1;
    while (step / magnitude >= 10)
        magnitude *= 10;
    const long long leading = step / magnitude;
    return leading == 2 ? 5 * magnitude : 2 * leading * magnitude;
}

int decimalsForStep(double step)
{
    return std::max(0, -int(std::floor(std::log10(step) + 1e-9)));
}

// One-pixel lines and outlines are filled, not stroked: the raster engine fills a rectangle many
// times faster than it strokes the same line.
// A plain colour rather than a brush: the colour's path skips setting up a brush's spans, which
// costs more than filling a one-pixel line.
void horizontalLine(QPainter& painter, int left, int right, int y, const QColor& color)
{
    painter.fillRect(QRect(left, y, right - left + 1, 1), color);
}

void verticalLine(QPainter& painter, int x, int top, int bottom, const QColor& color)
{
    painter.fillRect(QRect(x, top, 1, bottom - top + 1), color);
}

void outline(QPainter& painter, const QRect& box, const QColor& color)
{
    horizontalLine(painter, box.left(), box.right(), box.top(), color);
    horizontalLine(painter, box.left(), box.right(), box.bottom(), color);
    verticalLine(painter, box.left(), box.top(), box.bottom(), color);
    verticalLine(painter, box.right(), box.top(), box.bottom(), color);
}

const QColor gridColor(0xA8, 0xA8, 0xA8);
const QColor wallColor(Qt::white);
const QColor axisColor(Qt::black);

QFont titleFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

// The title's font is fixed, not the widget's: its height is looked up once, not on every repaint.
int titleHeight()
{
    static const int height = QFontMetrics(titleFont()).height();
    return height;
}

} // namespace

BarChart::BarChart(QWidget* parent) : QWidget(parent), titleText(QStringLiteral("Sonmetra"))
{
    installAccessibleInterfaces();
    bars.reserve(reservedBars);
    setAccessibleName(QStringLiteral("Readings chart"));
    // The paint fills every pixel, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BarChart::clearBars()
{
    bars.clear();
    largestValue = 0.0;
    updateChartArea();
}

void BarChart::addBar(double x, double value)
{
    Q_ASSERT(bars.empty() || x >= bars.back().x);
    bars.push_back({x, value, defaultBarColor});
    barChanged(x, value);
}

void BarChart::setBarValue(int index, double value)
{
    barAt(index).value = value;
    // The value axis only ever grows, so a lowered bar leaves the scale as it was.
    barChanged(barAt(index).x, value);
}

void BarChart::setBarColor(int index, const QColor& color)
{
    Bar& bar = barAt(index);
    bar.color = color;
    barChanged(bar.x, bar.value);
}

int BarChart::barCount() const
{
    return int(bars.size());
}

double BarChart::barX(int index) const
{
    return barAt(index).x;
}

double BarChart::barValue(int index) const
{
    return barAt(index).value;
}

QColor BarChart::barColor(int index) const
{
    return barAt(index).color;
}

void BarChart::setAxisMinimum(double value)
{
    minimum = value;
    updateChartArea();
}

void BarChart::setAxisMaximum(double value)
{
    maximum = value;
    updateChartArea();
}

double BarChart::axisMinimum() const
{
    return minimum;
}

double BarChart::axisMaximum() const
{
    return maximum;
}

void BarChart::shiftAxis(double offset)
{
    minimum += offset;
    maximum += offset;
    updateChartArea();
}

void BarChart::setTitle(const QString& title)
{
    titleText = title;
    update();
}

QString BarChart::title() const
{
    return titleText;
}

BarChart::BarRange BarChart::visibleBars() const
{
    const auto first = std::lower_bound(bars.begin(), bars.end(), minimum,
                                        [](const Bar& bar, double x) { return bar.x < x; });
    if (!(minimum <= maximum))
        return {int(first - bars.begin()), 0};
    const auto last = std::upper_bound(first, bars.end(), maximum,
                                       [](double x, const Bar& bar) { return x < bar.x; });
    return {int(first - bars.begin()), int(last - first)};
}

double BarChart::valueAxisStep() const
{
    return niceStep(largestValue > 0.0 ? largestValue : emptyValueAxisMaximum);
}

double BarChart::valueAxisMaximum() const
{
    if (largestValue <= 0.0)
        return emptyValueAxisMaximum;
    const double step = valueAxisStep();
    // Strictly above the largest bar, so its mark has room under the top of the axis.
    return (std::floor(largestValue / step + 1e-9) + 1.0) * step;
}

std::vector<int> BarChart::bottomAxisLabels() const
{
    std::vector<int> labels;
    const QRect plot = plotArea();
    const double span = maximum - minimum;
    const double limit = INT_MAX / 2.0;
    if (!(span > 0.0) || plot.width() <= 0 || !(std::abs(minimum) < limit) ||
        !(std::abs(maximum) < limit))
        return labels;

    const double pixelsPerUnit = plot.width() / span;
    const int widest = std::max(labelWidth(QString::number(int(minimum))),
                                labelWidth(QString::number(int(maximum))));
    long long step = 1;
    while (step * pixelsPerUnit < widest + 8 && step < span)
        step = nextNiceStep(step);
    for (double n = std::ceil(minimum / double(step)) * double(step); n <= maximum;
         n += double(step))
        labels.push_back(int(n));
    return labels;
}

QString BarChart::markText(double value)
{
    return QString::number(value, 'f', 2);
}

QString BarChart::viewSummary() const
{
    const QString window =
        QStringLiteral("Window %1 to %2").arg(QString::number(minimum), QString::number(maximum));
    if (bars.empty())
        return window + QStringLiteral(", no bars");
    const BarRange range = visibleBars();
    if (range.count == 0)
        return window + QStringLiteral(", no bars in view of %1").arg(bars.size());
    return window + QStringLiteral(", bars %1 to %2 of %3")
                        .arg(range.first + 1)
                        .arg(range.first + range.count)
                        .arg(bars.size());
}

QSize BarChart::sizeHint() const
{
    return {551, 401};
}

const BarChart::Bar& BarChart::barAt(int index) const
{
    if (index < 0 || index >= int(bars.size()))
        throw PlatformError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return bars[std::size_t(index)];
}

BarChart::Bar& BarChart::barAt(int index)
{
    return const_cast<Bar&>(std::as_const(*this).barAt(index));
}

void BarChart::barChanged(double x, double value)
{
    // Bars outside the window are not painted; a change to one repaints nothing unless it
    // raises the value axis. This keeps a full redraw of 65 535 bars from queueing as many
    // repaints.
    if (value > largestValue) {
        largestValue = value;
        updateChartArea();
    } else if (x >= minimum && x <= maximum) {
        updateChartArea();
    }
}

void BarChart::updateChartArea()
{
    // Everything below the title: the only part that a change to the bars or the window moves.
    const int top = 4 + titleHeight() + 2;
    update(0, top, width(), height() - top);
}

QRect BarChart::plotArea() const
{
    const QFontMetrics metrics = fontMetrics();
    const int top = 4 + titleHeight() + 6 + metrics.height() + markGap;
    const QString topLabel =
        QString::number(valueAxisMaximum(), 'f', decimalsForStep(valueAxisStep()));
    const int left = 10 + labelWidth(topLabel) + tickLength + 4;
    const int bottom = height() - (10 + metrics.height() + tickLength);
    const int right = width() - 16;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Axis labels and value marks repeat from one repaint to the next; laid out once, they draw several
// times faster than text shaped anew on every repaint.
const QStaticText& BarChart::label(const QString& text) const
{
    if (labels.size() > maxCachedLabels)
        labels.clear();
    auto found = labels.find(text);
    if (found == labels.end()) {
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), font());
        found = labels.insert(text, laidOut);
    }
    return found.value();
}

int BarChart::labelWidth(const QString& text) const
{
    return qCeil(label(text).size().width());
}

void BarChart::drawLabel(QPainter& painter, int left, int baseline, const QString& text) const
{
    painter.drawStaticText(QPoint(left, baseline - fontMetrics().ascent()), label(text));
}

void BarChart::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        labels.clear();
        marks.clear();
        bottomLabels.clear();
        leftAxis = QPixmap();
    }
    QWidget::changeEvent(event);
}

// Grey at the top of the chart to orange at its bottom, the chart's top at row top.
QLinearGradient BarChart::backgroundGradient(int top) const
{
    QLinearGradient background(0, top, 0, top + height());
    background.setColorAt(0.0, QColor(0x80, 0x80, 0x80));
    background.setColorAt(1.0, QColor(0xFF, 0x80, 0x40));
    return background;
}

void BarChart::drawTitle(QPainter& painter) const
{
    const QFont heading = titleFont();
    const QFontMetrics headingMetrics(heading);
    painter.setFont(heading);
    painter.setPen(QColor(0x00, 0x00, 0xFF));
    painter.drawText(QPoint((width() - headingMetrics.horizontalAdvance(titleText)) / 2,
                            4 + headingMetrics.ascent()),
                     titleText);
    painter.setFont(font());
}

// Where the plot's parts go for the chart's present size, window and scale.
struct BarChart::Placement
{
    QRect plot;
    QRect barArea; // the plot without its left axis: bars are clipped to it
    double top;    // of the value axis
    double step;   // of the value axis
    int steps;     // of the value axis above 0
    double minimum;
    double span;   // of the window
    int halfWidth; // of a bar

    double xOf(double x) const { return plot.left() + (x - minimum) / span * plot.width(); }
    double yOf(double value) const { return plot.bottom() - value / top * plot.height(); }
    int rowOf(int i) const { return qRound(yOf(i * step)); } // of the i-th step of the value axis
    QRect shapeOf(const Bar& bar) const
    {
        const int centre = qRound(xOf(bar.x));
        return QRect(QPoint(centre - halfWidth, qRound(yOf(bar.value))),
                     QPoint(centre + halfWidth, plot.bottom()))
            .normalized();
    }
};

BarChart::Placement BarChart::placementFor(const QRect& plot) const
{
    const double top = valueAxisMaximum();
    const double step = valueAxisStep();
    const double span = maximum - minimum;
    return {plot,
            plot.adjusted(1, 0, 0, 0),
            top,
            step,
            int(std::floor(top / step + 1e-9)),
            minimum,
            span,
            std::max(1, qRound(barWidthShare * plot.width() / span / 2.0))};
}

// What stays left of the plot while the window moves along the readings: the background and the
// left axis's labels and ticks. Drawn once per size and scale and then copied; the rest of the
// background is filled, which writes its pixels without reading a picture, as the statistics of a
// full data set need the processor's caches as much as the repaint does.
const QPixmap& BarChart::leftAxisPicture(const Placement& placed) const
{
    const QRect& plot = placed.plot;
    const qreal ratio = devicePixelRatioF();
    const QSize size(plot.left(), height());
    if (!leftAxis.isNull() && leftAxis.size() == size * ratio &&
        leftAxis.devicePixelRatio() == ratio && leftAxisTop == placed.top)
        return leftAxis;
    leftAxisTop = placed.top;
    bottomLabels.clear();
    leftAxis = QPixmap(size * ratio);
    leftAxis.setDevicePixelRatio(ratio);
    QPainter painter(&leftAxis);
    painter.fillRect(QRect(QPoint(0, 0), size), backgroundGradient(0));
    painter.setPen(Qt::black);
    const QFontMetrics metrics = fontMetrics();
    const int middleToBaseline = (metrics.ascent() - metrics.descent()) / 2;
    const int decimals = decimalsForStep(placed.step);
    for (int i = 0; i <= placed.steps; ++i) {
        const int y = placed.rowOf(i);
        horizontalLine(painter, plot.left() - tickLength, plot.left() - 1, y, axisColor);
        const QString label = QString::number(i * placed.step, 'f', decimals);
        drawLabel(painter, plot.left() - tickLength - 3 - labelWidth(label), y + middleToBaseline,
                  label);
    }
    return leftAxis;
}

void BarChart::paintEvent(QPaintEvent* event)
{
    // Text is placed at computed baselines and bars, marks and labels are copied pictures: both
    // keep the raster engine on its fast paths, which is what holds one repaint well under a
    // millisecond.
    QPainter painter(this);
    const QRect plot = plotArea();
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.fillRect(rect(), backgroundGradient(0));
        drawTitle(painter);
        return;
    }
    const Placement placed = placementFor(plot);
    paintBackground(painter, placed, event->rect().top() < 4 + titleHeight());
    const BarRange range = visibleBars();
    const auto first = bars.begin() + range.first;
    const auto last = first + range.count;
    paintPlot(painter, placed, first, last);
    paintBars(painter, placed, first, last);
}

// Around the plot: the left axis copied, the rest of the background filled, the title only when
// the repaint reaches it.
void BarChart::paintBackground(QPainter& painter, const Placement& placed, bool withTitle) const
{
    const QRect& plot = placed.plot;
    const QLinearGradient background = backgroundGradient(0);
    painter.drawPixmap(0, 0, leftAxisPicture(placed));
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.fillRect(QRect(QPoint(plot.left(), 0), QPoint(right, plot.top() - 1)), background);
    painter.fillRect(QRect(QPoint(plot.right() + 1, plot.top()), QPoint(right, plot.bottom())),
                     background);
    painter.fillRect(QRect(QPoint(plot.left(), plot.bottom() + 1), QPoint(right, bottom)),
                     background);
    if (withTitle)
        drawTitle(painter);
}

// The plot's face, walls and grid, and the bottom axis that moves with the window.
void BarChart::paintPlot(QPainter& painter, const Placement& placed, BarIterator first,
                         BarIterator last) const
{
    const QRect& plot = placed.plot;
    painter.fillRect(plot, QColor(0xC0, 0xC0, 0xC0));
    for (int i = 1; i <= placed.steps; ++i)
        horizontalLine(painter, plot.left() + 1, plot.right() - 1, placed.rowOf(i), gridColor);
    // The back wall is an outline only; the left and bottom axes are drawn over it.
    horizontalLine(painter, plot.left(), plot.right(), plot.top(), wallColor);
    horizontalLine(painter, plot.left(), plot.right(), plot.bottom(), axisColor);

    // The highest row a bar covers in the column x of the whole number n; bars stand at whole
    // numbers, so only the bars either side of n can. A grid line is drawn down to there only, as
    // the bar hides the rest.
    const auto coveredFrom = [&](int n, int x) {
        int row = plot.bottom();
        const auto near = std::lower_bound(first, last, double(n),
                                           [](const Bar& bar, double v) { return bar.x < v; });
        for (auto bar = near == first ? near : near - 1; bar != last && bar <= near; ++bar) {
            const QRect shape = placed.shapeOf(*bar).intersected(placed.barArea);
            if (shape.left() <= x && x <= shape.right())
                row = std::min(row, shape.top());
        }
        return row;
    };
    // Solid grid lines: a dotted pattern costs tens of microseconds per vertical line.
    const int labelTop = plot.bottom() + tickLength + 2;
    for (const int n : bottomAxisLabels()) {
        const int x = qRound(placed.xOf(n));
        verticalLine(painter, x, plot.top() + 1, std::min(plot.bottom(), coveredFrom(n, x)) - 1,
                     gridColor);
        verticalLine(painter, x, plot.bottom(), plot.bottom() + tickLength, axisColor);
        const QPixmap& label = bottomLabelPicture(QString::number(n), labelTop);
        painter.drawPixmap(x - qRound(label.deviceIndependentSize().width()) / 2, labelTop, label);
    }
    // A grid line may fall on either side of the plot: the wall and the axis stay in front.
    verticalLine(painter, plot.right(), plot.top(), plot.bottom(), wallColor);
    verticalLine(painter, plot.left(), plot.top(), plot.bottom(), axisColor);
}

// The bars in the window, then their value marks above them.
void BarChart::paintBars(QPainter& painter, const Placement& placed, BarIterator first,
                         BarIterator last) const
{
    painter.save();
    painter.setClipRect(placed.barArea);
    for (auto bar = first; bar != last; ++bar) {
        const QRect shape = placed.shapeOf(*bar);
        painter.drawPixmap(shape.topLeft(), barPicture(bar->color, shape.size()));
    }
    painter.restore();

    const int markHeight = fontMetrics().height();
    for (auto bar = first; bar != last; ++bar) {
        const QPixmap& mark = markPicture(markText(bar->value));
        const int centre = qRound(placed.xOf(bar->x));
        const int barTop = qRound(std::min(placed.yOf(bar->value), placed.yOf(0)));
        const QPoint topLeft(centre - (mark.width() - 7) / 2 - 3,
                             barTop - markGap - markHeight - 2);
        verticalLine(painter, centre, topLeft.y() + mark.height() - 1, barTop, axisColor);
        painter.drawPixmap(topLeft, mark);
    }
}

// A label of the bottom axis with the background behind it. The background's gradient runs top to
// bottom only, so the picture fits wherever along the axis the label goes, and the labels, which
// move with every live reading, are copied instead of drawn as text.
const QPixmap& BarChart::bottomLabelPicture(const QString& text, int top) const
{
    if (bottomLabels.size() > maxCachedLabels)
        bottomLabels.clear();
    auto found = bottomLabels.find(text);
    if (found == bottomLabels.end()) {
        const qreal ratio = devicePixelRatioF();
        const QFontMetrics metrics = fontMetrics();
        QPixmap picture(QSize(labelWidth(text), metrics.height()) * ratio);
        picture.setDevicePixelRatio(ratio);
        QPainter painter(&picture);
        painter.fillRect(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()),
                         backgroundGradient(-top));
        painter.setPen(Qt::black);
        painter.setFont(font());
        drawLabel(painter, 0, metrics.ascent(), text);
        found = bottomLabels.insert(text, picture);
    }
    return found.value();
}

// A bar: filled with its colour darkening downwards, outlined in black. Neighbouring readings
// differ by a few pixels at most, so the pictures are drawn once per colour and size.
const QPixmap& BarChart::barPicture(const QColor& color, const QSize& size) const
{
    if (barPictures.size() > maxCachedBars)
        barPictures.clear();
    const quint64 key =
        quint64(color.rgba()) << 32 | quint64(quint16(size.width())) << 16 | quint16(size.height());
    auto found = barPictures.find(key);
    if (found == barPictures.end()) {
        QPixmap picture(size);
        QPainter painter(&picture);
        const QRect shape(QPoint(0, 0), size);
        QLinearGradient fill(shape.topLeft(), shape.bottomLeft());
        fill.setColorAt(0.0, color);
        fill.setColorAt(1.0, color.darker(170));
        painter.fillRect(shape, fill);
        outline(painter, shape, axisColor);
        found = barPictures.insert(key, picture);
    }
    return found.value();
}

// A value mark: the value in a framed box. Drawn once per value and then copied, as the same
// values come round page after page.
const QPixmap& BarChart::markPicture(const QString& text) const
{
    if (marks.size() > maxCachedLabels)
        marks.clear();
    auto found = marks.find(text);
    if (found == marks.end()) {
        const QFontMetrics metrics = fontMetrics();
        const QRect box(0, 0, labelWidth(text) + 7, metrics.height() + 3);
        QPixmap picture(box.size());
        QPainter painter(&picture);
        painter.fillRect(box, QColor(0xFF, 0xFF, 0xE1));
        outline(painter, box, axisColor);
        painter.setPen(Qt::black);
        painter.setFont(font());
        drawLabel(painter, 4, 2 + metrics.ascent(), text);
        found = marks.insert(text, picture);
    }
    return found.value();
}

} // namespace sonmetra::ui
