#include "app/MainWindow.h"

#include "app/ErrorHandler.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "readings/DataSet.h"
#include "readings/LimitState.h"
#include "serial/SerialPort.h"
#include "ui/Arrow.h"
#include "ui/BarChart.h"
#include "ui/NumericFigure.h"
#include "ui/SevenSegment.h"
#include "ui/StatusLight.h"
#include "ui/SwitchLight.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

namespace sonmetra {

namespace {

constexpr int ClientWidth = 803;
constexpr int ClientHeight = 524;
constexpr int CommandRowTop = 428;
constexpr int CommandButtonWidth = 57;
constexpr int CommandButtonHeight = 36;
constexpr int StatusBarHeight = 21;
constexpr int DisconnectDrainMs = 100;

struct CommandButton
{
    ui::SwitchLight* TfrmMain::*member;
    int left;
    const char* name;
    const char* caption;
    const char* hint;
};

constexpr CommandButton CommandButtons[] = {
    {&TfrmMain::btnSave, 10, "btnSave", "SAVE", "Save Current Data"},
    {&TfrmMain::btnDb, 73, "btnDb", "LOAD", "Load data from Database"},
    {&TfrmMain::btnPrint, 136, "btnPrint", "PRINT", "Print Data"},
    {&TfrmMain::btnLimit, 199, "btnLimit", "LIMIT", "Limit Setting"},
    {&TfrmMain::btnClear, 262, "btnClear", "CLEAR", "Clear Current Data Cache"},
    {&TfrmMain::btnComm, 325, "btnComm", "CONN", "Connect to the Instrument"},
    {&TfrmMain::btnWaitData, 388, "btnWaitData", "START", "START MEASUREMENT"},
    {&TfrmMain::btnReadFile, 451, "btnReadFile", "FILE",
     "Download Measurement Data File Stored In The Instrument"},
};

// The file button's picture: a small sheet with ruled lines, as a data file is drawn.
QPixmap filePicture()
{
    QPixmap pixmap(28, 28);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    p.setBrush(QColor(0xFF, 0xFF, 0xE0));
    const QPointF sheet[] = {{6, 2}, {18, 2}, {24, 8}, {24, 26}, {6, 26}};
    p.drawPolygon(sheet, 5);
    p.drawLine(QPointF(18, 2), QPointF(18, 8));
    p.drawLine(QPointF(18, 8), QPointF(24, 8));
    p.setPen(QPen(QColor(0x00, 0x80, 0x00), 2));
    for (int y = 12; y <= 22; y += 5)
        p.drawLine(QPointF(9, y), QPointF(21, y));
    return pixmap;
}

QFrame* blackPanel(QWidget* parent, const QRect& geometry, const char* name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    panel->setPalette(palette);
    return panel;
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent) : TfrmMain(serial::defaultClock(), parent) {}

TfrmMain::TfrmMain(serial::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmMain"));
    ComPort1 = new serial::SerialPort(clock, this);
    ComPort1->setObjectName(QStringLiteral("ComPort1"));
    setFixedSize(ClientWidth, ClientHeight);
    createChart();
    createReadingsColumn();
    createCommandRow();
    createStatisticsRow();
    createStatusBar();
    connectHandlers();
    connectSerialPort();
    enterSituation(Situation::StartUp);
    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::createCommandRow()
{
    for (const CommandButton& b : CommandButtons) {
        auto* button = new ui::SwitchLight(this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(QString::fromLatin1(b.caption));
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setGeometry(b.left, CommandRowTop, CommandButtonWidth, CommandButtonHeight);
        this->*(b.member) = button;
    }
    btnFiles = new QToolButton(this);
    btnFiles->setObjectName(QStringLiteral("btnFiles"));
    btnFiles->setAutoRaise(true);
    btnFiles->setIcon(QIcon(filePicture()));
    btnFiles->setIconSize(QSize(28, 28));
    btnFiles->setToolTip(QStringLiteral("Display the file downloaded"));
    btnFiles->setAccessibleName(btnFiles->toolTip());
    btnFiles->setGeometry(511, CommandRowTop, 40, CommandButtonHeight);
}

void TfrmMain::createChart()
{
    chartFrame = blackPanel(this, QRect(10, 16, 551, 401), "chartFrame");
    Chart1 = new ui::BarChart(chartFrame);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setTitle(QStringLiteral("Sonmetra"));
    Chart1->setGeometry(chartFrame->contentsRect());
}

void TfrmMain::createReadingsColumn()
{
    panData = blackPanel(this, QRect(568, 10, 225, 447), "panData");
    for (int i = 1; i <= 10; ++i) {
        auto* display = new ui::SevenSegment(panData);
        display->setObjectName(QStringLiteral("seg%1").arg(i));
        display->setAccessibleName(QStringLiteral("Reading display %1").arg(i));
        display->setGeometry(25, 24 + (10 - i) * 40, 138, 40);
        seg[static_cast<std::size_t>(i - 1)] = display;
    }
    const auto indexLabel = [this](const char* name, const QRect& geometry, const char* role) {
        auto* label = new QLabel(QStringLiteral("65535"), panData);
        label->setObjectName(QString::fromLatin1(name));
        label->setAccessibleName(QString::fromLatin1(role));
        label->setGeometry(geometry);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
        palette.setColor(QPalette::WindowText, Qt::blue);
        label->setPalette(palette);
        return label;
    };
    lblMax = indexLabel("lblMax", QRect(171, 16, 38, 21), "Newest reading on the page");
    lblMin = indexLabel("lblMin", QRect(172, 410, 38, 21), "Oldest reading on the page");
    ArrowUp = new ui::Arrow(ui::Arrow::Direction::Up, panData);
    ArrowUp->setObjectName(QStringLiteral("ArrowUp"));
    ArrowUp->setGeometry(176, 39, 30, 30);
    ArrowDown = new ui::Arrow(ui::Arrow::Direction::Down, panData);
    ArrowDown->setObjectName(QStringLiteral("ArrowDown"));
    ArrowDown->setGeometry(177, 378, 30, 30);
}

void TfrmMain::createStatisticsRow()
{
    struct Figure
    {
        ui::NumericFigure* TfrmMain::*member;
        const char* name;
        const char* caption;
        int decimals;
        const char* units;
        int left;
    };
    static constexpr Figure figures[] = {
        {&TfrmMain::ledAverage, "ledAverage", "Average:", 2, " mm", 10},
        {&TfrmMain::ledSDEV, "ledSDEV", "StdDev:", 2, " mm", 172},
        {&TfrmMain::ledMax, "ledMax", "Maxinum:", 2, " mm", 334},
        {&TfrmMain::ledMin, "ledMin", "Mininum:", 2, " mm", 496},
        {&TfrmMain::ledCounter, "ledCounter", "Number:", 0, "", 658},
    };
    constexpr int top = 470;
    for (const Figure& f : figures) {
        auto* caption = new QLabel(QString::fromLatin1(f.caption), this);
        caption->setGeometry(f.left, top, 62, 24);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* figure = new ui::NumericFigure(f.decimals, QString::fromLatin1(f.units), this);
        figure->setObjectName(QString::fromLatin1(f.name));
        figure->setAccessibleName(caption->text().chopped(1));
        figure->setGeometry(f.left + 66, top, f.decimals > 0 ? 90 : 70, 24);
        caption->setBuddy(figure);
        this->*(f.member) = figure;
    }
}

void TfrmMain::createStatusBar()
{
    StatusBar = new QWidget(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setGeometry(0, ClientHeight - StatusBarHeight, ClientWidth, StatusBarHeight);
    QFont font = StatusBar->font();
    font.setPixelSize(11); // the panel widths are fixed; their longest texts must fit
    StatusBar->setFont(font);
    // The panels are plain labels, so a screen reader reads the text they show.
    const auto panel = [this](int left, int width, const char* name) {
        auto* label = new QLabel(StatusBar);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(left, 1, width - 2, StatusBarHeight - 2);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    };
    statusPanel0 = panel(0, 150, "statusPanel0");
    statusPanel1 = panel(150, 500, "statusPanel1");
    const auto light = [this](int left, const char* name, const char* role) {
        auto* l = new ui::StatusLight(StatusBar);
        l->setObjectName(QString::fromLatin1(name));
        l->setAccessibleName(QString::fromLatin1(role));
        l->setGeometry(left, (StatusBarHeight - 10) / 2, 10, 10);
        return l;
    };
    ApdStatusLight1 = light(654, "ApdStatusLight1", "RX");
    ApdStatusLight2 = light(666, "ApdStatusLight2", "TX");
}

void TfrmMain::connectHandlers()
{
    const auto onClick = [this](QAbstractButton* button, void (TfrmMain::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                guarded([this, handler] { (this->*handler)(); }));
    };
    const auto onDoubleClick = [this](ui::SwitchLight* button, void (TfrmMain::*handler)()) {
        connect(button, &ui::SwitchLight::doubleClicked, this,
                guarded([this, handler] { (this->*handler)(); }));
    };
    onClick(btnSave, &TfrmMain::btnSaveClick);
    onClick(btnDb, &TfrmMain::btnDbClick);
    onClick(btnPrint, &TfrmMain::btnPrintClick);
    onClick(btnLimit, &TfrmMain::btnLimitClick);
    onClick(btnClear, &TfrmMain::btnClearClick);
    onDoubleClick(btnClear, &TfrmMain::btnClearClick);
    onClick(btnComm, &TfrmMain::btnCommClick);
    onClick(btnWaitData, &TfrmMain::btnWaitDataClick);
    onDoubleClick(btnWaitData, &TfrmMain::btnWaitDataClick);
    onClick(btnReadFile, &TfrmMain::btnReadFileClick);
    onClick(btnFiles, &TfrmMain::btnFilesClick);

    // The arrows are lit exactly while a mouse button is held on them; a click pages once.
    for (ui::Arrow* arrow : {ArrowUp, ArrowDown}) {
        connect(arrow, &QAbstractButton::pressed, arrow, [arrow] { arrow->setLit(true); });
        connect(arrow, &QAbstractButton::released, arrow, [arrow] { arrow->setLit(false); });
    }
    onClick(ArrowUp, &TfrmMain::PageForward);
    onClick(ArrowDown, &TfrmMain::PageBack);
}

void TfrmMain::connectSerialPort()
{
    connect(ComPort1, &serial::SerialPort::packetReceived, this,
            [this](const QByteArray& body) { runGuarded([&] { DataPacketStringPacket(body); }); });
    connect(ComPort1, &serial::SerialPort::triggerExpired, this,
            [this](quint16 handle) { runGuarded([&] { ComPort1TriggerTimer(handle); }); });
    connect(ComPort1, &serial::SerialPort::portFailed, this, guarded([this] { ComPort1Failed(); }));
    connect(ComPort1, &serial::SerialPort::lightsChanged, this, [this](bool rx, bool tx) {
        ApdStatusLight1->setLit(rx);
        ApdStatusLight2->setLit(tx);
    });
}

void TfrmMain::setStatusPanel(int panel, const QString& text)
{
    (panel == 0 ? statusPanel0 : statusPanel1)->setText(text);
}

QString TfrmMain::statusPanel(int panel) const
{
    return (panel == 0 ? statusPanel0 : statusPanel1)->text();
}

void TfrmMain::FormCreate()
{
    InitMainState();
    setWindowTitle(QString::fromLatin1(MainWindowTitle));
}

void TfrmMain::InitMainState()
{
    ClearDataSet();
    LimitOn = 0;
    UpperLimit = DefaultUpperLimit;
    LowerLimit = DefaultLowerLimit;
    SegDisplays = seg;
    clearFigures();
    setStatusPanel(0, QStringLiteral("No connect to instrument"));
}

void TfrmMain::FormClose()
{
    if (CommRec.Connected) {
        SendCommand('B');
        // Let the disconnect leave the PC before the port closes; nothing waits for the answer.
        ComPort1->drainOutput(DisconnectDrainMs);
    }
    ClosePort();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    runGuarded([this] { FormClose(); });
    event->accept();
}

} // namespace sonmetra
