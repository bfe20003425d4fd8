// PDF export and printing with the program's own page renderer: what the
// PDF holds (clickable links, numbers in fitted columns, the saved file's
// name in the header), that cancelling, a failing print command, a full
// disk and an area of too many pages are told and leave no file and no
// process behind, and that a template's font colours, fills and vertical
// alignments reach the page.

#include "XlsxTestHelpers.h"

#include "common/TestSupport.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/ColumnAutoFit.h"
#include "workbook/cells/ColumnWidth.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/OfficeConverter.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"
#include "workbook/print/PageRenderer.h"
#include "workbook/print/ReportPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace xlsxtest;

namespace {

// A report sheet of `rows` logs with a footer, and a settings sheet that
// must not print.
std::unique_ptr<Workbook> report(int rows = 30)
{
    auto wb = std::make_unique<Workbook>();
    Worksheet &sheet = wb->addSheet(u"Tannbuch"_s);
    Worksheet &settings = wb->addSheet(u"Einstellungen"_s);
    for (int r = 1; r <= rows; ++r) {
        setText(sheet, r, 1, u"Stamm %1"_s.arg(r));
        setNumber(sheet, r, 2, r * 0.25);
    }
    for (int r = 1; r <= 30; ++r)
        setText(settings, r, 1, u"Schlüssel %1"_s.arg(r));
    sheet.pageSetupForWrite().oddFooter = u"&CSeite &P von &N"_s;
    wb->setActiveSheetIndex(0);
    return wb;
}

int pageCount(const QString &pdf)
{
    const QByteArray bytes = testsupport::readFile(pdf);
    return int(QString::fromLatin1(bytes).count(QRegularExpression(u"/Type\\s*/Page[^s]"_s)));
}

QString pdfText(const QString &pdf)
{
    return testsupport::toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
}

using testsupport::EnvironmentGuard;
using testsupport::messageOf;

// True while the process exists and has not ended (a zombie has ended).
bool running(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && line.mid(close + 2, 1) != "Z";
}

class PdfExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        target = dir.filePath(u"Bericht.pdf"_s);
    }
    // The folder holds exactly these files.
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    QString target;
};

// Only a legacy template needs the office suite (XlsxBadTemplateTest checks
// its message); the PDF is the program's own.
TEST_F(PdfExportTest, ActiveSheetBecomesThePdfWithItsFooter)
{
    EnvironmentGuard office("TANNBUCH_OFFICE_PROGRAM", "/gibt/es/nicht/soffice");
    const auto wb = report(100);
    // The same figure in a format of its own shows in that format.
    CellStyle threeDecimals;
    threeDecimals.numberFormat = u"0.000"_s;
    Cell &same = wb->sheet(0).cellForWrite(1, 3);
    same.type = CellType::Number;
    same.number = 0.25;
    same.styleId = wb->styles().intern(threeDecimals);
    ASSERT_TRUE(ReportPrinter::exportPdf(*wb, target));
    EXPECT_TRUE(testsupport::readFile(target).startsWith("%PDF"));
    EXPECT_EQ(pageCount(target), 3) << "48 rows a page on A4";
    EXPECT_EQ(files(), QStringList({u"Bericht.pdf"_s}));
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        GTEST_SKIP() << "pdftotext fehlt: der Text der Seiten wird nicht geprüft.";
    const QString text = pdfText(target);
    EXPECT_TRUE(text.contains(u"Stamm 100"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Seite 3 von 3"_s));
    EXPECT_TRUE(text.contains(u"0,25"_s) || text.contains(u"0.25"_s));
    EXPECT_TRUE(text.contains(u"0,250"_s) || text.contains(u"0.250"_s));
    EXPECT_FALSE(text.contains(u"Schlüssel"_s)) << "the settings sheet does not print";
}

TEST_F(PdfExportTest, CancelLeavesTheEarlierFileAndNothingElse)
{
    ASSERT_TRUE(testsupport::writeFile(target, "der Bericht von gestern"));
    const auto wb = report(500);
    int calls = 0;
    int total = 0;
    const bool done = ReportPrinter::exportPdf(*wb, target, [&](int pageDone, int pages) {
        total = pages;
        return ++calls < 3 && pageDone < pages;
    });
    EXPECT_FALSE(done);
    EXPECT_EQ(total, 11);
    EXPECT_EQ(calls, 3) << "the export stops at the first refusal";
    EXPECT_EQ(testsupport::readFile(target), QByteArray("der Bericht von gestern"));
    EXPECT_EQ(files(), QStringList({u"Bericht.pdf"_s}));
}

TEST_F(PdfExportTest, FullDiskIsToldAndKeepsTheEarlierFile)
{
    ASSERT_TRUE(testsupport::writeFile(target, "der Bericht von gestern"));
    const auto wb = report(20000);
    // In a child process, so the file-size limit stays there.
    const pid_t pid = fork();
    if (pid == 0) {
        rlimit limit{32 * 1024, 32 * 1024};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(2);
        const QString message = messageOf([&] { ReportPrinter::exportPdf(*wb, target); });
        _exit(message.contains(u"Bericht.pdf"_s) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failure names the file";
    EXPECT_EQ(testsupport::readFile(target), QByteArray("der Bericht von gestern"));
    EXPECT_EQ(files(), QStringList({u"Bericht.pdf"_s}));

    const QString missing = messageOf([&] { ReportPrinter::exportPdf(*wb, dir.filePath(u"fehlt/x.pdf"_s)); });
    EXPECT_TRUE(missing.contains(u"x.pdf"_s)) << missing.toStdString();
}

TEST_F(PdfExportTest, FailingPrinterIsToldAndLeavesNothing)
{
    const auto wb = report();
    // A temporary folder of its own: other tests print at the same time.
    EnvironmentGuard temp("TMPDIR", dir.path().toUtf8());
    const auto printFolders = [&] { return QDir(dir.path()).entryList({u"tannbuch-print-*"_s}, QDir::Dirs); };
    const QStringList before = printFolders();
    struct Failure
    {
        QByteArray command;
        QString told;
    };
    const std::vector<Failure> failures = {
        {"sh -c \"echo Drucker offline >&2; exit 3\" --", u"Drucker offline"_s},
        {"sh -c \"exit 3\" --", u"Rückgabewert 3"_s},
        {"/gibt/es/nicht/lp", u"/gibt/es/nicht/lp"_s},
    };
    for (const Failure &f : failures) {
        EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", f.command);
        const QString message = messageOf([&] { ReportPrinter::print(*wb, 1, true); });
        EXPECT_TRUE(message.contains(f.told)) << message.toStdString();
    }
    EXPECT_EQ(printFolders(), before) << "no PDF stays behind";
}

TEST_F(PdfExportTest, CancelStopsThePrintCommandAndWhatItStarted)
{
    // The command starts a child of its own, as spoolers and launchers do.
    const QString pidFile = dir.filePath(u"kind.pid"_s);
    EnvironmentGuard command(
        "TANNBUCH_PRINT_COMMAND", u"sh -c \"sleep 60 & echo $! > %1; wait\" --"_s.arg(pidFile).toUtf8());
    const auto wb = report();
    QElapsedTimer clock;
    clock.start();
    const bool done = ReportPrinter::print(
        *wb, 1, true, QString(), [&](int, int) { return !QFileInfo::exists(pidFile) || clock.elapsed() < 300; });
    EXPECT_FALSE(done);
    const qint64 child = testsupport::readFile(pidFile).trimmed().toLongLong();
    ASSERT_GT(child, 0);
    for (int i = 0; i < 50 && running(child); ++i)
        QThread::msleep(20);
    EXPECT_FALSE(running(child)) << "the print command's child is gone too";
}

// A value far out in the sheet would make millions of pages: the export is
// refused before the first page is drawn, naming the cell, and leaves no
// file.
TEST_F(PdfExportTest, AnAreaOfTooManyPagesIsRefusedBeforeDrawing)
{
    // The stray cell, and the far corner of the area it makes.
    const std::vector<std::pair<const char *, const char *>> strays
        = {{"XFD1048576", "XFD1048576"}, {"A1048576", "B1048576"}, {"XFD5000", "XFD5000"}};
    for (const auto &[stray, corner] : strays) {
        const auto wb = report();
        const RangeRef at = CellAddress::parse(QString::fromLatin1(stray));
        setText(wb->sheet(0), at.firstRow, at.firstColumn, u"x"_s);
        int progressCalls = 0;
        const QString message
            = messageOf([&] { ReportPrinter::exportPdf(*wb, target, [&](int, int) { return ++progressCalls > 0; }); });
        EXPECT_TRUE(message.contains(QLatin1String(corner)) && message.contains(u"20.000"_s)) << message.toStdString();
        EXPECT_EQ(progressCalls, 0) << stray;
        EXPECT_TRUE(files().isEmpty()) << stray;
    }
}

// Each link cell with an address is one link a reader can click, whatever
// characters its address holds, also in a cell whose text wraps; a link
// inside the workbook is none.
TEST_F(PdfExportTest, LinkCellsAreClickable)
{
    if (QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty())
        GTEST_SKIP() << "pdfinfo fehlt.";
    const auto wb = report(60);
    ResolvedStyle wrapped;
    wrapped.wrapText = true;
    wb->setBaseStyles({ResolvedStyle(), wrapped});
    CellStyle wrappedStyle;
    wrappedStyle.baseXf = 1;
    wb->sheet(0).cellForWrite(7, 1).styleId = wb->styles().intern(wrappedStyle);
    const std::vector<std::pair<int, QString>> links = {
        {2, u"https://karte.example/atlas/?X=4471234.5&Y=(5401)&zoom=10"_s},
        {5, u"https://karte.example/atlas/?X=Grünwald\\Nord&Y="_s},
        {7, u"https://karte.example/atlas/?X=7"_s},
        {9, QString()},
        {55, u"https://karte.example/atlas/?X=1&Y=2"_s},
    };
    for (const auto &[row, address] : links) {
        Hyperlink link;
        link.anchor = CellRef{row, 1};
        link.address = address;
        link.location = address.isEmpty() ? u"Einstellungen!A1"_s : QString();
        wb->sheet(0).hyperlinksForWrite().push_back(link);
    }
    ASSERT_TRUE(ReportPrinter::exportPdf(*wb, target));
    QString errors;
    const QStringList listed = testsupport::toolOutput(u"pdfinfo"_s, {u"-url"_s, target}, &errors)
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                   .mid(1);
    EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
    const QStringList expected = {
        u"1 Annotation https://karte.example/atlas/?X=4471234.5&Y=%285401%29&zoom=10"_s,
        u"1 Annotation https://karte.example/atlas/?X=Gr%C3%BCnwald%5CNord&Y="_s,
        u"1 Annotation https://karte.example/atlas/?X=7"_s,
        u"2 Annotation https://karte.example/atlas/?X=1&Y=2"_s,
    };
    QStringList urls;
    for (const QString &line : listed)
        urls << line.simplified();
    EXPECT_EQ(urls.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

// A column the program fitted to its numbers prints every one of them, in
// any font; a column left narrower shows "###".
TEST_F(PdfExportTest, FittedColumnsPrintTheirNumbers)
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        GTEST_SKIP() << "pdftotext fehlt.";
    struct FitCase
    {
        const char *format;
        double value;
        const char *font;
        double size;
        bool bold;
        const char *shown;
        double narrowedBy; // characters taken off the fitted width
    };
    const std::vector<FitCase> cases = {
        {"dd.mm.yyyy", 46022, "Calibri", 11, false, "31.12.2025", 0},
        {"dd.mm.yyyy", 46021, "Calibri", 11, true, "30.12.2025", 0},
        {"dd.mm.yyyy", 46020, "Arial", 10, false, "29.12.2025", 0},
        {"dd.mm.yyyy", 46019, "Times New Roman", 12, false, "28.12.2025", 0},
        {"#,##0", 123456789012, "Calibri", 11, false, "123.456.789.012", 0},
        {"0.000", 12345.678, "Calibri", 8, true, "12345,678", 0},
        {"dd.mm.yyyy", 46018, "Calibri", 11, false, "###", 1.5},
    };
    Workbook wb;
    wb.setLocale(QLocale(QLocale::German, QLocale::Germany));
    Worksheet &sheet = wb.addSheet(u"Tannbuch"_s);
    std::vector<ResolvedStyle> fonts(1);
    for (const FitCase &c : cases) {
        ResolvedStyle font;
        font.fontName = QString::fromLatin1(c.font);
        font.fontSize = c.size;
        fonts.push_back(font);
    }
    wb.setBaseStyles(fonts);
    for (size_t i = 0; i < cases.size(); ++i) {
        const FitCase &c = cases[i];
        const int column = int(i) + 1;
        CellStyle style;
        style.baseXf = column;
        style.numberFormat = QString::fromLatin1(c.format);
        style.bold = c.bold;
        setNumber(sheet, 1, column, c.value, wb.styles().intern(style));
        ColumnAutoFit::fit(wb, sheet, RangeRef{1, column, 1, column});
        ColumnData &width = sheet.columnsForWrite()[column];
        width.width = ColumnWidth::toStored(ColumnWidth::toCharacters(width.width) - c.narrowedBy);
    }
    ASSERT_TRUE(ReportPrinter::exportPdf(wb, target));
    const QStringList shown = pdfText(target).simplified().split(QLatin1Char(' '));
    for (const FitCase &c : cases)
        EXPECT_TRUE(shown.contains(QLatin1String(c.shown))) << c.shown << " in " << shown.join(u' ').toStdString();
    EXPECT_EQ(shown.count(u"###"_s), 1);
}

// The header and footer name the file the workbook is saved as (&F, &Z;
// the template's name and nothing while it is unsaved) and show &K colours.
TEST_F(PdfExportTest, HeaderNamesTheSavedFileInItsColour)
{
    if (QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) fehlt.";
    const auto wb = report(10);
    wb->setSourcePath(u"/opt/vorlagen/Tannbuch.xltx"_s);
    wb->sheet(0).pageSetupForWrite().oddHeader = u"&L&F&R&Z"_s;
    wb->sheet(0).pageSetupForWrite().oddFooter = u"&C&KC00000&20Seite &P von &N"_s;
    const QString folder = dir.filePath(u"listen"_s);
    const std::vector<std::pair<QString, QString>> cases = {
        {QString(), u"Tannbuch.xltx"_s},
        {folder + u"/Holzliste_4711.xlsx"_s, u"Holzliste_4711.xlsx "_s + folder + u'/'},
    };
    for (const auto &[saved, header] : cases) {
        ASSERT_TRUE(ReportPrinter::exportPdf(*wb, target, {}, saved));
        EXPECT_EQ(pdfText(target).split(QLatin1Char('\n')).value(0).simplified(), header);
    }
    const QString prefix = dir.filePath(u"seite"_s);
    testsupport::toolOutput(u"pdftoppm"_s, {u"-r"_s, u"50"_s, u"-png"_s, u"-singlefile"_s, target, prefix});
    const QImage page(prefix + u".png"_s);
    ASSERT_FALSE(page.isNull());
    int red = 0;
    int black = 0;
    for (int y = page.height() * 9 / 10; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            red += c.red() > 150 && c.green() < 90 && c.blue() < 90;
            black += std::max({c.red(), c.green(), c.blue()}) < 60;
        }
    }
    EXPECT_GT(red, 20) << "the footer is red";
    EXPECT_EQ(black, 0);
}

TEST_F(PdfExportTest, LegacyBinaryTemplateIsConvertedOnLoad)
{
    if (OfficeConverter::program().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) ist nicht installiert.";
    // An old binary file made by the office suite from a saved workbook.
    const auto wb = report();
    const QString xlsx = dir.filePath(u"Vorlage.xlsx"_s);
    XlsxWriter::save(*wb, xlsx);
    const QString xls = OfficeConverter::convert(xlsx, u"xls"_s, dir.path());
    const QString legacy = dir.filePath(u"Tannbuch_Alt.xlt"_s);
    ASSERT_TRUE(QFile::rename(xls, legacy));
    const auto loaded = XlsxReader::load(legacy);
    ASSERT_GE(loaded->sheetCount(), 2);
    EXPECT_EQ(loaded->sheet(0).name(), u"Tannbuch"_s);
    EXPECT_EQ(loaded->sheet(0).cell(3, 1)->text, u"Stamm 3"_s);
    EXPECT_EQ(loaded->sourcePath(), QFileInfo(legacy).absoluteFilePath());
}

// A template cell's font colour, fill and vertical alignment as the styles
// part writes them, and what the loaded workbook resolves them to (a tint
// moves the lightness towards white or black).
struct TemplateStyleCase
{
    const char *color; // the font's colour element
    const char *fill; // the fill's pattern element
    const char *vertical; // the cell format's vertical alignment
    const char *resolvedColor;
    const char *resolvedFill;
    VAlign resolvedVertical;
};

const std::vector<TemplateStyleCase> templateStyleCases = {
    {"", "", "", "", "", VAlign::Bottom},
    {"<color theme=\"1\"/>", "<patternFill patternType=\"gray125\"/>", "", "#000000", "", VAlign::Bottom},
    {"<color rgb=\"FFFF0000\"/>", "", "top", "#FF0000", "", VAlign::Top},
    {"<color indexed=\"10\"/>", "", "center", "#FF0000", "", VAlign::Center},
    {"<color theme=\"4\" tint=\"-0.5\"/>", "", "bottom", "#203864", "", VAlign::Bottom},
    {"<color auto=\"1\"/>", "<patternFill patternType=\"solid\"><fgColor theme=\"5\" tint=\"0.6\"/></patternFill>",
        "justify", "", "#F8CBAD", VAlign::Justify},
    {"<color indexed=\"64\"/>", "<patternFill patternType=\"solid\"><fgColor indexed=\"13\"/></patternFill>",
        "distributed", "", "#FFFF00", VAlign::Distributed},
    {"<color theme=\"0\" tint=\"-0.05\"/>", "<patternFill patternType=\"solid\"><fgColor theme=\"4\"/></patternFill>",
        "", "#F2F2F2", "#4472C4", VAlign::Bottom},
};

// The test template with row i of its report sheet holding the text "Holz"
// in the font, fill and cell format i of the cases above, each row 45 points
// high.
std::unique_ptr<Workbook> styledTemplate(const QString &path)
{
    QByteArray fonts;
    QByteArray fills;
    QByteArray xfs;
    QByteArray rows;
    for (size_t i = 0; i < templateStyleCases.size(); ++i) {
        const TemplateStyleCase &c = templateStyleCases[i];
        const QByteArray n = QByteArray::number(qulonglong(i));
        const QByteArray r = QByteArray::number(qulonglong(i + 1));
        fonts += QByteArray("<font><sz val=\"11\"/>") + c.color + "<name val=\"Calibri\"/></font>";
        fills += QByteArray("<fill>") + c.fill + "</fill>";
        xfs += "<xf fontId=\"" + n + "\" fillId=\"" + n + "\"><alignment vertical=\"" + c.vertical + "\"/></xf>";
        rows += "<row r=\"" + r + "\" ht=\"45\" customHeight=\"1\"><c r=\"A" + r + "\" s=\"" + n
            + "\" t=\"inlineStr\"><is><t>Holz</t></is></c></row>";
    }
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    std::vector<ZipEntry> entries = templateEntries();
    for (ZipEntry &e : entries) {
        if (e.name == QLatin1String("xl/styles.xml"))
            e.data = QByteArray(xmlHead) + "<styleSheet " + ns + "><fonts>" + fonts + "</fonts><fills>" + fills
                + "</fills><cellXfs>" + xfs + "</cellXfs></styleSheet>";
        else if (e.name == QLatin1String("xl/worksheets/sheet1.xml"))
            e.data = QByteArray(xmlHead) + "<worksheet " + ns + "><sheetData>" + rows
                + "</sheetData><pageMargins left=\"0.5\" right=\"0.5\" top=\"0.5\" bottom=\"0.5\" "
                  "header=\"0.3\" footer=\"0.3\"/></worksheet>";
    }
    writeZip(path, entries);
    return XlsxReader::load(path);
}

// The first page drawn on white at two pixels a point.
QImage firstPageAt144Dpi(const PageRenderer &renderer)
{
    QImage page((renderer.layout().paperSize() * 2).toSize(), QImage::Format_RGB32);
    page.setDotsPerMeterX(int(144 / 0.0254));
    page.setDotsPerMeterY(int(144 / 0.0254));
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.scale(2, 2);
    renderer.drawPage(painter, 0);
    painter.end();
    return page;
}

TEST_F(PdfExportTest, TemplateColoursFillsAndVerticalAlignmentsAreRead)
{
    const auto wb = styledTemplate(dir.filePath(u"Farben.xlsx"_s));
    for (size_t i = 0; i < templateStyleCases.size(); ++i) {
        const TemplateStyleCase &c = templateStyleCases[i];
        SCOPED_TRACE(std::string(c.color) + " " + c.vertical);
        const Cell *cell = wb->sheet(0).cell(int(i) + 1, 1);
        ASSERT_NE(cell, nullptr);
        const ResolvedStyle style = wb->resolve(cell->styleId);
        EXPECT_EQ(style.fontColor, QString::fromLatin1(c.resolvedColor));
        EXPECT_EQ(style.fillColor, QString::fromLatin1(c.resolvedFill));
        EXPECT_EQ(style.verticalAlignment, c.resolvedVertical);
    }
}

// On the page (drawn at two pixels a point), the text of rows 3 to 5 is red
// at the top, red in the middle and dark blue at the bottom of its cell, that
// of row 8 light grey at the bottom of its blue fill, with no black in it.
TEST_F(PdfExportTest, TextIsDrawnInItsColourWhereItsAlignmentPutsIt)
{
    const auto wb = styledTemplate(dir.filePath(u"Farben.xlsx"_s));
    const PageRenderer renderer(*wb, 0);
    const PageLayout &layout = renderer.layout();
    const QImage page = firstPageAt144Dpi(renderer);
    struct Ink
    {
        int row;
        QColor color;
        QColor paper; // the cell's fill, or the paper's white
        double from; // where the ink's middle lies, as a share of the cell's height
        double to;
    };
    const QColor white(Qt::white);
    const Ink inks[] = {{3, QColor(0xFF, 0, 0), white, 0.0, 0.35}, {4, QColor(0xFF, 0, 0), white, 0.35, 0.65},
        {5, QColor(0x20, 0x38, 0x64), white, 0.65, 1.0},
        {8, QColor(0xF2, 0xF2, 0xF2), QColor(0x44, 0x72, 0xC4), 0.65, 1.0}};
    const double scale = layout.scale();
    const QRectF printable = layout.printableRect();
    for (const Ink &ink : inks) {
        SCOPED_TRACE(ink.row);
        const QRectF cell(printable.left(), printable.top() + layout.rowsHeight(1, ink.row - 1) * scale,
            layout.columnWidth(1) * scale, layout.rowHeight(ink.row) * scale);
        const QRect pixels = QRectF(cell.topLeft() * 2, cell.size() * 2).toRect().adjusted(2, 2, -2, -2);
        EXPECT_EQ(page.pixelColor(pixels.topLeft()), ink.paper);
        int inked = 0, inColour = 0, black = 0;
        double ySum = 0;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
            for (int x = pixels.left(); x <= pixels.right(); ++x) {
                const QColor c = page.pixelColor(x, y);
                if (c == ink.paper)
                    continue;
                ++inked;
                ySum += y / 2.0;
                const int off = std::abs(c.red() - ink.color.red()) + std::abs(c.green() - ink.color.green())
                    + std::abs(c.blue() - ink.color.blue());
                inColour += off < 60;
                black += std::max({c.red(), c.green(), c.blue()}) < 60;
            }
        }
        ASSERT_GT(inked, 0);
        EXPECT_GT(inColour, 10);
        EXPECT_EQ(black, 0);
        const double middle = (ySum / inked - cell.top()) / cell.height();
        EXPECT_GT(middle, ink.from);
        EXPECT_LT(middle, ink.to);
    }
}

// The template's own logo (a half transparent red pixel stretched to 100 by
// 40 pixels in its drawing) is drawn on the page at its size, pink over the
// white paper.
TEST_F(PdfExportTest, TemplateDrawingPicturesArePrinted)
{
    const QString path = dir.filePath(u"Logo.xltx"_s);
    writeZip(path, templateEntries());
    const auto wb = XlsxReader::load(path);
    const PageRenderer renderer(*wb, 0);
    const PageLayout &layout = renderer.layout();
    const QImage page = firstPageAt144Dpi(renderer);
    int pink = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            pink += c.red() > 240 && std::abs(c.green() - 128) < 10 && std::abs(c.blue() - 128) < 10;
        }
    }
    const double logoPixels = 100 * 0.75 * 2 * layout.scale() * 40 * 0.75 * 2 * layout.scale();
    EXPECT_NEAR(pink, logoPixels, logoPixels / 3);
}

} // namespace

} // namespace tannbuch
