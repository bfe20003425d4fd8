#pragma once

#include "workbook/print/PrintSetup.h"

#include <QRectF>
#include <QSizeF>

#include <vector>

namespace tannbuch {

class Workbook;
class Worksheet;
struct SheetExtent;

// The pages one sheet prints on: which rows and columns each page shows,
// at which scale, where on the paper. All lengths are points; row heights
// and column widths are those of the sheet, before scaling. Pages run down
// first, then across, as spreadsheet programs number them.
//
// The sheet's rows are walked once; a page ends where the next row no
// longer fits or a manual break lies above it. Rows and columns to repeat
// appear on every page that does not show them already. A row taller than
// a page gets a page of its own and is cut off there. A page with nothing on
// it (no value, fill, border line or picture of its own) is left out, and
// the pages that remain are the ones counted.
class PageLayout
{
public:
    // An area spanning more pages than this gets none: the pages would take
    // hours to draw, and such an area comes from a stray cell far out in the
    // sheet, not from a report.
    static constexpr qint64 MaxPages = 20000;

    struct Band
    {
        int first = 0;
        int last = 0;
    };
    struct Page
    {
        Band rows;
        Band columns;
    };

    // Lays out the sheet at that index. Never throws; a sheet with nothing
    // to print has no pages.
    PageLayout(const Workbook &workbook, int sheetIndex);
    PageLayout(const Workbook &workbook, int sheetIndex, const PrintSetup &setup);

    const PrintSetup &setup() const { return m_setup; }
    // The paper in points, turned for landscape.
    QSizeF paperSize() const { return m_paper; }
    // The part of the paper the cells print on: inside the margins. A
    // header or footer keeps its distance from the paper's edge and its
    // room to the cells shrinks with the scale, as the office suite lays
    // out scaled pages (at 100 % the room is the margin's).
    QRectF printableRect() const { return printableRect(m_scale); }
    QRectF printableRect(double scale) const;
    // The factor sheet lengths are multiplied by on paper (1.0 = 100 %).
    double scale() const { return m_scale; }
    // The area that prints; firstRow 0 when nothing does.
    RangeRef area() const { return m_area; }

    const std::vector<Page> &pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }
    // The pages the area spans, empty ones included; above MaxPages the
    // layout has no pages.
    qint64 areaPageCount() const { return m_areaPages; }

    // The repeated rows and columns shown on a page (first 0 for none).
    Band titleRows(const Page &page) const;
    Band titleColumns(const Page &page) const;

    // Height of a row and width of a column in points (0 when hidden).
    double rowHeight(int row) const;
    double columnWidth(int column) const;
    double rowsHeight(int first, int last) const;
    double columnsWidth(int first, int last) const;

    // The width in points of a column of the given stored width, as the file
    // format defines it: whole pixels of the standard font's 7-pixel digits
    // with the cell margins, at 96 pixels to the inch.
    static double columnPoints(double storedWidth);

private:
    void measure(const Workbook &workbook, int sheetIndex);
    void measureColumns(const Worksheet &sheet, int lastColumn);
    void coverPictures(const Worksheet &sheet, SheetExtent &extent) const;
    void findArea(const SheetExtent &extent);
    void measureRows(const Worksheet &sheet);
    std::vector<Band> bands(const std::vector<double> &sizes, int first, int last, double available, int titleFirst,
        int titleLast, const std::vector<char> &breaksAbove) const;
    void paginate(double scale, std::vector<Band> &rowBands, std::vector<Band> &columnBands) const;
    void keepShownPages(const Workbook &workbook, int sheetIndex, const std::vector<Band> &rowBands,
        const std::vector<Band> &columnBands);

    PrintSetup m_setup;
    QSizeF m_paper;
    double m_scale = 1.0;
    RangeRef m_area;
    std::vector<double> m_rowHeights; // by row; index 0 unused
    std::vector<double> m_columnWidths; // by column; index 0 unused
    std::vector<double> m_rowTops; // running sums; m_rowTops[r] = height of rows 1..r-1
    std::vector<double> m_columnLefts;
    std::vector<char> m_breaksAbove; // by row
    std::vector<Page> m_pages;
    qint64 m_areaPages = 0;
};

} // namespace tannbuch
