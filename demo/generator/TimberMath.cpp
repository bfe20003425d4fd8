#include "TimberMath.h"

#include <cmath>
#include <numbers>

namespace tannbuch {

namespace TimberMath {

double roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

double logVolume(double diameterCm, double lengthM)
{
    const double diameterM = diameterCm / 100.0;
    return roundTo(std::numbers::pi / 4.0 * diameterM * diameterM * lengthM, 3);
}

QString diameterClass(double diameterCm)
{
    // Whole centimetres count; a started centimetre does not.
    const int cm = int(std::floor(diameterCm));
    if (cm < 10)
        return QStringLiteral("0");
    if (cm >= 60)
        return QStringLiteral("6");
    const int band = cm / 10; // 1 .. 5
    const bool upper = cm % 10 >= 5;
    return QString::number(band) + (upper ? QStringLiteral("b") : QStringLiteral("a"));
}

int volumeClass(double volumeFm)
{
    if (volumeFm < 0.25)
        return 1;
    if (volumeFm < 0.5)
        return 2;
    if (volumeFm < 1.0)
        return 3;
    if (volumeFm < 2.0)
        return 4;
    return 5;
}

} // namespace TimberMath

} // namespace tannbuch
