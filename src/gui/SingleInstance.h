#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace tannbuch {

// Keeps to one program window per user. The first instance holds its lock
// and listens on a local socket; a later one finds the lock taken and asks
// the first, through the socket, to come to the front. Unattended prints keep
// to a lock of their own (UnattendedLock), so neither blocks the other.
//
// The key (socket and lock names) is InstanceKey() of the caption. The lock
// file lies in the temporary folder; a lock left by a program that died is
// taken over.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &caption, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first interactive instance (it then listens for
    // later ones). Otherwise asks the running instance to activate itself
    // and returns false.
    bool claim();

    // The name of the socket and the start of the lock file's name.
    QString key() const { return m_key; }

signals:
    // A later instance asked this one to come to the front.
    void activationRequested();

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

} // namespace tannbuch
