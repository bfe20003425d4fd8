#pragma once

#include <QString>

class QVariant;

namespace tannbuch {

struct ReportRun;
struct Selection;
struct SheetCursor;

// The list head block that opens every report block: list title, lots, list
// dates, additional texts, relation tables, sales type, customers, the typed
// list header fields, the additional texts and coordinates of the records,
// wagon number and note. Every procedure writes from the sheet cursor down and
// leaves the cursor on the first free row. Database (DbError) and workbook
// (WorkbookError) failures go to the caller, except for the list header
// additional text (see WriteListHead).

// Writes the whole head block for the selection and closes it with one blank row.
void WriteListHead(ReportRun &run, const Selection &selection, SheetCursor &cursor);

// Writes the typed fields TEXT1-15, NUMBER1-10 and DATE1-5 of the current list's LISTENKOPF row as head lines.
void WriteListHeaderFields(ReportRun &run, const Selection &selection, SheetCursor &cursor);

// Writes ZUSTEXT1-5 and COORDINATE1-2 of the selection as head lines, each where its additional-text switch is 0 or 1.
void WriteAdditionalTexts(ReportRun &run, const Selection &selection, SheetCursor &cursor);

// Writes wagon number and note of the selection's first record combination as head lines.
void WriteWagonAndNote(ReportRun &run, const Selection &selection, SheetCursor &cursor);

// A list header number as printed: "0.00" in the report locale (12.5 -> "12,50" in German).
QString listHeaderNumberText(const QVariant &value);

// A list header date as printed: dd.mm.yyyy; a text that is no date stays as it is.
QString listHeaderDateText(const QVariant &value);

} // namespace tannbuch
