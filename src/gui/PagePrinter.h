#pragma once

#include "workbook/print/ReportPrinter.h"

#include <QString>

class Workbook;

// Prints the report's pages through Qt's print support, on a printer of the
// print system (CUPS): the pages are drawn straight onto the printer, no PDF
// in between. May run on a worker thread.
class PagePrinter
{
public:
    // Prints the active sheet on the named printer (empty: the default one)
    // with copies and collation as given; savedPath is the file the workbook
    // is saved as (for &F and &Z). Answers false when cancelled (the job is
    // withdrawn). Throws WorkbookError with a German message when there is
    // no such printer or the job cannot be started.
    static bool print(const Workbook &workbook, const QString &printer, int copies, bool collate,
        const ReportPrinter::Progress &progress = {}, const QString &savedPath = QString());
};
