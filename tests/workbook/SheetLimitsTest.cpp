#include "SheetTestSupport.h"

#include "workbook/cells/WorkbookError.h"

namespace tannbuch {

using namespace Qt::StringLiterals;

using sheettest::SheetTest;

namespace {

// Every limit of the file format, walked from the last allowed value to the
// first refused one.
TEST_F(SheetTest, WalksAllTheLimits)
{
    // Rows and columns: addresses, numbers and whole rows or columns.
    EXPECT_NO_THROW(xl.cells(SheetLimits::MaxRows, SheetLimits::MaxColumns).setValue(1));
    EXPECT_EQ(xl.range(u"XFD1048576"_s).value(), u"1"_s);
    EXPECT_THROW(xl.cells(SheetLimits::MaxRows + 1, 1), WorkbookError);
    EXPECT_THROW(xl.cells(1, SheetLimits::MaxColumns + 1), WorkbookError);
    EXPECT_THROW(xl.cells(0, 1), WorkbookError);
    EXPECT_THROW(xl.range(u"A1048577"_s), WorkbookError);
    EXPECT_THROW(xl.range(u"XFE1"_s), WorkbookError);
    EXPECT_THROW(xl.rows(SheetLimits::MaxRows + 1), WorkbookError);
    EXPECT_THROW(xl.columns(SheetLimits::MaxColumns + 1), WorkbookError);
    EXPECT_THROW(xl.range(u"A1"_s).cells(SheetLimits::MaxRows + 1, 1), WorkbookError);
    // Row numbers past the 16-bit range are ordinary rows.
    xl.range(u"A"_s + QString::number(40000)).setValue(u"Zeile 40000"_s);
    EXPECT_EQ(xl.cells(40000, 1).value(), u"Zeile 40000"_s);

    // Manual row breaks: the model keeps them all; only saving drops and warns.
    for (int i = 1; i <= SheetLimits::MaxRowBreaks; ++i)
        xl.rows(i * 2).setPageBreak(Xl::PageBreakManual);
    EXPECT_TRUE(book().warnings().isEmpty());
    xl.rows(5000).setPageBreak(Xl::PageBreakManual);
    xl.rows(5002).setPageBreak(Xl::PageBreakManual);
    EXPECT_EQ(ws().rowBreaks().size(), size_t(SheetLimits::MaxRowBreaks) + 2);
    EXPECT_TRUE(book().warnings().isEmpty());

    // Column width and font size.
    EXPECT_NO_THROW(xl.range(u"A1"_s).setColumnWidth(SheetLimits::MaxColumnWidth));
    EXPECT_NO_THROW(xl.range(u"B1"_s).setColumnWidth(0));
    EXPECT_TRUE(ws().columns().at(2).hidden);
    EXPECT_THROW(xl.range(u"A1"_s).setColumnWidth(SheetLimits::MaxColumnWidth + 0.01), WorkbookError);
    EXPECT_THROW(xl.range(u"A1"_s).setColumnWidth(-1), WorkbookError);
    EXPECT_NO_THROW(xl.range(u"A1"_s).font().setSize(SheetLimits::MaxFontSize));
    EXPECT_THROW(xl.range(u"A1"_s).font().setSize(SheetLimits::MaxFontSize + 0.5), WorkbookError);
}

} // namespace

} // namespace tannbuch
