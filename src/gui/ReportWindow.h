#pragma once

#include "workbook/print/ReportPrinter.h"

#include <QDialog>
#include <QMainWindow>

#include <atomic>
#include <functional>
class QCheckBox;
class QComboBox;
class QSpinBox;
class QTabWidget;

namespace tannbuch {

class Application;
class ProgramUi;
class SheetView;
class Workbook;

// The report's own window: every sheet of the report workbook on a tab, shown
// as it will print, with saving, PDF export, printing and handing a copy to
// the desktop's spreadsheet program. Closing the window closes the workbook
// without saving (the owner does that on closed()); the next print request
// then starts from the template again.
class ReportWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Shows the workbook (owned by the application, which must outlive the
    // window); messages go to the user interface of the program.
    ReportWindow(Application &xl, Workbook &book, ProgramUi &ui, QWidget *parent = nullptr);
    ~ReportWindow() override;

    // Reads the sheets again (after another report into the same workbook)
    // and takes the name "Speichern unter" offers.
    void refresh(const QString &defaultFilePath);
    Workbook &workbook() const { return m_book; }
    QString defaultFilePath() const { return m_defaultPath; }

    // The steps behind the actions, without their dialogs. Each tells the
    // user what failed and answers false. Export and printing draw the pages
    // on a worker thread while a progress dialog ("dlgFortschritt") with a
    // cancel button shows and the window goes on repainting; a cancelled run
    // answers false, leaves no file and tells nothing.
    bool saveAs(QString path);
    bool exportPdf(QString path);
    bool printReport(const QString &printer, int copies, bool collate);
    // Saves a copy into a temporary folder of its own and asks the desktop to
    // open it (or the command in TANNBUCH_OPEN_COMMAND, with the copy's path
    // as its last argument); answers the copy's path, empty when saving
    // failed. No other file is written. On the offscreen platform without
    // such a command nothing is launched.
    QString openInSpreadsheet();

    QTabWidget *tabs() const { return m_tabs; }
    SheetView *sheetView(int index) const;

    QAction *actSpeichernUnter;
    QAction *actPdf;
    QAction *actDrucken;
    QAction *actTabellenkalkulation;
    QAction *actSchliessen;

    // True while an export or a print runs on the worker thread.
    bool isBusy() const { return m_busy; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Runs work on a worker thread with a progress dialog; answers 1 when it
    // finished, 0 when cancelled, -1 when it failed (error holds why).
    int runInBackground(
        const QString &label, const std::function<bool(const ReportPrinter::Progress &)> &work, QString &error);
    void buildSheets();
    void openLink(const QString &address);
    void launchSpreadsheet(const QString &path);
    void askSaveAs();
    void askExportPdf();
    void askPrint();

    Application &m_xl;
    Workbook &m_book;
    ProgramUi &m_ui;
    QTabWidget *m_tabs;
    QString m_defaultPath;
    bool m_busy = false;
    std::atomic<bool> m_cancel = false;
};

// The choice of printer, copies and collation before printing.
class PrintOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    // Offers the printers the print system knows: "Standarddrucker" when
    // there is a default printer, then every printer, the default first.
    explicit PrintOptionsDialog(QWidget *parent = nullptr);

    // "" for the print system's default printer; empty too when there is
    // no printer at all.
    QString printer() const;
    int copies() const;
    bool collate() const;

    QComboBox *cmbDrucker;
    QSpinBox *spnKopien;
    QCheckBox *chkSortieren;
};

} // namespace tannbuch
