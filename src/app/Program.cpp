#include "Program.h"

#include "app/AccessLevel.h"
#include "app/IniReader.h"
#include "app/StartupCheck.h"
#include "db/DbError.h"
#include "report/ProgramUi.h"
#include "report/SettingsSheet.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/TemplateFiles.h"

#include <QDir>
#include <QFileInfo>

namespace tannbuch {

Program::Program(ProgramUi &ui)
    : m_ui(ui)
    , m_templateFolder(QDir::currentPath())
{ }

Program::~Program()
{
    shutDown();
}

QString Program::caption()
{
    return QStringLiteral("Quelt32-Listenausdruck V ") + QStringLiteral(TANNBUCH_VERSION);
}

void Program::tell(const QString &message)
{
    // In unattended printing every message is a failure the host must see.
    if (m_values.isUnattended())
        m_failed = true;
    m_ui.showMessage(message);
}

QString Program::iniPath() const
{
    return m_values.iniPath.isEmpty() ? IniReader::defaultPath() : m_values.iniPath;
}

QString Program::ReadIniValue(const QString &key)
{
    QString problem;
    const std::optional<QString> value = IniReader::value(iniPath(), key, &problem);
    if (value)
        return *value;
    // Tell once; the program ends after the step that asked. A file that is
    // there but refused (a device, too large, no text) says why below.
    if (!m_iniMessageShown) {
        m_iniMessageShown = true;
        QString message = QStringLiteral("Kelmora.ini konnte nicht geöffnet werden!");
        if (!problem.isEmpty())
            message += QLatin1Char('\n') + problem;
        tell(message);
    }
    m_closeRequested = true;
    m_failed = true;
    return QStringLiteral("Error");
}

bool Program::startUp(const QString &commandLine)
{
    return startUp(SplitCommandLine(commandLine));
}

bool Program::startUp(const StartupValues &values)
{
    m_values = values;

    if (m_values.connectionString.isEmpty()) {
        const QString database = ReadIniValue(QStringLiteral("DATABASENAME"));
        if (database == QStringLiteral("Error"))
            return false;
        const QString server = ReadIniValue(QStringLiteral("SQLSERVER"));
        if (server == QStringLiteral("Error"))
            return false;
        m_values.accessLevelId = ReadIniValue(QStringLiteral("AL"));
        m_values.businessYearColumn = ReadIniValue(QStringLiteral("RELTABLE"));
        m_values.connectionString
            = QStringLiteral(
                  "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=")
            + database + QStringLiteral(";Data Source=") + server;
    }

    // Access level, list type and business-year column go into statements
    // without quotes: anything but a number or a known column ends the
    // program before the first statement.
    if (const std::optional<QString> problem = CheckStartupValues(m_values)) {
        tell(*problem);
        m_failed = true;
        m_closeRequested = true;
        return false;
    }

    // Seconds a statement may take on SQL Server (ini key QueryTimeout); a
    // missing or unusable value keeps the default.
    if (const std::optional<QString> timeout = IniReader::value(iniPath(), QStringLiteral("QueryTimeout"))) {
        bool ok = false;
        const int seconds = timeout->trimmed().toInt(&ok);
        m_db.setQueryTimeout(ok && seconds > 0 ? seconds : Connection::DefaultQueryTimeoutSeconds);
    }

    try {
        m_db.open(m_values.connectionString);
    } catch (const DbError &e) {
        // The window stays open without lists; the user learns why.
        tell(QStringLiteral("Die Verbindung zur Datenbank konnte nicht hergestellt werden.\n") + e.message());
        m_failed = true;
        return false;
    }

    try {
        m_accessLevelFilter = GetAccessLevel(m_db, m_values.accessLevelId);
    } catch (const DbError &) {
        // Restrict rather than show every list when the level cannot be read.
        m_accessLevelFilter = QStringLiteral("(") + m_values.accessLevelId + QStringLiteral(")");
    }

    OpenReportWorkbook();
    m_kubaturFormat = GetKubaturFormat();
    return true;
}

QString Program::GetKubaturFormat()
{
    // The option is read as the host keeps it, but every report shows
    // volumes with three decimals whatever it says.
    try {
        Recordset rs
            = m_db.execute(QStringLiteral("SELECT NUMBER_VALUE FROM OPTIONEN WHERE PROPERTY_ID = 'KUBATURPLACE'"));
        rs.close();
    } catch (const DbError &) {
        // A missing option table changes nothing: the format is fixed.
    }
    m_kubaturPlaces = 3;
    return QStringLiteral("0.000");
}

bool Program::hasReportWorkbook() const
{
    return m_application && !m_application->hasQuit() && m_application->workbookCount() > 0;
}

bool Program::chooseTemplateFile()
{
    if (!m_templateFile.isEmpty()) {
        const QFileInfo file(m_templateFile);
        if (!file.isFile()) {
            tell(QStringLiteral("Die Vorlage „%1“ ist nicht vorhanden oder keine Datei.")
                     .arg(QDir::toNativeSeparators(m_templateFile)));
            return false;
        }
        m_templateFolder = file.absolutePath();
        m_templateFileName = file.fileName();
        m_templateFiles = {m_templateFileName};
        return true;
    }
    const QString folder = ReadIniValue(QStringLiteral("PathTemplates"));
    // An empty key leaves the previous folder in force. A folder the ini
    // names but that is not there is told by its name; no other folder's
    // templates (the working folder's) are taken in its place.
    if (!folder.isEmpty() && folder != QStringLiteral("Error")) {
        if (!QDir(folder).exists()) {
            m_templateFiles.clear();
            tell(QStringLiteral("Keine Excelvorlage (Tannbuch*.xlt) vorhanden!\nDer Vorlagenordner „%1“, den der "
                                "Schlüssel PathTemplates der ini-Datei nennt, ist nicht vorhanden.")
                     .arg(QDir::toNativeSeparators(folder)));
            return false;
        }
        m_templateFolder = folder;
    }
    m_templateFiles = TemplateFiles::list(m_templateFolder);
    if (m_templateFiles.isEmpty()) {
        // The first line is the familiar one; the second says where the
        // program looked and how to point it elsewhere.
        tell(QStringLiteral("Keine Excelvorlage (Tannbuch*.xlt) vorhanden!\nGesucht im Ordner „%1“; "
                            "den Ordner nennt der Schlüssel PathTemplates der ini-Datei.")
                 .arg(QDir::toNativeSeparators(m_templateFolder)));
        return false;
    }
    if (m_templateFiles.size() == 1 || m_values.isUnattended())
        m_templateFileName = m_templateFiles.first();
    else
        m_templateFileName = m_ui.chooseTemplate(m_templateFiles);
    return true;
}

void Program::OpenReportWorkbook()
{
    if (!m_application || m_application->hasQuit()) {
        // Making the application can only fail for want of memory; try twice.
        for (int attempt = 0; attempt < 2 && !m_application; ++attempt) {
            try {
                m_application = std::make_unique<Application>();
            } catch (const std::exception &) {
                m_application.reset();
            }
        }
        if (!m_application) {
            tell(QStringLiteral("Excel konnte nicht gestartet werden."));
            return;
        }
    }
    m_application->setLocale(ReportLocale::locale());
    m_application->setPrinter(m_printer);

    m_clientCode = ReadIniValue(QStringLiteral("CLIENT"));
    const bool haveTemplate = chooseTemplateFile();
    m_application->setVisible(true);
    m_application->setWindowState(Xl::WindowNormal);

    bool loaded = false;
    if (haveTemplate && !m_templateFileName.isEmpty()) {
        const QString templatePath = QDir(m_templateFolder).filePath(m_templateFileName);
        try {
            m_application->addWorkbook(templatePath);
            loaded = true;
        } catch (const WorkbookError &e) {
            tell(e.message());
        }
    }

    m_settings.resetForNewWorkbook();
    if (!loaded)
        return;
    Workbook &book = m_application->activeWorkbook().workbook();
    if (book.sheet(SettingsSheet::name())) {
        const IniValueReader readIni = [this](const QString &key) { return ReadIniValue(key); };
        SettingsSheet::read(m_application->worksheets(SettingsSheet::name()), m_settings, readIni);
    } else {
        tell(QStringLiteral("Die Vorlage \"%1\" hat kein Tabellenblatt \"Einstellungen\"; "
                            "es werden keine Einstellungen gelesen.")
                 .arg(m_templateFileName));
    }
    if (book.sheet(QStringLiteral("Tannbuch")))
        m_application->worksheets(QStringLiteral("Tannbuch")).activate();
    else
        tell(QStringLiteral("Die Vorlage \"%1\" hat kein Tabellenblatt \"Tannbuch\".").arg(m_templateFileName));
}

void Program::setPrinter(Application::Printer printer)
{
    m_printer = std::move(printer);
    if (m_application)
        m_application->setPrinter(m_printer);
}

void Program::shutDown()
{
    m_db.close();
    if (m_application) {
        try {
            while (m_application->workbookCount() > 0)
                m_application->closeWorkbook(m_application->workbookAt(0).workbook(), false);
            m_application->quit();
        } catch (const WorkbookError &) {
            // Shut-down goes on whatever fails.
        }
        m_application.reset();
    }
}

} // namespace tannbuch
