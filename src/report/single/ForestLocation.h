#pragma once

#include <QString>

namespace tannbuch {

struct ReportRun;
struct SheetCursor;

// A forest location as printed: the code parts joined by "/", the long name, or both in the long form.
QString forestLocationText(
    const QString &longName, const QString (&parts)[6], bool longForm, const QString &joiningWord);

// The WALDORT row of an id.
QString ForestLocationStatement(qint32 forestLocationId);

// Writes the bold forest-location line of a WALDORT id in column A; nothing for ids <= 0 or without a row.
void WriteForestLocation(ReportRun &run, SheetCursor &cursor, qint32 forestLocationId);

} // namespace tannbuch
