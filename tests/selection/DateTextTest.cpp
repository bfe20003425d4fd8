#include "text/DateText.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QDate today(2026, 3, 15);

QString read(const QString &text)
{
    const std::optional<QDate> date = DateText::parse(text, today);
    return date ? DateText::format(*date) : QStringLiteral("invalid");
}

} // namespace

TEST(DateText, FullAndShortFormsAreRewritten)
{
    EXPECT_EQ(read(QStringLiteral("01.02.2024")), QStringLiteral("01.02.2024"));
    EXPECT_EQ(read(QStringLiteral("1.2.2024")), QStringLiteral("01.02.2024"));
    EXPECT_EQ(read(QStringLiteral(" 1.2.2024 ")), QStringLiteral("01.02.2024"));
    EXPECT_EQ(read(QStringLiteral("29.02.2024")), QStringLiteral("29.02.2024"));
}

TEST(DateText, TwoDigitYearsFallIn1930To2029)
{
    EXPECT_EQ(read(QStringLiteral("1.2.24")), QStringLiteral("01.02.2024"));
    EXPECT_EQ(read(QStringLiteral("1.2.00")), QStringLiteral("01.02.2000"));
    EXPECT_EQ(read(QStringLiteral("1.2.29")), QStringLiteral("01.02.2029"));
    EXPECT_EQ(read(QStringLiteral("1.2.30")), QStringLiteral("01.02.1930"));
    EXPECT_EQ(read(QStringLiteral("31.12.99")), QStringLiteral("31.12.1999"));
    EXPECT_EQ(read(QStringLiteral("1.2.5")), QStringLiteral("01.02.2005"));
    EXPECT_EQ(DateText::expandYear(29), 2029);
    EXPECT_EQ(DateText::expandYear(30), 1930);
}

TEST(DateText, DayAndMonthAloneMeanTheCurrentYear)
{
    EXPECT_EQ(read(QStringLiteral("12.05")), QStringLiteral("12.05.2026"));
    EXPECT_EQ(read(QStringLiteral("12.05.")), QStringLiteral("12.05.2026"));
}

TEST(DateText, WhatIsNoDate)
{
    for (const char *text :
        {"", " ", "30.02.2024", "29.02.2023", "0.1.2024", "1.13.2024", "32.1.2024", "1.2.124", "1.2.20245", "1/2/2024",
            "2024-02-01", "12", "12.", "a.b.c", "1..2024", ".1.2024", "1.2.2024.", "31.12.1899", "07.06.2079"})
        EXPECT_EQ(read(QString::fromLatin1(text)), QStringLiteral("invalid")) << text;
    // The bounds of what the list query can compare.
    EXPECT_EQ(read(QStringLiteral("1.1.1900")), QStringLiteral("01.01.1900"));
    EXPECT_EQ(read(QStringLiteral("6.6.2079")), QStringLiteral("06.06.2079"));
}
