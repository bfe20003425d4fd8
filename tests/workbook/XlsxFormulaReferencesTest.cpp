#include "workbook/cells/CellAddress.h"
#include "workbook/formula/FormulaReferences.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

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

// Deleting cells with shift up: every reference keeps naming the cells it
// named, wherever they went. The cases delete B5:B9 of "Tannbuch" (cells
// below move up by five in column B only) or rows 12 to 14 (all columns).
struct DeletionCase
{
    const char *formula;
    const char *block;
    const char *expected;
    bool onThatSheet = true;
};

class FormulaReferencesDeletionTest : public ::testing::TestWithParam<DeletionCase>
{
};

TEST_P(FormulaReferencesDeletionTest, ReferencesFollowTheCellsTheyName)
{
    const DeletionCase &c = GetParam();
    const QString result = FormulaReferences::adjustForDeletedRows(
        QString::fromUtf8(c.formula), CellAddress::parse(QString::fromLatin1(c.block)), u"Tannbuch"_s, c.onThatSheet);
    EXPECT_EQ(result, QString::fromUtf8(c.expected))
        << c.formula << " after deleting " << c.block << (c.onThatSheet ? "" : " (formula on another sheet)");
}

INSTANTIATE_TEST_SUITE_P(CellsInColumns, FormulaReferencesDeletionTest,
    ::testing::Values(
        // Cells above the block, beside it and below it.
        DeletionCase{"=B3+1", "B5:B9", "=B3+1"}, DeletionCase{"=B20", "B5:B9", "=B15"},
        DeletionCase{"=B10*2", "B5:B9", "=B5*2"}, DeletionCase{"=C20+A20", "B5:B9", "=C20+A20"},
        DeletionCase{"=B4", "B5:B9", "=B4"},
        // Deleted cells are gone; "$" names a cell just as well.
        DeletionCase{"=B5+B9", "B5:B9", "=#REF!+#REF!"}, DeletionCase{"=$B$20-B$7", "B5:B9", "=$B$15-#REF!"},
        DeletionCase{"=$B20", "B5:B9", "=$B15"},
        // Ranges shrink by what they lose, move when below, go when deleted.
        DeletionCase{"=SUM(B5:B20)", "B5:B9", "=SUM(B5:B15)"}, DeletionCase{"=SUM(B3:B7)", "B5:B9", "=SUM(B3:B4)"},
        DeletionCase{"=SUM(B3:B20)", "B5:B9", "=SUM(B3:B15)"}, DeletionCase{"=SUM(B6:B8)", "B5:B9", "=SUM(#REF!)"},
        DeletionCase{"=SUM(B12:B20)", "B5:B9", "=SUM(B7:B15)"}, DeletionCase{"=SUM(B1:B4)", "B5:B9", "=SUM(B1:B4)"},
        DeletionCase{"=SUM(B20:B3)", "B5:B9", "=SUM(B15:B3)"},
        DeletionCase{"=SUM($B$5:$B$20)", "B5:B9", "=SUM($B$5:$B$15)"},
        // Ranges reaching beside the block, whole columns and whole rows stay.
        DeletionCase{"=SUM(A10:C20)", "B5:B9", "=SUM(A10:C20)"}, DeletionCase{"=SUM(B:B)", "B5:B9", "=SUM(B:B)"},
        DeletionCase{"=SUM(10:20)", "B5:B9", "=SUM(10:20)"}, DeletionCase{"=SUM(B10:C20)", "B5:C9", "=SUM(B5:C15)"},
        // Texts, names, functions and other sheets are left alone; a
        // reference naming this sheet is adjusted, also from another sheet.
        DeletionCase{"=\"B20\"&B20", "B5:B9", "=\"B20\"&B15"},
        DeletionCase{"=Einstellungen!B20+B20", "B5:B9", "=Einstellungen!B20+B15"},
        DeletionCase{"=Tannbuch!B20", "B5:B9", "=Tannbuch!B15"},
        DeletionCase{"='Tannbuch'!B7", "B5:B9", "='Tannbuch'!#REF!"},
        DeletionCase{"=[1]Tannbuch!B20", "B5:B9", "=[1]Tannbuch!B20"},
        DeletionCase{"=B20+Tannbuch!B20", "B5:B9", "=B20+Tannbuch!B15", false},
        DeletionCase{"=LOG10(B20)+1E5", "B5:B9", "=LOG10(B15)+1E5"},
        DeletionCase{"=IF(ISERROR(#REF!),b3,b20)", "B5:B9", "=IF(ISERROR(#REF!),b3,B15)"},
        DeletionCase{"B20*2", "B5:B9", "B15*2"}));

INSTANTIATE_TEST_SUITE_P(WholeRows, FormulaReferencesDeletionTest,
    ::testing::Values(DeletionCase{"=C20+A11", "12:14", "=C17+A11"}, DeletionCase{"=XFD13", "12:14", "=#REF!"},
        DeletionCase{"=SUM(A10:K20)", "12:14", "=SUM(A10:K17)"}, DeletionCase{"=SUM(10:20)", "12:14", "=SUM(10:17)"},
        DeletionCase{"=SUM(12:14)", "12:14", "=SUM(#REF!)"}, DeletionCase{"=SUM(A:C)", "12:14", "=SUM(A:C)"},
        DeletionCase{"=SUM(A13:C30)", "12:14", "=SUM(A12:C27)"}));

} // namespace

} // namespace tannbuch
