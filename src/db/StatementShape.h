#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace tannbuch {

// A reading statement with the whole numbers its filters compare a column to
// taken out: "... WHERE LOGS.ID_LOG = 2723" has the shape "... WHERE
// LOGS.ID_LOG = ?1" and the value 2723. A report sends the same statement for
// every pile, stacked-wood record and jacket with only such a record id
// changed, so the statements of one shape share one rewrite and one prepared
// statement with the values bound.
//
// Only a number that cannot change the answer, the column names or the plan
// when bound is taken out: a whole number of at most 18 digits, right of "="
// with a column (name or table.name) on the left, the comparison standing
// alone (after WHERE, ON, HAVING, WHEN, AND, OR, NOT or "(", and followed by
// ")", the end, AND, OR, THEN or a clause word), in a filter (WHERE, ON,
// HAVING) of a SELECT that is not part of a result column. A statement that
// does not start with SELECT, that holds a parameter mark of its own
// (?, :, @, $) or that is malformed keeps all its numbers. Never throws.
struct StatementShape
{
    QString text;
    std::vector<qint64> values; // the value of ?1, ?2, ... in order
    std::vector<qsizetype> marks; // where ?1, ?2, ... stand in the text

    // The shape of a statement in the SQL Server dialect.
    static StatementShape of(const QString &sql);

    // The values of a statement that has this shape: the same text with a
    // whole number of at most 18 digits where each mark stands (what of()
    // would find, for a pass over the text without tokenizing it); none
    // when the statement differs anywhere else.
    std::optional<std::vector<qint64>> valuesOf(QStringView sql) const;
};

} // namespace tannbuch
