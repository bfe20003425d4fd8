#include "ForestLocation.h"

#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "workbook/automation/Application.h"

namespace tannbuch {

namespace {

constexpr qint32 ForestLocationLabelId = 388;
constexpr qint32 JoiningWordId = 1148;

} // namespace

QString forestLocationText(
    const QString &longName, const QString (&parts)[6], bool longForm, const QString &joiningWord)
{
    if (!longName.isEmpty() && !longForm)
        return longName;

    // District / compartment / subcompartment ...: the first part always,
    // the others only when they are there.
    QString code = parts[0];
    for (int i = 1; i < 6; ++i) {
        if (!parts[i].isEmpty())
            code += QLatin1Char('/') + parts[i];
    }
    // The long form adds the name, unless the name only repeats the code
    // with blanks for the slashes.
    QString codeWithBlanks = code;
    codeWithBlanks.replace(QLatin1Char('/'), QLatin1Char(' '));
    if (longForm && !longName.isEmpty() && longName != codeWithBlanks)
        return code + QLatin1Char(' ') + joiningWord + QStringLiteral(": ") + longName;
    return code;
}

QString ForestLocationStatement(qint32 forestLocationId)
{
    return QStringLiteral("SELECT * FROM WALDORT WHERE ID_WALDORT = ") + QString::number(forestLocationId);
}

void WriteForestLocation(ReportRun &run, SheetCursor &cursor, qint32 forestLocationId)
{
    if (forestLocationId <= 0)
        return;
    Recordset rs = run.lookup(ForestLocationStatement(forestLocationId));
    if (rs.eof()) {
        rs.close();
        return;
    }

    const QString longName = rs.text(QStringLiteral("LANGNAME")).trimmed();
    QString parts[6];
    for (int i = 0; i < 6; ++i)
        parts[i] = rs.text(QStringLiteral("WO") + QString::number(i + 1)).trimmed();
    rs.close();

    const bool longForm = run.settings->lWaldortLang;
    // The joining word is looked up only when the long form can use it.
    const QString joiningWord = longForm && !longName.isEmpty() ? run.text(JoiningWordId) : QString();
    const QString location = forestLocationText(longName, parts, longForm, joiningWord);
    if (location.isEmpty())
        return;

    Range cell = run.xl->cells(cursor.row, 1);
    cell.setValue(QString(run.text(ForestLocationLabelId) + QStringLiteral(":  ") + location));
    cell.font().setBold(true);
    ++cursor.row;
}

} // namespace tannbuch
