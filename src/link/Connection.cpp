// Connecting to the instrument and disconnecting from it.

#include "app/MainWindow.h"

#include "app/ErrorHandler.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "link/LinkTexts.h"
#include "link/PortPicker.h"
#include "serial/SerialPort.h"
#include "ui/MessageService.h"
#include "ui/StatusLight.h"
#include "ui/SwitchLight.h"

namespace sonmetra {

void TfrmMain::btnCommClick()
{
    if (CommRec.Connected) {
        enterSituation(Situation::Disconnecting);
        setStatusPanel(1, QString::fromLatin1(linktext::Disconnecting));
        // No CheckIdle: the disconnect replaces whatever runs, a download or a measurement too.
        SendCommand('B');
        return;
    }
    enterSituation(Situation::Connecting);
    {
        TfrmComset picker(this);
        if (picker.exec() != QDialog::Accepted) {
            enterSituation(Situation::ConnectAborted);
            return;
        }
    }
    if (!CheckIdle())
        return;
    frmComTest->showCentred();
    try {
        OpenPort();
    } catch (...) {
        // The default error handler reports the failure; the operator may pick a port again.
        frmComTest->hide();
        enterSituation(Situation::ConnectAborted);
        throw;
    }
    SendCommand('H');
}

void TfrmMain::OpenPort()
{
    ResetLink();
    ComPort1->setComNumber(CommRec.ComNumber);
    ComPort1->open();
    ComPort1->setLightsEnabled(true);
    ComPort1->setCollectorEnabled(true);
    CommRec.TriggerHandle = ComPort1->addTrigger();
    CommRec.PortOpen = 1;
}

void TfrmMain::ClosePort()
{
    if (!CommRec.PortOpen)
        return;
    CommRec.PortOpen = 0;
    ComPort1->setCollectorEnabled(false);
    ComPort1->setLightsEnabled(false);
    ComPort1->removeTrigger(CommRec.TriggerHandle);
    ComPort1->discardInput();
    ComPort1->discardOutput();
    // A traffic log that cannot be written is reported, and the link still ends as it should.
    runGuarded([this] { ComPort1->close(); });
}

void TfrmMain::ShowConnected()
{
    CommRec.Task = ctIdle;
    CommRec.Connected = 1;
    CommRec.RetryCount = 0;
    enterSituation(Situation::Connected);
    setStatusPanel(0, QString::fromLatin1(linktext::Connected).arg(CommRec.ComNumber));
    setStatusPanel(1, QString());
}

void TfrmMain::ShowDisconnected()
{
    ShowMeasureStopped();
    CommRec.Connected = 0;
    enterSituation(Situation::Disconnected);
    setStatusPanel(0, QString::fromLatin1(linktext::NotConnected));
    setStatusPanel(1, QString());
}

void TfrmMain::ComPort1Failed()
{
    // The serial service has closed the port already; bring the link and the window along.
    CommRec.Task = ctIdle;
    ClosePort();
    frmComTest->hide();
    if (CommRec.Connected)
        ShowDisconnected();
    else
        enterSituation(Situation::ConnectAborted);
    ui::showMessage(QString::fromLatin1(linktext::RemoteError),
                    QString::fromLatin1(linktext::CommErrorTitle), ui::MessageIcon::Error);
}

} // namespace sonmetra
