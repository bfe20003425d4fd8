#include "Pictures.h"

#include "text/BoundedFile.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/Worksheet.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <cmath>
#include <utility>

namespace tannbuch {

Pictures::Pictures(const SheetHandle &sheet)
    : m_sheet(sheet)
{ }

int Pictures::count() const
{
    return int(m_sheet.worksheet().pictures().size());
}

int Pictures::insert(const QString &path) const
{
    BoundedFile::Result file = BoundedFile::read(path, SheetLimits::MaxPictureBytes, QStringLiteral("Das Bild"));
    if (file.problem != BoundedFile::Problem::None)
        throw WorkbookError(file.message);
    const QByteArray data = std::move(file.data);

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    QString extension;
    if (format == "png")
        extension = QStringLiteral("png");
    else if (format == "jpeg" || format == "jpg")
        extension = QStringLiteral("jpeg");
    else if (format == "gif")
        extension = QStringLiteral("gif");
    else if (format == "bmp")
        extension = QStringLiteral("bmp");
    else if (format == "tif" || format == "tiff")
        extension = QStringLiteral("tiff");
    const QImage image = reader.read();
    if (extension.isEmpty() || image.isNull())
        throw WorkbookError(QStringLiteral("Die Datei \"%1\" ist kein Bild, das in eine Arbeitsmappe eingefügt werden "
                                           "kann.")
                                .arg(path));

    // The picture shows at its physical size: pixels at 96 dots per inch.
    const auto screenPixels = [](int pixels, int dotsPerMeter) {
        if (dotsPerMeter <= 0)
            return pixels;
        const double dpi = dotsPerMeter * 0.0254;
        return std::max(1, int(std::lround(pixels * 96.0 / dpi)));
    };

    Picture picture;
    picture.data = data;
    picture.extension = extension;
    picture.widthPx = screenPixels(image.width(), image.dotsPerMeterX());
    picture.heightPx = screenPixels(image.height(), image.dotsPerMeterY());
    picture.anchor = m_sheet.application().selectionOf(m_sheet.worksheet()).activeCell;
    auto &pictures = m_sheet.worksheet().picturesForWrite();
    picture.name = QStringLiteral("Bild %1").arg(pictures.size() + 1);
    pictures.push_back(std::move(picture));
    return int(pictures.size()) - 1;
}

} // namespace tannbuch
