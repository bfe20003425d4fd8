#pragma once

#include "app/StartupValues.h"
#include "db/Connection.h"
#include "report/ReportSettings.h"
#include "workbook/automation/Application.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tannbuch {

class ProgramUi;

// The session: what lives from start-up to shut-down, behind the main window
// or an unattended print, and the steps of start-up, report workbook and
// shut-down that need no window: start-up values from the command line or the
// ini file, the one database connection, the access-level filter, the volume
// format, the spreadsheet application with the report workbook, the template
// chosen and the report settings read from it. A print request changes none
// of it: each runs on a report run of its own (RunPrintJob).
//
// Failures follow the program's rules: a step of start-up or workbook set-up
// that fails is skipped; the user is told through ProgramUi where there is
// something to tell. Nothing here throws.
class Program
{
public:
    explicit Program(ProgramUi &ui);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The caption of the main window: "Quelt32-Listenausdruck V " and the
    // program's version; it also names the program's lock files.
    static QString caption();

    // Start-up from the command line up to the report workbook: start-up
    // values (the ini file fills what the command line leaves open), the
    // connection, the access-level filter, the report workbook and the volume
    // format. Returns false when start-up stopped early (ini file unreadable,
    // an access level, list type or business-year column that statements
    // cannot take, connection failed); closeRequested() tells whether the
    // program ends.
    bool startUp(const QString &commandLine);
    // The same from start-up values already split.
    bool startUp(const StartupValues &values);

    // Takes this template file for every report workbook instead of the
    // ini's template folder (a template preview); empty: the folder again.
    void useTemplateFile(const QString &path) { m_templateFile = path; }

    // Opens a report workbook from the template folder of the ini file,
    // asking for the template when there are several (unattended: the first),
    // and reads the report settings from its sheet "Einstellungen".
    void OpenReportWorkbook();

    // How the spreadsheet application prints (an immediate print); kept for
    // every application the program starts. Unset: the print command.
    void setPrinter(Application::Printer printer);

    // Closes the connection, discards the report workbook without saving and
    // quits the spreadsheet application. Failures are ignored.
    void shutDown();

    // The ini value of a key; "Error" when the ini file cannot be opened or
    // is refused (not a regular file, too large, no text), after telling the
    // user once and asking the program to end.
    QString ReadIniValue(const QString &key);

    // "0.000" with 3 decimal places, the volume format of every report.
    QString GetKubaturFormat();

    const StartupValues &values() const { return m_values; }
    Connection &connection() { return m_db; }
    bool isConnected() const { return m_db.isOpen(); }
    const QString &accessLevelFilter() const { return m_accessLevelFilter; }
    const QString &kubaturFormat() const { return m_kubaturFormat; }
    int kubaturPlaces() const { return m_kubaturPlaces; }
    Application *application() { return m_application.get(); }
    // The settings as the template gives them; a print request runs on a copy.
    ReportSettings &settings() { return m_settings; }
    const ReportSettings &settings() const { return m_settings; }
    const QString &clientCode() const { return m_clientCode; }
    const QString &templateFolder() const { return m_templateFolder; }
    const QString &templateFileName() const { return m_templateFileName; }
    const QStringList &templateFiles() const { return m_templateFiles; }
    bool hasReportWorkbook() const;

    // The ini file read when the command line names none.
    QString iniPath() const;
    // The program asked to end (the ini file could not be opened, or a
    // start-up value was refused).
    bool closeRequested() const { return m_closeRequested; }
    // Something went wrong that an unattended run must report by its exit code.
    bool hasFailed() const { return m_failed; }

    ProgramUi &ui() { return m_ui; }

private:
    void tell(const QString &message);
    // Lists the templates of the ini's template folder and takes one (asking
    // when there are several); false, after telling why, when there is none.
    bool chooseTemplateFile();

    ProgramUi &m_ui;
    StartupValues m_values;
    Connection m_db;
    QString m_accessLevelFilter;
    QString m_kubaturFormat = QStringLiteral("0.000");
    int m_kubaturPlaces = 3;
    std::unique_ptr<Application> m_application;
    ReportSettings m_settings;
    QString m_clientCode;
    QString m_templateFolder;
    QString m_templateFileName;
    QStringList m_templateFiles;
    QString m_templateFile;
    bool m_closeRequested = false;
    bool m_iniMessageShown = false;
    bool m_failed = false;
    Application::Printer m_printer;
};

} // namespace tannbuch
