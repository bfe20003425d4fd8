#include "gui/SheetView.h"

#include "gui/SheetDelegate.h"
#include "gui/SheetModel.h"
#include "workbook/XlsxTestHelpers.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/package/XlsxReader.h"

#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

// An application with one empty workbook and a view of its sheet, made when
// the test has written the cells.
class SheetViewTest : public ::testing::Test
{
protected:
    explicit SheetViewTest(const QLocale &locale = QLocale(QLocale::German, QLocale::Germany))
    {
        xl.setLocale(locale);
        xl.workbooks().add();
    }

    Range range(const char *address) { return xl.range(s(address)); }
    Workbook &book() { return xl.activeWorkbook().workbook(); }
    Worksheet &ws() { return xl.activeSheet().worksheet(); }

    SheetView &view()
    {
        if (!m_view) {
            m_view = std::make_unique<SheetView>();
            m_view->setSheet(&book(), &ws());
            m_view->resize(900, 500);
        }
        return *m_view;
    }
    // The view on the screen, for clicks and pictures of it.
    SheetView &shownView()
    {
        view().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view()));
        return view();
    }
    const SheetModel &model() { return *view().sheetModel(); }
    // The look of a cell by its address.
    const SheetCellLook &look(const char *address)
    {
        const RangeRef r = CellAddress::parse(s(address));
        return model().look(r.firstRow - 1, r.firstColumn - 1);
    }

    Application xl;

private:
    std::unique_ptr<SheetView> m_view;
};

// Values in their number formats, under the locale the workbook has.
struct LocaleCase
{
    const char *name;
    QLocale locale;
    std::vector<const char *> shown; // A1, A2, ... in order
};

class SheetViewTextTest : public SheetViewTest, public ::testing::WithParamInterface<LocaleCase>
{
protected:
    SheetViewTextTest()
        : SheetViewTest(GetParam().locale)
    { }
};

TEST_P(SheetViewTextTest, ShowsValuesAsTheirFormatsAndTheLocaleMakeThem)
{
    const std::pair<const char *, QVariant> written[] = {{"0.000", 1.5}, {"0.0%", 0.256}, {"@", 12.5}, {"@", s("0,95")},
        {nullptr, 1234.5}, {nullptr, 1.0 / 3.0}, {nullptr, true}};
    for (int row = 1; row <= int(std::size(written)); ++row) {
        const auto &[format, value] = written[row - 1];
        if (format)
            xl.cells(row, 1).setNumberFormat(s(format));
        xl.cells(row, 1).setValue(value);
    }
    range("B1").setValue(3);
    range("A8").setFormula(s("=B1/2"));
    range("A9").setFormula(s("=B1/0"));
    // A formula the model cannot compute shows the result cached with it.
    Cell &cached = ws().cellForWrite(10, 1);
    cached.type = CellType::Formula;
    cached.formula = s("=SUMME(B1:B3)");
    cached.cachedType = CellType::Number;
    cached.number = 42;
    xl.activeSheet().hyperlinks().add(range("A11"), s("https://example.org/karte"), s("Karte"));

    const std::vector<const char *> &shown = GetParam().shown;
    for (int row = 1; row <= int(shown.size()); ++row)
        EXPECT_EQ(view().displayText(row, 1), s(shown[size_t(row - 1)])) << "A" << row;
    EXPECT_EQ(view().displayText(1, 2), s("3"));
    EXPECT_EQ(view().displayText(12, 1), QString());
    EXPECT_EQ(view().displayText(100000, 1), QString());
}

INSTANTIATE_TEST_SUITE_P(Locales, SheetViewTextTest,
    ::testing::Values(
        LocaleCase{"German", QLocale(QLocale::German, QLocale::Germany),
            {"1,500", "25,6%", "12,5", "0,95", "1234,5", "0,333333333", "WAHR", "1,5", "#DIV/0!", "42", "Karte"}},
        LocaleCase{"C", QLocale::c(),
            {"1.500", "25.6%", "12.5", "0,95", "1234.5", "0.333333333", "TRUE", "1.5", "#DIV/0!", "42", "Karte"}}),
    [](const ::testing::TestParamInfo<LocaleCase> &test) { return std::string(test.param.name); });

// What the delegate draws with: fonts, alignment, borders, spans, sizes.
using SheetLookTest = SheetViewTest;

TEST_F(SheetLookTest, FontsColoursAndAlignmentFollowTheCellFormats)
{
    range("A1").setValue(s("Tannbuch"));
    range("A1").font().setBold(true);
    range("A1").font().setSize(14);
    range("A2").setValue(7);
    range("A3").setValue(s("links"));
    range("B2:B3").setValue(s("x"));
    range("B2").setHorizontalAlignment(HAlign::Right);
    range("B3").setHorizontalAlignment(HAlign::Center);
    // A template's cell format with a red font and the text at the top.
    ResolvedStyle redTop;
    redTop.fontColor = s("#FF0000");
    redTop.verticalAlignment = VAlign::Top;
    book().setBaseStyles({ResolvedStyle(), redTop});
    range("A4").setValue(s("rot"));
    CellStyle fromTemplate;
    fromTemplate.baseXf = 1;
    ws().cellForWrite(4, 1).styleId = book().styles().intern(fromTemplate);

    EXPECT_TRUE(look("A1").font.bold());
    EXPECT_EQ(look("A1").font.pointSizeF(), 14.0);
    EXPECT_FALSE(look("A2").font.bold());
    EXPECT_EQ(look("A2").font.pointSizeF(), 11.0);
    // General: numbers right, texts left.
    EXPECT_EQ(look("A2").alignment & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(look("A3").alignment & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(look("B2").alignment & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(look("B3").alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(look("A2").alignment & Qt::AlignVertical_Mask, Qt::AlignBottom);
    EXPECT_EQ(look("A2").foreground, QColor(Qt::black));
    EXPECT_EQ(look("A4").alignment & Qt::AlignVertical_Mask, Qt::AlignTop);
    EXPECT_EQ(look("A4").foreground, QColor(Qt::red));
    EXPECT_EQ(model().data(model().index(0, 0), Qt::FontRole).value<QFont>().bold(), true);
}

TEST_F(SheetLookTest, ASharedEdgeIsDrawnByTheCellLeftOfOrAboveIt)
{
    range("B2:C3").borders(BorderEdge::Bottom).setLineStyle(Xl::Continuous);
    range("B5").borders(BorderEdge::Top).setLineStyle(Xl::Continuous);
    range("C7").borders(BorderEdge::Left).setWeight(Xl::Medium);
    range("E2").borders(BorderEdge::Right).setLineStyle(Xl::Continuous);

    EXPECT_EQ(look("B3").edges[SheetEdgeBottom].width, 1);
    EXPECT_EQ(look("C3").edges[SheetEdgeBottom].width, 1);
    EXPECT_TRUE(look("B2").edges[SheetEdgeBottom].isNone()); // only the range's outer edge
    EXPECT_TRUE(look("D3").edges[SheetEdgeBottom].isNone());
    // The line above B5 belongs to B4's bottom, the one left of C7 to B7's right.
    EXPECT_EQ(look("B4").edges[SheetEdgeBottom].width, 1);
    EXPECT_EQ(look("B7").edges[SheetEdgeRight].width, 2);
    EXPECT_EQ(look("E2").edges[SheetEdgeRight].width, 1);
    EXPECT_TRUE(look("D2").edges[SheetEdgeRight].isNone());
}

// Screen and paper take their pens from one mapping of line style, weight
// and colour; the screen rounds to whole pixels and dots a hairline.
TEST_F(SheetLookTest, LineStylesAndWeightsBecomePens)
{
    struct PenCase
    {
        const char *cell;
        int lineStyle;
        int weight;
        int width;
        Qt::PenStyle style;
        bool isDouble;
    };
    const PenCase cases[] = {
        {"B2", Xl::Continuous, Xl::Thin, 1, Qt::SolidLine, false},
        {"B4", Xl::Continuous, Xl::Hairline, 1, Qt::DotLine, false},
        {"B6", Xl::Dot, Xl::Hairline, 1, Qt::DotLine, false},
        {"B8", Xl::Dash, Xl::Thick, 3, Qt::DashLine, false},
        {"B10", Xl::SlantDashDot, Xl::Medium, 2, Qt::DashDotLine, false},
        {"B12", Xl::Double, Xl::Thick, 3, Qt::SolidLine, true},
    };
    for (const PenCase &c : cases) {
        range(c.cell).borders(BorderEdge::Bottom).setLineStyle(c.lineStyle);
        range(c.cell).borders(BorderEdge::Bottom).setWeight(c.weight);
    }
    range("B4").borders(BorderEdge::Bottom).setColorIndex(3);

    for (const PenCase &c : cases) {
        const SheetLine &line = look(c.cell).edges[SheetEdgeBottom];
        EXPECT_EQ(line.width, c.width) << c.cell;
        EXPECT_EQ(line.style, c.style) << c.cell;
        EXPECT_EQ(line.isDouble, c.isDouble) << c.cell;
    }
    EXPECT_EQ(look("B4").edges[SheetEdgeBottom].color, QColor(Qt::red));
    EXPECT_EQ(look("B2").edges[SheetEdgeBottom].color, QColor(Qt::black));
}

TEST_F(SheetLookTest, MergedCellsSpanAndTakeTheOuterLinesOfTheirLastColumnAndRow)
{
    range("B2:D3").merge();
    range("B2:D3").borders(BorderEdge::Right).setLineStyle(Xl::Continuous);
    range("B2:D3").borders(BorderEdge::Bottom).setLineStyle(Xl::Continuous);
    range("B2").setValue(s("Polter"));

    EXPECT_EQ(view().rowSpan(1, 1), 2);
    EXPECT_EQ(view().columnSpan(1, 1), 3);
    EXPECT_EQ(view().columnSpan(0, 0), 1);
    EXPECT_EQ(look("B2").edges[SheetEdgeRight].width, 1);
    EXPECT_EQ(look("B2").edges[SheetEdgeBottom].width, 1);
}

TEST_F(SheetLookTest, ALongTextRunsOnOverEmptyNeighboursOnly)
{
    range("A1").setValue(s("Holzliste des Forstbetriebs Kelmora, Abteilung Nord"));
    range("A2").setValue(s("Holzliste des Forstbetriebs Kelmora, Abteilung Nord"));
    range("B2").setValue(1);
    range("F3").setValue(s("rechtsbündiger langer Text"));
    range("F3").setHorizontalAlignment(HAlign::Right);
    range("A4").setNumberFormat(s("0.000"));
    range("A4").setValue(123456789.0);

    EXPECT_EQ(look("B1").textColumn, 0);
    EXPECT_GT(look("A1").spillLast, 1);
    EXPECT_EQ(look("B2").textColumn, 1); // B2's own value stops A2's text
    EXPECT_EQ(look("A2").spillLast, 0);
    EXPECT_EQ(look("E3").textColumn, 5);
    EXPECT_EQ(look("G3").textColumn, -1);
    EXPECT_EQ(look("B4").textColumn, -1); // numbers never run on
}

TEST_F(SheetLookTest, SizesComeFromTheSheetAndDefaultsFillTheRest)
{
    range("B1").setColumnWidth(20);
    range("D1").setColumnWidth(0);
    range("Z3").setValue(1);
    RowData &row = ws().rowForWrite(4);
    row.height = 24;
    row.customHeight = true;
    ws().rowForWrite(6).hidden = true;

    // Characters of the standard font at 7 pixels, and 5 pixels of margins.
    EXPECT_EQ(view().columnWidth(1), 20 * 7 + 5);
    EXPECT_EQ(view().columnWidth(0), 64);
    EXPECT_EQ(view().columnWidth(2), 64);
    EXPECT_TRUE(view().isColumnHidden(3));
    EXPECT_EQ(view().rowHeight(3), 32); // 24 points
    EXPECT_EQ(view().rowHeight(4), 20);
    EXPECT_TRUE(view().isRowHidden(5));
    EXPECT_EQ(model().rowCount(), 3 + SheetModel::SpareRows); // the last row with a value
    EXPECT_EQ(model().columnCount(), 26 + SheetModel::SpareColumns);
    EXPECT_EQ(model().headerData(0, Qt::Horizontal).toString(), s("A"));
    EXPECT_EQ(model().headerData(26, Qt::Horizontal).toString(), s("AA"));
    EXPECT_EQ(model().headerData(4, Qt::Vertical).toString(), s("5"));
}

TEST_F(SheetLookTest, WhenMostRowsHaveTheirOwnHeightItBecomesTheDefault)
{
    for (int r = 1; r <= 200; ++r) {
        RowData &row = ws().rowForWrite(r);
        row.height = 12.75;
        row.customHeight = true;
    }
    range("A201").setValue(1);

    EXPECT_EQ(view().verticalHeader()->defaultSectionSize(), 17);
    EXPECT_EQ(view().rowHeight(0), 17);
    EXPECT_EQ(view().rowHeight(199), 17);
    EXPECT_EQ(view().rowHeight(200), 20);
    EXPECT_EQ(view().rowHeight(model().rowCount() - 1), 20);
}

TEST_F(SheetLookTest, AnotherSheetKeepsNothingOfTheSizesAndMergesOfTheFirst)
{
    range("B1").setColumnWidth(20);
    range("D1").setColumnWidth(0);
    ws().rowForWrite(3).hidden = true;
    range("A5:B6").merge();
    view();
    Worksheet &second = book().addSheet(s("Zwei"));
    xlsxtest::setText(second, 1, 1, s("zwei"));

    view().setSheet(&book(), &second);

    EXPECT_EQ(view().displayText(1, 1), s("zwei"));
    EXPECT_EQ(view().columnWidth(1), 64);
    EXPECT_FALSE(view().isColumnHidden(3));
    EXPECT_FALSE(view().isRowHidden(2));
    EXPECT_EQ(view().rowSpan(4, 0), 1);
}

TEST_F(SheetLookTest, AnEmptySheetStillShowsColumnsAToJ)
{
    EXPECT_EQ(model().columnCount(), SheetModel::MinimumColumns);
    EXPECT_EQ(model().rowCount(), 1 + SheetModel::SpareRows);
    view().setSheet(nullptr, nullptr);
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_EQ(view().displayText(1, 1), QString());
}

// The view on the screen: links under the pointer, breaks and pictures.
using SheetViewScreenTest = SheetViewTest;

TEST_F(SheetViewScreenTest, AClickOrEnterOnALinkActivatesItsAddress)
{
    xl.activeSheet().hyperlinks().add(range("B2"), s("https://example.org/karte?los=7"), s("Karte"));
    xl.activeSheet().hyperlinks().add(range("B3"), s("#Tabelle1!A40"), s("Summen"));
    range("B4").setValue(s("kein Link"));
    SheetView &v = shownView();
    QSignalSpy spy(&v, &SheetView::hyperlinkActivated);

    EXPECT_EQ(look("B2").foreground, QColor(0x05, 0x63, 0xC1));
    EXPECT_TRUE(look("B2").font.underline());
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(v.model()->index(1, 1)).center());
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(v.model()->index(3, 1)).center());
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(v.model()->index(2, 1)).center());
    v.setCurrentIndex(v.model()->index(1, 1));
    QTest::keyClick(&v, Qt::Key_Return);

    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(0).at(0).toString(), s("https://example.org/karte?los=7"));
    EXPECT_EQ(spy.at(1).at(0).toString(), s("#Tabelle1!A40"));
    EXPECT_EQ(spy.at(2).at(0).toString(), s("https://example.org/karte?los=7"));
}

TEST_F(SheetViewScreenTest, PaintsGridBreaksAndPicturesOverTheCells)
{
    QTemporaryDir dir;
    const QString logo = dir.filePath(s("logo.png"));
    QImage red(30, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(logo));
    range("E3").select();
    xl.activeSheet().pictures().insert(logo);
    xl.rows(6).setPageBreak(Xl::PageBreakManual);
    range("A1").setValue(1);

    EXPECT_EQ(model().pageBreakRows(), std::vector<int>{5});
    EXPECT_TRUE(model().hasPageBreakAbove(5));
    EXPECT_FALSE(model().hasPageBreakAbove(4));
    SheetView &v = shownView();
    const QImage shot = v.viewport()->grab().toImage();

    // The break: a dashed dark line right across on the grid line above row 6.
    const auto darkPixels = [&](int y) {
        int dark = 0;
        for (int x = 0; x < shot.width(); ++x)
            dark += qGray(shot.pixel(x, y)) < 100 ? 1 : 0;
        return dark;
    };
    const int breakY = v.rowViewportPosition(5) - 1;
    EXPECT_GT(darkPixels(breakY), shot.width() / 3);
    EXPECT_LT(darkPixels(breakY), shot.width()); // dashed, not solid
    EXPECT_EQ(darkPixels(v.rowViewportPosition(4) - 1), 0);
    // Grid lines are light grey.
    EXPECT_EQ(
        QColor(shot.pixel(v.columnViewportPosition(1) - 1, v.rowViewportPosition(1) + 5)), SheetDelegate::GridColor);
    // The picture sits with its top left corner at E3, at its own size.
    const QPoint corner(v.columnViewportPosition(4), v.rowViewportPosition(2));
    EXPECT_EQ(QColor(shot.pixel(corner + QPoint(1, 1))), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(corner + QPoint(29, 19))), QColor(Qt::red));
    EXPECT_NE(QColor(shot.pixel(corner + QPoint(31, 10))), QColor(Qt::red));
}

// A template's own logo (in its drawing at D1, 100 by 40 pixels) shows in
// the window too, under the pictures the program inserts.
TEST(SheetModelPictures, TheTemplateDrawingsPicturesShowFirst)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Logo.xltx"_s);
    xlsxtest::writeZip(path, xlsxtest::templateEntries());
    const auto wb = XlsxReader::load(path);
    wb->sheet(0).picturesForWrite().push_back({xlsxtest::tinyPng(), u"png"_s, 20, 10, {8, 5}, u"Kopfbild"_s});
    SheetModel model;
    model.setSheet(wb.get(), &wb->sheet(0));
    ASSERT_EQ(model.pictures().size(), 2u);
    EXPECT_EQ(model.pictures()[0].row, 0);
    EXPECT_EQ(model.pictures()[0].column, 3);
    EXPECT_EQ(model.pictures()[0].image.size(), QSize(100, 40));
    EXPECT_EQ(model.pictures()[1].row, 7);
}

} // namespace

} // namespace tannbuch
