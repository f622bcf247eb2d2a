// Connecting and disconnecting through the main window, with the port picker and the Connecting
// window, against the instrument simulator.

#include "app/MainWindow.h"
#include "gauge-sim/GaugeSimulator.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "link/PortPicker.h"
#include "readings/FileSlots.h"
#include "serial/SerialPort.h"
#include "support/LinkFixture.h"
#include "ui/MessageRecorder.h"
#include "ui/SwitchLight.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace sonmetra;

namespace {

constexpr int Timeout = 5005;

// Answers the port picker: picks `line` (or cancels when line < 0) and notes the list it showed.
void answerPicker(int line, QStringList* shown = nullptr)
{
    test::whenModalOpens([line, shown](QWidget& modal) {
        auto* picker = qobject_cast<TfrmComset*>(&modal);
        QVERIFY(picker);
        if (shown)
            for (int i = 0; i < picker->cbComsel->count(); ++i)
                *shown << picker->cbComsel->itemText(i);
        if (line < 0) {
            picker->btnCancel->click();
            return;
        }
        picker->cbComsel->setCurrentIndex(line);
        picker->btnOK->click();
    });
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<test::LinkFixture>(); }
    void cleanup() { f.reset(); }

    void pickerListsFreePortsAndConnectsTheChosenOne()
    {
        sim::GaugeSimulator com1;
        sim::GaugeSimulator com2;
        sim::GaugeSimulator com3;
        f->linkNowhere(16);
        QVERIFY(com1.linkAs(1));
        QVERIFY(com2.linkAs(2));
        QVERIFY(com3.linkAs(3));
        serial::SerialPort other; // another program holds COM2
        other.setComNumber(2);
        other.open();

        QStringList shown;
        answerPicker(1, &shown);
        f->window->btnComm->click();
        QCOMPARE(shown, (QStringList{"COM1", "COM3"}));
        QCOMPARE(CommRec.ComNumber, 3);
        QVERIFY(f->comTest->isVisible());
        QCOMPARE(f->comTest->windowTitle(), QStringLiteral("Connecting"));
        QVERIFY(!f->window->btnComm->isEnabled());
        QTRY_COMPARE(CommRec.Connected, 1);
        QCOMPARE(f->window->statusPanel(0), QStringLiteral("  COM3 Connected!"));
        QVERIFY(f->comTest->isHidden());
        QCOMPARE(f->window->btnComm->text(), QStringLiteral("DISCON"));
        QCOMPARE(f->window->btnComm->toolTip(), QStringLiteral("Disconnect "));
        QVERIFY(f->window->btnComm->isLit());
        QVERIFY(f->window->btnComm->isEnabled());
        QVERIFY(f->window->btnWaitData->isEnabled());
        QVERIFY(f->window->btnReadFile->isEnabled());
        QVERIFY(com1.receivedCommands().isEmpty());
        QCOMPARE(com3.receivedCommands(), QVector<char>{'H'});
    }

    void noFreePort()
    {
        f->linkNowhere(16);
        QStringList shown;
        answerPicker(0, &shown);
        f->window->btnComm->click();
        QVERIFY(shown.isEmpty());
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        const ui::Message& m = f->messages->messages().front();
        QCOMPARE(m.text, QStringLiteral("Can not find any available com port."));
        QCOMPARE(m.title, QStringLiteral("Comm Error"));
        QCOMPARE(m.icon, ui::MessageIcon::Error);
        QVERIFY(f->window->btnComm->isEnabled());
        QVERIFY(!f->window->ComPort1->isOpen());
        QVERIFY(f->comTest->isHidden());
    }

    void cancelOpensNothing()
    {
        answerPicker(-1);
        f->window->btnComm->click();
        QVERIFY(f->window->btnComm->isEnabled());
        // The press flipped the switch's light; not connected, it goes dark again.
        QVERIFY(!f->window->btnComm->isLit());
        QVERIFY(!f->window->ComPort1->isOpen());
        QVERIFY(f->messages->messages().empty());
        test::LinkFixture::settle();
        QVERIFY(f->gauge->receivedCommands().isEmpty());
    }

    void portTakenAfterThePickerListedIt()
    {
        serial::SerialPort other;
        test::whenModalOpens([&other](QWidget& modal) {
            auto* picker = qobject_cast<TfrmComset*>(&modal);
            QVERIFY(picker);
            QCOMPARE(picker->cbComsel->currentText(), QStringLiteral("COM16"));
            other.setComNumber(16);
            other.open();
            picker->btnOK->click();
        });
        f->window->btnComm->click();
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        const ui::Message& m = f->messages->messages().front();
        QCOMPARE(m.title, QStringLiteral("Sonmetra_EN"));
        QVERIFY2(m.text.contains(QStringLiteral("COM16")), qPrintable(m.text));
        QVERIFY(m.text.endsWith(QLatin1Char('.')));
        QVERIFY(f->comTest->isHidden());
        QVERIFY(f->window->btnComm->isEnabled());
        QCOMPARE(CommRec.Task, ctIdle);
        test::LinkFixture::settle();
        QVERIFY(f->gauge->receivedCommands().isEmpty());
    }

    void handshakeFailureClosesThePortBeforeItsBox()
    {
        f->gauge->setSilent(true);
        bool openWhileShown = true;
        ui::setMessageAnswerer([&](const ui::Message&) {
            openWhileShown = f->window->ComPort1->isOpen();
            return ui::MessageAnswer::Ok;
        });
        answerPicker(0);
        f->window->btnComm->click();
        QCOMPARE(f->awaitReceived("H"), QStringLiteral("H"));
        for (int i = 0; i < 3; ++i)
            f->clock.advance(Timeout);
        QVERIFY(!openWhileShown);
        QVERIFY(f->window->btnComm->isEnabled());
        QCOMPARE(f->window->statusPanel(0), QStringLiteral("No connect to instrument"));
        QCOMPARE(CommRec.Connected, 0);
        ui::setMessageAnswerer(nullptr);
    }

    void disconnectAnswered()
    {
        QVERIFY(f->connectInstrument());
        f->window->btnComm->click();
        QCOMPARE(f->window->statusPanel(1), QStringLiteral("Disconnecting..."));
        QVERIFY(!f->window->btnComm->isEnabled());
        QVERIFY(!f->window->btnReadFile->isEnabled());
        QVERIFY(!f->window->btnWaitData->isEnabled());
        QTRY_COMPARE(CommRec.Connected, 0);
        expectDisconnected();
        QCOMPARE(f->received(), QStringLiteral("HB"));
    }

    void disconnectUnansweredEndsDisconnectedWithoutABox()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setSilent(true);
        f->window->btnComm->click();
        QCOMPARE(f->awaitReceived("HB"), QStringLiteral("HB"));
        f->clock.advance(Timeout);
        f->clock.advance(Timeout);
        QCOMPARE(f->awaitReceived("HBBB"), QStringLiteral("HBBB"));
        QCOMPARE(CommRec.Connected, 1);
        f->clock.advance(Timeout);
        expectDisconnected();
        QVERIFY(f->messages->messages().empty());
    }

    void instrumentEndsTheConnection()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->sendDisconnect();
        QTRY_COMPARE(CommRec.Connected, 0);
        expectDisconnected();
        QCOMPARE(f->received(), QStringLiteral("H"));
    }

    void disconnectDuringADownloadKeepsTheBlocks()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setFiles({QVector<quint16>(100, 1234)});
        f->gauge->setSilent(false);
        // Only the first block arrives before the instrument falls silent.
        connect(f->gauge.get(), &sim::GaugeSimulator::commandReceived, this, [this](char c) {
            if (c == 'Y')
                f->gauge->setSilent(true);
        });
        f->window->btnReadFile->click();
        QCOMPARE(f->awaitReceived("HFY"), QStringLiteral("HFY"));
        QCOMPARE(FileSlots[1].Count, 62);
        f->gauge->setSilent(false);
        f->window->btnComm->click();
        QCOMPARE(CommRec.Task, ctDisconnecting);
        QTRY_COMPARE(CommRec.Connected, 0);
        QCOMPARE(FileSlots[1].Count, 62);
        QVERIFY(f->window->btnReadFile->isLit()); // a cut-off download leaves FILE lit
        QVERIFY(!f->window->btnReadFile->isEnabled());
    }

    void disconnectDuringAMeasurement()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setLiveReadings({1000, 1001});
        f->window->btnWaitData->click();
        QVERIFY(f->window->btnWaitData->isLit());
        QTRY_COMPARE(DataRec.Count, 2);
        f->window->btnComm->click();
        QTRY_COMPARE(CommRec.Connected, 0);
        expectDisconnected();
        QVERIFY(!f->window->btnWaitData->isLit());
        QVERIFY(f->window->btnPrint->isEnabled());
        QCOMPARE(f->window->btnWaitData->toolTip(), QStringLiteral("START MEASURE "));
    }

    void closingTheWindowWhileConnectedSendsOneDisconnect()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setSilent(true);
        f->window->close();
        QCOMPARE(f->awaitReceived("HB"), QStringLiteral("HB"));
        QVERIFY(!f->window->ComPort1->isOpen());
        test::LinkFixture::settle();
        QCOMPARE(f->received(), QStringLiteral("HB"));
    }

    void closingTheWindowWhileNotConnectedSendsNothing()
    {
        f->window->close();
        test::LinkFixture::settle();
        QVERIFY(f->gauge->receivedCommands().isEmpty());
    }

    void pulledLineWhileConnected()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->hangUp();
        QTRY_COMPARE(CommRec.Connected, 0);
        expectDisconnected();
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        const ui::Message& m = f->messages->messages().front();
        QCOMPARE(m.text,
                 QStringLiteral("Communication ERROR with remote device.\r\nPlease check."));
        QCOMPARE(m.title, QStringLiteral("Comm Error"));
        test::LinkFixture::settle();
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
    }

    void unwritableTrafficLogIsReportedAndTheLinkStillEnds()
    {
        QVERIFY(QDir(f->workingDirectory()).mkdir(QStringLiteral("APRO.LOG")));
        QVERIFY(f->connectInstrument());
        f->gauge->sendDisconnect();
        QTRY_COMPARE(CommRec.Connected, 0);
        expectDisconnected();
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        const ui::Message& m = f->messages->messages().front();
        QCOMPARE(m.title, QStringLiteral("Sonmetra_EN"));
        QVERIFY2(m.text.contains(QStringLiteral("APRO.LOG")), qPrintable(m.text));
    }

private:
    void expectDisconnected() const
    {
        QCOMPARE(CommRec.Connected, 0);
        QCOMPARE(CommRec.PortOpen, 0);
        QCOMPARE(CommRec.Task, ctIdle);
        QVERIFY(!f->window->ComPort1->isOpen());
        QCOMPARE(f->window->statusPanel(0), QStringLiteral("not connected"));
        QVERIFY(f->window->statusPanel(1).isEmpty());
        QCOMPARE(f->window->btnComm->text(), QStringLiteral("CONN"));
        QCOMPARE(f->window->btnComm->toolTip(), QStringLiteral("Connect to the Instrument"));
        QVERIFY(!f->window->btnComm->isLit());
        QVERIFY(f->window->btnComm->isEnabled());
        QVERIFY(!f->window->btnReadFile->isEnabled());
        QVERIFY(!f->window->btnWaitData->isEnabled());
        for (ui::SwitchLight* b : {f->window->btnSave, f->window->btnDb, f->window->btnLimit})
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
    }

    std::unique_ptr<test::LinkFixture> f;
};

QTEST_MAIN(TestConnection)
#include "ConnectionTest.moc"
