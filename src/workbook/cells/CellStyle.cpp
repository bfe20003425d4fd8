#include "CellStyle.h"

#include <QHashFunctions>

namespace tannbuch {

size_t qHash(const CellStyle &style, size_t seed)
{
    // Qt's own overloads, which this one would hide.
    using ::qHash;
    QtPrivate::QHashCombine combine;
    seed = combine(seed, style.baseXf);
    seed = combine(seed, style.numberFormat ? qHash(*style.numberFormat) + 1 : 0);
    seed = combine(seed, style.bold ? int(*style.bold) + 1 : 0);
    seed = combine(seed, style.fontSize ? qHash(*style.fontSize) + 1 : 0);
    seed = combine(seed, style.horizontalAlignment ? int(*style.horizontalAlignment) : 0);
    for (const auto &b : style.borders) {
        if (b)
            seed = combine(seed, b->lineStyle * 31 + b->weight * 7 + b->colorIndex);
        else
            seed = combine(seed, 0x5a5a);
    }
    seed = combine(seed, style.quotePrefix);
    return seed;
}

StylePool::StylePool()
{
    m_styles.emplace_back();
    m_ids.insert(m_styles.front(), 0);
}

quint32 StylePool::intern(const CellStyle &style)
{
    const auto it = m_ids.constFind(style);
    if (it != m_ids.constEnd())
        return it.value();
    const quint32 id = quint32(m_styles.size());
    m_styles.push_back(style);
    m_ids.insert(style, id);
    return id;
}

} // namespace tannbuch
