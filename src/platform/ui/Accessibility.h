#pragma once

#include <QString>

namespace sonmetra::ui {

// Makes the kit's own accessible interfaces known to Qt's accessibility layer. Each widget that
// needs more than Qt's stock interface calls this from its constructor; the first call installs.
void installAccessibleInterfaces();

// How a light's state is read out: "lit" or "dark".
QString lightStateText(bool lit);

} // namespace sonmetra::ui
