#pragma once

#include "app/ProcessSetup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace tannbuch {

// Sets up a benchmark process before its application object exists: drawing
// off screen, a lock key of this run's own, so a clerk's window or another
// print of the same user on this machine neither blocks nor delays the
// measurement, and a runtime folder of its own where the session has none
// (Qt warns on every start without one; child processes inherit this one),
// and a state folder of its own for the run log.
// The process itself is prepared as the program prepares it.
inline void prepareBenchEnvironment()
{
    PrepareProcess();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TANNBUCH_INSTANCE_KEY",
        QByteArray("tannbuch-bench-") + QByteArray::number(QCoreApplication::applicationPid()));
    // The run log of the benchmark's prints stays with the benchmark, not in
    // the user's own log.
    static QTemporaryDir state;
    if (state.isValid())
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        static QTemporaryDir runtime; // private (0700), removed when the process ends
        if (runtime.isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
}

} // namespace tannbuch
