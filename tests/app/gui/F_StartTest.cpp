#include "gui/F_Start.h"
#include "app/UnattendedLock.h"
#include "gui/MnemonicCaption.h"
#include "gui/ReportWindow.h"
#include "gui/WindowFit.h"
#include "gui/dlgVorlagen.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QLockFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "RecordingWindow.h"
#include "common/QtPrinters.h"
#include "common/WorkbookCompare.h"

#include <gtest/gtest.h>

namespace tannbuch {

namespace {

// The main window with its messages and template questions recorded instead
// of shown.
class TestWindow : public F_Start
{
public:
    QStringList messages;
    QList<QStringList> offered;
    int choice = 0;

protected:
    QString askTemplate(const QStringList &templates) override
    {
        offered << templates;
        return templates.value(choice);
    }
    void present(const QString &text, bool) override { messages << text; }
};

QString demoText(int id)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(TANNBUCH_DEMO_DB, &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT COALESCE(NULLIF(TRIM(CUSTOM_GERMAN),''), TRIM(GERMAN)) FROM STRINGS WHERE ID_STRING = ?", -1, &stmt,
        nullptr);
    sqlite3_bind_int(stmt, 1, id);
    QString text;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return text;
}

} // namespace

using namespace demofiles;

TEST(F_Start, StartsWithTheDemoIniInBusinessYearMode)
{
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    ASSERT_FALSE(w.hasEnded()) << w.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(w.windowTitle(), QStringLiteral("Quelt32-Listenausdruck V " TANNBUCH_VERSION));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.program().isConnected());

    // Two templates in the demo folder: the user is asked, the first is offered first.
    ASSERT_EQ(w.offered.size(), 1);
    EXPECT_EQ(
        w.offered.first(), QStringList({QStringLiteral("Tannbuch.xltx"), QStringLiteral("Tannbuch_Losweise.xltx")}));
    EXPECT_EQ(w.program().templateFileName(), QStringLiteral("Tannbuch.xltx"));

    // Business year from the newest open numeric year, caption from the text table.
    EXPECT_FALSE(control<QFrame>(w, "frmHHJ")->isHidden());
    EXPECT_EQ(w.findChild<QPushButton *>(QStringLiteral("btnJahr(0)"))->text(), QStringLiteral("2026"));
    EXPECT_EQ(w.findChild<QPushButton *>(QStringLiteral("btnJahr(3)"))->text(), QStringLiteral("2023"));
    EXPECT_EQ(control<QLineEdit>(w, "txt_Jahr")->text(), QStringLiteral("2026"));
    EXPECT_EQ(QString(control<QLabel>(w, "lblHHJahr")->text()).remove(u'&'), demoText(716)) << "with a mnemonic";
    EXPECT_EQ(QString(control<QLabel>(w, "lblListendatum")->text()).remove(u'&'), demoText(727));

    // Every entry of the list browser fits its column and reads in full as a tooltip.
    const QTreeWidget *browser = control<QTreeWidget>(w, "ListView1");
    ASSERT_GT(browser->topLevelItemCount(), 0);
    for (int i = 0; i < browser->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = browser->topLevelItem(i);
        for (int c = 0; c < browser->columnCount(); ++c) {
            EXPECT_GE(browser->columnWidth(c), browser->fontMetrics().horizontalAdvance(item->text(c)))
                << "row " << i << " column " << c;
            EXPECT_EQ(item->toolTip(c), item->text(c));
        }
    }

    // Switches and sort order from the template's settings sheet.
    EXPECT_EQ(control<QCheckBox>(w, "CbEinzeln")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>(w, "CbVerdichtet")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>(w, "CbDruck")->checkState(), Qt::Unchecked);
    EXPECT_EQ(control<QCheckBox>(w, "CbLosweise")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(control<QRadioButton>(w, "RadWoListeLosStm")->isChecked());
    EXPECT_GT(w.program().settings().StartZeile, 1);
    EXPECT_GT(w.program().settings().columnListUpperBound(), 1);
    EXPECT_FALSE(w.program().settings().headerLines[1].text.isEmpty());

    // Every named control is there.
    for (const char *name : {"ListView1", "txtVon", "txtBis", "lblListendatum", "txLastDays", "frmHHJ", "lblHHJahr",
             "txt_Jahr", "lblListenart", "cmbListenart", "optLos(0)", "optLos(1)", "LbLos", "CbVerdichtet", "CbDruck",
             "CbEinzeln", "CbLosweise", "RadWoEing", "RadWoListeLosStm", "RadListeLosWaldort", "RadEing",
             "RadSortiment", "RadStammNummer", "B_OK", "ButAbbrech", "LbStatus"})
        EXPECT_NE(w.findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;

    // Tab walks the selection from top to bottom, then switches, then buttons.
    QStringList chain;
    QWidget *widget = control<QLineEdit>(w, "txtVon");
    for (int i = 0; i < 80 && chain.size() < 6; ++i) {
        const QString name = widget->objectName();
        if (QStringList({QStringLiteral("txtVon"), QStringLiteral("txt_Jahr"), QStringLiteral("ListView1"),
                            QStringLiteral("LbLos"), QStringLiteral("CbVerdichtet"), QStringLiteral("B_OK")})
                .contains(name))
            chain << name;
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(chain,
        QStringList({QStringLiteral("txtVon"), QStringLiteral("txt_Jahr"), QStringLiteral("ListView1"),
            QStringLiteral("LbLos"), QStringLiteral("CbVerdichtet"), QStringLiteral("B_OK")}));

    w.ButAbbrech_Click();
    EXPECT_TRUE(w.hasEnded());
    EXPECT_EQ(w.exitCode(), 0);
}

// The keyboard as office users use it: mnemonics that do not collide,
// Enter prints, Escape closes.
TEST(F_Start, KeyboardHabits)
{
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    ASSERT_FALSE(w.hasEnded());
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    EXPECT_EQ(control<QPushButton>(w, "B_OK")->text(), QStringLiteral("&Ausdruck"));
    EXPECT_EQ(control<QPushButton>(w, "ButAbbrech")->text(), QStringLiteral("&Schließen"));
    EXPECT_TRUE(control<QPushButton>(w, "B_OK")->isDefault());
    QMap<QChar, QString> mnemonics;
    QList<const QWidget *> withMnemonic;
    for (const QAbstractButton *button : w.findChildren<QAbstractButton *>())
        withMnemonic << button;
    for (const QLabel *label : w.findChildren<QLabel *>())
        withMnemonic << label;
    for (const QWidget *widget : withMnemonic) {
        const auto *label = qobject_cast<const QLabel *>(widget);
        const auto *button = qobject_cast<const QAbstractButton *>(widget);
        const QChar letter = MnemonicLetter(label ? label->text() : button->text());
        if (letter.isNull())
            continue;
        EXPECT_FALSE(mnemonics.contains(letter))
            << widget->objectName().toStdString() << " and " << mnemonics.value(letter).toStdString();
        mnemonics.insert(letter, widget->objectName());
    }
    EXPECT_GE(mnemonics.size(), 18);

    // Tab into the sort frame lands on the chosen order, not on its first option.
    control<QCheckBox>(w, "CbLosweise")->setFocus();
    QTest::keyClick(control<QCheckBox>(w, "CbLosweise"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QRadioButton>(w, "RadWoListeLosStm"));
    QTest::keyClick(control<QRadioButton>(w, "RadWoListeLosStm"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QPushButton>(w, "B_OK")) << "one Tab stop in the frame";

    // Alt and the letters of the date and year labels (the database's wording) reach their boxes.
    for (const auto &[labelName, boxName] : {std::pair{"lblListendatum", "txtVon"}, {"lblHHJahr", "txt_Jahr"}}) {
        const QLabel *label = control<QLabel>(w, labelName);
        const QLineEdit *box = control<QLineEdit>(w, boxName);
        const QChar letter = MnemonicLetter(label->text());
        ASSERT_TRUE(letter >= u'a' && letter <= u'z') << label->text().toStdString();
        control<QTreeWidget>(w, "ListView1")->setFocus();
        QTest::keyClick(w.windowHandle(), Qt::Key(Qt::Key_A + (letter.unicode() - u'a')), Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), box) << label->text().toStdString();
    }

    control<QTreeWidget>(w, "ListView1")->setFocus();
    QTest::keyClick(w.windowHandle(), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&w] { return control<QRadioButton>(w, "optLos(1)")->isChecked(); }, 2000))
        << "Alt+P chooses piles";

    // Enter in the list browser prints the chosen list.
    control<QTreeWidget>(w, "ListView1")->setFocus();
    QTest::keyClick(control<QTreeWidget>(w, "ListView1"), Qt::Key_Return);
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(control<QLabel>(w, "LbStatus")->text(), QStringLiteral("Fertig!"));
    EXPECT_EQ(w.printedSelection().listNumber, QStringLiteral("4711"));

    // Escape closes the window.
    QApplication::setActiveWindow(&w);
    control<QTreeWidget>(w, "ListView1")->setFocus();
    QTest::keyClick(control<QTreeWidget>(w, "ListView1"), Qt::Key_Escape);
    EXPECT_TRUE(w.hasEnded());
}

// Captions from the database get the first letter no other control uses;
// their own "&" stays a character, and messages name them without mnemonic
// and colon.
TEST(F_Start, DatabaseCaptionsGetAFreeMnemonic)
{
    const struct
    {
        const char *caption, *used, *shown, *plain;
    } cases[] = {
        {"HAB-Datum:", "as", "&HAB-Datum:", "HAB-Datum"},
        {"Haushaltsjahr:", "hasu", "Hausha&ltsjahr:", "Haushaltsjahr"},
        {"Los & Datum:", "l", "L&os && Datum:", "Los & Datum"},
        {"bis:", "bis", "bis:", "bis"},
        {"", "", "", ""},
    };
    for (const auto &c : cases) {
        const QString shown = MnemonicCaption(QString::fromUtf8(c.caption), QString::fromUtf8(c.used));
        EXPECT_EQ(shown, QString::fromUtf8(c.shown)) << c.caption;
        EXPECT_EQ(PlainCaption(shown), QString::fromUtf8(c.plain)) << c.caption;
    }
    EXPECT_TRUE(MnemonicLetter(QStringLiteral("Los && Datum")).isNull()) << "\"&&\" is no mnemonic";
}

// "Prüfen …" shows the checker's findings and summary for the current entry,
// read with the session's ini file, as copyable text; the choice stays.
TEST(F_Start, TheTemplateDialogTakesTheChoiceHoweverItCloses)
{
    F_Start w;
    QStringList listed;
    QString title;
    QString checked;
    bool readOnly = false;
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->objectName();
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("lbVorlagen"));
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        EXPECT_EQ(list->currentRow(), 0);
        list->setCurrentRow(1);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("PruefenButton")), Qt::LeftButton);
        auto *findings = dialog->findChild<QDialog *>(QStringLiteral("dlgPruefen"));
        ASSERT_NE(findings, nullptr);
        const auto *text = findings->findChild<QPlainTextEdit *>(QStringLiteral("txtBefunde"));
        checked = text->toPlainText();
        readOnly = text->isReadOnly();
        findings->close();
        dialog->close(); // the window's close box
    });
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    EXPECT_EQ(title, QStringLiteral("dlgVorlagen"));
    EXPECT_EQ(listed, QStringList({QStringLiteral("Tannbuch.xltx"), QStringLiteral("Tannbuch_Losweise.xltx")}));
    EXPECT_TRUE(readOnly);
    for (const QString &said : {QStringLiteral("Keine Auffälligkeiten."), QStringLiteral("Kopfzeilen: 1 → E2 „"),
             QStringLiteral("O „TRANSPORTLOS“ (TL.LOS)")})
        EXPECT_TRUE(checked.contains(said)) << said.toStdString() << " not in:\n" << checked.toStdString();
    EXPECT_EQ(w.program().templateFileName(), QStringLiteral("Tannbuch_Losweise.xltx"));
    EXPECT_EQ(control<QCheckBox>(w, "CbLosweise")->checkState(), Qt::Checked);

    // "Abbrechen" and Escape choose nothing.
    for (const bool escape : {false, true}) {
        QTimer::singleShot(0, [escape] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            if (escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("CancelButton")), Qt::LeftButton);
        });
        EXPECT_EQ(dlgVorlagen::choose({QStringLiteral("Tannbuch.xltx")}), QString()) << escape;
    }
}

// An error shows the critical icon, a warning the warning icon; neither
// looks like a mere piece of information.
TEST(F_Start, MessagesShowTheIconOfWhatHappened)
{
    F_Start w;
    for (const bool warning : {false, true}) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&icon] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            box->accept();
        });
        if (warning)
            w.showWarning(QStringLiteral("Warnung"));
        else
            w.showMessage(QStringLiteral("Fehler"));
        EXPECT_EQ(icon, warning ? QMessageBox::Warning : QMessageBox::Critical);
    }
}

// The template is asked once while the program runs, not again after the
// clerk closed the report's workbook.
TEST(F_Start, TheTemplateChoiceHoldsWhileTheProgramRuns)
{
    TestWindow w;
    w.choice = 1;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    ASSERT_EQ(w.offered.size(), 1);
    Application *xl = w.program().application();
    xl->closeWorkbook(xl->workbookAt(0).workbook(), false);
    w.B_OK_Click();
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(w.offered.size(), 1);
    EXPECT_EQ(w.program().templateFileName(), QStringLiteral("Tannbuch_Losweise.xltx"));
}

// "Abbrechen" in the template choice at start-up leaves the switches to the
// template "Ausdruck" opens: its switches print, not the boxes left off.
TEST(F_Start, ACancelledTemplateChoiceTakesTheSwitchesOfTheTemplateOpenedLater)
{
    TestWindow w;
    w.choice = -1; // "Abbrechen"
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    ASSERT_FALSE(w.hasEnded());
    ASSERT_FALSE(w.program().hasReportWorkbook());
    EXPECT_EQ(control<QCheckBox>(w, "CbEinzeln")->checkState(), Qt::Unchecked);

    // Cancelled again: nothing printed, nothing told.
    w.B_OK_Click();
    EXPECT_EQ(w.offered.size(), 2);
    EXPECT_EQ(w.reportWindow(), nullptr);
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();

    w.choice = 1; // the lot-by-lot template
    w.B_OK_Click();
    EXPECT_EQ(w.offered.size(), 3);
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();
    for (const char *name : {"CbEinzeln", "CbVerdichtet", "CbLosweise"})
        EXPECT_EQ(control<QCheckBox>(w, name)->checkState(), Qt::Checked) << name;
    const ReportSettings &settings = w.program().settings();
    EXPECT_EQ(settings.lEinzeln, 1);
    EXPECT_EQ(settings.lVerdichtet, 1);
    EXPECT_EQ(settings.lLosweise, 1);
    const char *sortButtons[]
        = {"RadWoEing", "RadWoListeLosStm", "RadListeLosWaldort", "RadEing", "RadSortiment", "RadStammNummer"};
    ASSERT_TRUE(settings.EinzSort >= 1 && settings.EinzSort <= 6);
    EXPECT_TRUE(control<QRadioButton>(w, sortButtons[settings.EinzSort - 1])->isChecked());
    ASSERT_NE(w.reportWindow(), nullptr);
    EXPECT_GT(w.reportWindow()->workbook().sheet(0).usedRange().lastRow, 200) << "sections, not a head block only";
    w.Form_Unload();
}

// Windows fit the screen's available area whatever its size or scale: the
// main window shrinks (its selection scrolls) and the report window opens no
// larger than the screen.
TEST(F_Start, WindowsFitTheScreen)
{
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    ASSERT_FALSE(w.hasEnded());
    const QRect available = w.screen()->availableGeometry();
    const QSize room = available.size().shrunkBy(WindowFit::assumedFrame());
    EXPECT_TRUE(w.size().width() <= room.width() && w.size().height() <= room.height());
    // Small enough for 1024x768 at scale factor 2: 512x384, less the frame.
    const QSize smallest = w.minimumSizeHint();
    EXPECT_TRUE(smallest.width() <= 496 && smallest.height() <= 344) << smallest.width() << "x" << smallest.height();
    w.B_OK_Click();
    ASSERT_NE(w.reportWindow(), nullptr);
    const QSize report = w.reportWindow()->size();
    EXPECT_TRUE(report.width() <= room.width() && report.height() <= room.height())
        << report.width() << "x" << report.height();
    w.Form_Unload();
}

// Unattended printing opens no window: it takes the first template, creates
// no widget, and prints what "Ausdruck" prints right after start-up, through
// the same job, so both save the same workbook.
TEST(F_Start, UnattendedPrintingAndAusdruckGoThroughTheSameJob)
{
    const QSet<QWidget *> widgetsBefore(QApplication::allWidgets().cbegin(), QApplication::allWidgets().cend());
    QTemporaryDir unattendedOut;
    RecordingRun run;
    ASSERT_EQ(
        run.run(QStringLiteral("|") + demoIni + QStringLiteral("|||4711|1|DEMO|") + unattendedOut.path() + u'/'), 0)
        << run.messages.join(u'\n').toStdString();
    EXPECT_EQ(run.program().templateFileName(), QStringLiteral("Tannbuch.xltx"));
    const QSet<QWidget *> widgetsAfter(QApplication::allWidgets().cbegin(), QApplication::allWidgets().cend());
    EXPECT_EQ(widgetsAfter, widgetsBefore) << "no widget created";

    QTemporaryDir windowOut;
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||4711|1|DEMO|") + windowOut.path() + u'/');
    ASSERT_FALSE(w.hasEnded()) << w.messages.join(u'\n').toStdString();
    EXPECT_TRUE(w.offered.isEmpty());
    EXPECT_TRUE(w.requestFromControls() == StartupPrintRequest(w.program()));
    w.B_OK_Click();
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();
    const auto unattendedBook = XlsxReader::load(unattendedOut.filePath(QStringLiteral("DEMO_4711.xlsx")));
    const auto windowBook = XlsxReader::load(windowOut.filePath(QStringLiteral("DEMO_4711.xlsx")));
    ASSERT_TRUE(unattendedBook && windowBook);
    EXPECT_EQ(testsupport::workbookDifferences(*unattendedBook, *windowBook), QStringList());
    w.Form_Unload();
}

TEST(F_Start, MissingIniEndsTheProgramWithItsMessage)
{
    QTemporaryDir dir;
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + dir.filePath(QStringLiteral("fehlt.ini")) + QStringLiteral("||||||"));
    EXPECT_EQ(w.messages, QStringList({QStringLiteral("Kelmora.ini konnte nicht geöffnet werden!")}));
    EXPECT_TRUE(w.hasEnded());
    EXPECT_FALSE(w.program().isConnected());
}

TEST(F_Start, MissingTemplatesAndAFailedConnectionAreTold)
{
    QTemporaryDir dir;
    QTemporaryDir empty;
    // A template in the working folder does not stand in for a missing folder.
    QTemporaryDir working;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates/Tannbuch.xltx"),
        working.filePath(QStringLiteral("Tannbuch.xltx"))));
    const QString before = QDir::currentPath();
    QDir::setCurrent(working.path());
    const auto back = qScopeGuard([&before] { QDir::setCurrent(before); });
    const QString missing = dir.filePath(QStringLiteral("Vorlagen"));
    for (const auto &[folder, said] : {std::pair{empty.path(), QStringLiteral("Gesucht im Ordner")},
             {missing, QStringLiteral("ist nicht vorhanden")}}) {
        TestWindow w;
        w.Form_Load(QStringLiteral("|") + demoIniWith(dir, {{QStringLiteral("PathTemplates"), folder}})
            + QStringLiteral("|||||"));
        ASSERT_EQ(w.messages.size(), 1) << w.messages.join(u'\n').toStdString();
        EXPECT_TRUE(w.messages.first().startsWith(QStringLiteral("Keine Excelvorlage (Tannbuch*.xlt) vorhanden!\n")));
        EXPECT_TRUE(w.messages.first().contains(QStringLiteral("PathTemplates")));
        EXPECT_TRUE(w.messages.first().contains(folder) && w.messages.first().contains(said))
            << w.messages.first().toStdString();
        EXPECT_FALSE(w.hasEnded()) << "the window stays open";
        EXPECT_FALSE(w.program().hasReportWorkbook());
    }
    const QString ini = demoIniWith(dir, {{QStringLiteral("PathTemplates"), empty.path()}});
    const QString noDb = demoIniWith(dir, {{QStringLiteral("SQLSERVER"), QStringLiteral("127.0.0.1,1")}});
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + noDb + QStringLiteral("|||||"));
    ASSERT_FALSE(w.messages.isEmpty());
    EXPECT_TRUE(w.messages.first().startsWith(QStringLiteral("Die Verbindung zur Datenbank")));
    EXPECT_FALSE(w.hasEnded()) << "the window stays open without lists";
    EXPECT_FALSE(w.program().hasReportWorkbook()) << "start-up stops before the workbook";
    EXPECT_TRUE(control<QLabel>(w, "LbStatus")->text().contains(QStringLiteral("Keine Verbindung zur Datenbank")));
    // No design placeholders where the database would have named things.
    EXPECT_EQ(control<QLabel>(w, "lblHHJahr")->text(), QString());
    for (const char *year : {"btnJahr(0)", "btnJahr(1)", "btnJahr(2)", "btnJahr(3)"})
        EXPECT_EQ(control<QPushButton>(w, year)->text(), QString()) << year;
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->headerItem()->text(0), QString());
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->headerItem()->text(1), QStringLiteral("Datum"));
    for (const char *name : {"B_OK", "ListView1", "txtVon", "LbLos", "CbDruck"})
        EXPECT_FALSE(control<QWidget>(w, name)->isEnabled()) << name;
    EXPECT_TRUE(control<QPushButton>(w, "ButAbbrech")->isEnabled());
}

// A list the host names that the browser does not show is told in the
// status line, with what the browser was narrowed by.
TEST(F_Start, AListTheHostNamesButTheBrowserLacksIsTold)
{
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||4712|1||"));
    ASSERT_FALSE(w.hasEnded());
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->topLevelItemCount(), 0) << "4712 is a list of the year before";
    EXPECT_EQ(control<QLabel>(w, "LbStatus")->text(),
        QStringLiteral("Die Liste 4712 wurde nicht gefunden (%1 2026, Listenart 1).").arg(PlainCaption(demoText(716))));
    QTest::mouseClick(control<QPushButton>(w, "btnJahr(1)"), Qt::LeftButton);
    EXPECT_EQ(w.listNumber(), QStringLiteral("4712"));
    EXPECT_EQ(control<QLabel>(w, "LbStatus")->text(), QStringLiteral("Bereit!"));
}

TEST(F_Start, WindowPositionSurvivesARestart)
{
    {
        TestWindow w;
        w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
        w.move(120, 160);
        w.ButAbbrech_Click();
    }
    {
        TestWindow w;
        w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
        EXPECT_EQ(w.pos(), QPoint(120, 160)) << "the frame comes back where it was";
    }

    // Stored far off the screen (another screen layout): back on the screen.
    {
        TestWindow w;
        w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
        w.move(-1500, -900);
        w.ButAbbrech_Click();
    }
    TestWindow w;
    w.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    EXPECT_TRUE(QApplication::primaryScreen()->availableGeometry().contains(w.pos()))
        << w.pos().x() << "," << w.pos().y();
}

TEST(F_Start, ASecondWindowEndsButAnUnattendedPrintRunsBesideAWindow)
{
    TestWindow first;
    first.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    ASSERT_FALSE(first.hasEnded());

    TestWindow second;
    second.Form_Load(QStringLiteral("|") + demoIni + QStringLiteral("|||||"));
    EXPECT_TRUE(second.hasEnded());
    EXPECT_TRUE(second.messages.isEmpty()) << "no message interactively";
    EXPECT_EQ(second.exitCode(), 0);

    // The clerk's window does not stop the host's provision print.
    QTemporaryDir out;
    RecordingRun unattended;
    EXPECT_EQ(unattended.run(QStringLiteral("|") + demoIni + QStringLiteral("|||4711|1|DEMO|") + out.path() + u'/'), 0)
        << unattended.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(out.filePath(QStringLiteral("DEMO_4711.xlsx"))));
    EXPECT_FALSE(first.hasEnded());
}

// Another unattended print holds the lock for a while: the next one waits for
// it and then prints.
TEST(F_Start, AnUnattendedPrintWaitsForTheOneBeforeIt)
{
    QLockFile other(UnattendedLock(F_Start::caption()).path());
    ASSERT_TRUE(other.tryLock(0));
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        other.unlock();
    });
    QElapsedTimer waited;
    waited.start();
    QTemporaryDir out;
    RecordingRun w;
    const int exitCode = w.run(QStringLiteral("|") + demoIni + QStringLiteral("|||4711|1|DEMO|") + out.path() + u'/');
    release.join();
    EXPECT_EQ(exitCode, 0) << w.messages.join(u'\n').toStdString();
    EXPECT_GE(waited.elapsed(), 1400);
    EXPECT_TRUE(QFile::exists(out.filePath(QStringLiteral("DEMO_4711.xlsx"))));
}

// Qt's own dialog texts come in German from the translations the program
// loads at start.
TEST(Program, QtTextsAreAvailableInGerman)
{
    QTranslator qtTexts;
    ASSERT_TRUE(qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    EXPECT_EQ(qtTexts.translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    EXPECT_EQ(qtTexts.translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));
}

// The program itself, without a display: a missing ini file with a provision
// name goes to standard error and fails the run.
TEST(Program, UnattendedFailureReachesTheHost)
{
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("TMPDIR"), dir.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TANNBUCH_PROGRAM),
        {QStringLiteral("|") + dir.filePath(QStringLiteral("fehlt.ini")) + QStringLiteral("|||4711|1|DEMO|")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError())
                    .contains(QStringLiteral("Kelmora.ini konnte nicht geöffnet werden!")));
}

} // namespace tannbuch
