// The demo database holds what the reports and the demo rely on: the lists
// and record types, the provisions, the business years, volumes that follow
// from the measures, and master data that the report joins find exactly once.

#include "DemoTestDb.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <set>

namespace {

// Diameter class of a mid diameter, written out here independently of the
// generator: 10-14 cm is 1a, 15-19 cm 1b, ..., 55-59 cm 5b, from 60 cm 6.
QString expectedDiameterClass(double diameter)
{
    static const char *const classes[] = {"0", "1a", "1b", "2a", "2b", "3a", "3b", "4a", "4b", "5a", "5b"};
    const int band = int(diameter) / 5 - 1;
    if (band < 1)
        return QStringLiteral("0");
    if (band > 10)
        return QStringLiteral("6");
    return QString::fromLatin1(classes[band]);
}

double cylinder(double diameterCm, double lengthM)
{
    return std::numbers::pi / 4.0 * (diameterCm / 100.0) * (diameterCm / 100.0) * lengthM;
}

// Half a unit of the last stored decimal, plus a little for binary fractions.
constexpr double rounding3 = 0.0005 + 1e-9;
constexpr double rounding2 = 0.005 + 1e-9;

class DemoDatabaseTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(s_dir->isValid());
        s_db = std::make_unique<DemoTestDb>(writeDemoDatabase(s_dir->path(), QStringLiteral("forst.sqlite")));
    }

    static void TearDownTestSuite()
    {
        s_db.reset();
        s_dir.reset();
    }

    const DemoTestDb &db() const { return *s_db; }
    qlonglong count(const QString &sql) const { return db().value(sql).toLongLong(); }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static std::unique_ptr<DemoTestDb> s_db;
};

std::unique_ptr<QTemporaryDir> DemoDatabaseTest::s_dir;
std::unique_ptr<DemoTestDb> DemoDatabaseTest::s_db;

} // namespace

TEST_F(DemoDatabaseTest, ListsHaveTheirDatesTypesAndEveryRecordType)
{
    const auto lists = db().rows(QStringLiteral(
        "SELECT LISTE, COUNT(DISTINCT LISTDATUM), MIN(LISTDATUM), COUNT(DISTINCT LISTENART), MIN(LISTENART), "
        "COUNT(*) FROM LOGS GROUP BY LISTE ORDER BY LISTE"));
    ASSERT_EQ(lists.size(), 4u);
    std::set<QString> dates;
    for (const auto &list : lists) {
        EXPECT_EQ(list[1].toInt(), 1) << "one date per list";
        EXPECT_EQ(list[3].toInt(), 1) << "one list type per list";
        dates.insert(list[2].toString());
    }
    EXPECT_EQ(dates.size(), 4u);
    EXPECT_EQ(lists[0][0].toString(), QStringLiteral("4711"));
    EXPECT_GE(lists[0][5].toInt(), 300);
    EXPECT_EQ(lists[3][0].toString(), QStringLiteral("4720"));
    EXPECT_NE(lists[3][4], lists[0][4]) << "4720 is of another list type";

    EXPECT_EQ(db().texts(QStringLiteral("SELECT DISTINCT DSART FROM LOGS WHERE LISTE = '4711' ORDER BY DSART")),
        QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("5"), QStringLiteral("6")}));
    EXPECT_GE(count(QStringLiteral("SELECT COUNT(DISTINCT LOS) FROM LOGS WHERE LISTE = '4711'")), 3);
    EXPECT_GE(count(QStringLiteral("SELECT COUNT(DISTINCT POLTNR) FROM LOGS WHERE LISTE = '4711'")), 10);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE LISTE = '4711' AND POLTNR IS NULL")), 0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE LISTE = '4711' AND ZUSTXT IS NOT NULL")), 5);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE POLTNR IS NOT NULL "
                                   "AND (COORDINATE1 IS NULL OR COORDINATE2 IS NULL) AND LISTE = '4711'")),
        0);
    // Every list has exactly one head row, or the list browser's join would
    // count its records twice.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (SELECT LISTE FROM LOGS GROUP BY LISTE) L "
                                   "WHERE (SELECT COUNT(*) FROM LISTENKOPF K WHERE K.LISTE = L.LISTE) <> 1")),
        0);
    // Record numbers are unique within a list.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (SELECT LISTE, BLNR FROM LOGS GROUP BY LISTE, BLNR "
                                   "HAVING COUNT(*) > 1)")),
        0);
}

TEST_F(DemoDatabaseTest, ProvisionDemoHoldsExactlyList4711)
{
    const QString provision = QStringLiteral(
        "SELECT BL.ID_LOGS FROM BEREITSTELLUNG_LOGS BL INNER JOIN BEREITSTELLUNG_KOPF BK "
        "ON BL.ID_BEREITSTELLUNG_KOPF = BK.ID WHERE BK.BEREITSTELLUNGSNAME = '%1' ORDER BY BL.ID_LOGS");
    EXPECT_EQ(db().texts(provision.arg(QStringLiteral("DEMO"))),
        db().texts(QStringLiteral("SELECT ID_LOG FROM LOGS WHERE LISTE = '4711' ORDER BY ID_LOG")));
    EXPECT_EQ(db().texts(provision.arg(QStringLiteral("TEILABFUHR"))),
        db().texts(QStringLiteral("SELECT ID_LOG FROM LOGS WHERE LISTE = '4711' AND LOS = '2' ORDER BY ID_LOG")));
    EXPECT_TRUE(db().texts(provision.arg(QStringLiteral("LEER"))).isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BEREITSTELLUNG_KOPF WHERE BEREITSTELLUNGSNAME = 'LEER'")), 1);
}

TEST_F(DemoDatabaseTest, NewestOpenNumericBusinessYearIsList4711s)
{
    // The newest year the list browser offers: kind 1, not disabled, a
    // plain number.
    const auto newest = db().rows(
        QStringLiteral("SELECT ID, KURZNAME FROM RELTABLE WHERE RELTABLE_ID = 1 AND IFNULL(DISABLE, 0) = 0 "
                       "AND KURZNAME <> '' AND KURZNAME NOT GLOB '*[^0-9]*' ORDER BY KURZNAME DESC LIMIT 1"));
    ASSERT_EQ(newest.size(), 1u);
    EXPECT_EQ(db().texts(QStringLiteral("SELECT DISTINCT RELTABLE1 FROM LOGS WHERE LISTE = '4711'")),
        QStringList{newest[0][0].toString()});

    // The rows that must not win: a newer disabled year and a year that is
    // not a plain number.
    const QString year = newest[0][1].toString();
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM RELTABLE WHERE RELTABLE_ID = 1 AND DISABLE = 1 "
                                   "AND KURZNAME > '%1'")
                        .arg(year)),
        0);
    EXPECT_GT(
        count(QStringLiteral("SELECT COUNT(*) FROM RELTABLE WHERE RELTABLE_ID = 1 AND KURZNAME GLOB '*[^0-9]*'")), 0);
    EXPECT_GE(count(QStringLiteral("SELECT COUNT(DISTINCT KURZNAME) FROM RELTABLE WHERE RELTABLE_ID = 1 "
                                   "AND KURZNAME NOT GLOB '*[^0-9]*'")),
        4);
    // Every record has a business year, or the browser's inner join drops it.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LOGS L LEFT JOIN RELTABLE R ON R.ID = L.RELTABLE1 "
                                   "WHERE R.RELTABLE_ID IS NOT 1")),
        0);
}

TEST_F(DemoDatabaseTest, VolumesFollowFromTheMeasures)
{
    // Logs and short logs: the cylinder of the mid section, diameter class
    // by the mid diameter.
    const auto logs
        = db().rows(QStringLiteral("SELECT ID_LOG, DURCH, LAENGE, KUBATUR, STKL, STK FROM LOGS WHERE DSART IN (1, 5)"));
    ASSERT_GT(logs.size(), 300u);
    for (const auto &log : logs) {
        EXPECT_NEAR(log[3].toDouble(), cylinder(log[1].toDouble(), log[2].toDouble()), rounding3)
            << "log " << log[0].toInt();
        EXPECT_EQ(log[4].toString(), expectedDiameterClass(log[1].toDouble())) << "log " << log[0].toInt();
        EXPECT_GE(log[5].toInt(), 1);
    }
    const auto samples = db().rows(QStringLiteral("SELECT ID, DURCH, LANGE, KUBATUR, STKL FROM MANTEL"));
    ASSERT_FALSE(samples.empty());
    for (const auto &log : samples) {
        EXPECT_NEAR(log[3].toDouble(), cylinder(log[1].toDouble(), log[2].toDouble()), rounding3);
        EXPECT_EQ(log[4].toString(), expectedDiameterClass(log[1].toDouble()));
    }

    // Stacks, pieces and weights: volume = quantity times factor.
    for (const auto &row : db().rows(QStringLiteral(
             "SELECT L.ID_LOG, L.DSART, L.KUBATUR, L.KUBRM, L.UFAKT_RM, L.STK, L.UFAKT_STK, L.KUBATRO, L.UFAKT_ATO, "
             "L.KUBLUTO, L.UFAKT_LUT, W.GEWICHT_LUTRO FROM LOGS L LEFT JOIN WARENEINHEIT W "
             "ON W.EINHEIT_ID = L.ID_MASSEINHEIT WHERE L.DSART IN (2, 3, 4)"))) {
        const int type = row[1].toInt();
        double expected = 0.0;
        if (type == 2)
            expected = row[3].toDouble() * row[4].toDouble();
        else if (type == 3)
            expected = row[5].toDouble() * row[6].toDouble();
        else if (row[11].toInt() != 0)
            expected = row[9].toDouble() * row[10].toDouble();
        else
            expected = row[7].toDouble() * row[8].toDouble();
        EXPECT_GT(expected, 0.0) << "record " << row[0].toInt();
        EXPECT_NEAR(row[2].toDouble(), expected, rounding3) << "record " << row[0].toInt();
    }
    // Weighed both ways: some units air-dry, some oven-dry.
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS L JOIN WARENEINHEIT W ON W.EINHEIT_ID = L.ID_MASSEINHEIT "
                                   "WHERE L.DSART = 4 AND W.GEWICHT_LUTRO = 1 AND L.KUBLUTO > 0")),
        0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS L JOIN WARENEINHEIT W ON W.EINHEIT_ID = L.ID_MASSEINHEIT "
                                   "WHERE L.DSART = 4 AND W.GEWICHT_LUTRO = 0 AND L.KUBATRO > 0")),
        0);
}

TEST_F(DemoDatabaseTest, JacketRecordsExtrapolateTheirSample)
{
    const auto jackets = db().rows(QStringLiteral(
        "SELECT L.ID_MANTEL, SUM(L.STK), SUM(L.KUBATUR), COUNT(*), COUNT(R.ID), "
        "(SELECT SUM(STUCK) FROM MANTEL M WHERE M.ID_MANTEL = L.ID_MANTEL), "
        "(SELECT SUM(KUBATUR) FROM MANTEL M WHERE M.ID_MANTEL = L.ID_MANTEL) "
        "FROM LOGS L LEFT JOIN LOGS_RECH R ON R.ID_LOG = L.ID_LOG WHERE L.DSART = 6 GROUP BY L.ID_MANTEL"));
    ASSERT_GE(jackets.size(), 2u);
    for (const auto &jacket : jackets) {
        ASSERT_FALSE(jacket[0].isNull()) << "a type-6 record without its jacket";
        // The jacket query joins the price rows: one per record, or the
        // sample is printed never or twice.
        EXPECT_EQ(jacket[3].toInt(), jacket[4].toInt()) << "jacket " << jacket[0].toInt();
        const double pieceFactor = jacket[1].toDouble() / jacket[5].toDouble();
        const double volumeFactor = jacket[2].toDouble() / jacket[6].toDouble();
        EXPECT_GT(pieceFactor, 1.0);
        EXPECT_NEAR(volumeFactor, pieceFactor, 0.001 * pieceFactor) << "jacket " << jacket[0].toInt();
    }
}

TEST_F(DemoDatabaseTest, StacksCarryBothMeasuringMethods)
{
    // Older method: single heights only; the stacked volume is pile length
    // times mean height (of the heights read) times billet length, less the
    // correction.
    const auto single = db().rows(QStringLiteral(
        "SELECT L.ID_LOG, L.STAPELLANGE, L.LAENGE, IFNULL(L.KORREKTUR, 0), L.KUBRM, AVG(H.HEIGHT), COUNT(*), "
        "COUNT(H.HEIGHT), (SELECT HEIGHT FROM SCHICHT_HOEHEN F WHERE F.ID_LOG = L.ID_LOG ORDER BY F.ID LIMIT 1) "
        "FROM LOGS L JOIN SCHICHT_HOEHEN H ON H.ID_LOG = L.ID_LOG "
        "WHERE L.DSART = 2 AND NOT EXISTS (SELECT 1 FROM SCHICHT_HOEHEN_KOPF K WHERE K.ID_LOG = L.ID_LOG) "
        "GROUP BY L.ID_LOG"));
    ASSERT_GE(single.size(), 2u);
    bool manyHeights = false;
    bool unreadHeight = false;
    for (const auto &stack : single) {
        const double expected
            = stack[1].toDouble() * stack[5].toDouble() * stack[2].toDouble() * (100.0 - stack[3].toDouble()) / 100.0;
        EXPECT_NEAR(stack[4].toDouble(), expected, rounding2) << "stack " << stack[0].toInt();
        // The first height decides whether the record prints as a measured
        // stack, so it is always read.
        EXPECT_FALSE(stack[8].isNull()) << "stack " << stack[0].toInt();
        manyHeights = manyHeights || stack[6].toInt() >= 9;
        unreadHeight = unreadHeight || stack[7].toInt() < stack[6].toInt();
    }
    EXPECT_TRUE(manyHeights) << "no stack with nine or more heights";
    EXPECT_TRUE(unreadHeight) << "no stack with a height left unread";

    // Two-part method: the parts add up to the whole, the record's stacked
    // volume is the whole less the correction.
    const auto twoPart = db().rows(QStringLiteral(
        "SELECT L.ID_LOG, K.VOL_A, K.VOL_B, K.VOL_C, K.VOL, L.KUBRM, IFNULL(L.KORREKTUR, 0), K.LANG_A_H, "
        "(SELECT COUNT(*) FROM SCHICHT_HOEHEN H WHERE H.ID_LOG = L.ID_LOG), "
        "(SELECT COUNT(*) FROM SCHICHT_HOEHEN_HINTEN H WHERE H.ID_LOG = L.ID_LOG), L.STAPELLANGE, "
        "K.LANG_A, K.HOEHE_A, L.LAENGE, (SELECT COUNT(*) FROM SCHICHT_HOEHEN_KOPF C WHERE C.ID_LOG = L.ID_LOG) "
        "FROM LOGS L JOIN SCHICHT_HOEHEN_KOPF K ON K.ID_LOG = L.ID_LOG WHERE L.DSART = 2"));
    ASSERT_GE(twoPart.size(), 2u);
    bool withBack = false;
    bool withoutBack = false;
    for (const auto &stack : twoPart) {
        const int id = stack[0].toInt();
        EXPECT_EQ(stack[14].toInt(), 1) << "stack " << id << " has more than one head";
        EXPECT_NEAR(stack[4].toDouble(), stack[1].toDouble() + stack[2].toDouble() + stack[3].toDouble(), rounding2);
        EXPECT_NEAR(stack[5].toDouble(), stack[4].toDouble() * (100.0 - stack[6].toDouble()) / 100.0, rounding2);
        EXPECT_NEAR(stack[1].toDouble(), stack[11].toDouble() * stack[12].toDouble() * stack[13].toDouble(), rounding2);
        EXPECT_GT(stack[8].toInt(), 0) << "stack " << id;
        EXPECT_FALSE(stack[10].isNull()) << "stack " << id << " needs its pile length";
        if (stack[7].toDouble() > 0) {
            withBack = true;
            EXPECT_GT(stack[9].toInt(), 0) << "stack " << id;
        } else {
            withoutBack = true;
            EXPECT_EQ(stack[9].toInt(), 0) << "stack " << id;
        }
    }
    EXPECT_TRUE(withBack);
    EXPECT_TRUE(withoutBack);
    // And stacks measured by volume only.
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS L WHERE DSART = 2 "
                                   "AND NOT EXISTS (SELECT 1 FROM SCHICHT_HOEHEN H WHERE H.ID_LOG = L.ID_LOG)")),
        0);
}

TEST_F(DemoDatabaseTest, ReportJoinsFindOneRowPerRecord)
{
    const qlonglong records = count(QStringLiteral("SELECT COUNT(*) FROM LOGS"));
    // The joins of the single-log query.
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM LOGS LEFT JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = LOGS.ID_MASSEINHEIT "
                  "LEFT JOIN LISTENART ON LOGS.LISTENART = LISTENART.LISTENART "
                  "LEFT JOIN KUBATURKLASSE ON LOGS.KKLASSE = KUBATURKLASSE.ID "
                  "LEFT JOIN LOGS_RECH ON LOGS.ID_LOG = LOGS_RECH.ID_LOG "
                  "LEFT JOIN TRANSPORTLOGISTIK TL ON TL.ID = LOGS.ID_TRANSPORTLOGISTIK "
                  "LEFT JOIN TRANSPORTLOGISTIK_WAGGON TLW ON TLW.ID = TL.ID_TRANSPORTLOGISTIK_WAGGON "
                  "LEFT JOIN RINDENKENNZ ON LOGS.ID_RINDENKENNZ = RINDENKENNZ.ID_RINDENKENNZ")),
        records);
    // The joins of the condensed query: one rate at most per record.
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM LOGS LEFT JOIN HOLZART ON LOGS.HA = HOLZART.HA "
                  "LEFT JOIN HOLZSORTE ON LOGS.HS = HOLZSORTE.HS LEFT JOIN D_MSZ ON HOLZART.ZUORD_MSZ = D_MSZ.HA "
                  "AND HOLZSORTE.ZUORD_MSZ = D_MSZ.HS AND LOGS.STKL = D_MSZ.STKL AND LOGS.DSART = D_MSZ.DSART")),
        records);
    // Every code a record uses is in its master table.
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM LOGS L WHERE NOT EXISTS (SELECT 1 FROM HOLZART A WHERE A.HA = L.HA) "
                             "OR NOT EXISTS (SELECT 1 FROM HOLZSORTE S WHERE S.HS = L.HS) "
                             "OR NOT EXISTS (SELECT 1 FROM DSART D WHERE D.ID = L.DSART) "
                             "OR NOT EXISTS (SELECT 1 FROM WARENEINHEIT W WHERE W.EINHEIT_ID = L.ID_MASSEINHEIT) "
                             "OR NOT EXISTS (SELECT 1 FROM WALDORT O WHERE O.ID_WALDORT = L.ID_WALDORT) "
                             "OR NOT EXISTS (SELECT 1 FROM VERKAUFSART V WHERE V.ID = L.ID_VERKAUFSART)")),
        0);
    // Single logs are paid by rate, and their rates are found.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE DSART IN (1, 5, 6) AND MSZ IS NULL")), 0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS L JOIN TRANSPORTLOGISTIK TL "
                                   "ON TL.ID = L.ID_TRANSPORTLOGISTIK WHERE TL.ID_TRANSPORTLOGISTIK_WAGGON IS NOT NULL "
                                   "AND L.WAGNR IS NOT NULL")),
        0);
}

TEST_F(DemoDatabaseTest, CustomersFillSeveralRoles)
{
    const QString role
        = QStringLiteral("SELECT COUNT(DISTINCT P.ID_PERSONAL) FROM LOGS_RECH R JOIN LOGS L ON L.ID_LOG = R.ID_LOG "
                         "JOIN PERSONAL P ON P.ID_PERSONAL = R.%1 WHERE L.LISTE = '4711'");
    EXPECT_GE(count(role.arg(QStringLiteral("R_KUNDE"))), 2);
    for (const char *column : {"A1_KUNDE", "A2_KUNDE", "A3_KUNDE", "A4_KUNDE"})
        EXPECT_GE(count(role.arg(QString::fromLatin1(column))), 1) << column;
    EXPECT_EQ(count(role.arg(QStringLiteral("A8_KUNDE"))), 0);
    // Every customer a price row names exists.
    for (const char *column : {"R_KUNDE", "A1_KUNDE", "A2_KUNDE", "A3_KUNDE", "A4_KUNDE"})
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LOGS_RECH R WHERE R.%1 IS NOT NULL AND NOT EXISTS "
                                       "(SELECT 1 FROM PERSONAL P WHERE P.ID_PERSONAL = R.%1)")
                            .arg(QString::fromLatin1(column))),
            0)
            << column;
}

TEST_F(DemoDatabaseTest, TextsAndSwitchesExist)
{
    // Every text the program looks up has a wording: the customer's when it
    // is not blank, else the standard one.
    QList<int> ids = {388, 1148, 700, 701, 726, 727, 729, 1135, 5008, 5945, 6371, 41};
    for (int id = 716; id <= 725; ++id)
        ids << id;
    for (int id = 4783; id <= 4789; ++id)
        ids << id;
    for (int id = 3074; id <= 3081; ++id)
        ids << id;
    for (int id = 1352; id <= 1383; ++id)
        if (id != 1357 && id != 1368)
            ids << id;
    for (int id : ids) {
        const QVariant text = db().value(
            QStringLiteral("SELECT CASE WHEN TRIM(IFNULL(CUSTOM_GERMAN, '')) <> '' THEN TRIM(CUSTOM_GERMAN) "
                           "ELSE TRIM(IFNULL(GERMAN, '')) END FROM STRINGS WHERE ID_STRING = %1")
                .arg(id));
        EXPECT_FALSE(text.toString().isEmpty()) << "text " << id;
    }
    EXPECT_GT(
        count(QStringLiteral("SELECT COUNT(*) FROM STRINGS WHERE CUSTOM_GERMAN <> '' AND TRIM(CUSTOM_GERMAN) = ''")),
        0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM STRINGS WHERE TRIM(CUSTOM_GERMAN) <> ''")), 0);

    // The eight switches of the record form, with values for the head block
    // (0, 1), the lot summary (2, 4) and both kinds present.
    const auto switches = db().rows(QStringLiteral(
        "SELECT PROPERTY_ID, NUMBER_VALUE FROM FORMS_CONFIG WHERE FORM_ID = 'F_STAMMEINKONF' AND PROPERTY_ID IN "
        "('ZUSATZTEXT', 'ZUSTEXT1', 'ZUSTEXT2', 'ZUSTEXT3', 'ZUSTEXT4', 'ZUSTEXT5', 'COORDINATE1', 'COORDINATE2')"));
    ASSERT_EQ(switches.size(), 8u);
    std::set<int> values;
    for (const auto &row : switches)
        values.insert(row[1].toInt());
    EXPECT_EQ(values, (std::set<int>{0, 1, 2, 4}));
    EXPECT_EQ(
        db().value(QStringLiteral("SELECT NUMBER_VALUE FROM OPTIONEN WHERE PROPERTY_ID = 'KUBATURPLACE'")).toInt(), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM DSART WHERE ID BETWEEN 1 AND 6 AND TRIM(NAME) <> ''")), 6);
}
