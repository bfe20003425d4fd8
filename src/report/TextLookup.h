#pragma once

#include <QString>

namespace tannbuch {

class Connection;

// Display text by text id from table STRINGS: the customer's own wording
// (CUSTOM_GERMAN) when it is not blank, else the standard wording (GERMAN),
// both trimmed; an empty text for an id without a row. Database errors
// propagate as DbError.
QString GetString(Connection &db, qint32 id);

// The statement GetString runs for a text id.
QString TextStatement(qint32 id);

// Caption of the business-year box for a business-year column: the text of
// its id (RELTABLE1 -> 716 ... in the host's order), or "HHJahr:" for any
// other column. The column is compared in upper case, without trimming.
QString GetRelTableCaption(Connection &db, const QString &column);

// Text id of a business-year column, 0 when none.
qint32 RelTableCaptionId(const QString &column);

} // namespace tannbuch
