#include "common/WorkbookValidation.h"

#include "workbook/cells/WorkbookError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <map>
#include <memory>
#include <mutex>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace workbookvalidation {

namespace {

const char *const MarkupCompatibilityNs = "http://schemas.openxmlformats.org/markup-compatibility/2006";
const char *const SpreadsheetNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *const XmlNs = "http://www.w3.org/XML/1998/namespace";

// The rules the schemas cannot state.
constexpr int MaxHyperlinksPerSheet = 65530;
constexpr int MaxRowBreaksPerSheet = 1026;

// The schema a part of this content type is validated against (relative to
// the schema folder); empty for parts no schema covers (images, themes,
// printer settings, legacy drawings).
QString schemaForContentType(const QString &type)
{
    static const std::pair<const char *, const char *> table[] = {
        {"spreadsheetml.sheet.main+xml", "sml.xsd"},
        {"spreadsheetml.template.main+xml", "sml.xsd"},
        {"spreadsheetml.worksheet+xml", "sml.xsd"},
        {"spreadsheetml.styles+xml", "sml.xsd"},
        {"spreadsheetml.sharedStrings+xml", "sml.xsd"},
        {"spreadsheetml.calcChain+xml", "sml.xsd"},
        {"officedocument.drawing+xml", "dml-spreadsheetDrawing.xsd"},
        {"package.core-properties+xml", "stubs/opc-coreProperties-local.xsd"},
        {"officedocument.custom-properties+xml", "shared-documentPropertiesCustom.xsd"},
        {"officedocument.extended-properties+xml", "shared-documentPropertiesExtended.xsd"},
        {"package.relationships+xml", "opc-xsd/opc-relationships.xsd"},
    };
    for (const auto &[suffix, schema] : table) {
        if (type.endsWith(QLatin1String(suffix)))
            return QString::fromLatin1(schema);
    }
    return QString();
}

// Without const, as libxml2 releases before 2.12 declare the callback.
void collectError(void *context, xmlError *error)
{
    auto *messages = static_cast<QStringList *>(context);
    if (!error || error->level < XML_ERR_ERROR)
        return;
    messages->append(u"%1: %2"_s.arg(error->line).arg(QString::fromUtf8(error->message).trimmed()));
}

struct SchemaDeleter
{
    void operator()(xmlSchema *schema) const { xmlSchemaFree(schema); }
};

// The parsed schemas, kept for the life of the process: the spreadsheet
// schema alone takes a second to read.
class SchemaCache
{
public:
    // The schema at path, or nullptr with the reason in error.
    xmlSchema *get(const QString &path, QString &error)
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_schemas.find(path);
        if (it != m_schemas.end()) {
            error = it->second.error;
            return it->second.schema.get();
        }
        Entry entry;
        QStringList messages;
        if (!QFileInfo(path).isFile()) {
            entry.error = u"Schema fehlt: %1"_s.arg(path);
        } else {
            xmlSchemaParserCtxt *parser = xmlSchemaNewParserCtxt(QFile::encodeName(path).constData());
            xmlSchemaSetParserStructuredErrors(parser, collectError, &messages);
            entry.schema.reset(xmlSchemaParse(parser));
            xmlSchemaFreeParserCtxt(parser);
            if (!entry.schema)
                entry.error = u"Schema %1 nicht lesbar: %2"_s.arg(path, messages.join(QLatin1String("; ")));
        }
        error = entry.error;
        return m_schemas.emplace(path, std::move(entry)).first->second.schema.get();
    }

private:
    struct Entry
    {
        std::unique_ptr<xmlSchema, SchemaDeleter> schema;
        QString error;
    };
    std::mutex m_mutex;
    std::map<QString, Entry> m_schemas;
};

SchemaCache &schemaCache()
{
    static SchemaCache cache;
    return cache;
}

struct DocDeleter
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocDeleter>;

bool hasNamespace(const xmlNode *node, const char *uri)
{
    return node->ns && node->ns->href && !xmlStrcmp(node->ns->href, BAD_CAST uri);
}

// Applies the markup compatibility rules a reader applies before it looks at
// a part: content in the namespaces an element declares ignorable goes, an
// alternate content block is replaced by its fallback. Also drops xml:space
// on spreadsheet text elements, which spreadsheet programs write although
// the published schema leaves it out.
void applyMarkupCompatibility(xmlNode *node, QStringList ignorable)
{
    if (const xmlChar *value = xmlGetNsProp(node, BAD_CAST "Ignorable", BAD_CAST MarkupCompatibilityNs)) {
        const QStringList prefixes
            = QString::fromUtf8(reinterpret_cast<const char *>(value)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        xmlFree(const_cast<xmlChar *>(value));
        for (const QString &prefix : prefixes) {
            if (xmlNs *ns = xmlSearchNs(node->doc, node, BAD_CAST prefix.toUtf8().constData()))
                ignorable.append(QString::fromUtf8(reinterpret_cast<const char *>(ns->href)));
        }
    }
    const auto ignored = [&](const xmlNs *ns) {
        if (!ns || !ns->href)
            return false;
        const QString uri = QString::fromUtf8(reinterpret_cast<const char *>(ns->href));
        return uri == QLatin1String(MarkupCompatibilityNs) || ignorable.contains(uri);
    };
    for (xmlAttr *a = node->properties; a;) {
        xmlAttr *next = a->next;
        const bool spaceOnText = node->ns && hasNamespace(node, SpreadsheetNs) && !xmlStrcmp(node->name, BAD_CAST "t")
            && a->ns && !xmlStrcmp(a->ns->href, BAD_CAST XmlNs) && !xmlStrcmp(a->name, BAD_CAST "space");
        if (ignored(a->ns) || spaceOnText)
            xmlRemoveProp(a);
        a = next;
    }
    for (xmlNode *c = node->children; c;) {
        xmlNode *next = c->next;
        if (c->type != XML_ELEMENT_NODE) {
            c = next;
            continue;
        }
        if (hasNamespace(c, MarkupCompatibilityNs) && !xmlStrcmp(c->name, BAD_CAST "AlternateContent")) {
            // The fallback's children take the block's place.
            for (xmlNode *f = c->children; f; f = f->next) {
                if (f->type == XML_ELEMENT_NODE && !xmlStrcmp(f->name, BAD_CAST "Fallback")) {
                    for (xmlNode *g = f->children; g;) {
                        xmlNode *gNext = g->next;
                        xmlUnlinkNode(g);
                        xmlAddPrevSibling(c, g);
                        if (g->type == XML_ELEMENT_NODE)
                            applyMarkupCompatibility(g, ignorable);
                        g = gNext;
                    }
                }
            }
            xmlUnlinkNode(c);
            xmlFreeNode(c);
        } else if (ignored(c->ns)) {
            xmlUnlinkNode(c);
            xmlFreeNode(c);
        } else {
            applyMarkupCompatibility(c, ignorable);
        }
        c = next;
    }
}

// RFC 3986 URI-reference, as a pattern built from the grammar's rules.
const QRegularExpression &uriPattern()
{
    static const QRegularExpression pattern = [] {
        const QString pct = u"%[0-9A-Fa-f]{2}"_s;
        const QString unreserved = u"A-Za-z0-9\\-._~"_s;
        const QString subDelims = u"!$&'()*+,;="_s;
        const QString pchar = u"(?:[%1%2:@]|%3)"_s.arg(unreserved, subDelims, pct);
        const QString segmentNzNc = u"(?:[%1%2@]|%3)+"_s.arg(unreserved, subDelims, pct);
        const QString scheme = u"[A-Za-z][A-Za-z0-9+.\\-]*"_s;
        const QString userinfo = u"(?:[%1%2:]|%3)*@"_s.arg(unreserved, subDelims, pct);
        const QString ipLiteral = u"\\[(?:[0-9A-Fa-f:.]+|v[0-9A-Fa-f]+\\.[%1%2:]+)\\]"_s.arg(unreserved, subDelims);
        const QString regName = u"(?:[%1%2]|%3)*"_s.arg(unreserved, subDelims, pct);
        const QString authority = u"(?:%1)?(?:%2|%3)(?::[0-9]*)?"_s.arg(userinfo, ipLiteral, regName);
        const QString pathAbempty = u"(?:/%1*)*"_s.arg(pchar);
        const QString pathAbsolute = u"/(?:%1+(?:/%1*)*)?"_s.arg(pchar);
        const QString pathRootless = u"%1+(?:/%1*)*"_s.arg(pchar);
        const QString pathNoscheme = u"%1(?:/%2*)*"_s.arg(segmentNzNc, pchar);
        const QString tail = u"(?:\\?(?:%1|[/?])*)?(?:#(?:%1|[/?])*)?"_s.arg(pchar);
        const QString uri = u"%1:(?://%2%3|%4|%5|)"_s.arg(scheme, authority, pathAbempty, pathAbsolute, pathRootless);
        const QString relative = u"(?://%1%2|%3|%4|)"_s.arg(authority, pathAbempty, pathAbsolute, pathNoscheme);
        return QRegularExpression(u"\\A(?:%1|%2)%3\\z"_s.arg(uri, relative, tail));
    }();
    return pattern;
}

// The content type of each part from [Content_Types].xml.
QHash<QString, QString> contentTypes(const QByteArray &xml, QStringList &faults)
{
    QHash<QString, QString> defaults;
    QHash<QString, QString> overrides;
    Doc doc(xmlReadMemory(xml.constData(), int(xml.size()), "[Content_Types].xml", nullptr, XML_PARSE_NONET));
    if (!doc) {
        faults.append(u"[Content_Types].xml: kein wohlgeformtes XML"_s);
        return {};
    }
    for (xmlNode *n = xmlDocGetRootElement(doc.get())->children; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE)
            continue;
        const auto attr = [n](const char *name) {
            xmlChar *v = xmlGetProp(n, BAD_CAST name);
            const QString s = v ? QString::fromUtf8(reinterpret_cast<const char *>(v)) : QString();
            xmlFree(v);
            return s;
        };
        if (!xmlStrcmp(n->name, BAD_CAST "Default"))
            defaults.insert(attr("Extension").toLower(), attr("ContentType"));
        else if (!xmlStrcmp(n->name, BAD_CAST "Override"))
            overrides.insert(attr("PartName").mid(1).toLower(), attr("ContentType"));
    }
    QHash<QString, QString> result = overrides;
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        result.insert(u"*."_s + it.key(), it.value());
    return result;
}

QString typeOf(const QHash<QString, QString> &types, const QString &part)
{
    const auto o = types.constFind(part.toLower());
    if (o != types.constEnd())
        return o.value();
    return types.value(u"*."_s + QFileInfo(part).suffix().toLower());
}

int countElements(const xmlNode *node, const char *ns, const char *name)
{
    int n = 0;
    for (const xmlNode *c = node->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE)
            continue;
        if (hasNamespace(c, ns) && !xmlStrcmp(c->name, BAD_CAST name))
            ++n;
        n += countElements(c, ns, name);
    }
    return n;
}

// Relationship targets that are no valid URI reference.
void checkTargets(const QString &part, xmlNode *root, QStringList &faults)
{
    for (xmlNode *r = root->children; r; r = r->next) {
        if (r->type != XML_ELEMENT_NODE || xmlStrcmp(r->name, BAD_CAST "Relationship"))
            continue;
        xmlChar *target = xmlGetProp(r, BAD_CAST "Target");
        const QString text = target ? QString::fromUtf8(reinterpret_cast<const char *>(target)) : QString();
        xmlFree(target);
        if (!isUriReference(text))
            faults.append(u"%1:%2: Ziel \"%3\" ist kein gültiger URI"_s.arg(part).arg(r->line).arg(text));
    }
}

} // namespace

QString schemaFolder()
{
    return QStringLiteral(TANNBUCH_OOXML_XSD_DIR);
}

bool isUriReference(const QString &text)
{
    return uriPattern().match(text).hasMatch();
}

QStringList problems(const std::vector<ZipEntry> &entries, const QString &schemas)
{
    QStringList faults;
    if (!QFileInfo(schemas).isDir()) {
        faults.append(u"Der Ordner der Schemas fehlt: %1"_s.arg(schemas));
        return faults;
    }
    const ZipEntry *typesEntry = nullptr;
    for (const ZipEntry &e : entries) {
        if (e.name == QLatin1String("[Content_Types].xml"))
            typesEntry = &e;
    }
    if (!typesEntry) {
        faults.append(u"[Content_Types].xml fehlt"_s);
        return faults;
    }
    const QHash<QString, QString> types = contentTypes(typesEntry->data, faults);

    for (const ZipEntry &e : entries) {
        QString schema;
        if (&e == typesEntry)
            schema = u"opc-xsd/opc-contentTypes.xsd"_s;
        else
            schema = schemaForContentType(typeOf(types, e.name));
        const bool isRels = e.name.endsWith(QLatin1String(".rels"));
        const bool isSheet = typeOf(types, e.name).endsWith(QLatin1String("worksheet+xml"));
        if (schema.isEmpty() && !isRels)
            continue;
        if (schema.isEmpty())
            schema = u"opc-xsd/opc-relationships.xsd"_s;

        Doc doc(xmlReadMemory(e.data.constData(), int(e.data.size()), e.name.toUtf8().constData(), nullptr,
            XML_PARSE_NONET | XML_PARSE_HUGE));
        if (!doc || !xmlDocGetRootElement(doc.get())) {
            faults.append(u"%1: kein wohlgeformtes XML"_s.arg(e.name));
            continue;
        }
        xmlNode *root = xmlDocGetRootElement(doc.get());
        if (isRels)
            checkTargets(e.name, root, faults);
        if (isSheet) {
            const int links = countElements(root, SpreadsheetNs, "hyperlink");
            if (links > MaxHyperlinksPerSheet)
                faults.append(u"%1: %2 Hyperlinks, höchstens %3"_s.arg(e.name).arg(links).arg(MaxHyperlinksPerSheet));
            int breaks = 0;
            for (xmlNode *c = root->children; c; c = c->next) {
                if (c->type == XML_ELEMENT_NODE && !xmlStrcmp(c->name, BAD_CAST "rowBreaks"))
                    breaks += countElements(c, SpreadsheetNs, "brk");
            }
            if (breaks > MaxRowBreaksPerSheet)
                faults.append(
                    u"%1: %2 Zeilenumbrüche, höchstens %3"_s.arg(e.name).arg(breaks).arg(MaxRowBreaksPerSheet));
        }

        QString error;
        xmlSchema *parsed = schemaCache().get(QDir(schemas).filePath(schema), error);
        if (!parsed) {
            faults.append(u"%1: %2"_s.arg(e.name, error));
            continue;
        }
        applyMarkupCompatibility(root, {});
        QStringList messages;
        xmlSchemaValidCtxt *validator = xmlSchemaNewValidCtxt(parsed);
        xmlSchemaSetValidStructuredErrors(validator, collectError, &messages);
        const int result = xmlSchemaValidateDoc(validator, doc.get());
        xmlSchemaFreeValidCtxt(validator);
        for (const QString &m : messages)
            faults.append(e.name + QLatin1Char(':') + m);
        if (result != 0 && messages.isEmpty())
            faults.append(u"%1: ungültig gegen %2"_s.arg(e.name, schema));
    }
    return faults;
}

QStringList problems(const QString &path)
{
    try {
        return problems(ZipArchive::read(path));
    } catch (const WorkbookError &e) {
        return {u"%1: %2"_s.arg(path, e.message())};
    }
}

void expectValid(const QString &path)
{
    const QStringList faults = problems(path);
    EXPECT_TRUE(faults.isEmpty()) << path.toStdString() << " is not sound:\n"
                                  << faults.mid(0, 20).join(QLatin1Char('\n')).toStdString();
}

} // namespace workbookvalidation

} // namespace tannbuch
