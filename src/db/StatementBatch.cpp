#include "StatementBatch.h"

#include "db/SqlTokenizer.h"

#include <algorithm>

namespace tannbuch {

namespace {

const QString MarkColumn = QStringLiteral("tannbuch_batch_mark");

// The mark before the statement at `index` of a batch, ended by its ";".
QString markText(qsizetype index)
{
    return QStringLiteral("SELECT %1 AS %2;\n").arg(index).arg(MarkColumn);
}

// What follows each statement: a line break first, so that a line comment at
// its end cannot take in the ";".
const QString StatementEnd = QStringLiteral("\n;\n");

// The characters a statement takes in a batch, its mark included (at most
// this long for a batch of up to a billion statements).
qsizetype lengthInBatch(const QString &sql)
{
    return markText(999999999).size() + sql.size() + StatementEnd.size();
}

// Whether the token is a run of blanks that ends a line.
bool endsLine(const SqlTokenizer::TokenView &token)
{
    return token.kind == SqlTokenizer::Kind::Whitespace
        && (token.text.contains(QLatin1Char('\n')) || token.text.contains(QLatin1Char('\r')));
}

// The index a mark's result carries, or -1 for any other result set.
qsizetype markIndex(const ResultData &data)
{
    if (data.columns != QStringList{MarkColumn} || data.rows.size() != 1 || data.rows[0].size() != 1)
        return -1;
    const QVariant &v = data.rows[0][0];
    return v.typeId() == QMetaType::LongLong ? qsizetype(v.toLongLong()) : -1;
}

} // namespace

bool StatementBatch::canJoin(QStringView sql)
{
    // One pass over the text, token by token, without copying any.
    bool first = true;
    bool lineStart = true; // no token yet, or the last one ended a line
    for (qsizetype at = 0; at < sql.size();) {
        const SqlTokenizer::TokenView token = SqlTokenizer::tokenAt(sql, at);
        at += token.text.size();
        if (token.unterminated || token.isSymbol(u";") || token.isWord(u"INTO") || token.isWord(MarkColumn))
            return false;
        if (lineStart && token.isWord(u"GO"))
            return false;
        lineStart = endsLine(token);
        if (first && token.isSignificant()) {
            if (!token.isWord(u"SELECT"))
                return false;
            first = false;
        }
    }
    return !first;
}

qsizetype StatementBatch::characterLimit(qint64 packetBytes)
{
    // The smallest packet the server negotiates is 512 bytes.
    return qsizetype(std::max<qint64>(packetBytes, 512) * 65536 / 2);
}

std::vector<StatementBatch> StatementBatch::plan(const QStringList &statements, qsizetype maxCharacters)
{
    std::vector<StatementBatch> batches;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < statements.size(); ++i) {
        if (!canJoin(statements[i]))
            continue;
        const qsizetype length = lengthInBatch(statements[i]);
        if (batches.empty() || characters + length > maxCharacters) {
            batches.emplace_back();
            characters = 0;
        }
        batches.back().m_statements << statements[i];
        batches.back().m_places.push_back(i);
        characters += length;
    }
    for (StatementBatch &batch : batches) {
        batch.m_answers.resize(size_t(batch.m_statements.size()));
        batch.m_doubtful.resize(size_t(batch.m_statements.size()));
    }
    return batches;
}

QString StatementBatch::text() const
{
    QString text;
    qsizetype length = 0;
    for (const QString &sql : m_statements)
        length += lengthInBatch(sql);
    text.reserve(length);
    for (qsizetype i = 0; i < m_statements.size(); ++i)
        text += markText(i) + m_statements[i] + StatementEnd;
    return text;
}

void StatementBatch::takeResult(ResultData data)
{
    if (m_lost)
        return;
    const qsizetype mark = markIndex(data);
    if (mark >= 0) {
        // Marks come in order; one out of order means the answer is not
        // the one the batch asked for, from the statement before it on.
        if (mark <= m_current || mark >= m_statements.size())
            return loseTrack();
        m_current = mark;
        return;
    }
    if (m_current < 0)
        return loseTrack();
    const size_t at = size_t(m_current);
    if (m_answers[at] || m_doubtful[at]) {
        m_answers[at].reset();
        m_doubtful[at] = true;
    } else {
        m_answers[at] = std::move(data);
    }
}

void StatementBatch::loseTrack()
{
    if (m_current >= 0) {
        m_answers[size_t(m_current)].reset();
        m_doubtful[size_t(m_current)] = true;
    }
    m_lost = true;
}

void StatementBatch::takeError()
{
    if (m_lost || m_current < 0)
        return;
    m_answers[size_t(m_current)].reset();
    m_doubtful[size_t(m_current)] = true;
}

void StatementBatch::deliver(std::vector<std::optional<ResultData>> &results)
{
    for (size_t i = 0; i < m_answers.size(); ++i) {
        if (m_answers[i] && !m_doubtful[i] && size_t(m_places[i]) < results.size())
            results[size_t(m_places[i])] = std::move(m_answers[i]);
    }
}

} // namespace tannbuch
