#include "StatementJournal.h"

namespace tannbuch {

void StatementJournal::record(const QString &sql)
{
    ++m_count;
    if (m_recording)
        m_statements.append(sql);
    if (m_sink)
        m_sink(sql);
}

void StatementJournal::clear()
{
    m_statements.clear();
    m_count = 0;
}

} // namespace tannbuch
