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
    Bench bench(QStringLiteral("INSERT INTO WALDORT VALUES ") + c.row + QLatin1Char(';'));
    bench.settings.lWaldortLang = c.longForm;
    WriteForestLocation(bench.run, bench.cursor, 5);
    const bool written = !c.expected.isEmpty();
    expectCells(bench.book(), bench.sheet(), written ? Cells{label(QStringLiteral("A8"), c.expected)} : Cells{}, 10);
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
        WriteCustomerLines(bench.run, bench.selection, bench.cursor, 5, addressColumnList(QString::fromLatin1(format)),
            QStringLiteral("F"));
    // By short name: ALT, MEIER, ZZ. A NULL leaves its blank, an empty item its comma; the last comma goes.
    expectCells(bench.book(), bench.sheet(),
        {plain(QStringLiteral("F8"), s("7, Alt ,  ")),
            plain(QStringLiteral("F9"), s("1001, Meier Hans, 79100 Freiburg, Waldweg 3")),
            plain(QStringLiteral("F10"), s(",  ,  ")), plain(QStringLiteral("F11"), s("7, Alt , ")),
            plain(QStringLiteral("F12"), s("1001, Meier Hans, Waldweg 3, 79100 Freiburg")),
            plain(QStringLiteral("F13"), s(",  , ")), plain(QStringLiteral("F14"), s("Alt , ")),
            plain(QStringLiteral("F15"), s("Meier Hans, Waldweg 3, 79100 Freiburg")),
            plain(QStringLiteral("F16"), s(", ")), plain(QStringLiteral("F17"), s("Alt , ")),
            plain(QStringLiteral("F18"), s("Meier Hans, Waldweg 3, 79100 Freiburg")),
            plain(QStringLiteral("F19"), s(", "))},
        21);
    EXPECT_EQ(bench.cursor.row, 20);
}

TEST(CustomerLines, AFormatItemNamingNoColumnIsAnError)
{
    Bench bench(s("INSERT INTO PERSONAL VALUES (1, 'MEIER', 1001, 'Meier', 'Hans', '79100', 'Freiburg', 'Waldweg 3');"
                  "INSERT INTO LOGS (ID_LOG, LISTE) VALUES (1, '4711');"
                  "INSERT INTO LOGS_RECH (ID, ID_LOG, R_KUNDE) VALUES (1, 1, 1);"));
    try {
        WriteCustomerLines(
            bench.run, bench.selection, bench.cursor, 0, QStringLiteral("NAME,, TELEFON"), QStringLiteral("D"));
        ADD_FAILURE() << "an unknown column must fail";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"TELEFON\""))) << qPrintable(e.message());
        EXPECT_TRUE(e.message().contains(QStringLiteral("PERSONAL"))) << qPrintable(e.message());
    }
    EXPECT_EQ(bench.cursor.row, StartRow);
    // Letter case does not matter.
    WriteCustomerLines(
        bench.run, bench.selection, bench.cursor, 0, QStringLiteral("name, Vorname"), QStringLiteral("D"));
    expectCells(bench.book(), bench.sheet(), {plain(QStringLiteral("D8"), s("Meier Hans"))}, 10);
}

TEST(HeadLine, JoinedFormCarriesTheLabelSuffix)
{
    Bench bench(
        s("INSERT INTO LOGS (ID_LOG, LISTE, LOS) VALUES (1, '4711', ' 3 '), (2, '4711', '12'), (3, '4711', '12');"));
    WriteHeadLine(bench.run, bench.cursor, QStringLiteral("LOS"),
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS ORDER BY LOS"), 1135, false, QStringLiteral(" (alle)"), false);
    // Lot numbers stay text; the joined text is trimmed as a whole.
    expectCells(bench.book(), bench.sheet(), line(8, s("Lose: (alle)"), s("3 ,12")), 10);
}

TEST(HeadValueText, DatesAndNumbersFollowTheReportLocale)
{
    ReportLocale::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(headValueText(QDate(2024, 3, 5)), QStringLiteral("3/5/2024"));
    EXPECT_EQ(headValueText(QDateTime(QDate(2024, 3, 5), QTime(13, 30))), QStringLiteral("3/5/2024"));
    EXPECT_EQ(headValueText(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(listHeaderNumberText(1234.5), QStringLiteral("1234.50"));
    EXPECT_EQ(listHeaderNumberText(QStringLiteral("n. b.")), QStringLiteral("n. b."));
    // The list header's date form is the same everywhere.
    EXPECT_EQ(listHeaderDateText(QDate(2024, 3, 5)), QStringLiteral("05.03.2024"));
    ReportLocale::setLocale(QLocale::c());
}

TEST(HeadFailures, MissingListHeaderTextColumnIsSkipped)
{
    // An older host database: LISTENKOPF without LISTENKOPFZUSTXT.
    Bench bench(s("INSERT INTO LOGS (ID_LOG, LISTE, LOS) VALUES (1, '4711', 'A');"
                  "INSERT INTO LISTENKOPF (ID, LISTE, TEXT1) VALUES (1, '4711', 'Eins');"),
        QStringLiteral("ALTER TABLE LISTENKOPF DROP COLUMN LISTENKOPFZUSTXT;\n"));
    bench.settings.lLeereKopfzeilen = bench.settings.lZusKopf = true;
    WriteListHead(bench.run, bench.selection, bench.cursor);
    Cells expected = Cells{styled(QStringLiteral("A8"), s("Liste:"), 14), text(QStringLiteral("D8"), s("4711")),
                         styled(QStringLiteral("A9"), s("Lose:"), 12), text(QStringLiteral("D9"), s("A"))}
        + line(11, s("Listenzusatztext:"), QString()) + line(12, s("Text 1:"), s("Eins"));
    for (int n = 2; n <= 15; ++n)
        expected = expected + line(11 + n, QStringLiteral("Text %1:").arg(n), QString());
    expectCells(bench.book(), bench.sheet(), expected, 30);
    EXPECT_EQ(bench.cursor.row, 28);
}

TEST(HeadFailures, OtherFailuresEndTheBlock)
{
    // Without LOGS.LISTZUSTXT the list's additional text cannot be read: the report stops there.
    Bench bench(s("INSERT INTO LOGS (ID_LOG, LISTE, LOS) VALUES (1, '4711', 'A');"),
        QStringLiteral("ALTER TABLE LOGS DROP COLUMN LISTZUSTXT;\n"));
    EXPECT_THROW(WriteListHead(bench.run, bench.selection, bench.cursor), DbError);
    EXPECT_EQ(bench.statements().size(), 3);
}

} // namespace tannbuch
