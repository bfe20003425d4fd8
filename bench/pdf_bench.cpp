// PDF time of the program's own page renderer beside the office suite's time
// for the same workbook: the demo report (list 4711 of the demo database)
// and a generated list of N records (default 40,000).
//
//   bench_pdf [N]
//
// The report is made unattended and saved; the saved workbook is read back
// and its report sheet turned into a PDF twice: by the program, and by the
// office suite in headless mode (skipped when it is not installed).
// Generated databases are kept in bench-data/ beside the program.

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

// Makes the report of list 4711 on the database and answers the saved workbook's path.
QString makeReport(const QString &dbPath, const QTemporaryDir &dir)
{
    const QString templates = dir.filePath(QStringLiteral("templates"));
    const QString ini = dir.filePath(QStringLiteral("kelmora.ini"));
    if (writeDemoTemplates(templates) != 0 || writeDemoIni(ini, dbPath, templates) != 0)
        return QString();
    QFile::remove(QDir(templates).filePath(QStringLiteral("Tannbuch_Losweise.xltx")));
    UnattendedPrint run;
    const int code = run.run(QStringLiteral("|") + ini + QStringLiteral("|||4711|1|DEMO|") + dir.path() + u'/');
    const QString saved = dir.filePath(QStringLiteral("DEMO_4711.xlsx"));
    return code == 0 && QFileInfo::exists(saved) ? saved : QString();
}

void measure(QTextStream &out, const QString &name, const QString &dbPath)
{
    QTemporaryDir dir;
    const QString saved = makeReport(dbPath, dir);
    if (saved.isEmpty()) {
        out << name << ": report failed\n";
        return;
    }
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
            const QString pdf = OfficeConverter::convert(xlsx, QStringLiteral("pdf"), dir.path(), 300000);
            office = QStringLiteral("%1 s, %2 pages").arg(seconds(clock), 0, 'f', 2).arg(pdfPages(pdf));
        } catch (const WorkbookError &e) {
            office = QStringLiteral("failed after %1 s: %2").arg(seconds(clock), 0, 'f', 1).arg(e.message());
        }
    }
    out << QStringLiteral("%1  rows %2  own %3 s (processor %4 s), %5 pages  office suite %6\n")
               .arg(name, -24)
               .arg(book->activeSheet().usedRange().lastRow, 7)
               .arg(ownSeconds, 6, 'f', 2)
               .arg(ownCpu, 6, 'f', 2)
               .arg(pdfPages(own))
               .arg(office);
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    prepareBenchEnvironment();
    QApplication app(argc, argv);
    const int records = app.arguments().value(1, QStringLiteral("40000")).toInt();
    QTextStream out(stdout);
    for (const int n : {0, records}) {
        const QString db = benchDatabase(n, QStringLiteral(TANNBUCH_SCHEMA_SQL));
        measure(out, n == 0 ? QStringLiteral("demo list 4711") : QStringLiteral("%1 records").arg(n), db);
    }
    return 0;
}
