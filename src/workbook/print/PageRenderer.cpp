#include "PageRenderer.h"

#include "text/NumberFormatter.h"
#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/SheetCells.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/cells/XlConstants.h"
#include "workbook/package/PictureDrawing.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <map>

namespace {

constexpr double PointsPerPixel = 72.0 / 96.0;
const QColor LinkColor(0x05, 0x63, 0xC1);
const QColor GridColor(0xC0, 0xC0, 0xC0);

// The workbook's default colour palette, indexed 1..56 as border colours are.
constexpr QRgb Palette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, //
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, //
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, //
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, //
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, //
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, //
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333, //
};

qint64 cellKey(int row, int column)
{
    return (qint64(row) << 32) | quint32(column);
}

// What a cell holds, as far as drawing it is concerned.
struct CellText
{
    QString text;
    CellType type = CellType::Empty; // the value's type; a formula its result's
    bool occupied = false; // holds a value (even an empty text): nothing runs over it
    double width = 0;
};

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
    const ResolvedStyle normal = workbook.resolve(0);
    m_defaultFamily = normal.fontName;
    m_defaultSize = normal.fontSize;
}

PageRenderer::~PageRenderer() = default;

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
        l->horizontalAlignment = int(r.horizontalAlignment);
        l->wrap = r.wrapText;
        if (!r.fillColor.isEmpty())
            l->fill = QColor(r.fillColor);
        const CellEdge edges[4] = {EdgeLeft, EdgeTop, EdgeRight, EdgeBottom};
        for (int e = 0; e < 4; ++e) {
            const BorderLine &b = r.borders[size_t(edges[e])];
            Line &line = l->edges[size_t(e)];
            if (b.isNone())
                continue;
            switch (b.weight) {
            case Xl::Hairline:
                line.width = 0.25;
                break;
            case Xl::Medium:
                line.width = 1.5;
                break;
            case Xl::Thick:
                line.width = 2.25;
                break;
            default:
                line.width = 0.75;
                break;
            }
            switch (b.lineStyle) {
            case Xl::Dash:
                line.style = Qt::DashLine;
                break;
            case Xl::Dot:
                line.style = Qt::DotLine;
                break;
            case Xl::DashDot:
            case Xl::SlantDashDot:
                line.style = Qt::DashDotLine;
                break;
            case Xl::DashDotDot:
                line.style = Qt::DashDotDotLine;
                break;
            case Xl::Double:
                line.isDouble = true;
                line.width = 0.5;
                break;
            default:
                break;
            }
            if (b.colorIndex >= 1 && b.colorIndex <= 56)
                line.color = QColor::fromRgb(Palette[b.colorIndex - 1]);
        }
        slot = std::move(l);
    }
    return *slot;
}

HeaderFooterText PageRenderer::fields(const QString &code, int index) const
{
    HeaderFooterText::Fields f;
    f.page = m_firstNumber + index;
    f.pages = m_total;
    f.printed = m_printed;
    f.sheetName = m_sheet.name();
    f.fileName = m_fileName;
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
    const PrintSetup &setup = m_layout.setup();
    const QSizeF paper = m_layout.paperSize();
    const double left = setup.margins.left();
    const double right = paper.width() - setup.margins.right();
    painter.save();
    for (int p = HeaderFooterText::Left; p <= HeaderFooterText::Right; ++p) {
        const HeaderFooterText::Line &line = text.part(HeaderFooterText::Part(p));
        if (line.empty())
            continue;
        std::vector<QFont> fonts;
        double lineWidth = 0;
        double ascent = 0;
        double descent = 0;
        for (const auto &run : line) {
            // The header and footer shrink and grow with the page's scale.
            QFont f(run.family);
            f.setPointSizeF(run.size * m_layout.scale());
            f.setStyleStrategy(QFont::PreferNoShaping);
            f.setBold(run.bold);
            f.setItalic(run.italic);
            f.setUnderline(run.underline);
            f.setHintingPreference(QFont::PreferNoHinting);
            f = scaled(f, painter);
            const QFontMetricsF m(f, painter.device());
            lineWidth += m.horizontalAdvance(run.text);
            ascent = std::max(ascent, m.ascent());
            descent = std::max(descent, m.descent());
            fonts.push_back(f);
        }
        double x = p == HeaderFooterText::Left ? left
            : p == HeaderFooterText::Right     ? right - lineWidth
                                               : (paper.width() - lineWidth) / 2;
        const double baseline = isHeader ? setup.headerMargin + ascent : paper.height() - setup.footerMargin - descent;
        painter.setPen(Qt::black);
        for (size_t i = 0; i < line.size(); ++i) {
            painter.setFont(fonts[i]);
            painter.drawText(QPointF(x, baseline), line[i].text);
            x += QFontMetricsF(fonts[i], painter.device()).horizontalAdvance(line[i].text);
        }
    }
    painter.restore();
}

void PageRenderer::drawBlock(QPainter &painter, const Block &block) const
{
    const auto &rows = block.rows;
    const auto &columns = block.columns;
    const int columnCount = columns.last - columns.first + 1;
    if (columnCount <= 0 || rows.last < rows.first)
        return;

    // Column edges and row tops inside the block.
    std::vector<double> xs(size_t(columnCount) + 1);
    xs[0] = block.origin.x();
    for (int i = 0; i < columnCount; ++i)
        xs[size_t(i) + 1] = xs[size_t(i)] + m_layout.columnWidth(columns.first + i);
    const QRectF area(block.origin, QSizeF(xs.back() - block.origin.x(), m_layout.rowsHeight(rows.first, rows.last)));

    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);

    // Merged areas reaching into the block: each cell of one knows it.
    const RangeRef blockRange{rows.first, columns.first, rows.last, columns.last};
    std::vector<RangeRef> merges;
    QHash<qint64, int> mergeOf;
    for (const RangeRef &m : m_sheet.merges()) {
        if (m.isSingleCell() || !m.intersects(blockRange))
            continue;
        for (int r = std::max(m.firstRow, rows.first); r <= std::min(m.lastRow, rows.last); ++r) {
            for (int c = std::max(m.firstColumn, columns.first); c <= std::min(m.lastColumn, columns.last); ++c)
                mergeOf.insert(cellKey(r, c), int(merges.size()));
        }
        merges.push_back(m);
    }
    const auto mergeAt = [&](int r, int c) -> const RangeRef * {
        if (mergeOf.isEmpty())
            return nullptr;
        const auto it = mergeOf.constFind(cellKey(r, c));
        return it == mergeOf.constEnd() ? nullptr : &merges[size_t(*it)];
    };
    const auto mergeRect = [&](const RangeRef &m) {
        const double left = block.origin.x() + m_layout.columnsWidth(columns.first, m.firstColumn - 1)
            - m_layout.columnsWidth(m.firstColumn, columns.first - 1);
        const double top = block.origin.y() + m_layout.rowsHeight(rows.first, m.firstRow - 1)
            - m_layout.rowsHeight(m.firstRow, rows.first - 1);
        return QRectF(
            left, top, m_layout.columnsWidth(m.firstColumn, m.lastColumn), m_layout.rowsHeight(m.firstRow, m.lastRow));
    };

    QHash<qint64, int> links;
    for (size_t i = 0; i < m_sheet.hyperlinks().size(); ++i) {
        const CellRef &a = m_sheet.hyperlinks()[i].anchor;
        if (blockRange.contains(a.row, a.column))
            links.insert(cellKey(a.row, a.column), int(i));
    }

    // Lines are gathered by pen and drawn together after the texts.
    std::map<std::tuple<int, int, QRgb>, QVector<QLineF>> lines;
    const auto addLine = [&](const Line &l, const QLineF &segment) {
        if (l.width <= 0)
            return;
        const auto key = std::make_tuple(int(l.width * 100), int(l.style), l.color.rgb());
        if (l.isDouble) {
            const QPointF normal = segment.p1().x() == segment.p2().x() ? QPointF(0.75, 0) : QPointF(0, 0.75);
            lines[key].append(segment.translated(normal));
            lines[key].append(segment.translated(-normal));
        } else {
            lines[key].append(segment);
        }
    };

    std::vector<quint32> ids(static_cast<size_t>(columnCount));
    std::vector<CellText> texts(static_cast<size_t>(columnCount));
    const Look *currentLook = nullptr;
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
    const QLocale &locale = m_workbook.locale();
    const Line gridLine{0.5, Qt::SolidLine, false, GridColor};

    double top = block.origin.y();
    for (int r = rows.first; r <= rows.last; ++r) {
        const double h = m_layout.rowHeight(r);
        if (h <= 0)
            continue;
        const double bottom = top + h;
        const RowData *data = m_sheet.row(r);
        for (int i = 0; i < columnCount; ++i) {
            ids[size_t(i)] = SheetCells::inheritedStyle(m_sheet, data, columns.first + i);
            texts[size_t(i)] = CellText();
        }
        if (data) {
            auto it = std::lower_bound(data->cells.begin(), data->cells.end(), columns.first,
                [](const Cell &cell, int column) { return cell.column < column; });
            for (; it != data->cells.end() && it->column <= columns.last; ++it) {
                const size_t i = size_t(it->column - columns.first);
                ids[i] = it->styleId;
                const Cell &cell = *it;
                const CellType type = cell.type == CellType::Formula ? cell.cachedType : cell.type;
                CellText &t = texts[i];
                t.type = type;
                t.occupied = cell.type != CellType::Empty;
                const QString &format = look(cell.styleId).numberFormat;
                switch (type) {
                case CellType::Number:
                    t.text = m_formatter->format(cell.number, format);
                    break;
                case CellType::Boolean:
                    t.text = CellValueConversion::booleanText(cell.number != 0.0, locale);
                    break;
                case CellType::Text:
                    t.text = m_formatter->formatText(cell.text, format);
                    break;
                case CellType::Error:
                    t.text = cell.text;
                    break;
                default:
                    break;
                }
            }
        }

        // Fills and grid lines first, texts over them.
        for (int i = 0; i < columnCount; ++i) {
            const RangeRef *m = mergeAt(r, columns.first + i);
            const Look &l = look(m ? SheetCells::effectiveStyle(m_sheet, m->firstRow, m->firstColumn) : ids[size_t(i)]);
            const QRectF cell(xs[size_t(i)], top, xs[size_t(i) + 1] - xs[size_t(i)], h);
            if (l.fill.isValid())
                painter.fillRect(cell.adjusted(0, 0, 0.05, 0.05), l.fill);
            if (m_layout.setup().gridLines) {
                if (!m || columns.first + i == m->lastColumn)
                    addLine(gridLine, QLineF(cell.topRight(), cell.bottomRight()));
                if (!m || r == m->lastRow)
                    addLine(gridLine, QLineF(cell.bottomLeft(), cell.bottomRight()));
                if (i == 0)
                    addLine(gridLine, QLineF(cell.topLeft(), cell.bottomLeft()));
                if (r == rows.first)
                    addLine(gridLine, QLineF(cell.topLeft(), cell.topRight()));
            }
        }

        // Texts wider than their cell run on over empty neighbours the way
        // their alignment points; numbers never do, they show "###".
        for (int i = 0; i < columnCount; ++i) {
            CellText &t = texts[size_t(i)];
            if (t.text.isEmpty())
                continue;
            const int column = columns.first + i;
            const RangeRef *m = mergeAt(r, column);
            if (m && (m->firstRow != r || m->firstColumn != column))
                continue; // only the merge's top left cell shows its text
            Look &l = look(ids[size_t(i)]);
            if (l.dpi != dpi) {
                l.dpi = dpi;
                l.drawn = scaled(l.font, painter);
                l.metrics.emplace(l.drawn, painter.device());
            }
            const bool link = links.contains(cellKey(r, column));
            if (currentLook != &l || link) {
                QFont font = l.drawn;
                font.setUnderline(link);
                painter.setFont(font);
                currentLook = link ? nullptr : &l;
            }
            painter.setPen(link ? LinkColor : QColor(Qt::black));

            int align = l.horizontalAlignment;
            if (HAlign(align) == HAlign::General) {
                align = t.type == CellType::Number                             ? int(HAlign::Right)
                    : t.type == CellType::Boolean || t.type == CellType::Error ? int(HAlign::Center)
                                                                               : int(HAlign::Left);
            }
            const Qt::Alignment horizontal = HAlign(align) == HAlign::Right ? Qt::AlignRight
                : HAlign(align) == HAlign::Center                           ? Qt::AlignHCenter
                                                                            : Qt::AlignLeft;
            QRectF cell = m ? mergeRect(*m) : QRectF(xs[size_t(i)], top, xs[size_t(i) + 1] - xs[size_t(i)], h);

            if (l.wrap) {
                painter.save();
                painter.setClipRect(cell, Qt::IntersectClip);
                painter.drawText(cell.adjusted(TextPadding, 0, -TextPadding, -0.75),
                    int(horizontal | Qt::AlignBottom | Qt::TextWordWrap), t.text);
                painter.restore();
                continue;
            }

            const QFontMetricsF &metrics = *l.metrics;
            QString shown = t.text;
            double width = metrics.horizontalAdvance(shown);
            const double room = cell.width() - 2 * TextPadding;
            QRectF clip = cell;
            if (width > room && !m) {
                if (t.type == CellType::Number) {
                    shown = QStringLiteral("###");
                    width = metrics.horizontalAdvance(shown);
                } else if (t.type == CellType::Text) {
                    const auto isFree = [&](int k) {
                        return k >= 0 && k < columnCount && !texts[size_t(k)].occupied
                            && !mergeAt(r, columns.first + k);
                    };
                    const bool toRight = horizontal != Qt::AlignRight;
                    const bool toLeft = horizontal != Qt::AlignLeft;
                    const double excess = toRight && toLeft ? (width - room) / 2 : width - room;
                    int first = i;
                    int last = i;
                    for (double gained = 0; toRight && gained < excess && isFree(last + 1); ++last)
                        gained += xs[size_t(last) + 2] - xs[size_t(last) + 1];
                    for (double gained = 0; toLeft && gained < excess && isFree(first - 1); --first)
                        gained += xs[size_t(first)] - xs[size_t(first) - 1];
                    clip = QRectF(xs[size_t(first)], top, xs[size_t(last) + 1] - xs[size_t(first)], h);
                    // The neighbours run over keep their own (empty) text.
                    for (int k = first; k <= last; ++k)
                        texts[size_t(k)].occupied = true;
                }
            }
            double x = horizontal == Qt::AlignRight ? cell.right() - TextPadding - width
                : horizontal == Qt::AlignHCenter    ? cell.center().x() - width / 2
                                                    : cell.left() + TextPadding;
            const double baseline = cell.bottom() - metrics.descent() - 0.75;
            const bool clipped = x < clip.left() || x + width > clip.right() || metrics.height() > h;
            if (clipped) {
                painter.save();
                painter.setClipRect(clip, Qt::IntersectClip);
            }
            painter.drawText(QPointF(x, baseline), shown);
            if (clipped)
                painter.restore();
        }

        // Border lines: each cell draws its own edges; a merged area only
        // its outer ones.
        for (int i = 0; i < columnCount; ++i) {
            const int column = columns.first + i;
            const Look &l = look(ids[size_t(i)]);
            const RangeRef *m = mergeAt(r, column);
            const QRectF cell(xs[size_t(i)], top, xs[size_t(i) + 1] - xs[size_t(i)], h);
            if (!m || column == m->firstColumn)
                addLine(l.edges[0], QLineF(cell.topLeft(), cell.bottomLeft()));
            if (!m || r == m->firstRow)
                addLine(l.edges[1], QLineF(cell.topLeft(), cell.topRight()));
            if (!m || column == m->lastColumn)
                addLine(l.edges[2], QLineF(cell.topRight(), cell.bottomRight()));
            if (!m || r == m->lastRow)
                addLine(l.edges[3], QLineF(cell.bottomLeft(), cell.bottomRight()));
        }
        top = bottom;
    }

    // Merged areas that start above or left of the block show their text
    // here too, cut at the block's edge.
    for (const RangeRef &m : merges) {
        if (m.firstRow >= rows.first && m.firstColumn >= columns.first)
            continue;
        const Cell *cell = m_sheet.cell(m.firstRow, m.firstColumn);
        if (!cell || cell->type == CellType::Empty)
            continue;
        const quint32 id = cell->styleId;
        const Look &l = look(id);
        const CellType type = cell->type == CellType::Formula ? cell->cachedType : cell->type;
        const QString text = type == CellType::Number ? m_formatter->format(cell->number, l.numberFormat)
                                                      : m_formatter->formatText(cell->text, l.numberFormat);
        painter.setFont(scaled(l.font, painter));
        currentLook = nullptr;
        painter.setPen(Qt::black);
        const Qt::Alignment horizontal = HAlign(l.horizontalAlignment) == HAlign::Center ? Qt::AlignHCenter
            : HAlign(l.horizontalAlignment) == HAlign::Right
                || (HAlign(l.horizontalAlignment) == HAlign::General && type == CellType::Number)
            ? Qt::AlignRight
            : Qt::AlignLeft;
        painter.drawText(mergeRect(m).adjusted(TextPadding, 0, -TextPadding, -0.75),
            int(horizontal | Qt::AlignBottom | (l.wrap ? Qt::TextWordWrap : 0)), text);
    }

    for (auto &[key, segments] : lines) {
        QPen pen(
            QColor::fromRgb(std::get<2>(key)), std::get<0>(key) / 100.0, Qt::PenStyle(std::get<1>(key)), Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLines(segments);
    }

    // Pictures with their top left corner in the block.
    if (!m_imagesRead) {
        m_imagesRead = true;
        for (const Picture &p : m_sheet.pictures())
            m_images.push_back(QImage::fromData(p.data));
    }
    for (size_t i = 0; i < m_sheet.pictures().size(); ++i) {
        const Picture &p = m_sheet.pictures()[i];
        if (!blockRange.contains(p.anchor.row, p.anchor.column) || m_images[i].isNull())
            continue;
        int width = 0;
        int height = 0;
        PictureDrawing::pixelSize(p, width, height);
        const QPointF at(xs[size_t(p.anchor.column - columns.first)],
            block.origin.y() + m_layout.rowsHeight(rows.first, p.anchor.row - 1));
        painter.drawImage(QRectF(at, QSizeF(width * PointsPerPixel, height * PointsPerPixel)), m_images[i]);
    }
    painter.restore();
}
