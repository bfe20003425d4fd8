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
    QString name() const override { return QStringLiteral("live"); }

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
        const QString path = m_dir.filePath(QStringLiteral("forst.sqlite"));
        testsupport::createSqliteDatabase(path,
            testsupport::schemaSql()
                + QStringLiteral(
                    "INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM, LOS, DSART, STK, KUBATUR, LISTENART) VALUES"
                    " (1, '4711', '2026-03-12 00:00:00', '1', 1, 1, 0.5, 1),"
                    " (2, '4711', '2026-03-12 00:00:00', '2', 1, 1, 0.7, 1);"
                    "INSERT INTO STRINGS (ID_STRING, GERMAN) VALUES (726, 'Liste'), (1135, 'Lose'), (727, 'Datum');"
                    "INSERT INTO FORMS_CONFIG (FORM_ID, PROPERTY_ID, NUMBER_VALUE) VALUES"
                    " ('F_STAMMEINKONF', 'ZUSTEXT2', 4), ('F_STAMMEINKONF', 'COORDINATE1', 2.5),"
                    " ('F_STAMMEINKONF', 'zustext3', 9), ('ANDERE', 'ZUSTEXT1', 7);"));
        m_db.open(std::make_unique<SqliteBackend>(path));
        m_db.journal().setRecording(true);

        auto book = std::make_unique<Workbook>();
        Worksheet &sheet = book->addSheet(QStringLiteral("Tannbuch"));
        for (int r = 1; r <= 11; ++r)
            sheet.cellForWrite(r, 1) = textCell(1, QStringLiteral("Kopf %1").arg(r));
        book->addSheet(QStringLiteral("Einstellungen"));
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
        run.connectionString = QStringLiteral("Provider=SQLite;Data Source=") + path;
        selection.listNumber = QStringLiteral("4711");
        run.startupListNumber = QStringLiteral("4711");
        run.provisionName = QStringLiteral("DEMO");
        selection.filter = QStringLiteral("LOGS.LISTE = '4711'");
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

    Worksheet &sheet() { return m_xl.worksheets(QStringLiteral("Tannbuch")).worksheet(); }

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
    selection.listType = QStringLiteral("1");
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
    EXPECT_EQ(calls[0].name, QStringLiteral("DieseArbeitsmappe.SetGlobalVariables"));
    EXPECT_EQ(calls[0].arguments,
        QVariantList({StoredConnection(run.connectionString), QStringLiteral("LISTE = '4711' AND LISTENART = 1"),
            QStringLiteral("4711")}));
    EXPECT_EQ(calls[1].name, QStringLiteral("DieseArbeitsmappe.WriteKundeKopf"));
    EXPECT_EQ(calls[2].name, QStringLiteral("DieseArbeitsmappe.WriteKopfFuss"));
    EXPECT_EQ(calls[2].arguments, QVariantList({true, 90}));
    EXPECT_EQ(calls[3].name, QStringLiteral("DieseArbeitsmappe.SetDotFields"));

    EXPECT_EQ(m_ui.statuses,
        QStringList({QStringLiteral("Kopf ..."), QStringLiteral("Verdichtet ..."), QStringLiteral("Einzeln ..."),
            QStringLiteral("Kopf / Fußzeile ..."), QStringLiteral("Fertig!")}));
    EXPECT_EQ(cellText(12, 1), QStringLiteral("Liste"));
    EXPECT_EQ(cellText(12, 4), QStringLiteral("4711"));
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
    EXPECT_EQ(m_ui.statuses.mid(0, 3),
        QStringList({QStringLiteral("Kopf ..."), QStringLiteral("Einzeln ..."), QStringLiteral("Verdichtet ...")}));
}

TEST_F(ReportDriverTest, LotByLotCopiesTheHeadAboveLaterLotsAndBreaksPages)
{
    chooseLots({QStringLiteral("1"), QStringLiteral("2")});
    m_settings.lGesamt = true;
    Workbook_Aktualisieren(run, selection);

    EXPECT_EQ(m_ui.statuses,
        QStringList({QStringLiteral("Los '1' Kopf ..."), QStringLiteral("Los '1' verdichtet ..."),
            QStringLiteral("Los '1' einzeln ..."), QStringLiteral("Los '2' Kopf ..."),
            QStringLiteral("Los '2' verdichtet ..."), QStringLiteral("Los '2' einzeln ..."),
            QStringLiteral("Gesamt Kopf ..."), QStringLiteral("Gesamt verdichtet ..."),
            QStringLiteral("Kopf / Fußzeile ..."), QStringLiteral("Fertig!")}));

    // Every lot ends with a blank row and a break above the row after it.
    const std::set<int> breaks = sheet().rowBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    const int secondLotStart = *breaks.begin() + 1;
    // The first lot has no copied head; the second starts with rows 1..11 of
    // the template (the defaults for a start and end of 0) and its own head
    // block right below them.
    EXPECT_EQ(cellText(12, 1), QStringLiteral("Liste"));
    EXPECT_EQ(cellText(secondLotStart - 1, 1), QString()) << "the break row stays empty";
    EXPECT_EQ(cellText(secondLotStart, 1), QStringLiteral("Kopf 1"));
    EXPECT_EQ(cellText(secondLotStart + 10, 1), QStringLiteral("Kopf 11"));
    EXPECT_EQ(cellText(secondLotStart + 11, 1), QStringLiteral("Liste"));
    EXPECT_EQ(m_settings.KopfKopieStart, 1);
    EXPECT_EQ(m_settings.KopfKopieEnd, 11);

    // The overall block follows on a new page with the whole head again and
    // the filter of the whole selection.
    const int overall = *breaks.rbegin() + 1;
    EXPECT_EQ(cellText(overall, 1), QStringLiteral("Kopf 1"));
    EXPECT_EQ(cellText(overall + 11, 1), QStringLiteral("Liste"));
    EXPECT_TRUE(m_db.journal().statements().contains(
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LISTE = '4711' ORDER BY LOS")));

    // The per-lot filter: list and lot, the lot as its quoted literal.
    EXPECT_TRUE(m_db.journal().statements().contains(QStringLiteral(
        "SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LISTE='4711' AND isnull(LOGS.LOS,'')='2' ORDER BY LOS")));
}

TEST_F(ReportDriverTest, EachLotStaysWholeAndKeepsTheProvision)
{
    // A lot whose name holds a comma and a quote, and a provision that holds
    // one of its two records.
    ASSERT_EQ(testsupport::changeSqliteDatabase(m_dir.filePath(QStringLiteral("forst.sqlite")),
                  QStringLiteral("INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM, LOS, DSART, STK, KUBATUR, LISTENART) "
                                 "VALUES (3, '4711', '2026-03-12 00:00:00', 'A,''B', 1, 1, 0.3, 1),"
                                 " (4, '4711', '2026-03-12 00:00:00', 'A,''B', 1, 1, 0.4, 1);")),
        QString());
    chooseLots({QStringLiteral("A,'B")});
    selection.provisionFilter = QStringLiteral(" AND LOGS.ID_LOG IN (4) ");
    selection.filter += selection.provisionFilter;
    Workbook_Aktualisieren(run, selection);

    EXPECT_EQ(m_ui.statuses.mid(0, 3),
        QStringList({QStringLiteral("Los 'A,''B' Kopf ..."), QStringLiteral("Los 'A,''B' verdichtet ..."),
            QStringLiteral("Los 'A,''B' einzeln ...")}));
    EXPECT_EQ(sheet().rowBreaks().size(), 1u) << "one lot, one break";
    EXPECT_TRUE(m_db.journal().statements().contains(
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LISTE='4711' AND isnull(LOGS.LOS,'')='A,''B' AND "
                       "LOGS.ID_LOG IN (4)  ORDER BY LOS")));
    EXPECT_TRUE(m_ui.messages.isEmpty()) << m_ui.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ReportDriverTest, CopiedHeadRowsAdvanceTheCursorByTheirLastRow)
{
    chooseLots({QStringLiteral("1"), QStringLiteral("2")});
    m_settings.KopfKopieStart = 3;
    m_settings.KopfKopieEnd = 8;
    Workbook_Aktualisieren(run, selection);
    const std::set<int> breaks = sheet().rowBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    const int start = *breaks.begin() + 1;
    // Rows 3..8 (six rows) land at the cursor; the cursor moves by 8, so two
    // blank rows follow before the head block.
    EXPECT_EQ(cellText(start, 1), QStringLiteral("Kopf 3"));
    EXPECT_EQ(cellText(start + 5, 1), QStringLiteral("Kopf 8"));
    EXPECT_EQ(cellText(start + 6, 1), QString());
    EXPECT_EQ(cellText(start + 7, 1), QString());
    EXPECT_EQ(cellText(start + 8, 1), QStringLiteral("Liste"));
}

TEST_F(ReportDriverTest, OneLotStillBreaksAndTheOverallBlockFollows)
{
    chooseLots({QStringLiteral("1")});
    m_settings.lGesamt = true;
    m_settings.lVerdichtet = 0;
    Workbook_Aktualisieren(run, selection);
    EXPECT_EQ(sheet().rowBreaks().size(), 1u);
    EXPECT_TRUE(m_ui.statuses.contains(QStringLiteral("Gesamt verdichtet ...")));
    EXPECT_EQ(cellText(*sheet().rowBreaks().begin() + 1, 1), QStringLiteral("Kopf 1"));
}

// The totals count what the last block counted: the whole selection after
// an overall block, the last lot without one.
TEST_F(ReportDriverTest, TotalsCountTheLastBlocksSelection)
{
    const QString lastLot = QStringLiteral("LOGS.LISTE='4711' AND isnull(LOGS.LOS,'')='2'");
    for (const bool overall : {true, false}) {
        chooseLots({QStringLiteral("1"), QStringLiteral("2")});
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
    sheet().cellForWrite(500, 3) = textCell(3, QStringLiteral("alt"));
    sheet().cellForWrite(12000, 2) = textCell(2, QStringLiteral("sehr alt"));
    m_settings.headerLines[2] = {QStringLiteral("Forstbetrieb Oberland"), QStringLiteral("C2")};
    m_settings.headerLines[3] = {QStringLiteral("ohne Zelle"), QString()};
    Workbook_Aktualisieren(run, selection);
    EXPECT_EQ(cellText(500, 3), QString());
    EXPECT_EQ(cellText(12000, 2), QString());
    EXPECT_EQ(cellText(2, 3), QStringLiteral("Forstbetrieb Oberland"));
    EXPECT_EQ(cellText(1, 1), QStringLiteral("Kopf 1")) << "rows above the output area stay";
}

TEST_F(ReportDriverTest, SavesUnderProvisionAndListAndKeepsInsideTheFolder)
{
    const QString folder = m_dir.filePath(QStringLiteral("out")) + QLatin1Char('/');
    QDir().mkpath(folder);
    run.saveFolder = folder;
    run.provisionName = QStringLiteral("../Bereit/1");
    Workbook_Aktualisieren(run, selection);
    const QString expected = folder + QStringLiteral(".._Bereit_1_4711.xlsx");
    ASSERT_TRUE(QFile::exists(expected));
    EXPECT_EQ(
        XlsxReader::load(expected)->sheet(QStringLiteral("Tannbuch"))->cell(12, 1)->text, QStringLiteral("Liste"));
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
    const QString path = m_dir.filePath(QStringLiteral("forst.sqlite"));
    ASSERT_EQ(
        testsupport::changeSqliteDatabase(path,
            QStringLiteral("INSERT INTO BEREITSTELLUNG_KOPF (ID, BEREITSTELLUNGSNAME) VALUES (9, 'GROSS');"
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1001)"
                           " INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS) SELECT 9, i FROM n;")),
        QString());
    const QString folder = m_dir.filePath(QStringLiteral("out")) + QLatin1Char('/');
    QDir().mkpath(folder);
    run.saveFolder = folder;
    run.provisionName = QStringLiteral("GROSS");
    const QString saved = folder + QStringLiteral("GROSS_4711.xlsx");
    for (const bool changed : {false, true}) {
        auto live = std::make_unique<LiveBackend>(path);
        live->beforeQuery = [&](const QString &sql) {
            if (changed && sql.contains(QStringLiteral("FORMS_CONFIG")))
                testsupport::changeSqliteDatabase(
                    path, QStringLiteral("DELETE FROM BEREITSTELLUNG_LOGS WHERE ID_LOGS = 2"));
        };
        m_db.open(std::move(live));
        selection.provisionFilter = GetProvisionFilter(m_db, run.provisionName);
        ASSERT_TRUE(selection.provisionFilter.contains(QStringLiteral("IN (SELECT bl.ID_LOGS")));
        selection.filter = QStringLiteral("LOGS.LISTE = '4711'") + selection.provisionFilter;
        QFile::remove(saved);
        QString message;
        try {
            Workbook_Aktualisieren(run, selection);
        } catch (const DbError &e) {
            message = e.message();
        }
        EXPECT_EQ(message.contains(QStringLiteral("„GROSS“ wurde während des Drucks geändert")), changed)
            << message.toStdString();
        EXPECT_EQ(QFile::exists(saved), !changed);
    }
}

TEST_F(ReportDriverTest, AFailingPrintIsToldAndTheRunGoesOn)
{
    const QString folder = m_dir.filePath(QStringLiteral("out")) + QLatin1Char('/');
    QDir().mkpath(folder);
    run.saveFolder = folder;
    m_settings.lSofortDruck = 1;
    qputenv("TANNBUCH_PRINT_COMMAND", "/bin/false");
    Workbook_Aktualisieren(run, selection);
    qunsetenv("TANNBUCH_PRINT_COMMAND");
    ASSERT_EQ(m_ui.messages.size(), 1);
    EXPECT_TRUE(m_ui.messages.first().startsWith(QStringLiteral("Beim Ausdruck ist ein Fehler aufgetreten. ")));
    EXPECT_TRUE(run.failed);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("DEMO_4711.xlsx"))) << "saving still follows";
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
