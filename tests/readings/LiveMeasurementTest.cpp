// Live measurement end to end: START, readings from the simulator, STOP and the instrument's own
// end, readings appended to what the set holds, the cap.

#include "app/MainWindow.h"
#include "gauge-sim/GaugeSimulator.h"
#include "link/CommRec.h"
#include "link/codec/PacketCodec.h"
#include "readings/DataSet.h"
#include "readings/LiveReadings.h"
#include "support/LinkFixture.h"
#include "support/Records.h"
#include "ui/BarChart.h"
#include "ui/MessageRecorder.h"
#include "ui/SevenSegment.h"
#include "ui/SwitchLight.h"

#include <QLabel>
#include <QTest>

#include <memory>

using namespace sonmetra;

class TestLiveMeasurement : public QObject
{
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<test::LinkFixture>(); }
    void cleanup() { f.reset(); }

    void rawReadings_data()
    {
        QTest::addColumn<quint16>("raw");
        QTest::addColumn<float>("mm");
        QTest::newRow("12.34") << quint16(0x04D2) << 12.34f;
        QTest::newRow("zero") << quint16(0) << 0.0f;
        QTest::newRow("largest") << quint16(65535) << 655.35f;
        QTest::newRow("100.00") << quint16(10000) << 100.0f;
    }

    void rawReadings()
    {
        QFETCH(quint16, raw);
        QTEST(readingFromRaw(raw), "mm");
    }

    void measureThenStop()
    {
        QVERIFY(f->connectInstrument());
        f->window->btnWaitData->click();
        QCOMPARE(f->awaitReceived("HW"), QStringLiteral("HW"));
        QCOMPARE(CommRec.Task, ctMeasuring);
        QCOMPARE(f->window->btnWaitData->text(), QStringLiteral("STOP"));
        QCOMPARE(f->window->btnWaitData->toolTip(), QStringLiteral("Stop measurement"));
        QCOMPARE(f->window->statusPanel(1), QStringLiteral("  Receiving measurement data..."));
        for (ui::SwitchLight* b :
             {f->window->btnSave, f->window->btnDb, f->window->btnLimit, f->window->btnReadFile})
            QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
        QCOMPARE(DataRec.Source, dsInstrument);

        f->gauge->sendRawPacket(0, 'D', QByteArray("\xD2\x04", 2));
        QTRY_COMPARE(DataRec.Count, 1);
        QCOMPARE(DataRec.Readings[1], 12.34f);
        QCOMPARE(f->window->SegDisplays[9]->value(), double(12.34f));

        // Four data bytes: one reading, from the first two.
        f->gauge->sendRawPacket(0, 'D', QByteArray("\x10\x27\xFF\xFF", 4));
        QTRY_COMPARE(DataRec.Count, 2);
        QCOMPARE(DataRec.Readings[2], 100.0f);

        // Fewer than two data bytes carry no reading.
        f->gauge->sendRawPacket(0, 'D', QByteArray("\x10", 1));
        f->gauge->sendRawPacket(0, 'D', QByteArray());
        test::LinkFixture::settle();
        QCOMPARE(DataRec.Count, 2);

        for (quint16 raw = 1003; raw <= 1011; ++raw)
            f->gauge->sendReading(raw);
        QTRY_COMPARE(DataRec.Count, 11);
        QCOMPARE(f->window->Chart1->axisMinimum(), 1.5);
        QCOMPARE(f->window->Chart1->axisMaximum(), 11.5);
        QCOMPARE(f->window->lblMin->text(), QStringLiteral("2"));

        f->gauge->setAnswerStop(true);
        f->window->btnWaitData->click();
        QCOMPARE(f->awaitReceived("HWZ"), QStringLiteral("HWZ"));
        QCOMPARE(CommRec.Task, ctIdle);
        QCOMPARE(f->window->btnWaitData->text(), QStringLiteral("START"));
        QCOMPARE(f->window->btnWaitData->toolTip(), QStringLiteral("START MEASURE "));
        QVERIFY(f->window->statusPanel(1).isEmpty());
        QVERIFY(f->window->btnPrint->isEnabled());
        // The instrument's late answer to STOP arrives while idle and changes nothing.
        test::LinkFixture::settle();
        QCOMPARE(CommRec.Task, ctIdle);
        QVERIFY(f->messages->messages().empty());
        QCOMPARE(DataRec.Count, 11);
    }

    void instrumentEndsTheMeasurement()
    {
        QVERIFY(f->connectInstrument());
        f->window->btnWaitData->click();
        QCOMPARE(f->awaitReceived("HW"), QStringLiteral("HW"));
        f->gauge->sendEndOfMeasurement();
        QTRY_COMPARE(CommRec.Task, ctIdle);
        QCOMPARE(f->window->btnWaitData->text(), QStringLiteral("START"));
        QVERIFY(!f->window->btnPrint->isEnabled()); // no readings yet
        QVERIFY(f->window->btnReadFile->isEnabled());
        test::LinkFixture::settle();
        QCOMPARE(f->received(), QStringLiteral("HW"));
    }

    void fastPairOfClicksStartsAndStops()
    {
        QVERIFY(f->connectInstrument());
        QTest::mouseClick(f->window->btnWaitData, Qt::LeftButton);
        QTest::mouseDClick(f->window->btnWaitData, Qt::LeftButton);
        QCOMPARE(f->awaitReceived("HWZ"), QStringLiteral("HWZ"));
        QCOMPARE(CommRec.Task, ctIdle);
    }

    void readingsContinueAfterWhatTheSetHolds()
    {
        QVERIFY(f->connectInstrument());
        test::setReadings({1.0f, 2.0f, 3.0f});
        DataRec.Source = dsNothing;
        f->window->RedrawAll();
        f->window->btnWaitData->click();
        QCOMPARE(DataRec.Source, dsInstrument);
        f->gauge->sendReading(444);
        QTRY_COMPARE(DataRec.Count, 4);
        QCOMPARE(DataRec.Readings[4], 4.44f);
        QCOMPARE(f->window->lblMax->text(), QStringLiteral("4"));
    }

    void clearWhileMeasuringStartsAgainAtReadingOne()
    {
        QVERIFY(f->connectInstrument());
        f->window->btnWaitData->click();
        f->gauge->sendReading(500);
        f->gauge->sendReading(600);
        QTRY_COMPARE(DataRec.Count, 2);
        f->messages->queueAnswer(ui::MessageAnswer::Yes);
        f->window->btnClear->click();
        QCOMPARE(DataRec.Count, 0);
        QCOMPARE(CommRec.Task, ctMeasuring);
        f->gauge->sendReading(700);
        QTRY_COMPARE(DataRec.Count, 1);
        QCOMPARE(DataRec.Readings[1], 7.0f);
        QCOMPARE(DataRec.Source, dsNothing);
        QCOMPARE(f->window->Chart1->barCount(), 1);
    }

    void newestReplacesTheLastAtTheCap()
    {
        QVERIFY(f->connectInstrument());
        test::setReadings(MaxReadings - 1, 5.0f);
        f->window->RedrawAll();
        f->window->btnWaitData->click();
        f->gauge->sendReading(1111);
        QTRY_COMPARE(DataRec.Count, MaxReadings);
        QCOMPARE(DataRec.PageEnd, MaxReadings);
        f->gauge->sendReading(2222);
        f->gauge->sendReading(3333);
        QTRY_COMPARE(DataRec.Readings[MaxReadings], 33.33f);
        QCOMPARE(DataRec.Count, MaxReadings);
        QCOMPARE(DataRec.PageEnd, MaxReadings);
        // One bar per reading, the last one showing the newest.
        QCOMPARE(f->window->Chart1->barCount(), MaxReadings);
        QCOMPARE(f->window->Chart1->barValue(MaxReadings - 1), double(33.33f));
        QCOMPARE(f->window->Chart1->axisMaximum(), MaxReadings + 0.5);
        QCOMPARE(f->window->Chart1->axisMinimum(), MaxReadings - 9.5);
        QCOMPARE(f->window->SegDisplays[9]->value(), double(33.33f));
        QCOMPARE(f->window->SegDisplays[8]->value(), 5.0);
    }

private:
    std::unique_ptr<test::LinkFixture> f;
};

QTEST_MAIN(TestLiveMeasurement)
#include "LiveMeasurementTest.moc"
