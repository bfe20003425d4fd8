#include "SheetTestSupport.h"

#include "workbook/cells/WorkbookError.h"
#include "workbook/formula/FormulaEvaluator.h"

namespace tannbuch {

using sheettest::SheetTest;

namespace {

class FormulaTest : public SheetTest
{
protected:
    FormulaTest()
    {
        // A condensed group: volumes in H14..H19, the total in H20.
        for (int row = 14; row <= 19; ++row)
            xl.cells(row, 8).setValue(row - 13);
        xl.range(QStringLiteral("H20")).setValue(21);
    }

    FormulaEvaluator::Result eval(const char *formula)
    {
        return FormulaEvaluator(ws()).evaluate(QString::fromLatin1(formula));
    }
};

TEST_F(FormulaTest, PercentageFormulaCarriesItsResult)
{
    Range i14 = xl.range(QStringLiteral("I14"));
    i14.setFormula(QStringLiteral("=H14/ H20"));
    i14.setNumberFormat(QStringLiteral("0.0%"));
    const Cell *c = cell("I14");
    EXPECT_EQ(c->type, CellType::Formula);
    EXPECT_EQ(c->formula, QStringLiteral("=H14/ H20"));
    EXPECT_EQ(c->cachedType, CellType::Number);
    EXPECT_DOUBLE_EQ(c->number, 1.0 / 21.0);
    EXPECT_EQ(i14.text(), QStringLiteral("4,8%"));
    EXPECT_EQ(i14.formula(), QStringLiteral("=H14/ H20"));
}

TEST_F(FormulaTest, ArithmeticFollowsSpreadsheetRules)
{
    EXPECT_DOUBLE_EQ(eval("=1+2*3").number, 7);
    EXPECT_DOUBLE_EQ(eval("=(1+2)*3").number, 9);
    EXPECT_DOUBLE_EQ(eval("=-2^2").number, 4); // the sign binds first
    EXPECT_DOUBLE_EQ(eval("=2^3^2").number, 64);
    EXPECT_DOUBLE_EQ(eval("=10-4-3").number, 3);
    EXPECT_DOUBLE_EQ(eval("=50%").number, 0.5);
    EXPECT_DOUBLE_EQ(eval("= $H$15 * h16 ").number, 6);
    EXPECT_DOUBLE_EQ(eval("=Z99+1").number, 1); // empty cells count 0
    EXPECT_DOUBLE_EQ(eval("=1.5E2").number, 150);
}

TEST_F(FormulaTest, UnsupportedOrBrokenFormulasHaveNoResult)
{
    xl.range(QStringLiteral("A1")).setValue(QStringLiteral("Fichte"));
    for (const char *f : {"=SUM(H14:H19)", "=A1+1", "=Einstellungen!B2", "=H14&\"x\"", "=1+", "=(1", "=TRUE"}) {
        EXPECT_EQ(eval(f).kind, FormulaEvaluator::Result::Kind::Unknown) << f;
    }
    xl.range(QStringLiteral("B1")).setFormula(QStringLiteral("=SUM(H14:H19)"));
    EXPECT_EQ(cell("B1")->cachedType, CellType::Empty);
    EXPECT_EQ(xl.range(QStringLiteral("B1")).value(), QString());
}

TEST_F(FormulaTest, DivisionByZeroShowsTheErrorText)
{
    xl.range(QStringLiteral("H20")).setValue(0);
    Range i14 = xl.range(QStringLiteral("I14"));
    i14.setFormula(QStringLiteral("=H14/ H20"));
    EXPECT_EQ(i14.value(), QStringLiteral("#DIV/0!"));
    EXPECT_EQ(cell("I14")->cachedType, CellType::Error);
    // An error passes through formulas that use it.
    xl.range(QStringLiteral("J14")).setFormula(QStringLiteral("=I14*2"));
    EXPECT_EQ(xl.range(QStringLiteral("J14")).value(), QStringLiteral("#DIV/0!"));
}

TEST_F(FormulaTest, CircularReferencesEndWithoutAResult)
{
    xl.range(QStringLiteral("A1")).setFormula(QStringLiteral("=B1+1"));
    xl.range(QStringLiteral("B1")).setFormula(QStringLiteral("=A1+1"));
    FormulaEvaluator::recalculate(ws());
    EXPECT_EQ(cell("A1")->cachedType, CellType::Empty);
    EXPECT_EQ(cell("B1")->cachedType, CellType::Empty);
    EXPECT_EQ(xl.range(QStringLiteral("A1")).value(), QString());
}

TEST_F(FormulaTest, FormulaOverSeveralCellsMovesItsReferences)
{
    xl.range(QStringLiteral("I14:I19")).setFormula(QStringLiteral("=H14/ $H$20"));
    EXPECT_EQ(cell("I19")->formula, QStringLiteral("=H19/ $H$20"));
    EXPECT_DOUBLE_EQ(cell("I19")->number, 6.0 / 21.0);
}

TEST_F(FormulaTest, ResultsFollowLaterChangesWhenRecalculated)
{
    // The formula is written before the total it divides by.
    xl.range(QStringLiteral("H20")).setValue(QVariant());
    xl.range(QStringLiteral("I14")).setFormula(QStringLiteral("=H14/ H20"));
    EXPECT_EQ(cell("I14")->cachedType, CellType::Error); // #DIV/0! for now
    xl.range(QStringLiteral("H20")).setValue(4);
    EXPECT_EQ(xl.range(QStringLiteral("I14")).value(), QStringLiteral("0,25")); // reading computes afresh
    FormulaEvaluator::recalculate(ws());
    EXPECT_DOUBLE_EQ(cell("I14")->number, 0.25);

    // A sheet whose results are current is not marked changed.
    ws().setChanged(false);
    FormulaEvaluator::recalculate(ws());
    EXPECT_FALSE(ws().isChanged());
}

TEST_F(FormulaTest, FormulaTextIsCheckedAndNonFormulasAreValues)
{
    EXPECT_THROW(xl.range(QStringLiteral("A1")).setFormula(QStringLiteral("=(H14/ H20")), WorkbookError);
    EXPECT_THROW(xl.range(QStringLiteral("A1")).setFormula(QStringLiteral("=\"open")), WorkbookError);
    EXPECT_THROW(xl.range(QStringLiteral("A1")).setFormula(QStringLiteral("=")), WorkbookError);
    EXPECT_EQ(cell("A1"), nullptr);
    xl.range(QStringLiteral("A1")).setFormula(QStringLiteral("=\"a)\"&B1"));
    EXPECT_EQ(cell("A1")->type, CellType::Formula);
    xl.range(QStringLiteral("A2")).setFormula(QStringLiteral("12"));
    EXPECT_EQ(cell("A2")->type, CellType::Number);
}

} // namespace

} // namespace tannbuch
