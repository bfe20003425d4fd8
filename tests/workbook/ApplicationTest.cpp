#include "SheetTestSupport.h"
#include "XlsxTestHelpers.h"

#include "common/WorkbookValidation.h"

#include "workbook/cells/WorkbookError.h"
#include "workbook/package/XlsxReader.h"

#include <QTemporaryDir>

namespace tannbuch {

using namespace Qt::StringLiterals;

using sheettest::SheetTest;

namespace {

const QString SetGlobalVariables = u"DieseArbeitsmappe.SetGlobalVariables"_s;
const QString WriteKopfFuss = u"DieseArbeitsmappe.WriteKopfFuss"_s;

TEST(ApplicationTest, StartsEmptyAndRefusesWorkWithoutAWorkbook)
{
    Application xl;
    EXPECT_THROW(xl.range(u"A1"_s), WorkbookError);
    EXPECT_THROW(xl.activeWindow(), WorkbookError);
    EXPECT_THROW(xl.run(SetGlobalVariables, {QString(), QString(), QString()}), WorkbookError);
    EXPECT_THROW(xl.setWindowState(0), WorkbookError);
    EXPECT_THROW(xl.workbooks().add(u"/nicht/vorhanden/Tannbuch.xltx"_s), WorkbookError);
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
    EXPECT_EQ(second.workbook().locale().decimalPoint(), u","_s);
    EXPECT_EQ(first.worksheets(u"tabelle1"_s).name(), u"Tabelle1"_s);
    try {
        first.worksheets(u"Tannbuch"_s);
        FAIL() << "a missing sheet must fail";
    } catch (const WorkbookError &e) {
        EXPECT_TRUE(e.message().contains(u"Tannbuch"_s));
    }
    EXPECT_THROW(second.close(true), WorkbookError); // never saved: no name to save under
    second.close();
    EXPECT_EQ(xl.workbooks().count(), 1);
    EXPECT_EQ(&xl.activeWorkbook().workbook(), &first.workbook());
    EXPECT_THROW(xl.activeWorkbook().saveAs(u"/tmp/x.xls"_s, 56), WorkbookError);
    xl.quit();
    EXPECT_EQ(xl.workbooks().count(), 0);
    EXPECT_THROW(xl.workbooks().add(), WorkbookError);
}

// The window shows each sheet in the view it last had there; the view is
// the sheet's, so it reaches the saved file with it.
TEST_F(SheetTest, EachSheetKeepsTheViewTheWindowLastShowedItIn)
{
    book().addSheet(u"Tannbuch"_s);
    xl.worksheets(u"Tannbuch"_s).activate();
    EXPECT_EQ(book().activeSheetIndex(), book().sheetIndex(u"Tannbuch"_s)) << "the tab the saved file opens on";
    xl.range(u"A1"_s).setValue(1);
    EXPECT_EQ(book().sheet(u"Tannbuch"_s)->cell(1, 1)->number, 1.0) << "Range reaches the active sheet";
    EXPECT_EQ(xl.activeWindow().selectedSheets().name(), u"Tannbuch"_s);
    xl.activeWindow().setView(Xl::ViewPageBreakPreview);
    EXPECT_THROW(xl.activeWindow().setView(3), WorkbookError);
    EXPECT_EQ(book().sheet(u"Tannbuch"_s)->view(), SheetViewMode::PageBreakPreview);
    xl.worksheets(u"Tabelle1"_s).activate();
    EXPECT_EQ(xl.activeWindow().view(), Xl::ViewNormal) << "the other sheet keeps its own view";
    xl.worksheets(u"Tannbuch"_s).activate();
    EXPECT_EQ(xl.activeWindow().view(), Xl::ViewPageBreakPreview);
    xl.activeWindow().setView(Xl::ViewNormal);
    EXPECT_EQ(book().sheet(u"Tannbuch"_s)->view(), SheetViewMode::Normal);
    book().sheet(u"Tabelle1"_s)->setView(SheetViewMode::PageLayout); // as a template may show it
    xl.worksheets(u"Tabelle1"_s).activate();
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
        xl.run(SetGlobalVariables, {QString::fromUtf8(c.connection), u"LISTE='4711'"_s, u"4711"_s});
        const auto &p = book().customProperties();
        EXPECT_EQ(p.value(TemplateMacros::connectionProperty()).toString(), QString::fromUtf8(c.stored))
            << c.connection;
        EXPECT_EQ(p.value(TemplateMacros::filterProperty()).toString(), u"LISTE='4711'"_s);
        EXPECT_EQ(p.value(TemplateMacros::listNumberProperty()).toString(), u"4711"_s);
    }

    // A provision's filter names every record: the report keeps its start.
    QString ids;
    for (int id = 100000; id < 200000; ++id)
        ids += QString::number(id) + u',';
    const QString filter = u"LISTE='4711' AND ID_LOG IN ("_s + ids + u"1)"_s;
    xl.run(SetGlobalVariables, {QString(), filter, u"4711"_s});
    const QString kept = book().customProperties().value(TemplateMacros::filterProperty()).toString();
    EXPECT_LT(kept.size(), TemplateMacros::FilterLimit + 100);
    EXPECT_TRUE(kept.startsWith(filter.left(TemplateMacros::FilterLimit))) << kept.left(100).toStdString();
    EXPECT_TRUE(kept.contains(QString::number(filter.size()))) << "the note says how long the filter was";
}

TEST_F(SheetTest, HeaderFooterMacroSetsScaleAndTexts)
{
    xl.run(SetGlobalVariables, {QString(), QString(), u"47&11"_s});
    xl.run(WriteKopfFuss, {true, 85});
    const PageSetup &page = ws().pageSetup();
    EXPECT_TRUE(page.changed);
    EXPECT_EQ(page.scale, 85);
    EXPECT_EQ(page.oddHeader, u"&CHolzliste 47&&11"_s);
    EXPECT_EQ(page.oddFooter, u"&CSeite &P von &N"_s);

    // Out of range: the scale stays; without lKopfFuss the texts stay.
    ws().pageSetupForWrite().oddHeader = u"&LVorlage"_s;
    xl.run(WriteKopfFuss, {false, 5});
    xl.run(WriteKopfFuss, {false, 401});
    EXPECT_EQ(ws().pageSetup().scale, 85);
    EXPECT_EQ(ws().pageSetup().oddHeader, u"&LVorlage"_s);
    xl.run(WriteKopfFuss, {false, 400});
    EXPECT_EQ(ws().pageSetup().scale, 400);
}

TEST_F(SheetTest, MacroCallsAreRecordedAndUnknownOnesFail)
{
    xl.run(u"DieseArbeitsmappe.WriteKundeKopf"_s);
    xl.run(u"Tannbuch.xltx!dieseArbeitsmappe.setDotFields"_s);
    EXPECT_THROW(xl.run(u"DieseArbeitsmappe.Drucken"_s), WorkbookError);
    EXPECT_THROW(xl.run(WriteKopfFuss, {true}), WorkbookError);
    EXPECT_THROW(xl.run(u"SetDotFields"_s), WorkbookError); // the module belongs to the name
    ASSERT_EQ(xl.macroCalls().size(), 5u);
    EXPECT_EQ(xl.macroCalls()[2].name, u"DieseArbeitsmappe.Drucken"_s);
    EXPECT_EQ(xl.macroCalls()[3].arguments, QVariantList{true});
}

// A saved workbook takes the file's name, and closing it with SaveChanges
// saves it there again.
TEST_F(SheetTest, SavedWorkbookIsNamedAndClosedWithSaving)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Bereitstellung_4711.xlsx"_s);
    xl.activeWorkbook().saveAs(path, Xl::FileFormatOpenXmlWorkbook);
    EXPECT_EQ(xl.activeWorkbook().name(), u"Bereitstellung_4711.xlsx"_s);
    xl.range(u"A12"_s).setValue(u"nachgetragen"_s);
    xl.range(u"B1"_s).setFormula(u"=A1*2"_s);
    xl.range(u"A1"_s).setValue(4); // after the formula: the saved result follows it
    xl.activeWorkbook().close(true);
    EXPECT_EQ(xl.workbooks().count(), 0);
    workbookvalidation::expectValid(path);
    EXPECT_TRUE(xlsxtest::part(path, u"xl/sharedStrings.xml"_s).contains("nachgetragen"));
    EXPECT_EQ(XlsxReader::load(path)->sheet(0).cell(1, 2)->number, 8.0);
}

} // namespace

} // namespace tannbuch
