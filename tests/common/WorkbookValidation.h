#pragma once

// A strict reader's view of a saved workbook, for the tests: every XML part
// is validated against the published schemas of its kind (read once per
// process), and the rules the schemas cannot state are checked too: link
// targets are valid URI references, a sheet holds at most 65,530 hyperlinks
// and at most 1,026 manual row breaks.

#include "workbook/package/ZipArchive.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tannbuch {

namespace workbookvalidation {

// The folder of the schemas the tests validate against.
QString schemaFolder();

// What a strict reader objects to in the package, one line per fault
// ("xl/worksheets/sheet1.xml:12: ..."); empty when it is sound. A missing or
// unreadable schema folder is a fault, never a reason to skip.
QStringList problems(const std::vector<ZipEntry> &entries, const QString &schemas = schemaFolder());
// The same for a saved file; a file that cannot be read is a fault.
QStringList problems(const QString &path);

// True when text is a valid URI reference (absolute or relative).
bool isUriReference(const QString &text);

// Fails the current test, listing the faults, when the saved file is not sound.
void expectValid(const QString &path);

} // namespace workbookvalidation

} // namespace tannbuch
