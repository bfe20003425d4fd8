#include "PictureDrawing.h"

#include "workbook/cells/Worksheet.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/XmlDom.h"
#include "workbook/package/XmlText.h"

#include <QBuffer>
#include <QImageReader>

#include <cstring>

namespace {

constexpr qint64 EmuPerPixel = 9525; // at 96 pixels per inch

} // namespace

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
