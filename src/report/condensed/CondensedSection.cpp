#include "CondensedSection.h"

#include "report/ReportState.h"

void WriteCondensedSection(ReportState &)
{
    // The grouped rows come with the condensed work; until then it writes nothing.
}
