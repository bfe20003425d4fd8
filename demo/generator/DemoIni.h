#pragma once

#include <QString>

namespace tannbuch {

// Writes the demo's host ini file: the embedded demo database named by its
// absolute path as the server (so the host's ini route reaches it), access
// level, business-year column, client code, template folder, three header
// lines and a header picture (a small logo drawn beside the ini file).
// Returns 0, or 1 after printing the German error message to standard error.
int writeDemoIni(const QString &iniPath, const QString &databasePath, const QString &templateFolder);

} // namespace tannbuch
