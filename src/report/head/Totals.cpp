#include "Totals.h"

#include "report/ReportState.h"

void WriteTotals(ReportState &)
{
    // The totals come with the condensed work; until then nothing is written.
}
