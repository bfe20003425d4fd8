// tannbuch-demo: writes the demo database and shows what it holds.
//
//   tannbuch-demo database OUT.sqlite [--records N] [--list LISTE] [--schema schema.sql]
//   tannbuch-demo --summary DB.sqlite
//   tannbuch-demo reindex DB.sqlite
//   tannbuch-demo templates OUTDIR
//   tannbuch-demo ini OUT.ini --database DB.sqlite --templates DIR
//   tannbuch-demo --help
//
// Each command is one entry of the table below; a command gets the
// arguments after its name and returns the exit code.

#include "DemoDatabase.h"
#include "DemoIni.h"
#include "DemoSummary.h"
#include "DemoTemplates.h"
#include "GeneratorError.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace tannbuch {

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

constexpr int exitUsage = 2;

int writeDatabase(const QStringList &args)
{
    DemoDatabaseOptions options;
    options.schemaPath = QStringLiteral(":/demo/schema.sql");
    QString path;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QStringLiteral("--records") && hasValue) {
            bool ok = false;
            options.records = args[++i].toInt(&ok);
            if (!ok || options.records < 1) {
                err() << "--records needs a whole number of at least 1\n";
                return exitUsage;
            }
        } else if (arg == QStringLiteral("--list") && hasValue) {
            options.list = args[++i];
        } else if (arg == QStringLiteral("--schema") && hasValue) {
            options.schemaPath = args[++i];
        } else if (path.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            path = arg;
        } else {
            err() << "unknown argument: " << arg << '\n';
            return exitUsage;
        }
    }
    if (path.isEmpty()) {
        err() << "database: the file to write is missing\n";
        return exitUsage;
    }
    DemoDatabase::write(path, options);
    return 0;
}

int showSummary(const QStringList &args)
{
    if (args.size() != 1) {
        err() << "--summary needs exactly one database file\n";
        return exitUsage;
    }
    out() << DemoSummary::text(args.first());
    return 0;
}

int reindexDatabase(const QStringList &args)
{
    if (args.size() != 1) {
        err() << "reindex needs exactly one database file\n";
        return exitUsage;
    }
    DemoDatabase::reindex(args.first());
    return 0;
}

int writeTemplates(const QStringList &args)
{
    if (args.size() != 1) {
        err() << "templates needs exactly one output folder\n";
        return exitUsage;
    }
    return writeDemoTemplates(args.first());
}

int writeIni(const QStringList &args)
{
    QString path;
    QString database;
    QString templates;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QStringLiteral("--database") && hasValue) {
            database = args[++i];
        } else if (arg == QStringLiteral("--templates") && hasValue) {
            templates = args[++i];
        } else if (path.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            path = arg;
        } else {
            err() << "unknown argument: " << arg << '\n';
            return exitUsage;
        }
    }
    if (path.isEmpty() || database.isEmpty() || templates.isEmpty()) {
        err() << "ini needs the ini file, --database and --templates\n";
        return exitUsage;
    }
    return writeDemoIni(path, database, templates);
}

struct Command
{
    const char *name;
    const char *usage;
    int (*run)(const QStringList &args);
};

const Command commands[] = {
    {"database", "database OUT.sqlite [--records N] [--list LISTE] [--schema schema.sql]", writeDatabase},
    {"--summary", "--summary DB.sqlite", showSummary},
    {"reindex", "reindex DB.sqlite", reindexDatabase},
    {"templates", "templates OUTDIR", writeTemplates},
    {"ini", "ini OUT.ini --database DB.sqlite --templates DIR", writeIni},
};

void printUsage(QTextStream &stream)
{
    stream << "usage:\n";
    for (const Command &command : commands)
        stream << "  tannbuch-demo " << command.usage << '\n';
    stream.flush();
}

} // namespace

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        printUsage(err());
        return exitUsage;
    }
    if (args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        printUsage(out());
        return 0;
    }
    for (const Command &command : commands) {
        if (args.first() == QLatin1String(command.name)) {
            try {
                return command.run(args.mid(1));
            } catch (const GeneratorError &error) {
                // The one error of the generator: report it and fail.
                err() << "tannbuch-demo: " << error.message() << '\n';
                return 1;
            }
        }
    }
    err() << "unknown command: " << args.first() << '\n';
    printUsage(err());
    return exitUsage;
}
