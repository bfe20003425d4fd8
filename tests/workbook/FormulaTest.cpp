#include "SheetTestSupport.h"

#include "workbook/cells/WorkbookError.h"
#include "workbook/formula/FormulaEvaluator.h"

namespace tannbuch {

using namespace Qt::StringLiterals;

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
        xl.range(u"H20"_s).setValue(21);
    }

    FormulaEvaluator::Result eval(const char *formula)
    {
        return FormulaEvaluator(ws()).evaluate(QString::fromLatin1(formula));
    }
};

TEST_F(FormulaTest, PercentageFormulaCarriesItsResult)
{
    Range i14 = xl.range(u"I14"_s);
    i14.setFormula(u"=H14/ H20"_s);
    i14.setNumberFormat(u"0.0%"_s);
    const Cell *c = cell("I14");
    EXPECT_EQ(c->type, CellType::Formula);
    EXPECT_EQ(c->formula, u"=H14/ H20"_s);
    EXPECT_EQ(c->cachedType, CellType::Number);
    EXPECT_DOUBLE_EQ(c->number, 1.0 / 21.0);
    EXPECT_EQ(i14.text(), u"4,8%"_s);
    EXPECT_EQ(i14.formula(), u"=H14/ H20"_s);
}

TEST_F(FormulaTest, ArithmeticFollowsSpreadsheetRules)
{
    // The sign binds first; empty cells count 0.
    const std::pair<const char *, double> cases[] = {{"=1+2*3", 7}, {"=(1+2)*3", 9}, {"=-2^2", 4}, {"=2^3^2", 64},
        {"=10-4-3", 3}, {"=50%", 0.5}, {"= $H$15 * h16 ", 6}, {"=Z99+1", 1}, {"=1.5E2", 150}};
    for (const auto &[formula, value] : cases)
        EXPECT_DOUBLE_EQ(eval(formula).number, value) << formula;
}

TEST_F(FormulaTest, UnsupportedOrBrokenFormulasHaveNoResult)
{
    xl.range(u"A1"_s).setValue(u"Fichte"_s);
    for (const char *f : {"=SUM(H14:H19)", "=A1+1", "=Einstellungen!B2", "=H14&\"x\"", "=1+", "=(1", "=TRUE"}) {
        EXPECT_EQ(eval(f).kind, FormulaEvaluator::Result::Kind::Unknown) << f;
    }
    xl.range(u"B1"_s).setFormula(u"=SUM(H14:H19)"_s);
    EXPECT_EQ(cell("B1")->cachedType, CellType::Empty);
    EXPECT_EQ(xl.range(u"B1"_s).value(), QString());
}

TEST_F(FormulaTest, DivisionByZeroShowsTheErrorText)
{
    xl.range(u"H20"_s).setValue(0);
    Range i14 = xl.range(u"I14"_s);
    i14.setFormula(u"=H14/ H20"_s);
    EXPECT_EQ(i14.value(), u"#DIV/0!"_s);
    EXPECT_EQ(cell("I14")->cachedType, CellType::Error);
    // An error passes through formulas that use it.
    xl.range(u"J14"_s).setFormula(u"=I14*2"_s);
    EXPECT_EQ(xl.range(u"J14"_s).value(), u"#DIV/0!"_s);
}

TEST_F(FormulaTest, CircularReferencesEndWithoutAResult)
{
    xl.range(u"A1"_s).setFormula(u"=B1+1"_s);
    xl.range(u"B1"_s).setFormula(u"=A1+1"_s);
    FormulaEvaluator::recalculate(ws());
    EXPECT_EQ(cell("A1")->cachedType, CellType::Empty);
    EXPECT_EQ(cell("B1")->cachedType, CellType::Empty);
    EXPECT_EQ(xl.range(u"A1"_s).value(), QString());
}

TEST_F(FormulaTest, FormulaOverSeveralCellsMovesItsReferences)
{
    xl.range(u"I14:I19"_s).setFormula(u"=H14/ $H$20"_s);
    EXPECT_EQ(cell("I19")->formula, u"=H19/ $H$20"_s);
    EXPECT_DOUBLE_EQ(cell("I19")->number, 6.0 / 21.0);
}

TEST_F(FormulaTest, ResultsFollowLaterChangesWhenRecalculated)
{
    // The formula is written before the total it divides by.
    xl.range(u"H20"_s).setValue(QVariant());
    xl.range(u"I14"_s).setFormula(u"=H14/ H20"_s);
    EXPECT_EQ(cell("I14")->cachedType, CellType::Error); // #DIV/0! for now
    xl.range(u"H20"_s).setValue(4);
    EXPECT_EQ(xl.range(u"I14"_s).value(), u"0,25"_s); // reading computes afresh
    FormulaEvaluator::recalculate(ws());
    EXPECT_DOUBLE_EQ(cell("I14")->number, 0.25);

    // A sheet whose results are current is not marked changed.
    ws().setChanged(false);
    FormulaEvaluator::recalculate(ws());
    EXPECT_FALSE(ws().isChanged());
}

TEST_F(FormulaTest, FormulaTextIsCheckedAndNonFormulasAreValues)
{
    EXPECT_THROW(xl.range(u"A1"_s).setFormula(u"=(H14/ H20"_s), WorkbookError);
    EXPECT_THROW(xl.range(u"A1"_s).setFormula(u"=\"open"_s), WorkbookError);
    EXPECT_THROW(xl.range(u"A1"_s).setFormula(u"="_s), WorkbookError);
    EXPECT_EQ(cell("A1"), nullptr);
    xl.range(u"A1"_s).setFormula(u"=\"a)\"&B1"_s);
    EXPECT_EQ(cell("A1")->type, CellType::Formula);
    xl.range(u"A2"_s).setFormula(u"12"_s);
    EXPECT_EQ(cell("A2")->type, CellType::Number);
}

} // namespace

} // namespace tannbuch
