// The readings view of the main window: chart window, displays, labels, figures, paging, CLEAR.

#include "app/MainWindow.h"
#include "readings/DataSet.h"
#include "readings/LimitState.h"
#include "support/Records.h"
#include "ui/Arrow.h"
#include "ui/BarChart.h"
#include "ui/MessageRecorder.h"
#include "ui/NumericFigure.h"
#include "ui/SevenSegment.h"
#include "ui/SwitchLight.h"

#include <QLabel>
#include <QTest>

#include <memory>

using namespace sonmetra;

namespace {

const QColor Red(0xFF, 0x00, 0x00);
const QColor Green(0x00, 0x80, 0x00);
const QColor Lime(0x00, 0xFF, 0x00);

} // namespace

class TestReadingsView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        test::resetRecords();
        window = std::make_unique<TfrmMain>();
        recorder = std::make_unique<ui::MessageRecorder>();
        recorded.clear();
    }

    void cleanup()
    {
        recorder.reset();
        window.reset();
    }

    void threeReadings()
    {
        test::setReadings({1.0f, 2.0f, 3.0f});
        window->RedrawAll();
        QCOMPARE(window->Chart1->barCount(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(window->Chart1->barX(i), double(i + 1));
            QCOMPARE(window->Chart1->barValue(i), double(i + 1));
        }
        expectWindow(0.5, 10.5);
        QCOMPARE(display(10), 3.0);
        QCOMPARE(display(9), 2.0);
        QCOMPARE(display(8), 1.0);
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(display(i), 0.0);
        QCOMPARE(window->lblMax->text(), QStringLiteral("3"));
        QVERIFY(window->lblMin->text().isEmpty());
        QCOMPARE(window->ledAverage->value(), 2.0);
        QCOMPARE(window->ledSDEV->value(), 1.0);
        QCOMPARE(window->ledMax->value(), 3.0);
        QCOMPARE(window->ledMin->value(), 1.0);
        QCOMPARE(window->ledCounter->value(), 3.0);
        QCOMPARE(window->ledAverage->text(), QStringLiteral("2.00 mm"));
        QCOMPARE(window->ledCounter->text(), QStringLiteral("3"));
        QCOMPARE(DataRec.PageEnd, 3);
    }

    void redrawShowsTheOldestPage()
    {
        test::setAscendingReadings(25);
        window->RedrawAll();
        QCOMPARE(DataRec.PageEnd, 10);
        expectWindow(0.5, 10.5);
        QCOMPARE(window->lblMax->text(), QStringLiteral("10"));
        QCOMPARE(window->lblMin->text(), QStringLiteral("1"));
        QCOMPARE(display(10), 10.0);
        QCOMPARE(display(1), 1.0);
        QCOMPARE(window->ledCounter->value(), 25.0);
    }

    void paging()
    {
        test::setAscendingReadings(25);
        window->RedrawAll();

        window->PageBack(); // at the oldest page: nothing
        QCOMPARE(DataRec.PageEnd, 10);
        expectWindow(0.5, 10.5);

        window->PageForward();
        QCOMPARE(DataRec.PageEnd, 11);
        expectWindow(1.5, 11.5);
        QCOMPARE(window->lblMax->text(), QStringLiteral("11"));
        QCOMPARE(window->lblMin->text(), QStringLiteral("2"));
        QCOMPARE(display(10), 11.0);
        QCOMPARE(display(1), 2.0);

        for (int i = 0; i < 20; ++i)
            window->PageForward(); // stops at the newest reading
        QCOMPARE(DataRec.PageEnd, 25);
        expectWindow(15.5, 25.5);

        window->PageBack();
        QCOMPARE(DataRec.PageEnd, 24);
        expectWindow(14.5, 24.5);
    }

    void arrowsPageOncePerClickAndLightWhileHeld()
    {
        test::setAscendingReadings(25);
        window->RedrawAll();
        QVERIFY(!window->ArrowUp->isLit());
        QTest::mousePress(window->ArrowUp, Qt::LeftButton);
        QVERIFY(window->ArrowUp->isLit());
        QCOMPARE(DataRec.PageEnd, 10);
        QTest::mouseRelease(window->ArrowUp, Qt::LeftButton);
        QVERIFY(!window->ArrowUp->isLit());
        QCOMPARE(DataRec.PageEnd, 11);

        QTest::mouseClick(window->ArrowDown, Qt::LeftButton);
        QCOMPARE(DataRec.PageEnd, 10);
        QVERIFY(!window->ArrowDown->isLit());
    }

    void eleventhReadingMovesTheWindow()
    {
        for (int n = 1; n <= 11; ++n)
            appendReading(static_cast<float>(n));
        expectWindow(1.5, 11.5);
        QCOMPARE(display(10), 11.0);
        QCOMPARE(display(1), 2.0);
        QCOMPARE(window->lblMin->text(), QStringLiteral("2"));
        QCOMPARE(window->ledCounter->value(), 11.0);
    }

    void firstTenReadingsFillTheWindowFromTheLeft()
    {
        for (int n = 1; n <= 10; ++n) {
            appendReading(static_cast<float>(n));
            expectWindow(0.5, 10.5);
            QCOMPARE(display(10), double(n));
        }
    }

    void newReadingAfterPagingBackJumpsToTheNewest()
    {
        test::setAscendingReadings(30);
        window->RedrawAll();
        for (int i = 0; i < 2; ++i)
            window->PageForward(); // page ends at 12
        QCOMPARE(DataRec.PageEnd, 12);
        appendReading(31);
        expectWindow(21.5, 31.5);
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(display(i), double(21 + i));
        QCOMPARE(window->lblMax->text(), QStringLiteral("31"));
    }

    void limitColours()
    {
        LimitOn = 1;
        UpperLimit = 10.0f;
        LowerLimit = 2.0f;
        test::setReadings({10.0f, 2.0f, 10.01f, 1.99f});
        window->RedrawAll();
        const QColor bars[] = {Green, Green, Red, Red};
        const QColor segments[] = {Lime, Lime, Red, Red};
        for (int k = 1; k <= 4; ++k) {
            QCOMPARE(window->Chart1->barColor(k - 1), bars[k - 1]);
            QCOMPARE(window->SegDisplays[static_cast<std::size_t>(6 + k - 1)]->segmentColor(),
                     segments[k - 1]);
        }
    }

    void redDisplayStaysRedWhenEmptied()
    {
        LimitOn = 1;
        UpperLimit = 10.0f;
        LowerLimit = 2.0f;
        test::setReadings({50.0f});
        window->RedrawAll();
        QCOMPARE(window->SegDisplays[9]->segmentColor(), Red);
        test::setReadings({5.0f, 6.0f});
        window->RedrawAll();
        QCOMPARE(window->SegDisplays[9]->segmentColor(), Lime); // shows reading 2 now
        QCOMPARE(window->SegDisplays[8]->segmentColor(), Lime);
        window->ShowPage(1); // the top display now shows reading 1; the one below is empty
        QCOMPARE(display(9), 0.0);
        window->ClearView();
        QCOMPARE(display(10), 0.0);
        QCOMPARE(window->SegDisplays[9]->segmentColor(), Lime);

        test::setReadings({50.0f});
        window->RedrawAll();
        window->ClearView();
        QCOMPARE(display(10), 0.0);
        QCOMPARE(window->SegDisplays[9]->segmentColor(), Red);
    }

    void redrawOfAnEmptySetLeavesTheView()
    {
        test::setAscendingReadings(12);
        window->RedrawAll();
        window->PageForward();
        DataRec.Count = 0;
        window->RedrawAll();
        QCOMPARE(window->Chart1->barCount(), 12);
        QCOMPARE(DataRec.PageEnd, 11);
        QCOMPARE(window->lblMax->text(), QStringLiteral("11"));
    }

    void clear_data()
    {
        QTest::addColumn<ui::MessageAnswer>("answer");
        QTest::newRow("No") << ui::MessageAnswer::No;
        QTest::newRow("Yes") << ui::MessageAnswer::Yes;
    }

    void clear()
    {
        QFETCH(ui::MessageAnswer, answer);
        test::setAscendingReadings(25);
        window->RedrawAll();
        window->PageForward();
        bool litWhileAsked = false;
        ui::setMessageAnswerer([&](const ui::Message& m) {
            litWhileAsked = window->btnClear->isLit();
            recorded.push_back(m);
            return answer;
        });
        window->btnClear->click();
        QCOMPARE(recorded.size(), 1);
        QCOMPARE(
            recorded.front().text,
            QStringLiteral(
                "You will delete the measure data currently displayed! \r\n\r\nAre you sure?"));
        QCOMPARE(recorded.front().title, QStringLiteral("Data Delete"));
        QCOMPARE(recorded.front().icon, ui::MessageIcon::Question);
        QCOMPARE(recorded.front().buttons, ui::MessageButtons::YesNo);
        QVERIFY(litWhileAsked);
        QVERIFY(!window->btnClear->isLit());
        if (answer == ui::MessageAnswer::No) {
            QCOMPARE(DataRec.Count, 25);
            QCOMPARE(DataRec.PageEnd, 11);
            QCOMPARE(window->Chart1->barCount(), 25);
            expectWindow(1.5, 11.5);
            QCOMPARE(window->lblMax->text(), QStringLiteral("11"));
            return;
        }
        QCOMPARE(DataRec.Count, 0);
        QCOMPARE(DataRec.PageEnd, 0);
        QCOMPARE(window->Chart1->barCount(), 0);
        expectWindow(0.5, 10.5);
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(display(i), 0.0);
        QVERIFY(window->lblMax->text().isEmpty());
        QVERIFY(window->lblMin->text().isEmpty());
        for (ui::NumericFigure* f : {window->ledAverage, window->ledSDEV, window->ledMax,
                                     window->ledMin, window->ledCounter})
            QCOMPARE(f->value(), 0.0);
    }

    void clearOnDoubleClickAsksAgain()
    {
        ui::MessageRecorder answers(ui::MessageAnswer::No);
        QTest::mouseClick(window->btnClear, Qt::LeftButton);
        QTest::mouseDClick(window->btnClear, Qt::LeftButton);
        // The first click of the pair and the double-click each run CLEAR.
        QCOMPARE(answers.messages().size(), std::size_t(2));
    }

private:
    double display(int i) const
    {
        return window->SegDisplays[static_cast<std::size_t>(i - 1)]->value();
    }

    void expectWindow(double minimum, double maximum) const
    {
        QCOMPARE(window->Chart1->axisMinimum(), minimum);
        QCOMPARE(window->Chart1->axisMaximum(), maximum);
    }

    void appendReading(float v)
    {
        ++DataRec.Count;
        DataRec.PageEnd = DataRec.Count;
        DataRec.Readings[DataRec.Count] = v;
        window->AppendReading();
    }

    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<ui::MessageRecorder> recorder;
    QList<ui::Message> recorded;
};

QTEST_MAIN(TestReadingsView)
#include "ReadingsViewTest.moc"
