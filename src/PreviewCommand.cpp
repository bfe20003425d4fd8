#include "PreviewCommand.h"

#include "DemoFolder.h"

#include <QTextStream>

namespace tannbuch {

namespace PreviewCommand {

namespace {

const QString previewOption = QStringLiteral("--preview");
const QString listOption = QStringLiteral("--list");

QString usageError(const QString &problem)
{
    return problem
        + QStringLiteral("\nAufruf: tannbuch --preview Ausgabe.pdf Vorlage [Ini-Datei] [--list Liste]"
                         "\nHilfe: tannbuch --help");
}

} // namespace

bool isRequested(const QString &firstArgument)
{
    return firstArgument == previewOption;
}

Parsed parse(const QStringList &arguments)
{
    Parsed parsed;
    QStringList files;
    bool listGiven = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == listOption) {
            if (listGiven || i + 1 >= arguments.size() || arguments[i + 1].trimmed().isEmpty()) {
                parsed.error = usageError(QStringLiteral("--list verlangt genau eine Liste."));
                return parsed;
            }
            listGiven = true;
            parsed.request.listNumber = arguments[++i].trimmed();
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            parsed.error = usageError(QStringLiteral("Unbekannte Angabe „%1“.").arg(argument));
            return parsed;
        } else {
            files << argument;
        }
    }
    if (files.size() < 2 || files.size() > 3) {
        parsed.error = usageError(files.size() < 2 ? QStringLiteral("Es fehlen die PDF-Datei oder die Vorlage.")
                                                   : QStringLiteral("Zu viele Angaben."));
        return parsed;
    }
    parsed.request.pdfPath = files[0];
    parsed.request.templatePath = files[1];
    parsed.request.iniPath = files.value(2);
    return parsed;
}

int run(const QStringList &arguments)
{
    QTextStream err(stderr);
    const Parsed parsed = parse(arguments);
    if (!parsed.error.isEmpty()) {
        err << QStringLiteral("Tannbuch: ") << parsed.error << Qt::endl;
        return 1;
    }
    // The demo's schema travels inside the program.
    const DemoWriter writeDemo
        = [](const QString &folder) { return writeDemoFolder(folder, QStringLiteral(":/demo/schema.sql")); };
    const TemplatePreviewOutcome outcome = RunTemplatePreview(parsed.request, writeDemo);
    for (const QString &text : outcome.warnings + outcome.messages)
        err << QStringLiteral("Tannbuch: ") << text << Qt::endl;
    return outcome.written ? 0 : 1;
}

} // namespace PreviewCommand

} // namespace tannbuch
