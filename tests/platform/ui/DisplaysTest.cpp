#include "ui/NumericFigure.h"
#include "ui/SevenSegment.h"
#include "ui/StatusLight.h"

#include <QAccessible>
#include <QImage>
#include <QTest>

using sonmetra::ui::NumericFigure;
using sonmetra::ui::SevenSegment;
using sonmetra::ui::StatusLight;

namespace {

const QColor lime(0x00, 0xFF, 0x00);
const QColor red(0xFF, 0x00, 0x00);
const QColor green(0x00, 0x80, 0x00);

int pixelsOf(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                ++count;
        }
    }
    return count;
}

} // namespace

class DisplaysTest : public QObject
{
    Q_OBJECT

private slots:
    void segmentsShowTwoDecimals_data();
    void segmentsShowTwoDecimals();
    void segmentsPaintInTheirColour();
    void segmentsReadOutWhatTheyShow();
    void figureShowsDecimalsAndUnits_data();
    void figureShowsDecimalsAndUnits();
    void figureIsBoldAquaOnBlack();
    void statusLightShowsAndReportsItsState();
};

void DisplaysTest::segmentsShowTwoDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "0.00";
    QTest::newRow("reading") << 12.34 << "12.34";
    QTest::newRow("trailing zero kept") << 12.3 << "12.30";
    QTest::newRow("largest reading") << 655.35 << "655.35";
    QTest::newRow("single-precision reading") << double(1.99f) << "1.99";
    QTest::newRow("all six digits") << 3000.0 << "3000.00";
}

void DisplaysTest::segmentsShowTwoDecimals()
{
    QFETCH(double, value);
    QFETCH(QString, text);

    SevenSegment display;
    QCOMPARE(display.text(), QStringLiteral("0.00"));
    display.setValue(value);
    QCOMPARE(display.text(), text);
    QCOMPARE(display.value(), value);
}

void DisplaysTest::segmentsPaintInTheirColour()
{
    SevenSegment display;
    display.resize(138, 40);
    display.setValue(88.88);
    QCOMPARE(display.segmentColor(), lime);
    const QImage limeImage = display.grab().toImage();
    QVERIFY(pixelsOf(limeImage, lime) > 0);
    QCOMPARE(limeImage.pixelColor(0, 0), QColor(Qt::black));

    display.setSegmentColor(red);
    QCOMPARE(display.segmentColor(), red);
    const QImage redImage = display.grab().toImage();
    QCOMPARE(pixelsOf(redImage, lime), 0);
    QVERIFY(pixelsOf(redImage, red) > 0);

    // A display that turned red keeps its colour when it is set to 0.
    display.setValue(0.0);
    QCOMPARE(display.segmentColor(), red);
}

void DisplaysTest::segmentsReadOutWhatTheyShow()
{
    SevenSegment display;
    display.setValue(12.3);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&display);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("12.30"));
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("12.30"));

    display.setAccessibleName(QStringLiteral("Reading 10"));
    display.setValue(7.0);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Reading 10"));
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("7.00"));
}

void DisplaysTest::figureShowsDecimalsAndUnits_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("units");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("average") << 2 << " mm" << 12.34 << "12.34 mm";
    QTest::newRow("zero") << 2 << " mm" << 0.0 << "0.00 mm";
    QTest::newRow("rounded") << 2 << " mm" << 2.0 / 3.0 << "0.67 mm";
    QTest::newRow("counter") << 0 << "" << 37.0 << "37";
    QTest::newRow("counter at the cap") << 0 << "" << 65530.0 << "65530";
}

void DisplaysTest::figureShowsDecimalsAndUnits()
{
    QFETCH(int, decimals);
    QFETCH(QString, units);
    QFETCH(double, value);
    QFETCH(QString, text);

    NumericFigure figure(decimals, units);
    figure.setValue(value);
    QCOMPARE(figure.text(), text);
    QCOMPARE(figure.value(), value);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&figure);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), text);
    QCOMPARE(face->text(QAccessible::Value), text);
}

void DisplaysTest::figureIsBoldAquaOnBlack()
{
    NumericFigure figure(2, QStringLiteral(" mm"));
    QCOMPARE(figure.text(), QStringLiteral("0.00 mm"));
    QVERIFY(figure.font().bold());
    QVERIFY(figure.alignment() & Qt::AlignLeft);
    QCOMPARE(figure.palette().color(QPalette::WindowText), QColor(0x00, 0xFF, 0xFF));
    QCOMPARE(figure.palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(figure.autoFillBackground());
}

void DisplaysTest::statusLightShowsAndReportsItsState()
{
    StatusLight light;
    light.setAccessibleName(QStringLiteral("RX"));
    QCOMPARE(light.size(), QSize(10, 10));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&light);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("RX"));

    QVERIFY(!light.isLit());
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("dark"));
    QCOMPARE(light.grab().toImage().pixelColor(5, 5), green);

    light.setLit(true);
    QVERIFY(light.isLit());
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("lit"));
    QCOMPARE(light.grab().toImage().pixelColor(5, 5), red);
}

QTEST_MAIN(DisplaysTest)
#include "DisplaysTest.moc"
