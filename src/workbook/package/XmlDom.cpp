#include "XmlDom.h"

#include "workbook/cells/WorkbookError.h"

#include <algorithm>
#include <cstring>

namespace tannbuch {

namespace {

struct ByteWriter : pugi::xml_writer
{
    QByteArray bytes;
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
};

} // namespace

namespace XmlDom {

void parse(pugi::xml_document &doc, const QByteArray &xml, const QString &partName, const QString &fileName)
{
    const pugi::xml_parse_result result = doc.load_buffer(xml.constData(), size_t(xml.size()),
        pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata, pugi::encoding_auto);
    if (!result || !doc.document_element())
        throw WorkbookError(QStringLiteral("Die Datei \"%1\" ist beschädigt: der Teil \"%2\" enthält fehlerhaftes XML "
                                           "(%3 an Stelle %4).")
                                .arg(fileName, partName, QString::fromUtf8(result.description()))
                                .arg(result.offset));
}

const char *localName(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

bool is(const pugi::xml_node &node, const char *local)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), local) == 0;
}

pugi::xml_node child(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (is(c, local))
            return c;
    }
    return pugi::xml_node();
}

pugi::xml_node childOr(const pugi::xml_node &node, const char *local, const char *alternative)
{
    const pugi::xml_node found = child(node, local);
    return found || !alternative ? found : child(node, alternative);
}

std::vector<pugi::xml_node> children(const pugi::xml_node &node, const char *local)
{
    std::vector<pugi::xml_node> result;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (is(c, local))
            result.push_back(c);
    }
    return result;
}

pugi::xml_attribute attribute(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(localName(a.name()), local) == 0 && std::strncmp(a.name(), "xmlns", 5) != 0)
            return a;
    }
    return pugi::xml_attribute();
}

bool isTrue(const pugi::xml_attribute &attr, bool fallback)
{
    if (!attr)
        return fallback;
    return std::strcmp(attr.value(), "1") == 0 || std::strcmp(attr.value(), "true") == 0;
}

QString text(const pugi::xml_attribute &attr)
{
    return QString::fromUtf8(attr.value());
}

QString text(const pugi::xml_node &node)
{
    return QString::fromUtf8(node.text().get());
}

QByteArray prefixOf(const pugi::xml_node &node)
{
    const char *name = node.name();
    const char *colon = std::strchr(name, ':');
    return colon ? QByteArray(name, int(colon - name + 1)) : QByteArray();
}

QByteArray prefixed(const pugi::xml_node &node, const char *local)
{
    return prefixOf(node) + local;
}

void setAttribute(pugi::xml_node node, const char *name, const char *value)
{
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a = value;
}

pugi::xml_node ensureChild(pugi::xml_node parent, const char *local, std::span<const char *const> order)
{
    if (pugi::xml_node existing = child(parent, local))
        return existing;
    const auto own
        = std::find_if(order.begin(), order.end(), [local](const char *n) { return !std::strcmp(n, local); });
    Q_ASSERT(own != order.end());
    const std::span<const char *const> later(std::next(own), order.end());
    const QByteArray name = prefixed(parent, local);
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (std::any_of(later.begin(), later.end(), [&c](const char *n) { return is(c, n); }))
            return parent.insert_child_before(name.constData(), c);
    }
    return parent.append_child(name.constData());
}

QByteArray serialize(const pugi::xml_node &node)
{
    ByteWriter writer;
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

QByteArray serializeDocument(const pugi::xml_document &doc)
{
    // A declaration read with the part is a node of the document and is
    // written with it; a document built here gets the usual one.
    ByteWriter writer;
    if (doc.first_child().type() != pugi::node_declaration)
        writer.bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.bytes;
}

} // namespace XmlDom

} // namespace tannbuch
