#include "ReportPrinter.h"

#include "OfficeConverter.h"
#include "Workbook.h"
#include "WorkbookError.h"
#include "XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {

constexpr int PrintTimeoutMs = 120000;

} // namespace

void ReportPrinter::exportPdf(const Workbook &workbook, const QString &pdfPath)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tannbuch-pdf-XXXXXX"));
    if (!dir.isValid())
        throw WorkbookError(QStringLiteral("Für die PDF-Ausgabe kann kein temporärer Ordner angelegt werden (%1).")
                                .arg(dir.errorString()));

    // Only the report sheet is printed, as the selected sheet is in the
    // spreadsheet program: the other sheets go into the file hidden.
    XlsxWriter::Options options;
    options.onlyVisibleSheet = workbook.activeSheetIndex();
    const QString xlsx = dir.filePath(QStringLiteral("Tannbuch.xlsx"));
    XlsxWriter::save(workbook, xlsx, options);
    const QString pdf = OfficeConverter::convert(xlsx, QStringLiteral("pdf"), dir.path());

    QFile produced(pdf);
    if (!produced.open(QIODevice::ReadOnly))
        throw WorkbookError(
            QStringLiteral("Die PDF-Datei von LibreOffice kann nicht gelesen werden: %1").arg(produced.errorString()));
    QSaveFile target(pdfPath);
    if (!target.open(QIODevice::WriteOnly))
        throw WorkbookError(QStringLiteral("Die PDF-Datei \"%1\" kann nicht geschrieben werden: %2")
                                .arg(pdfPath, target.errorString()));
    const QByteArray bytes = produced.readAll();
    if (target.write(bytes) != bytes.size() || !target.commit())
        throw WorkbookError(QStringLiteral("Die PDF-Datei \"%1\" kann nicht geschrieben werden: %2")
                                .arg(pdfPath, target.errorString()));
}

void ReportPrinter::print(const Workbook &workbook, int copies, bool collate, const QString &printer)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tannbuch-print-XXXXXX"));
    if (!dir.isValid())
        throw WorkbookError(QStringLiteral("Für den Ausdruck kann kein temporärer Ordner angelegt werden (%1).")
                                .arg(dir.errorString()));
    const QString pdf = dir.filePath(QStringLiteral("Tannbuch.pdf"));
    exportPdf(workbook, pdf);

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
    process.start();
    if (!process.waitForStarted(30000))
        throw WorkbookError(QStringLiteral("Der Druckbefehl \"%1\" kann nicht gestartet werden: %2")
                                .arg(process.program(), process.errorString()));
    if (!process.waitForFinished(PrintTimeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        throw WorkbookError(
            QStringLiteral("Der Druckbefehl \"%1\" ist nicht innerhalb von %2 Sekunden fertig geworden.")
                .arg(process.program())
                .arg(PrintTimeoutMs / 1000));
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
}
