// Downloading the instrument's stored files, and picking one of them.

#include "app/MainWindow.h"

#include "link/CommRec.h"
#include "link/codec/PacketCodec.h"
#include "readings/DataSet.h"
#include "readings/FilePicker.h"
#include "readings/FileSlots.h"
#include "ui/MessageService.h"

namespace sonmetra {

void TfrmMain::btnReadFileClick()
{
    if (!CheckIdle())
        return;
    setStatusPanel(1, QStringLiteral("  Downloading The measurement data file..."));
    enterSituation(Situation::Downloading);
    ClearFileSlots();
    SendCommand('F');
}

void TfrmMain::AddFileBlock(const link::TCommPacket& packet)
{
    storeFileBlock(FileSlots, packet.Address, packet.Data, packet.DataCount);
}

void TfrmMain::FinishDownload()
{
    enterSituation(Situation::DownloadFinished);
    setStatusPanel(1, QString());
    CommRec.Task = ctIdle;
    CommRec.RetryCount = 0;
    ui::showMessage(QStringLiteral("The measurement data file stored in the instrument is "
                                   "downloaded successfully"),
                    QStringLiteral("File Download"), ui::MessageIcon::Information);
}

void TfrmMain::btnFilesClick()
{
    bool chosen = false;
    {
        TfrmFiles picker(this);
        chosen = picker.exec() == QDialog::Accepted;
    }
    if (!chosen)
        return;
    DataRec.Source = dsInstrument;
    enterSituation(Situation::DataSetShown);
    RedrawAll();
}

} // namespace sonmetra
