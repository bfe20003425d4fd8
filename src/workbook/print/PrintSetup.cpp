#include "PrintSetup.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

namespace tannbuch {

namespace {

QPageSize paperOf(int code)
{
    switch (code) {
    case 1:
        return QPageSize(QPageSize::Letter);
    case 5:
        return QPageSize(QPageSize::Legal);
    case 8:
        return QPageSize(QPageSize::A3);
    case 11:
        return QPageSize(QPageSize::A5);
    case 13:
        return QPageSize(QPageSize::B5);
    default: // 9 and every code this program does not know: the offices' A4
        return QPageSize(QPageSize::A4);
    }
}

// The print area and the rows and columns repeated on every page, from the
// texts of the sheet's defined names.
void readPrintNames(const TemplatePrintFormat &format, PrintSetup &setup)
{
    for (const QString &value : format.printAreas) {
        const RangeRef area = PrintSetup::parseReference(value.section(QLatin1Char(','), 0, 0));
        if (area.firstRow > 0)
            setup.printArea = area;
    }
    for (const QString &value : format.printTitles) {
        for (const QString &part : value.split(QLatin1Char(','))) {
            const RangeRef titles = PrintSetup::parseReference(part);
            if (titles.firstRow <= 0)
                continue;
            if (titles.firstColumn == 1 && titles.lastColumn == SheetLimits::MaxColumns) {
                setup.titleFirstRow = titles.firstRow;
                setup.titleLastRow = titles.lastRow;
            } else if (titles.firstRow == 1 && titles.lastRow == SheetLimits::MaxRows) {
                setup.titleFirstColumn = titles.firstColumn;
                setup.titleLastColumn = titles.lastColumn;
            }
        }
    }
}

} // namespace

PrintSetup PrintSetup::of(const Workbook &workbook, int sheetIndex)
{
    const Worksheet &sheet = workbook.sheet(sheetIndex);
    const TemplatePrintFormat &format = sheet.templatePrintFormat();
    PrintSetup setup;
    setup.defaultRowHeight = format.defaultRowHeight;
    setup.defaultColumnWidth = format.defaultColumnWidth;
    setup.fitToPage = format.fitToPage;
    setup.fitToWidth = format.fitToWidth;
    setup.fitToHeight = format.fitToHeight;
    setup.firstPageNumber = format.firstPageNumber;
    setup.centerHorizontally = format.centerHorizontally;
    setup.centerVertically = format.centerVertically;
    setup.gridLines = format.gridLines;
    setup.margins = format.margins;
    setup.headerMargin = format.headerMargin;
    setup.footerMargin = format.footerMargin;
    readPrintNames(format, setup);

    // The model holds what the program may change; it starts from the
    // template's values. A scale the program set replaces fitting to pages,
    // as the saved file has it.
    const PageSetup &page = sheet.pageSetup();
    if (page.scaleSet)
        setup.fitToPage = false;
    setup.scale = qBound(10, page.scale, 400);
    setup.paper = paperOf(page.paperSize);
    setup.landscape = page.orientation == QLatin1String("landscape");
    setup.header = page.oddHeader;
    setup.footer = page.oddFooter;
    return setup;
}

RangeRef PrintSetup::parseReference(const QString &reference)
{
    // The sheet name before "!" (quoted when it holds blanks) does not matter:
    // a defined name with a local sheet id speaks of its own sheet.
    QString area = reference.trimmed();
    const int bang = area.lastIndexOf(QLatin1Char('!'));
    if (bang >= 0)
        area = area.mid(bang + 1);
    area.remove(QLatin1Char('$'));
    if (area.isEmpty() || area.contains(QLatin1Char('#')))
        return RangeRef();
    try {
        return CellAddress::parse(area);
    } catch (const WorkbookError &) {
        return RangeRef();
    }
}

} // namespace tannbuch
