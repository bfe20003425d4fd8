#include "db/SqlServerSemantics.h"
#include "common/QtPrinters.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace sqlserver;

namespace {

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int compareUtf8(const QString &a, const QString &b)
{
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return compareTextUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

} // namespace

// The collation must be a consistent order (SQLite sorts and groups with it),
// and its byte fast path must agree with the decoded comparison.
TEST(SqlServerSemantics, TextOrderIgnoresCaseAndTrailingBlanksConsistently)
{
    const QStringList samples = {QString(), u" "_s, u"a"_s, u"A  "_s, u"a\t"_s, u"ab"_s, u"AB"_s, u"a b"_s, u"äpfel"_s,
        u"Äpfel "_s, u"apfel"_s, u"Öl"_s, u"z"_s, u"Straße"_s, u"STRASSE"_s, u"_x"_s, u"4711"_s, u"4711 "_s, u"47110"_s,
        u"\u212A"_s, u"k"_s};
    for (const QString &a : samples) {
        for (const QString &b : samples) {
            const int ab = sign(compareText(a, b));
            EXPECT_EQ(ab, -sign(compareText(b, a))) << qPrintable(a) << " / " << qPrintable(b);
            EXPECT_EQ(ab, sign(compareUtf8(a, b))) << qPrintable(a) << " / " << qPrintable(b);
            for (const QString &c : samples) {
                if (ab <= 0 && sign(compareText(b, c)) <= 0) {
                    EXPECT_LE(compareText(a, c), 0) << qPrintable(a) << qPrintable(b) << qPrintable(c);
                }
            }
        }
    }
    EXPECT_EQ(compareText(u"4711 ", u"4711"), 0);
    EXPECT_EQ(compareText(u"ÄPFEL", u"äpfel"), 0);
    EXPECT_NE(compareText(u"äpfel", u"apfel"), 0); // accents count
    EXPECT_NE(compareText(u" a", u"a"), 0); // leading blanks count
    EXPECT_LT(compareText(u"a", u"a\t"), 0);
}

TEST(SqlServerSemantics, LikeMatchesAsSqlServerDoes)
{
    struct Case
    {
        const char16_t *value;
        const char16_t *pattern;
        bool match;
    };
    const Case cases[] = {
        {u"ZUSTEXT1", u"zustext%", true},
        {u"coordinate2", u"COORDINATE%", true},
        {u"ZUSATZTEXT", u"ZUSATZTEXT", true},
        {u"ZUSATZTEXT2", u"ZUSATZTEXT", false},
        {u"Äpfel", u"äp%", true},
        {u"abc", u"a_c", true},
        {u"abbc", u"a_c", false},
        {u"abc  ", u"abc", true}, // value's trailing blanks ignored
        {u"abc", u"abc ", false},
        {u"abc ", u"abc ", true}, // pattern's count
        {u"b7", u"[a-c]_", true},
        {u"d7", u"[a-c]_", false},
        {u"B", u"[a-c]", true},
        {u"x", u"[^abc]", true},
        {u"a", u"[^abc]", false},
        {u"50%", u"50!%", false},
        {u"", u"%", true},
        {u"", u"_", false},
        {u"a%b", u"a[%]b", true},
        {u"[x", u"[x", true},
        {u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", u"%a%a%a%a%a%a%a%a%c", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(like(c.value, c.pattern), c.match)
            << QString::fromUtf16(c.value).toStdString() << " LIKE " << QString::fromUtf16(c.pattern).toStdString();
    EXPECT_TRUE(like(u"50%", u"50!%", u'!'));
    EXPECT_FALSE(like(u"501", u"50!%", u'!'));
}

TEST(SqlServerSemantics, IsNumericCoversTheUsualCases)
{
    for (const char16_t *yes :
        {u"2024", u"12.5", u" 12 ", u"1e5", u"-3", u"+4", u"1,000", u"$5", u".5", u"5.", u"1E-3", u"\t7\r"})
        EXPECT_TRUE(isNumeric(yes)) << QString::fromUtf16(yes).toStdString();
    for (const char16_t *no : {u"", u"  ", u"2024/25", u"abc", u"1.2.3", u"12a", u"1e", u"e5", u"1 2", u"--1"})
        EXPECT_FALSE(isNumeric(no)) << QString::fromUtf16(no).toStdString();
}

TEST(SqlServerSemantics, FloatsAsTextAndRounding)
{
    const std::pair<double, const char *> texts[] = {{12, "12"}, {4.5, "4.5"}, {0.1 + 0.2, "0.3"}, {123456, "123456"},
        {1234567, "1.23457e+006"}, {-0.00001, "-1e-005"}, {0.0001, "0.0001"}, {-0.0, "0"}};
    for (const auto &[value, text] : texts)
        EXPECT_EQ(floatToText(value), QString::fromLatin1(text)) << value;

    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(2.5, 0), 3.0);
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(1.005, 2), 1.01); // the decimal 1.005, not its binary neighbour
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(1.00496, 2), 1.0);
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero((1.0 + 1.01) / 2, 2), 1.01);
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(1234.5, -2), 1200.0);
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(0.004, 2), 0.0);
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(0.6, 0), 1.0);
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(2.345678, 10), 2.345678);
    EXPECT_EQ(roundHalfAwayFromZero(qint64(15), -1), qint64(20));
    EXPECT_EQ(roundHalfAwayFromZero(qint64(-15), -1), qint64(-20));
    EXPECT_EQ(roundHalfAwayFromZero(qint64(14), -1), qint64(10));
    EXPECT_EQ(roundHalfAwayFromZero(qint64(7), 2), qint64(7));
    EXPECT_FALSE(roundHalfAwayFromZero(std::numeric_limits<qint64>::max(), -1).has_value());
}

TEST(SqlServerSemantics, TextToDateReadsStyle104AndTheStoredForm)
{
    auto conv = [](const char16_t *text, DateKind kind = DateKind::SmallDateTime, int style = 104) {
        const DateConversion r = textToDate(text, style, kind);
        if (r.status == DateConversion::Invalid)
            return u"invalid"_s;
        if (r.status == DateConversion::OutOfRange)
            return u"range"_s;
        return storedDateText(r.value, kind);
    };
    EXPECT_EQ(conv(u"05.01.2024"), u"2024-01-05 00:00:00"_s);
    EXPECT_EQ(conv(u"5.1.24"), u"2024-01-05 00:00:00"_s);
    EXPECT_EQ(conv(u"5.1.50"), u"1950-01-05 00:00:00"_s);
    EXPECT_EQ(conv(u" 31.12.2024 13:45 "), u"2024-12-31 13:45:00"_s);
    EXPECT_EQ(conv(u"31.12.2024 13:45:30"), u"2024-12-31 13:46:00"_s); // smalldatetime rounds
    EXPECT_EQ(conv(u"31.12.2024 13:45:29.998"), u"2024-12-31 13:45:00"_s);
    EXPECT_EQ(conv(u"31.12.2024 13:45:30", DateKind::DateTime), u"2024-12-31 13:45:30"_s);
    EXPECT_EQ(conv(u"31.12.2024 13:45", DateKind::Date), u"2024-12-31"_s);
    EXPECT_EQ(conv(u""), u"1900-01-01 00:00:00"_s);
    EXPECT_EQ(conv(u"   "), u"1900-01-01 00:00:00"_s);
    EXPECT_EQ(conv(u"2024-03-07 08:09:10"), u"2024-03-07 08:09:00"_s);
    EXPECT_EQ(conv(u"2024-03-07"), u"2024-03-07 00:00:00"_s);
    EXPECT_EQ(conv(u"2024-03-07T08:09:10.5", DateKind::DateTime), u"2024-03-07 08:09:10"_s);
    EXPECT_EQ(conv(u"20240307"), u"2024-03-07 00:00:00"_s);
    EXPECT_EQ(conv(u"03/07/2024", DateKind::SmallDateTime, 101), u"2024-03-07 00:00:00"_s);
    for (const char16_t *bad : {u"31.02.2024", u"abc", u"12.2024", u"1.2.3.4", u"05.01.2024 25:00", u"05.01.202",
             u"2024-13-01", u"05.01.2024x"})
        EXPECT_EQ(conv(bad), u"invalid"_s) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(conv(u"01.01.1899"), u"range"_s);
    EXPECT_EQ(conv(u"07.06.2079"), u"range"_s);
    EXPECT_EQ(conv(u"06.06.2079 23:59:30"), u"range"_s);
    EXPECT_EQ(conv(u"01.01.1899", DateKind::DateTime), u"1899-01-01 00:00:00"_s);

    const DateConversion days = numberToDate(45296.5, DateKind::DateTime);
    ASSERT_EQ(days.status, DateConversion::Ok);
    EXPECT_EQ(storedDateText(days.value, DateKind::DateTime), u"2024-01-07 12:00:00"_s);
    EXPECT_EQ(numberToDate(-1, DateKind::SmallDateTime).status, DateConversion::OutOfRange);
}

TEST(SqlServerSemantics, StoredDatesAndTheirTextForms)
{
    EXPECT_TRUE(parseStoredDate(u"2024-01-05")->dateOnly);
    EXPECT_FALSE(parseStoredDate(u"2024-01-05 10:11:12")->dateOnly);
    for (const char16_t *no : {u"2024-02-30", u"2024-01-05T10:11:12", u"2024-1-05", u"2024-01-05 24:00:00",
             u"05.01.2024", u"2024-01-05 10:11", u"abcd-ef-gh"})
        EXPECT_FALSE(parseStoredDate(no).has_value()) << QString::fromUtf16(no).toStdString();

    const auto dt = parseStoredDate(u"2024-01-05 09:08:07")->value;
    EXPECT_EQ(dateToText(dt, false, 104), u"05.01.2024"_s);
    EXPECT_EQ(dateToText(dt, false, 4), u"05.01.24"_s);
    EXPECT_EQ(dateToText(dt, false, 103), u"05/01/2024"_s);
    EXPECT_EQ(dateToText(dt, false, 120), u"2024-01-05 09:08:07"_s);
    EXPECT_EQ(dateToText(dt, false, 112), u"20240105"_s);
    EXPECT_EQ(dateToText(dt, false, 0), u"Jan  5 2024  9:08AM"_s);
    EXPECT_EQ(dateToText(parseStoredDate(u"2024-12-25 00:30:00")->value, false, 100), u"Dec 25 2024 12:30AM"_s);
    EXPECT_EQ(dateToText(dt, true, 0), u"2024-01-05"_s);
    EXPECT_FALSE(dateToText(dt, false, 999).has_value());
}

} // namespace tannbuch
