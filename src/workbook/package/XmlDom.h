#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

// Small helpers over pugixml for the file layer. Parts may spell their
// elements with a namespace prefix ("x:row"), so elements are found by their
// local name.
namespace XmlDom {

// Parses a part; throws WorkbookError naming the part and the file when the
// XML is malformed. White space in texts is kept.
void parse(pugi::xml_document &doc, const QByteArray &xml, const QString &partName, const QString &fileName);

// The name without its prefix.
const char *localName(const char *name);
bool is(const pugi::xml_node &node, const char *local);
// The first child element of that local name (empty node when none).
pugi::xml_node child(const pugi::xml_node &node, const char *local);
// An attribute by its local name ("id" finds "r:id"); empty attribute when none.
pugi::xml_attribute attribute(const pugi::xml_node &node, const char *local);
// The attribute's value as QString.
QString text(const pugi::xml_attribute &attr);
// The element's direct text content as QString.
QString text(const pugi::xml_node &node);

// The node serialised without formatting, as UTF-8.
QByteArray serialize(const pugi::xml_node &node);
// The document serialised with its declaration, as UTF-8.
QByteArray serializeDocument(const pugi::xml_document &doc);

} // namespace XmlDom
