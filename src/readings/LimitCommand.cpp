// The LIMIT command of the main window.

#include "app/MainWindow.h"

#include "readings/DataSet.h"
#include "readings/LimitDialog.h"
#include "readings/LimitState.h"
#include "ui/SwitchLight.h"

namespace sonmetra {

void TfrmMain::btnLimitClick()
{
    {
        TfrmLimit dialog(this);
        dialog.exec();
    }
    btnLimit->setLit(LimitOn == 1);
    if (DataRec.Count > 0) {
        ShowPage(DataRec.PageEnd);
        for (int k = 1; k <= DataRec.Count; ++k)
            ColorBar(static_cast<quint16>(k));
    }
}

} // namespace sonmetra
