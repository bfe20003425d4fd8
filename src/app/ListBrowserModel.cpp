#include "ListBrowserModel.h"

#include "app/Program.h"
#include "db/DbError.h"
#include "report/TextLookup.h"
#include "selection/LastDaysRange.h"
#include "selection/SelectionQueries.h"
#include "text/DateText.h"

#include <QDate>

namespace tannbuch {

namespace {

// A switch of the template's settings as its check box takes it: 0 off,
// 2 greyed, anything else on.
qint16 switchValue(qint16 setting)
{
    return setting == 0 ? 0 : setting == 2 ? 2 : 1;
}

} // namespace

ListBrowserModel::ListBrowserModel(Program &program, Viewer viewer)
    : m_program(program)
    , m_viewer(viewer)
{ }

bool ListBrowserModel::dateMode() const
{
    return m_program.values().businessYearColumn.isEmpty();
}

QString ListBrowserModel::listNumber() const
{
    return m_selectedRow >= 0 ? m_rows.value(m_selectedRow).liste : QString();
}

void ListBrowserModel::takeSwitchesFromSettings()
{
    const ReportSettings &settings = m_program.settings();
    m_sortOrder = settings.EinzSort >= 1 && settings.EinzSort <= 6 ? settings.EinzSort : qint16(1);
    m_switches.lSofortDruck = switchValue(settings.lSofortDruck);
    m_switches.lEinzeln = switchValue(settings.lEinzeln);
    m_switches.lVerdichtet = switchValue(settings.lVerdichtet);
    m_switches.lLosweise = switchValue(settings.lLosweise);
    // Without a template (the choice was cancelled) the switches wait for
    // the one "Ausdruck" opens.
    m_switchesFromTemplate = m_program.hasReportWorkbook();
    ++m_switchesTaken;
}

void ListBrowserModel::prepare()
{
    takeSwitchesFromSettings();
    if (dateMode())
        prepareDateMode();
    else
        prepareBusinessYears();
    if (forWindow()) {
        try {
            m_dateCaption = GetString(m_program.connection(), 727);
        } catch (const DbError &) {
            // The caption as designed stays.
        }
    }
    // Filling the list browser fills the list types and lots as well, so the
    // command line's list type narrows the report as it narrows the browser.
    fillListView();
}

void ListBrowserModel::prepareDateMode()
{
    m_lastDays = QString::number(m_program.settings().LetztenTage);
    // In the window, writing the days box runs its change event: the list is
    // read once with the date boxes still empty, then the range follows the
    // days.
    if (forWindow())
        fillListView();
    const QDate today = QDate::currentDate();
    const DateRange range = LastDaysRange(m_lastDays, QString(), today)
                                .value_or(DateRange{DateText::format(today), DateText::format(today)});
    m_dateFrom = range.from;
    m_dateTo = range.to;
}

void ListBrowserModel::prepareBusinessYears()
{
    const QString column = m_program.values().businessYearColumn;
    int first = 0;
    try {
        first = NewestBusinessYear(m_program.connection(), column, QDate::currentDate());
    } catch (const DbError &) {
        // Without the table the year falls back to the calendar.
        first = BusinessYearOrFallback(QString(), QDate::currentDate());
    }
    for (int k = 0; k < 4; ++k)
        m_yearButtons[k] = QString::number(first - k);
    if (!forWindow()) {
        m_year = m_yearButtons[0];
        return;
    }
    chooseYear(0);
    try {
        m_yearCaption = GetRelTableCaption(m_program.connection(), column);
    } catch (const DbError &) {
        // The caption as designed stays.
    }
}

void ListBrowserModel::fillListView()
{
    Connection &db = m_program.connection();
    if (forWindow())
        m_listHeader = GetString(db, 726);
    const StartupValues &values = m_program.values();
    ListViewQuery query;
    query.businessYearColumn = values.businessYearColumn;
    query.year = m_year;
    query.listNumber = values.listNumber;
    query.listTypeNumber = values.listTypeNumber;
    query.accessLevelFilter = m_program.accessLevelFilter();
    query.dateFrom = m_dateFrom;
    query.dateTo = m_dateTo;
    m_rows = ReadListViewRows(db, ListViewStatement(query), m_program.kubaturFormat());
    m_selectedRow = m_rows.isEmpty() ? -1 : 0;
    ++m_listsFilled;
    // The chosen list is another one now (or none): its list types and lots.
    // The host prints nothing without a list and asks for no pickers then.
    if (forWindow() || !m_rows.isEmpty())
        refreshPickers();
}

void ListBrowserModel::refreshPickers()
{
    fillListTypes();
    // Choosing a list type refilled the lots; without list types it did not.
    if (m_listTypes.isEmpty())
        fillLotList();
}

void ListBrowserModel::fillLotList()
{
    m_lotEntries.clear();
    m_marked.clear();
    ++m_pickersFilled;
    const QString list = listNumber();
    if (list.isEmpty())
        return;
    m_lotEntries = SortedLotEntries(ReadLotEntries(m_program.connection(), m_lotMode, list.trimmed(), m_listTypeText));
}

void ListBrowserModel::fillListTypes()
{
    m_listTypes.clear();
    m_listTypeText.clear();
    ++m_pickersFilled;
    m_listTypes = ReadListTypeTexts(m_program.connection(), listNumber().trimmed(), m_program.values().listTypeNumber);
    if (m_listTypes.isEmpty())
        return;
    m_listTypeText = m_listTypes.first();
    // The list type changed: the picker follows it.
    fillLotList();
}

void ListBrowserModel::selectList(int row)
{
    setSelectedRow(row);
    fillLotList();
    fillListTypes();
}

void ListBrowserModel::chooseLotMode(LotMode mode)
{
    m_lotMode = mode;
    fillLotList();
}

void ListBrowserModel::chooseListType(const QString &text)
{
    m_listTypeText = text;
    fillLotList();
}

void ListBrowserModel::chooseYear(int index)
{
    m_year = m_yearButtons.at(index);
    m_dateFrom.clear();
    m_dateTo.clear();
    leaveDateBox(DateBox::From);
    leaveDateBox(DateBox::To);
    fillListView();
}

void ListBrowserModel::leaveYearBox()
{
    fillListView();
}

void ListBrowserModel::changeLastDays(const QString &days)
{
    m_lastDays = days;
    // In date mode the days ask for the lists of that many days up to the
    // to-date (up to today when it is empty); days that are not a count
    // leave the dates as they are.
    if (dateMode()) {
        if (const std::optional<DateRange> range = LastDaysRange(days, m_dateTo, QDate::currentDate())) {
            m_dateFrom = range->from;
            m_dateTo = range->to;
        }
    }
    fillListView();
}

bool ListBrowserModel::leaveDateBox(DateBox box)
{
    QString &text = box == DateBox::From ? m_dateFrom : m_dateTo;
    QString &remembered = box == DateBox::From ? m_rememberedFrom : m_rememberedTo;
    if (!text.isEmpty()) {
        const std::optional<QDate> date = DateText::parse(text, QDate::currentDate());
        if (!date)
            return false;
        text = DateText::format(*date);
    }
    // Leaving a box unchanged does not reload the list.
    if (text != remembered)
        fillListView();
    remembered = text;
    return true;
}

PrintRequest ListBrowserModel::request() const
{
    const StartupValues &values = m_program.values();
    PrintRequest request;
    request.listNumber = listNumber();
    // Before the controls are prepared no sort order is chosen; the
    // template's stands then.
    request.sortOrder = m_sortOrder != 0 ? m_sortOrder : m_program.settings().EinzSort;
    request.listTypeText = m_listTypeText;
    request.lotMode = m_lotMode;
    request.shownEntries = m_lotEntries;
    request.markedEntries = m_marked;
    request.lLosweise = m_switches.lLosweise;
    request.lSofortDruck = m_switches.lSofortDruck;
    request.lEinzeln = m_switches.lEinzeln;
    request.lVerdichtet = m_switches.lVerdichtet;
    request.provisionName = values.provisionName;
    request.saveFolder = values.saveFolder;
    return request;
}

QString ListNotFoundText(
    const QString &listNumber, const QString &listTypeNumber, const QString &yearCaption, const QString &year)
{
    QStringList narrowedBy;
    if (!year.isEmpty()) {
        QString caption = yearCaption.trimmed();
        if (caption.endsWith(u':'))
            caption.chop(1);
        caption = caption.trimmed();
        narrowedBy << (caption.isEmpty() ? QStringLiteral("Jahr") : caption) + u' ' + year;
    }
    if (!listTypeNumber.isEmpty())
        narrowedBy << QStringLiteral("Listenart ") + listTypeNumber;
    QString text = QStringLiteral("Die Liste %1 wurde nicht gefunden").arg(listNumber);
    if (!narrowedBy.isEmpty())
        text += QStringLiteral(" (") + narrowedBy.join(QStringLiteral(", ")) + u')';
    return text;
}

PrintRequest StartupPrintRequest(Program &program)
{
    ListBrowserModel browser(program, ListBrowserModel::Viewer::Host);
    browser.prepare();
    return browser.request();
}

} // namespace tannbuch
