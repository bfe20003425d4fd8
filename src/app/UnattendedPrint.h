#pragma once

#include "app/PrintJob.h"
#include "app/Program.h"
#include "report/ProgramUi.h"
#include "selection/ListViewRows.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class UnattendedLock;

// An unattended print as the host starts it (a provision name on the command
// line): no window, every message on standard error after "Tannbuch: ", and
// the exit code telling the host whether it got its report. A message fails
// the run, a warning does not.
class UnattendedPrint : public ProgramUi
{
public:
    UnattendedPrint();
    ~UnattendedPrint() override;

    // Runs the host's command line: takes the unattended lock (waiting the
    // ini's InstanceWait for another unattended print), starts the program,
    // builds the request the main window would have printed and runs the
    // print job. Returns the exit code: 0 when the report was made, 1 when
    // anything failed. Appends a line to the run log; a log that cannot be
    // written is a warning. The program shuts down, and the lock is given
    // back, when this object goes.
    int run(const QString &commandLine);
    int exitCode() const { return m_exitCode; }

    Program &program() { return m_program; }

    // ProgramUi.
    void showMessage(const QString &text) override;
    void showWarning(const QString &text) override;
    // Never asked: unattended start-up takes the first template.
    QString chooseTemplate(const QStringList &templates) override { return templates.value(0); }

protected:
    // Writes a message or warning to standard error.
    virtual void present(const QString &text, bool warning);

private:
    // Prints on the started program; failures are told.
    void printStartupList();
    // Why the host's list is not in the browser (reads the year's caption).
    QString listNotFound();
    // Appends the run's line to the run log, or warns that it cannot.
    void logRun(const StartupValues &requested, const QDateTime &started, qint64 milliseconds);

    // Declared before the program, so that it is given back after the
    // program has shut down.
    std::unique_ptr<UnattendedLock> m_lock;
    Program m_program;
    bool m_failed = false;
    int m_exitCode = 0;
    // For the run log: the first message and warning, the list printed and
    // the workbook saved.
    QString m_firstMessage;
    QString m_firstWarning;
    QString m_printedList;
    QString m_savedFile;
};

// Why the list the host named is not in the list browser, with what the
// browser was narrowed by: the business year (by the caption the window
// gives it, without its colon) and the list type, each when there is one.
// Without final punctuation.
QString ListNotFoundText(
    const QString &listNumber, const QString &listTypeNumber, const QString &yearCaption, const QString &year);

// The business year the list browser starts with: the newest one of the
// business-year column (or the calendar's, without its table); empty in
// date mode.
QString StartupYear(Program &program);

// The lines of the list browser for the start-up values, as the main window
// shows them once started: the newest business year, or the ini's last days
// up to today. Database errors propagate as DbError.
QList<ListViewRow> StartupListRows(Program &program);

// The request the main window makes of its controls right after start-up:
// the first list of the browser (none when it is empty), its first list
// type, all its lots shown and none marked, the switches and sort order of
// the template's settings, the start-up values' provision and save folder.
// Database errors propagate as DbError.
PrintRequest StartupPrintRequest(Program &program);
