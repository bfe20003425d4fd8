// The ini file reader: any bytes as the file's content, then the keys the
// program asks for.
#include "app/IniReader.h"

#include <QByteArray>

using namespace tannbuch;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = IniReader::decode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const char *key : {"DATABASENAME", "SQLSERVER", "AL", "RELTABLE", "PathTemplates", "Headerline1", "="})
        (void)IniReader::valueIn(text, QString::fromLatin1(key));
    return 0;
}
