#include "F_Start.h"

#include "app/DateKeyFilter.h"
#include "app/WindowPositionStore.h"
#include "db/DbError.h"
#include "gui/MnemonicCaption.h"
#include "gui/PagePrinter.h"
#include "gui/ReportWindow.h"
#include "gui/SingleInstance.h"
#include "gui/WindowFit.h"
#include "gui/dlgVorlagen.h"
#include "report/driver/ReportDriver.h"
#include "selection/ListViewRows.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/WorkbookError.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <numeric>

namespace tannbuch {

namespace {

template <typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// A scroll area that asks for room for all it holds, so the window opens
// without scroll bars where the screen has the room, and shrinks below that
// where it has not.
class ContentScrollArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
};

// Of option buttons that exclude each other, only the chosen one is a Tab
// stop, so Tab into their group lands on it; the arrow keys move among them.
void tabStopOnChosen(std::initializer_list<QRadioButton *> group)
{
    for (QRadioButton *button : group) {
        const Qt::FocusPolicy policy = button->focusPolicy();
        button->setFocusPolicy(
            button->isChecked() ? Qt::FocusPolicy(policy | Qt::TabFocus) : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

} // namespace

class F_Start::ReportWindowMessages : public ProgramUi
{
public:
    explicit ReportWindowMessages(F_Start &main)
        : m_main(main)
    { }
    void showMessage(const QString &text) override
    {
        overReportWindow([&] { m_main.showMessage(text); });
    }
    void showWarning(const QString &text) override
    {
        overReportWindow([&] { m_main.showWarning(text); });
    }
    QString chooseTemplate(const QStringList &templates) override { return m_main.chooseTemplate(templates); }

private:
    template <typename Tell> void overReportWindow(Tell tell)
    {
        m_main.m_messageParent = m_main.m_reportWindow.data();
        const auto done = qScopeGuard([this] { m_main.m_messageParent = nullptr; });
        tell();
    }

    F_Start &m_main;
};

template <typename Action> void F_Start::browse(Action action)
{
    // What the model read before a failure is shown all the same.
    const auto shown = qScopeGuard([this] { showModel(); });
    guarded([&] {
        writeControlsToModel();
        action();
    });
}

template <typename Work> void F_Start::guarded(Work work)
{
    try {
        work();
    } catch (const DbError &e) {
        // The database's own words; the window goes on.
        reportFailure(e.message());
    } catch (const WorkbookError &e) {
        reportFailure(e.message());
    }
}

F_Start::F_Start(QWidget *parent)
    : QWidget(parent)
    , m_reportWindowMessages(std::make_unique<ReportWindowMessages>(*this))
    , m_program(*this)
    , m_browser(m_program, ListBrowserModel::Viewer::Window)
{
    setObjectName(QStringLiteral("F_Start"));
    // The immediate print of a report goes where the report window prints:
    // straight to the print system, so both tell a missing printer alike.
    m_program.setPrinter([](const Workbook &book, int copies, bool collate,
                             const std::function<bool(int, int)> &progress, const QString &savedPath) {
        return PagePrinter::printWorkbook(book, QString(), copies, collate, progress, savedPath);
    });
    buildLayout();
    setTabOrder();
    connect(ButAbbrech, &QPushButton::clicked, this, &F_Start::ButAbbrech_Click);
    connect(B_OK, &QPushButton::clicked, this, &F_Start::B_OK_Click);
    for (int k = 0; k < 4; ++k)
        connect(btnJahr[k], &QPushButton::clicked, this, [this, k] { btnJahr_Click(k); });
    connect(txLastDays, &QLineEdit::textChanged, this, &F_Start::txLastDays_Change);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        // Whichever way the selected list changes (mouse, keyboard, cleared),
        // the pickers follow; filling the browser refreshes them itself.
        if (!m_fillingListView)
            ListView1_SelectionChange();
    });
    for (QRadioButton *mode : optLos)
        connect(mode, &QRadioButton::clicked, this, &F_Start::optLos_Click);
    connect(cmbListenart, &QComboBox::activated, this, &F_Start::cmbListenart_Activated);
    for (QCheckBox *box : {CbVerdichtet, CbDruck, CbEinzeln, CbLosweise}) {
        // Greyed is a state the template may set; a click only turns the box
        // on or off.
        connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
    for (QLineEdit *box : {txtVon, txtBis, txt_Jahr})
        box->installEventFilter(this);
    for (int v = 1; v <= 6; ++v) {
        connect(sortButton(v), &QRadioButton::toggled, this, [this] {
            tabStopOnChosen({RadWoEing, RadWoListeLosStm, RadListeLosWaldort, RadEing, RadSortiment, RadStammNummer});
        });
    }
    for (QRadioButton *mode : optLos)
        connect(mode, &QRadioButton::toggled, this, [this] { tabStopOnChosen({optLos[0], optLos[1]}); });
    tabStopOnChosen({optLos[0], optLos[1]});
    setLabelCaptions();
}

F_Start::~F_Start()
{
    Form_Unload();
}

QString F_Start::caption()
{
    return Program::caption();
}

void F_Start::Form_Load(const QString &commandLine)
{
    setWindowTitle(caption());

    // A second window brings the first one to the front and ends.
    m_instance = std::make_unique<SingleInstance>(caption());
    if (!m_instance->claim()) {
        m_secondInstance = true;
        Form_Unload();
        return;
    }
    connect(m_instance.get(), &SingleInstance::activationRequested, this, &F_Start::bringToFront);

    RestoreWindowPosition();

    const bool started = m_program.startUp(commandLine);
    if (m_program.closeRequested()) {
        ButAbbrech_Click();
        return;
    }
    if (!started) {
        showWithoutDatabase();
        return;
    }

    guarded([this] { InitSelectionControls(); });
    setTopmost(true);
}

void F_Start::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_ended = true;
    // The report window shows the workbook that shut-down closes.
    if (m_reportWindow) {
        m_reportWindow->disconnect(this);
        delete m_reportWindow;
    }
    m_program.shutDown();
    if (!m_secondInstance)
        SaveWindowPosition();
}

int F_Start::exitCode() const
{
    return m_program.hasFailed() ? 1 : 0;
}

void F_Start::keyPressEvent(QKeyEvent *event)
{
    // Keys no control took: Enter prints (in a text box it moves on like
    // Tab), Escape closes.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (qobject_cast<QLineEdit *>(QApplication::focusWidget()))
            focusNextChild();
        else if (B_OK->isEnabled())
            B_OK->click();
        return;
    case Qt::Key_Escape:
        if (ButAbbrech->isEnabled())
            ButAbbrech->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void F_Start::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void F_Start::ButAbbrech_Click()
{
    close();
    // A window that was never shown gets no close event; end all the same.
    Form_Unload();
}

void F_Start::B_OK_Click()
{
    // One request at a time: a click while a report runs (from a message
    // box's event loop, say) prints nothing.
    if (m_running)
        return;
    m_running = true;
    // Turning the focused control off moves the focus on; it comes back
    // afterwards, and no box counts as left meanwhile.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    setRequestControlsEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto done = qScopeGuard([this, focused] {
        // Clicks made meanwhile waited in the queue; they reach the disabled
        // controls now and are dropped.
        QCoreApplication::processEvents();
        QApplication::restoreOverrideCursor();
        setRequestControlsEnabled(true);
        if (focused && focused->isEnabled() && focused->window() == this)
            focused->setFocus(Qt::OtherFocusReason);
        m_running = false;
    });
    guarded([this] { printControlsRequest(); });
    setTopmost(false);
}

void F_Start::showWithoutDatabase()
{
    // The window stays open without lists; all that needs the database is
    // off, and the status line says why, long after the message is gone.
    setRequestControlsEnabled(false);
    ButAbbrech->setEnabled(true);
    LbStatus->setText(QStringLiteral("Keine Verbindung zur Datenbank: keine Listen, kein Ausdruck."));
    // What the database would have named stays blank: no caption of the
    // year, no years, no list column header; the rest of the browser's
    // headers are the window's own.
    setCaption(lblHHJahr, QString());
    for (QPushButton *year : btnJahr)
        year->setText(QString());
    if (m_program.values().businessYearColumn.isEmpty())
        frmHHJ->hide();
    QStringList headers;
    for (const ListViewColumn &column : ListViewColumns(QString()))
        headers << column.header;
    ListView1->setHeaderLabels(headers);
}

void F_Start::setRequestControlsEnabled(bool on)
{
    QWidget *const controls[] = {B_OK, ButAbbrech, ListView1, txtVon, txtBis, txLastDays, txt_Jahr, btnJahr[0],
        btnJahr[1], btnJahr[2], btnJahr[3], optLos[0], optLos[1], LbLos, CbVerdichtet, CbDruck, CbEinzeln, CbLosweise,
        RadWoEing, RadWoListeLosStm, RadListeLosWaldort, RadEing, RadSortiment, RadStammNummer};
    for (QWidget *control : controls)
        control->setEnabled(on);
    // The list-type box stays off while the selected list has no list types.
    cmbListenart->setEnabled(on && cmbListenart->count() > 0);
    lblListenart->setEnabled(on && cmbListenart->count() > 0);
}

PrintRequest F_Start::requestFromControls()
{
    writeControlsToModel();
    return m_browser.request();
}

void F_Start::writeControlsToModel()
{
    using DateBox = ListBrowserModel::DateBox;
    m_browser.setDateText(DateBox::From, txtVon->text());
    m_browser.setDateText(DateBox::To, txtBis->text());
    m_browser.setYear(txt_Jahr->text());
    m_browser.setLastDays(txLastDays->text());
    m_browser.setLotMode(optLos[1]->isChecked() ? LotMode::Piles : LotMode::Lots);
    // The last selected list in list order is the chosen one.
    int selected = -1;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (ListView1->topLevelItem(i)->isSelected())
            selected = i;
    }
    m_browser.setSelectedRow(selected);
    QStringList marked;
    for (int i = 0; i < LbLos->count(); ++i) {
        if (LbLos->item(i)->isSelected())
            marked << LbLos->item(i)->text();
    }
    m_browser.setMarkedEntries(marked);
    // Before the controls are prepared no sort button is checked; the
    // model's order stands then.
    for (int v = 1; v <= 6; ++v) {
        if (sortButton(v)->isChecked())
            m_browser.setSortOrder(qint16(v));
    }
    // 0 off, 1 on; a box the template greyed keeps its 2.
    const auto value = [](const QCheckBox *box) -> qint16 {
        switch (box->checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::PartiallyChecked:
            return 2;
        case Qt::Checked:
            break;
        }
        return 1;
    };
    m_browser.setSwitches({value(CbVerdichtet), value(CbDruck), value(CbEinzeln), value(CbLosweise)});
}

void F_Start::printControlsRequest()
{
    // Switches that never had a template's values (the template choice was
    // cancelled at start-up) take them from the template opened now, before
    // the request is read from them; a choice cancelled again prints nothing.
    if (!m_browser.switchesFromTemplate()) {
        if (!m_program.hasReportWorkbook())
            m_program.OpenReportWorkbook();
        if (!m_program.hasReportWorkbook())
            return;
        m_browser.takeSwitchesFromSettings();
        showSwitches();
    }
    m_lastRequest = requestFromControls();
    const PrintOutcome outcome = RunPrintJob(m_program, m_lastRequest);
    if (outcome.reportWritten)
        m_printedSelection = outcome.selection;
    for (const QString &message : outcome.errorMessages)
        showMessage(message);
    for (const QString &warning : outcome.warnings)
        showWarning(warning);
    // What was written stays in the workbook, after a failure too; the clerk
    // sees it in the report window (after the failure's message).
    if (outcome.reportWritten)
        showReportWindow();
}

QString F_Start::reportFilePath()
{
    const StartupValues &values = m_program.values();
    const QString name = values.provisionName.isEmpty()
        ? ReportFileName(QStringLiteral("Holzliste"), m_printedSelection.listNumber)
        : ReportFileName(values.provisionName, values.listNumber);
    const QString folder = values.saveFolder.isEmpty() ? QDir::homePath() : values.saveFolder;
    return QDir(folder).filePath(name);
}

void F_Start::showReportWindow()
{
    Application *xl = m_program.application();
    if (!xl || xl->workbookCount() == 0)
        return;
    Workbook &book = xl->activeWorkbook().workbook();
    if (m_reportWindow && &m_reportWindow->workbook() != &book) {
        // Another workbook than the one shown: start the window afresh.
        m_reportWindow->disconnect(this);
        delete m_reportWindow;
    }
    if (!m_reportWindow) {
        m_reportWindow = new ReportWindow(*xl, book, *m_reportWindowMessages);
        m_reportWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_reportWindow, &ReportWindow::closed, this, &F_Start::reportWindowClosed);
    }
    m_reportWindow->refresh(reportFilePath());
    // The report window opens on the main window's screen, fitted into it.
    if (!m_reportWindow->isVisible())
        WindowFit::fitIntoScreen(*m_reportWindow, screen());
    m_reportWindow->show();
    m_reportWindow->raise();
    m_reportWindow->activateWindow();
}

void F_Start::reportWindowClosed()
{
    Application *xl = m_program.application();
    if (!m_reportWindow || !xl)
        return;
    Workbook &book = m_reportWindow->workbook();
    for (int i = 0; i < xl->workbookCount(); ++i) {
        if (&xl->workbookAt(i).workbook() == &book) {
            try {
                xl->closeWorkbook(book, false);
            } catch (const WorkbookError &) {
                // Already gone: nothing to close.
            }
            break;
        }
    }
    m_reportWindow = nullptr; // deletes itself on close
}

void F_Start::btnJahr_Click(int index)
{
    browse([this, index] { m_browser.chooseYear(index); });
}

void F_Start::showSwitches()
{
    m_switchesShown = m_browser.switchesTaken();
    QRadioButton *sort = sortButton(m_browser.sortOrder());
    (sort ? sort : RadWoEing)->setChecked(true);
    const ListBrowserModel::Switches &switches = m_browser.switches();
    const std::pair<QCheckBox *, qint16> boxes[] = {{CbDruck, switches.lSofortDruck}, {CbEinzeln, switches.lEinzeln},
        {CbVerdichtet, switches.lVerdichtet}, {CbLosweise, switches.lLosweise}};
    for (const auto &[box, value] : boxes) {
        // Only a greyed box offers the third state, until it is first clicked.
        box->setTristate(value == 2);
        box->setCheckState(value == 0 ? Qt::Unchecked : value == 2 ? Qt::PartiallyChecked : Qt::Checked);
    }
}

void F_Start::InitSelectionControls()
{
    const auto shown = qScopeGuard([this] {
        showModel();
        if (m_browser.dateMode())
            frmHHJ->hide();
    });
    m_browser.prepare();
}

void F_Start::showModel()
{
    using DateBox = ListBrowserModel::DateBox;
    if (txLastDays->text() != m_browser.lastDays()) {
        // Writing the days box is no change by the user.
        const QSignalBlocker quiet(txLastDays);
        txLastDays->setText(m_browser.lastDays());
    }
    // A box keeps its caret and selection unless its text changed.
    const std::pair<QLineEdit *, QString> boxes[] = {{txtVon, m_browser.dateText(DateBox::From)},
        {txtBis, m_browser.dateText(DateBox::To)}, {txt_Jahr, m_browser.year()}};
    for (const auto &[box, text] : boxes) {
        if (box->text() != text)
            box->setText(text);
    }
    for (int k = 0; k < 4; ++k)
        btnJahr[k]->setText(m_browser.yearButtons()[k]);
    const std::pair<QLabel *, const std::optional<QString> *> captions[]
        = {{lblHHJahr, &m_browser.yearCaption()}, {lblListendatum, &m_browser.dateCaption()}};
    for (const auto &[label, caption] : captions) {
        if (*caption && m_captions.value(label) != **caption)
            setCaption(label, **caption);
    }
    if (m_switchesShown != m_browser.switchesTaken())
        showSwitches();
    if (m_listsShown != m_browser.listsFilled())
        showListView();
    if (m_pickersShown != m_browser.pickersFilled())
        showPickers();
}

void F_Start::setCaption(QLabel *label, const QString &caption)
{
    m_captions[label] = caption;
    setLabelCaptions();
}

void F_Start::setLabelCaptions()
{
    // The captions may come from the database: each label gets the first of
    // its letters that no button and no label before it uses.
    QString used;
    for (const QAbstractButton *button : findChildren<QAbstractButton *>()) {
        const QChar letter = MnemonicLetter(button->text());
        if (!letter.isNull())
            used += letter;
    }
    const std::pair<QLabel *, QWidget *> labels[]
        = {{lblListendatum, txtVon}, {lblAffbis, txtBis}, {lblHHJahr, txt_Jahr}, {lblListenart, cmbListenart}};
    for (const auto &[label, box] : labels) {
        if (!m_captions.contains(label))
            m_captions[label] = label->text();
        label->setText(MnemonicCaption(m_captions[label], used));
        label->setBuddy(box);
        const QChar letter = MnemonicLetter(label->text());
        if (!letter.isNull())
            used += letter;
    }
}

void F_Start::showListView()
{
    m_listsShown = m_browser.listsFilled();
    const QList<ListViewColumn> columns = ListViewColumns(m_browser.listHeader());

    // Clearing and refilling selects items; that chooses no list.
    m_fillingListView = true;
    const auto done = qScopeGuard([this] { m_fillingListView = false; });

    ListView1->clear();
    ListView1->setColumnCount(int(columns.size()));
    QStringList headers;
    for (const ListViewColumn &column : columns)
        headers << column.header;
    ListView1->setHeaderLabels(headers);
    for (int c = 0; c < columns.size(); ++c) {
        ListView1->headerItem()->setTextAlignment(c, columns[c].alignment);
        ListView1->setColumnWidth(c, TwipsToPixels(columns[c].widthTwips));
    }

    QList<QTreeWidgetItem *> items;
    items.reserve(m_browser.rows().size());
    for (const ListViewRow &row : m_browser.rows()) {
        auto *item = new QTreeWidgetItem({row.liste, row.listdatum, row.stk, row.kubatur});
        for (int c = 0; c < columns.size(); ++c) {
            item->setTextAlignment(c, columns[c].alignment);
            // A text cut short by a narrow window still reads in full.
            item->setToolTip(c, item->text(c));
        }
        items << item;
    }
    ListView1->addTopLevelItems(items);
    // Columns keep their designed width at least and grow to their longest
    // entry, so a big list's volume never squeezes the date to "12.03.2...".
    for (int c = 0; c < columns.size(); ++c) {
        ListView1->resizeColumnToContents(c);
        ListView1->setColumnWidth(c, std::max(ListView1->columnWidth(c), TwipsToPixels(columns[c].widthTwips)));
    }
    if (QTreeWidgetItem *chosen = ListView1->topLevelItem(m_browser.selectedRow())) {
        ListView1->setCurrentItem(chosen);
        chosen->setSelected(true);
    }
    showListFound(!items.isEmpty());
}

void F_Start::showListFound(bool found)
{
    // The host's list fixes the browser to that list: when the browser
    // stays empty, the status line says so instead of "Bereit!".
    const StartupValues &values = m_program.values();
    if (values.listNumber.isEmpty())
        return;
    if (!found) {
        LbStatus->setText(ListNotFoundText(values.listNumber, values.listTypeNumber,
                              PlainCaption(m_captions.value(lblHHJahr)), m_browser.year())
            + u'.');
        m_listNotFoundShown = true;
    } else if (m_listNotFoundShown) {
        LbStatus->setText(QStringLiteral("Bereit!"));
        m_listNotFoundShown = false;
    }
}

void F_Start::showPickers()
{
    m_pickersShown = m_browser.pickersFilled();
    const QStringList &types = m_browser.listTypes();
    {
        const QSignalBlocker quiet(cmbListenart);
        cmbListenart->clear();
        cmbListenart->addItems(types);
        cmbListenart->setCurrentIndex(int(types.indexOf(m_browser.listTypeText())));
    }
    // Without list types the row is greyed, not hidden, so the layout keeps still.
    cmbListenart->setEnabled(!types.isEmpty());
    lblListenart->setEnabled(!types.isEmpty());
    LbLos->clear();
    LbLos->addItems(m_browser.lotEntries());
}

void F_Start::ListView1_SelectionChange()
{
    browse([this] { m_browser.selectList(m_browser.selectedRow()); });
}

void F_Start::optLos_Click()
{
    browse([this] { m_browser.chooseLotMode(m_browser.lotMode()); });
}

void F_Start::cmbListenart_Activated()
{
    browse([this] { m_browser.chooseListType(cmbListenart->currentText()); });
}

void F_Start::txLastDays_Change()
{
    browse([this] { m_browser.changeLastDays(txLastDays->text()); });
}

void F_Start::txt_Jahr_LostFocus()
{
    browse([this] { m_browser.leaveYearBox(); });
}

void F_Start::SelectText()
{
    QWidget *focused = QApplication::focusWidget();
    if (auto *box = qobject_cast<QLineEdit *>(focused))
        box->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(focused); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void F_Start::dateBox_KeyPress(QLineEdit *box, QKeyEvent *event, bool &swallow)
{
    swallow = false;
    int key = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter moves on like Tab.
        swallow = true;
        focusNextChild();
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        key = 8;
    } else if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return; // shortcuts (copy, paste) and menu keys
    } else if (event->text().size() == 1 && event->text().at(0).isPrint()) {
        key = event->text().at(0).unicode();
    } else {
        return; // caret movement, Delete, Tab
    }
    const int caret = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    const int selectionLength = int(box->selectedText().size());
    swallow = FilterDateKey(box->text(), caret, selectionLength, key) == 0;
}

QString F_Start::dateBoxName(const QLineEdit *box) const
{
    // The box by the words the window shows beside it: the date label's
    // caption (from the text table), and "bis" after it for the to-date.
    QString date = PlainCaption(m_captions.value(lblListendatum));
    if (date.isEmpty())
        date = QStringLiteral("Datum");
    return box == txtVon ? date : date + u' ' + PlainCaption(m_captions.value(lblAffbis));
}

void F_Start::dateBox_LostFocus(QLineEdit *box)
{
    bool isDate = true;
    browse([this, box, &isDate] {
        isDate
            = m_browser.leaveDateBox(box == txtVon ? ListBrowserModel::DateBox::From : ListBrowserModel::DateBox::To);
    });
    if (!isDate) {
        // The clerk learns which box holds what and how a date is written.
        showMessage(QStringLiteral("Ungültige Daten: „%1“ im Feld „%2“ ist kein Datum der Form TT.MM.JJJJ.")
                        .arg(box->text(), dateBoxName(box)));
        box->setFocus(Qt::OtherFocusReason);
    }
}

bool F_Start::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    const bool dateBox = box == txtVon || box == txtBis;
    if (!box || m_ended)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::FocusIn:
        if (dateBox) {
            SelectText();
            // A mouse click places the caret after the focus came; select
            // once it has.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, box, [box] {
                    if (box->hasFocus())
                        box->selectAll();
                });
        }
        break;
    case QEvent::KeyPress:
        if (dateBox) {
            bool swallow = false;
            dateBox_KeyPress(box, static_cast<QKeyEvent *>(event), swallow);
            if (swallow)
                return true;
        }
        break;
    case QEvent::FocusOut: {
        // Only a move to another control leaves the box; another window
        // coming to the front (a message box) does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_leavingDateBox || m_running)
            break;
        // A click on "Schließen" closes the window; a date left half typed
        // does not hold it up with a message.
        if (QApplication::focusWidget() == ButAbbrech)
            break;
        m_leavingDateBox = true;
        const auto done = qScopeGuard([this] { m_leavingDateBox = false; });
        if (dateBox)
            dateBox_LostFocus(box);
        else if (box == txt_Jahr)
            txt_Jahr_LostFocus();
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void F_Start::reportFailure(const QString &message)
{
    showMessage(message);
}

void F_Start::RestoreWindowPosition()
{
    // The stored values are the frame's top-left corner, as saved; move() of
    // a window not yet shown places the frame there, so the window comes
    // back exactly where it was.
    const auto x = WindowPositionStore::storedX();
    const auto y = WindowPositionStore::storedY();
    if (x || y) {
        QPoint p = pos();
        if (x)
            p.setX(*x);
        if (y)
            p.setY(*y);
        move(p);
    }
    QScreen *target = QGuiApplication::screenAt(pos());
    if (!target)
        target = QGuiApplication::primaryScreen();
    if (!target)
        return;
    // The window opens at the size its controls ask for; cut in height to
    // fit the screen, its selection scrolls and gets room for the scroll
    // bar. The size is set before the window is shown: a window that sizes
    // itself while being shown loses its frame-inclusive position and comes
    // back a frame lower each time.
    ensurePolished();
    QSize wanted = sizeHint();
    const QMargins frame = WindowFit::assumedFrame();
    if (wanted.height() > target->availableGeometry().height() - frame.top() - frame.bottom())
        wanted.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    resize(wanted);
    // Smaller where the screen is smaller; a position from another screen
    // layout (or a negative one) comes back onto the screen, title bar
    // included.
    WindowFit::fitIntoScreen(*this, target);
}

void F_Start::SaveWindowPosition()
{
    WindowPositionStore::store(frameGeometry().topLeft());
}

void F_Start::setTopmost(bool on)
{
    const Qt::WindowFlags flags = windowFlags().setFlag(Qt::WindowStaysOnTopHint, on);
    // A window that exists on the screen changes its stacking in place: new
    // widget flags would make it anew, and the window manager may put the
    // new one a frame's height off its place.
    if (QWindow *native = windowHandle()) {
        overrideWindowFlags(flags);
        native->setFlags(flags);
        return;
    }
    setWindowFlags(flags);
}

void F_Start::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void F_Start::showMessage(const QString &text)
{
    present(text, false);
}

void F_Start::showWarning(const QString &text)
{
    present(text, true);
}

void F_Start::present(const QString &text, bool warning)
{
    // Every message is something that went wrong or was refused; a warning
    // leaves the report whole. The icon tells the clerk which at a glance.
    QWidget *parent = m_messageParent ? m_messageParent.data() : isVisible() ? this : nullptr;
    if (warning)
        QMessageBox::warning(parent, QApplication::applicationName(), text, QMessageBox::Ok);
    else
        QMessageBox::critical(parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

QString F_Start::chooseTemplate(const QStringList &templates)
{
    // The choice holds while the program runs: a report window closed and
    // the next "Ausdruck" take the same template without asking.
    if (templates.contains(m_chosenTemplate))
        return m_chosenTemplate;
    const QString choice = askTemplate(templates);
    if (!choice.isEmpty())
        m_chosenTemplate = choice;
    return choice;
}

QString F_Start::askTemplate(const QStringList &templates)
{
    return dlgVorlagen::choose(
        templates, isVisible() ? this : nullptr, m_program.templateFolder(), m_program.iniPath());
}

void F_Start::showStatus(const QString &text)
{
    LbStatus->setText(text);
    LbStatus->repaint();
}

void F_Start::showProgress(qint64 done, qint64 total)
{
    if (total <= 0) {
        prgFortschritt->reset();
        prgFortschritt->hide();
        return;
    }
    // The report runs on this thread: the window repaints now and then (about
    // 25 times a second), without taking any input meanwhile.
    const bool first = !prgFortschritt->isVisible();
    if (!first && m_progressShown.isValid() && m_progressShown.elapsed() < 40 && done < total)
        return;
    m_progressShown.start();
    // The bar counts in thousandths, so very long sections fit its int range.
    prgFortschritt->setRange(0, 1000);
    prgFortschritt->setValue(int(std::min<qint64>(1000, done * 1000 / total)));
    if (first && isVisible())
        prgFortschritt->show();
    if (isVisible())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QRadioButton *F_Start::sortButton(int einzSort) const
{
    QRadioButton *const buttons[]
        = {RadWoEing, RadWoListeLosStm, RadListeLosWaldort, RadEing, RadSortiment, RadStammNummer};
    return einzSort >= 1 && einzSort <= 6 ? buttons[einzSort - 1] : nullptr;
}

void F_Start::buildLayout()
{
    buildListBrowser();
    QFrame *selectionFrame = buildSelectionFrame();
    QGroupBox *lotBox = buildLotBox();
    QGroupBox *settingsBox = buildSettingsBox();
    QGroupBox *sortBox = buildSortBox();
    QHBoxLayout *bottom = buildButtonsAndStatus();

    // The selection lies in a scroll area, so the window shrinks to a small
    // screen or a large scale factor; the buttons and the status line stay
    // in sight below it.
    auto *content = named(new QWidget, QStringLiteral("frmInhalt"));
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(selectionFrame, 0, 0, 1, 2);
    grid->addWidget(ListView1, 1, 0);
    grid->addWidget(lotBox, 1, 1);
    grid->addWidget(settingsBox, 2, 0);
    grid->addWidget(sortBox, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(1, 1);
    auto *scroll = named(new ContentScrollArea(this), QStringLiteral("scrInhalt"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);

    auto *window = new QVBoxLayout(this);
    window->addWidget(scroll, 1);
    window->addLayout(bottom);
}

void F_Start::buildListBrowser()
{
    ListView1 = named(new QTreeWidget(this), QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setMinimumWidth(300);
    // The selected list is pale while the browser has no focus, so the clerk
    // sees where the keyboard works.
    QPalette browserColours = ListView1->palette();
    browserColours.setColor(
        QPalette::Inactive, QPalette::Highlight, browserColours.color(QPalette::Active, QPalette::Window).darker(115));
    browserColours.setColor(
        QPalette::Inactive, QPalette::HighlightedText, browserColours.color(QPalette::Active, QPalette::Text));
    ListView1->setPalette(browserColours);
}

QFrame *F_Start::buildSelectionFrame()
{
    // Date range, days, business year and list type share one frame.
    auto *selectionFrame = named(new QFrame(this), QStringLiteral("frmAuswahl"));
    lblListendatum = named(new QLabel(QStringLiteral("HAB-Datum:"), selectionFrame), QStringLiteral("lblListendatum"));
    txtVon = named(new QLineEdit(selectionFrame), QStringLiteral("txtVon"));
    lblAffbis = named(new QLabel(QStringLiteral("bis:"), selectionFrame), QStringLiteral("lblAffbis"));
    txtBis = named(new QLineEdit(selectionFrame), QStringLiteral("txtBis"));
    txLastDays = named(new QLineEdit(selectionFrame), QStringLiteral("txLastDays"));
    lblTage = named(new QLabel(QStringLiteral("Tage"), selectionFrame), QStringLiteral("lblTage"));
    for (QLineEdit *box : {txtVon, txtBis}) {
        box->setMaxLength(10);
        box->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
    }
    txLastDays->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);

    frmHHJ = named(new QFrame(selectionFrame), QStringLiteral("frmHHJ"));
    lblHHJahr = named(new QLabel(QStringLiteral("HHJahr:"), frmHHJ), QStringLiteral("lblHHJahr"));
    txt_Jahr = named(new QLineEdit(frmHHJ), QStringLiteral("txt_Jahr"));
    txt_Jahr->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    const QString designYears[]
        = {QStringLiteral("2008"), QStringLiteral("2000"), QStringLiteral("2000"), QStringLiteral("2000")};
    auto *yearLayout = new QHBoxLayout(frmHHJ);
    yearLayout->setContentsMargins(0, 0, 0, 0);
    yearLayout->addWidget(lblHHJahr);
    yearLayout->addWidget(txt_Jahr);
    for (int k = 0; k < 4; ++k) {
        btnJahr[k] = named(new QPushButton(designYears[k], frmHHJ), QStringLiteral("btnJahr(%1)").arg(k));
        // Enter on a focused year button presses it, not "Ausdruck".
        btnJahr[k]->setAutoDefault(true);
        yearLayout->addWidget(btnJahr[k]);
    }
    yearLayout->addStretch(1);

    lblListenart = named(new QLabel(QStringLiteral("Listenart:"), selectionFrame), QStringLiteral("lblListenart"));
    cmbListenart = named(new QComboBox(selectionFrame), QStringLiteral("cmbListenart"));
    cmbListenart->setMinimumContentsLength(18);

    auto *selectionLayout = new QGridLayout(selectionFrame);
    selectionLayout->setContentsMargins(0, 0, 0, 0);
    selectionLayout->addWidget(lblListendatum, 0, 0);
    auto *dates = new QHBoxLayout;
    dates->addWidget(txtVon);
    dates->addWidget(lblAffbis);
    dates->addWidget(txtBis);
    dates->addSpacing(12);
    dates->addWidget(txLastDays);
    dates->addWidget(lblTage);
    dates->addStretch(1);
    selectionLayout->addLayout(dates, 0, 1);
    selectionLayout->addWidget(frmHHJ, 1, 0, 1, 2);
    selectionLayout->addWidget(lblListenart, 2, 0);
    auto *types = new QHBoxLayout;
    types->addWidget(cmbListenart);
    types->addStretch(1);
    selectionLayout->addLayout(types, 2, 1);
    return selectionFrame;
}

QGroupBox *F_Start::buildLotBox()
{
    auto *lotBox = named(new QGroupBox(this), QStringLiteral("frmLose"));
    optLos[0] = named(new QRadioButton(QStringLiteral("&Lose"), lotBox), QStringLiteral("optLos(0)"));
    optLos[1] = named(new QRadioButton(QStringLiteral("&Polter"), lotBox), QStringLiteral("optLos(1)"));
    optLos[0]->setChecked(true);
    LbLos = named(new QListWidget(lotBox), QStringLiteral("LbLos"));
    LbLos->setSelectionMode(QAbstractItemView::MultiSelection);
    auto *lotLayout = new QVBoxLayout(lotBox);
    auto *lotModes = new QHBoxLayout;
    lotModes->addWidget(optLos[0]);
    lotModes->addWidget(optLos[1]);
    lotModes->addStretch(1);
    lotLayout->addLayout(lotModes);
    lotLayout->addWidget(LbLos);
    return lotBox;
}

QGroupBox *F_Start::buildSettingsBox()
{
    auto *settingsBox = named(new QGroupBox(QStringLiteral("Einstellungen"), this), QStringLiteral("frmEinstellungen"));
    // Mnemonics: each letter once in the window (A and S are the buttons').
    CbVerdichtet = named(new QCheckBox(QStringLiteral("&Verdichtet"), settingsBox), QStringLiteral("CbVerdichtet"));
    CbDruck = named(new QCheckBox(QStringLiteral("Sofort &drucken"), settingsBox), QStringLiteral("CbDruck"));
    CbEinzeln = named(new QCheckBox(QStringLiteral("&Einzeln"), settingsBox), QStringLiteral("CbEinzeln"));
    CbLosweise = named(new QCheckBox(QStringLiteral("L&osweise"), settingsBox), QStringLiteral("CbLosweise"));
    auto *settingsLayout = new QVBoxLayout(settingsBox);
    for (QCheckBox *box : {CbVerdichtet, CbDruck, CbEinzeln, CbLosweise})
        settingsLayout->addWidget(box);
    settingsLayout->addStretch(1);
    return settingsBox;
}

QGroupBox *F_Start::buildSortBox()
{
    auto *sortBox = named(new QGroupBox(QStringLiteral("Einzeln"), this), QStringLiteral("frmEinzeln"));
    RadWoEing = named(new QRadioButton(QStringLiteral("Sortiert nach &Waldort und Eingabefolge"), sortBox),
        QStringLiteral("RadWoEing"));
    RadWoListeLosStm = named(new QRadioButton(QStringLiteral("Sortiert nach Waldort, Los und Stm&Nr."), sortBox),
        QStringLiteral("RadWoListeLosStm"));
    RadListeLosWaldort = named(new QRadioButton(QStringLiteral("Sortiert nach Los, Waldort &und StmNr."), sortBox),
        QStringLiteral("RadListeLosWaldort"));
    RadEing
        = named(new QRadioButton(QStringLiteral("Sortiert nach Ein&gabefolge"), sortBox), QStringLiteral("RadEing"));
    RadSortiment = named(new QRadioButton(QStringLiteral("Sortiert nach Sor&timent, Los und StmNr."), sortBox),
        QStringLiteral("RadSortiment"));
    RadStammNummer = named(
        new QRadioButton(QStringLiteral("Sortiert nach Sta&mmnummer"), sortBox), QStringLiteral("RadStammNummer"));
    auto *sortLayout = new QVBoxLayout(sortBox);
    for (int v = 1; v <= 6; ++v)
        sortLayout->addWidget(sortButton(v));
    return sortBox;
}

QHBoxLayout *F_Start::buildButtonsAndStatus()
{
    B_OK = named(new QPushButton(QStringLiteral("&Ausdruck"), this), QStringLiteral("B_OK"));
    ButAbbrech = named(new QPushButton(QStringLiteral("&Schließen"), this), QStringLiteral("ButAbbrech"));
    // "Ausdruck" is the default: Enter anywhere but on another button or in
    // a text box prints (see keyPressEvent); Enter on "Schließen" closes.
    B_OK->setDefault(true);
    ButAbbrech->setAutoDefault(true);
    LbStatus = named(new QLabel(QStringLiteral("Bereit!"), this), QStringLiteral("LbStatus"));
    LbStatus->setFrameShape(QFrame::StyledPanel);
    LbStatus->setFrameShadow(QFrame::Sunken);
    LbStatus->setMinimumWidth(200);
    // A long status wraps rather than widening the window past the screen.
    LbStatus->setWordWrap(true);
    prgFortschritt = named(new QProgressBar(this), QStringLiteral("prgFortschritt"));
    prgFortschritt->setTextVisible(false);
    prgFortschritt->setMaximumWidth(160);
    prgFortschritt->hide();

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(LbStatus, 1);
    bottom->addWidget(prgFortschritt);
    bottom->addWidget(B_OK);
    bottom->addWidget(ButAbbrech);
    return bottom;
}

void F_Start::setTabOrder()
{
    // Selection from top to bottom, then the switches, then the buttons.
    QList<QWidget *> order = {txtVon, txtBis, txLastDays, txt_Jahr};
    for (QPushButton *b : btnJahr)
        order << b;
    order << cmbListenart << ListView1 << optLos[0] << optLos[1] << LbLos << CbVerdichtet << CbDruck << CbEinzeln
          << CbLosweise;
    for (int v = 1; v <= 6; ++v)
        order << sortButton(v);
    order << B_OK << ButAbbrech;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace tannbuch
