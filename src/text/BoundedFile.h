#pragma once

#include <QByteArray>
#include <QString>

namespace tannbuch {

// Reads a file the program is pointed to by a setting (an ini file, a header
// picture) whole, but only a regular file and only up to a limit that is
// checked before the first byte is read: a device such as /dev/zero, a pipe
// or a file of gigabytes is refused at once instead of filling the memory or
// hanging the program.
class BoundedFile
{
public:
    enum class Problem {
        None,
        CannotOpen, // missing, no right to read
        NotRegular, // a device, a pipe, a folder
        TooLarge, // above the limit (also when it grew while being read)
        ReadFailed,
    };

    struct Result
    {
        QByteArray data;
        Problem problem = Problem::None;
        // A German message naming the file and, for a file too large, the
        // limit; empty when the file was read.
        QString message;
    };

    // Reads the file at path, at most maxBytes. `what` starts the message
    // ("Das Bild", "Die ini-Datei"). Never throws.
    static Result read(const QString &path, qint64 maxBytes, const QString &what);

    // A limit in bytes as the messages show it ("20 MB").
    static QString megabytes(qint64 bytes);
};

} // namespace tannbuch
