#pragma once

#include "workbook/cells/Cell.h"
#include "workbook/cells/CellStyle.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>

#include <array>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tannbuch {

class NumberFormatter;
class Workbook;
class Worksheet;

// One border line of a cell as it is drawn.
struct SheetLine
{
    int width = 0; // pixels across the line; 0 = no line
    Qt::PenStyle style = Qt::SolidLine;
    bool isDouble = false;
    QColor color = Qt::black;

    bool isNone() const { return width == 0; }
};

// Index of an edge in SheetCellLook::edges.
enum SheetEdge : int { SheetEdgeLeft = 0, SheetEdgeTop, SheetEdgeRight, SheetEdgeBottom, SheetEdgeCount };

// What one cell shows, everything resolved for drawing.
struct SheetCellLook
{
    QString text; // the value as displayed under its number format
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignBottom;
    QColor foreground = Qt::black;
    QColor fill; // invalid for no fill
    // The lines on the cell's edges. A right or bottom edge also carries the
    // line the neighbour there puts on the shared edge, so the cell that owns
    // the edge's pixels draws it whatever was painted before.
    std::array<SheetLine, SheetEdgeCount> edges;
    QString hyperlink; // the link's address as stored, empty for none
    bool isNumber = false; // a number too wide for its cell shows "###"
    bool wrap = false;
    // A text wider than its cell runs on over empty neighbours. Each cell of
    // the run draws its part of the text: textColumn is the column whose text
    // it draws (-1 for none), spillFirst..spillLast the columns of the run.
    int textColumn = -1;
    int spillFirst = -1;
    int spillLast = -1;
};

// A merged area in model rows and columns (0-based).
struct SheetSpan
{
    int row = 0;
    int column = 0;
    int rowCount = 1;
    int columnCount = 1;
};

// A picture with its top left corner at a cell, scaled to its size in pixels.
struct SheetPicture
{
    int row = 0; // model row and column (0-based)
    int column = 0;
    QImage image;
};

// One worksheet as a read-only table model for SheetView. Rows and columns
// are the model's (0-based; sheet row 1 is model row 0). The model shows the
// used part of the sheet and some spare rows and columns after it.
//
// What a cell shows (text, font, alignment, borders, fill, link) is worked
// out the first time a row is asked for and kept in a cache of recent rows;
// nothing is computed for the whole sheet up front except its size, column
// widths, row heights, merges, breaks, links and pictures, so a sheet of
// tens of thousands of rows opens at once.
//
// The sheet and its workbook are not owned and must outlive the model, or be
// replaced by setSheet(nullptr, nullptr) first. Never throws.
class SheetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role { HyperlinkRole = Qt::UserRole + 1 };

    static constexpr int DefaultColumnPixels = 64; // 8.43 characters of the standard font
    static constexpr int DefaultRowPixels = 20; // 15 points
    static constexpr int SpareRows = 50;
    static constexpr int SpareColumns = 5;
    static constexpr int MinimumColumns = 10; // A..J
    // Pixels between a cell's edge and its text, left and right alike; the
    // grid line is not counted.
    static constexpr int TextPadding = 3;

    explicit SheetModel(QObject *parent = nullptr);
    ~SheetModel() override;

    // Shows the sheet of the workbook (both null for nothing). Resets the model.
    void setSheet(const Workbook *book, const Worksheet *sheet);
    const Workbook *workbook() const { return m_book; }
    const Worksheet *worksheet() const { return m_sheet; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // What the cell shows; an empty look outside the model. The reference
    // stays valid until a row that is not cached is asked for.
    const SheetCellLook &look(int row, int column) const;
    // The cell's displayed text; "" for an empty cell or one outside.
    QString displayText(int row, int column) const;

    // Width of a column in pixels (0 for a hidden one), and the width of the
    // columns first..last together.
    int columnPixels(int column) const;
    int columnsPixels(int first, int last) const;
    // The columns whose width differs from DefaultColumnPixels, with their width.
    const std::map<int, int> &columnWidths() const { return m_columnWidths; }
    // The height most rows have, and the rows of another height (0 = hidden).
    int defaultRowPixels() const { return m_defaultRowPixels; }
    const std::map<int, int> &rowHeights() const { return m_rowHeights; }

    const std::vector<SheetSpan> &spans() const { return m_spans; }
    // Rows with a manual page break above them, in order.
    const std::vector<int> &pageBreakRows() const { return m_pageBreakRows; }
    bool hasPageBreakAbove(int row) const;
    const std::vector<SheetPicture> &pictures() const { return m_pictures; }

private:
    // A cell format as drawn, resolved once per style id.
    struct StyleLook
    {
        QString numberFormat;
        QFont font;
        HAlign horizontalAlignment = HAlign::General;
        Qt::Alignment verticalAlignment = Qt::AlignBottom;
        bool wrap = false;
        QColor foreground = Qt::black;
        QColor fill;
        std::array<SheetLine, SheetEdgeCount> edges;
    };

    const StyleLook &styleLook(quint32 styleId) const;
    std::vector<quint32> rowStyles(int sheetRow) const;
    SheetLine rightLine(int sheetRow, int sheetColumn) const;
    SheetLine bottomLine(int sheetRow, int sheetColumn) const;
    const SheetSpan *spanAt(int row, int column) const;
    std::vector<SheetCellLook> buildRow(int row) const;
    std::vector<SheetCellLook> styledRow(int sheetRow) const;
    void showValues(std::vector<SheetCellLook> &looks, std::vector<CellType> &types, int sheetRow) const;
    QString shownText(const Cell &cell, CellType type, const QString &numberFormat) const;
    void showLinks(std::vector<SheetCellLook> &looks, int sheetRow) const;
    void mergeEdges(std::vector<SheetCellLook> &looks, int row) const;
    void spill(std::vector<SheetCellLook> &looks, const std::vector<CellType> &types, int row) const;
    void measureSheet();
    void findSize();
    void measureColumns();
    void measureRows();
    void findSpans();
    void readPictures();

    const Workbook *m_book = nullptr;
    const Worksheet *m_sheet = nullptr;
    std::unique_ptr<NumberFormatter> m_formatter;
    int m_rowCount = 0;
    int m_columnCount = 0;
    std::vector<int> m_columnPixels;
    std::vector<int> m_columnStarts; // running sum of the widths; one more entry than columns
    std::map<int, int> m_columnWidths;
    int m_defaultRowPixels = DefaultRowPixels;
    std::map<int, int> m_rowHeights;
    std::vector<SheetSpan> m_spans; // ordered by row
    int m_tallestSpan = 1;
    std::vector<int> m_pageBreakRows;
    std::vector<SheetPicture> m_pictures;
    QHash<qint64, int> m_links; // row << 32 | column -> index into the sheet's hyperlinks

    // By style id; each look stays where it is while more are added.
    mutable std::vector<std::unique_ptr<StyleLook>> m_styleLooks;
    mutable std::unordered_map<int, std::vector<SheetCellLook>> m_rowLooks;
    SheetCellLook m_emptyLook;
};

} // namespace tannbuch
