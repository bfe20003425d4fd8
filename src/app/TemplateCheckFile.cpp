#include "TemplateCheckFile.h"

#include "app/IniReader.h"

namespace tannbuch {

TemplateCheck CheckTemplateFile(const QString &templatePath, const QString &iniPath)
{
    if (iniPath.isEmpty())
        return CheckTemplate(templatePath);
    TemplateCheckIni ini;
    QString problem;
    if (const std::optional<QString> text = IniReader::text(iniPath, &problem)) {
        // The file is read once; a print reads it again for every header key,
        // with the same result.
        ini.read = [text = *text](const QString &key) { return IniReader::valueIn(text, key); };
    } else {
        ini.problem = problem.isEmpty()
            ? QStringLiteral("Die ini-Datei „%1“ kann nicht geöffnet werden; Kopfzeilen und Kopfbild bleiben leer.")
                  .arg(iniPath)
            : problem;
        ini.read = [](const QString &) { return QString(); };
    }
    return CheckTemplate(templatePath, ini);
}

} // namespace tannbuch
