#pragma once

#include "db/Backend.h"

#include <QHash>
#include <QString>

#include <list>
#include <optional>

// A statement text as a hash key. Nearly every statement of a provision
// carries its filter of thousands of ids, so hashing every character would
// cost more than running the statement on the embedded database: the hash
// reads the length, both ends and characters spread over the middle, and
// equal hashes are told apart by comparing the texts.
struct StatementKey
{
    QString text;
    bool operator==(const StatementKey &other) const { return text == other.text; }
};
size_t qHash(const StatementKey &key, size_t seed = 0);

// Answers of statements run ahead, kept by statement text until the report
// asks for them. Each answer is handed out as many times as it was kept for
// (a report asks some texts twice on purpose). The store holds at most
// MaxAnswers answers and MaxBytes bytes (texts and values together, as
// estimated by bytesOf); beyond either, the answers kept longest go first:
// a report asks in the order it ran ahead, so those are the ones it skipped.
class PrefetchedAnswers
{
public:
    // A report runs ahead some dozens to hundreds of statements at a time;
    // this keeps several such windows.
    static constexpr qsizetype MaxAnswers = 2000;
    // Nearly every statement of a provision carries its filter of thousands
    // of ids (tens of kilobytes), so the count alone does not bound the
    // memory.
    static constexpr qsizetype MaxBytes = 32 * 1024 * 1024;

    // Keeps the answer to `sql` for `times` asks (replacing one kept
    // before), unless it alone is larger than MaxBytes; makes room by
    // dropping the oldest answers.
    void keep(const QString &sql, ResultData data, int times = 1);
    // The answer to `sql`, taken out of the store; none when it is not kept.
    std::optional<ResultData> take(const QString &sql);
    bool contains(const QString &sql) const { return m_answers.contains(StatementKey{sql}); }
    void clear();

    qsizetype size() const { return m_answers.size(); }
    qsizetype bytes() const { return m_bytes; }

    // The memory an answer with its statement text takes, roughly.
    static qsizetype bytesOf(const QString &sql, const ResultData &data);

private:
    struct Kept
    {
        ResultData data;
        qsizetype bytes = 0;
        int times = 1; // asks it still answers
        std::list<QString>::iterator age; // place in m_order
    };

    void drop(QHash<StatementKey, Kept>::iterator kept);

    QHash<StatementKey, Kept> m_answers;
    std::list<QString> m_order; // statement texts, kept longest first
    qsizetype m_bytes = 0;
};
