#include "StatementBatch.h"

#include "db/SqlTokenizer.h"

namespace {

const QString MarkColumn = QStringLiteral("tannbuch_batch_mark");

// The mark before the statement at `index` of a batch, and the ";" that ends
// it. A statement is followed by a line break and a ";", so that a line
// comment at its end cannot take in what follows.
QString markText(qsizetype index)
{
    return QStringLiteral("SELECT %1 AS %2;\n").arg(index).arg(MarkColumn);
}

const QString StatementEnd = QStringLiteral("\n;\n");

// The characters a statement takes in a batch, its mark included.
qsizetype lengthInBatch(const QString &sql)
{
    return markText(StatementBatch::MaxStatements).size() + sql.size() + StatementEnd.size();
}

bool endsLine(const SqlTokenizer::Token &token)
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

bool StatementBatch::canJoin(const QString &sql)
{
    const std::vector<SqlTokenizer::Token> tokens = SqlTokenizer::tokenize(sql);
    bool first = true;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const SqlTokenizer::Token &token = tokens[i];
        if (token.unterminated || token.isSymbol(u";") || token.isWord(u"INTO") || token.isWord(MarkColumn))
            return false;
        if (token.isWord(u"GO") && (i == 0 || endsLine(tokens[i - 1])))
            return false;
        if (first && token.isSignificant()) {
            if (!token.isWord(u"SELECT"))
                return false;
            first = false;
        }
    }
    return !first;
}

std::vector<StatementBatch> StatementBatch::plan(const QStringList &statements)
{
    std::vector<StatementBatch> batches;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < statements.size(); ++i) {
        if (!canJoin(statements[i]))
            continue;
        const qsizetype length = lengthInBatch(statements[i]);
        if (batches.empty() || batches.back().m_statements.size() == MaxStatements
            || characters + length > MaxCharacters) {
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
