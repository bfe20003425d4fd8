#pragma once

struct ReportState;

// The condensed section: volumes grouped by record type, wood type, grade and
// class with subtotals, written from the sheet cursor down.
void WriteCondensedSection(ReportState &state);
