#include "app/ProcessSetup.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tannbuch;

// Widget tests run on the offscreen platform. Each test process gets its own
// temporary folder and settings store, so tests running side by side share
// neither the single-instance lock nor the stored window position.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    qputenv("TMPDIR", scratch.path().toUtf8());
    // A key of their own keeps the tests' windows and prints apart from a
    // clerk's window on the same machine.
    qputenv("TANNBUCH_INSTANCE_KEY", "tannbuch-test-" + QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    // As the program prepares its process (a file-size limit is a failed
    // write, the report locale fixed at start).
    PrepareProcess();
    QApplication::setApplicationName(QStringLiteral("Tannbuch"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
