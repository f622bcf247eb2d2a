// Commands whose work is not part of this build yet: pressing them does nothing.

#include "app/MainWindow.h"

namespace sonmetra {

void TfrmMain::btnSaveClick() {}
void TfrmMain::btnDbClick() {}
void TfrmMain::btnPrintClick() {}

} // namespace sonmetra
