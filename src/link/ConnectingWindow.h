#pragma once

#include <QWidget>

namespace sonmetra {

inline constexpr char ConnectingTitle[] = "Connecting";
inline constexpr char ConnectingText[] = "Trying to connect the instrument via serial interface...";

// Shown, not modal, while the handshake runs; it exists for the whole run.
class TfrmComTest : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmComTest(QWidget* mainWindow);

    // Shows the window centred on the main window.
    void showCentred();
};

} // namespace sonmetra
