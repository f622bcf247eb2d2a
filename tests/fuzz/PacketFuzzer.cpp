// libFuzzer target: arbitrary received bodies through the decoder and the dispatcher, in every
// transaction state. The first input byte picks the state and the re-send count; the rest is the
// body as the packet collector would deliver it.

#include "app/MainWindow.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "link/codec/PacketCodec.h"
#include "readings/DataSet.h"
#include "serial/Clock.h"
#include "ui/MessageService.h"

#include <QApplication>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace sonmetra;

namespace {

constexpr std::array<TCommTask, 6> Tasks = {ctIdle,      ctFileDownload,  ctMeasuring,
                                            ctHandshake, ctDisconnecting, ctStopping};

struct Program
{
    Program()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        ui::setMessageAnswerer([](const ui::Message&) { return ui::MessageAnswer::Ok; });
        window = std::make_unique<TfrmMain>(clock);
        comTest = std::make_unique<TfrmComTest>(window.get());
        window->frmComTest = comTest.get();
        // Qt loads fonts and styles on first use; do that before the inputs are watched for leaks.
        CommRec.Task = ctMeasuring;
        window->HandlePacket(QByteArrayLiteral("0b00Dd20425"));
        static_cast<void>(window->grab());
        window->ClearView();
        DataRec = TDataRec{};
        CommRec = TCommRec{};
    }

    int argc = 1;
    char name[8] = "fuzzer";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    serial::VirtualClock clock;
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<TfrmComTest> comTest;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Never destroyed: at exit Qt's own statics go first, and widgets must not outlive them.
    static Program& program = *std::make_unique<Program>().release();
    if (size == 0)
        return 0;
    const QByteArray body(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));

    link::TCommPacket packet;
    if (link::DecodePacket(body, packet) && packet.DataCount > link::MaxReceiveData)
        std::abort();

    CommRec.Task = Tasks[data[0] % Tasks.size()];
    CommRec.RetryCount = static_cast<quint8>((data[0] / Tasks.size()) % 3);
    CommRec.Connected = 1;
    program.window->HandlePacket(body);
    if (DataRec.Count > MaxReadings || DataRec.PageEnd > DataRec.Count)
        std::abort();
    return 0;
}
