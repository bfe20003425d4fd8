#include "PrefetchedAnswers.h"

namespace tannbuch {

namespace {

// What a value holds beyond the QVariant itself: the characters of a text,
// the bytes of binary data.
qsizetype payloadBytes(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        return qsizetype(sizeof(QChar)) * v.toString().size();
    case QMetaType::QByteArray:
        return v.toByteArray().size();
    default:
        return 0;
    }
}

} // namespace

StatementKey::StatementKey(const QString &sql)
    : text(sql)
{
    constexpr qsizetype Ends = 1024;
    constexpr qsizetype Samples = 256;
    const QStringView view(text);
    if (view.size() <= 2 * Ends + Samples) {
        hash = qHash(view);
        return;
    }
    hash = qHashMulti(0, view.size(), view.first(Ends), view.last(Ends));
    const qsizetype step = (view.size() - 2 * Ends) / Samples;
    for (qsizetype i = Ends; i < view.size() - Ends; i += step)
        hash = qHashMulti(hash, view[i].unicode());
}

qsizetype PrefetchedAnswers::bytesOf(const QString &sql, const ResultData &data)
{
    qsizetype bytes = qsizetype(sizeof(QChar)) * sql.size() + qsizetype(sizeof(Kept));
    for (const QString &column : data.columns)
        bytes += qsizetype(sizeof(QString) + sizeof(QChar) * size_t(column.size()));
    for (const auto &row : data.rows) {
        bytes += qsizetype(sizeof row + sizeof(QVariant) * row.size());
        for (const QVariant &value : row)
            bytes += payloadBytes(value);
    }
    return bytes;
}

void PrefetchedAnswers::keep(const StatementKey &sql, ResultData data, int times)
{
    if (const auto old = m_answers.find(sql); old != m_answers.end())
        drop(old);
    const qsizetype bytes = bytesOf(sql.text, data);
    if (bytes > MaxBytes)
        return;
    while (!m_order.empty() && (m_answers.size() >= MaxAnswers || m_bytes + bytes > MaxBytes))
        drop(m_answers.find(m_order.front()));
    m_order.push_back(sql);
    m_answers.insert(sql, Kept{std::move(data), bytes, qMax(times, 1), std::prev(m_order.end())});
    m_bytes += bytes;
}

std::optional<ResultData> PrefetchedAnswers::take(const StatementKey &sql)
{
    const auto kept = m_answers.find(sql);
    if (kept == m_answers.end())
        return std::nullopt;
    if (--kept->times > 0)
        return kept->data;
    std::optional<ResultData> data(std::move(kept->data));
    drop(kept);
    return data;
}

void PrefetchedAnswers::clear()
{
    m_answers.clear();
    m_order.clear();
    m_bytes = 0;
}

void PrefetchedAnswers::drop(QHash<StatementKey, Kept>::iterator kept)
{
    m_bytes -= kept->bytes;
    m_order.erase(kept->age);
    m_answers.erase(kept);
}

} // namespace tannbuch
