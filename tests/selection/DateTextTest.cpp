#include "text/DateText.h"
#include "selection/LastDaysRange.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

// Each typed text and what it is read as on 15.03.2026: two-digit years fall
// in 1930 to 2029, day and month alone mean the current year, and the list
// query compares dates from 1900 to 6.6.2079 only.
TEST(DateText, TypedTextsAndWhatTheyAreReadAs)
{
    const struct
    {
        const char *typed;
        const char *read;
    } cases[] = {{"01.02.2024", "01.02.2024"}, {"1.2.2024", "01.02.2024"}, {" 1.2.2024 ", "01.02.2024"},
        {"29.02.2024", "29.02.2024"}, {"1.2.24", "01.02.2024"}, {"1.2.00", "01.02.2000"}, {"1.2.29", "01.02.2029"},
        {"1.2.30", "01.02.1930"}, {"31.12.99", "31.12.1999"}, {"1.2.5", "01.02.2005"}, {"12.05", "12.05.2026"},
        {"12.05.", "12.05.2026"}, {"1.1.1900", "01.01.1900"}, {"6.6.2079", "06.06.2079"}};
    for (const auto &c : cases) {
        const std::optional<QDate> date = DateText::parse(QString::fromLatin1(c.typed), QDate(2026, 3, 15));
        EXPECT_EQ(date ? DateText::format(*date) : u"invalid"_s, QString::fromLatin1(c.read)) << c.typed;
    }
    for (const char *text :
        {"", " ", "30.02.2024", "29.02.2023", "0.1.2024", "1.13.2024", "32.1.2024", "1.2.124", "1.2.20245", "1/2/2024",
            "2024-02-01", "12", "12.", "a.b.c", "1..2024", ".1.2024", "1.2.2024.", "31.12.1899", "07.06.2079"})
        EXPECT_FALSE(DateText::parse(QString::fromLatin1(text), QDate(2026, 3, 15))) << text;
}

// The days box on 15.03.2026: the days up to the to-date as typed, or up to
// today when it is empty; never a range that ends before it starts.
TEST(DateText, TheDaysBoxCountsBackFromTheToDate)
{
    const struct
    {
        const char *days, *to, *from, *until;
    } cases[] = {
        {"30", "", "13.02.2026", "15.03.2026"},
        {"30", "31.12.2025", "01.12.2025", "31.12.2025"}, // a to-date typed before
        {" 0 ", "1.2.24", "01.02.2024", "01.02.2024"},
        {"99999", "15.03.2026", "01.01.1900", "15.03.2026"}, // no earlier than the query compares
    };
    for (const auto &c : cases) {
        const auto range = LastDaysRange(QString::fromLatin1(c.days), QString::fromLatin1(c.to), QDate(2026, 3, 15));
        ASSERT_TRUE(range) << c.days << " " << c.to;
        EXPECT_EQ(*range, (DateRange{QString::fromLatin1(c.from), QString::fromLatin1(c.until)})) << c.days;
    }
    // Days that are no count, or a to-date that is no date: the range stays as it is.
    for (const auto &[days, to] : {std::pair{"", ""}, {"-3", ""}, {"7x", ""}, {"99999999999", ""}, {"7", "31.2.26"}})
        EXPECT_FALSE(LastDaysRange(QString::fromLatin1(days), QString::fromLatin1(to), QDate(2026, 3, 15))) << days;
}

} // namespace tannbuch
