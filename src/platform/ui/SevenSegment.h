#pragma once

#include <QColor>
#include <QLCDNumber>
#include <QPixmap>

namespace sonmetra::ui {

// Seven-segment reading display: six digit positions, two decimals, flat segments on black.
class SevenSegment : public QLCDNumber
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
    Q_PROPERTY(QColor segmentColor READ segmentColor WRITE setSegmentColor)

public:
    explicit SevenSegment(QWidget* parent = nullptr);

    void setValue(double value);
    // Value and segment colour at once: the display's picture is drawn once, not twice.
    void setValue(double value, const QColor& color);
    double value() const;
    // What the segments show, e.g. "12.34".
    QString text() const;

    void setSegmentColor(const QColor& color);
    QColor segmentColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void takeValue(double value);
    bool takeColor(const QColor& color); // false when the colour was already shown
    QString pictureKey() const;
    void preparePicture();

    double shownValue = 0.0;
    QString shownText;
    QColor segments;
    bool drawingPicture = false;
    QPixmap shownPicture; // what the segments show now, drawn once per value and colour
};

} // namespace sonmetra::ui
