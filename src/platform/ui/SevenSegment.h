#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace sonmetra::ui {

// Seven-segment reading display: six digit positions holding the value with two decimals, right
// aligned, the decimal point small between two digits, flat segments on black. Up to 9999.99
// fits; a longer text loses its leftmost digits.
class SevenSegment : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
    Q_PROPERTY(QColor segmentColor READ segmentColor WRITE setSegmentColor)

public:
    static constexpr int Positions = 6;

    explicit SevenSegment(QWidget* parent = nullptr);

    void setValue(double value);
    // Value and segment colour at once: one repaint, not two.
    void setValue(double value, const QColor& color);
    double value() const;
    // What the segments show, e.g. "12.34".
    QString text() const;

    void setSegmentColor(const QColor& color);
    QColor segmentColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool takeValue(double value); // false when the display already showed it
    bool takeColor(const QColor& color);

    double shownValue = 0.0;
    QString shownText;
    QColor segments;
};

} // namespace sonmetra::ui
