// Whole unattended runs on generated lists at the file format's limits: a
// list whose report runs past row 65,536, and 2,000 lots printed lot by lot,
// more than a sheet holds page breaks.
#include "db/SqliteBackend.h"
#include "gui/F_Start.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include "RecordingWindow.h"
#include "common/QtPrinters.h"
#include "common/TestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

// A generated list 4711 of the given size (provision DEMO holds it all), the
// demo templates with only the named one left, and an ini file for both.
struct GeneratedList : UnattendedFolder
{
    GeneratedList(int records, const QString &templateName, const char *changes = nullptr)
    {
        db = dir.filePath(u"forst.sqlite"_s);
        demofiles::writeGeneratedDatabase(db, records);
        if (changes) {
            EXPECT_EQ(testsupport::changeSqliteDatabase(db, QString::fromUtf8(changes)), QString());
        }
        ini = demofiles::writeDemoFolder(dir.path(), db, templateName);
    }
};

} // namespace

// 25,000 records give a report of more than 65,536 rows: the last record's
// row, the totals below it and the page set-up all survive saving.
TEST(LargeList, ReportRunsPastRow65536)
{
    GeneratedList list(25000, u"Tannbuch.xltx"_s);
    RecordingRun w;
    ASSERT_EQ(list.printUnattended(w), 0) << w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();
    const auto book = XlsxReader::load(list.saved());
    const Worksheet &sheet = book->sheet(0);
    EXPECT_GT(sheet.usedRange().lastRow, 65536);
    // The totals come last, below row 65,536, and count every piece.
    const auto [totalsRow, pieces] = totalsLine(sheet, u"Gesamtstück (STK)"_s);
    EXPECT_GT(totalsRow, 65536);
    const ResultData records
        = SqliteBackend(list.db).query(u"SELECT SUM(STK), COUNT(*) FROM LOGS WHERE LISTE = '4711'"_s);
    ASSERT_EQ(records.rows.size(), 1u);
    EXPECT_EQ(pieces, records.rows[0][0].toDouble());
    EXPECT_EQ(records.rows[0][1].toInt(), 25000);
}

// 2,000 lots lot by lot: one page break per lot is more than the file holds.
// The report is whole, the breaks the file can hold are kept, and the host
// is warned which are missing; the run still succeeds, as its exit code says.
TEST(LargeList, TwoThousandLotsLotByLot)
{
    GeneratedList list(2000, u"Tannbuch_Losweise.xltx"_s,
        "UPDATE LOGS SET LOS = printf('L%04d', ID_LOG % 2000) WHERE LISTE = '4711'; ANALYZE;");
    RecordingRun w;
    ASSERT_EQ(list.printUnattended(w), 0) << w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();
    ASSERT_EQ(w.warnings.size(), 1) << w.warnings.join(u'\n').toStdString();
    EXPECT_TRUE(w.warnings.first().contains(u"höchstens %1"_s.arg(SheetLimits::MaxRowBreaks)))
        << w.warnings.first().toStdString();
    const auto book = XlsxReader::load(list.saved());
    const Worksheet &sheet = book->sheet(0);
    EXPECT_EQ(sheet.rowBreaks().size(), size_t(SheetLimits::MaxRowBreaks));
    // Every lot has its part: its number shows in the report.
    QSet<QString> lots;
    static const QRegularExpression lotName(u"\\bL\\d{4}\\b"_s);
    for (const auto &[row, data] : sheet.rows()) {
        for (const Cell &c : data.cells) {
            for (const auto &m : lotName.globalMatch(c.text))
                lots.insert(m.captured());
        }
    }
    EXPECT_EQ(lots.size(), 2000);
}

} // namespace tannbuch
