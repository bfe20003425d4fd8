#include "ReportDriver.h"

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/SqlQuote.h"
#include "report/ReportSettings.h"
#include "report/ReportState.h"
#include "report/condensed/CondensedSection.h"
#include "report/head/ListHead.h"
#include "report/head/Totals.h"
#include "report/single/SingleLogSection.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

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

void readTextSwitches(ReportState &s)
{
    const QChar cr(13);
    Recordset rs = s.db->execute(QStringLiteral("Select property_id, number_value ") + cr
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
                s.textSwitches[size_t(k)] = int(n);
        }
    }
}

// Column widths of the data columns A to J over the block just written. A
// template without a width keeps its own widths rather than hiding A to J.
void setColumnWidths(ReportState &s)
{
    if (s.settings->SpaltenBreite <= 0)
        return;
    Range block = s.xl->range(QStringLiteral("A") + row(s.sectionStartRow) + QStringLiteral(":J") + row(s.cursor - 1));
    block.select();
    s.xl->selection().setColumnWidth(s.settings->SpaltenBreite);
}

// The two data sections in the order the template wants, with their status
// texts; a status text shows even when its section is switched off.
void writeSections(ReportState &s, const QString &condensedStatus, const QString &singleStatus)
{
    const ReportSettings &set = *s.settings;
    auto condensed = [&] {
        s.status(condensedStatus);
        if (set.lVerdichtet != 0)
            WriteCondensedSection(s);
    };
    auto single = [&] {
        s.status(singleStatus);
        if (set.lEinzeln != 0)
            WriteSingleLogSection(s);
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
void copyRowsToCursor(ReportState &s, int first, int last)
{
    s.xl->rows(row(first) + QLatin1Char(':') + row(last)).select();
    s.xl->selection().copy();
    s.xl->range(QStringLiteral("A") + row(s.cursor)).select();
    s.xl->activeSheet().paste();
}

// A path separator in the provision name or list number would write outside
// the save folder.
QString fileNamePart(QString part)
{
    part.replace(QLatin1Char('/'), QLatin1Char('_'));
    part.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return part;
}

} // namespace

QString ReportFileName(const QString &provisionName, const QString &listNumber)
{
    return fileNamePart(provisionName) + QLatin1Char('_') + fileNamePart(listNumber) + QStringLiteral(".xlsx");
}

void Workbook_Aktualisieren(ReportState &s)
{
    ReportSettings &set = *s.settings;
    Application &xl = *s.xl;
    s.clearRunCaches();
    s.failed = false;

    readTextSwitches(s);
    xl.worksheets(ReportSheet).activate();
    // Without a start row the report would overwrite the template's head.
    if (set.StartZeile < 1)
        throw WorkbookError(QStringLiteral("Die Vorlage nennt auf dem Blatt \"Einstellungen\" keine Startzeile "
                                           "(StartZeile); es wurde nichts gedruckt."));

    // No lots, or only the empty lot, print the whole selection.
    if (s.lots.isEmpty() || (s.lots.size() == 1 && s.lots.first().isEmpty())) {
        s.lots.clear();
        s.lotCount = 0;
        set.lLosweise = 0;
        if (!s.listType.isEmpty())
            s.filter += QStringLiteral(" AND LOGS.LISTENART = ") + s.listType;
    }

    QString templateFilter = s.filter;
    templateFilter.remove(QStringLiteral("LOGS."));
    xl.run(QStringLiteral("DieseArbeitsmappe.SetGlobalVariables"),
        {StoredConnection(s.connectionString), templateFilter, s.listNumber});
    xl.run(QStringLiteral("DieseArbeitsmappe.WriteKundeKopf"));

    // Clear the output area; a longer earlier report may reach below row
    // 10000, so the deletion goes down to the last used row then.
    int lastRow = 10000;
    const RangeRef used = xl.activeSheet().worksheet().usedRange();
    if (used.lastRow > lastRow)
        lastRow = used.lastRow;
    xl.range(QStringLiteral("A") + row(set.StartZeile) + QStringLiteral(":Z") + row(lastRow)).select();
    xl.selection().deleteCells(Xl::Up);

    xl.setScreenUpdating(false);
    xl.activeWindow().setView(Xl::ViewPageBreakPreview);
    xl.activeSheet().resetAllPageBreaks();
    xl.activeWindow().setView(Xl::ViewNormal);

    for (int k = 1; k <= 8; ++k) {
        const HeaderLine &line = set.headerLines[size_t(k)];
        if (!line.text.isEmpty() && !line.cell.isEmpty())
            xl.range(line.cell).setValue(line.text);
    }
    if (!set.headerPicture.text.isEmpty() && !set.headerPicture.cell.isEmpty()) {
        xl.range(set.headerPicture.cell).select();
        xl.activeSheet().pictures().insert(set.headerPicture.text);
    }

    s.cursor = set.StartZeile;

    const bool lotByLot = s.lotCount > 0 && set.lLosweise != 0;
    if (!lotByLot) {
        s.status(QStringLiteral("Kopf ..."));
        WriteListHead(s);
        s.sectionStartRow = s.cursor;
        writeSections(s, QStringLiteral("Verdichtet ..."), QStringLiteral("Einzeln ..."));
        setColumnWidths(s);
    } else {
        const QString wholeFilter = s.filter;
        const QStringList lots = s.lots;
        for (int i = 0; i < s.lotCount && i < lots.size(); ++i) {
            const QString lot = QLatin1Char('\'') + sqlQuoteInner(lots.at(i)) + QLatin1Char('\'');
            // A lot keeps the provision's condition, so its blocks count what
            // the totals below count.
            s.filter = QStringLiteral("LOGS.LISTE='") + sqlQuoteInner(s.listNumber)
                + QStringLiteral("' AND isnull(LOGS.LOS,'')=") + lot + s.provisionFilter;
            if (!s.listType.isEmpty())
                s.filter += QStringLiteral(" AND LOGS.LISTENART = ") + s.listType;
            s.status(QStringLiteral("Los ") + lot + QStringLiteral(" Kopf ..."));

            if (i > 0) {
                // Later lots repeat the template's head rows; the defaults last
                // for the rest of the run.
                if (set.KopfKopieStart == 0)
                    set.KopfKopieStart = 1;
                if (set.KopfKopieEnd == 0)
                    set.KopfKopieEnd = set.StartZeile - 1;
                copyRowsToCursor(s, set.KopfKopieStart, set.KopfKopieEnd);
                s.cursor += set.KopfKopieEnd;
            }
            WriteListHead(s);
            s.sectionStartRow = s.cursor;
            writeSections(s, QStringLiteral("Los ") + lot + QStringLiteral(" verdichtet ..."),
                QStringLiteral("Los ") + lot + QStringLiteral(" einzeln ..."));
            setColumnWidths(s);

            // One blank row, then the next lot starts on a new page.
            s.cursor += 1;
            xl.range(QStringLiteral("A") + row(s.cursor)).select();
            xl.activeSheet().rows(s.cursor).setPageBreak(Xl::PageBreakManual);
            s.cursor += 1;
        }

        if (s.lotCount >= 1 && set.lGesamt) {
            s.filter = wholeFilter;
            s.status(QStringLiteral("Gesamt Kopf ..."));
            copyRowsToCursor(s, 1, set.StartZeile - 1);
            s.cursor += set.StartZeile - 1;
            WriteListHead(s);
            s.sectionStartRow = s.cursor;
            s.status(QStringLiteral("Gesamt verdichtet ..."));
            WriteCondensedSection(s);
            setColumnWidths(s);
        }
    }

    s.status(QStringLiteral("Kopf / Fußzeile ..."));
    if (set.lKubGesamt)
        WriteTotals(s);

    xl.run(QStringLiteral("DieseArbeitsmappe.WriteKopfFuss"), {set.lKopfFuss, int(set.nZoom)});
    xl.run(QStringLiteral("DieseArbeitsmappe.SetDotFields"));

    s.status(QStringLiteral("Fertig!"));
    xl.setScreenUpdating(true);
    xl.setWindowState(Xl::WindowMinimized);
    xl.setWindowState(Xl::WindowNormal);

    if (set.lSofortDruck != 0) {
        try {
            xl.activeWindow().selectedSheets().printOut(1, true);
        } catch (const WorkbookError &e) {
            // The only failure the run survives: the report stays and is saved.
            s.tell(QStringLiteral("Beim Ausdruck ist ein Fehler aufgetreten. ") + e.message());
        }
    }

    xl.range(QStringLiteral("A1")).select();

    if (!s.saveFolder.isEmpty()) {
        xl.setDisplayAlerts(false);
        const QString path = s.saveFolder + ReportFileName(s.provisionName, s.startupListNumber);
        try {
            xl.activeWorkbook().saveAs(path, Xl::FileFormatOpenXmlWorkbook);
        } catch (...) {
            // Alerts come back on whatever happens; the failure goes on to the caller.
            xl.setDisplayAlerts(true);
            throw;
        }
        xl.setDisplayAlerts(true);
    }

    // What saving had to leave out (page breaks beyond the file's limit) is
    // told once; it is no failure.
    QStringList &warnings = xl.activeWorkbook().workbook().warnings();
    for (const QString &warning : warnings)
        s.warn(warning);
    warnings.clear();
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
