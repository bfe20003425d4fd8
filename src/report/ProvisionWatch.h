#pragma once

#include <QString>
#include <QStringList>

class Connection;

// A provision of more than ProvisionListLimit records is read by the server
// afresh in every statement of a report, so a provision the host changes
// while the report runs would give sections that count different records.
// The watch reads the provision's records when the report starts and again
// when its statements are done; a provision printed from its list of ids
// (or none) is not watched. On the embedded database the report reads one
// snapshot, so both reads agree there.
class ProvisionWatch
{
public:
    // Reads the records of the provision when `provisionFilter` is its
    // condition read on the server. Throws DbError.
    ProvisionWatch(Connection &db, const QString &provisionName, const QString &provisionFilter);

    // Throws DbError with a message for the user when the provision holds
    // other records now than at the start; database failures too.
    void checkUnchanged() const;

private:
    Connection &m_db;
    QString m_name;
    bool m_watching = false;
    QStringList m_ids; // sorted
};
