#include "ListHead.h"

#include "report/head/CustomerLines.h"
#include "report/head/HeadLine.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqlQuote.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "report/TextLookup.h"
#include "selection/SelectionFilter.h"
#include "text/NumberFormatter.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/cells/WorkbookError.h"

#include <QDate>
#include <QDateTime>
#include <QVariant>

namespace tannbuch {

namespace {

// Text ids of the head block's labels.
constexpr qint32 ListTitleId = 726;
constexpr qint32 LotsId = 1135;
constexpr qint32 ListDateId = 727;
constexpr qint32 ListAdditionalTextId = 729;
constexpr qint32 ListHeaderAdditionalTextId = 6371;
constexpr qint32 SalesTypeId = 5008;
constexpr qint32 AdditionalTextFirstId = 4783; // ZUSTEXT1 ... COORDINATE2 follow
constexpr qint32 WagonNumberId = 700;
constexpr qint32 NoteId = 701;

// Relation tables 1 to 10 in the host's order of their captions.
constexpr qint32 RelationTableIds[10] = {716, 717, 718, 719, 720, 722, 725, 723, 721, 724};
// Customer roles 0 (invoice recipient) to 8.
constexpr qint32 CustomerRoleIds[9] = {41, 3074, 3075, 3076, 3077, 3078, 3079, 3080, 3081};

QString row(int r)
{
    return QString::number(r);
}

// A range "A<r>:D<r>" of the cursor row.
Range headRow(ReportRun &run, SheetCursor &cursor)
{
    return run.xl->range(QStringLiteral("A") + row(cursor.row) + QStringLiteral(":D") + row(cursor.row));
}

// " FROM LOGS WHERE <filter>": the tail of the head block's statements.
QString fromSelection(const Selection &selection)
{
    return QStringLiteral(" FROM LOGS WHERE ") + selection.filter;
}

// The distinct values of a LOGS column in the selection, in their order.
QString distinctStatement(const Selection &selection, const QString &column)
{
    return QStringLiteral("SELECT DISTINCT(") + column + QLatin1Char(')') + fromSelection(selection)
        + QStringLiteral(" ORDER BY ") + column;
}

QString headerTextStatement(const Selection &selection)
{
    return QStringLiteral("SELECT DISTINCT(LISTENKOPFZUSTXT) FROM LISTENKOPF INNER JOIN LOGS ON "
                          "LOGS.LISTE = LISTENKOPF.LISTE WHERE ")
        + selection.filter + QStringLiteral(" ORDER BY LISTENKOPFZUSTXT");
}

QString relationStatement(const Selection &selection, int n)
{
    return QStringLiteral("SELECT * FROM RELTABLE WHERE ID IN (SELECT DISTINCT(RELTABLE") + row(n) + QLatin1Char(')')
        + fromSelection(selection) + QLatin1Char(')');
}

QString salesTypeStatement(const Selection &selection)
{
    return QStringLiteral("SELECT * FROM VERKAUFSART WHERE ID IN (SELECT DISTINCT ISNULL(ID_VERKAUFSART,0)")
        + fromSelection(selection) + QLatin1Char(')');
}

QString headerFieldsStatement(const Selection &selection)
{
    return QStringLiteral("SELECT * FROM LISTENKOPF WHERE LISTE = ") + sqlTextLiteral(selection.listNumber);
}

QString additionalTextsStatement(const Selection &selection)
{
    return QStringLiteral("SELECT DISTINCT ZUSTEXT1, ZUSTEXT2, ZUSTEXT3, ZUSTEXT4, ZUSTEXT5, COORDINATE1, COORDINATE2 "
                          "FROM LOGS WHERE ")
        + selection.filter + QLatin1Char(' ');
}

QString wagonAndNoteStatement(const Selection &selection)
{
    return QStringLiteral("SELECT DISTINCT WAGNR, ZUSTXT FROM LOGS WHERE ") + selection.filter + QLatin1Char(' ');
}

// What the head block will ask with the template's switches: its
// statements and the texts of the labels it may write (those of the typed
// header fields, additional texts and wagon lines only when switched on).
QStringList headLookups(const ReportRun &run, const Selection &selection)
{
    const ReportSettings &settings = *run.settings;
    QStringList lookups = {distinctStatement(selection, QStringLiteral("LOS")),
        distinctStatement(selection, QStringLiteral("LISTDATUM")),
        distinctStatement(selection, QStringLiteral("LISTZUSTXT")), headerTextStatement(selection)};
    QList<qint32> labels = {ListTitleId, LotsId, ListDateId, ListAdditionalTextId, ListHeaderAdditionalTextId};
    for (int n = 1; n <= 10; ++n) {
        if (settings.lReltable[size_t(n)]) {
            lookups << relationStatement(selection, n);
            labels << RelationTableIds[n - 1];
        }
    }
    if (settings.lVerkaufsart) {
        lookups << salesTypeStatement(selection);
        labels << SalesTypeId;
    }
    for (int role = 0; role <= 8; ++role) {
        if (settings.lAdresse[size_t(role)]) {
            lookups << customerQuery(role, selection.filter);
            labels << CustomerRoleIds[role];
        }
    }
    if (settings.lZusKopf) {
        lookups << headerFieldsStatement(selection);
        // TEXT1-15 (1369-1383), NUMBER1-10 (1358-1367), DATE1-5 (1352-1356).
        for (qint32 id = 1352; id <= 1383; ++id) {
            if (id != 1357 && id != 1368)
                labels << id;
        }
    }
    if (settings.lZInfo) {
        lookups << additionalTextsStatement(selection);
        for (qint32 k = 0; k < 7; ++k)
            labels << AdditionalTextFirstId + k;
    }
    if (settings.lWagNrStammbemerkung) {
        lookups << wagonAndNoteStatement(selection);
        labels << WagonNumberId << NoteId;
    }
    for (const qint32 id : std::as_const(labels)) {
        if (!run.knowsText(id))
            lookups << TextStatement(id);
    }
    return lookups;
}

// The list title, large and bold over A to D; the row below it, for the
// lots line, bold 12 whether a lots line comes or not.
void writeListTitle(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    run.xl->cells(cursor.row, 1).setValue(run.text(ListTitleId));
    Range number = run.xl->cells(cursor.row, 4);
    number.setNumberFormat(QStringLiteral("@"));
    number.setValue(selection.listNumber);
    Range title = headRow(run, cursor);
    title.font().setBold(true);
    title.font().setSize(14);
    ++cursor.row;

    Range lotsRow = headRow(run, cursor);
    lotsRow.font().setBold(true);
    lotsRow.font().setSize(12);
}

// The list header's additional text. Older host databases have no column
// LISTENKOPFZUSTXT; the line is an extra that must not cost the whole
// report, so a failing query or line is left out and the block goes on.
// Nothing else in the block fails quietly.
void writeListHeaderAdditionalText(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    try {
        WriteHeadLine(run, cursor, QStringLiteral("LISTENKOPFZUSTXT"), headerTextStatement(selection),
            ListHeaderAdditionalTextId, true, QString(), run.settings->lLeereKopfzeilen);
    } catch (const DbError &) {
        // Left out, as said above.
    } catch (const WorkbookError &) {
        // Left out, as said above.
    }
}

// The lots, the list dates and the additional texts of the list.
void writeListLines(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    const bool showEmpty = run.settings->lLeereKopfzeilen;

    // Lots on one line; one row further in any case, so a lots line is
    // followed by a blank row and without one the lots row stays empty.
    WriteHeadLine(run, cursor, QStringLiteral("LOS"), distinctStatement(selection, QStringLiteral("LOS")), LotsId,
        false, QString(), showEmpty);
    ++cursor.row;

    // List dates, one per line; never as empty lines.
    WriteHeadLine(run, cursor, QStringLiteral("LISTDATUM"), distinctStatement(selection, QStringLiteral("LISTDATUM")),
        ListDateId, true, QString(), false);

    WriteHeadLine(run, cursor, QStringLiteral("LISTZUSTXT"), distinctStatement(selection, QStringLiteral("LISTZUSTXT")),
        ListAdditionalTextId, true, QString(), showEmpty);
    writeListHeaderAdditionalText(run, selection, cursor);
}

// Relation tables (business year, district, ...) and the sales type, as the
// template switches them on; records without a sales type count as sales
// type 0.
void writeRelationLines(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    const ReportSettings &settings = *run.settings;
    const bool showEmpty = settings.lLeereKopfzeilen;
    for (int n = 1; n <= 10; ++n) {
        if (!settings.lReltable[size_t(n)])
            continue;
        WriteHeadLine(run, cursor, QStringLiteral("LANGNAME"), relationStatement(selection, n), RelationTableIds[n - 1],
            true, QString(), showEmpty);
    }
    if (settings.lVerkaufsart) {
        WriteHeadLine(run, cursor, QStringLiteral("LONG"), salesTypeStatement(selection), SalesTypeId, true, QString(),
            showEmpty);
    }
}

// Customers by role; the role's label stands on its first line.
void writeCustomerRoles(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    const ReportSettings &settings = *run.settings;
    const QString columnList = addressColumnList(settings.lAdressformat);
    for (int role = 0; role <= 8; ++role) {
        if (!settings.lAdresse[size_t(role)])
            continue;
        const int start = cursor.row;
        WriteCustomerLines(run, selection, cursor, role, columnList, QStringLiteral("D"));
        if (cursor.row == start) {
            if (!settings.lLeereKopfzeilen)
                continue;
            ++cursor.row;
        }
        Range label = run.xl->cells(start, 1);
        label.setValue(run.text(CustomerRoleIds[role]));
        label.font().setBold(true);
    }
}

QDate dateOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        const QDateTime dateTime = QDateTime::fromString(text, Qt::ISODate);
        if (dateTime.isValid())
            return dateTime.date();
        return QDate::fromString(text, Qt::ISODate);
    }
    return QDate();
}

} // namespace

QString listHeaderNumberText(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value.toString();
    return NumberFormatter(ReportLocale::locale()).format(number, QStringLiteral("0.00"));
}

QString listHeaderDateText(const QVariant &value)
{
    const QDate date = dateOf(value);
    if (!date.isValid())
        return value.toString();
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

void WriteListHead(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    const ReportSettings &settings = *run.settings;
    // Over the network the block's look-ups go in one round trip.
    run.db->prefetch(headLookups(run, selection));
    writeListTitle(run, selection, cursor);
    writeListLines(run, selection, cursor);
    writeRelationLines(run, selection, cursor);
    writeCustomerRoles(run, selection, cursor);

    // The optional parts the template switches on.
    if (settings.lZusKopf)
        WriteListHeaderFields(run, selection, cursor);
    if (settings.lZInfo)
        WriteAdditionalTexts(run, selection, cursor);
    if (settings.lWagNrStammbemerkung)
        WriteWagonAndNote(run, selection, cursor);

    // One blank row closes the block.
    ++cursor.row;
}

void WriteListHeaderFields(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    Recordset rs = run.db->execute(headerFieldsStatement(selection));
    if (rs.eof()) {
        rs.close();
        return;
    }

    const bool showEmpty = run.settings->lLeereKopfzeilen;
    for (int n = 1; n <= 15; ++n) {
        const QVariant value = rs.field(QStringLiteral("TEXT") + row(n));
        if (!isDbNull(value) || showEmpty)
            writeLabelValueLine(run, cursor, run.text(1368 + n), headValueText(value));
    }
    for (int n = 1; n <= 10; ++n) {
        const QVariant value = rs.field(QStringLiteral("NUMBER") + row(n));
        if (isDbNull(value))
            continue;
        bool ok = false;
        if (value.toDouble(&ok) == 0.0 && ok)
            continue;
        writeLabelValueLine(run, cursor, run.text(1368 - n), listHeaderNumberText(value));
    }
    for (int n = 1; n <= 5; ++n) {
        const QVariant value = rs.field(QStringLiteral("DATE") + row(n));
        if (!isDbNull(value))
            writeLabelValueLine(run, cursor, run.text(1357 - n), listHeaderDateText(value));
    }
    rs.close();
}

void WriteAdditionalTexts(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    static const char *const columns[]
        = {"ZUSTEXT1", "ZUSTEXT2", "ZUSTEXT3", "ZUSTEXT4", "ZUSTEXT5", "COORDINATE1", "COORDINATE2"};
    Recordset rs = run.db->execute(additionalTextsStatement(selection));
    for (; !rs.eof(); rs.moveNext()) {
        for (int position = 0; position < 7; ++position) {
            // Switch 0 or 1 prints the text in the head block; 2 and 4 leave it
            // to the lot summary, 3 hides it.
            const int textSwitch = run.textSwitches[size_t(SwitchZustext1 + position)];
            if (textSwitch != 0 && textSwitch != 1)
                continue;
            const QVariant value = rs.field(QLatin1String(columns[position]));
            if (!isDbNull(value))
                writeLabelValueLine(run, cursor, run.text(AdditionalTextFirstId + position), headValueText(value));
        }
    }
    rs.close();
}

void WriteWagonAndNote(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    Recordset rs = run.db->execute(wagonAndNoteStatement(selection));
    if (!rs.eof()) {
        const QVariant wagon = rs.field(QStringLiteral("WAGNR"));
        if (!isDbNull(wagon))
            writeLabelValueLine(run, cursor, run.text(WagonNumberId), headValueText(wagon));
        const QVariant note = rs.field(QStringLiteral("ZUSTXT"));
        if (!isDbNull(note))
            writeLabelValueLine(run, cursor, run.text(NoteId), headValueText(note));
    }
    rs.close();
}

} // namespace tannbuch
