#pragma once

#include "workbook/cells/Cell.h"
#include "workbook/cells/CellAddress.h"
#include "workbook/cells/TemplatePrintFormat.h"

#include <QByteArray>
#include <QString>

#include <limits>
#include <map>
#include <set>
#include <vector>

namespace tannbuch {

// One row of a worksheet: its cells ordered by column, and its own format.
struct RowData
{
    std::vector<Cell> cells; // sorted by Cell::column
    double height = -1.0; // points; below 0 means the default height
    bool customHeight = false;
    bool hidden = false;
    quint32 styleId = 0; // the row's own format (0 = none)
};

// The format of a column (from the template, or set by the program).
struct ColumnData
{
    double width = -1.0; // characters of the default font; below 0 = default width
    bool customWidth = false;
    bool hidden = false;
    quint32 styleId = 0;
};

struct Hyperlink
{
    CellRef anchor;
    QString address; // external target (https://...)
    QString location; // target inside the workbook, when no address
    QString textToDisplay;
    QString tooltip;
};

// A picture placed with its top left corner at a cell.
struct Picture
{
    QByteArray data; // the image file's bytes
    QString extension; // "png", "jpeg", "gif"
    int widthPx = 0;
    int heightPx = 0;
    CellRef anchor;
    QString name;
};

// Page set-up of a sheet as the program changes it. The template's own page
// set-up is kept by the file layer; `changed` tells it to write these values.
struct PageSetup
{
    bool changed = false;
    int scale = 100; // percent, 10..400
    // The program set the scale (setScale). As in the spreadsheet program,
    // setting a scale turns fitting to pages off, even when it is the
    // template's own.
    bool scaleSet = false;

    void setScale(int percent)
    {
        scale = percent;
        scaleSet = true;
    }
    QString oddHeader; // header text in the file's &-code form ("&P", "&N", ...)
    QString oddFooter;
    int paperSize = 0; // the file format's paper code (9 = A4); 0 keeps the template's
    QString orientation; // "portrait" or "landscape"; empty keeps the template's
};

// How a window shows a sheet: the cells as they are, the pages with their
// breaks (page-break preview), or the printed pages (page layout).
enum class SheetViewMode : quint8 { Normal, PageBreakPreview, PageLayout };

// A worksheet: cells in row order (rows kept in a sorted map, cells of a row in
// a vector sorted by column), row and column formats, merged ranges,
// hyperlinks, manual row breaks, pictures, page set-up and the window's view
// of it. The used range is derived from the cells. Plain storage: the
// operations a report uses are those of Range and Application.
class Worksheet
{
public:
    explicit Worksheet(const QString &name);

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // The cell, or nullptr when the sheet holds none there.
    const Cell *cell(int row, int column) const;
    // The cell, created (empty, default style) when missing. Marks the sheet changed.
    Cell &cellForWrite(int row, int column);
    void removeCell(int row, int column);

    const std::map<int, RowData> &rows() const { return m_rows; }
    // Mutable access; marks the sheet changed, from the given row down (all
    // rows when none is given).
    std::map<int, RowData> &rowsForWrite(int fromRow = 1);
    const RowData *row(int row) const;
    RowData &rowForWrite(int row);

    const std::map<int, ColumnData> &columns() const { return m_columns; }
    std::map<int, ColumnData> &columnsForWrite();

    const std::vector<RangeRef> &merges() const { return m_merges; }
    // Marks the sheet changed from the given row down (all rows when none is given).
    std::vector<RangeRef> &mergesForWrite(int fromRow = 1);

    const std::vector<Hyperlink> &hyperlinks() const { return m_hyperlinks; }
    std::vector<Hyperlink> &hyperlinksForWrite();

    // Rows with a manual page break above them.
    const std::set<int> &rowBreaks() const { return m_rowBreaks; }
    std::set<int> &rowBreaksForWrite();

    const std::vector<Picture> &pictures() const { return m_pictures; }
    std::vector<Picture> &picturesForWrite();

    const PageSetup &pageSetup() const { return m_pageSetup; }
    PageSetup &pageSetupForWrite();

    // How the template's sheet prints beyond the page set-up, as the file
    // reader found it. Read once, not changed by a report: setting it
    // leaves the sheet unchanged.
    const TemplatePrintFormat &templatePrintFormat() const { return m_templatePrintFormat; }
    void setTemplatePrintFormat(const TemplatePrintFormat &format) { m_templatePrintFormat = format; }

    // The view the window shows the sheet in (read from the template, set
    // through Window::setView); the saved file opens the sheet in it. A
    // window setting, not content: setting it leaves the sheet unchanged.
    SheetViewMode view() const { return m_view; }
    void setView(SheetViewMode view) { m_view = view; }

    // The smallest range holding every non-empty cell; {0,0,0,0} when none.
    RangeRef usedRange() const;

    // True once the program has changed anything on the sheet; an unchanged
    // sheet of a template is written back as it was.
    bool isChanged() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

    // The sheet's part as read from the template (empty for a new sheet); the
    // file layer takes what the model does not hold from it.
    const QByteArray &templateXml() const { return m_templateXml; }
    void setTemplateXml(const QByteArray &xml) { m_templateXml = xml; }

    // The lowest row whose cells or merges changed since the last call
    // (INT_MAX when none did); the count starts anew. Results worked out
    // from the rows above it still hold.
    int takeLowestChangedRow();

    // What fitting columns found, kept so that fitting a growing report
    // again only looks at its new rows: for each row a fit went down to, the
    // widest text per column (pixels, -1 for none) from firstRow to there.
    // The workbook forgets them when its locale changes.
    struct FitMemo
    {
        int firstRow = 0;
        int firstColumn = 0;
        int lastColumn = 0;
        std::map<int, std::vector<double>> widestTo;
    };
    std::vector<FitMemo> &fitMemos() { return m_fitMemos; }

private:
    void noteChanged(int fromRow);

    QString m_name;
    std::map<int, RowData> m_rows;
    std::map<int, ColumnData> m_columns;
    std::vector<RangeRef> m_merges;
    std::vector<Hyperlink> m_hyperlinks;
    std::set<int> m_rowBreaks;
    std::vector<Picture> m_pictures;
    PageSetup m_pageSetup;
    TemplatePrintFormat m_templatePrintFormat;
    QByteArray m_templateXml;
    int m_lowestChangedRow = std::numeric_limits<int>::max();
    std::vector<FitMemo> m_fitMemos;
    SheetViewMode m_view = SheetViewMode::Normal;
    bool m_changed = false;
};

} // namespace tannbuch
