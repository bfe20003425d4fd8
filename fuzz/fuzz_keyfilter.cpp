// The date boxes' key filter: a text, a caret, a selection and a key taken
// from the input.
#include "app/DateKeyFilter.h"

#include <QString>

#include <cstring>

using namespace tannbuch;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 12)
        return 0;
    int numbers[3];
    std::memcpy(numbers, data, sizeof numbers);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 12, qsizetype(size - 12));
    (void)FilterDateKey(text, numbers[0], numbers[1], numbers[2]);
    (void)FilterDateKey(text, numbers[0] % 16, numbers[1] % 16, numbers[2] & 0xffff);
    return 0;
}
