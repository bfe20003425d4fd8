#pragma once

struct ReportState;

// The single-log section: every selected record in groups by record type,
// written from the sheet cursor down; the cursor ends on the first free row.
void WriteSingleLogSection(ReportState &state);
