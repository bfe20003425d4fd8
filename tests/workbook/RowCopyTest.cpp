#include "SheetTestSupport.h"

#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/XlConstants.h"

namespace tannbuch {

using sheettest::SheetTest;

namespace {

// A template head in rows 1 to 11: title, labels, a merged cell, a formula,
// a link and a tall row.
class RowCopyTest : public SheetTest
{
protected:
    RowCopyTest()
    {
        xl.range(QStringLiteral("A1")).setValue(QStringLiteral("Holzliste"));
        xl.range(QStringLiteral("A1:D1")).font().setBold(true);
        xl.range(QStringLiteral("A1:D1")).merge();
        xl.range(QStringLiteral("A3")).setValue(QStringLiteral("Forstamt"));
        xl.range(QStringLiteral("B3")).setValue(7);
        xl.range(QStringLiteral("C3")).setFormula(QStringLiteral("=B3*2"));
        xl.range(QStringLiteral("D3")).setFormula(QStringLiteral("=$B$3+1"));
        xl.range(QStringLiteral("A11")).setValue(QStringLiteral("Ende Kopf"));
        ws().rowForWrite(2).height = 30.0;
        ws().rowForWrite(2).customHeight = true;
        sheet().hyperlinks().add(
            xl.range(QStringLiteral("E3")), QStringLiteral("https://example.org"), QStringLiteral("Karte"));
    }
};

TEST_F(RowCopyTest, HeadRowsArePastedAboveTheNextLot)
{
    xl.rows(QStringLiteral("1:11")).select();
    xl.selection().copy();
    xl.range(QStringLiteral("A40")).select();
    sheet().paste();

    EXPECT_EQ(xl.range(QStringLiteral("A40")).value(), QStringLiteral("Holzliste"));
    EXPECT_TRUE(style("B40").bold);
    EXPECT_EQ(xl.range(QStringLiteral("A50")).value(), QStringLiteral("Ende Kopf"));
    EXPECT_DOUBLE_EQ(ws().row(41)->height, 30.0);
    // Relative references move with the rows, fixed ones stay.
    EXPECT_EQ(cell("C42")->formula, QStringLiteral("=B42*2"));
    EXPECT_DOUBLE_EQ(cell("C42")->number, 14.0);
    EXPECT_EQ(cell("D42")->formula, QStringLiteral("=$B$3+1"));
    // Merges and links come along.
    EXPECT_NE(std::find(ws().merges().begin(), ws().merges().end(), RangeRef{40, 1, 40, 4}), ws().merges().end());
    ASSERT_EQ(ws().hyperlinks().size(), 2u);
    EXPECT_EQ(ws().hyperlinks().back().anchor, (CellRef{42, 5}));
    // The pasted rows are the selection; the copy can be pasted again.
    EXPECT_EQ(xl.selection().ref(), (RangeRef{40, 1, 50, SheetLimits::MaxColumns}));
    xl.range(QStringLiteral("A80")).select();
    sheet().paste();
    EXPECT_EQ(xl.range(QStringLiteral("A80")).value(), QStringLiteral("Holzliste"));
}

TEST_F(RowCopyTest, PastedRowsReplaceWhatWasThere)
{
    xl.range(QStringLiteral("Z42")).setValue(QStringLiteral("alt"));
    xl.range(QStringLiteral("A41:B41")).merge();
    ws().rowForWrite(45).height = 50.0;
    xl.rows(QStringLiteral("3:8")).copy();
    xl.range(QStringLiteral("A40")).select();
    sheet().paste();
    EXPECT_EQ(cell("Z42"), nullptr);
    EXPECT_EQ(ws().row(45), nullptr);
    EXPECT_EQ(std::count(ws().merges().begin(), ws().merges().end(), RangeRef{41, 1, 41, 2}), 0);
    EXPECT_EQ(xl.range(QStringLiteral("B40")).value(), QStringLiteral("7"));
}

TEST_F(RowCopyTest, PastingOverTheSourceItselfIsSafe)
{
    xl.rows(QStringLiteral("1:11")).copy();
    xl.range(QStringLiteral("A3")).select();
    sheet().paste();
    EXPECT_EQ(xl.range(QStringLiteral("A3")).value(), QStringLiteral("Holzliste"));
    EXPECT_EQ(xl.range(QStringLiteral("A5")).value(), QStringLiteral("Forstamt"));
    EXPECT_EQ(xl.range(QStringLiteral("A13")).value(), QStringLiteral("Ende Kopf"));
}

TEST_F(RowCopyTest, ABlockKeepsItsShapeAndStylesTravelBetweenWorkbooks)
{
    xl.range(QStringLiteral("A3:C3")).copy();
    BookHandle second = xl.workbooks().add();
    second.activeSheet().range(QStringLiteral("B10")).select();
    second.activeSheet().paste();
    Worksheet &other = second.activeSheet().worksheet();
    ASSERT_NE(other.cell(10, 4), nullptr);
    EXPECT_EQ(other.cell(10, 4)->formula, QStringLiteral("=C10*2"));
    EXPECT_EQ(other.cell(10, 2)->text, QStringLiteral("Forstamt"));
    EXPECT_EQ(other.cell(10, 5), nullptr);
}

TEST_F(RowCopyTest, PasteFailuresChangeNothing)
{
    EXPECT_THROW(sheet().paste(), WorkbookError); // nothing copied yet
    xl.rows(QStringLiteral("1:11")).copy();
    xl.range(QStringLiteral("B40")).select();
    EXPECT_THROW(sheet().paste(), WorkbookError); // whole rows only in column A
    xl.range(QStringLiteral("A1048570")).select();
    EXPECT_THROW(sheet().paste(), WorkbookError); // beyond the last row
    EXPECT_EQ(ws().rows().rbegin()->first, 11);
}

// The report clears its output area from the start row down before writing.
class DeleteTest : public SheetTest
{
};

TEST_F(DeleteTest, CellsBelowTheBlockMoveUp)
{
    xl.range(QStringLiteral("A5")).setValue(QStringLiteral("Kopf"));
    xl.range(QStringLiteral("A12")).setValue(QStringLiteral("alte Ausgabe"));
    xl.range(QStringLiteral("Z500")).setValue(1);
    xl.range(QStringLiteral("A10001")).setValue(QStringLiteral("Fuß"));
    xl.range(QStringLiteral("B10001")).font().setBold(true);
    xl.range(QStringLiteral("C10001")).setFormula(QStringLiteral("=A10002"));
    xl.range(QStringLiteral("AA10001")).setValue(QStringLiteral("rechts"));
    xl.range(QStringLiteral("A10003:B10003")).merge();
    xl.range(QStringLiteral("Z10003:AB10003")).merge(); // reaches outside the block's columns
    xl.range(QStringLiteral("A20:C20")).merge(); // inside the block
    sheet().hyperlinks().add(xl.range(QStringLiteral("D10002")), QStringLiteral("https://example.org"));
    ws().rowForWrite(10001).height = 40.0;
    ws().rowBreaksForWrite().insert(10001);
    Picture logo;
    logo.anchor = {10002, 3};
    ws().picturesForWrite().push_back(logo);
    logo.anchor = {15, 3};
    ws().picturesForWrite().push_back(logo);

    xl.range(QStringLiteral("A12:Z10000")).select();
    xl.selection().deleteCells(Xl::Up);

    EXPECT_EQ(xl.range(QStringLiteral("A5")).value(), QStringLiteral("Kopf"));
    EXPECT_EQ(xl.range(QStringLiteral("A12")).value(), QStringLiteral("Fuß"));
    EXPECT_TRUE(style("B12").bold);
    EXPECT_EQ(cell("C12")->formula, QStringLiteral("=A13"));
    EXPECT_EQ(cell("Z500"), nullptr);
    EXPECT_EQ(cell("A10001"), nullptr);
    // Columns beyond the block, row heights and page breaks stay.
    EXPECT_EQ(xl.range(QStringLiteral("AA10001")).value(), QStringLiteral("rechts"));
    EXPECT_DOUBLE_EQ(ws().row(10001)->height, 40.0);
    EXPECT_EQ(ws().rowBreaks().count(10001), 1u);
    // Merges and links move with their cells.
    EXPECT_EQ(ws().merges(), (std::vector<RangeRef>{{14, 1, 14, 2}, {10003, 26, 10003, 28}}));
    EXPECT_EQ(ws().hyperlinks().front().anchor, (CellRef{13, 4}));
    ASSERT_EQ(ws().pictures().size(), 1u);
    EXPECT_EQ(ws().pictures().front().anchor, (CellRef{13, 3}));
}

// Formulas keep reading the cells they read before, whether they moved
// themselves or not, and on other sheets too; their results follow. (Which
// reference becomes what, the reference tests' table shows.)
TEST_F(DeleteTest, FormulasKeepReadingTheCellsTheyRead)
{
    for (int row = 1; row <= 20; ++row)
        xl.cells(row, 2).setValue(row * 10);
    xl.range(QStringLiteral("B21")).setFormula(QStringLiteral("=B3+1")); // moves, reads a cell that stays
    xl.range(QStringLiteral("D25")).setFormula(QStringLiteral("=B20*2")); // stays, reads a cell that moves
    xl.range(QStringLiteral("D26")).setFormula(QStringLiteral("=B7")); // reads a deleted cell
    Worksheet &other = book().addSheet(QStringLiteral("Zweites"));
    Cell &remote = other.cellForWrite(1, 1);
    remote.type = CellType::Formula;
    remote.formula = QStringLiteral("=Tabelle1!B20+B20");
    other.setChanged(false);

    xl.range(QStringLiteral("B5:B9")).deleteCells(Xl::Up);
    EXPECT_EQ(cell("B16")->formula, QStringLiteral("=B3+1"));
    EXPECT_EQ(xl.range(QStringLiteral("B16")).value(), QStringLiteral("31"));
    EXPECT_EQ(cell("D25")->formula, QStringLiteral("=B15*2"));
    EXPECT_EQ(xl.range(QStringLiteral("D25")).value(), QStringLiteral("400"));
    EXPECT_EQ(xl.range(QStringLiteral("D26")).value(), QStringLiteral("#REF!"));
    EXPECT_EQ(other.cell(1, 1)->formula, QStringLiteral("=Tabelle1!B15+B20"))
        << "a reference from another sheet follows the cell; that sheet's own B20 stays";
    EXPECT_TRUE(other.isChanged());
}

// A deletion that concerns no formula of another sheet leaves it unchanged,
// so that it is saved as the template had it.
TEST_F(DeleteTest, SheetsWithoutAffectedFormulasStayUnchanged)
{
    Worksheet &other = book().addSheet(QStringLiteral("Zweites"));
    Cell &c = other.cellForWrite(1, 1);
    c.type = CellType::Formula;
    c.formula = QStringLiteral("=B20+Tabelle1!A1");
    other.setChanged(false);
    xl.range(QStringLiteral("B5:B9")).deleteCells(Xl::Up);
    EXPECT_FALSE(other.isChanged());
    EXPECT_EQ(other.cell(1, 1)->formula, QStringLiteral("=B20+Tabelle1!A1"));
}

TEST_F(DeleteTest, WholeRowsTakeHeightsAndBreaksAlong)
{
    xl.range(QStringLiteral("A3")).setValue(1);
    xl.range(QStringLiteral("A9")).setValue(9);
    ws().rowForWrite(9).height = 25.0;
    ws().rowBreaksForWrite() = {4, 9};
    xl.rows(QStringLiteral("3:5")).deleteCells();
    EXPECT_EQ(xl.range(QStringLiteral("A6")).value(), QStringLiteral("9"));
    EXPECT_DOUBLE_EQ(ws().row(6)->height, 25.0);
    EXPECT_EQ(ws().rowBreaks(), (std::set<int>{6}));
    EXPECT_THROW(xl.rows(QStringLiteral("3:5")).deleteCells(-4159), WorkbookError);
}

} // namespace

} // namespace tannbuch
