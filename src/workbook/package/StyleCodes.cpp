#include "StyleCodes.h"

#include <QColor>
#include <QHash>

#include <algorithm>

namespace tannbuch {

namespace {

// The workbook's default colour palette, indexed 1..56 as the object model's
// colour indexes are.
constexpr quint32 Palette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, //
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, //
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, //
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, //
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, //
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, //
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333, //
};

// The ten colours of the office suite's default theme (the one of its 2013
// to 2021 versions) in the order a style's theme attribute counts them:
// light 1, dark 1, light 2, dark 2, then accents 1 to 6. Files name dark 1
// first, but a style's theme="1" is the dark text colour.
constexpr quint32 ThemeColors[10] = {
    0xFFFFFF, 0x000000, 0xE7E6E6, 0x44546A, 0x4472C4, 0xED7D31, 0xA5A5A5, 0xFFC000, 0x5B9BD5, 0x70AD47, //
};

QString rgbName(quint32 rgb)
{
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
}

// The number formats every workbook knows without declaring them. Id 14 is the
// short date, which a German installation shows as day.month.year.
const QHash<int, QString> &builtinFormats()
{
    static const QHash<int, QString> formats = {
        {0, QStringLiteral("General")},
        {1, QStringLiteral("0")},
        {2, QStringLiteral("0.00")},
        {3, QStringLiteral("#,##0")},
        {4, QStringLiteral("#,##0.00")},
        {9, QStringLiteral("0%")},
        {10, QStringLiteral("0.00%")},
        {11, QStringLiteral("0.00E+00")},
        {12, QStringLiteral("# ?/?")},
        {13, QStringLiteral("# ?\?/??")},
        {14, QStringLiteral("dd.mm.yyyy")},
        {15, QStringLiteral("d-mmm-yy")},
        {16, QStringLiteral("d-mmm")},
        {17, QStringLiteral("mmm-yy")},
        {18, QStringLiteral("h:mm AM/PM")},
        {19, QStringLiteral("h:mm:ss AM/PM")},
        {20, QStringLiteral("h:mm")},
        {21, QStringLiteral("h:mm:ss")},
        {22, QStringLiteral("dd.mm.yyyy h:mm")},
        {37, QStringLiteral("#,##0 ;(#,##0)")},
        {38, QStringLiteral("#,##0 ;[Red](#,##0)")},
        {39, QStringLiteral("#,##0.00;(#,##0.00)")},
        {40, QStringLiteral("#,##0.00;[Red](#,##0.00)")},
        {45, QStringLiteral("mm:ss")},
        {46, QStringLiteral("[h]:mm:ss")},
        {47, QStringLiteral("mmss.0")},
        {48, QStringLiteral("##0.0E+0")},
        {49, QStringLiteral("@")},
    };
    return formats;
}

} // namespace

namespace StyleCodes {

QString builtinNumberFormat(int id)
{
    return builtinFormats().value(id);
}

int builtinNumberFormatId(const QString &code)
{
    static const QHash<QString, int> ids = [] {
        QHash<QString, int> map;
        for (auto it = builtinFormats().cbegin(); it != builtinFormats().cend(); ++it)
            map.insert(it.value(), it.key());
        // The date and time codes differ between installations; only the
        // language-neutral forms are taken as built-in on the way back.
        map.remove(QStringLiteral("dd.mm.yyyy"));
        map.remove(QStringLiteral("dd.mm.yyyy h:mm"));
        map.insert(QStringLiteral("mm-dd-yy"), 14);
        map.insert(QStringLiteral("m/d/yy h:mm"), 22);
        return map;
    }();
    return ids.value(code, -1);
}

QString borderStyleName(const BorderLine &line)
{
    const bool medium = line.weight == Xl::Medium;
    const bool thick = line.weight == Xl::Thick;
    switch (line.lineStyle) {
    case Xl::None:
        return QString();
    case -4115: // xlDash
        return medium || thick ? QStringLiteral("mediumDashed") : QStringLiteral("dashed");
    case -4118: // xlDot
        return QStringLiteral("dotted");
    case 4: // xlDashDot
        return medium || thick ? QStringLiteral("mediumDashDot") : QStringLiteral("dashDot");
    case 5: // xlDashDotDot
        return medium || thick ? QStringLiteral("mediumDashDotDot") : QStringLiteral("dashDotDot");
    case 13: // xlSlantDashDot
        return QStringLiteral("slantDashDot");
    case -4119: // xlDouble
        return QStringLiteral("double");
    default: // xlContinuous and anything else drawn as a solid line
        if (line.weight == Xl::Hairline)
            return QStringLiteral("hair");
        if (medium)
            return QStringLiteral("medium");
        if (thick)
            return QStringLiteral("thick");
        return QStringLiteral("thin");
    }
}

BorderLine borderLine(const QString &name, int indexed)
{
    BorderLine line;
    line.colorIndex = colorIndexOfIndexed(indexed);
    struct Entry
    {
        const char *name;
        int lineStyle;
        int weight;
    };
    static const Entry entries[] = {
        {"thin", Xl::Continuous, Xl::Thin},
        {"medium", Xl::Continuous, Xl::Medium},
        {"thick", Xl::Continuous, Xl::Thick},
        {"hair", Xl::Continuous, Xl::Hairline},
        {"dashed", -4115, Xl::Thin},
        {"mediumDashed", -4115, Xl::Medium},
        {"dotted", -4118, Xl::Thin},
        {"dashDot", 4, Xl::Thin},
        {"mediumDashDot", 4, Xl::Medium},
        {"dashDotDot", 5, Xl::Thin},
        {"mediumDashDotDot", 5, Xl::Medium},
        {"slantDashDot", 13, Xl::Medium},
        {"double", -4119, Xl::Thick},
    };
    for (const Entry &e : entries) {
        if (name == QLatin1String(e.name)) {
            line.lineStyle = e.lineStyle;
            line.weight = e.weight;
            return line;
        }
    }
    line.lineStyle = Xl::None;
    return line;
}

int indexedColor(int colorIndex)
{
    if (colorIndex >= 1 && colorIndex <= 56)
        return colorIndex + 7;
    return -1;
}

int colorIndexOfIndexed(int indexed)
{
    // 0..7 repeat the palette's first eight colours; 64 and 65 are the
    // system's text and window colours, automatic here.
    if (indexed >= 8 && indexed <= 63)
        return indexed - 7;
    if (indexed >= 0 && indexed <= 7)
        return indexed + 1;
    return Xl::ColorIndexAutomatic;
}

QString paletteColor(int colorIndex)
{
    if (colorIndex >= 1 && colorIndex <= 56)
        return rgbName(Palette[colorIndex - 1]);
    return QString();
}

QString themeColor(int theme)
{
    if (theme >= 0 && theme < 10)
        return rgbName(ThemeColors[theme]);
    return QString();
}

QString tintedColor(const QString &rgb, double tint)
{
    const QColor color(rgb);
    if (!color.isValid() || tint == 0.0)
        return rgb;
    // The tint moves the colour's lightness towards black (below 0) or
    // white (above 0) by its share; hue and saturation stay.
    tint = std::clamp(tint, -1.0, 1.0);
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    color.getHslF(&hue, &saturation, &lightness);
    lightness = tint < 0 ? float(lightness * (1.0 + tint)) : float(lightness * (1.0 - tint) + tint);
    return QColor::fromHslF(hue, saturation, lightness).name(QColor::HexRgb).toUpper();
}

QString horizontalName(HAlign align)
{
    switch (align) {
    case HAlign::Left:
        return QStringLiteral("left");
    case HAlign::Center:
        return QStringLiteral("center");
    case HAlign::Right:
        return QStringLiteral("right");
    case HAlign::General:
        break;
    }
    return QStringLiteral("general");
}

HAlign horizontalAlign(const QString &name)
{
    if (name == QLatin1String("left"))
        return HAlign::Left;
    if (name == QLatin1String("center") || name == QLatin1String("centerContinuous"))
        return HAlign::Center;
    if (name == QLatin1String("right"))
        return HAlign::Right;
    return HAlign::General;
}

VAlign verticalAlign(const QString &name)
{
    if (name == QLatin1String("top"))
        return VAlign::Top;
    if (name == QLatin1String("center"))
        return VAlign::Center;
    if (name == QLatin1String("justify"))
        return VAlign::Justify;
    if (name == QLatin1String("distributed"))
        return VAlign::Distributed;
    return VAlign::Bottom;
}

} // namespace StyleCodes

} // namespace tannbuch
