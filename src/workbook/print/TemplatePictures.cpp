#include "TemplatePictures.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/PictureDrawing.h"
#include "workbook/package/Relationships.h"
#include "workbook/package/TemplatePackage.h"
#include "workbook/package/XmlDom.h"

#include <QFileInfo>

namespace tannbuch {

namespace {

Relationships relationshipsOf(const TemplatePackage &package, const QString &part)
{
    const QByteArray *xml = package.part(Relationships::relsPathFor(part));
    return xml ? Relationships::parse(*xml, part) : Relationships();
}

// The drawing part of the sheet at that model index; empty for none.
QString drawingPartOf(const TemplatePackage &package, int sheetIndex)
{
    for (const TemplatePackage::SheetInfo &info : package.sheets) {
        if (info.modelIndex != sheetIndex)
            continue;
        const Relationships rels = relationshipsOf(package, info.partPath);
        const Relationship *drawing = rels.findType(Ooxml::RelDrawing);
        return drawing && !drawing->external ? Relationships::resolve(info.partPath, drawing->target) : QString();
    }
    return QString();
}

std::vector<Picture> picturesOf(const TemplatePackage &package, const QString &drawingPart)
{
    const QByteArray *xml = package.part(drawingPart);
    if (!xml)
        return {};
    pugi::xml_document doc;
    XmlDom::parse(doc, *xml, drawingPart, QString());
    const Relationships rels = relationshipsOf(package, drawingPart);
    std::vector<Picture> pictures;
    for (PictureDrawing::Placed &placed : PictureDrawing::read(doc)) {
        const Relationship *image = rels.find(placed.imageRelationId);
        if (!image || image->external)
            continue;
        const QByteArray *data = package.part(Relationships::resolve(drawingPart, image->target));
        if (!data)
            continue;
        placed.picture.data = *data;
        placed.picture.extension = QFileInfo(image->target).suffix().toLower();
        pictures.push_back(std::move(placed.picture));
    }
    return pictures;
}

} // namespace

std::vector<Picture> templatePictures(const Workbook &workbook, int sheetIndex)
{
    const auto &package = workbook.package();
    if (!package)
        return {};
    try {
        const QString drawingPart = drawingPartOf(*package, sheetIndex);
        return drawingPart.isEmpty() ? std::vector<Picture>() : picturesOf(*package, drawingPart);
    } catch (const WorkbookError &) {
        return {}; // saving keeps the drawing as it is; the pages go without its pictures
    }
}

} // namespace tannbuch
