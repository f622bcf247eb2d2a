#include "app/ErrorHandler.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "link/ConnectingWindow.h"
#include "storage/DataModule.h"

#include <QApplication>

using namespace sonmetra;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));

    SingleInstance instance(SingleInstance::keyForThisProcess());
    if (!instance.isFirst()) {
        instance.activateFirst();
        return 0;
    }

    TfrmMain frmMain;
    instance.setActivationHandler([&frmMain] {
        frmMain.setWindowState(frmMain.windowState() & ~Qt::WindowMinimized);
        frmMain.show();
        frmMain.raise();
        frmMain.activateWindow();
    });

    TfrmComTest frmComTest(&frmMain);
    frmMain.frmComTest = &frmComTest;
    Tdm dm;

    frmMain.show();
    return QApplication::exec();
}
