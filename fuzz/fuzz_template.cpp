// The template loader: any bytes as a workbook file (zip container and the
// XML parts in it). A refusal (WorkbookError) is an answer, not a failure.
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/XlsxReader.h"

#include <QFile>
#include <QTemporaryDir>

using namespace tannbuch;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vorlage.xltx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    try {
        (void)XlsxReader::load(path);
    } catch (const WorkbookError &) { }
    return 0;
}
