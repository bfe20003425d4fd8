#include "ReportRun.h"

#include "db/Connection.h"
#include "report/ProgramUi.h"
#include "report/TextLookup.h"

namespace tannbuch {

QString ReportRun::text(qint32 id)
{
    const auto it = m_texts.constFind(id);
    if (it != m_texts.constEnd())
        return it.value();
    const QString value = GetString(*db, id);
    m_texts.insert(id, value);
    return value;
}

Recordset ReportRun::lookup(const QString &sql)
{
    const StatementKey key(sql);
    auto it = m_lookups.find(key);
    if (it == m_lookups.end())
        it = m_lookups.insert(key, db->execute(sql));
    Recordset answer = it.value();
    if (!answer.isEmpty())
        answer.moveFirst();
    return answer;
}

void ReportRun::status(const QString &text)
{
    if (ui)
        ui->showStatus(text);
}

void ReportRun::progress(qint64 done, qint64 total)
{
    if (ui)
        ui->showProgress(done, total);
}

void ReportRun::tell(const QString &message)
{
    failed = true;
    if (ui)
        ui->showMessage(message);
}

void ReportRun::warn(const QString &message)
{
    if (ui)
        ui->showWarning(message);
}

} // namespace tannbuch
