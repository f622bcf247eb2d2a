#include "PortHolders.h"
#include "serial/ComNames.h"
#include "serial/PortTest.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <grp.h>
#include <sys/stat.h>

using namespace sonmetra::serial;

namespace {

// The group whose members may open device. Serial devices belong to dialout on Debian and
// Ubuntu; a device that grants its group nothing (or whose group is root) gets that advice too.
QString deviceGroup(const QString& device)
{
    const QString usual = QStringLiteral("dialout");
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(device).constData(), &info) != 0 ||
        (info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return usual;
    const group* owner = ::getgrgid(info.st_gid);
    if (owner == nullptr || info.st_gid == 0)
        return usual;
    return QString::fromLocal8Bit(owner->gr_name);
}

QString heldBy(const QString& device)
{
    QStringList names;
    for (const sonmetra::ports::PortHolder& holder : sonmetra::ports::portHolders(device))
        names << QStringLiteral("%1 (pid %2)").arg(holder.name).arg(holder.pid);
    return names.isEmpty() ? QString() : QStringLiteral(": ") + names.join(QStringLiteral(", "));
}

QString verdict(const PortStatus& status)
{
    switch (status.state) {
    case PortStatus::State::Available:
        return QStringLiteral("offered");
    case PortStatus::State::NoDevice:
        return QStringLiteral("not offered: no device");
    case PortStatus::State::NoPermission:
        return QStringLiteral("not offered: no permission (%1); join the %2 group with "
                              "`sudo usermod -aG %2 $USER`, then log out and in again")
            .arg(status.detail, deviceGroup(status.device));
    case PortStatus::State::Held:
        return QStringLiteral("not offered: held by another program") + heldBy(status.device);
    case PortStatus::State::Failed:
        return QStringLiteral("not offered: ") + status.detail;
    }
    return {};
}

QString deviceColumn(int number, const PortStatus& status)
{
    const QString named = comDevice(number);
    if (named == status.device || !QFileInfo(named).isSymLink())
        return status.device;
    return QStringLiteral("%1 (link %2)").arg(status.device, named);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sonmetra-ports"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists COM%1 to COM%2 as the Sonmetra viewer sees them: the device behind "
                       "each number, and whether the viewer's port picker would offer it now "
                       "or why not.\n\nA link or device named COMn in %3 gives port n any "
                       "device; otherwise COM1-4 are /dev/ttyS0-3, COM5-12 /dev/ttyUSB0-7 and "
                       "COM13-16 /dev/ttyACM0-3.")
            .arg(FirstComNumber)
            .arg(LastComNumber)
            .arg(portFolder()));
    parser.addHelpOption();
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << "sonmetra-ports takes no arguments; see --help\n";
        return 2;
    }

    QTextStream out(stdout);
    for (int number = FirstComNumber; number <= LastComNumber; ++number) {
        const PortStatus status = portStatus(number);
        out << QStringLiteral("COM%1").arg(number).leftJustified(6) << ' '
            << deviceColumn(number, status).leftJustified(14) << "  " << verdict(status) << '\n';
    }
    return 0;
}
