#pragma once

#include <QString>
#include <QStringList>

namespace tannbuch {

// Finds the template files in the template folder by a file name pattern, as
// the file list of the template choice shows them.
class TemplateFiles
{
public:
    // The names (without folder) of the files in `folder` that match
    // `pattern`, in name order (letter case ignored). Empty when the folder is
    // missing or holds no match. Never throws.
    static QStringList list(const QString &folder, const QString &pattern = QStringLiteral("Tannbuch*.xlt"));

    // True when the file name matches the pattern: "*" any run of characters,
    // "?" one character, letter case ignored; a pattern whose extension has
    // three characters also matches names with a longer extension that begins
    // with them (so "*.xlt" finds .xlt, .xltx and .xltm files, as Windows
    // does).
    static bool matches(const QString &fileName, const QString &pattern);
};

} // namespace tannbuch
