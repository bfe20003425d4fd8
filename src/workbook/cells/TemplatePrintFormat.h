#pragma once

#include <QMarginsF>
#include <QStringList>

namespace tannbuch {

// How the template's sheet prints beyond the page set-up the program
// changes (PageSetup): the file reader fills it once when it loads the
// sheet, printing reads it. A sheet not read from a file keeps the defaults.
struct TemplatePrintFormat
{
    double defaultRowHeight = 15.0; // points
    double defaultColumnWidth = -1.0; // the file's stored unit; below 0 = the standard 64 pixels

    bool fitToPage = false;
    int fitToWidth = 1; // pages across; 0 = as many as needed
    int fitToHeight = 1; // pages down; 0 = as many as needed
    int firstPageNumber = 1;

    bool centerHorizontally = false;
    bool centerVertically = false;
    bool gridLines = false;

    // Page margins in points; header and footer are the distances of the
    // header's top and the footer's bottom from the paper's edge.
    QMarginsF margins = QMarginsF(50.4, 54.0, 50.4, 54.0);
    double headerMargin = 21.6;
    double footerMargin = 21.6;

    // The texts of the sheet's defined names for the print area and for the
    // rows and columns printed on every page ("'Tannbuch'!$A$1:$P$40"), in
    // the workbook's order.
    QStringList printAreas;
    QStringList printTitles;
};

} // namespace tannbuch
