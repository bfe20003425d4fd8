#pragma once

#include "selection/SelectionStatements.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace tannbuch {

class Connection;

// The queries of the list selection, run on the program's connection. Each
// sends exactly the statement of SelectionStatements.h; database errors
// propagate as DbError.

// The log ids of the provision as the database holds them now, as text in
// result order; rows with a NULL id are left out.
QStringList ReadProvisionIds(Connection &db, const QString &provisionName);

// The selection filter's condition on the provision: its ids listed
// (ProvisionListCondition, in result order) up to ProvisionListLimit
// records, the provision read by the server beyond
// (ProvisionSubqueryCondition); an empty text when the provision is unknown
// or names no log.
QString GetProvisionFilter(Connection &db, const QString &provisionName);

// The LISTENART number of a list-type text as text; empty when the text is
// not found or its number is NULL.
QString GetListTypeNumber(Connection &db, const QString &listTypeText);

// The entries of the lot/pile picker: the distinct lots or piles of the list
// as text, a NULL value giving an empty entry.
QStringList ReadLotEntries(Connection &db, LotMode mode, const QString &list, const QString &listTypeText);

// The lots of the records a selection filter holds, in lot order, a NULL
// lot giving an empty entry; empty when the filter holds no record.
QStringList ReadSelectionLots(Connection &db, const QString &filter);

// The entries of the list-type box: the distinct list-type texts of the list,
// a NULL text giving an empty entry.
QStringList ReadListTypeTexts(Connection &db, const QString &list, const QString &listTypeNumber);

// The first of the four business-year buttons: the newest open numeric short
// name of the column's RELTABLE rows, or, when there is none, the calendar
// year of today plus four months (from September on the next year).
int NewestBusinessYear(Connection &db, const QString &businessYearColumn, const QDate &today);

// The same rule on a short name already read (empty when no row qualified).
int BusinessYearOrFallback(const QString &kurzname, const QDate &today);

} // namespace tannbuch
