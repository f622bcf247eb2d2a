#include "GaugeSimulator.h"
#include "QuitOnSignals.h"
#include "ReadingGenerator.h"
#include "ReadingsFile.h"

#include "error/PlatformError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <unistd.h>

using namespace sonmetra;
using namespace sonmetra::sim;

namespace {

struct Options
{
    int com = 16;
    int files = 6;
    int fileReadings = 100;
    double rate = 2.0;
    QString readings;
    bool pace = false;
    bool silent = false;
    int corrupt = 0;
    int drop = 0;
    int duplicate = 0;
    bool garbage = false;
    double hangUpAfter = -1.0;
    int blockSize = GaugeSimulator::MaxBlockReadings;
    bool answerStop = false;
    bool emptyFiles = false;
    bool quiet = false;
};

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Reads a whole number from minimum to maximum for the option, or says what is wrong.
std::optional<int> wholeNumber(const QCommandLineParser& parser, const QString& name, int minimum,
                               int maximum)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (ok && value >= minimum && value <= maximum)
        return value;
    err() << "--" << name << ": expected a whole number from " << minimum << " to " << maximum
          << ", not \"" << parser.value(name) << "\"" << Qt::endl;
    return std::nullopt;
}

std::optional<double> number(const QCommandLineParser& parser, const QString& name)
{
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    if (ok && value >= 0.0)
        return value;
    err() << "--" << name << ": expected a number of 0 or more, not \"" << parser.value(name)
          << "\"" << Qt::endl;
    return std::nullopt;
}

std::optional<Options> parse(QCommandLineParser& parser, const QCoreApplication& app)
{
    parser.setApplicationDescription(
        QStringLiteral("Plays the ultrasonic thickness gauge on a pseudo-terminal linked as COMn "
                       "in the port folder, so the viewer finds it like any serial port."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("com"), QStringLiteral("Link the line as COM<n> (1-16, default 16)."),
         QStringLiteral("n"), QStringLiteral("16")},
        {QStringLiteral("files"),
         QStringLiteral("Number of stored files of realistic readings (0-6, default 6)."),
         QStringLiteral("n"), QStringLiteral("6")},
        {QStringLiteral("file-readings"),
         QStringLiteral("Readings in each stored file (0-1000, default 100)."), QStringLiteral("k"),
         QStringLiteral("100")},
        {QStringLiteral("block-size"),
         QStringLiteral("Readings per download block (1-62, default 62)."), QStringLiteral("k"),
         QStringLiteral("62")},
        {QStringLiteral("empty-files"),
         QStringLiteral("Send a file without readings as an empty block instead of skipping it.")},
        {QStringLiteral("rate"),
         QStringLiteral("Live readings a second (default 2; 0 = as fast as the line allows)."),
         QStringLiteral("r"), QStringLiteral("2")},
        {QStringLiteral("readings"),
         QStringLiteral("Live readings from a file, one per line in mm (e.g. 12.34), instead of "
                        "generated ones."),
         QStringLiteral("file")},
        {QStringLiteral("answer-stop"), QStringLiteral("Answer the viewer's 'Z' with 'Z'.")},
        {QStringLiteral("pace"), QStringLiteral("Send at the speed of a 9600-baud line.")},
        {QStringLiteral("silent"), QStringLiteral("Answer nothing.")},
        {QStringLiteral("corrupt"),
         QStringLiteral("Send the next k packets with a wrong checksum."), QStringLiteral("k"),
         QStringLiteral("0")},
        {QStringLiteral("drop"), QStringLiteral("Leave out the next k packets."),
         QStringLiteral("k"), QStringLiteral("0")},
        {QStringLiteral("duplicate"), QStringLiteral("Send the next k packets twice."),
         QStringLiteral("k"), QStringLiteral("0")},
        {QStringLiteral("garbage"), QStringLiteral("Send noise before every packet.")},
        {QStringLiteral("hangup-after"),
         QStringLiteral("Hang up the line after this many seconds and exit."),
         QStringLiteral("seconds")},
        {QStringLiteral("quiet"), QStringLiteral("Do not print the packets received and sent.")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        err() << "Unexpected argument: " << parser.positionalArguments().first() << Qt::endl;
        return std::nullopt;
    }

    Options options;
    const auto com = wholeNumber(parser, QStringLiteral("com"), 1, 16);
    const auto files = wholeNumber(parser, QStringLiteral("files"), 0, GaugeSimulator::MaxFiles);
    const auto fileReadings = wholeNumber(parser, QStringLiteral("file-readings"), 0, 1000);
    const auto blockSize =
        wholeNumber(parser, QStringLiteral("block-size"), 1, GaugeSimulator::MaxBlockReadings);
    const auto corrupt = wholeNumber(parser, QStringLiteral("corrupt"), 0, 1'000'000);
    const auto drop = wholeNumber(parser, QStringLiteral("drop"), 0, 1'000'000);
    const auto duplicate = wholeNumber(parser, QStringLiteral("duplicate"), 0, 1'000'000);
    const auto rate = number(parser, QStringLiteral("rate"));
    const bool hangUp = parser.isSet(QStringLiteral("hangup-after"));
    const auto hangUpAfter =
        hangUp ? number(parser, QStringLiteral("hangup-after")) : std::optional<double>(-1.0);
    if (!com || !files || !fileReadings || !blockSize || !corrupt || !drop || !duplicate || !rate ||
        !hangUpAfter)
        return std::nullopt;
    options.com = *com;
    options.files = *files;
    options.fileReadings = *fileReadings;
    options.blockSize = *blockSize;
    options.corrupt = *corrupt;
    options.drop = *drop;
    options.duplicate = *duplicate;
    options.rate = *rate;
    options.hangUpAfter = *hangUpAfter;
    options.readings = parser.value(QStringLiteral("readings"));
    options.pace = parser.isSet(QStringLiteral("pace"));
    options.silent = parser.isSet(QStringLiteral("silent"));
    options.garbage = parser.isSet(QStringLiteral("garbage"));
    options.answerStop = parser.isSet(QStringLiteral("answer-stop"));
    options.emptyFiles = parser.isSet(QStringLiteral("empty-files"));
    options.quiet = parser.isSet(QStringLiteral("quiet"));
    return options;
}

// Stored files of realistic readings: each file one wall, from 4.00 mm upwards.
QVector<QVector<quint16>> storedFiles(int count, int readings)
{
    QVector<QVector<quint16>> files;
    for (int k = 0; k < count; ++k) {
        ReadingGenerator generator(4.0 + 2.5 * k, static_cast<quint32>(100 + k));
        QVector<quint16> file;
        for (int i = 0; i < readings; ++i)
            file.append(generator.next());
        files.append(file);
    }
    return files;
}

// Keys typed while it runs, each followed by Enter: b sends the gauge's own disconnect, z its own
// end of measurement. At the end of its input (none, or /dev/null) it stops listening.
void listenToKeys(GaugeSimulator& simulator, QSocketNotifier& keys)
{
    QObject::connect(&keys, &QSocketNotifier::activated, &simulator, [&simulator, &keys] {
        char typed[64];
        const ssize_t count = ::read(STDIN_FILENO, typed, sizeof typed);
        if (count <= 0) {
            keys.setEnabled(false);
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            if (typed[i] == 'b')
                simulator.sendDisconnect();
            else if (typed[i] == 'z')
                simulator.sendEndOfMeasurement();
        }
    });
}

int run(const Options& options)
{
    GaugeSimulator simulator;
    if (!options.quiet)
        QObject::connect(&simulator, &GaugeSimulator::traffic,
                         [](const QString& line) { out() << line << Qt::endl; });
    QObject::connect(&simulator, &GaugeSimulator::lineFailed, [](const QString& reason) {
        err() << "The line failed: " << reason << Qt::endl;
        QCoreApplication::exit(1);
    });

    if (!options.readings.isEmpty())
        simulator.setLiveReadings(readReadingsFile(options.readings));
    simulator.setLiveRate(options.rate);
    simulator.setAnswerStop(options.answerStop);
    simulator.setFiles(storedFiles(options.files, options.fileReadings));
    simulator.setBlockSize(options.blockSize);
    simulator.setSendEmptyFiles(options.emptyFiles);
    simulator.setPaced(options.pace);
    simulator.setSilent(options.silent);
    simulator.corruptNext(options.corrupt);
    simulator.dropNext(options.drop);
    simulator.duplicateNext(options.duplicate);
    simulator.setGarbage(options.garbage);

    const QuitOnSignals quitOnSignals;
    if (!simulator.linkAs(options.com)) {
        err() << simulator.errorString() << Qt::endl;
        return 1;
    }
    if (options.hangUpAfter >= 0.0)
        QTimer::singleShot(static_cast<int>(options.hangUpAfter * 1000.0), &simulator, [&] {
            simulator.hangUp();
            QCoreApplication::quit();
        });

    QSocketNotifier keys(STDIN_FILENO, QSocketNotifier::Read);
    listenToKeys(simulator, keys);

    out() << "Gauge simulator on " << simulator.slavePath() << ", linked as COM" << options.com
          << " (" << simulator.linkPath() << "). Type b and Enter to disconnect from the gauge's "
          << "side, z and Enter to end a measurement; Ctrl+C ends it." << Qt::endl;
    const int status = QCoreApplication::exec();
    simulator.unlink();
    if (!simulator.errorString().isEmpty())
        err() << simulator.errorString() << Qt::endl;
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sonmetra-gauge-sim"));
    QCommandLineParser parser;
    const std::optional<Options> options = parse(parser, app);
    if (!options)
        return 2;
    try {
        return run(*options);
    } catch (const PlatformError& failure) {
        err() << failure.message() << Qt::endl;
        return 1;
    }
}
