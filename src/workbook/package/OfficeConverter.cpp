#include "OfficeConverter.h"

#include "workbook/cells/WorkbookError.h"
#include "workbook/package/ProcessGroup.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace tannbuch {

QString OfficeConverter::program()
{
    const QString configured = qEnvironmentVariable("TANNBUCH_OFFICE_PROGRAM");
    if (!configured.isEmpty())
        return QFileInfo(configured).isExecutable() ? configured : QString();
    QString found = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    return found;
}

QString OfficeConverter::convert(const QString &source, const QString &format, const QString &outDir, int timeoutMs)
{
    const QString office = program();
    if (office.isEmpty())
        throw WorkbookError(QStringLiteral("LibreOffice ist nicht installiert; \"%1\" kann nicht umgewandelt werden.")
                                .arg(QFileInfo(source).fileName()));

    QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/tannbuch-office-XXXXXX"));
    if (!profile.isValid())
        throw WorkbookError(QStringLiteral("Für LibreOffice kann kein temporärer Ordner angelegt werden (%1).")
                                .arg(profile.errorString()));

    QProcess process;
    process.setProgram(office);
    process.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
        QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
        QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, source});
    ProcessGroup::prepare(process);
    process.start();
    if (!process.waitForStarted(30000))
        throw WorkbookError(
            QStringLiteral("LibreOffice (%1) kann nicht gestartet werden: %2").arg(office, process.errorString()));
    if (!process.waitForFinished(timeoutMs)) {
        // The suite's launcher script starts the real program as its child.
        ProcessGroup::stop(process);
        throw WorkbookError(QStringLiteral("LibreOffice hat \"%1\" nicht innerhalb von %2 Sekunden umgewandelt.")
                                .arg(QFileInfo(source).fileName())
                                .arg(timeoutMs / 1000));
    }
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const QString target = QDir(outDir).filePath(QFileInfo(source).completeBaseName() + QLatin1Char('.') + format);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !QFileInfo(target).isFile()) {
        QString detail = errors.isEmpty() ? output : errors;
        if (detail.isEmpty())
            detail = QStringLiteral("Rückgabewert %1").arg(process.exitCode());
        throw WorkbookError(QStringLiteral("LibreOffice konnte \"%1\" nicht nach %2 umwandeln: %3")
                                .arg(QFileInfo(source).fileName(), format.toUpper(), detail));
    }
    return target;
}

} // namespace tannbuch
