#include "ColumnWidth.h"

#include <algorithm>
#include <cmath>

namespace tannbuch {

namespace {

constexpr double DigitPixels = 7.0;
constexpr double MarginPixels = 5.0;

} // namespace

double ColumnWidth::toStored(double characters)
{
    if (characters <= 0.0)
        return 0.0;
    return std::trunc((characters * DigitPixels + MarginPixels) / DigitPixels * 256.0) / 256.0;
}

double ColumnWidth::toCharacters(double stored)
{
    if (stored <= 0.0)
        return stored;
    const double pixels = std::trunc((256.0 * stored + std::trunc(128.0 / DigitPixels)) / 256.0 * DigitPixels);
    return std::max(0.0, std::trunc((pixels - MarginPixels) / DigitPixels * 100.0 + 0.5) / 100.0);
}

} // namespace tannbuch
