#pragma once

#include <QString>

class QIODevice;

namespace tannbuch {

class Workbook;

// Writes the in-memory model as a standard .xlsx workbook (or a .xltx
// template). The package the workbook was loaded from is kept: every part the
// program did not change is written back as it was (theme, unchanged sheets,
// print settings, defined names, images), and the changed sheets, styles,
// strings, relationships, drawings and content types are written anew. Macro
// parts of a macro-enabled template and a stale calculation chain are
// dropped. Manual row breaks beyond the format's limit are left out and a
// warning is added to the workbook's warnings().
class XlsxWriter
{
public:
    enum class FileKind { Workbook, Template };

    struct Options
    {
        FileKind kind = FileKind::Workbook;
        // When >= 0, every other sheet is written hidden (printing one sheet).
        int onlyVisibleSheet = -1;
        // Deflate level of the zip container, 1 (fastest) to 9.
        int compressionLevel = 1;
    };

    // Writes the workbook to the device as a workbook file. Throws
    // WorkbookError when the workbook has no sheet, a kept part is malformed
    // or the device fails.
    static void save(const Workbook &workbook, QIODevice &device);
    static void save(const Workbook &workbook, QIODevice &device, const Options &options);
    // Writes the workbook to a temporary file beside the target and renames
    // it, so a failed save leaves no half-written file and keeps an earlier
    // file of that name intact. A path ending in ".xltx" is written as a
    // template. Throws WorkbookError naming the file; a file-size limit
    // surfaces as this error where the process ignores SIGXFSZ (the program
    // does from its start).
    static void save(const Workbook &workbook, const QString &path);
    static void save(const Workbook &workbook, const QString &path, const Options &options);
};

} // namespace tannbuch
