#pragma once

#include "workbook/cells/CellAddress.h"

#include <QMarginsF>
#include <QPageSize>
#include <QString>

namespace tannbuch {

class Workbook;

// How one sheet prints, everything resolved from the model's page set-up and
// the template's print format the file reader stored with the sheet: paper,
// orientation, margins, scale or fitting to pages, print area, rows and
// columns repeated on every page, centring, grid lines, header and footer,
// and the sheet's default row height and column width.
struct PrintSetup
{
    QPageSize paper = QPageSize(QPageSize::A4);
    bool landscape = false;
    // Page margins in points; header and footer are the distances of the
    // header's top and the footer's bottom from the paper's edge.
    QMarginsF margins = QMarginsF(50.4, 54.0, 50.4, 54.0);
    double headerMargin = 21.6;
    double footerMargin = 21.6;

    int scale = 100; // percent, 10..400
    bool fitToPage = false;
    int fitToWidth = 1; // pages across; 0 = as many as needed
    int fitToHeight = 1; // pages down; 0 = as many as needed

    // The area to print; firstRow 0 means the used part of the sheet.
    RangeRef printArea;
    // Rows and columns printed on every page (0 = none).
    int titleFirstRow = 0;
    int titleLastRow = 0;
    int titleFirstColumn = 0;
    int titleLastColumn = 0;

    bool centerHorizontally = false;
    bool centerVertically = false;
    bool gridLines = false;
    int firstPageNumber = 1;

    QString header; // in the file's &-code form
    QString footer;

    double defaultRowHeight = 15.0; // points
    double defaultColumnWidth = -1.0; // the file's stored unit; below 0 = the standard 64 pixels

    // The set-up of the workbook's sheet at that index. Never throws: a
    // print area or titles that are no range keep their defaults.
    static PrintSetup of(const Workbook &workbook, int sheetIndex);

    // The area of a defined name's reference ("'Tannbuch'!$A$1:$P$40",
    // "Tannbuch!$1:$3", "$A:$B"); firstRow 0 when it is not one range.
    static RangeRef parseReference(const QString &reference);
};

} // namespace tannbuch
