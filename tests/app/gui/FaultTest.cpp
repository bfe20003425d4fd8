// Faults injected into whole runs of the program and bad input from the
// database: nothing crashes, the user is told, unattended runs fail.
#include "gui/F_Start.h"
#include "gui/ReportWindow.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"

#include "RecordingWindow.h"
#include "common/QtPrinters.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <functional>

namespace tannbuch {

using namespace Qt::StringLiterals;
using namespace demofiles;

namespace {

// The volume of the lot blocks of a lot-by-lot report: the condensed
// "Gesamt" rows above the last page break (the overall block follows it).
double lotBlocksVolume(const Worksheet &sheet)
{
    const int overall = sheet.rowBreaks().empty() ? INT_MAX : *sheet.rowBreaks().rbegin();
    double volume = 0;
    for (const auto &[row, data] : sheet.rows()) {
        if (row >= overall || data.cells.empty() || data.cells.front().column != 1
            || data.cells.front().text != u"Gesamt"_s)
            continue;
        for (const Cell &c : data.cells) {
            if (c.column == 8 && c.type == CellType::Number)
                volume += c.number;
        }
    }
    return volume;
}

} // namespace

// The database file garbled after start-up is told and the window stays for
// another try; a file removed is still read through the open connection.
TEST(Faults, DatabaseGarbledOrRemovedAfterStart)
{
    for (const bool garbled : {true, false}) {
        DemoCopy copy;
        RecordingWindow w;
        ASSERT_TRUE(w.start(u"|"_s + copy.ini + u"|||||"_s));
        // Garbage over the whole file, the same size; or the file gone.
        ASSERT_TRUE(garbled ? testsupport::writeFile(copy.db, QByteArray(int(QFileInfo(copy.db).size()), '\x5a'))
                            : QFile::remove(copy.db));
        printList(w);
        EXPECT_EQ(w.messages.isEmpty(), !garbled) << w.messages.join(u'\n').toStdString();
        EXPECT_FALSE(w.hasEnded()) << "the window stays for another try";
        if (!garbled) {
            EXPECT_NE(w.reportWindow(), nullptr) << "the open file is still read";
        }
        w.Form_Unload();
    }
}

TEST(Faults, StatementFailingMidReportKeepsWhatWasWrittenAndFails)
{
    // The heights table is read only for stacked wood, late in the single logs.
    DemoCopy copy("DROP TABLE SCHICHT_HOEHEN_KOPF;");
    ASSERT_TRUE(testsupport::writeFile(copy.saved(), "earlier report"));

    {
        RecordingRun unattended;
        EXPECT_NE(copy.printUnattended(unattended), 0);
        ASSERT_FALSE(unattended.messages.isEmpty());
        EXPECT_TRUE(unattended.messages.join(u'\n').contains(u"SCHICHT_HOEHEN_KOPF"_s))
            << unattended.messages.join(u'\n').toStdString();
    }
    EXPECT_EQ(testsupport::readFile(copy.saved()), QByteArray("earlier report")) << "the earlier file survives";

    // Interactive: the rows written before the failure are shown after the message.
    RecordingWindow clerk;
    ASSERT_TRUE(clerk.start(u"|"_s + copy.ini + u"|||||"_s));
    printList(clerk);
    ASSERT_EQ(clerk.messages.size(), 1);
    EXPECT_EQ(control<QLabel>(clerk, "LbStatus")->text(), u"Abgebrochen, der Bericht ist unvollständig!"_s)
        << "no section still at work";
    ASSERT_NE(clerk.reportWindow(), nullptr);
    const Workbook &book = clerk.reportWindow()->workbook();
    EXPECT_GT(book.sheet(0).usedRange().lastRow, 200) << "head, condensed part and the first single logs";
    clerk.Form_Unload();
}

// Starts a second unattended print and a clerk's window once its own report
// is under way.
class BusyRun : public RecordingRun
{
public:
    explicit BusyRun(const DemoCopy &copy)
        : m_copy(copy)
    { }
    void showProgress(qint64 done, qint64 total) override
    {
        RecordingRun::showProgress(done, total);
        if (secondTried)
            return;
        secondTried = true;
        QElapsedTimer waited;
        waited.start();
        RecordingRun unattended;
        unattendedExit = unattended.run(u"|"_s + m_copy.ini + u"|||4711|1|DEMO|"_s + otherFolder.path() + u'/');
        unattendedWaited = waited.elapsed();
        unattendedTold = unattended.messages.join(u'\n');
        RecordingWindow clerk;
        clerk.Form_Load(u"|"_s + m_copy.ini + u"|||||"_s);
        clerkEnded = clerk.hasEnded();
        clerk.Form_Unload();
    }
    QTemporaryDir otherFolder;
    bool secondTried = false;
    qint64 unattendedWaited = 0;
    int unattendedExit = 0;
    QString unattendedTold;
    bool clerkEnded = true;

private:
    const DemoCopy &m_copy;
};

// The second print gives up with a message after InstanceWait and fails;
// a clerk's window still opens.
TEST(Faults, SecondUnattendedPrintWaitsItsTimeAndFailsWhileTheFirstFinishes)
{
    DemoCopy copy(nullptr, {{u"InstanceWait"_s, u"1"_s}});
    BusyRun first(copy);
    EXPECT_EQ(copy.printUnattended(first), 0) << first.messages.join(u'\n').toStdString();
    ASSERT_TRUE(first.secondTried) << "the report showed no progress";
    EXPECT_GE(first.unattendedWaited, 1000) << "it waits InstanceWait seconds for the first";
    EXPECT_NE(first.unattendedExit, 0) << "an unattended second run printed nothing and must say so";
    EXPECT_TRUE(
        first.unattendedTold.contains(u"läuft bereits"_s) && first.unattendedTold.contains(u"InstanceWait = 1 s"_s))
        << first.unattendedTold.toStdString();
    EXPECT_TRUE(QDir(first.otherFolder.path()).isEmpty()) << "the second run wrote nothing";
    EXPECT_FALSE(first.clerkEnded) << "a clerk's window opens beside an unattended print";
    EXPECT_GT(XlsxReader::load(copy.saved())->sheet(0).usedRange().lastRow, 300) << "the first report is whole";
}

// Cuts the database file short once the report is under way: between two
// statements, as a host restoring its database would.
class CuttingRun : public RecordingRun
{
public:
    explicit CuttingRun(QString db)
        : m_db(std::move(db))
    { }
    void showProgress(qint64 done, qint64 total) override
    {
        RecordingRun::showProgress(done, total);
        if (!cut) {
            QFile file(m_db);
            cut = file.resize(file.size() / 3);
        }
    }
    bool cut = false;

private:
    QString m_db;
};

TEST(Faults, DatabaseCutShortDuringAPrintIsToldAndFailsTheRun)
{
    DemoCopy copy;
    CuttingRun w(copy.db);
    EXPECT_EQ(copy.printUnattended(w), 1);
    ASSERT_TRUE(w.cut) << "the report showed no progress";
    ASSERT_FALSE(w.messages.isEmpty());
    EXPECT_TRUE(w.messages.join(u'\n').contains(u"beschädigt"_s)) << w.messages.join(u'\n').toStdString();
    EXPECT_FALSE(QFile::exists(copy.saved())) << "nothing saved as if complete";
}

TEST(BadInput, ControlCharactersLongTextsEmptyRecordsAndNullIdsPrint)
{
    // A 40,000-character remark with control characters, records of every type
    // with nothing but their type, list and lot, quotes in texts, and a
    // provision row without a log id.
    DemoCopy copy(
        "UPDATE LOGS SET ZUSTXT = 'A' || char(1) || char(11) || char(27) || replace(hex(zeroblob(20000)), '00', "
        "'xy') WHERE ID_LOG = (SELECT MIN(ID_LOG) FROM LOGS WHERE LISTE = '4711');"
        "UPDATE LOGS SET LISTZUSTXT = 'O''Brien \"Sägewerk\"' || char(8) WHERE LISTE = '4711';"
        "INSERT INTO LOGS (LISTE, LOS, DSART) SELECT '4711', '1', value FROM "
        "(SELECT 1 AS value UNION SELECT 2 UNION SELECT 3 UNION SELECT 4 UNION SELECT 5 UNION SELECT 6 "
        "UNION SELECT NULL);"
        "INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS) SELECT (SELECT ID FROM "
        "BEREITSTELLUNG_KOPF WHERE BEREITSTELLUNGSNAME = 'DEMO'), ID_LOG FROM LOGS WHERE HA IS NULL AND "
        "LISTE = '4711';"
        "INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS) SELECT ID, NULL FROM "
        "BEREITSTELLUNG_KOPF WHERE BEREITSTELLUNGSNAME = 'DEMO';");
    RecordingRun w;
    const int code = copy.printUnattended(w);
    EXPECT_EQ(code, 0) << w.messages.join(u'\n').toStdString();
    const auto book = XlsxReader::load(copy.saved());
    ASSERT_TRUE(book);
    bool longText = false;
    for (const auto &[row, data] : book->sheet(0).rows()) {
        for (const Cell &cell : data.cells)
            longText = longText || cell.text.size() > 30000;
    }
    EXPECT_TRUE(longText) << "the long remark arrives (cut to what a cell holds at most)";
}

TEST(BadInput, QuotesInListLotPileAndProvisionRunThroughEveryStatement)
{
    DemoCopy copy("UPDATE LOGS SET LISTE = 'O''Brien', LOS = LOS || '''', POLTNR = POLTNR || '''' WHERE LISTE = '4711';"
                  "UPDATE LISTENKOPF SET LISTE = 'O''Brien' WHERE LISTE = '4711';"
                  "UPDATE BEREITSTELLUNG_KOPF SET BEREITSTELLUNGSNAME = 'D''EMO' WHERE BEREITSTELLUNGSNAME = 'DEMO';");
    RecordingRun w;
    EXPECT_EQ(w.run(u"|"_s + copy.ini + u"|||O'Brien|1|D'EMO|"_s + copy.dir.path() + u'/'), 0)
        << w.messages.join(u'\n').toStdString();
    const auto book = XlsxReader::load(copy.dir.filePath(u"D'EMO_O'Brien.xlsx"_s));
    ASSERT_TRUE(book);
    EXPECT_GT(book->sheet(0).usedRange().lastRow, 600) << "head, condensed part, single logs and totals";
}

namespace {

// The demo template changed by the step, alone in a template folder.
QString templateFolder(const QTemporaryDir &dir, const std::function<void(QByteArray &, Workbook &)> &change)
{
    const QString folder = dir.filePath(u"vorlagen"_s);
    QDir().mkpath(folder);
    const QString path = folder + u"/Tannbuch.xltx"_s;
    auto book = XlsxReader::load(QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates/Tannbuch.xltx"));
    QByteArray bytes;
    change(bytes, *book);
    if (bytes.isEmpty()) {
        XlsxWriter::Options options;
        options.kind = XlsxWriter::FileKind::Template;
        XlsxWriter::save(*book, path, options);
    } else {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    return folder;
}

} // namespace

TEST(Faults, BadTemplatesFailTheUnattendedRunWithTheirReason)
{
    const std::function<void(QByteArray &, Workbook &)> changes[] = {
        [](QByteArray &bytes, Workbook &) { bytes = QByteArray(4096, 'P'); },
        [](QByteArray &, Workbook &book) { book.sheet(u"Einstellungen"_s)->setName(u"Optionen"_s); },
        [](QByteArray &, Workbook &book) { book.sheet(u"Tannbuch"_s)->setName(u"Bericht"_s); },
    };
    for (const auto &change : changes) {
        DemoCopy copy;
        copy.setIniValue(u"PathTemplates"_s, templateFolder(copy.dir, change));

        RecordingRun w;
        EXPECT_NE(copy.printUnattended(w), 0);
        EXPECT_FALSE(w.messages.isEmpty());
        // Each failure told once, and none that only follows from it.
        const QString told = w.messages.join(u'\n');
        EXPECT_EQ(QSet<QString>(w.messages.cbegin(), w.messages.cend()).size(), w.messages.size())
            << told.toStdString();
        EXPECT_FALSE(told.contains(u"Es ist keine Arbeitsmappe geöffnet."_s)) << told.toStdString();
        EXPECT_FALSE(QFile::exists(copy.saved())) << told.toStdString();
    }
}

// Lot by lot with a provision: only the lots that hold the provision's logs
// are printed, each counting only those logs, so the lot blocks add up to
// the totals below them. A comma stays inside its lot.
TEST(Provision, LotByLotPrintsTheProvisionsLotsOnly)
{
    struct Case
    {
        const char *changes;
        QString lot;
    };
    const Case cases[] = {
        {nullptr, u"2"_s},
        // The lot's name holds a comma, and the provision only half the lot.
        {"UPDATE LOGS SET LOS = 'A,B' WHERE LISTE = '4711' AND LOS = '2';"
         "DELETE FROM BEREITSTELLUNG_LOGS WHERE ID_LOGS % 2 = 0 AND ID_BEREITSTELLUNG_KOPF = "
         "(SELECT ID FROM BEREITSTELLUNG_KOPF WHERE BEREITSTELLUNGSNAME = 'TEILABFUHR');",
            u"A,B"_s},
    };
    for (const Case &c : cases) {
        DemoCopy copy(c.changes);
        copy.useTemplate(u"Tannbuch_Losweise.xltx"_s);
        RecordingRun w;
        ASSERT_EQ(copy.print(w, u"TEILABFUHR"_s), 0) << w.messages.join(u'\n').toStdString();
        EXPECT_EQ(w.printedSelection().lots, QStringList({c.lot}));
        const auto book = XlsxReader::load(copy.dir.filePath(u"TEILABFUHR_4711.xlsx"_s));
        ASSERT_TRUE(book);
        const Worksheet &sheet = *book->sheet(u"Tannbuch"_s);
        EXPECT_EQ(sheet.rowBreaks().size(), 1u) << "one lot, one break";
        const double total = totalsLine(sheet, u"Gesamtkubatur (Fm)"_s).second;
        EXPECT_GT(total, 0);
        EXPECT_NEAR(lotBlocksVolume(sheet), total, 1e-6) << c.lot.toStdString();
    }
}

// A provision that names nothing printable prints nothing: the host learns
// why on standard error and from the exit code, and no file is saved.
TEST(Provision, UnknownEmptyOrForeignProvisionFails)
{
    DemoCopy copy("INSERT INTO BEREITSTELLUNG_KOPF (ID, BEREITSTELLUNGSNAME) VALUES (990, 'FREMD');"
                  "INSERT INTO BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF, ID_LOGS) "
                  "SELECT 990, ID_LOG FROM LOGS WHERE LISTE = '4713';");
    for (const QString &provision : {u"GIBTESNICHT"_s, u"LEER"_s, u"FREMD"_s}) {
        RecordingRun w;
        EXPECT_NE(copy.print(w, provision), 0) << provision.toStdString();
        ASSERT_EQ(w.messages.size(), 1) << w.messages.join(u'\n').toStdString();
        EXPECT_TRUE(w.messages.first().startsWith(u"Die Bereitstellung \""_s + provision + u'"'))
            << w.messages.first().toStdString();
        EXPECT_TRUE(QDir(copy.dir.path()).entryList({u"*.xlsx"_s}).isEmpty()) << "nothing saved";
    }
}

// The command line's list type narrows the report as it narrows the list
// browser, with business years and with a date range.
TEST(ListType, UnattendedReportCountsWhatTheListBrowserCounts)
{
    for (const bool businessYear : {true, false}) {
        // Lot 5 of list 4711 becomes another list type.
        DemoCopy copy("UPDATE LOGS SET LISTENART = 2 WHERE LISTE = '4711' AND LOS = '5';");
        if (!businessYear)
            copy.setIniValue(u"RELTABLE"_s, QString());
        RecordingRun w;
        ASSERT_EQ(copy.print(w, u"DEMO"_s), 0) << w.messages.join(u'\n').toStdString();
        ListBrowserModel shown(w.program(), ListBrowserModel::Viewer::Host);
        shown.prepare();
        const QList<ListViewRow> browser = shown.rows();
        ASSERT_EQ(browser.size(), 1);
        const double browserPieces = browser.first().stk.toDouble();
        const auto book = XlsxReader::load(copy.saved());
        ASSERT_TRUE(book);
        EXPECT_EQ(totalsLine(*book->sheet(u"Tannbuch"_s), u"Gesamtstück (STK)"_s).second, browserPieces)
            << (businessYear ? "year" : "dates");
    }
}

namespace {

// Where an unattended run with SavePdf=1 is broken: nowhere, while the
// workbook is saved (a file-size limit), or while the PDF is drawn (its
// place taken by a folder, as a full disk would refuse it).
enum class PdfFault { None, Save, Pdf };

// Breaks the run as told, and looks at the folder while the PDF is drawn:
// what a run killed then leaves behind.
class PdfFaultRun : public RecordingRun
{
public:
    PdfFaultRun(const DemoCopy &copy, PdfFault fault)
        : m_copy(copy)
        , m_fault(fault)
    { }
    void showStatus(const QString &text) override
    {
        if (text == u"Kopf / Fußzeile ..." && m_fault == PdfFault::Save) {
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &m_limit);
            const rlimit small{4096, m_limit.rlim_max};
            limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
        }
        drawingPdf = text == u"PDF ...";
    }
    void showProgress(qint64 /*done*/, qint64 total) override
    {
        if (!drawingPdf || total == 0 || seenWhileDrawing)
            return;
        seenWhileDrawing = true;
        workbookWhileDrawing = testsupport::readFile(m_copy.saved());
        pdfWhileDrawing = QFileInfo::exists(pdf());
        if (m_fault == PdfFault::Pdf)
            QDir().mkdir(pdf());
    }
    ~PdfFaultRun() override { liftLimit(); }
    void liftLimit()
    {
        if (limited)
            setrlimit(RLIMIT_FSIZE, &m_limit);
        limited = false;
    }
    QString pdf() const { return m_copy.dir.filePath(u"DEMO_4711.pdf"_s); }

    bool limited = false;
    bool drawingPdf = false;
    bool seenWhileDrawing = false;
    QByteArray workbookWhileDrawing;
    bool pdfWhileDrawing = true;

private:
    const DemoCopy &m_copy;
    PdfFault m_fault;
    rlimit m_limit{};
};

} // namespace

// Workbook and PDF never disagree: a failed PDF leaves the new workbook
// without one, a failed save leaves the earlier pair, and while the PDF is
// drawn (where a kill would strike) the earlier PDF is gone already.
TEST(Faults, WorkbookAndPdfNeverDisagree)
{
    const QByteArray earlierWorkbook = "earlier workbook";
    const QByteArray earlierPdf = "earlier pdf";
    struct Case
    {
        PdfFault fault;
        bool workbookNew;
        const char *pdfHolds; // nullptr: no PDF file
        const char *told;
    };
    const Case cases[] = {
        {PdfFault::None, true, "%PDF", nullptr},
        {PdfFault::Save, false, "earlier pdf", "DEMO_4711.xlsx"},
        {PdfFault::Pdf, true, nullptr, "wurde gespeichert, das PDF"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.fault));
        DemoCopy copy(nullptr, {{u"SavePdf"_s, u"1"_s}});
        ASSERT_TRUE(testsupport::writeFile(copy.saved(), earlierWorkbook));
        ASSERT_TRUE(testsupport::writeFile(copy.dir.filePath(u"DEMO_4711.pdf"_s), earlierPdf));
        PdfFaultRun w(copy, c.fault);
        const int exitCode = copy.printUnattended(w);
        w.liftLimit();

        EXPECT_EQ(exitCode == 0, c.told == nullptr) << w.messages.join(u'\n').toStdString();
        if (c.told) {
            EXPECT_TRUE(w.messages.join(u'\n').contains(QString::fromUtf8(c.told)))
                << w.messages.join(u'\n').toStdString();
        }
        EXPECT_EQ(testsupport::readFile(copy.saved()) != earlierWorkbook, c.workbookNew);
        const QFileInfo pdf(w.pdf());
        EXPECT_EQ(pdf.isFile(), c.pdfHolds != nullptr);
        if (c.pdfHolds) {
            EXPECT_TRUE(testsupport::readFile(w.pdf()).startsWith(c.pdfHolds));
        }
        if (c.fault != PdfFault::Save) {
            ASSERT_TRUE(w.seenWhileDrawing) << "the PDF showed no progress";
            EXPECT_NE(w.workbookWhileDrawing, earlierWorkbook) << "the new workbook is in place";
            EXPECT_FALSE(w.pdfWhileDrawing) << "the earlier PDF no longer lies beside it";
        }
        EXPECT_EQ(QDir(copy.dir.path()).entryList({u"*.alt"_s}), QStringList()) << "nothing put aside is left";
    }
}

} // namespace tannbuch
