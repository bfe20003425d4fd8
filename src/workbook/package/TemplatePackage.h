#pragma once

#include "workbook/package/ZipArchive.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace tannbuch {

// The file a workbook was loaded from, kept whole: every part by its path,
// and what the writer needs to extend rather than replace. Saving writes each
// part the program did not change back as it was; the template's cell formats
// and shared strings keep their order and new ones are appended behind them,
// so an unchanged sheet copied byte for byte still finds its formats and
// strings under the same numbers.
struct TemplatePackage
{
    // One entry of the workbook's sheet list.
    struct SheetInfo
    {
        QString name;
        QString relationId;
        QString partPath; // "xl/worksheets/sheet1.xml"
        bool isWorksheet = true; // false for chart and dialog sheets, which the model does not hold
        int modelIndex = -1; // the Workbook's sheet index, for worksheets
    };

    std::vector<ZipEntry> parts; // in the file's order
    QHash<QString, qsizetype> partIndex;

    QString workbookPart; // "xl/workbook.xml"
    QString stylesPart; // empty when the file has none
    QString sharedStringsPart; // empty when the file has none
    std::vector<SheetInfo> sheets;

    // The template's shared strings as plain text, in order; a cell whose text
    // still equals its loaded string is written with that string's number
    // (which keeps rich text formatting of template strings).
    QStringList sharedStrings;
    // The custom document properties as loaded; unchanged ones are not rewritten.
    QMap<QString, QVariant> customProperties;
    // Each loaded property's value type ("i8", "lpstr", "filetime", ...) and
    // text as the file holds them: rewriting the properties keeps both.
    struct PropertyValue
    {
        QByteArray kind;
        QString text;
    };
    QMap<QString, PropertyValue> customPropertyValues;

    // The part at path, or nullptr.
    const QByteArray *part(const QString &path) const
    {
        const auto it = partIndex.constFind(path);
        return it == partIndex.constEnd() ? nullptr : &parts[size_t(it.value())].data;
    }
    void addPart(const QString &path, const QByteArray &data)
    {
        const auto it = partIndex.constFind(path);
        if (it != partIndex.constEnd()) {
            parts[size_t(it.value())].data = data;
            return;
        }
        partIndex.insert(path, qsizetype(parts.size()));
        parts.push_back({path, data});
    }
};

} // namespace tannbuch
