#pragma once

#include <QRandomGenerator>

#include <random>

namespace sonmetra::sim {

// Readings as a gauge gives them on one wall: close to a nominal thickness with a little noise,
// now and then an outlier (an echo read twice over, or a weak echo from a flaw inside the wall).
// The same seed gives the same readings.
class ReadingGenerator
{
public:
    explicit ReadingGenerator(double nominalMm = 10.0, quint32 seed = 1);

    // The next reading in hundredths of a millimetre.
    quint16 next();

    static constexpr double NoiseMm = 0.02;
    static constexpr double OutlierChance = 0.02;

private:
    double nominal;
    QRandomGenerator random;
    std::normal_distribution<double> noise{0.0, NoiseMm};
    std::uniform_real_distribution<double> chance{0.0, 1.0};
};

} // namespace sonmetra::sim
