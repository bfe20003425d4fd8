#pragma once

#include <QString>

namespace tannbuch {

class Connection;

// The access-level filter for the list browser: empty for id "0" or an empty
// id; otherwise a subquery over ACCESS_LEVELS that selects every level with
// the shortest prefix of the id's code whose tail is all zeros, or "(" + id +
// ")" when the code has no zero tail. An id without a row, or a NULL code,
// gives "(" + id + ")". Database errors propagate as DbError.
QString GetAccessLevel(Connection &db, const QString &accessLevelId);

// The filter for a known level code (the part after the lookup).
QString AccessLevelFilter(const QString &accessLevelId, const QString &code);

} // namespace tannbuch
