#include "ReportPrinter.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/ProcessGroup.h"
#include "workbook/print/PageRenderer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

#include <csignal>
#include <mutex>

namespace tannbuch {

namespace {

constexpr int PrintTimeoutMs = 120000;
// How often a running print command is asked whether to go on.
constexpr int PollMs = 100;

// A stray value far out in a template makes an area of millions of pages,
// which would take hours to draw: it is refused before the first page.
void refuseTooManyPages(const PageLayout &layout, const QString &sheetName)
{
    if (layout.areaPageCount() <= PageLayout::MaxPages)
        return;
    const QLocale german(QLocale::German, QLocale::Germany);
    throw WorkbookError(QStringLiteral("Das Blatt \"%1\" reicht bis zur Zelle %2 und ergäbe %3 Seiten; gezeichnet "
                                       "werden höchstens %4. Bitte die Zellen außerhalb des Berichts leeren oder in "
                                       "der Vorlage einen Druckbereich festlegen.")
                            .arg(sheetName, CellAddress::cellName(layout.area().lastRow, layout.area().lastColumn),
                                german.toString(layout.areaPageCount()), german.toString(PageLayout::MaxPages)));
}

} // namespace

bool ReportPrinter::paint(
    const Workbook &workbook, QPagedPaintDevice &device, const Progress &progress, const QString &savedPath)
{
    if (workbook.sheetCount() == 0)
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe hat kein Blatt, das gedruckt werden kann."));
    // Fonts come from the GUI application's font database.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw WorkbookError(QStringLiteral("Seiten können nur mit laufender Oberfläche gezeichnet werden."));
    const int sheetIndex = qBound(0, workbook.activeSheetIndex(), workbook.sheetCount() - 1);
    PageRenderer renderer(workbook, sheetIndex);
    refuseTooManyPages(renderer.layout(), workbook.sheet(sheetIndex).name());
    renderer.setFilePath(savedPath);
    const int pages = renderer.pageCount();
    if (progress && !progress(0, pages))
        return false;

    const QSizeF paper = renderer.layout().paperSize();
    device.setPageLayout(
        QPageLayout(QPageSize(QSizeF(std::min(paper.width(), paper.height()), std::max(paper.width(), paper.height())),
                        QPageSize::Point),
            paper.width() > paper.height() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&device))
        throw WorkbookError(QStringLiteral("Die Ausgabe der Seiten kann nicht beginnen."));
    // The renderer counts in points; a printer may keep a margin of its own
    // that the page set-up's margins already include.
    const double dotsPerPoint = device.logicalDpiX() / 72.0;
    const QPointF shift = device.pageLayout().paintRectPoints().topLeft();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            throw WorkbookError(QStringLiteral("Eine neue Seite kann nicht begonnen werden."));
        }
        painter.save();
        painter.scale(dotsPerPoint, dotsPerPoint);
        painter.translate(-shift);
        renderer.drawPage(painter, i);
        painter.restore();
        if (progress && !progress(i + 1, pages)) {
            painter.end();
            return false;
        }
    }
    // A sheet with nothing to print still gives one empty page.
    painter.end();
    return true;
}

bool ReportPrinter::writePdf(
    const Workbook &workbook, QIODevice &device, const Progress &progress, const QString &savedPath)
{
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Tannbuch"));
    if (workbook.sheetCount() > 0)
        writer.setTitle(workbook.sheet(qBound(0, workbook.activeSheetIndex(), workbook.sheetCount() - 1)).name());
    return paint(workbook, writer, progress, savedPath);
}

bool ReportPrinter::exportPdf(
    const Workbook &workbook, const QString &pdfPath, const Progress &progress, const QString &savedPath)
{
    QSaveFile target(pdfPath);
    if (!target.open(QIODevice::WriteOnly))
        throw WorkbookError(QStringLiteral("Die PDF-Datei \"%1\" kann nicht geschrieben werden: %2")
                                .arg(QDir::toNativeSeparators(pdfPath), target.errorString()));
    if (!writePdf(workbook, target, progress, savedPath)) {
        target.cancelWriting();
        return false;
    }
    if (!target.commit())
        throw WorkbookError(QStringLiteral("Die PDF-Datei \"%1\" kann nicht geschrieben werden: %2")
                                .arg(QDir::toNativeSeparators(pdfPath), target.errorString()));
    return true;
}

bool ReportPrinter::print(const Workbook &workbook, int copies, bool collate, const QString &printer,
    const Progress &progress, const QString &savedPath)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tannbuch-print-XXXXXX"));
    if (!dir.isValid())
        throw WorkbookError(QStringLiteral("Für den Ausdruck kann kein temporärer Ordner angelegt werden (%1).")
                                .arg(dir.errorString()));
    const QString pdf = dir.filePath(QStringLiteral("Tannbuch.pdf"));
    int pages = 0;
    const Progress counting = [&](int done, int total) {
        pages = total;
        return !progress || progress(done, total);
    };
    if (!exportPdf(workbook, pdf, counting, savedPath))
        return false;

    QStringList command;
    const QString configured = qEnvironmentVariable("TANNBUCH_PRINT_COMMAND").trimmed();
    if (!configured.isEmpty()) {
        command = QProcess::splitCommand(configured);
    } else {
        command = {QStringLiteral("lp")};
        if (!printer.isEmpty())
            command << QStringLiteral("-d") << printer;
        command << QStringLiteral("-n") << QString::number(std::max(1, copies));
        if (collate)
            command << QStringLiteral("-o") << QStringLiteral("collate=true");
    }
    if (command.isEmpty())
        throw WorkbookError(QStringLiteral("Der Druckbefehl ist leer."));
    command << pdf;

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TANNBUCH_PRINTER"), printer);
    environment.insert(QStringLiteral("TANNBUCH_COPIES"), QString::number(std::max(1, copies)));
    environment.insert(QStringLiteral("TANNBUCH_COLLATE"), collate ? QStringLiteral("1") : QStringLiteral("0"));
    process.setProcessEnvironment(environment);
    process.setProgram(command.takeFirst());
    process.setArguments(command);
    ProcessGroup::prepare(process);
    process.start();
    if (!process.waitForStarted(30000))
        throw WorkbookError(QStringLiteral("Der Druckbefehl \"%1\" kann nicht gestartet werden: %2")
                                .arg(process.program(), process.errorString()));
    const auto stop = [&process] { ProcessGroup::stop(process); };
    const QDeadlineTimer deadline(PrintTimeoutMs);
    while (!process.waitForFinished(PollMs)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (progress && !progress(pages, pages)) {
            stop();
            return false;
        }
        if (deadline.hasExpired()) {
            stop();
            throw WorkbookError(
                QStringLiteral("Der Druckbefehl \"%1\" ist nicht innerhalb von %2 Sekunden fertig geworden.")
                    .arg(process.program())
                    .arg(PrintTimeoutMs / 1000));
        }
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QString detail = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (detail.isEmpty())
            detail = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        throw WorkbookError(QStringLiteral("Der Druckbefehl \"%1\" ist fehlgeschlagen (Rückgabewert %2): %3")
                                .arg(process.program())
                                .arg(process.exitCode())
                                .arg(detail));
    }
    return true;
}

} // namespace tannbuch
