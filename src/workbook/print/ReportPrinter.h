#pragma once

#include <QString>

#include <functional>

class QIODevice;
class QPagedPaintDevice;

namespace tannbuch {

class Workbook;

// Turns the report into pages and prints them. Only the active sheet is
// printed (the selected sheet of the window); the program draws its pages
// itself (PageRenderer), no other program is involved in making the PDF.
//
// Printing hands the PDF to the print command: `lp [-d PRINTER] -n COPIES
// [-o collate=true]` by default; the environment variable
// TANNBUCH_PRINT_COMMAND replaces it (split like a command line, with double
// quotes around arguments holding blanks; it receives the PDF's path as its
// last argument and the printer, copies and collation in the environment
// variables TANNBUCH_PRINTER, TANNBUCH_COPIES and TANNBUCH_COLLATE), so
// tests and sites with their own spooler print into a folder or a command.
//
// Every step may be watched and cancelled: the progress function gets the
// pages done and the pages in all and answers false to stop. Cancelling
// leaves no file and no process behind.
//
// Pages with nothing on them are left out and not counted. A sheet whose
// area would span more than PageLayout::MaxPages pages is refused before
// anything is drawn, with a message naming the area's far corner.
//
// savedPath is the file the workbook is saved as, for the header and footer
// fields &F and &Z (empty: not saved).
class ReportPrinter
{
public:
    using Progress = std::function<bool(int done, int total)>;

    // Draws the active sheet's pages onto a paged device (a PDF writer, a
    // printer), setting its page layout. Answers false when cancelled.
    // Throws WorkbookError when the device refuses to paint or the sheet
    // spans too many pages.
    static bool paint(const Workbook &workbook, QPagedPaintDevice &device, const Progress &progress = {},
        const QString &savedPath = QString());
    // Writes the active sheet as PDF into the device. Answers false when
    // cancelled. Throws WorkbookError when nothing can be written.
    static bool writePdf(const Workbook &workbook, QIODevice &device, const Progress &progress = {},
        const QString &savedPath = QString());
    // Writes the PDF to pdfPath through a temporary file beside it, so a
    // failure or a cancel leaves no file (and an older file untouched).
    // Answers false when cancelled. Throws WorkbookError (disk full, no
    // right to write, too many pages) with a German message.
    static bool exportPdf(const Workbook &workbook, const QString &pdfPath, const Progress &progress = {},
        const QString &savedPath = QString());
    // Prints the workbook: copies and collation as given, on the named printer
    // (empty: the print system's default). Answers false when cancelled (a
    // running print command is stopped). Throws WorkbookError when the PDF
    // cannot be written or the print command fails.
    static bool print(const Workbook &workbook, int copies, bool collate, const QString &printer = QString(),
        const Progress &progress = {}, const QString &savedPath = QString());
};

} // namespace tannbuch
