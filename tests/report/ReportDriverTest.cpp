#include "report/driver/ReportDriver.h"
#include "common/RecordingUi.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqliteBackend.h"
#include "report/ProgramUi.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/totals/Totals.h"
#include "selection/SelectionFilter.h"
#include "selection/SelectionQueries.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/XlsxReader.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

// The database file read as a server without snapshots reads it: each
// statement sees what is committed when it runs. A hook runs before each
// statement, to change the file as the host would.
class LiveBackend : public Backend
{
public:
    explicit LiveBackend(const QString &path)
        : m_file(path)
    { }
    ResultData query(const QString &sql) override
    {
        if (beforeQuery)
            beforeQuery(sql);
        return m_file.query(sql);
    }
    QString name() const override { return u"live"_s; }

    std::function<void(const QString &)> beforeQuery;

private:
    SqliteBackend m_file;
};

// A list with two lots on the demo schema, texts for the head block, and a
// template whose head rows 1..11 say "Kopf 1" .. "Kopf 11".
class ReportDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ReportLocale::setLocale(QLocale(QLocale::German, QLocale::Germany));
        const QString path = m_dir.filePath(u"forst.sqlite"_s);
        testsupport::createSqliteDatabase(path,
            testsupport::schemaSql()
                + u"INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM, LOS, DSART, STK, KUBATUR, LISTENART) VALUES"
                  u" (1, '4711', '2026-03-12 00:00:00', '1', 1, 1, 0.5, 1),"
                  u" (2, '4711', '2026-03-12 00:00:00', '2', 1, 1, 0.7, 1);"
                  u"INSERT INTO STRINGS (ID_STRING, GERMAN) VALUES (726, 'Liste'), (1135, 'Lose'), (727, 'Datum');"
                  u"INSERT INTO FORMS_CONFIG (FORM_ID, PROPERTY_ID, NUMBER_VALUE) VALUES"
                  u" ('F_STAMMEINKONF', 'ZUSTEXT2', 4), ('F_STAMMEINKONF', 'COORDINATE1', 2.5),"
                  u" ('F_STAMMEINKONF', 'zustext3', 9), ('ANDERE', 'ZUSTEXT1', 7);"_s);
        m_db.open(std::make_unique<SqliteBackend>(path));
        m_db.journal().setRecording(true);

        auto book = std::make_unique<Workbook>();
        Worksheet &sheet = book->addSheet(u"Tannbuch"_s);
        for (int r = 1; r <= 11; ++r)
            sheet.cellForWrite(r, 1) = textCell(1, u"Kopf %1"_s.arg(r));
        book->addSheet(u"Einstellungen"_s);
        book->setActiveSheetIndex(1);
        m_xl.setLocale(ReportLocale::locale());
        m_xl.addWorkbook(std::move(book));

        m_settings.StartZeile = 12;
        m_settings.SpaltenBreite = 12;
        m_settings.lEinzeln = 1;
        m_settings.lVerdichtet = 1;
        m_settings.lZuerstVerdichtet = 1;
        m_settings.nZoom = 90;
        m_settings.lKopfFuss = true;

        run.db = &m_db;
        run.xl = &m_xl;
        run.settings = &m_settings;
        run.ui = &m_ui;
        run.connectionString = u"Provider=SQLite;Data Source="_s + path;
        selection.listNumber = u"4711"_s;
        run.startupListNumber = u"4711"_s;
        run.provisionName = u"DEMO"_s;
        selection.filter = u"LOGS.LISTE = '4711'"_s;
    }

    static Cell textCell(int column, const QString &text)
    {
        Cell c;
        c.column = column;
        c.type = CellType::Text;
        c.text = text;
        return c;
    }

    QString cellText(int row, int column) { return m_xl.activeSheet().cells(row, column).value(); }

    Worksheet &sheet() { return m_xl.worksheets(u"Tannbuch"_s).worksheet(); }

    void chooseLots(const QStringList &lots)
    {
        selection.lots = lots;
        selection.lotCount = int(lots.size());
        m_settings.lLosweise = 1;
    }

    QTemporaryDir m_dir;
    Connection m_db;
    Application m_xl;
    ReportSettings m_settings;
    testsupport::RecordingUi m_ui;
    ReportRun run;
    Selection selection;
};

} // namespace

TEST_F(ReportDriverTest, WholeModeReadsSwitchesCallsTheMacrosAndWritesInOrder)
{
    selection.listType = u"1"_s;
    Workbook_Aktualisieren(run, selection);

    // Exact, case-sensitive ids; halves to even; other forms and ids skipped.
    EXPECT_EQ(run.textSwitches[SwitchZustext2], 4);
    EXPECT_EQ(run.textSwitches[SwitchCoordinate1], 2);
    EXPECT_EQ(run.textSwitches[SwitchZustext3], 0);
    EXPECT_EQ(run.textSwitches[SwitchZustext1], 0);

    // No lots: whole mode, and the list type joins the filter before the
    // template hears of it.
    const auto &calls = m_xl.macroCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].name, u"DieseArbeitsmappe.SetGlobalVariables"_s);
    EXPECT_EQ(calls[0].arguments,
        QVariantList({StoredConnection(run.connectionString), u"LISTE = '4711' AND LISTENART = 1"_s, u"4711"_s}));
    EXPECT_EQ(calls[1].name, u"DieseArbeitsmappe.WriteKundeKopf"_s);
    EXPECT_EQ(calls[2].name, u"DieseArbeitsmappe.WriteKopfFuss"_s);
    EXPECT_EQ(calls[2].arguments, QVariantList({true, 90}));
    EXPECT_EQ(calls[3].name, u"DieseArbeitsmappe.SetDotFields"_s);

    EXPECT_EQ(m_ui.statuses,
        QStringList({u"Kopf ..."_s, u"Verdichtet ..."_s, u"Einzeln ..."_s, u"Kopf / Fußzeile ..."_s, u"Fertig!"_s}));
    EXPECT_EQ(cellText(12, 1), u"Liste"_s);
    EXPECT_EQ(cellText(12, 4), u"4711"_s);
    EXPECT_TRUE(sheet().rowBreaks().empty());
    EXPECT_TRUE(m_xl.screenUpdating());
    EXPECT_EQ(m_xl.windowState(), Xl::WindowNormal);
    EXPECT_TRUE(m_ui.messages.isEmpty());
}

TEST_F(ReportDriverTest, SingleLogFirstAndSwitchedOffSectionsStillShowTheirStatus)
{
    m_settings.lZuerstVerdichtet = 0;
    m_settings.lEinzeln = 0;
    m_settings.lVerdichtet = 0;
    chooseLots({}); // lot-by-lot on but nothing chosen: whole mode
    Workbook_Aktualisieren(run, selection);
    EXPECT_EQ(m_settings.lLosweise, 0);
    EXPECT_EQ(m_ui.statuses.mid(0, 3), QStringList({u"Kopf ..."_s, u"Einzeln ..."_s, u"Verdichtet ..."_s}));
}

TEST_F(ReportDriverTest, LotByLotCopiesTheHeadAboveLaterLotsAndBreaksPages)
{
    chooseLots({u"1"_s, u"2"_s});
    m_settings.lGesamt = true;
    Workbook_Aktualisieren(run, selection);

    EXPECT_EQ(m_ui.statuses,
        QStringList({u"Los '1' Kopf ..."_s, u"Los '1' verdichtet ..."_s, u"Los '1' einzeln ..."_s,
            u"Los '2' Kopf ..."_s, u"Los '2' verdichtet ..."_s, u"Los '2' einzeln ..."_s, u"Gesamt Kopf ..."_s,
            u"Gesamt verdichtet ..."_s, u"Kopf / Fußzeile ..."_s, u"Fertig!"_s}));

    // Every lot ends with a blank row and a break above the row after it.
    const std::set<int> breaks = sheet().rowBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    const int secondLotStart = *breaks.begin() + 1;
    // The first lot has no copied head; the second starts with rows 1..11 of
    // the template (the defaults for a start and end of 0) and its own head
    // block right below them.
    EXPECT_EQ(cellText(12, 1), u"Liste"_s);
    EXPECT_EQ(cellText(secondLotStart - 1, 1), QString()) << "the break row stays empty";
    EXPECT_EQ(cellText(secondLotStart, 1), u"Kopf 1"_s);
    EXPECT_EQ(cellText(secondLotStart + 10, 1), u"Kopf 11"_s);
    EXPECT_EQ(cellText(secondLotStart + 11, 1), u"Liste"_s);
    EXPECT_EQ(m_settings.KopfKopieStart, 1);
    EXPECT_EQ(m_settings.KopfKopieEnd, 11);

    // The overall block follows on a new page with the whole head again and
    // the filter of the whole selection.
    const int overall = *breaks.rbegin() + 1;
    EXPECT_EQ(cellText(overall, 1), u"Kopf 1"_s);
    EXPECT_EQ(cellText(overall + 11, 1), u"Liste"_s);
    EXPECT_TRUE(m_db.journal().statements().contains(
        u"SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LISTE = '4711' ORDER BY LOS"_s));

    // The per-lot filter: list and lot, the lot as its quoted literal.
    EXPECT_TRUE(m_db.journal().statements().contains(QStringLiteral(
        "SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LISTE='4711' AND isnull(LOGS.LOS,'')='2' ORDER BY LOS")));
}

TEST_F(ReportDriverTest, EachLotStaysWholeAndKeepsTheProvision)
{
    // A lot whose name holds a comma and a quote, and a provision that holds
    // one of its two records.
    ASSERT_EQ(testsupport::changeSqliteDatabase(m_dir.filePath(u"forst.sqlite"_s),
                  u"INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM, LOS, DSART, STK, KUBATUR, LISTENART) "
                  u"VALUES (3, '4711', '2026-03-12 00:00:00', 'A,''B', 1, 1, 0.3, 1),"
                  u" (4, '4711', '2026-03-12 00:00:00', 'A,''B', 1, 1, 0.4, 1);"_s),
        QString());
    chooseLots({u"A,'B"_s});
    selection.provisionFilter = u" AND LOGS.ID_LOG IN (4) "_s;
    selection.filter += selection.provisionFilter;
    Workbook_Aktualisieren(run, selection);

    EXPECT_EQ(m_ui.statuses.mid(0, 3),
        QStringList({u"Los 'A,''B' Kopf ..."_s, u"Los 'A,''B' verdichtet ..."_s, u"Los 'A,''B' einzeln ..."_s}));
    EXPECT_EQ(sheet().rowBreaks().size(), 1u) << "one lot, one break";
    EXPECT_TRUE(m_db.journal().statements().contains(
        u"SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LISTE='4711' AND isnull(LOGS.LOS,'')='A,''B' AND "
        u"LOGS.ID_LOG IN (4)  ORDER BY LOS"_s));
    EXPECT_TRUE(m_ui.messages.isEmpty()) << m_ui.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ReportDriverTest, CopiedHeadRowsAdvanceTheCursorByTheirLastRow)
{
    chooseLots({u"1"_s, u"2"_s});
    m_settings.KopfKopieStart = 3;
    m_settings.KopfKopieEnd = 8;
    Workbook_Aktualisieren(run, selection);
    const std::set<int> breaks = sheet().rowBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    const int start = *breaks.begin() + 1;
    // Rows 3..8 (six rows) land at the cursor; the cursor moves by 8, so two
    // blank rows follow before the head block.
    EXPECT_EQ(cellText(start, 1), u"Kopf 3"_s);
    EXPECT_EQ(cellText(start + 5, 1), u"Kopf 8"_s);
    EXPECT_EQ(cellText(start + 6, 1), QString());
    EXPECT_EQ(cellText(start + 7, 1), QString());
    EXPECT_EQ(cellText(start + 8, 1), u"Liste"_s);
}

TEST_F(ReportDriverTest, OneLotStillBreaksAndTheOverallBlockFollows)
{
    chooseLots({u"1"_s});
    m_settings.lGesamt = true;
    m_settings.lVerdichtet = 0;
    Workbook_Aktualisieren(run, selection);
    EXPECT_EQ(sheet().rowBreaks().size(), 1u);
    EXPECT_TRUE(m_ui.statuses.contains(u"Gesamt verdichtet ..."_s));
    EXPECT_EQ(cellText(*sheet().rowBreaks().begin() + 1, 1), u"Kopf 1"_s);
}

// The totals count what the last block counted: the whole selection after
// an overall block, the last lot without one.
TEST_F(ReportDriverTest, TotalsCountTheLastBlocksSelection)
{
    const QString lastLot = u"LOGS.LISTE='4711' AND isnull(LOGS.LOS,'')='2'"_s;
    for (const bool overall : {true, false}) {
        chooseLots({u"1"_s, u"2"_s});
        m_settings.lGesamt = overall;
        m_settings.lKubGesamt = true;
        m_db.journal().clear();
        Workbook_Aktualisieren(run, selection);
        const QString counted = overall ? selection.filter : lastLot;
        EXPECT_TRUE(m_db.journal().statements().contains(TotalsStatement(counted))) << counted.toStdString();
    }
}

TEST_F(ReportDriverTest, ClearsOldOutputAlsoBelowRow10000AndWritesHeaderLines)
{
    sheet().cellForWrite(500, 3) = textCell(3, u"alt"_s);
    sheet().cellForWrite(12000, 2) = textCell(2, u"sehr alt"_s);
    m_settings.headerLines[2] = {u"Forstbetrieb Oberland"_s, u"C2"_s};
    m_settings.headerLines[3] = {u"ohne Zelle"_s, QString()};
    Workbook_Aktualisieren(run, selection);
    EXPECT_EQ(cellText(500, 3), QString());
    EXPECT_EQ(cellText(12000, 2), QString());
    EXPECT_EQ(cellText(2, 3), u"Forstbetrieb Oberland"_s);
    EXPECT_EQ(cellText(1, 1), u"Kopf 1"_s) << "rows above the output area stay";
}

TEST_F(ReportDriverTest, SavesUnderProvisionAndListAndKeepsInsideTheFolder)
{
    const QString folder = m_dir.filePath(u"out"_s) + QLatin1Char('/');
    QDir().mkpath(folder);
    run.saveFolder = folder;
    run.provisionName = u"../Bereit/1"_s;
    Workbook_Aktualisieren(run, selection);
    const QString expected = folder + u".._Bereit_1_4711.xlsx"_s;
    ASSERT_TRUE(QFile::exists(expected));
    EXPECT_EQ(XlsxReader::load(expected)->sheet(u"Tannbuch"_s)->cell(12, 1)->text, u"Liste"_s);
    EXPECT_TRUE(m_xl.displayAlerts());

    // No save folder: nothing is saved.
    run.saveFolder.clear();
    QFile::remove(expected);
    Workbook_Aktualisieren(run, selection);
    EXPECT_FALSE(QFile::exists(expected));
}

// A provision read on the server is read again once the report's
// statements are done: changed by the host meanwhile, it stops the report
// before it is saved; unchanged, the report is saved.
TEST_F(ReportDriverTest, AProvisionChangedDuringTheReportStopsItBeforeSaving)
{
    const QString path = m_dir.filePath(u"forst.sqlite"_s);
    ASSERT_EQ(testsupport::changeSqliteDatabase(path,
                  u"INSERT INTO BEREITSTELLUNG_KOPF (ID, BEREITSTELLUNGSNAME) VALUES (9, 'GROSS');"
                  u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1001)"
                  u" INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS) SELECT 9, i FROM n;"_s),
        QString());
    const QString folder = m_dir.filePath(u"out"_s) + QLatin1Char('/');
    QDir().mkpath(folder);
    run.saveFolder = folder;
    run.provisionName = u"GROSS"_s;
    const QString saved = folder + u"GROSS_4711.xlsx"_s;
    for (const bool changed : {false, true}) {
        auto live = std::make_unique<LiveBackend>(path);
        live->beforeQuery = [&](const QString &sql) {
            if (changed && sql.contains(u"FORMS_CONFIG"_s))
                testsupport::changeSqliteDatabase(path, u"DELETE FROM BEREITSTELLUNG_LOGS WHERE ID_LOGS = 2"_s);
        };
        m_db.open(std::move(live));
        selection.provisionFilter = GetProvisionFilter(m_db, run.provisionName);
        ASSERT_TRUE(selection.provisionFilter.contains(u"IN (SELECT bl.ID_LOGS"_s));
        selection.filter = u"LOGS.LISTE = '4711'"_s + selection.provisionFilter;
        QFile::remove(saved);
        QString message;
        try {
            Workbook_Aktualisieren(run, selection);
        } catch (const DbError &e) {
            message = e.message();
        }
        EXPECT_EQ(message.contains(u"„GROSS“ wurde während des Drucks geändert"_s), changed) << message.toStdString();
        EXPECT_EQ(QFile::exists(saved), !changed);
    }
}

TEST_F(ReportDriverTest, AFailingPrintIsToldAndTheRunGoesOn)
{
    const QString folder = m_dir.filePath(u"out"_s) + QLatin1Char('/');
    QDir().mkpath(folder);
    run.saveFolder = folder;
    m_settings.lSofortDruck = 1;
    qputenv("TANNBUCH_PRINT_COMMAND", "/bin/false");
    Workbook_Aktualisieren(run, selection);
    qunsetenv("TANNBUCH_PRINT_COMMAND");
    ASSERT_EQ(m_ui.messages.size(), 1);
    EXPECT_TRUE(m_ui.messages.first().startsWith(u"Beim Ausdruck ist ein Fehler aufgetreten. "_s));
    EXPECT_TRUE(run.failed);
    EXPECT_TRUE(QFile::exists(folder + u"DEMO_4711.xlsx"_s)) << "saving still follows";
}

TEST_F(ReportDriverTest, ATemplateWithoutAStartRowFailsLoudly)
{
    m_settings.StartZeile = 0;
    EXPECT_THROW(Workbook_Aktualisieren(run, selection), WorkbookError);
}

// Whatever the quoting, only the provider's name goes to the saved report.
TEST(StoredConnection, KeepsOnlyAPlainProviderName)
{
    const struct
    {
        const char *connection;
        const char *stored;
    } cases[] = {
        {"Provider=SQLOLEDB;Data Source=srv;User ID=forst;Password={ge;heim};Initial Catalog=kelmora",
            "Provider=SQLOLEDB"},
        {"Provider=SQLOLEDB.1;User ID=o'neil;Password={a;b}}c};Data Source={s;r}}v};Initial Catalog='k;''at'",
            "Provider=SQLOLEDB.1"},
        {"User ID=\"u;=\"\"x\";Password='p;w''d';Provider=SQLite;Data Source=\"/home/forst/db;1.sqlite\"",
            "Provider=SQLite"},
        {"Provider={SQLOLEDB;Password=pw};Data Source=srv", ""},
        {"Provider=x;y=Password;Server=srv;Pwd=geheim;UID=leser", "Provider=x"},
        {"Data Source=srv;Integrated Security=SSPI", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(StoredConnection(QString::fromUtf8(c.connection)), QString::fromUtf8(c.stored)) << c.connection;
}

} // namespace tannbuch
