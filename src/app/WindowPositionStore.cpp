#include "WindowPositionStore.h"

#include <QSettings>

#include <algorithm>
#include <limits>

namespace tannbuch {

namespace {

std::optional<int> read(const QString &key)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tannbuch_exe"));
    s.beginGroup(QStringLiteral("FormPos"));
    const QVariant v = s.value(key);
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const double twips = v.toString().trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return int(twips / WindowPositionStore::TwipsPerPixel);
}

// Twips rounded to a 16-bit integer; 0 when it does not fit, so it is not stored.
int toShortTwips(int pixels)
{
    const qint64 twips = qint64(pixels) * WindowPositionStore::TwipsPerPixel;
    if (twips < std::numeric_limits<qint16>::min() || twips > std::numeric_limits<qint16>::max())
        return 0;
    return int(twips);
}

} // namespace

std::optional<int> WindowPositionStore::storedX()
{
    return read(QStringLiteral("X"));
}

std::optional<int> WindowPositionStore::storedY()
{
    return read(QStringLiteral("Y"));
}

bool WindowPositionStore::store(const QPoint &topLeft)
{
    const int x = toShortTwips(topLeft.x());
    const int y = toShortTwips(topLeft.y());
    if (x == 0 || y == 0)
        return false;
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tannbuch_exe"));
    s.beginGroup(QStringLiteral("FormPos"));
    s.setValue(QStringLiteral("X"), QString::number(x));
    s.setValue(QStringLiteral("Y"), QString::number(y));
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

QPoint WindowPositionStore::clampedTopLeft(const QPoint &topLeft, const QSize &frameSize, const QRect &available)
{
    const auto clamp = [](int value, int low, int length, int room) {
        // The far edge first, so that the near edge wins when it does not fit.
        return std::max(low, std::min(value, low + room - length));
    };
    return {clamp(topLeft.x(), available.left(), frameSize.width(), available.width()),
        clamp(topLeft.y(), available.top(), frameSize.height(), available.height())};
}

} // namespace tannbuch
