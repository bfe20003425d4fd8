#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace tannbuch {

// Keeps to one unattended print per user: a later one waits, for a bounded
// time, for the running one to end. The lock is a file of its own, so a
// clerk's window neither blocks an unattended print nor is blocked by it.
//
// The file lies in the temporary folder and is named by the instance key; a
// lock left by a program that died is taken over.
class UnattendedLock
{
public:
    explicit UnattendedLock(const QString &caption);
    ~UnattendedLock();
    UnattendedLock(const UnattendedLock &) = delete;
    UnattendedLock &operator=(const UnattendedLock &) = delete;

    // Takes the lock, waiting up to waitSeconds while another unattended
    // print holds it; false when it is still held then. Held until destroyed.
    bool claim(int waitSeconds);

    // The lock file.
    QString path() const;

    // Seconds an unattended print waits for another one: the ini key
    // InstanceWait (whole seconds, 0 to 3600), 120 when it is missing, not a
    // number or the ini file cannot be read.
    static int waitSeconds(const QString &iniPath);
    static constexpr int DefaultWaitSeconds = 120;

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
};

// The name that sockets and lock files of the program's instances start
// with: the caption and the user, file-name safe. TANNBUCH_INSTANCE_KEY
// replaces it, so tests and benchmarks never meet a clerk's window.
QString InstanceKey(const QString &caption);

} // namespace tannbuch
