#pragma once

#include <QString>

namespace tannbuch {

// Writes the demo templates OUTDIR/Tannbuch.xltx and
// OUTDIR/Tannbuch_Losweise.xltx (lot by lot, with its own head), each with the
// settings sheet "Einstellungen" (key, value and an explanation for the people
// who maintain templates) and the report sheet "Tannbuch" (head area above
// StartZeile, A4 print set-up, column widths). Creates OUTDIR when missing.
// Returns 0, or 1 after printing the German error message to standard error.
int writeDemoTemplates(const QString &outDir);

} // namespace tannbuch
