#pragma once

#include "workbook/cells/SheetLimits.h"

#include <QByteArray>
#include <QString>

#include <vector>

// One file inside a zip archive: its path in the archive and its unpacked bytes.
struct ZipEntry
{
    QString name;
    QByteArray data;
};

// The zip container of workbook files, read and written whole in memory.
class ZipArchive
{
public:
    // Every file entry of the archive at path, in archive order (folders
    // skipped). Owns nothing afterwards. Throws WorkbookError with a German
    // message naming the file when it is missing, no zip archive, damaged,
    // or would unpack to more than maxBytes or hold more than maxEntries
    // entries (the guard against zip bombs).
    static std::vector<ZipEntry> read(const QString &path, qint64 maxBytes = SheetLimits::MaxPackageBytes,
        int maxEntries = SheetLimits::MaxPackageEntries);

    // The entries packed as a zip archive in memory, deflated at `level`
    // (1 fastest .. 9 smallest), in the given order. Throws WorkbookError when
    // packing fails.
    static QByteArray write(const std::vector<ZipEntry> &entries, int level = 1);
};
