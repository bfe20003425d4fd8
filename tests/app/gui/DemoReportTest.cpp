#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "RecordingWindow.h"
#include "common/QtPrinters.h"
#include "common/WorkbookValidation.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

const QString demoTemplates = QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates");

std::unique_ptr<Workbook> printDemo(const QString &ini, const QTemporaryDir &out)
{
    RecordingRun run;
    EXPECT_EQ(run.run(u"|"_s + ini + u"|||4711|1|DEMO|"_s + out.path() + QLatin1Char('/')), 0)
        << run.messages.join(QLatin1Char('\n')).toStdString();
    workbookvalidation::expectValid(out.filePath(u"DEMO_4711.xlsx"_s));
    return XlsxReader::load(out.filePath(u"DEMO_4711.xlsx"_s));
}

QString text(const Worksheet &sheet, int row, int column)
{
    const Cell *c = sheet.cell(row, column);
    return c ? (c->type == CellType::Number ? QString::number(c->number) : c->text) : QString();
}

} // namespace

using namespace demofiles;

// The saved demo report, read back from the file: the head block's shape.
TEST(DemoReport, HeadBlockOfTheSavedReport)
{
    QTemporaryDir out;
    const auto book = printDemo(demoIni, out);
    ASSERT_TRUE(book);
    const Worksheet &sheet = *book->sheet(u"Tannbuch"_s);
    const int start = 8; // StartZeile of the demo template

    // Title, lots, one blank row, then the head lines (their styles the head
    // block's own tests check in a saved file).
    EXPECT_EQ(text(sheet, start, 1), u"Liste"_s);
    EXPECT_EQ(text(sheet, start, 4), u"4711"_s);
    EXPECT_EQ(text(sheet, start + 1, 1), u"Lose:"_s);
    EXPECT_EQ(text(sheet, start + 1, 4), u"1,2,3,4,5"_s);
    EXPECT_TRUE(text(sheet, start + 2, 1).isEmpty());
    EXPECT_EQ(text(sheet, start + 3, 1), u"HAB-Datum:"_s);
    EXPECT_EQ(text(sheet, start + 3, 4), u"12.03.2026"_s);

    // A header line of the ini file above the output area.
    EXPECT_EQ(text(sheet, 2, 3), u"Forstbetrieb Oberland"_s);
    EXPECT_TRUE(sheet.rowBreaks().empty()) << "whole mode has no page breaks";
}

// The lot-by-lot template on the demo list: one block per lot, each after a
// page break with the template's head copied above it, then the overall block.
TEST(DemoReport, LotByLotWithTheOverallBlock)
{
    QTemporaryDir dir;
    const QString templates = dir.filePath(u"vorlagen"_s);
    QDir().mkpath(templates);
    ASSERT_TRUE(QFile::copy(demoTemplates + u"/Tannbuch_Losweise.xltx"_s, templates + u"/Tannbuch_Losweise.xltx"_s));
    QTemporaryDir out;
    const auto book = printDemo(demoIniWith(dir, {{u"PathTemplates"_s, templates}}), out);
    ASSERT_TRUE(book);
    const Worksheet &sheet = *book->sheet(u"Tannbuch"_s);

    // Five lots: a break after each; the overall block comes after the last.
    const std::set<int> breaks = sheet.rowBreaks();
    ASSERT_EQ(breaks.size(), 5u);
    QStringList lotsPerBlock;
    for (int r = 1; r <= sheet.usedRange().lastRow; ++r) {
        if (text(sheet, r, 1) == u"Lose:"_s)
            lotsPerBlock << text(sheet, r, 4);
    }
    EXPECT_EQ(lotsPerBlock, QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"1,2,3,4,5"_s}));
    // A blank row ends each lot; the row the break lies above stays empty,
    // and the template's head rows follow on the new page.
    for (int b : breaks) {
        EXPECT_TRUE(text(sheet, b - 1, 1).isEmpty()) << "row " << b - 1;
        EXPECT_TRUE(text(sheet, b, 1).isEmpty()) << "row " << b;
        EXPECT_EQ(text(sheet, b + 1, 1), text(sheet, 1, 1)) << "row " << b + 1;
        EXPECT_EQ(text(sheet, b + 1, 4), text(sheet, 1, 4)) << "row " << b + 1;
    }
}

} // namespace tannbuch
