#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// Keeps to one running program per user: the first instance holds a lock
// file and listens on a local socket named after the window caption and the
// user; a later instance finds the lock taken and asks the first one, through
// the socket, to come to the front.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &caption, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first instance (it then listens for later ones).
    // Otherwise asks the running instance to activate itself and returns false.
    bool claim();

    // The name of the socket and lock file (caption and user, file-name safe).
    QString key() const { return m_key; }

signals:
    // A later instance asked this one to come to the front.
    void activationRequested();

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
