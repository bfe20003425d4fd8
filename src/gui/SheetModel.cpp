#include "SheetModel.h"

#include "text/NumberFormatter.h"
#include "workbook/cells/CellAddress.h"
#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/ColumnWidth.h"
#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/package/PictureDrawing.h"
#include "workbook/print/BorderPen.h"
#include "workbook/print/CellAlignment.h"
#include "workbook/print/SheetExtent.h"
#include "workbook/print/TemplatePictures.h"

#include <QBrush>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace tannbuch {

namespace {

// Cells whose looks are kept (whole rows of them, at least a screenful);
// scrolling through more starts the cache afresh.
constexpr size_t MaxCachedCells = 100000;
constexpr size_t MinCachedRows = 100;

// Pixels of a digit of the standard font and of the two cell margins
// together, the units ColumnWidth counts column widths in.
constexpr double DigitPixels = 7.0;
constexpr double MarginPixels = 5.0;

// Row heights and line widths are stored in points; the screen counts 96
// pixels to the inch.
constexpr double PixelsPerPoint = 96.0 / 72.0;

const QColor LinkColor(0x05, 0x63, 0xC1);

// A border line in whole screen pixels: as wide as on paper, at least a
// pixel; a double line takes three (two strokes and the gap between), and
// a hairline, thinner than a pixel, shows dotted.
SheetLine drawnLine(const BorderLine &line)
{
    const BorderPen pen = BorderPen::of(line);
    SheetLine drawn;
    if (pen.isNone())
        return drawn;
    drawn.width = pen.isDouble ? 3 : std::max(1, qRound(pen.width * PixelsPerPoint));
    drawn.style = pen.isHairline && pen.style == Qt::SolidLine ? Qt::DotLine : pen.style;
    drawn.isDouble = pen.isDouble;
    drawn.color = pen.color;
    return drawn;
}

// The width in pixels of a column of that stored width: the pixels of the
// characters ColumnWidth finds in it plus the margins.
int columnPixelsOf(const ColumnData &column)
{
    if (column.hidden)
        return 0;
    if (column.width < 0)
        return SheetModel::DefaultColumnPixels;
    const double characters = ColumnWidth::toCharacters(column.width);
    return characters <= 0.0 ? 0 : int(characters * DigitPixels + MarginPixels + 0.5);
}

qint64 cellKey(int row, int column)
{
    return (qint64(row) << 32) | quint32(column);
}

} // namespace

SheetModel::SheetModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

SheetModel::~SheetModel() = default;

void SheetModel::setSheet(const Workbook *book, const Worksheet *sheet)
{
    beginResetModel();
    m_book = book && sheet ? book : nullptr;
    m_sheet = book && sheet ? sheet : nullptr;
    m_formatter = std::make_unique<NumberFormatter>(m_book ? m_book->locale() : QLocale::c());
    m_styleLooks.clear();
    m_rowLooks.clear();
    m_rowCount = 0;
    m_columnCount = 0;
    m_columnPixels.clear();
    m_columnStarts.assign(1, 0);
    m_columnWidths.clear();
    m_defaultRowPixels = DefaultRowPixels;
    m_rowHeights.clear();
    m_spans.clear();
    m_tallestSpan = 1;
    m_pageBreakRows.clear();
    m_pictures.clear();
    m_links.clear();
    if (m_sheet)
        measureSheet();
    endResetModel();
}

// Everything the view needs before the first paint: the sheet's size, its
// columns and rows, merges, breaks, links and pictures. One pass over the
// rows; the cells' looks wait until they are shown.
void SheetModel::measureSheet()
{
    findSize();
    measureColumns();
    measureRows();
    findSpans();
    for (int row : m_sheet->rowBreaks()) {
        if (row >= 2 && row <= m_rowCount)
            m_pageBreakRows.push_back(row - 1);
    }
    const auto &links = m_sheet->hyperlinks();
    for (size_t i = 0; i < links.size(); ++i)
        m_links.insert(cellKey(links[i].anchor.row, links[i].anchor.column), int(i));
    readPictures();
}

// The model shows the cells that show anything, the cells with links,
// pictures and breaks, and spare rows and columns after them.
void SheetModel::findSize()
{
    const Worksheet &sheet = *m_sheet;
    SheetExtent extent = SheetExtent::of(*m_book, sheet);
    for (const Hyperlink &h : sheet.hyperlinks())
        extent.include(h.anchor.row, h.anchor.column);
    for (const Picture &p : sheet.pictures())
        extent.include(p.anchor.row, p.anchor.column);
    if (!sheet.rowBreaks().empty())
        extent.include(*sheet.rowBreaks().rbegin(), 0);
    m_rowCount = std::min(std::max(extent.lastRow, 1) + SpareRows, SheetLimits::MaxRows);
    m_columnCount = std::min(std::max(extent.lastColumn + SpareColumns, MinimumColumns), SheetLimits::MaxColumns);
}

void SheetModel::measureColumns()
{
    m_columnPixels.assign(size_t(m_columnCount), DefaultColumnPixels);
    const auto &columns = m_sheet->columns();
    for (auto it = columns.lower_bound(1); it != columns.end() && it->first <= m_columnCount; ++it) {
        const int pixels = columnPixelsOf(it->second);
        m_columnPixels[size_t(it->first - 1)] = pixels;
        if (pixels != DefaultColumnPixels)
            m_columnWidths[it->first - 1] = pixels;
    }
    m_columnStarts.resize(size_t(m_columnCount) + 1);
    for (int c = 0; c < m_columnCount; ++c)
        m_columnStarts[size_t(c) + 1] = m_columnStarts[size_t(c)] + m_columnPixels[size_t(c)];
}

// Rows have the default height unless they have their own (or are hidden).
// A report that copies template rows may give every row its own height;
// then that height is the common one and the view sets only the rows that
// differ from it, instead of every row one by one.
void SheetModel::measureRows()
{
    std::map<int, int> own;
    QHash<int, int> rowsOfHeight;
    for (const auto &[rowNumber, row] : m_sheet->rows()) {
        if (rowNumber > m_rowCount)
            break;
        if (row.hidden) {
            own[rowNumber - 1] = 0;
        } else if (row.customHeight && row.height >= 0) {
            const int pixels = int(row.height * PixelsPerPoint + 0.5);
            own[rowNumber - 1] = pixels;
            if (pixels > 0) // a row of no height is hidden
                ++rowsOfHeight[pixels];
        }
    }
    rowsOfHeight[DefaultRowPixels] += m_rowCount - int(own.size());
    for (auto it = rowsOfHeight.cbegin(); it != rowsOfHeight.cend(); ++it) {
        if (it.value() > rowsOfHeight.value(m_defaultRowPixels))
            m_defaultRowPixels = it.key();
    }
    for (const auto &[row, pixels] : own) {
        if (pixels != m_defaultRowPixels)
            m_rowHeights[row] = pixels;
    }
    if (m_defaultRowPixels != DefaultRowPixels) {
        for (int row = 0; row < m_rowCount; ++row) {
            if (!own.count(row))
                m_rowHeights[row] = DefaultRowPixels;
        }
    }
}

// The merged areas in the model, cut at its edges, ordered by row.
void SheetModel::findSpans()
{
    for (const RangeRef &m : m_sheet->merges()) {
        if (m.isSingleCell() || m.firstRow > m_rowCount || m.firstColumn > m_columnCount)
            continue;
        const SheetSpan span{m.firstRow - 1, m.firstColumn - 1, std::min(m.lastRow, m_rowCount) - m.firstRow + 1,
            std::min(m.lastColumn, m_columnCount) - m.firstColumn + 1};
        m_spans.push_back(span);
        m_tallestSpan = std::max(m_tallestSpan, span.rowCount);
    }
    std::sort(m_spans.begin(), m_spans.end(), [](const SheetSpan &a, const SheetSpan &b) {
        return a.row < b.row || (a.row == b.row && a.column < b.column);
    });
}

// Each picture scaled to its size, the template drawing's under the ones the
// program inserted; one Qt cannot read shows as an empty frame of its size.
void SheetModel::readPictures()
{
    std::vector<Picture> pictures = templatePictures(*m_book, m_book->sheetIndex(m_sheet->name()));
    pictures.insert(pictures.end(), m_sheet->pictures().begin(), m_sheet->pictures().end());
    for (const Picture &p : pictures) {
        int width = 0;
        int height = 0;
        PictureDrawing::pixelSize(p, width, height);
        QImage image = QImage::fromData(p.data);
        if (image.isNull()) {
            image = QImage(width, height, QImage::Format_RGB32);
            image.fill(QColor(0xF2, 0xF2, 0xF2));
            QPainter frame(&image);
            frame.setPen(Qt::gray);
            frame.drawRect(0, 0, width - 1, height - 1);
        } else if (image.size() != QSize(width, height)) {
            image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        m_pictures.push_back({p.anchor.row - 1, p.anchor.column - 1, image});
    }
}

int SheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int SheetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant SheetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const SheetCellLook &l = look(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return l.text;
    case Qt::FontRole:
        return l.font;
    case Qt::TextAlignmentRole:
        return int(l.alignment);
    case Qt::ForegroundRole:
        return QBrush(l.foreground);
    case Qt::BackgroundRole:
        return l.fill.isValid() ? QVariant(QBrush(l.fill)) : QVariant();
    case Qt::ToolTipRole: {
        if (l.hyperlink.isEmpty())
            return QVariant();
        const auto it = m_links.constFind(cellKey(index.row() + 1, index.column() + 1));
        const QString &tip = m_sheet->hyperlinks()[size_t(*it)].tooltip;
        return tip.isEmpty() ? l.hyperlink : tip;
    }
    case HyperlinkRole:
        return l.hyperlink.isEmpty() ? QVariant() : QVariant(l.hyperlink);
    default:
        return QVariant();
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return CellAddress::columnLetters(section + 1);
    return QString::number(section + 1);
}

Qt::ItemFlags SheetModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

const SheetCellLook &SheetModel::look(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columnCount)
        return m_emptyLook;
    auto it = m_rowLooks.find(row);
    if (it == m_rowLooks.end()) {
        if (m_rowLooks.size() >= std::max(MinCachedRows, MaxCachedCells / size_t(m_columnCount)))
            m_rowLooks.clear();
        it = m_rowLooks.emplace(row, buildRow(row)).first;
    }
    return it->second[size_t(column)];
}

QString SheetModel::displayText(int row, int column) const
{
    return look(row, column).text;
}

int SheetModel::columnPixels(int column) const
{
    if (column < 0 || column >= m_columnCount)
        return DefaultColumnPixels;
    return m_columnPixels[size_t(column)];
}

int SheetModel::columnsPixels(int first, int last) const
{
    first = std::max(first, 0);
    last = std::min(last, m_columnCount - 1);
    if (first > last)
        return 0;
    return m_columnStarts[size_t(last) + 1] - m_columnStarts[size_t(first)];
}

bool SheetModel::hasPageBreakAbove(int row) const
{
    return std::binary_search(m_pageBreakRows.begin(), m_pageBreakRows.end(), row);
}

const SheetModel::StyleLook &SheetModel::styleLook(quint32 styleId) const
{
    if (styleId >= m_styleLooks.size())
        m_styleLooks.resize(styleId + 1);
    std::unique_ptr<StyleLook> &slot = m_styleLooks[styleId];
    if (!slot) {
        const ResolvedStyle r = m_book->resolve(styleId);
        StyleLook s;
        s.numberFormat = r.numberFormat;
        s.font = QFont(r.fontName);
        s.font.setPointSizeF(r.fontSize);
        s.font.setBold(r.bold);
        s.font.setItalic(r.italic);
        s.horizontalAlignment = r.horizontalAlignment;
        s.verticalAlignment = verticalAlignment(r.verticalAlignment);
        s.wrap = r.wrapText;
        if (!r.fontColor.isEmpty())
            s.foreground = QColor(r.fontColor);
        if (!r.fillColor.isEmpty())
            s.fill = QColor(r.fillColor);
        s.edges[SheetEdgeLeft] = drawnLine(r.borders[EdgeLeft]);
        s.edges[SheetEdgeTop] = drawnLine(r.borders[EdgeTop]);
        s.edges[SheetEdgeRight] = drawnLine(r.borders[EdgeRight]);
        s.edges[SheetEdgeBottom] = drawnLine(r.borders[EdgeBottom]);
        slot = std::make_unique<StyleLook>(std::move(s));
    }
    return *slot;
}

// The style id of every model column of a sheet row: the cell's, or for a
// column without a cell the row's or the column's format.
std::vector<quint32> SheetModel::rowStyles(int sheetRow) const
{
    std::vector<quint32> ids(size_t(m_columnCount), 0);
    const RowData *data = m_sheet->row(sheetRow);
    for (int c = 0; c < m_columnCount; ++c)
        ids[size_t(c)] = SheetCells::inheritedStyle(*m_sheet, data, c + 1);
    if (data) {
        for (const Cell &cell : data->cells) {
            if (cell.column > m_columnCount)
                break;
            if (cell.column >= 1)
                ids[size_t(cell.column - 1)] = cell.styleId;
        }
    }
    return ids;
}

// The line on a sheet cell's right edge: its own, else the left one of its
// right neighbour.
SheetLine SheetModel::rightLine(int sheetRow, int sheetColumn) const
{
    const SheetLine own = styleLook(SheetCells::effectiveStyle(*m_sheet, sheetRow, sheetColumn)).edges[SheetEdgeRight];
    if (!own.isNone() || sheetColumn >= SheetLimits::MaxColumns)
        return own;
    return styleLook(SheetCells::effectiveStyle(*m_sheet, sheetRow, sheetColumn + 1)).edges[SheetEdgeLeft];
}

SheetLine SheetModel::bottomLine(int sheetRow, int sheetColumn) const
{
    const SheetLine own = styleLook(SheetCells::effectiveStyle(*m_sheet, sheetRow, sheetColumn)).edges[SheetEdgeBottom];
    if (!own.isNone() || sheetRow >= SheetLimits::MaxRows)
        return own;
    return styleLook(SheetCells::effectiveStyle(*m_sheet, sheetRow + 1, sheetColumn)).edges[SheetEdgeTop];
}

const SheetSpan *SheetModel::spanAt(int row, int column) const
{
    // Spans are ordered by their first row; one covering the row starts at
    // most m_tallestSpan rows above it.
    auto it
        = std::upper_bound(m_spans.begin(), m_spans.end(), row, [](int r, const SheetSpan &s) { return r < s.row; });
    while (it != m_spans.begin()) {
        --it;
        if (it->row + m_tallestSpan <= row)
            break;
        if (row < it->row + it->rowCount && column >= it->column && column < it->column + it->columnCount)
            return &*it;
    }
    return nullptr;
}

// What each cell of a model row shows: the looks of the cells' styles, the
// values as texts, links, the outer lines of merged areas, and texts that
// run on over their neighbours.
std::vector<SheetCellLook> SheetModel::buildRow(int row) const
{
    const int sheetRow = row + 1;
    std::vector<SheetCellLook> looks = styledRow(sheetRow);
    std::vector<CellType> types(size_t(m_columnCount), CellType::Empty);
    showValues(looks, types, sheetRow);
    if (!m_links.isEmpty())
        showLinks(looks, sheetRow);
    mergeEdges(looks, row);
    spill(looks, types, row);
    return looks;
}

// The looks of a sheet row's styles, before the values: font and its
// colour, fill, wrap, alignment and lines, each right and bottom edge with
// the line the neighbour there puts on it.
std::vector<SheetCellLook> SheetModel::styledRow(int sheetRow) const
{
    const std::vector<quint32> ids = rowStyles(sheetRow);
    const std::vector<quint32> below = rowStyles(sheetRow + 1);
    std::vector<SheetCellLook> looks(static_cast<size_t>(m_columnCount));
    for (int c = 0; c < m_columnCount; ++c) {
        const StyleLook &s = styleLook(ids[size_t(c)]);
        SheetCellLook &l = looks[size_t(c)];
        l.font = s.font;
        l.foreground = s.foreground;
        l.fill = s.fill;
        l.wrap = s.wrap;
        l.edges = s.edges;
        if (l.edges[SheetEdgeRight].isNone() && c + 1 < m_columnCount)
            l.edges[SheetEdgeRight] = styleLook(ids[size_t(c) + 1]).edges[SheetEdgeLeft];
        if (l.edges[SheetEdgeBottom].isNone())
            l.edges[SheetEdgeBottom] = styleLook(below[size_t(c)]).edges[SheetEdgeTop];
        l.alignment = horizontalAlignment(s.horizontalAlignment, CellType::Text) | s.verticalAlignment;
    }
    return looks;
}

// The row's values as their number formats show them, aligned by their
// type; types gets each column's value type (a formula's result's).
void SheetModel::showValues(std::vector<SheetCellLook> &looks, std::vector<CellType> &types, int sheetRow) const
{
    const RowData *data = m_sheet->row(sheetRow);
    if (!data)
        return;
    for (const Cell &cell : data->cells) {
        if (cell.column > m_columnCount)
            break;
        if (cell.column < 1)
            continue;
        const CellType type = cell.type == CellType::Formula ? cell.cachedType : cell.type;
        const StyleLook &s = styleLook(cell.styleId);
        SheetCellLook &l = looks[size_t(cell.column - 1)];
        l.text = shownText(cell, type, s.numberFormat);
        l.isNumber = type == CellType::Number;
        types[size_t(cell.column - 1)] = cell.type == CellType::Empty ? CellType::Empty : type;
        // A formula without a known result still occupies its cell.
        if (cell.type == CellType::Formula && type == CellType::Empty)
            types[size_t(cell.column - 1)] = CellType::Formula;
        l.alignment = horizontalAlignment(s.horizontalAlignment, type) | s.verticalAlignment;
    }
}

QString SheetModel::shownText(const Cell &cell, CellType type, const QString &numberFormat) const
{
    switch (type) {
    case CellType::Number:
        return m_formatter->format(cell.number, numberFormat);
    case CellType::Boolean:
        return CellValueConversion::booleanText(cell.number != 0.0, m_book->locale());
    case CellType::Text:
        return m_formatter->formatText(cell.text, numberFormat);
    case CellType::Error:
        return cell.text;
    default:
        return QString();
    }
}

// Cells with a link show it blue and underlined and carry its address.
void SheetModel::showLinks(std::vector<SheetCellLook> &looks, int sheetRow) const
{
    for (int c = 0; c < m_columnCount; ++c) {
        const auto it = m_links.constFind(cellKey(sheetRow, c + 1));
        if (it == m_links.constEnd())
            continue;
        const Hyperlink &h = m_sheet->hyperlinks()[size_t(*it)];
        SheetCellLook &l = looks[size_t(c)];
        l.hyperlink = h.address.isEmpty() ? QLatin1Char('#') + h.location : h.address;
        l.foreground = LinkColor;
        l.font.setUnderline(true);
    }
}

// A merged area is drawn as one cell from its top left: its right and
// bottom lines are those of its last column and last row.
void SheetModel::mergeEdges(std::vector<SheetCellLook> &looks, int row) const
{
    const int sheetRow = row + 1;
    for (int c = 0; c < m_columnCount; ++c) {
        const SheetSpan *span = spanAt(row, c);
        if (!span || span->row != row || span->column != c)
            continue;
        SheetCellLook &l = looks[size_t(c)];
        l.edges[SheetEdgeRight] = rightLine(sheetRow, span->column + span->columnCount);
        l.edges[SheetEdgeBottom] = bottomLine(span->row + span->rowCount, c + 1);
        c = span->column + span->columnCount - 1;
    }
}

// Texts run on over empty neighbours the way their alignment points; a
// centred text needs half the excess on either side. Numbers, wrapped texts
// and merged cells stay in their cells.
void SheetModel::spill(std::vector<SheetCellLook> &looks, const std::vector<CellType> &types, int row) const
{
    const auto isFree = [&](int k) {
        return k >= 0 && k < m_columnCount && types[size_t(k)] == CellType::Empty && looks[size_t(k)].textColumn < 0
            && !spanAt(row, k);
    };
    for (int c = 0; c < m_columnCount; ++c) {
        SheetCellLook &l = looks[size_t(c)];
        if (l.text.isEmpty())
            continue;
        l.textColumn = c;
        l.spillFirst = c;
        l.spillLast = c;
        if (types[size_t(c)] != CellType::Text || l.wrap || spanAt(row, c))
            continue;
        const double needed = QFontMetricsF(l.font).horizontalAdvance(l.text) + 2 * TextPadding + 1;
        const double own = m_columnPixels[size_t(c)];
        if (needed <= own)
            continue;
        const bool toRight = !(l.alignment & Qt::AlignRight);
        const bool toLeft = !(l.alignment & Qt::AlignLeft);
        const double excess = toRight && toLeft ? (needed - own) / 2 : needed - own;
        int first = c;
        int last = c;
        for (double gained = 0; toRight && gained < excess && isFree(last + 1);)
            gained += m_columnPixels[size_t(++last)];
        for (double gained = 0; toLeft && gained < excess && isFree(first - 1);)
            gained += m_columnPixels[size_t(--first)];
        for (int k = first; k <= last; ++k) {
            looks[size_t(k)].textColumn = c;
            looks[size_t(k)].spillFirst = first;
            looks[size_t(k)].spillLast = last;
        }
    }
}

} // namespace tannbuch
