#include "ui/NumericEdit.h"

#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <cmath>

namespace sonmetra::ui {
namespace {

constexpr int maximumCharacters = 11;

// Digits, minus, both decimal separators, the blank and the letters of the units text: what a
// number with its units can be typed with. Whether it is a number is decided when it is taken.
QRegularExpression typeableCharacters(const QString& units)
{
    QString allowed = QStringLiteral("0-9") + QRegularExpression::escape(QStringLiteral("-. ")) +
                      QRegularExpression::escape(QLocale().decimalPoint());
    for (const QChar c : units)
        allowed += QRegularExpression::escape(QString(c));
    return QRegularExpression(QStringLiteral("[%1]*").arg(allowed));
}

} // namespace

NumericEdit::NumericEdit(int decimals, const QString& units, QWidget* parent)
    : QLineEdit(parent), decimalCount(decimals), unitsText(units)
{
    setMaxLength(maximumCharacters);
    setValidator(new QRegularExpressionValidator(typeableCharacters(units), this));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    connect(this, &QLineEdit::editingFinished, this, &NumericEdit::takeText);
    showValue();
}

void NumericEdit::setValue(double value)
{
    heldValue = value;
    showValue();
}

double NumericEdit::value() const
{
    if (!isModified())
        return heldValue;
    return parsedText().value_or(heldValue);
}

int NumericEdit::decimals() const
{
    return decimalCount;
}

QString NumericEdit::units() const
{
    return unitsText;
}

void NumericEdit::takeText()
{
    if (isModified())
        heldValue = parsedText().value_or(heldValue);
    showValue();
}

void NumericEdit::showValue()
{
    setText(QString::number(heldValue, 'f', decimalCount) + unitsText);
}

std::optional<double> NumericEdit::parsedText() const
{
    QString number = text().trimmed();
    const QString unitsWord = unitsText.trimmed();
    if (!unitsWord.isEmpty() && number.endsWith(unitsWord))
        number.chop(unitsWord.size());
    number = number.trimmed().replace(QLocale().decimalPoint(), QStringLiteral("."));
    bool ok = false;
    const double parsed = number.toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return std::nullopt;
    return parsed;
}

} // namespace sonmetra::ui
