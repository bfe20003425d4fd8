#pragma once

#include "db/Backend.h"
#include "db/PreparedStatementCache.h"
#include "db/SqlDialect.h"
#include "db/StatementShape.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

namespace tannbuch {

// The embedded database: a SQLite file opened read-only, so no statement can
// change it. Statements arrive in the SQL Server dialect; SqlDialect rewrites
// them and the functions and the text collation they need are registered on
// the connection, so each gives SQL Server's answer.
//
// A report sends the same few dozen statements for every pile and record,
// only the record id changed. Each statement is run in its shape
// (StatementShape: such ids taken out as parameters), and the rewrite and the
// prepared statement of a shape are kept and reused with the ids bound. A
// kept statement is reset after each run; one that fails is dropped.
//
// Outside a snapshot each statement reads the file as it is when it runs.
// From beginSnapshot() to endSnapshot() the statements read one state of
// the file in one read transaction, and a subquery after IN that refers to
// nothing outside itself, answers whole numbers from a column of integer
// type and comes a second time (a provision's records, in every statement
// of a report) is run once and kept in a temporary table until the snapshot
// ends, as the long number lists are.
//
// Only reading statements run: the connection is opened read-only, an
// authorizer refuses everything but reading tables and calling functions
// (no ATTACH, PRAGMA, writes), and a statement that SQLite does not mark as
// read-only or that is followed by a second one is refused before it runs.
//
// Values: INTEGER -> qlonglong, REAL -> double, TEXT -> QString, BLOB ->
// QByteArray, NULL -> an invalid QVariant. A text of exactly the shape
// "YYYY-MM-DD HH:MM:SS" (a real day and time) comes back as a QDateTime in
// local time, one of exactly "YYYY-MM-DD" as a QDate: dates are stored as ISO
// text, and this rule also holds where SQLite has lost the column's type (MIN,
// DISTINCT, expressions). Column names are SQLite's, in SELECT-list order.
//
// The file is read, never mapped into memory, so a file cut short during a
// run gives an error, not a crash.
//
// Throws DbError when the file is missing or not a database (the message
// names the file), when a statement finds the file damaged or unreadable (the
// message names the file and says the file is damaged), and for every other
// failing or refused statement, with SQLite's message.
class SqliteBackend : public Backend
{
public:
    // Opens the file read-only and prepares the connection; throws DbError.
    explicit SqliteBackend(const QString &path);
    ~SqliteBackend() override;
    SqliteBackend(const SqliteBackend &) = delete;
    SqliteBackend &operator=(const SqliteBackend &) = delete;

    // Rewrites, checks and runs one reading statement; throws DbError.
    ResultData query(const QString &sql) override;
    bool beginSnapshot() override;
    void endSnapshot() override;
    QString name() const override { return QStringLiteral("SQLite"); }

private:
    // The SQLite text that query() runs for a statement (cached).
    QString rewritten(const SetAsideLists &aside);
    // The same, made from the rewrite of its form with the string literals
    // marked (MarkedLiterals): a report sends each statement about a lot
    // once per lot, alike but for the lot's name, and one rewrite serves
    // them all.
    QString rewrittenByLiterals(const SetAsideLists &aside);
    // The statement's shape, found among the latest shapes or made anew.
    StatementShape shapeOf(const QString &sql);
    // The statement with its long number lists set aside, each list given
    // its temporary table where it fits one.
    SetAsideLists setAsideLists(const QString &sql);
    // What a prepared statement or rewrite is kept by: the text with its
    // lists set aside, and which lists they are.
    QString cacheKey(const QString &text, const SetAsideLists &aside);
    // The prepared statement of a shape: the kept one, else a new one. A
    // shape that does not prepare, or loses a value's mark in the rewrite,
    // becomes the statement as it came. Throws DbError.
    sqlite3_stmt *statementFor(StatementShape &shape, const SetAsideLists &aside);
    // The statement rewritten, prepared and checked (one reading statement);
    // nullptr for a text of blanks and comments. Throws DbError.
    sqlite3_stmt *prepared(const SetAsideLists &aside);
    // The whole result of a prepared statement, stepped to its end; throws
    // DbError when a step fails.
    ResultData fetch(sqlite3_stmt *statement);
    // A subquery over a temporary table holding the numbers of a long IN
    // list, made once per list text, or the table a fixed subquery was kept
    // in; empty when the list does not fit.
    QString numberListTable(const QString &list);
    // Whether the subquery after IN is kept in a temporary table for the
    // snapshot (made on its second coming, see the class comment).
    bool fixedSubquery(QStringView subquery);
    // Reads the answer of a subquery that stands on its own as whole numbers
    // (NULL noted); false when it does not prepare alone, answers more than
    // one column, not a column of integer type, or another kind of value.
    bool readWholeNumbers(const QString &subquery, std::vector<qint64> &numbers, bool &hasNull);
    // Makes the temporary table of `numbers` (and NULL) for the list or
    // subquery text; its subquery, empty when it cannot be made.
    QString makeNumberTable(const QString &text, const std::vector<qint64> &numbers, bool hasNull);
    // Runs a statement of the connection's own (transactions, temporary
    // tables) past the authorizer; false when it fails.
    bool runOwn(const char *sql);
    // Throws DbError naming the file when it is shorter than when opened.
    void failIfShrunk();
    // Closes the connection and throws DbError naming the file.
    [[noreturn]] void failOpen(const QString &reason);
    // Throws DbError naming the file when the result code says the file is
    // damaged or could not be read, or the file is shorter than when opened.
    void failIfDamaged(int rc);

    // Rewrites are kept by shape; statements with other values built in (a
    // lot, a list) still make many texts, so the cache starts over when it
    // holds this many.
    static constexpr int RewriteCacheLimit = 2000;
    // Longer texts (a provision's id list in every statement) are not kept:
    // they would fill the memory and are rarely sent twice.
    static constexpr int RewriteCacheTextLimit = 4096;
    // Prepared statements kept: a report sends a few dozen forms of
    // statement, each for many piles and records.
    static constexpr int StatementCacheSize = 64;
    // Temporary tables of IN lists made at most.
    static constexpr int NumberListTableLimit = 64;
    // Shapes a statement is matched against before it is tokenized.
    static constexpr size_t RecentShapeCount = 16;

    struct SnapshotTable
    {
        QString text; // the subquery kept
        QString table;
    };

    QString m_path;
    qint64 m_openedSize = 0;
    sqlite3 *m_db = nullptr;
    QHash<QString, QString> m_rewrites;
    QHash<QString, QString> m_literalForms; // rewrites of marked forms
    PreparedStatementCache m_statements;
    std::vector<StatementShape> m_recentShapes; // used latest first
    QHash<QString, QString> m_numberListTables; // list text -> subquery
    QStringList m_knownLists; // the same lists and their
    QStringList m_knownSubqueries; // subqueries, in order
    int m_tablesMade = 0; // names the next temporary table
    bool m_inSnapshot = false;
    QHash<QString, int> m_subqueriesSeen; // in this snapshot, by text
    QSet<QString> m_subqueriesRefused; // not fit for a table
    std::vector<SnapshotTable> m_snapshotTables; // dropped when the snapshot ends
    QByteArray m_nativePath; // for the size check during a snapshot
    // Set while the connection fills a temporary table; the authorizer then
    // lets its own writes to the temporary database pass.
    bool m_fillingTemporaryTable = false;
};

} // namespace tannbuch
