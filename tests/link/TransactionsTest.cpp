// Command transactions against the instrument simulator on a real pseudo-terminal: sends,
// time-outs on virtual time, re-sends, failures and the dispatch of what arrives.

#include "app/MainWindow.h"
#include "gauge-sim/GaugeSimulator.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "link/codec/PacketCodec.h"
#include "readings/DataSet.h"
#include "readings/FileSlots.h"
#include "serial/SerialPort.h"
#include "support/LinkFixture.h"
#include "ui/MessageRecorder.h"
#include "ui/SwitchLight.h"

#include <QTest>

#include <memory>

using namespace sonmetra;

Q_DECLARE_METATYPE(TCommTask)

namespace {

constexpr int Timeout = 5005;

QByteArray body(quint8 address, char command, const QByteArray& data = {})
{
    link::TCommPacket packet;
    packet.Address = address;
    packet.Command = command;
    packet.Data = reinterpret_cast<const quint8*>(data.constData());
    packet.DataCount = static_cast<quint8>(data.size());
    char out[link::MaxPacketSize];
    const int n = link::EncodePacket(packet, out, link::MaxReceiveData);
    return QByteArray(out + 1, n - 3); // without ':' and CR LF
}

} // namespace

class TestTransactions : public QObject
{
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<test::LinkFixture>(); }
    void cleanup() { f.reset(); }

    void unansweredHandshakeIsSentThreeTimesThenFails()
    {
        f->gauge->setSilent(true);
        f->comTest->showCentred();
        f->startHandshake();
        QCOMPARE(f->awaitReceived("H"), QStringLiteral("H"));
        QCOMPARE(CommRec.Task, ctHandshake);

        f->clock.advance(Timeout - 1);
        test::LinkFixture::settle();
        QCOMPARE(f->received(), QStringLiteral("H"));
        QVERIFY(f->window->statusPanel(1).isEmpty());

        f->clock.advance(1);
        QCOMPARE(f->awaitReceived("HH"), QStringLiteral("HH"));
        QCOMPARE(f->window->statusPanel(1), QStringLiteral("  Communication Error, Re-trying..."));
        QCOMPARE(CommRec.RetryCount, 1);

        f->clock.advance(Timeout);
        QCOMPARE(f->awaitReceived("HHH"), QStringLiteral("HHH"));
        QVERIFY(f->messages->messages().empty());

        f->clock.advance(Timeout);
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        const ui::Message& m = f->messages->messages().front();
        QCOMPARE(m.text, QStringLiteral("No instrument detected at the specified port"));
        QCOMPARE(m.title, QStringLiteral("Connection failed"));
        QCOMPARE(m.icon, ui::MessageIcon::Warning);
        QVERIFY(!f->window->ComPort1->isOpen());
        QCOMPARE(CommRec.PortOpen, 0);
        QCOMPARE(CommRec.Task, ctIdle);
        QCOMPARE(CommRec.RetryCount, 0);
        QVERIFY(f->window->statusPanel(1).isEmpty());
        QVERIFY(f->comTest->isHidden());
        QVERIFY(f->window->btnComm->isEnabled());
        QCOMPARE(f->window->btnComm->text(), QStringLiteral("CONN"));
    }

    void badChecksumDuringHandshakeResendsAtOnce()
    {
        f->gauge->corruptNext(1);
        f->startHandshake();
        // The corrupted answer brings the second 'H' at once, which is answered properly.
        QCOMPARE(f->awaitReceived("HH"), QStringLiteral("HH"));
        QTRY_COMPARE(CommRec.Connected, 1);
        QCOMPARE(f->clock.nowMs(), 0);
        QVERIFY(f->window->statusPanel(1).isEmpty());
    }

    void handshakeAnsweredOnTheSecondSend()
    {
        f->gauge->dropNext(1);
        f->startHandshake();
        QCOMPARE(f->awaitReceived("H"), QStringLiteral("H"));
        test::LinkFixture::settle();
        QCOMPARE(CommRec.Connected, 0);
        f->clock.advance(Timeout);
        QCOMPARE(f->window->statusPanel(1), QStringLiteral("  Communication Error, Re-trying..."));
        QTRY_COMPARE(CommRec.Connected, 1);
        QCOMPARE(f->received(), QStringLiteral("HH"));
        QVERIFY(f->window->statusPanel(1).isEmpty());
        QCOMPARE(f->window->statusPanel(0), QStringLiteral("  COM16 Connected!"));
        QCOMPARE(CommRec.RetryCount, 0);
        QVERIFY(f->messages->messages().empty());
    }

    void unansweredDownloadSendsFThenNNAndFailsSilently()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setSilent(true);
        f->window->btnReadFile->click();
        QCOMPARE(f->awaitReceived("HF"), QStringLiteral("HF"));
        f->clock.advance(Timeout);
        QCOMPARE(f->awaitReceived("HFN"), QStringLiteral("HFN"));
        f->clock.advance(Timeout);
        QCOMPARE(f->awaitReceived("HFNN"), QStringLiteral("HFNN"));
        f->clock.advance(Timeout);
        test::LinkFixture::settle();
        QCOMPARE(f->received(), QStringLiteral("HFNN"));
        QVERIFY(f->messages->messages().empty());
        QCOMPARE(CommRec.Task, ctIdle);
        QCOMPARE(CommRec.RetryCount, 0);
        QVERIFY(!f->window->btnReadFile->isLit());
        for (ui::SwitchLight* b : {f->window->btnReadFile, f->window->btnSave, f->window->btnDb,
                                   f->window->btnLimit, f->window->btnWaitData})
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
        QVERIFY(f->window->statusPanel(1).isEmpty());
    }

    void blockAfterARepeatResetsTheCount()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setFiles({QVector<quint16>(100, 1234)});
        f->gauge->dropNext(1); // the first block is lost
        f->window->btnReadFile->click();
        QCOMPARE(f->awaitReceived("HF"), QStringLiteral("HF"));
        f->clock.advance(Timeout);
        // 'N' brings the first block again, 'Y' the second; the count is back at 0.
        QCOMPARE(f->awaitReceived("HFNYY"), QStringLiteral("HFNYY"));
        QTRY_COMPARE(CommRec.Task, ctIdle);
        QCOMPARE(CommRec.RetryCount, 0);
        QCOMPARE(FileSlots[1].Count, 100);
    }

    void downloadBlockRepeatedAfterTwoMissesStillSucceeds()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setFiles({QVector<quint16>(10, 500)});
        f->gauge->dropNext(2);
        f->window->btnReadFile->click();
        QCOMPARE(f->awaitReceived("HF"), QStringLiteral("HF"));
        f->clock.advance(Timeout);
        QCOMPARE(f->awaitReceived("HFN"), QStringLiteral("HFN"));
        f->clock.advance(Timeout);
        QCOMPARE(f->awaitReceived("HFNNY"), QStringLiteral("HFNNY"));
        QTRY_COMPARE(CommRec.Task, ctIdle);
        QCOMPARE(FileSlots[1].Count, 10);
    }

    // Packets that arrive where they are not awaited.
    void dispatch_data()
    {
        QTest::addColumn<TCommTask>("task");
        QTest::addColumn<char>("command");
        QTest::addColumn<bool>("corrupt");
        QTest::addColumn<TCommTask>("taskAfter");
        QTest::addColumn<bool>("connectedAfter");
        QTest::addColumn<QString>("sentAfter");
        QTest::newRow("H while idle") << ctIdle << 'H' << false << ctIdle << true << "";
        QTest::newRow("Z while idle") << ctIdle << 'Z' << false << ctIdle << true << "";
        QTest::newRow("D while idle") << ctIdle << 'D' << false << ctIdle << true << "";
        QTest::newRow("bad packet while idle") << ctIdle << 'H' << true << ctIdle << true << "";
        QTest::newRow("B while measuring")
            << ctMeasuring << 'B' << false << ctMeasuring << true << "";
        QTest::newRow("H while measuring")
            << ctMeasuring << 'H' << false << ctMeasuring << true << "";
        QTest::newRow("bad packet while measuring")
            << ctMeasuring << 'D' << true << ctMeasuring << true << "";
        QTest::newRow("unknown letter while measuring")
            << ctMeasuring << 'Q' << false << ctMeasuring << true << "";
        QTest::newRow("B while idle") << ctIdle << 'B' << false << ctIdle << false << "";
        QTest::newRow("H during a download")
            << ctFileDownload << 'H' << false << ctFileDownload << true << "N";
        QTest::newRow("unknown letter during a download")
            << ctFileDownload << 'Q' << false << ctFileDownload << true << "N";
        QTest::newRow("bad packet during a download")
            << ctFileDownload << 'D' << true << ctFileDownload << true << "N";
        QTest::newRow("B during a download")
            << ctFileDownload << 'B' << false << ctFileDownload << true << "N";
        QTest::newRow("D while disconnecting")
            << ctDisconnecting << 'D' << false << ctDisconnecting << true << "B";
    }

    void dispatch()
    {
        QFETCH(TCommTask, task);
        QFETCH(char, command);
        QFETCH(bool, corrupt);
        QVERIFY(f->connectInstrument());
        f->gauge->setSilent(true);
        if (task == ctFileDownload)
            f->window->SendCommand('F');
        else if (task == ctDisconnecting)
            f->window->SendCommand('B');
        else
            CommRec.Task = task;
        QCOMPARE(CommRec.Task, task);
        const QString before =
            f->awaitReceived(QStringLiteral("H") + (task == ctFileDownload    ? "F"
                                                    : task == ctDisconnecting ? "B"
                                                                              : ""));
        QByteArray packet = body(0, command, QByteArray("\x10\x27", 2));
        if (corrupt)
            packet[packet.size() - 1] = packet.back() == '0' ? '1' : '0';
        f->window->HandlePacket(packet);
        QTEST(CommRec.Task, "taskAfter");
        QTEST(CommRec.Connected == 1, "connectedAfter");
        QFETCH(QString, sentAfter);
        QCOMPARE(f->awaitReceived(before + sentAfter), before + sentAfter);
        QCOMPARE(DataRec.Count, 0);
    }

    void readingWhileMeasuringNeedsNoAnswerAndNoTimer()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setLiveReadings({1234});
        f->window->btnWaitData->click();
        QTRY_COMPARE(DataRec.Count, 1);
        QCOMPARE(DataRec.Readings[1], 12.34f);
        // A silent instrument leaves the measurement running: no response timer after 'W'.
        f->clock.advance(3 * Timeout);
        test::LinkFixture::settle();
        QCOMPARE(CommRec.Task, ctMeasuring);
        QCOMPARE(f->received(), QStringLiteral("HW"));
        f->window->btnWaitData->click();
        QCOMPARE(f->awaitReceived("HWZ"), QStringLiteral("HWZ"));
        QCOMPARE(CommRec.Task, ctIdle);
        f->clock.advance(3 * Timeout);
        test::LinkFixture::settle();
        QCOMPARE(f->received(), QStringLiteral("HWZ"));
        QVERIFY(f->messages->messages().empty());
    }

    void acknowledgementsWhileIdleAreDropped_data()
    {
        QTest::addColumn<char>("letter");
        QTest::newRow("Y") << 'Y';
        QTest::newRow("N") << 'N';
        QTest::newRow("not a command") << 'Q';
    }

    void acknowledgementsWhileIdleAreDropped()
    {
        QFETCH(char, letter);
        QVERIFY(f->connectInstrument());
        f->window->SendCommand(letter);
        test::LinkFixture::settle();
        QCOMPARE(f->received(), QStringLiteral("H"));
        QCOMPARE(CommRec.Task, ctIdle);
        QVERIFY(f->messages->messages().empty());
    }

    void checkIdleRefusesWhileATransactionRuns()
    {
        QVERIFY(f->connectInstrument());
        f->gauge->setSilent(true);
        f->window->btnReadFile->click();
        QCOMPARE(f->awaitReceived("HF"), QStringLiteral("HF"));
        QVERIFY(!f->window->CheckIdle());
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        const ui::Message& m = f->messages->messages().front();
        QCOMPARE(m.text, QStringLiteral("Last Comm task does not over.\r\nPlease waiting."));
        QCOMPARE(m.title, QStringLiteral("Comm Error"));
        QCOMPARE(m.icon, ui::MessageIcon::Error);
        QCOMPARE(CommRec.Task, ctFileDownload);

        f->window->btnReadFileClick(); // refused by the same check: nothing is sent
        test::LinkFixture::settle();
        QCOMPARE(f->received(), QStringLiteral("HF"));
        QCOMPARE(f->messages->messages().size(), std::size_t(2));
    }

    void sendingWithoutAnOpenPortIsReported()
    {
        f->window->SendCommand('F');
        QCOMPARE(CommRec.Task, ctIdle);
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        QCOMPARE(f->messages->messages().front().text,
                 QStringLiteral("Comm port Error.\r\nPlease reset it."));
        QCOMPARE(f->messages->messages().front().title, QStringLiteral("Comm Error"));
    }

    void packetThatCannotBeEncodedIsReported()
    {
        QVERIFY(f->connectInstrument());
        link::TCommPacket packet;
        packet.Command = 'F';
        packet.DataCount = 3; // announced, but no bytes given
        QVERIFY(!f->window->SendPacket(packet));
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        QCOMPARE(f->messages->messages().front().text, QStringLiteral("Comm module Error."));
    }

    void unansweredStopFailureIsReported()
    {
        // 'Z' is answered by nothing and awaits nothing; a retry in that state is a failure of
        // the remote device once the re-sends are spent.
        QVERIFY(f->connectInstrument());
        CommRec.Task = ctStopping;
        CommRec.RetryCount = 2;
        f->window->CommRetry();
        QCOMPARE(f->messages->messages().size(), std::size_t(1));
        QCOMPARE(f->messages->messages().front().text,
                 QStringLiteral("Communication ERROR with remote device.\r\nPlease check."));
        QCOMPARE(CommRec.Task, ctIdle);
    }

    void trafficLogWrittenWhenThePortCloses()
    {
        QVERIFY(f->connectInstrument());
        f->window->ClosePort();
        QFile log(QDir(f->workingDirectory()).filePath(QStringLiteral("APRO.LOG")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        // The handshake and its answer, in the order of the conversation.
        const qsizetype sent = text.indexOf("TX 3a 30 37 30 30 48 34 66 0d 0a");
        const qsizetype answered = text.indexOf("RX 3a 30 37 30 30 48 34 66 0d 0a");
        QVERIFY2(sent >= 0 && answered > sent, text.constData());
    }

private:
    std::unique_ptr<test::LinkFixture> f;
};

QTEST_MAIN(TestTransactions)
#include "TransactionsTest.moc"
