#pragma once

#include <QString>

namespace tannbuch {

// Runs the office suite (LibreOffice) headless to convert files: a legacy
// binary template into the open workbook format, a workbook into PDF. Each
// run gets a profile folder of its own, so parallel runs do not clash. The
// environment variable TANNBUCH_OFFICE_PROGRAM names another program to run
// instead of "soffice" found on the PATH.
class OfficeConverter
{
public:
    // The office program to run; empty when none is installed.
    static QString program();

    // Converts `source` to `format` ("xlsx", "pdf") into folder outDir and
    // returns the path of the new file. Throws WorkbookError with a German
    // message and the program's error output when the suite is missing, fails,
    // produces nothing or runs longer than timeoutMs.
    static QString convert(const QString &source, const QString &format, const QString &outDir, int timeoutMs = 180000);
};

} // namespace tannbuch
