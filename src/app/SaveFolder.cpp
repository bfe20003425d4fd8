#include "SaveFolder.h"

#include <QFileInfo>

namespace tannbuch {

std::optional<QString> SaveFolderPrefix(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    if (QFileInfo(folder).isDir())
        return folder + u'/';
    return std::nullopt;
}

QString UnknownSaveFolderMessage(const QString &folder)
{
    return QStringLiteral("Den Ordner „%1“ zum Speichern gibt es nicht; es wurde nichts gedruckt und nichts "
                          "gespeichert.")
        .arg(folder);
}

} // namespace tannbuch
