#include "ui/BarChart.h"
#include "error/PlatformError.h"

#include <QAccessible>
#include <QImage>
#include <QTest>

using sonmetra::PlatformError;
using sonmetra::ui::BarChart;

namespace {

const QColor green(0x00, 0x80, 0x00);
const QColor red(0xFF, 0x00, 0x00);

void addBars(BarChart& chart, int count)
{
    for (int k = 1; k <= count; ++k)
        chart.addBar(k, k);
}

// Only red bars paint pixels this red: the background runs grey to orange, marks are pale yellow.
bool showsRed(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 40 && c.blue() < 40)
                return true;
        }
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(BarChart::BarRange)

class BarChartTest : public QObject
{
    Q_OBJECT

private slots:
    void startsEmptyWithTheStartWindow();
    void barsKeepPositionValueAndColour();
    void badIndexFailsLikeTheList_data();
    void badIndexFailsLikeTheList();
    void axisWindowOperations();
    void visibleBars_data();
    void visibleBars();
    void valueAxisRisesAboveTheLargestBar_data();
    void valueAxisRisesAboveTheLargestBar();
    void bottomLabelsAreWholeNumbersInTheWindow_data();
    void bottomLabelsAreWholeNumbersInTheWindow();
    void wideWindowThinsTheLabels();
    void markText_data();
    void markText();
    void paintsOnlyBarsInTheWindow();
    void everyPixelIsPainted_data();
    void everyPixelIsPainted();
    void picturesKeptFollowTheChart_data();
    void picturesKeptFollowTheChart();
    void everyChangeRepaints_data();
    void everyChangeRepaints();
    void accessibleSummary_data();
    void accessibleSummary();
};

void BarChartTest::startsEmptyWithTheStartWindow()
{
    const BarChart chart;
    QCOMPARE(chart.barCount(), 0);
    QCOMPARE(chart.axisMinimum(), 0.5);
    QCOMPARE(chart.axisMaximum(), 10.5);
    QCOMPARE(chart.title(), QStringLiteral("Sonmetra"));
}

void BarChartTest::barsKeepPositionValueAndColour()
{
    BarChart chart;
    chart.addBar(1, 12.34);
    chart.addBar(2, 0.0);
    chart.addBar(3, 655.35);
    chart.setBarColor(1, red);

    QCOMPARE(chart.barCount(), 3);
    QCOMPARE(chart.barX(2), 3.0);
    QCOMPARE(chart.barValue(0), 12.34);
    QCOMPARE(chart.barColor(0), green);
    QCOMPARE(chart.barColor(1), red);
    QCOMPARE(chart.barColor(2), green);

    chart.clearBars();
    QCOMPARE(chart.barCount(), 0);
    chart.addBar(1, 2.0);
    QCOMPARE(chart.barColor(0), green);
    QCOMPARE(chart.valueAxisMaximum(), 2.5);
}

void BarChartTest::badIndexFailsLikeTheList_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("below") << -1;
    QTest::newRow("one past the end") << 3;
}

void BarChartTest::badIndexFailsLikeTheList()
{
    QFETCH(int, index);
    BarChart chart;
    addBars(chart, 3);
    const QString expected = QStringLiteral("List index out of bounds (%1)").arg(index);
    try {
        chart.setBarColor(index, red);
        QFAIL("no failure for a bar that does not exist");
    } catch (const PlatformError& error) {
        QCOMPARE(error.message(), expected);
    }
    QVERIFY_THROWS_EXCEPTION(PlatformError, chart.barX(index));
    QVERIFY_THROWS_EXCEPTION(PlatformError, chart.barValue(index));
    QVERIFY_THROWS_EXCEPTION(PlatformError, chart.barColor(index));
}

void BarChartTest::axisWindowOperations()
{
    BarChart chart;
    chart.setAxisMaximum(31.5);
    QCOMPARE(chart.axisMinimum(), 0.5);
    QCOMPARE(chart.axisMaximum(), 31.5);
    chart.setAxisMinimum(21.5);
    QCOMPARE(chart.axisMinimum(), 21.5);

    chart.shiftAxis(+1);
    QCOMPARE(chart.axisMinimum(), 22.5);
    QCOMPARE(chart.axisMaximum(), 32.5);

    // No limit check: the window may leave the bars and go below zero.
    chart.shiftAxis(-30);
    QCOMPARE(chart.axisMinimum(), -7.5);
    QCOMPARE(chart.axisMaximum(), 2.5);
}

void BarChartTest::visibleBars_data()
{
    QTest::addColumn<QList<double>>("xs");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<BarChart::BarRange>("expected");

    QList<double> twentyFive;
    for (int k = 1; k <= 25; ++k)
        twentyFive << k;
    QTest::newRow("no bars") << QList<double>{} << 0.5 << 10.5 << BarChart::BarRange{0, 0};
    QTest::newRow("three bars, start window")
        << QList<double>{1, 2, 3} << 0.5 << 10.5 << BarChart::BarRange{0, 3};
    QTest::newRow("first page") << twentyFive << 0.5 << 10.5 << BarChart::BarRange{0, 10};
    QTest::newRow("paged forward once") << twentyFive << 1.5 << 11.5 << BarChart::BarRange{1, 10};
    QTest::newRow("last page") << twentyFive << 15.5 << 25.5 << BarChart::BarRange{15, 10};
    QTest::newRow("window past the end") << twentyFive << 20.5 << 30.5 << BarChart::BarRange{20, 5};
    QTest::newRow("window beyond all bars")
        << twentyFive << 30.5 << 40.5 << BarChart::BarRange{25, 0};
    QTest::newRow("window before all bars")
        << twentyFive << -20.5 << -10.5 << BarChart::BarRange{0, 0};
    QTest::newRow("ends on bars count them")
        << twentyFive << 3.0 << 7.0 << BarChart::BarRange{2, 5};
    QTest::newRow("bars sharing the last position")
        << QList<double>{1, 2, 3, 4, 5, 5, 5} << 0.5 << 10.5 << BarChart::BarRange{0, 7};
    QTest::newRow("inverted window shows nothing")
        << twentyFive << 10.5 << 0.5 << BarChart::BarRange{10, 0};
}

void BarChartTest::visibleBars()
{
    QFETCH(QList<double>, xs);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(BarChart::BarRange, expected);

    BarChart chart;
    for (const double x : xs)
        chart.addBar(x, 1.0);
    chart.setAxisMinimum(minimum);
    chart.setAxisMaximum(maximum);
    const BarChart::BarRange range = chart.visibleBars();
    QCOMPARE(range.first, expected.first);
    QCOMPARE(range.count, expected.count);
}

void BarChartTest::valueAxisRisesAboveTheLargestBar_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("maximum");

    QTest::newRow("no bars") << QList<double>{} << 2.0 << 10.0;
    QTest::newRow("only zeros") << QList<double>{0.0, 0.0} << 2.0 << 10.0;
    QTest::newRow("largest first") << QList<double>{12.34, 1.0, 3.0} << 2.0 << 14.0;
    QTest::newRow("largest last") << QList<double>{1.0, 3.0, 12.34} << 2.0 << 14.0;
    QTest::newRow("largest on a step") << QList<double>{14.0} << 2.0 << 16.0;
    QTest::newRow("small readings") << QList<double>{3.0} << 0.5 << 3.5;
    QTest::newRow("tiny readings") << QList<double>{0.3} << 0.05 << 0.35;
    QTest::newRow("largest reading") << QList<double>{655.35} << 100.0 << 700.0;
}

void BarChartTest::valueAxisRisesAboveTheLargestBar()
{
    QFETCH(QList<double>, values);
    QFETCH(double, step);
    QFETCH(double, maximum);

    BarChart chart;
    double x = 1;
    for (const double value : values)
        chart.addBar(x++, value);
    QCOMPARE(chart.valueAxisStep(), step);
    QCOMPARE(chart.valueAxisMaximum(), maximum);
}

void BarChartTest::bottomLabelsAreWholeNumbersInTheWindow_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    QTest::newRow("start window") << 0.5 << 10.5 << 1 << 10;
    QTest::newRow("paged forward") << 1.5 << 11.5 << 2 << 11;
    QTest::newRow("ends on whole numbers") << 0.0 << 10.0 << 0 << 10;
    QTest::newRow("below zero") << -4.5 << 5.5 << -4 << 5;
    QTest::newRow("at the reading cap") << 65520.5 << 65530.5 << 65521 << 65530;
}

void BarChartTest::bottomLabelsAreWholeNumbersInTheWindow()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, first);
    QFETCH(int, last);

    BarChart chart;
    chart.resize(chart.sizeHint());
    chart.setAxisMinimum(minimum);
    chart.setAxisMaximum(maximum);
    std::vector<int> expected;
    for (int n = first; n <= last; ++n)
        expected.push_back(n);
    QCOMPARE(chart.bottomAxisLabels(), expected);
}

void BarChartTest::wideWindowThinsTheLabels()
{
    BarChart chart;
    chart.resize(chart.sizeHint());
    chart.setAxisMinimum(0.5);
    chart.setAxisMaximum(65530.5);
    const std::vector<int> labels = chart.bottomAxisLabels();
    QVERIFY(labels.size() >= 2);
    QVERIFY(labels.size() <= 20);
    const int step = labels[1] - labels[0];
    for (std::size_t i = 1; i < labels.size(); ++i)
        QCOMPARE(labels[i] - labels[i - 1], step);
    QVERIFY(labels.front() >= 0.5);
    QVERIFY(labels.back() <= 65530.5);
}

void BarChartTest::markText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "0.00";
    QTest::newRow("one decimal") << 12.3 << "12.30";
    QTest::newRow("two decimals") << 12.34 << "12.34";
    QTest::newRow("whole") << 3000.0 << "3000.00";
    QTest::newRow("largest reading") << 655.35 << "655.35";
    // Readings are single precision; widened they must not show their binary tail.
    QTest::newRow("single-precision reading") << double(12.34f) << "12.34";
    QTest::newRow("single-precision hundredth") << double(0.07f) << "0.07";
}

void BarChartTest::markText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(BarChart::markText(value), text);
}

void BarChartTest::paintsOnlyBarsInTheWindow()
{
    BarChart chart;
    chart.resize(chart.sizeHint());
    addBars(chart, 25);
    chart.setBarColor(14, red);

    QVERIFY(!showsRed(chart.grab().toImage()));
    chart.shiftAxis(+10);
    QVERIFY(showsRed(chart.grab().toImage()));
    chart.setBarColor(14, green);
    QVERIFY(!showsRed(chart.grab().toImage()));
}

void BarChartTest::everyPixelIsPainted_data()
{
    QTest::addColumn<int>("bars");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("empty") << 0 << 0.5 << 10.5;
    QTest::newRow("a page") << 10 << 0.5 << 10.5;
    QTest::newRow("partly filled") << 3 << 0.5 << 10.5;
    QTest::newRow("cut by both edges") << 20 << 3.2 << 12.9;
    QTest::newRow("bars overlapping in a wide window") << 3000 << 0.5 << 3000.5;
}

// The chart declares itself opaque, so whatever it leaves unpainted shows what was there before.
void BarChartTest::everyPixelIsPainted()
{
    QFETCH(int, bars);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    BarChart chart;
    chart.resize(chart.sizeHint());
    for (int k = 1; k <= bars; ++k)
        chart.addBar(k, 5.0 + (k * 7) % 11);
    chart.setAxisMinimum(minimum);
    chart.setAxisMaximum(maximum);

    const QColor unpainted(0xFF, 0x00, 0xFF);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(unpainted);
    chart.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == unpainted)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) not painted").arg(x).arg(y)));
        }
    }
}

void BarChartTest::picturesKeptFollowTheChart_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("scale raised by a tall bar") << 0;
    QTest::newRow("title changed") << 1;
    QTest::newRow("resized") << 2;
    QTest::newRow("font changed") << 3;
    QTest::newRow("bar recoloured and lowered") << 4;
}

// A chart that has painted before and then changes shows what a chart drawn afresh in the same
// state shows: nothing of an earlier picture is left behind.
void BarChartTest::picturesKeptFollowTheChart()
{
    QFETCH(int, change);
    const auto apply = [change](BarChart& chart) {
        switch (change) {
        case 0:
            chart.addBar(4, 250.0);
            break;
        case 1:
            chart.setTitle(QStringLiteral("Thickness"));
            break;
        case 2:
            chart.resize(400, 300);
            break;
        case 3:
            chart.setFont(QFont(QStringLiteral("Arial"), 14));
            break;
        case 4:
            chart.setBarColor(1, red);
            chart.setBarValue(2, 0.5);
            break;
        }
    };
    BarChart used;
    used.resize(used.sizeHint());
    addBars(used, 3);
    static_cast<void>(used.grab());
    apply(used);

    BarChart fresh;
    fresh.resize(fresh.sizeHint());
    addBars(fresh, 3);
    apply(fresh);
    QCOMPARE(used.grab().toImage(), fresh.grab().toImage());
}

void BarChartTest::everyChangeRepaints_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("clearBars") << 0;
    QTest::newRow("addBar") << 1;
    QTest::newRow("setBarColor") << 2;
    QTest::newRow("setAxisMinimum") << 3;
    QTest::newRow("setAxisMaximum") << 4;
    QTest::newRow("shiftAxis") << 5;
    QTest::newRow("setTitle") << 6;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void BarChartTest::everyChangeRepaints()
{
    QFETCH(int, change);
    BarChart chart;
    addBars(chart, 3);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    PaintCounter counter;
    chart.installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;

    switch (change) {
    case 0:
        chart.clearBars();
        break;
    case 1:
        chart.addBar(4, 4.0);
        break;
    case 2:
        chart.setBarColor(0, red);
        break;
    case 3:
        chart.setAxisMinimum(1.5);
        break;
    case 4:
        chart.setAxisMaximum(11.5);
        break;
    case 5:
        chart.shiftAxis(1);
        break;
    case 6:
        chart.setTitle(QStringLiteral("Thickness"));
        break;
    }
    QTRY_VERIFY(counter.paints > 0);
}

void BarChartTest::accessibleSummary_data()
{
    QTest::addColumn<int>("bars");
    QTest::addColumn<double>("shift");
    QTest::addColumn<QString>("summary");

    QTest::newRow("empty") << 0 << 0.0 << "Window 0.5 to 10.5, no bars";
    QTest::newRow("first page") << 25 << 0.0 << "Window 0.5 to 10.5, bars 1 to 10 of 25";
    QTest::newRow("paged forward") << 25 << 1.0 << "Window 1.5 to 11.5, bars 2 to 11 of 25";
    QTest::newRow("partly filled") << 3 << 0.0 << "Window 0.5 to 10.5, bars 1 to 3 of 3";
    QTest::newRow("nothing in view") << 5 << 10.0 << "Window 10.5 to 20.5, no bars in view of 5";
}

void BarChartTest::accessibleSummary()
{
    QFETCH(int, bars);
    QFETCH(double, shift);
    QFETCH(QString, summary);

    BarChart chart;
    addBars(chart, bars);
    chart.shiftAxis(shift);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&chart);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::Chart);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Readings chart"));
    QCOMPARE(face->text(QAccessible::Value), summary);
    QCOMPARE(face->text(QAccessible::Description), summary);
}

QTEST_MAIN(BarChartTest)
#include "BarChartTest.moc"
