#pragma once

#include "db/Backend.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tannbuch {

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
    // The characters a batch may hold when the server accepts batches of
    // `packetBytes` × 65,536 bytes (two bytes a character on the wire):
    // 128 M characters with the usual packet of 4,096 bytes. A batch is one
    // round trip however many statements it holds; a statement longer than
    // this goes alone.
    static qsizetype characterLimit(qint64 packetBytes);

    // Whether the text may go into a batch: one reading statement, which
    // starts with SELECT, holds no ";" outside literals, names and comments,
    // no line of GO, no INTO (it would write a table) and no mark, and ends
    // every literal, name and comment it opens. One pass over the text that
    // copies nothing.
    static bool canJoin(QStringView sql);

    // The statements that may go into a batch, in order, grouped into
    // batches of at most `maxCharacters` characters each (marks included).
    static std::vector<StatementBatch> plan(const QStringList &statements, qsizetype maxCharacters);

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

} // namespace tannbuch
