#pragma once

#include <QString>

namespace tannbuch {

// What goes into a generated database.
struct DemoDatabaseOptions
{
    QString schemaPath; // the schema's SQL file
    int records = 0; // 0: the demo lists; else one list of that many records
    QString list = QStringLiteral("4711"); // number of that one list
    bool smallPiles = false; // that list in piles of about 50 records (DemoLists::writeSmallPileList)
};

namespace DemoDatabase {

// Writes a new database file at path: the schema, the master data, the
// lists and the provisions, all in one transaction, deterministically.
// The file is built beside the target and renamed over it at the end, so
// the target is either the old file or the complete new one. Throws
// GeneratorError when the schema cannot be read or a step fails.
void write(const QString &path, const DemoDatabaseOptions &options);

// Rebuilds the indexes of an existing database in the program's order of
// texts and renews the planner's row counts; for a database changed with
// another tool. Throws GeneratorError when the file is missing or a step fails.
void reindex(const QString &path);

} // namespace DemoDatabase

} // namespace tannbuch
