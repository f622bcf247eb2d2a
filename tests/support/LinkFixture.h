#pragma once

#include "serial/Clock.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace sonmetra {
class TfrmMain;
class TfrmComTest;
namespace sim {
class GaugeSimulator;
}
namespace ui {
class MessageRecorder;
}
} // namespace sonmetra

namespace sonmetra::test {

// The main window on virtual time with the instrument simulator on a real pseudo-terminal,
// linked as COM16 in a port folder of its own. The working directory is a fresh temporary folder,
// so the traffic log lands there. Every message box is answered OK and recorded.
class LinkFixture
{
public:
    static constexpr int ComNumber = 16;

    LinkFixture();
    ~LinkFixture();

    serial::VirtualClock clock;
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<TfrmComTest> comTest;
    std::unique_ptr<sim::GaugeSimulator> gauge;
    std::unique_ptr<ui::MessageRecorder> messages;

    // Opens COM16 and sends 'H', as the connect command does after the picker.
    void startHandshake();
    // The whole handshake, answered by the simulator. True once connected.
    bool connectInstrument();

    // The command letters the simulator has received, in order.
    QString received() const;
    // Waits up to 5 s until the simulator has received exactly `expected`; returns what it has.
    QString awaitReceived(const QString& expected) const;
    // Spins the event loop briefly, so that whatever is on the line arrives.
    static void settle();

    QString workingDirectory() const { return work.path(); }

    // Makes COMn a link in the port folder; a number without a simulator points nowhere, so that
    // the machine's own serial ports never take part.
    void linkNowhere(int comNumber) const;
    QString portFolder() const;

private:
    QTemporaryDir work;
    QString previousDirectory;
};

// Runs `drive` on the next modal dialog as soon as it is open.
void whenModalOpens(std::function<void(QWidget&)> drive);

} // namespace sonmetra::test
