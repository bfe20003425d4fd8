#include "StyleTable.h"

#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/StyleCodes.h"
#include "workbook/package/XmlDom.h"

#include <cstring>

namespace tannbuch {

namespace {

using XmlDom::child;
using XmlDom::is;

const char minimalStyles[]
    = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
      "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
      "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
      "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
      "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
      "<cellStyles count=\"1\"><cellStyle name=\"Standard\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
      "</styleSheet>";

// Order of the style sheet's children; a missing list is created in its place.
const char *const styleSheetOrder[] = {"numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs", "cellStyles",
    "dxfs", "tableStyles", "colors", "extLst"};

QByteArray qualified(const QByteArray &prefix, const char *local)
{
    return prefix + local;
}

// The list element `local` of the style sheet, created empty in schema order when missing.
pugi::xml_node ensureList(pugi::xml_node root, const char *local)
{
    if (pugi::xml_node existing = child(root, local))
        return existing;
    pugi::xml_node list = XmlDom::ensureChild(root, local, styleSheetOrder);
    list.append_attribute("count") = 0;
    return list;
}

void setCount(pugi::xml_node list, int count)
{
    pugi::xml_attribute attr = list.attribute("count");
    if (!attr)
        attr = list.append_attribute("count");
    attr = count;
}

// The edge element of a border for one of the cell's edges; `line` replaces it.
void writeEdge(pugi::xml_node edge, const BorderLine &line, const QByteArray &prefix)
{
    while (edge.first_attribute())
        edge.remove_attribute(edge.first_attribute());
    while (edge.first_child())
        edge.remove_child(edge.first_child());
    const QString style = StyleCodes::borderStyleName(line);
    if (style.isEmpty())
        return;
    edge.append_attribute("style") = style.toUtf8().constData();
    pugi::xml_node color = edge.append_child(qualified(prefix, "color").constData());
    const int indexed = StyleCodes::indexedColor(line.colorIndex);
    color.append_attribute("indexed") = indexed < 0 ? 64 : indexed;
}

} // namespace

StyleTable::StyleTable(const QByteArray *stylesXml, const QString &fileName)
{
    if (stylesXml) {
        XmlDom::parse(m_doc, *stylesXml, QStringLiteral("styles.xml"), fileName);
    } else {
        m_doc.load_string(minimalStyles, pugi::parse_default | pugi::parse_declaration);
        m_changed = true;
    }
    pugi::xml_node root = m_doc.document_element();
    m_fonts = ensureList(root, "fonts");
    m_borders = ensureList(root, "borders");
    m_cellXfs = ensureList(root, "cellXfs");
    m_fontNodes = XmlDom::children(m_fonts, "font");
    m_borderNodes = XmlDom::children(m_borders, "border");
    m_xfNodes = XmlDom::children(m_cellXfs, "xf");
    m_templateXfCount = int(m_xfNodes.size());

    if (pugi::xml_node numFmts = child(root, "numFmts")) {
        m_numFmts = numFmts;
        for (pugi::xml_node f : XmlDom::children(numFmts, "numFmt")) {
            const int id = f.attribute("numFmtId").as_int(-1);
            m_formatIds.insert(QString::fromUtf8(f.attribute("formatCode").value()), id);
            m_nextFormatId = std::max(m_nextFormatId, id + 1);
        }
    }

    // A workbook needs a font, a border and a cell format to point at.
    m_prefix = XmlDom::prefixOf(root);
    if (m_fontNodes.empty()) {
        pugi::xml_node font = m_fonts.append_child(qualified(m_prefix, "font").constData());
        font.append_child(qualified(m_prefix, "sz").constData()).append_attribute("val") = 11;
        font.append_child(qualified(m_prefix, "name").constData()).append_attribute("val") = "Calibri";
        m_fontNodes.push_back(font);
        setCount(m_fonts, 1);
        m_changed = true;
    }
    if (m_borderNodes.empty()) {
        pugi::xml_node border = m_borders.append_child(qualified(m_prefix, "border").constData());
        for (const char *edge : {"left", "right", "top", "bottom", "diagonal"})
            border.append_child(qualified(m_prefix, edge).constData());
        m_borderNodes.push_back(border);
        setCount(m_borders, 1);
        m_changed = true;
    }
    if (m_xfNodes.empty()) {
        pugi::xml_node xf = m_cellXfs.append_child(qualified(m_prefix, "xf").constData());
        for (const char *attr : {"numFmtId", "fontId", "fillId", "borderId"})
            xf.append_attribute(attr) = 0;
        m_xfNodes.push_back(xf);
        setCount(m_cellXfs, 1);
        m_templateXfCount = 1;
        m_changed = true;
    }
    for (size_t i = 0; i < m_fontNodes.size(); ++i)
        m_knownFonts.insert(XmlDom::serialize(m_fontNodes[i]), int(i));
    for (size_t i = 0; i < m_borderNodes.size(); ++i)
        m_knownBorders.insert(XmlDom::serialize(m_borderNodes[i]), int(i));
}

int StyleTable::xfIndex(const Workbook &workbook, quint32 styleId)
{
    if (styleId == 0)
        return 0;
    if (styleId >= m_xfOfStyle.size())
        m_xfOfStyle.resize(size_t(workbook.styles().size()), -1);
    if (styleId >= m_xfOfStyle.size())
        return 0;
    int &xf = m_xfOfStyle[styleId];
    if (xf < 0)
        xf = makeXf(workbook.styles().style(styleId));
    return xf;
}

int StyleTable::numberFormatId(const QString &code)
{
    const int builtin = StyleCodes::builtinNumberFormatId(code);
    if (builtin >= 0)
        return builtin;
    const auto it = m_formatIds.constFind(code);
    if (it != m_formatIds.constEnd())
        return it.value();
    if (!m_numFmts)
        m_numFmts = ensureList(m_doc.document_element(), "numFmts");
    const int id = m_nextFormatId++;
    pugi::xml_node f = m_numFmts.append_child(qualified(m_prefix, "numFmt").constData());
    f.append_attribute("numFmtId") = id;
    f.append_attribute("formatCode") = code.toUtf8().constData();
    setCount(m_numFmts, int(XmlDom::children(m_numFmts, "numFmt").size()));
    m_formatIds.insert(code, id);
    m_changed = true;
    return id;
}

int StyleTable::appendUnique(pugi::xml_node list, QHash<QByteArray, int> &known, std::vector<pugi::xml_node> &nodes,
    const pugi::xml_node &candidate)
{
    const QByteArray key = XmlDom::serialize(candidate);
    const auto it = known.constFind(key);
    if (it != known.constEnd())
        return it.value();
    nodes.push_back(list.append_copy(candidate));
    const int index = int(nodes.size()) - 1;
    known.insert(key, index);
    setCount(list, int(nodes.size()));
    m_changed = true;
    return index;
}

int StyleTable::makeXf(const CellStyle &style)
{
    const int base = style.baseXf >= 0 && style.baseXf < m_templateXfCount ? style.baseXf : 0;
    const bool borders = std::any_of(style.borders.begin(), style.borders.end(), [](const auto &b) { return bool(b); });
    if (!style.numberFormat && !style.bold && !style.fontSize && !style.horizontalAlignment && !borders
        && !style.quotePrefix)
        return base;

    // The template's format with the program's changes on top.
    m_scratch.reset();
    pugi::xml_node xf = m_scratch.append_copy(m_xfNodes[size_t(base)]);
    if (style.numberFormat) {
        XmlDom::setAttribute(xf, "numFmtId", QByteArray::number(numberFormatId(*style.numberFormat)).constData());
        XmlDom::setAttribute(xf, "applyNumberFormat", "1");
    }
    if (style.bold || style.fontSize)
        applyFont(xf, style);
    if (borders)
        applyBorders(xf, style.borders);
    if (style.horizontalAlignment)
        applyAlignment(xf, *style.horizontalAlignment);
    if (style.quotePrefix)
        XmlDom::setAttribute(xf, "quotePrefix", "1");
    return appendUnique(m_cellXfs, m_knownXfs, m_xfNodes, xf);
}

// The format's font with the style's weight and size: an existing font when
// one is alike, else a new one.
void StyleTable::applyFont(pugi::xml_node xf, const CellStyle &style)
{
    const int baseFont = xf.attribute("fontId").as_int(0);
    pugi::xml_document fontDoc;
    pugi::xml_node font = fontDoc.append_copy(
        m_fontNodes[size_t(baseFont >= 0 && size_t(baseFont) < m_fontNodes.size() ? baseFont : 0)]);
    if (style.bold) {
        if (pugi::xml_node b = child(font, "b"))
            font.remove_child(b);
        if (*style.bold)
            font.prepend_child(qualified(m_prefix, "b").constData());
    }
    if (style.fontSize) {
        pugi::xml_node sz = child(font, "sz");
        if (!sz)
            sz = font.append_child(qualified(m_prefix, "sz").constData());
        while (sz.first_attribute())
            sz.remove_attribute(sz.first_attribute());
        sz.append_attribute("val") = *style.fontSize;
    }
    const int fontId = appendUnique(m_fonts, m_knownFonts, m_fontNodes, font);
    XmlDom::setAttribute(xf, "fontId", QByteArray::number(fontId).constData());
    XmlDom::setAttribute(xf, "applyFont", "1");
}

// The format's border with the style's edges: an existing border when one is
// alike, else a new one.
void StyleTable::applyBorders(pugi::xml_node xf, const std::array<std::optional<BorderLine>, EdgeCount> &lines)
{
    const int baseBorder = xf.attribute("borderId").as_int(0);
    const pugi::xml_node original
        = m_borderNodes[size_t(baseBorder >= 0 && size_t(baseBorder) < m_borderNodes.size() ? baseBorder : 0)];
    pugi::xml_document borderDoc;
    const pugi::xml_node border = rebuiltBorder(borderDoc, original, lines);
    const int borderId = appendUnique(m_borders, m_knownBorders, m_borderNodes, border);
    XmlDom::setAttribute(xf, "borderId", QByteArray::number(borderId).constData());
    XmlDom::setAttribute(xf, "applyBorder", "1");
}

// A border rebuilt in the schema's order in `doc`: the edges the style sets
// drawn anew, the others keeping the template's line.
pugi::xml_node StyleTable::rebuiltBorder(pugi::xml_document &doc, const pugi::xml_node &original,
    const std::array<std::optional<BorderLine>, EdgeCount> &lines) const
{
    pugi::xml_node border = doc.append_child(qualified(m_prefix, "border").constData());
    for (pugi::xml_attribute a = original.first_attribute(); a; a = a.next_attribute())
        border.append_attribute(a.name()) = a.value();
    const auto copyEdge = [&](const char *name, const char *alternative) {
        const pugi::xml_node source = XmlDom::childOr(original, name, alternative);
        pugi::xml_node edge
            = source ? border.append_copy(source) : border.append_child(qualified(m_prefix, name).constData());
        edge.set_name(qualified(m_prefix, name).constData());
        return edge;
    };
    const std::pair<CellEdge, pugi::xml_node> sides[]
        = {{EdgeLeft, copyEdge("left", "start")}, {EdgeRight, copyEdge("right", "end")},
            {EdgeTop, copyEdge("top", nullptr)}, {EdgeBottom, copyEdge("bottom", nullptr)}};
    const pugi::xml_node diagonal = copyEdge("diagonal", nullptr);
    for (const char *extra : {"vertical", "horizontal"}) {
        if (pugi::xml_node e = child(original, extra))
            border.append_copy(e);
    }
    for (const auto &[side, edge] : sides) {
        if (lines[side])
            writeEdge(edge, *lines[side], m_prefix);
    }
    for (const auto &[side, attr] :
        {std::pair{EdgeDiagonalDown, "diagonalDown"}, std::pair{EdgeDiagonalUp, "diagonalUp"}}) {
        if (!lines[side])
            continue;
        border.remove_attribute(attr);
        if (!lines[side]->isNone()) {
            border.append_attribute(attr) = 1;
            writeEdge(diagonal, *lines[side], m_prefix);
        }
    }
    return border;
}

// The format's horizontal alignment; the general one is written by leaving it out.
void StyleTable::applyAlignment(pugi::xml_node xf, HAlign horizontal)
{
    pugi::xml_node alignment = child(xf, "alignment");
    if (!alignment)
        alignment = xf.prepend_child(qualified(m_prefix, "alignment").constData());
    alignment.remove_attribute("horizontal");
    if (horizontal != HAlign::General)
        alignment.append_attribute("horizontal") = StyleCodes::horizontalName(horizontal).toUtf8().constData();
    if (!alignment.first_attribute())
        xf.remove_child(alignment);
    XmlDom::setAttribute(xf, "applyAlignment", "1");
}

QByteArray StyleTable::toXml() const
{
    return XmlDom::serializeDocument(m_doc);
}

} // namespace tannbuch
