#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tannbuch {

// What one unattended run did, for the run log.
struct RunRecord
{
    enum class Outcome { Printed, Warnings, Failed };

    QDateTime started;
    qint64 milliseconds = 0;
    QString listNumber;
    QString listType;
    QString provision;
    Outcome outcome = Outcome::Printed;
    QStringList savedFiles;
    QString firstMessage; // the first error, or the first warning of a run that had no error
};

// The run log: one line per unattended run, appended to a plain text file,
// so that IT sees afterwards which lists were printed, when, by whom and
// with which outcome. The fields are separated by tabs: start time, user,
// host, list, list type, provision, outcome, saved files (separated by " "),
// duration in seconds and the message; an empty field is "-".
namespace RunLog {

// The log the ini file's RunLog names, else the default log.
QString path(const QString &iniPath);

// $XDG_STATE_HOME/tannbuch/runs.log, or ~/.local/state/tannbuch/runs.log.
QString defaultPath();

// The record as one line of the log, with its newline. Every value that
// names the database (server, database, data source, user and password of
// the connection strings given) is left out of the message, so that no
// connection detail reaches a file others may read.
QByteArray line(const RunRecord &record, const QStringList &connectionStrings);

// Appends the line with one write to the file opened for appending, so that
// two runs finishing at once each leave a whole line; creates the file and
// its folder when missing. An empty text when written, else why not.
QString append(const QString &path, const QByteArray &line);

} // namespace RunLog

} // namespace tannbuch
