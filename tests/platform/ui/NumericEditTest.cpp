#include "ui/NumericEdit.h"

#include <QFocusEvent>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using sonmetra::ui::NumericEdit;

namespace {

// Replaces the field's text the way an operator does: select all, delete, type.
void retype(NumericEdit& edit, const QString& typed)
{
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, typed);
}

} // namespace

class NumericEditTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsDecimalsAndUnits_data();
    void showsDecimalsAndUnits();
    void takesTypedText_data();
    void takesTypedText();
    void focusLossTakesTheText();
    void untouchedTextKeepsTheExactValue();
    void setValueDropsAnEdit();
    void refusesCharactersOutsideNumberAndUnits_data();
    void refusesCharactersOutsideNumberAndUnits();
    void holdsAtMostElevenCharacters();
};

void NumericEditTest::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void NumericEditTest::cleanup()
{
    QLocale::setDefault(QLocale::system());
}

void NumericEditTest::showsDecimalsAndUnits_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("units");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("upper limit at start") << 2 << " mm" << 3000.0 << "3000.00 mm";
    QTest::newRow("lower limit at start") << 2 << " mm" << 0.0 << "0.00 mm";
    QTest::newRow("rounded for show") << 2 << " mm" << 12.499 << "12.50 mm";
    QTest::newRow("negative") << 2 << " mm" << -1.5 << "-1.50 mm";
    QTest::newRow("no units") << 0 << "" << 37.0 << "37";
}

void NumericEditTest::showsDecimalsAndUnits()
{
    QFETCH(int, decimals);
    QFETCH(QString, units);
    QFETCH(double, value);
    QFETCH(QString, text);

    NumericEdit edit(decimals, units);
    edit.setValue(value);
    QCOMPARE(edit.text(), text);
    QCOMPARE(edit.value(), value);
    QVERIFY(edit.font().bold());
}

void NumericEditTest::takesTypedText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("number") << "en_US"
                            << "12.5" << 12.5 << "12.50 mm";
    QTest::newRow("with units") << "en_US"
                                << "12.5 mm" << 12.5 << "12.50 mm";
    QTest::newRow("units without blank") << "en_US"
                                         << "12.5mm" << 12.5 << "12.50 mm";
    QTest::newRow("blanks around") << "en_US"
                                   << "  7  mm " << 7.0 << "7.00 mm";
    QTest::newRow("more decimals than shown") << "en_US"
                                              << "2.345" << 2.345 << "2.35 mm";
    QTest::newRow("negative") << "en_US"
                              << "-3" << -3.0 << "-3.00 mm";
    QTest::newRow("leading point") << "en_US"
                                   << ".5" << 0.5 << "0.50 mm";
    QTest::newRow("empty keeps previous") << "en_US"
                                          << "" << 3000.0 << "3000.00 mm";
    QTest::newRow("units only keep previous") << "en_US"
                                              << " mm" << 3000.0 << "3000.00 mm";
    QTest::newRow("two points keep previous") << "en_US"
                                              << "1.2.3" << 3000.0 << "3000.00 mm";
    QTest::newRow("inner blank keeps previous") << "en_US"
                                                << "1 2" << 3000.0 << "3000.00 mm";
    QTest::newRow("minus alone keeps previous") << "en_US"
                                                << "-" << 3000.0 << "3000.00 mm";
    QTest::newRow("units in front keep previous") << "en_US"
                                                  << "mm 5" << 3000.0 << "3000.00 mm";
    QTest::newRow("locale comma") << "de_DE"
                                  << "12,5" << 12.5 << "12.50 mm";
    QTest::newRow("point beside a comma locale") << "de_DE"
                                                 << "12.5" << 12.5 << "12.50 mm";
}

void NumericEditTest::takesTypedText()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(QString, shown);

    QLocale::setDefault(QLocale(locale));
    NumericEdit edit(2, QStringLiteral(" mm"));
    edit.setValue(3000.0);
    retype(edit, typed);
    QCOMPARE(edit.text(), typed);
    // Read while still being edited, the value is already the typed one.
    QCOMPARE(edit.value(), value);

    QSignalSpy finished(&edit, &QLineEdit::editingFinished);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(edit.value(), value);
    QCOMPARE(edit.text(), shown);
}

void NumericEditTest::focusLossTakesTheText()
{
    NumericEdit edit(2, QStringLiteral(" mm"));
    edit.setValue(3000.0);
    retype(edit, QStringLiteral("10"));
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&edit, &focusOut);
    QCOMPARE(edit.text(), QStringLiteral("10.00 mm"));
    QCOMPARE(edit.value(), 10.0);
}

void NumericEditTest::untouchedTextKeepsTheExactValue()
{
    NumericEdit edit(2, QStringLiteral(" mm"));
    const double upper = double(12.345f);
    edit.setValue(upper);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.value(), upper);
    QCOMPARE(edit.text(), QStringLiteral("12.35 mm"));
}

void NumericEditTest::setValueDropsAnEdit()
{
    NumericEdit edit(2, QStringLiteral(" mm"));
    retype(edit, QStringLiteral("99"));
    edit.setValue(5.0);
    QCOMPARE(edit.value(), 5.0);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.value(), 5.0);
    QCOMPARE(edit.text(), QStringLiteral("5.00 mm"));
}

void NumericEditTest::refusesCharactersOutsideNumberAndUnits_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");

    QTest::newRow("letters not in the units") << "en_US"
                                              << " mm"
                                              << "12abc m"
                                              << "12 m";
    QTest::newRow("plus and exponent") << "en_US"
                                       << " mm"
                                       << "+1e5"
                                       << "15";
    QTest::newRow("comma is no separator here") << "en_US"
                                                << " mm"
                                                << "1,5"
                                                << "15";
    QTest::newRow("comma is the separator here") << "de_DE"
                                                 << " mm"
                                                 << "1,5"
                                                 << "1,5";
    QTest::newRow("letters of other units") << "en_US"
                                            << " m/s"
                                            << "5 m/s x"
                                            << "5 m/s ";
    QTest::newRow("no units, no letters") << "en_US"
                                          << ""
                                          << "7 mm"
                                          << "7 ";
}

void NumericEditTest::refusesCharactersOutsideNumberAndUnits()
{
    QFETCH(QString, locale);
    QFETCH(QString, units);
    QFETCH(QString, typed);
    QFETCH(QString, text);

    QLocale::setDefault(QLocale(locale));
    NumericEdit edit(2, units);
    retype(edit, typed);
    QCOMPARE(edit.text(), text);
}

void NumericEditTest::holdsAtMostElevenCharacters()
{
    NumericEdit edit(2, QStringLiteral(" mm"));
    QCOMPARE(edit.maxLength(), 11);
    retype(edit, QStringLiteral("123456789012345"));
    QCOMPARE(edit.text(), QStringLiteral("12345678901"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.value(), 12345678901.0);
}

QTEST_MAIN(NumericEditTest)
#include "NumericEditTest.moc"
