#include "support/LinkFixture.h"

#include "app/MainWindow.h"
#include "gauge-sim/GaugeSimulator.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "serial/ComNames.h"
#include "support/Records.h"
#include "ui/MessageRecorder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

namespace sonmetra::test {

LinkFixture::LinkFixture() : previousDirectory(QDir::currentPath())
{
    qputenv("XDG_DATA_HOME", work.filePath(QStringLiteral("data")).toLocal8Bit());
    QDir().mkpath(portFolder());
    for (int n = serial::FirstComNumber; n <= serial::LastComNumber; ++n)
        linkNowhere(n);
    QDir::setCurrent(work.path());
    resetRecords();
    messages = std::make_unique<ui::MessageRecorder>();
    window = std::make_unique<TfrmMain>(clock);
    comTest = std::make_unique<TfrmComTest>(window.get());
    window->frmComTest = comTest.get();
    gauge = std::make_unique<sim::GaugeSimulator>();
    QFile::remove(portFolder() + QStringLiteral("/COM%1").arg(ComNumber));
    gauge->linkAs(ComNumber);
}

LinkFixture::~LinkFixture()
{
    window->ClosePort();
    gauge.reset();
    comTest.reset();
    window.reset();
    messages.reset();
    QDir::setCurrent(previousDirectory);
}

QString LinkFixture::portFolder() const
{
    return serial::portFolder();
}

void LinkFixture::linkNowhere(int comNumber) const
{
    const QString link = portFolder() + QStringLiteral("/COM%1").arg(comNumber);
    QFile::remove(link);
    QFile::link(work.filePath(QStringLiteral("no-device-%1").arg(comNumber)), link);
}

void LinkFixture::startHandshake()
{
    CommRec.ComNumber = ComNumber;
    window->OpenPort();
    window->SendCommand('H');
}

bool LinkFixture::connectInstrument()
{
    startHandshake();
    return QTest::qWaitFor([] { return CommRec.Connected == 1; }, 5000);
}

QString LinkFixture::received() const
{
    QString letters;
    for (char c : gauge->receivedCommands())
        letters += QLatin1Char(c);
    return letters;
}

QString LinkFixture::awaitReceived(const QString& expected) const
{
    static_cast<void>(QTest::qWaitFor([&] { return received() == expected; }, 5000));
    return received();
}

void LinkFixture::settle()
{
    QTest::qWait(50);
}

void whenModalOpens(std::function<void(QWidget&)> drive)
{
    auto* timer = new QTimer(QApplication::instance());
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, drive = std::move(drive)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            drive(*modal);
        }
    });
    timer->start();
}

} // namespace sonmetra::test
