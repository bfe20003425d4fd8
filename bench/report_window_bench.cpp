// How long the report window takes to open on a large report: a generated
// list of N records (50,000 by default) is printed through the main window on
// the offscreen platform, then the report window is opened again on the
// finished workbook and painted once.
//
//   bench_report_window [RECORDS]

#include "BenchEnvironment.h"
#include "DemoDatabase.h"
#include "DemoIni.h"
#include "DemoTemplates.h"
#include "gui/F_Start.h"
#include "gui/ReportWindow.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

namespace tannbuch {

namespace {

class BenchWindow : public F_Start
{
public:
    void showMessage(const QString &text) override { QTextStream(stderr) << text << '\n'; }
    QString chooseTemplate(const QStringList &templates) override { return templates.first(); }
};

} // namespace

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char **argv)
{
    prepareBenchEnvironment();
    QApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 50000;
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("forst.sqlite"));
    const QString templates = dir.filePath(QStringLiteral("templates"));
    const QString ini = dir.filePath(QStringLiteral("kelmora.ini"));
    DemoDatabaseOptions options;
    options.schemaPath = QStringLiteral(TANNBUCH_SCHEMA_SQL);
    options.records = records;
    DemoDatabase::write(db, options);
    if (writeDemoTemplates(templates) != 0 || writeDemoIni(ini, db, templates) != 0)
        return 1;

    BenchWindow main;
    main.Form_Load(QStringLiteral("|") + ini + QStringLiteral("|||||"));
    if (main.hasEnded())
        return 1;
    const auto found = main.findChild<QTreeWidget *>(QStringLiteral("ListView1"))
                           ->findItems(QStringLiteral("4711"), Qt::MatchExactly, 0);
    if (found.isEmpty()) {
        out << "list 4711 not in the list browser\n";
        return 1;
    }
    main.findChild<QTreeWidget *>(QStringLiteral("ListView1"))->setCurrentItem(found.first());
    found.first()->setSelected(true);

    QElapsedTimer clock;
    clock.start();
    main.B_OK_Click();
    const qint64 reportMs = clock.elapsed();
    ReportWindow *shown = main.reportWindow();
    if (!shown) {
        out << "no report window\n";
        return 1;
    }
    Workbook &book = shown->workbook();
    const int rows = book.sheet(0).usedRange().lastRow;

    // The window alone: construct, show and paint once, five times.
    qint64 best = -1;
    for (int run = 0; run < 5; ++run) {
        clock.restart();
        ReportWindow window(*main.program().application(), book, main);
        window.refresh(main.reportFilePath());
        window.show();
        const QPixmap painted = window.grab();
        const qint64 ms = clock.elapsed();
        if (painted.isNull())
            return 1;
        best = best < 0 ? ms : std::min(best, ms);
    }
    out << "records " << records << ", report rows " << rows << ": report with window " << reportMs
        << " ms; report window open and painted in " << best << " ms (best of 5)\n";
    main.Form_Unload();
    return 0;
}
