#include "SheetTestSupport.h"

#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/WorkbookError.h"

#include "workbook/cells/SheetLimits.h"

#include <QDate>

#include <cmath>
#include <limits>

namespace tannbuch {

using namespace Qt::StringLiterals;

using sheettest::SheetTest;

namespace {

// A text written as value, in a German sheet: what the cell holds.
struct TextCase
{
    const char *written;
    bool textFormat; // the cell is formatted "@" first
    CellType type;
    double number;
    const char *text;
    bool quotePrefix;
};

class TextValueTest : public SheetTest, public ::testing::WithParamInterface<TextCase>
{
};

TEST_P(TextValueTest, LandsAsTheSpreadsheetWouldStoreIt)
{
    const TextCase &c = GetParam();
    Range a1 = xl.range(u"A1"_s);
    if (c.textFormat)
        a1.setNumberFormat(u"@"_s);
    a1.setValue(QString::fromUtf8(c.written));
    const Cell *stored = cell("A1");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, c.type) << c.written;
    if (c.type == CellType::Number)
        EXPECT_DOUBLE_EQ(stored->number, c.number) << c.written;
    else
        EXPECT_EQ(stored->text, QString::fromUtf8(c.text)) << c.written;
    EXPECT_EQ(style("A1").quotePrefix, c.quotePrefix) << c.written;
}

TextCase number(const char *written, double value)
{
    return {written, false, CellType::Number, value, "", false};
}
TextCase text(const char *written, bool textFormat = false)
{
    return {written, textFormat, CellType::Text, 0, written, false};
}
TextCase quoted(const char *written, const char *kept, bool textFormat = false)
{
    return {written, textFormat, CellType::Text, 0, kept, true};
}

INSTANTIATE_TEST_SUITE_P(German, TextValueTest,
    ::testing::Values(
        // Plain decimal numbers of the locale become numbers.
        number("1", 1), number("0", 0), number(" 12 ", 12), number("1,5", 1.5), number("-3", -3), number("+3", 3),
        number(",5", 0.5), number("5,", 5), number("1,50000000000000000000", 1.5), text("12345678901234560"),
        number("007", 7), number("123456789012345", 123456789012345.0), number("0000000000000000001", 1),
        // Everything else stays text, as written.
        text("1.5"), // not the German decimal: no date either
        text("1.000"), // grouping
        text("1e5"), text("1,5,0"), text("-"), text("12 Stk"), text("5%"), text(" "),
        // More digits than a number cell keeps: a log number must not lose its end.
        text("1234567890123456"),
        // Apostrophe: the rest, kept as text.
        quoted("'0,95", "0,95"), quoted("'", ""), quoted("''x", "'x"),
        // Database content never becomes a formula.
        quoted("=1+1", "=1+1"), quoted("=HYPERLINK(\"x\")", "=HYPERLINK(\"x\")"),
        // A cell formatted as text keeps digits as text.
        text("007", true), text("1,5", true), quoted("'12", "12", true)));

TEST(PlainNumberTest, FollowsTheLocaleDecimalSeparator)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(CellValueConversion::parsePlainNumber(u"1.5", c), 1.5);
    for (const char16_t *refused : {u"1,5", u"", u"+", u".", u"١٢"}) // "١٢": other digits
        EXPECT_FALSE(CellValueConversion::parsePlainNumber(refused, c));
    // Negative zero is plain zero.
    EXPECT_FALSE(std::signbit(*CellValueConversion::parsePlainNumber(u"-0", c)));
}

TEST_F(SheetTest, VariantValuesKeepTheirKind)
{
    xl.range(u"A1"_s).setValue(2.5);
    xl.range(u"A2"_s).setValue(7);
    xl.range(u"A3"_s).setValue(true);
    xl.range(u"A4"_s).setValue(u"Fichte"_s);
    EXPECT_EQ(cell("A1")->type, CellType::Number);
    EXPECT_EQ(cell("A2")->number, 7.0);
    EXPECT_EQ(cell("A3")->type, CellType::Boolean);
    EXPECT_EQ(xl.range(u"A3"_s).value(), u"WAHR"_s);
    EXPECT_EQ(xl.range(u"A4"_s).value(), u"Fichte"_s);

    // A number written to a text cell is kept as the text it shows.
    xl.range(u"B1"_s).setNumberFormat(u"@"_s);
    xl.range(u"B1"_s).setValue(1.5);
    EXPECT_EQ(cell("B1")->type, CellType::Text);
    EXPECT_EQ(cell("B1")->text, u"1,5"_s);
}

TEST_F(SheetTest, DatesBecomeSerialNumbersWithADateFormat)
{
    xl.range(u"A1"_s).setValue(QDate(2024, 1, 1));
    EXPECT_EQ(cell("A1")->number, 45292.0);
    EXPECT_EQ(xl.range(u"A1"_s).text(), u"01.01.2024"_s);
    xl.range(u"A2"_s).setValue(QDateTime(QDate(1900, 1, 1), QTime(12, 0)));
    EXPECT_DOUBLE_EQ(cell("A2")->number, 1.5);
    // A cell that has a format keeps it.
    xl.range(u"A3"_s).setNumberFormat(u"0.00"_s);
    xl.range(u"A3"_s).setValue(QDate(2024, 1, 1));
    EXPECT_EQ(xl.range(u"A3"_s).numberFormat(), u"0.00"_s);
    // Before the date system begins: the date's text.
    xl.range(u"A4"_s).setValue(QDate(1850, 5, 3));
    EXPECT_EQ(cell("A4")->type, CellType::Text);
    EXPECT_EQ(cell("A4")->text, u"03.05.1850"_s);
}

TEST_F(SheetTest, RefusedValuesChangeNothing)
{
    Range a1 = xl.range(u"A1:B2"_s);
    a1.setValue(5);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(a1.setValue(bad), WorkbookError);
        EXPECT_THROW(xl.range(u"C1"_s).setValue(bad), WorkbookError);
    }
    EXPECT_EQ(cell("B2")->number, 5.0);
    EXPECT_EQ(cell("C1"), nullptr);
}

TEST_F(SheetTest, EmptyValueClearsButKeepsTheFormat)
{
    Range a1 = xl.range(u"A1"_s);
    a1.setNumberFormat(u"0.000"_s);
    a1.font().setBold(true);
    a1.setValue(3);
    a1.setValue(QVariant());
    EXPECT_TRUE(cell("A1")->isEmpty());
    EXPECT_EQ(a1.numberFormat(), u"0.000"_s);
    EXPECT_TRUE(a1.font().bold());
    a1.setValue(3);
    a1.setValue(QString());
    EXPECT_TRUE(cell("A1")->isEmpty());
    // Clearing a large block creates no cells.
    xl.range(u"C1:Z10000"_s).setValue(QVariant());
    EXPECT_EQ(ws().rows().size(), 1u);
}

TEST_F(SheetTest, ANewValueDropsTheApostropheMark)
{
    Range a1 = xl.range(u"A1"_s);
    a1.setValue(u"'12"_s);
    EXPECT_TRUE(style("A1").quotePrefix);
    a1.setValue(u"12"_s);
    EXPECT_FALSE(style("A1").quotePrefix);
    EXPECT_EQ(cell("A1")->type, CellType::Number);
}

TEST_F(SheetTest, ValueReadsAsTrimmedTextInTheLocale)
{
    xl.range(u"A1"_s).setValue(12);
    xl.range(u"A2"_s).setValue(1.5);
    xl.range(u"A3"_s).setValue(u"  lEinzeln "_s);
    xl.range(u"A4"_s).setValue(0.1 + 0.2);
    xl.range(u"A5"_s).setNumberFormat(u"0.0%"_s);
    xl.range(u"A5"_s).setValue(0.5);
    EXPECT_EQ(xl.cells(1, 1).value(), u"12"_s);
    EXPECT_EQ(xl.cells(2, 1).value(), u"1,5"_s);
    EXPECT_EQ(xl.cells(3, 1).value(), u"lEinzeln"_s);
    EXPECT_EQ(xl.cells(4, 1).value(), u"0,3"_s);
    EXPECT_EQ(xl.cells(5, 1).value(), u"0,5"_s); // the value, not its display
    EXPECT_EQ(xl.cells(5, 1).text(), u"50,0%"_s);
    EXPECT_EQ(xl.cells(6, 1).value(), QString());

    xl.setLocale(QLocale::c());
    EXPECT_EQ(xl.cells(2, 1).value(), u"1.5"_s);
}

TEST_F(SheetTest, OverlongTextIsCutOnceWarnedAndNeverSplitsACharacter)
{
    xl.range(u"A3"_s).setValue(QString(SheetLimits::MaxTextLength, QLatin1Char('z')));
    EXPECT_TRUE(book().warnings().isEmpty()) << "the limit itself is allowed";
    QString text(SheetLimits::MaxTextLength - 1, QLatin1Char('x'));
    text += QString::fromUtf8("\xF0\x9F\x8C\xB2"); // a tree, two UTF-16 units across the limit
    xl.range(u"A1"_s).setValue(text);
    EXPECT_EQ(cell("A1")->text.size(), SheetLimits::MaxTextLength - 1);
    xl.range(u"A2"_s).setValue(QString(40000, QLatin1Char('y')));
    EXPECT_EQ(cell("A2")->text.size(), SheetLimits::MaxTextLength);
    EXPECT_EQ(book().warnings().size(), 1);
    EXPECT_TRUE(book().warnings().front().contains(u"A1"_s));
}

} // namespace

} // namespace tannbuch
