#include "DateKeyFilter.h"

namespace tannbuch {

int FilterDateKey(const QString &text, int caret, int selectionLength, int key)
{
    const int firstDot = int(text.indexOf(QLatin1Char('.'))) + 1; // 1-based, 0 = none
    const int lastDot = int(text.lastIndexOf(QLatin1Char('.'))) + 1;

    if (key == '.') {
        if (caret < 1 || caret > 5)
            return 0;
        if (firstDot == 0)
            return key;
        if (firstDot != lastDot)
            return 0;
        if (caret == firstDot || caret + 1 == firstDot)
            return 0;
        return key;
    }
    if (key >= '0' && key <= '9') {
        if (firstDot == 0)
            return text.size() == 2 && selectionLength == 0 ? 0 : key;
        const int after = int(text.size()) - lastDot;
        const int limit = firstDot == lastDot ? 2 : 4;
        if (caret >= lastDot && selectionLength == 0 && after == limit)
            return 0;
        return key;
    }
    if (key == 8 || key == 13)
        return key;
    return 0;
}

} // namespace tannbuch
