#include "StyleTable.h"

#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/StyleCodes.h"
#include "workbook/package/XmlDom.h"

#include <cstring>

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

QString prefixOf(const pugi::xml_node &node)
{
    const char *name = node.name();
    const char *colon = std::strchr(name, ':');
    return colon ? QString::fromUtf8(name, int(colon - name + 1)) : QString();
}

QByteArray qualified(const QString &prefix, const char *local)
{
    return (prefix + QString::fromUtf8(local)).toUtf8();
}

// The list element `local` of the style sheet, created in schema order when missing.
pugi::xml_node ensureList(pugi::xml_node root, const char *local)
{
    if (pugi::xml_node existing = child(root, local))
        return existing;
    int rank = 0;
    while (std::strcmp(styleSheetOrder[rank], local) != 0)
        ++rank;
    pugi::xml_node before;
    for (pugi::xml_node c = root.first_child(); c && !before; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        for (int r = rank + 1; r < int(std::size(styleSheetOrder)); ++r) {
            if (is(c, styleSheetOrder[r])) {
                before = c;
                break;
            }
        }
    }
    const QByteArray name = qualified(prefixOf(root), local);
    pugi::xml_node list
        = before ? root.insert_child_before(name.constData(), before) : root.append_child(name.constData());
    list.append_attribute("count") = 0;
    return list;
}

std::vector<pugi::xml_node> elements(const pugi::xml_node &list, const char *local)
{
    std::vector<pugi::xml_node> result;
    for (pugi::xml_node c = list.first_child(); c; c = c.next_sibling()) {
        if (is(c, local))
            result.push_back(c);
    }
    return result;
}

void setCount(pugi::xml_node list, int count)
{
    pugi::xml_attribute attr = list.attribute("count");
    if (!attr)
        attr = list.append_attribute("count");
    attr = count;
}

void setAttr(pugi::xml_node node, const char *name, const char *value)
{
    pugi::xml_attribute attr = node.attribute(name);
    if (!attr)
        attr = node.append_attribute(name);
    attr = value;
}

// The edge element of a border for one of the cell's edges; `line` replaces it.
void writeEdge(pugi::xml_node edge, const BorderLine &line, const QString &prefix)
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
    m_fontNodes = elements(m_fonts, "font");
    m_borderNodes = elements(m_borders, "border");
    m_xfNodes = elements(m_cellXfs, "xf");
    m_templateXfCount = int(m_xfNodes.size());

    if (pugi::xml_node numFmts = child(root, "numFmts")) {
        m_numFmts = numFmts;
        for (pugi::xml_node f : elements(numFmts, "numFmt")) {
            const int id = f.attribute("numFmtId").as_int(-1);
            m_formatIds.insert(QString::fromUtf8(f.attribute("formatCode").value()), id);
            m_nextFormatId = std::max(m_nextFormatId, id + 1);
        }
    }

    // A workbook needs a font, a border and a cell format to point at.
    const QString prefix = prefixOf(root);
    if (m_fontNodes.empty()) {
        pugi::xml_node font = m_fonts.append_child(qualified(prefix, "font").constData());
        font.append_child(qualified(prefix, "sz").constData()).append_attribute("val") = 11;
        font.append_child(qualified(prefix, "name").constData()).append_attribute("val") = "Calibri";
        m_fontNodes.push_back(font);
        setCount(m_fonts, 1);
        m_changed = true;
    }
    if (m_borderNodes.empty()) {
        pugi::xml_node border = m_borders.append_child(qualified(prefix, "border").constData());
        for (const char *edge : {"left", "right", "top", "bottom", "diagonal"})
            border.append_child(qualified(prefix, edge).constData());
        m_borderNodes.push_back(border);
        setCount(m_borders, 1);
        m_changed = true;
    }
    if (m_xfNodes.empty()) {
        pugi::xml_node xf = m_cellXfs.append_child(qualified(prefix, "xf").constData());
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
    pugi::xml_node f = m_numFmts.append_child(qualified(prefixOf(m_doc.document_element()), "numFmt").constData());
    f.append_attribute("numFmtId") = id;
    f.append_attribute("formatCode") = code.toUtf8().constData();
    setCount(m_numFmts, int(elements(m_numFmts, "numFmt").size()));
    m_formatIds.insert(code, id);
    m_changed = true;
    return id;
}

int StyleTable::appendUnique(
    pugi::xml_node list, QHash<QByteArray, int> &known, const pugi::xml_node &candidate, int &count)
{
    const QByteArray key = XmlDom::serialize(candidate);
    const auto it = known.constFind(key);
    if (it != known.constEnd())
        return it.value();
    list.append_copy(candidate);
    const int index = count++;
    known.insert(key, index);
    setCount(list, count);
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

    const QString prefix = prefixOf(m_doc.document_element());
    m_scratch.reset();
    pugi::xml_node xf = m_scratch.append_copy(m_xfNodes[size_t(base)]);

    if (style.numberFormat) {
        setAttr(xf, "numFmtId", QByteArray::number(numberFormatId(*style.numberFormat)).constData());
        setAttr(xf, "applyNumberFormat", "1");
    }

    if (style.bold || style.fontSize) {
        const int baseFont = xf.attribute("fontId").as_int(0);
        pugi::xml_document fontDoc;
        pugi::xml_node font = fontDoc.append_copy(
            m_fontNodes[size_t(baseFont >= 0 && size_t(baseFont) < m_fontNodes.size() ? baseFont : 0)]);
        if (style.bold) {
            if (pugi::xml_node b = child(font, "b"))
                font.remove_child(b);
            if (*style.bold)
                font.prepend_child(qualified(prefix, "b").constData());
        }
        if (style.fontSize) {
            pugi::xml_node sz = child(font, "sz");
            if (!sz)
                sz = font.append_child(qualified(prefix, "sz").constData());
            while (sz.first_attribute())
                sz.remove_attribute(sz.first_attribute());
            sz.append_attribute("val") = *style.fontSize;
        }
        int count = int(m_fontNodes.size());
        const int fontId = appendUnique(m_fonts, m_knownFonts, font, count);
        if (fontId == int(m_fontNodes.size()))
            m_fontNodes.push_back(m_fonts.last_child());
        setAttr(xf, "fontId", QByteArray::number(fontId).constData());
        setAttr(xf, "applyFont", "1");
    }

    if (borders) {
        const int baseBorder = xf.attribute("borderId").as_int(0);
        const pugi::xml_node original
            = m_borderNodes[size_t(baseBorder >= 0 && size_t(baseBorder) < m_borderNodes.size() ? baseBorder : 0)];
        // Rebuilt in the schema's order; edges not overridden keep the template's line.
        pugi::xml_document borderDoc;
        pugi::xml_node border = borderDoc.append_child(qualified(prefix, "border").constData());
        for (pugi::xml_attribute a = original.first_attribute(); a; a = a.next_attribute())
            border.append_attribute(a.name()) = a.value();
        const auto copyEdge = [&](const char *name, const char *alternative) {
            pugi::xml_node source = child(original, name);
            if (!source && alternative)
                source = child(original, alternative);
            pugi::xml_node edge
                = source ? border.append_copy(source) : border.append_child(qualified(prefix, name).constData());
            edge.set_name(qualified(prefix, name).constData());
            return edge;
        };
        pugi::xml_node left = copyEdge("left", "start");
        pugi::xml_node right = copyEdge("right", "end");
        pugi::xml_node top = copyEdge("top", nullptr);
        pugi::xml_node bottom = copyEdge("bottom", nullptr);
        pugi::xml_node diagonal = copyEdge("diagonal", nullptr);
        for (const char *extra : {"vertical", "horizontal"}) {
            if (pugi::xml_node e = child(original, extra))
                border.append_copy(e);
        }
        const auto &b = style.borders;
        if (b[EdgeLeft])
            writeEdge(left, *b[EdgeLeft], prefix);
        if (b[EdgeRight])
            writeEdge(right, *b[EdgeRight], prefix);
        if (b[EdgeTop])
            writeEdge(top, *b[EdgeTop], prefix);
        if (b[EdgeBottom])
            writeEdge(bottom, *b[EdgeBottom], prefix);
        for (const auto &[edge, attr] :
            {std::pair{EdgeDiagonalDown, "diagonalDown"}, std::pair{EdgeDiagonalUp, "diagonalUp"}}) {
            if (!b[edge])
                continue;
            border.remove_attribute(attr);
            if (!b[edge]->isNone()) {
                border.append_attribute(attr) = 1;
                writeEdge(diagonal, *b[edge], prefix);
            }
        }
        int count = int(m_borderNodes.size());
        const int borderId = appendUnique(m_borders, m_knownBorders, border, count);
        if (borderId == int(m_borderNodes.size()))
            m_borderNodes.push_back(m_borders.last_child());
        setAttr(xf, "borderId", QByteArray::number(borderId).constData());
        setAttr(xf, "applyBorder", "1");
    }

    if (style.horizontalAlignment) {
        pugi::xml_node alignment = child(xf, "alignment");
        if (!alignment)
            alignment = xf.prepend_child(qualified(prefix, "alignment").constData());
        alignment.remove_attribute("horizontal");
        if (*style.horizontalAlignment != HAlign::General)
            alignment.append_attribute("horizontal")
                = StyleCodes::horizontalName(*style.horizontalAlignment).toUtf8().constData();
        if (!alignment.first_attribute())
            xf.remove_child(alignment);
        setAttr(xf, "applyAlignment", "1");
    }

    if (style.quotePrefix)
        setAttr(xf, "quotePrefix", "1");

    int count = int(m_xfNodes.size());
    const int index = appendUnique(m_cellXfs, m_knownXfs, xf, count);
    if (index == int(m_xfNodes.size()))
        m_xfNodes.push_back(m_cellXfs.last_child());
    return index;
}

QByteArray StyleTable::toXml() const
{
    return XmlDom::serializeDocument(m_doc);
}
