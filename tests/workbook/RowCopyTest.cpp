#include "SheetTestSupport.h"

#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/XlConstants.h"

namespace tannbuch {

using namespace Qt::StringLiterals;

using sheettest::SheetTest;

namespace {

// A template head in rows 1 to 11: title, labels, a merged cell, a formula,
// a link and a tall row.
class RowCopyTest : public SheetTest
{
protected:
    RowCopyTest()
    {
        xl.range(u"A1"_s).setValue(u"Holzliste"_s);
        xl.range(u"A1:D1"_s).font().setBold(true);
        xl.range(u"A1:D1"_s).merge();
        xl.range(u"A3"_s).setValue(u"Forstamt"_s);
        xl.range(u"B3"_s).setValue(7);
        xl.range(u"C3"_s).setFormula(u"=B3*2"_s);
        xl.range(u"D3"_s).setFormula(u"=$B$3+1"_s);
        xl.range(u"A11"_s).setValue(u"Ende Kopf"_s);
        ws().rowForWrite(2).height = 30.0;
        ws().rowForWrite(2).customHeight = true;
        sheet().hyperlinks().add(xl.range(u"E3"_s), u"https://example.org"_s, u"Karte"_s);
    }
};

TEST_F(RowCopyTest, HeadRowsArePastedAboveTheNextLot)
{
    xl.rows(u"1:11"_s).select();
    xl.selection().copy();
    xl.range(u"A40"_s).select();
    sheet().paste();

    EXPECT_EQ(xl.range(u"A40"_s).value(), u"Holzliste"_s);
    EXPECT_TRUE(style("B40").bold);
    EXPECT_EQ(xl.range(u"A50"_s).value(), u"Ende Kopf"_s);
    EXPECT_DOUBLE_EQ(ws().row(41)->height, 30.0);
    // Relative references move with the rows, fixed ones stay.
    EXPECT_EQ(cell("C42")->formula, u"=B42*2"_s);
    EXPECT_DOUBLE_EQ(cell("C42")->number, 14.0);
    EXPECT_EQ(cell("D42")->formula, u"=$B$3+1"_s);
    // Merges and links come along.
    EXPECT_NE(std::find(ws().merges().begin(), ws().merges().end(), RangeRef{40, 1, 40, 4}), ws().merges().end());
    ASSERT_EQ(ws().hyperlinks().size(), 2u);
    EXPECT_EQ(ws().hyperlinks().back().anchor, (CellRef{42, 5}));
    // The pasted rows are the selection; the copy can be pasted again.
    EXPECT_EQ(xl.selection().ref(), (RangeRef{40, 1, 50, SheetLimits::MaxColumns}));
    xl.range(u"A80"_s).select();
    sheet().paste();
    EXPECT_EQ(xl.range(u"A80"_s).value(), u"Holzliste"_s);
}

TEST_F(RowCopyTest, PastedRowsReplaceWhatWasThere)
{
    xl.range(u"Z42"_s).setValue(u"alt"_s);
    xl.range(u"A41:B41"_s).merge();
    ws().rowForWrite(45).height = 50.0;
    xl.rows(u"3:8"_s).copy();
    xl.range(u"A40"_s).select();
    sheet().paste();
    EXPECT_EQ(cell("Z42"), nullptr);
    EXPECT_EQ(ws().row(45), nullptr);
    EXPECT_EQ(std::count(ws().merges().begin(), ws().merges().end(), RangeRef{41, 1, 41, 2}), 0);
    EXPECT_EQ(xl.range(u"B40"_s).value(), u"7"_s);
}

TEST_F(RowCopyTest, PastingOverTheSourceItselfIsSafe)
{
    xl.rows(u"1:11"_s).copy();
    xl.range(u"A3"_s).select();
    sheet().paste();
    EXPECT_EQ(xl.range(u"A3"_s).value(), u"Holzliste"_s);
    EXPECT_EQ(xl.range(u"A5"_s).value(), u"Forstamt"_s);
    EXPECT_EQ(xl.range(u"A13"_s).value(), u"Ende Kopf"_s);
}

TEST_F(RowCopyTest, ABlockKeepsItsShapeAndStylesTravelBetweenWorkbooks)
{
    xl.range(u"A3:C3"_s).copy();
    BookHandle second = xl.workbooks().add();
    second.activeSheet().range(u"B10"_s).select();
    second.activeSheet().paste();
    Worksheet &other = second.activeSheet().worksheet();
    ASSERT_NE(other.cell(10, 4), nullptr);
    EXPECT_EQ(other.cell(10, 4)->formula, u"=C10*2"_s);
    EXPECT_EQ(other.cell(10, 2)->text, u"Forstamt"_s);
    EXPECT_EQ(other.cell(10, 5), nullptr);
}

TEST_F(RowCopyTest, PasteFailuresChangeNothing)
{
    EXPECT_THROW(sheet().paste(), WorkbookError); // nothing copied yet
    xl.rows(u"1:11"_s).copy();
    xl.range(u"B40"_s).select();
    EXPECT_THROW(sheet().paste(), WorkbookError); // whole rows only in column A
    xl.range(u"A1048570"_s).select();
    EXPECT_THROW(sheet().paste(), WorkbookError); // beyond the last row
    EXPECT_EQ(ws().rows().rbegin()->first, 11);
}

// The report clears its output area from the start row down before writing.
class DeleteTest : public SheetTest
{
};

TEST_F(DeleteTest, CellsBelowTheBlockMoveUp)
{
    xl.range(u"A5"_s).setValue(u"Kopf"_s);
    xl.range(u"A12"_s).setValue(u"alte Ausgabe"_s);
    xl.range(u"Z500"_s).setValue(1);
    xl.range(u"A10001"_s).setValue(u"Fuß"_s);
    xl.range(u"B10001"_s).font().setBold(true);
    xl.range(u"C10001"_s).setFormula(u"=A10002"_s);
    xl.range(u"AA10001"_s).setValue(u"rechts"_s);
    xl.range(u"A10003:B10003"_s).merge();
    xl.range(u"Z10003:AB10003"_s).merge(); // reaches outside the block's columns
    xl.range(u"A20:C20"_s).merge(); // inside the block
    sheet().hyperlinks().add(xl.range(u"D10002"_s), u"https://example.org"_s);
    ws().rowForWrite(10001).height = 40.0;
    ws().rowBreaksForWrite().insert(10001);
    Picture logo;
    logo.anchor = {10002, 3};
    ws().picturesForWrite().push_back(logo);
    logo.anchor = {15, 3};
    ws().picturesForWrite().push_back(logo);

    xl.range(u"A12:Z10000"_s).select();
    xl.selection().deleteCells(Xl::Up);

    EXPECT_EQ(xl.range(u"A5"_s).value(), u"Kopf"_s);
    EXPECT_EQ(xl.range(u"A12"_s).value(), u"Fuß"_s);
    EXPECT_TRUE(style("B12").bold);
    EXPECT_EQ(cell("C12")->formula, u"=A13"_s);
    EXPECT_EQ(cell("Z500"), nullptr);
    EXPECT_EQ(cell("A10001"), nullptr);
    // Columns beyond the block, row heights and page breaks stay.
    EXPECT_EQ(xl.range(u"AA10001"_s).value(), u"rechts"_s);
    EXPECT_DOUBLE_EQ(ws().row(10001)->height, 40.0);
    EXPECT_EQ(ws().rowBreaks().count(10001), 1u);
    // Merges and links move with their cells.
    EXPECT_EQ(ws().merges(), (std::vector<RangeRef>{{14, 1, 14, 2}, {10003, 26, 10003, 28}}));
    EXPECT_EQ(ws().hyperlinks().front().anchor, (CellRef{13, 4}));
    ASSERT_EQ(ws().pictures().size(), 1u);
    EXPECT_EQ(ws().pictures().front().anchor, (CellRef{13, 3}));
}

// Formulas keep reading the cells they read before, whether they moved
// themselves or not, and on other sheets too; their results follow. A sheet
// with no formula the deletion concerns stays unchanged, so that it is saved
// as the template had it. (Which reference becomes what, the reference
// tests' table shows.)
TEST_F(DeleteTest, FormulasKeepReadingTheCellsTheyRead)
{
    for (int row = 1; row <= 20; ++row)
        xl.cells(row, 2).setValue(row * 10);
    xl.range(u"B21"_s).setFormula(u"=B3+1"_s); // moves, reads a cell that stays
    xl.range(u"D25"_s).setFormula(u"=B20*2"_s); // stays, reads a cell that moves
    xl.range(u"D26"_s).setFormula(u"=B7"_s); // reads a deleted cell
    const auto sheetWithFormula = [&](const QString &name, const QString &formula) -> Worksheet & {
        Worksheet &sheet = book().addSheet(name);
        Cell &c = sheet.cellForWrite(1, 1);
        c.type = CellType::Formula;
        c.formula = formula;
        sheet.setChanged(false);
        return sheet;
    };
    Worksheet &other = sheetWithFormula(u"Zweites"_s, u"=Tabelle1!B20+B20"_s);
    Worksheet &untouched = sheetWithFormula(u"Drittes"_s, u"=B20+Tabelle1!A1"_s);

    xl.range(u"B5:B9"_s).deleteCells(Xl::Up);
    EXPECT_EQ(cell("B16")->formula, u"=B3+1"_s);
    EXPECT_EQ(xl.range(u"B16"_s).value(), u"31"_s);
    EXPECT_EQ(cell("D25")->formula, u"=B15*2"_s);
    EXPECT_EQ(xl.range(u"D25"_s).value(), u"400"_s);
    EXPECT_EQ(xl.range(u"D26"_s).value(), u"#REF!"_s);
    EXPECT_EQ(other.cell(1, 1)->formula, u"=Tabelle1!B15+B20"_s)
        << "a reference from another sheet follows the cell; that sheet's own B20 stays";
    EXPECT_TRUE(other.isChanged());
    EXPECT_FALSE(untouched.isChanged());
    EXPECT_EQ(untouched.cell(1, 1)->formula, u"=B20+Tabelle1!A1"_s);
}

TEST_F(DeleteTest, WholeRowsTakeHeightsAndBreaksAlong)
{
    xl.range(u"A3"_s).setValue(1);
    xl.range(u"A9"_s).setValue(9);
    ws().rowForWrite(9).height = 25.0;
    ws().rowBreaksForWrite() = {4, 9};
    xl.rows(u"3:5"_s).deleteCells();
    EXPECT_EQ(xl.range(u"A6"_s).value(), u"9"_s);
    EXPECT_DOUBLE_EQ(ws().row(6)->height, 25.0);
    EXPECT_EQ(ws().rowBreaks(), (std::set<int>{6}));
    EXPECT_THROW(xl.rows(u"3:5"_s).deleteCells(-4159), WorkbookError);
}

} // namespace

} // namespace tannbuch
