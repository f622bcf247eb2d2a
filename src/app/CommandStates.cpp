// The enable/light table of the command row: for each situation, what it changes on each
// command; everything not named stays as it was.

#include "app/MainWindow.h"

#include "readings/DataSet.h"
#include "ui/SwitchLight.h"

#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace sonmetra {

namespace {

enum class Enable : quint8
{
    Keep,
    On,
    Off,
    IfData
};
enum class Light : quint8
{
    Keep,
    Lit,
    Dark
};
enum class Shown : quint8
{
    Keep,
    Show,
    Hide
};

struct Command
{
    Enable enable = Enable::Keep;
    Light light = Light::Keep;
    const char* caption = nullptr;
    const char* hint = nullptr;
};

struct Row
{
    Situation situation;
    Command save, load, print, limit, clear, comm, start, file;
    Shown files = Shown::Keep;
};

constexpr Command keep{};
constexpr Command on{Enable::On};
constexpr Command off{Enable::Off};
constexpr Command onIfData{Enable::IfData};
constexpr Command onDark{Enable::On, Light::Dark};
constexpr Command offDark{Enable::Off, Light::Dark};
constexpr Command offLit{Enable::Off, Light::Lit};
constexpr Command conn{Enable::On, Light::Dark, "CONN", "Connect to the Instrument"};
constexpr Command discon{Enable::On, Light::Lit, "DISCON", "Disconnect "};
constexpr Command startFirst{Enable::Off, Light::Dark, "START", "START MEASUREMENT"};
constexpr Command startOff{Enable::Off, Light::Dark, "START", "START MEASURE "};
constexpr Command start{Enable::Keep, Light::Keep, "START", "START MEASURE "};
constexpr Command stop{Enable::Keep, Light::Keep, "STOP", "Stop measurement"};

// clang-format off
constexpr Row Table[] = {
    //                            SAVE    LOAD    PRINT     LIMIT   CLEAR   CONN    START       FILE    file button
    {Situation::StartUp,          onDark, onDark, offDark,  onDark, onDark, conn,   startFirst, offDark, Shown::Hide},
    {Situation::Connecting,       keep,   keep,   keep,     keep,   keep,   off,    keep,       keep},
    {Situation::ConnectAborted,   keep,   keep,   keep,     keep,   keep,   onDark, keep,       keep},
    {Situation::Connected,        keep,   keep,   keep,     keep,   keep,   discon, on,         on},
    {Situation::Disconnecting,    keep,   keep,   keep,     keep,   keep,   off,    off,        off},
    {Situation::Disconnected,     on,     on,     onIfData, on,     keep,   conn,   startOff,   off},
    {Situation::Measuring,        off,    off,    keep,     off,    keep,   keep,   stop,       off},
    {Situation::MeasureStopped,   on,     on,     onIfData, on,     keep,   keep,   start,      on},
    {Situation::Downloading,      off,    off,    keep,     off,    keep,   keep,   off,        offLit},
    {Situation::DownloadFinished, on,     on,     keep,     on,     keep,   keep,   on,         onDark, Shown::Show},
    {Situation::DownloadFailed,   on,     on,     keep,     on,     keep,   keep,   on,         onDark},
    {Situation::DataSetShown,     keep,   keep,   on,       keep,   keep,   keep,   keep,       keep},
};
// clang-format on

void apply(ui::SwitchLight* button, const Command& change)
{
    switch (change.enable) {
    case Enable::Keep:
        break;
    case Enable::On:
        button->setEnabled(true);
        break;
    case Enable::Off:
        button->setEnabled(false);
        break;
    case Enable::IfData:
        if (DataRec.Count > 0)
            button->setEnabled(true);
        break;
    }
    if (change.light != Light::Keep)
        button->setLit(change.light == Light::Lit);
    if (change.caption)
        button->setText(QString::fromLatin1(change.caption));
    if (change.hint)
        button->setToolTip(QString::fromLatin1(change.hint));
}

} // namespace

void TfrmMain::enterSituation(Situation situation)
{
    const Row* row = std::find_if(std::begin(Table), std::end(Table),
                                  [situation](const Row& r) { return r.situation == situation; });
    Q_ASSERT(row != std::end(Table));
    apply(btnSave, row->save);
    apply(btnDb, row->load);
    apply(btnPrint, row->print);
    apply(btnLimit, row->limit);
    apply(btnClear, row->clear);
    apply(btnComm, row->comm);
    apply(btnWaitData, row->start);
    apply(btnReadFile, row->file);
    if (row->files != Shown::Keep)
        btnFiles->setVisible(row->files == Shown::Show);
}

} // namespace sonmetra
