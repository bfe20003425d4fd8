#pragma once

#include "selection/SelectionStatements.h"

#include <QString>
#include <QStringList>

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

// The selection filter and its companions for the report.
struct Selection
{
    QString filter; // the condition over LOGS that every report query puts after WHERE
    QStringList lots; // the lots as they are (a lot may hold a comma); empty in piles mode
    int lotCount = 0; // lots or piles chosen (marked, or all shown)
};

// Builds the selection filter: "LOGS.LISTE = '<list>'", then the lot or pile
// condition when entries are marked (" AND LOGS.LOS IN (...) " or
// " AND LOGS.POLTNR IN (...) "), the provision filter as it comes, and
// " AND LOGS.LISTENART = <n>" when a list type is set. Without marks every
// shown entry counts for the lots but no lot condition is added. Quotes
// in values are doubled. Never fails.
Selection BuildSelectionFilter(const SelectionRequest &request);

// Quoted SQL literals of the entries joined by "," ('3','5').
QString QuotedList(const QStringList &entries);
