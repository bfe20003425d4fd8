#pragma once

#include <QString>

class Workbook;

// Turns a workbook into a PDF with the office suite in headless mode and sends
// it to the printer. Only the active sheet is printed (the selected sheet of
// the window); the others go into the temporary file hidden. The print command
// is `lp [-d PRINTER] -n COPIES [-o collate=true]` by default; the environment
// variable TANNBUCH_PRINT_COMMAND replaces it (split like a command line, with
// double quotes around arguments holding blanks; it receives the PDF's path as
// its last argument and the printer, copies and collation in the environment
// variables TANNBUCH_PRINTER, TANNBUCH_COPIES and TANNBUCH_COLLATE), so tests
// print into a folder.
class ReportPrinter
{
public:
    // Writes the workbook as PDF to pdfPath. Throws WorkbookError (office
    // suite missing, conversion failed).
    static void exportPdf(const Workbook &workbook, const QString &pdfPath);
    // Prints the workbook: copies and collation as given, on the named printer
    // (empty: the print system's default). Throws WorkbookError when
    // conversion or the print command fails.
    static void print(const Workbook &workbook, int copies, bool collate, const QString &printer = QString());
};
