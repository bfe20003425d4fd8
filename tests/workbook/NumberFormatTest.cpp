#include "SheetTestSupport.h"

#include "text/NumberFormatter.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

struct FormatCase
{
    double value;
    const char *format;
    const char *expected;
};

class NumberFormatTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(NumberFormatTest, ShowsWhatTheSpreadsheetShows)
{
    const FormatCase &c = GetParam();
    const NumberFormatter german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.format(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.expected))
        << c.value << " as " << c.format;
}

INSTANTIATE_TEST_SUITE_P(German, NumberFormatTest,
    ::testing::Values(
        // The report's formats.
        FormatCase{1.2345, "0.000", "1,235"}, FormatCase{12.0, "0.000", "12,000"}, FormatCase{0.125, "0.00", "0,13"},
        FormatCase{2.675, "0.00", "2,68"}, // decimal rounding, not the binary value's
        FormatCase{-1.005, "0.00", "-1,01"}, FormatCase{0.1234, "0.0%", "12,3%"}, FormatCase{1.0, "0.0%", "100,0%"},
        FormatCase{37.25, "0.0", "37,3"}, FormatCase{2.5, "0", "3"}, FormatCase{-2.5, "0", "-3"},
        FormatCase{-0.0001, "0.00", "0,00"}, // no minus on a shown zero
        FormatCase{1.5, "@", "1,5"}, FormatCase{1.5, "General", "1,5"},
        // General: at most eleven characters.
        FormatCase{1.0 / 3.0, "General", "0,333333333"}, FormatCase{123456789012.0, "General", "1,23457E+11"},
        FormatCase{12345678901.0, "General", "12345678901"}, FormatCase{1e-12, "General", "1E-12"},
        FormatCase{0.0, "General", "0"}, FormatCase{-42.0, "General", "-42"},
        // Grouping, scaling, optional digits, scientific.
        FormatCase{1234567.891, "#,##0.00", "1.234.567,89"}, FormatCase{999.0, "#,##0", "999"},
        FormatCase{1500.0, "#,##0,", "2"}, FormatCase{0.5, "#.##", ",5"}, FormatCase{1.0, "0.0#", "1,0"},
        FormatCase{1.25, "0.0#", "1,25"}, FormatCase{1234.0, "0.00E+00", "1,23E+03"},
        FormatCase{0.00012, "0.0E+00", "1,2E-04"},
        // Sections and literals.
        FormatCase{-1.0, "0.00;(0.00)", "(1,00)"}, FormatCase{0.0, "0;-0;\"-\"", "-"},
        FormatCase{3.0, "0 \"Stk\"", "3 Stk"}, FormatCase{3.0, "0\\m", "3m"}, FormatCase{4.0, "[Red]0", "4"},
        // Dates and times of serial numbers.
        FormatCase{45292.0, "dd.mm.yyyy", "01.01.2024"}, FormatCase{45292.75, "dd.mm.yy hh:mm", "01.01.24 18:00"},
        FormatCase{45292.0, "d. mmmm yyyy", "1. Januar 2024"}, FormatCase{0.5, "h:mm AM/PM", "12:00 PM"},
        FormatCase{60.0, "dd.mm.yyyy", "28.02.1900"}, FormatCase{-1.0, "dd.mm.yyyy", "###########"}));

TEST(NumberFormatterTest, PlainFormIsTheValueAsText)
{
    const NumberFormatter german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.plain(12.0), u"12"_s);
    EXPECT_EQ(german.plain(0.1 + 0.2), u"0,3"_s);
    EXPECT_EQ(german.plain(-1.5), u"-1,5"_s);
    EXPECT_EQ(german.plain(123456789012345.0), u"123456789012345"_s);
    EXPECT_EQ(german.plain(1e15), u"1E+15"_s);
    EXPECT_EQ(german.plain(0.00001), u"1E-05"_s);
    EXPECT_EQ(german.plain(1234567.0), u"1234567"_s); // never grouped
    EXPECT_EQ(NumberFormatter(QLocale::c()).plain(1.5), u"1.5"_s);
}

TEST(NumberFormatterTest, TextSectionsWrapTexts)
{
    const NumberFormatter f(QLocale::c());
    EXPECT_EQ(f.formatText(u"Eiche"_s, u"@"_s), u"Eiche"_s);
    EXPECT_EQ(f.formatText(u"Eiche"_s, u"0;0;0;\"Art: \"@"_s), u"Art: Eiche"_s);
    EXPECT_EQ(f.formatText(u"Eiche"_s, u"0.00"_s), u"Eiche"_s);
    EXPECT_TRUE(NumberFormatter::isTextFormat(u"@"_s));
    EXPECT_FALSE(NumberFormatter::isTextFormat(u"0.00"_s));
    EXPECT_TRUE(NumberFormatter::isDateFormat(u"dd.mm.yyyy"_s));
    EXPECT_FALSE(NumberFormatter::isDateFormat(u"0.0%"_s));
}

} // namespace

} // namespace tannbuch
