#pragma once

#include "DemoDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The generated database of a benchmark in bench-data/ beside the program:
// a list of `records` records, or the demo database for 0. Kept between
// runs and made anew when the schema changed since.
inline QString benchDatabase(int records, const QString &schemaPath)
{
    const QDir data(QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data"));
    QDir().mkpath(data.path());
    const QString db = data.filePath(
        records == 0 ? QStringLiteral("forst-demo.sqlite") : QStringLiteral("forst-%1.sqlite").arg(records));
    if (!QFileInfo::exists(db) || QFileInfo(db).lastModified() < QFileInfo(schemaPath).lastModified()) {
        DemoDatabaseOptions options;
        options.schemaPath = schemaPath;
        options.records = records;
        DemoDatabase::write(db, options);
    }
    return db;
}
