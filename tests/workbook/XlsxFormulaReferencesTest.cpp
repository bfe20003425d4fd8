#include "workbook/FormulaReferences.h"

#include <gtest/gtest.h>

namespace {

struct ShiftCase
{
    const char *formula;
    int rows;
    int columns;
    const char *expected;
};

class XlsxFormulaReferencesTest : public ::testing::TestWithParam<ShiftCase>
{
};

TEST_P(XlsxFormulaReferencesTest, MovesRelativePartsOnly)
{
    const ShiftCase &c = GetParam();
    const QString result = FormulaReferences::shift(QString::fromUtf8(c.formula), c.rows, c.columns);
    EXPECT_EQ(result, QString::fromUtf8(c.expected)) << c.formula;
}

INSTANTIATE_TEST_SUITE_P(Cases, XlsxFormulaReferencesTest,
    ::testing::Values(ShiftCase{"=H14/ H20", 3, 0, "=H17/ H23"}, ShiftCase{"=A1+B2", 1, 1, "=B2+C3"},
        ShiftCase{"=$A$1+A$1+$A1", 2, 2, "=$A$1+C$1+$A3"}, ShiftCase{"=SUM(A1:A10)", 5, 0, "=SUM(A6:A15)"},
        ShiftCase{"=SUM($B$2:B2)", 1, 0, "=SUM($B$2:B3)"}, ShiftCase{"=\"A1\"&A1", 1, 0, "=\"A1\"&A2"},
        ShiftCase{"=\"say \"\"B2\"\"\"&B2", 1, 0, "=\"say \"\"B2\"\"\"&B3"},
        ShiftCase{"=Einstellungen!B2*2", 1, 0, "=Einstellungen!B3*2"},
        ShiftCase{"='Liste A1'!C3", 2, 0, "='Liste A1'!C5"}, ShiftCase{"=AB1!A1", 1, 0, "=AB1!A2"},
        ShiftCase{"=LOG10(A1)", 1, 0, "=LOG10(A2)"}, ShiftCase{"=1E5+A1", 1, 0, "=1E5+A2"},
        ShiftCase{"=0.5*C3", 0, 1, "=0.5*D3"}, ShiftCase{"=SUM(A:A)", 3, 1, "=SUM(B:B)"},
        ShiftCase{"=SUM(3:8)", 2, 5, "=SUM(5:10)"}, ShiftCase{"=Print_Area", 1, 1, "=Print_Area"},
        ShiftCase{"=TRUE", 1, 1, "=TRUE"}, ShiftCase{"=A2-A1", -1, 0, "=A1-#REF!"}, ShiftCase{"=XFD1", 0, 1, "=#REF!"},
        ShiftCase{"=IF(ISERROR(#N/A),A1,B1)", 1, 0, "=IF(ISERROR(#N/A),A2,B2)"}, ShiftCase{"=A1", 0, 0, "=A1"},
        ShiftCase{"H14/H20", 1, 0, "H15/H21"}));

} // namespace
