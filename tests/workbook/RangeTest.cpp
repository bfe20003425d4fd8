#include "SheetTestSupport.h"

#include "common/TestSupport.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/WorkbookError.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace tannbuch {

using namespace Qt::StringLiterals;

using sheettest::SheetTest;

namespace {

TEST_F(SheetTest, EqualFormatsShareOneStyleAndKeepEarlierChanges)
{
    xl.range(u"A1:C3"_s).setValue(1);
    xl.range(u"B2"_s).setNumberFormat(u"0.000"_s);
    xl.range(u"A1:C3"_s).font().setBold(true);
    EXPECT_EQ(cell("A1")->styleId, cell("C3")->styleId);
    EXPECT_NE(cell("A1")->styleId, cell("B2")->styleId);
    EXPECT_EQ(style("B2").numberFormat, u"0.000"_s);
    EXPECT_TRUE(style("B2").bold);
    const quint32 before = book().styles().size();
    xl.range(u"A4:C9"_s).font().setBold(true); // the same style again
    EXPECT_EQ(cell("C9")->styleId, cell("A1")->styleId);
    xl.range(u"A1:C3"_s).font().setSize(14);
    EXPECT_EQ(book().styles().size(), before + 2);
    EXPECT_DOUBLE_EQ(xl.range(u"B2"_s).font().size(), 14.0);
    EXPECT_THROW(xl.range(u"A1"_s).font().setSize(0.5), WorkbookError);

    // One change over many different formats: each cell keeps its own.
    const auto format = [](int r) { return u"0."_s + QString(r, u'0'); };
    for (int r = 1; r <= 40; ++r)
        xl.range(u"E%1"_s.arg(r)).setNumberFormat(format(r));
    xl.range(u"E1:F40"_s).font().setBold(true);
    for (int r = 1; r <= 40; ++r) {
        const QByteArray e = "E" + QByteArray::number(r);
        const QByteArray f = "F" + QByteArray::number(r);
        EXPECT_EQ(style(e.constData()).numberFormat, format(r));
        EXPECT_TRUE(style(e.constData()).bold);
        EXPECT_EQ(cell(f.constData())->styleId, cell("F1")->styleId);
    }
}

TEST_F(SheetTest, WholeColumnFormatReachesLaterCellsWithoutCreatingCells)
{
    xl.range(u"J5"_s).setValue(2.5);
    xl.columns(u"J:J"_s).setNumberFormat(u"0.000"_s);
    EXPECT_EQ(ws().rows().size(), 1u); // no million cells
    EXPECT_EQ(style("J5").numberFormat, u"0.000"_s);
    // A cell written later takes the column's format ...
    xl.range(u"J900000"_s).setValue(1);
    EXPECT_EQ(style("J900000").numberFormat, u"0.000"_s);
    EXPECT_EQ(xl.range(u"J900000"_s).text(), u"1,000"_s);
    // ... and a text column keeps digits as text from the start.
    xl.columns(u"K:K"_s).setNumberFormat(u"@"_s);
    xl.range(u"K12"_s).setValue(u"0815"_s);
    EXPECT_EQ(cell("K12")->text, u"0815"_s);
}

TEST_F(SheetTest, RowFormatsWinOverColumnFormatsForNewCells)
{
    xl.columns(u"C:C"_s).setNumberFormat(u"0.00"_s);
    xl.rows(u"3:8"_s).font().setBold(true);
    // Where the bold rows met the formatted column, the cells keep both.
    EXPECT_EQ(style("C5").numberFormat, u"0.00"_s);
    EXPECT_TRUE(style("C5").bold);
    EXPECT_TRUE(style("F8").bold);
    EXPECT_FALSE(style("F9").bold);
    xl.range(u"F4"_s).setValue(1);
    EXPECT_TRUE(style("F4").bold);
    // A column format set after the row format reaches the row's cells too.
    xl.columns(u"G:G"_s).setNumberFormat(u"0.0"_s);
    EXPECT_EQ(style("G4").numberFormat, u"0.0"_s);
    EXPECT_TRUE(style("G4").bold);
    EXPECT_EQ(style("G100").numberFormat, u"0.0"_s);
}

TEST_F(SheetTest, ClearingAnEdgeAlsoClearsTheNeighboursMatchingLine)
{
    xl.range(u"A5"_s).borders(BorderEdge::Right).setLineStyle(Xl::Continuous);
    xl.range(u"B5:C5"_s).borders(BorderEdge::Left).setLineStyle(Xl::None);
    EXPECT_TRUE(style("A5").borders[EdgeRight].isNone());
    EXPECT_EQ(xl.range(u"B5"_s).borders(BorderEdge::Left).lineStyle(), Xl::None);
    // A line set on an edge is the one line there: the row above shows it too.
    xl.range(u"A9:C9"_s).borders(BorderEdge::Bottom).setWeight(Xl::Medium);
    xl.range(u"A10:C10"_s).borders(BorderEdge::Top).setLineStyle(Xl::Continuous);
    xl.range(u"A10:C10"_s).borders(BorderEdge::Top).setWeight(Xl::Thin);
    EXPECT_EQ(style("B9").borders[EdgeBottom].weight, Xl::Thin);
    // The top rule leaves the bottom edge alone.
    xl.range(u"A20:H20"_s).borders(BorderEdge::Bottom).setLineStyle(Xl::Continuous);
    xl.range(u"A20:H20"_s).borders(BorderEdge::Top).setLineStyle(Xl::Continuous);
    EXPECT_EQ(style("H20").borders[EdgeBottom].lineStyle, Xl::Continuous);
}

TEST_F(SheetTest, InsideEdgesExistOnlyBetweenCells)
{
    xl.range(u"A1:C2"_s).borders(BorderEdge::InsideVertical).setLineStyle(Xl::Continuous);
    EXPECT_TRUE(style("A1").borders[EdgeLeft].isNone());
    EXPECT_EQ(style("A1").borders[EdgeRight].lineStyle, Xl::Continuous);
    EXPECT_EQ(style("B2").borders[EdgeLeft].lineStyle, Xl::Continuous);
    EXPECT_TRUE(style("C1").borders[EdgeRight].isNone());
    EXPECT_TRUE(style("A1").borders[EdgeBottom].isNone());
    // One row has no inside horizontal edge.
    xl.range(u"A5:C5"_s).borders(BorderEdge::InsideHorizontal).setLineStyle(Xl::Continuous);
    EXPECT_TRUE(style("B5").borders[EdgeTop].isNone());
    EXPECT_TRUE(style("B5").borders[EdgeBottom].isNone());
    // A weight alone draws a continuous line.
    xl.range(u"E1"_s).borders(BorderEdge::DiagonalUp).setWeight(Xl::Medium);
    EXPECT_EQ(style("E1").borders[EdgeDiagonalUp].lineStyle, Xl::Continuous);
    EXPECT_EQ(style("E1").borders[EdgeDiagonalUp].weight, Xl::Medium);

    EXPECT_THROW(xl.range(u"A1"_s).borders(BorderEdge(4)), WorkbookError);
    EXPECT_THROW(xl.range(u"A1"_s).borders(BorderEdge::Top).setLineStyle(3), WorkbookError);
    EXPECT_THROW(xl.range(u"A1"_s).borders(BorderEdge::Top).setWeight(3), WorkbookError);
    EXPECT_THROW(xl.range(u"A1"_s).borders(BorderEdge::Top).setColorIndex(57), WorkbookError);
}

TEST_F(SheetTest, MergeKeepsTheTopLeftValueAndJoinsOverlaps)
{
    xl.range(u"D20"_s).setValue(u"Stück: 12"_s);
    xl.range(u"E20"_s).setValue(5);
    xl.range(u"D20:E20"_s).merge();
    ASSERT_EQ(ws().merges().size(), 1u);
    EXPECT_EQ(ws().merges().front(), (RangeRef{20, 4, 20, 5}));
    EXPECT_EQ(xl.range(u"D20"_s).value(), u"Stück: 12"_s);
    EXPECT_TRUE(cell("E20")->isEmpty());
    EXPECT_TRUE(xl.range(u"E20"_s).mergeCells());

    xl.range(u"E20:F21"_s).merge();
    ASSERT_EQ(ws().merges().size(), 1u);
    EXPECT_EQ(ws().merges().front(), (RangeRef{20, 4, 21, 6}));
    xl.range(u"A1"_s).merge(); // one cell: nothing to merge
    EXPECT_EQ(ws().merges().size(), 1u);
    xl.range(u"F21"_s).unMerge();
    EXPECT_TRUE(ws().merges().empty());
}

TEST_F(SheetTest, AlignmentAndWidthsOfTheDataColumns)
{
    xl.range(u"G14:J14"_s).select();
    xl.selection().setHorizontalAlignment(HAlign::Right);
    EXPECT_EQ(xl.range(u"H14"_s).horizontalAlignment(), HAlign::Right);
    EXPECT_EQ(xl.range(u"F14"_s).horizontalAlignment(), HAlign::General);

    xl.range(u"A12:J40"_s).setColumnWidth(12);
    EXPECT_DOUBLE_EQ(ws().columns().at(1).width, 12.7109375); // stored with the margins
    EXPECT_DOUBLE_EQ(xl.range(u"J1"_s).columnWidth(), 12.0);
    EXPECT_EQ(ws().columns().count(11), 0u);
    EXPECT_LT(xl.range(u"K1"_s).columnWidth(), 0.0);
}

TEST_F(SheetTest, ManualPageBreaksAboveRows)
{
    SheetHandle s = sheet();
    s.rows(40).setPageBreak(Xl::PageBreakManual);
    s.rows(80).setPageBreak(Xl::PageBreakManual);
    s.rows(1).setPageBreak(Xl::PageBreakManual); // nothing lies above row 1
    EXPECT_EQ(ws().rowBreaks(), (std::set<int>{40, 80}));
    EXPECT_EQ(s.rows(40).pageBreak(), Xl::PageBreakManual);
    s.rows(40).setPageBreak(Xl::PageBreakNone);
    EXPECT_EQ(s.rows(40).pageBreak(), Xl::PageBreakNone);
    EXPECT_THROW(s.rows(50).setPageBreak(-4105), WorkbookError);
    s.resetAllPageBreaks();
    EXPECT_TRUE(ws().rowBreaks().empty());
}

TEST_F(SheetTest, SelectionAndActiveCell)
{
    EXPECT_EQ(xl.selection().address(), u"A1"_s);
    xl.columns(u"K:M"_s).select();
    xl.range(u"K85"_s).activate();
    EXPECT_EQ(xl.selection().ref(), (RangeRef{1, 11, SheetLimits::MaxRows, 13}));
    EXPECT_EQ(xl.activeCell().address(), u"K85"_s);
    xl.range(u"B2"_s).activate(); // outside: becomes the selection
    EXPECT_EQ(xl.selection().address(), u"B2"_s);
    EXPECT_EQ(xl.rows(u"5"_s).ref(), xl.rows(5).ref());
    EXPECT_EQ(xl.columns(u"k"_s).ref(), xl.columns(u"K:K"_s).ref());
    EXPECT_EQ(xl.rows(u"A3:B8"_s).ref(), (RangeRef{3, 1, 8, SheetLimits::MaxColumns}));

    Worksheet &other = book().addSheet(u"Einstellungen"_s);
    EXPECT_THROW(Range(book(), other, RangeRef{1, 1, 1, 1}, &xl).select(), WorkbookError);
    EXPECT_THROW(Range(book(), ws(), RangeRef{1, 1, 1, 1}).select(), WorkbookError); // no application
}

TEST_F(SheetTest, HyperlinkCellShowsItsText)
{
    xl.range(u"A30"_s).select();
    const QString address = u"https://example.org/bayernatlas/?X=4468000&Y=5333000&zoom=10"_s;
    sheet().hyperlinks().add(xl.selection(), address, u"Link zu Bayeratlas ..."_s);
    sheet().hyperlinks().add(xl.range(u"A31"_s), u"12"_s);
    ASSERT_EQ(ws().hyperlinks().size(), 2u);
    EXPECT_EQ(ws().hyperlinks().front().address, address);
    EXPECT_EQ(xl.range(u"A30"_s).value(), u"Link zu Bayeratlas ..."_s);
    EXPECT_EQ(cell("A31")->type, CellType::Text); // the link text stays text
    // A second link on the same cell replaces the first.
    sheet().hyperlinks().add(xl.range(u"A30"_s), u"#Einstellungen!A1"_s, u"x"_s);
    EXPECT_EQ(ws().hyperlinks().size(), 2u);
    EXPECT_EQ(ws().hyperlinks().back().location, u"Einstellungen!A1"_s);
    EXPECT_THROW(sheet().hyperlinks().add(xl.range(u"A32"_s), u" "_s), WorkbookError);
}

TEST_F(SheetTest, PictureLandsAtTheActiveCell)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(u"logo.png"_s);
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    image.setDotsPerMeterX(7559); // 192 dpi: shows at half its pixel size
    image.setDotsPerMeterY(7559);
    ASSERT_TRUE(image.save(png));

    xl.range(u"H2"_s).select();
    EXPECT_EQ(sheet().pictures().insert(png), 0);
    ASSERT_EQ(ws().pictures().size(), 1u);
    const Picture &p = ws().pictures().front();
    EXPECT_EQ(p.anchor, (CellRef{2, 8}));
    EXPECT_EQ(p.extension, u"png"_s);
    EXPECT_EQ(p.widthPx, 60);
    EXPECT_EQ(p.heightPx, 20);
    EXPECT_FALSE(p.data.isEmpty());

    const QString missing = dir.filePath(u"fehlt.png"_s);
    try {
        sheet().pictures().insert(missing);
        FAIL() << "a missing picture must fail";
    } catch (const WorkbookError &e) {
        EXPECT_TRUE(e.message().contains(missing));
    }
    const QString text = dir.filePath(u"kein-bild.png"_s);
    ASSERT_TRUE(testsupport::writeFile(text, "not an image"));
    EXPECT_THROW(sheet().pictures().insert(text), WorkbookError);
    EXPECT_EQ(ws().pictures().size(), 1u);
}

// A picture file is refused above its limit before it is read (devices and
// pipes are refused by the same reader as the ini file).
TEST_F(SheetTest, PicturesAboveTheLimitAreRefusedUnread)
{
    QTemporaryDir dir;
    const struct
    {
        const char *name;
        qint64 size; // sparse: no disk is used
        const char *says;
    } cases[] = {
        {"riesig.png", qint64(2) << 30, "größer als 20 MB"},
        {"knapp-zu-gross.png", SheetLimits::MaxPictureBytes + 1, "größer als 20 MB"},
        {"grenze.png", SheetLimits::MaxPictureBytes, "kein Bild"}, // read, but no image
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(c.size));
        try {
            sheet().pictures().insert(path);
            ADD_FAILURE() << c.name << " was taken";
        } catch (const WorkbookError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.says)) && e.message().contains(path))
                << e.message().toStdString();
        }
    }
    EXPECT_TRUE(ws().pictures().empty());
}

} // namespace

namespace {

TEST_F(SheetTest, EqualTextsShareOneBufferAndCopiedFormulasStandAlone)
{
    // The same short text written apart shares one buffer; a long one keeps its own.
    xl.range(u"A1"_s).setValue(u"Fichte"_s);
    xl.range(u"B7"_s).setValue(QString(u"Fich"_s + u"te"_s));
    EXPECT_EQ(cell("B7")->text, u"Fichte"_s);
    EXPECT_EQ(cell("A1")->text.constData(), cell("B7")->text.constData());
    const QString longText(TextPool::MaxLength + 1, u'x');
    xl.range(u"C1:C2"_s).setValue(longText);
    EXPECT_EQ(cell("C2")->text, longText);

    // A formula survives copying a cell and is gone once a value replaces it.
    xl.range(u"D1"_s).setFormula(u"=A1&B7"_s);
    Cell copy = *cell("D1");
    xl.range(u"D1"_s).setValue(3);
    EXPECT_EQ(copy.formula, u"=A1&B7"_s);
    EXPECT_TRUE(cell("D1")->formula.isEmpty());
    EXPECT_EQ(QStringView(cell("D1")->formula), QStringView());
}

} // namespace

} // namespace tannbuch
