// Draws the main window and the report window of the demo list into PNG
// files, for looking at the program as a clerk sees it (run it on a real X
// server, for example Xvfb):
//
//   report_screenshots INI OUTDIR [LIST]

#include "gui/F_Start.h"
#include "gui/ReportWindow.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

namespace tannbuch {

namespace {

class ScreenshotWindow : public F_Start
{
public:
    void showMessage(const QString &text) override { QTextStream(stderr) << text << '\n'; }
    QString chooseTemplate(const QStringList &templates) override { return templates.first(); }
};

void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

} // namespace

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        QTextStream(stderr) << "report_screenshots INI OUTDIR [LIST]\n";
        return 2;
    }
    const QString ini = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QString listNumber = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("4711");

    ScreenshotWindow main;
    main.Form_Load(QStringLiteral("|") + ini + QStringLiteral("|||||"));
    if (main.hasEnded())
        return 1;
    main.show();
    const auto found
        = main.findChild<QTreeWidget *>(QStringLiteral("ListView1"))->findItems(listNumber, Qt::MatchExactly, 0);
    if (!found.isEmpty()) {
        main.findChild<QTreeWidget *>(QStringLiteral("ListView1"))->setCurrentItem(found.first());
        found.first()->setSelected(true);
    }
    settle();
    main.grab().save(out.filePath(QStringLiteral("main-window.png")));

    main.B_OK_Click();
    ReportWindow *report = main.reportWindow();
    if (!report)
        return 1;
    report->resize(1280, 860);
    settle();
    report->grab().save(out.filePath(QStringLiteral("report-window.png")));
    main.Form_Unload();
    return 0;
}
