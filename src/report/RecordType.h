#pragma once

#include <QVariant>

namespace tannbuch {

// A record type (DSART) as the report sections print it: the value as a
// 16-bit number, or -1 when the value is null or no such number. Records of
// type -1 are printed in a group titled "Sonstiges".
int recordTypeOf(const QVariant &dsart);

} // namespace tannbuch
