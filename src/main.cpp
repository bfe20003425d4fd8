#include "CommandLineHelp.h"
#include "PreviewCommand.h"
#include "TemplateCheckCommand.h"
#include "app/ProcessSetup.h"
#include "app/StartupValues.h"
#include "app/UnattendedPrint.h"
#include "gui/F_Start.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

#include <unistd.h>

namespace tannbuch {

namespace {

bool displayNamed()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Unattended runs work anywhere (a server, a cron job): without a display
// they draw off screen. Every run keeps its runtime files in a folder of its
// own, so that it writes nothing but its own messages to standard error.
void prepareEnvironment(bool unattended)
{
    if (unattended && !displayNamed())
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

// Qt's own texts (file dialogs, their questions, context menus) in the
// user's language: the copy installed with the program first, then Qt's.
// Without a translation they stay English. The file loaded, or empty.
QString loadQtTexts(QTranslator &qtTexts)
{
    const QStringList folders{
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tannbuch/translations"),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
    };
    for (const QString &folder : folders) {
        if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
            return QDir::cleanPath(qtTexts.filePath());
    }
    return QString();
}

void prepareApplication(QTranslator &qtTexts)
{
    QCoreApplication::setApplicationName(QStringLiteral("Tannbuch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TANNBUCH_VERSION));
    if (!loadQtTexts(qtTexts).isEmpty())
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

// "--help", "-h" and "--version" answer on standard output and end the
// program; they need no display.
int answerRequest(CommandLineHelp::Request request, int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QString text;
    if (request == CommandLineHelp::Request::Help) {
        text = CommandLineHelp::usage();
    } else {
        QTranslator qtTexts;
        text = CommandLineHelp::version(loadQtTexts(qtTexts));
    }
    QTextStream(stdout) << text;
    return 0;
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

// A template preview draws its PDF as an unattended print does, without a
// window.
int previewTemplate(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTranslator qtTexts;
    prepareApplication(qtTexts);
    return PreviewCommand::run(QCoreApplication::arguments().mid(1));
}

// A named display that cannot be opened ends in a fatal message of Qt while
// the application is made; the window's start says why instead and fails.
// Other messages take Qt's own way.
QtMessageHandler qtMessages = nullptr;
void stopWithoutDisplay(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        if (qtMessages)
            qtMessages(type, context, text);
        else
            std::fputs((text + u'\n').toLocal8Bit().constData(), stderr);
        return;
    }
    std::fputs(CommandLineHelp::noDisplayMessage().toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    _exit(CommandLineHelp::ExitNoDisplay);
}

int runWindow(int argc, char *argv[])
{
    qtMessages = qInstallMessageHandler(stopWithoutDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
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

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char *argv[])
{
    const QString line = commandLine(argc, argv);
    if (const auto request = CommandLineHelp::requestOf(line); request != CommandLineHelp::Request::None)
        return answerRequest(request, argc, argv);
    if (TemplateCheckCommand::isRequested(argc, argv)) {
        prepareEnvironment(true);
        PrepareProcess();
        return TemplateCheckCommand::run(argc, argv);
    }
    if (argc > 1 && PreviewCommand::isRequested(QString::fromLocal8Bit(argv[1]))) {
        prepareEnvironment(true);
        PrepareProcess();
        return previewTemplate(argc, argv);
    }
    const bool unattended = SplitCommandLine(line).isUnattended();
    // Without a display the window would run unseen until killed.
    if (!unattended && !displayNamed()) {
        QTextStream(stderr) << CommandLineHelp::noDisplayMessage();
        return CommandLineHelp::ExitNoDisplay;
    }
    prepareEnvironment(unattended);
    PrepareProcess();
    return unattended ? printUnattended(argc, argv) : runWindow(argc, argv);
}
