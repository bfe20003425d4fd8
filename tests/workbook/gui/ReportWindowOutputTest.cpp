// The report window's export and print run off its thread: the window keeps
// answering, a progress dialog offers cancelling, and a cancel or a failure
// leaves no file.

#include "common/RecordingUi.h"
#include "gui/ReportWindow.h"
#include "report/ProgramUi.h"
#include "workbook/XlsxTestHelpers.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"

#include <QAction>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

class ReportWindowOutputTest : public ::testing::Test
{
protected:
    ReportWindowOutputTest()
    {
        xl.workbooks().add();
        Workbook &book = xl.activeWorkbook().workbook();
        Worksheet &sheet = book.sheet(0);
        for (int r = 1; r <= 6000; ++r) {
            for (int c = 1; c <= 8; ++c)
                xlsxtest::setNumber(sheet, r, c, r * 100 + c);
        }
        window = std::make_unique<ReportWindow>(xl, book, ui);
        window->show();
    }

    // Clicks the progress dialog's cancel button as soon as it shows.
    void cancelWhenAsked()
    {
        auto *timer = new QTimer(window.get());
        QObject::connect(timer, &QTimer::timeout, window.get(), [this, timer] {
            ++ticks;
            auto *dialog = window->findChild<QProgressDialog *>(u"dlgFortschritt"_s);
            if (!dialog || !dialog->isVisible() || ticks < 3)
                return;
            QPushButton *cancel = dialog->findChild<QPushButton *>();
            if (cancel)
                QTest::mouseClick(cancel, Qt::LeftButton);
            timer->stop();
        });
        timer->start(10);
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    Application xl;
    testsupport::RecordingUi ui;
    std::unique_ptr<ReportWindow> window;
    QTemporaryDir dir;
    int ticks = 0;
};

TEST_F(ReportWindowOutputTest, ExportRunsWhileTheWindowAnswers)
{
    auto *timer = new QTimer(window.get());
    QObject::connect(timer, &QTimer::timeout, window.get(), [this] {
        ++ticks;
        EXPECT_TRUE(window->isBusy());
        EXPECT_FALSE(window->actPdf->isEnabled()) << "no second export while one runs";
    });
    timer->start(5);
    ASSERT_TRUE(window->exportPdf(dir.filePath(u"bericht"_s))) << ui.messages.join(u'\n').toStdString();
    timer->stop();
    EXPECT_GT(ticks, 0) << "the window's event loop ran during the export";
    EXPECT_FALSE(window->isBusy());
    EXPECT_TRUE(window->actPdf->isEnabled());
    EXPECT_EQ(files(), QStringList({u"bericht.pdf"_s}));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ReportWindowOutputTest, CancelledExportLeavesNoFileAndNoMessage)
{
    cancelWhenAsked();
    EXPECT_FALSE(window->exportPdf(dir.filePath(u"bericht.pdf"_s)));
    EXPECT_TRUE(files().isEmpty()) << files().join(u' ').toStdString();
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u'\n').toStdString();
}

TEST_F(ReportWindowOutputTest, FailingPrinterIsTold)
{
    // Through the print command, and straight to a printer the print system does not know.
    const std::vector<std::pair<QByteArray, QString>> failures = {
        {"sh -c \"echo Papierstau >&2; exit 4\" --", u"Papierstau"_s},
        {QByteArray(), u"\"gibt-es-nicht\" ist nicht bekannt"_s},
    };
    for (const auto &[command, told] : failures) {
        ui.messages.clear();
        if (command.isEmpty())
            qunsetenv("TANNBUCH_PRINT_COMMAND");
        else
            qputenv("TANNBUCH_PRINT_COMMAND", command);
        const bool printed = window->printReport(u"gibt-es-nicht"_s, 1, true);
        qunsetenv("TANNBUCH_PRINT_COMMAND");
        EXPECT_FALSE(printed);
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages.front().startsWith(u"Beim Ausdruck ist ein Fehler aufgetreten. "_s));
        EXPECT_TRUE(ui.messages.front().contains(told)) << ui.messages.front().toStdString();
    }
}

} // namespace

} // namespace tannbuch
