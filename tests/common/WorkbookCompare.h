#pragma once

#include <QStringList>

namespace tannbuch {

class Workbook;

namespace testsupport {

// The differences between two workbooks, at most `limit` of them: sheets,
// every cell's kind, value, formula and resolved format (number format, font,
// alignment, fill), row heights, merges and page breaks. Empty when alike.
QStringList workbookDifferences(const Workbook &a, const Workbook &b, int limit = 20);

} // namespace testsupport

} // namespace tannbuch
