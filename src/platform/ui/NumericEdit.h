#pragma once

#include <QLineEdit>
#include <optional>

namespace sonmetra::ui {

// One-line field holding a double, shown with a fixed number of decimals and a units text
// ("3000.00 mm"). It takes what was typed when editing finishes, or when value() is read while
// the text is edited: a text that is not a number keeps the previous value.
class NumericEdit : public QLineEdit
{
    Q_OBJECT

public:
    NumericEdit(int decimals, const QString& units, QWidget* parent = nullptr);

    void setValue(double value);
    double value() const;

    int decimals() const;
    QString units() const;

private:
    void takeText();
    void showValue();
    std::optional<double> parsedText() const;

    int decimalCount;
    QString unitsText;
    double heldValue = 0.0;
};

} // namespace sonmetra::ui
