#include "SheetTestSupport.h"

#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/WorkbookError.h"

#include "workbook/cells/SheetLimits.h"

#include <QDate>

#include <cmath>
#include <limits>

namespace tannbuch {

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
    Range a1 = xl.range(QStringLiteral("A1"));
    if (c.textFormat)
        a1.setNumberFormat(QStringLiteral("@"));
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
    EXPECT_FALSE(CellValueConversion::parsePlainNumber(u"1,5", c));
    EXPECT_FALSE(CellValueConversion::parsePlainNumber(u"", c));
    EXPECT_FALSE(CellValueConversion::parsePlainNumber(u"+", c));
    EXPECT_FALSE(CellValueConversion::parsePlainNumber(u".", c));
    EXPECT_FALSE(CellValueConversion::parsePlainNumber(u"١٢", c)); // other digits
    // Negative zero is plain zero.
    EXPECT_FALSE(std::signbit(*CellValueConversion::parsePlainNumber(u"-0", c)));
}

TEST_F(SheetTest, VariantValuesKeepTheirKind)
{
    xl.range(QStringLiteral("A1")).setValue(2.5);
    xl.range(QStringLiteral("A2")).setValue(7);
    xl.range(QStringLiteral("A3")).setValue(true);
    xl.range(QStringLiteral("A4")).setValue(QStringLiteral("Fichte"));
    EXPECT_EQ(cell("A1")->type, CellType::Number);
    EXPECT_EQ(cell("A2")->number, 7.0);
    EXPECT_EQ(cell("A3")->type, CellType::Boolean);
    EXPECT_EQ(xl.range(QStringLiteral("A3")).value(), QStringLiteral("WAHR"));
    EXPECT_EQ(xl.range(QStringLiteral("A4")).value(), QStringLiteral("Fichte"));

    // A number written to a text cell is kept as the text it shows.
    xl.range(QStringLiteral("B1")).setNumberFormat(QStringLiteral("@"));
    xl.range(QStringLiteral("B1")).setValue(1.5);
    EXPECT_EQ(cell("B1")->type, CellType::Text);
    EXPECT_EQ(cell("B1")->text, QStringLiteral("1,5"));
}

TEST_F(SheetTest, DatesBecomeSerialNumbersWithADateFormat)
{
    xl.range(QStringLiteral("A1")).setValue(QDate(2024, 1, 1));
    EXPECT_EQ(cell("A1")->number, 45292.0);
    EXPECT_EQ(xl.range(QStringLiteral("A1")).text(), QStringLiteral("01.01.2024"));
    xl.range(QStringLiteral("A2")).setValue(QDateTime(QDate(1900, 1, 1), QTime(12, 0)));
    EXPECT_DOUBLE_EQ(cell("A2")->number, 1.5);
    // A cell that has a format keeps it.
    xl.range(QStringLiteral("A3")).setNumberFormat(QStringLiteral("0.00"));
    xl.range(QStringLiteral("A3")).setValue(QDate(2024, 1, 1));
    EXPECT_EQ(xl.range(QStringLiteral("A3")).numberFormat(), QStringLiteral("0.00"));
    // Before the date system begins: the date's text.
    xl.range(QStringLiteral("A4")).setValue(QDate(1850, 5, 3));
    EXPECT_EQ(cell("A4")->type, CellType::Text);
    EXPECT_EQ(cell("A4")->text, QStringLiteral("03.05.1850"));
}

TEST_F(SheetTest, RefusedValuesChangeNothing)
{
    Range a1 = xl.range(QStringLiteral("A1:B2"));
    a1.setValue(5);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(a1.setValue(bad), WorkbookError);
        EXPECT_THROW(xl.range(QStringLiteral("C1")).setValue(bad), WorkbookError);
    }
    EXPECT_EQ(cell("B2")->number, 5.0);
    EXPECT_EQ(cell("C1"), nullptr);
}

TEST_F(SheetTest, EmptyValueClearsButKeepsTheFormat)
{
    Range a1 = xl.range(QStringLiteral("A1"));
    a1.setNumberFormat(QStringLiteral("0.000"));
    a1.font().setBold(true);
    a1.setValue(3);
    a1.setValue(QVariant());
    EXPECT_TRUE(cell("A1")->isEmpty());
    EXPECT_EQ(a1.numberFormat(), QStringLiteral("0.000"));
    EXPECT_TRUE(a1.font().bold());
    a1.setValue(3);
    a1.setValue(QString());
    EXPECT_TRUE(cell("A1")->isEmpty());
    // Clearing a large block creates no cells.
    xl.range(QStringLiteral("C1:Z10000")).setValue(QVariant());
    EXPECT_EQ(ws().rows().size(), 1u);
}

TEST_F(SheetTest, ANewValueDropsTheApostropheMark)
{
    Range a1 = xl.range(QStringLiteral("A1"));
    a1.setValue(QStringLiteral("'12"));
    EXPECT_TRUE(style("A1").quotePrefix);
    a1.setValue(QStringLiteral("12"));
    EXPECT_FALSE(style("A1").quotePrefix);
    EXPECT_EQ(cell("A1")->type, CellType::Number);
}

TEST_F(SheetTest, ValueReadsAsTrimmedTextInTheLocale)
{
    xl.range(QStringLiteral("A1")).setValue(12);
    xl.range(QStringLiteral("A2")).setValue(1.5);
    xl.range(QStringLiteral("A3")).setValue(QStringLiteral("  lEinzeln "));
    xl.range(QStringLiteral("A4")).setValue(0.1 + 0.2);
    xl.range(QStringLiteral("A5")).setNumberFormat(QStringLiteral("0.0%"));
    xl.range(QStringLiteral("A5")).setValue(0.5);
    EXPECT_EQ(xl.cells(1, 1).value(), QStringLiteral("12"));
    EXPECT_EQ(xl.cells(2, 1).value(), QStringLiteral("1,5"));
    EXPECT_EQ(xl.cells(3, 1).value(), QStringLiteral("lEinzeln"));
    EXPECT_EQ(xl.cells(4, 1).value(), QStringLiteral("0,3"));
    EXPECT_EQ(xl.cells(5, 1).value(), QStringLiteral("0,5")); // the value, not its display
    EXPECT_EQ(xl.cells(5, 1).text(), QStringLiteral("50,0%"));
    EXPECT_EQ(xl.cells(6, 1).value(), QString());

    xl.setLocale(QLocale::c());
    EXPECT_EQ(xl.cells(2, 1).value(), QStringLiteral("1.5"));
}

TEST_F(SheetTest, OverlongTextIsCutOnceWarnedAndNeverSplitsACharacter)
{
    xl.range(QStringLiteral("A3")).setValue(QString(SheetLimits::MaxTextLength, QLatin1Char('z')));
    EXPECT_TRUE(book().warnings().isEmpty()) << "the limit itself is allowed";
    QString text(SheetLimits::MaxTextLength - 1, QLatin1Char('x'));
    text += QString::fromUtf8("\xF0\x9F\x8C\xB2"); // a tree, two UTF-16 units across the limit
    xl.range(QStringLiteral("A1")).setValue(text);
    EXPECT_EQ(cell("A1")->text.size(), SheetLimits::MaxTextLength - 1);
    xl.range(QStringLiteral("A2")).setValue(QString(40000, QLatin1Char('y')));
    EXPECT_EQ(cell("A2")->text.size(), SheetLimits::MaxTextLength);
    EXPECT_EQ(book().warnings().size(), 1);
    EXPECT_TRUE(book().warnings().front().contains(QStringLiteral("A1")));
}

} // namespace

} // namespace tannbuch
