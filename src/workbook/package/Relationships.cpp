#include "Relationships.h"

#include "workbook/cells/WorkbookError.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <QStringList>

#include <pugixml.hpp>

#include <cstring>

namespace tannbuch {

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isAlpha(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Characters a URI holds as they are anywhere but in its host: the
// unreserved ones and the delimiters of its parts.
bool isPlainUriChar(char c)
{
    if (isAlpha(c) || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("-._~:/?@!$&'()*+,;=", c) != nullptr && c != '\0';
}

void appendEscaped(QByteArray &out, char c)
{
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[(uchar(c) >> 4) & 0xF];
    out += hex[uchar(c) & 0xF];
}

} // namespace

QByteArray Relationships::encodedUri(const QString &target)
{
    const QByteArray in = target.toUtf8();
    const qsizetype n = in.size();

    // The scheme ("https:"), when the reference starts with one.
    qsizetype pos = 0;
    if (n > 0 && isAlpha(in[0])) {
        qsizetype i = 1;
        while (
            i < n && (isAlpha(in[i]) || (in[i] >= '0' && in[i] <= '9') || (in[i] != '\0' && std::strchr("+-.", in[i]))))
            ++i;
        if (i < n && in[i] == ':')
            pos = i + 1;
    }
    const bool hasScheme = pos > 0;
    // The authority ("//host:port") may hold "[" and "]" around an IP literal.
    qsizetype authorityEnd = pos;
    if (in.mid(pos, 2) == "//") {
        authorityEnd = pos + 2;
        while (authorityEnd < n && !std::strchr("/?#", in[authorityEnd]))
            ++authorityEnd;
    }

    QByteArray out;
    out.reserve(n + 16);
    out += in.left(pos);
    bool inFragment = false;
    bool inFirstSegment = !hasScheme; // a relative reference's first segment holds no ":"
    for (qsizetype i = pos; i < n; ++i) {
        const char c = in[i];
        if (c == '%' && i + 2 < n && isHexDigit(in[i + 1]) && isHexDigit(in[i + 2])) {
            out += c; // an escape already
        } else if (c == '#' && !inFragment) {
            inFragment = true;
            out += c;
        } else if ((c == '[' || c == ']') && i < authorityEnd) {
            out += c;
        } else if (c == ':' && inFirstSegment) {
            appendEscaped(out, c);
        } else if (c != '#' && isPlainUriChar(c)) {
            out += c;
        } else {
            appendEscaped(out, c);
        }
        if (c == '/' || c == '?' || c == '#')
            inFirstSegment = false;
    }
    return out;
}

bool Relationship::isType(const char *name) const
{
    const qsizetype slash = type.lastIndexOf(QLatin1Char('/'));
    return QStringView(type).mid(slash + 1) == QLatin1String(name);
}

Relationships Relationships::parse(const QByteArray &xml, const QString &partName)
{
    Relationships result;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(xml.constData(), size_t(xml.size()));
    if (!parsed)
        throw WorkbookError(QStringLiteral("Der Teil \"%1\" der Datei ist beschädigt (%2).")
                                .arg(partName, QString::fromUtf8(parsed.description())));
    for (pugi::xml_node node : doc.document_element().children()) {
        if (!XmlDom::is(node, "Relationship"))
            continue;
        Relationship r;
        r.id = QString::fromUtf8(node.attribute("Id").value());
        r.type = QString::fromUtf8(node.attribute("Type").value());
        r.target = QString::fromUtf8(node.attribute("Target").value());
        r.external = QString::fromUtf8(node.attribute("TargetMode").value())
                         .compare(QLatin1String("External"), Qt::CaseInsensitive)
            == 0;
        result.m_ids.insert(r.id);
        result.m_items.push_back(r);
    }
    return result;
}

const Relationship *Relationships::find(const QString &id) const
{
    for (const Relationship &r : m_items) {
        if (r.id == id)
            return &r;
    }
    return nullptr;
}

const Relationship *Relationships::findType(const char *name) const
{
    for (const Relationship &r : m_items) {
        if (r.isType(name))
            return &r;
    }
    return nullptr;
}

QString Relationships::add(const QString &type, const QString &target, bool external)
{
    int n = int(m_items.size()) + 1;
    QString id;
    do {
        id = QStringLiteral("rId%1").arg(n++);
    } while (m_ids.contains(id));
    m_ids.insert(id);
    m_items.push_back({id, type, target, external});
    return id;
}

void Relationships::removeType(const char *name)
{
    std::erase_if(m_items, [&](const Relationship &r) {
        if (!r.isType(name))
            return false;
        m_ids.remove(r.id);
        return true;
    });
}

QByteArray Relationships::toXml() const
{
    QByteArray out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"";
    out += Ooxml::PackageRelationshipsNs;
    out += "\">";
    for (const Relationship &r : m_items) {
        out += "<Relationship Id=\"";
        XmlText::appendAttribute(out, r.id);
        out += "\" Type=\"";
        XmlText::appendAttribute(out, r.type);
        out += "\" Target=\"";
        XmlText::appendAttribute(out, r.external ? QString::fromUtf8(encodedUri(r.target)) : r.target);
        out += '"';
        if (r.external)
            out += " TargetMode=\"External\"";
        out += "/>";
    }
    out += "</Relationships>";
    return out;
}

QString Relationships::relsPathFor(const QString &partPath)
{
    const qsizetype slash = partPath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : partPath.left(slash + 1);
    const QString name = partPath.mid(slash + 1);
    return folder + QStringLiteral("_rels/") + name + QStringLiteral(".rels");
}

QString Relationships::resolve(const QString &sourcePart, const QString &target)
{
    QStringList parts;
    QString rest = target;
    if (rest.startsWith(QLatin1Char('/'))) {
        rest.remove(0, 1);
    } else {
        const qsizetype slash = sourcePart.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0)
            parts = sourcePart.left(slash).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    }
    for (const QString &segment : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (segment == QLatin1String(".."))
            parts.isEmpty() ? void() : parts.removeLast();
        else if (segment != QLatin1String("."))
            parts.append(segment);
    }
    return parts.join(QLatin1Char('/'));
}

QString Relationships::relativeTarget(const QString &sourcePart, const QString &targetPart)
{
    QStringList from = sourcePart.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!from.isEmpty())
        from.removeLast(); // the source's own file name
    const QStringList to = targetPart.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    qsizetype common = 0;
    while (common < from.size() && common < to.size() - 1 && from[common] == to[common])
        ++common;
    QStringList result;
    for (qsizetype i = common; i < from.size(); ++i)
        result.append(QStringLiteral(".."));
    for (qsizetype i = common; i < to.size(); ++i)
        result.append(to[i]);
    return result.join(QLatin1Char('/'));
}

} // namespace tannbuch
