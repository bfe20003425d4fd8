#include "SheetXmlWriter.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/Relationships.h"
#include "workbook/package/SharedStringTable.h"
#include "workbook/package/StyleTable.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

using XmlDom::child;
using XmlDom::is;

// The worksheet's children in the order the file format demands.
const char *const elementOrder[] = {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData",
    "sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate",
    "customSheetViews", "mergeCells", "phoneticPr", "conditionalFormatting", "dataValidations", "hyperlinks",
    "printOptions", "pageMargins", "pageSetup", "headerFooter", "rowBreaks", "colBreaks", "customProperties",
    "cellWatches", "ignoredErrors", "smartTags", "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture",
    "oleObjects", "controls", "webPublishItems", "tableParts", "extLst"};

int rankOf(const char *local)
{
    for (int i = 0; i < int(std::size(elementOrder)); ++i) {
        if (std::strcmp(elementOrder[i], local) == 0)
            return i;
    }
    return -1;
}

int rank(const char *name)
{
    const int r = rankOf(name);
    Q_ASSERT(r >= 0);
    return r;
}

// Elements written from the model, never copied from the template.
bool fromModel(const char *local)
{
    static const char *const owned[] = {"dimension", "cols", "sheetData", "mergeCells", "hyperlinks", "rowBreaks",
        "drawing", "pageSetup", "headerFooter"};
    for (const char *o : owned) {
        if (std::strcmp(o, local) == 0)
            return true;
    }
    return false;
}

// The view attribute for a sheet view; null for the normal view, which the
// file writes by leaving the attribute out.
const char *viewName(SheetViewMode view)
{
    switch (view) {
    case SheetViewMode::PageBreakPreview:
        return "pageBreakPreview";
    case SheetViewMode::PageLayout:
        return "pageLayout";
    case SheetViewMode::Normal:
        break;
    }
    return nullptr;
}

// Brings a sheet's views in line with the model: the active sheet alone
// shows as selected, and the sheet opens in the view the window shows it in.
// Everything else of the views (zoom, panes, selection) stays. True when
// anything changed.
bool applySheetViews(pugi::xml_node sheetViews, bool selected, SheetViewMode view)
{
    bool changed = false;
    pugi::xml_node first = child(sheetViews, "sheetView");
    if (!first) {
        QByteArray name = "sheetView";
        if (const char *colon = std::strchr(sheetViews.name(), ':'))
            name.prepend(QByteArray(sheetViews.name(), int(colon - sheetViews.name() + 1)));
        first = sheetViews.append_child(name.constData());
        first.append_attribute("workbookViewId") = 0;
        changed = true;
    }
    const char *wanted = viewName(view);
    for (pugi::xml_node v = first; v; v = v.next_sibling()) {
        if (!is(v, "sheetView"))
            continue;
        const pugi::xml_attribute mark = v.attribute("tabSelected");
        const bool marked = mark && (std::strcmp(mark.value(), "1") == 0 || std::strcmp(mark.value(), "true") == 0);
        if (marked != selected) {
            v.remove_attribute("tabSelected");
            if (selected)
                v.append_attribute("tabSelected") = 1;
            changed = true;
        }
        pugi::xml_attribute shown = v.attribute("view");
        const char *current = shown ? shown.value() : "normal";
        if (std::strcmp(current, wanted ? wanted : "normal") != 0) {
            if (!wanted) {
                v.remove_attribute(shown);
            } else {
                if (!shown)
                    shown = v.append_attribute("view");
                shown = wanted;
            }
            changed = true;
        }
    }
    return changed;
}

struct Piece
{
    int rank;
    int sequence;
    QByteArray xml;
};

void appendNumber(QByteArray &out, double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendInt(QByteArray &out, qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendAttr(QByteArray &out, const char *name, const QString &value)
{
    out += ' ';
    out += name;
    out += "=\"";
    XmlText::appendAttribute(out, value);
    out += '"';
}

// Column letters, computed once per column number.
class ColumnNames
{
public:
    const QByteArray &operator()(int column)
    {
        if (size_t(column) >= m_names.size())
            m_names.resize(size_t(column) + 1);
        QByteArray &name = m_names[size_t(column)];
        if (name.isEmpty())
            name = CellAddress::columnLetters(column).toLatin1();
        return name;
    }

private:
    std::vector<QByteArray> m_names;
};

// The cell stream: a byte buffer grown by doubling and filled with memcpy,
// since a million cells make some thirty million small appends.
class CellStream
{
public:
    explicit CellStream(qsizetype reserve)
    {
        m_data.resize(std::max<qsizetype>(reserve, 256));
        m_ptr = m_data.data();
    }
    void append(const char *text, qsizetype n)
    {
        if (m_size + n > m_data.size())
            grow(n);
        std::memcpy(m_ptr + m_size, text, size_t(n));
        m_size += n;
    }
    template <size_t N> void append(const char (&literal)[N]) { append(literal, qsizetype(N - 1)); }
    void append(char c)
    {
        if (m_size + 1 > m_data.size())
            grow(1);
        m_ptr[m_size++] = c;
    }
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }
    void appendInt(qint64 value)
    {
        if (m_size + 24 > m_data.size())
            grow(24);
        m_size += std::to_chars(m_ptr + m_size, m_ptr + m_size + 24, value).ptr - (m_ptr + m_size);
    }
    void appendNumber(double value)
    {
        if (m_size + 32 > m_data.size())
            grow(32);
        m_size += std::to_chars(m_ptr + m_size, m_ptr + m_size + 32, value).ptr - (m_ptr + m_size);
    }
    QByteArray take()
    {
        m_data.resize(m_size);
        return std::move(m_data);
    }

private:
    void grow(qsizetype n)
    {
        m_data.resize(std::max(m_data.size() * 2, m_size + n));
        m_ptr = m_data.data();
    }

    QByteArray m_data;
    char *m_ptr = nullptr;
    qsizetype m_size = 0;
};

// An error value's code ("#DIV/0!", "#N/A"). The known codes need no
// escaping, but a code read from elsewhere is escaped all the same; an error
// without a code is written as "#N/A", since the file holds no empty error.
void appendErrorCode(CellStream &data, QByteArray &scratch, const QString &code)
{
    scratch.clear();
    XmlText::appendPlain(scratch, code.isEmpty() ? QStringLiteral("#N/A") : code);
    data.append(scratch);
}

} // namespace

QByteArray SheetXmlWriter::write(const Input &in)
{
    const Worksheet &sheet = in.sheet;
    const Workbook &workbook = in.workbook;
    pugi::xml_document doc;
    pugi::xml_node root;
    if (!sheet.templateXml().isEmpty()) {
        XmlDom::parse(doc, sheet.templateXml(), sheet.name(), in.fileName);
        root = doc.document_element();
    }

    // The page set-up is written from the model when the program changed it,
    // whether or not it said so: the model starts with the template's values.
    PageSetup page = sheet.pageSetup();
    {
        const pugi::xml_node setup = child(root, "pageSetup");
        const pugi::xml_node hf = child(root, "headerFooter");
        page.changed = page.changed || page.scale != setup.attribute("scale").as_int(100)
            || page.oddHeader != XmlDom::text(child(hf, "oddHeader"))
            || page.oddFooter != XmlDom::text(child(hf, "oddFooter"))
            || (page.paperSize > 0 && page.paperSize != setup.attribute("paperSize").as_int(0))
            || (!page.orientation.isEmpty() && page.orientation != XmlDom::text(setup.attribute("orientation")));
    }

    std::vector<Piece> pieces;
    int sequence = 0;
    const auto add = [&](int r, QByteArray xml) { pieces.push_back({r, sequence++, std::move(xml)}); };

    // What the model does not hold comes from the template, each element
    // in its place; unknown elements stay behind the one they followed.
    pugi::xml_node templatePageSetup;
    pugi::xml_node templateHeaderFooter;
    bool hasSheetViews = false;
    bool hasSheetFormat = false;
    bool hasMargins = false;
    if (root) {
        int lastRank = 0;
        for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element)
                continue;
            const char *local = XmlDom::localName(c.name());
            const int r = rankOf(local);
            if (r >= 0)
                lastRank = r;
            if (is(c, "pageSetup"))
                templatePageSetup = c;
            if (is(c, "headerFooter"))
                templateHeaderFooter = c;
            if (r >= 0 && fromModel(local))
                continue;
            if (is(c, "sheetFormatPr"))
                hasSheetFormat = true;
            if (is(c, "pageMargins"))
                hasMargins = true;
            if (is(c, "sheetViews")) {
                applySheetViews(c, in.selected, sheet.view());
                hasSheetViews = true;
            }
            if (is(c, "sheetPr") && page.changed) {
                // A scale the program sets replaces fitting to pages.
                const int templateScale = child(root, "pageSetup").attribute("scale").as_int(100);
                if (templateScale != page.scale) {
                    if (pugi::xml_node fit = child(c, "pageSetUpPr"))
                        fit.remove_attribute("fitToPage");
                }
            }
            add(r >= 0 ? r : lastRank, XmlDom::serialize(c));
        }
    }
    if (!hasSheetViews) {
        pugi::xml_document viewsDoc;
        pugi::xml_node views = viewsDoc.append_child("sheetViews");
        applySheetViews(views, in.selected, sheet.view());
        add(rank("sheetViews"), XmlDom::serialize(views));
    }
    if (!hasSheetFormat)
        add(rank("sheetFormatPr"), "<sheetFormatPr defaultRowHeight=\"15\"/>");

    // Used range over every cell the sheet holds, styled empty cells included.
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    qsizetype cellCount = 0;
    for (const auto &[r, row] : sheet.rows()) {
        if (row.cells.empty())
            continue;
        if (firstRow == 0)
            firstRow = r;
        lastRow = r;
        const int lo = row.cells.front().column;
        const int hi = row.cells.back().column;
        firstColumn = firstColumn == 0 ? lo : std::min(firstColumn, lo);
        lastColumn = std::max(lastColumn, hi);
        cellCount += qsizetype(row.cells.size());
    }
    {
        QByteArray dimension = "<dimension ref=\"";
        dimension += firstRow == 0 ? QByteArray("A1")
                                   : CellAddress::rangeName({firstRow, firstColumn, lastRow, lastColumn}).toLatin1();
        dimension += "\"/>";
        add(rank("dimension"), dimension);
    }

    // Columns: runs of neighbours with the same format become one entry.
    if (!sheet.columns().empty()) {
        QByteArray cols = "<cols>";
        const auto &columns = sheet.columns();
        for (auto it = columns.begin(); it != columns.end();) {
            const int first = it->first;
            const ColumnData &data = it->second;
            const int xf = in.styles.xfIndex(workbook, data.styleId);
            int last = first;
            auto next = std::next(it);
            while (next != columns.end() && next->first == last + 1 && next->second.width == data.width
                && next->second.customWidth == data.customWidth && next->second.hidden == data.hidden
                && in.styles.xfIndex(workbook, next->second.styleId) == xf) {
                last = next->first;
                ++next;
            }
            it = next;
            if (first < 1 || last > SheetLimits::MaxColumns)
                continue;
            if (data.width < 0 && !data.hidden && xf == 0)
                continue;
            cols += "<col min=\"";
            appendInt(cols, first);
            cols += "\" max=\"";
            appendInt(cols, last);
            cols += "\" width=\"";
            appendNumber(cols, data.width < 0 ? 9.140625 : std::min(data.width, SheetLimits::MaxColumnWidth));
            cols += '"';
            if (xf != 0) {
                cols += " style=\"";
                appendInt(cols, xf);
                cols += '"';
            }
            if (data.hidden)
                cols += " hidden=\"1\"";
            if (data.customWidth || data.width >= 0)
                cols += " customWidth=\"1\"";
            cols += "/>";
        }
        cols += "</cols>";
        if (cols.size() > 12)
            add(rank("cols"), cols);
    }

    // The cells, streamed.
    {
        CellStream data(cellCount * 36 + qsizetype(sheet.rows().size()) * 24 + 64);
        QByteArray scratch;
        data.append("<sheetData>");
        ColumnNames names;
        for (const auto &[r, row] : sheet.rows()) {
            if (r < 1 || r > SheetLimits::MaxRows)
                continue;
            const int rowXf = row.styleId ? in.styles.xfIndex(workbook, row.styleId) : 0;
            const bool hasFormat = row.height >= 0 || row.hidden || rowXf != 0;
            if (row.cells.empty() && !hasFormat)
                continue;
            char rowNumber[12];
            const int rowNumberLength = int(std::to_chars(rowNumber, rowNumber + sizeof rowNumber, r).ptr - rowNumber);
            data.append("<row r=\"");
            data.append(rowNumber, rowNumberLength);
            data.append('"');
            if (rowXf != 0) {
                data.append(" s=\"");
                data.appendInt(rowXf);
                data.append("\" customFormat=\"1\"");
            }
            if (row.height >= 0) {
                data.append(" ht=\"");
                data.appendNumber(std::min(row.height, 409.0));
                data.append('"');
                if (row.customHeight)
                    data.append(" customHeight=\"1\"");
            }
            if (row.hidden)
                data.append(" hidden=\"1\"");
            if (row.cells.empty()) {
                data.append("/>");
                continue;
            }
            data.append('>');
            for (const Cell &cell : row.cells) {
                if (cell.column < 1 || cell.column > SheetLimits::MaxColumns)
                    continue;
                const int xf = cell.styleId ? in.styles.xfIndex(workbook, cell.styleId) : 0;
                if (cell.type == CellType::Empty && xf == 0)
                    continue;
                data.append("<c r=\"");
                data.append(names(cell.column));
                data.append(rowNumber, rowNumberLength);
                data.append('"');
                if (xf != 0) {
                    data.append(" s=\"");
                    data.appendInt(xf);
                    data.append('"');
                }
                switch (cell.type) {
                case CellType::Empty:
                    data.append("/>");
                    break;
                case CellType::Number:
                    if (std::isfinite(cell.number)) {
                        data.append("><v>");
                        data.appendNumber(cell.number);
                        data.append("</v></c>");
                    } else {
                        // No file can hold an infinite or undefined number.
                        data.append(" t=\"e\"><v>#NUM!</v></c>");
                    }
                    break;
                case CellType::Boolean:
                    if (cell.number != 0.0)
                        data.append(" t=\"b\"><v>1</v></c>");
                    else
                        data.append(" t=\"b\"><v>0</v></c>");
                    break;
                case CellType::Error:
                    data.append(" t=\"e\"><v>");
                    appendErrorCode(data, scratch, cell.text);
                    data.append("</v></c>");
                    break;
                case CellType::Text: {
                    int index;
                    if (cell.text.size() > SheetLimits::MaxTextLength)
                        index = in.strings.indexFor(cell.text.left(SheetLimits::MaxTextLength));
                    else
                        index = in.strings.indexFor(cell);
                    data.append(" t=\"s\"><v>");
                    data.appendInt(index);
                    data.append("</v></c>");
                    break;
                }
                case CellType::Formula: {
                    const QStringView formula = QStringView(cell.formula).startsWith(QLatin1Char('='))
                        ? QStringView(cell.formula).mid(1)
                        : QStringView(cell.formula);
                    const bool finite = std::isfinite(cell.number);
                    if (cell.cachedType == CellType::Text)
                        data.append(" t=\"str\"");
                    else if (cell.cachedType == CellType::Boolean)
                        data.append(" t=\"b\"");
                    else if (cell.cachedType == CellType::Error)
                        data.append(" t=\"e\"");
                    data.append("><f>");
                    scratch.clear();
                    XmlText::appendPlain(scratch, formula);
                    data.append(scratch);
                    data.append("</f>");
                    if (cell.cachedType == CellType::Number && finite) {
                        data.append("<v>");
                        data.appendNumber(cell.number);
                        data.append("</v>");
                    } else if (cell.cachedType == CellType::Boolean) {
                        if (cell.number != 0.0)
                            data.append("<v>1</v>");
                        else
                            data.append("<v>0</v>");
                    } else if (cell.cachedType == CellType::Text) {
                        data.append("<v>");
                        scratch.clear();
                        XmlText::appendCellText(scratch, QStringView(cell.text).left(SheetLimits::MaxTextLength));
                        data.append(scratch);
                        data.append("</v>");
                    } else if (cell.cachedType == CellType::Error) {
                        data.append("<v>");
                        appendErrorCode(data, scratch, cell.text);
                        data.append("</v>");
                    }
                    data.append("</c>");
                    break;
                }
                }
            }
            data.append("</row>");
        }
        data.append("</sheetData>");
        add(rank("sheetData"), data.take());
    }

    if (!sheet.merges().empty()) {
        QByteArray merges = "<mergeCells count=\"";
        appendInt(merges, qint64(sheet.merges().size()));
        merges += "\">";
        for (const RangeRef &m : sheet.merges()) {
            merges += "<mergeCell ref=\"";
            merges += CellAddress::rangeName(m).toLatin1();
            merges += "\"/>";
        }
        merges += "</mergeCells>";
        add(rank("mergeCells"), merges);
    }

    // Hyperlinks in the order of their cells, at most MaxHyperlinks of them;
    // the rest are left out with a warning (their cells still show the text).
    if (!sheet.hyperlinks().empty()) {
        std::vector<const Hyperlink *> kept;
        kept.reserve(sheet.hyperlinks().size());
        for (const Hyperlink &h : sheet.hyperlinks())
            kept.push_back(&h);
        std::stable_sort(kept.begin(), kept.end(), [](const Hyperlink *a, const Hyperlink *b) {
            return a->anchor.row != b->anchor.row ? a->anchor.row < b->anchor.row : a->anchor.column < b->anchor.column;
        });
        if (kept.size() > size_t(SheetLimits::MaxHyperlinks)) {
            workbook.addWarning(
                QStringLiteral("Das Blatt \"%1\" hat %2 Hyperlinks; eine Arbeitsmappendatei fasst höchstens %3. "
                               "Die Hyperlinks ab Zeile %4 fehlen in der gespeicherten Datei, alle Zeilen sind "
                               "aber enthalten.")
                    .arg(sheet.name())
                    .arg(kept.size())
                    .arg(SheetLimits::MaxHyperlinks)
                    .arg(kept[size_t(SheetLimits::MaxHyperlinks)]->anchor.row));
            kept.resize(size_t(SheetLimits::MaxHyperlinks));
        }
        QByteArray links = "<hyperlinks>";
        for (const Hyperlink *link : kept) {
            const Hyperlink &h = *link;
            links += "<hyperlink ref=\"";
            links += CellAddress::cellName(h.anchor.row, h.anchor.column).toLatin1();
            links += '"';
            if (!h.address.isEmpty()) {
                const QString id = in.relationships.add(
                    QString::fromLatin1(Ooxml::RelBase) + QLatin1String(Ooxml::RelHyperlink), h.address, true);
                appendAttr(links, "r:id", id);
            } else if (!h.location.isEmpty()) {
                appendAttr(links, "location", h.location);
            }
            if (!h.textToDisplay.isEmpty())
                appendAttr(links, "display", h.textToDisplay);
            if (!h.tooltip.isEmpty())
                appendAttr(links, "tooltip", h.tooltip);
            links += "/>";
        }
        links += "</hyperlinks>";
        add(rank("hyperlinks"), links);
    }

    // Page set-up: the template's element, with the program's values when it
    // changed them.
    if (page.changed || templatePageSetup) {
        if (page.changed && !hasMargins)
            add(rank("pageMargins"),
                "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
                "header=\"0.3\" footer=\"0.3\"/>");
        pugi::xml_document setupDoc;
        pugi::xml_node setup
            = templatePageSetup ? setupDoc.append_copy(templatePageSetup) : setupDoc.append_child("pageSetup");
        if (page.changed) {
            const auto set = [&](const char *name, const QByteArray &value) {
                pugi::xml_attribute a = setup.attribute(name);
                if (!a)
                    a = setup.append_attribute(name);
                a = value.constData();
            };
            if (page.paperSize > 0)
                set("paperSize", QByteArray::number(page.paperSize));
            if (!page.orientation.isEmpty())
                set("orientation", page.orientation.toLatin1());
            set("scale", QByteArray::number(qBound(10, page.scale, 400)));
        }
        add(rank("pageSetup"), XmlDom::serialize(setup));
    }
    if (page.changed || templateHeaderFooter) {
        QByteArray hf;
        if (page.changed) {
            hf = "<headerFooter";
            if (templateHeaderFooter) {
                for (pugi::xml_attribute a = templateHeaderFooter.first_attribute(); a; a = a.next_attribute())
                    appendAttr(hf, a.name(), QString::fromUtf8(a.value()));
            }
            hf += '>';
            if (!page.oddHeader.isEmpty()) {
                hf += "<oddHeader>";
                XmlText::appendPlain(hf, page.oddHeader);
                hf += "</oddHeader>";
            }
            if (!page.oddFooter.isEmpty()) {
                hf += "<oddFooter>";
                XmlText::appendPlain(hf, page.oddFooter);
                hf += "</oddFooter>";
            }
            if (templateHeaderFooter) {
                for (pugi::xml_node c = templateHeaderFooter.first_child(); c; c = c.next_sibling()) {
                    if (c.type() == pugi::node_element && !is(c, "oddHeader") && !is(c, "oddFooter"))
                        hf += XmlDom::serialize(c);
                }
            }
            hf += "</headerFooter>";
        } else {
            hf = XmlDom::serialize(templateHeaderFooter);
        }
        add(rank("headerFooter"), hf);
    }

    // Row breaks: the file names the row above each break, and holds at most
    // MaxRowBreaks of them; the rest are left out with a warning.
    if (!sheet.rowBreaks().empty()) {
        std::vector<int> breaks;
        for (int row : sheet.rowBreaks()) {
            if (row >= 2 && row <= SheetLimits::MaxRows)
                breaks.push_back(row);
        }
        if (breaks.size() > size_t(SheetLimits::MaxRowBreaks)) {
            const int firstDropped = breaks[size_t(SheetLimits::MaxRowBreaks)];
            workbook.addWarning(
                QStringLiteral("Das Blatt \"%1\" hat %2 manuelle Seitenumbrüche; eine Arbeitsmappendatei fasst "
                               "höchstens %3. Die Umbrüche ab Zeile %4 fehlen in der gespeicherten "
                               "Datei, alle Zeilen sind aber enthalten.")
                    .arg(sheet.name())
                    .arg(breaks.size())
                    .arg(SheetLimits::MaxRowBreaks)
                    .arg(firstDropped));
            breaks.resize(size_t(SheetLimits::MaxRowBreaks));
        }
        if (!breaks.empty()) {
            QByteArray xml = "<rowBreaks count=\"";
            appendInt(xml, qint64(breaks.size()));
            xml += "\" manualBreakCount=\"";
            appendInt(xml, qint64(breaks.size()));
            xml += "\">";
            for (int row : breaks) {
                xml += "<brk id=\"";
                appendInt(xml, row - 1);
                xml += "\" max=\"16383\" man=\"1\"/>";
            }
            xml += "</rowBreaks>";
            add(rank("rowBreaks"), xml);
        }
    }

    if (!in.drawingRelationId.isEmpty()) {
        QByteArray drawing = "<drawing";
        appendAttr(drawing, "r:id", in.drawingRelationId);
        drawing += "/>";
        add(rank("drawing"), drawing);
    }

    std::stable_sort(pieces.begin(), pieces.end(),
        [](const Piece &a, const Piece &b) { return a.rank != b.rank ? a.rank < b.rank : a.sequence < b.sequence; });

    // The root keeps the template's namespace declarations, so copied elements
    // with prefixes (x14ac:, mc:, ...) stay valid.
    QByteArray out;
    qsizetype total = 256;
    for (const Piece &p : pieces)
        total += p.xml.size();
    out.reserve(total);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"";
    out += Ooxml::MainNs;
    out += "\" xmlns:r=\"";
    out += Ooxml::RelationshipsNs;
    out += '"';
    if (root) {
        for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
            if (!std::strcmp(a.name(), "xmlns") || !std::strcmp(a.name(), "xmlns:r"))
                continue;
            appendAttr(out, a.name(), QString::fromUtf8(a.value()));
        }
    }
    out += '>';
    for (Piece &p : pieces) {
        out += p.xml;
        p.xml = QByteArray();
    }
    out += "</worksheet>";
    return out;
}

QByteArray SheetXmlWriter::withCurrentViews(
    const QByteArray &part, const Worksheet &sheet, bool selected, const QString &fileName)
{
    pugi::xml_document doc;
    XmlDom::parse(doc, part, sheet.name(), fileName);
    pugi::xml_node root = doc.document_element();
    pugi::xml_node views = child(root, "sheetViews");
    if (!views) {
        // A part without views gets them in their place among its elements.
        QByteArray name = "sheetViews";
        if (const char *colon = std::strchr(root.name(), ':'))
            name.prepend(QByteArray(root.name(), int(colon - root.name() + 1)));
        pugi::xml_node before;
        for (pugi::xml_node c = root.first_child(); c && !before; c = c.next_sibling()) {
            if (c.type() == pugi::node_element && rankOf(XmlDom::localName(c.name())) > rank("sheetViews"))
                before = c;
        }
        views = before ? root.insert_child_before(name.constData(), before) : root.append_child(name.constData());
    }
    if (!applySheetViews(views, selected, sheet.view()))
        return part;
    return XmlDom::serializeDocument(doc);
}
