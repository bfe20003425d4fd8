#pragma once

#include <QString>

namespace tannbuch {

struct ReportRun;
struct Selection;

// Fills the report sheet for one print request: the additional-text switches,
// the template's macros, clearing the output area, the header lines and
// picture, the head block and the sections for the whole selection or lot by
// lot with an overall block, column widths, the totals block, header and
// footer, showing, printing at once and saving. The chosen selection is
// read, never changed; the sheet cursor lives for this one run. The run
// reads one snapshot of the database where the engine allows; a provision
// read on the server that the host changes meanwhile stops the run before
// printing and saving (DbError).
//
// Only a failing immediate print is caught here (the user is told and the run
// goes on); every other failure (DbError, WorkbookError) leaves what was
// written so far and goes to the caller.
void Workbook_Aktualisieren(ReportRun &run, const Selection &chosen);

// The name an unattended report is saved under in the save folder:
// provision, "_", list number, ".xlsx" (path separators become "_").
QString ReportFileName(const QString &provisionName, const QString &listNumber);

// What of the connection string a saved report may keep: "Provider=" and the
// provider's name when that is a plain name, else an empty text. Server, user
// and password never reach the file.
QString StoredConnection(const QString &connectionString);

} // namespace tannbuch
