#include "RecordingWindow.h"
#include "gui/F_Start.h"
#include "workbook/automation/Application.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace demofiles;
using namespace Qt::StringLiterals;

namespace {

// A window of its own on screen, so focus moves as a person moves it.
void showAndActivate(QWidget &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

// Starts the window on the demo ini, shown and active. Without a list-type
// number every list type of a list is offered.
void startShown(RecordingWindow &w)
{
    ASSERT_TRUE(w.start(u"|"_s + demoIni));
    showAndActivate(w);
}

void clickItem(QTreeWidget *view, QTreeWidgetItem *item)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
}

// A click on the box or circle at the left of a check box or option button.
void clickIndicator(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void clickEntry(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QStringList column(const QTreeWidget *view, int c)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(c);
    return texts;
}

QStringList entries(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The list query of the demo ini (access level 1), in business year mode
// when a year is given, with the date range when asked.
QString listQuery(
    const QString &year, const QString &from = QString(), const QString &to = QString(), bool dates = false)
{
    QString sql = u"SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                  u"Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE "_s
        + (year.isEmpty() ? u" "_s
                          : u" inner join reltable on l.RELTABLE1 = reltable.id and "
                            u"right(reltable.kurzname,2) = right('"_s
                    + year + u"',2)"_s)
        + u" WHERE 1=1  AND (LK.ID_ACCESS_LEVELS IN (SELECT ID FROM ACCESS_LEVELS WHERE "
          u"LEFT(ACCESS_LEVELS,2) = '01') OR LK.ID_ACCESS_LEVELS IS NULL) "_s;
    if (dates)
        sql += u" AND convert(smalldatetime,L.LISTDATUM,104) BETWEEN convert(smalldatetime,'"_s + from
            + u"',104) and convert(smalldatetime,'"_s + to + u"',104) "_s;
    return sql + u" group by L.LISTE ORDER BY L.LISTE "_s;
}

const QStringList lotsOf4711 = {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};

const QString listHeaderText = u"SELECT * FROM STRINGS WHERE ID_STRING = 726"_s;

// Filling the browser, then the pickers for its first list: the list types,
// and the lots of the first list type (no lots without a list).
QStringList fillListView(const QString &statement, const QString &firstList = QString())
{
    QStringList sent = {listHeaderText, statement,
        u"SELECT distinct listenart.text FROM listenart inner join logs on listenart.listenart = "
        u"logs.listenart WHERE logs.LISTE = '%1 '  "_s.arg(firstList)};
    if (!firstList.isEmpty())
        sent << u"SELECT DISTINCT(LOS) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
                u"LISTENART.LISTENART WHERE LISTE = '%1' AND LISTENART.TEXT = 'Stammholz' ORDER BY LOS"_s.arg(
                    firstList);
    return sent;
}

} // namespace

// A clerk's way through the window: a date range typed and left (once
// mistyped), a year button, a list clicked, lots marked, "Ausdruck" pressed
// whole and lot by lot.
TEST(ListSelection, FromDateRangeToPrintedReport)
{
    RecordingWindow w;
    ASSERT_NO_FATAL_FAILURE(startShown(w));
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    w.program().connection().journal().setRecording(true);
    w.takeStatements();

    auto *txtVon = control<QLineEdit>(w, "txtVon");
    auto *txtBis = control<QLineEdit>(w, "txtBis");
    auto *txLastDays = control<QLineEdit>(w, "txLastDays");
    auto *list = control<QTreeWidget>(w, "ListView1");
    auto *lots = control<QListWidget>(w, "LbLos");
    auto *types = control<QComboBox>(w, "cmbListenart");

    // Start-up: the lists of business year 2026, the first one chosen with its lots.
    EXPECT_EQ(column(list, 0), QStringList({u"4711"_s, u"4713"_s}));
    EXPECT_EQ(list->topLevelItem(0)->textAlignment(3) & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
    EXPECT_EQ(list->topLevelItem(0)->text(1), u"12.03.2026"_s);
    EXPECT_EQ(list->topLevelItem(0)->text(2), u"1162"_s);
    EXPECT_EQ(list->topLevelItem(0)->text(3), u"965,012"_s);
    EXPECT_EQ(w.listNumber(), u"4711"_s);
    EXPECT_EQ(entries(lots), lotsOf4711);

    // The from date typed short and left with Enter: rewritten, list reloaded.
    txtVon->setFocus();
    QTest::keyClicks(txtVon, u"1.3.26"_s);
    QTest::keyClick(txtVon, Qt::Key_Return);
    EXPECT_EQ(txtVon->text(), u"01.03.2026"_s);
    EXPECT_EQ(QApplication::focusWidget(), txtBis) << "Enter moves on like Tab";
    EXPECT_EQ(w.takeStatements(), fillListView(listQuery(u"2026"_s, u"01.03.2026"_s, QString(), true)));
    EXPECT_TRUE(list->topLevelItemCount() == 0) << "no upper bound: nothing lies between";

    // The to date; a letter is swallowed by the key filter.
    QTest::keyClicks(txtBis, u"31.x3.26"_s);
    EXPECT_EQ(txtBis->text(), u"31.3.26"_s);
    QTest::keyClick(txtBis, Qt::Key_Tab);
    EXPECT_EQ(txtBis->text(), u"31.03.2026"_s);
    EXPECT_EQ(QApplication::focusWidget(), txLastDays);
    EXPECT_EQ(
        w.takeStatements(), fillListView(listQuery(u"2026"_s, u"01.03.2026"_s, u"31.03.2026"_s, true), u"4711"_s));
    EXPECT_EQ(column(list, 0), QStringList({u"4711"_s}));

    // An impossible date: told, the focus comes back, nothing reloaded.
    txtBis->setFocus();
    EXPECT_EQ(txtBis->selectedText(), u"31.03.2026"_s) << "the whole text is selected on entry";
    QTest::keyClicks(txtBis, u"31.2.26"_s);
    QTest::keyClick(txtBis, Qt::Key_Tab);
    EXPECT_EQ(w.messages,
        QStringList({u"Ungültige Daten: „31.2.26“ im Feld „HAB-Datum bis“ ist kein Datum der Form "
                     u"TT.MM.JJJJ."_s}))
        << "the box named as the window captions it";
    EXPECT_EQ(QApplication::focusWidget(), txtBis);
    EXPECT_EQ(txtBis->text(), u"31.2.26"_s);
    EXPECT_TRUE(w.takeStatements().isEmpty());
    EXPECT_EQ(column(list, 0), QStringList({u"4711"_s}));

    // Corrected to the date it had: leaving it unchanged reloads nothing.
    txtBis->selectAll();
    QTest::keyClicks(txtBis, u"31.03.2026"_s);
    QTest::keyClick(txtBis, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txLastDays);
    EXPECT_TRUE(w.takeStatements().isEmpty());
    w.messages.clear();

    // A year button empties the date range; each box that changed reloads,
    // and the button itself once more.
    QTest::mouseClick(control<QPushButton>(w, "btnJahr(0)"), Qt::LeftButton);
    EXPECT_EQ(txtVon->text(), QString());
    EXPECT_EQ(txtBis->text(), QString());
    EXPECT_EQ(control<QLineEdit>(w, "txt_Jahr")->text(), u"2026"_s);
    const QString year2026 = listQuery(u"2026"_s);
    const QStringList reload = fillListView(year2026, u"4711"_s);
    EXPECT_EQ(w.takeStatements(), reload + reload + reload);
    EXPECT_EQ(column(list, 0), QStringList({u"4711"_s, u"4713"_s}));

    // The chosen list clicked again: the pickers are current already.
    clickItem(list, list->topLevelItem(0));
    EXPECT_TRUE(w.takeStatements().isEmpty());
    EXPECT_TRUE(types->isEnabled());
    EXPECT_EQ(types->currentText(), u"Stammholz"_s);
    ASSERT_EQ(entries(lots), lotsOf4711);

    // Lots 3 and 5 marked, "Ausdruck" pressed.
    clickEntry(lots, 2);
    clickEntry(lots, 4);
    QTest::mouseClick(control<QPushButton>(w, "B_OK"), Qt::LeftButton);
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    QStringList sent = w.takeStatements();
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent.first(), u" select listenart from listenart where text = 'Stammholz' "_s);
    EXPECT_TRUE(sent[1].startsWith(u"Select property_id, number_value \rfrom FORMS_CONFIG"_s)) << sent[1].toStdString();

    const Selection &state = w.printedSelection();
    EXPECT_EQ(state.listNumber, u"4711"_s);
    EXPECT_EQ(state.lots, QStringList({u"3"_s, u"5"_s}));
    EXPECT_EQ(state.lotCount, 2);
    EXPECT_EQ(state.listType, u"1"_s);
    EXPECT_TRUE(state.filter.startsWith(u"LOGS.LISTE = '4711' AND LOGS.LOS IN ('3','5')  AND LOGS.LISTENART = 1"_s))
        << state.filter.toStdString();
    EXPECT_EQ(w.lastRequest().sortOrder, 2) << "RadWoListeLosStm";
    EXPECT_EQ(w.statuses.value(0), u"Kopf ..."_s);
    EXPECT_EQ(control<QLabel>(w, "LbStatus")->text(), u"Fertig!"_s);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << "the topmost place is lifted";
    EXPECT_EQ(w.program().application()->workbookCount(), 1) << "the workbook stays open";

    // Lot by lot, with another sort order: the switches reach the report.
    w.statuses.clear();
    clickIndicator(control<QCheckBox>(w, "CbLosweise"));
    clickIndicator(control<QRadioButton>(w, "RadEing"));
    QTest::mouseClick(control<QPushButton>(w, "B_OK"), Qt::LeftButton);
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(w.lastRequest().lLosweise, 1);
    EXPECT_EQ(w.lastRequest().sortOrder, 4);
    EXPECT_EQ(w.statuses.value(0), u"Los '3' Kopf ..."_s);
}

// A date left half typed does not hold up "Schließen".
TEST(ListSelection, SchliessenClosesOverAnImpossibleDate)
{
    RecordingWindow w;
    ASSERT_NO_FATAL_FAILURE(startShown(w));
    auto *txtVon = control<QLineEdit>(w, "txtVon");
    txtVon->setFocus();
    QTest::keyClicks(txtVon, u"31.2.26"_s);
    QTest::mouseClick(control<QPushButton>(w, "ButAbbrech"), Qt::LeftButton);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
}

TEST(ListSelection, PilesKeyboardChoiceAndGreyedListTypes)
{
    RecordingWindow w;
    ASSERT_NO_FATAL_FAILURE(startShown(w));
    w.program().connection().journal().setRecording(true);
    w.takeStatements();
    auto *list = control<QTreeWidget>(w, "ListView1");
    auto *lots = control<QListWidget>(w, "LbLos");

    // Piles of the chosen list, of the list type shown since start-up.
    EXPECT_EQ(control<QComboBox>(w, "cmbListenart")->currentText(), u"Stammholz"_s);
    clickIndicator(control<QRadioButton>(w, "optLos(1)"));
    const QString piles = u"SELECT DISTINCT(POLTNR) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
                          u"LISTENART.LISTENART WHERE LISTE = '%1' AND LISTENART.TEXT = 'Stammholz' ORDER BY POLTNR"_s;
    EXPECT_EQ(w.takeStatements(), QStringList({piles.arg(u"4711"_s)}));
    EXPECT_TRUE(entries(lots).contains(u"101"_s));

    // The next list chosen with the keyboard refills the pickers like a click.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(w.listNumber(), u"4713"_s);
    EXPECT_EQ(w.takeStatements(),
        QStringList({piles.arg(u"4713"_s),
            u"SELECT distinct listenart.text FROM listenart inner join logs on "
            u"listenart.listenart = logs.listenart WHERE logs.LISTE = '4713 '  "_s,
            piles.arg(u"4713"_s)}));
    EXPECT_EQ(entries(lots), QStringList({QString()})) << "every pile of 4713 is NULL: one empty entry";

    // The empty pile marked alone, printed: the pile condition, no lot list.
    clickEntry(lots, 0);
    QTest::mouseClick(control<QPushButton>(w, "B_OK"), Qt::LeftButton);
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    const Selection &state = w.printedSelection();
    EXPECT_TRUE(state.filter.startsWith(u"LOGS.LISTE = '4713' AND LOGS.POLTNR IN ('')  AND LOGS.LISTENART = 1"_s))
        << state.filter.toStdString();
    EXPECT_TRUE(state.lots.isEmpty()) << "piles go into the filter only";

    // No list selected: the pickers empty at once, the list-type row greyed
    // in place, so nothing under the mouse moves.
    w.takeStatements();
    const QRect browserPlace = list->geometry();
    list->clearSelection();
    EXPECT_TRUE(entries(lots).isEmpty());
    EXPECT_EQ(w.takeStatements(),
        QStringList({u"SELECT distinct listenart.text FROM listenart inner join logs on "
                     u"listenart.listenart = logs.listenart WHERE logs.LISTE = ' '  "_s}));
    clickIndicator(control<QRadioButton>(w, "optLos(0)"));
    EXPECT_TRUE(w.takeStatements().isEmpty()) << "no list, no lot query";
    for (QWidget *row : {static_cast<QWidget *>(control<QComboBox>(w, "cmbListenart")),
             static_cast<QWidget *>(control<QLabel>(w, "lblListenart"))}) {
        EXPECT_FALSE(row->isHidden());
        EXPECT_FALSE(row->isEnabled());
    }
    QApplication::processEvents();
    EXPECT_EQ(list->geometry(), browserPlace);

    // Without a chosen list "Ausdruck" refuses and prints nothing.
    const QString previousFilter = state.filter;
    QTest::mouseClick(control<QPushButton>(w, "B_OK"), Qt::LeftButton);
    EXPECT_EQ(w.messages, QStringList({u"Bitte eine Liste auswählen."_s}));
    EXPECT_TRUE(w.takeStatements().isEmpty());
    EXPECT_EQ(state.filter, previousFilter);
}

// A second click on "Ausdruck" while a report runs prints nothing: the
// request controls are off, the wait cursor shows, and a click queued
// meanwhile is dropped rather than run afterwards.
TEST(ListSelection, AusdruckRunsOnceHoweverOftenItIsClicked)
{
    struct RunWindow : RecordingWindow
    {
        void showStatus(const QString &text) override
        {
            RecordingWindow::showStatus(text);
            if (clicked)
                return;
            clicked = true;
            auto *button = control<QPushButton>(*this, "B_OK");
            for (const char *name : {"B_OK", "ButAbbrech", "ListView1", "LbLos", "CbDruck", "txtVon", "optLos(1)"})
                offDuringRun << !control<QWidget>(*this, name)->isEnabled();
            waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            B_OK_Click(); // a message box's event loop delivering the click
            const QPoint centre = button->rect().center();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(button,
                    new QMouseEvent(
                        type, centre, button->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        }
        bool clicked = false;
        bool waitCursor = false;
        QList<bool> offDuringRun;
    };
    RunWindow w;
    ASSERT_NO_FATAL_FAILURE(startShown(w));
    auto *button = control<QPushButton>(w, "B_OK");
    button->setFocus();

    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(w.statuses.count(u"Fertig!"_s), 1);
    EXPECT_EQ(w.offDuringRun, QList<bool>(7, true));
    EXPECT_TRUE(w.waitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(control<QWidget>(w, "ListView1")->isEnabled());
    EXPECT_EQ(w.focusWidget(), button) << "the focus comes back where it was (the report window is in front)";
}

TEST(ListSelection, AClosedWorkbookIsOpenedAgainAndGreyedSwitchesPassThrough)
{
    RecordingWindow w;
    ASSERT_NO_FATAL_FAILURE(startShown(w));

    // The template greys "Einzeln": the box shows it and passes it on until
    // the user clicks it, which only turns it on or off.
    w.program().settings().lEinzeln = 2;
    w.InitSelectionControls();
    auto *einzeln = control<QCheckBox>(w, "CbEinzeln");
    EXPECT_EQ(einzeln->checkState(), Qt::PartiallyChecked);

    // The user closed the workbook: "Ausdruck" opens a new one from the template.
    Application *xl = w.program().application();
    ASSERT_NE(xl, nullptr);
    xl->closeWorkbook(xl->workbookAt(0).workbook(), false);
    ASSERT_FALSE(w.program().hasReportWorkbook());
    QTest::mouseClick(control<QPushButton>(w, "B_OK"), Qt::LeftButton);
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(w.program().hasReportWorkbook());
    EXPECT_EQ(w.statuses.value(w.statuses.size() - 1), u"Fertig!"_s);
    EXPECT_EQ(w.lastRequest().lEinzeln, 2) << "the window's greyed box wins over the template read again";

    clickIndicator(einzeln);
    EXPECT_EQ(einzeln->checkState(), Qt::Checked);
    clickIndicator(einzeln);
    EXPECT_EQ(einzeln->checkState(), Qt::Unchecked);
    clickIndicator(einzeln);
    EXPECT_EQ(einzeln->checkState(), Qt::Checked) << "no way back to greyed";
    QTest::mouseClick(control<QPushButton>(w, "B_OK"), Qt::LeftButton);
    EXPECT_EQ(w.lastRequest().lEinzeln, 1);
}

// Without a business-year column the window lists by dates: the days box
// asks for that many days up to the to-date.
TEST(ListSelection, DateModeLoadsByTheDaysBox)
{
    QTemporaryDir dir;
    RecordingWindow w;
    w.program().connection().journal().setRecording(true);
    ASSERT_TRUE(w.start(u"|"_s + demoIniWith(dir, {{u"RELTABLE"_s, QString()}})));
    EXPECT_TRUE(control<QFrame>(w, "frmHHJ")->isHidden());
    QStringList selection;
    for (const QString &sql : w.takeStatements()) {
        if (sql.startsWith(u"SELECT DISTINCT"_s) || sql.startsWith(u"SELECT distinct"_s))
            selection << sql;
    }
    const QDate today = QDate::currentDate();
    const int days = w.program().settings().LetztenTage;
    EXPECT_EQ(control<QLineEdit>(w, "txLastDays")->text(), QString::number(days));
    EXPECT_EQ(control<QLineEdit>(w, "txtBis")->text(), today.toString(u"dd.MM.yyyy"_s));
    // Writing the days box lists once without dates, with the pickers of its
    // first list; then the dates are written and the list and the pickers
    // follow. The demo's lists are older than the days of the template, so
    // the dated list is empty.
    const auto dated = [&](const QString &from, const QString &to) { return listQuery(QString(), from, to, true); };
    const QString noListTypes = u"SELECT distinct listenart.text FROM listenart inner join logs on "
                                u"listenart.listenart = logs.listenart WHERE logs.LISTE = ' '  "_s;
    QStringList expected = fillListView(listQuery(QString()), u"4711"_s);
    expected.removeFirst(); // the header text
    expected << dated(today.addDays(-days).toString(u"dd.MM.yyyy"_s), control<QLineEdit>(w, "txtBis")->text())
             << noListTypes;
    EXPECT_EQ(selection, expected);
    EXPECT_TRUE(w.listNumber().isEmpty());
    EXPECT_TRUE(control<QListWidget>(w, "LbLos")->count() == 0);

    // Dates typed, then the days: the days count back from the to-date,
    // never an inverted range.
    control<QLineEdit>(w, "txtVon")->setText(u"01.03.2026"_s);
    control<QLineEdit>(w, "txtBis")->setText(u"31.12.2025"_s);
    w.takeStatements();
    control<QLineEdit>(w, "txLastDays")->setText(u"31"_s);
    EXPECT_EQ(control<QLineEdit>(w, "txtVon")->text(), u"30.11.2025"_s);
    EXPECT_EQ(control<QLineEdit>(w, "txtBis")->text(), u"31.12.2025"_s);
    EXPECT_EQ(w.takeStatements(), fillListView(dated(u"30.11.2025"_s, u"31.12.2025"_s)));
    // The to-date emptied: up to today.
    control<QLineEdit>(w, "txtBis")->clear();
    control<QLineEdit>(w, "txLastDays")->setText(u"7"_s);
    EXPECT_EQ(control<QLineEdit>(w, "txtVon")->text(), today.addDays(-7).toString(u"dd.MM.yyyy"_s));
    EXPECT_EQ(control<QLineEdit>(w, "txtBis")->text(), today.toString(u"dd.MM.yyyy"_s));
    EXPECT_FALSE(control<QComboBox>(w, "cmbListenart")->isEnabled());
    EXPECT_FALSE(control<QLabel>(w, "lblListenart")->isEnabled());
}

TEST(ListSelection, UnattendedPrintingOfAListNotInTheBrowserFails)
{
    // Another list type, a list of another business year, a typing error.
    for (const QString &fields : {u"4711|2"_s, u"4712|1"_s, u"47111|1"_s}) {
        QTemporaryDir out;
        RecordingRun w;
        EXPECT_NE(w.run(u"|"_s + demoIni + u"|||"_s + fields + u"|DEMO|"_s + out.path() + QLatin1Char('/')), 0)
            << fields.toStdString();
        ASSERT_EQ(w.messages.size(), 1) << fields.toStdString();
        // Named with what the browser was narrowed by, the year by the
        // window's caption.
        EXPECT_TRUE(w.messages.first().startsWith(u"Die Liste "_s + fields.section(QLatin1Char('|'), 0, 0)
            + u" wurde nicht gefunden (Forstwirtschaftsjahr 2026, Listenart "_s + fields.section(QLatin1Char('|'), 1, 1)
            + u")"_s))
            << w.messages.first().toStdString();
        EXPECT_TRUE(w.statuses.isEmpty()) << "no report was started";
        EXPECT_TRUE(QDir(out.path()).isEmpty()) << "nothing saved";
    }
}

TEST(ListSelection, LotsSortNumericallyWhenAllAreNumbers)
{
    using namespace Qt::StringLiterals;
    const struct
    {
        QStringList fromDatabase;
        QStringList shown;
    } cases[] = {
        {{u"1"_s, u"10"_s, u"100"_s, u"101"_s, u"2"_s, u"20"_s},
            {u"1"_s, u"2"_s, u"10"_s, u"20"_s, u"100"_s, u"101"_s}},
        {{u" 7"_s, u"12 "_s, u"-3"_s}, {u"-3"_s, u" 7"_s, u"12 "_s}},
        {{u"1"_s, u"10"_s, u"2a"_s, u"2"_s}, {u"1"_s, u"10"_s, u"2a"_s, u"2"_s}}, // not all numbers: as given
        {{u"1"_s, u"10"_s, u""_s}, {u"1"_s, u"10"_s, u""_s}}, // the empty entry of NULL lots
        {{}, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SortedLotEntries(c.fromDatabase), c.shown) << c.fromDatabase.join(QLatin1Char(',')).toStdString();
}

} // namespace tannbuch
