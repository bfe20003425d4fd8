#pragma once

#include "workbook/package/ZipArchive.h"

#include <QByteArray>
#include <QString>

namespace tannbuch {

class Relationships;
class SharedStringTable;
class StyleTable;
class Workbook;
class Worksheet;

// Writes one worksheet part anew from the model: cells (streamed, not built
// as a document), rows, columns, merges, hyperlinks, page set-up and row
// breaks, and in the sheet views the selection mark and the window's view.
// What the model does not hold (the rest of the sheet views, protection,
// conditional formats, data validations, margins, print options, ...) is
// taken from the sheet's template part, and every element is put in the
// order the file format demands.
class SheetXmlWriter
{
public:
    struct Input
    {
        const Workbook &workbook;
        const Worksheet &sheet;
        StyleTable &styles;
        SharedStringTable &strings;
        Relationships &relationships; // the sheet's relationships; hyperlinks are added here
        QString drawingRelationId; // the sheet's drawing, empty for none
        bool selected = false; // the sheet is the workbook's active one
        QString fileName; // for messages
    };

    // The sheet's part (without a name): its XML up to the cells in `data`,
    // and the cells with what follows them as the streamed `rest`. The cells'
    // formats and strings are made in `styles` and `strings` during the call;
    // the rest reads the workbook, the sheet and both tables, which must stay
    // unchanged until it is packed. Adds a warning to the workbook when row
    // breaks beyond the format's limit are left out. Throws WorkbookError when
    // the template part is malformed.
    static ZipEntry write(const Input &input);

    // The part of a sheet written back unchanged, with only its sheet views
    // brought in line with the model: the selection mark on the active sheet
    // (`selected`) alone, and the view the window shows the sheet in. The
    // same bytes when they agree already. Throws WorkbookError when the part
    // is malformed.
    static QByteArray withCurrentViews(
        const QByteArray &part, const Worksheet &sheet, bool selected, const QString &fileName);
};

} // namespace tannbuch
