#pragma once

struct sqlite3;

namespace tannbuch {

// Registers on a SQLite connection what the rewritten SQL Server statements
// call (see SqlDialect): the text collation NOCASE (case and trailing blanks
// ignored, replacing SQLite's own for this connection), LIKE, ROUND, SQRT and
// the functions tb_left, tb_right, tb_isnumeric, tb_text, tb_datetime and
// tb_plus. Each follows SQL Server's rules as described in SqlServerSemantics;
// where SQL Server raises an error (an invalid date text, a negative length),
// the function raises one with a German message and the statement fails.
class SqlServerFunctions
{
public:
    // Kind argument of tb_datetime.
    enum DateKindCode { SmallDateTimeCode = 0, DateTimeCode = 1, DateCode = 2 };

    // Registers everything on the connection; throws DbError when SQLite
    // refuses a registration.
    static void install(sqlite3 *db);
};

} // namespace tannbuch
