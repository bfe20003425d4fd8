#include "ConnectionString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tannbuch {

namespace {

// Splits at ";" outside quotes and braces; returns raw key=value pieces.
QList<QPair<QString, QString>> parsePairs(const QString &text)
{
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        // Key: up to "=" or ";".
        int keyStart = i;
        while (i < n && text[i] != QLatin1Char('=') && text[i] != QLatin1Char(';'))
            ++i;
        const QString key = text.mid(keyStart, i - keyStart).trimmed();
        QString value;
        if (i < n && text[i] == QLatin1Char('=')) {
            ++i;
            while (i < n && text[i] == QLatin1Char(' '))
                ++i;
            if (i < n && (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\''))) {
                const QChar quote = text[i++];
                while (i < n) {
                    if (text[i] == quote) {
                        if (i + 1 < n && text[i + 1] == quote) {
                            value.append(quote);
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value.append(text[i++]);
                }
                while (i < n && text[i] != QLatin1Char(';'))
                    ++i;
            } else if (i < n && text[i] == QLatin1Char('{')) {
                // ODBC's quoting: everything up to the closing brace, "}}"
                // standing for one brace.
                ++i;
                while (i < n) {
                    if (text[i] == QLatin1Char('}')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('}')) {
                            value.append(QLatin1Char('}'));
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value.append(text[i++]);
                }
                while (i < n && text[i] != QLatin1Char(';'))
                    ++i;
            } else {
                const int valueStart = i;
                while (i < n && text[i] != QLatin1Char(';'))
                    ++i;
                value = text.mid(valueStart, i - valueStart).trimmed();
            }
        }
        if (i < n && text[i] == QLatin1Char(';'))
            ++i;
        if (!key.isEmpty())
            pairs.append({key, value});
    }
    return pairs;
}

QString odbcValue(const QString &v)
{
    if (v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('{')) || v.contains(QLatin1Char('}'))
        || v.startsWith(QLatin1Char(' ')) || v.endsWith(QLatin1Char(' '))) {
        QString escaped = v;
        escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
        return QLatin1Char('{') + escaped + QLatin1Char('}');
    }
    return v;
}

} // namespace

ConnectionString::ConnectionString(const QString &text)
    : m_pairs(parsePairs(text))
{ }

bool ConnectionString::has(const QString &key) const
{
    for (const auto &p : m_pairs) {
        if (p.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString ConnectionString::value(const QString &key) const
{
    QString result;
    for (const auto &p : m_pairs) {
        if (p.first.compare(key, Qt::CaseInsensitive) == 0)
            result = p.second;
    }
    return result;
}

bool isSqliteDatabaseFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(16);
    return head == QByteArray("SQLite format 3\0", 16);
}

bool targetsSqlite(const ConnectionString &cs)
{
    if (cs.value(QStringLiteral("Provider")).compare(QStringLiteral("SQLite"), Qt::CaseInsensitive) == 0)
        return true;
    return isSqliteDatabaseFile(cs.value(QStringLiteral("Data Source")));
}

QString toOdbcConnectionString(const ConnectionString &cs, const QString &driver)
{
    QStringList parts;
    parts << QStringLiteral("DRIVER=") + QLatin1Char('{') + driver + QLatin1Char('}');

    QString server = cs.value(QStringLiteral("Data Source"));
    if (server.isEmpty())
        server = cs.value(QStringLiteral("Server"));
    QString port;
    // "host,port" is SQL Server's way of naming a port in the data source.
    const int comma = int(server.indexOf(QLatin1Char(',')));
    if (comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    parts << QStringLiteral("SERVER=") + odbcValue(server);
    if (!port.isEmpty())
        parts << QStringLiteral("PORT=") + odbcValue(port);

    const QString database = cs.value(QStringLiteral("Initial Catalog"));
    if (!database.isEmpty())
        parts << QStringLiteral("DATABASE=") + odbcValue(database);

    const QString security = cs.value(QStringLiteral("Integrated Security"));
    const bool trusted = security.compare(QStringLiteral("SSPI"), Qt::CaseInsensitive) == 0
        || security.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0
        || security.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0;
    const QString user = cs.value(QStringLiteral("User ID"));
    const QString password = cs.value(QStringLiteral("Password"));
    if (!user.isEmpty()) {
        parts << QStringLiteral("UID=") + odbcValue(user);
        parts << QStringLiteral("PWD=") + odbcValue(password);
    } else if (trusted) {
        parts << QStringLiteral("Trusted_Connection=Yes");
    }
    // A fixed protocol version: with automatic detection the driver makes a
    // second login attempt after the first times out, doubling the wait for a
    // server that does not answer. 7.3 is spoken by every SQL Server since 2008.
    parts << QStringLiteral("TDS_Version=7.3");
    // The program only reads; UTF-8 keeps umlauts intact between driver and Qt.
    parts << QStringLiteral("ApplicationIntent=ReadOnly");
    parts << QStringLiteral("ClientCharset=UTF-8");
    return parts.join(QLatin1Char(';')) + QLatin1Char(';');
}

QString defaultOdbcDriver()
{
    const QString fromEnv = qEnvironmentVariable("TANNBUCH_ODBC_DRIVER");
    if (!fromEnv.isEmpty())
        return fromEnv;
    // Debian installs the driver library under the multiarch folder without
    // always registering it; naming the library works either way.
    const QDir lib(QStringLiteral("/usr/lib"));
    const QStringList archs = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &arch : archs) {
        const QString candidate = lib.filePath(arch + QStringLiteral("/odbc/libtdsodbc.so"));
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return QStringLiteral("FreeTDS");
}

} // namespace tannbuch
