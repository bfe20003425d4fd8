#include "F_Start.h"

#include "app/DateKeyFilter.h"
#include "app/UnattendedPrint.h"
#include "app/WindowPositionStore.h"
#include "db/DbError.h"
#include "gui/MnemonicCaption.h"
#include "gui/PagePrinter.h"
#include "gui/ReportWindow.h"
#include "gui/SingleInstance.h"
#include "gui/WindowFit.h"
#include "gui/dlgVorlagen.h"
#include "report/TextLookup.h"
#include "report/driver/ReportDriver.h"
#include "selection/LastDaysRange.h"
#include "selection/ListViewRows.h"
#include "selection/SelectionQueries.h"
#include "text/DateText.h"
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
        connect(btnJahr[k], &QPushButton::clicked, this, [this, k] { guarded([this, k] { btnJahr_Click(k); }); });
    connect(txLastDays, &QLineEdit::textChanged, this, [this] { guarded([this] { txLastDays_Change(); }); });
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        // Whichever way the selected list changes (mouse, keyboard, cleared),
        // the pickers follow; filling the browser refreshes them itself.
        if (!m_fillingListView)
            guarded([this] { ListView1_ItemClick(); });
    });
    for (QRadioButton *mode : optLos)
        connect(mode, &QRadioButton::clicked, this, [this] { guarded([this] { FillLotList(); }); });
    connect(cmbListenart, &QComboBox::activated, this, [this] { guarded([this] { FillLotList(); }); });
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
    guarded([this] { printRequest(); });
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

PrintRequest F_Start::requestFromControls() const
{
    PrintRequest request;
    request.listNumber = listNumber();
    // Before the selection controls are prepared no sort button is checked;
    // the template's sort order stands then.
    request.sortOrder = m_program.settings().EinzSort;
    request.listTypeText = cmbListenart->currentText();
    request.lotMode = optLos[1]->isChecked() ? LotMode::Piles : LotMode::Lots;
    for (int i = 0; i < LbLos->count(); ++i) {
        const QListWidgetItem *entry = LbLos->item(i);
        request.shownEntries << entry->text();
        if (entry->isSelected())
            request.markedEntries << entry->text();
    }
    for (int v = 1; v <= 6; ++v) {
        if (sortButton(v)->isChecked())
            request.sortOrder = qint16(v);
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
    request.lLosweise = value(CbLosweise);
    request.lSofortDruck = value(CbDruck);
    request.lEinzeln = value(CbEinzeln);
    request.lVerdichtet = value(CbVerdichtet);
    request.provisionName = m_program.values().provisionName;
    request.saveFolder = m_program.values().saveFolder;
    return request;
}

void F_Start::printRequest()
{
    // Switches that never had a template's values (the template choice was
    // cancelled at start-up) take them from the template opened now, before
    // the request is read from them; a choice cancelled again prints nothing.
    if (!m_switchesFromTemplate) {
        if (!m_program.hasReportWorkbook())
            m_program.OpenReportWorkbook();
        if (!m_program.hasReportWorkbook())
            return;
        setSwitchesFromSettings();
    }
    const PrintOutcome outcome = RunPrintJob(m_program, requestFromControls());
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
        ? ReportFileName(QStringLiteral("Holzliste"), m_program.printSelection().listNumber)
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
    txt_Jahr->setText(btnJahr[index]->text());
    txtVon->clear();
    txtBis->clear();
    dateBox_LostFocus(txtVon, m_rememberedVon);
    dateBox_LostFocus(txtBis, m_rememberedBis);
    FillListView();
}

void F_Start::setSwitchesFromSettings()
{
    const ReportSettings &settings = m_program.settings();
    QRadioButton *sort = sortButton(settings.EinzSort);
    (sort ? sort : RadWoEing)->setChecked(true);

    const std::pair<QCheckBox *, qint16> boxes[] = {{CbDruck, settings.lSofortDruck}, {CbEinzeln, settings.lEinzeln},
        {CbVerdichtet, settings.lVerdichtet}, {CbLosweise, settings.lLosweise}};
    for (const auto &[box, value] : boxes) {
        // 2 is the greyed state; any other non-zero value means on. Only a
        // greyed box offers the third state, until it is first clicked.
        box->setTristate(value == 2);
        box->setCheckState(value == 0 ? Qt::Unchecked : value == 2 ? Qt::PartiallyChecked : Qt::Checked);
    }
    // Without a template (the choice was cancelled) the switches wait for
    // the one "Ausdruck" opens.
    m_switchesFromTemplate = m_program.hasReportWorkbook();
}

void F_Start::InitSelectionControls()
{
    setSwitchesFromSettings();

    Connection &db = m_program.connection();
    const QString column = m_program.values().businessYearColumn;
    if (column.isEmpty()) {
        // Writing the days box runs its change event: the list is read once
        // with the date boxes still empty, then the range follows the days.
        {
            m_preparingControls = true;
            const auto prepared = qScopeGuard([this] { m_preparingControls = false; });
            txLastDays->setText(QString::number(m_program.settings().LetztenTage));
        }
        const QDate today = QDate::currentDate();
        const DateRange range = LastDaysRange(txLastDays->text(), QString(), today)
                                    .value_or(DateRange{DateText::format(today), DateText::format(today)});
        txtVon->setText(range.from);
        txtBis->setText(range.to);
        frmHHJ->hide();
    } else {
        int first = 0;
        try {
            first = NewestBusinessYear(db, column, QDate::currentDate());
        } catch (const DbError &) {
            // Without the table the year falls back to the calendar.
            first = BusinessYearOrFallback(QString(), QDate::currentDate());
        }
        for (int k = 0; k < 4; ++k)
            btnJahr[k]->setText(QString::number(first - k));
        btnJahr_Click(0);
        try {
            setCaption(lblHHJahr, GetRelTableCaption(db, column));
        } catch (const DbError &) {
            // The caption as designed stays.
        }
    }
    try {
        setCaption(lblListendatum, GetString(db, 727));
    } catch (const DbError &) {
        // The caption as designed stays.
    }
    // Filling the list browser has filled the list types and lots as well,
    // so the command line's list type narrows the report as it narrows the
    // list browser.
    FillListView();
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

void F_Start::FillListView()
{
    Connection &db = m_program.connection();
    const QList<ListViewColumn> columns = ListViewColumns(GetString(db, 726));

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

    const StartupValues &values = m_program.values();
    ListViewQuery query;
    query.businessYearColumn = values.businessYearColumn;
    query.year = txt_Jahr->text();
    query.listNumber = values.listNumber;
    query.listTypeNumber = values.listTypeNumber;
    query.accessLevelFilter = m_program.accessLevelFilter();
    query.dateFrom = txtVon->text();
    query.dateTo = txtBis->text();
    const QList<ListViewRow> rows = ReadListViewRows(db, ListViewStatement(query), m_program.kubaturFormat());

    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const ListViewRow &row : rows) {
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
    if (!items.isEmpty()) {
        ListView1->setCurrentItem(items.first());
        items.first()->setSelected(true);
    }
    m_fillingListView = false;
    showListFound(!items.isEmpty());
    // The selected list is another one now (or none): its list types and lots.
    refreshPickers();
}

void F_Start::showListFound(bool found)
{
    // The host's list fixes the browser to that list: when the browser
    // stays empty, the status line says so instead of "Bereit!".
    const StartupValues &values = m_program.values();
    if (values.listNumber.isEmpty())
        return;
    if (!found) {
        const QString year = values.businessYearColumn.isEmpty() ? QString() : txt_Jahr->text();
        LbStatus->setText(
            ListNotFoundText(values.listNumber, values.listTypeNumber, PlainCaption(m_captions.value(lblHHJahr)), year)
            + u'.');
        m_listNotFoundShown = true;
    } else if (m_listNotFoundShown) {
        LbStatus->setText(QStringLiteral("Bereit!"));
        m_listNotFoundShown = false;
    }
}

void F_Start::refreshPickers()
{
    FillListTypes();
    // Setting the list types refilled the lots; without list types it did not.
    if (cmbListenart->count() == 0)
        FillLotList();
}

QString F_Start::listNumber() const
{
    QString list;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = ListView1->topLevelItem(i);
        if (item->isSelected())
            list = item->text(0);
    }
    return list;
}

void F_Start::FillLotList()
{
    LbLos->clear();
    const QString list = listNumber();
    if (list.isEmpty())
        return;
    const LotMode mode = optLos[1]->isChecked() ? LotMode::Piles : LotMode::Lots;
    LbLos->addItems(
        SortedLotEntries(ReadLotEntries(m_program.connection(), mode, list.trimmed(), cmbListenart->currentText())));
}

void F_Start::FillListTypes()
{
    const QString list = listNumber().trimmed();
    {
        const QSignalBlocker quiet(cmbListenart);
        cmbListenart->clear();
    }
    const QStringList texts = ReadListTypeTexts(m_program.connection(), list, m_program.values().listTypeNumber);
    // Without list types the row is greyed, not hidden, so the layout keeps still.
    cmbListenart->setEnabled(!texts.isEmpty());
    lblListenart->setEnabled(!texts.isEmpty());
    if (texts.isEmpty())
        return;
    {
        const QSignalBlocker quiet(cmbListenart);
        cmbListenart->addItems(texts);
        cmbListenart->setCurrentIndex(0);
    }
    // The box's text changed: the picker follows the list type.
    FillLotList();
}

void F_Start::ListView1_ItemClick()
{
    FillLotList();
    FillListTypes();
}

void F_Start::txLastDays_Change()
{
    // In date mode the days box asks for the lists of that many days up to
    // the to-date (up to today when it is empty); a box that is not a count
    // leaves the dates as they are. While start-up prepares the controls the
    // dates are set after the box.
    if (!m_preparingControls && m_program.values().businessYearColumn.isEmpty()) {
        if (const std::optional<DateRange> range
            = LastDaysRange(txLastDays->text(), txtBis->text(), QDate::currentDate())) {
            txtVon->setText(range->from);
            txtBis->setText(range->to);
        }
    }
    FillListView();
}

void F_Start::txt_Jahr_LostFocus()
{
    FillListView();
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

void F_Start::dateBox_LostFocus(QLineEdit *box, QString &remembered)
{
    const QString text = box->text();
    if (!text.isEmpty()) {
        const std::optional<QDate> date = DateText::parse(text, QDate::currentDate());
        if (!date) {
            // The clerk learns which box holds what and how a date is written.
            showMessage(QStringLiteral("Ungültige Daten: „%1“ im Feld „%2“ ist kein Datum der Form TT.MM.JJJJ.")
                            .arg(text, dateBoxName(box)));
            box->setFocus(Qt::OtherFocusReason);
            return;
        }
        box->setText(DateText::format(*date));
    }
    // Leaving a box unchanged does not reload the list.
    if (box->text() != remembered)
        FillListView();
    remembered = box->text();
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
        if (box == txtVon)
            guarded([this] { dateBox_LostFocus(txtVon, m_rememberedVon); });
        else if (box == txtBis)
            guarded([this] { dateBox_LostFocus(txtBis, m_rememberedBis); });
        else if (box == txt_Jahr)
            guarded([this] { txt_Jahr_LostFocus(); });
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
    return dlgVorlagen::choose(templates, isVisible() ? this : nullptr);
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

    // The template search of the report workbook; not shown.
    flbVorlagen = named(new QListWidget(this), QStringLiteral("flbVorlagen"));
    flbVorlagen->hide();
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
