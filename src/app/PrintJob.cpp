#include "PrintJob.h"

#include "app/PdfBesideWorkbook.h"
#include "app/Program.h"
#include "app/SaveFolder.h"
#include "db/DbError.h"
#include "report/ProgramUi.h"
#include "report/ReportRun.h"
#include "report/driver/ReportDriver.h"
#include "selection/SelectionFilter.h"
#include "selection/SelectionQueries.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/WorkbookError.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace tannbuch {

namespace {

// The report driver's messages and warnings go into the outcome, for the
// caller to show when the job is done; status and progress reach the
// program's own user interface at once.
class JobUi : public ProgramUi
{
public:
    JobUi(ProgramUi &shown, PrintOutcome &outcome)
        : m_shown(shown)
        , m_outcome(outcome)
    { }
    void showMessage(const QString &text) override
    {
        m_outcome.errorMessages << text;
        m_outcome.failed = true;
    }
    void showWarning(const QString &text) override { m_outcome.warnings << text; }
    QString chooseTemplate(const QStringList &templates) override { return m_shown.chooseTemplate(templates); }
    void showStatus(const QString &text) override { m_shown.showStatus(text); }
    void showProgress(qint64 done, qint64 total) override { m_shown.showProgress(done, total); }

private:
    ProgramUi &m_shown;
    PrintOutcome &m_outcome;
};

// The selection of the request; empty after telling the job's user why the
// provision gives nothing to print.
std::optional<Selection> checkedSelection(Connection &db, const PrintRequest &request, ProgramUi &ui)
{
    SelectionRequest selecting;
    selecting.listNumber = request.listNumber;
    selecting.mode = request.lotMode;
    selecting.shown = request.shownEntries;
    selecting.marked = request.markedEntries;
    const bool provisionNamed = !request.provisionName.isEmpty();
    if (provisionNamed) {
        selecting.provisionFilter = GetProvisionFilter(db, request.provisionName);
        // Without its condition the report would show the whole list as the
        // provision's.
        if (selecting.provisionFilter.isEmpty()) {
            ui.showMessage(QStringLiteral("Die Bereitstellung \"%1\" gibt es nicht oder sie enthält keine Hölzer; "
                                          "es wurde nichts gedruckt und nichts gespeichert.")
                               .arg(request.provisionName));
            return std::nullopt;
        }
    }
    selecting.listType = GetListTypeNumber(db, request.listTypeText);

    Selection checked = BuildSelectionFilter(selecting);
    if (!provisionNamed)
        return checked;
    // The provision decides which lots there are to print: a lot-by-lot
    // report shows only the lots that hold its records.
    const QStringList lots = ReadSelectionLots(db, checked.filter);
    if (lots.isEmpty()) {
        const QString list = selecting.listType.isEmpty()
            ? request.listNumber
            : QStringLiteral("%1 (Listenart %2)").arg(request.listNumber, selecting.listType);
        ui.showMessage(QStringLiteral("Die Bereitstellung \"%1\" enthält keine Hölzer der Liste %2; es wurde "
                                      "nichts gedruckt und nichts gespeichert.")
                           .arg(request.provisionName, list));
        return std::nullopt;
    }
    if (request.lotMode == LotMode::Lots) {
        checked.lots = lots;
        checked.lotCount = int(lots.size());
    }
    return checked;
}

// The run of one request: the program's connection and workbook, the
// start-up values, the volume format and the client code, and settings of
// its own, the program's with the request's switches and sort order.
// settings must outlive the run.
ReportRun makeReportRun(Program &program, const PrintRequest &request, ReportSettings &settings, ProgramUi &ui)
{
    settings = program.settings();
    settings.EinzSort = request.sortOrder;
    settings.lLosweise = request.lLosweise;
    settings.lSofortDruck = request.lSofortDruck;
    settings.lEinzeln = request.lEinzeln;
    settings.lVerdichtet = request.lVerdichtet;

    ReportRun run;
    run.db = &program.connection();
    // A reopened workbook may have replaced the spreadsheet application.
    run.xl = program.application();
    run.settings = &settings;
    run.ui = &ui;
    run.connectionString = program.values().connectionString;
    run.provisionName = request.provisionName;
    run.saveFolder = request.saveFolder;
    // The saved file is named after the list the host asked for.
    run.startupListNumber = program.values().listNumber;
    run.kubaturFormat = program.kubaturFormat();
    run.kubaturPlaces = program.kubaturPlaces();
    run.clientCode = program.clientCode();
    return run;
}

// Only an unattended report that is saved gets its PDF, when the ini file
// says SavePdf=1: the host has no window to print from.
bool wantsPdf(Program &program, const PrintRequest &request)
{
    return !request.provisionName.isEmpty() && !request.saveFolder.isEmpty()
        && program.ReadIniValue(QStringLiteral("SavePdf")).trimmed() == u"1";
}

// The workbook the driver saved in the save folder; empty when it saved none.
QString savedWorkbook(Program &program, const PrintRequest &request)
{
    Application *xl = program.application();
    if (request.saveFolder.isEmpty() || !xl || xl->workbookCount() == 0)
        return QString();
    return xl->savedPath(xl->activeWorkbook().workbook());
}

// The checks, the report and what follows it; database and workbook errors
// propagate. pdf, when given, makes the PDF beside the saved workbook.
void runChecked(Program &program, const PrintRequest &request, JobUi &ui, PrintOutcome &outcome, PdfBesideWorkbook *pdf)
{
    if (request.listNumber.isEmpty()) {
        ui.showMessage(QStringLiteral("Bitte eine Liste auswählen."));
        return;
    }
    const std::optional<QString> saveFolder = SaveFolderPrefix(request.saveFolder);
    if (!saveFolder) {
        ui.showMessage(UnknownSaveFolderMessage(request.saveFolder));
        return;
    }
    const std::optional<Selection> checked = checkedSelection(program.connection(), request, ui);
    if (!checked)
        return;
    ReportSettings settings;
    ReportRun run = makeReportRun(program, request, settings, ui);
    if (pdf) {
        run.beforeSave = [pdf](const QString &path) { pdf->beforeSave(path); };
        run.afterSave = [pdf](const QString &path, bool saved) { pdf->afterSave(path, saved); };
    }
    // From here on the workbook holds another report than any file it was
    // saved as, so nothing may save over that file unasked.
    if (Application *xl = program.application(); xl && xl->workbookCount() > 0)
        xl->forgetSavedPath(xl->activeWorkbook().workbook());
    run.saveFolder = *saveFolder;
    outcome.reportWritten = true;
    outcome.selection = *checked;
    Workbook_Aktualisieren(run, *checked);
    outcome.savedFile = savedWorkbook(program, request);
    if (pdf && !outcome.savedFile.isEmpty())
        pdf->write(program.application()->activeWorkbook().workbook(), outcome.savedFile, ui);
}

} // namespace

PrintOutcome RunPrintJob(Program &program, const PrintRequest &request)
{
    PrintOutcome outcome;
    // The user may have closed the workbook since the last report. An
    // unattended run opened it at start-up just now and told why it could
    // not; trying again would only tell the same failure twice.
    if (!program.hasReportWorkbook()) {
        if (!program.values().isUnattended())
            program.OpenReportWorkbook();
        // The template choice was cancelled, or the template failed (which
        // was told): nothing to print into.
        if (!program.hasReportWorkbook()) {
            outcome.failed = true;
            return outcome;
        }
    }
    // TANNBUCH_PREFETCH=0 runs every look-up alone, as it is asked (for
    // comparisons and benchmarks); the report is the same either way.
    program.connection().setPrefetchEnabled(qEnvironmentVariable("TANNBUCH_PREFETCH") != u"0");
    JobUi ui(program.ui(), outcome);
    std::optional<PdfBesideWorkbook> pdf;
    if (wantsPdf(program, request))
        pdf.emplace();
    // A failure that ends the job leaves no status of a section still at
    // work, nor a progress bar.
    const auto stopped = [&](const QString &message) {
        ui.showProgress(0, 0);
        ui.showStatus(outcome.reportWritten ? QStringLiteral("Abgebrochen, der Bericht ist unvollständig!")
                                            : QStringLiteral("Nicht gedruckt!"));
        ui.showMessage(message);
    };
    try {
        runChecked(program, request, ui, outcome, pdf ? &*pdf : nullptr);
    } catch (const DbError &e) {
        // The database's own words.
        stopped(e.message());
    } catch (const WorkbookError &e) {
        stopped(e.message());
    }
    if (pdf) {
        for (const QString &note : pdf->notes())
            ui.showMessage(note);
    }
    return outcome;
}

QStringList SortedLotEntries(QStringList entries)
{
    // The database sorts lot numbers as text (1, 10, 100, 2); when every
    // entry is a whole number they go in numeric order instead.
    QList<qint64> numbers;
    numbers.reserve(entries.size());
    for (const QString &entry : entries) {
        bool ok = false;
        numbers << entry.trimmed().toLongLong(&ok);
        if (!ok)
            return entries;
    }
    QList<qsizetype> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return numbers[a] < numbers[b]; });
    QStringList sorted;
    sorted.reserve(entries.size());
    for (qsizetype i : order)
        sorted << entries[i];
    return sorted;
}

} // namespace tannbuch
