// Every statement form the program sends, made by the program's own
// statement builders with realistic values (blanks and carriage returns
// included), run on the embedded database. On a database made here from the
// demo schema and a few chosen rows the answers of the SQL Server constructs
// are checked; on the generated demo database every statement must at least
// run.

#include "app/AccessLevel.h"
#include "common/QtPrinters.h"
#include "common/TestSupport.h"
#include "db/DbError.h"
#include "db/SqliteBackend.h"
#include "report/common/SingleLogQuery.h"
#include "report/condensed/CondensedSection.h"
#include "report/head/CustomerLines.h"
#include "report/single/JacketMeasurement.h"
#include "report/single/StackHeights.h"
#include "report/totals/LotSummary.h"
#include "report/totals/Statistics.h"
#include "report/totals/Totals.h"
#include "selection/SelectionStatements.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

const QChar CR(13);

QString S(const char16_t *text)
{
    return QString::fromUtf16(text);
}

// The values a report run puts into its statements.
struct RunValues
{
    QString list = S(u"4711");
    QString recordId = S(u"1"); // a record with a pile and a lot
    QString stackRecordId = S(u"3"); // a stacked-wood record with heights
    QString jacketRecordId = S(u"4"); // an extrapolated jacket record
    QString jacketId = S(u"5");
    QString forestLocationId = S(u"1");
    QString unitId = S(u"1");
    QString accessLevelId = S(u"3");
};

// Selection filters as the print request and the lot-by-lot driver build them.
QStringList filters(const RunValues &v)
{
    return {
        // lots 1 and 2 marked, list type 1: two blanks before AND, nothing after the 1
        S(u"LOGS.LISTE = '") + v.list + S(u"' AND LOGS.LOS IN ('1','2')  AND LOGS.LISTENART = 1"),
        // piles marked, a provision with logs, no list type
        S(u"LOGS.LISTE = '") + v.list + S(u"' AND LOGS.POLTNR IN ('P1','P2')  AND LOGS.ID_LOG IN (1,2,3) "),
        // one lot of a lot-by-lot run
        S(u"LOGS.LISTE='") + v.list + S(u"' AND isnull(LOGS.LOS,'')='1' AND LOGS.LISTENART = 1"),
        // nothing marked, no list type
        S(u"LOGS.LISTE = '") + v.list + S(u"'"),
        // a provision of more than 1,000 records, read on the server
        S(u"LOGS.LISTE = '") + v.list + u'\'' + ProvisionSubqueryCondition(S(u"Abfuhr Mai")),
    };
}

// The list browser: in date mode, in business-year mode (with dates too,
// when given), with an access-level filter, and for one list.
QString lists(const QString &year, const QString &accessLevelFilter, const QString &from = {}, const QString &to = {})
{
    ListViewQuery q;
    q.businessYearColumn = year.isEmpty() ? QString() : S(u"RELTABLE1");
    q.year = year;
    q.accessLevelFilter = accessLevelFilter;
    q.dateFrom = from;
    q.dateTo = to;
    return ListViewStatement(q);
}

QString listsBetween(const QString &from, const QString &to)
{
    return lists({}, {}, from, to);
}

QString oneList(const QString &list, const QString &listTypeNumber)
{
    ListViewQuery q;
    q.listNumber = list;
    q.listTypeNumber = listTypeNumber;
    return ListViewStatement(q);
}

QString formsConfigQuery()
{
    return S(u"Select property_id, number_value ") + CR + S(u"from FORMS_CONFIG  ") + CR
        + S(u"WHERE FORM_ID = 'F_STAMMEINKONF' and (property_id like 'zustext%' or property_id like "
            u"'coordinate%' or property_id like 'ZUSATZTEXT')  ")
        + CR + S(u"order by property_id ");
}

// The statistics statements of every record type, in type order.
QStringList statisticsQueries(const QString &f)
{
    QStringList all;
    for (int type = 1; type <= 6; ++type)
        all += StatisticsStatements(type, f);
    return all;
}

std::vector<ColumnEntry> entries(const QStringList &expressions)
{
    std::vector<ColumnEntry> list;
    for (const QString &e : expressions)
        list.push_back({e, e});
    return list;
}

// Extra columns of the single-log section, as the settings sheet makes them
// (entry 0 and the last entry empty).
std::vector<ColumnEntry> columnList()
{
    return entries({QString(), S(u"LOGS.FREI1"), S(u"ISNULL(LOGS.RINDE_WERT,0)"), S(u"LOGS.RINDE_WERT"), S(u"KKLASSE"),
        S(u"RINDEPROZENT"), S(u"LOGS_RECH.R_PREIS"), S(u"TL.EINGANGS_DATUM"), S(u"TLW.DATUM_VERLADE"),
        S(u"TL.Z_DATUM_1"), S(u"TL.LKW_NR"), S(u"TLW.WAGGON_NR"), S(u"LOGS.LISTDATUM"), QString()});
}

QString jacketQuery(const QString &jacketId, const QString &recordId)
{
    return JacketQuery(entries({QString(), S(u"LOGS.FREI1"), S(u"RINDEPROZENT"), S(u"LOGS.RINDE_WERT"),
                           S(u"ISNULL(LOGS.RINDE_WERT,0)"), S(u"LOGS_RECH.R_PREIS"), S(u"KKLASSE"), QString()}),
        jacketId, recordId);
}

QStringList heightQueries(const QString &id)
{
    return {StackHeadStatement(id), FrontHeightsStatement(id), BackHeightsStatement(id), AverageHeightStatement(id),
        HeightProbeStatement(id)};
}

// Every statement form, for one set of values.
QStringList corpus(const RunValues &v)
{
    QStringList all = {
        S(u"SELECT ACCESS_LEVELS FROM ACCESS_LEVELS WHERE ID = ") + v.accessLevelId,
        S(u"SELECT NUMBER_VALUE FROM OPTIONEN WHERE PROPERTY_ID = 'KUBATURPLACE'"),
        S(u"SELECT * FROM STRINGS WHERE ID_STRING = 727"),
        BusinessYearStatement(S(u"RELTABLE1")),
        BusinessYearStatement(S(u"RELTABLE10")),
        listsBetween(S(u"01.01.2024"), S(u"31.12.2024")),
        listsBetween(S(u"01.01.2024"), QString()),
        lists(S(u"2024"), AccessLevelFilter(v.accessLevelId, S(u"010000"))),
        lists(S(u"2024"), QString(), S(u"01.05.2024"), S(u"31.05.2024")),
        lists(QString(), AccessLevelFilter(v.accessLevelId, S(u"000000"))),
        lists(QString(), AccessLevelFilter(v.accessLevelId, S(u"010203"))),
        oneList(v.list, S(u"1")),
        oneList(v.list, QString()),
        LotListStatement(LotMode::Lots, v.list, S(u"Stammholz")),
        LotListStatement(LotMode::Lots, v.list, QString()),
        LotListStatement(LotMode::Piles, v.list, S(u"Stammholz")),
        LotListStatement(LotMode::Piles, v.list, QString()),
        ListTypesStatement(v.list, S(u"1")),
        ListTypesStatement(v.list, QString()),
        ListTypesStatement(QString(), QString()),
        ProvisionStatement(S(u"Abfuhr Mai")),
        ListTypeNumberStatement(S(u"Stammholz")),
        formsConfigQuery(),
        S(u"SELECT * FROM LISTENKOPF WHERE LISTE = '") + v.list + S(u"'"),
        S(u"SELECT * FROM WALDORT WHERE ID_WALDORT = ") + v.forestLocationId,
        LotTextsStatement(v.recordId),
        RecordTypeNameStatement(1),
        UnitNameStatement(v.unitId),
        jacketQuery(v.jacketId, v.jacketRecordId),
    };
    all += heightQueries(v.stackRecordId);
    for (const QString &f : filters(v)) {
        all << SelectionLotsStatement(f)
            << S(u"SELECT DISTINCT(LISTDATUM) FROM LOGS WHERE ") + f + S(u" ORDER BY LISTDATUM")
            << S(u"SELECT DISTINCT(LISTZUSTXT) FROM LOGS WHERE ") + f + S(u" ORDER BY LISTZUSTXT")
            << S(u"SELECT DISTINCT(LISTENKOPFZUSTXT) FROM LISTENKOPF INNER JOIN LOGS ON LOGS.LISTE = LISTENKOPF.LISTE "
                 u"WHERE ")
                + f + S(u" ORDER BY LISTENKOPFZUSTXT")
            << S(u"SELECT * FROM VERKAUFSART WHERE ID IN (SELECT DISTINCT ISNULL(ID_VERKAUFSART,0) FROM LOGS WHERE ")
                + f + S(u")")
            << S(u"SELECT DISTINCT ZUSTEXT1, ZUSTEXT2, ZUSTEXT3, ZUSTEXT4, ZUSTEXT5, COORDINATE1, COORDINATE2 FROM "
                 u"LOGS WHERE ")
                + f + S(u" ")
            << S(u"SELECT DISTINCT WAGNR, ZUSTXT FROM LOGS WHERE ") + f + S(u" ") << LotSummaryStatement(f, v.recordId)
            << TotalsStatement(f) << CondensedQuery(f, false) << CondensedQuery(f, true);
        for (int n = 1; n <= 10; ++n)
            all << S(u"SELECT * FROM RELTABLE WHERE ID IN (SELECT DISTINCT(RELTABLE") + QString::number(n)
                    + S(u") FROM LOGS WHERE ") + f + S(u")");
        for (int role = 0; role <= 8; ++role)
            all << customerQuery(role, f);
        all += statisticsQueries(f);
        for (int sort = 0; sort <= 7; ++sort)
            all << SingleLogQuery(f, sort, columnList());
    }
    return all;
}

// Chosen rows for the answers checked below, in the demo schema.
const char16_t *const chosenRows = uR"(
INSERT INTO ACCESS_LEVELS VALUES (3, '010200', 'Revier Nord'), (4, '020000', 'Forstamt Süd');
INSERT INTO STRINGS VALUES (727, '  ', 'HAB-Datum:');
INSERT INTO OPTIONEN VALUES (1, 'KUBATURPLACE', 3, NULL);
INSERT INTO FORMS_CONFIG VALUES (1, 'F_STAMMEINKONF', 'ZUSTEXT1', 2, NULL), (2, 'F_STAMMEINKONF', 'coordinate1', 4, NULL),
    (3, 'F_STAMMEINKONF', 'ZUSATZTEXT', 1, NULL), (4, 'F_STAMMEINKONF', 'ANDERES', 9, NULL),
    (5, 'F_ANDERS', 'ZUSTEXT2', 1, NULL);
INSERT INTO LISTENART VALUES (1, 'Stammholz'), (2, 'Industrieholz');
INSERT INTO RELTABLE VALUES (1, 1, '2023', 'Jahr 2023', 0), (2, 1, '2024', 'Jahr 2024', 0),
    (3, 1, '2024/25', 'Jahr 2024/25', 0), (4, 1, '2025', 'Jahr 2025', 1), (5, 2, 'Nord', 'Revier Nord', 0);
INSERT INTO LISTENKOPF (ID, LISTE, ID_ACCESS_LEVELS, LISTENKOPFZUSTXT, TEXT1, NUMBER1, DATE1)
    VALUES (1, '4711', 3, 'Kopftext', 'Text eins', 2.5, '2024-03-01 00:00:00'), (2, '4712', NULL, NULL, NULL, NULL, NULL);
INSERT INTO DSART VALUES (1, 'Stammholz lang'), (2, 'Schichtholz'), (4, 'Gewicht'), (6, 'Mantel');
INSERT INTO HOLZART VALUES (1, 'FI', 'Fichte', 'NDH'), (2, 'BU', 'Buche', 'LBH');
INSERT INTO HOLZSORTE VALUES (1, 'L', 'Langholz', 'LH'), (2, 'IS', 'Industrieholz', 'IS');
INSERT INTO D_MSZ VALUES (1, 'NDH', 'LH', '2a', 1, 80.0);
INSERT INTO WARENEINHEIT VALUES (1, 'Fm', 'Festmeter', 0), (2, 'Rm', 'Raummeter', 0), (3, 'SRm', 'Schüttraummeter', 0),
    (4, 'to', 'Tonnen lutro', 1);
INSERT INTO KUBATURKLASSE VALUES (1, 'K1');
INSERT INTO RINDENKENNZ VALUES (1, 'm.R.', 'mit Rinde');
INSERT INTO VERKAUFSART VALUES (0, '-', 'ohne'), (1, 'FH', 'Freihand');
INSERT INTO WALDORT (ID_WALDORT, LANGNAME, WO1, WO2, WO3) VALUES (1, 'Nordhang', '12', '', '3');
INSERT INTO PERSONAL VALUES (1, 'Huber', 100, 'Huber', 'Hans', '80331', 'München', 'Hauptstr. 1');
INSERT INTO TRANSPORTLOGISTIK_WAGGON VALUES (1, '2024-05-02 00:00:00', 'W-17');
INSERT INTO TRANSPORTLOGISTIK (ID, ID_TRANSPORTLOGISTIK_WAGGON, LOS, EINGANGS_DATUM, LKW_NR)
    VALUES (1, 1, '1', '2024-05-03 14:20:00', 'M-AB 12');
INSERT INTO LOGS (ID_LOG, LISTE, LISTDATUM, LISTZUSTXT, LISTENART, LOS, POLTNR, DSART, BLNR, KLST, HA, HS, GKL, STKL,
    LAENGE, DURCH, STK, KUBATUR, KUBRM, KUBATRO, ID_MASSEINHEIT, ID_WALDORT, ID_MANTEL, KKLASSE, ID_RINDENKENNZ,
    RINDEPROZENT, RINDE_WERT, ZUSTXT, ZUSTEXT1, COORDINATE1, COORDINATE2, FREI1, RELTABLE1, ID_VERKAUFSART,
    ID_TRANSPORTLOGISTIK)
VALUES
 (1, '4711', '2024-05-02 00:00:00', 'Abfuhr', 1, '1', 'P1', 1, 1, 1, 'FI', 'L', 'B', '2a', 4, 30, 1, 0.28, NULL, NULL,
  1, 1, NULL, 1, 1, 1, 2, 'Bemerkung', 'Text 1', '4468000', '5333000', 'frei', 2, 1, 1),
 (2, '4711', '2024-05-02 00:00:00', 'Abfuhr', 1, '1', 'p1 ', 1, 2, 3, 'fi', 'l', 'B', '2A', 12, 31, 1, 0.9, NULL, NULL,
  1, 1, NULL, NULL, NULL, 0, NULL, NULL, NULL, NULL, NULL, NULL, 2, 1, NULL),
 (3, '4711', '2024-05-02 00:00:00', 'Abfuhr', 1, '2', NULL, 2, NULL, NULL, 'BU', 'IS', NULL, NULL, 2, NULL, 0, 7, 10, NULL,
  2, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 2, NULL, NULL),
 (4, '4711', '2024-05-02 00:00:00', 'Abfuhr', 1, '3', 'P2', 6, 5, NULL, 'FI', 'L', 'B', '2a', 4, NULL, 4, 1.2, NULL, NULL,
  1, NULL, 5, NULL, 1, 1, 3, NULL, NULL, NULL, NULL, NULL, 2, 1, NULL),
 (5, '4711', '2024-05-03 00:00:00', NULL, 2, NULL, NULL, 4, NULL, NULL, 'BU', 'IS', NULL, NULL, NULL, NULL, 5, 3, NULL, 3.5,
  4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 2, NULL, NULL),
 (6, '4712', '2023-11-20 00:00:00', NULL, 1, '1', NULL, 1, 1, 1, 'FI', 'L', 'B', '2a', 5, 28, 1, 0.31, NULL, NULL,
  1, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, NULL, NULL);
INSERT INTO LOGS_RECH (ID, ID_LOG, R_KUNDE, A1_KUNDE, R_PREIS) VALUES (1, 1, 1, 1, 85.5), (2, 2, 1, NULL, 85.5),
    (3, 4, 1, NULL, 40);
INSERT INTO MANTEL VALUES (1, 5, 'FI', 'L', 'B', '2a', 4, 25, 1, 0.2, 'o.R.', 1.5),
    (2, 5, 'FI', 'L', 'B', '2b', 5, 30, 1, 0.35, 'o.R.', 2);
INSERT INTO SCHICHT_HOEHEN VALUES (1, 3, 1, 1.0), (2, 3, 2, 1.01);
INSERT INTO SCHICHT_HOEHEN_HINTEN VALUES (1, 3, 1, 1.1);
INSERT INTO BEREITSTELLUNG_KOPF VALUES (1, 'Abfuhr Mai');
INSERT INTO BEREITSTELLUNG_LOGS VALUES (1, 1, 1), (2, 1, 2), (3, 1, NULL);
)";

// Indexes over NOCASE text: their order is the one of the collation they were
// built with, so only the pile and lot indexes, which the program's writers
// build with the program's comparison, may have them. Read with a plain connection (the
// backend refuses PRAGMA).
// The indexes over texts, in the program's order of texts.
const QStringList TextIndexes
    = {u"IX_D_MSZ_KEY"_s, u"IX_HOLZART_HA"_s, u"IX_HOLZSORTE_HS"_s, u"IX_LOGS_LOS"_s, u"IX_LOGS_POLTER"_s};

QStringList nocaseIndexes(const QString &path)
{
    QStringList found;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {u"<cannot open>"_s};
    }
    sqlite3_stmt *st = nullptr;
    const char *sql = "SELECT DISTINCT m.name FROM sqlite_schema m, pragma_index_xinfo(m.name) x "
                      "WHERE m.type = 'index' AND x.key = 1 AND upper(x.coll) = 'NOCASE' ORDER BY m.name";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW)
            found << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return found;
}

// The statement's answer; a failure fails the test, naming the statement.
ResultData runOn(SqliteBackend &db, const QString &sql)
{
    try {
        return db.query(sql);
    } catch (const DbError &e) {
        ADD_FAILURE() << e.message().toStdString() << "\n  statement: " << sql.toStdString();
        return {};
    }
}

class StatementCorpusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString schema = testsupport::schemaSql();
        if (schema.isEmpty())
            GTEST_SKIP() << "Das Demo-Schema fehlt: " << TANNBUCH_SCHEMA_SQL;
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(u"corpus.sqlite"_s);
        testsupport::createSqliteDatabase(
            m_path, u"BEGIN;\n"_s + schema + QString::fromUtf16(chosenRows) + u"COMMIT;\n"_s);
        m_db = std::make_unique<SqliteBackend>(m_path);
    }

    ResultData run(const QString &sql) { return runOn(*m_db, sql); }

    QVariantList column(const QString &sql, int index = 0)
    {
        QVariantList values;
        for (const auto &row : run(sql).rows)
            values << row.at(size_t(index));
        return values;
    }

    // The value of the named column in the first row.
    QVariant first(const QString &sql, const QString &name)
    {
        const ResultData r = run(sql);
        const qsizetype i = r.columns.indexOf(name);
        if (r.rows.empty() || i < 0) {
            ADD_FAILURE() << "no row or no column " << name.toStdString() << " in " << sql.toStdString();
            return {};
        }
        return r.rows.front().at(size_t(i));
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<SqliteBackend> m_db;
};

} // namespace

TEST_F(StatementCorpusTest, EveryStatementRuns)
{
    for (const QString &sql : corpus(RunValues()))
        run(sql);
    EXPECT_EQ(nocaseIndexes(m_path), TextIndexes);
}

// The generated demo database: every statement runs, with values taken from
// its data.
TEST(StatementCorpusDemo, EveryStatementRunsOnTheDemoDatabase)
{
    const QString path = QStringLiteral(TANNBUCH_DEMO_DB);
    if (!QFile::exists(path))
        GTEST_SKIP() << "Die Demo-Datenbank fehlt (Ziel tannbuch-demo bauen und ausführen): " << TANNBUCH_DEMO_DB;
    EXPECT_EQ(nocaseIndexes(path), TextIndexes);
    SqliteBackend db(path);
    auto firstValue = [&](const QString &sql) {
        const ResultData r = db.query(sql);
        return r.rows.empty() || r.rows.front().empty() ? QString() : r.rows.front().front().toString();
    };
    RunValues v;
    v.list = firstValue(u"SELECT MIN(LISTE) FROM LOGS"_s);
    ASSERT_FALSE(v.list.isEmpty()) << "die Demo-Datenbank hat keine Messdaten";
    v.recordId = firstValue(u"SELECT MIN(ID_LOG) FROM LOGS WHERE POLTNR IS NOT NULL"_s);
    v.stackRecordId = firstValue(u"SELECT MIN(ID_LOG) FROM SCHICHT_HOEHEN"_s);
    v.jacketRecordId = firstValue(u"SELECT MIN(ID_LOG) FROM LOGS WHERE DSART = 6"_s);
    v.jacketId = firstValue(u"SELECT MIN(ID_MANTEL) FROM LOGS WHERE DSART = 6"_s);
    v.forestLocationId = firstValue(u"SELECT MIN(ID_WALDORT) FROM WALDORT"_s);
    v.unitId = firstValue(u"SELECT MIN(EINHEIT_ID) FROM WARENEINHEIT"_s);
    v.accessLevelId = firstValue(u"SELECT MIN(ID) FROM ACCESS_LEVELS"_s);
    for (QString *value : {&v.recordId, &v.stackRecordId, &v.jacketRecordId, &v.jacketId, &v.forestLocationId,
             &v.unitId, &v.accessLevelId}) {
        if (value->isEmpty())
            *value = u"0"_s;
    }
    for (const QString &sql : corpus(v))
        runOn(db, sql);
}

TEST_F(StatementCorpusTest, StartUpLookupsAndTheBusinessYear)
{
    EXPECT_EQ(column(S(u"SELECT ACCESS_LEVELS FROM ACCESS_LEVELS WHERE ID = 3")), QVariantList({S(u"010200")}));
    EXPECT_EQ(first(S(u"SELECT * FROM STRINGS WHERE ID_STRING = 727"), S(u"GERMAN")), QVariant(S(u"HAB-Datum:")));
    // TOP 1 of the numeric, enabled years: not the disabled 2025, not 2024/25.
    EXPECT_EQ(column(BusinessYearStatement(S(u"RELTABLE1"))), QVariantList({S(u"2024")}));
    EXPECT_TRUE(column(BusinessYearStatement(S(u"RELTABLE10"))).isEmpty());
    // Property ids compared with LIKE ignoring case, in the collation's order.
    EXPECT_EQ(column(formsConfigQuery()), QVariantList({S(u"coordinate1"), S(u"ZUSATZTEXT"), S(u"ZUSTEXT1")}));
}

// (What the list browser's statement answers, its selection and window
// tests check; here the year's last two characters and a date that is none.)
TEST_F(StatementCorpusTest, ListBrowserByYearAndAnInvalidDate)
{
    EXPECT_EQ(column(lists(S(u"1923"), QString())), QVariantList({S(u"4712")}));
    try {
        m_db->query(listsBetween(S(u"31.02.2024"), S(u"31.12.2024")));
        ADD_FAILURE() << "an invalid date text was accepted";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(S(u"Datums- und/oder Uhrzeitwert"))) << e.message().toStdString();
    }
}

TEST_F(StatementCorpusTest, PickersAndSelectionFilter)
{
    // The list type's text compared without case; 'P1' and 'p1 ' are one
    // pile, as SQL Server compares them; a provision's name without case.
    EXPECT_EQ(column(LotListStatement(LotMode::Lots, S(u"4711"), S(u"stammholz"))),
        QVariantList({S(u"1"), S(u"2"), S(u"3")}));
    EXPECT_EQ(column(LotListStatement(LotMode::Piles, S(u"4711"), QString())).size(), 3); // NULL, P1, P2
    EXPECT_EQ(column(ProvisionStatement(S(u"abfuhr mai"))), QVariantList({1, 2, QVariant()}));

    EXPECT_EQ(
        column(S(u"SELECT DISTINCT(LISTDATUM) FROM LOGS WHERE ") + filters(RunValues())[3] + S(u" ORDER BY LISTDATUM")),
        QVariantList({QDateTime(QDate(2024, 5, 2), QTime(0, 0)), QDateTime(QDate(2024, 5, 3), QTime(0, 0))}));
}

// (Customers and the year columns of the head block: the list head's cases.)
TEST_F(StatementCorpusTest, HeadBlockAndLotSummary)
{
    const QString f = filters(RunValues())[0];
    EXPECT_EQ(
        column(S(u"SELECT * FROM VERKAUFSART WHERE ID IN (SELECT DISTINCT ISNULL(ID_VERKAUFSART,0) FROM LOGS WHERE ")
                + f + S(u")"),
            2),
        QVariantList({S(u"ohne"), S(u"Freihand")}));

    // Pile P1 of record 1 includes record 2's 'p1 '; the lengths 4 and 12 as
    // texts, and texts order '12' before '4'.
    const ResultData pile = run(LotSummaryStatement(f, S(u"1")));
    ASSERT_EQ(pile.rows.size(), 1u);
    EXPECT_EQ(pile.columns, QStringList({S(u"KUB"), S(u"STK"), S(u"LISTE"), S(u"LOS"), S(u"LAENGE")}));
    EXPECT_NEAR(pile.rows[0][0].toDouble(), 1.18, 1e-9);
    EXPECT_EQ(pile.rows[0][1], QVariant(qlonglong(2)));
    EXPECT_EQ(pile.rows[0][3], QVariant(S(u"1")));
    EXPECT_EQ(pile.rows[0][4], QVariant(S(u"12 bis 4")));
    EXPECT_EQ(first(LotSummaryStatement(f + S(u" OR LOGS.ID_LOG = 4"), S(u"4")), S(u"LAENGE")), QVariant(S(u"4")));
}

// (Type-6 records and the jacket query: the jacket blocks' tests.)
TEST_F(StatementCorpusTest, SingleLogRowsWithExtraColumns)
{
    const ResultData r = run(SingleLogQuery(filters(RunValues())[0], 4, columnList()));
    ASSERT_EQ(r.rows.size(), 3u);
    auto at = [&](size_t row, const char16_t *name) {
        const qsizetype i = r.columns.indexOf(S(name));
        EXPECT_GE(i, 0) << "no column " << S(name).toStdString();
        return i < 0 ? QVariant() : r.rows[row].at(size_t(i));
    };
    EXPECT_EQ(at(0, u"ID_LOG"), QVariant(qlonglong(1)));
    EXPECT_EQ(at(0, u"POLTNR"), QVariant(S(u"P1")));
    EXPECT_EQ(at(2, u"POLTNR"), QVariant(S(u"0")));
    EXPECT_EQ(at(2, u"COORDINATE1"), QVariant(S(u"")));
    EXPECT_EQ(at(0, u"RINDEPROZENT"), QVariant(S(u"%")));
    EXPECT_EQ(at(1, u"RINDEPROZENT"), QVariant(S(u"cm")));
    EXPECT_EQ(at(2, u"RINDEPROZENT"), QVariant(S(u"")));
    EXPECT_EQ(at(0, u"ENTRINDUNG"), QVariant(S(u"m.R.")));
    EXPECT_EQ(at(0, u"GEWICHT_LUTRO"), QVariant(qlonglong(0)));
    EXPECT_EQ(at(0, u"ISNULL(LOGS.RINDE_WERT,0)").toDouble(), 2.0);
    EXPECT_EQ(at(1, u"ISNULL(LOGS.RINDE_WERT,0)"), QVariant(qlonglong(0)));
    EXPECT_EQ(at(0, u"LOGS_RECH.R_PREIS").toDouble(), 85.5);
    EXPECT_EQ(at(0, u"TL.EINGANGS_DATUM"), QVariant(S(u"03.05.2024")));
    EXPECT_EQ(at(0, u"TLW.DATUM_VERLADE"), QVariant(S(u"02.05.2024")));
    EXPECT_FALSE(at(0, u"TL.Z_DATUM_1").isValid());
    EXPECT_FALSE(at(1, u"TL.EINGANGS_DATUM").isValid());
    EXPECT_EQ(at(0, u"LOGS.LISTDATUM"), QVariant(QDateTime(QDate(2024, 5, 2), QTime(0, 0))));

    // Sort orders: by log number (records without one come first, in no set
    // order), and by type first.
    EXPECT_EQ(column(SingleLogQuery(filters(RunValues())[3], 6, {})).mid(2), QVariantList({1, 2, 4}));
    EXPECT_EQ(column(SingleLogQuery(filters(RunValues())[3], 5, {})), QVariantList({1, 2, 3, 5, 4}));
}

// (The stack heights' answers: the stack heights' tests, and the backend's
// for the rounding of their mean.)
TEST_F(StatementCorpusTest, CondensedSection)
{
    // '2a' and '2A' are one class and meet the rate row '2a'; 'FI' and 'fi' one wood type.
    const ResultData r = run(CondensedQuery(filters(RunValues())[0], false));
    ASSERT_EQ(r.rows.size(), 2u);
    const auto &logs = r.rows[0];
    EXPECT_EQ(logs[0], QVariant(qlonglong(1)));
    EXPECT_EQ(logs[1], QVariant(S(u"Fichte")));
    EXPECT_EQ(logs[6], QVariant(qlonglong(2)));
    EXPECT_NEAR(logs[7].toDouble(), 1.18, 1e-9);
    EXPECT_NEAR(logs[9].toDouble(), 80 * 1.18, 1e-9);
    EXPECT_EQ(first(CondensedQuery(filters(RunValues())[0], true), S(u"HS")), QVariant(S(u"Langholz")));
}

} // namespace tannbuch
