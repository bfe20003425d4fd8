#pragma once

// Rows for the single-log test databases of list 4711.

#include <QString>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace singledata {

// A LOGS row of list 4711 with the given columns and values (SQL literals).
inline QString log(const char *columns, const char *values)
{
    return QStringLiteral("INSERT INTO LOGS (LISTE, %1) VALUES ('4711', %2);\n")
        .arg(QString::fromUtf8(columns), QString::fromUtf8(values));
}

// The record-type names, four units (one weighed air-dry) and the remark
// label as the host's text table has it.
inline QString typesAndUnits()
{
    return QString::fromUtf8(
        "UPDATE STRINGS SET GERMAN = 'Bemerkung' WHERE ID_STRING = 701;\n"
        "INSERT INTO DSART VALUES (1, 'Stammholz lang'), (2, 'Schichtholz'), (3, 'Stückzahl'), (4, 'Gewicht'),"
        " (5, 'Stammholz kurz'), (6, 'Mantelvermessung');\n"
        "INSERT INTO WARENEINHEIT VALUES (1, 'Fm', 'Festmeter', 0), (2, 'Rm', 'Raummeter', 0),"
        " (5, 'tatro', 'Tonnen atro', 0), (6, 'tlutro', 'Tonnen lutro', 1);\n");
}

} // namespace singledata

} // namespace tannbuch
