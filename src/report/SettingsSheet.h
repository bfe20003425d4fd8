#pragma once

#include "report/ReportSettings.h"

#include <QString>

#include <functional>

namespace tannbuch {

class SheetHandle;

// The template's settings sheet "Einstellungen": key in column A, value in
// column B, rows 2 to 101. Rows below are not read.
namespace SettingsSheet {

constexpr int FirstRow = 2;
constexpr int LastRow = 101;

inline QString name()
{
    return QStringLiteral("Einstellungen");
}

// One row as it was read: key and value trimmed and in upper case, and what
// ApplySetting did with it.
struct Row
{
    int row = 0;
    QString key;
    QString value;
    SettingApplied applied;
};

// Sees each row right after it was applied, with the settings as they are then.
using RowObserver = std::function<void(const Row &row, const ReportSettings &settings)>;

// Reads rows 2 to 101 of the sheet into the settings, each through
// ApplySetting, as every report workbook does; an empty row is passed on
// like any other. Cell errors propagate as WorkbookError.
void read(
    const SheetHandle &sheet, ReportSettings &settings, const IniValueReader &readIni, const RowObserver &observe = {});

} // namespace SettingsSheet

} // namespace tannbuch
