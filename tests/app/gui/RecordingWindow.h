#pragma once

#include "app/UnattendedPrint.h"
#include "common/WorkbookValidation.h"
#include "gui/F_Start.h"

#include <QFile>

#include <QStringList>
#include <QTemporaryDir>

// The main window with its messages and warnings kept instead of shown,
// taking the first template offered. Messages take the program's own path,
// so an unattended run fails by them as it does for the host.
class RecordingWindow : public F_Start
{
public:
    QString chooseTemplate(const QStringList &templates) override { return templates.first(); }
    QStringList messages;
    QStringList warnings;

protected:
    void present(const QString &text, bool warning) override { (warning ? warnings : messages) << text; }
};

// An unattended print with its messages and warnings kept instead of written
// to standard error; they fail the run as they do for the host.
class RecordingRun : public UnattendedPrint
{
public:
    QStringList messages;
    QStringList warnings;

protected:
    void present(const QString &text, bool warning) override { (warning ? warnings : messages) << text; }
};

// A folder with a database and an ini file naming it; list 4711 is printed
// into it unattended, with provision DEMO, as the host would.
struct UnattendedFolder
{
    // The exit code of the run.
    int printUnattended(RecordingRun &w) const
    {
        w.run(QStringLiteral("|") + ini + QStringLiteral("|||4711|1|DEMO|") + dir.path() + u'/');
        // What a successful run saves must be a file a strict reader opens
        // unrepaired (a failed run may leave an earlier file of a test's own).
        if (w.exitCode() == 0 && QFile::exists(saved()))
            workbookvalidation::expectValid(saved());
        return w.exitCode();
    }
    QString saved() const { return dir.filePath(QStringLiteral("DEMO_4711.xlsx")); }

    QTemporaryDir dir;
    QString db;
    QString ini;
};
