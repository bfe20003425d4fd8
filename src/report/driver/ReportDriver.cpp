#include "ReportDriver.h"

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/SqlQuote.h"
#include "report/ProvisionWatch.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "report/condensed/CondensedSection.h"
#include "report/head/ListHead.h"
#include "report/single/SingleLogSection.h"
#include "report/totals/Totals.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace tannbuch {

namespace {

const QString ReportSheet = QStringLiteral("Tannbuch");

// The additional-text switches by their property id, in switch order.
const QString switchKeys[TextSwitchCount] = {
    QStringLiteral("ZUSATZTEXT"),
    QStringLiteral("ZUSTEXT1"),
    QStringLiteral("ZUSTEXT2"),
    QStringLiteral("ZUSTEXT3"),
    QStringLiteral("ZUSTEXT4"),
    QStringLiteral("ZUSTEXT5"),
    QStringLiteral("COORDINATE1"),
    QStringLiteral("COORDINATE2"),
};

QString row(int r)
{
    return QString::number(r);
}

void readTextSwitches(ReportRun &run)
{
    const QChar cr(13);
    Recordset rs = run.db->execute(QStringLiteral("Select property_id, number_value ") + cr
        + QStringLiteral("from FORMS_CONFIG  ") + cr
        + QStringLiteral("WHERE FORM_ID = 'F_STAMMEINKONF' and (property_id like 'zustext%' or property_id like "
                         "'coordinate%' or property_id like 'ZUSATZTEXT')  ")
        + cr + QStringLiteral("order by property_id "));
    for (; !rs.eof(); rs.moveNext()) {
        const QString id = rs.text(QStringLiteral("property_id"));
        for (int k = 0; k < TextSwitchCount; ++k) {
            if (id != switchKeys[k])
                continue;
            // A switch without a number is off; halves round to even.
            const QVariant v = rs.field(QStringLiteral("number_value"));
            const double n = isDbNull(v) ? 0.0 : std::nearbyint(v.toDouble());
            if (n >= std::numeric_limits<qint16>::min() && n <= std::numeric_limits<qint16>::max())
                run.textSwitches[size_t(k)] = int(n);
        }
    }
}

// Column widths of the data columns A to J over the block just written. A
// template without a width keeps its own widths rather than hiding A to J.
void setColumnWidths(ReportRun &run, const SheetCursor &cursor)
{
    if (run.settings->SpaltenBreite <= 0)
        return;
    Range block
        = run.xl->range(QStringLiteral("A") + row(cursor.sectionStart) + QStringLiteral(":J") + row(cursor.row - 1));
    block.select();
    run.xl->selection().setColumnWidth(run.settings->SpaltenBreite);
}

// The two data sections in the order the template wants, with their status
// texts; a status text shows even when its section is switched off.
void writeSections(ReportRun &run, const Selection &selection, SheetCursor &cursor, const QString &condensedStatus,
    const QString &singleStatus)
{
    const ReportSettings &set = *run.settings;
    auto condensed = [&] {
        run.status(condensedStatus);
        if (set.lVerdichtet != 0)
            WriteCondensedSection(run, selection, cursor);
    };
    auto single = [&] {
        run.status(singleStatus);
        if (set.lEinzeln != 0)
            WriteSingleLogSection(run, selection, cursor);
    };
    if (set.lZuerstVerdichtet != 0) {
        condensed();
        single();
    } else {
        single();
        condensed();
    }
}

// Copies whole template rows to the sheet cursor.
void copyRowsToCursor(ReportRun &run, const SheetCursor &cursor, int first, int last)
{
    Application &xl = *run.xl;
    xl.rows(row(first) + QLatin1Char(':') + row(last)).select();
    xl.selection().copy();
    xl.range(QStringLiteral("A") + row(cursor.row)).select();
    xl.activeSheet().paste();
}

// A path separator in the provision name or list number would write outside
// the save folder.
QString fileNamePart(QString part)
{
    part.replace(QLatin1Char('/'), QLatin1Char('_'));
    part.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return part;
}

// Clears what an earlier report left below the template's head; a longer
// earlier report may reach below row 10000, so the deletion goes down to the
// last used row then.
void clearOutputArea(Application &xl, int startRow)
{
    int lastRow = 10000;
    const RangeRef used = xl.activeSheet().worksheet().usedRange();
    if (used.lastRow > lastRow)
        lastRow = used.lastRow;
    xl.range(QStringLiteral("A") + row(startRow) + QStringLiteral(":Z") + row(lastRow)).select();
    xl.selection().deleteCells(Xl::Up);

    xl.setScreenUpdating(false);
    xl.activeWindow().setView(Xl::ViewPageBreakPreview);
    xl.activeSheet().resetAllPageBreaks();
    xl.activeWindow().setView(Xl::ViewNormal);
}

// The header lines and picture the settings place in the template's head.
void writeHeaderLines(Application &xl, const ReportSettings &set)
{
    for (int k = 1; k <= 8; ++k) {
        const HeaderLine &line = set.headerLines[size_t(k)];
        if (!line.text.isEmpty() && !line.cell.isEmpty())
            xl.range(line.cell).setValue(line.text);
    }
    if (!set.headerPicture.text.isEmpty() && !set.headerPicture.cell.isEmpty()) {
        xl.range(set.headerPicture.cell).select();
        xl.activeSheet().pictures().insert(set.headerPicture.text);
    }
}

// Everything before the first head block: the switches, the template's
// macros, the cleared output area and the header lines. Returns the
// selection the report prints; without lots it is printed as one block.
Selection prepareSheet(ReportRun &run, const Selection &chosen)
{
    ReportSettings &set = *run.settings;
    Application &xl = *run.xl;
    run.clearRunCaches();
    run.failed = false;

    readTextSwitches(run);
    xl.worksheets(ReportSheet).activate();
    // Without a start row the report would overwrite the template's head.
    if (set.StartZeile < 1)
        throw WorkbookError(QStringLiteral("Die Vorlage nennt auf dem Blatt \"Einstellungen\" keine Startzeile "
                                           "(StartZeile); es wurde nichts gedruckt."));

    const Selection whole = WholeSelection(chosen);
    if (whole.lots.isEmpty())
        set.lLosweise = 0; // nothing to print lot by lot

    QString templateFilter = whole.filter;
    templateFilter.remove(QStringLiteral("LOGS."));
    xl.run(QStringLiteral("DieseArbeitsmappe.SetGlobalVariables"),
        {StoredConnection(run.connectionString), templateFilter, whole.listNumber});
    xl.run(QStringLiteral("DieseArbeitsmappe.WriteKundeKopf"));

    clearOutputArea(xl, set.StartZeile);
    writeHeaderLines(xl, set);
    return whole;
}

// The head block and both sections of the whole selection.
void writeWholeSelection(ReportRun &run, const Selection &whole, SheetCursor &cursor)
{
    run.status(QStringLiteral("Kopf ..."));
    WriteListHead(run, whole, cursor);
    cursor.sectionStart = cursor.row;
    writeSections(run, whole, cursor, QStringLiteral("Verdichtet ..."), QStringLiteral("Einzeln ..."));
    setColumnWidths(run, cursor);
}

// One lot: the template's head rows again for every lot but the first, the
// head block and both sections, one blank row, then a page break.
void writeLot(ReportRun &run, const Selection &lot, SheetCursor &cursor, bool first)
{
    ReportSettings &set = *run.settings;
    // The lot in quotes as the lot list holds it, without the prefix a
    // statement may need.
    const QString name = QStringLiteral("Los '") + sqlQuoteInner(lot.lots.first()) + QLatin1Char('\'');
    run.status(name + QStringLiteral(" Kopf ..."));
    if (!first) {
        // The defaults last for the rest of the run.
        if (set.KopfKopieStart == 0)
            set.KopfKopieStart = 1;
        if (set.KopfKopieEnd == 0)
            set.KopfKopieEnd = set.StartZeile - 1;
        copyRowsToCursor(run, cursor, set.KopfKopieStart, set.KopfKopieEnd);
        cursor.row += set.KopfKopieEnd;
    }
    WriteListHead(run, lot, cursor);
    cursor.sectionStart = cursor.row;
    writeSections(run, lot, cursor, name + QStringLiteral(" verdichtet ..."), name + QStringLiteral(" einzeln ..."));
    setColumnWidths(run, cursor);

    cursor.row += 1;
    run.xl->range(QStringLiteral("A") + row(cursor.row)).select();
    run.xl->activeSheet().rows(cursor.row).setPageBreak(Xl::PageBreakManual);
    cursor.row += 1;
}

// After the lots: the template's whole head again, the head block and the
// condensed section over the whole selection.
void writeOverallBlock(ReportRun &run, const Selection &whole, SheetCursor &cursor)
{
    const int startRow = run.settings->StartZeile;
    run.status(QStringLiteral("Gesamt Kopf ..."));
    copyRowsToCursor(run, cursor, 1, startRow - 1);
    cursor.row += startRow - 1;
    WriteListHead(run, whole, cursor);
    cursor.sectionStart = cursor.row;
    run.status(QStringLiteral("Gesamt verdichtet ..."));
    WriteCondensedSection(run, whole, cursor);
    setColumnWidths(run, cursor);
}

// Every lot in its own block, then the overall block when the template
// wants one. Returns the selection of the last block: the totals count
// what it counted, the whole selection after an overall block, else the
// last lot.
Selection writeLotByLot(ReportRun &run, const Selection &whole, SheetCursor &cursor)
{
    Selection last = whole;
    for (int i = 0; i < whole.lotCount && i < whole.lots.size(); ++i) {
        last = LotSelection(whole, whole.lots.at(i));
        writeLot(run, last, cursor, i == 0);
    }
    if (!run.settings->lGesamt)
        return last;
    writeOverallBlock(run, whole, cursor);
    return whole;
}

// Saves the report into the save folder under its unattended name.
void saveReport(ReportRun &run)
{
    Application &xl = *run.xl;
    xl.setDisplayAlerts(false);
    const QString path = run.saveFolder + ReportFileName(run.provisionName, run.startupListNumber);
    try {
        if (run.beforeSave)
            run.beforeSave(path);
        xl.activeWorkbook().saveAs(path, Xl::FileFormatOpenXmlWorkbook);
    } catch (...) {
        // Alerts come back on whatever happens; the failure goes on to the caller.
        xl.setDisplayAlerts(true);
        if (run.afterSave)
            run.afterSave(path, false);
        throw;
    }
    xl.setDisplayAlerts(true);
    if (run.afterSave)
        run.afterSave(path, true);
}

// Prints the report at once, its pages counted in the progress; the status
// says whether it was printed.
void printAtOnce(ReportRun &run)
{
    run.status(QStringLiteral("Wird gedruckt …"));
    const auto pages = [&run](int done, int total) {
        run.progress(done, total);
        return true;
    };
    try {
        run.xl->activeWindow().selectedSheets().printOut(1, true, pages);
    } catch (const WorkbookError &e) {
        // The only failure the run survives: the report stays and is saved.
        run.progress(0, 0);
        run.status(QStringLiteral("Bericht fertig, Ausdruck fehlgeschlagen!"));
        run.tell(QStringLiteral("Beim Ausdruck ist ein Fehler aufgetreten. ") + e.message());
        return;
    }
    run.progress(0, 0);
    run.status(QStringLiteral("Fertig!"));
}

// The totals, header and footer, showing, printing at once and saving.
// A provision that changed while the report read it stops the report
// before it is printed or saved.
void finishReport(ReportRun &run, const Selection &whole, SheetCursor &cursor, const ProvisionWatch &provision)
{
    const ReportSettings &set = *run.settings;
    Application &xl = *run.xl;
    run.status(QStringLiteral("Kopf / Fußzeile ..."));
    if (set.lKubGesamt)
        WriteTotals(run, whole, cursor);
    provision.checkUnchanged();

    xl.run(QStringLiteral("DieseArbeitsmappe.WriteKopfFuss"), {set.lKopfFuss, int(set.nZoom)});
    xl.run(QStringLiteral("DieseArbeitsmappe.SetDotFields"));

    // With an immediate print the report is done once it is printed.
    const bool printNow = set.lSofortDruck != 0;
    if (!printNow)
        run.status(QStringLiteral("Fertig!"));
    xl.setScreenUpdating(true);
    xl.setWindowState(Xl::WindowMinimized);
    xl.setWindowState(Xl::WindowNormal);
    if (printNow)
        printAtOnce(run);

    xl.range(QStringLiteral("A1")).select();
    if (!run.saveFolder.isEmpty())
        saveReport(run);

    // What saving had to leave out (page breaks beyond the file's limit) is
    // told once; it is no failure.
    QStringList &warnings = xl.activeWorkbook().workbook().warnings();
    for (const QString &warning : warnings)
        run.warn(warning);
    warnings.clear();
}

} // namespace

QString ReportFileName(const QString &provisionName, const QString &listNumber)
{
    return fileNamePart(provisionName) + QLatin1Char('_') + fileNamePart(listNumber) + QStringLiteral(".xlsx");
}

void Workbook_Aktualisieren(ReportRun &run, const Selection &chosen)
{
    // The report reads one state of the database where the engine allows.
    const Connection::ReadSnapshot snapshot(*run.db);
    const ProvisionWatch provision(*run.db, run.provisionName, chosen.provisionFilter);
    const Selection whole = prepareSheet(run, chosen);
    SheetCursor cursor;
    cursor.row = run.settings->StartZeile;
    const bool lotByLot = whole.lotCount > 0 && run.settings->lLosweise != 0;
    if (lotByLot) {
        const Selection counted = writeLotByLot(run, whole, cursor);
        finishReport(run, counted, cursor, provision);
    } else {
        writeWholeSelection(run, whole, cursor);
        finishReport(run, whole, cursor, provision);
    }
}

QString StoredConnection(const QString &connectionString)
{
    // Parsed by the same rules the connection is opened with, so no quoting
    // can smuggle another item in; only a plain name passes.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z][A-Za-z0-9._-]{0,63}$"));
    const QString provider = ConnectionString(connectionString).value(QStringLiteral("Provider"));
    if (!plainName.match(provider).hasMatch())
        return QString();
    return QStringLiteral("Provider=") + provider;
}

} // namespace tannbuch
