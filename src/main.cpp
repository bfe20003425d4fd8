#include "app/StartupValues.h"
#include "app/UnattendedPrint.h"
#include "gui/F_Start.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Where the program runs without a desktop (a server, a cron job), it draws
// off screen and keeps its runtime files in a folder of its own, so
// unattended runs work anywhere and write nothing but their own messages to
// standard error.
void prepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QString user = qEnvironmentVariable("USER");
        if (user.isEmpty())
            user = QStringLiteral("tannbuch");
        const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-") + user;
        if (QDir().mkpath(runtime)
            && QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
}

// Name, version and Qt's own texts (file dialogs, their questions, context
// menus) in the user's language; without a translation they stay English.
void prepareApplication(QTranslator &qtTexts)
{
    QCoreApplication::setApplicationName(QStringLiteral("Tannbuch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TANNBUCH_VERSION));
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

// The host's command line from the program's arguments, before Qt has
// looked at them.
QString commandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return JoinArguments(arguments);
}

// An unattended print needs no window: painting (a PDF, an immediate print)
// is all it asks of Qt's graphical side.
int printUnattended(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTranslator qtTexts;
    prepareApplication(qtTexts);
    UnattendedPrint print;
    return print.run(JoinArguments(QCoreApplication::arguments().mid(1)));
}

int runWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator qtTexts;
    prepareApplication(qtTexts);
    F_Start window;
    window.Form_Load(JoinArguments(QCoreApplication::arguments().mid(1)));
    if (window.hasEnded())
        return window.exitCode();
    window.show();
    const int result = app.exec();
    return result != 0 ? result : window.exitCode();
}

} // namespace

int main(int argc, char *argv[])
{
    prepareEnvironment();
    return SplitCommandLine(commandLine(argc, argv)).isUnattended() ? printUnattended(argc, argv)
                                                                    : runWindow(argc, argv);
}
