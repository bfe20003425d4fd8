#include "TemplatePreview.h"

#include "app/IniReader.h"
#include "app/ListBrowserModel.h"
#include "app/PrintJob.h"
#include "app/Program.h"
#include "db/DbError.h"
#include "report/ProgramUi.h"
#include "report/TextLookup.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/print/ReportPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <exception>
#include <optional>

namespace tannbuch {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Nobody sits at a preview: messages and warnings are kept for its outcome.
class PreviewUi : public ProgramUi
{
public:
    explicit PreviewUi(TemplatePreviewOutcome &outcome)
        : m_outcome(outcome)
    { }
    void showMessage(const QString &text) override { m_outcome.messages << text; }
    void showWarning(const QString &text) override { m_outcome.warnings << text; }
    // Never asked: the preview names its one template.
    QString chooseTemplate(const QStringList &templates) override { return templates.value(0); }

private:
    TemplatePreviewOutcome &m_outcome;
};

// Why the files of the request cannot be used; empty when they can. The PDF
// must not land on the template or the ini file, which it would replace.
QString refusedFiles(const TemplatePreviewRequest &request)
{
    if (request.pdfPath.isEmpty())
        return QStringLiteral("Es ist keine PDF-Datei angegeben.");
    // Told before the report runs, which may take a while.
    const QFileInfo target(request.pdfPath);
    if (target.isDir() || !target.absoluteDir().exists())
        return QStringLiteral("Die PDF-Datei „%1“ kann nicht geschrieben werden: %2")
            .arg(shown(request.pdfPath),
                target.isDir()
                    ? QStringLiteral("Das ist ein Ordner.")
                    : QStringLiteral("Der Ordner „%1“ ist nicht vorhanden.").arg(shown(target.absolutePath())));
    const QFileInfo templateFile(request.templatePath);
    QFile file(request.templatePath);
    const QString unreadable = !templateFile.exists() ? QStringLiteral("Die Datei ist nicht vorhanden.")
        : !templateFile.isFile()                      ? QStringLiteral("Das ist keine Datei.")
        : !file.open(QIODevice::ReadOnly)             ? file.errorString()
                                                      : QString();
    if (!unreadable.isEmpty())
        return QStringLiteral("Die Vorlage „%1“ lässt sich nicht lesen: %2")
            .arg(shown(request.templatePath), unreadable);
    const QString pdf = QFileInfo(request.pdfPath).canonicalFilePath();
    for (const QString &kept : {request.templatePath, request.iniPath}) {
        if (!pdf.isEmpty() && pdf == QFileInfo(kept).canonicalFilePath())
            return QStringLiteral("Das PDF „%1“ würde die Datei „%2“ überschreiben; es wurde nichts geschrieben.")
                .arg(shown(request.pdfPath), shown(kept));
    }
    return QString();
}

// The start-up values of the preview: the list against the ini's
// connection, or the demo list against the demo written into the folder.
// Empty after telling why the demo could not be written.
std::optional<StartupValues> startupValues(
    const TemplatePreviewRequest &request, const DemoWriter &writeDemo, const QString &folder, ProgramUi &ui)
{
    StartupValues values;
    values.iniPath = request.iniPath;
    values.listNumber = request.listNumber;
    if (!request.listNumber.isEmpty())
        return values;
    DemoSource demo;
    try {
        demo = writeDemo(folder);
    } catch (const std::exception &e) {
        ui.showMessage(QStringLiteral("Die Demoliste konnte nicht angelegt werden: ") + QString::fromUtf8(e.what()));
        return std::nullopt;
    }
    values.listNumber = demo.listNumber;
    if (request.iniPath.isEmpty()) {
        values.iniPath = demo.iniPath;
        return values;
    }
    // The administrator's ini gives the report its header lines and picture;
    // the demo's gives the connection, as the host's command line would.
    const QString server = IniReader::value(demo.iniPath, QStringLiteral("SQLSERVER")).value_or(QString());
    values.connectionString = QStringLiteral("Provider=SQLite;Data Source=\"%1\"").arg(server);
    values.accessLevelId = IniReader::value(demo.iniPath, QStringLiteral("AL")).value_or(QString());
    values.businessYearColumn = IniReader::value(demo.iniPath, QStringLiteral("RELTABLE")).value_or(QString());
    return values;
}

// Prepares the browser on the start-up list. A clerk reaches a list of any
// of the four business years of the window's year buttons, so the preview
// looks in each, newest first. The years looked in.
QString findList(ListBrowserModel &browser)
{
    browser.prepare();
    if (browser.dateMode())
        return QString();
    QStringList years{browser.year()};
    for (int k = 1; k < int(browser.yearButtons().size()) && browser.listNumber().isEmpty(); ++k) {
        browser.chooseYear(k);
        years << browser.year();
    }
    return years.size() == 1
        ? years.first()
        : years.mid(0, years.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" oder ") + years.last();
}

// The request a clerk's window makes for the start-up list; empty after
// telling why there is none.
std::optional<PrintRequest> startupRequest(Program &program, ProgramUi &ui)
{
    ListBrowserModel browser(program, ListBrowserModel::Viewer::Host);
    PrintRequest request;
    try {
        const QString years = findList(browser);
        request = browser.request();
        if (request.listNumber.isEmpty()) {
            const StartupValues &values = program.values();
            const QString caption = values.businessYearColumn.isEmpty()
                ? QString()
                : GetRelTableCaption(program.connection(), values.businessYearColumn);
            ui.showMessage(ListNotFoundText(values.listNumber, values.listTypeNumber, caption, years)
                + QStringLiteral("; es wurde nichts gedruckt."));
            return std::nullopt;
        }
    } catch (const DbError &e) {
        ui.showMessage(e.message());
        return std::nullopt;
    }
    // A preview goes to the PDF only: never to a printer, never saved.
    request.lSofortDruck = 0;
    request.provisionName.clear();
    request.saveFolder.clear();
    return request;
}

// Runs the report on the started program and draws it into the PDF.
void printPreview(Program &program, const QString &pdfPath, TemplatePreviewOutcome &outcome, ProgramUi &ui)
{
    const std::optional<PrintRequest> request = startupRequest(program, ui);
    if (!request)
        return;
    const PrintOutcome printed = RunPrintJob(program, *request);
    outcome.messages << printed.errorMessages;
    outcome.warnings << printed.warnings;
    if (printed.failed || !outcome.messages.isEmpty())
        return;
    try {
        ReportPrinter::exportPdf(program.application()->activeWorkbook().workbook(), pdfPath);
        outcome.written = true;
    } catch (const WorkbookError &e) {
        ui.showMessage(e.message());
    }
}

} // namespace

TemplatePreviewOutcome RunTemplatePreview(const TemplatePreviewRequest &request, const DemoWriter &writeDemo)
{
    TemplatePreviewOutcome outcome;
    PreviewUi ui(outcome);
    if (const QString refused = refusedFiles(request); !refused.isEmpty()) {
        ui.showMessage(refused);
        return outcome;
    }
    // Declared before the program, so the demo's database is closed before
    // its folder goes.
    const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tannbuch-vorschau-XXXXXX"));
    if (!folder.isValid()) {
        ui.showMessage(QStringLiteral("Es ließ sich kein Arbeitsordner anlegen: ") + folder.errorString());
        return outcome;
    }
    const std::optional<StartupValues> values = startupValues(request, writeDemo, folder.path(), ui);
    if (!values)
        return outcome;
    Program program(ui);
    program.useTemplateFile(request.templatePath);
    // Every message of start-up (the ini, the connection, the template)
    // means the report would not be the template's.
    if (program.startUp(*values) && program.hasReportWorkbook() && outcome.messages.isEmpty())
        printPreview(program, request.pdfPath, outcome, ui);
    if (outcome.messages.isEmpty() && !outcome.written)
        ui.showMessage(QStringLiteral("Das PDF wurde nicht geschrieben."));
    return outcome;
}

} // namespace tannbuch
