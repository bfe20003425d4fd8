// The program's own pages against the office suite's pages of the same
// workbook: the demo report with both demo templates. Where the suite is
// installed, the page counts match, each page starts on the same sheet row,
// and each page drawn at 50 dpi in grey differs from the suite's by little.
//
// The measure is the share of pixels whose grey differs by more than a
// quarter of the scale, after a blur of one pixel that forgives glyphs set
// half a pixel apart and the two programs' anti-aliasing. On the 47 demo
// pages it lies between 0.1 % and 4 %: the suite sets digits a little
// closer, prints link cells without the link colour and draws the header a
// few points higher. The threshold is 5 %. A page compared with the suite's
// next page (the same kind of table, other rows) differs by 7 % and more,
// which the test checks too: the measure sees a page that starts elsewhere,
// though the page-start check above is the sharper one.

#include "gui/F_Start.h"
#include "gui/ReportWindow.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/OfficeConverter.h"
#include "workbook/package/XlsxWriter.h"
#include "workbook/print/ReportPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

constexpr double Threshold = 0.05;

const QString demoIni = QStringLiteral(TANNBUCH_BUILD_DIR "/demo/kelmora.ini");

class QuietWindow : public F_Start
{
public:
    void showMessage(const QString &text) override { messages << text; }
    QString chooseTemplate(const QStringList &templates) override { return templates.value(choice); }
    QStringList messages;
    int choice = 0;
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pages(const QString &pdf)
{
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The first line of a page's text that belongs to the sheet: header and
// footer lines are left out, blanks collapsed.
QString firstRow(const QString &pdf, int page)
{
    const QString text = run(QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
            QString::number(page), pdf, QStringLiteral("-")});
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.simplified();
        if (line.isEmpty() || line.startsWith(QLatin1String("Holzliste ")) || line.startsWith(QLatin1String("Seite ")))
            continue;
        return line;
    }
    return QString();
}

QImage pageImage(const QString &pdf, int page, const QString &prefix)
{
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-gray"), QStringLiteral("-png"),
            QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
            QString::number(page), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
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

// Both PDFs of the demo report with one template, made once per run.
struct Pdfs
{
    QString own;
    QString suite;
    double ownSeconds = 0;
};

// The PDFs and page images go into a temporary folder, or into the folder
// TANNBUCH_FIDELITY_DIR names, to be looked at.
QString folder()
{
    static QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("TANNBUCH_FIDELITY_DIR");
    return keep.isEmpty() ? dir.path() : keep;
}

const Pdfs &demoPdfs(int templateChoice)
{
    static std::map<int, Pdfs> made;
    auto it = made.find(templateChoice);
    if (it != made.end())
        return it->second;
    Pdfs pdfs;
    QuietWindow w;
    w.choice = templateChoice;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    w.show();
    const auto found = w.ListView1->findItems(QStringLiteral("4711"), Qt::MatchExactly, 0);
    if (!found.isEmpty()) {
        w.ListView1->scrollToItem(found.first());
        QTest::mouseClick(
            w.ListView1->viewport(), Qt::LeftButton, {}, w.ListView1->visualItemRect(found.first()).center());
        QTest::mouseClick(w.B_OK, Qt::LeftButton);
    }
    if (ReportWindow *window = w.reportWindow()) {
        const Workbook &book = window->workbook();
        const QString base = folder() + QStringLiteral("/demo%1").arg(templateChoice);
        pdfs.own = base + QStringLiteral("-eigen.pdf");
        QElapsedTimer clock;
        clock.start();
        ReportPrinter::exportPdf(book, pdfs.own);
        pdfs.ownSeconds = double(clock.elapsed()) / 1000.0;
        XlsxWriter::Options options;
        options.onlyVisibleSheet = book.activeSheetIndex();
        const QString xlsx = base + QStringLiteral(".xlsx");
        XlsxWriter::save(book, xlsx, options);
        // The suite formats numbers in the language it runs in: German, as the report.
        qputenv("LC_ALL", "de_DE.UTF-8");
        qputenv("LANG", "de_DE.UTF-8");
        pdfs.suite = OfficeConverter::convert(xlsx, QStringLiteral("pdf"), folder());
    }
    w.Form_Unload();
    return made.emplace(templateChoice, pdfs).first->second;
}

class PdfFidelityTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        if (OfficeConverter::program().isEmpty())
            GTEST_SKIP() << "LibreOffice ist nicht installiert: nichts zum Vergleichen.";
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            GTEST_SKIP() << "pdftoppm (poppler-utils) fehlt.";
        if (!QFileInfo::exists(demoIni))
            GTEST_SKIP() << "Die Demo-Datenbank ist nicht gebaut.";
    }
};

TEST_P(PdfFidelityTest, PagesMatchTheOfficeSuite)
{
    const Pdfs &pdfs = demoPdfs(GetParam());
    ASSERT_FALSE(pdfs.own.isEmpty());
    const int count = pages(pdfs.suite);
    ASSERT_GT(count, 0);
    ASSERT_EQ(pages(pdfs.own), count);
    EXPECT_LT(pdfs.ownSeconds, 5.0) << "the demo report is drawn in about a second";

    const bool keep = !qEnvironmentVariableIsEmpty("TANNBUCH_FIDELITY_DIR");
    for (int page = 1; page <= count; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(firstRow(pdfs.own, page).toStdString(), firstRow(pdfs.suite, page).toStdString());
        const QString prefix = folder() + QStringLiteral("/demo%1-s%2").arg(GetParam()).arg(page);
        const QImage own = pageImage(pdfs.own, page, prefix + QStringLiteral("-eigen"));
        const QImage suite = pageImage(pdfs.suite, page, prefix + QStringLiteral("-office"));
        const double d = difference(own, suite);
        EXPECT_LT(d, Threshold) << "share of differing pixels " << d;
        if (keep)
            std::printf("Vorlage %d Seite %d: %.4f\n", GetParam(), page, d);
    }
    if (count >= 3) {
        const QImage own = pageImage(pdfs.own, 2, folder() + QStringLiteral("/demo%1-s2-eigen").arg(GetParam()));
        const QImage next = pageImage(pdfs.suite, 3, folder() + QStringLiteral("/demo%1-s3-office").arg(GetParam()));
        EXPECT_GT(difference(own, next), Threshold) << "the measure tells pages apart";
    }
}

INSTANTIATE_TEST_SUITE_P(BothDemoTemplates, PdfFidelityTest, ::testing::Values(0, 1));

} // namespace
