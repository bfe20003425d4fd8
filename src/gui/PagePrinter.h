#pragma once

#include "workbook/print/ReportPrinter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace tannbuch {

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

    // How the windows print, the report window's "Drucken" and the main
    // window's immediate print alike: through the print command when the
    // environment sets TANNBUCH_PRINT_COMMAND, else with print().
    static bool printWorkbook(const Workbook &workbook, const QString &printer, int copies, bool collate,
        const ReportPrinter::Progress &progress = {}, const QString &savedPath = QString());

    // The one message for a print system without any printer.
    static QString noPrinterMessage();

    // The entries of a printer choice, as label and printer name:
    // "Standarddrucker" (name empty: whichever is the default when printing)
    // when there is a default printer, then every printer by its name, the
    // default one first. Empty when there is no printer.
    static QList<std::pair<QString, QString>> printerChoices(const QStringList &printers, const QString &defaultName);
};

} // namespace tannbuch
