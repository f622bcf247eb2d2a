// Live measurement: START/STOP and the readings that arrive while measuring.

#include "app/MainWindow.h"

#include "link/CommRec.h"
#include "link/codec/PacketCodec.h"
#include "readings/DataSet.h"
#include "readings/LiveReadings.h"

namespace sonmetra {

void TfrmMain::btnWaitDataClick()
{
    if (CommRec.Task == ctIdle) {
        SendCommand('W');
        ShowMeasuring();
    } else if (CommRec.Task == ctMeasuring) {
        SendCommand('Z');
        ShowMeasureStopped();
    }
}

void TfrmMain::ShowMeasuring()
{
    DataRec.Source = dsInstrument;
    enterSituation(Situation::Measuring);
    setStatusPanel(1, QStringLiteral("  Receiving measurement data..."));
}

void TfrmMain::ShowMeasureStopped()
{
    CommRec.Task = ctIdle;
    enterSituation(Situation::MeasureStopped);
    setStatusPanel(1, QString());
}

void TfrmMain::AddLiveReading(const link::TCommPacket& packet)
{
    // The reading is the first two data bytes; a shorter packet carries none.
    if (packet.DataCount < 2)
        return;
    storeLiveReading(DataRec, static_cast<quint16>(packet.Data[0] | packet.Data[1] << 8));
    AppendReading();
}

} // namespace sonmetra
