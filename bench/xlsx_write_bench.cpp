// Writes 1,000,000 cells (numbers and texts, a few styles) through the
// workbook model and saves them as .xlsx; prints the time of building the
// model, the time of saving, the file size and the peak memory. Then writes
// as many cells once more through the sheet objects, as a report does (a
// value per cell, a number format per column, a bold header row): that part
// must stay under its goal of ten seconds, or the exit code is 1.
//
//   bench_xlsx_write [OUT.xlsx] [ROWS]     (default /tmp/bench_tannbuch.xlsx, 100000 rows x 10 columns)
//
// bench/xlsxwriter_compare.py writes the same cells with python3-xlsxwriter.

#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <sys/resource.h>

namespace tannbuch {

namespace {

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Milliseconds for `rows` rows of ten cells through the sheet objects.
qint64 writeThroughSheet(int rows)
{
    Application xl;
    xl.setLocale(QLocale(QLocale::German, QLocale::Germany));
    xl.workbooks().add();
    SheetHandle sheet = xl.activeSheet();
    QElapsedTimer timer;
    timer.start();
    const QString pine = QStringLiteral("Fichte");
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= 10; ++column) {
            if (column % 3 == 0)
                sheet.cells(row, column).setValue(pine);
            else
                sheet.cells(row, column).setValue(row * 0.5 + column);
        }
    }
    sheet.range(QStringLiteral("H1:H%1").arg(rows)).setNumberFormat(QStringLiteral("0.000"));
    sheet.columns(QStringLiteral("G:G")).setNumberFormat(QStringLiteral("0.0"));
    sheet.range(QStringLiteral("A1:J1")).font().setBold(true);
    return timer.elapsed();
}

} // namespace

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString out = args.size() > 1 ? args[1] : QStringLiteral("/tmp/bench_tannbuch.xlsx");
    const int rows = args.size() > 2 ? args[2].toInt() : 100000;
    constexpr int columns = 10;
    QTextStream print(stdout);

    QElapsedTimer timer;
    timer.start();
    Workbook wb;
    Worksheet &sheet = wb.addSheet(QStringLiteral("Tannbuch"));
    CellStyle volume;
    volume.numberFormat = QStringLiteral("0.000");
    CellStyle bold;
    bold.bold = true;
    CellStyle boxed;
    boxed.borders[EdgeBottom] = BorderLine{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic};
    boxed.numberFormat = QStringLiteral("0.00");
    const quint32 styles[] = {0, wb.styles().intern(volume), wb.styles().intern(bold), wb.styles().intern(boxed)};
    const QString species[] = {QStringLiteral("Fichte"), QStringLiteral("Tanne"), QStringLiteral("Kiefer"),
        QStringLiteral("Buche"), QStringLiteral("Eiche")};

    // Even columns hold numbers, odd ones texts: a few repeated names and a
    // unique remark per row, as a log list has.
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            Cell &cell = sheet.cellForWrite(r, c);
            cell.styleId = styles[(r + c) % 4];
            if (c % 2 == 0) {
                cell.type = CellType::Number;
                cell.number = r * 0.001 * c + 0.5;
            } else if (c == 9) {
                cell.type = CellType::Text;
                cell.text = QStringLiteral("Stamm %1").arg(r);
            } else {
                cell.type = CellType::Text;
                cell.text = species[(r * c) % 5];
            }
        }
    }
    const qint64 buildMs = timer.restart();

    XlsxWriter::save(wb, out);
    const qint64 saveMs = timer.elapsed();

    print << "cells:        " << qint64(rows) * columns << '\n'
          << "build model:  " << buildMs << " ms\n"
          << "save .xlsx:   " << saveMs << " ms\n"
          << "file size:    " << QFileInfo(out).size() / 1024 << " KiB\n"
          << "peak memory:  " << peakMemoryKb() / 1024 << " MiB\n";

    constexpr qint64 SheetGoalMs = 10000;
    const qint64 sheetMs = writeThroughSheet(rows);
    print << "sheet objects: " << sheetMs << " ms (goal under " << SheetGoalMs << " ms)"
          << (sheetMs < SheetGoalMs ? "" : "  NOT MET") << '\n';
    return sheetMs < SheetGoalMs ? 0 : 1;
}
