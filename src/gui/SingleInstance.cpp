#include "SingleInstance.h"

#include "app/IniReader.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace {

constexpr int LongestWaitSeconds = 3600;

} // namespace

SingleInstance::SingleInstance(const QString &caption, QObject *parent)
    : QObject(parent)
{
    QString key = qEnvironmentVariable("TANNBUCH_INSTANCE_KEY");
    if (key.isEmpty()) {
        QString user = qEnvironmentVariable("USER");
        if (user.isEmpty())
            user = qEnvironmentVariable("USERNAME");
        key = caption + QLatin1Char('-') + user;
    }
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    key.replace(unsafe, QStringLiteral("_"));
    m_key = key;
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::unattendedLockPath() const
{
    return QDir::temp().filePath(m_key + QStringLiteral("-unattended.lock"));
}

int SingleInstance::unattendedWaitSeconds(const QString &iniPath)
{
    const std::optional<QString> text
        = IniReader::value(iniPath.isEmpty() ? IniReader::defaultPath() : iniPath, QStringLiteral("InstanceWait"));
    bool ok = false;
    const int seconds = text ? text->toInt(&ok) : 0;
    if (!ok || seconds < 0)
        return DefaultWaitSeconds;
    return std::min(seconds, LongestWaitSeconds);
}

bool SingleInstance::claimUnattended(int waitSeconds)
{
    m_lock = std::make_unique<QLockFile>(unattendedLockPath());
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(std::max(waitSeconds, 0) * 1000);
}

bool SingleInstance::claim()
{
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_key + QStringLiteral(".lock")));
    // A running instance may hold its lock for days: only a lock whose
    // program died is taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(1000)) {
            socket.write("activate\n");
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
        }
        return false;
    }
    QLocalServer::removeServer(m_key);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    m_server->listen(m_key);
    return true;
}
