#pragma once

struct ReportState;

// The totals block that closes a report: overall volumes, pieces, stacked
// and bulk volume, dry tonnes, mean diameter and length.
void WriteTotals(ReportState &state);
