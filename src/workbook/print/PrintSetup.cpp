#include "PrintSetup.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/TemplatePackage.h"
#include "workbook/package/XmlDom.h"

#include <cmath>

namespace {

using XmlDom::attribute;
using XmlDom::child;

constexpr double PointsPerInch = 72.0;

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

double number(const pugi::xml_attribute &a, double fallback)
{
    bool ok = false;
    const double value = XmlDom::text(a).toDouble(&ok);
    return ok ? value : fallback;
}

bool flag(const pugi::xml_attribute &a)
{
    const QString v = XmlDom::text(a);
    return v == QLatin1String("1") || v == QLatin1String("true");
}

// The index of the sheet in the workbook part's list, which defined names count by.
int filePosition(const TemplatePackage &package, int sheetIndex)
{
    for (size_t i = 0; i < package.sheets.size(); ++i) {
        if (package.sheets[i].modelIndex == sheetIndex)
            return int(i);
    }
    return -1;
}

void readDefinedNames(const Workbook &workbook, int sheetIndex, PrintSetup &setup)
{
    const auto &package = workbook.package();
    if (!package)
        return;
    const QByteArray *xml = package->part(package->workbookPart);
    const int position = filePosition(*package, sheetIndex);
    if (!xml || position < 0)
        return;
    pugi::xml_document doc;
    try {
        XmlDom::parse(doc, *xml, package->workbookPart, workbook.sourcePath());
    } catch (const WorkbookError &) {
        return; // loading read this part already; a page set-up does without names
    }
    for (pugi::xml_node n : child(doc.document_element(), "definedNames").children()) {
        if (n.type() != pugi::node_element || attribute(n, "localSheetId").as_int(-1) != position)
            continue;
        const QString name = XmlDom::text(attribute(n, "name"));
        const QString value = XmlDom::text(n);
        if (name.compare(QLatin1String("_xlnm.Print_Area"), Qt::CaseInsensitive) == 0) {
            const RangeRef area = PrintSetup::parseReference(value.section(QLatin1Char(','), 0, 0));
            if (area.firstRow > 0)
                setup.printArea = area;
        } else if (name.compare(QLatin1String("_xlnm.Print_Titles"), Qt::CaseInsensitive) == 0) {
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
}

void readSheetPart(const Worksheet &sheet, const QString &fileName, PrintSetup &setup)
{
    if (sheet.templateXml().isEmpty())
        return;
    pugi::xml_document doc;
    try {
        XmlDom::parse(doc, sheet.templateXml(), sheet.name(), fileName);
    } catch (const WorkbookError &) {
        return; // loading read this part already
    }
    const pugi::xml_node root = doc.document_element();
    const pugi::xml_node format = child(root, "sheetFormatPr");
    setup.defaultRowHeight = number(attribute(format, "defaultRowHeight"), setup.defaultRowHeight);
    setup.defaultColumnWidth = number(attribute(format, "defaultColWidth"), -1.0);
    if (setup.defaultColumnWidth < 0 && attribute(format, "baseColWidth")) {
        // A base width in characters gets the cell margins and rounding to
        // whole pixels the format adds: 5 pixels, then up to a multiple of 8.
        const double base = number(attribute(format, "baseColWidth"), 8.0);
        const double pixels = std::ceil((base * 7.0 + 5.0) / 8.0) * 8.0;
        setup.defaultColumnWidth = pixels / 7.0;
    }

    const pugi::xml_node fit = child(child(root, "sheetPr"), "pageSetUpPr");
    setup.fitToPage = flag(attribute(fit, "fitToPage"));

    const pugi::xml_node options = child(root, "printOptions");
    setup.centerHorizontally = flag(attribute(options, "horizontalCentered"));
    setup.centerVertically = flag(attribute(options, "verticalCentered"));
    setup.gridLines = flag(attribute(options, "gridLines"));

    if (const pugi::xml_node m = child(root, "pageMargins")) {
        setup.margins = QMarginsF(number(attribute(m, "left"), 0.7) * PointsPerInch,
            number(attribute(m, "top"), 0.75) * PointsPerInch, number(attribute(m, "right"), 0.7) * PointsPerInch,
            number(attribute(m, "bottom"), 0.75) * PointsPerInch);
        setup.headerMargin = number(attribute(m, "header"), 0.3) * PointsPerInch;
        setup.footerMargin = number(attribute(m, "footer"), 0.3) * PointsPerInch;
    }

    const pugi::xml_node page = child(root, "pageSetup");
    setup.fitToWidth = std::max(0, attribute(page, "fitToWidth").as_int(1));
    setup.fitToHeight = std::max(0, attribute(page, "fitToHeight").as_int(1));
    setup.scale = attribute(page, "scale").as_int(100);
    if (flag(attribute(page, "useFirstPageNumber")))
        setup.firstPageNumber = attribute(page, "firstPageNumber").as_int(1);
}

} // namespace

PrintSetup PrintSetup::of(const Workbook &workbook, int sheetIndex)
{
    PrintSetup setup;
    const Worksheet &sheet = workbook.sheet(sheetIndex);
    readSheetPart(sheet, workbook.sourcePath(), setup);
    readDefinedNames(workbook, sheetIndex, setup);

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
