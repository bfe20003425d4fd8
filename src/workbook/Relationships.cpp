#include "Relationships.h"

#include "OoxmlNames.h"
#include "WorkbookError.h"
#include "XmlText.h"

#include <QStringList>

#include <pugixml.hpp>

#include <cstring>

namespace {

const char *localName(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

} // namespace

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
        if (node.type() != pugi::node_element || std::strcmp(localName(node.name()), "Relationship") != 0)
            continue;
        Relationship r;
        r.id = QString::fromUtf8(node.attribute("Id").value());
        r.type = QString::fromUtf8(node.attribute("Type").value());
        r.target = QString::fromUtf8(node.attribute("Target").value());
        r.external = QString::fromUtf8(node.attribute("TargetMode").value())
                         .compare(QLatin1String("External"), Qt::CaseInsensitive)
            == 0;
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
    } while (find(id));
    m_items.push_back({id, type, target, external});
    return id;
}

void Relationships::removeType(const char *name)
{
    std::erase_if(m_items, [name](const Relationship &r) { return r.isType(name); });
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
        XmlText::appendAttribute(out, r.target);
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
