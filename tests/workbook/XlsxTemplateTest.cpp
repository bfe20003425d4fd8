// Loading a template and saving it as a report: what is kept, what is
// rewritten, and what a second reader sees in the result.

#include "XlsxTestHelpers.h"

#include "common/WorkbookValidation.h"

#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace xlsxtest;

namespace {

class XlsxTemplateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        templatePath = dir.filePath(QStringLiteral("Tannbuch.xltx"));
        writeZip(templatePath, templateEntries());
    }

    QString saveAs(const Workbook &workbook, const QString &name = QStringLiteral("Bericht.xlsx"))
    {
        const QString path = dir.filePath(name);
        XlsxWriter::save(workbook, path);
        workbookvalidation::expectValid(path);
        return path;
    }

    QTemporaryDir dir;
    QString templatePath;
};

TEST_F(XlsxTemplateTest, LoadsCellsStylesAndSheetFeatures)
{
    const auto wb = XlsxReader::load(templatePath);
    ASSERT_EQ(wb->sheetCount(), 2);
    const Worksheet &sheet = wb->sheet(0);
    EXPECT_EQ(sheet.name(), QStringLiteral("Tannbuch"));
    EXPECT_FALSE(sheet.isChanged());
    EXPECT_FALSE(wb->sheet(1).isChanged());

    ASSERT_NE(sheet.cell(1, 1), nullptr);
    EXPECT_EQ(sheet.cell(1, 1)->text, QStringLiteral("Holzliste"));
    const ResolvedStyle title = wb->resolve(sheet.cell(1, 1)->styleId);
    EXPECT_TRUE(title.bold);
    EXPECT_DOUBLE_EQ(title.fontSize, 16.0);
    EXPECT_EQ(wb->resolve(sheet.cell(2, 2)->styleId).numberFormat, QStringLiteral("0.000"));
    const ResolvedStyle boxed = wb->resolve(sheet.cell(3, 1)->styleId);
    EXPECT_EQ(boxed.borders[EdgeLeft].lineStyle, Xl::Continuous);
    EXPECT_EQ(boxed.borders[EdgeBottom].weight, Xl::Thin);
    EXPECT_EQ(boxed.horizontalAlignment, HAlign::Center);
    EXPECT_EQ(sheet.cell(7, 1)->text, QStringLiteral("Fett und normal"));

    // Shared formulas become ordinary ones, each moved from its master.
    EXPECT_EQ(sheet.cell(3, 3)->formula, QStringLiteral("=A3+B3"));
    EXPECT_EQ(sheet.cell(4, 3)->formula, QStringLiteral("=A4+B4"));
    EXPECT_EQ(sheet.cell(5, 3)->formula, QStringLiteral("=A5+B5"));
    EXPECT_EQ(sheet.cell(5, 3)->cachedType, CellType::Number);
    EXPECT_DOUBLE_EQ(sheet.cell(5, 3)->number, 9.0);

    EXPECT_EQ(sheet.merges().size(), 1u);
    ASSERT_EQ(sheet.hyperlinks().size(), 1u);
    EXPECT_EQ(sheet.hyperlinks()[0].address, QStringLiteral("https://example.org/karte?x=1&y=2"));
    // The file's break id 5 is the row above the break: row 6 starts a page.
    EXPECT_EQ(sheet.rowBreaks(), std::set<int>({6}));
    EXPECT_DOUBLE_EQ(sheet.columns().at(1).width, 20.7109375);
    EXPECT_DOUBLE_EQ(sheet.columns().at(3).width, 12.0);
    EXPECT_DOUBLE_EQ(sheet.row(1)->height, 24.0);
    EXPECT_EQ(sheet.pageSetup().scale, 85);
    EXPECT_EQ(sheet.pageSetup().oddHeader, QStringLiteral("&CTannbuch"));
    EXPECT_EQ(wb->sheet(1).cell(2, 2)->number, 8.0);
}

TEST_F(XlsxTemplateTest, UnchangedWorkbookKeepsEveryPartButTheWorkbookType)
{
    const auto wb = XlsxReader::load(templatePath);
    const QString out = saveAs(*wb);
    // Nothing changed: sheets, strings, styles and the calculation chain are
    // the template's own bytes.
    for (const char *name : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/sharedStrings.xml",
             "xl/styles.xml", "xl/calcChain.xml", "xl/drawings/drawing1.xml", "xl/media/image1.png",
             "docProps/core.xml", "xl/printerSettings/printerSettings1.bin"}) {
        QByteArray original;
        for (const ZipEntry &e : templateEntries())
            if (e.name == QLatin1String(name))
                original = e.data;
        EXPECT_EQ(part(out, QString::fromLatin1(name)), original) << name;
    }
    const QByteArray types = part(out, QStringLiteral("[Content_Types].xml"));
    EXPECT_TRUE(types.contains("spreadsheetml.sheet.main+xml"));
    EXPECT_FALSE(types.contains("template.main+xml"));
}

TEST_F(XlsxTemplateTest, ChangedReportSheetKeepsTemplateAroundIt)
{
    const auto wb = XlsxReader::load(templatePath);
    Worksheet &sheet = wb->sheet(0);
    Cell &c = sheet.cellForWrite(12, 1);
    c.type = CellType::Text;
    c.text = QStringLiteral("Los 1");
    Cell &n = sheet.cellForWrite(12, 2);
    n.type = CellType::Number;
    n.number = 3.25;
    CellStyle bold;
    bold.baseXf = 3; // the template's boxed, centred format
    bold.bold = true;
    bold.numberFormat = QStringLiteral("0.00");
    n.styleId = wb->styles().intern(bold);
    sheet.rowBreaksForWrite().insert(12);
    sheet.picturesForWrite().push_back({tinyPng(), QStringLiteral("png"), 40, 20, {8, 5}, QStringLiteral("Kopfbild")});
    sheet.hyperlinksForWrite().push_back(
        {{12, 3}, QStringLiteral("https://example.org/?a=1&b=2"), QString(), QStringLiteral("Polter"), QString()});

    const QString out = saveAs(*wb);

    // The unchanged settings sheet is copied byte for byte.
    EXPECT_EQ(part(out, QStringLiteral("xl/worksheets/sheet2.xml")), templateEntries()[11].data);
    // The stale calculation chain is gone, and the workbook asks for recalculation.
    const QStringList names = partNames(out);
    EXPECT_FALSE(names.contains(QStringLiteral("xl/calcChain.xml")));
    EXPECT_FALSE(part(out, QStringLiteral("[Content_Types].xml")).contains("calcChain"));
    EXPECT_FALSE(part(out, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("calcChain"));
    EXPECT_TRUE(part(out, QStringLiteral("xl/workbook.xml")).contains("fullCalcOnLoad=\"1\""));
    // The template's formats keep their numbers; the program's one is appended.
    const QByteArray styles = part(out, QStringLiteral("xl/styles.xml"));
    EXPECT_TRUE(styles.contains("<cellXfs count=\"5\">"));
    // The template's strings keep their numbers, rich text included.
    const QByteArray strings = part(out, QStringLiteral("xl/sharedStrings.xml"));
    EXPECT_TRUE(strings.contains("<si><t>Holzliste</t></si><si><t>Menge</t></si>"));
    EXPECT_TRUE(strings.contains("<si><r><rPr><b/>"));
    EXPECT_TRUE(strings.contains("<si><t>Los 1</t></si>"));

    // Worksheet children in the order the format demands.
    const QByteArray xml = part(out, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QStringList expected = {QStringLiteral("sheetPr"), QStringLiteral("dimension"), QStringLiteral("sheetViews"),
        QStringLiteral("sheetFormatPr"), QStringLiteral("cols"), QStringLiteral("sheetData"),
        QStringLiteral("mergeCells"), QStringLiteral("conditionalFormatting"), QStringLiteral("dataValidations"),
        QStringLiteral("hyperlinks"), QStringLiteral("printOptions"), QStringLiteral("pageMargins"),
        QStringLiteral("pageSetup"), QStringLiteral("headerFooter"), QStringLiteral("rowBreaks"),
        QStringLiteral("drawing")};
    qsizetype at = 0;
    for (const QString &element : expected) {
        const qsizetype found
            = xml.indexOf("<" + element.toLatin1() + (element == QLatin1String("sheetData") ? ">" : ""), at);
        ASSERT_GE(found, at) << element.toStdString() << " missing or out of order";
        at = found;
    }
    // The template's break and the new one, each once.
    EXPECT_TRUE(xml.contains("<rowBreaks count=\"2\" manualBreakCount=\"2\"><brk id=\"5\" max=\"16383\" man=\"1\"/>"
                             "<brk id=\"11\" max=\"16383\" man=\"1\"/></rowBreaks>"));
    EXPECT_EQ(xml.count("<cols>"), 1);
    // A cell still holding its template string keeps that string's number
    // (here the rich text one).
    EXPECT_TRUE(xml.contains("<c r=\"A7\" t=\"s\"><v>3</v></c>"));
    // The drawing keeps the logo and gets the new picture.
    const QByteArray drawing = part(out, QStringLiteral("xl/drawings/drawing1.xml"));
    EXPECT_EQ(drawing.count("r:embed="), 2);
    EXPECT_TRUE(drawing.contains("<xdr:oneCellAnchor>"));
    EXPECT_TRUE(drawing.contains("cx=\"381000\" cy=\"190500\""));

    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const QJsonObject r
        = verify(out, {QStringLiteral("Tannbuch:A1,B2,C4,B12,A12"), QStringLiteral("Einstellungen:A2,B2")});
    EXPECT_EQ(r.value(QStringLiteral("sheets")).toArray().size(), 2);
    EXPECT_FALSE(r.value(QStringLiteral("template")).toBool());
    EXPECT_EQ(r.value(QStringLiteral("media")).toArray().size(), 2);
    const QJsonObject seen = sheetOf(r, QStringLiteral("Tannbuch"));
    EXPECT_EQ(seen.value(QStringLiteral("pictures")).toArray().size(), 2);
    const auto value = [&](const QString &path) {
        QJsonValue v = seen;
        for (const QString &key : path.split(QLatin1Char('/')))
            v = v.toObject().value(key);
        return v.toVariant();
    };
    // What the template brought and what the report added, side by side.
    const std::vector<std::pair<QString, QVariant>> entries = {
        {QStringLiteral("print_area"), QStringLiteral("$A$1:$D$40")},
        {QStringLiteral("print_title_rows"), QStringLiteral("$1:$2")},
        {QStringLiteral("row_breaks"), QVariantList{5, 11}},
        {QStringLiteral("merges"), QVariantList{QStringLiteral("A1:D1")}},
        {QStringLiteral("col_widths/A/width"), 20.7109375},
        {QStringLiteral("hyperlinks/C12/target"), QStringLiteral("https://example.org/?a=1&b=2")},
        {QStringLiteral("hyperlinks/A6/target"), QStringLiteral("https://example.org/karte?x=1&y=2")},
        {QStringLiteral("cells/A1/value"), QStringLiteral("Holzliste")},
        {QStringLiteral("cells/A1/bold"), true},
        {QStringLiteral("cells/B2/number_format"), QStringLiteral("0.000")},
        {QStringLiteral("cells/C4/value"), QStringLiteral("=A4+B4")},
        {QStringLiteral("cells/B12/value"), 3.25},
        {QStringLiteral("cells/B12/bold"), true},
        {QStringLiteral("cells/B12/number_format"), QStringLiteral("0.00")},
        {QStringLiteral("cells/B12/borders/left/style"), QStringLiteral("thin")},
        {QStringLiteral("cells/B12/halign"), QStringLiteral("center")},
    };
    for (const auto &[path, want] : entries)
        EXPECT_TRUE(value(path) == want) << path.toStdString() << ": " << value(path).toString().toStdString();
    EXPECT_EQ(
        cellOf(r, QStringLiteral("Einstellungen"), QStringLiteral("B2")).value(QStringLiteral("value")).toInt(), 8);
}

TEST_F(XlsxTemplateTest, MacroTemplateBecomesPlainWorkbook)
{
    const QString macroPath = dir.filePath(QStringLiteral("Tannbuch_Makro.xltm"));
    writeZip(macroPath, templateEntries(true));
    const auto wb = XlsxReader::load(macroPath);
    wb->sheet(0).cellForWrite(20, 1).type = CellType::Number;
    const QString out = saveAs(*wb);
    const QStringList names = partNames(out);
    EXPECT_FALSE(names.contains(QStringLiteral("xl/vbaProject.bin")));
    const QByteArray types = part(out, QStringLiteral("[Content_Types].xml"));
    EXPECT_FALSE(types.contains("vbaProject"));
    EXPECT_FALSE(types.contains("macroEnabled"));
    EXPECT_TRUE(types.contains("spreadsheetml.sheet.main+xml"));
    // The printer settings keep their own content type.
    EXPECT_TRUE(types.contains("/xl/printerSettings/printerSettings1.bin"));
    EXPECT_FALSE(part(out, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("vbaProject"));
    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl fehlt";
    verify(out, {QStringLiteral("Tannbuch:A1")});
}

TEST_F(XlsxTemplateTest, SavedAsTemplateKeepsTemplateType)
{
    const auto wb = XlsxReader::load(templatePath);
    const QString out = saveAs(*wb, QStringLiteral("Kopie.xltx"));
    EXPECT_TRUE(part(out, QStringLiteral("[Content_Types].xml")).contains("template.main+xml"));
}

TEST_F(XlsxTemplateTest, PageSetupFromProgramReplacesTemplateValues)
{
    const auto wb = XlsxReader::load(templatePath);
    PageSetup &page = wb->sheet(0).pageSetupForWrite();
    page.setScale(90);
    page.oddHeader = QStringLiteral("&CHolzliste 4711");
    page.oddFooter = QStringLiteral("&CSeite &P von &N");
    const QString out = saveAs(*wb);
    const QByteArray xml = part(out, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(xml.contains("scale=\"90\""));
    EXPECT_TRUE(xml.contains("paperSize=\"9\""));
    EXPECT_TRUE(xml.contains("r:id=\"rId3\"")); // the printer settings stay attached
    EXPECT_FALSE(xml.contains("fitToPage")); // a fixed scale replaces fitting to pages
    EXPECT_TRUE(xml.contains("<oddFooter>&amp;CSeite &amp;P von &amp;N</oddFooter>"));
}

// The sheet views of the saved file: the active sheet alone shows as
// selected, and each sheet opens in the view the window last showed it in,
// whether the sheet is written anew or copied from the template. The rest of
// a view (its selection here) is kept.
class XlsxSheetViewTest : public XlsxTemplateTest
{
protected:
    // The template with the settings sheet's views replaced.
    QString templateWithSettingsViews(const QByteArray &views)
    {
        std::vector<ZipEntry> entries = templateEntries();
        for (ZipEntry &e : entries) {
            if (e.name == QLatin1String("xl/worksheets/sheet2.xml"))
                e.data.replace("<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>", views);
        }
        const QString path = dir.filePath(QStringLiteral("Ansichten.xltx"));
        writeZip(path, entries);
        return path;
    }
};

TEST_F(XlsxSheetViewTest, UnchangedSheetsTakeTheSelectionAndTheView)
{
    const auto wb = XlsxReader::load(templatePath);
    EXPECT_EQ(wb->sheet(0).view(), SheetViewMode::Normal);
    wb->setActiveSheetIndex(1);
    wb->sheet(1).setView(SheetViewMode::PageBreakPreview);
    EXPECT_FALSE(wb->sheet(1).isChanged()) << "a view is no change of the sheet's content";
    const QString out = saveAs(*wb);

    const QByteArray report = part(out, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QByteArray settings = part(out, QStringLiteral("xl/worksheets/sheet2.xml"));
    EXPECT_FALSE(report.contains("tabSelected")) << report.constData();
    EXPECT_TRUE(report.contains("<selection activeCell=\"A1\" sqref=\"A1\"/>")) << "the view's selection is kept";
    EXPECT_TRUE(report.contains("mc:Ignorable=\"x14ac\"")) << report.constData();
    EXPECT_TRUE(settings.contains("tabSelected=\"1\"")) << settings.constData();
    EXPECT_TRUE(settings.contains("view=\"pageBreakPreview\"")) << settings.constData();
    EXPECT_TRUE(settings.contains("<c r=\"B2\"><v>8</v></c>")) << "the cells are copied as they were";

    const auto back = XlsxReader::load(out);
    EXPECT_EQ(back->activeSheetIndex(), 1);
    EXPECT_EQ(back->sheet(1).view(), SheetViewMode::PageBreakPreview);
    EXPECT_EQ(back->sheet(0).view(), SheetViewMode::Normal);

    // Back in normal view on the report sheet, which is written anew.
    back->setActiveSheetIndex(0);
    back->sheet(1).setView(SheetViewMode::Normal);
    back->sheet(1).cellForWrite(5, 1).type = CellType::Number;
    const QString again = saveAs(*back, QStringLiteral("Bericht2.xlsx"));
    const QByteArray settings2 = part(again, QStringLiteral("xl/worksheets/sheet2.xml"));
    EXPECT_FALSE(settings2.contains("view=")) << settings2.constData();
    EXPECT_FALSE(settings2.contains("tabSelected")) << settings2.constData();
    EXPECT_TRUE(part(again, QStringLiteral("xl/worksheets/sheet1.xml")).contains("tabSelected=\"1\""));
}

TEST_F(XlsxSheetViewTest, AViewTheProgramDoesNotSetIsKept)
{
    const auto wb = XlsxReader::load(templateWithSettingsViews(
        "<sheetViews><sheetView view=\"pageLayout\" zoomScale=\"85\" workbookViewId=\"0\"/></sheetViews>"));
    EXPECT_EQ(wb->sheet(1).view(), SheetViewMode::PageLayout);
    wb->sheet(1).cellForWrite(5, 1).type = CellType::Number;
    const QByteArray written = part(saveAs(*wb), QStringLiteral("xl/worksheets/sheet2.xml"));
    EXPECT_TRUE(written.contains("<sheetView view=\"pageLayout\" zoomScale=\"85\" workbookViewId=\"0\"/>"))
        << written.constData();
}

TEST_F(XlsxSheetViewTest, ASheetWithoutViewsGetsOneInItsPlace)
{
    const QString path = templateWithSettingsViews(QByteArray());
    for (bool changed : {false, true}) {
        const auto wb = XlsxReader::load(path);
        wb->setActiveSheetIndex(1);
        if (changed)
            wb->sheet(1).cellForWrite(5, 1).type = CellType::Number;
        const QByteArray written = part(saveAs(*wb), QStringLiteral("xl/worksheets/sheet2.xml"));
        const qsizetype views = written.indexOf("<sheetViews><sheetView workbookViewId=\"0\" tabSelected=\"1\"/>");
        EXPECT_GE(views, 0) << (changed ? "changed: " : "unchanged: ") << written.constData();
        EXPECT_GT(views, written.indexOf("<dimension ")) << "sheet views come after the dimension";
        EXPECT_LT(views, written.indexOf("<sheetFormatPr ")) << "and before the sheet format";
    }
}

// Template properties of every value type keep their type and text through
// a report that changes some of them; a changed value takes the template's
// type when it fits, else the type of its own value.
TEST_F(XlsxTemplateTest, CustomPropertiesKeepTheTemplatesValueTypes)
{
    std::vector<ZipEntry> entries = templateEntries();
    const char *const templateProperties[][2] = {{"Gross", "<vt:i8>9007199254740993</vt:i8>"},
        {"Ohne", "<vt:ui4>4294967295</vt:ui4>"}, {"Faktor", "<vt:r4>0.1</vt:r4>"},
        {"Stand", "<vt:filetime>2024-03-01T08:30:00Z</vt:filetime>"}, {"Kurz", "<vt:lpstr>Forst</vt:lpstr>"},
        {"ListNumber", "<vt:i4>1</vt:i4>"}, {"Filter", "<vt:lpstr>alt</vt:lpstr>"}, {"Klein", "<vt:ui1>7</vt:ui1>"}};
    QByteArray custom = QByteArray(xmlHead)
        + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
          "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">";
    int pid = 2;
    for (const auto &[name, value] : templateProperties)
        custom += QStringLiteral("<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"%1\" name=\"%2\">")
                      .arg(pid++)
                      .arg(QLatin1String(name))
                      .toLatin1()
            + value + "</property>";
    custom += "</Properties>";
    entries.push_back(entry("docProps/custom.xml", custom));
    for (ZipEntry &e : entries) {
        if (e.name == QLatin1String("_rels/.rels"))
            e.data.replace("</Relationships>",
                "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "custom-properties\" Target=\"docProps/custom.xml\"/></Relationships>");
        if (e.name == QLatin1String("[Content_Types].xml"))
            e.data.replace("</Types>",
                "<Override PartName=\"/docProps/custom.xml\" "
                "ContentType=\"application/vnd.openxmlformats-officedocument.custom-properties+xml\"/></Types>");
    }
    writeZip(templatePath, entries);

    const auto wb = XlsxReader::load(templatePath);
    auto &properties = wb->customProperties();
    properties.insert(QStringLiteral("ListNumber"), QStringLiteral("4711")); // a text that fits the template's i4
    properties.insert(QStringLiteral("Filter"), QStringLiteral("LOS='2'"));
    properties.insert(QStringLiteral("Klein"), QStringLiteral("300")); // too large for ui1: written as text
    properties.insert(QStringLiteral("Neu"), qlonglong(1) << 40);
    const QByteArray written = part(saveAs(*wb), QStringLiteral("docProps/custom.xml"));
    for (const char *expected : {"<vt:i8>9007199254740993</vt:i8>", "<vt:ui4>4294967295</vt:ui4>", "<vt:r4>0.1</vt:r4>",
             "<vt:filetime>2024-03-01T08:30:00Z</vt:filetime>", "<vt:lpstr>Forst</vt:lpstr>", "<vt:i4>4711</vt:i4>",
             "<vt:lpstr>LOS='2'</vt:lpstr>", "<vt:lpwstr>300</vt:lpwstr>", "<vt:i8>1099511627776</vt:i8>"})
        EXPECT_TRUE(written.contains(expected)) << expected << "\n" << written.constData();

    const auto back = XlsxReader::load(dir.filePath(QStringLiteral("Bericht.xlsx")));
    EXPECT_EQ(back->customProperties().value(QStringLiteral("Gross")).toLongLong(), 9007199254740993LL);
    EXPECT_EQ(back->customProperties().value(QStringLiteral("ListNumber")).toString(), QStringLiteral("4711"));
}

// The strings part counts the string cells of every sheet, written anew or
// kept, and not the template's strings no cell uses any more.
TEST_F(XlsxTemplateTest, SharedStringCountIsTheNumberOfStringCells)
{
    const auto wb = XlsxReader::load(templatePath);
    Worksheet &report = wb->sheet(0);
    for (int row = 1; row <= 7; ++row) // the template's texts go, "Fett" stays
        if (row != 7)
            report.cellForWrite(row, 1) = Cell();
    for (int row = 20; row < 23; ++row) {
        Cell &c = report.cellForWrite(row, 2);
        c.type = CellType::Text;
        c.text = row % 2 ? QStringLiteral("Fichte") : QStringLiteral("Kiefer");
    }
    const QString out = saveAs(*wb);
    const QByteArray strings = part(out, QStringLiteral("xl/sharedStrings.xml"));
    qsizetype cells = 0;
    for (const char *sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"})
        cells += part(out, QString::fromLatin1(sheet)).count("t=\"s\"");
    EXPECT_EQ(cells, 1 + 3 + 2); // "Fett", three new texts, the settings sheet's two
    EXPECT_TRUE(strings.contains(QStringLiteral("count=\"%1\" uniqueCount=\"8\"").arg(cells).toLatin1()))
        << strings.constData();
}

} // namespace

} // namespace tannbuch
