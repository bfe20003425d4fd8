#include "SettingsSheet.h"

#include "workbook/automation/Range.h"
#include "workbook/automation/SheetHandle.h"

namespace tannbuch {

namespace SettingsSheet {

void read(const SheetHandle &sheet, ReportSettings &settings, const IniValueReader &readIni, const RowObserver &observe)
{
    for (int r = FirstRow; r <= LastRow; ++r) {
        Row row;
        row.row = r;
        row.key = sheet.cells(r, 1).value().trimmed().toUpper();
        row.value = sheet.cells(r, 2).value().trimmed().toUpper();
        row.applied = ApplySetting(settings, row.key, row.value, readIni);
        if (observe)
            observe(row, settings);
    }
}

} // namespace SettingsSheet

} // namespace tannbuch
