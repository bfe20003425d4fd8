#include "ProvisionWatch.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "selection/SelectionQueries.h"
#include "selection/SelectionStatements.h"

#include <algorithm>

namespace tannbuch {

namespace {

QStringList sortedIds(Connection &db, const QString &provisionName)
{
    QStringList ids = ReadProvisionIds(db, provisionName);
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

ProvisionWatch::ProvisionWatch(Connection &db, const QString &provisionName, const QString &provisionFilter)
    : m_db(db)
    , m_name(provisionName)
    , m_watching(!db.readsSnapshot() && !provisionFilter.isEmpty()
          && provisionFilter == ProvisionSubqueryCondition(provisionName))
{
    if (m_watching)
        m_ids = sortedIds(m_db, m_name);
}

void ProvisionWatch::checkUnchanged() const
{
    if (!m_watching || sortedIds(m_db, m_name) == m_ids)
        return;
    throw DbError(QStringLiteral("Die Bereitstellung „%1“ wurde während des Drucks geändert. Der Bericht könnte "
                                 "Hölzer aus beiden Ständen zeigen; er wurde weder gedruckt noch gespeichert. Bitte "
                                 "erneut drucken.")
                      .arg(m_name));
}

} // namespace tannbuch
