#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <span>
#include <vector>

namespace tannbuch {

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
// The first child element of that local name, else of the alternative one
// (when not null), as for an edge of a border, "left" or "start".
pugi::xml_node childOr(const pugi::xml_node &node, const char *local, const char *alternative);
// The child elements of that local name, in order.
std::vector<pugi::xml_node> children(const pugi::xml_node &node, const char *local);
// An attribute by its local name ("id" finds "r:id"); empty attribute when none.
pugi::xml_attribute attribute(const pugi::xml_node &node, const char *local);
// A yes-or-no attribute: true for "1" and "true", `fallback` when the
// attribute is missing.
bool isTrue(const pugi::xml_attribute &attr, bool fallback = false);
// The attribute's value as QString.
QString text(const pugi::xml_attribute &attr);
// The element's direct text content as QString.
QString text(const pugi::xml_node &node);

// The prefix of the node's name with its colon ("x:"); empty when it has none.
QByteArray prefixOf(const pugi::xml_node &node);
// The local name spelt with the node's prefix, for an element added beside or
// below it, so a part keeps one spelling throughout.
QByteArray prefixed(const pugi::xml_node &node, const char *local);
// Sets the attribute, adding it behind the others when the node lacks it.
void setAttribute(pugi::xml_node node, const char *name, const char *value);
// The child element of that local name. When there is none, it is created
// empty, with the parent's prefix, before the first child that `order` (the
// children's local names in the order the file format demands, `local` among
// them) puts behind it.
pugi::xml_node ensureChild(pugi::xml_node parent, const char *local, std::span<const char *const> order);

// The node serialised without formatting, as UTF-8.
QByteArray serialize(const pugi::xml_node &node);
// The document serialised with its declaration, as UTF-8.
QByteArray serializeDocument(const pugi::xml_document &doc);

} // namespace XmlDom

} // namespace tannbuch
