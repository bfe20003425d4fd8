#include "SingleLogSection.h"

#include "report/single/ForestLocation.h"
#include "report/single/JacketMeasurement.h"
#include "report/single/StackHeights.h"

#include "db/Connection.h"
#include "report/LookAhead.h"
#include "report/RecordType.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "report/common/RowCells.h"
#include "report/common/SingleLogHeader.h"
#include "report/common/SingleLogQuery.h"
#include "report/totals/LotSummary.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"
#include "workbook/cells/CellAddress.h"

#include <algorithm>

namespace tannbuch {

namespace {

constexpr qint32 RemarkLabelId = 701;

// The fields of the single-log result that every row reads, each found once
// per result by its name.
struct LogFields
{
    LogFields(Recordset &records, const std::vector<ColumnEntry> &columnList)
        : r(records)
    {
        for (const ColumnEntry &entry : columnList)
            extra.push_back(entry.expression.isEmpty() ? Recordset::Column() : r.column(entry.expression));
    }
    using C = Recordset::Column;
    Recordset &r; // the section's result, on the row in hand
    C idLog = r.column(QStringLiteral("ID_LOG")), type = r.column(QStringLiteral("DSART"));
    C lot = r.column(QStringLiteral("LOS")), pile = r.column(QStringLiteral("POLTNR"));
    C coordinate1 = r.column(QStringLiteral("COORDINATE1")), coordinate2 = r.column(QStringLiteral("COORDINATE2"));
    C remark = r.column(QStringLiteral("EINZELSTAMMBEMERKUNG")),
      forestLocation = r.column(QStringLiteral("ID_WALDORT"));
    C number = r.column(QStringLiteral("BLNR")), classCode = r.column(QStringLiteral("KLST"));
    C species = r.column(QStringLiteral("HA")), grade = r.column(QStringLiteral("HS"));
    C quality = r.column(QStringLiteral("GKL")), diameterClass = r.column(QStringLiteral("STKL"));
    C length = r.column(QStringLiteral("LAENGE")), correction = r.column(QStringLiteral("KORREKTUR"));
    C diameter = r.column(QStringLiteral("DURCH")), pieces = r.column(QStringLiteral("STK"));
    C volume = r.column(QStringLiteral("KUBATUR")), stackedVolume = r.column(QStringLiteral("KUBRM"));
    C stackFactor = r.column(QStringLiteral("UFAKT_RM")), pieceFactor = r.column(QStringLiteral("UFAKT_STK"));
    C ovenDryFactor = r.column(QStringLiteral("UFAKT_ATO")), ovenDry = r.column(QStringLiteral("KUBATRO"));
    C airDryFactor = r.column(QStringLiteral("UFAKT_LUT")), airDry = r.column(QStringLiteral("KUBLUTO"));
    C weighsAirDry = r.column(QStringLiteral("GEWICHT_LUTRO")), unit = r.column(QStringLiteral("EINHEIT"));
    std::vector<C> extra; // per column-list entry; none for an entry without expression
};

// Pile, lot and coordinates of a record: a lot summary is written where they
// change. Pile "0" (none) has no summary.
struct PileMark
{
    QString pile = QStringLiteral("0");
    QString lot;
    QString coordinate1;
    QString coordinate2;

    static PileMark of(const LogFields &f)
    {
        return {f.r.text(f.pile), f.r.text(f.lot), f.r.text(f.coordinate1), f.r.text(f.coordinate2)};
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
    explicit SectionState(const Selection &selection)
        : pileTotals(selection.filter)
    { }
    int previousType = 0; // type of the open group; 0 = none yet
    int groupStartRow = 0; // the open group's header row
    qint32 lastForestLocation = 0;
    PileMark lastSummary;
    JacketState jacket;
    PileTotalsTexts pileTotals; // built once for the look-ahead and the row
};

// What a record will look up, foreseen row by row in the order the section
// asks: the height probe of stacked wood (and its measurement, should the
// probe make it type 7), the record type's name, the forest location, the
// lot summary where the pile changes and the sample logs (and the lot
// summary once more) where the jacket does. The pile and jacket it follows are its own; the section's may be
// reset where the foresight cannot see it, and then a look-up runs alone.
struct SingleLogForesight
{
    const ReportRun &run;
    const LogFields &f;
    PileTotalsTexts &pileTotals;
    PileMark lastSummary;
    qint32 lastJacket = 0;

    // The row is the one the fields read.
    void operator()(const Recordset &r, QStringList &lookups)
    {
        const QString idLog = r.text(f.idLog);
        const int type = recordTypeOf(r.field(f.type));
        // A record that opens a group is probed twice: for its type, and
        // again as the group's first record.
        if (type == 2)
            lookups << HeightProbeStatement(idLog) << HeightProbeStatement(idLog) << StackHeightsLookups(run, r);
        if (type >= 1 && type <= 6)
            lookups << RecordTypeNameStatement(type);
        const QVariant forestLocation = r.field(f.forestLocation);
        if (!isDbNull(forestLocation) && forestLocation.toLongLong() > 0)
            lookups << ForestLocationStatement(qint32(forestLocation.toLongLong()));
        const PileMark mark = PileMark::of(f);
        if (run.settings->lPolterKoordinaten && lastSummary.summaryDue(mark)) {
            lookups << pileTotals.listed(idLog) << LotTextsStatement(idLog);
            lastSummary = mark;
        }
        const qint32 jacket = type == 6 ? jacketOf(r) : 0;
        if (jacket != 0 && jacket != lastJacket) {
            lookups << JacketQuery(run.settings->columnList, QString::number(jacket), idLog);
            // The pile's summary again under the extrapolation heading.
            if (run.settings->lPolterKoordinaten)
                lookups << pileTotals.listed(idLog) << LotTextsStatement(idLog);
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

bool airDry(const LogFields &f)
{
    const QVariant flag = f.r.field(f.weighsAirDry);
    return !isDbNull(flag) && flag.toDouble() != 0.0;
}

void openGroup(ReportRun &run, SheetCursor &cursor, SectionState &section, const LogFields &f, int type)
{
    ++cursor.row;
    QString title;
    if (type >= 1 && type <= 5) {
        title = recordTypeName(run, type);
    } else if (type == 6) {
        title = recordTypeName(run, type) + QStringLiteral(" (Einzeln)");
        section.jacket.current = jacketOf(f.r);
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
        WriteSingleLogHeader(run, cursor, type, airDry(f));
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
void checkLotSummary(ReportRun &run, SheetCursor &cursor, SectionState &section, const LogFields &f)
{
    if (!run.settings->lPolterKoordinaten)
        return;
    const PileMark mark = PileMark::of(f);
    if (section.lastSummary.summaryDue(mark)) {
        const QString idLog = f.r.text(f.idLog);
        WriteLotSummary(run, cursor, mark.pile, idLog, section.pileTotals.asked(idLog));
        section.lastSummary = mark;
    }
}

// The record's own cells by the layout of its type; types outside 1 to 7 have none.
void writeDataRow(ReportRun &run, SheetCursor &cursor, const LogFields &f, int type)
{
    const int row = cursor.row;
    const Recordset &r = f.r;
    auto put = [&](int column, const Recordset::Column &field) { setIfPresent(run, row, column, r.field(field)); };
    auto positive
        = [&](int column, const Recordset::Column &field) { setIfPositive(run, row, column, r.field(field)); };
    if (type < 1 || type > 7)
        return;

    put(1, f.lot);
    positive(2, type == 2 || type == 7 ? f.pieces : f.number);
    put(3, f.species);
    put(4, f.grade);
    put(5, f.quality);

    switch (type) {
    case 1:
    case 5: {
        put(6, f.diameterClass);
        positive(7, f.length);
        positive(8, f.diameter);
        positive(9, f.pieces);
        put(10, f.volume);
        // Class 2 and 3 logs carry a prefix before their number, even without one.
        const QVariant klst = r.field(f.classCode);
        if (!isDbNull(klst) && (klst.toDouble() == 2 || klst.toDouble() == 3)) {
            const Range b = run.xl->cells(row, 2);
            b.setValue(QString((klst.toDouble() == 2 ? QStringLiteral("K") : QStringLiteral("F")) + b.value()));
        }
        break;
    }
    case 2:
        put(6, f.length);
        put(7, f.stackedVolume);
        put(8, f.unit);
        put(9, f.stackFactor);
        put(10, f.volume);
        break;
    case 3:
        put(6, f.diameterClass);
        put(7, f.pieces);
        put(8, f.pieceFactor);
        put(9, f.volume);
        break;
    case 4:
        put(6, f.diameterClass);
        put(7, airDry(f) ? f.airDry : f.ovenDry);
        put(8, airDry(f) ? f.airDryFactor : f.ovenDryFactor);
        put(9, f.volume);
        break;
    case 6:
        put(6, f.diameterClass);
        put(7, f.pieces);
        put(8, f.volume);
        break;
    case 7: {
        put(6, f.stackedVolume);
        put(7, f.stackFactor);
        put(8, f.volume);
        const QVariant correction = r.field(f.correction);
        if (!isDbNull(correction))
            run.xl->cells(row, 9).setValue((100.0 - correction.toDouble()) / 100.0);
        put(10, f.length);
        break;
    }
    default:
        break;
    }
}

// The record's column-list cells: each entry's column, when not null.
void writeExtraCells(ReportRun &run, int row, const LogFields &f)
{
    for (std::size_t i = 0; i < f.extra.size(); ++i) {
        if (!run.settings->columnList[i].expression.isEmpty())
            setIfPresent(run, row, columnListColumn(i), f.r.field(f.extra[i]));
    }
}

void printRecord(ReportRun &run, SheetCursor &cursor, SectionState &section, const LogFields &f, int type)
{
    Recordset &r = f.r;
    const QVariant forestLocation = r.field(f.forestLocation);
    if (!isDbNull(forestLocation)) {
        const qint32 id = qint32(forestLocation.toLongLong());
        if (id > 0 && id != section.lastForestLocation) {
            WriteForestLocation(run, cursor, id);
            section.lastForestLocation = id;
        }
    }

    checkLotSummary(run, cursor, section, f);
    if (type == 6 && WriteJacketBlocks(run, cursor, section.jacket, r)) {
        section.lastSummary.pile = QStringLiteral("0"); // the pile again under the extrapolation heading
        checkLotSummary(run, cursor, section, f);
    }

    writeDataRow(run, cursor, f, type);
    if (type == 6) {
        formatRange(run, rowRange("H", cursor.row, "H", cursor.row), run.kubaturFormat);
        AddJacketSums(section.jacket, r);
    }
    writeExtraCells(run, cursor.row, f);

    const QString remark = r.text(f.remark);
    if (!remark.isEmpty()) {
        ++cursor.row;
        run.xl->range(QStringLiteral("B") + QString::number(cursor.row)).setValue(r.text(f.number));
        run.xl->range(QStringLiteral("C") + QString::number(cursor.row))
            .setValue(QString(run.text(RemarkLabelId) + QStringLiteral(": ") + remark));
    }

    if (type == 7)
        WriteStackHeights(run, cursor, r, type);
    if (type == 6)
        WriteJacketTotal(run, cursor, section.jacket, r);
}

// The type a record is printed as, from its DSART and, for stacked wood,
// its height probe.
int printedType(ReportRun &run, const QVariant &dsart, const QString &idLog)
{
    const int type = recordTypeOf(dsart);
    if (type == 2) {
        Recordset probe = run.db->execute(HeightProbeStatement(idLog));
        if (!probe.eof() && !isDbNull(probe.field(QStringLiteral("HEIGHT"))))
            return 7;
    }
    return type;
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
    return printedType(run, record.field(QStringLiteral("DSART")), record.text(QStringLiteral("ID_LOG")));
}

void WriteSingleLogSection(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    Recordset records
        = run.db->openStatic(SingleLogQuery(selection.filter, run.settings->EinzSort, run.settings->columnList));
    const LogFields fields(records, run.settings->columnList);
    SectionState section(selection);
    section.groupStartRow = cursor.row;
    const qint64 total = records.rowCount();
    qint64 done = 0;
    run.progress(0, total);
    LookAhead ahead(run, SingleLogForesight{run, fields, section.pileTotals, {}, 0});

    while (!records.eof()) {
        ahead.reach(records, done);
        const int type = printedType(run, records.field(fields.type), records.text(fields.idLog));
        if (type != section.previousType) {
            closeGroup(run, cursor, section, false);
            openGroup(run, cursor, section, fields, type);
            continue; // the same record again, now inside its group
        }
        printRecord(run, cursor, section, fields, type);
        records.moveNext();
        ++cursor.row;
        run.progress(++done, total);
    }
    closeGroup(run, cursor, section, true);
    finish(run);
    records.close();
    run.progress(0, 0);
}

} // namespace tannbuch
