// The host's command line: any text split into its fields, and the joining
// of program arguments.
#include "app/StartupValues.h"

#include <QString>
#include <QStringList>

using namespace tannbuch;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)SplitCommandLine(text);
    (void)SplitCommandLine(JoinArguments(text.split(QLatin1Char(' '))));
    return 0;
}
