// The head block's parts one by one: forest locations, customer lines by
// address format, the joined head line, the locale and failures.

#include "common/ReportBench.h"

#include "db/DbError.h"
#include "report/head/CustomerLines.h"
#include "report/head/HeadLine.h"
#include "report/head/ListHead.h"
#include "report/single/ForestLocation.h"
#include "text/ReportLocale.h"
#include "workbook/cells/Workbook.h"

#include <QDate>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace reportbench;

namespace {

// A WALDORT row (id 5), the long form or not, and the line expected in A8 (empty: none).
struct ForestCase
{
    const char *name;
    QString row;
    bool longForm;
    QString expected;
};

class ForestLocationCases : public ::testing::TestWithParam<ForestCase>
{
};

} // namespace

TEST_P(ForestLocationCases, WritesTheLocationLine)
{
    const ForestCase &c = GetParam();
    Bench bench(u"INSERT INTO WALDORT VALUES "_s + c.row + QLatin1Char(';'));
    bench.settings.lWaldortLang = c.longForm;
    WriteForestLocation(bench.run, bench.cursor, 5);
    const bool written = !c.expected.isEmpty();
    expectCells(bench.book(), bench.sheet(), written ? Cells{label(u"A8"_s, c.expected)} : Cells{}, 10);
    EXPECT_EQ(bench.cursor.row, StartRow + (written ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(HeadBlock, ForestLocationCases,
    ::testing::Values(ForestCase{"LongForm", s("(5, 'Nordhang', '12', '', '3', NULL, NULL, NULL)"), true,
                          s("Waldort:  12/3 Abt.: Nordhang")},
        ForestCase{"ShortForm", s("(5, 'Nordhang', '12', '', '3', NULL, NULL, NULL)"), false, s("Waldort:  Nordhang")},
        ForestCase{"Trimmed", s("(5, '  Nordhang ', ' 12', NULL, '3 ', '', ' ', 'b')"), true,
            s("Waldort:  12/3/b Abt.: Nordhang")},
        ForestCase{
            "WithoutNameTheCode", s("(5, NULL, '12', '4', 'a', NULL, NULL, NULL)"), false, s("Waldort:  12/4/a")},
        ForestCase{
            "EmptyFirstPart", s("(5, 'Tal', NULL, '7', NULL, NULL, NULL, NULL)"), true, s("Waldort:  /7 Abt.: Tal")},
        ForestCase{
            "NameRepeatingTheCode", s("(5, '12 4', '12', '4', NULL, NULL, NULL, NULL)"), true, s("Waldort:  12/4")},
        ForestCase{"NothingToShow", s("(5, ' ', NULL, NULL, NULL, NULL, NULL, NULL)"), true, QString()}),
    [](const ::testing::TestParamInfo<ForestCase> &test) { return std::string(test.param.name); });

TEST(CustomerLines, OneLinePerCustomerByAddressFormat)
{
    Bench bench(s("INSERT INTO PERSONAL VALUES (1, 'MEIER', 1001, 'Meier', 'Hans', '79100', 'Freiburg', 'Waldweg 3'),"
                  " (2, 'ALT', 7, 'Alt', NULL, NULL, NULL, NULL), (3, 'ZZ', NULL, NULL, NULL, NULL, NULL, NULL);"
                  "INSERT INTO LOGS (ID_LOG, LISTE) VALUES (1, '4711'), (2, '4711'), (3, '4711');"
                  "INSERT INTO LOGS_RECH (ID, ID_LOG, A5_KUNDE) VALUES (1, 1, 1), (2, 2, 2), (3, 3, 3);"));
    for (const char *format : {"1", "2", "0", "x"})
        WriteCustomerLines(
            bench.run, bench.selection, bench.cursor, 5, addressColumnList(QString::fromLatin1(format)), u"F"_s);
    // By short name: ALT, MEIER, ZZ. A NULL leaves its blank, an empty item its comma; the last comma goes.
    expectCells(bench.book(), bench.sheet(),
        {plain(u"F8"_s, s("7, Alt ,  ")), plain(u"F9"_s, s("1001, Meier Hans, 79100 Freiburg, Waldweg 3")),
            plain(u"F10"_s, s(",  ,  ")), plain(u"F11"_s, s("7, Alt , ")),
            plain(u"F12"_s, s("1001, Meier Hans, Waldweg 3, 79100 Freiburg")), plain(u"F13"_s, s(",  , ")),
            plain(u"F14"_s, s("Alt , ")), plain(u"F15"_s, s("Meier Hans, Waldweg 3, 79100 Freiburg")),
            plain(u"F16"_s, s(", ")), plain(u"F17"_s, s("Alt , ")),
            plain(u"F18"_s, s("Meier Hans, Waldweg 3, 79100 Freiburg")), plain(u"F19"_s, s(", "))},
        21);
    EXPECT_EQ(bench.cursor.row, 20);
}

TEST(CustomerLines, AFormatItemNamingNoColumnIsAnError)
{
    Bench bench(s("INSERT INTO PERSONAL VALUES (1, 'MEIER', 1001, 'Meier', 'Hans', '79100', 'Freiburg', 'Waldweg 3');"
                  "INSERT INTO LOGS (ID_LOG, LISTE) VALUES (1, '4711');"
                  "INSERT INTO LOGS_RECH (ID, ID_LOG, R_KUNDE) VALUES (1, 1, 1);"));
    try {
        WriteCustomerLines(bench.run, bench.selection, bench.cursor, 0, u"NAME,, TELEFON"_s, u"D"_s);
        ADD_FAILURE() << "an unknown column must fail";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(u"\"TELEFON\""_s)) << qPrintable(e.message());
        EXPECT_TRUE(e.message().contains(u"PERSONAL"_s)) << qPrintable(e.message());
    }
    EXPECT_EQ(bench.cursor.row, StartRow);
    // Letter case does not matter.
    WriteCustomerLines(bench.run, bench.selection, bench.cursor, 0, u"name, Vorname"_s, u"D"_s);
    expectCells(bench.book(), bench.sheet(), {plain(u"D8"_s, s("Meier Hans"))}, 10);
}

TEST(HeadLine, JoinedFormCarriesTheLabelSuffix)
{
    Bench bench(
        s("INSERT INTO LOGS (ID_LOG, LISTE, LOS) VALUES (1, '4711', ' 3 '), (2, '4711', '12'), (3, '4711', '12');"));
    WriteHeadLine(bench.run, bench.cursor, u"LOS"_s, u"SELECT DISTINCT(LOS) FROM LOGS ORDER BY LOS"_s, 1135, false,
        u" (alle)"_s, false);
    // Lot numbers stay text; the joined text is trimmed as a whole.
    expectCells(bench.book(), bench.sheet(), line(8, s("Lose: (alle)"), s("3 ,12")), 10);
}

TEST(HeadValueText, DatesAndNumbersFollowTheReportLocale)
{
    ReportLocale::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(headValueText(QDate(2024, 3, 5)), u"3/5/2024"_s);
    EXPECT_EQ(headValueText(QDateTime(QDate(2024, 3, 5), QTime(13, 30))), u"3/5/2024"_s);
    EXPECT_EQ(headValueText(2.5), u"2.5"_s);
    EXPECT_EQ(listHeaderNumberText(1234.5), u"1234.50"_s);
    EXPECT_EQ(listHeaderNumberText(u"n. b."_s), u"n. b."_s);
    // The list header's date form is the same everywhere.
    EXPECT_EQ(listHeaderDateText(QDate(2024, 3, 5)), u"05.03.2024"_s);
    ReportLocale::setLocale(QLocale::c());
}

TEST(HeadFailures, MissingListHeaderTextColumnIsSkipped)
{
    // An older host database: LISTENKOPF without LISTENKOPFZUSTXT.
    Bench bench(s("INSERT INTO LOGS (ID_LOG, LISTE, LOS) VALUES (1, '4711', 'A');"
                  "INSERT INTO LISTENKOPF (ID, LISTE, TEXT1) VALUES (1, '4711', 'Eins');"),
        u"ALTER TABLE LISTENKOPF DROP COLUMN LISTENKOPFZUSTXT;\n"_s);
    bench.settings.lLeereKopfzeilen = bench.settings.lZusKopf = true;
    WriteListHead(bench.run, bench.selection, bench.cursor);
    Cells expected = Cells{styled(u"A8"_s, s("Liste:"), 14), text(u"D8"_s, s("4711")), styled(u"A9"_s, s("Lose:"), 12),
                         text(u"D9"_s, s("A"))}
        + line(11, s("Listenzusatztext:"), QString()) + line(12, s("Text 1:"), s("Eins"));
    for (int n = 2; n <= 15; ++n)
        expected = expected + line(11 + n, u"Text %1:"_s.arg(n), QString());
    expectCells(bench.book(), bench.sheet(), expected, 30);
    EXPECT_EQ(bench.cursor.row, 28);
}

TEST(HeadFailures, OtherFailuresEndTheBlock)
{
    // Without LOGS.LISTZUSTXT the list's additional text cannot be read: the report stops there.
    Bench bench(s("INSERT INTO LOGS (ID_LOG, LISTE, LOS) VALUES (1, '4711', 'A');"),
        u"ALTER TABLE LOGS DROP COLUMN LISTZUSTXT;\n"_s);
    EXPECT_THROW(WriteListHead(bench.run, bench.selection, bench.cursor), DbError);
    EXPECT_EQ(bench.statements().size(), 3);
}

} // namespace tannbuch
