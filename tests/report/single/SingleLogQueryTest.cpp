#include "report/common/SingleLogQuery.h"
#include "report/ReportSettings.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

// The record columns as the row loop expects them, CRs included.
QString fixedPart()
{
    return u"SELECT LOGS.ID_LOG, LOGS.DSART, LOGS.LOS, LOGS.ZUSTXT AS EINZELSTAMMBEMERKUNG, "
           u"ISNULL(LOGS.POLTNR,'0') POLTNR, ISNULL(LOGS.COORDINATE1,'') COORDINATE1, "
           u"ISNULL(LOGS.COORDINATE2,'') COORDINATE2, LOGS.BLNR, LOGS.KLST, LOGS.HA, LOGS.HS, "
           u"LOGS.GKL, LOGS.STKL, LOGS.LAENGE, \r"
           u" LOGS.STAPELLANGE, LOGS.KORREKTUR, LOGS.DURCH, LOGS.STK, LOGS.KUBATUR, LOGS.UFAKT_RM, "
           u"LOGS.UFAKT_STK, LOGS.UFAKT_ATO, LOGS.KUBRM,  \r"
           u" LOGS.KUBLUTO, LOGS.UFAKT_LUT, ISNULL(WARENEINHEIT.GEWICHT_LUTRO,0) GEWICHT_LUTRO, "
           u"WARENEINHEIT.EINHEIT, \r"
           u" LOGS.KUBATRO, LOGS.ID_WALDORT, LOGS.ID_MANTEL, \r"
           u" KUBATURKLASSE.KKLASSE AS KKLASSE, \r"
           u" CASE WHEN LOGS.DSART = 6 THEN NULL ELSE RINDENKENNZ.RINDENKENNZ END AS ENTRINDUNG, \r"
           u" LISTENART.TEXT AS LISTENART,  \r"
           u" CASE LOGS.RINDEPROZENT WHEN 1 THEN '%' WHEN 0 THEN 'cm' ELSE '' END AS RINDEPROZENT  \r"_s;
}

QString sourcePart()
{
    return u" FROM LOGS LEFT JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = LOGS.ID_MASSEINHEIT \r"
           u" LEFT JOIN LISTENART ON LOGS.LISTENART = LISTENART.LISTENART  \r"
           u" LEFT JOIN KUBATURKLASSE ON  LOGS.KKLASSE = KUBATURKLASSE.ID  \r"
           u" LEFT JOIN LOGS_RECH ON  LOGS.ID_LOG = LOGS_RECH.ID_LOG  \r"
           u"left join transportlogistik tl on tl.id = logs.id_transportlogistik\r"
           u"left join transportlogistik_waggon tlw on tlw.id = tl.id_transportlogistik_waggon\r"
           u" LEFT JOIN RINDENKENNZ ON LOGS.ID_RINDENKENNZ = RINDENKENNZ.ID_RINDENKENNZ  WHERE "_s;
}

const QString Filter = u"LOGS.LISTE = '4711' "_s;

std::vector<ColumnEntry> entries(const QStringList &expressions)
{
    std::vector<ColumnEntry> out;
    for (const QString &e : expressions)
        out.push_back({u"Caption"_s, e});
    return out;
}

} // namespace

// --- Columns added from the column list (empty entries add nothing) -------

TEST(SingleLogQueryAdded, BarkValueIsNullForTypeSix)
{
    // The settings sheet's bark column and the bare column.
    for (const QString &e : {ColumnExpression(u"RINDE_WERT"_s), u"LOGS.RINDE_WERT"_s}) {
        EXPECT_EQ(SingleLogQuery(Filter, 0, entries({e})),
            fixedPart() + u", CASE WHEN DSART = 6 THEN NULL ELSE "_s + e + u" END as ["_s + e + u"]"_s + sourcePart()
                + Filter)
            << e.toStdString();
    }
}

TEST(SingleLogQueryAdded, TransportDatesComeAsGermanDateText)
{
    for (const QString &e : {u"TL.EINGANGS_DATUM"_s, u"TLW.DATUM_VERLADE"_s, u"TL.Z_DATUM_1"_s}) {
        EXPECT_EQ(SingleLogQuery(Filter, 0, entries({e})),
            fixedPart() + u",  convert(nvarchar(10),"_s + e + u",104) as ["_s + e + u"]"_s + sourcePart() + Filter)
            << e.toStdString();
    }
    // Other transport columns are plain columns.
    EXPECT_EQ(SingleLogQuery(Filter, 0, entries({u"TL.KENNZEICHEN"_s})),
        fixedPart() + u", TL.KENNZEICHEN as [TL.KENNZEICHEN]"_s + sourcePart() + Filter);
}

TEST(SingleLogQueryAdded, ColumnsOfTheFixedPartAreNotAddedAgain)
{
    EXPECT_EQ(SingleLogQuery(Filter, 0, entries({u"KKLASSE"_s, u"LISTENART"_s, u"ENTRINDUNG"_s, u"RINDEPROZENT"_s})),
        fixedPart() + sourcePart() + Filter);
    // The comparison is exact: another spelling is an ordinary column.
    EXPECT_EQ(SingleLogQuery(Filter, 0, entries({u"listenart"_s})),
        fixedPart() + u", listenart as [listenart]"_s + sourcePart() + Filter);
}

TEST(SingleLogQueryAdded, MixedListKeepsIndexOrderAndDuplicates)
{
    const auto list = entries({QString(), u"LOGS_RECH.PREIS"_s, u"LISTENART"_s, QString(), u"TL.Z_DATUM_1"_s,
        u"LOGS.RINDE_WERT"_s, u"LOGS_RECH.PREIS"_s, QString()});
    EXPECT_EQ(SingleLogQuery(Filter, 2, list),
        fixedPart() + u", LOGS_RECH.PREIS as [LOGS_RECH.PREIS]"_s
            + u",  convert(nvarchar(10),TL.Z_DATUM_1,104) as [TL.Z_DATUM_1]"_s
            + u", CASE WHEN DSART = 6 THEN NULL ELSE LOGS.RINDE_WERT END as [LOGS.RINDE_WERT]"_s
            + u", LOGS_RECH.PREIS as [LOGS_RECH.PREIS]"_s + sourcePart() + Filter
            + u"ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR"_s);
}

// --- Sort orders -------------------------------------------------------------

// Sort orders 1 to 6 append their clause; any other ends with the filter.
TEST(SingleLogQueryOrder, EverySortOrderAppendsItsClause)
{
    const std::vector<std::pair<int, QString>> cases{
        {1, u"ORDER BY LOGS.ID_WALDORT, LOGS.ID_LOG, LOGS.POLTNR"_s},
        {2, u"ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR"_s},
        {3, u"ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.ID_WALDORT"_s},
        {4, u"ORDER BY LOGS.ID_LOG, LOGS.POLTNR "_s},
        {5, u"ORDER BY DSART, LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR, LOGS.ID_LOG"_s},
        {6, u"ORDER BY LOGS.BLNR"_s},
        {0, QString()},
        {7, QString()},
        {-1, QString()},
    };
    for (const auto &[sort, clause] : cases)
        EXPECT_EQ(SingleLogQuery(Filter, sort, {}), fixedPart() + sourcePart() + Filter + clause) << "sort " << sort;
}

} // namespace tannbuch
