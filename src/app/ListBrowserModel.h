#pragma once

#include "app/PrintJob.h"
#include "selection/ListViewRows.h"
#include "selection/SelectionStatements.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tannbuch {

class Program;

// The list browser and its pickers without a window: the date range or
// business year that narrows the lists, the lists found, the chosen list
// with its list types and lots or piles, the report switches and sort
// order, and the print request they make. Each user action is one function
// that sends its statements in the order the window always sent them; the
// main window shows this state and writes its controls' values back, and an
// unattended print runs the same model without a window.
//
// Database errors propagate as DbError from the function that sent the
// statement (where a caption or year cannot be read, the designed caption or
// the calendar's year stands instead); the state read up to then is kept.
class ListBrowserModel
{
public:
    // Who looks at the browser. The window reads the captions of its list
    // column, date range and business year from the text table, and follows
    // the days box before the dates at start-up; the host's unattended print
    // reads only the lists and, when there is one, the pickers of the first.
    enum class Viewer { Window, Host };
    // The date boxes.
    enum class DateBox { From, To };

    ListBrowserModel(Program &program, Viewer viewer);

    // Start-up: the switches and sort order of the settings, then the date
    // range of the ini's last days (date mode) or the four newest business
    // years with the first chosen, the captions, and the lists with the
    // pickers of the first list.
    void prepare();
    // The sort order (1 to 6; the first for anything else) and the four
    // switches from the program's report settings.
    void takeSwitchesFromSettings();

    // Reloads the lists (with the window's list caption first), chooses the
    // first and refreshes the pickers for it.
    void fillListView();
    // The lots or piles of the chosen list, of the chosen list type; none
    // without a list.
    void fillLotList();
    // The list types of the chosen list; the first is chosen and its lots or
    // piles follow.
    void fillListTypes();

    // Chooses the list in that row (-1: none) and refreshes the pickers.
    void selectList(int row);
    // Lots or piles; the picker refills.
    void chooseLotMode(LotMode mode);
    // Another list type; the picker refills.
    void chooseListType(const QString &text);
    // A business-year button: the year of its caption, the date range
    // emptied (each box left as the user leaves it) and the lists reloaded.
    void chooseYear(int index);
    // The year box left: the lists reload.
    void leaveYearBox();
    // The days box changed: in date mode the range becomes that many days up
    // to the to-date (today when empty), then the lists reload.
    void changeLastDays(const QString &days);
    // A date box left with its text: false, changing nothing, when the text
    // is not a date; otherwise the text is written as dd.mm.yyyy and the
    // lists reload when it differs from the text the box had when last left.
    bool leaveDateBox(DateBox box);

    // The print request of the state: the chosen list, its list type, lots
    // or piles shown and marked, sort order and switches, and the start-up
    // values' provision and save folder.
    PrintRequest request() const;

    // The state, as the window shows it and writes it back.
    const QList<ListViewRow> &rows() const { return m_rows; }
    int selectedRow() const { return m_selectedRow; }
    void setSelectedRow(int row) { m_selectedRow = row >= 0 && row < m_rows.size() ? row : -1; }
    // The chosen list as the browser shows it; empty when none is chosen.
    QString listNumber() const;
    const QStringList &listTypes() const { return m_listTypes; }
    const QString &listTypeText() const { return m_listTypeText; }
    LotMode lotMode() const { return m_lotMode; }
    void setLotMode(LotMode mode) { m_lotMode = mode; }
    const QStringList &lotEntries() const { return m_lotEntries; }
    // The marked lots or piles, in the picker's order.
    void setMarkedEntries(const QStringList &marked) { m_marked = marked; }

    QString dateText(DateBox box) const { return box == DateBox::From ? m_dateFrom : m_dateTo; }
    void setDateText(DateBox box, const QString &text) { (box == DateBox::From ? m_dateFrom : m_dateTo) = text; }
    const QString &year() const { return m_year; }
    void setYear(const QString &year) { m_year = year; }
    const QString &lastDays() const { return m_lastDays; }
    void setLastDays(const QString &days) { m_lastDays = days; }
    // The captions of the business-year buttons.
    const std::array<QString, 4> &yearButtons() const { return m_yearButtons; }
    bool dateMode() const;

    // The sort order (EinzSort); 0 until one is chosen, and the request then
    // takes the settings'.
    qint16 sortOrder() const { return m_sortOrder; }
    void setSortOrder(qint16 order) { m_sortOrder = order; }
    // The report switches: 0 off, 1 on, 2 greyed by the template.
    struct Switches
    {
        qint16 lVerdichtet = 0;
        qint16 lSofortDruck = 0;
        qint16 lEinzeln = 0;
        qint16 lLosweise = 0;
        bool operator==(const Switches &) const = default;
    };
    const Switches &switches() const { return m_switches; }
    void setSwitches(const Switches &switches) { m_switches = switches; }
    // The switches hold an opened template's values (not the defaults left
    // by a cancelled template choice).
    bool switchesFromTemplate() const { return m_switchesFromTemplate; }

    // The captions read from the text table (window only); none when not
    // read or not readable.
    const QString &listHeader() const { return m_listHeader; }
    const std::optional<QString> &dateCaption() const { return m_dateCaption; }
    const std::optional<QString> &yearCaption() const { return m_yearCaption; }

    // Counts every refill of the lists and of the pickers, so a view redraws
    // only what changed.
    int listsFilled() const { return m_listsFilled; }
    int pickersFilled() const { return m_pickersFilled; }
    // Counts every time the switches and sort order were taken from the settings.
    int switchesTaken() const { return m_switchesTaken; }

private:
    void prepareDateMode();
    void prepareBusinessYears();
    // The list types, then (without any) the lots of the chosen list.
    void refreshPickers();
    bool forWindow() const { return m_viewer == Viewer::Window; }

    Program &m_program;
    Viewer m_viewer;
    QList<ListViewRow> m_rows;
    int m_selectedRow = -1;
    QStringList m_listTypes;
    QString m_listTypeText;
    LotMode m_lotMode = LotMode::Lots;
    QStringList m_lotEntries;
    QStringList m_marked;
    QString m_dateFrom;
    QString m_dateTo;
    // The texts the date boxes had when last left.
    QString m_rememberedFrom;
    QString m_rememberedTo;
    QString m_year;
    QString m_lastDays;
    std::array<QString, 4> m_yearButtons
        = {QStringLiteral("2008"), QStringLiteral("2000"), QStringLiteral("2000"), QStringLiteral("2000")};
    qint16 m_sortOrder = 0;
    Switches m_switches;
    bool m_switchesFromTemplate = false;
    QString m_listHeader;
    std::optional<QString> m_dateCaption;
    std::optional<QString> m_yearCaption;
    int m_listsFilled = 0;
    int m_pickersFilled = 0;
    int m_switchesTaken = 0;
};

// Why the list the host named is not in the list browser, with what the
// browser was narrowed by: the business year (by the caption the window
// gives it, without its colon) and the list type, each when there is one.
// Without final punctuation.
QString ListNotFoundText(
    const QString &listNumber, const QString &listTypeNumber, const QString &yearCaption, const QString &year);

// The request the main window makes right after start-up, made by the same
// model without a window: the first list of the browser (none when it is
// empty), its first list type, all its lots shown and none marked, the
// switches and sort order of the template's settings, the start-up values'
// provision and save folder. Database errors propagate as DbError.
PrintRequest StartupPrintRequest(Program &program);

} // namespace tannbuch
