// The head block as data: per case the rows of a small database, the
// template switches, the procedure that runs, the cells expected from row 8
// on (in the workbook and in the saved file) and the row the cursor ends on.

#include "common/ReportBench.h"

#include "report/head/ListHead.h"

#include <gtest/gtest.h>

#include <functional>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace reportbench;

namespace {

// Title row 8 (bold 14) and lots row 9 (bold 12), with the text format where a value went in.
Cells titleRows(const QString &listNumber, const QString &lotsLabel, const QString &lots)
{
    Cells c{styled(u"A8"_s, s("Liste:"), 14), styled(u"C8"_s, QString(), 14), styled(u"D8"_s, listNumber, 14),
        text(u"D8"_s, listNumber), styled(u"A9"_s, lotsLabel, 12), styled(u"C9"_s, QString(), 12),
        styled(u"D9"_s, lots, 12)};
    if (!lotsLabel.isEmpty())
        c.push_back(text(u"D9"_s, lots));
    return c;
}

// Master data and list 4711 with two records; list 4712 must never show.
const QString fullRows
    = s("INSERT INTO RELTABLE VALUES (1, 1, '2024', 'Haushaltsjahr 2024', 0), (2, 6, 'PRIV', 'Privatwald', 0),"
        " (3, 6, 'KOMM', 'Kommunalwald', 0), (4, 1, '2023', 'Haushaltsjahr 2023', 0);"
        "INSERT INTO VERKAUFSART VALUES (1, 'FV', 'Freihändiger Verkauf'), (2, 'SUB', 'Submission');"
        "INSERT INTO PERSONAL VALUES (1, 'MEIER', 1001, 'Meier', 'Hans', '79100', 'Freiburg', 'Waldweg 3'),"
        " (2, 'HOLZ', 1002, 'Holz AG', NULL, '79822', 'Titisee', 'Seestr. 1'),"
        " (3, 'ABC', 1003, 'Abc Transporte', 'Eva', '79111', 'Freiburg', 'Hafen 7');"
        "INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM, LOS, LISTZUSTXT, RELTABLE1, RELTABLE6, ID_VERKAUFSART,"
        " ZUSTEXT1, COORDINATE1, WAGNR, ZUSTXT) VALUES"
        " (1, '4711', '2024-03-05 00:00:00', 'B', 'Sturmholz', 1, 2, 1, 'Weg frei', '47.9,7.8', '4711-01', 'Bis Mai'),"
        " (2, '4711', '2024-03-06 00:00:00', 'A', 'Sturmholz', 1, 3, 1, 'Weg frei', '47.9,7.8', '4711-01', 'Bis Mai'),"
        " (3, '4712', '2023-01-02 00:00:00', 'C', 'Anderes', 4, 2, 2, 'Nein', NULL, 'X', 'Y');"
        "INSERT INTO LOGS_RECH (ID, ID_LOG, R_KUNDE, A2_KUNDE) VALUES (1, 1, 1, 2), (2, 2, 1, 3), (3, 3, 2, 1);"
        "INSERT INTO LISTENKOPF (ID, LISTE, LISTENKOPFZUSTXT, TEXT1, NUMBER1, NUMBER3, DATE2) VALUES"
        " (1, '4711', 'Frei Werk', 'Polter am Weg', 12.5, 0, '2024-04-30 00:00:00'), (2, '4712', 'Falsch', 'F', 9, 1, "
        "NULL);");

// Title, lots, dates, additional text and list header text of list 4711.
const Cells fullTop = titleRows(u"4711"_s, s("Lose:"), u"A,B"_s) + line(11, s("Listendatum:"), u"05.03.2024"_s)
    + more(12, u"06.03.2024"_s) + line(13, s("Listenzusatztext:"), s("Sturmholz"))
    + line(14, s("Kopfzusatztext:"), s("Frei Werk"));

struct HeadCase
{
    const char *name;
    QString rows;
    std::function<void(Bench &)> setUp;
    std::function<void(ReportRun &, const Selection &, SheetCursor &)> write;
    Cells cells;
    int endCursor;
};

std::vector<HeadCase> headCases()
{
    const auto none = [](Bench &) {};
    const auto head = WriteListHead;
    std::vector<HeadCase> cases;

    cases.push_back({"EveryPartInItsPlace", fullRows,
        [](Bench &b) {
            b.settings.lReltable[1] = b.settings.lReltable[6] = b.settings.lVerkaufsart = true;
            b.settings.lAdresse[0] = b.settings.lAdresse[2] = true;
            b.settings.lAdressformat = u"0"_s;
            b.settings.lZusKopf = b.settings.lZInfo = b.settings.lWagNrStammbemerkung = true;
        },
        head,
        fullTop + line(15, s("Haushaltsjahr:"), s("Haushaltsjahr 2024")) + line(16, s("Eigentum:"), s("Privatwald"))
            + more(17, s("Kommunalwald")) + line(18, s("Verkaufsart:"), s("Freihändiger Verkauf"))
            + Cells{label(u"A19"_s, s("Käufer:")), plain(u"D19"_s, s("Meier Hans, Waldweg 3, 79100 Freiburg")),
                label(u"A20"_s, s("Spediteur:")), plain(u"D20"_s, s("Abc Transporte Eva, Hafen 7, 79111 Freiburg")),
                plain(u"D21"_s, s("Holz AG , Seestr. 1, 79822 Titisee"))}
            + line(22, s("Text 1:"), s("Polter am Weg")) + line(23, s("Zahl 1:"), s("12,50"))
            + line(24, s("Datum 2:"), s("30.04.2024")) + line(25, s("Zusatztext 1:"), s("Weg frei"))
            + line(26, s("Koordinate 1:"), s("47.9,7.8")) + line(27, s("Waggon:"), s("4711-01"))
            + line(28, s("Bemerkung:"), s("Bis Mai")),
        30});

    // Without lots the lots row stays empty but keeps its font; the dates start two rows below the title.
    cases.push_back({"NoLotsLeaveTheLotsRowEmpty",
        s("INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM) VALUES (1, '4711', '2024-03-05 00:00:00');"), none, head,
        titleRows(u"4711"_s, QString(), QString()) + line(10, s("Listendatum:"), u"05.03.2024"_s), 12});

    // With empty lines every part switched on shows its label: lots with an
    // empty value, a NULL additional text, and label-only lines (column D left
    // as it was) for the list header text, relation table 2, the sales type
    // and role 1. A NULL list date never makes a line; the label goes to the
    // first date written.
    cases.push_back({"EmptyLinesShowLabels",
        s("INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM) VALUES (1, '4711', NULL), (2, '4711', '2024-03-05 00:00:00');"),
        [](Bench &b) {
            b.settings.lLeereKopfzeilen = b.settings.lReltable[2] = b.settings.lVerkaufsart = true;
            b.settings.lAdresse[1] = true;
        },
        head,
        titleRows(u"4711"_s, s("Lose:"), QString()) + line(11, s("Listendatum:"), u"05.03.2024"_s)
            + line(12, s("Listenzusatztext:"), QString())
            + Cells{label(u"A13"_s, s("Kopfzusatztext:")), {u"D13"_s, QString(), -1, 0, u"General"_s},
                label(u"A14"_s, s("Forstbetrieb:")), label(u"A15"_s, s("Verkaufsart:")),
                label(u"A16"_s, s("Abnehmer:"))},
        18});

    // Without empty lines roles without customers are left out.
    cases.push_back({"RolesWithoutCustomersLeftOut", fullRows,
        [](Bench &b) { b.settings.lAdresse[0] = b.settings.lAdresse[1] = b.settings.lAdresse[8] = true; }, head,
        fullTop + Cells{label(u"A15"_s, s("Käufer:")), plain(u"D15"_s, s("Meier Hans, Waldweg 3, 79100 Freiburg"))},
        17});

    // With empty lines a role without customers gets its label alone; a role
    // with two has its label on the first line only.
    cases.push_back({"RoleWithoutCustomersShowsItsLabel", fullRows,
        [](Bench &b) {
            b.settings.lLeereKopfzeilen = b.settings.lAdresse[1] = b.settings.lAdresse[2] = true;
            b.settings.lAdressformat = u"2"_s;
        },
        head,
        fullTop
            + Cells{label(u"A15"_s, s("Abnehmer:")), label(u"A16"_s, s("Spediteur:")),
                plain(u"D16"_s, s("1003, Abc Transporte Eva, Hafen 7, 79111 Freiburg")),
                plain(u"D17"_s, s("1002, Holz AG , Seestr. 1, 79822 Titisee"))},
        19});

    // Quotes in list number and lots: O'Brien shows, list 47'11 finds its header row.
    cases.push_back({"QuotesInListAndLot",
        s("INSERT INTO LOGS (ID_LOG, LISTE, LOS) VALUES (1, '47''11', 'O''Brien'), (2, '47''11', 'Ma''s');"
          "INSERT INTO LISTENKOPF (ID, LISTE, TEXT1) VALUES (1, '47''11', 'Kopf von O''Brien');"),
        [](Bench &b) {
            b.selection.filter = s("LOGS.LISTE = '47''11' AND LOGS.LOS IN ('O''Brien','Ma''s')");
            b.selection.listNumber = s("47'11");
            b.settings.lZusKopf = true;
        },
        head, titleRows(s("47'11"), s("Lose:"), s("Ma's,O'Brien")) + line(11, s("Text 1:"), s("Kopf von O'Brien")),
        13});

    // NULL texts, NULL and zero numbers make no line; an empty text does.
    // Numbers in "0.00" with the decimal comma, dates as dd.mm.yyyy.
    cases.push_back({"ListHeaderFields",
        s("INSERT INTO LISTENKOPF (ID, LISTE, TEXT2, TEXT15, NUMBER1, NUMBER2, NUMBER3, NUMBER4, NUMBER10, DATE1,"
          " DATE3, DATE5) VALUES (1, '4711', 'Zwei', '', 12.5, -3, 0, 1234.567, 0.005, '2024-04-30 00:00:00',"
          " '2023-12-01 13:45:00', '2025-01-02');"),
        none, WriteListHeaderFields,
        line(8, s("Text 2:"), s("Zwei")) + line(9, s("Text 15:"), QString()) + line(10, s("Zahl 1:"), s("12,50"))
            + line(11, s("Zahl 2:"), s("-3,00")) + line(12, s("Zahl 4:"), s("1234,57"))
            + line(13, s("Zahl 10:"), s("0,01")) + line(14, s("Datum 1:"), s("30.04.2024"))
            + line(15, s("Datum 3:"), s("01.12.2023")) + line(16, s("Datum 5:"), s("02.01.2025")),
        17});

    // With empty lines every text field has a line, NULL ones (text 5 among
    // them) with an empty value; numbers still need a value other than 0.
    Cells allTexts;
    for (int n = 1; n <= 15; ++n)
        allTexts = allTexts + line(7 + n, u"Text %1:"_s.arg(n), n == 1 ? s("Eins") : QString());
    cases.push_back({"ListHeaderFieldsWithEmptyLines",
        s("INSERT INTO LISTENKOPF (ID, LISTE, TEXT1, NUMBER2, NUMBER3) VALUES (1, '4711', 'Eins', 7, 0);"),
        [](Bench &b) { b.settings.lLeereKopfzeilen = true; }, WriteListHeaderFields,
        allTexts + line(23, s("Zahl 2:"), s("7,00")), 24});

    cases.push_back({"ListWithoutHeaderRow", QString(), [](Bench &b) { b.settings.lLeereKopfzeilen = true; },
        WriteListHeaderFields, Cells{}, 8});

    // Switch 0 or 1 prints in the head block; 2 and 4 belong to the lot
    // summary, 3 to nowhere. NULL values make no line.
    cases.push_back({"AdditionalTextSwitches",
        s("INSERT INTO LOGS (ID_LOG, LISTE, ZUSTEXT1, ZUSTEXT2, ZUSTEXT3, ZUSTEXT4, ZUSTEXT5, COORDINATE1, COORDINATE2)"
          " VALUES (1, '4711', 'Z1a', 'Z2', 'Z3', 'Z4', 'Z5', 'K1', 'K2'), (2, '4711', 'Z1b', 'Z2', 'Z3', 'Z4', 'Z5',"
          " 'K1', NULL), (3, '4711', 'Z1b', 'Z2', 'Z3', 'Z4', 'Z5', 'K1', NULL), (4, '4712', 'x', 'x', 'x', 'x', 'x',"
          " 'x', 'x');"),
        [](Bench &b) {
            b.run.textSwitches = {9, 0, 2, 4, 1, 3, 0, 1};
        },
        WriteAdditionalTexts,
        line(8, s("Zusatztext 1:"), s("Z1a")) + line(9, s("Zusatztext 4:"), s("Z4"))
            + line(10, s("Koordinate 1:"), s("K1")) + line(11, s("Koordinate 2:"), s("K2"))
            + line(12, s("Zusatztext 1:"), s("Z1b")) + line(13, s("Zusatztext 4:"), s("Z4"))
            + line(14, s("Koordinate 1:"), s("K1")),
        15});

    cases.push_back({"WagonMissingNoteShown",
        s("INSERT INTO LOGS (ID_LOG, LISTE, WAGNR, ZUSTXT) VALUES (1, '4711', NULL, 'Bis Mai');"), none,
        WriteWagonAndNote, line(8, s("Bemerkung:"), s("Bis Mai")), 9});

    cases.push_back({"WagonAndNoteOfTheFirstRowOnly",
        s("INSERT INTO LOGS (ID_LOG, LISTE, WAGNR, ZUSTXT) VALUES (1, '4711', '0815', 'Erste'),"
          " (2, '4711', '0815', 'Zweite');"),
        none, WriteWagonAndNote, line(8, s("Waggon:"), s("0815")) + line(9, s("Bemerkung:"), s("Erste")), 10});

    return cases;
}

class ListHeadCases : public ::testing::TestWithParam<HeadCase>
{
};

} // namespace

TEST_P(ListHeadCases, WritesTheExpectedCells)
{
    const HeadCase &c = GetParam();
    Bench bench(c.rows);
    c.setUp(bench);
    c.write(bench.run, bench.selection, bench.cursor);
    EXPECT_EQ(bench.cursor.row, c.endCursor) << "the cursor must end on the first free row";
    {
        SCOPED_TRACE("in the workbook");
        expectCells(bench.book(), bench.sheet(), c.cells, c.endCursor + 2);
    }
    // Number-like values ("12,50", "0815") must stay text in the file too.
    const std::unique_ptr<Workbook> saved = bench.saved();
    SCOPED_TRACE("in the saved file");
    expectCells(*saved, saved->activeSheet(), c.cells, c.endCursor + 2);
}

INSTANTIATE_TEST_SUITE_P(HeadBlock, ListHeadCases, ::testing::ValuesIn(headCases()),
    [](const ::testing::TestParamInfo<HeadCase> &test) { return std::string(test.param.name); });

} // namespace tannbuch
