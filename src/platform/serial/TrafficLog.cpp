#include "serial/TrafficLog.h"

#include "serial/Ticks.h"

#include <QSaveFile>

namespace sonmetra::serial {

namespace {

QByteArray formatBurst(qint64 sinceOpenMs, TrafficLog::Direction direction, const QByteArray& bytes)
{
    QByteArray line = QByteArray::number(static_cast<double>(sinceOpenMs) / 1000.0, 'f', 3)
                          .rightJustified(10, ' ');
    line += direction == TrafficLog::Direction::Tx ? " TX " : " RX ";
    line += bytes.toHex(' ');
    line += "  ";
    for (const char c : bytes)
        line += (c >= 0x20 && c < 0x7f) ? c : '.';
    line += '\n';
    return line;
}

QByteArray timestamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toUtf8();
}

} // namespace

void TrafficLog::start(const QString& portName, qint64 nowMs)
{
    port = portName;
    opened = QDateTime::currentDateTime();
    openedMs = nowMs;
    bursts.clear();
    sentCount = 0;
    receivedCount = 0;
}

void TrafficLog::record(Direction direction, QByteArrayView bytes, qint64 nowMs)
{
    (direction == Direction::Tx ? sentCount : receivedCount) += bytes.size();
    while (!bytes.isEmpty()) {
        const bool continues = !bursts.empty() && bursts.back().direction == direction &&
                               !bursts.back().bytes.endsWith('\n') &&
                               nowMs - bursts.back().lastMs <= TickMs;
        if (!continues)
            bursts.push_back(Burst{nowMs, nowMs, direction, {}});
        const qsizetype lineEnd = bytes.indexOf('\n');
        const qsizetype take = lineEnd < 0 ? bytes.size() : lineEnd + 1;
        bursts.back().bytes += bytes.first(take);
        bursts.back().lastMs = nowMs;
        bytes = bytes.sliced(take);
    }
}

QByteArray TrafficLog::text() const
{
    QByteArray out = "Serial traffic of " + port.toUtf8() + ", opened " + timestamp(opened) + '\n';
    for (const Burst& burst : bursts)
        out += formatBurst(burst.startMs - openedMs, burst.direction, burst.bytes);
    out += "Closed " + timestamp(QDateTime::currentDateTime()) + ": " +
           QByteArray::number(sentCount) + " bytes sent, " + QByteArray::number(receivedCount) +
           " bytes received\n";
    return out;
}

QString TrafficLog::writeTo(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text()) < 0 || !file.commit())
        return QStringLiteral("Cannot write the serial traffic log %1: %2")
            .arg(path, file.errorString());
    return {};
}

} // namespace sonmetra::serial
