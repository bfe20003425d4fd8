#include "report/common/SingleLogQuery.h"
#include "db/SqliteBackend.h"
#include "report/ReportSettings.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace tannbuch {

namespace {

// The record columns as the row loop expects them, CRs included.
QString fixedPart()
{
    return QStringLiteral("SELECT LOGS.ID_LOG, LOGS.DSART, LOGS.LOS, LOGS.ZUSTXT AS EINZELSTAMMBEMERKUNG, "
                          "ISNULL(LOGS.POLTNR,'0') POLTNR, ISNULL(LOGS.COORDINATE1,'') COORDINATE1, "
                          "ISNULL(LOGS.COORDINATE2,'') COORDINATE2, LOGS.BLNR, LOGS.KLST, LOGS.HA, LOGS.HS, "
                          "LOGS.GKL, LOGS.STKL, LOGS.LAENGE, \r"
                          " LOGS.STAPELLANGE, LOGS.KORREKTUR, LOGS.DURCH, LOGS.STK, LOGS.KUBATUR, LOGS.UFAKT_RM, "
                          "LOGS.UFAKT_STK, LOGS.UFAKT_ATO, LOGS.KUBRM,  \r"
                          " LOGS.KUBLUTO, LOGS.UFAKT_LUT, ISNULL(WARENEINHEIT.GEWICHT_LUTRO,0) GEWICHT_LUTRO, "
                          "WARENEINHEIT.EINHEIT, \r"
                          " LOGS.KUBATRO, LOGS.ID_WALDORT, LOGS.ID_MANTEL, \r"
                          " KUBATURKLASSE.KKLASSE AS KKLASSE, \r"
                          " CASE WHEN LOGS.DSART = 6 THEN NULL ELSE RINDENKENNZ.RINDENKENNZ END AS ENTRINDUNG, \r"
                          " LISTENART.TEXT AS LISTENART,  \r"
                          " CASE LOGS.RINDEPROZENT WHEN 1 THEN '%' WHEN 0 THEN 'cm' ELSE '' END AS RINDEPROZENT  \r");
}

QString sourcePart()
{
    return QStringLiteral(" FROM LOGS LEFT JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = LOGS.ID_MASSEINHEIT \r"
                          " LEFT JOIN LISTENART ON LOGS.LISTENART = LISTENART.LISTENART  \r"
                          " LEFT JOIN KUBATURKLASSE ON  LOGS.KKLASSE = KUBATURKLASSE.ID  \r"
                          " LEFT JOIN LOGS_RECH ON  LOGS.ID_LOG = LOGS_RECH.ID_LOG  \r"
                          "left join transportlogistik tl on tl.id = logs.id_transportlogistik\r"
                          "left join transportlogistik_waggon tlw on tlw.id = tl.id_transportlogistik_waggon\r"
                          " LEFT JOIN RINDENKENNZ ON LOGS.ID_RINDENKENNZ = RINDENKENNZ.ID_RINDENKENNZ  WHERE ");
}

const QString Filter = QStringLiteral("LOGS.LISTE = '4711' ");

std::vector<ColumnEntry> entries(const QStringList &expressions)
{
    std::vector<ColumnEntry> out;
    for (const QString &e : expressions)
        out.push_back({QStringLiteral("Caption"), e});
    return out;
}

} // namespace

// --- Columns added from the column list (empty entries add nothing) -------

TEST(SingleLogQueryAdded, BarkValueIsNullForTypeSix)
{
    // The settings sheet's bark column and the bare column.
    for (const QString &e : {ColumnExpression(QStringLiteral("RINDE_WERT")), QStringLiteral("LOGS.RINDE_WERT")}) {
        EXPECT_EQ(SingleLogQuery(Filter, 0, entries({e})),
            fixedPart() + QStringLiteral(", CASE WHEN DSART = 6 THEN NULL ELSE ") + e + QStringLiteral(" END as [") + e
                + QStringLiteral("]") + sourcePart() + Filter)
            << e.toStdString();
    }
}

TEST(SingleLogQueryAdded, TransportDatesComeAsGermanDateText)
{
    for (const QString &e :
        {QStringLiteral("TL.EINGANGS_DATUM"), QStringLiteral("TLW.DATUM_VERLADE"), QStringLiteral("TL.Z_DATUM_1")}) {
        EXPECT_EQ(SingleLogQuery(Filter, 0, entries({e})),
            fixedPart() + QStringLiteral(",  convert(nvarchar(10),") + e + QStringLiteral(",104) as [") + e
                + QStringLiteral("]") + sourcePart() + Filter)
            << e.toStdString();
    }
    // Other transport columns are plain columns.
    EXPECT_EQ(SingleLogQuery(Filter, 0, entries({QStringLiteral("TL.KENNZEICHEN")})),
        fixedPart() + QStringLiteral(", TL.KENNZEICHEN as [TL.KENNZEICHEN]") + sourcePart() + Filter);
}

TEST(SingleLogQueryAdded, ColumnsOfTheFixedPartAreNotAddedAgain)
{
    EXPECT_EQ(SingleLogQuery(Filter, 0,
                  entries({QStringLiteral("KKLASSE"), QStringLiteral("LISTENART"), QStringLiteral("ENTRINDUNG"),
                      QStringLiteral("RINDEPROZENT")})),
        fixedPart() + sourcePart() + Filter);
    // The comparison is exact: another spelling is an ordinary column.
    EXPECT_EQ(SingleLogQuery(Filter, 0, entries({QStringLiteral("listenart")})),
        fixedPart() + QStringLiteral(", listenart as [listenart]") + sourcePart() + Filter);
}

TEST(SingleLogQueryAdded, MixedListKeepsIndexOrderAndDuplicates)
{
    const auto list = entries({QString(), QStringLiteral("LOGS_RECH.PREIS"), QStringLiteral("LISTENART"), QString(),
        QStringLiteral("TL.Z_DATUM_1"), QStringLiteral("LOGS.RINDE_WERT"), QStringLiteral("LOGS_RECH.PREIS"),
        QString()});
    EXPECT_EQ(SingleLogQuery(Filter, 2, list),
        fixedPart() + QStringLiteral(", LOGS_RECH.PREIS as [LOGS_RECH.PREIS]")
            + QStringLiteral(",  convert(nvarchar(10),TL.Z_DATUM_1,104) as [TL.Z_DATUM_1]")
            + QStringLiteral(", CASE WHEN DSART = 6 THEN NULL ELSE LOGS.RINDE_WERT END as [LOGS.RINDE_WERT]")
            + QStringLiteral(", LOGS_RECH.PREIS as [LOGS_RECH.PREIS]") + sourcePart() + Filter
            + QStringLiteral("ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR"));
}

// --- Sort orders -------------------------------------------------------------

// Sort orders 1 to 6 append their clause; any other ends with the filter.
TEST(SingleLogQueryOrder, EverySortOrderAppendsItsClause)
{
    const std::vector<std::pair<int, QString>> cases{
        {1, QStringLiteral("ORDER BY LOGS.ID_WALDORT, LOGS.ID_LOG, LOGS.POLTNR")},
        {2, QStringLiteral("ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR")},
        {3, QStringLiteral("ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.ID_WALDORT")},
        {4, QStringLiteral("ORDER BY LOGS.ID_LOG, LOGS.POLTNR ")},
        {5, QStringLiteral("ORDER BY DSART, LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR, LOGS.ID_LOG")},
        {6, QStringLiteral("ORDER BY LOGS.BLNR")},
        {0, QString()},
        {7, QString()},
        {-1, QString()},
    };
    for (const auto &[sort, clause] : cases)
        EXPECT_EQ(SingleLogQuery(Filter, sort, {}), fixedPart() + sourcePart() + Filter + clause) << "sort " << sort;
}

// The composed statement runs on the demo database through the dialect
// adapter, with every special column kind and every sort order.
TEST(SingleLogQueryOnDemo, RunsForEverySortOrder)
{
    SqliteBackend db(QStringLiteral(TANNBUCH_DEMO_DB));
    const std::vector<ColumnEntry> columns = {{}, {QStringLiteral("RINDE"), QStringLiteral("LOGS.RINDE_WERT")},
        {QStringLiteral("EINGANG"), QStringLiteral("TL.EINGANGS_DATUM")},
        {QStringLiteral("PREIS"), QStringLiteral("LOGS_RECH.R_PREIS")},
        {QStringLiteral("WAGGON"), QStringLiteral("TLW.WAGGON_NR")},
        {QStringLiteral("KUB.KL."), QStringLiteral("KKLASSE")}, {}};
    for (int sort = 0; sort <= 7; ++sort) {
        const ResultData result = db.query(SingleLogQuery(QStringLiteral("LOGS.LISTE = '4711'"), sort, columns));
        EXPECT_EQ(result.rows.size(), 316u) << "sort order " << sort;
        EXPECT_TRUE(result.columns.contains(QStringLiteral("TL.EINGANGS_DATUM"))) << "sort order " << sort;
    }
}

} // namespace tannbuch
