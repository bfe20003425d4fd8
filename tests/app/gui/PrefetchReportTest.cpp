// Look-ups sent ahead change nothing but the round trips: the demo list and a
// generated list with stacked wood, jackets and several lots, printed whole
// and lot by lot, give the same workbook and send the same statements with
// and without prefetching. Over the SQL Server endpoint
// (TANNBUCH_TEST_DATABASE=tds) the endpoint also receives fewer batches.
// A provision read on the server prints the same workbook as its ids listed.
#include "app/IniReader.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include "RecordingWindow.h"
#include "common/TdsMirror.h"
#include "common/TestSupport.h"
#include "common/WorkbookCompare.h"
#include "tds/TdsEndpoint.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

// What one print gave: the statements it sent and the batches the endpoint received.
struct Printed
{
    QStringList statements;
    qsizetype batches = 0;
    QString saved;
};

// A database (the demo lists, or one generated list 4711) with an ini file
// per template, so each run prints in the template's mode.
class PrintFolder
{
public:
    explicit PrintFolder(int records, const QString &change = QString())
    {
        demofiles::writeGeneratedDatabase(m_db, records);
        if (!change.isEmpty()) {
            EXPECT_EQ(testsupport::changeSqliteDatabase(m_db, change), QString());
        }
        if (testsupport::overTds())
            m_endpoint = std::make_unique<tds::Endpoint>(m_db);
    }

    // Prints list 4711 with the provision unattended from a folder holding only the named template.
    Printed print(const QString &templateName, bool prefetch, const QString &provision = u"DEMO"_s)
    {
        const testsupport::EnvironmentGuard prefetching("TANNBUCH_PREFETCH", prefetch ? "1" : "0");
        const QString run = m_dir.filePath(QString::number(++m_runs));
        const QString ini = demofiles::writeDemoFolder(run, m_db, templateName);

        const qsizetype batchesBefore = m_endpoint ? m_endpoint->batches().size() : 0;
        RecordingRun w;
        w.program().connection().journal().setRecording(true);
        // Over the endpoint the host passes access level and year itself.
        const QString host = !m_endpoint
            ? u'|' + ini + u"||"_s
            : m_endpoint->connectionString() + u'|' + ini + u'|' + IniReader::value(ini, u"AL"_s).value_or(QString())
                + u'|' + IniReader::value(ini, u"RELTABLE"_s).value_or(QString());
        EXPECT_EQ(w.run(host + u"|4711|1|"_s + provision + u'|' + run + u'/'), 0)
            << w.messages.join(u'\n').toStdString();
        Printed printed{w.program().connection().journal().statements(), 0, run + u'/' + provision + u"_4711.xlsx"_s};
        if (m_endpoint)
            printed.batches = m_endpoint->batches().size() - batchesBefore;
        return printed;
    }

private:
    QTemporaryDir m_dir;
    QString m_db = m_dir.filePath(u"forst.sqlite"_s);
    std::unique_ptr<tds::Endpoint> m_endpoint;
    int m_runs = 0;
};

// The first statement where two journals part, or empty when they are the same.
QString firstDifference(const QStringList &a, const QStringList &b)
{
    for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
        if (a[i] != b[i])
            return u"statement %1: %2\n  against %3"_s.arg(i).arg(a[i].left(300), b[i].left(300));
    }
    if (a.size() != b.size())
        return u"%1 statements against %2"_s.arg(a.size()).arg(b.size());
    return QString();
}

} // namespace

TEST(PrefetchReport, SameWorkbookAndStatementsWithAndWithoutLookAhead)
{
    struct Case
    {
        const char *name;
        int records; // 0: the demo lists
    };
    // 1,200 generated records make several lots, each with stacked wood and jackets.
    const Case cases[] = {{"demo", 0}, {"generated", 1200}};
    for (const Case &c : cases) {
        PrintFolder folder(c.records);
        for (const QString &templateName : {u"Tannbuch.xltx"_s, u"Tannbuch_Losweise.xltx"_s}) {
            SCOPED_TRACE(c.name + (u" with "_s + templateName).toStdString());
            const Printed alone = folder.print(templateName, false);
            const Printed ahead = folder.print(templateName, true);
            ASSERT_GT(alone.statements.size(), 50);
            EXPECT_EQ(firstDifference(alone.statements, ahead.statements), QString());
            const auto a = XlsxReader::load(alone.saved);
            const auto b = XlsxReader::load(ahead.saved);
            ASSERT_TRUE(a && b);
            EXPECT_EQ(testsupport::workbookDifferences(*a, *b), QStringList());
            if (testsupport::overTds()) {
                EXPECT_LT(ahead.batches, alone.batches);
            }
        }
    }
}

// Provision LISTE holds 1,000 records of the list (every fifth one left
// out), so its ids are listed in the statements; SERVER holds the same
// records, a NULL and 300 ids of no record, and is read on the server.
// Whole and lot by lot, both print the same workbook.
TEST(PrefetchReport, AProvisionReadOnTheServerPrintsAsItsIdsListed)
{
    PrintFolder folder(1300,
        u"INSERT INTO BEREITSTELLUNG_KOPF (ID, BEREITSTELLUNGSNAME) VALUES (91, 'LISTE'), (92, 'SERVER');"
        "INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS)"
        " SELECT 91, ID_LOG FROM LOGS WHERE ID_LOG % 5 <> 0 ORDER BY ID_LOG LIMIT 1000;"
        "INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS)"
        " SELECT 92, ID_LOGS FROM BEREITSTELLUNG_LOGS WHERE ID_BEREITSTELLUNG_KOPF = 91"
        " UNION ALL SELECT 92, NULL UNION ALL SELECT 92, 900000 + ID_LOG FROM LOGS LIMIT 1301;"_s);
    for (const QString &templateName : {u"Tannbuch.xltx"_s, u"Tannbuch_Losweise.xltx"_s}) {
        SCOPED_TRACE(templateName.toStdString());
        const Printed listed = folder.print(templateName, true, u"LISTE"_s);
        const Printed read = folder.print(templateName, true, u"SERVER"_s);
        EXPECT_TRUE(listed.statements.filter(u"IN (SELECT bl.ID_LOGS"_s).isEmpty());
        EXPECT_GT(read.statements.filter(u"IN (SELECT bl.ID_LOGS FROM BEREITSTELLUNG_LOGS bl"_s).size(), 50);
        const auto a = XlsxReader::load(listed.saved);
        const auto b = XlsxReader::load(read.saved);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(testsupport::workbookDifferences(*a, *b), QStringList());
    }
}

} // namespace tannbuch
