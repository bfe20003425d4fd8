#pragma once

#include "app/ListBrowserModel.h"
#include "app/PrintJob.h"
#include "app/Program.h"
#include "gui/ReportWindow.h"
#include "report/ProgramUi.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace tannbuch {

class SingleInstance;

// The program's one main window: the list browser with its date range and
// business-year buttons, the list-type and lot/pile pickers, the report
// switches and sort order, "Ausdruck" and "Schließen", and the status line.
// Every control carries its established name as object name (control arrays
// as name(index), e.g. "btnJahr(0)").
//
// Start-up (Form_Load) and shut-down (Form_Unload) run here in their fixed
// order; the session lives in Program. The window is a view of the list
// browser's model (ListBrowserModel): each event writes the controls' values
// into it, runs the model's action and shows the model again. "Ausdruck"
// hands the model's request to the print job. Unattended printing needs no
// window (UnattendedPrint). Tests find the controls by object name.
class F_Start : public QWidget, public ProgramUi
{
    Q_OBJECT

public:
    explicit F_Start(QWidget *parent = nullptr);
    ~F_Start() override;

    // The caption: "Quelt32-Listenausdruck V " and the program's version.
    static QString caption();

    // Start-up from the host's command line. Afterwards the program either
    // runs (show the window) or has ended (hasEnded(), exitCode()).
    void Form_Load(const QString &commandLine);
    // Shut-down: connection, workbook, application, window position. Runs
    // once, however the window closes.
    void Form_Unload();

    // Prepares the selection controls from the report settings and the
    // start-up values (sort order, switches, date range or business year),
    // then fills the list browser and the lot/pile picker. Database errors
    // propagate as DbError.
    void InitSelectionControls();
    // Closes the window, which ends the program.
    void ButAbbrech_Click();
    // The print request: hands the request of the controls to the print job,
    // tells its failures and warnings and shows the report window; the
    // window leaves its topmost place afterwards.
    void B_OK_Click();
    // The list number the browser has selected: the text of the last
    // selected list in list order, or empty when none is selected.
    QString listNumber() const { return m_browser.listNumber(); }
    // The print request the controls make: the selected list, its list type,
    // lots or piles (shown and marked), the sort order and the switches,
    // with the start-up values' provision and save folder.
    PrintRequest requestFromControls();
    // The last request "Ausdruck" handed to the print job, and what its
    // report printed (empty before the first report was written).
    const PrintRequest &lastRequest() const { return m_lastRequest; }
    const Selection &printedSelection() const { return m_printedSelection; }

    bool hasEnded() const { return m_ended; }
    // 0 when the program did its work; non-zero when start-up failed and
    // ended the program.
    int exitCode() const;

    Program &program() { return m_program; }

    // ProgramUi. Messages and warnings reach the user through present().
    void showMessage(const QString &text) override;
    void showWarning(const QString &text) override;
    QString chooseTemplate(const QStringList &templates) override;
    void showStatus(const QString &text) override;
    void showProgress(qint64 done, qint64 total) override;

    // The window of the last report; null before the first report and after
    // the user closed it.
    ReportWindow *reportWindow() const { return m_reportWindow; }
    // Where "Speichern unter" starts: the save folder (or the home folder)
    // and the name an unattended run would save under (provision and list),
    // "Holzliste_" and the list number without a provision.
    QString reportFilePath();

protected:
    // Shows a message or warning in a message box.
    virtual void present(const QString &text, bool warning);
    // Asks the user for a template (the template dialog); empty when the
    // user cancelled.
    virtual QString askTemplate(const QStringList &templates);
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // Date boxes: focus, key filter and leaving; txt_Jahr: leaving.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The events of the controls; each runs its action of the list browser.
    void btnJahr_Click(int index);
    void dateBox_KeyPress(QLineEdit *box, QKeyEvent *event, bool &swallow);
    void dateBox_LostFocus(QLineEdit *box);
    void txt_Jahr_LostFocus();
    void txLastDays_Change();
    void ListView1_SelectionChange();
    void optLos_Click();
    void cmbListenart_Activated();
    // Selects the whole text of the focused text box or combo box.
    void SelectText();
    // Runs an action of the list browser on the controls' values and shows
    // its state afterwards, also when it failed (which is told).
    template <typename Action> void browse(Action action);
    // Writes the controls' values into the list browser's model, and shows
    // the model's state in the controls.
    void writeControlsToModel();
    void showModel();
    void showListView();
    void showPickers();
    void showSwitches();
    // Prints the controls' request (after taking the switches of a template
    // opened only now) and shows the report.
    void printControlsRequest();
    // Turns Ausdruck, Schließen and every control that changes the request
    // off while a report runs, and on again.
    void setRequestControlsEnabled(bool on);
    // Start-up found no database: only "Schließen" is left on.
    void showWithoutDatabase();
    // The status line for the host's list: whether the browser found it.
    void showListFound(bool found);
    // The date box as the window captions it, for messages.
    QString dateBoxName(const QLineEdit *box) const;
    // A label's caption (the database's wording, say); every label caption
    // then gets its mnemonic anew.
    void setCaption(QLabel *label, const QString &caption);
    void setLabelCaptions();
    // Opens the report window on the report workbook, or shows the new
    // report in the open one.
    void showReportWindow();
    // The user closed the report window: the workbook closes unsaved.
    void reportWindowClosed();
    // Runs an event's work; a database or workbook failure is told to the
    // user instead of ending the program.
    template <typename Work> void guarded(Work work);
    void reportFailure(const QString &message);
    // The window's parts, one per group of controls, and the grid they lie in.
    void buildLayout();
    void buildListBrowser();
    QFrame *buildSelectionFrame();
    QGroupBox *buildLotBox();
    QGroupBox *buildSettingsBox();
    QGroupBox *buildSortBox();
    QHBoxLayout *buildButtonsAndStatus();
    void setTabOrder();
    void RestoreWindowPosition();
    void SaveWindowPosition();
    void setTopmost(bool on);
    void bringToFront();

    // What the report window tells goes through the main window's messages
    // but is shown over the report window.
    class ReportWindowMessages;
    std::unique_ptr<ReportWindowMessages> m_reportWindowMessages;
    // The window the next message box is shown over; none: the main window.
    QPointer<QWidget> m_messageParent;

    // The sort option buttons in EinzSort order (index 0 = value 1).
    QRadioButton *sortButton(int einzSort) const;

    Program m_program;
    ListBrowserModel m_browser;
    // What the model had filled when the controls last showed it.
    int m_listsShown = -1;
    int m_pickersShown = -1;
    int m_switchesShown = -1;
    PrintRequest m_lastRequest;
    Selection m_printedSelection;
    std::unique_ptr<SingleInstance> m_instance;
    bool m_unloaded = false;
    bool m_ended = false;
    bool m_secondInstance = false;
    bool m_fillingListView = false;
    bool m_running = false;
    bool m_leavingDateBox = false;
    bool m_listNotFoundShown = false;
    // The captions of the labels as given, before their mnemonics.
    QHash<QLabel *, QString> m_captions;
    QPointer<ReportWindow> m_reportWindow;
    // The template the user chose; asked once while the program runs.
    QString m_chosenTemplate;
    QElapsedTimer m_progressShown;

    QTreeWidget *ListView1;
    QLabel *lblListendatum;
    QLineEdit *txtVon;
    QLabel *lblAffbis;
    QLineEdit *txtBis;
    QLineEdit *txLastDays;
    QLabel *lblTage;
    QFrame *frmHHJ;
    QLabel *lblHHJahr;
    QLineEdit *txt_Jahr;
    QPushButton *btnJahr[4];
    QLabel *lblListenart;
    QComboBox *cmbListenart;
    QRadioButton *optLos[2];
    QListWidget *LbLos;
    QCheckBox *CbVerdichtet;
    QCheckBox *CbDruck;
    QCheckBox *CbEinzeln;
    QCheckBox *CbLosweise;
    QRadioButton *RadWoEing;
    QRadioButton *RadWoListeLosStm;
    QRadioButton *RadListeLosWaldort;
    QRadioButton *RadEing;
    QRadioButton *RadSortiment;
    QRadioButton *RadStammNummer;
    QPushButton *B_OK;
    QPushButton *ButAbbrech;
    QLabel *LbStatus;
    QProgressBar *prgFortschritt;
};

} // namespace tannbuch
