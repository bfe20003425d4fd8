#include "SheetXmlWriter.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/Relationships.h"
#include "workbook/package/SheetDataWriter.h"
#include "workbook/package/StyleTable.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <memory>

namespace tannbuch {

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
        first = sheetViews.append_child(XmlDom::prefixed(sheetViews, "sheetView").constData());
        first.append_attribute("workbookViewId") = 0;
        changed = true;
    }
    const char *wanted = viewName(view);
    for (pugi::xml_node v = first; v; v = v.next_sibling()) {
        if (!is(v, "sheetView"))
            continue;
        const bool marked = XmlDom::isTrue(v.attribute("tabSelected"));
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

void appendInt(QByteArray &out, qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendNumber(QByteArray &out, double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

// The part from the cells on, made while the archive is packed: the
// sheetData element in pieces, then the elements behind it.
class CellsAndTail : public ZipStream
{
public:
    CellsAndTail(std::unique_ptr<SheetDataWriter> cells, qint64 cellBytes, QByteArray tail)
        : m_cells(std::move(cells))
        , m_cellBytes(cellBytes)
        , m_tail(std::move(tail))
    { }

    qint64 size() const override { return m_cellBytes + m_tail.size(); }
    void start() override
    {
        m_cells->start();
        m_tailGiven = false;
    }
    bool next(QByteArray &piece) override
    {
        if (m_cells->next(piece))
            return true;
        if (m_tailGiven)
            return false;
        piece = m_tail;
        m_tailGiven = true;
        return true;
    }

private:
    std::unique_ptr<SheetDataWriter> m_cells;
    qint64 m_cellBytes;
    QByteArray m_tail;
    bool m_tailGiven = false;
};

// A worksheet element ready to be written, with its place in the file's order.
struct Piece
{
    int rank;
    int sequence; // the order it was made in, which decides among one rank
    QByteArray xml;
};

// One worksheet part being written: the template's elements that the model
// does not hold, and the elements written from the model, each put in the
// order the file format demands.
class SheetWriter
{
public:
    explicit SheetWriter(const SheetXmlWriter::Input &in);

    void keepTemplateElements();
    void writeDimension();
    void writeSheetViews();
    void writeSheetFormat();
    void writeColumns();
    void writeSheetData();
    void writeMergeCells();
    void writeHyperlinks();
    void writePageMargins();
    void writePageSetup();
    void writeHeaderFooter();
    void writeRowBreaks();
    void writeDrawing();
    // The part: the root with the template's namespaces, and every element
    // in order, the cells and what follows them streamed.
    ZipEntry document();

private:
    void add(int rank, QByteArray xml) { m_pieces.push_back({rank, int(m_pieces.size()), std::move(xml)}); }
    void add(const char *local, QByteArray xml) { add(rank(local), std::move(xml)); }
    int xfOf(quint32 styleId) { return m_in.styles.xfIndex(m_in.workbook, styleId); }
    bool pageSetupChanged() const;
    void keepTemplateElement(pugi::xml_node element, int rank);
    void dropFitToPage(pugi::xml_node sheetPr) const;
    std::map<int, ColumnData>::const_iterator endOfColumnRun(std::map<int, ColumnData>::const_iterator first, int xf);
    void appendColumn(QByteArray &cols, int first, int last, const ColumnData &data, int xf) const;
    std::vector<const Hyperlink *> keptHyperlinks() const;
    void appendHyperlink(QByteArray &links, const Hyperlink &link);
    QByteArray changedHeaderFooter() const;
    std::vector<int> keptRowBreaks() const;

    const SheetXmlWriter::Input &m_in;
    pugi::xml_document m_doc; // the template's part, when the sheet has one
    pugi::xml_node m_root;
    PageSetup m_page;
    std::vector<Piece> m_pieces;
    std::unique_ptr<SheetDataWriter> m_cells;
    qint64 m_cellBytes = 0;
    int m_cellsSequence = -1; // the sequence of the (empty) piece the cells stand for
    pugi::xml_node m_templatePageSetup;
    pugi::xml_node m_templateHeaderFooter;
    bool m_hasSheetViews = false;
    bool m_hasSheetFormat = false;
    bool m_hasMargins = false;
};

SheetWriter::SheetWriter(const SheetXmlWriter::Input &in)
    : m_in(in)
    , m_page(in.sheet.pageSetup())
{
    if (!in.sheet.templateXml().isEmpty()) {
        XmlDom::parse(m_doc, in.sheet.templateXml(), in.sheet.name(), in.fileName);
        m_root = m_doc.document_element();
    }
    m_page.changed = m_page.changed || pageSetupChanged();
}

// The page set-up is written from the model when the program changed it,
// whether or not it said so: the model starts with the template's values.
bool SheetWriter::pageSetupChanged() const
{
    const pugi::xml_node setup = child(m_root, "pageSetup");
    const pugi::xml_node hf = child(m_root, "headerFooter");
    return m_page.scale != setup.attribute("scale").as_int(100)
        || m_page.oddHeader != XmlDom::text(child(hf, "oddHeader"))
        || m_page.oddFooter != XmlDom::text(child(hf, "oddFooter"))
        || (m_page.paperSize > 0 && m_page.paperSize != setup.attribute("paperSize").as_int(0))
        || (!m_page.orientation.isEmpty() && m_page.orientation != XmlDom::text(setup.attribute("orientation")));
}

// What the model does not hold comes from the template, each element in its
// place; unknown elements stay behind the one they followed.
void SheetWriter::keepTemplateElements()
{
    int lastRank = 0;
    for (pugi::xml_node c = m_root.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char *local = XmlDom::localName(c.name());
        const int r = rankOf(local);
        if (r >= 0)
            lastRank = r;
        if (is(c, "pageSetup"))
            m_templatePageSetup = c;
        if (is(c, "headerFooter"))
            m_templateHeaderFooter = c;
        if (r < 0 || !fromModel(local))
            keepTemplateElement(c, r >= 0 ? r : lastRank);
    }
}

void SheetWriter::keepTemplateElement(pugi::xml_node element, int rank)
{
    if (is(element, "sheetFormatPr"))
        m_hasSheetFormat = true;
    if (is(element, "pageMargins"))
        m_hasMargins = true;
    if (is(element, "sheetViews")) {
        applySheetViews(element, m_in.selected, m_in.sheet.view());
        m_hasSheetViews = true;
    }
    if (is(element, "sheetPr"))
        dropFitToPage(element);
    add(rank, XmlDom::serialize(element));
}

// A scale the program sets replaces fitting to pages.
void SheetWriter::dropFitToPage(pugi::xml_node sheetPr) const
{
    if (!m_page.changed || !m_page.scaleSet)
        return;
    if (pugi::xml_node fit = child(sheetPr, "pageSetUpPr"))
        fit.remove_attribute("fitToPage");
}

// The used range over every cell the sheet holds, styled empty cells included.
void SheetWriter::writeDimension()
{
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    for (const auto &[r, row] : m_in.sheet.rows()) {
        if (row.cells.empty())
            continue;
        if (firstRow == 0)
            firstRow = r;
        lastRow = r;
        const int lo = row.cells.front().column;
        firstColumn = firstColumn == 0 ? lo : std::min(firstColumn, lo);
        lastColumn = std::max(lastColumn, row.cells.back().column);
    }
    QByteArray dimension = "<dimension ref=\"";
    dimension += firstRow == 0 ? QByteArray("A1")
                               : CellAddress::rangeName({firstRow, firstColumn, lastRow, lastColumn}).toLatin1();
    dimension += "\"/>";
    add("dimension", dimension);
}

// Views of the sheet's own when the template has none.
void SheetWriter::writeSheetViews()
{
    if (m_hasSheetViews)
        return;
    pugi::xml_document viewsDoc;
    pugi::xml_node views = viewsDoc.append_child("sheetViews");
    applySheetViews(views, m_in.selected, m_in.sheet.view());
    add("sheetViews", XmlDom::serialize(views));
}

void SheetWriter::writeSheetFormat()
{
    if (!m_hasSheetFormat)
        add("sheetFormatPr", "<sheetFormatPr defaultRowHeight=\"15\"/>");
}

// Columns: runs of neighbours with the same format become one entry.
void SheetWriter::writeColumns()
{
    const auto &columns = m_in.sheet.columns();
    if (columns.empty())
        return;
    QByteArray cols = "<cols>";
    for (auto it = columns.begin(); it != columns.end();) {
        const int xf = xfOf(it->second.styleId);
        const auto next = endOfColumnRun(it, xf);
        appendColumn(cols, it->first, std::prev(next)->first, it->second, xf);
        it = next;
    }
    cols += "</cols>";
    if (cols.size() > 12)
        add("cols", cols);
}

// Behind the run of neighbouring columns formatted as `first` is, with cell format xf.
std::map<int, ColumnData>::const_iterator SheetWriter::endOfColumnRun(
    std::map<int, ColumnData>::const_iterator first, int xf)
{
    const ColumnData &data = first->second;
    int last = first->first;
    auto next = std::next(first);
    while (next != m_in.sheet.columns().end() && next->first == last + 1 && next->second.width == data.width
        && next->second.customWidth == data.customWidth && next->second.hidden == data.hidden
        && xfOf(next->second.styleId) == xf) {
        last = next->first;
        ++next;
    }
    return next;
}

// One entry for columns first..last; none outside the format's columns or
// for columns that look as the default.
void SheetWriter::appendColumn(QByteArray &cols, int first, int last, const ColumnData &data, int xf) const
{
    if (first < 1 || last > SheetLimits::MaxColumns)
        return;
    if (data.width < 0 && !data.hidden && xf == 0)
        return;
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

void SheetWriter::writeSheetData()
{
    m_cells = std::make_unique<SheetDataWriter>(m_in.sheet, m_in.workbook, m_in.styles, m_in.strings);
    m_cellBytes = m_cells->number();
    m_cellsSequence = int(m_pieces.size());
    add("sheetData", QByteArray());
}

void SheetWriter::writeMergeCells()
{
    const auto &merges = m_in.sheet.merges();
    if (merges.empty())
        return;
    QByteArray xml = "<mergeCells count=\"";
    appendInt(xml, qint64(merges.size()));
    xml += "\">";
    for (const RangeRef &m : merges) {
        xml += "<mergeCell ref=\"";
        xml += CellAddress::rangeName(m).toLatin1();
        xml += "\"/>";
    }
    xml += "</mergeCells>";
    add("mergeCells", xml);
}

void SheetWriter::writeHyperlinks()
{
    if (m_in.sheet.hyperlinks().empty())
        return;
    QByteArray links = "<hyperlinks>";
    for (const Hyperlink *link : keptHyperlinks())
        appendHyperlink(links, *link);
    links += "</hyperlinks>";
    add("hyperlinks", links);
}

// Hyperlinks in the order of their cells, at most MaxHyperlinks of them; the
// rest are left out with a warning (their cells still show the text).
std::vector<const Hyperlink *> SheetWriter::keptHyperlinks() const
{
    const Worksheet &sheet = m_in.sheet;
    std::vector<const Hyperlink *> kept;
    kept.reserve(sheet.hyperlinks().size());
    for (const Hyperlink &h : sheet.hyperlinks())
        kept.push_back(&h);
    std::stable_sort(kept.begin(), kept.end(), [](const Hyperlink *a, const Hyperlink *b) {
        return a->anchor.row != b->anchor.row ? a->anchor.row < b->anchor.row : a->anchor.column < b->anchor.column;
    });
    if (kept.size() > size_t(SheetLimits::MaxHyperlinks)) {
        m_in.workbook.addWarning(
            QStringLiteral("Das Blatt \"%1\" hat %2 Hyperlinks; eine Arbeitsmappendatei fasst höchstens %3. "
                           "Die Hyperlinks ab Zeile %4 fehlen in der gespeicherten Datei, alle Zeilen sind "
                           "aber enthalten.")
                .arg(sheet.name())
                .arg(kept.size())
                .arg(SheetLimits::MaxHyperlinks)
                .arg(kept[size_t(SheetLimits::MaxHyperlinks)]->anchor.row));
        kept.resize(size_t(SheetLimits::MaxHyperlinks));
    }
    return kept;
}

// A link to an address goes through the sheet's relationships; one within
// the workbook names its location.
void SheetWriter::appendHyperlink(QByteArray &links, const Hyperlink &link)
{
    links += "<hyperlink ref=\"";
    links += CellAddress::cellName(link.anchor.row, link.anchor.column).toLatin1();
    links += '"';
    if (!link.address.isEmpty()) {
        const QString id = m_in.relationships.add(
            QString::fromLatin1(Ooxml::RelBase) + QLatin1String(Ooxml::RelHyperlink), link.address, true);
        XmlText::appendNamedAttribute(links, "r:id", id);
    } else if (!link.location.isEmpty()) {
        XmlText::appendNamedAttribute(links, "location", link.location);
    }
    if (!link.textToDisplay.isEmpty())
        XmlText::appendNamedAttribute(links, "display", link.textToDisplay);
    if (!link.tooltip.isEmpty())
        XmlText::appendNamedAttribute(links, "tooltip", link.tooltip);
    links += "/>";
}

// The usual margins, when the program set up the page of a sheet whose
// template has none.
void SheetWriter::writePageMargins()
{
    if (m_page.changed && !m_hasMargins)
        add("pageMargins",
            "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
            "header=\"0.3\" footer=\"0.3\"/>");
}

// Page set-up: the template's element, with the program's values when it
// changed them.
void SheetWriter::writePageSetup()
{
    if (!m_page.changed && !m_templatePageSetup)
        return;
    pugi::xml_document setupDoc;
    pugi::xml_node setup
        = m_templatePageSetup ? setupDoc.append_copy(m_templatePageSetup) : setupDoc.append_child("pageSetup");
    if (m_page.changed) {
        if (m_page.paperSize > 0)
            XmlDom::setAttribute(setup, "paperSize", QByteArray::number(m_page.paperSize).constData());
        if (!m_page.orientation.isEmpty())
            XmlDom::setAttribute(setup, "orientation", m_page.orientation.toLatin1().constData());
        XmlDom::setAttribute(setup, "scale", QByteArray::number(qBound(10, m_page.scale, 400)).constData());
    }
    add("pageSetup", XmlDom::serialize(setup));
}

void SheetWriter::writeHeaderFooter()
{
    if (m_page.changed)
        add("headerFooter", changedHeaderFooter());
    else if (m_templateHeaderFooter)
        add("headerFooter", XmlDom::serialize(m_templateHeaderFooter));
}

// The program's odd page header and footer, with the template's attributes
// and its other headers and footers.
QByteArray SheetWriter::changedHeaderFooter() const
{
    QByteArray hf = "<headerFooter";
    for (pugi::xml_attribute a = m_templateHeaderFooter.first_attribute(); a; a = a.next_attribute())
        XmlText::appendNamedAttribute(hf, a.name(), QString::fromUtf8(a.value()));
    hf += '>';
    if (!m_page.oddHeader.isEmpty()) {
        hf += "<oddHeader>";
        XmlText::appendPlain(hf, m_page.oddHeader);
        hf += "</oddHeader>";
    }
    if (!m_page.oddFooter.isEmpty()) {
        hf += "<oddFooter>";
        XmlText::appendPlain(hf, m_page.oddFooter);
        hf += "</oddFooter>";
    }
    for (pugi::xml_node c = m_templateHeaderFooter.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && !is(c, "oddHeader") && !is(c, "oddFooter"))
            hf += XmlDom::serialize(c);
    }
    hf += "</headerFooter>";
    return hf;
}

// The file names the row above each break.
void SheetWriter::writeRowBreaks()
{
    const std::vector<int> breaks = keptRowBreaks();
    if (breaks.empty())
        return;
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
    add("rowBreaks", xml);
}

// The breaks within the format's rows, at most MaxRowBreaks of them; the rest
// are left out with a warning.
std::vector<int> SheetWriter::keptRowBreaks() const
{
    std::vector<int> breaks;
    for (int row : m_in.sheet.rowBreaks()) {
        if (row >= 2 && row <= SheetLimits::MaxRows)
            breaks.push_back(row);
    }
    if (breaks.size() > size_t(SheetLimits::MaxRowBreaks)) {
        m_in.workbook.addWarning(
            QStringLiteral("Das Blatt \"%1\" hat %2 manuelle Seitenumbrüche; eine Arbeitsmappendatei fasst "
                           "höchstens %3. Die Umbrüche ab Zeile %4 fehlen in der gespeicherten "
                           "Datei, alle Zeilen sind aber enthalten.")
                .arg(m_in.sheet.name())
                .arg(breaks.size())
                .arg(SheetLimits::MaxRowBreaks)
                .arg(breaks[size_t(SheetLimits::MaxRowBreaks)]));
        breaks.resize(size_t(SheetLimits::MaxRowBreaks));
    }
    return breaks;
}

void SheetWriter::writeDrawing()
{
    if (m_in.drawingRelationId.isEmpty())
        return;
    QByteArray drawing = "<drawing";
    XmlText::appendNamedAttribute(drawing, "r:id", m_in.drawingRelationId);
    drawing += "/>";
    add("drawing", drawing);
}

ZipEntry SheetWriter::document()
{
    std::stable_sort(m_pieces.begin(), m_pieces.end(),
        [](const Piece &a, const Piece &b) { return a.rank != b.rank ? a.rank < b.rank : a.sequence < b.sequence; });
    QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"";
    head += Ooxml::MainNs;
    head += "\" xmlns:r=\"";
    head += Ooxml::RelationshipsNs;
    head += '"';
    // The root keeps the template's namespace declarations, so copied
    // elements with prefixes (x14ac:, mc:, ...) stay valid.
    for (pugi::xml_attribute a = m_root.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(a.name(), "xmlns") != 0 && std::strcmp(a.name(), "xmlns:r") != 0)
            XmlText::appendNamedAttribute(head, a.name(), QString::fromUtf8(a.value()));
    }
    head += '>';
    QByteArray tail;
    QByteArray *out = &head;
    for (const Piece &p : m_pieces) {
        if (p.sequence == m_cellsSequence)
            out = &tail;
        *out += p.xml;
    }
    tail += "</worksheet>";
    return {QString(), head, std::make_shared<CellsAndTail>(std::move(m_cells), m_cellBytes, tail)};
}

} // namespace

ZipEntry SheetXmlWriter::write(const Input &in)
{
    SheetWriter sheet(in);
    sheet.keepTemplateElements();
    // The model's elements; cell formats and shared strings are numbered in
    // the order they are first written.
    sheet.writeDimension();
    sheet.writeSheetViews();
    sheet.writeSheetFormat();
    sheet.writeColumns();
    sheet.writeSheetData();
    sheet.writeMergeCells();
    sheet.writeHyperlinks();
    sheet.writePageMargins();
    sheet.writePageSetup();
    sheet.writeHeaderFooter();
    sheet.writeRowBreaks();
    sheet.writeDrawing();
    return sheet.document();
}

QByteArray SheetXmlWriter::withCurrentViews(
    const QByteArray &part, const Worksheet &sheet, bool selected, const QString &fileName)
{
    pugi::xml_document doc;
    XmlDom::parse(doc, part, sheet.name(), fileName);
    // A part without views gets them in their place among its elements.
    const pugi::xml_node views = XmlDom::ensureChild(doc.document_element(), "sheetViews", elementOrder);
    if (!applySheetViews(views, selected, sheet.view()))
        return part;
    return XmlDom::serializeDocument(doc);
}

} // namespace tannbuch
