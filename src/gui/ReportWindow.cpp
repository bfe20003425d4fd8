#include "ReportWindow.h"

#include "gui/PagePrinter.h"
#include "gui/SheetView.h"
#include "report/ProgramUi.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/print/ReportPrinter.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <exception>
#include <functional>

namespace tannbuch {

namespace {

bool offscreen()
{
    return QGuiApplication::platformName() == QStringLiteral("offscreen");
}

QString withSuffix(QString path, const QString &suffix)
{
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    return path;
}

} // namespace

ReportWindow::ReportWindow(Application &xl, Workbook &book, ProgramUi &ui, QWidget *parent)
    : QMainWindow(parent)
    , m_xl(xl)
    , m_book(book)
    , m_ui(ui)
    , m_tabs(new QTabWidget(this))
{
    setObjectName(QStringLiteral("ReportWindow"));
    setWindowTitle(QStringLiteral("Tannbuch – Bericht"));
    m_tabs->setObjectName(QStringLiteral("tabSheets"));
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->setDocumentMode(true);
    setCentralWidget(m_tabs);

    auto action
        = [this](const char *name, const QString &text, const QKeySequence &keys, const std::function<void()> &work) {
              auto *a = new QAction(text, this);
              a->setObjectName(QLatin1String(name));
              a->setShortcut(keys);
              connect(a, &QAction::triggered, this, work);
              return a;
          };
    actSpeichernUnter = action("actSpeichernUnter", QStringLiteral("&Speichern unter ..."),
        QKeySequence(Qt::CTRL | Qt::Key_S), [this] { askSaveAs(); });
    actPdf = action("actPdf", QStringLiteral("Als &PDF exportieren ..."), QKeySequence(Qt::CTRL | Qt::Key_E),
        [this] { askExportPdf(); });
    actDrucken = action(
        "actDrucken", QStringLiteral("&Drucken ..."), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { askPrint(); });
    actTabellenkalkulation = action("actTabellenkalkulation", QStringLiteral("In &Tabellenkalkulation öffnen"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this] { openInSpreadsheet(); });
    actSchliessen = action(
        "actSchliessen", QStringLiteral("S&chließen"), QKeySequence(Qt::CTRL | Qt::Key_W), [this] { close(); });

    QMenu *file = menuBar()->addMenu(QStringLiteral("&Datei"));
    file->addActions({actSpeichernUnter, actPdf, actDrucken, actTabellenkalkulation});
    file->addSeparator();
    file->addAction(actSchliessen);
    QToolBar *bar = addToolBar(QStringLiteral("Bericht"));
    bar->setObjectName(QStringLiteral("tbBericht"));
    bar->setMovable(false);
    bar->addActions({actSpeichernUnter, actPdf, actDrucken, actTabellenkalkulation, actSchliessen});

    buildSheets();
    // Its size on a large screen; a smaller screen gets it smaller (the
    // owner fits it in before showing it).
    resize(1100, 750);
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::buildSheets()
{
    const int current = m_tabs->currentIndex();
    while (m_tabs->count() > 0) {
        QWidget *page = m_tabs->widget(0);
        m_tabs->removeTab(0);
        delete page;
    }
    for (int i = 0; i < m_book.sheetCount(); ++i) {
        auto *view = new SheetView(m_tabs);
        view->setObjectName(QStringLiteral("SheetView(%1)").arg(i));
        view->setSheet(&m_book, &m_book.sheet(i));
        connect(view, &SheetView::hyperlinkActivated, this, &ReportWindow::openLink);
        m_tabs->addTab(view, m_book.sheet(i).name());
    }
    m_tabs->setCurrentIndex(current >= 0 && current < m_tabs->count() ? current : m_book.activeSheetIndex());
}

void ReportWindow::refresh(const QString &defaultFilePath)
{
    m_defaultPath = defaultFilePath;
    statusBar()->showMessage(QDir::toNativeSeparators(QFileInfo(defaultFilePath).fileName()));
    buildSheets();
}

SheetView *ReportWindow::sheetView(int index) const
{
    return qobject_cast<SheetView *>(m_tabs->widget(index));
}

void ReportWindow::openLink(const QString &address)
{
    if (address.startsWith(QLatin1Char('#'))) {
        // A place in the workbook: "#Sheet!A1" shows that sheet.
        const QString sheet = address.mid(1).section(QLatin1Char('!'), 0, 0).remove(QLatin1Char('\''));
        const int index = m_book.sheetIndex(sheet);
        if (index >= 0)
            m_tabs->setCurrentIndex(index);
        return;
    }
    if (!offscreen() && !QDesktopServices::openUrl(QUrl(address)))
        m_ui.showMessage(QStringLiteral("Der Verweis kann nicht geöffnet werden: %1").arg(address));
}

bool ReportWindow::saveAs(QString path)
{
    path = withSuffix(path, QStringLiteral(".xlsx"));
    try {
        m_xl.saveWorkbookAs(m_book, path);
    } catch (const WorkbookError &e) {
        m_ui.showMessage(QStringLiteral("Der Bericht konnte nicht gespeichert werden.\n") + e.message());
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Gespeichert: ") + QDir::toNativeSeparators(path));
    return true;
}

int ReportWindow::runInBackground(
    const QString &label, const std::function<bool(const ReportPrinter::Progress &)> &work, QString &error)
{
    if (m_busy) {
        error = QStringLiteral("Es läuft bereits eine Ausgabe.");
        return -1;
    }
    m_busy = true;
    m_cancel = false;
    std::atomic<int> done = 0;
    std::atomic<int> total = 0;
    int result = -1;
    QString failure;
    // The worker only reads the workbook; the dialog is application modal,
    // so no report can change it meanwhile.
    QThread *worker = QThread::create([&] {
        const ReportPrinter::Progress progress = [&](int d, int t) {
            done = d;
            total = t;
            return !m_cancel.load();
        };
        try {
            result = work(progress) ? 1 : 0;
        } catch (const WorkbookError &e) {
            failure = e.message();
        } catch (const std::exception &e) {
            // Nothing may leave the worker thread; the user learns what happened.
            failure = QString::fromLocal8Bit(e.what());
        }
    });

    QProgressDialog dialog(label, QStringLiteral("Abbrechen"), 0, 0, this);
    dialog.setObjectName(QStringLiteral("dlgFortschritt"));
    dialog.setWindowTitle(QStringLiteral("Tannbuch"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    connect(&dialog, &QProgressDialog::canceled, this, [this, &dialog] {
        m_cancel = true;
        dialog.setLabelText(QStringLiteral("Wird abgebrochen ..."));
    });
    QTimer tick;
    connect(&tick, &QTimer::timeout, &dialog, [&] {
        if (total > 0 && !m_cancel) {
            dialog.setMaximum(total);
            dialog.setValue(std::min(done.load(), total.load()));
            dialog.setLabelText(QStringLiteral("%1 (Seite %2 von %3)").arg(label).arg(done.load()).arg(total.load()));
        }
    });
    QEventLoop loop;
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    for (QAction *a : {actSpeichernUnter, actPdf, actDrucken, actTabellenkalkulation})
        a->setEnabled(false);
    tick.start(50);
    dialog.show();
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    tick.stop();
    dialog.hide();
    for (QAction *a : {actSpeichernUnter, actPdf, actDrucken, actTabellenkalkulation})
        a->setEnabled(true);
    m_busy = false;
    error = failure;
    return failure.isEmpty() ? result : -1;
}

bool ReportWindow::exportPdf(QString path)
{
    path = withSuffix(path, QStringLiteral(".pdf"));
    QString error;
    const QString saved = m_xl.savedPath(m_book);
    const int result = runInBackground(
        QStringLiteral("PDF wird geschrieben"),
        [&](const ReportPrinter::Progress &progress) {
            return ReportPrinter::exportPdf(m_book, path, progress, saved);
        },
        error);
    if (result < 0) {
        m_ui.showMessage(QStringLiteral("Der Bericht konnte nicht als PDF exportiert werden.\n") + error);
        return false;
    }
    if (result == 0) {
        statusBar()->showMessage(QStringLiteral("PDF-Export abgebrochen."));
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Exportiert: ") + QDir::toNativeSeparators(path));
    return true;
}

bool ReportWindow::printReport(const QString &printer, int copies, bool collate)
{
    QString error;
    const QString saved = m_xl.savedPath(m_book);
    const int result = runInBackground(
        QStringLiteral("Bericht wird gedruckt"),
        [&](const ReportPrinter::Progress &progress) {
            return PagePrinter::printWorkbook(m_book, printer, copies, collate, progress, saved);
        },
        error);
    if (result < 0) {
        m_ui.showMessage(QStringLiteral("Beim Ausdruck ist ein Fehler aufgetreten. ") + error);
        return false;
    }
    if (result == 0) {
        statusBar()->showMessage(QStringLiteral("Druck abgebrochen."));
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Gedruckt."));
    return true;
}

QString ReportWindow::openInSpreadsheet()
{
    // The folder stays: the spreadsheet program may still read the copy when
    // this program has ended.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/Tannbuch-XXXXXX"));
    if (!folder.isValid()) {
        m_ui.showMessage(QStringLiteral("Der Bericht konnte nicht geöffnet werden: Es ließ sich kein temporärer "
                                        "Ordner anlegen."));
        return QString();
    }
    folder.setAutoRemove(false);
    QString name = QFileInfo(m_defaultPath).fileName();
    if (name.isEmpty())
        name = QStringLiteral("Holzliste.xlsx");
    const QString path = folder.filePath(name);
    try {
        // Only the copy is written: a file the clerk saved keeps what it holds.
        m_xl.saveWorkbookCopy(m_book, path);
    } catch (const WorkbookError &e) {
        m_ui.showMessage(QStringLiteral("Der Bericht konnte nicht geöffnet werden.\n") + e.message());
        return QString();
    }
    launchSpreadsheet(path);
    return path;
}

void ReportWindow::launchSpreadsheet(const QString &path)
{
    // A site (or a test) may name its own program; it gets the copy's path
    // as its last argument and runs on its own.
    QStringList command = QProcess::splitCommand(qEnvironmentVariable("TANNBUCH_OPEN_COMMAND").trimmed());
    if (!command.isEmpty()) {
        const QString program = command.takeFirst();
        if (!QProcess::startDetached(program, command << path))
            m_ui.showMessage(QStringLiteral("Das Programm \"%1\" für Tabellen kann nicht gestartet werden. Der "
                                            "Bericht liegt unter %2.")
                                 .arg(program, QDir::toNativeSeparators(path)));
        return;
    }
    if (!offscreen() && !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        m_ui.showMessage(QStringLiteral("Für Tabellen ist kein Programm eingerichtet. Der Bericht liegt unter %1.")
                             .arg(QDir::toNativeSeparators(path)));
    }
}

void ReportWindow::askSaveAs()
{
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Speichern unter"), m_defaultPath, QStringLiteral("Arbeitsmappe (*.xlsx)"));
    if (!path.isEmpty())
        saveAs(path);
}

void ReportWindow::askExportPdf()
{
    QString suggestion = m_defaultPath;
    if (suggestion.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        suggestion.chop(5);
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF exportieren"),
        suggestion + QStringLiteral(".pdf"), QStringLiteral("PDF-Dokument (*.pdf)"));
    if (!path.isEmpty())
        exportPdf(path);
}

void ReportWindow::askPrint()
{
    // Without any printer there is nothing to choose: the clerk gets the
    // message printing would give.
    if (QPrinterInfo::availablePrinterNames().isEmpty()
        && qEnvironmentVariable("TANNBUCH_PRINT_COMMAND").trimmed().isEmpty()) {
        m_ui.showMessage(
            QStringLiteral("Beim Ausdruck ist ein Fehler aufgetreten. ") + PagePrinter::noPrinterMessage());
        return;
    }
    PrintOptionsDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        printReport(dialog.printer(), dialog.copies(), dialog.collate());
}

void ReportWindow::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        // The worker still reads the workbook: stop it first, close after.
        m_cancel = true;
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

PrintOptionsDialog::PrintOptionsDialog(QWidget *parent)
    : QDialog(parent)
    , cmbDrucker(new QComboBox(this))
    , spnKopien(new QSpinBox(this))
    , chkSortieren(new QCheckBox(QStringLiteral("Sortieren"), this))
{
    setObjectName(QStringLiteral("PrintOptionsDialog"));
    setWindowTitle(QStringLiteral("Drucken"));
    cmbDrucker->setObjectName(QStringLiteral("cmbDrucker"));
    spnKopien->setObjectName(QStringLiteral("spnKopien"));
    chkSortieren->setObjectName(QStringLiteral("chkSortieren"));

    for (const auto &[label, name] :
        PagePrinter::printerChoices(QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName()))
        cmbDrucker->addItem(label, name);
    spnKopien->setRange(1, 999);
    spnKopien->setValue(1);
    chkSortieren->setChecked(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Drucken"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Drucker:"), cmbDrucker);
    form->addRow(QStringLiteral("Exemplare:"), spnKopien);
    form->addRow(QString(), chkSortieren);
    form->addRow(buttons);
}

QString PrintOptionsDialog::printer() const
{
    return cmbDrucker->currentData().toString();
}

int PrintOptionsDialog::copies() const
{
    return spnKopien->value();
}

bool PrintOptionsDialog::collate() const
{
    return chkSortieren->isChecked();
}

} // namespace tannbuch
