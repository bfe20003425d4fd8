#include "app/StartupValues.h"
#include "app/gui/F_Start.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Without a display (a server, a cron job) the program draws off screen,
    // so unattended printing runs anywhere.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tannbuch"));
    QApplication::setApplicationVersion(QStringLiteral(TANNBUCH_VERSION));

    F_Start window;
    window.Form_Load(JoinArguments(QApplication::arguments().mid(1)));
    if (window.hasEnded())
        return window.exitCode();
    window.show();
    const int result = app.exec();
    return result != 0 ? result : window.exitCode();
}
