#pragma once

#include <QString>

#include <optional>

namespace tannbuch {

// What the report's file name is appended to for the save folder of the
// command line: the folder with a "/" added when it names an existing
// folder without one; unchanged when it is empty (nothing is saved) or ends
// in "/". nullopt when it names no existing folder and does not end in "/":
// the file name appended to it would save the report beside the folder
// under a wrong name.
std::optional<QString> SaveFolderPrefix(const QString &folder);

// Why SaveFolderPrefix refused the folder, naming it.
QString UnknownSaveFolderMessage(const QString &folder);

} // namespace tannbuch
