#include "selection/SelectionQueries.h"
#include "db/Connection.h"
#include "db/SqliteBackend.h"
#include "selection/ListViewRows.h"
#include "selection/SelectionFilter.h"
#include "text/ReportLocale.h"

#include "common/TestSupport.h"
#include "tds/TdsEndpoint.h"

#include <QTemporaryDir>

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace tannbuch {

namespace {

// A small forestry database: lists with quotes in their names, a NULL lot,
// a provision with a NULL id, business years with a disabled and a
// non-numeric row.
class SelectionQueriesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ReportLocale::setLocale(QLocale(QLocale::German, QLocale::Germany));
        const QString path = m_dir.filePath(QStringLiteral("t.sqlite"));
        testsupport::createSqliteDatabase(path,
            QStringLiteral(
                "CREATE TABLE LOGS (ID_LOG INTEGER PRIMARY KEY, LISTE TEXT, LISTDATUM DATETIME, LISTENART INTEGER,"
                " LOS TEXT, POLTNR TEXT, STK INTEGER, KUBATUR REAL, RELTABLE1 INTEGER);"
                "INSERT INTO LOGS VALUES (1, '4711', '2026-03-12 00:00:00', 1, '3', 'P1', 2, 1.5, 5),"
                " (2, '4711', '2026-03-10 00:00:00', 1, '5', 'P2', 3, 2.25, 5),"
                " (3, '4711', '2026-03-11 00:00:00', 2, NULL, 'P2', 1, 0.0004, 5),"
                " (4, 'O''Brien', '2025-01-02 00:00:00', 3, 'O''Hara', NULL, 1, 1, 4),"
                " (5, '4800', '2026-05-06 00:00:00', 1, '1', NULL, 1, NULL, 5);"
                "CREATE TABLE LISTENKOPF (LISTE TEXT, ID_ACCESS_LEVELS INTEGER);"
                "INSERT INTO LISTENKOPF VALUES ('4711', 3), ('O''Brien', NULL), ('4800', 5);"
                "CREATE TABLE LISTENART (LISTENART INTEGER PRIMARY KEY, TEXT TEXT);"
                "INSERT INTO LISTENART VALUES (1, 'Stammholz'), (2, 'Industrieholz'), (3, 'Holz ''A''');"
                "CREATE TABLE RELTABLE (ID INTEGER PRIMARY KEY, RELTABLE_ID INTEGER, KURZNAME TEXT, DISABLE INTEGER);"
                "INSERT INTO RELTABLE VALUES (3, 1, '2024/25', 0), (4, 1, '2025', NULL), (5, 1, '2026', 0),"
                " (6, 1, '2027', 1), (7, 2, 'N', 0);"
                "CREATE TABLE BEREITSTELLUNG_KOPF (ID INTEGER PRIMARY KEY, BEREITSTELLUNGSNAME TEXT);"
                "INSERT INTO BEREITSTELLUNG_KOPF VALUES (1, 'DEMO'), (2, 'O''Brien'), (3, 'LEER'), (4, 'NULL');"
                "CREATE TABLE BEREITSTELLUNG_LOGS (ID INTEGER PRIMARY KEY, ID_BEREITSTELLUNG_KOPF INTEGER, ID_LOGS "
                "INTEGER);"
                "INSERT INTO BEREITSTELLUNG_LOGS VALUES (1, 1, 2), (2, 1, 1), (3, 2, 4), (4, 2, NULL), (5, 2, 3),"
                " (6, 4, NULL);"
                // 1,000 ids and a NULL; the same and one more.
                "INSERT INTO BEREITSTELLUNG_KOPF VALUES (5, 'TAUSEND'), (6, 'Groß''e');"
                "INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS) VALUES (5, NULL);"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1001)"
                " INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS)"
                " SELECT 5, i FROM n WHERE i <= 1000 UNION ALL SELECT 6, i FROM n;"));
        m_db.open(std::make_unique<SqliteBackend>(path));
        m_db.journal().setRecording(true);
    }

    void TearDown() override { ReportLocale::setLocale(QLocale::c()); }

    QStringList sent() const { return m_db.journal().statements(); }

    QTemporaryDir m_dir;
    Connection m_db;
};

} // namespace

TEST_F(SelectionQueriesTest, ProvisionIdsInResultOrder)
{
    EXPECT_EQ(GetProvisionFilter(m_db, QStringLiteral("DEMO")), QStringLiteral(" AND LOGS.ID_LOG IN (2,1) "));
    // A NULL id names no log and leaves no gap; the name's quote is doubled.
    EXPECT_EQ(GetProvisionFilter(m_db, QStringLiteral("O'Brien")), QStringLiteral(" AND LOGS.ID_LOG IN (4,3) "));
    EXPECT_EQ(GetProvisionFilter(m_db, QStringLiteral("LEER")), QString()) << "a provision without logs";
    EXPECT_EQ(GetProvisionFilter(m_db, QStringLiteral("NULL")), QString()) << "only NULL ids";
    EXPECT_EQ(sent().value(1),
        QStringLiteral(" select bl.ID_LOGS from BEREITSTELLUNG_LOGS bl inner join BEREITSTELLUNG_KOPF bk on "
                       "bl.ID_BEREITSTELLUNG_KOPF = bk.ID  where bk.BEREITSTELLUNGSNAME = 'O''Brien' "));
}

// Up to 1,000 records a provision's ids are listed; beyond, the server
// reads the provision itself (the name quoted as everywhere), and both
// forms select the same records. A NULL id counts for neither.
TEST_F(SelectionQueriesTest, AProvisionOfMoreThanAThousandRecordsIsReadOnTheServer)
{
    const QString listed = GetProvisionFilter(m_db, QStringLiteral("TAUSEND"));
    EXPECT_TRUE(listed.startsWith(QStringLiteral(" AND LOGS.ID_LOG IN (1,2,3,"))
        && listed.endsWith(QStringLiteral(",999,1000) ")))
        << listed.left(60).toStdString();
    const QString read = GetProvisionFilter(m_db, QStringLiteral("Groß'e"));
    EXPECT_EQ(read,
        QStringLiteral(" AND LOGS.ID_LOG IN (SELECT bl.ID_LOGS FROM BEREITSTELLUNG_LOGS bl INNER JOIN "
                       "BEREITSTELLUNG_KOPF bk ON bl.ID_BEREITSTELLUNG_KOPF = bk.ID WHERE bk.BEREITSTELLUNGSNAME = "
                       "'Groß''e') "));
    const QString list = QStringLiteral("LOGS.LISTE = '4711'");
    EXPECT_EQ(ReadSelectionLots(m_db, list + read), ReadSelectionLots(m_db, list + listed));
    EXPECT_EQ(ReadSelectionLots(m_db, list + read).size(), 3);
}

TEST_F(SelectionQueriesTest, LotsOfTheRecordsASelectionHolds)
{
    EXPECT_EQ(ReadSelectionLots(m_db, QStringLiteral("LOGS.LISTE = '4711' AND LOGS.ID_LOG IN (3,2) ")),
        QStringList({QString(), QStringLiteral("5")}))
        << "a NULL lot is an empty entry";
    EXPECT_TRUE(ReadSelectionLots(m_db, QStringLiteral("LOGS.LISTE = '4711' AND LOGS.ID_LOG IN (4) ")).isEmpty());
}

TEST_F(SelectionQueriesTest, ListTypeNumberOfItsText)
{
    EXPECT_EQ(GetListTypeNumber(m_db, QStringLiteral("Stammholz")), QStringLiteral("1"));
    EXPECT_EQ(GetListTypeNumber(m_db, QStringLiteral("Holz 'A'")), QStringLiteral("3"));
    EXPECT_EQ(GetListTypeNumber(m_db, QString()), QString()) << "hidden list-type box";
    EXPECT_EQ(GetListTypeNumber(m_db, QStringLiteral("Brennholz")), QString());
    EXPECT_EQ(sent(),
        QStringList({QStringLiteral(" select listenart from listenart where text = 'Stammholz' "),
            QStringLiteral(" select listenart from listenart where text = 'Holz ''A''' "),
            QStringLiteral(" select listenart from listenart where text = '' "),
            QStringLiteral(" select listenart from listenart where text = 'Brennholz' ")}));
}

TEST_F(SelectionQueriesTest, LotsAndPilesOfAList)
{
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Lots, QStringLiteral("4711"), QString()),
        QStringList({QString(), QStringLiteral("3"), QStringLiteral("5")}))
        << "a NULL lot is an empty entry";
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Lots, QStringLiteral("4711"), QStringLiteral("Stammholz")),
        QStringList({QStringLiteral("3"), QStringLiteral("5")}));
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Piles, QStringLiteral("4711"), QString()),
        QStringList({QStringLiteral("P1"), QStringLiteral("P2")}));
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Lots, QStringLiteral("O'Brien"), QStringLiteral("Holz 'A'")),
        QStringList({QStringLiteral("O'Hara")}));
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Piles, QStringLiteral("O'Brien"), QString()), QStringList({QString()}));
    EXPECT_EQ(sent().value(3),
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
                       "LISTENART.LISTENART WHERE LISTE = 'O''Brien' AND LISTENART.TEXT = 'Holz ''A''' ORDER BY "
                       "LOS"));
}

TEST_F(SelectionQueriesTest, ListTypesOfAListIgnoreTheTrailingBlank)
{
    QStringList types = ReadListTypeTexts(m_db, QStringLiteral("4711"), QString());
    types.sort();
    EXPECT_EQ(types, QStringList({QStringLiteral("Industrieholz"), QStringLiteral("Stammholz")}));
    EXPECT_EQ(ReadListTypeTexts(m_db, QStringLiteral("4711"), QStringLiteral("2")),
        QStringList({QStringLiteral("Industrieholz")}));
    EXPECT_EQ(ReadListTypeTexts(m_db, QStringLiteral("4711"), QStringLiteral("0")), QStringList());
    EXPECT_EQ(ReadListTypeTexts(m_db, QString(), QString()), QStringList()) << "no list chosen";
    EXPECT_EQ(ReadListTypeTexts(m_db, QStringLiteral("O'Brien"), QString()), QStringList({QStringLiteral("Holz 'A'")}));
}

TEST_F(SelectionQueriesTest, BusinessYearSkipsDisabledAndNonNumericRows)
{
    EXPECT_EQ(NewestBusinessYear(m_db, QStringLiteral("RELTABLE1"), QDate(2030, 1, 1)), 2026);
    // Column 2 has only a non-numeric row: the calendar decides.
    EXPECT_EQ(NewestBusinessYear(m_db, QStringLiteral("RELTABLE2"), QDate(2026, 8, 31)), 2026);
    EXPECT_EQ(NewestBusinessYear(m_db, QStringLiteral("RELTABLE2"), QDate(2026, 9, 1)), 2027);
    EXPECT_EQ(BusinessYearOrFallback(QStringLiteral("2024/25"), QDate(2026, 12, 31)), 2027);
    EXPECT_EQ(BusinessYearOrFallback(QStringLiteral(" 2025 "), QDate(2026, 12, 31)), 2025);
}

TEST_F(SelectionQueriesTest, ListBrowserLinesInTheReportLocale)
{
    ListViewQuery q;
    q.businessYearColumn = QStringLiteral("RELTABLE1");
    q.year = QStringLiteral("2026");
    const QList<ListViewRow> rows = ReadListViewRows(m_db, ListViewStatement(q), QStringLiteral("0.000"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].liste, QStringLiteral("4711"));
    EXPECT_EQ(rows[0].listdatum, QStringLiteral("10.03.2026")) << "the earliest date of the list";
    EXPECT_EQ(rows[0].stk, QStringLiteral("6"));
    EXPECT_EQ(rows[0].kubatur, QStringLiteral("3,750"));
    EXPECT_EQ(rows[1].liste, QStringLiteral("4800"));
    EXPECT_EQ(rows[1].kubatur, QString()) << "a NULL volume stays empty";

    // Access levels: only lists of level 3 or without a level.
    q.businessYearColumn.clear();
    q.accessLevelFilter = QStringLiteral("(3)");
    QStringList lists;
    for (const ListViewRow &row : ReadListViewRows(m_db, ListViewStatement(q), QStringLiteral("0.000")))
        lists << row.liste;
    EXPECT_EQ(lists, QStringList({QStringLiteral("4711"), QStringLiteral("O'Brien")}));

    // A date range: only lists with a date in it.
    q.accessLevelFilter.clear();
    q.dateFrom = QStringLiteral("01.01.2025");
    q.dateTo = QStringLiteral("31.03.2026");
    lists.clear();
    for (const ListViewRow &row : ReadListViewRows(m_db, ListViewStatement(q), QStringLiteral("0.000")))
        lists << row.liste;
    EXPECT_EQ(lists, QStringList({QStringLiteral("4711"), QStringLiteral("O'Brien")}));

    // A list number fixes the list, with its type.
    ListViewQuery fixed;
    fixed.listNumber = QStringLiteral("O'Brien");
    fixed.listTypeNumber = QStringLiteral("3");
    EXPECT_EQ(ReadListViewRows(m_db, ListViewStatement(fixed), QStringLiteral("0.000")).size(), 1);
    fixed.listTypeNumber = QStringLiteral("1");
    EXPECT_TRUE(ReadListViewRows(m_db, ListViewStatement(fixed), QStringLiteral("0.000")).isEmpty());
    fixed.listTypeNumber.clear();
    EXPECT_EQ(ReadListViewRows(m_db, ListViewStatement(fixed), QStringLiteral("0.000")).size(), 1)
        << "without a list-type number the type does not matter";
}

TEST(ListViewRows, CellTexts)
{
    ReportLocale::setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ListDateText(QVariant(QDateTime(QDate(2026, 3, 2), QTime(13, 5)))), QStringLiteral("02.03.2026"));
    EXPECT_EQ(ListDateText(QVariant(QStringLiteral("2026-03-02"))), QStringLiteral("02.03.2026"));
    EXPECT_EQ(ListDateText(QVariant()), QString());
    EXPECT_EQ(PlainNumberText(QVariant(qlonglong(1162))), QStringLiteral("1162"));
    EXPECT_EQ(PlainNumberText(QVariant(8.5)), QStringLiteral("8,5"));
    EXPECT_EQ(VolumeText(QVariant(965.0125), QStringLiteral("0.000")), QStringLiteral("965,013"));
    EXPECT_EQ(VolumeText(QVariant(1234.5), QStringLiteral("0.000")), QStringLiteral("1234,500"));
    EXPECT_EQ(VolumeText(QVariant(qlonglong(2)), QStringLiteral("0.000")), QStringLiteral("2,000"));

    ReportLocale::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(VolumeText(QVariant(965.0125), QStringLiteral("0.000")), QStringLiteral("965.013"));
    EXPECT_EQ(ListDateText(QVariant(QDate(2026, 3, 2))), QStringLiteral("3/2/2026"));
    ReportLocale::setLocale(QLocale::c());
}

// Lots, piles and lists that differ only in a character Windows-1252 lacks:
// on the embedded database and over SQL Server's wire (which reads a plain
// literal in that code page, so 'Łoś' would find the lot Los) the chosen
// value finds its own records only.
TEST(SelectionOnBothDatabases, AValueOutsideTheCodePageFindsOnlyItsOwnRecords)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.sqlite"));
    testsupport::createSqliteDatabase(path,
        QStringLiteral("CREATE TABLE LOGS (ID_LOG INTEGER PRIMARY KEY, LISTE TEXT, LOS TEXT, POLTNR TEXT);"
                       "INSERT INTO LOGS VALUES (1, '4711', 'Łoś', NULL), (2, '4711', 'Los', NULL),"
                       " (3, '4711', '木', NULL), (4, '4711', '?', NULL),"
                       " (5, 'Čermák', NULL, 'Đ1'), (6, 'Cermák', NULL, 'D1');"));
    tds::Endpoint server(path);
    const std::unique_ptr<Backend> engines[] = {std::make_unique<SqliteBackend>(path),
        Connection::openBackend(server.connectionString(), Connection::DefaultQueryTimeoutSeconds)};
    const auto ids = [](Backend &engine, const QString &filter) {
        QList<qint64> found;
        for (const auto &row : engine.query(QStringLiteral("SELECT ID_LOG FROM LOGS WHERE ") + filter).rows)
            found << row.at(0).toLongLong();
        return found;
    };
    // The endpoint reads plain literals as the server does.
    EXPECT_EQ(ids(*engines[1], QStringLiteral("LOS = 'Łoś'")), QList<qint64>{2});

    const struct
    {
        LotMode mode;
        const char *list, *entry;
        qint64 id;
    } cases[] = {
        {LotMode::Lots, "4711", "Łoś", 1},
        {LotMode::Lots, "4711", "Los", 2},
        {LotMode::Lots, "4711", "木", 3},
        {LotMode::Lots, "4711", "?", 4},
        {LotMode::Piles, "Čermák", "Đ1", 5},
        {LotMode::Piles, "Cermák", "D1", 6},
    };
    for (const std::unique_ptr<Backend> &engine : engines) {
        for (const auto &c : cases) {
            const QString entry = QString::fromUtf8(c.entry);
            SelectionRequest request;
            request.listNumber = QString::fromUtf8(c.list);
            request.mode = c.mode;
            request.shown = request.marked = QStringList{entry};
            const Selection chosen = BuildSelectionFilter(request);
            EXPECT_EQ(ids(*engine, chosen.filter), QList<qint64>{c.id})
                << engine->name().toStdString() << " " << c.entry;
            if (c.mode == LotMode::Lots) {
                EXPECT_EQ(ids(*engine, LotSelection(chosen, entry).filter), QList<qint64>{c.id}) << c.entry;
            }
        }
    }
}

} // namespace tannbuch
