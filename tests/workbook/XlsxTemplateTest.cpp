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

using namespace Qt::StringLiterals;

using namespace xlsxtest;

namespace {

class XlsxTemplateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        templatePath = dir.filePath(u"Tannbuch.xltx"_s);
        writeZip(templatePath, templateEntries());
    }

    QString saveAs(const Workbook &workbook, const QString &name = u"Bericht.xlsx"_s)
    {
        const QString path = dir.filePath(name);
        XlsxWriter::save(workbook, path);
        workbookvalidation::expectValid(path);
        return path;
    }

    QTemporaryDir dir;
    QString templatePath;
};

// (Texts, formats, merges, links and widths the template brings are read
// back through the saved report below; print set-up by the page layout tests.)
TEST_F(XlsxTemplateTest, LoadsCellsStylesAndSheetFeatures)
{
    const auto wb = XlsxReader::load(templatePath);
    ASSERT_EQ(wb->sheetCount(), 2);
    const Worksheet &sheet = wb->sheet(0);
    EXPECT_EQ(sheet.name(), u"Tannbuch"_s);
    ASSERT_NE(sheet.cell(1, 1), nullptr);
    const ResolvedStyle title = wb->resolve(sheet.cell(1, 1)->styleId);
    EXPECT_TRUE(title.bold);
    EXPECT_DOUBLE_EQ(title.fontSize, 16.0);
    const ResolvedStyle boxed = wb->resolve(sheet.cell(3, 1)->styleId);
    EXPECT_EQ(boxed.borders[EdgeLeft].lineStyle, Xl::Continuous);
    EXPECT_EQ(boxed.borders[EdgeBottom].weight, Xl::Thin);
    EXPECT_EQ(boxed.horizontalAlignment, HAlign::Center);
    EXPECT_EQ(sheet.cell(7, 1)->text, u"Fett und normal"_s);

    // Shared formulas become ordinary ones, each moved from its master.
    EXPECT_EQ(sheet.cell(3, 3)->formula, u"=A3+B3"_s);
    EXPECT_EQ(sheet.cell(4, 3)->formula, u"=A4+B4"_s);
    EXPECT_EQ(sheet.cell(5, 3)->formula, u"=A5+B5"_s);
    EXPECT_EQ(sheet.cell(5, 3)->cachedType, CellType::Number);
    EXPECT_DOUBLE_EQ(sheet.cell(5, 3)->number, 9.0);

    // The file's break id 5 is the row above the break: row 6 starts a page.
    EXPECT_EQ(sheet.rowBreaks(), std::set<int>({6}));
    EXPECT_DOUBLE_EQ(sheet.columns().at(3).width, 12.0);
    EXPECT_DOUBLE_EQ(sheet.row(1)->height, 24.0);
    EXPECT_EQ(sheet.pageSetup().scale, 85);
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
    const QByteArray types = part(out, u"[Content_Types].xml"_s);
    EXPECT_TRUE(types.contains("spreadsheetml.sheet.main+xml"));
    EXPECT_FALSE(types.contains("template.main+xml"));
    // Saved as a template, it stays one.
    EXPECT_TRUE(part(saveAs(*wb, u"Kopie.xltx"_s), u"[Content_Types].xml"_s).contains("template.main+xml"));
}

TEST_F(XlsxTemplateTest, ChangedReportSheetKeepsTemplateAroundIt)
{
    const auto wb = XlsxReader::load(templatePath);
    Worksheet &sheet = wb->sheet(0);
    setText(sheet, 12, 1, u"Los 1"_s);
    Cell &n = setNumber(sheet, 12, 2, 3.25);
    CellStyle bold;
    bold.baseXf = 3; // the template's boxed, centred format
    bold.bold = true;
    bold.numberFormat = u"0.00"_s;
    n.styleId = wb->styles().intern(bold);
    sheet.rowBreaksForWrite().insert(12);
    sheet.picturesForWrite().push_back({tinyPng(), u"png"_s, 40, 20, {8, 5}, u"Kopfbild"_s});
    sheet.hyperlinksForWrite().push_back(
        {{12, 3}, u"https://example.org/?a=1&b=2"_s, QString(), u"Polter"_s, QString()});

    const QString out = saveAs(*wb);

    // The unchanged settings sheet is copied byte for byte.
    EXPECT_EQ(part(out, u"xl/worksheets/sheet2.xml"_s), templateEntries()[11].data);
    // The stale calculation chain is gone, and the workbook asks for recalculation.
    const QStringList names = partNames(out);
    EXPECT_FALSE(names.contains(u"xl/calcChain.xml"_s));
    EXPECT_FALSE(part(out, u"[Content_Types].xml"_s).contains("calcChain"));
    EXPECT_FALSE(part(out, u"xl/_rels/workbook.xml.rels"_s).contains("calcChain"));
    EXPECT_TRUE(part(out, u"xl/workbook.xml"_s).contains("fullCalcOnLoad=\"1\""));
    // The template's formats keep their numbers; the program's one is appended.
    const QByteArray styles = part(out, u"xl/styles.xml"_s);
    EXPECT_TRUE(styles.contains("<cellXfs count=\"5\">"));
    // The template's strings keep their numbers, rich text included.
    const QByteArray strings = part(out, u"xl/sharedStrings.xml"_s);
    EXPECT_TRUE(strings.contains("<si><t>Holzliste</t></si><si><t>Menge</t></si>"));
    EXPECT_TRUE(strings.contains("<si><r><rPr><b/>"));
    EXPECT_TRUE(strings.contains("<si><t>Los 1</t></si>"));

    // (The order of the sheet's elements the schema check in saveAs sees to.)
    const QByteArray xml = part(out, u"xl/worksheets/sheet1.xml"_s);
    // The template's break and the new one, each once.
    EXPECT_TRUE(xml.contains("<rowBreaks count=\"2\" manualBreakCount=\"2\"><brk id=\"5\" max=\"16383\" man=\"1\"/>"
                             "<brk id=\"11\" max=\"16383\" man=\"1\"/></rowBreaks>"));
    EXPECT_EQ(xml.count("<cols>"), 1);
    // A cell still holding its template string keeps that string's number
    // (here the rich text one).
    EXPECT_TRUE(xml.contains("<c r=\"A7\" t=\"s\"><v>3</v></c>"));
    // The drawing keeps the logo and gets the new picture.
    const QByteArray drawing = part(out, u"xl/drawings/drawing1.xml"_s);
    EXPECT_EQ(drawing.count("r:embed="), 2);
    EXPECT_TRUE(drawing.contains("<xdr:oneCellAnchor>"));
    EXPECT_TRUE(drawing.contains("cx=\"381000\" cy=\"190500\""));

    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const QJsonObject r = verify(out, {u"Tannbuch:A1,B2,C4,B12,A12"_s, u"Einstellungen:A2,B2"_s});
    EXPECT_EQ(r.value(u"sheets"_s).toArray().size(), 2);
    EXPECT_FALSE(r.value(u"template"_s).toBool());
    EXPECT_EQ(r.value(u"media"_s).toArray().size(), 2);
    const QJsonObject seen = sheetOf(r, u"Tannbuch"_s);
    EXPECT_EQ(seen.value(u"pictures"_s).toArray().size(), 2);
    const auto value = [&](const QString &path) {
        QJsonValue v = seen;
        for (const QString &key : path.split(QLatin1Char('/')))
            v = v.toObject().value(key);
        return v.toVariant();
    };
    // What the template brought and what the report added, side by side.
    const std::vector<std::pair<QString, QVariant>> entries = {
        {u"print_area"_s, u"$A$1:$D$40"_s},
        {u"print_title_rows"_s, u"$1:$2"_s},
        {u"row_breaks"_s, QVariantList{5, 11}},
        {u"merges"_s, QVariantList{u"A1:D1"_s}},
        {u"col_widths/A/width"_s, 20.7109375},
        {u"col_widths/A/custom"_s, true},
        {u"hyperlinks/C12/target"_s, u"https://example.org/?a=1&b=2"_s},
        {u"hyperlinks/A6/target"_s, u"https://example.org/karte?x=1&y=2"_s},
        {u"cells/A1/value"_s, u"Holzliste"_s},
        {u"cells/A1/bold"_s, true},
        {u"cells/B2/number_format"_s, u"0.000"_s},
        {u"cells/C4/value"_s, u"=A4+B4"_s},
        {u"cells/B12/value"_s, 3.25},
        {u"cells/B12/bold"_s, true},
        {u"cells/B12/number_format"_s, u"0.00"_s},
        {u"cells/B12/borders/left/style"_s, u"thin"_s},
        {u"cells/B12/halign"_s, u"center"_s},
    };
    for (const auto &[path, want] : entries)
        EXPECT_TRUE(value(path) == want) << path.toStdString() << ": " << value(path).toString().toStdString();
    EXPECT_EQ(cellOf(r, u"Einstellungen"_s, u"B2"_s).value(u"value"_s).toInt(), 8);
}

TEST_F(XlsxTemplateTest, MacroTemplateBecomesPlainWorkbook)
{
    const QString macroPath = dir.filePath(u"Tannbuch_Makro.xltm"_s);
    writeZip(macroPath, templateEntries(true));
    const auto wb = XlsxReader::load(macroPath);
    wb->sheet(0).cellForWrite(20, 1).type = CellType::Number;
    const QString out = saveAs(*wb);
    const QStringList names = partNames(out);
    EXPECT_FALSE(names.contains(u"xl/vbaProject.bin"_s));
    const QByteArray types = part(out, u"[Content_Types].xml"_s);
    EXPECT_FALSE(types.contains("vbaProject"));
    EXPECT_FALSE(types.contains("macroEnabled"));
    EXPECT_TRUE(types.contains("spreadsheetml.sheet.main+xml"));
    // The printer settings keep their own content type.
    EXPECT_TRUE(types.contains("/xl/printerSettings/printerSettings1.bin"));
    EXPECT_FALSE(part(out, u"xl/_rels/workbook.xml.rels"_s).contains("vbaProject"));
    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl fehlt";
    verify(out, {u"Tannbuch:A1"_s});
}

TEST_F(XlsxTemplateTest, PageSetupFromProgramReplacesTemplateValues)
{
    const auto wb = XlsxReader::load(templatePath);
    PageSetup &page = wb->sheet(0).pageSetupForWrite();
    page.setScale(90);
    page.oddHeader = u"&CHolzliste 4711"_s;
    page.oddFooter = u"&CSeite &P von &N"_s;
    const QString out = saveAs(*wb);
    const QByteArray xml = part(out, u"xl/worksheets/sheet1.xml"_s);
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
        const QString path = dir.filePath(u"Ansichten.xltx"_s);
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

    const QByteArray report = part(out, u"xl/worksheets/sheet1.xml"_s);
    const QByteArray settings = part(out, u"xl/worksheets/sheet2.xml"_s);
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
    const QString again = saveAs(*back, u"Bericht2.xlsx"_s);
    const QByteArray settings2 = part(again, u"xl/worksheets/sheet2.xml"_s);
    EXPECT_FALSE(settings2.contains("view=")) << settings2.constData();
    EXPECT_FALSE(settings2.contains("tabSelected")) << settings2.constData();
    EXPECT_TRUE(part(again, u"xl/worksheets/sheet1.xml"_s).contains("tabSelected=\"1\""));
}

TEST_F(XlsxSheetViewTest, AViewTheProgramDoesNotSetIsKept)
{
    const auto wb = XlsxReader::load(templateWithSettingsViews(
        "<sheetViews><sheetView view=\"pageLayout\" zoomScale=\"85\" workbookViewId=\"0\"/></sheetViews>"));
    EXPECT_EQ(wb->sheet(1).view(), SheetViewMode::PageLayout);
    wb->sheet(1).cellForWrite(5, 1).type = CellType::Number;
    const QByteArray written = part(saveAs(*wb), u"xl/worksheets/sheet2.xml"_s);
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
        const QByteArray written = part(saveAs(*wb), u"xl/worksheets/sheet2.xml"_s);
        const qsizetype views = written.indexOf("<sheetViews><sheetView workbookViewId=\"0\" tabSelected=\"1\"/>");
        EXPECT_GE(views, 0) << (changed ? "changed: " : "unchanged: ") << written.constData();
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
        custom += u"<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"%1\" name=\"%2\">"_s.arg(pid++)
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
    properties.insert(u"ListNumber"_s, u"4711"_s); // a text that fits the template's i4
    properties.insert(u"Filter"_s, u"LOS='2'"_s);
    properties.insert(u"Klein"_s, u"300"_s); // too large for ui1: written as text
    properties.insert(u"Neu"_s, qlonglong(1) << 40);
    const QByteArray written = part(saveAs(*wb), u"docProps/custom.xml"_s);
    for (const char *expected : {"<vt:i8>9007199254740993</vt:i8>", "<vt:ui4>4294967295</vt:ui4>", "<vt:r4>0.1</vt:r4>",
             "<vt:filetime>2024-03-01T08:30:00Z</vt:filetime>", "<vt:lpstr>Forst</vt:lpstr>", "<vt:i4>4711</vt:i4>",
             "<vt:lpstr>LOS='2'</vt:lpstr>", "<vt:lpwstr>300</vt:lpwstr>", "<vt:i8>1099511627776</vt:i8>"})
        EXPECT_TRUE(written.contains(expected)) << expected << "\n" << written.constData();

    const auto back = XlsxReader::load(dir.filePath(u"Bericht.xlsx"_s));
    EXPECT_EQ(back->customProperties().value(u"Gross"_s).toLongLong(), 9007199254740993LL);
    EXPECT_EQ(back->customProperties().value(u"ListNumber"_s).toString(), u"4711"_s);
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
    for (int row = 20; row < 23; ++row)
        setText(report, row, 2, row % 2 ? u"Fichte"_s : u"Kiefer"_s);
    const QString out = saveAs(*wb);
    const QByteArray strings = part(out, u"xl/sharedStrings.xml"_s);
    qsizetype cells = 0;
    for (const char *sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"})
        cells += part(out, QString::fromLatin1(sheet)).count("t=\"s\"");
    EXPECT_EQ(cells, 1 + 3 + 2); // "Fett", three new texts, the settings sheet's two
    EXPECT_TRUE(strings.contains(u"count=\"%1\" uniqueCount=\"8\""_s.arg(cells).toLatin1())) << strings.constData();
}

} // namespace

} // namespace tannbuch
