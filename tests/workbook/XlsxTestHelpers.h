#pragma once

// Helpers shared by the workbook file tests: running the independent reader
// (openpyxl) over a saved file, reading single parts of a saved package, and
// building template files by hand.

#include "common/TestSupport.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/ZipArchive.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace tannbuch {

namespace xlsxtest {

inline const QString python = QStringLiteral("/usr/bin/python3");

using testsupport::haveOpenpyxl;

// What openpyxl reads from the file; each wanted entry is "Sheet:A1,B2".
// Fails the test when the reader reports an error.
inline QJsonObject verify(const QString &path, const QStringList &wanted)
{
    QStringList requests;
    for (const QString &entry : wanted) {
        const QString sheet = entry.section(u':', 0, 0);
        requests << sheet;
        for (const QString &cell : entry.section(u':', 1).split(u',', Qt::SkipEmptyParts))
            requests << sheet + u'!' + cell;
    }
    return testsupport::readWithOpenpyxl(path, requests);
}

inline QJsonObject sheetOf(const QJsonObject &result, const QString &sheet)
{
    return result.value(QStringLiteral("sheet")).toObject().value(sheet).toObject();
}

inline QJsonObject cellOf(const QJsonObject &result, const QString &sheet, const QString &cell)
{
    return sheetOf(result, sheet).value(QStringLiteral("cells")).toObject().value(cell).toObject();
}

// One part of a saved package; empty when missing.
inline QByteArray part(const QString &zipPath, const QString &name)
{
    for (const ZipEntry &e : ZipArchive::read(zipPath)) {
        if (e.name == name)
            return e.data;
    }
    return QByteArray();
}

inline QStringList partNames(const QString &zipPath)
{
    QStringList names;
    for (const ZipEntry &e : ZipArchive::read(zipPath))
        names.append(e.name);
    return names;
}

// Writes a zip file from (name, text) pairs.
inline void writeZip(const QString &path, const std::vector<ZipEntry> &entries)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ZipArchive::write(entries));
}

inline ZipEntry entry(const char *name, const QByteArray &data)
{
    return {QString::fromUtf8(name), data};
}

// Writes a text or a number into a cell of the model; the cell.
inline Cell &setText(Worksheet &sheet, int row, int column, const QString &text, quint32 style = 0)
{
    Cell &c = sheet.cellForWrite(row, column);
    c.type = CellType::Text;
    c.text = text;
    c.styleId = style;
    return c;
}
inline Cell &setNumber(Worksheet &sheet, int row, int column, double value, quint32 style = 0)
{
    Cell &c = sheet.cellForWrite(row, column);
    c.type = CellType::Number;
    c.number = value;
    c.styleId = style;
    return c;
}

// A one-pixel PNG image: the template's logo and an inserted picture.
inline QByteArray tinyPng()
{
    return QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");
}

inline const char *xmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// A hand-made template as a spreadsheet program saves one: report sheet
// "Tannbuch" (styles, a shared formula, a merge, a hyperlink, a row break,
// column widths, a logo picture, conditional format, data validation, page
// set-up with header), settings sheet "Einstellungen", a print area and print
// titles, a calculation chain and a theme. With `macros`, a macro-enabled
// template with a project part.
inline std::vector<ZipEntry> templateEntries(bool macros = false)
{
    const QByteArray head = xmlHead;
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const QByteArray ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    const auto override = [](const char *part, const QByteArray &type) {
        return "<Override PartName=\"" + QByteArray(part) + "\" ContentType=\"" + type + "\"/>";
    };
    const auto link = [](const char *id, const QByteArray &type, const char *target, const char *more = "") {
        return "<Relationship Id=\"" + QByteArray(id) + "\" Type=\"" + type + "\" Target=\"" + target + "\"" + more
            + "/>";
    };
    const auto links = [&](const QByteArray &list) {
        return head + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + list
            + "</Relationships>";
    };

    QByteArray types = head
        + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
          "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
          "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
          "<Default Extension=\"png\" ContentType=\"image/png\"/>";
    if (macros)
        types += "<Default Extension=\"bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/>"
            + override("/xl/printerSettings/printerSettings1.bin", ct + "printerSettings")
            + override("/xl/workbook.xml", "application/vnd.ms-excel.template.macroEnabled.main+xml");
    else
        types += "<Default Extension=\"bin\" ContentType=\"" + ct + "printerSettings\"/>"
            + override("/xl/workbook.xml", ct + "template.main+xml");
    types += override("/xl/worksheets/sheet1.xml", ct + "worksheet+xml")
        + override("/xl/worksheets/sheet2.xml", ct + "worksheet+xml") + override("/xl/styles.xml", ct + "styles+xml")
        + override("/xl/sharedStrings.xml", ct + "sharedStrings+xml")
        + override("/xl/calcChain.xml", ct + "calcChain+xml")
        + override("/xl/drawings/drawing1.xml", "application/vnd.openxmlformats-officedocument.drawing+xml")
        + override("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml")
        + override("/docProps/app.xml", "application/vnd.openxmlformats-officedocument.extended-properties+xml")
        + "</Types>";

    const QByteArray rootRels = links(link("rId3", rel + "extended-properties", "docProps/app.xml")
        + link("rId2", "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
            "docProps/core.xml")
        + link("rId1", rel + "officeDocument", "xl/workbook.xml"));

    const QByteArray workbook = head + "<workbook " + ns + ">"
        + (macros ? "<workbookPr codeName=\"DieseArbeitsmappe\"/>" : "<workbookPr/>")
        + "<bookViews><workbookView xWindow=\"0\" yWindow=\"0\" windowWidth=\"20000\" windowHeight=\"10000\" "
          "activeTab=\"0\"/></bookViews>"
          "<sheets><sheet name=\"Tannbuch\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Einstellungen\" sheetId=\"2\" "
          "r:id=\"rId2\"/></sheets>"
          "<definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">Tannbuch!$A$1:$D$40</definedName>"
          "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">Tannbuch!$1:$2</definedName></definedNames>"
          "<calcPr calcId=\"191029\"/></workbook>";

    const QByteArray workbookRels = links(link("rId1", rel + "worksheet", "worksheets/sheet1.xml")
        + link("rId2", rel + "worksheet", "worksheets/sheet2.xml") + link("rId4", rel + "styles", "styles.xml")
        + link("rId5", rel + "sharedStrings", "sharedStrings.xml") + link("rId6", rel + "calcChain", "calcChain.xml")
        + (macros ? link("rId7", "http://schemas.microsoft.com/office/2006/relationships/vbaProject", "vbaProject.bin")
                  : QByteArray()));

    const QByteArray styles = head + "<styleSheet " + ns
        + "><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.000\"/></numFmts>"
          "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
          "<font><b/><sz val=\"16\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
          "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
          "patternType=\"gray125\"/></fill></fills>"
          "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
          "<border><left style=\"thin\"><color indexed=\"64\"/></left><right style=\"thin\"><color "
          "indexed=\"64\"/></right><top style=\"thin\"><color indexed=\"64\"/></top><bottom style=\"thin\"><color "
          "indexed=\"64\"/></bottom><diagonal/></border></borders>"
          "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
          "<cellXfs count=\"4\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
          "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
          "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
          "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyBorder=\"1\"><alignment "
          "horizontal=\"center\"/></xf></cellXfs>"
          "<cellStyles count=\"1\"><cellStyle name=\"Standard\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
          "<dxfs count=\"1\"><dxf><font><color rgb=\"FFFF0000\"/></font></dxf></dxfs>"
          "</styleSheet>";

    const QByteArray strings = head + "<sst " + ns
        + " count=\"6\" uniqueCount=\"6\"><si><t>Holzliste</t></si><si><t>Menge</t></si><si><t>Karte</t></si>"
          "<si><r><rPr><b/><sz val=\"11\"/></rPr><t>Fett</t></r><r><t xml:space=\"preserve\"> und normal</t></r></si>"
          "<si><t>StartZeile</t></si><si><t>lKopfFuss</t></si></sst>";

    const QByteArray sheet1 = head + "<worksheet " + ns
        + " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" mc:Ignorable=\"x14ac\" "
          "xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\">"
          "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr><dimension ref=\"A1:D7\"/>"
          "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"><selection activeCell=\"A1\" "
          "sqref=\"A1\"/></sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\" x14ac:dyDescent=\"0.25\"/>"
          "<cols><col min=\"1\" max=\"1\" width=\"20.7109375\" customWidth=\"1\"/><col min=\"2\" max=\"4\" "
          "width=\"12\" customWidth=\"1\"/></cols><sheetData>"
          "<row r=\"1\" ht=\"24\" customHeight=\"1\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c></row>"
          "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\" s=\"2\"><v>1.5</v></c></row>"
          "<row r=\"3\"><c r=\"A3\" s=\"3\"><v>10</v></c><c r=\"B3\" s=\"3\"><v>20</v></c><c r=\"C3\" s=\"3\"><f "
          "t=\"shared\" ref=\"C3:C5\" si=\"0\">A3+B3</f><v>30</v></c></row>"
          "<row r=\"4\"><c r=\"A4\" s=\"3\"><v>1</v></c><c r=\"B4\" s=\"3\"><v>2</v></c><c r=\"C4\" s=\"3\"><f "
          "t=\"shared\" si=\"0\"/><v>3</v></c></row>"
          "<row r=\"5\"><c r=\"A5\" s=\"3\"><v>4</v></c><c r=\"B5\" s=\"3\"><v>5</v></c><c r=\"C5\" s=\"3\"><f "
          "t=\"shared\" si=\"0\"/><v>9</v></c></row><row r=\"6\"><c r=\"A6\" t=\"s\"><v>2</v></c></row>"
          "<row r=\"7\"><c r=\"A7\" t=\"s\"><v>3</v></c><c r=\"B7\" s=\"1\"/></row></sheetData>"
          "<mergeCells count=\"1\"><mergeCell ref=\"A1:D1\"/></mergeCells>"
          "<conditionalFormatting sqref=\"C3:C5\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
          "operator=\"greaterThan\"><formula>10</formula></cfRule></conditionalFormatting>"
          "<dataValidations count=\"1\"><dataValidation type=\"whole\" allowBlank=\"1\" showErrorMessage=\"1\" "
          "sqref=\"D3\"><formula1>0</formula1><formula2>9</formula2></dataValidation></dataValidations>"
          "<hyperlinks><hyperlink ref=\"A6\" r:id=\"rId2\" display=\"Karte\"/></hyperlinks>"
          "<printOptions horizontalCentered=\"1\"/>"
          "<pageMargins left=\"0.5\" right=\"0.5\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
          "<pageSetup paperSize=\"9\" scale=\"85\" orientation=\"portrait\" r:id=\"rId3\"/>"
          "<headerFooter><oddHeader>&amp;CTannbuch</oddHeader></headerFooter>"
          "<rowBreaks count=\"1\" manualBreakCount=\"1\"><brk id=\"5\" max=\"16383\" man=\"1\"/></rowBreaks>"
          "<drawing r:id=\"rId1\"/></worksheet>";

    const QByteArray sheet1Rels = links(link("rId1", rel + "drawing", "../drawings/drawing1.xml")
        + link("rId2", rel + "hyperlink", "https://example.org/karte?x=1&amp;y=2", " TargetMode=\"External\"")
        + link("rId3", rel + "printerSettings", "../printerSettings/printerSettings1.bin"));

    const QByteArray sheet2 = head + "<worksheet " + ns
        + "><dimension ref=\"A1:B3\"/>"
          "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>"
          "<sheetData><row r=\"2\"><c r=\"A2\" t=\"s\"><v>4</v></c><c r=\"B2\"><v>8</v></c></row>"
          "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>5</v></c><c r=\"B3\"><v>1</v></c></row></sheetData>"
          "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
          "footer=\"0.3\"/></worksheet>";

    const QByteArray drawing = head
        + "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
          "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><xdr:twoCellAnchor "
          "editAs=\"oneCell\"><xdr:from><xdr:col>3</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>0</"
          "xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from>"
          "<xdr:to><xdr:col>4</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>2</xdr:row><xdr:rowOff>0</xdr:rowOff></"
          "xdr:to><xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"2\" name=\"Logo\"/><xdr:cNvPicPr><a:picLocks "
          "noChangeAspect=\"1\"/></xdr:cNvPicPr></xdr:nvPicPr>"
          "<xdr:blipFill><a:blip xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
          "r:embed=\"rId1\"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill>"
          "<xdr:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"952500\" cy=\"381000\"/></a:xfrm><a:prstGeom "
          "prst=\"rect\"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic>"
          "<xdr:clientData/></xdr:twoCellAnchor></xdr:wsDr>";
    const QByteArray drawingRels = links(link("rId1", rel + "image", "../media/image1.png"));

    const QByteArray calcChain = head
        + "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
          "<c r=\"C3\" i=\"1\"/><c r=\"C4\"/><c r=\"C5\"/></calcChain>";
    const QByteArray core = head
        + "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
          "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:creator>Forstamt</dc:creator></cp:coreProperties>";
    const QByteArray app = head
        + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
          "<Application>Tabellenkalkulation</Application></Properties>";

    std::vector<ZipEntry> entries = {
        entry("[Content_Types].xml", types),
        entry("_rels/.rels", rootRels),
        entry("docProps/app.xml", app),
        entry("docProps/core.xml", core),
        entry("xl/workbook.xml", workbook),
        entry("xl/_rels/workbook.xml.rels", workbookRels),
        entry("xl/styles.xml", styles),
        entry("xl/sharedStrings.xml", strings),
        entry("xl/calcChain.xml", calcChain),
        entry("xl/worksheets/sheet1.xml", sheet1),
        entry("xl/worksheets/_rels/sheet1.xml.rels", sheet1Rels),
        entry("xl/worksheets/sheet2.xml", sheet2),
        entry("xl/drawings/drawing1.xml", drawing),
        entry("xl/drawings/_rels/drawing1.xml.rels", drawingRels),
        entry("xl/media/image1.png", tinyPng()),
        entry("xl/printerSettings/printerSettings1.bin", QByteArray("PRINTER-SETTINGS", 16)),
    };
    if (macros)
        entries.push_back(entry("xl/vbaProject.bin", QByteArray("VBA-PROJECT", 11)));
    return entries;
}

} // namespace xlsxtest

} // namespace tannbuch
