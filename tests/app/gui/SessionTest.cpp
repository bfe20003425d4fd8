#include "app/ListBrowserModel.h"
#include "app/PrintJob.h"
#include "app/Program.h"
#include "common/RecordingUi.h"
#include "report/ProgramUi.h"
#include "report/ReportSettings.h"
#include "workbook/package/XlsxReader.h"

#include <QTemporaryDir>

#include "RecordingWindow.h"
#include "common/WorkbookCompare.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace demofiles;

namespace {

struct Printed
{
    QStringList statements;
    std::unique_ptr<Workbook> book;
};

// Prints the request into a folder of its own, recording its statements.
Printed print(Program &session, PrintRequest request, const QTemporaryDir &out)
{
    request.saveFolder = out.path() + u'/';
    session.connection().journal().clear();
    session.connection().journal().setRecording(true);
    const PrintOutcome outcome = RunPrintJob(session, request);
    session.connection().journal().setRecording(false);
    EXPECT_FALSE(outcome.failed) << outcome.errorMessages.join(u'\n').toStdString();
    Printed printed{session.connection().journal().statements(), XlsxReader::load(outcome.savedFile)};
    EXPECT_TRUE(printed.book) << outcome.savedFile.toStdString();
    return printed;
}

} // namespace

// A request's switches and sort order live as long as the request: the
// second of two requests on one session sends the same statements and makes
// the same workbook as on a session that printed nothing before.
TEST(Session, ARequestLeavesNothingToTheNext)
{
    const QString commandLine = u"|"_s + demoIni + u"|||4711|1||"_s;
    testsupport::RecordingUi ui;
    Program used(ui);
    ASSERT_TRUE(used.startUp(commandLine)) << ui.messages.join(u'\n').toStdString();
    const ReportSettings fromTemplate = used.settings();
    const PrintRequest startup = StartupPrintRequest(used);
    ASSERT_FALSE(startup.listNumber.isEmpty());

    PrintRequest first = startup;
    first.lEinzeln = 1;
    first.lVerdichtet = 0;
    first.lLosweise = 1;
    first.sortOrder = 4;
    first.markedEntries = startup.shownEntries.mid(0, 2);
    PrintRequest second = startup;
    second.lEinzeln = 0;
    second.lVerdichtet = 1;
    second.lLosweise = 0;
    second.sortOrder = 2;

    const QTemporaryDir firstOut, secondOut, aloneOut;
    const Printed before = print(used, first, firstOut);
    const Printed after = print(used, second, secondOut);

    Program fresh(ui);
    ASSERT_TRUE(fresh.startUp(commandLine));
    const Printed alone = print(fresh, second, aloneOut);
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u'\n').toStdString();
    ASSERT_TRUE(before.book && after.book && alone.book);

    EXPECT_NE(before.statements, alone.statements) << "the two requests print differently";
    EXPECT_EQ(after.statements, alone.statements);
    // The report workbook belongs to the session: clearing its output area
    // shifts cells up as the spreadsheet application does, which leaves the
    // heights the first report gave its rows. Everything else is the same.
    QStringList differences = testsupport::workbookDifferences(*after.book, *alone.book);
    differences.removeIf([](const QString &difference) { return difference.contains(u": height "); });
    EXPECT_EQ(differences, QStringList());
    // The session keeps the template's settings, whatever the runs did with theirs.
    const ReportSettings &kept = used.settings();
    EXPECT_EQ(kept.lEinzeln, fromTemplate.lEinzeln);
    EXPECT_EQ(kept.lVerdichtet, fromTemplate.lVerdichtet);
    EXPECT_EQ(kept.lLosweise, fromTemplate.lLosweise);
    EXPECT_EQ(kept.EinzSort, fromTemplate.EinzSort);
    EXPECT_EQ(kept.KopfKopieEnd, fromTemplate.KopfKopieEnd);
}

} // namespace tannbuch
