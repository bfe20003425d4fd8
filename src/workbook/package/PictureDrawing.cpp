#include "PictureDrawing.h"

#include "workbook/cells/Worksheet.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <QBuffer>
#include <QImageReader>

#include <cstring>
#include <optional>

namespace tannbuch {

namespace {

constexpr qint64 EmuPerPixel = 9525; // at 96 pixels per inch

// The first descendant element of that local name, in any namespace.
pugi::xml_node descendant(const pugi::xml_node &node, const char *local)
{
    return node.find_node([local](const pugi::xml_node &n) {
        return n.type() == pugi::node_element && std::strcmp(XmlDom::localName(n.name()), local) == 0;
    });
}

// An attribute by its local name, whatever the prefix ("r:embed").
pugi::xml_attribute attributeNamed(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(XmlDom::localName(a.name()), local) == 0)
            return a;
    }
    return pugi::xml_attribute();
}

int pixels(const pugi::xml_attribute &emu)
{
    return int((emu.as_llong(0) + EmuPerPixel / 2) / EmuPerPixel);
}

// A picture anchor's picture without its image, or nothing for another
// anchor (a shape, a chart, a group) or one without an image.
std::optional<PictureDrawing::Placed> placedPicture(const pugi::xml_node &anchor)
{
    const char *kind = XmlDom::localName(anchor.name());
    if (std::strcmp(kind, "oneCellAnchor") != 0 && std::strcmp(kind, "twoCellAnchor") != 0)
        return std::nullopt;
    const pugi::xml_node pic = XmlDom::child(anchor, "pic");
    const pugi::xml_node from = XmlDom::child(anchor, "from");
    const QString imageId = XmlDom::text(attributeNamed(descendant(pic, "blip"), "embed"));
    if (!pic || !from || imageId.isEmpty())
        return std::nullopt;
    PictureDrawing::Placed placed;
    placed.imageRelationId = imageId;
    Picture &p = placed.picture;
    p.anchor.row = XmlDom::text(XmlDom::child(from, "row")).toInt() + 1;
    p.anchor.column = XmlDom::text(XmlDom::child(from, "col")).toInt() + 1;
    p.name = XmlDom::text(descendant(pic, "cNvPr").attribute("name"));
    // A one-cell anchor has its size; a two-cell one's shape has it too.
    pugi::xml_node extent = XmlDom::child(anchor, "ext");
    if (!extent)
        extent = descendant(descendant(pic, "xfrm"), "ext");
    p.widthPx = pixels(extent.attribute("cx"));
    p.heightPx = pixels(extent.attribute("cy"));
    return placed;
}

} // namespace

std::vector<PictureDrawing::Placed> PictureDrawing::read(const pugi::xml_document &drawing)
{
    std::vector<Placed> pictures;
    for (const pugi::xml_node &anchor : drawing.document_element().children()) {
        if (std::optional<Placed> placed = placedPicture(anchor))
            pictures.push_back(std::move(*placed));
    }
    return pictures;
}

void PictureDrawing::pixelSize(const Picture &picture, int &width, int &height)
{
    width = picture.widthPx;
    height = picture.heightPx;
    if (width > 0 && height > 0)
        return;
    QByteArray data = picture.data;
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    width = size.width() > 0 ? size.width() : 100;
    height = size.height() > 0 ? size.height() : 100;
}

QByteArray PictureDrawing::build(const QByteArray *existingXml, const std::vector<Picture> &pictures,
    const std::vector<QString> &imageRelationIds, const QString &fileName)
{
    pugi::xml_document doc;
    if (existingXml) {
        XmlDom::parse(doc, *existingXml, QStringLiteral("drawing"), fileName);
    } else {
        pugi::xml_node root = doc.append_child("xdr:wsDr");
        root.append_attribute("xmlns:xdr") = Ooxml::DrawingNs;
        root.append_attribute("xmlns:a") = Ooxml::DrawingMainNs;
    }
    pugi::xml_node root = doc.document_element();

    // The new anchors use the prefixes the part already declares.
    QByteArray xdr = "xdr";
    if (const char *colon = std::strchr(root.name(), ':'))
        xdr = QByteArray(root.name(), int(colon - root.name()));
    else
        root.append_attribute("xmlns:xdr") = Ooxml::DrawingNs;
    if (!root.attribute("xmlns:a"))
        root.append_attribute("xmlns:a") = Ooxml::DrawingMainNs;
    if (!root.attribute("xmlns:r"))
        root.append_attribute("xmlns:r") = Ooxml::RelationshipsNs;

    int nextId = 1;
    for (const pugi::xpath_node &n : root.select_nodes("//*[local-name()='cNvPr']"))
        nextId = std::max(nextId, n.node().attribute("id").as_int(0) + 1);

    for (size_t i = 0; i < pictures.size() && i < imageRelationIds.size(); ++i) {
        const Picture &picture = pictures[i];
        int width = 0;
        int height = 0;
        pixelSize(picture, width, height);
        const QByteArray cx = QByteArray::number(qint64(width) * EmuPerPixel);
        const QByteArray cy = QByteArray::number(qint64(height) * EmuPerPixel);
        const int id = nextId++;
        QByteArray name;
        XmlText::appendAttribute(name, picture.name.isEmpty() ? QStringLiteral("Bild %1").arg(id) : picture.name);
        QByteArray rel;
        XmlText::appendAttribute(rel, imageRelationIds[i]);

        QByteArray anchor;
        const QByteArray p = xdr + ':';
        anchor += "<" + p + "oneCellAnchor><" + p + "from><" + p + "col>"
            + QByteArray::number(std::max(0, picture.anchor.column - 1)) + "</" + p + "col><" + p + "colOff>0</" + p
            + "colOff><" + p + "row>" + QByteArray::number(std::max(0, picture.anchor.row - 1)) + "</" + p + "row><" + p
            + "rowOff>0</" + p + "rowOff></" + p + "from>";
        anchor += "<" + p + "ext cx=\"" + cx + "\" cy=\"" + cy + "\"/>";
        anchor += "<" + p + "pic><" + p + "nvPicPr><" + p + "cNvPr id=\"" + QByteArray::number(id) + "\" name=\"" + name
            + "\"/><" + p + "cNvPicPr><a:picLocks noChangeAspect=\"1\"/></" + p + "cNvPicPr></" + p + "nvPicPr>";
        anchor += "<" + p + "blipFill><a:blip r:embed=\"" + rel + "\"/><a:stretch><a:fillRect/></a:stretch></" + p
            + "blipFill>";
        anchor += "<" + p + "spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" + cx + "\" cy=\"" + cy
            + "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></" + p + "spPr></" + p + "pic>";
        anchor += "<" + p + "clientData/></" + p + "oneCellAnchor>";
        root.append_buffer(anchor.constData(), size_t(anchor.size()));
    }
    return XmlDom::serializeDocument(doc);
}

} // namespace tannbuch
