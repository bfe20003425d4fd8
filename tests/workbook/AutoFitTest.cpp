#include "SheetTestSupport.h"

#include "workbook/ColumnAutoFit.h"
#include "workbook/ColumnWidth.h"

using sheettest::SheetTest;

namespace {

// The stored width of a column; below 0 for the default.
double widthOf(Worksheet &ws, int column)
{
    const auto it = ws.columns().find(column);
    return it == ws.columns().end() ? -1.0 : it->second.width;
}

TEST(TextWidthTest, GrowsWithTextSizeAndBoldType)
{
    const QString calibri = QStringLiteral("Calibri");
    const double digit = ColumnAutoFit::textWidthPixels(u"0", 11, false, calibri);
    // A digit of the standard font is the width unit's 7 pixels; widths add up and grow with the size.
    EXPECT_DOUBLE_EQ(digit, 7.0);
    EXPECT_DOUBLE_EQ(ColumnAutoFit::textWidthPixels(QString(30, QLatin1Char('0')), 11, false, calibri), 210.0);
    EXPECT_DOUBLE_EQ(ColumnAutoFit::textWidthPixels(u"0", 22, false, calibri), 14.0);
    EXPECT_GT(ColumnAutoFit::textWidthPixels(u"Mantelvermessung", 11, false, calibri),
        ColumnAutoFit::textWidthPixels(u"Mantel", 11, false, calibri));
    EXPECT_GT(ColumnAutoFit::textWidthPixels(u"Kubatur", 11, true, calibri),
        ColumnAutoFit::textWidthPixels(u"Kubatur", 11, false, calibri));
    EXPECT_DOUBLE_EQ(ColumnAutoFit::textWidthPixels(u"123", 11, true, calibri),
        ColumnAutoFit::textWidthPixels(u"123", 11, false, calibri));
    EXPECT_NEAR(ColumnAutoFit::textWidthPixels(u"Kubatur", 22, false, calibri),
        2 * ColumnAutoFit::textWidthPixels(u"Kubatur", 11, false, calibri), 1e-9);
    EXPECT_GT(ColumnAutoFit::textWidthPixels(u"Kubatur", 11, false, QStringLiteral("Arial")),
        ColumnAutoFit::textWidthPixels(u"Kubatur", 11, false, calibri));
    // Umlauts are as wide as their base letters.
    EXPECT_DOUBLE_EQ(ColumnAutoFit::textWidthPixels(u"Länge", 11, false, calibri),
        ColumnAutoFit::textWidthPixels(u"Lange", 11, false, calibri));
    EXPECT_DOUBLE_EQ(ColumnAutoFit::widthForPixels(7.0), 1.58);
    EXPECT_DOUBLE_EQ(ColumnAutoFit::widthForPixels(1e6), SheetLimits::MaxColumnWidth);
}

// A column fitted to n digits of the standard font is n characters wide, plus
// the few pixels of the cell margins: never a whole digit more.
TEST_F(SheetTest, AutoFitOfDigitsGivesAsManyCharacters)
{
    for (int digits : {1, 8, 30, 100}) {
        xl.range(QStringLiteral("C1")).setValue(QStringLiteral("'") + QString(digits, QLatin1Char('7')));
        xl.columns(QStringLiteral("C")).autoFit();
        const double characters = xl.columns(3).columnWidth();
        EXPECT_GE(characters, digits) << digits << " digits";
        EXPECT_LT(characters, digits + 1.0) << digits << " digits";
    }
}

TEST(ColumnWidthTest, CharactersAndStoredWidthsConvertBothWays)
{
    EXPECT_DOUBLE_EQ(ColumnWidth::toStored(8.43), 9.140625); // the standard column
    EXPECT_DOUBLE_EQ(ColumnWidth::toCharacters(9.140625), 8.43);
    EXPECT_DOUBLE_EQ(ColumnWidth::toStored(12), 12.7109375);
    EXPECT_DOUBLE_EQ(ColumnWidth::toCharacters(12.7109375), 12.0);
    EXPECT_DOUBLE_EQ(ColumnWidth::toStored(0), 0.0);
    EXPECT_DOUBLE_EQ(ColumnWidth::toCharacters(-1), -1.0);
    for (double c : {1.0, 3.57, 10.0, 25.29, 255.0})
        EXPECT_DOUBLE_EQ(ColumnWidth::toCharacters(ColumnWidth::toStored(c)), c) << c;
}

TEST_F(SheetTest, AutoFitTakesTheLongestDisplayedText)
{
    xl.range(QStringLiteral("K14")).setValue(QStringLiteral("TL.LIEFERSCHEIN_NR"));
    xl.range(QStringLiteral("K15")).setValue(QStringLiteral("A1"));
    xl.range(QStringLiteral("L14")).setValue(1.5);
    xl.range(QStringLiteral("M14")).setValue(1.5);
    xl.range(QStringLiteral("M14")).setNumberFormat(QStringLiteral("0.000"));
    xl.range(QStringLiteral("N14")).setValue(1.5);
    xl.range(QStringLiteral("N14")).font().setSize(20);
    ws().columnsForWrite()[15].width = 30.0; // O: no text, keeps its width

    xl.columns(QStringLiteral("K:O")).select();
    xl.range(QStringLiteral("K85")).activate();
    xl.selection().columns().autoFit();

    const double k = widthOf(ws(), 11);
    EXPECT_DOUBLE_EQ(k,
        ColumnWidth::toStored(ColumnAutoFit::widthForPixels(
            ColumnAutoFit::textWidthPixels(u"TL.LIEFERSCHEIN_NR", 11, false, QStringLiteral("Calibri")))));
    EXPECT_GT(widthOf(ws(), 13), widthOf(ws(), 12)); // "1,500" is wider than "1,5"
    EXPECT_GT(widthOf(ws(), 14), widthOf(ws(), 12)); // larger type
    EXPECT_DOUBLE_EQ(widthOf(ws(), 15), 30.0);
    EXPECT_TRUE(ws().columns().at(11).customWidth);
}

TEST_F(SheetTest, AutoFitOfABlockLooksOnlyAtItsRowsAndSkipsMerges)
{
    xl.range(QStringLiteral("B1")).setValue(QStringLiteral("ein sehr langer Titel über mehrere Spalten"));
    xl.range(QStringLiteral("B2")).setValue(QStringLiteral("kurz"));
    xl.range(QStringLiteral("B3")).setValue(QStringLiteral("auch ein langer Text, aber zusammengefasst"));
    xl.range(QStringLiteral("B3:D3")).merge();
    xl.range(QStringLiteral("B2:B3")).autoFit();
    const double fitted = widthOf(ws(), 2);
    EXPECT_DOUBLE_EQ(fitted,
        ColumnWidth::toStored(ColumnAutoFit::widthForPixels(
            ColumnAutoFit::textWidthPixels(u"kurz", 11, false, QStringLiteral("Calibri")))));
    xl.columns(QStringLiteral("B:B")).autoFit();
    EXPECT_GT(widthOf(ws(), 2), fitted);
}

// A report fits the same columns again after each lot; each fit must see
// every change since the one before, wherever it happened.
TEST_F(SheetTest, AutoFitAgainSeesEveryChangeSinceTheLastFit)
{
    const auto width = [](const QString &text, double size = 11) {
        return ColumnWidth::toStored(ColumnAutoFit::widthForPixels(
            ColumnAutoFit::textWidthPixels(text, size, false, QStringLiteral("Calibri"))));
    };
    const QString longText = QStringLiteral("Mantelvermessung Polter 12");
    for (int row = 1; row <= 200; ++row)
        xl.range(QStringLiteral("K%1").arg(row)).setValue(QStringLiteral("Fi"));
    // Whole columns, as the report fits them, and a block of rows.
    const auto fit = [&] {
        xl.columns(QStringLiteral("K:K")).autoFit();
        const double whole = widthOf(ws(), 11);
        xl.range(QStringLiteral("K1:K400")).columns().autoFit();
        EXPECT_DOUBLE_EQ(widthOf(ws(), 11), whole);
        return whole;
    };
    EXPECT_DOUBLE_EQ(fit(), width(u"Fi"_qs));

    xl.range(QStringLiteral("K5")).setValue(longText); // above the rows fitted before
    EXPECT_DOUBLE_EQ(fit(), width(longText));
    xl.range(QStringLiteral("K5")).deleteCells(); // the rows below move up
    EXPECT_DOUBLE_EQ(fit(), width(u"Fi"_qs));

    xl.range(QStringLiteral("K300")).setValue(longText); // new rows below
    EXPECT_DOUBLE_EQ(fit(), width(longText));
    xl.range(QStringLiteral("K300:L300")).merge();
    EXPECT_DOUBLE_EQ(fit(), width(u"Fi"_qs));
    xl.range(QStringLiteral("K300:L300")).unMerge();
    EXPECT_DOUBLE_EQ(fit(), width(longText));
    xl.range(QStringLiteral("K300")).setValue(QVariant());
    EXPECT_DOUBLE_EQ(fit(), width(u"Fi"_qs));

    xl.range(QStringLiteral("K10")).font().setSize(22); // a format, not a value
    EXPECT_DOUBLE_EQ(fit(), width(u"Fi"_qs, 22));
    xl.range(QStringLiteral("K10")).copy();
    xl.range(QStringLiteral("K150")).select();
    xl.activeSheet().paste();
    xl.range(QStringLiteral("K10")).font().setSize(11);
    EXPECT_DOUBLE_EQ(fit(), width(u"Fi"_qs, 22)) << "the pasted copy keeps its size";
}

} // namespace
