// The demo list printed unattended over SQL Server's wire: the program's
// ODBC connection through the FreeTDS driver to the test endpoint serving the
// demo database. The saved workbook must equal the embedded run's; a server
// that stalls or drops the connection must fail the run without a file.
#include "app/IniReader.h"
#include "gui/F_Start.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include "RecordingWindow.h"
#include "common/QtPrinters.h"
#include "common/WorkbookCompare.h"
#include "tds/TdsEndpoint.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace demofiles;

namespace {

// Prints list 4711 unattended over the endpoint; the exit code.
int printOverEndpoint(RecordingRun &w, const tds::Endpoint &endpoint, const QString &ini, const QTemporaryDir &out)
{
    const QString al = IniReader::value(demoIni, u"AL"_s).value_or(QString());
    const QString year = IniReader::value(demoIni, u"RELTABLE"_s).value_or(QString());
    return w.run(endpoint.connectionString() + QLatin1Char('|') + ini + QLatin1Char('|') + al + QLatin1Char('|') + year
        + u"|4711|1|DEMO|"_s + out.path() + QLatin1Char('/'));
}

} // namespace

TEST(OdbcDemoReport, TheWorkbookEqualsTheEmbeddedRunCellForCell)
{
    UnattendedFolder embedded;
    embedded.ini = demoIni;
    {
        RecordingRun first;
        ASSERT_EQ(embedded.printUnattended(first), 0) << qPrintable(first.messages.join(u'\n'));
    }

    tds::Endpoint endpoint(QStringLiteral(TANNBUCH_DEMO_DB));
    QTemporaryDir out;
    RecordingRun second;
    ASSERT_EQ(printOverEndpoint(second, endpoint, demoIni, out), 0) << qPrintable(second.messages.join(u'\n'));

    const auto a = XlsxReader::load(embedded.saved());
    const auto b = XlsxReader::load(out.filePath(u"DEMO_4711.xlsx"_s));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(testsupport::workbookDifferences(*a, *b), QStringList());
}

// Faults of the server: the run ends with the message, non-zero, and saves
// nothing that could pass for the complete list.
TEST(OdbcDemoReport, AServerFaultFailsTheRunWithoutAFile)
{
    struct Case
    {
        const char *name;
        tds::Faults faults;
        const char *message;
    };
    const Case cases[] = {
        {"stall", {.stallOn = u"FROM LOGS"_s}, "nicht innerhalb von einer Sekunde"},
        {"drop", {.dropOn = u"FROM LOGS"_s, .dropAfterRows = 1}, "Verbindung"},
        {"error",
            {.failOn = u"FROM LOGS"_s,
                .errorNumber = 1222,
                .errorMessage = u"Lock request time out period exceeded."_s},
            "Lock request time out period exceeded."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        tds::Endpoint endpoint(QStringLiteral(TANNBUCH_DEMO_DB));
        endpoint.setFaults(c.faults);
        QTemporaryDir out;
        const QString ini = demoIniWith(out, {{u"QueryTimeout"_s, u"1"_s}});
        RecordingRun w;
        EXPECT_NE(printOverEndpoint(w, endpoint, ini, out), 0);
        EXPECT_TRUE(w.messages.join(u'\n').contains(QString::fromUtf8(c.message)))
            << qPrintable(w.messages.join(u'\n'));
        EXPECT_FALSE(QFile::exists(out.filePath(u"DEMO_4711.xlsx"_s)));
    }
}

} // namespace tannbuch
