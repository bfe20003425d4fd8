#include "LookAhead.h"

#include "db/Connection.h"
#include "db/Recordset.h"
#include "report/ReportRun.h"
#include <QSet>

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

    // Each look-up once; those the run remembers are answered without the database.
    QSet<QString> seen;
    window.removeIf([&](const QString &sql) {
        if (seen.contains(sql) || m_run.remembers(sql))
            return true;
        seen.insert(sql);
        return false;
    });
    m_run.db->prefetch(window);
}

void LookAhead::forgetUnasked()
{
    // Answers sent ahead for rows already written will not be asked for
    // again; turning prefetching off and on drops them.
    if (m_run.db && m_run.db->prefetchEnabled()) {
        m_run.db->setPrefetchEnabled(false);
        m_run.db->setPrefetchEnabled(true);
    }
}
