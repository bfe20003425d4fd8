#include "BoundedFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tannbuch {

namespace {

BoundedFile::Result failed(BoundedFile::Problem problem, const QString &message)
{
    BoundedFile::Result result;
    result.problem = problem;
    result.message = message;
    return result;
}

} // namespace

QString BoundedFile::megabytes(qint64 bytes)
{
    const qint64 mb = 1024 * 1024;
    return bytes % mb == 0 ? QStringLiteral("%1 MB").arg(bytes / mb) : QStringLiteral("%1 Bytes").arg(bytes);
}

BoundedFile::Result BoundedFile::read(const QString &path, qint64 maxBytes, const QString &what)
{
    const QString shown = what + QStringLiteral(" \"") + QDir::toNativeSeparators(path) + QLatin1Char('"');
    // Opened without waiting, so a pipe without a writer cannot hang the
    // program; the checks then look at what was opened, not at the name.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(
            Problem::CannotOpen, shown + QStringLiteral(" konnte nicht geöffnet werden: ") + qt_error_string(errno));
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(Problem::NotRegular,
            shown
                + QStringLiteral(" ist keine gewöhnliche Datei (sondern ein Gerät, eine Pipe oder ein Ordner) und "
                                 "wird nicht gelesen."));
    }
    const QString tooLarge
        = shown + QStringLiteral(" ist größer als %1 und wird nicht gelesen.").arg(megabytes(maxBytes));
    if (st.st_size > maxBytes) {
        ::close(fd);
        return failed(Problem::TooLarge, tooLarge);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(
            Problem::CannotOpen, shown + QStringLiteral(" konnte nicht geöffnet werden: ") + file.errorString());
    }
    // Read to its end, but never past the limit: a file that grows while it
    // is read is refused as well.
    Result result;
    result.data.reserve(qsizetype(st.st_size));
    constexpr qint64 Chunk = 1024 * 1024;
    while (result.data.size() <= maxBytes) {
        const QByteArray piece = file.read(std::min(Chunk, maxBytes + 1 - result.data.size()));
        if (file.error() != QFileDevice::NoError)
            return failed(
                Problem::ReadFailed, shown + QStringLiteral(" konnte nicht gelesen werden: ") + file.errorString());
        if (piece.isEmpty())
            return result;
        result.data += piece;
    }
    return failed(Problem::TooLarge, tooLarge);
}

} // namespace tannbuch
