// Command transactions with the instrument: sending, the response timer, re-sends and the
// dispatch of what arrives.

#include "app/MainWindow.h"

#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "link/LinkTexts.h"
#include "link/codec/PacketCodec.h"
#include "serial/SerialPort.h"
#include "ui/MessageService.h"
#include "ui/SwitchLight.h"

#include <algorithm>

namespace sonmetra {

namespace {

void commError(const char* text)
{
    ui::showMessage(QString::fromLatin1(text), QString::fromLatin1(linktext::CommErrorTitle),
                    ui::MessageIcon::Error);
}

} // namespace

void TfrmMain::SendCommand(char letter)
{
    link::TCommPacket packet;
    packet.Address = 0;
    packet.Command = letter;
    CommRec.Task = taskForCommand(letter, CommRec.Task);
    if (CommRec.Task == ctIdle)
        return;
    if (!SendPacket(packet))
        CommRec.Task = ctIdle;
}

bool TfrmMain::SendPacket(const link::TCommPacket& packet)
{
    if (!ComPort1->isOpen()) {
        commError(linktext::PortNotOpen);
        return false;
    }
    char encoded[link::PacketBufferSize];
    const int length = link::EncodePacket(packet, encoded);
    if (length == 0) {
        commError(linktext::CannotEncode);
        return false;
    }
    std::copy_n(encoded, length, CommRec.TxBuffer.begin());
    CommRec.TxLength = static_cast<quint16>(length);
    // A full output buffer sends nothing now; the response timer then brings a re-send.
    sendTxBuffer();
    if (CommRec.Task != ctMeasuring && CommRec.Task != ctStopping)
        ComPort1->armTrigger(CommRec.TriggerHandle, ResponseTimeoutTicks);
    return true;
}

void TfrmMain::sendTxBuffer()
{
    if (ComPort1->isOpen() && ComPort1->outputFree() >= CommRec.TxLength)
        ComPort1->send(QByteArray(CommRec.TxBuffer.data(), CommRec.TxLength));
}

void TfrmMain::ResendLast()
{
    sendTxBuffer();
    ComPort1->armTrigger(CommRec.TriggerHandle, ResponseTimeoutTicks);
}

bool TfrmMain::CheckIdle()
{
    if (CommRec.Task != ctIdle) {
        commError(linktext::Busy);
        return false;
    }
    return true;
}

void TfrmMain::ComPort1TriggerTimer(quint16 handle)
{
    if (handle == CommRec.TriggerHandle)
        CommRetry();
}

void TfrmMain::DataPacketStringPacket(const QByteArray& body)
{
    ComPort1->setCollectorEnabled(false);
    ComPort1->disarmTrigger(CommRec.TriggerHandle);
    HandlePacket(body);
    // The serial service switches the collector on again once this handler has returned.
}

void TfrmMain::HandlePacket(const QByteArray& body)
{
    link::TCommPacket packet;
    if (!link::DecodePacket(body, packet)) {
        CommRetry();
        return;
    }
    switch (packet.Command) {
    case 'H':
        if (CommRec.Task == ctHandshake) {
            frmComTest->hide();
            ShowConnected();
            return;
        }
        break;
    case 'B':
        if (CommRec.Task == ctDisconnecting) {
            CommRec.Task = ctIdle;
            ClosePort();
            ShowDisconnected();
            return;
        }
        if (CommRec.Task == ctIdle) {
            // The instrument has ended the connection itself.
            ClosePort();
            ShowDisconnected();
            return;
        }
        break;
    case 'D':
        if (CommRec.Task == ctFileDownload) {
            AddFileBlock(packet);
            CommRec.RetryCount = 0;
            SendCommand('Y');
            return;
        }
        if (CommRec.Task == ctMeasuring) {
            AddLiveReading(packet);
            return;
        }
        break;
    case 'Z':
        if (CommRec.Task == ctFileDownload) {
            FinishDownload();
            return;
        }
        if (CommRec.Task == ctMeasuring) {
            ShowMeasureStopped();
            return;
        }
        break;
    default:
        break;
    }
    CommRetry();
}

void TfrmMain::CommRetry()
{
    if (CommRec.Task == ctIdle || CommRec.Task == ctMeasuring)
        return;
    if (CommRec.RetryCount < MaxRetries) {
        if (CommRec.Task == ctFileDownload)
            SendCommand('N');
        else
            ResendLast();
        ++CommRec.RetryCount;
        setStatusPanel(1, QString::fromLatin1(linktext::Retrying));
        return;
    }
    setStatusPanel(1, QString());
    switch (CommRec.Task) {
    case ctFileDownload:
        // The slots keep what arrived; no message.
        enterSituation(Situation::DownloadFailed);
        break;
    case ctHandshake:
        frmComTest->hide();
        // Closed before the box opens, so a late answer handled meanwhile finds no open port.
        ClosePort();
        ui::showMessage(QString::fromLatin1(linktext::NoInstrument),
                        QString::fromLatin1(linktext::ConnectionFailedTitle),
                        ui::MessageIcon::Warning);
        enterSituation(Situation::ConnectAborted);
        break;
    case ctDisconnecting:
        ClosePort();
        ShowDisconnected();
        break;
    default:
        commError(linktext::RemoteError);
        break;
    }
    CommRec.Task = ctIdle;
    CommRec.RetryCount = 0;
}

} // namespace sonmetra
