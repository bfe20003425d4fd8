#pragma once

#include <QString>
#include <QStringList>

namespace tannbuch {

// Whether the lot/pile picker offers the lots (LOS) or the log piles (POLTNR)
// of the chosen list.
enum class LotMode { Lots, Piles };

// What the list query of the list browser depends on: the start-up values,
// the access-level filter and the texts of the year and date boxes.
struct ListViewQuery
{
    QString businessYearColumn; // a LOGS column such as RELTABLE1; empty in date mode
    QString year; // text of txt_Jahr
    QString listNumber; // list number from the command line
    QString listTypeNumber; // list-type number from the command line
    QString accessLevelFilter; // parenthesised list or subquery, or empty
    QString dateFrom; // text of txtVon, dd.mm.yyyy or empty
    QString dateTo; // text of txtBis
};

// The statement texts of the list selection. They are sent exactly as built
// here, blanks included; every value that goes between single quotes has its
// quotes doubled. Numbers and column names from the command line or the ini
// file (list-type number, business-year column) go in as they are.

// The newest open numeric business year of a business-year column: its
// RELTABLE_ID is the column name's last character ("RELTABLE10" gives 0).
QString BusinessYearStatement(const QString &businessYearColumn);

// The lists of the browser with their date, pieces and volume. A list number
// from the command line fixes the list (with its list type, when one was
// given) and then neither access levels nor dates apply.
QString ListViewStatement(const ListViewQuery &query);

// The distinct lots or piles of a list, restricted to a list-type text when
// one is given.
QString LotListStatement(LotMode mode, const QString &list, const QString &listTypeText);

// The distinct lots of the records a selection filter holds.
QString SelectionLotsStatement(const QString &filter);

// The distinct list-type texts of a list, restricted to the command line's
// list-type number when there is one. The list is followed by a blank inside
// the quotes; the database ignores trailing blanks when it compares.
QString ListTypesStatement(const QString &list, const QString &listTypeNumber);

// The log ids of a provision.
QString ProvisionStatement(const QString &provisionName);

// The most record ids a provision's condition lists; a larger provision is
// read on the server instead, so that no statement grows with it.
constexpr int ProvisionListLimit = 1000;

// The selection filter's condition on a provision's records by their ids:
// " AND LOGS.ID_LOG IN (<ids joined by ",">) ".
QString ProvisionListCondition(const QStringList &ids);

// The same condition for a provision of more than ProvisionListLimit
// records, of one size however many records it holds: the server reads the
// provision's ids itself (" AND LOGS.ID_LOG IN (SELECT bl.ID_LOGS FROM ...
// WHERE bk.BEREITSTELLUNGSNAME = '<name>') "). A NULL id matches no record,
// as it is left out of the list.
QString ProvisionSubqueryCondition(const QString &provisionName);

// The LISTENART number of a list-type text.
QString ListTypeNumberStatement(const QString &listTypeText);

} // namespace tannbuch
