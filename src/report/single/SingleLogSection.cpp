#include "SingleLogSection.h"

#include "report/single/JacketMeasurement.h"
#include "report/single/RowCells.h"
#include "report/single/SingleLogHeader.h"
#include "report/single/SingleLogQuery.h"
#include "report/single/StackHeights.h"

#include "db/Connection.h"
#include "report/LookAhead.h"
#include "report/RecordType.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "report/head/ForestLocation.h"
#include "report/head/LotSummary.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"
#include "workbook/cells/CellAddress.h"

#include <algorithm>

namespace {

constexpr qint32 RemarkLabelId = 701;

// Pile, lot and coordinates of a record: a lot summary is written where they
// change. Pile "0" (none) has no summary.
struct PileMark
{
    QString pile = QStringLiteral("0");
    QString lot;
    QString coordinate1;
    QString coordinate2;

    static PileMark of(const Recordset &record)
    {
        return {record.text(QStringLiteral("POLTNR")), record.text(QStringLiteral("LOS")),
            record.text(QStringLiteral("COORDINATE1")), record.text(QStringLiteral("COORDINATE2"))};
    }
    // True when a record marked `now` needs a summary below the one of this mark.
    bool summaryDue(const PileMark &now) const
    {
        return now.pile != u"0"
            && (now.pile != pile || now.lot != lot || (!now.coordinate1.isEmpty() && now.coordinate1 != coordinate1)
                || (!now.coordinate2.isEmpty() && now.coordinate2 != coordinate2));
    }
};

// The state of one pass over the single-log result.
struct SectionState
{
    int previousType = 0; // type of the open group; 0 = none yet
    int groupStartRow = 0; // the open group's header row
    qint32 lastForestLocation = 0;
    PileMark lastSummary;
    JacketState jacket;
};

QVariant f(const Recordset &record, const char *name)
{
    return record.field(QLatin1String(name));
}

// What a record will look up, foreseen row by row in the order the section
// asks: the height probe of stacked wood (and its measurement, should the
// probe make it type 7), the record type's name, the forest location, the
// lot summary where the pile changes and the sample logs (and the lot
// summary once more) where the jacket does. The pile and jacket it follows are its own; the section's may be
// reset where the foresight cannot see it, and then a look-up runs alone.
struct SingleLogForesight
{
    const ReportRun &run;
    const Selection &selection;
    PileMark lastSummary;
    qint32 lastJacket = 0;

    void operator()(const Recordset &r, QStringList &lookups)
    {
        const QString idLog = r.text(QStringLiteral("ID_LOG"));
        const int type = recordTypeOf(f(r, "DSART"));
        // A record that opens a group is probed twice: for its type, and
        // again as the group's first record.
        if (type == 2)
            lookups << HeightProbeStatement(idLog) << HeightProbeStatement(idLog) << StackHeightsLookups(run, r);
        if (type >= 1 && type <= 6)
            lookups << RecordTypeNameStatement(type);
        const QVariant forestLocation = f(r, "ID_WALDORT");
        if (!isDbNull(forestLocation) && forestLocation.toLongLong() > 0)
            lookups << ForestLocationStatement(qint32(forestLocation.toLongLong()));
        const PileMark mark = PileMark::of(r);
        if (run.settings->lPolterKoordinaten && lastSummary.summaryDue(mark)) {
            lookups << LotSummaryStatement(selection.filter, idLog) << LotTextsStatement(idLog);
            lastSummary = mark;
        }
        const qint32 jacket = type == 6 ? jacketOf(r) : 0;
        if (jacket != 0 && jacket != lastJacket) {
            lookups << JacketQuery(run.settings->columnList, QString::number(jacket), idLog);
            // The pile's summary again under the extrapolation heading.
            if (run.settings->lPolterKoordinaten)
                lookups << LotSummaryStatement(selection.filter, idLog) << LotTextsStatement(idLog);
            lastJacket = jacket;
        }
    }
};

QString recordTypeName(ReportRun &run, int type)
{
    Recordset rs = run.lookup(RecordTypeNameStatement(type));
    // A type without a row in the type table gets an empty title.
    return rs.eof() ? QString() : rs.text(QStringLiteral("Name"));
}

bool airDry(const Recordset &record)
{
    const QVariant flag = f(record, "GEWICHT_LUTRO");
    return !isDbNull(flag) && flag.toDouble() != 0.0;
}

void openGroup(ReportRun &run, SheetCursor &cursor, SectionState &section, const Recordset &record, int type)
{
    ++cursor.row;
    QString title;
    if (type >= 1 && type <= 5) {
        title = recordTypeName(run, type);
    } else if (type == 6) {
        title = recordTypeName(run, type) + QStringLiteral(" (Einzeln)");
        section.jacket.current = jacketOf(record);
    } else if (type == 7) {
        title = QStringLiteral("Schichtholz- Höhenvermessung");
    } else {
        title = QStringLiteral("Sonstiges");
    }
    Range cell = run.xl->range(QStringLiteral("A") + QString::number(cursor.row));
    cell.setValue(title);
    cell.font().setBold(true);

    section.previousType = type;
    // A group of a new jacket starts with the header of its sample logs.
    if (type == 6 && section.jacket.current != section.jacket.last && section.jacket.current != 0)
        WriteSingleLogHeader(run, cursor, 8, false);
    else
        WriteSingleLogHeader(run, cursor, type, airDry(record));
    section.groupStartRow = cursor.row - 1;
}

// Number formats over the closed group's columns; the end of the data widens
// the two-decimal stretch of types 2 and 7 by one column.
void closeGroup(ReportRun &run, SheetCursor &cursor, const SectionState &section, bool endOfData)
{
    const int s = section.groupStartRow;
    const int e = cursor.row - 1;
    const QString &volume = run.kubaturFormat;
    switch (section.previousType) {
    case 1:
    case 5:
        formatRange(run, rowRange("G", s, "G", e), QStringLiteral("0.0"));
        formatRange(run, rowRange("J", s, "J", e), volume);
        run.xl->range(rowRange("B", s, "B", e)).select();
        run.xl->selection().setHorizontalAlignment(HAlign::Right);
        break;
    case 2:
        formatRange(run, rowRange("F", s, endOfData ? "I" : "H", e), QStringLiteral("0.00"));
        formatRange(run, rowRange("I", s, "I", e), volume);
        break;
    case 3:
        formatRange(run, rowRange("G", s, "I", e), QStringLiteral("0.00"));
        formatRange(run, rowRange("I", s, "I", e), volume);
        break;
    case 4:
        formatRange(run, rowRange("G", s, "I", e), QStringLiteral("0.000"));
        formatRange(run, rowRange("I", s, "I", e), volume);
        break;
    case 6:
        formatRange(run, rowRange("J", s, "J", e), volume);
        break;
    case 7:
        formatRange(run, rowRange("F", s, endOfData ? "I" : "H", e), QStringLiteral("0.00"));
        formatRange(run, rowRange("H", s, "H", e), volume);
        break;
    default:
        break;
    }
}

// The lot summary of a record whose pile, lot or coordinates differ from the last summary's.
void checkLotSummary(
    ReportRun &run, const Selection &selection, SheetCursor &cursor, SectionState &section, const Recordset &record)
{
    if (!run.settings->lPolterKoordinaten)
        return;
    const PileMark mark = PileMark::of(record);
    if (section.lastSummary.summaryDue(mark)) {
        WriteLotSummary(run, selection, cursor, mark.pile, record.text(QStringLiteral("ID_LOG")));
        section.lastSummary = mark;
    }
}

// The record's own cells by the layout of its type; types outside 1 to 7 have none.
void writeDataRow(ReportRun &run, SheetCursor &cursor, const Recordset &r, int type)
{
    const int row = cursor.row;
    auto put = [&](int column, const char *name) { setIfPresent(run, row, column, f(r, name)); };
    auto positive = [&](int column, const char *name) { setIfPositive(run, row, column, f(r, name)); };
    if (type < 1 || type > 7)
        return;

    put(1, "LOS");
    if (type == 2 || type == 7)
        positive(2, "STK");
    else
        positive(2, "BLNR");
    put(3, "HA");
    put(4, "HS");
    put(5, "GKL");

    switch (type) {
    case 1:
    case 5: {
        put(6, "STKL");
        positive(7, "LAENGE");
        positive(8, "DURCH");
        positive(9, "STK");
        put(10, "KUBATUR");
        // Class 2 and 3 logs carry a prefix before their number, even without one.
        const QVariant klst = f(r, "KLST");
        if (!isDbNull(klst) && (klst.toDouble() == 2 || klst.toDouble() == 3)) {
            const Range b = run.xl->cells(row, 2);
            b.setValue(QString((klst.toDouble() == 2 ? QStringLiteral("K") : QStringLiteral("F")) + b.value()));
        }
        break;
    }
    case 2:
        put(6, "LAENGE");
        put(7, "KUBRM");
        put(8, "EINHEIT");
        put(9, "UFAKT_RM");
        put(10, "KUBATUR");
        break;
    case 3:
        put(6, "STKL");
        put(7, "STK");
        put(8, "UFAKT_STK");
        put(9, "KUBATUR");
        break;
    case 4:
        put(6, "STKL");
        put(7, airDry(r) ? "KUBLUTO" : "KUBATRO");
        put(8, airDry(r) ? "UFAKT_LUT" : "UFAKT_ATO");
        put(9, "KUBATUR");
        break;
    case 6:
        put(6, "STKL");
        put(7, "STK");
        put(8, "KUBATUR");
        break;
    case 7: {
        put(6, "KUBRM");
        put(7, "UFAKT_RM");
        put(8, "KUBATUR");
        const QVariant correction = f(r, "KORREKTUR");
        if (!isDbNull(correction))
            run.xl->cells(row, 9).setValue((100.0 - correction.toDouble()) / 100.0);
        put(10, "LAENGE");
        break;
    }
    default:
        break;
    }
}

void printRecord(
    ReportRun &run, const Selection &selection, SheetCursor &cursor, SectionState &section, Recordset &r, int type)
{
    const QVariant forestLocation = f(r, "ID_WALDORT");
    if (!isDbNull(forestLocation)) {
        const qint32 id = qint32(forestLocation.toLongLong());
        if (id > 0 && id != section.lastForestLocation) {
            WriteForestLocation(run, cursor, id);
            section.lastForestLocation = id;
        }
    }

    checkLotSummary(run, selection, cursor, section, r);
    if (type == 6 && WriteJacketBlocks(run, cursor, section.jacket, r)) {
        section.lastSummary.pile = QStringLiteral("0"); // the pile again under the extrapolation heading
        checkLotSummary(run, selection, cursor, section, r);
    }

    writeDataRow(run, cursor, r, type);
    if (type == 6) {
        formatRange(run, rowRange("H", cursor.row, "H", cursor.row), run.kubaturFormat);
        AddJacketSums(section.jacket, r);
    }
    writeColumnListCells(run, cursor.row, r);

    const QString remark = r.text(QStringLiteral("EINZELSTAMMBEMERKUNG"));
    if (!remark.isEmpty()) {
        ++cursor.row;
        run.xl->range(QStringLiteral("B") + QString::number(cursor.row)).setValue(r.text(QStringLiteral("BLNR")));
        run.xl->range(QStringLiteral("C") + QString::number(cursor.row))
            .setValue(QString(run.text(RemarkLabelId) + QStringLiteral(": ") + remark));
    }

    if (type == 7)
        WriteStackHeights(run, cursor, r, type);
    if (type == 6)
        WriteJacketTotal(run, cursor, section.jacket, r);
}

// Fits the column-list columns to their contents.
void finish(ReportRun &run)
{
    const int upperBound = int(run.settings->columnList.size()) - 1;
    const int last = columnListColumn(std::size_t(std::max(upperBound - 1, 0)));
    run.xl->columns(QStringLiteral("K:") + CellAddress::columnLetters(last)).select();
    run.xl->range(QStringLiteral("K85")).activate();
    run.xl->selection().columns().autoFit();
}

} // namespace

int singleLogRecordType(ReportRun &run, const Recordset &record)
{
    const int type = recordTypeOf(f(record, "DSART"));
    if (type == 2) {
        Recordset probe = run.db->execute(HeightProbeStatement(record.text(QStringLiteral("ID_LOG"))));
        if (!probe.eof() && !isDbNull(probe.field(QStringLiteral("HEIGHT"))))
            return 7;
    }
    return type;
}

void WriteSingleLogSection(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    Recordset records
        = run.db->openStatic(SingleLogQuery(selection.filter, run.settings->EinzSort, run.settings->columnList));
    SectionState section;
    section.groupStartRow = cursor.row;
    const qint64 total = records.rowCount();
    qint64 done = 0;
    run.progress(0, total);
    LookAhead ahead(run, SingleLogForesight{run, selection, {}, 0});

    while (!records.eof()) {
        ahead.reach(records, done);
        const int type = singleLogRecordType(run, records);
        if (type != section.previousType) {
            closeGroup(run, cursor, section, false);
            openGroup(run, cursor, section, records, type);
            continue; // the same record again, now inside its group
        }
        printRecord(run, selection, cursor, section, records, type);
        records.moveNext();
        ++cursor.row;
        run.progress(++done, total);
    }
    closeGroup(run, cursor, section, true);
    finish(run);
    records.close();
    run.progress(0, 0);
}
