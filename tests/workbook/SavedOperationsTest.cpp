// Every sheet operation a report uses, done through the application as a
// report does it, then read back from the saved file: by this program's own
// reader and by an independent one (openpyxl, through verify_saved.py). One
// test per object or theme; a failure names the sheet and cell, what was
// expected and what the file holds.

#include "SheetTestSupport.h"
#include "XlsxTestHelpers.h"

#include "common/TestSupport.h"
#include "common/WorkbookValidation.h"

#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/OfficeConverter.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"
#include "workbook/package/ZipArchive.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString Report = QStringLiteral("Tannbuch");
const QString Settings = QStringLiteral("Einstellungen");

// ---------------------------------------------------------------------------
// What openpyxl reads from a saved file.

QJsonValue at(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1StringView(key));
}

class ClientView
{
public:
    explicit ClientView(QJsonObject root)
        : m_root(std::move(root))
    { }

    QJsonValue workbook(const char *key) const { return at(m_root, key); }
    QJsonObject sheet(const QString &name) const { return at(m_root, "sheet").toObject().value(name).toObject(); }
    QJsonValue sheetValue(const QString &name, const char *key) const { return at(sheet(name), key); }
    QJsonObject cell(const QString &sheetName, const QString &address) const
    {
        return at(sheet(sheetName), "cells").toObject().value(address).toObject();
    }
    QJsonValue cellValue(const QString &sheetName, const QString &address, const char *key) const
    {
        return at(cell(sheetName, address), key);
    }
    // One border side of a cell: {"style", "color"}, or null for none.
    QJsonValue border(const QString &sheetName, const QString &address, const char *side) const
    {
        return at(at(cell(sheetName, address), "borders").toObject(), side);
    }

private:
    QJsonObject m_root;
};

bool haveClient()
{
    static const bool have = xlsxtest::haveOpenpyxl();
    return have;
}

// Runs the checker over the file; requests are "Sheet" or "Sheet!A1:K20".
ClientView readWithOpenpyxl(const QString &path, const QStringList &requests)
{
    QProcess p;
    p.start(xlsxtest::python,
        QStringList{QStringLiteral(TANNBUCH_SOURCE_DIR "/tests/workbook/verify_saved.py"), path} + requests);
    const bool finished = p.waitForFinished(60000);
    const QByteArray out = p.readAllStandardOutput();
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        << "openpyxl could not read " << path.toStdString() << ": " << err.constData();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out.constData() << err.constData();
    return ClientView(doc.object());
}

std::string where(const QString &sheet, const QString &address)
{
    return (sheet + QLatin1Char('!') + address).toStdString();
}

// ---------------------------------------------------------------------------
// What this program's reader reads back.

const Cell *cellIn(const Workbook &book, const QString &sheet, const char *address)
{
    const Worksheet *ws = book.sheet(sheet);
    if (!ws)
        return nullptr;
    const RangeRef r = CellAddress::parse(QString::fromLatin1(address));
    return ws->cell(r.firstRow, r.firstColumn);
}

ResolvedStyle styleIn(const Workbook &book, const QString &sheet, const char *address)
{
    const Cell *c = cellIn(book, sheet, address);
    return book.resolve(c ? c->styleId : 0);
}

// ---------------------------------------------------------------------------
// The report template the tests start from, written through the model as a
// template file: report sheet "Tannbuch" with its head in rows 1 to 4 (a
// merged bold title in a tall row, labels, a boxed line with a formula),
// column widths, a manual break, a tall row further down and A4 set-up; and
// the settings sheet "Einstellungen".

void put(Worksheet &sheet, int row, int column, const QVariant &value, quint32 style = 0)
{
    Cell &c = sheet.cellForWrite(row, column);
    c.styleId = style;
    if (value.typeId() == QMetaType::QString) {
        c.type = CellType::Text;
        c.text = value.toString();
    } else {
        c.type = CellType::Number;
        c.number = value.toDouble();
    }
}

void writeReportTemplate(const QString &path)
{
    Workbook wb;
    Worksheet &report = wb.addSheet(Report);
    Worksheet &settings = wb.addSheet(Settings);

    CellStyle title;
    title.bold = true;
    title.fontSize = 16;
    CellStyle label;
    label.bold = true;
    CellStyle boxed;
    for (int e = EdgeLeft; e <= EdgeBottom; ++e)
        boxed.borders[size_t(e)] = BorderLine{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic};
    const quint32 boxedStyle = wb.styles().intern(boxed);

    put(report, 1, 1, QStringLiteral("Holzliste"), wb.styles().intern(title));
    report.mergesForWrite().push_back({1, 1, 1, 6});
    report.rowForWrite(1).height = 24;
    report.rowForWrite(1).customHeight = true;
    put(report, 2, 1, QStringLiteral("Forstbetrieb:"), wb.styles().intern(label));
    put(report, 2, 4, QStringLiteral("Kelmora"));
    put(report, 3, 1, QStringLiteral("Menge"), boxedStyle);
    put(report, 3, 2, 7, boxedStyle);
    Cell &formula = report.cellForWrite(3, 3);
    formula.type = CellType::Formula;
    formula.formula = QStringLiteral("=B3*2");
    formula.cachedType = CellType::Number;
    formula.number = 14;
    formula.styleId = boxedStyle;
    put(report, 4, 1, QStringLiteral("Ende Kopf"));
    report.rowForWrite(35).height = 30;
    report.rowForWrite(35).customHeight = true;
    put(report, 35, 1, QStringLiteral("hohe Zeile"));
    report.rowBreaksForWrite().insert(30);
    for (int c = 1; c <= 10; ++c)
        report.columnsForWrite()[c] = ColumnData{11.7109375, true, false, 0};
    PageSetup &page = report.pageSetupForWrite();
    page.changed = true;
    page.paperSize = 9;
    page.orientation = QStringLiteral("portrait");

    put(settings, 1, 1, QStringLiteral("Schlüssel"));
    put(settings, 1, 2, QStringLiteral("Wert"));
    put(settings, 2, 1, QStringLiteral("StartZeile"));
    put(settings, 2, 2, 12);
    put(settings, 3, 1, QStringLiteral("nZoom"));
    put(settings, 3, 2, 85);
    put(settings, 4, 1, QStringLiteral("lKopfFuss"));
    put(settings, 4, 2, 1);

    wb.setActiveSheetIndex(0);
    XlsxWriter::save(wb, path); // the name makes it a template
    workbookvalidation::expectValid(path);
}

// The header-row rules, call for call as the report's procedure draws them.
void drawHeaderRules(Application &xl, const QString &address)
{
    xl.range(address).select();
    Range s = xl.selection();
    s.borders(BorderEdge::DiagonalDown).setLineStyle(Xl::None);
    s.borders(BorderEdge::DiagonalUp).setLineStyle(Xl::None);
    s.borders(BorderEdge::Left).setLineStyle(Xl::None);
    for (BorderEdge edge : {BorderEdge::Top, BorderEdge::Bottom}) {
        s.borders(edge).setLineStyle(Xl::Continuous);
        s.borders(edge).setWeight(Xl::Thin);
        s.borders(edge).setColorIndex(Xl::ColorIndexAutomatic);
    }
    s.borders(BorderEdge::Right).setLineStyle(Xl::None);
    s.borders(BorderEdge::InsideVertical).setLineStyle(Xl::None);
}

// The total-row rule: only the top line, the bottom is left alone.
void drawTopRule(Application &xl, const QString &address)
{
    xl.range(address).select();
    Range s = xl.selection();
    s.borders(BorderEdge::DiagonalDown).setLineStyle(Xl::None);
    s.borders(BorderEdge::DiagonalUp).setLineStyle(Xl::None);
    s.borders(BorderEdge::Left).setLineStyle(Xl::None);
    s.borders(BorderEdge::Top).setLineStyle(Xl::Continuous);
    s.borders(BorderEdge::Top).setWeight(Xl::Thin);
    s.borders(BorderEdge::Top).setColorIndex(Xl::ColorIndexAutomatic);
    s.borders(BorderEdge::Right).setLineStyle(Xl::None);
    s.borders(BorderEdge::InsideVertical).setLineStyle(Xl::None);
}

// Sets an environment variable for the lifetime of the guard.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// The cell names of a block, row by row.
QStringList cellsOf(const QString &block)
{
    QStringList names;
    const RangeRef r = CellAddress::parse(block);
    for (int row = r.firstRow; row <= r.lastRow; ++row) {
        for (int column = r.firstColumn; column <= r.lastColumn; ++column)
            names.append(CellAddress::cellName(row, column));
    }
    return names;
}

class SavedOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        xl.setLocale(QLocale(QLocale::German, QLocale::Germany));
        templatePath = dir.filePath(QStringLiteral("Tannbuch.xltx"));
        writeReportTemplate(templatePath);
    }

    // A report workbook made from the template, its report sheet active.
    Book openReport()
    {
        Book book = xl.workbooks().add(templatePath);
        book.worksheets(Report).activate();
        return book;
    }

    QString saveReport(const QString &name)
    {
        const QString path = dir.filePath(name);
        xl.activeWorkbook().saveAs(path, Xl::FileFormatOpenXmlWorkbook);
        workbookvalidation::expectValid(path);
        return path;
    }

    QTemporaryDir dir;
    Application xl;
    QString templatePath;
};

// ---------------------------------------------------------------------------
// Application

TEST_F(SavedOperationsTest, ApplicationAddsFromTheTemplateAndRunsItsMacrosIntoTheFile)
{
    EXPECT_EQ(xl.workbooks().count(), 0);
    xl.workbooks().add(templatePath);
    EXPECT_EQ(xl.workbooks().count(), 1);
    EXPECT_EQ(xl.activeSheet().name(), Report) << "the template's active sheet must be active after Add";

    xl.run(QStringLiteral("DieseArbeitsmappe.SetGlobalVariables"),
        {QStringLiteral("Provider=SQLOLEDB;Data Source=forst01;User ID=forst;Password=GeHeim99;Initial "
                        "Catalog=kelmora"),
            QStringLiteral("LISTE='4711'"), QStringLiteral("4711")});
    xl.run(QStringLiteral("DieseArbeitsmappe.WriteKopfFuss"), {true, 85});
    xl.run(QStringLiteral("DieseArbeitsmappe.WriteKundeKopf"));
    xl.run(QStringLiteral("DieseArbeitsmappe.SetDotFields"));
    EXPECT_THROW(xl.run(QStringLiteral("DieseArbeitsmappe.Drucken")), WorkbookError);
    xl.range(QStringLiteral("A12")).setValue(QStringLiteral("Los 1"));

    // Window and display state have no place in the file: two saves, one
    // with everything switched, give the same parts.
    const QString plain = saveReport(QStringLiteral("Bericht_a.xlsx"));
    xl.setVisible(true);
    xl.setWindowState(Xl::WindowMinimized);
    xl.setScreenUpdating(false);
    xl.setDisplayAlerts(false);
    const QString switched = saveReport(QStringLiteral("Bericht_b.xlsx"));
    xl.setWindowState(Xl::WindowNormal);
    xl.setScreenUpdating(true);
    ASSERT_EQ(xlsxtest::partNames(plain), xlsxtest::partNames(switched));
    for (const QString &name : xlsxtest::partNames(plain))
        EXPECT_EQ(xlsxtest::part(plain, name), xlsxtest::part(switched, name))
            << name.toStdString() << " differs after switching Visible/WindowState/ScreenUpdating/DisplayAlerts";

    // The password never reaches the file.
    // Neither password nor server nor user reaches the file.
    for (const QString &name : xlsxtest::partNames(plain)) {
        for (const char *secret : {"GeHeim99", "forst01", "User ID"})
            EXPECT_FALSE(xlsxtest::part(plain, name).contains(secret)) << name.toStdString() << " holds " << secret;
    }

    xl.quit();
    EXPECT_EQ(xl.workbooks().count(), 0);

    const auto back = XlsxReader::load(plain);
    const auto &props = back->customProperties();
    EXPECT_EQ(props.value(TemplateMacros::connectionProperty()).toString(), QString()) << "not a bare provider name";
    EXPECT_EQ(props.value(TemplateMacros::filterProperty()).toString(), QStringLiteral("LISTE='4711'"));
    EXPECT_EQ(props.value(TemplateMacros::listNumberProperty()).toString(), QStringLiteral("4711"));
    const PageSetup &page = back->sheet(Report)->pageSetup();
    EXPECT_EQ(page.scale, 85) << "print scale from nZoom";
    EXPECT_EQ(page.paperSize, 9) << "the template's A4 set-up is kept";
    EXPECT_TRUE(page.oddHeader.contains(QStringLiteral("Holzliste 4711"))) << page.oddHeader.toStdString();
    EXPECT_TRUE(page.oddFooter.contains(QStringLiteral("&P")) && page.oddFooter.contains(QStringLiteral("&N")))
        << page.oddFooter.toStdString();
    ASSERT_NE(cellIn(*back, Settings, "B3"), nullptr) << "the settings sheet is kept";
    EXPECT_EQ(cellIn(*back, Settings, "B3")->number, 85.0);

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(plain, {Report + QStringLiteral("!A12"), Settings + QStringLiteral("!B2")});
    const QJsonObject custom = v.workbook("custom_properties").toObject();
    EXPECT_EQ(at(custom, "TannbuchListe").toString(), QStringLiteral("4711"));
    EXPECT_EQ(at(custom, "TannbuchFilter").toString(), QStringLiteral("LISTE='4711'"));
    EXPECT_EQ(at(custom, "TannbuchVerbindung").toString(), QString());
    EXPECT_EQ(v.sheetValue(Report, "scale").toInt(), 85);
    EXPECT_EQ(v.sheetValue(Report, "paper_size").toVariant().toInt(), 9) << "A4 from the template";
    EXPECT_FALSE(v.sheetValue(Report, "fit_to_page").toBool()) << "a set scale must not be overridden by fit to page";
    EXPECT_TRUE(v.sheetValue(Report, "header").toString().contains(QStringLiteral("Holzliste 4711")))
        << v.sheetValue(Report, "header").toString().toStdString();
    EXPECT_TRUE(v.sheetValue(Report, "footer").toString().contains(QStringLiteral("&P")))
        << v.sheetValue(Report, "footer").toString().toStdString();
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A12"), "value").toString(), QStringLiteral("Los 1"));
    EXPECT_EQ(v.cellValue(Settings, QStringLiteral("B2"), "value").toDouble(), 12.0);
}

// ---------------------------------------------------------------------------
// Workbook

TEST_F(SavedOperationsTest, WorkbookIsSavedAsAWorkbookAndClosedWithoutSaving)
{
    Book first = openReport();
    Book second = xl.workbooks().add(templatePath);
    EXPECT_EQ(xl.workbooks().count(), 2);
    EXPECT_EQ(first.worksheets(QStringLiteral("einstellungen")).name(), Settings);
    EXPECT_THROW(first.worksheets(QStringLiteral("Polter")), WorkbookError);

    first.worksheets(Report).range(QStringLiteral("A12")).setValue(QStringLiteral("erste Mappe"));
    EXPECT_EQ(second.worksheets(Report).range(QStringLiteral("A12")).value(), QString())
        << "each Add must give a fresh copy of the template";

    const QString refused = dir.filePath(QStringLiteral("Bericht.xls"));
    EXPECT_THROW(first.saveAs(refused, 56), WorkbookError);
    EXPECT_FALSE(QFileInfo::exists(refused)) << "a refused format must leave no file";

    const QString path = dir.filePath(QStringLiteral("Bericht.xlsx"));
    first.saveAs(path, Xl::FileFormatOpenXmlWorkbook);
    workbookvalidation::expectValid(path);
    const QByteArray types = xlsxtest::part(path, QStringLiteral("[Content_Types].xml"));
    EXPECT_TRUE(types.contains("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"))
        << "workbook content type missing: " << types.constData();
    EXPECT_FALSE(types.contains("template.main+xml")) << "the saved report still says template: " << types.constData();

    // Close without saving: the file on disk stays as it was.
    const QByteArray before = testsupport::readFile(path);
    first.worksheets(Report).range(QStringLiteral("A13")).setValue(QStringLiteral("verworfen"));
    first.close(false);
    EXPECT_EQ(xl.workbooks().count(), 1);
    EXPECT_EQ(testsupport::readFile(path), before) << "Close(SaveChanges false) changed the saved file";
    second.close(false);
    EXPECT_EQ(xl.workbooks().count(), 0);

    const auto back = XlsxReader::load(path);
    ASSERT_EQ(back->sheetCount(), 2);
    EXPECT_EQ(back->sheet(0).name(), Report);
    EXPECT_EQ(back->sheet(1).name(), Settings);
    ASSERT_NE(cellIn(*back, Report, "A12"), nullptr);
    EXPECT_EQ(cellIn(*back, Report, "A12")->text, QStringLiteral("erste Mappe"));
    EXPECT_EQ(cellIn(*back, Report, "A13"), nullptr) << "Tannbuch!A13: the discarded change reached the file";

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path, {Report + QStringLiteral("!A12:A13")});
    EXPECT_FALSE(v.workbook("template").toBool()) << "openpyxl sees a template";
    EXPECT_EQ(v.workbook("content_type").toString(),
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"));
    EXPECT_EQ(v.workbook("sheets").toArray(), QJsonArray({Report, Settings}));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A12"), "value").toString(), QStringLiteral("erste Mappe"));
    EXPECT_TRUE(v.cellValue(Report, QStringLiteral("A13"), "value").isNull());
}

// ---------------------------------------------------------------------------
// Worksheet: Activate

TEST_F(SavedOperationsTest, ActivatedSheetIsTheActiveTabOfTheSavedFile)
{
    Book book = openReport();
    book.worksheets(Settings).activate();
    xl.range(QStringLiteral("C2")).setValue(QStringLiteral("geprüft"));
    const QString settingsActive = saveReport(QStringLiteral("Einstellungen_aktiv.xlsx"));

    book.worksheets(Report).activate();
    xl.range(QStringLiteral("A12")).setValue(QStringLiteral("Los 1"));
    const QString reportActive = saveReport(QStringLiteral("Tannbuch_aktiv.xlsx"));
    xl.quit();

    // A sheet activated without being changed: the template's sheet part
    // is copied, and still only that sheet may show as selected.
    Application other;
    Book untouched = other.workbooks().add(templatePath);
    untouched.worksheets(Settings).activate();
    const QString untouchedPath = dir.filePath(QStringLiteral("nur_aktiviert.xlsx"));
    untouched.saveAs(untouchedPath);
    workbookvalidation::expectValid(untouchedPath);

    EXPECT_EQ(XlsxReader::load(settingsActive)->activeSheetIndex(), 1);
    EXPECT_EQ(XlsxReader::load(reportActive)->activeSheetIndex(), 0);
    EXPECT_EQ(XlsxReader::load(untouchedPath)->activeSheetIndex(), 1);

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    struct Case
    {
        QString path;
        QString active;
    };
    for (const Case &c : {Case{settingsActive, Settings}, Case{reportActive, Report}, Case{untouchedPath, Settings}}) {
        const ClientView v = readWithOpenpyxl(c.path, {Report, Settings});
        const std::string file = QFileInfo(c.path).fileName().toStdString();
        EXPECT_EQ(v.workbook("active").toString(), c.active) << file << ": wrong active tab";
        for (const QString &sheet : {Report, Settings}) {
            EXPECT_EQ(v.sheetValue(sheet, "tab_selected").toBool(), sheet == c.active)
                << file << ": sheet " << sheet.toStdString() << " tabSelected should be "
                << (sheet == c.active ? "set (it is the active sheet)" : "clear (another sheet is active)");
        }
    }
}

// ---------------------------------------------------------------------------
// Worksheet: Copy and Paste

TEST_F(SavedOperationsTest, PastedHeadRowsArriveWithFormulasStylesMergesAndHeights)
{
    openReport();
    xl.rows(QStringLiteral("1:4")).select();
    xl.selection().copy();
    xl.range(QStringLiteral("A40")).select();
    xl.activeSheet().paste();
    // A block of cells, not whole rows.
    xl.range(QStringLiteral("A3:C3")).copy();
    xl.range(QStringLiteral("E20")).select();
    xl.activeSheet().paste();
    const QString path = saveReport(QStringLiteral("Kopie.xlsx"));

    const auto back = XlsxReader::load(path);
    ASSERT_NE(cellIn(*back, Report, "A40"), nullptr) << "Tannbuch!A40: pasted title missing";
    EXPECT_EQ(cellIn(*back, Report, "A40")->text, QStringLiteral("Holzliste"));
    EXPECT_TRUE(styleIn(*back, Report, "A40").bold);
    EXPECT_DOUBLE_EQ(styleIn(*back, Report, "A40").fontSize, 16.0);
    ASSERT_NE(cellIn(*back, Report, "C42"), nullptr);
    EXPECT_EQ(cellIn(*back, Report, "C42")->formula, QStringLiteral("=B42*2"));
    EXPECT_DOUBLE_EQ(cellIn(*back, Report, "C42")->number, 14.0);
    EXPECT_EQ(styleIn(*back, Report, "B42").borders[EdgeTop].lineStyle, Xl::Continuous);
    const Worksheet &ws = *back->sheet(Report);
    EXPECT_NE(std::find(ws.merges().begin(), ws.merges().end(), RangeRef{40, 1, 40, 6}), ws.merges().end())
        << "merge A40:F40 missing";
    ASSERT_NE(ws.row(40), nullptr);
    EXPECT_DOUBLE_EQ(ws.row(40)->height, 24.0);
    ASSERT_NE(cellIn(*back, Report, "G20"), nullptr);
    EXPECT_EQ(cellIn(*back, Report, "G20")->formula, QStringLiteral("=F20*2"));

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path,
        {Report + QStringLiteral("!A40:F43"), Report + QStringLiteral("!E20:G20"), Report + QStringLiteral("!A1:C3")});
    const auto value = [&](const char *a) { return v.cellValue(Report, QString::fromLatin1(a), "value"); };
    const auto cached = [&](const char *a) { return v.cellValue(Report, QString::fromLatin1(a), "cached"); };
    EXPECT_EQ(value("A40").toString(), QStringLiteral("Holzliste")) << where(Report, QStringLiteral("A40"));
    EXPECT_TRUE(v.cellValue(Report, QStringLiteral("A40"), "bold").toBool()) << where(Report, QStringLiteral("A40"));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A40"), "size").toDouble(), 16.0);
    EXPECT_EQ(value("A41").toString(), QStringLiteral("Forstbetrieb:"));
    EXPECT_TRUE(v.cellValue(Report, QStringLiteral("A41"), "bold").toBool());
    EXPECT_EQ(value("D41").toString(), QStringLiteral("Kelmora"));
    EXPECT_EQ(value("B42").toDouble(), 7.0);
    EXPECT_EQ(value("C42").toString(), QStringLiteral("=B42*2")) << "Tannbuch!C42: formula must follow its row";
    EXPECT_EQ(cached("C42").toDouble(), 14.0) << "Tannbuch!C42: cached result";
    EXPECT_EQ(value("A43").toString(), QStringLiteral("Ende Kopf"));
    for (const char *a : {"A42", "B42", "C42"}) {
        for (const char *side : {"left", "right", "top", "bottom"})
            EXPECT_EQ(at(v.border(Report, QString::fromLatin1(a), side).toObject(), "style").toString(),
                QStringLiteral("thin"))
                << where(Report, QString::fromLatin1(a)) << " " << side << " border of the boxed line";
    }
    const QJsonArray merges = v.sheetValue(Report, "merges").toArray();
    EXPECT_TRUE(merges.contains(QStringLiteral("A40:F40"))) << "merges: " << QJsonDocument(merges).toJson().constData();
    EXPECT_TRUE(merges.contains(QStringLiteral("A1:F1"))) << "the source merge must stay";
    EXPECT_EQ(at(v.sheetValue(Report, "row_heights").toObject(), "40").toDouble(), 24.0) << "row 40 height";
    EXPECT_EQ(value("E20").toString(), QStringLiteral("Menge"));
    EXPECT_EQ(value("F20").toDouble(), 7.0);
    EXPECT_EQ(value("G20").toString(), QStringLiteral("=F20*2"));
    EXPECT_EQ(cached("G20").toDouble(), 14.0);
    EXPECT_EQ(value("A1").toString(), QStringLiteral("Holzliste")) << "the copied rows stay where they were";
    EXPECT_EQ(value("C3").toString(), QStringLiteral("=B3*2"));
}

// ---------------------------------------------------------------------------
// Worksheet: ResetAllPageBreaks; range: PageBreak

TEST_F(SavedOperationsTest, PageBreaksInTheFileAreTheOnesSetAfterTheReset)
{
    openReport();
    xl.activeWindow().setView(Xl::ViewPageBreakPreview);
    xl.activeSheet().resetAllPageBreaks(); // the template's break above row 30 goes
    xl.activeWindow().setView(Xl::ViewNormal);
    xl.activeSheet().rows(25).setPageBreak(Xl::PageBreakManual);
    xl.range(QStringLiteral("A45")).entireRow().setPageBreak(Xl::PageBreakManual);
    xl.activeSheet().rows(60).setPageBreak(Xl::PageBreakManual);
    xl.activeSheet().rows(60).setPageBreak(Xl::PageBreakNone);
    xl.activeSheet().rows(1).setPageBreak(Xl::PageBreakManual); // nothing above row 1 to break from
    const QString path = saveReport(QStringLiteral("Umbrueche.xlsx"));

    EXPECT_EQ(XlsxReader::load(path)->sheet(Report)->rowBreaks(), std::set<int>({25, 45}))
        << "rows with a break above them";
    const QByteArray xml = xlsxtest::part(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(xml.contains("<rowBreaks count=\"2\" manualBreakCount=\"2\">")) << xml.constData();

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path, {Report});
    EXPECT_EQ(v.sheetValue(Report, "row_breaks").toArray(), QJsonArray({24, 44})) << "a break's id is the row above it";
}

// ---------------------------------------------------------------------------
// Worksheet: Pictures.Insert and Hyperlinks.Add

TEST_F(SavedOperationsTest, InsertedPictureAndAddedHyperlinksAreInTheFile)
{
    const QString png = dir.filePath(QStringLiteral("logo.png"));
    QImage image(120, 40, QImage::Format_ARGB32);
    image.fill(QColor(0x2e, 0x6b, 0x30));
    image.setDotsPerMeterX(3780); // 96 dots per inch: shown at its pixel size
    image.setDotsPerMeterY(3780);
    ASSERT_TRUE(image.save(png));

    openReport();
    xl.range(QStringLiteral("H1")).select();
    EXPECT_EQ(xl.activeSheet().pictures().insert(png), 0);
    Hyperlinks links = xl.activeSheet().hyperlinks();
    const QString map = QStringLiteral("https://example.org/karte?x=4468000&y=5333000&zoom=10");
    links.add(xl.range(QStringLiteral("A40")), map, QStringLiteral("Link zur Karte ..."));
    links.add(xl.range(QStringLiteral("A41")), QStringLiteral("#Einstellungen!A1"), QStringLiteral("Einstellungen"));
    links.add(xl.range(QStringLiteral("A42")), QStringLiteral("https://example.org/polter"));
    links.add(xl.range(QStringLiteral("A43")), QStringLiteral("https://example.org/los"), QStringLiteral("12"));
    const QString path = saveReport(QStringLiteral("Bild_Link.xlsx"));

    const QStringList parts = xlsxtest::partNames(path);
    QString media;
    for (const QString &p : parts) {
        if (p.startsWith(QLatin1String("xl/media/")))
            media = p;
    }
    ASSERT_FALSE(media.isEmpty()) << "no image part in " << parts.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(xlsxtest::part(path, media), testsupport::readFile(png)) << "the picture's bytes are kept";
    EXPECT_TRUE(parts.contains(QStringLiteral("xl/drawings/drawing1.xml")));
    EXPECT_TRUE(xlsxtest::part(path, QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels")).contains("drawing1.xml"));
    EXPECT_TRUE(xlsxtest::part(path, QStringLiteral("[Content_Types].xml")).contains("image/png"));

    const auto back = XlsxReader::load(path);
    const auto &read = back->sheet(Report)->hyperlinks();
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].address, map);
    EXPECT_EQ(read[1].location, QStringLiteral("Einstellungen!A1"));
    EXPECT_EQ(cellIn(*back, Report, "A40")->text, QStringLiteral("Link zur Karte ..."));
    EXPECT_EQ(cellIn(*back, Report, "A42")->text, QStringLiteral("https://example.org/polter"))
        << "without a text to display the cell shows the address";
    EXPECT_EQ(cellIn(*back, Report, "A43")->type, CellType::Text) << "Tannbuch!A43: a link text stays text";

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path, {Report + QStringLiteral("!A40:A43")});
    const QJsonArray pictures = v.sheetValue(Report, "pictures").toArray();
    ASSERT_EQ(pictures.size(), 1) << QJsonDocument(pictures).toJson().constData();
    const QJsonObject picture = pictures.first().toObject();
    EXPECT_EQ(at(picture, "col").toInt(), 7) << "picture anchored in column H (7 from 0)";
    EXPECT_EQ(at(picture, "row").toInt(), 0) << "picture anchored in row 1 (0 from 0)";
    EXPECT_TRUE(at(picture, "png").toBool()) << "the anchored picture's part is no PNG";
    EXPECT_EQ(at(picture, "cx").toInteger(), 120 * 9525) << "picture width in EMU";
    EXPECT_EQ(at(picture, "cy").toInteger(), 40 * 9525) << "picture height in EMU";

    const QJsonObject found = v.sheetValue(Report, "hyperlinks").toObject();
    const auto link = [&](const char *a, const char *key) { return at(at(found, a).toObject(), key); };
    EXPECT_EQ(link("A40", "target").toString(), map);
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A40"), "value").toString(), QStringLiteral("Link zur Karte ..."));
    EXPECT_EQ(link("A41", "location").toString(), QStringLiteral("Einstellungen!A1"));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A41"), "value").toString(), Settings);
    EXPECT_EQ(link("A42", "target").toString(), QStringLiteral("https://example.org/polter"));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A43"), "type").toString(), QStringLiteral("s"));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A43"), "value").toString(), QStringLiteral("12"));
}

// ---------------------------------------------------------------------------
// Range: Value

TEST_F(SavedOperationsTest, ValuesLandAsTheSpreadsheetStoresThem)
{
    openReport();
    struct Case
    {
        const char *cell;
        QVariant value;
        char type; // what openpyxl reports: n number, s text, b boolean, d date
        QVariant stored;
        bool quotePrefix = false;
    };
    const QString control
        = QStringLiteral("Zeile1") + QChar(0x01) + QStringLiteral("Zeile2") + QChar(0x1f) + QStringLiteral("Ende\tTab");
    const std::vector<Case> cases = {
        {"A12", 12, 'n', 12.0},
        {"A13", 2.5, 'n', 2.5},
        {"A14", QStringLiteral("Fichte"), 's', QStringLiteral("Fichte")},
        {"A15", QStringLiteral("1,5"), 'n', 1.5},
        {"A16", QStringLiteral(" 7 "), 'n', 7.0},
        {"A17", QStringLiteral("-0,25"), 'n', -0.25},
        {"A18", QStringLiteral("0"), 'n', 0.0},
        {"A19", QStringLiteral("1.5"), 's', QStringLiteral("1.5")},
        {"A20", QStringLiteral("1.000"), 's', QStringLiteral("1.000")},
        {"A21", QStringLiteral("1e5"), 's', QStringLiteral("1e5")},
        {"A22", QStringLiteral("'0,95"), 's', QStringLiteral("0,95"), true},
        // Never a formula, and marked so that editing the cell keeps it text.
        {"A23", QStringLiteral("=SUMME(A12:A13)"), 's', QStringLiteral("=SUMME(A12:A13)"), true},
        {"A24", control, 's', control},
        {"A25", true, 'b', true},
        {"A26", QStringLiteral("  Fichte  "), 's', QStringLiteral("  Fichte  ")},
        {"A27", QStringLiteral("2a"), 's', QStringLiteral("2a")},
    };
    for (const Case &c : cases)
        xl.range(QString::fromLatin1(c.cell)).setValue(c.value);
    xl.range(QStringLiteral("A28")).setValue(QDate(2024, 3, 15));
    // Cells formatted as text keep what they are given as text.
    xl.range(QStringLiteral("B12:B14")).setNumberFormat(QStringLiteral("@"));
    xl.range(QStringLiteral("B12")).setValue(QStringLiteral("0815"));
    xl.range(QStringLiteral("B13")).setValue(QStringLiteral("1,5"));
    xl.range(QStringLiteral("B14")).setValue(42);
    // A range of cells gets the value in every cell.
    xl.range(QStringLiteral("C12:D13")).setValue(QStringLiteral("3,25"));
    const QString path = saveReport(QStringLiteral("Werte.xlsx"));

    // Own reader, and Value read back as text through a second application.
    const auto back = XlsxReader::load(path);
    for (const Case &c : cases) {
        const Cell *cell = cellIn(*back, Report, c.cell);
        ASSERT_NE(cell, nullptr) << "Tannbuch!" << c.cell << " missing";
        if (c.type == 'n') {
            EXPECT_EQ(cell->type, CellType::Number) << "Tannbuch!" << c.cell << " should be a number";
            EXPECT_EQ(cell->number, c.stored.toDouble()) << "Tannbuch!" << c.cell;
        } else if (c.type == 's') {
            EXPECT_EQ(cell->type, CellType::Text) << "Tannbuch!" << c.cell << " should be text";
            EXPECT_EQ(cell->text, c.stored.toString()) << "Tannbuch!" << c.cell;
        } else {
            EXPECT_EQ(cell->type, CellType::Boolean) << "Tannbuch!" << c.cell;
        }
        EXPECT_EQ(back->resolve(cell->styleId).quotePrefix, c.quotePrefix) << "Tannbuch!" << c.cell << " quote prefix";
    }
    Application reader;
    reader.setLocale(QLocale(QLocale::German, QLocale::Germany));
    Sheet sheet = reader.workbooks().add(path).worksheets(Report);
    const auto shown = [&](const char *a) { return sheet.range(QString::fromLatin1(a)).value(); };
    EXPECT_EQ(shown("A12"), QStringLiteral("12"));
    EXPECT_EQ(shown("A15"), QStringLiteral("1,5"));
    EXPECT_EQ(shown("A22"), QStringLiteral("0,95"));
    EXPECT_EQ(shown("A25"), QStringLiteral("WAHR"));
    EXPECT_EQ(shown("A26"), QStringLiteral("Fichte")) << "Value reads trimmed";
    EXPECT_EQ(shown("B12"), QStringLiteral("0815"));
    EXPECT_EQ(shown("D13"), QStringLiteral("3,25"));
    EXPECT_EQ(sheet.range(QStringLiteral("A28")).text(), QStringLiteral("15.03.2024"));

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path, {Report + QStringLiteral("!A12:D28")});
    for (const Case &c : cases) {
        const QString a = QString::fromLatin1(c.cell);
        const QJsonObject cell = v.cell(Report, a);
        EXPECT_EQ(at(cell, "type").toString(), QString(QLatin1Char(c.type)))
            << where(Report, a) << " written as " << c.value.toString().toStdString();
        if (c.type == 'n')
            EXPECT_EQ(at(cell, "value").toDouble(), c.stored.toDouble()) << where(Report, a);
        else if (c.type == 's')
            EXPECT_EQ(at(cell, "text").toString(), c.stored.toString()) << where(Report, a);
        else
            EXPECT_EQ(at(cell, "value").toBool(), c.stored.toBool()) << where(Report, a);
        EXPECT_EQ(at(cell, "quote_prefix").toBool(), c.quotePrefix) << where(Report, a) << " quote prefix";
    }
    EXPECT_TRUE(v.cellValue(Report, QStringLiteral("A28"), "value").toString().startsWith(QStringLiteral("2024-03-15")))
        << "Tannbuch!A28: expected the date 2024-03-15, came "
        << v.cellValue(Report, QStringLiteral("A28"), "value").toVariant().toString().toStdString();
    for (const char *a : {"B12", "B13", "B14"}) {
        EXPECT_EQ(v.cellValue(Report, QString::fromLatin1(a), "type").toString(), QStringLiteral("s"))
            << "Tannbuch!" << a << " is formatted as text";
        EXPECT_EQ(v.cellValue(Report, QString::fromLatin1(a), "number_format").toString(), QStringLiteral("@"));
    }
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("B12"), "value").toString(), QStringLiteral("0815"));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("B13"), "value").toString(), QStringLiteral("1,5"));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("B14"), "value").toString(), QStringLiteral("42"));
    for (const QString &a : cellsOf(QStringLiteral("C12:D13")))
        EXPECT_EQ(v.cellValue(Report, a, "value").toDouble(), 3.25) << where(Report, a);
}

// ---------------------------------------------------------------------------
// Range: Formula, NumberFormat, Font, HorizontalAlignment

TEST_F(SavedOperationsTest, FormulasCarryTheirResultsAndFormatsReachTheFile)
{
    openReport();
    xl.range(QStringLiteral("H14")).setValue(12.5);
    xl.range(QStringLiteral("H15")).setValue(1);
    xl.range(QStringLiteral("H16")).setValue(2);
    xl.range(QStringLiteral("H20")).setValue(4);
    xl.range(QStringLiteral("I14")).setFormula(QStringLiteral("=H14/ H20"));
    xl.range(QStringLiteral("J14:J16")).setFormula(QStringLiteral("=H14*2"));
    xl.range(QStringLiteral("K14")).setFormula(QStringLiteral("=H14/H30"));
    // A later change of a referenced cell must show in the stored result.
    xl.range(QStringLiteral("H20")).setValue(5);

    xl.range(QStringLiteral("H14:H16")).setNumberFormat(QStringLiteral("0.000"));
    xl.range(QStringLiteral("I14")).setNumberFormat(QStringLiteral("0.0%"));
    xl.range(QStringLiteral("J14:J16")).setNumberFormat(QStringLiteral("0.00"));
    xl.range(QStringLiteral("D14")).setNumberFormat(QStringLiteral("@"));
    xl.range(QStringLiteral("A14:K14")).font().setBold(true);
    xl.range(QStringLiteral("A14")).font().setSize(14);
    xl.range(QStringLiteral("H14:J14")).setHorizontalAlignment(HAlign::Right);
    const QString path = saveReport(QStringLiteral("Formeln.xlsx"));

    const auto back = XlsxReader::load(path);
    ASSERT_NE(cellIn(*back, Report, "I14"), nullptr);
    EXPECT_EQ(cellIn(*back, Report, "I14")->formula, QStringLiteral("=H14/ H20"));
    EXPECT_DOUBLE_EQ(cellIn(*back, Report, "I14")->number, 2.5) << "Tannbuch!I14: cached result of 12.5 / 5";
    EXPECT_EQ(cellIn(*back, Report, "J16")->formula, QStringLiteral("=H16*2"));
    EXPECT_EQ(styleIn(*back, Report, "H15").numberFormat, QStringLiteral("0.000"));
    EXPECT_EQ(styleIn(*back, Report, "I14").numberFormat, QStringLiteral("0.0%"));
    EXPECT_TRUE(styleIn(*back, Report, "K14").bold);
    EXPECT_DOUBLE_EQ(styleIn(*back, Report, "A14").fontSize, 14.0);
    EXPECT_EQ(styleIn(*back, Report, "J14").horizontalAlignment, HAlign::Right);
    EXPECT_TRUE(xlsxtest::part(path, QStringLiteral("xl/workbook.xml")).contains("fullCalcOnLoad=\"1\""))
        << "spreadsheet programs must be asked to recalculate";
    // A formula that fails keeps an error value as its result, as a
    // spreadsheet program stores it, not a text that reads "#DIV/0!".
    const QByteArray xml = xlsxtest::part(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    const qsizetype from = xml.indexOf("<c r=\"K14\"");
    ASSERT_GE(from, 0) << "Tannbuch!K14 missing in the sheet part";
    const QByteArray k14 = xml.mid(from, xml.indexOf("</c>", from) + 4 - from);
    EXPECT_TRUE(k14.contains("t=\"e\"") && k14.contains("<v>#DIV/0!</v>"))
        << "Tannbuch!K14: expected the cached #DIV/0! as an error value (t=\"e\"), the file holds: " << k14.constData();

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path, {Report + QStringLiteral("!A14:K16")});
    const auto cell = [&](const char *a, const char *key) { return v.cellValue(Report, QString::fromLatin1(a), key); };
    EXPECT_EQ(cell("I14", "value").toString(), QStringLiteral("=H14/ H20"));
    EXPECT_DOUBLE_EQ(cell("I14", "cached").toDouble(), 2.5) << "Tannbuch!I14: cached result, data_only";
    EXPECT_EQ(cell("J15", "value").toString(), QStringLiteral("=H15*2"));
    EXPECT_DOUBLE_EQ(cell("J15", "cached").toDouble(), 2.0);
    EXPECT_DOUBLE_EQ(cell("J16", "cached").toDouble(), 4.0);
    EXPECT_EQ(cell("K14", "cached").toString(), QStringLiteral("#DIV/0!"));
    EXPECT_EQ(cell("K14", "type").toString(), QStringLiteral("f"));
    EXPECT_TRUE(v.workbook("full_calc_on_load").toBool());
    for (const char *a : {"H14", "H15", "H16"})
        EXPECT_EQ(cell(a, "number_format").toString(), QStringLiteral("0.000")) << "Tannbuch!" << a;
    EXPECT_EQ(cell("I14", "number_format").toString(), QStringLiteral("0.0%"));
    EXPECT_EQ(cell("J16", "number_format").toString(), QStringLiteral("0.00"));
    EXPECT_EQ(cell("D14", "number_format").toString(), QStringLiteral("@"));
    for (const QString &a : cellsOf(QStringLiteral("A14:K14")))
        EXPECT_TRUE(v.cellValue(Report, a, "bold").toBool()) << where(Report, a) << " should be bold";
    EXPECT_FALSE(cell("A15", "bold").toBool()) << "Tannbuch!A15 outside the bold range";
    EXPECT_EQ(cell("A14", "size").toDouble(), 14.0);
    EXPECT_EQ(cell("B14", "size").toDouble(), 11.0) << "Tannbuch!B14 keeps the standard size";
    for (const char *a : {"H14", "I14", "J14"})
        EXPECT_EQ(cell(a, "halign").toString(), QStringLiteral("right")) << "Tannbuch!" << a;
    EXPECT_TRUE(cell("K14", "halign").isNull()) << "Tannbuch!K14 keeps general alignment";
}

// ---------------------------------------------------------------------------
// Range: Borders as DrawHeaderRules and DrawTopRule set them

TEST_F(SavedOperationsTest, HeaderAndTopRulesAreThinLinesAboveAndBelowWithNothingBetween)
{
    openReport();
    // What a template row may already carry: a full grid, diagonals, a
    // heavy rule above, and a line on the neighbour to the right.
    const auto line = [&](const char *address, BorderEdge edge, int weight = Xl::Thin) {
        Border b = xl.range(QString::fromLatin1(address)).borders(edge);
        b.setLineStyle(Xl::Continuous);
        b.setWeight(weight);
    };
    for (BorderEdge e :
        {BorderEdge::Left, BorderEdge::Top, BorderEdge::Bottom, BorderEdge::Right, BorderEdge::InsideVertical})
        line("A5:K5", e);
    line("C5", BorderEdge::DiagonalDown);
    line("E5", BorderEdge::DiagonalUp);
    line("A4:K4", BorderEdge::Bottom, Xl::Medium);
    line("L5", BorderEdge::Left);
    drawHeaderRules(xl, QStringLiteral("A5:K5"));

    // A total row with a heavy line below and a grid: only the top changes.
    for (BorderEdge e : {BorderEdge::Left, BorderEdge::Right, BorderEdge::InsideVertical})
        line("A9:K9", e);
    line("A9:K9", BorderEdge::Bottom, Xl::Medium);
    drawTopRule(xl, QStringLiteral("A9:K9"));

    // Several rows: the lines between the rows are left as they are.
    line("A20:C22", BorderEdge::InsideHorizontal);
    line("A20:C22", BorderEdge::InsideVertical);
    drawHeaderRules(xl, QStringLiteral("A20:C22"));
    const QString path = saveReport(QStringLiteral("Linien.xlsx"));

    const auto back = XlsxReader::load(path);
    for (const char *a : {"A5", "F5", "K5"}) {
        const ResolvedStyle s = styleIn(*back, Report, a);
        EXPECT_EQ(s.borders[EdgeTop], (BorderLine{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic}))
            << "Tannbuch!" << a;
        EXPECT_EQ(s.borders[EdgeBottom], (BorderLine{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic}))
            << "Tannbuch!" << a;
        EXPECT_TRUE(s.borders[EdgeLeft].isNone()) << "Tannbuch!" << a;
        EXPECT_TRUE(s.borders[EdgeRight].isNone()) << "Tannbuch!" << a;
    }

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path,
        {Report + QStringLiteral("!A4:L5"), Report + QStringLiteral("!A9:K9"), Report + QStringLiteral("!A20:C22")});
    const auto side = [&](const QString &a, const char *name) { return v.border(Report, a, name); };
    const auto expectThin = [&](const QString &a, const char *name) {
        const QJsonObject s = side(a, name).toObject();
        EXPECT_EQ(at(s, "style").toString(), QStringLiteral("thin"))
            << where(Report, a) << " " << name << ": expected a thin line, came "
            << QJsonDocument(s).toJson(QJsonDocument::Compact).constData();
        const QString color = at(s, "color").toString();
        EXPECT_TRUE(color.isEmpty() || color == QLatin1String("auto") || color == QLatin1String("indexed:64"))
            << where(Report, a) << " " << name << ": expected the automatic colour, came " << color.toStdString();
    };
    const auto expectNone = [&](const QString &a, const char *name) {
        EXPECT_TRUE(side(a, name).isNull())
            << where(Report, a) << " " << name << ": expected no line, came "
            << QJsonDocument(side(a, name).toObject()).toJson(QJsonDocument::Compact).constData();
    };

    for (const QString &a : cellsOf(QStringLiteral("A5:K5"))) {
        expectThin(a, "top");
        expectThin(a, "bottom");
        expectNone(a, "left");
        expectNone(a, "right");
        expectNone(a, "diagonal");
    }
    // The edge shared with the row above shows one line, the thin one; the
    // neighbour's line on the cleared right edge is gone.
    for (const QString &a : cellsOf(QStringLiteral("A4:K4")))
        expectThin(a, "bottom");
    expectNone(QStringLiteral("L5"), "left");

    for (const QString &a : cellsOf(QStringLiteral("A9:K9"))) {
        expectThin(a, "top");
        EXPECT_EQ(at(side(a, "bottom").toObject(), "style").toString(), QStringLiteral("medium"))
            << where(Report, a) << " bottom: the top rule must leave it";
        expectNone(a, "left");
        expectNone(a, "right");
    }

    for (const QString &a : cellsOf(QStringLiteral("A20:C22"))) {
        expectNone(a, "left");
        expectNone(a, "right");
    }
    for (const QString &a : cellsOf(QStringLiteral("A20:C20")))
        expectThin(a, "top");
    for (const QString &a : cellsOf(QStringLiteral("A22:C22")))
        expectThin(a, "bottom");
    for (const QString &a : cellsOf(QStringLiteral("A21:C21"))) {
        expectThin(a, "top");
        expectThin(a, "bottom");
    }
}

// ---------------------------------------------------------------------------
// Range: Merge, ColumnWidth, AutoFit

TEST_F(SavedOperationsTest, MergesAndColumnWidthsAsSetAndFitted)
{
    openReport();
    xl.range(QStringLiteral("A30")).setValue(QStringLiteral("Zusammengefasst"));
    xl.range(QStringLiteral("B30")).setValue(QStringLiteral("geht verloren"));
    xl.range(QStringLiteral("A30:F30")).merge();

    xl.range(QStringLiteral("A8:J40")).setColumnWidth(13);

    const QString longest = QStringLiteral("Sehr lange Bezeichnung der Holzsorte");
    xl.range(QStringLiteral("K12")).setValue(QStringLiteral("Kl."));
    xl.range(QStringLiteral("K13")).setValue(QStringLiteral("2a"));
    xl.range(QStringLiteral("L12")).setValue(QStringLiteral("Fichte"));
    xl.range(QStringLiteral("L13")).setValue(longest);
    xl.range(QStringLiteral("M12")).setValue(longest);
    xl.range(QStringLiteral("N12")).setValue(QStringLiteral("'") + QString(30, QLatin1Char('0')));
    xl.range(QStringLiteral("O12")).setValue(longest); // outside the fitted columns
    xl.columns(QStringLiteral("K:N")).select();
    xl.selection().columns().autoFit();
    const QString path = saveReport(QStringLiteral("Breiten.xlsx"));

    const auto back = XlsxReader::load(path);
    const Worksheet &ws = *back->sheet(Report);
    EXPECT_NE(std::find(ws.merges().begin(), ws.merges().end(), RangeRef{30, 1, 30, 6}), ws.merges().end())
        << "merge A30:F30 missing";
    Application reader;
    Sheet sheet = reader.workbooks().add(path).worksheets(Report);
    for (int c = 1; c <= 10; ++c)
        EXPECT_DOUBLE_EQ(sheet.columns(c).columnWidth(), 13.0) << "column " << c << " width in characters";
    const double k = sheet.columns(11).columnWidth();
    const double l = sheet.columns(12).columnWidth();
    const double m = sheet.columns(13).columnWidth();
    const double n = sheet.columns(14).columnWidth();
    EXPECT_GT(l, k) << "the column with the longer text must be wider";
    EXPECT_DOUBLE_EQ(l, m) << "the longest text decides, the shorter ones in the column do not";
    // The width unit is the digit of the standard font (7 pixels at 11
    // points), so thirty digits fill a column thirty characters wide; the
    // fit may add a little room, not two and a half digits.
    EXPECT_GE(n, 30.0) << "Tannbuch column N: thirty digits need thirty characters, came " << n;
    EXPECT_LE(n, 31.5) << "Tannbuch column N: AutoFit of thirty digits (210 pixels) should give about thirty "
                          "characters, came "
                       << n;
    EXPECT_LT(sheet.columns(15).columnWidth(), 0.0) << "column O was not fitted";

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path, {Report + QStringLiteral("!A30:F30")});
    EXPECT_TRUE(v.sheetValue(Report, "merges").toArray().contains(QStringLiteral("A30:F30")));
    EXPECT_EQ(v.cellValue(Report, QStringLiteral("A30"), "value").toString(), QStringLiteral("Zusammengefasst"));
    EXPECT_TRUE(v.cellValue(Report, QStringLiteral("B30"), "value").isNull()) << "Tannbuch!B30 lies in the merge";
    const QJsonObject widths = v.sheetValue(Report, "col_widths").toObject();
    const auto width = [&](const char *column) { return at(at(widths, column).toObject(), "width").toDouble(); };
    for (const char *c : {"A", "B", "E", "J"}) {
        // 13 characters of the standard font are 96 pixels: 13.7109375 in the file.
        EXPECT_DOUBLE_EQ(width(c), 13.7109375) << "column " << c;
        EXPECT_TRUE(at(at(widths, c).toObject(), "custom").toBool()) << "column " << c;
    }
    EXPECT_GT(width("L"), width("K"));
    EXPECT_DOUBLE_EQ(width("L"), width("M"));
    EXPECT_GT(width("N"), 30.0) << "column N";
    EXPECT_LT(width("N"), 32.5) << "column N: thirty digits, about thirty characters plus the cell margin";
    EXPECT_FALSE(widths.contains(QStringLiteral("O"))) << "column O got a width: " << width("O");
}

// ---------------------------------------------------------------------------
// Range: Delete with shift up

TEST_F(SavedOperationsTest, DeletedBlockLetsTheCellsBelowMoveUp)
{
    openReport();
    for (int row = 5; row <= 21; ++row) {
        xl.cells(row, 2).setValue(row * 10);
        xl.cells(row, 3).setValue(QStringLiteral("C%1").arg(row));
    }
    xl.range(QStringLiteral("B22")).setFormula(QStringLiteral("=B21*2")); // moves with what it reads
    xl.range(QStringLiteral("B23")).setFormula(QStringLiteral("=B3+1")); // moves, reads a head cell that stays
    xl.range(QStringLiteral("D25")).setFormula(QStringLiteral("=B20")); // stays, reads a cell that moves
    xl.range(QStringLiteral("B5:B9")).select();
    xl.selection().deleteCells(Xl::Up);
    // Whole rows: heights and breaks below move along.
    xl.rows(QStringLiteral("12:14")).deleteCells(Xl::Up);
    const QString path = saveReport(QStringLiteral("Geloescht.xlsx"));

    // After both deletions: B10.. moved to B5.. then rows 12..14 went, so
    // the old B20 is in row 12, the old B22 in row 14, the old B23 in row 15.
    const auto back = XlsxReader::load(path);
    const auto number = [&](const char *a) {
        const Cell *c = cellIn(*back, Report, a);
        return c ? c->number : -1.0;
    };
    EXPECT_EQ(number("B5"), 100.0) << "Tannbuch!B5 should hold the old B10";
    EXPECT_EQ(number("B11"), 160.0) << "Tannbuch!B11 should hold the old B16";
    EXPECT_EQ(number("B12"), 200.0) << "Tannbuch!B12 should hold the old B20";
    ASSERT_NE(cellIn(*back, Report, "C5"), nullptr);
    EXPECT_EQ(cellIn(*back, Report, "C5")->text, QStringLiteral("C5")) << "column C lies beside the block";
    ASSERT_NE(cellIn(*back, Report, "A32"), nullptr) << "Tannbuch!A32 should hold the old A35";
    EXPECT_EQ(cellIn(*back, Report, "A32")->text, QStringLiteral("hohe Zeile"));
    ASSERT_NE(back->sheet(Report)->row(32), nullptr);
    EXPECT_DOUBLE_EQ(back->sheet(Report)->row(32)->height, 30.0) << "row 35's height moved up with it";
    EXPECT_EQ(back->sheet(Report)->rowBreaks(), std::set<int>({27})) << "the break above row 30 moved to 27";

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    const ClientView v = readWithOpenpyxl(path, {Report + QStringLiteral("!B5:D22")});
    const auto cell = [&](const char *a, const char *key) { return v.cellValue(Report, QString::fromLatin1(a), key); };
    EXPECT_EQ(cell("B5", "value").toDouble(), 100.0);
    EXPECT_EQ(cell("B12", "value").toDouble(), 200.0);
    EXPECT_EQ(cell("C5", "value").toString(), QStringLiteral("C5"));
    EXPECT_EQ(cell("C12", "value").toString(), QStringLiteral("C15")) << "column C lost rows 12 to 14 only";
    EXPECT_EQ(cell("B14", "value").toString(), QStringLiteral("=B13*2")) << "Tannbuch!B14 (the old B22)";
    EXPECT_EQ(cell("B14", "cached").toDouble(), 420.0) << "Tannbuch!B14 (the old B22)";
    EXPECT_EQ(at(v.sheetValue(Report, "row_heights").toObject(), "32").toDouble(), 30.0);
    EXPECT_EQ(v.sheetValue(Report, "row_breaks").toArray(), QJsonArray({26}));

    // References to cells that do not move stay; references to cells that
    // move follow them, as a spreadsheet program adjusts them on delete.
    EXPECT_EQ(cell("B15", "value").toString(), QStringLiteral("=B3+1"))
        << "Tannbuch!B15 (the old B23, moved up by the deletions) reads the head cell B3, which did not move; "
           "its reference must stay B3";
    EXPECT_EQ(cell("B15", "cached").toDouble(), 8.0) << "Tannbuch!B15: B3 + 1";
    EXPECT_EQ(cell("D22", "value").toString(), QStringLiteral("=B12"))
        << "Tannbuch!D22 (the old D25) read B20, which moved to B12; the reference must follow it";
    EXPECT_EQ(cell("D22", "cached").toDouble(), 200.0) << "Tannbuch!D22: the value of the old B20";
}

// ---------------------------------------------------------------------------
// Window: View

TEST_F(SavedOperationsTest, ViewSwitchesLeaveTheSavedSheetInNormalView)
{
    openReport();
    xl.activeWindow().setView(Xl::ViewPageBreakPreview);
    xl.range(QStringLiteral("A12")).setValue(QStringLiteral("Los 1"));
    xl.activeWindow().setView(Xl::ViewNormal);
    const QString path = saveReport(QStringLiteral("Ansicht.xlsx"));
    EXPECT_FALSE(xlsxtest::part(path, QStringLiteral("xl/worksheets/sheet1.xml")).contains("pageBreakPreview"));

    // A template saved in page-break preview: the report sets normal view,
    // so the report opens in normal view.
    std::vector<ZipEntry> entries = ZipArchive::read(templatePath);
    bool patched = false;
    for (ZipEntry &e : entries) {
        if (e.name == QLatin1String("xl/worksheets/sheet1.xml") && e.data.contains("<sheetView ")) {
            e.data.replace("<sheetView ", "<sheetView view=\"pageBreakPreview\" ");
            patched = true;
        }
    }
    ASSERT_TRUE(patched) << "the template's report sheet has no sheet view to patch";
    const QString previewTemplate = dir.filePath(QStringLiteral("Tannbuch_Umbruchvorschau.xltx"));
    xlsxtest::writeZip(previewTemplate, entries);
    xl.workbooks().add(previewTemplate);
    xl.activeWindow().setView(Xl::ViewPageBreakPreview);
    xl.range(QStringLiteral("A12")).setValue(QStringLiteral("Los 1"));
    xl.activeWindow().setView(Xl::ViewNormal);
    const QString fromPreview = saveReport(QStringLiteral("Ansicht_aus_Vorschau.xlsx"));

    if (!haveClient())
        GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)";
    // No view attribute means normal view.
    const auto view = [](const ClientView &c) {
        const QString v = c.sheetValue(Report, "view").toString();
        return v.isEmpty() ? QStringLiteral("normal") : v;
    };
    EXPECT_EQ(view(readWithOpenpyxl(path, {Report})), QStringLiteral("normal"));
    const ClientView w = readWithOpenpyxl(fromPreview, {Report});
    EXPECT_EQ(view(w), QStringLiteral("normal"))
        << "the program set the normal view (Xl::ViewNormal) last, but the saved report sheet opens in "
        << w.sheetValue(Report, "view").toString().toStdString() << " (taken over from the template)";
}

// ---------------------------------------------------------------------------
// Window: SelectedSheets.PrintOut

TEST_F(SavedOperationsTest, PrintOutHandsAPdfToThePrintCommand)
{
    if (OfficeConverter::program().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) ist nicht installiert: PrintOut kann nicht geprüft werden.";
    const QString spool = dir.filePath(QStringLiteral("drucker"));
    ASSERT_TRUE(QDir().mkpath(spool));
    const QString script = dir.filePath(QStringLiteral("drucken.sh"));
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n# A printer that files what it gets.\ncp \"$1\" \"" + spool.toUtf8() + "/\"\n");
    }
    ASSERT_TRUE(
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", script.toUtf8());

    openReport();
    xl.range(QStringLiteral("A12")).setValue(QStringLiteral("Los 1"));
    xl.range(QStringLiteral("H12")).setValue(12.5);
    xl.activeWindow().selectedSheets().printOut(1, true);

    const QStringList printed = QDir(spool).entryList(QDir::Files);
    ASSERT_EQ(printed.size(), 1) << "the print command got no PDF";
    EXPECT_TRUE(printed.front().endsWith(QLatin1String(".pdf"))) << printed.front().toStdString();
    EXPECT_TRUE(testsupport::readFile(QDir(spool).filePath(printed.front())).startsWith("%PDF"));

    // Printing leaves the workbook as it was: saved afterwards, every sheet
    // is there and visible.
    const QString path = saveReport(QStringLiteral("Gedruckt.xlsx"));
    EXPECT_FALSE(xlsxtest::part(path, QStringLiteral("xl/workbook.xml")).contains("state=\"hidden\""))
        << "a sheet hidden for printing stays hidden in the saved report";
    EXPECT_EQ(XlsxReader::load(path)->sheet(Report)->cell(12, 1)->text, QStringLiteral("Los 1"));
}

} // namespace
