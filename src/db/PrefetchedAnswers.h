#pragma once

#include "db/Backend.h"

#include <QHash>
#include <QString>

#include <list>
#include <optional>

namespace tannbuch {

// A statement text as a hash key, hashed once when the key is made. A long
// text (a filter listing a thousand ids) is not read whole for it: the hash
// reads the length, both ends and characters spread over the middle, and
// equal hashes are told apart by comparing the texts (at once when both
// share the same characters, as a text built once and passed on does).
struct StatementKey
{
    StatementKey(const QString &sql = QString());
    QString text;
    size_t hash = 0;
    bool operator==(const StatementKey &other) const { return hash == other.hash && text == other.text; }
};
inline size_t qHash(const StatementKey &key, size_t seed = 0)
{
    return key.hash ^ seed;
}

// Answers of statements run ahead, kept by statement text until the report
// asks for them. Each answer is handed out as many times as it was kept for
// (a report asks some texts twice on purpose). The store holds at most
// MaxAnswers answers and MaxBytes bytes (texts and values together, as
// estimated by bytesOf); beyond either, the answers kept longest go first:
// a report asks in the order it ran ahead, so those are the ones it skipped.
class PrefetchedAnswers
{
public:
    // A report runs ahead up to some thousand statements at a time (a
    // window of rows, each one or two look-ups); this keeps a window whole.
    static constexpr qsizetype MaxAnswers = 4096;
    // A provision's filter may list up to a thousand ids (some kilobytes)
    // in a statement, so the count alone does not bound the memory.
    static constexpr qsizetype MaxBytes = 64 * 1024 * 1024;

    // Keeps the answer to `sql` for `times` asks (replacing one kept
    // before), unless it alone is larger than MaxBytes; makes room by
    // dropping the oldest answers.
    void keep(const StatementKey &sql, ResultData data, int times = 1);
    // The answer to `sql`, taken out of the store; none when it is not kept.
    std::optional<ResultData> take(const StatementKey &sql);
    bool contains(const StatementKey &sql) const { return m_answers.contains(sql); }
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
        std::list<StatementKey>::iterator age; // place in m_order
    };

    void drop(QHash<StatementKey, Kept>::iterator kept);

    QHash<StatementKey, Kept> m_answers;
    std::list<StatementKey> m_order; // statement texts, kept longest first
    qsizetype m_bytes = 0;
};

} // namespace tannbuch
