#include "SingleLogQuery.h"

namespace tannbuch {

namespace {

const QChar CR(13);

// The record columns every single-log row carries, in the order the row loop
// knows them. The last one has no trailing comma: every added column brings
// its own leading ", ".
QString fixedColumns()
{
    return QStringLiteral("SELECT LOGS.ID_LOG, LOGS.DSART, LOGS.LOS, LOGS.ZUSTXT AS EINZELSTAMMBEMERKUNG, "
                          "ISNULL(LOGS.POLTNR,'0') POLTNR, ISNULL(LOGS.COORDINATE1,'') COORDINATE1, "
                          "ISNULL(LOGS.COORDINATE2,'') COORDINATE2, LOGS.BLNR, LOGS.KLST, LOGS.HA, LOGS.HS, "
                          "LOGS.GKL, LOGS.STKL, LOGS.LAENGE, ")
        + CR
        + QStringLiteral(" LOGS.STAPELLANGE, LOGS.KORREKTUR, LOGS.DURCH, LOGS.STK, LOGS.KUBATUR, LOGS.UFAKT_RM, "
                         "LOGS.UFAKT_STK, LOGS.UFAKT_ATO, LOGS.KUBRM,  ")
        + CR
        + QStringLiteral(" LOGS.KUBLUTO, LOGS.UFAKT_LUT, ISNULL(WARENEINHEIT.GEWICHT_LUTRO,0) GEWICHT_LUTRO, "
                         "WARENEINHEIT.EINHEIT, ")
        + CR + QStringLiteral(" LOGS.KUBATRO, LOGS.ID_WALDORT, LOGS.ID_MANTEL, ") + CR
        + QStringLiteral(" KUBATURKLASSE.KKLASSE AS KKLASSE, ") + CR
        + QStringLiteral(" CASE WHEN LOGS.DSART = 6 THEN NULL ELSE RINDENKENNZ.RINDENKENNZ END AS ENTRINDUNG, ") + CR
        + QStringLiteral(" LISTENART.TEXT AS LISTENART,  ") + CR
        + QStringLiteral(" CASE LOGS.RINDEPROZENT WHEN 1 THEN '%' WHEN 0 THEN 'cm' ELSE '' END AS RINDEPROZENT  ") + CR;
}

// One added column for a column-list entry, aliased by its own expression so
// the row loop finds it under that name.
QString addedColumn(const QString &e)
{
    if (e.isEmpty() || e == u"KKLASSE" || e == u"LISTENART" || e == u"ENTRINDUNG" || e == u"RINDEPROZENT")
        return QString(); // empty, or already among the record columns
    // No bark value on type-6 records, in whichever form the column names it
    // (the settings sheet's column wraps it in ISNULL).
    if (e == u"LOGS.RINDE_WERT" || e == u"ISNULL(LOGS.RINDE_WERT,0)")
        return QStringLiteral(", CASE WHEN DSART = 6 THEN NULL ELSE ") + e + QStringLiteral(" END as [") + e
            + QStringLiteral("]");
    if (e == u"TL.EINGANGS_DATUM" || e == u"TLW.DATUM_VERLADE" || e == u"TL.Z_DATUM_1") // dates as dd.mm.yyyy
        return QStringLiteral(",  convert(nvarchar(10),") + e + QStringLiteral(",104) as [") + e + QStringLiteral("]");
    return QStringLiteral(", ") + e + QStringLiteral(" as [") + e + QStringLiteral("]");
}

// Outer joins throughout: a record lacking unit, list type, volume class,
// price row, transport record or debarking code is still listed.
QString sourcePart()
{
    return QStringLiteral(" FROM LOGS LEFT JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = LOGS.ID_MASSEINHEIT ") + CR
        + QStringLiteral(" LEFT JOIN LISTENART ON LOGS.LISTENART = LISTENART.LISTENART  ") + CR
        + QStringLiteral(" LEFT JOIN KUBATURKLASSE ON  LOGS.KKLASSE = KUBATURKLASSE.ID  ") + CR
        + QStringLiteral(" LEFT JOIN LOGS_RECH ON  LOGS.ID_LOG = LOGS_RECH.ID_LOG  ") + CR
        + QStringLiteral("left join transportlogistik tl on tl.id = logs.id_transportlogistik") + CR
        + QStringLiteral("left join transportlogistik_waggon tlw on tlw.id = tl.id_transportlogistik_waggon") + CR
        + QStringLiteral(" LEFT JOIN RINDENKENNZ ON LOGS.ID_RINDENKENNZ = RINDENKENNZ.ID_RINDENKENNZ  WHERE ");
}

} // namespace

QString SingleLogOrderBy(int einzSort)
{
    switch (einzSort) {
    case 1:
        return QStringLiteral("ORDER BY LOGS.ID_WALDORT, LOGS.ID_LOG, LOGS.POLTNR");
    case 2:
        return QStringLiteral("ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR");
    case 3:
        return QStringLiteral("ORDER BY LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.ID_WALDORT");
    case 4:
        return QStringLiteral("ORDER BY LOGS.ID_LOG, LOGS.POLTNR ");
    case 5:
        return QStringLiteral("ORDER BY DSART, LOGS.LISTE, LOGS.POLTNR, LOGS.LOS, LOGS.BLNR, LOGS.ID_LOG");
    case 6:
        return QStringLiteral("ORDER BY LOGS.BLNR");
    default:
        return QString();
    }
}

QString SingleLogQuery(const QString &filter, int einzSort, const std::vector<ColumnEntry> &columnList)
{
    QString sql = fixedColumns();
    for (const ColumnEntry &entry : columnList)
        sql += addedColumn(entry.expression);
    return sql + sourcePart() + filter + SingleLogOrderBy(einzSort);
}

QString HeightProbeStatement(const QString &idLog)
{
    return QStringLiteral("SELECT SCHICHT_HOEHEN.HEIGHT FROM LOGS INNER JOIN SCHICHT_HOEHEN ON LOGS.ID_LOG = "
                          "SCHICHT_HOEHEN.ID_LOG WHERE LOGS.ID_LOG = ")
        + idLog + QStringLiteral(" ");
}

QString RecordTypeNameStatement(int type)
{
    return QStringLiteral("select name from dsart where id = ") + QString::number(type);
}

} // namespace tannbuch
