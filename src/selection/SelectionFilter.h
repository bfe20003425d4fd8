#pragma once

#include "selection/SelectionStatements.h"

#include <QString>
#include <QStringList>

namespace tannbuch {

// The choices of a print request that decide which logs the report reads.
struct SelectionRequest
{
    QString listNumber; // the chosen list
    LotMode mode = LotMode::Lots;
    QStringList shown; // the entries of the lot/pile picker, in list order
    QStringList marked; // the marked entries, in list order
    QString provisionFilter; // result of GetProvisionFilter, or empty
    QString listType; // LISTENART number, or empty
};

// What a print request prints: the selection filter and its companions.
struct Selection
{
    QString filter; // the condition over LOGS that every report query puts after WHERE
    QString listNumber; // the chosen list
    QStringList lots; // the lots as they are (a lot may hold a comma); empty in piles mode
    int lotCount = 0; // lots or piles chosen (marked, or all shown)
    QString listType; // LISTENART number, or empty
    QString provisionFilter; // " AND LOGS.ID_LOG IN (...) " of the named provision, or empty
};

// Builds the selection filter: "LOGS.LISTE = '<list>'", then the lot or pile
// condition when entries are marked (" AND LOGS.LOS IN (...) " or
// " AND LOGS.POLTNR IN (...) "), the provision filter as it comes, and
// " AND LOGS.LISTENART = <n>" when a list type is set. Without marks every
// shown entry counts for the lots but no lot condition is added. Quotes
// in values are doubled. The list number, list type and provision filter
// come along as they are. Never fails.
Selection BuildSelectionFilter(const SelectionRequest &request);

// The whole selection as the report prints it. With lots it is the chosen
// selection as it is. Without lots (none, or only the empty lot) there is
// nothing to print lot by lot: the lots are dropped and the list-type
// condition is appended a second time, as the report's statements have
// always carried it then.
Selection WholeSelection(const Selection &chosen);

// One lot of the selection: "LOGS.LISTE='<list>' AND
// isnull(LOGS.LOS,'')='<lot>'", the provision filter (so a lot's blocks count
// what the totals count) and the list-type condition. Never fails.
Selection LotSelection(const Selection &whole, const QString &lot);

// A quoted SQL literal of the value, quotes doubled ('A,''B'), with the
// Unicode prefix when the value needs it (N'Łoś'; see sqlTextLiteral).
QString QuotedLiteral(const QString &value);

// Quoted SQL literals of the entries joined by "," ('3','5').
QString QuotedList(const QStringList &entries);

} // namespace tannbuch
