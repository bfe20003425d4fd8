#pragma once

#include "db/Backend.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Reading statements sent to the server as one batch, in one round trip, and
// the answers that come back told apart by statement.
//
// Each statement goes out behind a mark of its own, a one-row result
// "SELECT k AS tannbuch_batch_mark", so that every result set is known by the
// mark before it, not by counting: a statement's answer is the one result set
// between its mark and the next. A statement gets no answer when anything
// else comes there (an error, a second result set, no result set), and the
// statements whose marks never came (the server gave up on the batch) get
// none either; each of those then runs alone when asked and fails or
// succeeds as it would have without the batch.
class StatementBatch
{
public:
    // At most this many statements go into one batch: beyond some dozens
    // the round trip is a small share of the time anyway, and an error that
    // ends the batch sends the rest one by one.
    static constexpr qsizetype MaxStatements = 64;
    // At most this many characters of text (twice as many bytes on the
    // wire): the server compiles the whole batch before its first answer,
    // and the statements of a provision with thousands of ids are long; a
    // longer statement goes alone.
    static constexpr qsizetype MaxCharacters = 256 * 1024;

    // Whether the text may go into a batch: one reading statement, which
    // starts with SELECT, holds no ";" outside literals, names and comments,
    // no line of GO, no INTO (it would write a table) and no mark, and ends
    // every literal, name and comment it opens.
    static bool canJoin(const QString &sql);

    // The statements that may go into a batch, in order, grouped into
    // batches by the limits above.
    static std::vector<StatementBatch> plan(const QStringList &statements);

    // The text sent: each statement behind its mark.
    QString text() const;
    // How many answers (result sets and errors) the batch can give at most:
    // a mark and one answer for each statement.
    qsizetype answerLimit() const { return 2 * m_statements.size(); }

    // The next result set of the server's answer.
    void takeResult(ResultData data);
    // The next error of the server's answer: the statement it falls to gets
    // no answer.
    void takeError();

    // Moves each statement's answer, where it has one beyond doubt, into
    // `results` at the statement's place in the list planned from.
    void deliver(std::vector<std::optional<ResultData>> &results);

private:
    // An answer came that the marks do not explain: the statement under way
    // and all after it get none.
    void loseTrack();

    QStringList m_statements;
    std::vector<qsizetype> m_places; // in the list planned from
    std::vector<std::optional<ResultData>> m_answers;
    std::vector<bool> m_doubtful; // something else came besides one result set
    qsizetype m_current = -1; // the statement whose mark came last
    bool m_lost = false; // an answer came that no mark explains
};
