#include "app/ProcessSetup.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace tannbuch;

// Every test program runs with a Qt application object, so Qt's plugins
// (database drivers, image formats) load as they do in the program. It is a
// GUI application on the offscreen platform, so fonts are there for drawing
// pages.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // As the program prepares its process (a file-size limit is a failed
    // write, the report locale fixed at start).
    PrepareProcess();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
