#include "PagePrinter.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace tannbuch {

bool PagePrinter::print(const Workbook &workbook, const QString &printer, int copies, bool collate,
    const ReportPrinter::Progress &progress, const QString &savedPath)
{
    const QPrinterInfo info = printer.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(printer);
    if (info.isNull() && !printer.isEmpty())
        throw WorkbookError(QStringLiteral("Der Drucker \"%1\" ist nicht bekannt.").arg(printer));
    if (info.isNull()) {
        throw WorkbookError(QPrinterInfo::availablePrinterNames().isEmpty()
                ? noPrinterMessage()
                : QStringLiteral("Es ist kein Standarddrucker eingerichtet."));
    }
    QPrinter device(info, QPrinter::HighResolution);
    device.setCopyCount(std::max(1, copies));
    device.setCollateCopies(collate);
    device.setDocName(QStringLiteral("Tannbuch"));
    if (!device.isValid())
        throw WorkbookError(
            QStringLiteral("Der Drucker \"%1\" kann nicht angesprochen werden.").arg(info.printerName()));
    // A cancelled job is withdrawn while it is still open, so the print
    // system never gets its first pages.
    const ReportPrinter::Progress withdraw = [&](int done, int total) {
        if (!progress || progress(done, total))
            return true;
        device.abort();
        return false;
    };
    if (!ReportPrinter::paint(workbook, device, withdraw, savedPath))
        return false;
    if (device.printerState() == QPrinter::Error)
        throw WorkbookError(
            QStringLiteral("Der Drucker \"%1\" hat den Auftrag nicht angenommen.").arg(info.printerName()));
    return true;
}

bool PagePrinter::printWorkbook(const Workbook &workbook, const QString &printer, int copies, bool collate,
    const ReportPrinter::Progress &progress, const QString &savedPath)
{
    // A print command set for the site (or the tests) gets a PDF; else the
    // pages go straight to the print system's printer.
    if (!qEnvironmentVariable("TANNBUCH_PRINT_COMMAND").trimmed().isEmpty())
        return ReportPrinter::print(workbook, copies, collate, printer, progress, savedPath);
    return print(workbook, printer, copies, collate, progress, savedPath);
}

QString PagePrinter::noPrinterMessage()
{
    return QStringLiteral("Es ist kein Drucker eingerichtet.");
}

QList<std::pair<QString, QString>> PagePrinter::printerChoices(const QStringList &printers, const QString &defaultName)
{
    QList<std::pair<QString, QString>> choices;
    const bool hasDefault = !defaultName.isEmpty() && printers.contains(defaultName);
    if (hasDefault) {
        choices.append({QStringLiteral("Standarddrucker"), QString()});
        choices.append({defaultName, defaultName});
    }
    for (const QString &name : printers) {
        if (!hasDefault || name != defaultName)
            choices.append({name, name});
    }
    return choices;
}

} // namespace tannbuch
