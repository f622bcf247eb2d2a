#include "ui/NumericFigure.h"

#include "ui/Accessibility.h"

namespace sonmetra::ui {

NumericFigure::NumericFigure(int decimals, const QString& units, QWidget* parent)
    : QLabel(parent), decimalCount(decimals), unitsText(units)
{
    installAccessibleInterfaces();
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::All, QPalette::Window, Qt::black);
    colours.setColor(QPalette::All, QPalette::WindowText, QColor(0x00, 0xFF, 0xFF));
    setPalette(colours);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setValue(0.0);
}

void NumericFigure::setValue(double value)
{
    shownValue = value;
    setText(QString::number(value, 'f', decimalCount) + unitsText);
}

double NumericFigure::value() const
{
    return shownValue;
}

int NumericFigure::decimals() const
{
    return decimalCount;
}

QString NumericFigure::units() const
{
    return unitsText;
}

} // namespace sonmetra::ui
