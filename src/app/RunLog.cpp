#include "RunLog.h"

#include "app/IniReader.h"
#include "db/ConnectionString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace tannbuch {

namespace {

// A message is cut here: the log is read line by line, and a statement's
// text in a database message can run to megabytes.
constexpr qsizetype LongestMessage = 500;

QString userName()
{
    if (const passwd *entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

// One field of the line: tabs and line breaks would split it, so they
// become blanks.
QString field(QString value)
{
    for (QChar &c : value) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    value = value.trimmed();
    return value.isEmpty() ? QStringLiteral("-") : value;
}

QString outcomeWord(RunRecord::Outcome outcome)
{
    switch (outcome) {
    case RunRecord::Outcome::Printed:
        return QStringLiteral("gedruckt");
    case RunRecord::Outcome::Warnings:
        return QStringLiteral("warnungen");
    case RunRecord::Outcome::Failed:
        break;
    }
    return QStringLiteral("fehlgeschlagen");
}

// The values of a connection string that name or open the database.
QStringList connectionSecrets(const QString &text)
{
    static const QStringList keys{QStringLiteral("Data Source"), QStringLiteral("Server"), QStringLiteral("Address"),
        QStringLiteral("Addr"), QStringLiteral("Network Address"), QStringLiteral("Initial Catalog"),
        QStringLiteral("Database"), QStringLiteral("User ID"), QStringLiteral("UID"), QStringLiteral("User"),
        QStringLiteral("Password"), QStringLiteral("PWD")};
    const ConnectionString connection(text);
    QStringList secrets;
    for (const QString &key : keys) {
        const QString value = connection.value(key);
        if (value.isEmpty())
            continue;
        secrets << value;
        if (key != u"Data Source" && key != u"Server")
            continue;
        // A database file may be told by its full path, a server without
        // its port or instance.
        secrets << QFileInfo(value).absoluteFilePath() << QFileInfo(value).canonicalFilePath();
        static const QRegularExpression portOrInstance(QStringLiteral("[,\\\\]"));
        secrets << value.section(portOrInstance, 0, 0);
    }
    return secrets;
}

QString withoutSecrets(QString message, const QStringList &connectionStrings)
{
    QStringList secrets;
    for (const QString &text : connectionStrings)
        secrets << connectionSecrets(text);
    secrets.removeAll(QString());
    // The longest first, so that a path goes before the name within it.
    std::sort(secrets.begin(), secrets.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &secret : secrets)
        message.replace(secret, QStringLiteral("…"), Qt::CaseInsensitive);
    if (message.size() > LongestMessage)
        message = message.left(LongestMessage) + QStringLiteral("…");
    return message;
}

} // namespace

namespace RunLog {

QString path(const QString &iniPath)
{
    const std::optional<QString> configured
        = IniReader::value(iniPath.isEmpty() ? IniReader::defaultPath() : iniPath, QStringLiteral("RunLog"));
    return configured && !configured->isEmpty() ? *configured : defaultPath();
}

QString defaultPath()
{
    // The user's state folder; a relative one counts as unset.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tannbuch/runs.log");
}

QByteArray line(const RunRecord &record, const QStringList &connectionStrings)
{
    const QStringList fields{
        record.started.toOffsetFromUtc(record.started.offsetFromUtc()).toString(Qt::ISODate),
        field(userName()),
        field(QSysInfo::machineHostName()),
        field(record.listNumber),
        field(record.listType),
        field(record.provision),
        outcomeWord(record.outcome),
        field(record.savedFiles.join(u' ')),
        QString::number(double(record.milliseconds) / 1000.0, 'f', 1),
        field(withoutSecrets(record.firstMessage, connectionStrings)),
    };
    return (fields.join(u'\t') + u'\n').toUtf8();
}

QString append(const QString &path, const QByteArray &line)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("der Ordner „%1“ lässt sich nicht anlegen").arg(folder);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    // One write of the whole line: with O_APPEND the system puts it at the
    // end of the file as one piece, whoever else appends at the same time.
    ssize_t written;
    do {
        written = ::write(fd, line.constData(), size_t(line.size()));
    } while (written < 0 && errno == EINTR);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (written < 0)
        return QString::fromLocal8Bit(std::strerror(writeError));
    if (written != line.size())
        return QStringLiteral("nur %1 von %2 Bytes geschrieben").arg(written).arg(line.size());
    if (!closed)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString();
}

} // namespace RunLog

} // namespace tannbuch
