// The program's own pages against the office suite's pages of the same
// workbook: the demo report with both demo templates, and the reports the
// report tests print from generated lists. Where the suite is installed, the
// page counts match, each page starts on the same sheet row, and each page
// drawn at 50 dpi in grey differs from the suite's by little. No page of
// ours is empty, the footers count the printed pages, and the same link
// cells are links to click.
//
// The measure is the share of pixels whose grey differs by more than a
// quarter of the scale, after a blur of one pixel that forgives glyphs set
// half a pixel apart and the two programs' anti-aliasing. The suite gets its
// copy of a workbook with the column widths that make it lay out our columns
// (narrowColumns says why). Then the measure stays below 0.8 % on the 54
// demo pages and below 1.1 % on the 456 pages of the generated lists: the
// suite prints link cells without the link colour and draws the header a few
// points higher. The threshold is 2 %. A page compared with the suite's next
// page (the same kind of table, other rows) differs by 5 % and more, which
// the test checks too: the measure sees a page that starts elsewhere, though
// the page-start check is the sharper one.

#include "app/ListBrowserModel.h"
#include "app/PrintJob.h"
#include "app/gui/RecordingWindow.h"
#include "common/TestSupport.h"
#include "gui/F_Start.h"
#include "gui/ReportWindow.h"
#include "report/ReportSettings.h"
#include "selection/SelectionQueries.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/OfficeConverter.h"
#include "workbook/package/XlsxWriter.h"
#include "workbook/package/ZipArchive.h"
#include "workbook/print/PageLayout.h"
#include "workbook/print/ReportPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <vector>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

constexpr double Threshold = 0.02;

using demofiles::demoIni;
using testsupport::toolOutput;

int pages(const QString &pdf)
{
    const QRegularExpressionMatch m = QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(toolOutput(u"pdfinfo"_s, {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The first row of each page: its first line of text that belongs to the
// sheet, header and footer lines (list title, page count, file name) left
// out, and the lines a page repeats from the first page's start (print
// titles, a lot's head) passed over. Blanks are left out: the text reader
// puts one between two cells only where their gap is wide enough.
QStringList firstRows(const QString &pdf)
{
    std::vector<QStringList> pages;
    for (const QString &page :
        toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}).split(QLatin1Char('\f'), Qt::SkipEmptyParts)) {
        QStringList lines;
        for (QString line : page.split(QLatin1Char('\n'))) {
            line = line.simplified();
            if (!line.isEmpty() && !line.startsWith(QLatin1String("Holzliste "))
                && !line.startsWith(QLatin1String("Seite ")) && !line.contains(QLatin1String(".xlsx")))
                lines << line.remove(QLatin1Char(' '));
        }
        pages.push_back(lines);
    }
    QStringList rows;
    for (size_t page = 0; page < pages.size(); ++page) {
        qsizetype repeated = 0;
        while (page > 0 && repeated < std::min(pages[page].size(), pages[0].size())
            && pages[page][repeated] == pages[0][repeated])
            ++repeated;
        rows << pages[page].value(repeated);
    }
    return rows;
}

// The addresses of the links a reader can click, page by page.
QStringList links(const QString &pdf)
{
    QStringList urls;
    for (const QString &line : toolOutput(u"pdfinfo"_s, {u"-url"_s, pdf}).split(QLatin1Char('\n')))
        urls << line.simplified();
    urls.removeAll(QString());
    return urls.mid(1);
}

// Page number and page count of each "Seite P von N" a page shows.
std::vector<std::pair<int, int>> pageNumbers(const QString &pdf)
{
    std::vector<std::pair<int, int>> numbers;
    static const QRegularExpression seite(u"Seite (\\d+) von (\\d+)"_s);
    for (const QRegularExpressionMatch &m : seite.globalMatch(toolOutput(u"pdftotext"_s, {pdf, u"-"_s})))
        numbers.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
    return numbers;
}

// Renders every page at 50 dpi in grey into prefix-N.png, in one run.
void renderPages(const QString &pdf, const QString &prefix)
{
    toolOutput(u"pdftoppm"_s, {u"-r"_s, u"50"_s, u"-gray"_s, u"-png"_s, pdf, prefix});
}

// A rendered page; the numbers in the file names are as wide as the last one.
QImage renderedPage(const QString &prefix, int page, int count)
{
    const QString number = u"%1"_s.arg(page, int(QString::number(count).size()), 10, QLatin1Char('0'));
    return QImage(prefix + QLatin1Char('-') + number + u".png"_s).convertToFormat(QImage::Format_Grayscale8);
}

// Each pixel the mean of its 3x3 neighbourhood, as far as it lies on the page.
QImage blurred(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    QImage out(image.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y) {
        uchar *o = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            int sum = 0;
            int n = 0;
            for (int yy = std::max(0, y - 1); yy <= std::min(h - 1, y + 1); ++yy) {
                for (int xx = std::max(0, x - 1); xx <= std::min(w - 1, x + 1); ++xx, ++n)
                    sum += image.constScanLine(yy)[xx];
            }
            o[x] = uchar(sum / n);
        }
    }
    return out;
}

// Share of pixels that differ by more than a quarter of the grey scale.
double difference(const QImage &a, const QImage &b)
{
    if (a.isNull() || b.isNull() || a.size() != b.size())
        return 1.0;
    const QImage x = blurred(a);
    const QImage y = blurred(b);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        for (int col = 0; col < x.width(); ++col)
            differing += std::abs(int(p[col]) - int(q[col])) > 64 ? 1 : 0;
    }
    return double(differing) / double(qint64(x.width()) * x.height());
}

// Rewrites the parts of a zip package in place.
void rewriteParts(const QString &path, const std::function<void(ZipEntry &)> &rewrite)
{
    std::vector<ZipEntry> parts = ZipArchive::read(path);
    for (ZipEntry &part : parts)
        rewrite(part);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ZipArchive::write(parts));
}

// The suite measures a column with the standard font's true digit width
// (1038/2048 of 11 pt, 7.43 px) where the file's rule takes 7 whole pixels
// and truncates the width to whole pixels: its columns come out about 6 %
// wider, its tables drift right of ours, and a table that just fits a page
// here spills a column onto pages of its own there. The suite's copy of a
// workbook gets each width narrowed so that the suite's rule gives the
// pixels this program's rule does.
void narrowColumns(const QString &xlsx)
{
    constexpr double SuiteDigitPixels = 1038.0 / 2048.0 * 11.0 * 96.0 / 72.0;
    static const QRegularExpression width(u"(<col [^>]*width=\")([0-9.]+)"_s);
    rewriteParts(xlsx, [](ZipEntry &part) {
        if (!part.name.startsWith(QLatin1String("xl/worksheets/")))
            return;
        QString xml = QString::fromUtf8(part.data);
        QString narrowed;
        qsizetype done = 0;
        for (const QRegularExpressionMatch &m : width.globalMatch(xml)) {
            const double pixels = PageLayout::columnPoints(m.captured(2).toDouble()) * 96.0 / 72.0;
            narrowed += xml.mid(done, m.capturedStart(2) - done) + QString::number(pixels / SuiteDigitPixels, 'f', 6);
            done = m.capturedEnd(2);
        }
        part.data = (narrowed + xml.mid(done)).toUtf8();
    });
}

// Both PDFs of one report, made once per run.
struct Pdfs
{
    QString own;
    QString suite;
    int links = 0; // the report sheet's link cells
};

// The PDFs and page images go into a temporary folder, or into the folder
// TANNBUCH_FIDELITY_DIR names, to be looked at.
QString folder()
{
    static QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("TANNBUCH_FIDELITY_DIR");
    return keep.isEmpty() ? dir.path() : keep;
}

// What comparing two PDFs found: the suite's page count, the pages that
// start on another row, and the largest difference of a page.
struct Comparison
{
    int pages = 0;
    int otherStarts = 0;
    double largest = 0;
    int largestPage = 0;
};

// Compares the program's pages with the suite's: the same count, each page
// starting on the same row and differing by less than the threshold. The
// page images stay in folder() as NAME-eigen-N.png and NAME-office-N.png.
Comparison comparePages(const Pdfs &pdfs, const QString &name, double threshold)
{
    Comparison found;
    found.pages = pages(pdfs.suite);
    const int ownPages = pages(pdfs.own);
    EXPECT_GT(found.pages, 0);
    EXPECT_EQ(ownPages, found.pages);
    const QStringList ownRows = firstRows(pdfs.own);
    const QStringList suiteRows = firstRows(pdfs.suite);
    // No page of ours is empty, the footers count the pages printed, and
    // every link cell is a link to click, as in the suite's pages.
    for (int page = 1; page <= ownPages; ++page)
        EXPECT_FALSE(ownRows.value(page - 1).isEmpty()) << "page " << page << " has nothing on it";
    const std::vector<std::pair<int, int>> numbers = pageNumbers(pdfs.own);
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(numbers[i], std::make_pair(int(i) + 1, ownPages));
    EXPECT_EQ(links(pdfs.own).size(), size_t(pdfs.links));
    EXPECT_EQ(links(pdfs.own), links(pdfs.suite));
    // The header names the same file (a template's own header may show its
    // name with &F; the suite shows the file's address where &Z asks for its
    // folder, so only the first word is compared).
    const auto headerLine = [](const QString &pdf) {
        return toolOutput(u"pdftotext"_s, {u"-l"_s, u"1"_s, u"-layout"_s, pdf, u"-"_s})
            .section(QLatin1Char('\n'), 0, 0)
            .simplified();
    };
    EXPECT_EQ(headerLine(pdfs.own).section(u' ', 0, 0).toStdString(),
        headerLine(pdfs.suite).section(u' ', 0, 0).toStdString());
    const QString own = folder() + QLatin1Char('/') + name + u"-eigen"_s;
    const QString suite = folder() + QLatin1Char('/') + name + u"-office"_s;
    renderPages(pdfs.own, own);
    renderPages(pdfs.suite, suite);
    for (int page = 1; page <= std::min(ownPages, found.pages); ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(ownRows.value(page - 1).toStdString(), suiteRows.value(page - 1).toStdString());
        found.otherStarts += ownRows.value(page - 1) == suiteRows.value(page - 1) ? 0 : 1;
        const double d = difference(renderedPage(own, page, ownPages), renderedPage(suite, page, found.pages));
        EXPECT_LT(d, threshold) << "share of differing pixels " << d;
        if (d > found.largest) {
            found.largest = d;
            found.largestPage = page;
        }
    }
    if (!qEnvironmentVariableIsEmpty("TANNBUCH_FIDELITY_DIR"))
        std::printf("%s: %d Seiten (eigene %d), %d anders beginnend, größte Abweichung %.4f auf Seite %d\n",
            qPrintable(name), found.pages, ownPages, found.otherStarts, found.largest, found.largestPage);
    return found;
}

// The suite converts the workbooks in one run, as it starts slowly;
// a profile folder of its own keeps it apart from other runs. It formats
// numbers in the language it runs in: German, as the report.
void convertWithTheSuite(const QStringList &workbooks)
{
    QTemporaryDir profile;
    QProcess suite;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"de_DE.UTF-8"_s);
    environment.insert(u"LANG"_s, u"de_DE.UTF-8"_s);
    suite.setProcessEnvironment(environment);
    suite.start(OfficeConverter::program(),
        QStringList{u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(), u"--headless"_s,
            u"--norestore"_s, u"--nolockcheck"_s, u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, folder()}
            + workbooks);
    EXPECT_TRUE(suite.waitForFinished(900000)) << "the suite converts the cases in a few minutes";
}

// Draws the program's PDF of the workbook as saved as base.xlsx,
// and saves its report sheet there alone for the suite, whose PDF is to be
// base.pdf.
Pdfs drawOwn(const Workbook &book, const QString &base)
{
    Pdfs pdfs;
    pdfs.own = base + u"-eigen.pdf"_s;
    for (const Hyperlink &link : book.sheet(book.activeSheetIndex()).hyperlinks())
        pdfs.links += link.address.isEmpty() ? 0 : 1;
    ReportPrinter::exportPdf(book, pdfs.own, {}, base + u".xlsx"_s);
    XlsxWriter::Options options;
    options.onlyVisibleSheet = book.activeSheetIndex();
    XlsxWriter::save(book, base + u".xlsx"_s, options);
    narrowColumns(base + u".xlsx"_s);
    pdfs.suite = base + u".pdf"_s;
    return pdfs;
}

const Pdfs &demoPdfs(int templateChoice)
{
    static std::map<int, Pdfs> made;
    auto it = made.find(templateChoice);
    if (it != made.end())
        return it->second;
    Pdfs pdfs;
    RecordingWindow w;
    w.choice = templateChoice;
    w.Form_Load(u"|"_s + demoIni + u"|||||"_s);
    w.show();
    printList(w);
    if (ReportWindow *window = w.reportWindow()) {
        const QString base = folder() + u"/demo%1"_s.arg(templateChoice);
        pdfs = drawOwn(window->workbook(), base);
        convertWithTheSuite({base + u".xlsx"_s});
    }
    w.Form_Unload();
    return made.emplace(templateChoice, pdfs).first->second;
}

// Skips where the suite or the page rasteriser is missing.
template <typename Param> class AgainstTheSuite : public ::testing::TestWithParam<Param>
{
protected:
    void SetUp() override
    {
        if (OfficeConverter::program().isEmpty())
            GTEST_SKIP() << "LibreOffice ist nicht installiert: nichts zum Vergleichen.";
        if (QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty())
            GTEST_SKIP() << "pdftoppm (poppler-utils) fehlt.";
    }
};

class PdfFidelityTest : public AgainstTheSuite<int>
{
protected:
    void SetUp() override
    {
        AgainstTheSuite::SetUp();
        if (!IsSkipped() && !QFileInfo::exists(demoIni))
            GTEST_SKIP() << "Die Demo-Datenbank ist nicht gebaut.";
    }
};

TEST_P(PdfFidelityTest, PagesMatchTheOfficeSuite)
{
    const Pdfs &pdfs = demoPdfs(GetParam());
    ASSERT_FALSE(pdfs.own.isEmpty());
    const QString name = u"demo%1"_s.arg(GetParam());
    const int count = comparePages(pdfs, name, Threshold).pages;
    if (count >= 3) {
        const QString prefix = folder() + QLatin1Char('/') + name;
        const QImage own = renderedPage(prefix + u"-eigen"_s, 2, count);
        const QImage next = renderedPage(prefix + u"-office"_s, 3, count);
        EXPECT_GT(difference(own, next), Threshold) << "the measure tells pages apart";
    }
}

INSTANTIATE_TEST_SUITE_P(BothDemoTemplates, PdfFidelityTest, ::testing::Values(0, 1));

// The reports the report tests print from generated lists, each in a folder
// of its own: a generated list 4711 of the given size, the one demo template
// the case uses (its parts changed as the case says) and an ini file naming
// both. The request is the one an unattended print makes, changed as a clerk
// would in the window.
struct PartChange
{
    QString part;
    QByteArray from;
    QByteArray to;
};

struct ReportCase
{
    const char *name;
    int records;
    const char *templateName;
    std::vector<PartChange> templateChanges;
    void (*clerk)(Program &, PrintRequest &);
};

// The demo template printing with its own set-up (nZoom 0): the page set-up
// attributes given, the head's rows repeated on every page.
std::vector<PartChange> ownSetUp(const QByteArray &pageSetup)
{
    return {
        {u"xl/worksheets/sheet1.xml"_s, "orientation=\"landscape\" scale=\"100\"", pageSetup},
        {u"xl/workbook.xml"_s, "<calcPr",
            "<definedNames><definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">Tannbuch!$1:$6</definedName>"
            "</definedNames><calcPr"},
        {u"xl/worksheets/sheet2.xml"_s, "<c r=\"B7\"><v>75</v>", "<c r=\"B7\"><v>0</v>"},
    };
}

// Every switch of the settings sheet on but the immediate print, printed at
// 100 %, with the list's date as one more single-log column (a column the
// report fits to its dates): the single-log section runs onto a second page
// across, where only some rows reach.
void allSwitches(Program &program, PrintRequest &r)
{
    ReportSettings &s = program.settings();
    s.columnList.insert(s.columnList.end() - 1, ColumnEntry{u"Listendatum"_s, ColumnExpression(u"LISTDATUM"_s)});
    for (bool *b : {&s.lKopfFuss, &s.lZusKopf, &s.lZInfo, &s.lWagNrStammbemerkung, &s.lStatistik, &s.lGesamt,
             &s.lProzent, &s.lKubGesamt, &s.lDMSZ, &s.lWaldortLang, &s.lHoehen, &s.lLeereKopfzeilen,
             &s.lPolterKoordinaten, &s.lHolzsorteLangBeiVerdichtung, &s.lVerkaufsart})
        *b = true;
    s.lReltable.fill(true);
    s.lAdresse.fill(true);
    s.nZoom = 100;
    r.lEinzeln = 1;
    r.lVerdichtet = 1;
    r.lLosweise = 1;
}

// A customer's template with its own header and footer (and the header and
// footer macro switched off): the saved file's name and folder, a coloured
// page count.
std::vector<PartChange> ownHeaderCodes()
{
    std::vector<PartChange> changes = ownSetUp("orientation=\"landscape\" scale=\"100\"");
    changes.push_back({u"xl/worksheets/sheet2.xml"_s, "<c r=\"B8\"><v>1</v>", "<c r=\"B8\"><v>0</v>"});
    changes.push_back({u"xl/worksheets/sheet1.xml"_s, "<headerFooter></headerFooter>",
        "<headerFooter><oddHeader>&amp;L&amp;F&amp;R&amp;Z</oddHeader>"
        "<oddFooter>&amp;C&amp;KC00000Seite &amp;P von &amp;N</oddFooter></headerFooter>"});
    return changes;
}

const ReportCase reportCases[] = {
    {"AllSwitchesLotByLot", 0, "Tannbuch_Losweise.xltx", {}, allSwitches},
    {"OwnHeaderCodes", 400, "Tannbuch.xltx", ownHeaderCodes(), nullptr},
    {"LotByLot", 900, "Tannbuch_Losweise.xltx", {}, nullptr},
    {"CondensedWithStatistics", 1500, "Tannbuch.xltx", {}, [](Program &, PrintRequest &r) { r.lEinzeln = 0; }},
    {"SingleLogsByRecordType", 400, "Tannbuch.xltx", {},
        [](Program &, PrintRequest &r) {
            r.lVerdichtet = 0;
            r.sortOrder = 5;
        }},
    {"TwoPiles", 900, "Tannbuch_Losweise.xltx", {},
        [](Program &program, PrintRequest &r) {
            r.lotMode = LotMode::Piles;
            r.shownEntries = SortedLotEntries(
                ReadLotEntries(program.connection(), LotMode::Piles, r.listNumber.trimmed(), r.listTypeText));
            r.markedEntries = {r.shownEntries.value(1), r.shownEntries.value(r.shownEntries.size() / 2)};
        }},
    {"OwnScaleAndPrintTitles", 400, "Tannbuch.xltx", ownSetUp("orientation=\"portrait\" scale=\"55\""), nullptr},
    {"LongList", 1500, "Tannbuch.xltx", {}, nullptr},
};

void changeTemplate(const QString &path, const std::vector<PartChange> &changes)
{
    size_t made = 0;
    rewriteParts(path, [&](ZipEntry &part) {
        for (const PartChange &c : changes) {
            if (c.part == part.name && part.data.contains(c.from)) {
                part.data.replace(c.from, c.to);
                ++made;
            }
        }
    });
    EXPECT_EQ(made, changes.size()) << "the demo template changed: " << qPrintable(path);
}

// The case's folder with its database, template and ini file; the ini's path.
QString prepareCase(const ReportCase &c, const QDir &dir)
{
    demofiles::writeGeneratedDatabase(dir.filePath(u"forst.sqlite"_s), c.records);
    const QString ini
        = demofiles::writeDemoFolder(dir.path(), dir.filePath(u"forst.sqlite"_s), QLatin1String(c.templateName));
    changeTemplate(dir.filePath(u"templates/"_s + QLatin1String(c.templateName)), c.templateChanges);
    return ini;
}

// Prints the case as the program does and saves the report sheet alone for
// the suite; the program's own PDF is drawn from the workbook in memory.
Pdfs printCase(const ReportCase &c)
{
    const QDir dir(folder() + QLatin1Char('/') + QLatin1String(c.name));
    QDir().mkpath(dir.path());
    const QString ini = prepareCase(c, dir);
    RecordingRun w; // the program as an unattended print starts it, its messages kept
    Pdfs pdfs;
    if (!w.program().startUp(u"|"_s + ini + u"|||4711|1|DEMO|"_s)) {
        ADD_FAILURE() << c.name << ": " << w.messages.join(QLatin1Char('\n')).toStdString();
        return pdfs;
    }
    PrintRequest request = StartupPrintRequest(w.program());
    if (c.clerk)
        c.clerk(w.program(), request);
    const PrintOutcome outcome = RunPrintJob(w.program(), request);
    EXPECT_FALSE(outcome.failed) << c.name << ": " << outcome.errorMessages.join(QLatin1Char('\n')).toStdString();
    return drawOwn(
        w.program().application()->activeWorkbook().workbook(), folder() + QLatin1Char('/') + QLatin1String(c.name));
}

const Pdfs &casePdfs(size_t index)
{
    static std::vector<Pdfs> made;
    if (made.empty()) {
        QStringList workbooks;
        for (const ReportCase &c : reportCases) {
            made.push_back(printCase(c));
            workbooks << folder() + QLatin1Char('/') + QLatin1String(c.name) + u".xlsx"_s;
        }
        convertWithTheSuite(workbooks);
    }
    return made.at(index);
}

class ReportFidelityTest : public AgainstTheSuite<size_t>
{
};

TEST_P(ReportFidelityTest, PagesMatchTheOfficeSuite)
{
    const Pdfs &pdfs = casePdfs(GetParam());
    ASSERT_TRUE(QFileInfo::exists(pdfs.own) && QFileInfo::exists(pdfs.suite));
    comparePages(pdfs, QLatin1String(reportCases[GetParam()].name), Threshold);
}

INSTANTIATE_TEST_SUITE_P(GeneratedLists, ReportFidelityTest, ::testing::Range(size_t(0), std::size(reportCases)),
    [](const ::testing::TestParamInfo<size_t> &test) { return std::string(reportCases[test.param].name); });

} // namespace

} // namespace tannbuch
