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

using namespace Qt::StringLiterals;

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
        const QString path = m_dir.filePath(u"t.sqlite"_s);
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
    EXPECT_EQ(GetProvisionFilter(m_db, u"DEMO"_s), u" AND LOGS.ID_LOG IN (2,1) "_s);
    // A NULL id names no log and leaves no gap; the name's quote is doubled.
    EXPECT_EQ(GetProvisionFilter(m_db, u"O'Brien"_s), u" AND LOGS.ID_LOG IN (4,3) "_s);
    EXPECT_EQ(GetProvisionFilter(m_db, u"LEER"_s), QString()) << "a provision without logs";
    EXPECT_EQ(GetProvisionFilter(m_db, u"NULL"_s), QString()) << "only NULL ids";
    EXPECT_EQ(sent().value(1),
        u" select bl.ID_LOGS from BEREITSTELLUNG_LOGS bl inner join BEREITSTELLUNG_KOPF bk on "
        u"bl.ID_BEREITSTELLUNG_KOPF = bk.ID  where bk.BEREITSTELLUNGSNAME = 'O''Brien' "_s);
}

// Up to 1,000 records a provision's ids are listed; beyond, the server
// reads the provision itself (the name quoted as everywhere), and both
// forms select the same records. A NULL id counts for neither.
TEST_F(SelectionQueriesTest, AProvisionOfMoreThanAThousandRecordsIsReadOnTheServer)
{
    const QString listed = GetProvisionFilter(m_db, u"TAUSEND"_s);
    EXPECT_TRUE(listed.startsWith(u" AND LOGS.ID_LOG IN (1,2,3,"_s) && listed.endsWith(u",999,1000) "_s))
        << listed.left(60).toStdString();
    const QString read = GetProvisionFilter(m_db, u"Groß'e"_s);
    EXPECT_EQ(read,
        u" AND LOGS.ID_LOG IN (SELECT bl.ID_LOGS FROM BEREITSTELLUNG_LOGS bl INNER JOIN "
        u"BEREITSTELLUNG_KOPF bk ON bl.ID_BEREITSTELLUNG_KOPF = bk.ID WHERE bk.BEREITSTELLUNGSNAME = "
        u"'Groß''e') "_s);
    const QString list = u"LOGS.LISTE = '4711'"_s;
    EXPECT_EQ(ReadSelectionLots(m_db, list + read), ReadSelectionLots(m_db, list + listed));
    EXPECT_EQ(ReadSelectionLots(m_db, list + read).size(), 3);
}

TEST_F(SelectionQueriesTest, LotsOfTheRecordsASelectionHolds)
{
    EXPECT_EQ(
        ReadSelectionLots(m_db, u"LOGS.LISTE = '4711' AND LOGS.ID_LOG IN (3,2) "_s), QStringList({QString(), u"5"_s}))
        << "a NULL lot is an empty entry";
    EXPECT_TRUE(ReadSelectionLots(m_db, u"LOGS.LISTE = '4711' AND LOGS.ID_LOG IN (4) "_s).isEmpty());
}

TEST_F(SelectionQueriesTest, ListTypeNumberOfItsText)
{
    EXPECT_EQ(GetListTypeNumber(m_db, u"Stammholz"_s), u"1"_s);
    EXPECT_EQ(GetListTypeNumber(m_db, u"Holz 'A'"_s), u"3"_s);
    EXPECT_EQ(GetListTypeNumber(m_db, QString()), QString()) << "hidden list-type box";
    EXPECT_EQ(GetListTypeNumber(m_db, u"Brennholz"_s), QString());
    EXPECT_EQ(sent(),
        QStringList({u" select listenart from listenart where text = 'Stammholz' "_s,
            u" select listenart from listenart where text = 'Holz ''A''' "_s,
            u" select listenart from listenart where text = '' "_s,
            u" select listenart from listenart where text = 'Brennholz' "_s}));
}

TEST_F(SelectionQueriesTest, LotsAndPilesOfAList)
{
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Lots, u"4711"_s, QString()), QStringList({QString(), u"3"_s, u"5"_s}))
        << "a NULL lot is an empty entry";
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Lots, u"4711"_s, u"Stammholz"_s), QStringList({u"3"_s, u"5"_s}));
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Piles, u"4711"_s, QString()), QStringList({u"P1"_s, u"P2"_s}));
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Lots, u"O'Brien"_s, u"Holz 'A'"_s), QStringList({u"O'Hara"_s}));
    EXPECT_EQ(ReadLotEntries(m_db, LotMode::Piles, u"O'Brien"_s, QString()), QStringList({QString()}));
    EXPECT_EQ(sent().value(3),
        u"SELECT DISTINCT(LOS) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
        u"LISTENART.LISTENART WHERE LISTE = 'O''Brien' AND LISTENART.TEXT = 'Holz ''A''' ORDER BY "
        u"LOS"_s);
}

TEST_F(SelectionQueriesTest, ListTypesOfAListIgnoreTheTrailingBlank)
{
    QStringList types = ReadListTypeTexts(m_db, u"4711"_s, QString());
    types.sort();
    EXPECT_EQ(types, QStringList({u"Industrieholz"_s, u"Stammholz"_s}));
    EXPECT_EQ(ReadListTypeTexts(m_db, u"4711"_s, u"2"_s), QStringList({u"Industrieholz"_s}));
    EXPECT_EQ(ReadListTypeTexts(m_db, u"4711"_s, u"0"_s), QStringList());
    EXPECT_EQ(ReadListTypeTexts(m_db, QString(), QString()), QStringList()) << "no list chosen";
    EXPECT_EQ(ReadListTypeTexts(m_db, u"O'Brien"_s, QString()), QStringList({u"Holz 'A'"_s}));
}

TEST_F(SelectionQueriesTest, BusinessYearSkipsDisabledAndNonNumericRows)
{
    EXPECT_EQ(NewestBusinessYear(m_db, u"RELTABLE1"_s, QDate(2030, 1, 1)), 2026);
    // Column 2 has only a non-numeric row: the calendar decides.
    EXPECT_EQ(NewestBusinessYear(m_db, u"RELTABLE2"_s, QDate(2026, 8, 31)), 2026);
    EXPECT_EQ(NewestBusinessYear(m_db, u"RELTABLE2"_s, QDate(2026, 9, 1)), 2027);
    EXPECT_EQ(BusinessYearOrFallback(u"2024/25"_s, QDate(2026, 12, 31)), 2027);
    EXPECT_EQ(BusinessYearOrFallback(u" 2025 "_s, QDate(2026, 12, 31)), 2025);
}

TEST_F(SelectionQueriesTest, ListBrowserLinesInTheReportLocale)
{
    ListViewQuery q;
    q.businessYearColumn = u"RELTABLE1"_s;
    q.year = u"2026"_s;
    const QList<ListViewRow> rows = ReadListViewRows(m_db, ListViewStatement(q), u"0.000"_s);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].liste, u"4711"_s);
    EXPECT_EQ(rows[0].listdatum, u"10.03.2026"_s) << "the earliest date of the list";
    EXPECT_EQ(rows[0].stk, u"6"_s);
    EXPECT_EQ(rows[0].kubatur, u"3,750"_s);
    EXPECT_EQ(rows[1].liste, u"4800"_s);
    EXPECT_EQ(rows[1].kubatur, QString()) << "a NULL volume stays empty";

    const auto lists = [&] {
        QStringList found;
        for (const ListViewRow &row : ReadListViewRows(m_db, ListViewStatement(q), u"0.000"_s))
            found << row.liste;
        return found;
    };
    // Access levels: only lists of level 3 or without a level.
    q.businessYearColumn.clear();
    q.accessLevelFilter = u"(3)"_s;
    EXPECT_EQ(lists(), QStringList({u"4711"_s, u"O'Brien"_s}));
    // A date range: only lists with a date in it.
    q.accessLevelFilter.clear();
    q.dateFrom = u"01.01.2025"_s;
    q.dateTo = u"31.03.2026"_s;
    EXPECT_EQ(lists(), QStringList({u"4711"_s, u"O'Brien"_s}));

    // A list number fixes the list, with its type.
    ListViewQuery fixed;
    fixed.listNumber = u"O'Brien"_s;
    fixed.listTypeNumber = u"3"_s;
    EXPECT_EQ(ReadListViewRows(m_db, ListViewStatement(fixed), u"0.000"_s).size(), 1);
    fixed.listTypeNumber = u"1"_s;
    EXPECT_TRUE(ReadListViewRows(m_db, ListViewStatement(fixed), u"0.000"_s).isEmpty());
    fixed.listTypeNumber.clear();
    EXPECT_EQ(ReadListViewRows(m_db, ListViewStatement(fixed), u"0.000"_s).size(), 1)
        << "without a list-type number the type does not matter";
}

TEST(ListViewRows, CellTexts)
{
    ReportLocale::setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ListDateText(QVariant(QDateTime(QDate(2026, 3, 2), QTime(13, 5)))), u"02.03.2026"_s);
    EXPECT_EQ(ListDateText(QVariant(u"2026-03-02"_s)), u"02.03.2026"_s);
    EXPECT_EQ(ListDateText(QVariant()), QString());
    EXPECT_EQ(PlainNumberText(QVariant(qlonglong(1162))), u"1162"_s);
    EXPECT_EQ(PlainNumberText(QVariant(8.5)), u"8,5"_s);
    EXPECT_EQ(VolumeText(QVariant(965.0125), u"0.000"_s), u"965,013"_s);
    EXPECT_EQ(VolumeText(QVariant(1234.5), u"0.000"_s), u"1234,500"_s);
    EXPECT_EQ(VolumeText(QVariant(qlonglong(2)), u"0.000"_s), u"2,000"_s);

    ReportLocale::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(VolumeText(QVariant(965.0125), u"0.000"_s), u"965.013"_s);
    EXPECT_EQ(ListDateText(QVariant(QDate(2026, 3, 2))), u"3/2/2026"_s);
    ReportLocale::setLocale(QLocale::c());
}

// Lots, piles and lists that differ only in a character Windows-1252 lacks:
// on the embedded database and over SQL Server's wire (which reads a plain
// literal in that code page, so 'Łoś' would find the lot Los) the chosen
// value finds its own records only.
TEST(SelectionOnBothDatabases, AValueOutsideTheCodePageFindsOnlyItsOwnRecords)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.sqlite"_s);
    testsupport::createSqliteDatabase(path,
        u"CREATE TABLE LOGS (ID_LOG INTEGER PRIMARY KEY, LISTE TEXT, LOS TEXT, POLTNR TEXT);"
        u"INSERT INTO LOGS VALUES (1, '4711', 'Łoś', NULL), (2, '4711', 'Los', NULL),"
        u" (3, '4711', '木', NULL), (4, '4711', '?', NULL),"
        u" (5, 'Čermák', NULL, 'Đ1'), (6, 'Cermák', NULL, 'D1');"_s);
    tds::Endpoint server(path);
    const std::unique_ptr<Backend> engines[] = {std::make_unique<SqliteBackend>(path),
        Connection::openBackend(server.connectionString(), Connection::DefaultQueryTimeoutSeconds)};
    const auto ids = [](Backend &engine, const QString &filter) {
        QList<qint64> found;
        for (const auto &row : engine.query(u"SELECT ID_LOG FROM LOGS WHERE "_s + filter).rows)
            found << row.at(0).toLongLong();
        return found;
    };
    // The endpoint reads plain literals as the server does.
    EXPECT_EQ(ids(*engines[1], u"LOS = 'Łoś'"_s), QList<qint64>{2});

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
