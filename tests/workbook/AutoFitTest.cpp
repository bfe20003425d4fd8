#include "SheetTestSupport.h"

#include "workbook/automation/Hyperlinks.h"
#include "workbook/cells/ColumnAutoFit.h"
#include "workbook/cells/ColumnWidth.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/formula/FormulaEvaluator.h"

#include <functional>
#include <random>

namespace tannbuch {

using namespace Qt::StringLiterals;

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
    const auto width = [](const QString &text, double size, bool bold = false, const QString &font = u"Calibri"_s) {
        return ColumnAutoFit::textWidthPixels(text, size, bold, font);
    };
    // A digit of the standard font is the width unit's 7 pixels; widths add up and grow with the size.
    EXPECT_DOUBLE_EQ(width(u"0"_s, 11), 7.0);
    EXPECT_DOUBLE_EQ(width(QString(30, QLatin1Char('0')), 11), 210.0);
    EXPECT_DOUBLE_EQ(width(u"0"_s, 22), 14.0);
    EXPECT_GT(width(u"Mantelvermessung"_s, 11), width(u"Mantel"_s, 11));
    EXPECT_GT(width(u"Kubatur"_s, 11, true), width(u"Kubatur"_s, 11));
    EXPECT_DOUBLE_EQ(width(u"123"_s, 11, true), width(u"123"_s, 11));
    EXPECT_NEAR(width(u"Kubatur"_s, 22), 2 * width(u"Kubatur"_s, 11), 1e-9);
    EXPECT_GT(width(u"Kubatur"_s, 11, false, u"Arial"_s), width(u"Kubatur"_s, 11));
    // Umlauts are as wide as their base letters.
    EXPECT_DOUBLE_EQ(width(u"Länge"_s, 11), width(u"Lange"_s, 11));
    EXPECT_DOUBLE_EQ(ColumnAutoFit::widthForPixels(7.0), 1.58);
    EXPECT_DOUBLE_EQ(ColumnAutoFit::widthForPixels(1e6), SheetLimits::MaxColumnWidth);
}

// A column fitted to n digits of the standard font is n characters wide, plus
// the few pixels of the cell margins: never a whole digit more.
TEST_F(SheetTest, AutoFitOfDigitsGivesAsManyCharacters)
{
    for (int digits : {1, 8, 30, 100}) {
        xl.range(u"C1"_s).setValue(u"'"_s + QString(digits, QLatin1Char('7')));
        xl.columns(u"C"_s).autoFit();
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
    xl.range(u"K14"_s).setValue(u"TL.LIEFERSCHEIN_NR"_s);
    xl.range(u"K15"_s).setValue(u"A1"_s);
    xl.range(u"L14"_s).setValue(1.5);
    xl.range(u"M14"_s).setValue(1.5);
    xl.range(u"M14"_s).setNumberFormat(u"0.000"_s);
    xl.range(u"N14"_s).setValue(1.5);
    xl.range(u"N14"_s).font().setSize(20);
    ws().columnsForWrite()[15].width = 30.0; // O: no text, keeps its width

    xl.columns(u"K:O"_s).select();
    xl.range(u"K85"_s).activate();
    xl.selection().columns().autoFit();

    const double k = widthOf(ws(), 11);
    EXPECT_DOUBLE_EQ(k,
        ColumnWidth::toStored(ColumnAutoFit::widthForPixels(
            ColumnAutoFit::textWidthPixels(u"TL.LIEFERSCHEIN_NR", 11, false, u"Calibri"_s))));
    EXPECT_GT(widthOf(ws(), 13), widthOf(ws(), 12)); // "1,500" is wider than "1,5"
    EXPECT_GT(widthOf(ws(), 14), widthOf(ws(), 12)); // larger type
    EXPECT_DOUBLE_EQ(widthOf(ws(), 15), 30.0);
    EXPECT_TRUE(ws().columns().at(11).customWidth);
}

TEST_F(SheetTest, AutoFitOfABlockLooksOnlyAtItsRowsAndSkipsMerges)
{
    xl.range(u"B1"_s).setValue(u"ein sehr langer Titel über mehrere Spalten"_s);
    xl.range(u"B2"_s).setValue(u"kurz"_s);
    xl.range(u"B3"_s).setValue(u"auch ein langer Text, aber zusammengefasst"_s);
    xl.range(u"B3:D3"_s).merge();
    xl.range(u"B2:B3"_s).autoFit();
    const double fitted = widthOf(ws(), 2);
    EXPECT_DOUBLE_EQ(fitted,
        ColumnWidth::toStored(
            ColumnAutoFit::widthForPixels(ColumnAutoFit::textWidthPixels(u"kurz", 11, false, u"Calibri"_s))));
    xl.columns(u"B:B"_s).autoFit();
    EXPECT_GT(widthOf(ws(), 2), fitted);
}

// Random edits of every kind, with a fit now and then: each fit gives the
// widths that a fit of the same sheet without anything remembered gives.
TEST(AutoFitMemoTest, RandomEditsGiveTheWidthsOfAFreshFit)
{
    std::mt19937 rng;
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto column = [](int c) { return QString(QChar(u'A' + c - 1)); };
    const auto name = [&](int r, int c) { return column(c) + QString::number(r); };
    const std::vector<RangeRef> fits = {{1, 1, SheetLimits::MaxRows, 1}, {1, 2, SheetLimits::MaxRows, 3}, {1, 1, 30, 1},
        {3, 2, 25, 3}, {5, 1, SheetLimits::MaxRows, 4}, {1, 3, 10, 3}};
    for (unsigned seed = 0; seed < 40; ++seed) {
        rng.seed(seed);
        Application xl;
        xl.setLocale(QLocale(QLocale::German, QLocale::Germany));
        xl.workbooks().add();
        SheetHandle sheet = xl.activeSheet();
        Workbook &book = xl.activeWorkbook().workbook();
        Worksheet &ws = sheet.worksheet();
        bool latin = false;
        for (int step = 0; step < 300; ++step) {
            const int r1 = pick(1, 40);
            const int r2 = std::min(40, r1 + pick(0, 5));
            const int c1 = pick(1, 4);
            const int c2 = std::min(4, c1 + pick(0, 2));
            Range range = sheet.range(RangeRef{r1, c1, r2, c2});
            const QString rows = QString::number(r1) + u':' + QString::number(r2);
            // One edit of every kind the report makes, picked at random.
            const std::function<void()> edits[] = {
                [&] { sheet.cells(r1, c1).setValue(QString(pick(1, 25), u'W')); },
                [&] { sheet.cells(r1, c1).setValue(double(pick(0, 100000)) / 7.0); },
                [&] { range.setValue(QVariant()); },
                [&] { range.font().setSize(pick(8, 30)); },
                [&] { range.font().setBold(pick(0, 1) == 1); },
                [&] { range.setNumberFormat(pick(0, 1) ? u"0.00000"_qs : u"General"_qs); },
                [&] { range.merge(); },
                [&] { range.unMerge(); },
                [&] { range.deleteCells(); },
                [&] { sheet.rows(rows).deleteCells(); },
                [&] {
                    range.copy();
                    sheet.cells(pick(1, 40), pick(1, 3)).select();
                    sheet.paste();
                },
                [&] {
                    sheet.rows(rows).copy();
                    sheet.cells(pick(1, 40), 1).select();
                    sheet.paste();
                },
                [&] { sheet.cells(r1, c1).setFormula(u'=' + name(pick(1, 40), pick(1, 4)) + u"*1000"_qs); },
                [&] { FormulaEvaluator::recalculate(ws); },
                [&] { sheet.rows(QString::number(r1)).font().setSize(pick(8, 30)); },
                [&] { sheet.columns(column(c1)).font().setSize(pick(8, 30)); },
                [&] { sheet.cells(r1, c1).setValue(u"ab\nWWWWWWWWWWWW"_qs); },
                [&] { sheet.columns(column(c1) + u':' + column(c2)).setNumberFormat(u"0.000"_qs); },
                [&] {
                    sheet.hyperlinks().add(sheet.cells(r1, c1), u"https://x.invalid"_qs, QString(pick(1, 30), u'M'));
                },
                [&] {
                    latin = !latin;
                    xl.setLocale(QLocale(latin ? u"sr_Latn_RS"_qs : u"sr_Cyrl_RS"_qs));
                    sheet.cells(r1, c1).setValue(45000.0 + pick(0, 300));
                    sheet.cells(r1, c1).setNumberFormat(u"mmmm"_qs);
                },
            };
            try {
                edits[pick(0, int(std::size(edits)) - 1)]();
            } catch (const WorkbookError &) { }
            if (pick(0, 2) != 0)
                continue;
            const RangeRef fit = fits[size_t(pick(0, int(fits.size()) - 1))];
            Worksheet fresh = ws;
            fresh.fitMemos().clear();
            ColumnAutoFit::fit(book, ws, fit);
            ColumnAutoFit::fit(book, fresh, fit);
            for (int c = fit.firstColumn; c <= fit.lastColumn; ++c)
                ASSERT_EQ(widthOf(ws, c), widthOf(fresh, c)) << "seed " << seed << " step " << step << " column " << c;
        }
    }
}

} // namespace

} // namespace tannbuch
