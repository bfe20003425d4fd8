#include "DemoFolder.h"

#include "DemoDatabase.h"
#include "DemoIni.h"
#include "GeneratorError.h"

#include <QDir>

namespace tannbuch {

DemoSource writeDemoFolder(const QString &folder, const QString &schemaPath)
{
    const QDir dir(folder);
    DemoDatabaseOptions options;
    options.schemaPath = schemaPath;
    const QString database = dir.filePath(QStringLiteral("forst.sqlite"));
    DemoDatabase::write(database, options);
    DemoSource demo;
    demo.iniPath = dir.filePath(QStringLiteral("kelmora.ini"));
    // The spring list with every kind of record.
    demo.listNumber = QStringLiteral("4711");
    // The preview names its template itself; the folder stands for the
    // ini's template folder.
    if (writeDemoIni(demo.iniPath, database, folder) != 0)
        throw GeneratorError(QStringLiteral("Cannot write the demo ini file ") + demo.iniPath);
    return demo;
}

} // namespace tannbuch
