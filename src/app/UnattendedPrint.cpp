#include "UnattendedPrint.h"

#include "app/ListBrowserModel.h"
#include "app/RunLog.h"
#include "app/UnattendedLock.h"
#include "db/DbError.h"
#include "report/TextLookup.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace tannbuch {

UnattendedPrint::UnattendedPrint()
    : m_program(*this)
{ }

UnattendedPrint::~UnattendedPrint() = default;

int UnattendedPrint::run(const QString &commandLine)
{
    const QDateTime started = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    m_failed = false;
    m_firstMessage.clear();
    m_firstWarning.clear();
    m_printedList.clear();
    m_savedFile.clear();
    m_printedSelection = Selection();
    // A clerk's window does not stop an unattended print; another unattended
    // print is waited for, for a bounded time.
    const StartupValues requested = SplitCommandLine(commandLine);
    m_lock = std::make_unique<UnattendedLock>(Program::caption());
    const int wait = UnattendedLock::waitSeconds(requested.iniPath);
    if (!m_lock->claim(wait)) {
        showMessage(QStringLiteral("Das Programm läuft bereits für einen anderen unbeaufsichtigten Ausdruck, und "
                                   "die Wartezeit (InstanceWait = %1 s) ist abgelaufen; es wurde nichts gedruckt.")
                        .arg(wait));
    } else if (m_program.startUp(commandLine) && !m_program.closeRequested()) {
        printStartupList();
    }
    m_exitCode = m_failed || m_program.hasFailed() ? 1 : 0;
    logRun(requested, started, timer.elapsed());
    return m_exitCode;
}

void UnattendedPrint::printStartupList()
{
    // The list browser as the window starts it, without the window.
    ListBrowserModel browser(m_program, ListBrowserModel::Viewer::Host);
    PrintRequest request;
    try {
        browser.prepare();
        request = browser.request();
    } catch (const DbError &e) {
        showMessage(e.message());
        return;
    }
    // Printing LISTE '' would hand the host an empty report as success.
    const QString asked = m_program.values().listNumber;
    if (request.listNumber.isEmpty() && asked.isEmpty()) {
        showMessage(QStringLiteral("In der Listenauswahl steht keine Liste; es wurde nichts gedruckt "
                                   "und nichts gespeichert."));
        return;
    }
    if (request.listNumber.isEmpty()) {
        showMessage(
            listNotFound(browser.year()) + QStringLiteral("; es wurde nichts gedruckt und nichts gespeichert."));
        return;
    }
    m_printedList = request.listNumber;
    const PrintOutcome outcome = RunPrintJob(m_program, request);
    m_savedFile = outcome.savedFile;
    m_printedSelection = outcome.selection;
    for (const QString &message : outcome.errorMessages)
        showMessage(message);
    for (const QString &warning : outcome.warnings)
        showWarning(warning);
    if (outcome.failed)
        m_failed = true;
}

QString UnattendedPrint::listNotFound(const QString &year)
{
    const StartupValues &values = m_program.values();
    QString caption;
    if (!values.businessYearColumn.isEmpty()) {
        try {
            caption = GetRelTableCaption(m_program.connection(), values.businessYearColumn);
        } catch (const DbError &) {
            // The message names the year without the window's caption.
        }
    }
    return ListNotFoundText(values.listNumber, values.listTypeNumber, caption, year);
}

void UnattendedPrint::showMessage(const QString &text)
{
    // A message means the host did not get what it asked for.
    m_failed = true;
    if (m_firstMessage.isEmpty())
        m_firstMessage = text;
    present(text, false);
}

void UnattendedPrint::showWarning(const QString &text)
{
    if (m_firstWarning.isEmpty())
        m_firstWarning = text;
    present(text, true);
}

void UnattendedPrint::logRun(const StartupValues &requested, const QDateTime &started, qint64 milliseconds)
{
    RunRecord record;
    record.started = started;
    record.milliseconds = milliseconds;
    record.listNumber = m_printedList.isEmpty() ? requested.listNumber : m_printedList.trimmed();
    record.listType = requested.listTypeNumber;
    record.provision = requested.provisionName;
    record.outcome = m_exitCode != 0 ? RunRecord::Outcome::Failed
        : m_firstWarning.isEmpty()   ? RunRecord::Outcome::Printed
                                     : RunRecord::Outcome::Warnings;
    record.firstMessage = m_firstMessage.isEmpty() ? m_firstWarning : m_firstMessage;
    if (!m_savedFile.isEmpty()) {
        record.savedFiles << m_savedFile;
        // The PDF written beside it in this run (SavePdf), not one left by
        // an earlier run.
        QString pdf = m_savedFile;
        pdf.chop(QStringLiteral(".xlsx").size());
        pdf += QStringLiteral(".pdf");
        const QFileInfo written(pdf);
        if (written.exists() && written.lastModified() >= started.addSecs(-1))
            record.savedFiles << pdf;
    }
    const QString log = RunLog::path(requested.iniPath);
    const QString error
        = RunLog::append(log, RunLog::line(record, {requested.connectionString, m_program.values().connectionString}));
    if (!error.isEmpty())
        showWarning(QStringLiteral("Das Protokoll „%1“ ließ sich nicht schreiben (%2); der Ausdruck ist davon "
                                   "nicht betroffen.")
                        .arg(log, error));
}

void UnattendedPrint::present(const QString &text, bool /*warning*/)
{
    // Nobody reads a message of an unattended run but the host, through
    // standard error and the exit code.
    QTextStream(stderr) << QStringLiteral("Tannbuch: ") << text << Qt::endl;
}

} // namespace tannbuch
