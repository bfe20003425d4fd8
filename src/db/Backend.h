#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

namespace tannbuch {

// A fully fetched result: column names in SELECT-list order and the rows.
// A NULL value is an invalid QVariant; an empty text is a QString("").
// Dates come back as QDateTime (or QDate when the value has no time part).
struct ResultData
{
    QStringList columns;
    std::vector<std::vector<QVariant>> rows;
};

// One database engine behind a Connection. Implementations run the statement
// text they are given and fetch the whole result; they throw DbError with the
// engine's message on any failure.
class Backend
{
public:
    virtual ~Backend() = default;

    // Runs one statement and returns its whole result (empty for a statement
    // without result columns). Throws DbError.
    virtual ResultData query(const QString &sql) = 0;

    // Runs the statements in order and returns one result for each, the
    // same as query() gives. A statement that fails, or that the engine does
    // not run ahead, has no result (its error shows when it is run alone).
    // Engines reached over a network send them in few round trips; this one
    // runs them one by one. Never throws.
    virtual std::vector<std::optional<ResultData>> queryBatch(const QStringList &statements)
    {
        std::vector<std::optional<ResultData>> results;
        results.reserve(size_t(statements.size()));
        for (const QString &sql : statements) {
            try {
                results.emplace_back(query(sql));
            } catch (...) {
                results.emplace_back(std::nullopt);
            }
        }
        return results;
    }

    // From beginSnapshot() to endSnapshot() every statement reads the same
    // state of the database, as far as the engine allows: the embedded one
    // holds one read transaction; over the network each statement reads
    // what is committed when it runs (these do nothing). beginSnapshot()
    // answers whether the engine holds one state now. Never throw.
    virtual bool beginSnapshot() { return false; }
    virtual void endSnapshot() { }

    // Name for messages and tests ("SQLite", "ODBC").
    virtual QString name() const = 0;
};

} // namespace tannbuch
