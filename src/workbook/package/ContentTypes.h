#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace tannbuch {

// The content types of a package: defaults by extension, overrides by part.
// Extensions are kept in lower case and compared as such; part paths are
// kept without their leading "/" and compared without regard to case.
struct ContentTypes
{
    std::vector<std::pair<QString, QString>> defaults; // extension (lower case), type
    std::vector<std::pair<QString, QString>> overrides; // part path without leading "/", type

    // Adds the entries of a content types part; nothing when xml is null.
    // Throws WorkbookError when the part is malformed.
    void parse(const QByteArray *xml, const QString &fileName);
    // Sets the type of an extension or of a part, replacing an earlier one.
    void setDefault(const QString &extension, const QString &type);
    void setOverride(const QString &path, const QString &type);
    void removeOverride(const QString &path);
    // True when the part has a type, of its own or by its extension.
    bool covers(const QString &path) const;
    // The content types part.
    QByteArray toXml() const;

    // The usual content type of a file extension; a binary stream for one not known.
    static QString ofExtension(const QString &extension);
};

} // namespace tannbuch
