#include "PageLayout.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/package/PictureDrawing.h"
#include "workbook/print/SheetExtent.h"
#include "workbook/print/ShownCells.h"
#include "workbook/print/TemplatePictures.h"

#include <algorithm>
#include <cmath>

namespace tannbuch {

namespace {

constexpr double PointsPerPixel = 72.0 / 96.0;
constexpr double DefaultColumnPixels = 64.0; // 8.43 characters of the standard font

} // namespace

PageLayout::PageLayout(const Workbook &workbook, int sheetIndex)
    : PageLayout(workbook, sheetIndex, PrintSetup::of(workbook, sheetIndex))
{ }

PageLayout::PageLayout(const Workbook &workbook, int sheetIndex, const PrintSetup &setup)
    : m_setup(setup)
{
    const QSizeF portrait = m_setup.paper.size(QPageSize::Point);
    m_paper = m_setup.landscape ? portrait.transposed() : portrait;
    measure(workbook, sheetIndex);
    if (m_area.firstRow <= 0)
        return;

    std::vector<Band> rowBands;
    std::vector<Band> columnBands;
    int percent = m_setup.scale;
    if (m_setup.fitToPage) {
        // The largest whole percentage (up to 100) at which the area fits on
        // the pages asked for; 10 % when even that does not.
        const auto fits = [&](int p) {
            paginate(p / 100.0, rowBands, columnBands);
            return (m_setup.fitToWidth == 0 || int(columnBands.size()) <= m_setup.fitToWidth)
                && (m_setup.fitToHeight == 0 || int(rowBands.size()) <= m_setup.fitToHeight);
        };
        int low = 10;
        int high = 100;
        if (fits(high)) {
            low = high;
        } else {
            while (high - low > 1) {
                const int mid = (low + high) / 2;
                (fits(mid) ? low : high) = mid;
            }
        }
        percent = low;
    }
    m_scale = percent / 100.0;
    paginate(m_scale, rowBands, columnBands);
    m_areaPages = qint64(rowBands.size()) * qint64(columnBands.size());
    if (m_areaPages <= MaxPages)
        keepShownPages(workbook, sheetIndex, rowBands, columnBands);
}

double PageLayout::columnPoints(double storedWidth)
{
    if (storedWidth <= 0.0)
        return 0.0;
    const double pixels = std::trunc((256.0 * storedWidth + std::trunc(128.0 / 7.0)) / 256.0 * 7.0);
    return pixels * PointsPerPixel;
}

void PageLayout::measure(const Workbook &workbook, int sheetIndex)
{
    const Worksheet &sheet = workbook.sheet(sheetIndex);
    SheetExtent extent = SheetExtent::of(workbook, sheet);
    measureColumns(sheet, extent.lastColumn);
    coverPictures(sheet, extent);
    findArea(extent);
    measureRows(sheet);
}

// Column widths up to the last column any row uses and some after it, and
// their running sums.
void PageLayout::measureColumns(const Worksheet &sheet, int lastColumn)
{
    const int maxColumn = std::max({lastColumn, m_setup.printArea.lastColumn, m_setup.titleLastColumn, 1}) + 64;
    const double defaultWidth = m_setup.defaultColumnWidth >= 0 ? columnPoints(m_setup.defaultColumnWidth)
                                                                : DefaultColumnPixels * PointsPerPixel;
    m_columnWidths.assign(size_t(std::min(maxColumn, SheetLimits::MaxColumns)) + 1, defaultWidth);
    m_columnWidths[0] = 0;
    for (const auto &[index, column] : sheet.columns()) {
        if (index < 1 || index >= int(m_columnWidths.size()))
            continue;
        if (column.hidden)
            m_columnWidths[size_t(index)] = 0;
        else if (column.width >= 0)
            m_columnWidths[size_t(index)] = columnPoints(column.width);
    }
    m_columnLefts.assign(m_columnWidths.size() + 1, 0.0);
    for (size_t c = 1; c < m_columnWidths.size(); ++c)
        m_columnLefts[c + 1] = m_columnLefts[c] + m_columnWidths[c];
}

// Pictures reach over the cells they cover.
void PageLayout::coverPictures(const Worksheet &sheet, SheetExtent &extent) const
{
    for (const Picture &p : sheet.pictures()) {
        int width = 0;
        int height = 0;
        PictureDrawing::pixelSize(p, width, height);
        int column = p.anchor.column;
        for (double left = width * PointsPerPixel; column + 1 < int(m_columnWidths.size());) {
            left -= m_columnWidths[size_t(column)];
            if (left <= 0)
                break;
            ++column;
        }
        int row = p.anchor.row;
        for (double left = height * PointsPerPixel; row < SheetLimits::MaxRows;) {
            const RowData *data = sheet.row(row);
            left -= data && data->hidden ? 0 : data && data->height >= 0 ? data->height : m_setup.defaultRowHeight;
            if (left <= 0)
                break;
            ++row;
        }
        extent.include(row, column);
    }
}

// The area that prints: the print area, or the sheet's content from A1.
void PageLayout::findArea(const SheetExtent &extent)
{
    if (m_setup.printArea.firstRow > 0) {
        // A print area of whole rows or columns ends where the sheet's content does.
        m_area = m_setup.printArea;
        if (m_area.lastRow == SheetLimits::MaxRows)
            m_area.lastRow = std::max(m_area.firstRow, extent.lastRow);
        if (m_area.lastColumn == SheetLimits::MaxColumns)
            m_area.lastColumn = std::max(m_area.firstColumn, extent.lastColumn);
        m_area.lastColumn = std::min(m_area.lastColumn, int(m_columnWidths.size()) - 1);
    } else if (extent.lastRow > 0) {
        m_area = RangeRef{1, 1, extent.lastRow, extent.lastColumn};
    }
}

// Row heights and manual breaks down to the area's last row (or the last
// repeated one), and the heights' running sums.
void PageLayout::measureRows(const Worksheet &sheet)
{
    const int rowsNeeded = std::max({m_area.lastRow, m_setup.titleLastRow, 1}) + 1;
    m_rowHeights.assign(size_t(rowsNeeded) + 1, m_setup.defaultRowHeight);
    m_rowHeights[0] = 0;
    m_breaksAbove.assign(m_rowHeights.size(), 0);
    for (auto it = sheet.rows().begin(); it != sheet.rows().end() && it->first <= rowsNeeded; ++it) {
        if (it->first < 1)
            continue;
        const RowData &row = it->second;
        if (row.hidden)
            m_rowHeights[size_t(it->first)] = 0;
        else if (row.height >= 0)
            m_rowHeights[size_t(it->first)] = row.height;
    }
    for (int row : sheet.rowBreaks()) {
        if (row >= 1 && row <= rowsNeeded)
            m_breaksAbove[size_t(row)] = 1;
    }
    m_rowTops.assign(m_rowHeights.size() + 1, 0.0);
    for (size_t r = 1; r < m_rowHeights.size(); ++r)
        m_rowTops[r + 1] = m_rowTops[r] + m_rowHeights[r];
}

QRectF PageLayout::printableRect(double scale) const
{
    const QMarginsF &m = m_setup.margins;
    double top = m.top();
    double bottom = m.bottom();
    if (!m_setup.header.isEmpty() && m.top() > m_setup.headerMargin)
        top = m_setup.headerMargin + (m.top() - m_setup.headerMargin) * scale;
    if (!m_setup.footer.isEmpty() && m.bottom() > m_setup.footerMargin)
        bottom = m_setup.footerMargin + (m.bottom() - m_setup.footerMargin) * scale;
    return QRectF(m.left(), top, std::max(1.0, m_paper.width() - m.left() - m.right()),
        std::max(1.0, m_paper.height() - top - bottom));
}

std::vector<PageLayout::Band> PageLayout::bands(const std::vector<double> &sizes, int first, int last, double available,
    int titleFirst, int titleLast, const std::vector<char> &breaksAbove) const
{
    double titleSize = 0;
    for (int t = titleFirst; t >= 1 && t <= titleLast && t < int(sizes.size()); ++t)
        titleSize += sizes[size_t(t)];

    std::vector<Band> result;
    int start = first;
    double used = 0;
    double room = available;
    for (int i = first; i <= last; ++i) {
        const double size = sizes[size_t(i)];
        const bool manual = i > start && i < int(breaksAbove.size()) && breaksAbove[size_t(i)];
        if (manual || (i > start && used + size > room + 1e-6)) {
            result.push_back({start, i - 1});
            start = i;
            used = 0;
        }
        if (i == start) {
            // Repeated rows or columns take room on pages that do not show them.
            room = titleFirst >= 1 && start > titleLast ? std::max(1.0, available - titleSize) : available;
        }
        used += size;
    }
    result.push_back({start, last});
    return result;
}

void PageLayout::paginate(double scale, std::vector<Band> &rowBands, std::vector<Band> &columnBands) const
{
    const QRectF printable = printableRect(scale);
    static const std::vector<char> noBreaks;
    rowBands = bands(m_rowHeights, m_area.firstRow, m_area.lastRow, printable.height() / scale, m_setup.titleFirstRow,
        m_setup.titleLastRow, m_breaksAbove);
    columnBands = bands(m_columnWidths, m_area.firstColumn, m_area.lastColumn, printable.width() / scale,
        m_setup.titleFirstColumn, m_setup.titleLastColumn, noBreaks);
}

namespace {

// The index of the band that holds n; -1 outside the bands.
int bandIndex(const std::vector<PageLayout::Band> &bands, int n)
{
    if (bands.empty() || n < bands.front().first || n > bands.back().last)
        return -1;
    const auto after = std::upper_bound(
        bands.begin(), bands.end(), n, [](int value, const PageLayout::Band &band) { return value < band.first; });
    return int(after - bands.begin()) - 1;
}

} // namespace

// The pages, down first then across, that show anything of their own: a
// value, a fill or a border line in a row and column that are not hidden,
// the text of a merged area (on every page the area reaches, as it is drawn
// there cut), a picture (on the page of its top left corner). Rows and
// columns repeated from elsewhere, and the header and footer, make no page.
void PageLayout::keepShownPages(
    const Workbook &workbook, int sheetIndex, const std::vector<Band> &rowBands, const std::vector<Band> &columnBands)
{
    const Worksheet &sheet = workbook.sheet(sheetIndex);
    const size_t rowBandCount = rowBands.size();
    std::vector<char> shown(rowBandCount * columnBands.size(), 0);
    const auto mark = [&](int rowBand, int columnBand) {
        if (rowBand >= 0 && columnBand >= 0)
            shown[size_t(columnBand) * rowBandCount + size_t(rowBand)] = 1;
    };
    ShownCells cells(workbook);
    for (auto it = sheet.rows().lower_bound(m_area.firstRow); it != sheet.rows().end() && it->first <= m_area.lastRow;
         ++it) {
        if (rowHeight(it->first) <= 0)
            continue;
        const int rowBand = bandIndex(rowBands, it->first);
        for (const Cell &cell : it->second.cells) {
            if (cell.column >= m_area.firstColumn && cell.column <= m_area.lastColumn && columnWidth(cell.column) > 0
                && cells.shows(cell))
                mark(rowBand, bandIndex(columnBands, cell.column));
        }
    }
    for (const RangeRef &m : sheet.merges()) {
        const Cell *first = sheet.cell(m.firstRow, m.firstColumn);
        if (!first || first->isEmpty() || !m.intersects(m_area))
            continue;
        const int lastRowBand = bandIndex(rowBands, std::min(m.lastRow, m_area.lastRow));
        const int lastColumnBand = bandIndex(columnBands, std::min(m.lastColumn, m_area.lastColumn));
        for (int r = bandIndex(rowBands, std::max(m.firstRow, m_area.firstRow)); r <= lastRowBand; ++r) {
            for (int c = bandIndex(columnBands, std::max(m.firstColumn, m_area.firstColumn)); c <= lastColumnBand; ++c)
                mark(r, c);
        }
    }
    std::vector<Picture> pictures = templatePictures(workbook, sheetIndex);
    pictures.insert(pictures.end(), sheet.pictures().begin(), sheet.pictures().end());
    for (const Picture &p : pictures)
        mark(bandIndex(rowBands, p.anchor.row), bandIndex(columnBands, p.anchor.column));

    for (size_t c = 0; c < columnBands.size(); ++c) {
        for (size_t r = 0; r < rowBandCount; ++r) {
            if (shown[c * rowBandCount + r])
                m_pages.push_back({rowBands[r], columnBands[c]});
        }
    }
}

PageLayout::Band PageLayout::titleRows(const Page &page) const
{
    if (m_setup.titleFirstRow < 1 || page.rows.first <= m_setup.titleLastRow)
        return {};
    return {m_setup.titleFirstRow, m_setup.titleLastRow};
}

PageLayout::Band PageLayout::titleColumns(const Page &page) const
{
    if (m_setup.titleFirstColumn < 1 || page.columns.first <= m_setup.titleLastColumn)
        return {};
    return {m_setup.titleFirstColumn, m_setup.titleLastColumn};
}

double PageLayout::rowHeight(int row) const
{
    if (row < 1)
        return 0;
    return row < int(m_rowHeights.size()) ? m_rowHeights[size_t(row)] : m_setup.defaultRowHeight;
}

double PageLayout::columnWidth(int column) const
{
    if (column < 1)
        return 0;
    return column < int(m_columnWidths.size()) ? m_columnWidths[size_t(column)] : m_columnWidths.back();
}

double PageLayout::rowsHeight(int first, int last) const
{
    if (first < 1 || last < first)
        return 0;
    if (last + 1 < int(m_rowTops.size()))
        return m_rowTops[size_t(last) + 1] - m_rowTops[size_t(first)];
    double sum = 0;
    for (int r = first; r <= last; ++r)
        sum += rowHeight(r);
    return sum;
}

double PageLayout::columnsWidth(int first, int last) const
{
    if (first < 1 || last < first)
        return 0;
    if (last + 1 < int(m_columnLefts.size()))
        return m_columnLefts[size_t(last) + 1] - m_columnLefts[size_t(first)];
    double sum = 0;
    for (int c = first; c <= last; ++c)
        sum += columnWidth(c);
    return sum;
}

} // namespace tannbuch
