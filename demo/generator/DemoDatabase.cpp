#include "DemoDatabase.h"

#include "DemoLists.h"
#include "GeneratorError.h"
#include "ListGenerator.h"
#include "MasterData.h"
#include "SqliteWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace tannbuch {

namespace {

// Fixed seeds: the same input gives the same database on every build.
constexpr quint64 demoSeed = 4711;
constexpr quint64 benchmarkSeed = 20260220;

QString readSchema(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw GeneratorError(QStringLiteral("Cannot read the schema %1: %2").arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

void writeProvision(SqliteWriter &db, int id, const QString &name, const std::vector<qint64> &records)
{
    db.prepareInsert(
          QStringLiteral("BEREITSTELLUNG_KOPF"), {QStringLiteral("ID"), QStringLiteral("BEREITSTELLUNGSNAME")})
        .run({id, name});
    SqliteStatement insert = db.prepareInsert(
        QStringLiteral("BEREITSTELLUNG_LOGS"), {QStringLiteral("ID_BEREITSTELLUNG_KOPF"), QStringLiteral("ID_LOGS")});
    for (qint64 record : records)
        insert.run({id, record});
}

void fill(SqliteWriter &db, const DemoDatabaseOptions &options)
{
    const MasterData master;
    master.write(db);
    if (options.records > 0) {
        ListGenerator generator(db, master, benchmarkSeed);
        const std::vector<qint64> records = options.smallPiles
            ? DemoLists::writeSmallPileList(generator, options.records, options.list)
            : DemoLists::writeBenchmarkList(generator, options.records, options.list);
        writeProvision(db, DemoIds::ProvisionDemo, QStringLiteral("DEMO"), records);
    } else {
        ListGenerator generator(db, master, demoSeed);
        const DemoLists::Provisions provisions = DemoLists::write(generator);
        writeProvision(db, DemoIds::ProvisionDemo, QStringLiteral("DEMO"), provisions.demo);
        writeProvision(db, DemoIds::ProvisionPartial, QStringLiteral("TEILABFUHR"), provisions.partial);
        writeProvision(db, DemoIds::ProvisionEmpty, QStringLiteral("LEER"), {});
    }
}

} // namespace

namespace DemoDatabase {

void write(const QString &path, const DemoDatabaseOptions &options)
{
    if (options.records < 0)
        throw GeneratorError(QStringLiteral("The number of records must not be negative"));
    const QString schema = readSchema(options.schemaPath);

    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        throw GeneratorError(QStringLiteral("Cannot create the folder ") + target.absolutePath());
    QTemporaryFile temporary(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        throw GeneratorError(QStringLiteral("Cannot create a file beside %1: %2").arg(path, temporary.errorString()));
    temporary.close();
    temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    {
        SqliteWriter db(temporary.fileName());
        // The file is thrown away when anything fails, so no journal is kept.
        db.execute(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"));
        db.execute(schema);
        db.execute(QStringLiteral("BEGIN"));
        fill(db, options);
        db.execute(QStringLiteral("COMMIT"));
        // Row counts per index key, so that the planner knows a pile to be
        // a few records and finds them through its index.
        db.execute(QStringLiteral("ANALYZE"));
        db.close();
    }

    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temporary.fileName()).toStdString(),
        QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        throw GeneratorError(
            QStringLiteral("Cannot replace %1: %2").arg(path, QString::fromStdString(error.message())));
}

void reindex(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw GeneratorError(QStringLiteral("No database file %1").arg(path));
    SqliteWriter db(path);
    db.execute(QStringLiteral("REINDEX; ANALYZE;"));
    db.close();
}

} // namespace DemoDatabase

} // namespace tannbuch
