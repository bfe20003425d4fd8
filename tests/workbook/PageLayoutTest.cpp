// Pagination and page set-up of the page renderer, and the header and
// footer codes, on small sheets made by hand.

#include "XlsxTestHelpers.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/XlConstants.h"
#include "workbook/package/TemplatePackage.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/print/HeaderFooterText.h"
#include "workbook/print/PageLayout.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace xlsxtest;

namespace {

using Bands = std::vector<std::pair<int, int>>;

// A sheet of `rows` rows of one value each in `columns` columns, with the
// page set-up elements given (they go into the sheet's part as a template
// would have them).
std::unique_ptr<Workbook> sheetOf(int rows, int columns, const QByteArray &pageXml = QByteArray())
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c)
            setNumber(sheet, r, c, r);
    }
    const QByteArray xml = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                           "<sheetFormatPr defaultRowHeight=\"15\"/>"
        + pageXml + "</worksheet>";
    sheet.setTemplateXml(xml);
    sheet.setTemplatePrintFormat(XlsxReader::printFormatOf(xml, u"sheet1.xml"_s));
    return wb;
}

struct LayoutCase
{
    const char *name;
    int rows;
    int columns;
    QByteArray pageXml;
    std::function<void(Workbook &)> change;
    Bands rowBands;
    Bands columnBands;
    double scale;
};

// A4 portrait with the usual margins leaves 733.9 points: 48 rows of 15
// points; landscape leaves 487.3 points: 32 rows. A column of stored width
// 20 is 140 pixels, 105 points: 4 fit across the 494.5 points of A4.
void widen(Workbook &wb)
{
    for (int c = 1; c <= 20; ++c)
        wb.sheet(0).columnsForWrite()[c].width = 20;
}

std::vector<LayoutCase> layoutCases()
{
    const auto breakAbove
        = [](int row) { return [row](Workbook &wb) { wb.sheet(0).rowBreaksForWrite().insert(row); }; };
    return {
        {"rows fill pages", 100, 1, {}, {}, {{1, 48}, {49, 96}, {97, 100}}, {{1, 1}}, 1.0},
        {"manual break starts a page", 100, 1, {}, breakAbove(10), {{1, 9}, {10, 57}, {58, 100}}, {{1, 1}}, 1.0},
        {"break on the first row is no empty page", 20, 1, {}, breakAbove(1), {{1, 20}}, {{1, 1}}, 1.0},
        {"landscape", 100, 1, {}, [](Workbook &wb) { wb.sheet(0).pageSetupForWrite().orientation = u"landscape"_s; },
            {{1, 32}, {33, 64}, {65, 96}, {97, 100}}, {{1, 1}}, 1.0},
        {"scale", 100, 1, {}, [](Workbook &wb) { wb.sheet(0).pageSetupForWrite().setScale(50); }, {{1, 97}, {98, 100}},
            {{1, 1}}, 0.5},
        {"hidden rows take no room", 100, 1, {},
            [](Workbook &wb) {
                for (int r = 2; r <= 50; ++r)
                    wb.sheet(0).rowForWrite(r).hidden = true;
            },
            {{1, 97}, {98, 100}}, {{1, 1}}, 1.0},
        {"tall rows", 10, 1, {},
            [](Workbook &wb) {
                for (int r = 1; r <= 10; ++r)
                    wb.sheet(0).rowForWrite(r).height = 400;
            },
            {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}}, {{1, 1}}, 1.0},
        {"wide columns run across, pages down first", 60, 20, {}, widen, {{1, 48}, {49, 60}},
            {{1, 4}, {5, 8}, {9, 12}, {13, 16}, {17, 20}}, 1.0},
        {"fit to one page wide", 60, 20,
            "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr><pageSetup fitToWidth=\"1\" fitToHeight=\"0\"/>", widen,
            {{1, 60}}, {{1, 20}}, 0.23},
        {"fit to one page", 300, 1, "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>", {}, {{1, 300}}, {{1, 1}},
            0.16},
        {"margins", 100, 1,
            "<pageMargins left=\"0.7\" right=\"0.7\" top=\"2\" bottom=\"2\" header=\"0.3\" footer=\"0.3\"/>", {},
            {{1, 36}, {37, 72}, {73, 100}}, {{1, 1}}, 1.0},
        {"print area of whole columns ends with the content", 100, 1, {},
            [](Workbook &wb) {
                auto package = std::make_shared<TemplatePackage>();
                package->workbookPart = u"xl/workbook.xml"_s;
                package->addPart(package->workbookPart,
                    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><definedNames>"
                    "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">Tannbuch!$A:$A</definedName>"
                    "</definedNames></workbook>");
                package->sheets.push_back({u"Tannbuch"_s, {}, {}, true, 0});
                wb.setPackage(package);
            },
            {{1, 48}, {49, 96}, {97, 100}}, {{1, 1}}, 1.0},
        {"letter paper", 100, 1, {}, [](Workbook &wb) { wb.sheet(0).pageSetupForWrite().paperSize = 1; },
            {{1, 45}, {46, 90}, {91, 100}}, {{1, 1}}, 1.0},
    };
}

TEST(PageLayoutTest, PagesFollowThePageSetUp)
{
    for (const LayoutCase &c : layoutCases()) {
        SCOPED_TRACE(c.name);
        const auto wb = sheetOf(c.rows, c.columns, c.pageXml);
        if (c.change)
            c.change(*wb);
        const PageLayout layout(*wb, 0);
        EXPECT_DOUBLE_EQ(layout.scale(), c.scale);
        Bands rows;
        Bands columns;
        for (const PageLayout::Page &p : layout.pages()) {
            if (p.columns.first == layout.pages().front().columns.first)
                rows.emplace_back(p.rows.first, p.rows.last);
            if (p.rows.first == layout.pages().front().rows.first)
                columns.emplace_back(p.columns.first, p.columns.last);
        }
        EXPECT_EQ(rows, c.rowBands);
        EXPECT_EQ(columns, c.columnBands);
        EXPECT_EQ(layout.pageCount(), int(c.rowBands.size() * c.columnBands.size()));
        if (layout.pageCount() > 1 && c.columnBands.size() > 1) {
            EXPECT_EQ(layout.pages()[1].columns.first, c.columnBands.front().first) << "pages run down first";
        }
    }
}

// Pages with nothing of their own on them are left out. Four columns fit
// across a page and 48 rows down it; each case puts its cells and names the
// pages that print by their first row and column.
struct ShownPagesCase
{
    const char *name;
    std::function<void(Workbook &, Worksheet &)> fill;
    Bands pages;
    qint64 areaPages; // -1: more than the layout draws
};

void number(Worksheet &sheet, int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c)
            setNumber(sheet, r, c, r);
    }
}

quint32 styleWith(Workbook &wb, const QString &fill, bool border)
{
    ResolvedStyle base;
    base.fillColor = fill;
    wb.setBaseStyles({ResolvedStyle(), base});
    CellStyle style;
    style.baseXf = 1;
    if (border)
        style.borders[EdgeBottom] = BorderLine{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic};
    return wb.styles().intern(style);
}

TEST(PageLayoutTest, PagesWithNothingOnThemAreLeftOut)
{
    const std::vector<ShownPagesCase> cases = {
        {"columns empty below the first rows",
            [](Workbook &, Worksheet &s) {
                number(s, 1, 100, 1, 4);
                number(s, 1, 10, 5, 8);
            },
            {{1, 1}, {49, 1}, {97, 1}, {1, 5}}, 6},
        {"automatic break just before a manual one",
            [](Workbook &, Worksheet &s) {
                number(s, 1, 48, 1, 1);
                number(s, 51, 60, 1, 1);
                s.rowBreaksForWrite().insert(50);
            },
            {{1, 1}, {50, 1}}, 3},
        {"a fill alone",
            [](Workbook &wb, Worksheet &s) {
                number(s, 1, 1, 1, 1);
                s.cellForWrite(60, 5).styleId = styleWith(wb, u"#FFFF00"_s, false);
            },
            {{1, 1}, {49, 5}}, 4},
        {"a border line alone",
            [](Workbook &wb, Worksheet &s) {
                number(s, 1, 1, 1, 1);
                s.cellForWrite(60, 5).styleId = styleWith(wb, QString(), true);
            },
            {{1, 1}, {49, 5}}, 4},
        {"a value in a hidden row",
            [](Workbook &, Worksheet &s) {
                number(s, 1, 1, 1, 1);
                number(s, 60, 60, 5, 5);
                s.rowForWrite(60).hidden = true;
            },
            {{1, 1}}, 4},
        {"a merged text on every page it reaches",
            [](Workbook &, Worksheet &s) {
                number(s, 1, 1, 1, 1);
                number(s, 60, 60, 4, 4);
                s.mergesForWrite().push_back(RangeRef{60, 4, 60, 6});
            },
            {{1, 1}, {49, 1}, {49, 5}}, 4},
        {"a picture on the page of its corner",
            [](Workbook &, Worksheet &s) {
                number(s, 1, 1, 1, 1);
                Picture p;
                p.widthPx = 20;
                p.heightPx = 20;
                p.anchor = CellRef{60, 5};
                s.picturesForWrite().push_back(p);
            },
            {{1, 1}, {49, 5}}, 4},
        {"a stray value in the sheet's last cell",
            [](Workbook &, Worksheet &s) {
                number(s, 1, 1, 1, 1);
                number(s, 1048576, 1048576, 16384, 16384);
            },
            {}, -1},
    };
    for (const ShownPagesCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto wb = sheetOf(0, 0);
        widen(*wb);
        c.fill(*wb, wb->sheet(0));
        const PageLayout layout(*wb, 0);
        Bands pages;
        for (const PageLayout::Page &p : layout.pages())
            pages.emplace_back(p.rows.first, p.columns.first);
        EXPECT_EQ(pages, c.pages);
        if (c.areaPages < 0)
            EXPECT_GT(layout.areaPageCount(), PageLayout::MaxPages);
        else
            EXPECT_EQ(layout.areaPageCount(), c.areaPages);
    }
}

TEST(PageLayoutTest, TemplatePrintAreaTitlesAndSetUpAreRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Tannbuch.xltx"_s);
    writeZip(path, templateEntries());
    const auto wb = XlsxReader::load(path);
    for (int r = 1; r <= 200; ++r)
        setNumber(wb->sheet(0), r, 1, r);
    const PrintSetup setup = PrintSetup::of(*wb, 0);
    EXPECT_EQ(setup.printArea, (RangeRef{1, 1, 40, 4}));
    EXPECT_EQ(setup.titleFirstRow, 1);
    EXPECT_EQ(setup.titleLastRow, 2);
    EXPECT_TRUE(setup.fitToPage);
    EXPECT_TRUE(setup.centerHorizontally);
    EXPECT_DOUBLE_EQ(setup.margins.left(), 36.0);
    EXPECT_EQ(setup.header, u"&CTannbuch"_s);

    // Only the print area prints, fitted to one page but for the manual
    // break, which still starts a page; the second page repeats the titles.
    const PageLayout layout(*wb, 0);
    ASSERT_EQ(wb->sheet(0).rowBreaks().size(), 1u);
    const int breakRow = *wb->sheet(0).rowBreaks().begin();
    ASSERT_EQ(layout.pageCount(), 2);
    EXPECT_EQ(layout.pages()[0].rows.first, 1);
    EXPECT_EQ(layout.pages()[0].rows.last, breakRow - 1);
    EXPECT_EQ(layout.pages()[1].rows.first, breakRow);
    EXPECT_EQ(layout.pages()[1].rows.last, 40);
    EXPECT_EQ(layout.pages()[0].columns.last, 4);
    EXPECT_EQ(layout.titleRows(layout.pages()[0]).first, 0);
    EXPECT_EQ(layout.titleRows(layout.pages()[1]).last, 2);

    // A scale the program sets replaces fitting, as in the saved file; the
    // second page then repeats the title rows.
    wb->sheet(0).pageSetupForWrite().setScale(400);
    const PageLayout scaled(*wb, 0);
    ASSERT_GT(scaled.pageCount(), 1);
    EXPECT_DOUBLE_EQ(scaled.scale(), 4.0);
    EXPECT_EQ(scaled.titleRows(scaled.pages()[1]).first, 1);
    EXPECT_EQ(scaled.titleRows(scaled.pages()[1]).last, 2);
}

TEST(PageLayoutTest, ColumnWidthsInPoints)
{
    // Stored width -> whole pixels of 7-pixel digits with the margins -> points.
    const std::vector<std::pair<double, double>> cases
        = {{0.0, 0.0}, {8.43, 44.25}, {9.140625, 48.0}, {11.0, 57.75}, {20.7109375, 108.75}, {14.0, 73.5}};
    for (const auto &[stored, points] : cases)
        EXPECT_DOUBLE_EQ(PageLayout::columnPoints(stored), points) << stored;
    EXPECT_EQ(PageLayout(*sheetOf(1, 1), 0).columnWidth(1), 48.0) << "the standard width of 64 pixels";
    EXPECT_EQ(PageLayout(*sheetOf(0, 0), 0).pageCount(), 0) << "an empty sheet prints nothing";
}

struct HeaderCase
{
    const char *code;
    QString left;
    QString centre;
    QString right;
};

TEST(HeaderFooterTextTest, CodesBecomeTexts)
{
    HeaderFooterText::Fields f;
    f.page = 2;
    f.pages = 5;
    f.printed = QDateTime(QDate(2026, 3, 7), QTime(8, 5));
    f.sheetName = u"Tannbuch"_s;
    f.fileName = u"Holzliste_4711.xlsx"_s;
    f.folder = u"/srv/listen/"_s;
    const std::vector<HeaderCase> cases = {
        {"&CSeite &P von &N", {}, u"Seite 2 von 5"_s, {}},
        {"&LLinks&CMitte&RRechts", u"Links"_s, u"Mitte"_s, u"Rechts"_s},
        {"&C&A", {}, u"Tannbuch"_s, {}},
        {"Holzliste 4711 && Co", {}, u"Holzliste 4711 & Co"_s, {}},
        {"&L&D &T&R&F", u"07.03.2026 08:05"_s, {}, u"Holzliste_4711.xlsx"_s},
        {"&C&KFF0000Rot&G&S&X", {}, u"Rot"_s, {}},
        {"&L&Z&F&R&z", u"/srv/listen/Holzliste_4711.xlsx"_s, {}, u"/srv/listen/"_s},
        {"&R&\"Arial,Fett\"&14Kopf&", {}, {}, u"Kopf"_s},
        {"", {}, {}, {}},
    };
    for (const HeaderCase &c : cases) {
        const HeaderFooterText t = HeaderFooterText::parse(QString::fromUtf8(c.code), f, u"Calibri"_s, 11);
        EXPECT_EQ(t.plainText(HeaderFooterText::Left), c.left) << c.code;
        EXPECT_EQ(t.plainText(HeaderFooterText::Centre), c.centre) << c.code;
        EXPECT_EQ(t.plainText(HeaderFooterText::Right), c.right) << c.code;
    }

    // Font codes change the runs after them.
    const HeaderFooterText t
        = HeaderFooterText::parse(u"&L&\"Arial,Fett Kursiv\"&14Kopf&B&U zeile"_s, f, u"Calibri"_s, 11);
    const HeaderFooterText::Line &left = t.part(HeaderFooterText::Left);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].family, u"Arial"_s);
    EXPECT_EQ(left[0].size, 14);
    EXPECT_TRUE(left[0].bold && left[0].italic && !left[0].underline);
    EXPECT_EQ(left[1].text, u" zeile"_s);
    EXPECT_TRUE(!left[1].bold && left[1].italic && left[1].underline);

    // &K colours the text after it: RRGGBB, or a theme colour with its tint;
    // six characters that are neither keep the colour.
    const std::vector<std::pair<const char *, QColor>> colours = {
        {"&KFF0000Text", QColor(0xFF, 0, 0)},
        {"&K04-050Text", QColor(0x20, 0x38, 0x64)},
        {"&K01+000Text", QColor(0, 0, 0)},
        {"&KXYZXYZText", QColor()},
        {"Text", QColor()},
    };
    for (const auto &[code, colour] : colours) {
        const HeaderFooterText c = HeaderFooterText::parse(QString::fromUtf8(code), f, u"Calibri"_s, 11);
        ASSERT_EQ(c.part(HeaderFooterText::Centre).size(), 1u) << code;
        EXPECT_EQ(c.part(HeaderFooterText::Centre)[0].text, u"Text"_s) << code;
        EXPECT_EQ(c.part(HeaderFooterText::Centre)[0].color, colour) << code;
    }
}

} // namespace

} // namespace tannbuch
