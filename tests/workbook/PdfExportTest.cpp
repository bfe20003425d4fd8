// PDF export and printing through the office suite. These run the real
// LibreOffice when it is installed; without it they are skipped, except the
// checks that its absence is reported.

#include "XlsxTestHelpers.h"

#include "common/TestSupport.h"

#include "workbook/OfficeConverter.h"
#include "workbook/ReportPrinter.h"
#include "workbook/Workbook.h"
#include "workbook/WorkbookError.h"
#include "workbook/XlsxReader.h"
#include "workbook/XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace xlsxtest;

namespace {

std::unique_ptr<Workbook> report()
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(QStringLiteral("Tannbuch"));
    Worksheet &settings = wb->addSheet(QStringLiteral("Einstellungen"));
    for (int r = 1; r <= 30; ++r) {
        Cell &c = sheet.cellForWrite(r, 1);
        c.type = CellType::Text;
        c.text = QStringLiteral("Stamm %1").arg(r);
        Cell &n = sheet.cellForWrite(r, 2);
        n.type = CellType::Number;
        n.number = r * 0.25;
        Cell &s = settings.cellForWrite(r, 1);
        s.type = CellType::Text;
        s.text = QStringLiteral("Schlüssel %1").arg(r);
    }
    wb->setActiveSheetIndex(0);
    return wb;
}

int pageCount(const QString &pdf)
{
    const QByteArray bytes = testsupport::readFile(pdf);
    return int(QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

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

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const WorkbookError &e) {
        return e.message();
    }
    return QString();
}

class PdfExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (OfficeConverter::program().isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) ist nicht installiert; PDF-Tests übersprungen.";
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
};

TEST_F(PdfExportTest, ReportSheetAloneBecomesThePdf)
{
    const auto wb = report();
    const QString pdf = dir.filePath(QStringLiteral("Bericht.pdf"));
    ReportPrinter::exportPdf(*wb, pdf);
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    EXPECT_TRUE(testsupport::readFile(pdf).startsWith("%PDF"));
    // The settings sheet is not printed: one page for the 30 report rows.
    EXPECT_EQ(pageCount(pdf), 1);
    // The workbook's own file is untouched by printing.
    EXPECT_EQ(wb->sheetCount(), 2);
}

TEST_F(PdfExportTest, SavedTemplateReportConvertsWithoutError)
{
    const QString templatePath = dir.filePath(QStringLiteral("Tannbuch.xltx"));
    writeZip(templatePath, templateEntries());
    const auto wb = XlsxReader::load(templatePath);
    Cell &c = wb->sheet(0).cellForWrite(12, 1);
    c.type = CellType::Text;
    c.text = QStringLiteral("Los 1");
    wb->sheet(0).picturesForWrite().push_back({tinyPng(), QStringLiteral("png"), 30, 30, {1, 6}, QString()});
    const QString xlsx = dir.filePath(QStringLiteral("Bericht.xlsx"));
    XlsxWriter::save(*wb, xlsx);
    const QString out = OfficeConverter::convert(xlsx, QStringLiteral("pdf"), dir.path());
    EXPECT_TRUE(testsupport::readFile(out).startsWith("%PDF"));
    // The template fits its print area on one page; the settings sheet,
    // printed here as the office suite prints whole files, adds one.
    EXPECT_EQ(pageCount(out), 2);
}

TEST_F(PdfExportTest, PrintCommandReceivesThePdf)
{
    const QString spool = dir.filePath(QStringLiteral("drucker"));
    ASSERT_TRUE(QDir().mkpath(spool));
    EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", (QStringLiteral("cp -t ") + spool).toUtf8());
    const auto wb = report();
    ReportPrinter::print(*wb, 1, true);
    const QStringList printed = QDir(spool).entryList(QDir::Files);
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed.front().endsWith(QLatin1String(".pdf")));
}

TEST_F(PdfExportTest, FailingPrintCommandIsReported)
{
    const auto wb = report();
    {
        EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", "sh -c \"echo Drucker offline >&2; exit 3\" --");
        const QString message = messageOf([&] { ReportPrinter::print(*wb, 1, true); });
        EXPECT_TRUE(message.contains(QStringLiteral("Drucker offline"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("3"))) << message.toStdString();
    }
    {
        EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", "/gibt/es/nicht/lp");
        const QString message = messageOf([&] { ReportPrinter::print(*wb, 1, true); });
        EXPECT_TRUE(message.contains(QStringLiteral("/gibt/es/nicht/lp"))) << message.toStdString();
    }
}

TEST_F(PdfExportTest, LegacyBinaryTemplateIsConvertedOnLoad)
{
    // An old binary file made by the office suite from a saved workbook.
    const auto wb = report();
    const QString xlsx = dir.filePath(QStringLiteral("Vorlage.xlsx"));
    XlsxWriter::save(*wb, xlsx);
    const QString xls = OfficeConverter::convert(xlsx, QStringLiteral("xls"), dir.path());
    const QString legacy = dir.filePath(QStringLiteral("Tannbuch_Alt.xlt"));
    ASSERT_TRUE(QFile::rename(xls, legacy));
    const auto loaded = XlsxReader::load(legacy);
    ASSERT_GE(loaded->sheetCount(), 2);
    EXPECT_EQ(loaded->sheet(0).name(), QStringLiteral("Tannbuch"));
    EXPECT_EQ(loaded->sheet(0).cell(3, 1)->text, QStringLiteral("Stamm 3"));
    EXPECT_EQ(loaded->sourcePath(), QFileInfo(legacy).absoluteFilePath());
}

TEST(PdfWithoutOfficeTest, MissingOfficeSuiteIsReported)
{
    EnvironmentGuard office("TANNBUCH_OFFICE_PROGRAM", "/gibt/es/nicht/soffice");
    const auto wb = report();
    QTemporaryDir dir;
    const QString message = messageOf([&] { ReportPrinter::exportPdf(*wb, dir.filePath(QStringLiteral("x.pdf"))); });
    EXPECT_TRUE(message.contains(QStringLiteral("LibreOffice"))) << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("x.pdf"))));
    EXPECT_FALSE(messageOf([&] { ReportPrinter::print(*wb, 1, true); }).isEmpty());
}

} // namespace
