// The main window: its layout, its state right after start and the enable/light table.

#include "app/MainWindow.h"
#include "readings/DataSet.h"
#include "support/Records.h"
#include "ui/NumericFigure.h"
#include "ui/SevenSegment.h"
#include "ui/StatusLight.h"
#include "ui/SwitchLight.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace sonmetra;

Q_DECLARE_METATYPE(Situation)

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        test::resetRecords();
        window = std::make_unique<TfrmMain>();
    }

    void cleanup() { window.reset(); }

    void layout()
    {
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Sonmetra  for Ultrasonic Thickness Gauge ----V2.20"));
        QCOMPARE(window->size(), QSize(803, 524));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));

        struct Expected
        {
            ui::SwitchLight* button;
            int left;
            const char* caption;
            const char* hint;
        };
        const Expected row[] = {
            {window->btnSave, 10, "SAVE", "Save Current Data"},
            {window->btnDb, 73, "LOAD", "Load data from Database"},
            {window->btnPrint, 136, "PRINT", "Print Data"},
            {window->btnLimit, 199, "LIMIT", "Limit Setting"},
            {window->btnClear, 262, "CLEAR", "Clear Current Data Cache"},
            {window->btnComm, 325, "CONN", "Connect to the Instrument"},
            {window->btnWaitData, 388, "START", "START MEASUREMENT"},
            {window->btnReadFile, 451, "FILE",
             "Download Measurement Data File Stored In The Instrument"},
        };
        for (const Expected& e : row) {
            QCOMPARE(e.button->geometry().topLeft(), QPoint(e.left, 428));
            QCOMPARE(e.button->text(), QString::fromLatin1(e.caption));
            QCOMPARE(e.button->toolTip(), QString::fromLatin1(e.hint));
        }
        QCOMPARE(window->btnFiles->x(), 511);
        QCOMPARE(window->btnFiles->toolTip(), QStringLiteral("Display the file downloaded"));

        QCOMPARE(window->panData->geometry(), QRect(568, 10, 225, 447));
        for (int i = 1; i <= 10; ++i) {
            const ui::SevenSegment* display = window->SegDisplays[static_cast<std::size_t>(i - 1)];
            QCOMPARE(display->objectName(), QStringLiteral("seg%1").arg(i));
            QCOMPARE(display->geometry(), QRect(25, 24 + (10 - i) * 40, 138, 40));
        }

        QStringList captions;
        for (const QLabel* label : window->findChildren<QLabel*>())
            if (label->buddy())
                captions << label->text();
        for (const char* caption : {"Average:", "StdDev:", "Maxinum:", "Mininum:", "Number:"})
            QVERIFY2(captions.contains(QString::fromLatin1(caption)), caption);
    }

    void stateRightAfterStart()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(enabledCommands(), QStringLiteral("SAVE LOAD LIMIT CLEAR CONN"));
        QVERIFY(window->btnFiles->isHidden());
        QCOMPARE(window->statusPanel(0), QStringLiteral("No connect to instrument"));
        QVERIFY(window->statusPanel(1).isEmpty());
        for (ui::SwitchLight* b : buttons())
            QVERIFY2(!b->isLit(), qPrintable(b->text()));
        QVERIFY(!window->ApdStatusLight1->isLit());
        QVERIFY(!window->ApdStatusLight2->isLit());
        QVERIFY(window->lblMax->text().isEmpty());
        QVERIFY(window->lblMin->text().isEmpty());
        QCOMPARE(window->ledAverage->text(), QStringLiteral("0.00 mm"));
        QCOMPARE(window->ledCounter->text(), QStringLiteral("0"));
        QCOMPARE(DataRec.Velocity, 5000);
        QCOMPARE(DataRec.Sensor, 1);
    }

    void accessibility()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QAccessibleInterface* conn = QAccessible::queryAccessibleInterface(window->btnComm);
        QVERIFY(conn);
        QCOMPARE(conn->text(QAccessible::Name), QStringLiteral("CONN"));
        QCOMPARE(conn->text(QAccessible::Description), QStringLiteral("Connect to the Instrument"));
        QVERIFY(conn->state().checkable);
        QVERIFY(!conn->state().checked);

        QAccessibleInterface* start = QAccessible::queryAccessibleInterface(window->btnWaitData);
        QVERIFY(start->state().disabled);

        window->enterSituation(Situation::Connected);
        QCOMPARE(conn->text(QAccessible::Name), QStringLiteral("DISCON"));
        QCOMPARE(conn->text(QAccessible::Description), QStringLiteral("Disconnect "));
        QVERIFY(conn->state().checked);

        QAccessibleInterface* files = QAccessible::queryAccessibleInterface(window->btnFiles);
        QCOMPARE(files->text(QAccessible::Name), QStringLiteral("Display the file downloaded"));

        QAccessibleInterface* panel0 = QAccessible::queryAccessibleInterface(window->statusPanel0);
        QCOMPARE(panel0->text(QAccessible::Name), QStringLiteral("No connect to instrument"));
    }

    // Each row: the situations entered in order, then the commands enabled afterwards, the lit
    // ones, the captions of CONN and START, START's hint and whether the file button shows.
    void situations_data()
    {
        QTest::addColumn<QList<Situation>>("path");
        QTest::addColumn<bool>("withData");
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("lit");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("startHint");
        QTest::addColumn<bool>("filesShown");
        using S = Situation;
        QTest::newRow("connecting") << QList<S>{S::Connecting} << false << "SAVE LOAD LIMIT CLEAR"
                                    << ""
                                    << "CONN START"
                                    << "START MEASUREMENT" << false;
        QTest::newRow("connect aborted")
            << QList<S>{S::Connecting, S::ConnectAborted} << false << "SAVE LOAD LIMIT CLEAR CONN"
            << ""
            << "CONN START"
            << "START MEASUREMENT" << false;
        QTest::newRow("connected") << QList<S>{S::Connecting, S::Connected} << false
                                   << "SAVE LOAD LIMIT CLEAR DISCON START FILE"
                                   << "DISCON"
                                   << "DISCON START"
                                   << "START MEASUREMENT" << false;
        QTest::newRow("measuring")
            << QList<S>{S::Connected, S::Measuring} << false << "CLEAR DISCON STOP"
            << "DISCON"
            << "DISCON STOP"
            << "Stop measurement" << false;
        QTest::newRow("stopped without data")
            << QList<S>{S::Connected, S::Measuring, S::MeasureStopped} << false
            << "SAVE LOAD LIMIT CLEAR DISCON START FILE"
            << "DISCON"
            << "DISCON START"
            << "START MEASURE " << false;
        QTest::newRow("stopped with data")
            << QList<S>{S::Connected, S::Measuring, S::MeasureStopped} << true
            << "SAVE LOAD PRINT LIMIT CLEAR DISCON START FILE"
            << "DISCON"
            << "DISCON START"
            << "START MEASURE " << false;
        QTest::newRow("downloading")
            << QList<S>{S::Connected, S::Downloading} << false << "CLEAR DISCON"
            << "DISCON FILE"
            << "DISCON START"
            << "START MEASUREMENT" << false;
        QTest::newRow("download finished")
            << QList<S>{S::Connected, S::Downloading, S::DownloadFinished} << false
            << "SAVE LOAD LIMIT CLEAR DISCON START FILE"
            << "DISCON"
            << "DISCON START"
            << "START MEASUREMENT" << true;
        QTest::newRow("download failed")
            << QList<S>{S::Connected, S::Downloading, S::DownloadFailed} << false
            << "SAVE LOAD LIMIT CLEAR DISCON START FILE"
            << "DISCON"
            << "DISCON START"
            << "START MEASUREMENT" << false;
        QTest::newRow("disconnecting during a download")
            << QList<S>{S::Connected, S::Downloading, S::Disconnecting} << false << "CLEAR"
            << "DISCON FILE"
            << "DISCON START"
            << "START MEASUREMENT" << false;
        QTest::newRow("disconnected after a download cut off")
            << QList<S>{S::Connected, S::Downloading, S::Disconnecting, S::MeasureStopped,
                        S::Disconnected}
            << true << "SAVE LOAD PRINT LIMIT CLEAR CONN"
            << "FILE"
            << "CONN START"
            << "START MEASURE " << false;
        QTest::newRow("file button stays after disconnect")
            << QList<S>{S::Connected,     S::Downloading,    S::DownloadFinished,
                        S::Disconnecting, S::MeasureStopped, S::Disconnected}
            << false << "SAVE LOAD LIMIT CLEAR CONN"
            << ""
            << "CONN START"
            << "START MEASURE " << true;
        QTest::newRow("data set shown")
            << QList<S>{S::DataSetShown} << false << "SAVE LOAD PRINT LIMIT CLEAR CONN"
            << ""
            << "CONN START"
            << "START MEASUREMENT" << false;
    }

    void situations()
    {
        QFETCH(QList<Situation>, path);
        QFETCH(bool, withData);
        if (withData)
            test::setReadings({1.5f});
        for (Situation s : path)
            window->enterSituation(s);
        QTEST(enabledCommands(), "enabled");
        QTEST(litCommands(), "lit");
        QTEST(window->btnComm->text() + QLatin1Char(' ') + window->btnWaitData->text(), "captions");
        QTEST(window->btnWaitData->toolTip(), "startHint");
        QTEST(!window->btnFiles->isHidden(), "filesShown");
    }

    void connHintFollowsItsCaption()
    {
        window->enterSituation(Situation::Connected);
        QCOMPARE(window->btnComm->toolTip(), QStringLiteral("Disconnect "));
        window->enterSituation(Situation::Disconnected);
        QCOMPARE(window->btnComm->toolTip(), QStringLiteral("Connect to the Instrument"));
    }

    void printStaysEnabledOnceEnabled()
    {
        window->enterSituation(Situation::DataSetShown);
        DataRec.Count = 0;
        for (Situation s : {Situation::Connected, Situation::Measuring, Situation::MeasureStopped,
                            Situation::Downloading, Situation::DownloadFailed,
                            Situation::Disconnecting, Situation::Disconnected})
            window->enterSituation(s);
        QVERIFY(window->btnPrint->isEnabled());
        QVERIFY(window->btnClear->isEnabled());
    }

private:
    QList<ui::SwitchLight*> buttons() const
    {
        return {window->btnSave,  window->btnDb,   window->btnPrint,    window->btnLimit,
                window->btnClear, window->btnComm, window->btnWaitData, window->btnReadFile};
    }

    QString enabledCommands() const
    {
        QStringList names;
        for (ui::SwitchLight* b : buttons())
            if (b->isEnabled())
                names << b->text();
        return names.join(QLatin1Char(' '));
    }

    QString litCommands() const
    {
        QStringList names;
        for (ui::SwitchLight* b : buttons())
            if (b->isLit())
                names << b->text();
        return names.join(QLatin1Char(' '));
    }

    std::unique_ptr<TfrmMain> window;
};

QTEST_MAIN(TestMainWindow)
#include "MainWindowTest.moc"
