#pragma once

#include "db/PrefetchedAnswers.h"
#include "db/Recordset.h"

#include <QHash>
#include <QString>

#include <array>
#include <functional>

namespace tannbuch {

class Application;
class Connection;
class ProgramUi;
struct ReportSettings;

// Index of the additional-text switches read from FORMS_CONFIG.
enum TextSwitch : int {
    SwitchZusatztext = 0,
    SwitchZustext1,
    SwitchZustext2,
    SwitchZustext3,
    SwitchZustext4,
    SwitchZustext5,
    SwitchCoordinate1,
    SwitchCoordinate2,
    TextSwitchCount
};

// One report run, made afresh for each print request: the database, the
// spreadsheet application with the report sheet, the request's own copy of
// the report settings, the user interface, the start-up values, the volume
// format, the client code and the additional-text switches, with the texts
// and lookups remembered for the run. The selection being printed and the
// sheet cursor travel beside it. It is passed by reference to the driver and
// the sections and goes when the request is done, so nothing a request
// changes reaches the next; nothing of it is global.
struct ReportRun
{
    Connection *db = nullptr;
    Application *xl = nullptr;
    ReportSettings *settings = nullptr;
    ProgramUi *ui = nullptr;

    // Read by the driver at the start of every run.
    std::array<int, TextSwitchCount> textSwitches{};

    // Start-up values the driver uses.
    QString connectionString;
    QString provisionName;
    QString saveFolder;
    QString startupListNumber;

    // Called around saving the report into the save folder, with the path of
    // the workbook there: beforeSave just ahead of replacing the file (it may
    // throw WorkbookError, and then nothing is saved), afterSave once saving
    // is over, telling whether it succeeded (it must not throw). They let the
    // caller keep files made from the saved workbook (its PDF) from lying
    // beside a newer one. Either may be empty.
    std::function<void(const QString &path)> beforeSave;
    std::function<void(const QString &path, bool saved)> afterSave;

    // Volume format and client code.
    QString kubaturFormat = QStringLiteral("0.000");
    int kubaturPlaces = 3;
    QString clientCode;

    // Display text by text id (the customer's wording first); texts are read
    // once per report run and then answered from memory.
    QString text(qint32 id);
    // True when text() answers the id from memory.
    bool knowsText(qint32 id) const { return m_texts.contains(id); }
    // Runs a lookup whose answer cannot change during a report run (the name
    // of a record type, a unit, a forest location) once per run; the same
    // statement later gets the remembered result, positioned on its first
    // row. Saves a round trip per record on a networked server.
    Recordset lookup(const QString &sql);
    // True when lookup() answers the statement from memory.
    bool remembers(const QString &sql) const { return m_lookups.contains(StatementKey{sql}); }
    // Forgets the remembered texts and lookups (at the start of every report run).
    void clearRunCaches()
    {
        m_texts.clear();
        m_lookups.clear();
    }

    // Shows a status text in the main window at once.
    void status(const QString &text);
    // How far the running section is (done of total; total 0 when it ends).
    void progress(qint64 done, qint64 total);
    // Tells the user something went wrong that did not stop the run (a failed
    // immediate print); an unattended run must then fail.
    void tell(const QString &message);
    // A failure was told during the run.
    bool failed = false;
    // Tells the user about something the report had to leave out (page
    // breaks beyond the file's limit); the report is good, so the run does
    // not fail.
    void warn(const QString &message);

private:
    QHash<qint32, QString> m_texts;
    QHash<StatementKey, Recordset> m_lookups; // by a hash that reads long texts only in part
};

} // namespace tannbuch
