#include "ColumnAutoFit.h"

#include "text/NumberFormatter.h"
#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/ColumnWidth.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tannbuch {

namespace {

// Advance widths of the printable ASCII characters 32..126 in 1/2048 em.
constexpr unsigned short AsciiWidths[95] = {
    463, 544, 821, 1014, 1045, 1478, 1396, 452, 621, 621, 1014, 1014, 511, 627, 517, 791, // ' '../
    1038, 1038, 1038, 1038, 1038, 1038, 1038, 1038, 1038, 1038, // 0..9
    548, 548, 1014, 1014, 1014, 949, 1831, // :..@
    1185, 1114, 1092, 1260, 1000, 941, 1292, 1276, 516, 653, 1064, 861, 1751, // A..M
    1322, 1356, 1058, 1378, 1112, 941, 998, 1314, 1162, 1822, 1063, 998, 959, // N..Z
    628, 791, 628, 1014, 1014, 596, // [..`
    981, 1076, 866, 1076, 1019, 625, 964, 1076, 470, 490, 931, 470, 1636, // a..m
    1076, 1080, 1076, 1076, 714, 801, 686, 1076, 925, 1464, 887, 927, 809, // n..z
    643, 944, 643, 1014, // {..~
};

// The table gives proportions; the scale comes from the width unit. A column
// width counts digits of the standard font (11 points), and on screen such a
// digit takes 7 whole pixels, so a digit's advance is pinned to 7 pixels at 11
// points and every other character gets its share of that. Scaling the em
// straight to 96 dpi instead would give 7.43 pixels a digit and make every
// fitted column some 6% wider than the text.
constexpr double DigitUnits = 1038.0; // a digit's advance in the table
constexpr double StandardFontSize = 11.0; // points
constexpr double MaxDigitWidth = 7.0; // pixels of a digit in the standard font
constexpr double PixelsPerUnitAndPoint = MaxDigitWidth / (DigitUnits * StandardFontSize);
constexpr double MonospacedUnits = 1229.0; // every character of a monospaced family
constexpr double CellPadding = 4.0; // margins and grid line beyond the text, in pixels
constexpr double ColumnMargins = 5.0; // pixels a column's stored width counts beyond its characters
constexpr double BoldFactor = 1.04; // bold letters are wider; digits keep their width

double charUnits(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 32 && u <= 126)
        return AsciiWidths[u - 32];
    switch (u) {
    case 0x00DF: // ß
        return 1070;
    case 0x20AC: // €
    case 0x00A7: // §
        return 1014;
    case 0x00B0: // °
        return 681;
    case 0x00B2:
    case 0x00B3:
        return 650;
    case 0x00D8: // Ø
        return 1356;
    case 0x00F8: // ø
        return 1080;
    case 0x00B5: // µ
        return 1076;
    case 0x00A0:
        return 463;
    default:
        break;
    }
    // Accented letters are as wide as their base letter.
    const QString decomposed = c.decomposition();
    if (!decomposed.isEmpty() && decomposed[0].unicode() >= 32 && decomposed[0].unicode() <= 126)
        return AsciiWidths[decomposed[0].unicode() - 32];
    // East Asian ideographs and full-width forms take a full em.
    if ((u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
        || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFF60))
        return 2048;
    if (c.isLowSurrogate())
        return 0;
    return 1000;
}

double familyFactor(const QString &fontName)
{
    const QString f = fontName.toLower();
    if (f.contains(QLatin1String("arial")) || f.contains(QLatin1String("helvetica"))
        || f.contains(QLatin1String("liberation sans")) || f.contains(QLatin1String("arimo")))
        return 1.09;
    if (f.contains(QLatin1String("verdana")) || f.contains(QLatin1String("tahoma")))
        return 1.2;
    if (f.contains(QLatin1String("times")) || f.contains(QLatin1String("cambria"))
        || f.contains(QLatin1String("georgia")))
        return 0.97;
    return 1.0;
}

bool isMonospaced(const QString &fontName)
{
    const QString f = fontName.toLower();
    return f.contains(QLatin1String("courier")) || f.contains(QLatin1String("mono"))
        || f.contains(QLatin1String("consolas"));
}

struct StyleInfo
{
    QString numberFormat;
    double fontSize = 11.0;
    bool bold = false;
    bool monospaced = false;
    double family = 1.0;
};

double widthPixels(QStringView text, const StyleInfo &s)
{
    double units = 0.0;
    if (s.monospaced) {
        for (QChar c : text) {
            if (!c.isLowSurrogate())
                units += MonospacedUnits;
        }
    } else {
        for (QChar c : text) {
            double w = charUnits(c);
            if (s.bold && !c.isDigit())
                w *= BoldFactor;
            units += w * s.family;
        }
    }
    return units * s.fontSize * PixelsPerUnitAndPoint;
}

// The widest line of a shown text.
double shownPixels(const QString &shown, const StyleInfo &s)
{
    double pixels = 0.0;
    for (QStringView line : QStringView(shown).split(QLatin1Char('\n')))
        pixels = std::max(pixels, widthPixels(line, s));
    return pixels;
}

// The shown texts of cells and their widths. A report repeats its numbers
// (lengths, diameters, classes) thousands of times: each number is
// formatted and measured once per style, and each style resolved once.
class ShownWidths
{
public:
    explicit ShownWidths(const Workbook &book)
        : m_book(book)
        , m_formatter(book.locale())
    { }

    // Pixels of the widest line the cell shows; -1 when it shows nothing.
    double cellPixels(const Cell &c, CellType type)
    {
        const StyleInfo &s = styleInfo(c.styleId);
        if (type == CellType::Number) {
            // Keyed by the number's bits: -0 and NaN stay apart and comparable.
            const auto [known, added] = m_numberPixels.try_emplace({c.styleId, std::bit_cast<quint64>(c.number)}, -1.0);
            if (added) {
                const QString shown = m_formatter.format(c.number, s.numberFormat);
                if (!shown.isEmpty())
                    known->second = shownPixels(shown, s);
            }
            return known->second;
        }
        QString shown;
        if (type == CellType::Boolean)
            shown = CellValueConversion::booleanText(c.number != 0.0, m_book.locale());
        else if (type == CellType::Error)
            shown = c.text;
        else
            shown = m_formatter.formatText(c.text, s.numberFormat);
        return shown.isEmpty() ? -1.0 : shownPixels(shown, s);
    }

private:
    const StyleInfo &styleInfo(quint32 id)
    {
        if (id >= m_styles.size())
            m_styles.resize(id + 1);
        if (!m_styles[id]) {
            const ResolvedStyle r = m_book.resolve(id);
            m_styles[id]
                = StyleInfo{r.numberFormat, r.fontSize, r.bold, isMonospaced(r.fontName), familyFactor(r.fontName)};
        }
        return *m_styles[id];
    }

    const Workbook &m_book;
    const NumberFormatter m_formatter;
    std::vector<std::optional<StyleInfo>> m_styles;
    std::map<std::pair<quint32, quint64>, double> m_numberPixels;
};

// Merges over several columns that reach into the range, by row, so that a
// sheet with many merges is not searched through for every cell.
using MergesByRow = std::unordered_map<int, std::vector<RangeRef>>;

MergesByRow wideMergesByRow(const Worksheet &sheet, const RangeRef &range)
{
    MergesByRow wideMerges;
    for (const RangeRef &m : sheet.merges()) {
        if (m.columnCount() > 1 && m.intersects(range)) {
            for (int row = std::max(m.firstRow, range.firstRow); row <= std::min(m.lastRow, range.lastRow); ++row)
                wideMerges[row].push_back(m);
        }
    }
    return wideMerges;
}

// Widens `widest` (pixels per column of the range) to the cells of the rows
// from `fromRow` to the range's last row. Cells of wide merges do not count.
void measureRows(
    const Worksheet &sheet, const RangeRef &range, int fromRow, ShownWidths &shownWidths, std::vector<double> &widest)
{
    const MergesByRow wideMerges = wideMergesByRow(sheet, range);
    const auto &rows = sheet.rows();
    for (auto it = rows.lower_bound(fromRow); it != rows.end() && it->first <= range.lastRow; ++it) {
        const int rowNumber = it->first;
        const auto rowMerges = wideMerges.find(rowNumber);
        for (const Cell &c : it->second.cells) {
            if (c.column < range.firstColumn)
                continue;
            if (c.column > range.lastColumn)
                break;
            const CellType type = c.type == CellType::Formula ? c.cachedType : c.type;
            if (type == CellType::Empty)
                continue;
            if (rowMerges != wideMerges.end()
                && std::any_of(rowMerges->second.begin(), rowMerges->second.end(),
                    [&](const RangeRef &m) { return m.contains(rowNumber, c.column); }))
                continue;
            double &w = widest[size_t(c.column - range.firstColumn)];
            w = std::max(w, shownWidths.cellPixels(c, type));
        }
    }
}

// A report fits the same columns again after each lot: what an earlier fit
// found for rows that have not changed since still holds. Forgets what the
// changed rows made stale and returns the memo of the range's columns, or
// null when there is none.
Worksheet::FitMemo *currentMemo(Worksheet &sheet, const RangeRef &range)
{
    const int changed = sheet.takeLowestChangedRow();
    auto &memos = sheet.fitMemos();
    for (Worksheet::FitMemo &m : memos)
        m.widestTo.erase(m.widestTo.lower_bound(changed), m.widestTo.end());
    auto memo = std::find_if(memos.begin(), memos.end(), [&](const Worksheet::FitMemo &m) {
        return m.firstRow == range.firstRow && m.firstColumn == range.firstColumn && m.lastColumn == range.lastColumn;
    });
    return memo == memos.end() ? nullptr : &*memo;
}

// Takes the widths the memo holds for the lowest row within the range into
// `widest` and returns the first row still to be looked at.
int resumeFromMemo(const Worksheet::FitMemo *memo, const RangeRef &range, std::vector<double> &widest)
{
    if (!memo)
        return range.firstRow;
    auto known = memo->widestTo.upper_bound(range.lastRow);
    if (known == memo->widestTo.begin())
        return range.firstRow;
    --known;
    widest = known->second;
    return known->first + 1;
}

void rememberWidths(
    Worksheet &sheet, Worksheet::FitMemo *memo, const RangeRef &range, const std::vector<double> &widest)
{
    auto &memos = sheet.fitMemos();
    if (!memo) {
        if (memos.size() >= 8)
            memos.erase(memos.begin());
        memos.push_back({range.firstRow, range.firstColumn, range.lastColumn, {}});
        memo = &memos.back();
    }
    if (memo->widestTo.size() >= 4096)
        memo->widestTo.erase(memo->widestTo.begin());
    // Kept for the last row that exists: rows added below it later are new
    // rows, not changes to the ones looked at.
    const auto &rows = sheet.rows();
    const int lastRow = rows.empty() ? 0 : rows.rbegin()->first;
    memo->widestTo[std::max(range.firstRow - 1, std::min(range.lastRow, lastRow))] = widest;
}

} // namespace

double ColumnAutoFit::textWidthPixels(QStringView text, double fontSize, bool bold, const QString &fontName)
{
    const StyleInfo s{QString(), fontSize, bold, isMonospaced(fontName), familyFactor(fontName)};
    return widthPixels(text, s);
}

double ColumnAutoFit::widthForPixels(double pixels)
{
    const double width = (std::ceil(pixels) + CellPadding) / MaxDigitWidth;
    return std::min(SheetLimits::MaxColumnWidth, std::ceil(width * 100.0 - 1e-9) / 100.0);
}

bool ColumnAutoFit::fitsColumn(
    QStringView text, double fontSize, bool bold, const QString &fontName, double columnPixels)
{
    // A fitted column's characters take the text's whole pixels and the
    // padding, and its width adds the margins to them (rounding only adds).
    return std::ceil(textWidthPixels(text, fontSize, bold, fontName)) + CellPadding + ColumnMargins
        <= columnPixels + 1e-9;
}

void ColumnAutoFit::fit(Workbook &book, Worksheet &sheet, const RangeRef &range)
{
    ShownWidths shownWidths(book);
    std::vector<double> widest(size_t(range.columnCount()), -1.0);
    Worksheet::FitMemo *memo = currentMemo(sheet, range);
    const int fromRow = resumeFromMemo(memo, range, widest);
    measureRows(sheet, range, fromRow, shownWidths, widest);
    rememberWidths(sheet, memo, range, widest);

    for (int i = 0; i < range.columnCount(); ++i) {
        if (widest[size_t(i)] < 0)
            continue;
        ColumnData &data = sheet.columnsForWrite()[range.firstColumn + i];
        data.width = ColumnWidth::toStored(widthForPixels(widest[size_t(i)]));
        data.customWidth = true;
    }
}

} // namespace tannbuch
