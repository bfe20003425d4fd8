#pragma once

#include "DemoDatabase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace tannbuch {

// The generated database of a benchmark in bench-data/ beside the program:
// a list of `records` records (in piles of about 50 with `smallPiles`), or
// the demo database for 0; its provision DEMO holds every record of the
// list. Kept between runs and made anew when the schema or the generator
// changed since.
inline QString benchDatabase(int records, const QString &schemaPath, bool smallPiles = false)
{
    const QDir data(QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data"));
    QDir().mkpath(data.path());
    const QString db = data.filePath(records == 0 ? QStringLiteral("forst-demo.sqlite")
            : smallPiles                          ? QStringLiteral("forst-piles-%1.sqlite").arg(records)
                                                  : QStringLiteral("forst-%1.sqlite").arg(records));
    const QDateTime made = QFileInfo(db).lastModified();
    if (!QFileInfo::exists(db) || made < QFileInfo(schemaPath).lastModified()
        || made < QFileInfo(QCoreApplication::applicationFilePath()).lastModified()) {
        DemoDatabaseOptions options;
        options.schemaPath = schemaPath;
        options.records = records;
        options.smallPiles = smallPiles;
        DemoDatabase::write(db, options);
    }
    return db;
}

} // namespace tannbuch
