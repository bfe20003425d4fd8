#pragma once

#include <QProcess>

#include <csignal>
#include <unistd.h>

namespace tannbuch {

// Helper programs (print commands, the office suite) often start through a
// shell or launcher that starts the real program as its child; stopping only
// the launcher would leave that child running. A process started through
// these helpers leads a process group of its own, and stopping it ends the
// whole group.
namespace ProcessGroup {

// Makes the process start as the leader of a new session and process group.
inline void prepare(QProcess &process)
{
    process.setChildProcessModifier([] { ::setsid(); });
}

// Kills the process and everything it started, and waits for the end.
inline void stop(QProcess &process)
{
    const qint64 pid = process.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
    process.kill();
    process.waitForFinished(5000);
}

} // namespace ProcessGroup

} // namespace tannbuch
