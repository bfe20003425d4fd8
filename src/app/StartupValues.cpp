#include "StartupValues.h"

namespace tannbuch {

StartupValues SplitCommandLine(const QString &commandLine)
{
    StartupValues v;
    if (commandLine.isEmpty())
        return v;
    const QStringList fields = commandLine.split(QLatin1Char('|'));
    QString *targets[] = {&v.connectionString, &v.iniPath, &v.accessLevelId, &v.businessYearColumn, &v.listNumber,
        &v.listTypeNumber, &v.provisionName, &v.saveFolder};
    for (int i = 0; i < fields.size() && i < 8; ++i)
        *targets[i] = fields.at(i).trimmed();
    if (fields.size() > 5 && v.listTypeNumber.isEmpty())
        v.listTypeNumber = QStringLiteral("0");
    return v;
}

QString JoinArguments(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

} // namespace tannbuch
