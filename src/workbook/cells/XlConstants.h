#pragma once

namespace tannbuch {

// The spreadsheet object model's published constants, under their usual
// names, so report code reads with the numbers it has always used.
namespace Xl {

constexpr int None = -4142; // xlNone: no border line
constexpr int Continuous = 1; // xlContinuous
constexpr int Dash = -4115; // xlDash
constexpr int DashDot = 4; // xlDashDot
constexpr int DashDotDot = 5; // xlDashDotDot
constexpr int Dot = -4118; // xlDot
constexpr int Double = -4119; // xlDouble
constexpr int SlantDashDot = 13; // xlSlantDashDot
constexpr int Thin = 2; // xlThin
constexpr int Hairline = 1; // xlHairline
constexpr int Medium = -4138; // xlMedium
constexpr int Thick = 4; // xlThick
constexpr int ColorIndexAutomatic = -4105;
constexpr int Up = -4162; // xlUp: shift cells up on delete
constexpr int PageBreakManual = -4135; // xlPageBreakManual
constexpr int PageBreakNone = -4142; // xlPageBreakNone
constexpr int WindowNormal = -4143; // xlNormal
constexpr int WindowMinimized = -4140; // xlMinimized
constexpr int WindowMaximized = -4137; // xlMaximized
constexpr int ViewNormal = 1; // xlNormalView
constexpr int ViewPageBreakPreview = 2; // xlPageBreakPreview
constexpr int ViewPageLayout = 3; // xlPageLayoutView
constexpr int FileFormatOpenXmlWorkbook = 51;

} // namespace Xl

} // namespace tannbuch
