// The data set: emptying it, the sensor names and the statistics over it.

#include "readings/DataSet.h"
#include "support/Records.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace sonmetra;

namespace {

// The figures as the view shows them: two decimals.
QString twoDecimals(float v)
{
    return QString::number(v, 'f', 2);
}

} // namespace

class TestDataSet : public QObject
{
    Q_OBJECT

private slots:
    void init() { test::resetRecords(); }

    void clearDataSetKeepsCommentsTestTimeAndReadings()
    {
        DataRec.Source = dsDatabase;
        DataRec.Velocity = 5920;
        DataRec.Sensor = 3;
        DataRec.Material = QStringLiteral("Steel");
        DataRec.Comments = QStringLiteral("Boiler tube 4");
        DataRec.TestTime = 45123.5;
        test::setReadings({7.5f, 8.25f});
        DataRec.PageEnd = 2;

        ClearDataSet();

        QCOMPARE(DataRec.Source, dsNothing);
        QCOMPARE(DataRec.Count, 0);
        QCOMPARE(DataRec.PageEnd, 0);
        QCOMPARE(DataRec.Velocity, 5000);
        QCOMPARE(DataRec.Sensor, 1);
        QVERIFY(DataRec.Material.isEmpty());
        QCOMPARE(DataRec.Comments, QStringLiteral("Boiler tube 4"));
        QCOMPARE(DataRec.TestTime, 45123.5);
        QCOMPARE(DataRec.Readings[2], 8.25f);
    }

    void sensorNames_data()
    {
        QTest::addColumn<int>("sensor");
        QTest::addColumn<QString>("name");
        QTest::newRow("0 none") << 0 << QString();
        QTest::newRow("1") << 1 << QStringLiteral("5MHz");
        QTest::newRow("2") << 2 << QStringLiteral("2MHz");
        QTest::newRow("3") << 3 << QStringLiteral("10MHz");
        QTest::newRow("4 foreign") << 4 << QString();
        QTest::newRow("255 foreign") << 255 << QString();
        QTest::newRow("-1") << -1 << QString();
    }

    void sensorNames()
    {
        QFETCH(int, sensor);
        QFETCH(QString, name);
        QCOMPARE(sensorName(sensor), name);
    }

    void statistics_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<float>("value"); // all readings equal to it, unless count is 0
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("sdev");
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<QString>("minimum");
        QTest::newRow("one reading") << 1 << 12.34f << "12.34"
                                     << "0.00"
                                     << "12.34"
                                     << "12.34";
        QTest::newRow("ten equal") << 10 << 5.0f << "5.00"
                                   << "0.00"
                                   << "5.00"
                                   << "5.00";
        // Single-precision sums drift to 12.33 / 0.01 and 655.69 / 0.34 here.
        QTest::newRow("full set 12.34") << MaxReadings << 12.34f << "12.34"
                                        << "0.00"
                                        << "12.34"
                                        << "12.34";
        QTest::newRow("full set 655.35") << MaxReadings << 655.35f << "655.35"
                                         << "0.00"
                                         << "655.35"
                                         << "655.35";
    }

    void statistics()
    {
        QFETCH(int, count);
        QFETCH(float, value);
        test::setReadings(count, value);
        const Statistics s = CalcStatistics();
        QTEST(twoDecimals(s.average), "average");
        QTEST(twoDecimals(s.standardDeviation), "sdev");
        QTEST(twoDecimals(s.maximum), "maximum");
        QTEST(twoDecimals(s.minimum), "minimum");
    }

    void statisticsOfTwoReadings()
    {
        test::setReadings({1.0f, 3.0f});
        const Statistics s = CalcStatistics();
        QCOMPARE(s.average, 2.0f);
        QCOMPARE(s.standardDeviation, static_cast<float>(std::sqrt(2.0)));
        QCOMPARE(s.maximum, 3.0f);
        QCOMPARE(s.minimum, 1.0f);
    }

    // Extremes and sums must come out the same wherever the readings stand, the last few
    // of an odd-sized set included.
    void extremesAnywhereInTheSet_data()
    {
        QTest::addColumn<QList<float>>("readings");
        QTest::addColumn<float>("maximum");
        QTest::addColumn<float>("minimum");
        QTest::addColumn<float>("average");
        QTest::newRow("four") << QList<float>{4.0f, 0.0f, 655.35f, 4.0f} << 655.35f << 0.0f
                              << 165.8375f;
        QTest::newRow("extremes in the last three")
            << QList<float>{5.0f, 5.0f, 5.0f, 5.0f, 5.0f, 1.0f, 9.0f} << 9.0f << 1.0f << 5.0f;
        QTest::newRow("extremes first")
            << QList<float>{9.0f, 1.0f, 5.0f, 5.0f, 5.0f} << 9.0f << 1.0f << 5.0f;
        QTest::newRow("two") << QList<float>{3.0f, 1.0f} << 3.0f << 1.0f << 2.0f;
    }

    void extremesAnywhereInTheSet()
    {
        QFETCH(QList<float>, readings);
        for (int k = 1; k <= readings.size(); ++k)
            DataRec.Readings[k] = readings[k - 1];
        DataRec.Count = static_cast<quint16>(readings.size());
        const Statistics s = CalcStatistics();
        QTEST(s.maximum, "maximum");
        QTEST(s.minimum, "minimum");
        QTEST(s.average, "average");
    }

    void statisticsReadOnlyReadingsUpToCount()
    {
        test::setReadings({2.0f, 4.0f, 1000.0f});
        DataRec.Count = 2;
        const Statistics s = CalcStatistics();
        QCOMPARE(s.average, 3.0f);
        QCOMPARE(s.maximum, 4.0f);
    }
};

QTEST_APPLESS_MAIN(TestDataSet)
#include "DataSetTest.moc"
