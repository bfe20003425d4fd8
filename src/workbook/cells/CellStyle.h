#pragma once

#include "workbook/cells/XlConstants.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace tannbuch {

// Horizontal alignment, with the object model's constants as values.
enum class HAlign : int {
    General = 1,
    Left = -4131,
    Center = -4108,
    Right = -4152,
};

// Vertical alignment, with the object model's constants as values.
enum class VAlign : int {
    Top = -4160,
    Center = -4108,
    Bottom = -4107,
    Justify = -4130,
    Distributed = -4117,
};

// The border edges of one cell, with the object model's indexes. On a range
// of several cells, InsideVertical and InsideHorizontal address the edges
// between its cells; a single cell has only the first six.
enum class BorderEdge : int {
    DiagonalDown = 5,
    DiagonalUp = 6,
    Left = 7,
    Top = 8,
    Bottom = 9,
    Right = 10,
    InsideVertical = 11,
    InsideHorizontal = 12,
};

// One border line: line style (Xl::None, Xl::Continuous, ...), weight
// (Xl::Thin ...) and colour index (Xl::ColorIndexAutomatic or a palette
// index 1..56).
struct BorderLine
{
    int lineStyle = Xl::None;
    int weight = Xl::Thin;
    int colorIndex = Xl::ColorIndexAutomatic;

    bool isNone() const { return lineStyle == Xl::None; }
    bool operator==(const BorderLine &) const = default;
};

// Index of a cell's own edges in the border arrays below.
enum CellEdge : int { EdgeLeft = 0, EdgeRight, EdgeTop, EdgeBottom, EdgeDiagonalDown, EdgeDiagonalUp, EdgeCount };

// The formatting of a cell as the program sets it: a style of the template
// (baseXf, the index of the template's cell format; -1 for the workbook's
// default) plus what the program changed on top of it. Unset fields keep the
// template's value, so copied template rows look as in the template.
struct CellStyle
{
    int baseXf = -1;
    std::optional<QString> numberFormat;
    std::optional<bool> bold;
    std::optional<double> fontSize;
    std::optional<HAlign> horizontalAlignment;
    std::array<std::optional<BorderLine>, EdgeCount> borders;
    // The cell's text was written with a leading apostrophe: it stays text.
    bool quotePrefix = false;

    bool operator==(const CellStyle &) const = default;
};

size_t qHash(const CellStyle &style, size_t seed = 0);

// The effective formatting of a cell, everything resolved: what a viewer shows
// and what AutoFit and value conversion look at.
struct ResolvedStyle
{
    QString numberFormat = QStringLiteral("General");
    QString fontName = QStringLiteral("Calibri");
    double fontSize = 11.0;
    bool bold = false;
    bool italic = false;
    bool wrapText = false;
    HAlign horizontalAlignment = HAlign::General;
    VAlign verticalAlignment = VAlign::Bottom;
    // Font colour as #RRGGBB, empty for automatic (black).
    QString fontColor;
    std::array<BorderLine, EdgeCount> borders;
    // Fill colour as #RRGGBB, empty for none.
    QString fillColor;
    bool quotePrefix = false;
};

// The styles used in one workbook, each stored once; cells refer to them by
// id. Id 0 is the default style (no template style, no changes).
class StylePool
{
public:
    StylePool();

    // Id of the style, adding it when new.
    quint32 intern(const CellStyle &style);
    const CellStyle &style(quint32 id) const { return m_styles[id]; }
    quint32 size() const { return quint32(m_styles.size()); }

private:
    std::vector<CellStyle> m_styles;
    QHash<CellStyle, quint32> m_ids;
};

} // namespace tannbuch
