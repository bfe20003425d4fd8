#include "PrefetchedAnswers.h"

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

void PrefetchedAnswers::keep(const QString &sql, ResultData data)
{
    if (const auto old = m_answers.find(sql); old != m_answers.end())
        drop(old);
    const qsizetype bytes = bytesOf(sql, data);
    if (bytes > MaxBytes)
        return;
    while (!m_order.empty() && (m_answers.size() >= MaxAnswers || m_bytes + bytes > MaxBytes))
        drop(m_answers.find(m_order.front()));
    m_order.push_back(sql);
    m_answers.insert(sql, Kept{std::move(data), bytes, std::prev(m_order.end())});
    m_bytes += bytes;
}

std::optional<ResultData> PrefetchedAnswers::take(const QString &sql)
{
    const auto kept = m_answers.find(sql);
    if (kept == m_answers.end())
        return std::nullopt;
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

void PrefetchedAnswers::drop(QHash<QString, Kept>::iterator kept)
{
    m_bytes -= kept->bytes;
    m_order.erase(kept->age);
    m_answers.erase(kept);
}
