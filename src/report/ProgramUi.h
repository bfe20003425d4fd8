#pragma once

#include <QString>
#include <QStringList>

namespace tannbuch {

// What the program asks of the person at the screen: messages (OK only) and
// the choice among several templates. The main window answers with message
// boxes and the template dialog; in unattended printing messages go to
// standard error and nothing waits for a person.
class ProgramUi
{
public:
    virtual ~ProgramUi() = default;

    // A failure or a notice; in unattended printing it fails the run.
    virtual void showMessage(const QString &text) = 0;
    // Something the user should know about a good result (a report that had
    // to leave page breaks out); it never fails a run.
    virtual void showWarning(const QString &text) { showMessage(text); }
    // The template file name chosen among several (never called with fewer
    // than two, nor in unattended printing).
    virtual QString chooseTemplate(const QStringList &templates) = 0;
    // Shows a status text at once ("Kopf ...", "Fertig!").
    virtual void showStatus(const QString &) { }
    // How far the running section is: done of total steps; total 0 ends the
    // display. Called often; a screen answers only now and then.
    virtual void showProgress(qint64 /*done*/, qint64 /*total*/) { }
};

} // namespace tannbuch
