#include "UnattendedLock.h"

#include "app/IniReader.h"

#include <QDir>
#include <QLockFile>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace tannbuch {

namespace {

constexpr int LongestWaitSeconds = 3600;

} // namespace

QString InstanceKey(const QString &caption)
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
    return key;
}

UnattendedLock::UnattendedLock(const QString &caption)
    : m_key(InstanceKey(caption))
{ }

UnattendedLock::~UnattendedLock() = default;

QString UnattendedLock::path() const
{
    return QDir::temp().filePath(m_key + QStringLiteral("-unattended.lock"));
}

int UnattendedLock::waitSeconds(const QString &iniPath)
{
    const std::optional<QString> text
        = IniReader::value(iniPath.isEmpty() ? IniReader::defaultPath() : iniPath, QStringLiteral("InstanceWait"));
    bool ok = false;
    const int seconds = text ? text->toInt(&ok) : 0;
    if (!ok || seconds < 0)
        return DefaultWaitSeconds;
    return std::min(seconds, LongestWaitSeconds);
}

bool UnattendedLock::claim(int waitSeconds)
{
    m_lock = std::make_unique<QLockFile>(path());
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(std::max(waitSeconds, 0) * 1000);
}

} // namespace tannbuch
