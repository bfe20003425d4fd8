#include "app/StartupValues.h"
#include "gui/F_Start.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    // Without a display (a server, a cron job) the program draws off screen,
    // so unattended printing runs anywhere.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // Off a desktop session (cron, a service) there is no runtime folder;
    // give Qt a private one so that unattended runs write nothing but their
    // own messages to standard error.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QString user = qEnvironmentVariable("USER");
        if (user.isEmpty())
            user = QStringLiteral("tannbuch");
        const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-") + user;
        if (QDir().mkpath(runtime)
            && QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tannbuch"));
    QApplication::setApplicationVersion(QStringLiteral(TANNBUCH_VERSION));

    // Qt's own texts (file dialogs, their questions, context menus) in the
    // user's language; without a translation they stay English.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    F_Start window;
    window.Form_Load(JoinArguments(QApplication::arguments().mid(1)));
    if (window.hasEnded())
        return window.exitCode();
    window.show();
    const int result = app.exec();
    return result != 0 ? result : window.exitCode();
}
