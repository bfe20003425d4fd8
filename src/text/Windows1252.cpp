#include "Windows1252.h"

namespace tannbuch {

namespace {

// Characters of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
// Unassigned codes hold the character of their own number.
constexpr char16_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

bool assignedHigh(char16_t c)
{
    for (int i = 0; i < 32; ++i) {
        if (High[i] == c)
            return c != char16_t(0x80 + i);
    }
    return false;
}

} // namespace

QString Windows1252::decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(High[b - 0x80]) : QChar(char16_t(b)));
    }
    return out;
}

bool Windows1252::holds(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            continue;
        if (!assignedHigh(u))
            return false;
    }
    return true;
}

} // namespace tannbuch
