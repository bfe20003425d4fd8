#pragma once

#include <QString>
#include <QStringList>

namespace tannbuch {

// The eight values the host passes on the command line, "|"-separated, or
// that the ini file fills in where the command line leaves them open.
struct StartupValues
{
    QString connectionString; // field 0
    QString iniPath; // field 1
    QString accessLevelId; // field 2
    QString businessYearColumn; // field 3
    QString listNumber; // field 4
    QString listTypeNumber; // field 5; "0" when present but empty
    QString provisionName; // field 6; unattended printing when set
    QString saveFolder; // field 7

    bool isUnattended() const { return !provisionName.isEmpty(); }
};

// Splits the host's command line at every "|": field i, trimmed, becomes
// value i for i = 0..7; surplus fields are ignored, missing ones stay empty,
// and field 5 present but empty becomes "0".
StartupValues SplitCommandLine(const QString &commandLine);

// The command line as the host passes it: the program's arguments (without
// the program name) joined with single blanks, so "a|b|c" given as one quoted
// argument or in unquoted pieces both arrive as one text.
QString JoinArguments(const QStringList &arguments);

} // namespace tannbuch
