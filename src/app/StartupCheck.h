#pragma once

#include <QString>

#include <optional>

namespace tannbuch {

struct StartupValues;

// The start-up values that statements take as they stand, without quotes:
// the access-level id and the list-type number must be whole numbers (ASCII
// digits, an optional leading minus, within 32 bits), the business-year
// column one of RELTABLE1 to RELTABLE10 in any letter case. Empty values are
// allowed: they mean "no restriction", "no list type" and "date range".
//
// Puts the business-year column into upper case and returns nullopt when all
// values fit; otherwise returns the German message naming the first field that
// does not fit and what it must hold, and changes nothing. Sends no statement.
std::optional<QString> CheckStartupValues(StartupValues &values);

} // namespace tannbuch
