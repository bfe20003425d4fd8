#include "SingleLogSection.h"

#include "report/single/JacketMeasurement.h"
#include "report/single/RowCells.h"
#include "report/single/SingleLogHeader.h"
#include "report/single/SingleLogQuery.h"
#include "report/single/StackHeights.h"

#include "db/Connection.h"
#include "report/RecordType.h"
#include "report/ReportSettings.h"
#include "report/ReportState.h"
#include "report/head/ForestLocation.h"
#include "report/head/LotSummary.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"
#include "workbook/cells/CellAddress.h"

#include <algorithm>

namespace {

constexpr qint32 RemarkLabelId = 701;

// The state of one pass over the single-log result.
struct SectionState
{
    int previousType = 0; // type of the open group; 0 = none yet
    int groupStartRow = 0; // the open group's header row
    qint32 lastForestLocation = 0;
    QString lastPile = QStringLiteral("0");
    QString lastLot;
    QString lastCoordinate1;
    QString lastCoordinate2;
    JacketState jacket;
};

QVariant f(const Recordset &record, const char *name)
{
    return record.field(QLatin1String(name));
}

QString recordTypeName(ReportState &state, int type)
{
    Recordset rs = state.lookup(RecordTypeNameStatement(type));
    // A type without a row in the type table gets an empty title.
    return rs.eof() ? QString() : rs.text(QStringLiteral("Name"));
}

bool airDry(const Recordset &record)
{
    const QVariant flag = f(record, "GEWICHT_LUTRO");
    return !isDbNull(flag) && flag.toDouble() != 0.0;
}

void openGroup(ReportState &state, SectionState &section, const Recordset &record, int type)
{
    ++state.cursor;
    QString title;
    if (type >= 1 && type <= 5) {
        title = recordTypeName(state, type);
    } else if (type == 6) {
        title = recordTypeName(state, type) + QStringLiteral(" (Einzeln)");
        section.jacket.current = jacketOf(record);
    } else if (type == 7) {
        title = QStringLiteral("Schichtholz- Höhenvermessung");
    } else {
        title = QStringLiteral("Sonstiges");
    }
    Range cell = state.xl->range(QStringLiteral("A") + QString::number(state.cursor));
    cell.setValue(title);
    cell.font().setBold(true);

    section.previousType = type;
    // A group of a new jacket starts with the header of its sample logs.
    if (type == 6 && section.jacket.current != section.jacket.last && section.jacket.current != 0)
        WriteSingleLogHeader(state, 8, false);
    else
        WriteSingleLogHeader(state, type, airDry(record));
    section.groupStartRow = state.cursor - 1;
}

// Number formats over the closed group's columns; the end of the data widens
// the two-decimal stretch of types 2 and 7 by one column.
void closeGroup(ReportState &state, const SectionState &section, bool endOfData)
{
    const int s = section.groupStartRow;
    const int e = state.cursor - 1;
    const QString &volume = state.kubaturFormat;
    switch (section.previousType) {
    case 1:
    case 5:
        formatRange(state, rowRange("G", s, "G", e), QStringLiteral("0.0"));
        formatRange(state, rowRange("J", s, "J", e), volume);
        state.xl->range(rowRange("B", s, "B", e)).select();
        state.xl->selection().setHorizontalAlignment(HAlign::Right);
        break;
    case 2:
        formatRange(state, rowRange("F", s, endOfData ? "I" : "H", e), QStringLiteral("0.00"));
        formatRange(state, rowRange("I", s, "I", e), volume);
        break;
    case 3:
        formatRange(state, rowRange("G", s, "I", e), QStringLiteral("0.00"));
        formatRange(state, rowRange("I", s, "I", e), volume);
        break;
    case 4:
        formatRange(state, rowRange("G", s, "I", e), QStringLiteral("0.000"));
        formatRange(state, rowRange("I", s, "I", e), volume);
        break;
    case 6:
        formatRange(state, rowRange("J", s, "J", e), volume);
        break;
    case 7:
        formatRange(state, rowRange("F", s, endOfData ? "I" : "H", e), QStringLiteral("0.00"));
        formatRange(state, rowRange("H", s, "H", e), volume);
        break;
    default:
        break;
    }
}

// The lot summary of a record whose pile, lot or coordinates differ from the last summary's.
void checkLotSummary(ReportState &state, SectionState &section, const Recordset &record)
{
    if (!state.settings->lPolterKoordinaten)
        return;
    const QString pile = record.text(QStringLiteral("POLTNR"));
    const QString lot = record.text(QStringLiteral("LOS"));
    const QString c1 = record.text(QStringLiteral("COORDINATE1"));
    const QString c2 = record.text(QStringLiteral("COORDINATE2"));
    if (pile == u"0")
        return;
    if (pile != section.lastPile || lot != section.lastLot || (!c1.isEmpty() && c1 != section.lastCoordinate1)
        || (!c2.isEmpty() && c2 != section.lastCoordinate2)) {
        WriteLotSummary(state, pile, record.text(QStringLiteral("ID_LOG")));
        section.lastPile = pile;
        section.lastLot = lot;
        section.lastCoordinate1 = c1;
        section.lastCoordinate2 = c2;
    }
}

// The record's own cells by the layout of its type; types outside 1 to 7 have none.
void writeDataRow(ReportState &state, const Recordset &r, int type)
{
    const int row = state.cursor;
    auto put = [&](int column, const char *name) { setIfPresent(state, row, column, f(r, name)); };
    auto positive = [&](int column, const char *name) { setIfPositive(state, row, column, f(r, name)); };
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
            const Range b = state.xl->cells(row, 2);
            b.setValue((klst.toDouble() == 2 ? QStringLiteral("K") : QStringLiteral("F")) + b.value());
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
            state.xl->cells(row, 9).setValue((100.0 - correction.toDouble()) / 100.0);
        put(10, "LAENGE");
        break;
    }
    default:
        break;
    }
}

void printRecord(ReportState &state, SectionState &section, Recordset &r, int type)
{
    const QVariant forestLocation = f(r, "ID_WALDORT");
    if (!isDbNull(forestLocation)) {
        const qint32 id = qint32(forestLocation.toLongLong());
        if (id > 0 && id != section.lastForestLocation) {
            WriteForestLocation(state, id);
            section.lastForestLocation = id;
        }
    }

    checkLotSummary(state, section, r);
    if (type == 6 && WriteJacketBlocks(state, section.jacket, r)) {
        section.lastPile = QStringLiteral("0"); // the pile again under the extrapolation heading
        checkLotSummary(state, section, r);
    }

    writeDataRow(state, r, type);
    if (type == 6) {
        formatRange(state, rowRange("H", state.cursor, "H", state.cursor), state.kubaturFormat);
        AddJacketSums(section.jacket, r);
    }
    writeColumnListCells(state, state.cursor, r);

    const QString remark = r.text(QStringLiteral("EINZELSTAMMBEMERKUNG"));
    if (!remark.isEmpty()) {
        ++state.cursor;
        state.xl->range(QStringLiteral("B") + QString::number(state.cursor)).setValue(r.text(QStringLiteral("BLNR")));
        state.xl->range(QStringLiteral("C") + QString::number(state.cursor))
            .setValue(state.text(RemarkLabelId) + QStringLiteral(": ") + remark);
    }

    if (type == 7)
        WriteStackHeights(state, r, type);
    if (type == 6)
        WriteJacketTotal(state, section.jacket, r);
}

// Fits the column-list columns to their contents.
void finish(ReportState &state)
{
    const int upperBound = int(state.settings->columnList.size()) - 1;
    const int last = columnListColumn(std::size_t(std::max(upperBound - 1, 0)));
    state.xl->columns(QStringLiteral("K:") + CellAddress::columnLetters(last)).select();
    state.xl->range(QStringLiteral("K85")).activate();
    state.xl->selection().columns().autoFit();
}

} // namespace

int singleLogRecordType(ReportState &state, const Recordset &record)
{
    const int type = recordTypeOf(f(record, "DSART"));
    if (type == 2) {
        Recordset probe = state.db->execute(HeightProbeStatement(record.text(QStringLiteral("ID_LOG"))));
        if (!probe.eof() && !isDbNull(probe.field(QStringLiteral("HEIGHT"))))
            return 7;
    }
    return type;
}

void WriteSingleLogSection(ReportState &state)
{
    Recordset records
        = state.db->openStatic(SingleLogQuery(state.filter, state.settings->EinzSort, state.settings->columnList));
    SectionState section;
    section.groupStartRow = state.cursor;
    const qint64 total = records.rowCount();
    qint64 done = 0;
    state.progress(0, total);

    while (!records.eof()) {
        const int type = singleLogRecordType(state, records);
        if (type != section.previousType) {
            closeGroup(state, section, false);
            openGroup(state, section, records, type);
            continue; // the same record again, now inside its group
        }
        printRecord(state, section, records, type);
        records.moveNext();
        ++state.cursor;
        state.progress(++done, total);
    }
    closeGroup(state, section, true);
    finish(state);
    records.close();
    state.progress(0, 0);
}
