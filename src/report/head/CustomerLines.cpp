#include "CustomerLines.h"

#include "report/head/HeadLine.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "report/ReportRun.h"
#include "report/SheetCursor.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"

#include <QStringList>

namespace tannbuch {

QString addressColumnList(const QString &addressFormat)
{
    if (addressFormat == QLatin1String("1"))
        return QStringLiteral("NUMMER,, NAME, VORNAME,, PLZ, ORT,, STRASSE");
    if (addressFormat == QLatin1String("2"))
        return QStringLiteral("NUMMER,, NAME, VORNAME,, STRASSE,, PLZ, ORT");
    return QStringLiteral("NAME, VORNAME,, STRASSE,, PLZ, ORT");
}

QString customerQuery(int role, const QString &filter)
{
    // The pieces are joined as they stand, so the statement has two blanks
    // before "ON" and, for the further roles, two before "INNER" as well.
    if (role == 0) {
        return QStringLiteral("SELECT * FROM PERSONAL WHERE ID_PERSONAL IN ")
            + QStringLiteral("(SELECT DISTINCT(R_KUNDE) FROM LOGS_RECH INNER JOIN LOGS ")
            + QStringLiteral(" ON LOGS_RECH.ID_LOG=LOGS.ID_LOG WHERE ") + filter
            + QStringLiteral(" AND NOT R_KUNDE IS NULL) ORDER BY KURZBEZEICHNUNG");
    }
    const QString k = QString::number(role);
    return QStringLiteral("SELECT * FROM PERSONAL WHERE ID_PERSONAL IN ") + QStringLiteral("(SELECT DISTINCT(A") + k
        + QStringLiteral("_KUNDE) FROM LOGS_RECH  INNER JOIN LOGS ")
        + QStringLiteral(" ON LOGS_RECH.ID_LOG=LOGS.ID_LOG WHERE ") + filter + QStringLiteral(" AND NOT A") + k
        + QStringLiteral("_KUNDE IS NULL) ORDER BY KURZBEZEICHNUNG");
}

QString customerLine(const Recordset &customer, const QString &columnList)
{
    // An empty item stands for a comma; a column's value follows a blank
    // unless it opens the line. A NULL value leaves only its blank behind.
    QString line;
    const QStringList items = columnList.split(QLatin1Char(','));
    for (const QString &rawItem : items) {
        const QString item = rawItem.trimmed();
        if (item.isEmpty()) {
            line += QLatin1Char(',');
            continue;
        }
        const int column = customer.indexOf(item);
        if (column < 0) {
            throw DbError(QStringLiteral("Das Adressformat nennt die Spalte \"%1\", die es in der Tabelle PERSONAL "
                                         "nicht gibt.")
                              .arg(item));
        }
        const QString value = headValueText(customer.value(column));
        if (line.isEmpty())
            line = value;
        else
            line += QLatin1Char(' ') + value;
    }
    line = line.trimmed();
    if (!line.isEmpty() && line.endsWith(QLatin1Char(',')))
        line.chop(1);
    return line;
}

void WriteCustomerLines(ReportRun &run, const Selection &selection, SheetCursor &cursor, int role,
    const QString &columnList, const QString &valueColumn)
{
    if (role < 0 || role > 8)
        return;
    Recordset rs = run.db->execute(customerQuery(role, selection.filter));
    for (; !rs.eof(); rs.moveNext()) {
        const QString line = customerLine(rs, columnList);
        run.xl->range(valueColumn + QString::number(cursor.row)).setValue(line);
        ++cursor.row;
    }
    rs.close();
}

} // namespace tannbuch
