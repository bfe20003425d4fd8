#pragma once

#include <QByteArray>
#include <QCoreApplication>

// Sets up a benchmark process before its application object exists: drawing
// off screen, and a lock key of this run's own, so a clerk's window or
// another print of the same user on this machine neither blocks nor delays
// the measurement.
inline void prepareBenchEnvironment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TANNBUCH_INSTANCE_KEY",
        QByteArray("tannbuch-bench-") + QByteArray::number(QCoreApplication::applicationPid()));
}
