#include "TextPool.h"

namespace tannbuch {

QString TextPool::intern(const QString &text)
{
    if (text.isEmpty() || text.size() > MaxLength)
        return text;
    const auto it = m_texts.constFind(text);
    if (it != m_texts.constEnd())
        return *it;
    if (m_texts.size() < MaxTexts)
        m_texts.insert(text);
    return text;
}

} // namespace tannbuch
