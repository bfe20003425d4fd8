#include "gui/ReportWindow.h"
#include "gui/F_Start.h"
#include "gui/PagePrinter.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Border.h"
#include "workbook/automation/Font.h"
#include "workbook/automation/Range.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include "RecordingWindow.h"
#include "common/QtPrinters.h"
#include "common/WorkbookCompare.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;
using namespace demofiles;

namespace {

// Writes a shell script that runs the commands; its path.
QByteArray script(const QString &path, const QByteArray &commands)
{
    EXPECT_TRUE(testsupport::writeFile(path, "#!/bin/sh\n" + commands + "\n"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path.toUtf8();
}

struct Session
{
    Session(int templateChoice = 1)
    {
        w.choice = templateChoice; // the lot-by-lot template has page breaks
        EXPECT_TRUE(w.start());
        w.show();
        printList(w);
        EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();
    }
    ~Session() { w.Form_Unload(); }

    RecordingWindow w;
};

} // namespace

TEST(ReportWindow, ShowsTheReportAsSavedAndOpensAfreshAfterClosing)
{
    Session s;
    ReportWindow *window = s.w.reportWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(window->tabs()->count(), 2);
    EXPECT_EQ(window->tabs()->tabText(0), u"Tannbuch");
    EXPECT_EQ(window->tabs()->tabText(1), u"Einstellungen");
    EXPECT_TRUE(window->defaultFilePath().endsWith(u"/Holzliste_4711.xlsx"_s))
        << window->defaultFilePath().toStdString();

    // What the window shows against what the saved file holds.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bericht.xlsx"_s);
    ASSERT_TRUE(window->saveAs(path));
    const auto book = XlsxReader::load(path);
    ASSERT_TRUE(book);
    book->setLocale(QLocale(QLocale::German, QLocale::Germany));
    Worksheet &sheet = *book->sheet(u"Tannbuch"_s);
    SheetView *view = window->sheetView(0);
    ASSERT_NE(view, nullptr);

    // Find the first condensed total row and a volume cell above it.
    int total = 0;
    for (int r = 1; r <= sheet.usedRange().lastRow && !total; ++r) {
        if (Range(*book, sheet, RangeRef{r, 1, r, 1}).value() == u"Gesamt")
            total = r;
    }
    ASSERT_GT(total, 0);
    const Range volume(*book, sheet, RangeRef{total - 1, 8, total - 1, 8});
    EXPECT_EQ(volume.numberFormat(), u"0.000");
    EXPECT_EQ(view->displayText(total - 1, 8), volume.text()) << "a volume in its number format, German";
    EXPECT_EQ(view->displayText(total, 1), u"Gesamt");
    const Range totalCell(*book, sheet, RangeRef{total, 1, total, 1});
    EXPECT_TRUE(totalCell.font().bold());
    EXPECT_EQ(totalCell.borders(BorderEdge::Top).lineStyle(), Xl::Continuous);

    const QModelIndex index = view->model()->index(total - 1, 0);
    EXPECT_EQ(view->model()->data(index, Qt::DisplayRole).toString(), view->displayText(total, 1))
        << "model rows start at sheet row 1";
    EXPECT_TRUE(view->model()->data(index, Qt::FontRole).value<QFont>().bold());

    // The ruled total row and the lot-by-lot page breaks where the file has
    // them (how rules and breaks are drawn, the sheet view's tests check).
    const SheetModel &model = *view->sheetModel();
    EXPECT_FALSE(model.look(total - 1, 0).edges[SheetEdgeTop].isNone()) << "the total row's top rule";
    ASSERT_FALSE(sheet.rowBreaks().empty());
    EXPECT_EQ(model.pageBreakRows().front(), *sheet.rowBreaks().begin() - 1);

    // Closing the window closes the workbook unsaved; the next "Ausdruck" starts from the template.
    Application *xl = s.w.program().application();
    ASSERT_EQ(xl->workbookCount(), 1);
    window->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(s.w.reportWindow(), nullptr);
    EXPECT_EQ(xl->workbookCount(), 0);
    const int askedBefore = s.w.asked;
    QTest::mouseClick(control<QPushButton>(s.w, "B_OK"), Qt::LeftButton);
    EXPECT_EQ(s.w.asked, askedBefore + 1) << "the template is asked for again";
    EXPECT_EQ(s.w.offered.size(), 1) << "but the choice holds while the program runs";
    EXPECT_EQ(s.w.program().templateFileName(), u"Tannbuch_Losweise.xltx"_s);
    ASSERT_NE(s.w.reportWindow(), nullptr);
    EXPECT_EQ(xl->workbookCount(), 1);
    EXPECT_TRUE(s.w.reportWindow()->isVisible());
}

TEST(ReportWindow, ProgressFollowsTheSectionsAndEndsHidden)
{
    Session s(0);
    // The demo list: 316 single logs, its condensed rows; each section ends at its total.
    bool singleDone = false;
    for (const auto &[done, total] : s.w.progress)
        singleDone = singleDone || (total == 316 && done == 316);
    EXPECT_TRUE(singleDone);
    EXPECT_FALSE(control<QProgressBar>(s.w, "prgFortschritt")->isVisible());
}

TEST(ReportWindow, SavesExportsAndPrints)
{
    Session s(0);
    ReportWindow *window = s.w.reportWindow();
    ASSERT_NE(window, nullptr);
    QTemporaryDir dir;

    EXPECT_TRUE(window->saveAs(dir.filePath(u"ohne_endung"_s)));
    EXPECT_TRUE(QFile::exists(dir.filePath(u"ohne_endung.xlsx"_s)));
    EXPECT_FALSE(window->saveAs(dir.filePath(u"fehlt/bericht.xlsx"_s)));
    ASSERT_EQ(s.w.messages.size(), 1);
    EXPECT_TRUE(s.w.messages.first().startsWith(u"Der Bericht konnte nicht gespeichert werden."_s));

    ASSERT_TRUE(window->exportPdf(dir.filePath(u"bericht.pdf"_s))) << s.w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(testsupport::readFile(dir.filePath(u"bericht.pdf"_s)).startsWith("%PDF"));

    // Printing through a print command that files the job into a folder.
    const QByteArray folder = dir.path().toUtf8();
    qputenv("TANNBUCH_PRINT_COMMAND",
        script(dir.filePath(u"drucken.sh"_s),
            "cp \"$1\" '" + folder + "/gedruckt.pdf'\necho \"$TANNBUCH_PRINTER $TANNBUCH_COPIES $TANNBUCH_COLLATE\" > '"
                + folder + "/auftrag.txt'"));
    const bool printed = window->printReport(u"Buero"_s, 3, false);
    qunsetenv("TANNBUCH_PRINT_COMMAND");
    ASSERT_TRUE(printed) << s.w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(u"gedruckt.pdf"_s)));
    EXPECT_EQ(testsupport::readFile(dir.filePath(u"auftrag.txt"_s)).trimmed(), QByteArray("Buero 3 0"));

    // The print dialog offers the printers the print system knows.
    PrintOptionsDialog dialog;
    EXPECT_EQ(dialog.cmbDrucker->count(),
        PagePrinter::printerChoices(QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName()).size());
    EXPECT_EQ(window->actDrucken->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(window->actSpeichernUnter->text(), u"&Speichern unter ..."_s);
}

// "Standarddrucker" is offered only when there is a default printer; the
// default printer comes first among the printers.
TEST(ReportWindow, PrinterChoicesOfferTheDefaultOnlyWhenThereIsOne)
{
    using Choices = QList<std::pair<QString, QString>>;
    const struct
    {
        QStringList printers;
        QString defaultName;
        Choices offered;
    } cases[] = {
        {{}, {}, {}}, {{u"Buero"_s, u"Lager"_s}, {}, {{u"Buero"_s, u"Buero"_s}, {u"Lager"_s, u"Lager"_s}}},
        {{u"Buero"_s, u"Lager"_s}, u"Lager"_s,
            {{u"Standarddrucker"_s, {}}, {u"Lager"_s, u"Lager"_s}, {u"Buero"_s, u"Buero"_s}}},
        {{u"Buero"_s}, u"Weg"_s, {{u"Buero"_s, u"Buero"_s}}}, // a default the system no longer has
    };
    for (const auto &c : cases)
        EXPECT_EQ(PagePrinter::printerChoices(c.printers, c.defaultName), c.offered) << c.defaultName.toStdString();
}

// An immediate print shows "Wird gedruckt …" with its pages as progress, then
// "Fertig!"; a failed one says so instead. Without any printer the immediate
// print and "Drucken" tell the same message.
TEST(ReportWindow, TheImmediatePrintTellsHowItWent)
{
    const struct
    {
        const char *command;
        const char *status;
    } cases[] = {{"true", "Fertig!"}, {"false", "Bericht fertig, Ausdruck fehlgeschlagen!"}};
    for (const auto &c : cases) {
        RecordingWindow w;
        ASSERT_TRUE(w.start());
        control<QCheckBox>(w, "CbDruck")->setChecked(true);
        testsupport::EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", c.command);
        printList(w);
        ASSERT_GE(w.statuses.size(), 3);
        EXPECT_EQ(w.statuses.mid(w.statuses.size() - 3),
            QStringList({u"Kopf / Fußzeile ..."_s, u"Wird gedruckt …"_s, QString::fromUtf8(c.status)}));
        ASSERT_FALSE(w.progress.isEmpty());
        EXPECT_EQ(w.progress.last().first, w.progress.last().second) << "every page drawn";
        EXPECT_EQ(w.messages.size(), c.command == std::string("false") ? 1 : 0);
        w.Form_Unload();
    }
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is set up here";
    RecordingWindow w;
    w.Form_Load(u"|"_s + demoIni + u"|||||"_s);
    control<QCheckBox>(w, "CbDruck")->setChecked(true);
    testsupport::EnvironmentGuard command("TANNBUCH_PRINT_COMMAND", "");
    printList(w);
    const QString noPrinter = u"Beim Ausdruck ist ein Fehler aufgetreten. Es ist kein Drucker eingerichtet."_s;
    EXPECT_EQ(w.messages, QStringList({noPrinter}));
    ASSERT_NE(w.reportWindow(), nullptr);
    w.reportWindow()->actDrucken->trigger();
    EXPECT_EQ(w.messages, QStringList({noPrinter, noPrinter})) << "no print dialog without a printer";
    w.Form_Unload();
}

TEST(ReportWindow, UnattendedRunWritesAPdfBesideTheWorkbookWhenAsked)
{
    QTemporaryDir dir;
    RecordingRun w;
    EXPECT_EQ(w.run(u"|"_s + demoIniWith(dir, {{u"SavePdf"_s, u"1"_s}}) + u"|||4711|1|DEMO|"_s + dir.path() + u'/'), 0)
        << w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(u"DEMO_4711.xlsx"_s)));
    EXPECT_TRUE(QFile::exists(dir.filePath(u"DEMO_4711.pdf"_s)));
}

// What the report window tells is shown over the report window, not over
// the main window behind it.
TEST(ReportWindow, ItsMessagesShowOverIt)
{
    struct FirstTemplateWindow : F_Start
    {
        QString chooseTemplate(const QStringList &templates) override { return templates.value(0); }
    } w;
    w.Form_Load(u"|"_s + demoIni + u"|||||"_s);
    ASSERT_FALSE(w.hasEnded());
    w.B_OK_Click();
    ASSERT_NE(w.reportWindow(), nullptr);
    QWidget *shownOver = nullptr;
    QTimer::singleShot(0, [&shownOver] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownOver = box->parentWidget();
        box->accept();
    });
    EXPECT_FALSE(w.reportWindow()->saveAs(u"/gibt-es-nicht/bericht.xlsx"_s));
    EXPECT_EQ(shownOver, w.reportWindow());
    w.Form_Unload();
}

// A report the clerk saved is never written again unasked: another report in
// the window forgets the saved file, and opening the report in the
// spreadsheet program writes a copy only.
TEST(ReportWindow, AnotherReportForgetsTheSavedFileAndOpeningWritesOnlyACopy)
{
    Session s(0);
    ReportWindow *window = s.w.reportWindow();
    ASSERT_NE(window, nullptr);
    QTemporaryDir dir;
    const QString saved = dir.filePath(u"A.xlsx"_s);
    ASSERT_TRUE(window->saveAs(saved));
    const QByteArray savedBytes = testsupport::readFile(saved);

    // Another report into the same window: list 4713, offered under its own name.
    printList(s.w, u"4713"_s);
    ASSERT_EQ(s.w.reportWindow(), window) << "the same window shows the new report";
    EXPECT_EQ(s.w.asked, 1) << "into the open workbook, without asking for a template";
    EXPECT_TRUE(window->defaultFilePath().endsWith(u"/Holzliste_4713.xlsx"_s));
    Application *xl = s.w.program().application();
    EXPECT_EQ(xl->savedPath(window->workbook()), QString()) << "the new report is not the saved file";

    // The spreadsheet program is a command that keeps what it is handed.
    const QString opened = dir.filePath(u"geoeffnet.xlsx"_s);
    qputenv("TANNBUCH_OPEN_COMMAND", script(dir.filePath(u"oeffnen.sh"_s), "cp \"$1\" '" + opened.toUtf8() + "'"));
    const QString copy = window->openInSpreadsheet();
    qunsetenv("TANNBUCH_OPEN_COMMAND");
    EXPECT_TRUE(s.w.messages.isEmpty()) << s.w.messages.join(u'\n').toStdString();
    EXPECT_NE(QFileInfo(copy).absolutePath(), dir.path());
    EXPECT_TRUE(copy.endsWith(u"/Holzliste_4713.xlsx"_s)) << copy.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(opened); }, 10000)) << "the command got the copy";

    EXPECT_EQ(testsupport::readFile(saved), savedBytes) << "A.xlsx keeps the report it was saved with";
    const auto shown = XlsxReader::load(copy);
    const auto kept = XlsxReader::load(saved);
    ASSERT_TRUE(shown && kept);
    EXPECT_FALSE(testsupport::workbookDifferences(*shown, *kept).isEmpty()) << "the copy holds the new report";
    EXPECT_EQ(xl->savedPath(window->workbook()), QString());
    QFile::remove(copy);
    QDir().rmdir(QFileInfo(copy).path());
}

} // namespace tannbuch
