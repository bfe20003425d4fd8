#include "LookAhead.h"

#include "db/Connection.h"
#include "db/Recordset.h"
#include "report/ReportRun.h"

namespace tannbuch {

LookAhead::LookAhead(ReportRun &run, Foresight foresight)
    : m_run(run)
    , m_foresight(std::move(foresight))
{ }

LookAhead::~LookAhead()
{
    forgetUnasked();
}

void LookAhead::reach(Recordset &records, qint64 row)
{
    if (row < m_nextWindow || !m_run.db->prefetchEnabled())
        return;
    forgetUnasked();

    QStringList window;
    qsizetype chars = 0;
    int walked = 0;
    for (; walked < WindowRows && !records.eof() && chars < WindowChars; ++walked) {
        const qsizetype before = window.size();
        m_foresight(records, window);
        for (qsizetype i = before; i < window.size(); ++i)
            chars += window[i].size();
        records.moveNext();
    }
    for (int i = 0; i < walked; ++i)
        records.movePrevious();
    m_nextWindow = row + qMax(walked, 1);

    // Those the run remembers are answered without the database. A look-up
    // listed twice is asked twice (a group's first height probe, a lot
    // summary repeated under a jacket's heading): it is sent once and
    // answered twice.
    window.removeIf([&](const QString &sql) { return m_run.remembers(sql); });
    m_run.db->prefetch(window);
}

void LookAhead::forgetUnasked()
{
    // Answers sent ahead for rows already written will not be asked for.
    if (m_run.db)
        m_run.db->dropPrefetched();
}

} // namespace tannbuch
