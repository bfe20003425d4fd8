#pragma once

#include <QString>

#include <optional>

namespace tannbuch {

// The host's ini file: plain key=value lines without sections. Read as text
// in the host's encoding (Windows-1252); UTF-8 with or without byte-order
// mark is recognised and read as such.
class IniReader
{
public:
    // Largest ini file read; a larger one is refused unread.
    static constexpr qint64 MaxBytes = 1024 * 1024;

    // The text of the ini file; nullopt when it cannot be read. problem (when
    // given) then gets why: empty when the file cannot be opened (missing, no
    // right to read it), else a German message naming the file: not a
    // regular file, larger than MaxBytes, or no text (UTF-16, binary).
    static std::optional<QString> text(const QString &path, QString *problem = nullptr);

    // The value of the first line whose key (the text before the first "=",
    // trimmed) equals key ignoring case, trimmed; an empty text when no line
    // matches; nullopt when the file cannot be read (problem as for text()).
    // The file is read anew on every call.
    static std::optional<QString> value(const QString &path, const QString &key, QString *problem = nullptr);

    // The value of key in an ini file's text, by the same rule.
    static QString valueIn(const QString &text, const QString &key);

    // The ini file's text decoded from its bytes (Windows-1252 unless the
    // bytes are UTF-8).
    static QString decode(const QByteArray &bytes);

    // The default ini file: kelmora.ini in the program's folder.
    static QString defaultPath();
};

} // namespace tannbuch
