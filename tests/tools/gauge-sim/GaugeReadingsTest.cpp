#include "gauge-sim/ReadingGenerator.h"
#include "gauge-sim/ReadingsFile.h"

#include "error/PlatformError.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace sonmetra;
using namespace sonmetra::sim;

class GaugeReadingsTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void unreadableFile();
    void fileOnDisk();
    void generatorStaysNearNominal();
    void generatorRepeatsBySeed();
};

void GaugeReadingsTest::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QVector<quint16>>("expected");
    QTest::addColumn<QString>("error"); // part of the failure text; empty when it parses

    QTest::newRow("range ends") << QByteArray("12.34\n0\n655.35\n")
                                << QVector<quint16>{1234, 0, 65535} << QString();
    QTest::newRow("blanks, comments, CR LF")
        << QByteArray("# wall 3\r\n\r\n  1.5 \r\n7\r\n") << QVector<quint16>{150, 700} << QString();
    QTest::newRow("no final newline") << QByteArray("0.01") << QVector<quint16>{1} << QString();
    QTest::newRow("empty") << QByteArray() << QVector<quint16>{} << QString();
    QTest::newRow("above 655.35") << QByteArray("1\n655.36\n") << QVector<quint16>{}
                                  << QStringLiteral("walls.txt, line 2: \"655.36\"");
    QTest::newRow("negative") << QByteArray("-1") << QVector<quint16>{}
                              << QStringLiteral("line 1: \"-1\"");
    QTest::newRow("decimal comma")
        << QByteArray("12,34") << QVector<quint16>{} << QStringLiteral("line 1: \"12,34\"");
    QTest::newRow("words") << QByteArray("\n\nthick") << QVector<quint16>{}
                           << QStringLiteral("line 3: \"thick\"");
}

void GaugeReadingsTest::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(QVector<quint16>, expected);
    QFETCH(QString, error);
    try {
        const QVector<quint16> readings = parseReadings(text, QStringLiteral("walls.txt"));
        QVERIFY2(error.isEmpty(), "accepted a line that is not a thickness");
        QCOMPARE(readings, expected);
    } catch (const PlatformError& failure) {
        QVERIFY2(!error.isEmpty(), qPrintable(failure.message()));
        QVERIFY2(failure.message().contains(error), qPrintable(failure.message()));
    }
}

void GaugeReadingsTest::unreadableFile()
{
    const QString path = QStringLiteral("/nonexistent/readings.txt");
    try {
        readReadingsFile(path);
        QFAIL("read a file that does not exist");
    } catch (const PlatformError& failure) {
        QVERIFY2(failure.message().contains(path), qPrintable(failure.message()));
    }
}

void GaugeReadingsTest::fileOnDisk()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("readings.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("12.34\n10.00\n");
    file.close();
    QCOMPARE(readReadingsFile(file.fileName()), (QVector<quint16>{1234, 1000}));
}

void GaugeReadingsTest::generatorStaysNearNominal()
{
    ReadingGenerator generator(12.5, 3);
    int near = 0;
    int outliers = 0;
    const int count = 2000;
    for (int i = 0; i < count; ++i) {
        const int offset = std::abs(int(generator.next()) - 1250);
        near += offset <= 10 ? 1 : 0;      // within 0.1 mm
        outliers += offset >= 400 ? 1 : 0; // 4 mm off and more
    }
    QVERIFY2(near >= count * 95 / 100, qPrintable(QString::number(near)));
    QVERIFY2(outliers > 0 && outliers <= count * 5 / 100, qPrintable(QString::number(outliers)));
    QCOMPARE(near + outliers, count); // nothing in between: noise is small, outliers are far
}

void GaugeReadingsTest::generatorRepeatsBySeed()
{
    ReadingGenerator first(8.0, 11);
    ReadingGenerator second(8.0, 11);
    ReadingGenerator other(8.0, 12);
    QVector<quint16> a, b, c;
    for (int i = 0; i < 50; ++i) {
        a.append(first.next());
        b.append(second.next());
        c.append(other.next());
    }
    QCOMPARE(a, b);
    QVERIFY(a != c);
}

QTEST_APPLESS_MAIN(GaugeReadingsTest)
#include "GaugeReadingsTest.moc"
