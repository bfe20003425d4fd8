#include "SheetTestSupport.h"
#include "XlsxTestHelpers.h"

#include "common/WorkbookValidation.h"

#include "workbook/cells/WorkbookError.h"

#include <QTemporaryDir>

namespace tannbuch {

using sheettest::SheetTest;

namespace {

const QString SetGlobalVariables = QStringLiteral("DieseArbeitsmappe.SetGlobalVariables");
const QString WriteKopfFuss = QStringLiteral("DieseArbeitsmappe.WriteKopfFuss");

TEST(ApplicationTest, StartsEmptyAndRefusesWorkWithoutAWorkbook)
{
    Application xl;
    EXPECT_THROW(xl.range(QStringLiteral("A1")), WorkbookError);
    EXPECT_THROW(xl.activeWindow(), WorkbookError);
    EXPECT_THROW(xl.run(SetGlobalVariables, {QString(), QString(), QString()}), WorkbookError);
    EXPECT_THROW(xl.setWindowState(0), WorkbookError);
    EXPECT_THROW(xl.workbooks().add(QStringLiteral("/nicht/vorhanden/Tannbuch.xltx")), WorkbookError);
    EXPECT_EQ(xl.workbooks().count(), 0);
}

TEST(ApplicationTest, WorkbooksOpenCloseAndQuit)
{
    Application xl;
    xl.setLocale(QLocale(QLocale::German, QLocale::Germany));
    BookHandle first = xl.workbooks().add();
    BookHandle second = xl.workbooks().add();
    EXPECT_EQ(xl.workbooks().count(), 2);
    EXPECT_EQ(&xl.activeWorkbook().workbook(), &second.workbook());
    EXPECT_EQ(second.workbook().locale().decimalPoint(), QStringLiteral(","));
    EXPECT_EQ(first.worksheets(QStringLiteral("tabelle1")).name(), QStringLiteral("Tabelle1"));
    try {
        first.worksheets(QStringLiteral("Tannbuch"));
        FAIL() << "a missing sheet must fail";
    } catch (const WorkbookError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Tannbuch")));
    }
    EXPECT_THROW(second.close(true), WorkbookError); // never saved: no name to save under
    second.close();
    EXPECT_EQ(xl.workbooks().count(), 1);
    EXPECT_EQ(&xl.activeWorkbook().workbook(), &first.workbook());
    EXPECT_THROW(xl.activeWorkbook().saveAs(QStringLiteral("/tmp/x.xls"), 56), WorkbookError);
    xl.quit();
    EXPECT_EQ(xl.workbooks().count(), 0);
    EXPECT_THROW(xl.workbooks().add(), WorkbookError);
}

// The window shows each sheet in the view it last had there; the view is
// the sheet's, so it reaches the saved file with it.
TEST_F(SheetTest, EachSheetKeepsTheViewTheWindowLastShowedItIn)
{
    book().addSheet(QStringLiteral("Tannbuch"));
    xl.worksheets(QStringLiteral("Tannbuch")).activate();
    xl.range(QStringLiteral("A1")).setValue(1);
    EXPECT_EQ(book().sheet(QStringLiteral("Tannbuch"))->cell(1, 1)->number, 1.0) << "Range reaches the active sheet";
    EXPECT_EQ(xl.activeWindow().selectedSheets().name(), QStringLiteral("Tannbuch"));
    xl.activeWindow().setView(Xl::ViewPageBreakPreview);
    EXPECT_THROW(xl.activeWindow().setView(3), WorkbookError);
    EXPECT_EQ(book().sheet(QStringLiteral("Tannbuch"))->view(), SheetViewMode::PageBreakPreview);
    xl.worksheets(QStringLiteral("Tabelle1")).activate();
    EXPECT_EQ(xl.activeWindow().view(), Xl::ViewNormal) << "the other sheet keeps its own view";
    xl.worksheets(QStringLiteral("Tannbuch")).activate();
    EXPECT_EQ(xl.activeWindow().view(), Xl::ViewPageBreakPreview);
    xl.activeWindow().setView(Xl::ViewNormal);
    EXPECT_EQ(book().sheet(QStringLiteral("Tannbuch"))->view(), SheetViewMode::Normal);
    book().sheet(QStringLiteral("Tabelle1"))->setView(SheetViewMode::PageLayout); // as a template may show it
    xl.worksheets(QStringLiteral("Tabelle1")).activate();
    EXPECT_EQ(xl.activeWindow().view(), Xl::ViewPageLayout);
}

TEST_F(SheetTest, GlobalVariablesKeepNoCredentialsAndAShortFilter)
{
    // Only a bare provider name is stored; a connection string that still
    // carries server, user or password is stored as nothing.
    const struct
    {
        const char *connection;
        const char *stored;
    } cases[] = {
        {"Provider=SQLOLEDB", "Provider=SQLOLEDB"},
        {"Provider=SQLOLEDB;Data Source=srv;User ID=forst;Password=geheim", ""},
        {"Password=geheim;Provider=SQLOLEDB", ""},
        {"Provider=x;y", ""},
    };
    for (const auto &c : cases) {
        xl.run(SetGlobalVariables,
            {QString::fromUtf8(c.connection), QStringLiteral("LISTE='4711'"), QStringLiteral("4711")});
        const auto &p = book().customProperties();
        EXPECT_EQ(p.value(TemplateMacros::connectionProperty()).toString(), QString::fromUtf8(c.stored))
            << c.connection;
        EXPECT_EQ(p.value(TemplateMacros::filterProperty()).toString(), QStringLiteral("LISTE='4711'"));
        EXPECT_EQ(p.value(TemplateMacros::listNumberProperty()).toString(), QStringLiteral("4711"));
    }

    // A provision's filter names every record: the report keeps its start.
    QString ids;
    for (int id = 100000; id < 200000; ++id)
        ids += QString::number(id) + u',';
    const QString filter = QStringLiteral("LISTE='4711' AND ID_LOG IN (") + ids + QStringLiteral("1)");
    xl.run(SetGlobalVariables, {QString(), filter, QStringLiteral("4711")});
    const QString kept = book().customProperties().value(TemplateMacros::filterProperty()).toString();
    EXPECT_LT(kept.size(), TemplateMacros::FilterLimit + 100);
    EXPECT_TRUE(kept.startsWith(filter.left(TemplateMacros::FilterLimit))) << kept.left(100).toStdString();
    EXPECT_TRUE(kept.contains(QString::number(filter.size()))) << "the note says how long the filter was";
}

TEST_F(SheetTest, HeaderFooterMacroSetsScaleAndTexts)
{
    xl.run(SetGlobalVariables, {QString(), QString(), QStringLiteral("47&11")});
    xl.run(WriteKopfFuss, {true, 85});
    const PageSetup &page = ws().pageSetup();
    EXPECT_TRUE(page.changed);
    EXPECT_EQ(page.scale, 85);
    EXPECT_EQ(page.oddHeader, QStringLiteral("&CHolzliste 47&&11"));
    EXPECT_EQ(page.oddFooter, QStringLiteral("&CSeite &P von &N"));

    // Out of range: the scale stays; without lKopfFuss the texts stay.
    ws().pageSetupForWrite().oddHeader = QStringLiteral("&LVorlage");
    xl.run(WriteKopfFuss, {false, 5});
    xl.run(WriteKopfFuss, {false, 401});
    EXPECT_EQ(ws().pageSetup().scale, 85);
    EXPECT_EQ(ws().pageSetup().oddHeader, QStringLiteral("&LVorlage"));
    xl.run(WriteKopfFuss, {false, 400});
    EXPECT_EQ(ws().pageSetup().scale, 400);
}

TEST_F(SheetTest, MacroCallsAreRecordedAndUnknownOnesFail)
{
    xl.run(QStringLiteral("DieseArbeitsmappe.WriteKundeKopf"));
    xl.run(QStringLiteral("Tannbuch.xltx!dieseArbeitsmappe.setDotFields"));
    EXPECT_THROW(xl.run(QStringLiteral("DieseArbeitsmappe.Drucken")), WorkbookError);
    EXPECT_THROW(xl.run(WriteKopfFuss, {true}), WorkbookError);
    EXPECT_THROW(xl.run(QStringLiteral("SetDotFields")), WorkbookError); // the module belongs to the name
    ASSERT_EQ(xl.macroCalls().size(), 5u);
    EXPECT_EQ(xl.macroCalls()[2].name, QStringLiteral("DieseArbeitsmappe.Drucken"));
    EXPECT_EQ(xl.macroCalls()[3].arguments, QVariantList{true});
}

// A saved workbook takes the file's name, and closing it with SaveChanges
// saves it there again.
TEST_F(SheetTest, SavedWorkbookIsNamedAndClosedWithSaving)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bereitstellung_4711.xlsx"));
    xl.activeWorkbook().saveAs(path, Xl::FileFormatOpenXmlWorkbook);
    EXPECT_EQ(xl.activeWorkbook().name(), QStringLiteral("Bereitstellung_4711.xlsx"));
    xl.range(QStringLiteral("A12")).setValue(QStringLiteral("nachgetragen"));
    xl.activeWorkbook().close(true);
    EXPECT_EQ(xl.workbooks().count(), 0);
    workbookvalidation::expectValid(path);
    EXPECT_TRUE(xlsxtest::part(path, QStringLiteral("xl/sharedStrings.xml")).contains("nachgetragen"));
}

} // namespace

} // namespace tannbuch
