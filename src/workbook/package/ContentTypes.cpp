#include "ContentTypes.h"

#include "workbook/package/OoxmlNames.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <QFileInfo>
#include <QHash>

namespace tannbuch {

namespace {

QString partKey(QString path)
{
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    return path;
}

} // namespace

void ContentTypes::parse(const QByteArray *xml, const QString &fileName)
{
    if (!xml)
        return;
    pugi::xml_document doc;
    XmlDom::parse(doc, *xml, QStringLiteral("[Content_Types].xml"), fileName);
    for (pugi::xml_node n = doc.document_element().first_child(); n; n = n.next_sibling()) {
        if (XmlDom::is(n, "Default"))
            setDefault(XmlDom::text(n.attribute("Extension")), XmlDom::text(n.attribute("ContentType")));
        else if (XmlDom::is(n, "Override"))
            setOverride(XmlDom::text(n.attribute("PartName")), XmlDom::text(n.attribute("ContentType")));
    }
}

void ContentTypes::setDefault(const QString &extension, const QString &type)
{
    const QString key = extension.toLower();
    for (auto &d : defaults) {
        if (d.first == key) {
            d.second = type;
            return;
        }
    }
    defaults.emplace_back(key, type);
}

void ContentTypes::setOverride(const QString &path, const QString &type)
{
    const QString key = partKey(path);
    for (auto &o : overrides) {
        if (o.first.compare(key, Qt::CaseInsensitive) == 0) {
            o.second = type;
            return;
        }
    }
    overrides.emplace_back(key, type);
}

void ContentTypes::removeOverride(const QString &path)
{
    const QString key = partKey(path);
    std::erase_if(overrides, [&](const auto &o) { return o.first.compare(key, Qt::CaseInsensitive) == 0; });
}

bool ContentTypes::covers(const QString &path) const
{
    for (const auto &o : overrides) {
        if (o.first.compare(path, Qt::CaseInsensitive) == 0)
            return true;
    }
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const auto &d : defaults) {
        if (d.first == extension)
            return true;
    }
    return false;
}

QByteArray ContentTypes::toXml() const
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types xmlns=\"";
    out += Ooxml::ContentTypesNs;
    out += "\">";
    for (const auto &[extension, type] : defaults) {
        out += "<Default Extension=\"";
        XmlText::appendAttribute(out, extension);
        out += "\" ContentType=\"";
        XmlText::appendAttribute(out, type);
        out += "\"/>";
    }
    for (const auto &[path, type] : overrides) {
        out += "<Override PartName=\"/";
        XmlText::appendAttribute(out, path);
        out += "\" ContentType=\"";
        XmlText::appendAttribute(out, type);
        out += "\"/>";
    }
    out += "</Types>";
    return out;
}

QString ContentTypes::ofExtension(const QString &extension)
{
    static const QHash<QString, QString> types = {
        {QStringLiteral("png"), QStringLiteral("image/png")},
        {QStringLiteral("jpeg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("jpg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("gif"), QStringLiteral("image/gif")},
        {QStringLiteral("bmp"), QStringLiteral("image/bmp")},
        {QStringLiteral("tif"), QStringLiteral("image/tiff")},
        {QStringLiteral("tiff"), QStringLiteral("image/tiff")},
        {QStringLiteral("emf"), QStringLiteral("image/x-emf")},
        {QStringLiteral("wmf"), QStringLiteral("image/x-wmf")},
        {QStringLiteral("xml"), QStringLiteral("application/xml")},
        {QStringLiteral("rels"), QString::fromLatin1(Ooxml::CtRelationships)},
        {QStringLiteral("vml"), QStringLiteral("application/vnd.openxmlformats-officedocument.vmlDrawing")},
        {QStringLiteral("bin"),
            QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.printerSettings")},
    };
    return types.value(extension.toLower(), QStringLiteral("application/octet-stream"));
}

} // namespace tannbuch
