#pragma once

// Rows for the single-log test databases of list 4711, and a run of the
// single-log section over them.

#include "common/ReportBench.h"
#include "report/single/SingleLogSection.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

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

// Runs the single-log section on the rows (sorted by record id), the
// settings changed as the test says or the column list given, and reads the
// saved workbook back.
struct SectionRun
{
    explicit SectionRun(const QString &rows, const std::function<void(ReportSettings &)> &configure = {})
        : bench(typesAndUnits() + rows)
    {
        bench.settings.EinzSort = 4;
        if (configure)
            configure(bench.settings);
        WriteSingleLogSection(bench.run, bench.selection, bench.cursor);
        view = std::make_unique<reportbench::SavedSheet>(bench.saved());
    }
    SectionRun(const QString &rows, const std::vector<ColumnEntry> &columns)
        : SectionRun(rows, [&columns](ReportSettings &s) { s.columnList = columns; })
    { }
    reportbench::SavedSheet &v() { return *view; }
    QString row(int r) { return view->row(r); }

    reportbench::Bench bench;
    std::unique_ptr<reportbench::SavedSheet> view;
};

} // namespace singledata

} // namespace tannbuch
