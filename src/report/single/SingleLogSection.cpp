#include "SingleLogSection.h"

#include "report/ReportState.h"

void WriteSingleLogSection(ReportState &)
{
    // The section's rows come with the single-log work; until then it writes nothing.
}
