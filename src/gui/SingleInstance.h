#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// Keeps to one program window and one unattended print per user, each with a
// lock file of its own, so neither blocks the other: an unattended print
// opens no window and has nothing to bring to the front.
//
// Interactively the first instance holds its lock and listens on a local
// socket; a later one finds the lock taken and asks the first, through the
// socket, to come to the front. An unattended print waits for another
// unattended print of the same user to end, for a bounded time.
//
// The key (socket and lock names) is the caption and the user, file-name
// safe; TANNBUCH_INSTANCE_KEY replaces it, so tests and benchmarks never meet
// a clerk's window. Lock files lie in the temporary folder; a lock left by a
// program that died is taken over.
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

    // Takes the lock of unattended printing, waiting up to waitSeconds while
    // another unattended print holds it; false when it is still held then.
    bool claimUnattended(int waitSeconds);

    // The name of the socket and the start of the lock files' names.
    QString key() const { return m_key; }
    // The lock file of unattended printing.
    QString unattendedLockPath() const;

    // Seconds an unattended print waits for another one: the ini key
    // InstanceWait (whole seconds, 0 to 3600), 120 when it is missing, not a
    // number or the ini file cannot be read.
    static int unattendedWaitSeconds(const QString &iniPath);
    static constexpr int DefaultWaitSeconds = 120;

signals:
    // A later instance asked this one to come to the front.
    void activationRequested();

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
