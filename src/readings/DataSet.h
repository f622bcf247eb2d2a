#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace sonmetra {

// A fixed store of readings numbered from 1, as the data set, the file slots and the database
// number them; element k is reading k. Reserved once, never reallocated.
template <int N> struct OneBasedReadings
{
    std::array<float, N> items{};

    float& operator[](int k) { return items[static_cast<std::size_t>(k - 1)]; }
    float operator[](int k) const { return items[static_cast<std::size_t>(k - 1)]; }
    static constexpr int capacity() { return N; }
};

inline constexpr int ReadingCapacity = 65536;
inline constexpr int MaxReadings = 65530;
inline constexpr quint16 DefaultVelocity = 5000;

enum TDataSource : quint8
{
    dsNothing = 0,
    dsInstrument = 1,
    dsDatabase = 2
};

struct TDataRec
{
    quint8 Source = dsNothing;
    quint16 Count = 0;
    quint16 PageEnd = 0;
    quint16 Velocity = 0;
    quint8 Sensor = 0;
    QString Material;
    QString Comments;
    double TestTime = 0.0; // OLE Automation date: days since 1899-12-30, fraction = time of day
    OneBasedReadings<ReadingCapacity> Readings;
};

// The current data set of the whole program.
extern TDataRec DataRec;

inline constexpr std::array<const char*, 4> SensorNames = {"", "5MHz", "2MHz", "10MHz"};

// The sensor name for a stored code; a code from a foreign database outside the table has none.
QString sensorName(int sensor);

void ClearDataSet(TDataRec& rec = DataRec);

struct Statistics
{
    float average = 0;
    float standardDeviation = 0;
    float maximum = 0;
    float minimum = 0;
};

// Average, sample standard deviation, maximum and minimum of readings 1..Count (Count >= 1).
// Sums run in double and the results are rounded to single: single-precision accumulators drift
// by several hundredths of a millimetre over a full set.
Statistics CalcStatistics(const TDataRec& rec = DataRec);

} // namespace sonmetra
