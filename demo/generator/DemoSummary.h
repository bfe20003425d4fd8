#pragma once

#include <QString>

namespace tannbuch {

namespace DemoSummary {

// A short German account of a demo database: its lists (number, date, list
// type, business year, records, volume), the records per record type, the
// provisions and the newest business year. Opens the file read-only; throws
// GeneratorError when it is missing or not such a database.
QString text(const QString &path);

} // namespace DemoSummary

} // namespace tannbuch
