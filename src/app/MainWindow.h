#pragma once

#include <QWidget>

#include <array>

class QCloseEvent;
class QFrame;
class QLabel;
class QToolButton;

namespace sonmetra {

class TfrmComTest;

namespace link {
struct TCommPacket;
} // namespace link

namespace serial {
class Clock;
class SerialPort;
} // namespace serial

namespace ui {
class Arrow;
class BarChart;
class NumericFigure;
class SevenSegment;
class StatusLight;
class SwitchLight;
} // namespace ui

inline constexpr char MainWindowTitle[] = "Sonmetra  for Ultrasonic Thickness Gauge ----V2.20";

// The situations of the command row; each has one row in the enable/light table.
enum class Situation
{
    StartUp,
    Connecting,
    ConnectAborted,
    Connected,
    Disconnecting,
    Disconnected,
    Measuring,
    MeasureStopped,
    Downloading,
    DownloadFinished,
    DownloadFailed,
    DataSetShown,
};

// The main window. Its operations are defined beside the subsystem they belong to: the view in
// readings/, the link in link/, the database commands in storage/, printing in report/.
class TfrmMain : public QWidget
{
    Q_OBJECT

public:
    // The serial service keeps time with `clock`; tests give a virtual one.
    explicit TfrmMain(serial::Clock& clock, QWidget* parent = nullptr);
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Command row.
    ui::SwitchLight* btnSave = nullptr;
    ui::SwitchLight* btnDb = nullptr;
    ui::SwitchLight* btnPrint = nullptr;
    ui::SwitchLight* btnLimit = nullptr;
    ui::SwitchLight* btnClear = nullptr;
    ui::SwitchLight* btnComm = nullptr;
    ui::SwitchLight* btnWaitData = nullptr;
    ui::SwitchLight* btnReadFile = nullptr;
    QToolButton* btnFiles = nullptr;

    // Readings view.
    QFrame* chartFrame = nullptr;
    ui::BarChart* Chart1 = nullptr;
    QFrame* panData = nullptr;
    std::array<ui::SevenSegment*, 10> seg{}; // seg[0] is seg1, the bottom display
    std::array<ui::SevenSegment*, 10> SegDisplays{};
    QLabel* lblMax = nullptr;
    QLabel* lblMin = nullptr;
    ui::Arrow* ArrowUp = nullptr;
    ui::Arrow* ArrowDown = nullptr;
    ui::NumericFigure* ledAverage = nullptr;
    ui::NumericFigure* ledSDEV = nullptr;
    ui::NumericFigure* ledMax = nullptr;
    ui::NumericFigure* ledMin = nullptr;
    ui::NumericFigure* ledCounter = nullptr;

    // Status bar: panel 0 the connection, panel 1 the running activity, panel 2 the lights.
    QWidget* StatusBar = nullptr;
    QLabel* statusPanel0 = nullptr;
    QLabel* statusPanel1 = nullptr;
    ui::StatusLight* ApdStatusLight1 = nullptr; // RX
    ui::StatusLight* ApdStatusLight2 = nullptr; // TX

    // The serial port with its packet collector, timer triggers and lights.
    serial::SerialPort* ComPort1 = nullptr;
    TfrmComTest* frmComTest = nullptr;

    void setStatusPanel(int panel, const QString& text);
    QString statusPanel(int panel) const;

    // Program start.
    void FormCreate();
    void InitMainState();

    // The enable/light table: the one place that says which commands each situation enables,
    // disables, lights or relabels.
    void enterSituation(Situation situation);

    // Readings view (readings/ReadingsView.cpp).
    void ClearView();
    void RedrawAll();
    void AppendReading();
    void ShowPage(quint16 pageEnd);
    void ColorBar(quint16 k);
    void PageBack();
    void PageForward();

    // Commands.
    void btnSaveClick();
    void btnDbClick();
    void btnPrintClick();
    void btnLimitClick();
    void btnClearClick();
    void btnCommClick();
    void btnWaitDataClick();
    void btnReadFileClick();
    void btnFilesClick();

    void FormClose();

    // Command transactions (link/Transactions.cpp).
    void SendCommand(char letter);
    bool SendPacket(const link::TCommPacket& packet);
    void ResendLast();
    bool CheckIdle();
    void CommRetry();
    void ComPort1TriggerTimer(quint16 handle);
    void DataPacketStringPacket(const QByteArray& body);
    void HandlePacket(const QByteArray& body);

    // Connecting and disconnecting (link/Connection.cpp).
    void OpenPort();
    void ClosePort();
    void ShowConnected();
    void ShowDisconnected();
    // The open port failed under the program: cable pulled, adapter removed.
    void ComPort1Failed();

    // Live measurement (readings/LiveMeasurement.cpp).
    void ShowMeasuring();
    void ShowMeasureStopped();
    void AddLiveReading(const link::TCommPacket& packet);

    // File download (readings/FileDownload.cpp).
    void AddFileBlock(const link::TCommPacket& packet);
    void FinishDownload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void clearChart();
    // The index labels empty and the five statistics figures at 0.
    void clearFigures();
    void showStatistics();
    // Sends the last packet again if the output buffer has room for it now.
    void sendTxBuffer();
    void createCommandRow();
    void createChart();
    void createReadingsColumn();
    void createStatisticsRow();
    void createStatusBar();
    void connectHandlers();
    void connectSerialPort();
};

} // namespace sonmetra
