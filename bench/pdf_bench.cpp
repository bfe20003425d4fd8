// PDF time of the program's own page renderer beside the office suite's time
// for the same workbook: the demo report (list 4711 of the demo database)
// and a generated list of N records (default 40,000).
//
//   bench_pdf [N]
//
// The report is made unattended with SavePdf=1, timed as a whole (the
// workbook and its PDF saved); the saved workbook is read back and its
// report sheet turned into a PDF once more by the program alone, and by the
// office suite in headless mode (skipped when it is not installed, given up
// after 60 s). Generated databases are kept in bench-data/ beside the
// program.

#include "BenchDatabase.h"
#include "BenchEnvironment.h"
#include "DemoDatabase.h"
#include "DemoIni.h"
#include "DemoTemplates.h"
#include "app/UnattendedPrint.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/OfficeConverter.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"
#include "workbook/print/ReportPrinter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

namespace tannbuch {

namespace {

double seconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

// The processor time this process has used, in seconds: on a machine
// shared with other work, wall time alone says little.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

int pdfPages(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(60000);
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The whole unattended run, timed.
struct Run
{
    QString saved; // the workbook; empty when the run failed
    double wall = 0;
    double cpu = 0;
};

// Makes the report of list 4711 on the database unattended, the workbook
// and its PDF saved (SavePdf=1).
Run makeReport(const QString &dbPath, const QTemporaryDir &dir)
{
    const QString templates = dir.filePath(QStringLiteral("templates"));
    const QString ini = dir.filePath(QStringLiteral("kelmora.ini"));
    if (writeDemoTemplates(templates) != 0 || writeDemoIni(ini, dbPath, templates) != 0)
        return {};
    QFile iniFile(ini);
    if (!iniFile.open(QIODevice::Append) || iniFile.write("SavePdf=1\n") < 0)
        return {};
    iniFile.close();
    QFile::remove(QDir(templates).filePath(QStringLiteral("Tannbuch_Losweise.xltx")));
    Run timed;
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = cpuSeconds();
    {
        UnattendedPrint run;
        if (run.run(QStringLiteral("|") + ini + QStringLiteral("|||4711|1|DEMO|") + dir.path() + u'/') != 0)
            return {};
    }
    timed.wall = seconds(clock);
    timed.cpu = cpuSeconds() - cpuBefore;
    const QString saved = dir.filePath(QStringLiteral("DEMO_4711.xlsx"));
    if (QFileInfo::exists(saved) && QFileInfo::exists(dir.filePath(QStringLiteral("DEMO_4711.pdf"))))
        timed.saved = saved;
    return timed;
}

// The whole run's time, and what it took: the PDF of the saved workbook by
// the program alone and by the office suite. Answers the whole run's time
// (-1 when it failed).
double measure(QTextStream &out, const QString &name, const QString &dbPath)
{
    QTemporaryDir dir;
    const Run report = makeReport(dbPath, dir);
    if (report.saved.isEmpty()) {
        out << name << ": report failed\n";
        return -1;
    }
    const QString saved = report.saved;
    const auto book = XlsxReader::load(saved);
    book->setActiveSheetIndex(std::max(0, book->sheetIndex(QStringLiteral("Tannbuch"))));

    const QString own = dir.filePath(QStringLiteral("eigen.pdf"));
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = cpuSeconds();
    ReportPrinter::exportPdf(*book, own);
    const double ownSeconds = seconds(clock);
    const double ownCpu = cpuSeconds() - cpuBefore;

    QString office = QStringLiteral("not installed");
    if (!OfficeConverter::program().isEmpty()) {
        XlsxWriter::Options options;
        options.onlyVisibleSheet = book->activeSheetIndex();
        const QString xlsx = dir.filePath(QStringLiteral("office.xlsx"));
        XlsxWriter::save(*book, xlsx, options);
        clock.restart();
        try {
            const QString pdf = OfficeConverter::convert(xlsx, QStringLiteral("pdf"), dir.path(), 60000);
            office = QStringLiteral("%1 s, %2 pages").arg(seconds(clock), 0, 'f', 2).arg(pdfPages(pdf));
        } catch (const WorkbookError &e) {
            office = QStringLiteral("failed after %1 s: %2").arg(seconds(clock), 0, 'f', 1).arg(e.message());
        }
    }
    out << QStringLiteral("%1  rows %2  whole run with its PDF %3 s (processor %4 s)  PDF alone %5 s (processor %6 "
                          "s), %7 pages  office suite %8\n")
               .arg(name, -16)
               .arg(book->activeSheet().usedRange().lastRow, 7)
               .arg(report.wall, 6, 'f', 2)
               .arg(report.cpu, 6, 'f', 2)
               .arg(ownSeconds, 6, 'f', 2)
               .arg(ownCpu, 6, 'f', 2)
               .arg(pdfPages(own))
               .arg(office);
    out.flush();
    return report.wall;
}

} // namespace

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char **argv)
{
    prepareBenchEnvironment();
    QApplication app(argc, argv);
    const int records = app.arguments().value(1, QStringLiteral("40000")).toInt();
    QTextStream out(stdout);
    double whole = -1;
    for (const int n : {0, records}) {
        const QString db = benchDatabase(n, QStringLiteral(TANNBUCH_SCHEMA_SQL));
        whole = measure(out, n == 0 ? QStringLiteral("demo list 4711") : QStringLiteral("%1 records").arg(n), db);
    }
    if (records == 40000) {
        out << QStringLiteral("Target: 40,000 records, the whole unattended run with SavePdf=1 in at most 6 s: %1\n")
                   .arg(whole < 0 ? QStringLiteral("not measured")
                                  : QStringLiteral("%1 s  %2")
                                        .arg(whole, 0, 'f', 2)
                                        .arg(whole <= 6.0 ? QStringLiteral("met") : QStringLiteral("missed")));
    }
    return 0;
}
