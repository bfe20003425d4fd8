#include "PageRenderer.h"

#include "text/NumberFormatter.h"
#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/ColumnAutoFit.h"
#include "workbook/cells/SheetCells.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/package/PictureDrawing.h"
#include "workbook/print/CellAlignment.h"
#include "workbook/print/TemplatePictures.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <bit>
#include <map>
#include <tuple>

namespace tannbuch {

namespace {

constexpr double PointsPerPixel = 72.0 / 96.0;
// The room beside a number that fits its column only by the column's own
// measure: half the margins the file format counts in a column's width.
constexpr double TightPadding = 2.5 * PointsPerPixel;
const QColor LinkColor(0x05, 0x63, 0xC1);
const QColor GridColor(0xC0, 0xC0, 0xC0);

qint64 cellKey(int row, int column)
{
    return (qint64(row) << 32) | quint32(column);
}

// A link's address as a PDF link action carries it. The PDF writer puts it
// between brackets as it is, in Latin-1: brackets, backslashes, blanks and
// everything beyond ASCII go percent-encoded (in UTF-8), so no address can
// end the text early or break the file.
QString pdfLinkAddress(const QString &address)
{
    QString encoded;
    for (const char byte : address.toUtf8()) {
        const uchar c = uchar(byte);
        if (c > 0x20 && c < 0x7F && c != '(' && c != ')' && c != '\\')
            encoded += QLatin1Char(char(c));
        else
            encoded += u'%' + QString::number(c, 16).toUpper().rightJustified(2, u'0');
    }
    return encoded;
}

// The whole text underlined in the link colour, and with an address the
// anchor that makes it a link a PDF reader can click.
QTextLayout::FormatRange linkFormat(const QString &text, const QString &address)
{
    QTextCharFormat format;
    format.setForeground(LinkColor);
    format.setFontUnderline(true);
    if (!address.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(pdfLinkAddress(address));
    }
    return QTextLayout::FormatRange{0, int(text.size()), format};
}

// What a cell holds, as far as drawing it is concerned.
struct CellText
{
    QString text;
    CellType type = CellType::Empty; // the value's type; a formula its result's
    bool occupied = false; // holds a value (even an empty text): nothing runs over it
    double width = 0;
};

// The thin grey lines between cells, when the page set-up asks for them.
BorderPen gridPen()
{
    BorderPen pen;
    pen.width = 0.5;
    pen.color = GridColor;
    return pen;
}

// The baseline of a line of text in a cell: at the top with its ascent and
// at the bottom with its descent clear of the edge, or with its middle in
// the cell's middle.
double baselineIn(const QRectF &cell, const QFontMetricsF &metrics, Qt::Alignment vertical)
{
    if (vertical == Qt::AlignTop)
        return cell.top() + 0.75 + metrics.ascent();
    if (vertical == Qt::AlignVCenter)
        return cell.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    return cell.bottom() - metrics.descent() - 0.75;
}

// The letters of a text set from x that show between left and right, whole
// or in part, and where the first of them starts. A cut text is drawn
// without the letters that would not show, so that the PDF's text (what a
// reader finds and copies) is the text the page shows.
QString visiblePart(
    const QString &text, const QFontMetricsF &metrics, double squeeze, double left, double right, double &x)
{
    qsizetype first = -1;
    qsizetype end = 0;
    double at = x;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const double advance
            = (n == 1 ? metrics.horizontalAdvance(text.at(i)) : metrics.horizontalAdvance(text.mid(i, n))) * squeeze;
        if (at < right && at + advance > left) {
            if (first < 0) {
                first = i;
                x = at;
            }
            end = i + n;
        }
        at += advance;
        i += n;
    }
    return first < 0 ? QString() : text.mid(first, end - first);
}

} // namespace

// One rectangle of a page: a band of rows by a band of columns, placed at
// origin (sheet points, before the page's scale).
struct PageRenderer::Block
{
    PageLayout::Band rows;
    PageLayout::Band columns;
    QPointF origin;
};

PageRenderer::PageRenderer(const Workbook &workbook, int sheetIndex)
    : m_workbook(workbook)
    , m_sheet(workbook.sheet(sheetIndex))
    , m_layout(workbook, sheetIndex)
    , m_formatter(std::make_unique<NumberFormatter>(workbook.locale()))
    , m_printed(QDateTime::currentDateTime())
    , m_fileName(QFileInfo(workbook.sourcePath()).fileName())
    , m_firstNumber(m_layout.setup().firstPageNumber)
    , m_total(m_layout.pageCount())
{
    // The template drawing's own pictures lie under the ones the program inserted.
    m_pictures = templatePictures(workbook, sheetIndex);
    m_pictures.insert(m_pictures.end(), m_sheet.pictures().begin(), m_sheet.pictures().end());
    for (const Hyperlink &link : m_sheet.hyperlinks())
        m_linkCells.emplace_back(cellKey(link.anchor.row, link.anchor.column), link.address);
    std::stable_sort(
        m_linkCells.begin(), m_linkCells.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    const ResolvedStyle normal = workbook.resolve(0);
    m_defaultFamily = normal.fontName;
    m_defaultSize = normal.fontSize;
}

PageRenderer::~PageRenderer() = default;

const QString *PageRenderer::linkAt(int row, int column) const
{
    const qint64 key = cellKey(row, column);
    const auto it = std::lower_bound(
        m_linkCells.begin(), m_linkCells.end(), key, [](const auto &link, qint64 k) { return link.first < k; });
    return it != m_linkCells.end() && it->first == key ? &it->second : nullptr;
}

void PageRenderer::setFilePath(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo file(path);
    m_fileName = file.fileName();
    m_folder = QDir::toNativeSeparators(file.absolutePath());
    if (!m_folder.endsWith(QDir::separator()))
        m_folder += QDir::separator();
}

void PageRenderer::setPageNumbering(int firstNumber, int total)
{
    m_firstNumber = firstNumber;
    m_total = total;
}

QFont PageRenderer::scaled(QFont font, const QPainter &painter) const
{
    // The painter counts in points; a font's point size counts in the
    // device's dots, so it is set to come out at its size in points.
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
    font.setPointSizeF(font.pointSizeF() * 72.0 / std::max(1, dpi));
    return font;
}

QString PageRenderer::shownNumber(double value, quint32 styleId) const
{
    // Figures of a list repeat, most are met again soon; this many kept
    // cover them without growing with the list.
    constexpr qsizetype MaxShownNumbers = 65536;
    const ShownKey key{std::bit_cast<quint64>(value), styleId};
    const auto known = m_shownNumbers.constFind(key);
    if (known != m_shownNumbers.constEnd())
        return *known;
    if (m_shownNumbers.size() >= MaxShownNumbers)
        m_shownNumbers.clear();
    const QString shown = m_formatter->format(value, look(styleId).numberFormat);
    m_shownNumbers.insert(key, shown);
    return shown;
}

PageRenderer::Look &PageRenderer::look(quint32 styleId) const
{
    if (styleId >= m_looks.size())
        m_looks.resize(styleId + 1);
    std::unique_ptr<Look> &slot = m_looks[styleId];
    if (!slot) {
        const ResolvedStyle r = m_workbook.resolve(styleId);
        auto l = std::make_unique<Look>();
        l->numberFormat = r.numberFormat;
        l->font = QFont(r.fontName);
        l->font.setPointSizeF(r.fontSize);
        l->font.setBold(r.bold);
        l->font.setItalic(r.italic);
        l->font.setHintingPreference(QFont::PreferNoHinting);
        // Plain glyphs, no ligatures: a PDF reader then finds every letter.
        l->font.setStyleStrategy(QFont::PreferNoShaping);
        l->horizontalAlignment = r.horizontalAlignment;
        l->verticalAlignment = verticalAlignment(r.verticalAlignment);
        l->wrap = r.wrapText;
        if (!r.fontColor.isEmpty())
            l->color = QColor(r.fontColor);
        if (!r.fillColor.isEmpty())
            l->fill = QColor(r.fillColor);
        const CellEdge edges[4] = {EdgeLeft, EdgeTop, EdgeRight, EdgeBottom};
        for (size_t e = 0; e < 4; ++e)
            l->edges[e] = BorderPen::of(r.borders[size_t(edges[e])]);
        slot = std::move(l);
    }
    return *slot;
}

const QImage &PageRenderer::picture(size_t index) const
{
    if (!m_imagesRead) {
        m_imagesRead = true;
        for (const Picture &p : m_pictures)
            m_images.push_back(QImage::fromData(p.data));
    }
    return m_images[index];
}

HeaderFooterText PageRenderer::fields(const QString &code, int index) const
{
    HeaderFooterText::Fields f;
    f.page = m_firstNumber + index;
    f.pages = m_total;
    f.printed = m_printed;
    f.sheetName = m_sheet.name();
    f.fileName = m_fileName;
    f.folder = m_folder;
    return HeaderFooterText::parse(code, f, m_defaultFamily, m_defaultSize);
}

HeaderFooterText PageRenderer::header(int index) const
{
    return fields(m_layout.setup().header, index);
}

HeaderFooterText PageRenderer::footer(int index) const
{
    return fields(m_layout.setup().footer, index);
}

void PageRenderer::drawPage(QPainter &painter, int index) const
{
    if (index < 0 || index >= pageCount())
        return;
    const PageLayout::Page &page = m_layout.pages()[size_t(index)];
    const QRectF printable = m_layout.printableRect();
    const double scale = m_layout.scale();
    const PageLayout::Band titleRows = m_layout.titleRows(page);
    const PageLayout::Band titleColumns = m_layout.titleColumns(page);

    std::vector<PageLayout::Band> rowBands;
    std::vector<PageLayout::Band> columnBands;
    if (titleRows.first > 0)
        rowBands.push_back(titleRows);
    rowBands.push_back(page.rows);
    if (titleColumns.first > 0)
        columnBands.push_back(titleColumns);
    columnBands.push_back(page.columns);
    double width = 0;
    for (const auto &b : columnBands)
        width += m_layout.columnsWidth(b.first, b.last);
    double height = 0;
    for (const auto &b : rowBands)
        height += m_layout.rowsHeight(b.first, b.last);

    const QPointF origin(printable.left()
            + (m_layout.setup().centerHorizontally ? std::max(0.0, (printable.width() - width * scale) / 2) : 0),
        printable.top()
            + (m_layout.setup().centerVertically ? std::max(0.0, (printable.height() - height * scale) / 2) : 0));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(origin);
    painter.scale(scale, scale);
    double y = 0;
    for (const auto &rows : rowBands) {
        double x = 0;
        for (const auto &columns : columnBands) {
            drawBlock(painter, Block{rows, columns, QPointF(x, y)});
            x += m_layout.columnsWidth(columns.first, columns.last);
        }
        y += m_layout.rowsHeight(rows.first, rows.last);
    }
    painter.restore();

    drawHeaderFooter(painter, header(index), true);
    drawHeaderFooter(painter, footer(index), false);
}

void PageRenderer::drawHeaderFooter(QPainter &painter, const HeaderFooterText &text, bool isHeader) const
{
    if (text.isEmpty())
        return;
    painter.save();
    for (int p = HeaderFooterText::Left; p <= HeaderFooterText::Right; ++p) {
        const HeaderFooterText::Part part = HeaderFooterText::Part(p);
        if (!text.part(part).empty())
            drawHeaderFooterPart(painter, text.part(part), part, isHeader);
    }
    painter.restore();
}

// One part of a header or footer: its runs side by side on one baseline, at
// the left or right margin or centred on the paper, the header's tops at
// its distance from the paper's top, the footer's bottoms likewise.
void PageRenderer::drawHeaderFooterPart(
    QPainter &painter, const HeaderFooterText::Line &line, HeaderFooterText::Part part, bool isHeader) const
{
    std::vector<QFont> fonts;
    double lineWidth = 0;
    double ascent = 0;
    double descent = 0;
    for (const auto &run : line) {
        fonts.push_back(runFont(run, painter));
        const QFontMetricsF m(fonts.back(), painter.device());
        lineWidth += m.horizontalAdvance(run.text);
        ascent = std::max(ascent, m.ascent());
        descent = std::max(descent, m.descent());
    }
    const PrintSetup &setup = m_layout.setup();
    const QSizeF paper = m_layout.paperSize();
    double x = part == HeaderFooterText::Left ? setup.margins.left()
        : part == HeaderFooterText::Right     ? paper.width() - setup.margins.right() - lineWidth
                                              : (paper.width() - lineWidth) / 2;
    const double baseline = isHeader ? setup.headerMargin + ascent : paper.height() - setup.footerMargin - descent;
    for (size_t i = 0; i < line.size(); ++i) {
        painter.setPen(line[i].color.isValid() ? line[i].color : QColor(Qt::black));
        painter.setFont(fonts[i]);
        painter.drawText(QPointF(x, baseline), line[i].text);
        x += QFontMetricsF(fonts[i], painter.device()).horizontalAdvance(line[i].text);
    }
}

// The font of a header or footer run as drawn: it shrinks and grows with
// the page's scale.
QFont PageRenderer::runFont(const HeaderFooterText::Run &run, const QPainter &painter) const
{
    QFont f(run.family);
    f.setPointSizeF(run.size * m_layout.scale());
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setBold(run.bold);
    f.setItalic(run.italic);
    f.setUnderline(run.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return scaled(f, painter);
}

// Draws one block of a page. Each row of the block is read once (its cells'
// styles and shown texts) and drawn in layers: fills and grid lines, then
// texts over them; border lines are gathered by pen on the way and drawn
// together after the last row, then the pictures over everything.
class PageRenderer::BlockPainter
{
public:
    BlockPainter(const PageRenderer &renderer, QPainter &painter, const Block &block);
    void draw();

private:
    // One row of the block where it lies on the page.
    struct Row
    {
        int number = 0;
        double top = 0;
        double height = 0;
    };

    void findMerges();
    const RangeRef *mergeAt(int row, int column) const;
    QRectF mergeRect(const RangeRef &merge) const;
    QRectF cellRect(int i, const Row &row) const;
    void addLine(const BorderPen &pen, const QLineF &segment);

    void readRow(const Row &row);
    QString shownText(const Cell &cell, CellType type) const;
    void drawFills(const Row &row);
    void addGridLines(int i, const Row &row, const RangeRef *merge);
    void drawTexts(const Row &row);
    // A cell's text as it is set: what it shows, laid out, its distance
    // from the cell's edge and how much it is narrowed.
    struct Placed
    {
        QString shown;
        const TextShapes::Shape *shape = nullptr;
        double padding = TextPadding;
        double squeeze = 1.0;
    };

    void drawText(int i, const Row &row, const RangeRef *merge);
    void fitNumber(Look &look, double cellWidth, Placed &text);
    void drawLink(const QString &text, const Look &look, const QString &address);
    void drawWrapped(const QString &text, const QRectF &cell, Qt::Alignment alignment);
    void drawWrappedLink(
        const QString &text, const Look &l, const QString &address, const QRectF &cell, Qt::Alignment alignment);
    void useFont(Look &look);
    void usePen(const Look &look, bool link);
    QRectF runOn(int i, const Row &row, Qt::Alignment horizontal, double overflow);
    void addBorders(const Row &row);
    void drawCutMergeTexts();
    void drawLines();
    void drawPictures();

    const PageRenderer &m_renderer;
    const PageLayout &m_layout;
    const Worksheet &m_sheet;
    QPainter &m_painter;
    const Block &m_block;
    const RangeRef m_range;
    const int m_columnCount;
    const int m_dpi;
    std::vector<double> m_xs; // the column edges inside the block
    std::vector<RangeRef> m_merges;
    QHash<qint64, int> m_mergeOf; // cell -> index into m_merges
    std::map<std::tuple<int, int, QRgb>, QVector<QLineF>> m_lines; // by width, style and colour
    // The row being drawn: each column's style and shown text.
    std::vector<quint32> m_ids;
    std::vector<CellText> m_texts;
    GlyphBatch m_glyphs; // the block's texts drawn after its last row
};

void PageRenderer::drawBlock(QPainter &painter, const Block &block) const
{
    if (block.columns.last < block.columns.first || block.rows.last < block.rows.first)
        return;
    BlockPainter(*this, painter, block).draw();
}

PageRenderer::BlockPainter::BlockPainter(const PageRenderer &renderer, QPainter &painter, const Block &block)
    : m_renderer(renderer)
    , m_layout(renderer.m_layout)
    , m_sheet(renderer.m_sheet)
    , m_painter(painter)
    , m_block(block)
    , m_range{block.rows.first, block.columns.first, block.rows.last, block.columns.last}
    , m_columnCount(block.columns.last - block.columns.first + 1)
    , m_dpi(painter.device() ? painter.device()->logicalDpiY() : 72)
    , m_xs(size_t(m_columnCount) + 1)
    , m_ids(size_t(m_columnCount))
    , m_texts(size_t(m_columnCount))
{
    m_xs[0] = block.origin.x();
    for (int i = 0; i < m_columnCount; ++i)
        m_xs[size_t(i) + 1] = m_xs[size_t(i)] + m_layout.columnWidth(block.columns.first + i);
    findMerges();
}

void PageRenderer::BlockPainter::draw()
{
    const QRectF area(m_block.origin,
        QSizeF(m_xs.back() - m_block.origin.x(), m_layout.rowsHeight(m_block.rows.first, m_block.rows.last)));
    m_painter.save();
    m_painter.setClipRect(area, Qt::IntersectClip);
    double top = m_block.origin.y();
    for (int r = m_block.rows.first; r <= m_block.rows.last; ++r) {
        const Row row{r, top, m_layout.rowHeight(r)};
        if (row.height <= 0)
            continue;
        readRow(row);
        drawFills(row);
        drawTexts(row);
        addBorders(row);
        top += row.height;
    }
    m_glyphs.draw(m_painter);
    drawCutMergeTexts();
    drawLines();
    drawPictures();
    m_painter.restore();
}

// Merged areas reaching into the block: each cell of one knows it.
void PageRenderer::BlockPainter::findMerges()
{
    const PageLayout::Band &rows = m_block.rows;
    const PageLayout::Band &columns = m_block.columns;
    for (const RangeRef &m : m_sheet.merges()) {
        if (m.isSingleCell() || !m.intersects(m_range))
            continue;
        for (int r = std::max(m.firstRow, rows.first); r <= std::min(m.lastRow, rows.last); ++r) {
            for (int c = std::max(m.firstColumn, columns.first); c <= std::min(m.lastColumn, columns.last); ++c)
                m_mergeOf.insert(cellKey(r, c), int(m_merges.size()));
        }
        m_merges.push_back(m);
    }
}

const RangeRef *PageRenderer::BlockPainter::mergeAt(int row, int column) const
{
    if (m_mergeOf.isEmpty())
        return nullptr;
    const auto it = m_mergeOf.constFind(cellKey(row, column));
    return it == m_mergeOf.constEnd() ? nullptr : &m_merges[size_t(*it)];
}

// The whole merged area on the page, also where it reaches out of the block.
QRectF PageRenderer::BlockPainter::mergeRect(const RangeRef &m) const
{
    const PageLayout::Band &rows = m_block.rows;
    const PageLayout::Band &columns = m_block.columns;
    const double left = m_block.origin.x() + m_layout.columnsWidth(columns.first, m.firstColumn - 1)
        - m_layout.columnsWidth(m.firstColumn, columns.first - 1);
    const double top = m_block.origin.y() + m_layout.rowsHeight(rows.first, m.firstRow - 1)
        - m_layout.rowsHeight(m.firstRow, rows.first - 1);
    return QRectF(
        left, top, m_layout.columnsWidth(m.firstColumn, m.lastColumn), m_layout.rowsHeight(m.firstRow, m.lastRow));
}

// The cell of the block's column i in the row.
QRectF PageRenderer::BlockPainter::cellRect(int i, const Row &row) const
{
    return QRectF(m_xs[size_t(i)], row.top, m_xs[size_t(i) + 1] - m_xs[size_t(i)], row.height);
}

void PageRenderer::BlockPainter::addLine(const BorderPen &pen, const QLineF &segment)
{
    if (pen.width <= 0)
        return;
    const auto key = std::make_tuple(int(pen.width * 100), int(pen.style), pen.color.rgb());
    if (pen.isDouble) {
        const QPointF normal = segment.p1().x() == segment.p2().x() ? QPointF(0.75, 0) : QPointF(0, 0.75);
        m_lines[key].append(segment.translated(normal));
        m_lines[key].append(segment.translated(-normal));
    } else {
        m_lines[key].append(segment);
    }
}

// The style and the shown text of each of the row's cells in the block; a
// column without a cell takes the row's or the column's style.
void PageRenderer::BlockPainter::readRow(const Row &row)
{
    const RowData *data = m_sheet.row(row.number);
    for (int i = 0; i < m_columnCount; ++i) {
        m_ids[size_t(i)] = SheetCells::inheritedStyle(m_sheet, data, m_block.columns.first + i);
        m_texts[size_t(i)] = CellText();
    }
    if (!data)
        return;
    auto it = std::lower_bound(data->cells.begin(), data->cells.end(), m_block.columns.first,
        [](const Cell &cell, int column) { return cell.column < column; });
    for (; it != data->cells.end() && it->column <= m_block.columns.last; ++it) {
        const size_t i = size_t(it->column - m_block.columns.first);
        m_ids[i] = it->styleId;
        CellText &t = m_texts[i];
        t.type = it->type == CellType::Formula ? it->cachedType : it->type;
        t.occupied = it->type != CellType::Empty;
        t.text = shownText(*it, t.type);
    }
}

// A cell's value as its number format shows it; type is the value's (a
// formula's result's).
QString PageRenderer::BlockPainter::shownText(const Cell &cell, CellType type) const
{
    const QString &format = m_renderer.look(cell.styleId).numberFormat;
    switch (type) {
    case CellType::Number:
        return m_renderer.shownNumber(cell.number, cell.styleId);
    case CellType::Boolean:
        return CellValueConversion::booleanText(cell.number != 0.0, m_renderer.m_workbook.locale());
    case CellType::Text:
        return m_renderer.m_formatter->formatText(cell.text, format);
    case CellType::Error:
        return cell.text;
    default:
        return QString();
    }
}

// Fills and grid lines go first, the texts over them. A merged area is
// filled in the style of its top left cell.
void PageRenderer::BlockPainter::drawFills(const Row &row)
{
    for (int i = 0; i < m_columnCount; ++i) {
        const RangeRef *m = mergeAt(row.number, m_block.columns.first + i);
        const Look &l
            = m_renderer.look(m ? SheetCells::effectiveStyle(m_sheet, m->firstRow, m->firstColumn) : m_ids[size_t(i)]);
        if (l.fill.isValid())
            m_painter.fillRect(cellRect(i, row).adjusted(0, 0, 0.05, 0.05), l.fill);
        if (m_layout.setup().gridLines)
            addGridLines(i, row, m);
    }
}

// Each cell's right and bottom grid line, and the block's outer left and
// top ones; none inside a merged area.
void PageRenderer::BlockPainter::addGridLines(int i, const Row &row, const RangeRef *merge)
{
    const QRectF cell = cellRect(i, row);
    const BorderPen grid = gridPen();
    if (!merge || m_block.columns.first + i == merge->lastColumn)
        addLine(grid, QLineF(cell.topRight(), cell.bottomRight()));
    if (!merge || row.number == merge->lastRow)
        addLine(grid, QLineF(cell.bottomLeft(), cell.bottomRight()));
    if (i == 0)
        addLine(grid, QLineF(cell.topLeft(), cell.bottomLeft()));
    if (row.number == m_block.rows.first)
        addLine(grid, QLineF(cell.topLeft(), cell.topRight()));
}

// The row's texts; a merged area shows the text of its top left cell.
void PageRenderer::BlockPainter::drawTexts(const Row &row)
{
    for (int i = 0; i < m_columnCount; ++i) {
        if (m_texts[size_t(i)].text.isEmpty())
            continue;
        const int column = m_block.columns.first + i;
        const RangeRef *m = mergeAt(row.number, column);
        if (m && (m->firstRow != row.number || m->firstColumn != column))
            continue;
        drawText(i, row, m);
    }
}

// A text wider than its cell runs on over empty neighbours the way its
// alignment points; a number never does (fitNumber). A wrapped text stays
// in its cell.
void PageRenderer::BlockPainter::drawText(int i, const Row &row, const RangeRef *merge)
{
    const CellText &t = m_texts[size_t(i)];
    Look &l = m_renderer.look(m_ids[size_t(i)]);
    useFont(l);
    const QString *link = m_renderer.linkAt(row.number, m_block.columns.first + i);
    const Qt::Alignment horizontal = horizontalAlignment(l.horizontalAlignment, t.type);
    const QRectF cell = merge ? mergeRect(*merge) : cellRect(i, row);
    if (l.wrap) {
        m_painter.save();
        usePen(l, link != nullptr);
        if (link)
            drawWrappedLink(t.text, l, *link, cell, horizontal | l.verticalAlignment);
        else
            drawWrapped(t.text, cell, horizontal | l.verticalAlignment);
        m_painter.restore();
        return;
    }
    Placed text{t.text, &l.shapes->shape(t.text)};
    const double room = cell.width() - 2 * TextPadding;
    QRectF clip = cell;
    if (text.shape->width > room && !merge && t.type == CellType::Number)
        fitNumber(l, cell.width(), text);
    else if (text.shape->width > room && !merge && t.type == CellType::Text)
        clip = runOn(i, row, horizontal, text.shape->width - room);
    const double width = text.shape->width * text.squeeze;
    const double x = horizontal == Qt::AlignRight ? cell.right() - text.padding - width
        : horizontal == Qt::AlignHCenter          ? cell.center().x() - width / 2
                                                  : cell.left() + text.padding;
    QPointF origin(x, baselineIn(cell, *l.metrics, l.verticalAlignment));
    const bool cut = x < clip.left() || x + width > clip.right();
    if (!link && !cut && l.metrics->height() <= row.height) {
        m_glyphs.add(*text.shape, origin, l.color, text.squeeze);
        return;
    }
    // A link is underlined and clickable, a cut text clipped: both are drawn
    // on their own.
    if (cut && !link)
        text.shown = visiblePart(text.shown, *l.metrics, text.squeeze, clip.left(), clip.right(), origin.rx());
    m_painter.save();
    m_painter.setClipRect(clip, Qt::IntersectClip);
    m_painter.translate(origin);
    m_painter.scale(text.squeeze, 1.0);
    if (link) {
        drawLink(text.shown, l, *link);
    } else {
        usePen(l, false);
        m_painter.drawText(QPointF(0, 0), text.shown);
    }
    m_painter.restore();
}

// A number too wide for the room between its cell's paddings. Column widths
// count digits of 7 pixels, the font on paper draws them a little wider: a
// number that fits its column by the column's own measure (the one fitting
// a column to its texts uses, so a fitted column always holds its numbers)
// is set closer to the cell's edges and, where that is not enough, narrowed
// to the room. Any other shows "###", as it would on screen.
void PageRenderer::BlockPainter::fitNumber(Look &l, double cellWidth, Placed &text)
{
    if (ColumnAutoFit::fitsColumn(
            text.shown, l.font.pointSizeF(), l.font.bold(), l.font.family(), cellWidth / PointsPerPixel)) {
        text.padding = TightPadding;
        text.squeeze = std::min(1.0, (cellWidth - 2 * TightPadding) / text.shape->width);
        return;
    }
    text.shown = QStringLiteral("###");
    text.shape = &l.shapes->shape(text.shown);
}

// A link's text with its baseline at the painter's origin, underlined in the
// link colour. Drawn with its address as the text's anchor, it becomes a
// link the reader can click in a PDF; a link inside the workbook has no
// address and only looks like one.
void PageRenderer::BlockPainter::drawLink(const QString &text, const Look &l, const QString &address)
{
    QTextLayout layout(text, l.drawn, m_painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setFormats({linkFormat(text, address)});
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    layout.draw(&m_painter, QPointF(0, -line.ascent()));
}

// A wrapped link breaks into lines as any wrapped text does (drawWrapped),
// but is laid out line by line so that each line keeps the link's anchor.
void PageRenderer::BlockPainter::drawWrappedLink(
    const QString &text, const Look &l, const QString &address, const QRectF &cell, Qt::Alignment alignment)
{
    const QRectF room = cell.adjusted(TextPadding, 0.75, -TextPadding, -0.75);
    QTextLayout layout(text, l.drawn, m_painter.device());
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.setFormats({linkFormat(text, address)});
    layout.beginLayout();
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    const double top = (alignment & Qt::AlignBottom) ? room.bottom() - height
        : (alignment & Qt::AlignVCenter)             ? room.center().y() - height / 2
                                                     : room.top();
    m_painter.save();
    m_painter.setClipRect(cell, Qt::IntersectClip);
    layout.draw(&m_painter, QPointF(room.left(), top));
    m_painter.restore();
}

// A wrapped text breaks into lines inside its cell, placed as a block by the
// alignment, and is cut at the cell's edges.
void PageRenderer::BlockPainter::drawWrapped(const QString &text, const QRectF &cell, Qt::Alignment alignment)
{
    m_painter.save();
    m_painter.setClipRect(cell, Qt::IntersectClip);
    m_painter.drawText(cell.adjusted(TextPadding, 0.75, -TextPadding, -0.75), int(alignment | Qt::TextWordWrap), text);
    m_painter.restore();
}

// Makes the look's font as drawn on this device, its metrics and its text
// shapes, once per look and resolution.
void PageRenderer::BlockPainter::useFont(Look &l)
{
    if (l.dpi == m_dpi)
        return;
    l.dpi = m_dpi;
    l.drawn = m_renderer.scaled(l.font, m_painter);
    l.metrics.emplace(l.drawn, m_painter.device());
    const QPaintDevice *device = m_painter.device();
    l.shapes = std::make_unique<TextShapes>(device ? QFont(l.drawn, device) : l.drawn);
}

// Gives the painter the look's drawn font and colour for a text drawn on its
// own; underlined and in the link colour for a link.
void PageRenderer::BlockPainter::usePen(const Look &l, bool link)
{
    QFont font = l.drawn;
    font.setUnderline(link);
    m_painter.setFont(font);
    m_painter.setPen(link ? LinkColor : l.color);
}

// The room of a text overflow points too wide for its cell: the cell and the
// free neighbours it runs on over, to the right, to the left or (centred)
// half each way. The neighbours keep their own (empty) text, but no other
// text runs over them.
QRectF PageRenderer::BlockPainter::runOn(int i, const Row &row, Qt::Alignment horizontal, double overflow)
{
    const auto isFree = [&](int k) {
        return k >= 0 && k < m_columnCount && !m_texts[size_t(k)].occupied
            && !mergeAt(row.number, m_block.columns.first + k);
    };
    const bool toRight = horizontal != Qt::AlignRight;
    const bool toLeft = horizontal != Qt::AlignLeft;
    const double excess = toRight && toLeft ? overflow / 2 : overflow;
    int first = i;
    int last = i;
    for (double gained = 0; toRight && gained < excess && isFree(last + 1); ++last)
        gained += m_xs[size_t(last) + 2] - m_xs[size_t(last) + 1];
    for (double gained = 0; toLeft && gained < excess && isFree(first - 1); --first)
        gained += m_xs[size_t(first)] - m_xs[size_t(first) - 1];
    for (int k = first; k <= last; ++k)
        m_texts[size_t(k)].occupied = true;
    return QRectF(m_xs[size_t(first)], row.top, m_xs[size_t(last) + 1] - m_xs[size_t(first)], row.height);
}

// Border lines: each cell gives its own edges; a merged area only its outer
// ones.
void PageRenderer::BlockPainter::addBorders(const Row &row)
{
    for (int i = 0; i < m_columnCount; ++i) {
        const int column = m_block.columns.first + i;
        const Look &l = m_renderer.look(m_ids[size_t(i)]);
        const RangeRef *m = mergeAt(row.number, column);
        const QRectF cell = cellRect(i, row);
        if (!m || column == m->firstColumn)
            addLine(l.edges[0], QLineF(cell.topLeft(), cell.bottomLeft()));
        if (!m || row.number == m->firstRow)
            addLine(l.edges[1], QLineF(cell.topLeft(), cell.topRight()));
        if (!m || column == m->lastColumn)
            addLine(l.edges[2], QLineF(cell.topRight(), cell.bottomRight()));
        if (!m || row.number == m->lastRow)
            addLine(l.edges[3], QLineF(cell.bottomLeft(), cell.bottomRight()));
    }
}

// Merged areas that start above or left of the block show their text here
// too, cut at the block's edge.
void PageRenderer::BlockPainter::drawCutMergeTexts()
{
    for (const RangeRef &m : m_merges) {
        if (m.firstRow >= m_block.rows.first && m.firstColumn >= m_block.columns.first)
            continue;
        const Cell *cell = m_sheet.cell(m.firstRow, m.firstColumn);
        if (!cell || cell->type == CellType::Empty)
            continue;
        const Look &l = m_renderer.look(cell->styleId);
        const CellType type = cell->type == CellType::Formula ? cell->cachedType : cell->type;
        const NumberFormatter &formatter = *m_renderer.m_formatter;
        const QString text = type == CellType::Number ? formatter.format(cell->number, l.numberFormat)
                                                      : formatter.formatText(cell->text, l.numberFormat);
        m_painter.setFont(m_renderer.scaled(l.font, m_painter));
        m_painter.setPen(l.color);
        const HAlign align = l.horizontalAlignment;
        const Qt::Alignment horizontal = align == HAlign::Center                               ? Qt::AlignHCenter
            : align == HAlign::Right || (align == HAlign::General && type == CellType::Number) ? Qt::AlignRight
                                                                                               : Qt::AlignLeft;
        m_painter.drawText(mergeRect(m).adjusted(TextPadding, 0.75, -TextPadding, -0.75),
            int(horizontal | l.verticalAlignment | (l.wrap ? Qt::TextWordWrap : 0)), text);
    }
}

void PageRenderer::BlockPainter::drawLines()
{
    for (auto &[key, segments] : m_lines) {
        QPen pen(
            QColor::fromRgb(std::get<2>(key)), std::get<0>(key) / 100.0, Qt::PenStyle(std::get<1>(key)), Qt::SquareCap);
        m_painter.setPen(pen);
        m_painter.drawLines(segments);
    }
}

// Pictures with their top left corner in the block, at their own size.
void PageRenderer::BlockPainter::drawPictures()
{
    const std::vector<Picture> &pictures = m_renderer.m_pictures;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture &p = pictures[i];
        if (!m_range.contains(p.anchor.row, p.anchor.column) || m_renderer.picture(i).isNull())
            continue;
        int width = 0;
        int height = 0;
        PictureDrawing::pixelSize(p, width, height);
        const QPointF at(m_xs[size_t(p.anchor.column - m_block.columns.first)],
            m_block.origin.y() + m_layout.rowsHeight(m_block.rows.first, p.anchor.row - 1));
        m_painter.drawImage(QRectF(at, QSizeF(width * PointsPerPixel, height * PointsPerPixel)), m_renderer.picture(i));
    }
}

} // namespace tannbuch
