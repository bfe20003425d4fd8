#pragma once

#include "workbook/cells/Worksheet.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <vector>

namespace tannbuch {

// The drawing part that places a sheet's inserted pictures: each picture is
// anchored with its top left corner at its cell and keeps its size in pixels.
class PictureDrawing
{
public:
    // The drawing part: the template's drawing (existingXml, its pictures and
    // shapes kept) or a new one, with one anchor per picture; imageRelationIds[i]
    // is the drawing's relationship to picture i's image. Throws WorkbookError
    // when the existing drawing is malformed.
    static QByteArray build(const QByteArray *existingXml, const std::vector<Picture> &pictures,
        const std::vector<QString> &imageRelationIds, const QString &fileName);

    // A picture of a drawing part without its image, and the drawing's
    // relationship id of that image.
    struct Placed
    {
        Picture picture;
        QString imageRelationId;
    };
    // The pictures of a drawing part anchored to one cell or between two,
    // each placed at its top left cell at its own size; other shapes are
    // passed over.
    static std::vector<Placed> read(const pugi::xml_document &drawing);

    // The picture's size in pixels: as the model gives it, else read from the image.
    static void pixelSize(const Picture &picture, int &width, int &height);
};

} // namespace tannbuch
