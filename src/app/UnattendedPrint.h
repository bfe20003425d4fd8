#pragma once

#include "app/PrintJob.h"
#include "app/Program.h"
#include "report/ProgramUi.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

namespace tannbuch {

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
    // What the last report of run() printed; empty when none was written.
    const Selection &printedSelection() const { return m_printedSelection; }

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
    // Why the host's list is not in the browser of that business year
    // (reads the year's caption).
    QString listNotFound(const QString &year);
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
    Selection m_printedSelection;
};

} // namespace tannbuch
