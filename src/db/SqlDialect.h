#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

namespace tannbuch {

// A statement with its long lists of plain numbers after IN ("IN (1,2,...)",
// at least 16 numbers) taken out: a placeholder number stands in each list's
// place, the lists are kept in order. A provision's filter lists every record
// id, thousands of numbers, in every statement of a report; set aside, the
// rest of the statement is short to read, compare and rewrite.
struct SetAsideLists
{
    QString sql; // the statement with placeholders
    QStringList lists; // the lists, by placeholder number

    static QString placeholder(qsizetype index);
    // The statement as it came.
    QString restored() const
    {
        QString text = sql;
        for (qsizetype i = lists.size() - 1; i >= 0; --i)
            text.replace(placeholder(i), lists.at(i));
        return text;
    }
};

// A statement with the text of each string literal replaced by a numbered
// mark, and the literals as the rewrite writes them (N'..' as '..').
// Statements that differ only in such texts (a lot's name, a list number)
// share one marked form, and so one rewrite: the rewrite changes no
// literal, and where it puts one depends on its place alone.
struct MarkedLiterals
{
    QString sql; // the statement with marks
    QStringList literals; // by mark number

    // The statement with its literals marked; none when it has no literal,
    // holds the mark's character already, or ends inside a literal,
    // identifier or comment.
    static std::optional<MarkedLiterals> of(const QString &sql);
    // The rewrite of the marked form with the literals put back; none when
    // a mark is missing, repeated or unknown.
    std::optional<QString> restoredIn(const QString &rewritten) const;
};

// Rewrites a statement written for SQL Server into one that SQLite runs with
// the same answer, given the collation and functions that SqlServerFunctions
// registers. The statement is tokenized (SqlTokenizer) and parentheses and
// CASE ... END are nested into a tree; only tokens outside string literals,
// bracketed and quoted identifiers are ever changed. The rules:
//
// - ISNULL(a, b)           -> (ifnull(a, b) COLLATE NOCASE)
// - LEFT(s, n), RIGHT(s, n) -> (tb_left / tb_right(s, n) COLLATE NOCASE); the
//                             words before JOIN stay as they are
// - ISNUMERIC(x)           -> tb_isnumeric(x)
// - CAST(x AS [n]varchar(n)), CONVERT([n]varchar(n), x[, style]) and the
//   [n]char forms          -> (tb_text(x, n, pad, style) COLLATE NOCASE)
//                             (n -1 for max, 30 when left out)
// - CAST/CONVERT to smalldatetime, datetime, datetime2, date
//                          -> tb_datetime(x, style, kind)
// - CAST/CONVERT to any other type -> CAST(x AS type), the style dropped
// - SELECT [DISTINCT] TOP n ... -> SELECT [DISTINCT] ... LIMIT n, for a SELECT
//   that is not part of UNION/EXCEPT/INTERSECT (left alone otherwise, so
//   SQLite rejects it rather than answering differently)
// - a + b: SQL Server joins two texts and adds numbers. When one operand is
//   surely a number (a numeric literal, an arithmetic term with * / % or a
//   unary minus, a counting or arithmetic function such as SUM or ROUND, a
//   cast to a number type, or a chain that subtracts) the '+' stays;
//   otherwise it becomes tb_plus(a, b), which decides by the values: two
//   texts are joined, anything else is added. Chains fold from the left, so
//   MIN(x) + ' bis ' + MAX(x) becomes tb_plus(tb_plus(MIN(x), ' bis '), MAX(x)).
// - N'text' -> 'text'; [a]]b] -> "a]b"; !< and !> -> >= and <=; comments -> a blank;
//   a blank between a number and a word that follows it at once ("= 1AND")
//
// The text results carry COLLATE NOCASE so that comparing them, grouping and
// DISTINCT ignore case and trailing blanks as SQL Server's default collation
// does, also where no column is involved (right(k, 2) = right('2024', 2)); so
// does a string literal next to a comparison operator ('a' = 'A ' is true).
//
// Malformed input (an unterminated literal, identifier or comment, unbalanced
// parentheses, CASE without END) comes back unchanged, so SQLite reports the
// error; so does a statement nested more than 500 deep. Never throws.
class SqlDialect
{
public:
    // The SQLite form of a SQL Server statement.
    static QString toSqlite(const QString &sql);
    // The same; a long list of plain numbers after IN ("IN (1,2,...)") is
    // offered to numberList, and a non-empty answer (a subquery such as
    // "SELECT id FROM temp.t") takes the list's place inside the brackets;
    // a column named with its table before IN then gets a unary plus, which
    // keeps SQLite from fetching the list's rows one by one through that
    // column's index when another index finds the few rows asked for.
    // A list that is character for character one of knownLists is found by
    // comparing instead of reading it number by number: a report repeats one
    // list of many thousand ids in each of its statements.
    static QString toSqlite(const QString &sql, const std::function<QString(const QString &list)> &numberList,
        const QStringList &knownLists = {});
    // The same for a statement whose lists are set aside already.
    static QString toSqlite(const SetAsideLists &aside, const std::function<QString(const QString &list)> &numberList);

    // The statement's long number lists set aside; a list that is character
    // for character one of knownLists is found by comparing and shared, not
    // copied. A subquery after IN ("IN (SELECT ...)", up to its closing
    // bracket, blanks before it left out) is set aside too when it is one of
    // knownLists or when setAsideSubquery says so; otherwise the search goes
    // on inside it. A statement without such lists, or one that holds a
    // placeholder's digits itself, comes back whole with no lists.
    static SetAsideLists setAsideNumberLists(const QString &sql, const QStringList &knownLists,
        const std::function<bool(QStringView subquery)> &setAsideSubquery = {});
};

} // namespace tannbuch
