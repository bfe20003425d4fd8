#include "TemplateCheckCommand.h"

#include "app/TemplateCheckFile.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstring>

namespace tannbuch {

namespace TemplateCheckCommand {

namespace {

constexpr int ExitClean = 0;
constexpr int ExitFindings = 1;
constexpr int ExitUnreadable = 2;

} // namespace

bool isRequested(int argc, char *argv[])
{
    return argc >= 2 && std::strcmp(argv[1], "--check-template") == 0;
}

int run(int argc, char *argv[])
{
    // The fonts a print would draw with come from the graphical side of Qt;
    // nothing is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3 || arguments.size() > 4) {
        QTextStream(stderr) << QStringLiteral("Tannbuch: Aufruf: tannbuch --check-template Vorlage [Ini-Datei]\n");
        return ExitUnreadable;
    }
    const TemplateCheck check = CheckTemplateFile(arguments.at(2), arguments.value(3));
    if (!check.readable) {
        QTextStream(stderr) << QStringLiteral("Tannbuch: ") << TemplateCheckText(check);
        return ExitUnreadable;
    }
    QTextStream(stdout) << TemplateCheckText(check);
    return check.needsAttention() ? ExitFindings : ExitClean;
}

} // namespace TemplateCheckCommand

} // namespace tannbuch
