#pragma once

#include <QString>
#include <QStringList>

namespace tannbuch {

class Connection;

// A provision of more than ProvisionListLimit records is read by the server
// afresh in every statement of a report, so a provision the host changes
// while the report runs would give sections that count different records.
// The watch reads the provision's records when the report starts and again
// when its statements are done. A provision printed from its list of ids
// (or none) is not watched, nor is one read from a snapshot the engine
// holds for the report (the embedded database): every statement sees the
// same provision there.
class ProvisionWatch
{
public:
    // Reads the records of the provision when `provisionFilter` is its
    // condition read on the server and the connection reads no snapshot.
    // Throws DbError.
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

} // namespace tannbuch
