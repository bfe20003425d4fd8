#include "UnattendedPrint.h"

#include "app/RunLog.h"
#include "app/UnattendedLock.h"
#include "db/DbError.h"
#include "report/TextLookup.h"
#include "selection/LastDaysRange.h"
#include "selection/SelectionQueries.h"
#include "selection/SelectionStatements.h"
#include "text/DateText.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

// A switch of the template's settings as its check box leaves it: 0 off,
// 2 greyed, anything else on.
qint16 switchValue(qint16 setting)
{
    return setting == 0 ? 0 : setting == 2 ? 2 : 1;
}

} // namespace

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
    PrintRequest request;
    try {
        request = StartupPrintRequest(m_program);
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
        showMessage(listNotFound() + QStringLiteral("; es wurde nichts gedruckt und nichts gespeichert."));
        return;
    }
    m_printedList = request.listNumber;
    const PrintOutcome outcome = RunPrintJob(m_program, request);
    m_savedFile = outcome.savedFile;
    for (const QString &message : outcome.errorMessages)
        showMessage(message);
    for (const QString &warning : outcome.warnings)
        showWarning(warning);
    if (outcome.failed)
        m_failed = true;
}

QString UnattendedPrint::listNotFound()
{
    const StartupValues &values = m_program.values();
    QString caption;
    QString year;
    if (!values.businessYearColumn.isEmpty()) {
        year = StartupYear(m_program);
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

QString ListNotFoundText(
    const QString &listNumber, const QString &listTypeNumber, const QString &yearCaption, const QString &year)
{
    QStringList narrowedBy;
    if (!year.isEmpty()) {
        QString caption = yearCaption.trimmed();
        if (caption.endsWith(u':'))
            caption.chop(1);
        caption = caption.trimmed();
        narrowedBy << (caption.isEmpty() ? QStringLiteral("Jahr") : caption) + u' ' + year;
    }
    if (!listTypeNumber.isEmpty())
        narrowedBy << QStringLiteral("Listenart ") + listTypeNumber;
    QString text = QStringLiteral("Die Liste %1 wurde nicht gefunden").arg(listNumber);
    if (!narrowedBy.isEmpty())
        text += QStringLiteral(" (") + narrowedBy.join(QStringLiteral(", ")) + u')';
    return text;
}

QString StartupYear(Program &program)
{
    const QString column = program.values().businessYearColumn;
    if (column.isEmpty())
        return QString();
    const QDate today = QDate::currentDate();
    try {
        return QString::number(NewestBusinessYear(program.connection(), column, today));
    } catch (const DbError &) {
        // Without the table the year falls back to the calendar.
        return QString::number(BusinessYearOrFallback(QString(), today));
    }
}

QList<ListViewRow> StartupListRows(Program &program)
{
    const StartupValues &values = program.values();
    const ReportSettings &settings = program.settings();
    ListViewQuery query;
    query.businessYearColumn = values.businessYearColumn;
    query.listNumber = values.listNumber;
    query.listTypeNumber = values.listTypeNumber;
    query.accessLevelFilter = program.accessLevelFilter();
    const QDate today = QDate::currentDate();
    if (values.businessYearColumn.isEmpty()) {
        // The range the window starts with: the template's last days up to today.
        const DateRange range = LastDaysRange(QString::number(settings.LetztenTage), QString(), today)
                                    .value_or(DateRange{DateText::format(today), DateText::format(today)});
        query.dateFrom = range.from;
        query.dateTo = range.to;
    } else {
        query.year = StartupYear(program);
    }
    return ReadListViewRows(program.connection(), ListViewStatement(query), program.kubaturFormat());
}

PrintRequest StartupPrintRequest(Program &program)
{
    const StartupValues &values = program.values();
    const ReportSettings &settings = program.settings();
    PrintRequest request;
    request.sortOrder = settings.EinzSort >= 1 && settings.EinzSort <= 6 ? settings.EinzSort : qint16(1);
    request.lLosweise = switchValue(settings.lLosweise);
    request.lSofortDruck = switchValue(settings.lSofortDruck);
    request.lEinzeln = switchValue(settings.lEinzeln);
    request.lVerdichtet = switchValue(settings.lVerdichtet);
    request.provisionName = values.provisionName;
    request.saveFolder = values.saveFolder;

    const QList<ListViewRow> rows = StartupListRows(program);
    if (rows.isEmpty())
        return request;
    request.listNumber = rows.first().liste;
    Connection &db = program.connection();
    const QString list = request.listNumber.trimmed();
    request.listTypeText = ReadListTypeTexts(db, list, values.listTypeNumber).value(0);
    request.shownEntries = SortedLotEntries(ReadLotEntries(db, request.lotMode, list, request.listTypeText));
    return request;
}
