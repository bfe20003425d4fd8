#pragma once

#include "selection/SelectionFilter.h"
#include "selection/SelectionStatements.h"

#include <QString>
#include <QStringList>

namespace tannbuch {

class Program;

// One print request, as the main window's controls or the host's command
// line give it: which list, which of its lots or piles, how the report is
// sorted and laid out, and where an unattended report goes.
struct PrintRequest
{
    QString listNumber; // the list as the list browser shows it; empty: none
    QString listTypeText; // the text of the list-type box; empty: none
    LotMode lotMode = LotMode::Lots;
    QStringList shownEntries; // the lots or piles the picker shows, in its order
    QStringList markedEntries; // the marked ones, in the picker's order
    qint16 sortOrder = 1; // EinzSort, 1 to 6
    // The report switches: 0 off, 1 on, 2 greyed by the template.
    qint16 lLosweise = 0;
    qint16 lSofortDruck = 0;
    qint16 lEinzeln = 0;
    qint16 lVerdichtet = 0;
    QString provisionName; // narrows the report to the provision's logs
    QString saveFolder; // the report is saved there when set

    bool operator==(const PrintRequest &) const = default;
};

// What became of a print request.
struct PrintOutcome
{
    QString savedFile; // the workbook saved in the save folder, or empty
    QStringList warnings; // what the report had to leave out; it is good all the same
    QStringList errorMessages; // what went wrong, in the order it happened
    bool failed = false;
    // The report driver ran, so the workbook holds what it wrote (all of it,
    // or what came before a failure).
    bool reportWritten = false;
    // What the report printed: its filter, list, lots and list type (empty
    // when no report was written).
    Selection selection;
};

// Runs a print request on a started program: opens the report workbook when
// the user closed it, checks the list and the provision, builds the selection
// filter, makes a report run of its own with a copy of the program's settings
// that takes the request's switches, and runs the report driver on it (which
// prints at once and saves as the switches and the save folder say); nothing
// the run changes outlives the request. Then it writes a PDF beside the saved
// workbook of an unattended report when the ini file says SavePdf=1, never
// leaving the PDF of an earlier report beside the new workbook
// (PdfBesideWorkbook). The report forgets the file the workbook was saved as
// before. Failures, database and workbook errors included, come back in the
// outcome; nothing throws and nothing is shown but the driver's status and
// progress.
PrintOutcome RunPrintJob(Program &program, const PrintRequest &request);

// The lot or pile entries in the order the picker shows them: numeric order
// when every entry is a whole number, else as the database gave them.
QStringList SortedLotEntries(QStringList entries);

} // namespace tannbuch
