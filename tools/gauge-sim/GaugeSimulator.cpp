#include "GaugeSimulator.h"

#include "link/codec/PacketCodec.h"
#include "serial/ComNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace sonmetra::sim {

namespace {

// A line this long without CR LF is noise, not a packet (a valid body has at most 255).
constexpr qsizetype MaxBody = 1024;
// Live readings wait for a busy line no longer than a gauge's send buffer would hold them.
constexpr qsizetype MaxBacklog = 4096;
// Data bytes shown per packet in the traffic record.
constexpr qsizetype ShownData = 8;

QString systemError()
{
    return QString::fromLocal8Bit(strerror(errno));
}

QString printable(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 0x20 && code < 0x7f
               ? QString(QChar::fromLatin1(c))
               : QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
}

QString printable(const QByteArray& bytes)
{
    QString text;
    for (const char c : bytes)
        text += printable(c);
    return text;
}

// "D", or "D 02 d2 04 10 27" when there is an address or data.
QString describe(quint8 address, char command, const QByteArray& data)
{
    QString text = printable(command);
    if (address == 0 && data.isEmpty())
        return text;
    text += QStringLiteral(" %1").arg(int(address), 2, 16, QLatin1Char('0'));
    if (!data.isEmpty())
        text += QLatin1Char(' ') + QString::fromLatin1(data.left(ShownData).toHex(' '));
    if (data.size() > ShownData)
        text += QStringLiteral(" ... (%1 bytes)").arg(data.size());
    return text;
}

QByteArray lowByteFirst(quint16 value)
{
    const char bytes[2] = {static_cast<char>(value & 0xff), static_cast<char>(value >> 8)};
    return QByteArray(bytes, 2);
}

} // namespace

GaugeSimulator::GaugeSimulator(QObject* parent) : QObject(parent)
{
    clock.start();
    readNotifier = std::make_unique<QSocketNotifier>(pty.masterFd(), QSocketNotifier::Read);
    connect(readNotifier.get(), &QSocketNotifier::activated, this, &GaugeSimulator::readMaster);
    writeNotifier = std::make_unique<QSocketNotifier>(pty.masterFd(), QSocketNotifier::Write);
    writeNotifier->setEnabled(false);
    connect(writeNotifier.get(), &QSocketNotifier::activated, this, &GaugeSimulator::writableAgain);

    liveTimer.setTimerType(Qt::PreciseTimer);
    connect(&liveTimer, &QTimer::timeout, this, &GaugeSimulator::sendLiveReading);
    paceTimer.setTimerType(Qt::PreciseTimer);
    paceTimer.setSingleShot(true);
    connect(&paceTimer, &QTimer::timeout, this, &GaugeSimulator::flush);
}

GaugeSimulator::~GaugeSimulator()
{
    unlink();
    closeLine();
}

QString GaugeSimulator::slavePath() const
{
    return pty.slavePath();
}

bool GaugeSimulator::linkAs(int comNumber)
{
    unlink();
    if (comNumber < serial::FirstComNumber || comNumber > serial::LastComNumber) {
        error = QStringLiteral("COM%1 is not a port from COM%2 to COM%3")
                    .arg(comNumber)
                    .arg(serial::FirstComNumber)
                    .arg(serial::LastComNumber);
        return false;
    }
    const QString folder = serial::portFolder();
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("Cannot create the port folder %1").arg(folder);
        return false;
    }
    const QString path = folder + QStringLiteral("/COM%1").arg(comNumber);
    const QFileInfo existing(path);
    if (existing.isSymLink()) {
        // A link of that name is taken over: it is most likely left from an earlier run.
        if (!QFile::remove(path)) {
            error = QStringLiteral("Cannot replace the link %1").arg(path);
            return false;
        }
    } else if (existing.exists()) {
        error = QStringLiteral("%1 exists and is not a link").arg(path);
        return false;
    }
    if (::symlink(QFile::encodeName(pty.slavePath()).constData(),
                  QFile::encodeName(path).constData()) != 0) {
        error =
            QStringLiteral("Cannot link %1 to %2: %3").arg(path, pty.slavePath(), systemError());
        return false;
    }
    link = path;
    return true;
}

void GaugeSimulator::unlink()
{
    if (link.isEmpty())
        return;
    // Another simulator may have taken the name over since; its link stays.
    const QFileInfo info(link);
    if (info.isSymLink() && info.symLinkTarget() == pty.slavePath() && !QFile::remove(link))
        error = QStringLiteral("Cannot remove the link %1").arg(link);
    link.clear();
}

void GaugeSimulator::setLiveReadings(const QVector<quint16>& readings)
{
    liveList = readings;
    liveFromList = true;
    liveNext = 0;
    flush();
}

void GaugeSimulator::setGeneratedReadings(double nominalMm, quint32 seed)
{
    generator = ReadingGenerator(nominalMm, seed);
    liveFromList = false;
    flush();
}

void GaugeSimulator::setLiveRate(double perSecond)
{
    liveRate = std::max(perSecond, 0.0);
    liveTimer.stop();
    if (activity == Activity::Measuring && liveRate > 0)
        liveTimer.start(std::max(1, static_cast<int>(std::lround(1000.0 / liveRate))));
    flush();
}

void GaugeSimulator::setFiles(const QVector<QVector<quint16>>& stored)
{
    files = stored.mid(0, MaxFiles);
}

void GaugeSimulator::setBlockSize(int readings)
{
    blockSize = std::clamp(readings, 1, MaxBlockReadings);
}

void GaugeSimulator::setPaced(bool on)
{
    paced = on;
    pacer.start(clock.nsecsElapsed());
    flush();
}

void GaugeSimulator::setSilent(bool on)
{
    silent = on;
    flush();
}

void GaugeSimulator::hangUp()
{
    if (!pty.isOpen())
        return;
    closeLine();
    emit traffic(QStringLiteral("hang up"));
}

void GaugeSimulator::sendReading(quint16 hundredths)
{
    sendPacket(0, 'D', lowByteFirst(hundredths));
}

void GaugeSimulator::sendRawPacket(quint8 address, char command, const QByteArray& data)
{
    sendPacket(address, command, data);
}

void GaugeSimulator::sendDisconnect()
{
    stopActivity();
    sendPacket(0, 'B', {});
}

void GaugeSimulator::sendEndOfMeasurement()
{
    stopActivity();
    sendPacket(0, 'Z', {});
}

void GaugeSimulator::sendBytes(const QByteArray& bytes)
{
    if (!pty.isOpen())
        return;
    emit traffic(QStringLiteral("TX %1 bytes: %2").arg(bytes.size()).arg(printable(bytes)));
    queue(bytes);
}

void GaugeSimulator::readMaster()
{
    char buffer[4096];
    while (pty.isOpen()) {
        const ssize_t count = ::read(pty.masterFd(), buffer, sizeof buffer);
        if (count > 0) {
            collect(buffer, count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        failLine(count == 0 ? QStringLiteral("the line closed") : systemError());
    }
}

void GaugeSimulator::collect(const char* bytes, qsizetype count)
{
    for (qsizetype i = 0; i < count && pty.isOpen(); ++i) {
        const char c = bytes[i];
        if (c == ':') {
            // A start mark always begins a fresh packet, whatever came before it.
            incoming.clear();
            inPacket = true;
        } else if (!inPacket) {
            continue;
        } else if (c == '\n' && incoming.endsWith('\r')) {
            incoming.chop(1);
            inPacket = false;
            handleBody(std::exchange(incoming, {}));
        } else if (incoming.size() < MaxBody) {
            incoming.append(c);
        } else {
            incoming.clear();
            inPacket = false;
        }
    }
}

void GaugeSimulator::handleBody(const QByteArray& body)
{
    link::TCommPacket packet;
    if (!link::DecodePacket(body, packet)) {
        emit traffic(QStringLiteral("RX invalid: %1").arg(printable(body)));
        return;
    }
    const QByteArray data(reinterpret_cast<const char*>(packet.Data), packet.DataCount);
    emit traffic(QStringLiteral("RX ") + describe(packet.Address, packet.Command, data) +
                 (silent ? QStringLiteral(" (silent)") : QString()));
    received.append(packet.Command);
    if (!silent)
        handleCommand(packet.Command);
    emit commandReceived(packet.Command);
}

void GaugeSimulator::handleCommand(char command)
{
    switch (command) {
    case 'H':
    case 'B':
        stopActivity();
        sendPacket(0, command, {});
        break;
    case 'W':
        stopActivity();
        startMeasuring();
        break;
    case 'Z':
        stopActivity();
        if (answerStop)
            sendPacket(0, 'Z', {});
        break;
    case 'F':
        stopActivity();
        startDownload();
        break;
    case 'Y':
        if (activity == Activity::Downloading && downloadAt + 1 < download.size())
            sendBlock(download[++downloadAt]);
        break;
    case 'N':
        if (activity == Activity::Downloading)
            sendBlock(download[downloadAt]);
        break;
    default:
        // Not a command of the gauge's; it does nothing with it.
        break;
    }
}

void GaugeSimulator::stopActivity()
{
    activity = Activity::Idle;
    liveTimer.stop();
    download.clear();
    downloadAt = 0;
}

void GaugeSimulator::startMeasuring()
{
    activity = Activity::Measuring;
    measuringSinceNs = clock.nsecsElapsed();
    if (liveFromList)
        liveNext = 0;
    if (liveRate > 0)
        liveTimer.start(std::max(1, static_cast<int>(std::lround(1000.0 / liveRate))));
    flush();
}

bool GaugeSimulator::hasLiveReading() const
{
    return !liveFromList || liveNext < liveList.size();
}

quint16 GaugeSimulator::nextLiveReading()
{
    return liveFromList ? liveList[liveNext++] : generator.next();
}

void GaugeSimulator::sendLiveReading()
{
    if (activity != Activity::Measuring || !hasLiveReading()) {
        liveTimer.stop();
        return;
    }
    if (silent || outgoing.size() >= MaxBacklog)
        return;
    sendPacket(0, 'D', lowByteFirst(nextLiveReading()));
}

bool GaugeSimulator::streamingFast() const
{
    return pty.isOpen() && activity == Activity::Measuring && liveRate <= 0 && !silent &&
           hasLiveReading();
}

void GaugeSimulator::startDownload()
{
    download.clear();
    for (qsizetype k = 0; k < files.size(); ++k) {
        const QVector<quint16>& file = files[k];
        const auto address = static_cast<quint8>(k);
        if (file.isEmpty() && sendEmptyFiles)
            download.append({address, 'D', {}});
        for (qsizetype at = 0; at < file.size(); at += blockSize) {
            QByteArray data;
            for (const quint16 reading : file.mid(at, blockSize))
                data += lowByteFirst(reading);
            download.append({address, 'D', data});
        }
    }
    download.append({0, 'Z', {}});
    downloadAt = 0;
    activity = Activity::Downloading;
    sendBlock(download.first());
}

void GaugeSimulator::sendBlock(const Block& block)
{
    sendPacket(block.address, block.command, block.data);
}

void GaugeSimulator::sendPacket(quint8 address, char command, const QByteArray& data)
{
    if (!pty.isOpen())
        return;
    const QByteArray sent = data.left(link::MaxReceiveData);
    link::TCommPacket packet;
    packet.Address = address;
    packet.Command = command;
    packet.Data = reinterpret_cast<const quint8*>(sent.constData());
    packet.DataCount = static_cast<quint8>(sent.size());
    char wire[link::MaxPacketSize];
    const int length = link::EncodePacket(packet, wire, link::MaxReceiveData);

    const PacketFaults::Outcome outcome = faults.apply(QByteArray(wire, length));
    emit traffic(QStringLiteral("TX ") + describe(address, command, sent) +
                 (outcome.note.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(outcome.note)));
    queue(outcome.bytes);
}

void GaugeSimulator::queue(const QByteArray& bytes)
{
    if (!pty.isOpen() || bytes.isEmpty())
        return;
    if (outgoing.isEmpty() && paced)
        pacer.start(readySinceNs >= 0 ? readySinceNs : clock.nsecsElapsed());
    outgoing += bytes;
    flush();
}

void GaugeSimulator::flush()
{
    if (!pty.isOpen())
        return;
    bool blocked = false;
    if (!outgoing.isEmpty()) {
        qint64 allowed = outgoing.size();
        if (paced)
            allowed = std::min(allowed, pacer.due(clock.nsecsElapsed()));
        if (allowed > 0) {
            const ssize_t written =
                ::write(pty.masterFd(), outgoing.constData(), static_cast<size_t>(allowed));
            if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                failLine(systemError());
                return;
            }
            if (written > 0) {
                outgoing.remove(0, written);
                if (paced)
                    pacer.take(written);
            }
            // The pseudo-terminal's buffer is full: the reader on the other side is behind.
            blocked = written < allowed;
        }
    }
    if (outgoing.isEmpty()) {
        paceTimer.stop();
        writeNotifier->setEnabled(streamingFast());
    } else if (paced && !blocked) {
        writeNotifier->setEnabled(false);
        const qint64 waitNs = pacer.untilNext(clock.nsecsElapsed());
        paceTimer.start(static_cast<int>((waitNs + 999'999) / 1'000'000));
    } else {
        paceTimer.stop();
        writeNotifier->setEnabled(true);
    }
}

void GaugeSimulator::writableAgain()
{
    if (outgoing.isEmpty() && streamingFast()) {
        // The gauge had this reading ready the moment the line became free, which was a little
        // before this wake-up: on a paced line it follows the last byte without a gap.
        readySinceNs = std::max(measuringSinceNs, pacer.freeAt());
        sendLiveReading();
        readySinceNs = -1;
    } else {
        flush();
    }
}

void GaugeSimulator::closeLine()
{
    liveTimer.stop();
    paceTimer.stop();
    readNotifier.reset();
    writeNotifier.reset();
    pty.close();
    outgoing.clear();
    stopActivity();
}

void GaugeSimulator::failLine(const QString& reason)
{
    closeLine();
    emit traffic(QStringLiteral("line failed: %1").arg(reason));
    emit lineFailed(reason);
}

} // namespace sonmetra::sim
