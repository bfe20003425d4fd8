#pragma once

#include "workbook/cells/SheetLimits.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

namespace tannbuch {

// The bytes of an entry made while the archive is being packed, piece by
// piece, so that a large part (a sheet's cells) never lies in memory whole.
class ZipStream
{
public:
    virtual ~ZipStream() = default;
    // The number of bytes the pieces come to, known beforehand: the archive
    // states it in the entry's header.
    virtual qint64 size() const = 0;
    // Goes back to the first piece.
    virtual void start() = 0;
    // The next piece into `piece`; false when there is none left.
    virtual bool next(QByteArray &piece) = 0;
};

// One file inside a zip archive: its path in the archive and its unpacked
// bytes, which go on with the pieces of `rest` when it has one.
struct ZipEntry
{
    QString name;
    QByteArray data;
    std::shared_ptr<ZipStream> rest = nullptr;
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
    // (1 fastest .. 9 smallest), in the given order. The streamed rest of an
    // entry is made during the call. Throws WorkbookError when packing fails.
    static QByteArray write(const std::vector<ZipEntry> &entries, int level = 1);
    // The same written to the device, a megabyte at a time, so the packed
    // archive is not held twice. Throws WorkbookError also when the device
    // fails.
    static void write(const std::vector<ZipEntry> &entries, QIODevice &device, int level = 1);
};

} // namespace tannbuch
