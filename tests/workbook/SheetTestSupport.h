#pragma once

// A German application with one empty workbook, for the tests of the sheet
// operations. Effects are read back from the model.

#include "common/QtPrinters.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <ostream>

namespace tannbuch {

// Failures show texts as texts.
namespace sheettest {

class SheetTest : public ::testing::Test
{
protected:
    SheetTest()
    {
        xl.setLocale(QLocale(QLocale::German, QLocale::Germany));
        xl.workbooks().add();
    }

    Workbook &book() { return xl.activeWorkbook().workbook(); }
    Worksheet &ws() { return xl.activeSheet().worksheet(); }
    SheetHandle sheet() { return xl.activeSheet(); }
    const Cell *cell(const char *address)
    {
        const RangeRef r = CellAddress::parse(QString::fromLatin1(address));
        return ws().cell(r.firstRow, r.firstColumn);
    }
    ResolvedStyle style(const char *address)
    {
        const RangeRef r = CellAddress::parse(QString::fromLatin1(address));
        return book().resolve(SheetCells::effectiveStyle(ws(), r.firstRow, r.firstColumn));
    }

    Application xl;
};

} // namespace sheettest

} // namespace tannbuch
