#pragma once

#include <QColor>
#include <QHash>
#include <QLinearGradient>
#include <QPixmap>
#include <QStaticText>
#include <QString>
#include <QWidget>
#include <vector>

namespace sonmetra::ui {

// Bar chart with one series of bars, each standing at a position x with its own colour, seen
// through a window (axisMinimum() ... axisMaximum()) of the bottom axis. Bars must be added in
// ascending x: painting finds the first bar in the window by binary search and draws only the
// bars inside it, so repainting costs the same at ten bars as at sixty thousand.
class BarChart : public QWidget
{
    Q_OBJECT

public:
    struct Bar
    {
        double x;
        double value;
        QColor color;
    };

    // Zero-based index of the first bar in the window and how many follow it there.
    struct BarRange
    {
        int first;
        int count;
        friend bool operator==(const BarRange&, const BarRange&) = default;
    };

    static constexpr std::size_t reservedBars = 65536;
    static constexpr double startMinimum = 0.5;
    static constexpr double startMaximum = 10.5;

    explicit BarChart(QWidget* parent = nullptr);

    void clearBars();
    void addBar(double x, double value);
    void setBarValue(int index, double value);
    void setBarColor(int index, const QColor& color);

    int barCount() const;
    double barX(int index) const;
    double barValue(int index) const;
    QColor barColor(int index) const;

    void setAxisMinimum(double minimum);
    void setAxisMaximum(double maximum);
    double axisMinimum() const;
    double axisMaximum() const;
    // Moves the window by offset: both ends, without any limit check.
    void shiftAxis(double offset);

    void setTitle(const QString& title);
    QString title() const;

    BarRange visibleBars() const;
    // The left axis runs from 0 to this "nice" value above the largest bar.
    double valueAxisMaximum() const;
    double valueAxisStep() const;
    // Whole numbers labelled on the bottom axis, thinned out when they would overlap.
    std::vector<int> bottomAxisLabels() const;
    // The value mark drawn above a bar, e.g. "12.34".
    static QString markText(double value);
    // What a screen reader hears, e.g. "Window 0.5 to 10.5, bars 1 to 10 of 25".
    QString viewSummary() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Placement;
    using BarIterator = std::vector<Bar>::const_iterator;

    Placement placementFor(const QRect& plot) const;
    void paintBackground(QPainter& painter, const Placement& placed, bool withTitle) const;
    void paintPlot(QPainter& painter, const Placement& placed, BarIterator first,
                   BarIterator last) const;
    void paintBars(QPainter& painter, const Placement& placed, BarIterator first,
                   BarIterator last) const;
    const Bar& barAt(int index) const;
    Bar& barAt(int index);
    QRect plotArea() const;
    void barChanged(double x, double value);
    const QStaticText& label(const QString& text) const;
    int labelWidth(const QString& text) const;
    void drawLabel(QPainter& painter, int left, int baseline, const QString& text) const;
    const QPixmap& markPicture(const QString& text) const;
    const QPixmap& barPicture(const QColor& color, const QSize& size) const;
    const QPixmap& leftAxisPicture(const Placement& placed) const;
    void drawTitle(QPainter& painter) const;
    const QPixmap& bottomLabelPicture(const QString& text, int top) const;
    QLinearGradient backgroundGradient(int top) const;
    void updateChartArea();

    std::vector<Bar> bars;
    double minimum = startMinimum;
    double maximum = startMaximum;
    double largestValue = 0.0;
    QString titleText;
    mutable QHash<QString, QStaticText> labels;
    mutable QHash<QString, QPixmap> marks;
    mutable QHash<QString, QPixmap> bottomLabels; // drawn for the left axis picture of the moment
    mutable QHash<quint64, QPixmap> barPictures;
    mutable QPixmap leftAxis;
    mutable double leftAxisTop = 0.0; // the value axis that picture was drawn for
};

} // namespace sonmetra::ui
