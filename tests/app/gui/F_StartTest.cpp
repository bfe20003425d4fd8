#include "gui/F_Start.h"
#include "app/UnattendedLock.h"
#include "db/SqliteBackend.h"
#include "gui/MnemonicCaption.h"
#include "gui/ReportWindow.h"
#include "gui/WindowFit.h"
#include "gui/dlgVorlagen.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <thread>

#include "RecordingWindow.h"
#include "common/QtPrinters.h"
#include "common/WorkbookCompare.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

// A text of the demo database's text table, the customer's wording first.
QString demoText(int id)
{
    const ResultData r = SqliteBackend(QStringLiteral(TANNBUCH_DEMO_DB))
                             .query(u"SELECT COALESCE(NULLIF(TRIM(CUSTOM_GERMAN),''), TRIM(GERMAN)) FROM STRINGS "
                                    u"WHERE ID_STRING = %1"_s.arg(id));
    return r.rows.empty() ? QString() : r.rows.front().front().toString();
}

} // namespace

using namespace demofiles;

TEST(F_Start, StartsWithTheDemoIniInBusinessYearMode)
{
    RecordingWindow w;
    ASSERT_TRUE(w.start());
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(w.windowTitle(), QStringLiteral("Quelt32-Listenausdruck V " TANNBUCH_VERSION));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.program().isConnected());

    // Two templates in the demo folder: the user is asked, the first is offered first.
    ASSERT_EQ(w.offered.size(), 1);
    EXPECT_EQ(w.offered.first(), QStringList({u"Tannbuch.xltx"_s, u"Tannbuch_Losweise.xltx"_s}));
    EXPECT_EQ(w.program().templateFileName(), u"Tannbuch.xltx"_s);

    // Business year from the newest open numeric year, caption from the text table.
    EXPECT_FALSE(control<QFrame>(w, "frmHHJ")->isHidden());
    EXPECT_EQ(w.findChild<QPushButton *>(u"btnJahr(0)"_s)->text(), u"2026"_s);
    EXPECT_EQ(w.findChild<QPushButton *>(u"btnJahr(3)"_s)->text(), u"2023"_s);
    EXPECT_EQ(control<QLineEdit>(w, "txt_Jahr")->text(), u"2026"_s);
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

    // Tab walks the selection from top to bottom, then switches, then buttons.
    const QStringList stops = {u"txtVon"_s, u"txt_Jahr"_s, u"ListView1"_s, u"LbLos"_s, u"CbVerdichtet"_s, u"B_OK"_s};
    QStringList chain;
    QWidget *widget = control<QLineEdit>(w, "txtVon");
    for (int i = 0; i < 80 && chain.size() < 6; widget = widget->nextInFocusChain(), ++i) {
        if (stops.contains(widget->objectName()))
            chain << widget->objectName();
    }
    EXPECT_EQ(chain, stops);

    w.ButAbbrech_Click();
    EXPECT_TRUE(w.hasEnded());
    EXPECT_EQ(w.exitCode(), 0);
}

// The keyboard as office users use it: mnemonics that do not collide,
// Enter prints, Escape closes.
TEST(F_Start, KeyboardHabits)
{
    RecordingWindow w;
    ASSERT_TRUE(w.start());
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    EXPECT_EQ(control<QPushButton>(w, "B_OK")->text(), u"&Ausdruck"_s);
    EXPECT_EQ(control<QPushButton>(w, "ButAbbrech")->text(), u"&Schließen"_s);
    EXPECT_TRUE(control<QPushButton>(w, "B_OK")->isDefault());
    QMap<QChar, QString> mnemonics;
    for (const QWidget *widget : w.findChildren<QWidget *>()) {
        const auto *label = qobject_cast<const QLabel *>(widget);
        const auto *button = qobject_cast<const QAbstractButton *>(widget);
        const QChar letter = label ? MnemonicLetter(label->text()) : button ? MnemonicLetter(button->text()) : QChar();
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
    EXPECT_EQ(control<QLabel>(w, "LbStatus")->text(), u"Fertig!"_s);
    EXPECT_EQ(w.printedSelection().listNumber, u"4711"_s);

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
    EXPECT_TRUE(MnemonicLetter(u"Los && Datum"_s).isNull()) << "\"&&\" is no mnemonic";
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
        auto *list = dialog->findChild<QListWidget *>(u"lbVorlagen"_s);
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        EXPECT_EQ(list->currentRow(), 0);
        list->setCurrentRow(1);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"PruefenButton"_s), Qt::LeftButton);
        auto *findings = dialog->findChild<QDialog *>(u"dlgPruefen"_s);
        ASSERT_NE(findings, nullptr);
        const auto *text = findings->findChild<QPlainTextEdit *>(u"txtBefunde"_s);
        checked = text->toPlainText();
        readOnly = text->isReadOnly();
        findings->close();
        dialog->close(); // the window's close box
    });
    w.Form_Load(u"|"_s + demoIni + u"|||||"_s);
    EXPECT_EQ(title, u"dlgVorlagen"_s);
    EXPECT_EQ(listed, QStringList({u"Tannbuch.xltx"_s, u"Tannbuch_Losweise.xltx"_s}));
    EXPECT_TRUE(readOnly);
    for (const QString &said : {u"Keine Auffälligkeiten."_s, u"Kopfzeilen: 1 → E2 „"_s, u"O „TRANSPORTLOS“ (TL.LOS)"_s})
        EXPECT_TRUE(checked.contains(said)) << said.toStdString() << " not in:\n" << checked.toStdString();
    EXPECT_EQ(w.program().templateFileName(), u"Tannbuch_Losweise.xltx"_s);
    EXPECT_EQ(control<QCheckBox>(w, "CbLosweise")->checkState(), Qt::Checked);

    // "Abbrechen" and Escape choose nothing.
    for (const bool escape : {false, true}) {
        QTimer::singleShot(0, [escape] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            if (escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(dialog->findChild<QPushButton *>(u"CancelButton"_s), Qt::LeftButton);
        });
        EXPECT_EQ(dlgVorlagen::choose({u"Tannbuch.xltx"_s}), QString()) << escape;
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
            w.showWarning(u"Warnung"_s);
        else
            w.showMessage(u"Fehler"_s);
        EXPECT_EQ(icon, warning ? QMessageBox::Warning : QMessageBox::Critical);
    }
}

// "Abbrechen" in the template choice at start-up leaves the switches to the
// template "Ausdruck" opens: its switches print, not the boxes left off.
TEST(F_Start, ACancelledTemplateChoiceTakesTheSwitchesOfTheTemplateOpenedLater)
{
    RecordingWindow w;
    w.choice = -1; // "Abbrechen"
    ASSERT_TRUE(w.start());
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
    for (const int chosen : {settings.lEinzeln, settings.lVerdichtet, settings.lLosweise})
        EXPECT_EQ(chosen, 1);
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
    RecordingWindow w;
    ASSERT_TRUE(w.start());
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
    ASSERT_EQ(run.run(u"|"_s + demoIni + u"|||4711|1|DEMO|"_s + unattendedOut.path() + u'/'), 0)
        << run.messages.join(u'\n').toStdString();
    EXPECT_EQ(run.program().templateFileName(), u"Tannbuch.xltx"_s);
    const QSet<QWidget *> widgetsAfter(QApplication::allWidgets().cbegin(), QApplication::allWidgets().cend());
    EXPECT_EQ(widgetsAfter, widgetsBefore) << "no widget created";

    QTemporaryDir windowOut;
    RecordingWindow w;
    ASSERT_TRUE(w.start(u"|"_s + demoIni + u"|||4711|1|DEMO|"_s + windowOut.path() + u'/'));
    EXPECT_TRUE(w.offered.isEmpty());
    EXPECT_TRUE(w.requestFromControls() == StartupPrintRequest(w.program()));
    w.B_OK_Click();
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(u'\n').toStdString();
    const auto unattendedBook = XlsxReader::load(unattendedOut.filePath(u"DEMO_4711.xlsx"_s));
    const auto windowBook = XlsxReader::load(windowOut.filePath(u"DEMO_4711.xlsx"_s));
    ASSERT_TRUE(unattendedBook && windowBook);
    EXPECT_EQ(testsupport::workbookDifferences(*unattendedBook, *windowBook), QStringList());
    w.Form_Unload();
}

TEST(F_Start, MissingIniEndsTheProgramWithItsMessage)
{
    QTemporaryDir dir;
    RecordingWindow w;
    w.Form_Load(u"|"_s + dir.filePath(u"fehlt.ini"_s) + u"||||||"_s);
    EXPECT_EQ(w.messages, QStringList({u"Kelmora.ini konnte nicht geöffnet werden!"_s}));
    EXPECT_TRUE(w.hasEnded());
    EXPECT_FALSE(w.program().isConnected());
}

TEST(F_Start, MissingTemplatesAndAFailedConnectionAreTold)
{
    QTemporaryDir dir;
    QTemporaryDir empty;
    // A template in the working folder does not stand in for a missing folder.
    QTemporaryDir working;
    ASSERT_TRUE(QFile::copy(
        QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates/Tannbuch.xltx"), working.filePath(u"Tannbuch.xltx"_s)));
    const QString before = QDir::currentPath();
    QDir::setCurrent(working.path());
    const auto back = qScopeGuard([&before] { QDir::setCurrent(before); });
    const QString missing = dir.filePath(u"Vorlagen"_s);
    for (const auto &[folder, said] :
        {std::pair{empty.path(), u"Gesucht im Ordner"_s}, {missing, u"ist nicht vorhanden"_s}}) {
        RecordingWindow w;
        w.Form_Load(u"|"_s + demoIniWith(dir, {{u"PathTemplates"_s, folder}}) + u"|||||"_s);
        ASSERT_EQ(w.messages.size(), 1) << w.messages.join(u'\n').toStdString();
        EXPECT_TRUE(w.messages.first().startsWith(u"Keine Excelvorlage (Tannbuch*.xlt) vorhanden!\n"_s));
        EXPECT_TRUE(w.messages.first().contains(u"PathTemplates"_s));
        EXPECT_TRUE(w.messages.first().contains(folder) && w.messages.first().contains(said))
            << w.messages.first().toStdString();
        EXPECT_FALSE(w.hasEnded()) << "the window stays open";
        EXPECT_FALSE(w.program().hasReportWorkbook());
    }
    const QString noDb = demoIniWith(dir, {{u"SQLSERVER"_s, u"127.0.0.1,1"_s}});
    RecordingWindow w;
    w.Form_Load(u"|"_s + noDb + u"|||||"_s);
    ASSERT_FALSE(w.messages.isEmpty());
    EXPECT_TRUE(w.messages.first().startsWith(u"Die Verbindung zur Datenbank"_s));
    EXPECT_FALSE(w.hasEnded()) << "the window stays open without lists";
    EXPECT_FALSE(w.program().hasReportWorkbook()) << "start-up stops before the workbook";
    EXPECT_TRUE(control<QLabel>(w, "LbStatus")->text().contains(u"Keine Verbindung zur Datenbank"_s));
    // No design placeholders where the database would have named things.
    EXPECT_EQ(control<QLabel>(w, "lblHHJahr")->text(), QString());
    for (const char *year : {"btnJahr(0)", "btnJahr(1)", "btnJahr(2)", "btnJahr(3)"})
        EXPECT_EQ(control<QPushButton>(w, year)->text(), QString()) << year;
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->headerItem()->text(0), QString());
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->headerItem()->text(1), u"Datum"_s);
    for (const char *name : {"B_OK", "ListView1", "txtVon", "LbLos", "CbDruck"})
        EXPECT_FALSE(control<QWidget>(w, name)->isEnabled()) << name;
    EXPECT_TRUE(control<QPushButton>(w, "ButAbbrech")->isEnabled());
}

// A list the host names that the browser does not show is told in the
// status line, with what the browser was narrowed by.
TEST(F_Start, AListTheHostNamesButTheBrowserLacksIsTold)
{
    RecordingWindow w;
    ASSERT_TRUE(w.start(u"|"_s + demoIni + u"|||4712|1||"_s));
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->topLevelItemCount(), 0) << "4712 is a list of the year before";
    EXPECT_EQ(control<QLabel>(w, "LbStatus")->text(),
        u"Die Liste 4712 wurde nicht gefunden (%1 2026, Listenart 1)."_s.arg(PlainCaption(demoText(716))));
    QTest::mouseClick(control<QPushButton>(w, "btnJahr(1)"), Qt::LeftButton);
    EXPECT_EQ(w.listNumber(), u"4712"_s);
    EXPECT_EQ(control<QLabel>(w, "LbStatus")->text(), u"Bereit!"_s);
}

// The frame comes back where it was; stored far off the screen (another
// screen layout), it comes back on the screen.
TEST(F_Start, WindowPositionSurvivesARestart)
{
    for (const QPoint stored : {QPoint(120, 160), QPoint(-1500, -900)}) {
        {
            RecordingWindow w;
            w.Form_Load(u"|"_s + demoIni + u"|||||"_s);
            w.move(stored);
            w.ButAbbrech_Click();
        }
        RecordingWindow w;
        w.Form_Load(u"|"_s + demoIni + u"|||||"_s);
        if (stored.x() > 0)
            EXPECT_EQ(w.pos(), stored);
        else
            EXPECT_TRUE(QApplication::primaryScreen()->availableGeometry().contains(w.pos()))
                << w.pos().x() << "," << w.pos().y();
    }
}

TEST(F_Start, ASecondWindowEndsButAnUnattendedPrintRunsBesideAWindow)
{
    RecordingWindow first;
    ASSERT_TRUE(first.start());

    RecordingWindow second;
    second.Form_Load(u"|"_s + demoIni + u"|||||"_s);
    EXPECT_TRUE(second.hasEnded());
    EXPECT_TRUE(second.messages.isEmpty()) << "no message interactively";
    EXPECT_EQ(second.exitCode(), 0);

    // The clerk's window does not stop the host's provision print.
    QTemporaryDir out;
    RecordingRun unattended;
    EXPECT_EQ(unattended.run(u"|"_s + demoIni + u"|||4711|1|DEMO|"_s + out.path() + u'/'), 0)
        << unattended.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(out.filePath(u"DEMO_4711.xlsx"_s)));
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
    const int exitCode = w.run(u"|"_s + demoIni + u"|||4711|1|DEMO|"_s + out.path() + u'/');
    release.join();
    EXPECT_EQ(exitCode, 0) << w.messages.join(u'\n').toStdString();
    EXPECT_GE(waited.elapsed(), 1400);
    EXPECT_TRUE(QFile::exists(out.filePath(u"DEMO_4711.xlsx"_s)));
}

} // namespace tannbuch
