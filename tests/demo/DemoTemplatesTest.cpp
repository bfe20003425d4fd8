// The demo templates: both files are written, are templates that this
// program and an independent reader (openpyxl) open, and carry on their sheet
// "Einstellungen" every report setting, read exactly as a report run reads
// them (rows 2 to 101, key in A, value in B, through the application).

#include "DemoTemplates.h"
#include "DemoIni.h"

#include "common/TestSupport.h"
#include "workbook/XlsxTestHelpers.h"

#include "app/TemplateCheckFile.h"
#include "report/ReportSettings.h"
#include "report/SettingsSheet.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

const QString Report = u"Tannbuch"_s;
const QString Settings = u"Einstellungen"_s;

// Every setting key the program knows, and the header keys the demo's ini
// file fills (lines 1 to 3 and the picture).
QStringList demoKeys()
{
    QStringList keys;
    for (const QString &key : SettingKeySpellings()) {
        if (!key.startsWith(u"ini.headerline"_s) || key.back() <= u'3')
            keys << key;
    }
    return keys;
}

// The settings rows of a template with a key, read through the application
// as a report run reads them, and the settings they give.
struct ReadTemplate
{
    std::vector<std::pair<SettingsSheet::Row, QString>> rows; // with the explanation in C
    ReportSettings settings;
};

const IniValueReader FakeIni = [](const QString &key) { return u"Wert von "_s + key; };

ReadTemplate readAsAReportDoes(const QString &path)
{
    ReadTemplate read;
    Application xl;
    xl.setLocale(QLocale(QLocale::German, QLocale::Germany));
    xl.workbooks().add(path);
    read.settings.resetForNewWorkbook();
    const SheetHandle sheet = xl.worksheets(Settings);
    SettingsSheet::read(sheet, read.settings, FakeIni, [&](const SettingsSheet::Row &row, auto &) {
        if (!row.key.isEmpty())
            read.rows.emplace_back(row, sheet.cells(row.row, 3).value());
    });
    return read;
}

QJsonValue at(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1StringView(key));
}

struct DemoTemplate
{
    QString fileName;
    bool lotByLot;
};

const DemoTemplate Templates[] = {
    {u"Tannbuch.xltx"_s, false},
    {u"Tannbuch_Losweise.xltx"_s, true},
};

class DemoTemplatesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        const QString templates = s_dir->filePath(u"templates"_s);
        s_written = s_dir->isValid() && writeDemoTemplates(templates) == 0
            && writeDemoIni(iniPath(), s_dir->filePath(u"forst.sqlite"_s), templates) == 0;
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_written) << "writeDemoTemplates failed (see standard error)"; }

    static QString iniPath() { return s_dir->filePath(u"kelmora.ini"_s); }
    static QString pathOf(const DemoTemplate &t) { return s_dir->filePath(u"templates/"_s + t.fileName); }

    static QTemporaryDir *s_dir;
    static bool s_written;
};

QTemporaryDir *DemoTemplatesTest::s_dir = nullptr;
bool DemoTemplatesTest::s_written = false;

TEST_F(DemoTemplatesTest, SettingsSheetHoldsEverySettingAsAReportReadsIt)
{
    for (const DemoTemplate &t : Templates) {
        SCOPED_TRACE(t.fileName.toStdString());
        const QString path = pathOf(t);
        ASSERT_TRUE(QFileInfo(path).isFile()) << path.toStdString() << " was not written";
        const ReadTemplate read = readAsAReportDoes(path);

        // Every setting is there with a value; the checker finds nothing
        // (no unknown or repeated key, no value that reads otherwise, head
        // copy and output area in order).
        QStringList keys;
        for (const auto &[r, explanation] : read.rows) {
            keys << r.key;
            EXPECT_FALSE(r.value.isEmpty()) << "Einstellungen!B" << r.row << ": no value for " << r.key.toStdString();
            EXPECT_FALSE(explanation.isEmpty()) << "Einstellungen!C" << r.row << ": no explanation";
        }
        for (const QString &key : demoKeys())
            EXPECT_TRUE(keys.contains(key.toUpper())) << "setting " << key.toStdString() << " missing";
        const TemplateCheck check = CheckTemplateFile(path, iniPath());
        for (const TemplateFinding &f : check.findings)
            ADD_FAILURE() << FindingLine(f).toStdString();

        // What the report gets from them.
        const ReportSettings &s = read.settings;
        EXPECT_EQ(s.lLosweise, t.lotByLot ? 1 : 0) << "lLosweise";
        EXPECT_EQ(s.lGesamt, t.lotByLot) << "lGesamt: an overall block only after the lots";
        for (int k = 1; k <= 3; ++k) {
            const HeaderLine &line = s.headerLines[size_t(k)];
            EXPECT_EQ(line.text, u"Wert von Headerline%1"_s.arg(k)) << "header line " << k;
            EXPECT_LT(CellAddress::parse(line.cell).firstRow, s.StartZeile) << "header line " << k << " below the head";
        }
        EXPECT_LT(CellAddress::parse(s.headerPicture.cell).firstRow, s.StartZeile) << "the logo lands below the head";
        // Some column keys: the column list has captions after its empty entry 0.
        ASSERT_GE(s.columnListUpperBound(), 2) << "no column keys";
        EXPECT_TRUE(s.columnList.front().caption.isEmpty());
        for (int i = 1; i < s.columnListUpperBound(); ++i)
            EXPECT_FALSE(s.columnList[size_t(i)].caption.isEmpty()) << "column entry " << i << " has no caption";
    }
}

TEST_F(DemoTemplatesTest, TemplatesAreTemplatePackagesWithAHeadAboveTheOutput)
{
    for (const DemoTemplate &t : Templates) {
        SCOPED_TRACE(t.fileName.toStdString());
        const QString path = pathOf(t);
        const QByteArray types = xlsxtest::part(path, u"[Content_Types].xml"_s);
        EXPECT_TRUE(types.contains("application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"))
            << "not a template package: " << types.constData();

        const auto wb = XlsxReader::load(path);
        ASSERT_NE(wb->sheet(Report), nullptr) << "sheet Tannbuch missing";
        ASSERT_NE(wb->sheet(Settings), nullptr) << "sheet Einstellungen missing";
        EXPECT_EQ(wb->activeSheetIndex(), wb->sheetIndex(Report)) << "the report sheet opens active";
        // A head above StartZeile (the checker tells content in the output area).
        ASSERT_NE(wb->sheet(Report)->row(1), nullptr) << "Tannbuch row 1 is empty";

        if (!testsupport::haveOpenpyxl())
            continue;
        const QJsonObject r = testsupport::readWithOpenpyxl(path, {Report, Settings});
        EXPECT_TRUE(at(r, "template").toBool()) << "openpyxl does not see a template";
        EXPECT_TRUE(at(r, "sheets").toArray().contains(Report) && at(r, "sheets").toArray().contains(Settings));
        EXPECT_EQ(at(r, "active").toString(), Report);
    }
}

} // namespace

} // namespace tannbuch
