// Sheet operations a report uses, done through the application as a report
// does it, then read back from the saved file by an independent reader
// (openpyxl, through verify_saved.py); every saved file is also checked
// against the schemas. (Formulas, formats, borders, merges and widths the
// round-trip and template tests read back, the active tab the sheet view
// tests, the header rules the single-log header's tests.) A failure names
// the cell, what was expected and what the file holds.

#include "SheetTestSupport.h"
#include "XlsxTestHelpers.h"

#include "common/TestSupport.h"
#include "common/WorkbookValidation.h"

#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/XlsxReader.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

const QString Report = u"Tannbuch"_s;
const QString Settings = u"Einstellungen"_s;

QJsonValue at(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1StringView(key));
}

std::string json(const QJsonValue &value)
{
    return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}

// What openpyxl reads from a saved file. Cells are named as on the report
// sheet ("A12") or with their sheet ("Einstellungen!B2").
class ClientView
{
public:
    ClientView(const QString &path, const QStringList &requests)
        : m_root(testsupport::readWithOpenpyxl(path, requests))
    { }

    QJsonValue workbook(const char *key) const { return at(m_root, key); }
    QJsonValue sheet(const char *key, const QString &name = Report) const
    {
        return at(at(m_root, "sheet").toObject().value(name).toObject(), key);
    }
    QJsonValue cell(const QString &ref, const char *key) const
    {
        const QString name = ref.contains(QLatin1Char('!')) ? ref.section(QLatin1Char('!'), 0, 0) : Report;
        const QJsonObject cells = sheet("cells", name).toObject();
        return at(cells.value(ref.section(QLatin1Char('!'), -1)).toObject(), key);
    }

private:
    QJsonObject m_root;
};

// One entry of a cell as openpyxl reads it; an invalid value expects none.
struct Seen
{
    const char *cell;
    const char *key;
    QVariant expected;
};

void expectSeen(const ClientView &v, const std::vector<Seen> &seen)
{
    for (const Seen &s : seen) {
        const QJsonValue actual = v.cell(QString::fromLatin1(s.cell), s.key);
        if (!s.expected.isValid())
            EXPECT_TRUE(actual.isNull() || actual.isUndefined()) << s.cell << " " << s.key << ": came " << json(actual);
        else
            EXPECT_TRUE(actual.toVariant() == s.expected)
                << s.cell << " " << s.key << ": expected " << s.expected.toString().toStdString() << ", came "
                << json(actual);
    }
}

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

#define SKIP_WITHOUT_OPENPYXL()                                                                                        \
    if (!testsupport::haveOpenpyxl())                                                                                  \
    GTEST_SKIP() << "python3-openpyxl fehlt (/usr/bin/python3)"

class SavedOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        xl.setLocale(QLocale(QLocale::German, QLocale::Germany));
        // The hand-made template: the report sheet's head in rows 1 to 7 with
        // a logo, fit to pages on A4; StartZeile 8 on the settings sheet.
        templatePath = dir.filePath(u"Tannbuch.xltx"_s);
        xlsxtest::writeZip(templatePath, xlsxtest::templateEntries());
    }

    // A report workbook made from the template, its report sheet active.
    BookHandle openReport()
    {
        BookHandle book = xl.workbooks().add(templatePath);
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
    xl.workbooks().add(templatePath);
    EXPECT_EQ(xl.activeSheet().name(), Report) << "the template's active sheet must be active after Add";
    xl.run(u"DieseArbeitsmappe.SetGlobalVariables"_s,
        {u"Provider=SQLOLEDB;Data Source=forst01;User ID=forst;Password=GeHeim99;Initial "
         u"Catalog=kelmora"_s,
            u"LISTE='4711'"_s, u"4711"_s});
    // 85 is the template's own scale: setting it turns fitting to pages off all the same.
    xl.run(u"DieseArbeitsmappe.WriteKopfFuss"_s, {true, 85});
    xl.run(u"DieseArbeitsmappe.WriteKundeKopf"_s);
    xl.run(u"DieseArbeitsmappe.SetDotFields"_s);
    xl.range(u"A12"_s).setValue(u"Los 1"_s);

    // Window and display state have no place in the file: two saves, one
    // with everything switched, give the same parts.
    const QString plain = saveReport(u"Bericht_a.xlsx"_s);
    xl.setVisible(true);
    xl.setWindowState(Xl::WindowMinimized);
    xl.setScreenUpdating(false);
    xl.setDisplayAlerts(false);
    const QString switched = saveReport(u"Bericht_b.xlsx"_s);
    ASSERT_EQ(xlsxtest::partNames(plain), xlsxtest::partNames(switched));
    for (const QString &name : xlsxtest::partNames(plain)) {
        const QByteArray part = xlsxtest::part(plain, name);
        EXPECT_EQ(part, xlsxtest::part(switched, name)) << name.toStdString() << " differs after switching the window";
        // Neither password nor server nor user reaches the file.
        for (const char *secret : {"GeHeim99", "forst01", "User ID"})
            EXPECT_FALSE(part.contains(secret)) << name.toStdString() << " holds " << secret;
    }
    xl.quit();
    EXPECT_EQ(xl.workbooks().count(), 0);

    SKIP_WITHOUT_OPENPYXL();
    const ClientView v(plain, {Report + u"!A12"_s, Settings + u"!B2"_s});
    const QJsonObject custom = v.workbook("custom_properties").toObject();
    EXPECT_EQ(at(custom, "TannbuchListe").toString(), u"4711"_s);
    EXPECT_EQ(at(custom, "TannbuchFilter").toString(), u"LISTE='4711'"_s);
    EXPECT_EQ(at(custom, "TannbuchVerbindung").toString(), QString()) << "not a bare provider name";
    EXPECT_EQ(v.sheet("scale").toInt(), 85) << "print scale from nZoom";
    EXPECT_EQ(v.sheet("paper_size").toVariant().toInt(), 9) << "the template's A4 set-up is kept";
    EXPECT_FALSE(v.sheet("fit_to_page").toBool()) << "a set scale must not be overridden by fit to page";
    EXPECT_TRUE(v.sheet("header").toString().contains(u"Holzliste 4711"_s)) << json(v.sheet("header"));
    EXPECT_TRUE(v.sheet("footer").toString().contains(u"&P"_s)) << json(v.sheet("footer"));
    EXPECT_TRUE(v.sheet("footer").toString().contains(u"&N"_s)) << json(v.sheet("footer"));
    expectSeen(v, {{"A12", "value", u"Los 1"_s}, {"Einstellungen!B2", "value", 8.0}});
}

// ---------------------------------------------------------------------------
// Workbook

TEST_F(SavedOperationsTest, WorkbookIsSavedAsAWorkbookAndClosedWithoutSaving)
{
    BookHandle first = openReport();
    BookHandle second = xl.workbooks().add(templatePath);
    first.worksheets(Report).range(u"A12"_s).setValue(u"erste Mappe"_s);
    EXPECT_EQ(second.worksheets(Report).range(u"A12"_s).value(), QString())
        << "each Add must give a fresh copy of the template";

    const QString refused = dir.filePath(u"Bericht.xls"_s);
    EXPECT_THROW(first.saveAs(refused, 56), WorkbookError);
    EXPECT_FALSE(QFileInfo::exists(refused)) << "a refused format must leave no file";

    const QString path = dir.filePath(u"Bericht.xlsx"_s);
    first.saveAs(path, Xl::FileFormatOpenXmlWorkbook);
    workbookvalidation::expectValid(path);
    // Close without saving: the file on disk stays as it was.
    const QByteArray before = testsupport::readFile(path);
    first.worksheets(Report).range(u"A13"_s).setValue(u"verworfen"_s);
    first.close(false);
    EXPECT_EQ(xl.workbooks().count(), 1);
    EXPECT_EQ(testsupport::readFile(path), before) << "Close(SaveChanges false) changed the saved file";
}

// ---------------------------------------------------------------------------
// Worksheet: Pictures.Insert and Hyperlinks.Add

TEST_F(SavedOperationsTest, InsertedPictureAndAddedHyperlinksAreInTheFile)
{
    const QString png = dir.filePath(u"logo.png"_s);
    QImage image(120, 40, QImage::Format_ARGB32);
    image.fill(QColor(0x2e, 0x6b, 0x30));
    image.setDotsPerMeterX(3780); // 96 dots per inch: shown at its pixel size
    image.setDotsPerMeterY(3780);
    ASSERT_TRUE(image.save(png));

    openReport();
    xl.range(u"H1"_s).select();
    EXPECT_EQ(xl.activeSheet().pictures().insert(png), 0);
    Hyperlinks links = xl.activeSheet().hyperlinks();
    const QString map = u"https://example.org/karte?x=4468000&y=5333000&zoom=10"_s;
    links.add(xl.range(u"A40"_s), map, u"Link zur Karte ..."_s);
    links.add(xl.range(u"A41"_s), u"#Einstellungen!A1"_s, u"Einstellungen"_s);
    links.add(xl.range(u"A42"_s), u"https://example.org/polter"_s);
    links.add(xl.range(u"A43"_s), u"https://example.org/los"_s, u"12"_s);
    const QString path = saveReport(u"Bild_Link.xlsx"_s);
    QStringList kept;
    for (const QString &media : xlsxtest::partNames(path).filter(u"xl/media/"_s)) {
        if (xlsxtest::part(path, media) == testsupport::readFile(png))
            kept << media;
    }
    EXPECT_EQ(kept.size(), 1) << "the picture's bytes are kept";

    SKIP_WITHOUT_OPENPYXL();
    const ClientView v(path, {Report + u"!A40:A43"_s});
    const QJsonArray pictures = v.sheet("pictures").toArray();
    ASSERT_EQ(pictures.size(), 2) << "the template's logo and the inserted picture: " << json(pictures);
    QJsonObject picture; // the one anchored in column H (7 from 0)
    for (const QJsonValue &p : pictures) {
        if (at(p.toObject(), "col").toInt() == 7)
            picture = p.toObject();
    }
    ASSERT_FALSE(picture.isEmpty()) << "no picture in column H: " << json(pictures);
    EXPECT_EQ(at(picture, "row").toInt(), 0) << "picture anchored in row 1 (0 from 0)";
    EXPECT_TRUE(at(picture, "png").toBool()) << "the anchored picture's part is no PNG";
    EXPECT_EQ(at(picture, "cx").toInteger(), 120 * 9525) << "picture width in EMU";
    EXPECT_EQ(at(picture, "cy").toInteger(), 40 * 9525) << "picture height in EMU";

    const QJsonObject found = v.sheet("hyperlinks").toObject();
    const auto link = [&](const char *a, const char *key) { return at(at(found, a).toObject(), key).toString(); };
    EXPECT_EQ(link("A40", "target"), map);
    EXPECT_EQ(link("A41", "location"), u"Einstellungen!A1"_s);
    EXPECT_EQ(link("A42", "target"), u"https://example.org/polter"_s);
    expectSeen(v,
        {{"A40", "value", u"Link zur Karte ..."_s}, {"A41", "value", Settings},
            // Without a text to display the cell shows the address; a link text stays text.
            {"A42", "value", u"https://example.org/polter"_s}, {"A43", "type", u"s"_s}, {"A43", "value", u"12"_s}});
}

// ---------------------------------------------------------------------------
// Range: Value

TEST_F(SavedOperationsTest, ValuesLandAsTheSpreadsheetStoresThem)
{
    openReport();
    // One of each kind the file stores differently; which texts become
    // numbers at all the value conversion tests decide.
    struct Case
    {
        const char *cell;
        QVariant value;
        char type; // what openpyxl reports: n number, s text, b boolean
        QVariant stored;
        bool quotePrefix = false;
    };
    const QString control = u"Zeile1"_s + QChar(0x01) + u"Zeile2"_s + QChar(0x1f) + u"Ende\tTab"_s;
    const std::vector<Case> cases = {
        {"A12", 12, 'n', 12.0},
        {"A14", u"Fichte"_s, 's', u"Fichte"_s},
        {"A22", u"'0,95"_s, 's', u"0,95"_s, true},
        // Never a formula, and marked so that editing the cell keeps it text.
        {"A23", u"=SUMME(A12:A13)"_s, 's', u"=SUMME(A12:A13)"_s, true},
        {"A24", control, 's', control},
        {"A25", true, 'b', true},
        {"A26", u"  Fichte  "_s, 's', u"  Fichte  "_s},
    };
    for (const Case &c : cases)
        xl.range(QString::fromLatin1(c.cell)).setValue(c.value);
    xl.range(u"A28"_s).setValue(QDate(2024, 3, 15));
    // Cells formatted as text keep what they are given as text.
    xl.range(u"B12:B14"_s).setNumberFormat(u"@"_s);
    xl.range(u"B12"_s).setValue(u"0815"_s);
    xl.range(u"B14"_s).setValue(42);
    // A range of cells gets the value in every cell.
    xl.range(u"C12:D13"_s).setValue(u"3,25"_s);
    const QString path = saveReport(u"Werte.xlsx"_s);

    SKIP_WITHOUT_OPENPYXL();
    const ClientView v(path, {Report + u"!A12:D28"_s});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toString().toStdString());
        expectSeen(v,
            {{c.cell, "type", QString(QLatin1Char(c.type))}, {c.cell, c.type == 's' ? "text" : "value", c.stored},
                {c.cell, "quote_prefix", c.quotePrefix}});
    }
    EXPECT_TRUE(v.cell(u"A28"_s, "value").toString().startsWith(u"2024-03-15"_s)) << json(v.cell(u"A28"_s, "value"));
    expectSeen(v,
        {{"B12", "value", u"0815"_s}, {"B14", "value", u"42"_s}, {"B14", "type", u"s"_s},
            {"B14", "number_format", u"@"_s}});
    for (const QString &a : cellsOf(u"C12:D13"_s))
        EXPECT_EQ(v.cell(a, "value").toDouble(), 3.25) << a.toStdString();
}

// ---------------------------------------------------------------------------
// Window: SelectedSheets.PrintOut

TEST_F(SavedOperationsTest, PrintOutHandsAPdfToThePrintCommandAndLeavesTheWorkbook)
{
    const QString spool = dir.filePath(u"drucker"_s);
    ASSERT_TRUE(QDir().mkpath(spool));
    testsupport::EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", (u"cp -t "_s + spool).toUtf8());
    openReport();
    xl.range(u"A12"_s).setValue(u"Los 1"_s);
    xl.activeWindow().selectedSheets().printOut(1, true);

    const QStringList printed = QDir(spool).entryList(QDir::Files);
    ASSERT_EQ(printed.size(), 1) << "the print command got no PDF";
    EXPECT_TRUE(testsupport::readFile(QDir(spool).filePath(printed.front())).startsWith("%PDF"));
    // Printing leaves the workbook as it was: saved afterwards, every sheet
    // is there and visible.
    const QString path = saveReport(u"Gedruckt.xlsx"_s);
    EXPECT_FALSE(xlsxtest::part(path, u"xl/workbook.xml"_s).contains("state=\"hidden\""))
        << "a sheet hidden for printing stays hidden in the saved report";
    EXPECT_EQ(XlsxReader::load(path)->sheet(Report)->cell(12, 1)->text, u"Los 1"_s);
}

} // namespace

} // namespace tannbuch
