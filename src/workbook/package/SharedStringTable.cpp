#include "SharedStringTable.h"

#include "workbook/cells/Cell.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <cstring>

namespace tannbuch {

namespace {

QString plainText(const pugi::xml_node &item, bool &rich)
{
    QString text;
    rich = false;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (XmlDom::is(c, "t")) {
            text += QString::fromUtf8(c.text().get());
        } else if (XmlDom::is(c, "r")) {
            rich = true;
            text += QString::fromUtf8(XmlDom::child(c, "t").text().get());
        }
    }
    return XmlText::decodeCellText(text);
}

} // namespace

SharedStringTable::SharedStringTable(const QByteArray *templateXml, const QString &fileName)
{
    if (!templateXml) {
        m_rootName = "sst";
        m_head = QByteArray("<sst xmlns=\"") + Ooxml::MainNs + '"';
        return;
    }
    pugi::xml_document doc;
    XmlDom::parse(doc, *templateXml, QStringLiteral("sharedStrings.xml"), fileName);
    const pugi::xml_node root = doc.document_element();
    m_rootName = root.name();
    m_prefix = QString::fromUtf8(XmlDom::prefixOf(root));
    m_head = "<" + m_rootName;
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
        if (!std::strcmp(a.name(), "count") || !std::strcmp(a.name(), "uniqueCount"))
            continue;
        XmlText::appendNamedAttribute(m_head, a.name(), QString::fromUtf8(a.value()));
    }
    m_templateReferences = root.attribute("count").as_llong(-1);
    for (pugi::xml_node si = root.first_child(); si; si = si.next_sibling()) {
        if (!XmlDom::is(si, "si"))
            continue;
        bool rich = false;
        const QString text = plainText(si, rich);
        const int index = int(m_templateTexts.size());
        m_templateTexts.push_back(text);
        // Rich template strings are reused only by the cells loaded from them.
        if (!rich && !m_index.contains(text))
            m_index.insert(text, index);
        m_templateItems += XmlDom::serialize(si);
    }
    m_templateCount = int(m_templateTexts.size());
}

bool SharedStringTable::keepsTemplateString(const Cell &cell) const
{
    return cell.sharedString >= 0 && cell.sharedString < m_templateCount
        && m_templateTexts[size_t(cell.sharedString)] == cell.text;
}

int SharedStringTable::indexFor(const Cell &cell)
{
    if (keepsTemplateString(cell)) {
        ++m_references;
        return cell.sharedString;
    }
    return indexFor(cell.text);
}

int SharedStringTable::indexOf(const Cell &cell) const
{
    return keepsTemplateString(cell) ? cell.sharedString : indexOf(cell.text);
}

int SharedStringTable::indexOf(const QString &text) const
{
    return m_index.value(text, -1);
}

int SharedStringTable::indexFor(const QString &text)
{
    ++m_references;
    const auto it = m_index.constFind(text);
    if (it != m_index.constEnd())
        return it.value();
    const int index = m_templateCount + int(m_added.size());
    m_added.push_back(text);
    m_index.insert(text, index);
    return index;
}

void SharedStringTable::addKeptSheet(const QByteArray &sheetXml, const QString &partName, const QString &fileName)
{
    pugi::xml_document doc;
    XmlDom::parse(doc, sheetXml, partName, fileName);
    const pugi::xml_node data = XmlDom::child(doc.document_element(), "sheetData");
    for (pugi::xml_node row = data.first_child(); row; row = row.next_sibling()) {
        if (!XmlDom::is(row, "row"))
            continue;
        for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
            if (XmlDom::is(c, "c") && !std::strcmp(c.attribute("t").value(), "s"))
                ++m_references;
        }
    }
}

QByteArray SharedStringTable::toXml() const
{
    const int unique = m_templateCount + int(m_added.size());
    QByteArray out;
    qsizetype estimate = m_templateItems.size() + 64;
    for (const QString &s : m_added)
        estimate += s.size() + 16;
    out.reserve(estimate);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    out += m_head;
    out += " count=\"" + QByteArray::number(m_references) + "\" uniqueCount=\"" + QByteArray::number(unique) + "\">";
    out += m_templateItems;
    const QByteArray si = "<" + m_prefix.toUtf8() + "si>";
    const QByteArray siEnd = "</" + m_prefix.toUtf8() + "si>";
    const QByteArray t = "<" + m_prefix.toUtf8() + "t>";
    const QByteArray tPreserve = "<" + m_prefix.toUtf8() + "t xml:space=\"preserve\">";
    const QByteArray tEnd = "</" + m_prefix.toUtf8() + "t>";
    for (const QString &text : m_added) {
        out += si;
        out += XmlText::needsSpacePreserve(text) ? tPreserve : t;
        XmlText::appendCellText(out, text);
        out += tEnd;
        out += siEnd;
    }
    out += "</" + m_rootName + ">";
    return out;
}

} // namespace tannbuch
