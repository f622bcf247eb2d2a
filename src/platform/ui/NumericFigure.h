#pragma once

#include <QLabel>

namespace sonmetra::ui {

// A figure of the statistics row: the value with a fixed number of decimals and its units text,
// bold aqua on black, e.g. "12.34 mm".
class NumericFigure : public QLabel
{
    Q_OBJECT

public:
    NumericFigure(int decimals, const QString& units, QWidget* parent = nullptr);

    void setValue(double value);
    double value() const;

    int decimals() const;
    QString units() const;

private:
    int decimalCount;
    QString unitsText;
    double shownValue = 0.0;
};

} // namespace sonmetra::ui
