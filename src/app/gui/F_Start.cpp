#include "F_Start.h"

#include "app/gui/SingleInstance.h"
#include "app/TextLookup.h"
#include "app/WindowPositionStore.h"
#include "db/DbError.h"
#include "workbook/ReportLocale.h"
#include "workbook/gui/dlgVorlagen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QMessageBox>
#include <QTextStream>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

F_Start::F_Start(QWidget *parent)
    : QWidget(parent)
    , m_program(*this)
{
    setObjectName(QStringLiteral("F_Start"));
    buildLayout();
    setTabOrder();
    connect(ButAbbrech, &QPushButton::clicked, this, &F_Start::ButAbbrech_Click);
    connect(B_OK, &QPushButton::clicked, this, &F_Start::B_OK_Click);
    for (int k = 0; k < 4; ++k)
        connect(btnJahr[k], &QPushButton::clicked, this, [this, k] { btnJahr_Click(k); });
}

F_Start::~F_Start()
{
    Form_Unload();
}

QString F_Start::caption()
{
    return QStringLiteral("Quelt32-Listenausdruck V ") + QStringLiteral(TANNBUCH_VERSION);
}

bool F_Start::isUnattended() const
{
    return m_program.values().isUnattended();
}

void F_Start::Form_Load(const QString &commandLine)
{
    setWindowTitle(caption());

    // A second instance brings the first one to the front and ends. Run by
    // the host for unattended printing it must not pass for a print, so it
    // says so and fails.
    m_instance = std::make_unique<SingleInstance>(caption());
    if (!m_instance->claim()) {
        m_secondInstance = true;
        if (SplitCommandLine(commandLine).isUnattended()) {
            QTextStream(stderr) << QStringLiteral("Tannbuch: Das Programm läuft bereits; "
                                                  "es wurde nichts gedruckt.")
                                << Qt::endl;
            m_program.markFailed();
        }
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
        // No database: the window stays open without lists; an unattended
        // run has nothing to print and ends.
        if (isUnattended())
            ButAbbrech_Click();
        return;
    }

    InitSelectionControls();
    setTopmost(true);

    if (isUnattended()) {
        B_OK_Click();
        ButAbbrech_Click();
    }
}

void F_Start::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_ended = true;
    m_program.shutDown();
    if (!m_secondInstance)
        SaveWindowPosition();
}

int F_Start::exitCode() const
{
    return m_program.hasFailed() ? 1 : 0;
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
    // The print request comes with the list selection.
}

void F_Start::btnJahr_Click(int index)
{
    txt_Jahr->setText(btnJahr[index]->text());
    txtVon->clear();
    txtBis->clear();
}

void F_Start::InitSelectionControls()
{
    const ReportSettings &settings = m_program.settings();
    QRadioButton *sort = sortButton(settings.EinzSort);
    (sort ? sort : RadWoEing)->setChecked(true);

    const std::pair<QCheckBox *, qint16> boxes[] = {{CbDruck, settings.lSofortDruck},
                                                    {CbEinzeln, settings.lEinzeln},
                                                    {CbVerdichtet, settings.lVerdichtet},
                                                    {CbLosweise, settings.lLosweise}};
    for (const auto &[box, value] : boxes) {
        // 2 is the greyed state; any other non-zero value means on.
        box->setCheckState(value == 0 ? Qt::Unchecked : value == 2 ? Qt::PartiallyChecked : Qt::Checked);
    }

    Connection &db = m_program.connection();
    const QString column = m_program.values().businessYearColumn;
    if (column.isEmpty()) {
        txLastDays->setText(QString::number(settings.LetztenTage));
        bool ok = false;
        int days = txLastDays->text().trimmed().toInt(&ok);
        if (!ok)
            days = 0;
        const QDate today = QDate::currentDate();
        txtVon->setText(today.addDays(-days).toString(QStringLiteral("dd.MM.yyyy")));
        txtBis->setText(today.toString(QStringLiteral("dd.MM.yyyy")));
        frmHHJ->hide();
    } else {
        QString year;
        try {
            Recordset rs = db.execute(QStringLiteral("select TOP 1 KURZNAME from RELTABLE where RELTABLE_ID = ")
                                      + column.right(1)
                                      + QStringLiteral(" AND ISNULL(DISABLE,0) = 0 AND ISNUMERIC(KURZNAME) = 1 "
                                                       "ORDER BY KURZNAME DESC"));
            if (!rs.eof())
                year = rs.text(QStringLiteral("KURZNAME")).trimmed();
        } catch (const DbError &) {
            // Without the table the year falls back to the calendar.
        }
        bool numeric = false;
        const int value = int(year.toDouble(&numeric));
        const int first = numeric ? value : QDate::currentDate().addMonths(4).year();
        for (int k = 0; k < 4; ++k)
            btnJahr[k]->setText(QString::number(first - k));
        btnJahr_Click(0);
        try {
            lblHHJahr->setText(GetRelTableCaption(db, column));
        } catch (const DbError &) {
        }
    }
    try {
        lblListendatum->setText(GetString(db, 727));
    } catch (const DbError &) {
    }
}

void F_Start::RestoreWindowPosition()
{
    QPoint p = pos();
    if (const auto x = WindowPositionStore::storedX())
        p.setX(*x);
    if (const auto y = WindowPositionStore::storedY())
        p.setY(*y);
    move(p);
}

void F_Start::SaveWindowPosition()
{
    WindowPositionStore::store(pos());
}

void F_Start::setTopmost(bool on)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing the flags hides a shown window; show it again where it was.
    if (visible)
        show();
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
    if (isUnattended()) {
        QTextStream(stderr) << QStringLiteral("Tannbuch: ") << text << Qt::endl;
        return;
    }
    QMessageBox::information(isVisible() ? this : nullptr, QApplication::applicationName(), text, QMessageBox::Ok);
}

QString F_Start::chooseTemplate(const QStringList &templates)
{
    return dlgVorlagen::choose(templates, isVisible() ? this : nullptr);
}

void F_Start::showStatus(const QString &text)
{
    LbStatus->setText(text);
    LbStatus->repaint();
}

QRadioButton *F_Start::sortButton(int einzSort) const
{
    QRadioButton *const buttons[] = {RadWoEing, RadWoListeLosStm, RadListeLosWaldort,
                                     RadEing,   RadSortiment,     RadStammNummer};
    return einzSort >= 1 && einzSort <= 6 ? buttons[einzSort - 1] : nullptr;
}

void F_Start::buildLayout()
{
    // List browser.
    ListView1 = named(new QTreeWidget(this), QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setMinimumWidth(300);

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
    const QString designYears[] = {QStringLiteral("2008"), QStringLiteral("2000"), QStringLiteral("2000"),
                                   QStringLiteral("2000")};
    auto *yearLayout = new QHBoxLayout(frmHHJ);
    yearLayout->setContentsMargins(0, 0, 0, 0);
    yearLayout->addWidget(lblHHJahr);
    yearLayout->addWidget(txt_Jahr);
    for (int k = 0; k < 4; ++k) {
        btnJahr[k] = named(new QPushButton(designYears[k], frmHHJ), QStringLiteral("btnJahr(%1)").arg(k));
        btnJahr[k]->setAutoDefault(false);
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

    // Lots or piles of the chosen list.
    auto *lotBox = named(new QGroupBox(this), QStringLiteral("frmLose"));
    optLos[0] = named(new QRadioButton(QStringLiteral("Lose"), lotBox), QStringLiteral("optLos(0)"));
    optLos[1] = named(new QRadioButton(QStringLiteral("Polter"), lotBox), QStringLiteral("optLos(1)"));
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

    // Report switches.
    auto *settingsBox = named(new QGroupBox(QStringLiteral("Einstellungen"), this), QStringLiteral("frmEinstellungen"));
    CbVerdichtet = named(new QCheckBox(QStringLiteral("Verdichtet"), settingsBox), QStringLiteral("CbVerdichtet"));
    CbDruck = named(new QCheckBox(QStringLiteral("Sofort drucken"), settingsBox), QStringLiteral("CbDruck"));
    CbEinzeln = named(new QCheckBox(QStringLiteral("Einzeln"), settingsBox), QStringLiteral("CbEinzeln"));
    CbLosweise = named(new QCheckBox(QStringLiteral("Losweise"), settingsBox), QStringLiteral("CbLosweise"));
    auto *settingsLayout = new QVBoxLayout(settingsBox);
    for (QCheckBox *box : {CbVerdichtet, CbDruck, CbEinzeln, CbLosweise}) {
        box->setTristate(true);
        settingsLayout->addWidget(box);
    }
    settingsLayout->addStretch(1);

    // Sort order of the single-log section.
    auto *sortBox = named(new QGroupBox(QStringLiteral("Einzeln"), this), QStringLiteral("frmEinzeln"));
    RadWoEing = named(new QRadioButton(QStringLiteral("Sortiert nach Waldort und Eingabefolge"), sortBox),
                      QStringLiteral("RadWoEing"));
    RadWoListeLosStm = named(new QRadioButton(QStringLiteral("Sortiert nach Waldort, Los und StmNr."), sortBox),
                             QStringLiteral("RadWoListeLosStm"));
    RadListeLosWaldort = named(new QRadioButton(QStringLiteral("Sortiert nach Los, Waldort und StmNr."), sortBox),
                               QStringLiteral("RadListeLosWaldort"));
    RadEing = named(new QRadioButton(QStringLiteral("Sortiert nach Eingabefolge"), sortBox), QStringLiteral("RadEing"));
    RadSortiment = named(new QRadioButton(QStringLiteral("Sortiert nach Sortiment, Los und StmNr."), sortBox),
                         QStringLiteral("RadSortiment"));
    RadStammNummer = named(new QRadioButton(QStringLiteral("Sortiert nach Stammnummer"), sortBox),
                           QStringLiteral("RadStammNummer"));
    auto *sortLayout = new QVBoxLayout(sortBox);
    for (int v = 1; v <= 6; ++v)
        sortLayout->addWidget(sortButton(v));

    // Buttons and status line.
    B_OK = named(new QPushButton(QStringLiteral("Ausdruck"), this), QStringLiteral("B_OK"));
    ButAbbrech = named(new QPushButton(QStringLiteral("Schließen"), this), QStringLiteral("ButAbbrech"));
    B_OK->setAutoDefault(false);
    ButAbbrech->setAutoDefault(false);
    LbStatus = named(new QLabel(QStringLiteral("Bereit!"), this), QStringLiteral("LbStatus"));
    LbStatus->setFrameShape(QFrame::StyledPanel);
    LbStatus->setFrameShadow(QFrame::Sunken);
    LbStatus->setMinimumWidth(200);

    // The template search of the report workbook; not shown.
    flbVorlagen = named(new QListWidget(this), QStringLiteral("flbVorlagen"));
    flbVorlagen->hide();

    auto *grid = new QGridLayout(this);
    grid->addWidget(selectionFrame, 0, 0, 1, 2);
    grid->addWidget(ListView1, 1, 0);
    grid->addWidget(lotBox, 1, 1);
    grid->addWidget(settingsBox, 2, 0);
    grid->addWidget(sortBox, 2, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(LbStatus, 1);
    bottom->addWidget(B_OK);
    bottom->addWidget(ButAbbrech);
    grid->addLayout(bottom, 3, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(1, 1);
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
