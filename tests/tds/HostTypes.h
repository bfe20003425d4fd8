#pragma once

#include <QString>

namespace tannbuch {

namespace tds {

// A SQL Server column type as the host database declares it.
struct HostType
{
    enum Kind {
        Int,
        SmallInt,
        BigInt,
        Bit,
        Float,
        Real,
        Decimal,
        Numeric,
        Money,
        NVarChar, // length 0: nvarchar(max)
        VarChar,
        DateTime,
        SmallDateTime,
        Date,
    };
    Kind kind = NVarChar;
    int precision = 0; // decimal/numeric
    int scale = 0; // decimal/numeric
    int length = 0; // (n)varchar in characters, 0 for max

    bool isText() const { return kind == NVarChar || kind == VarChar; }
};

// The host's declared type of a result column of that name (upper or lower
// case), or false when the name is no column of the host's tables (an
// expression or an alias).
bool hostColumnType(const QString &columnName, HostType *type);

} // namespace tds

} // namespace tannbuch
