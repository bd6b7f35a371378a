// The collation and SQL functions that make SQLite compare and compute text
// and numbers as the company database's SQL Server does. Every connection to a
// company file registers them: the schema declares its text columns with
// COLLATE ORVA_CI, and the T-SQL layer's translated statements call the
// functions below.
#pragma once

struct sqlite3;

namespace orva {

// Name of the collation: UTF-8, case- and width-insensitive, trailing blanks
// ignored ('abc' = 'ABC  ').
inline constexpr const char* kSqlServerCollation = "ORVA_CI";

// Registers on the connection:
//   collation ORVA_CI;
//   len(x), charindex(a, b[, start]), reverse(x), getdate();
//   orva_left(x, n), orva_right(x, n), orva_upper(x), orva_lower(x),
//   orva_replace(x, from, to) (case-insensitive, as the collation);
//   orva_add(a, b) (text + text concatenates, otherwise adds numbers),
//   orva_div(a, b), orva_mod(a, b) (division by zero is an error);
//   orva_cast_int(x, bit), orva_cast_real(x, scale), orva_cast_text(x, len, style, pad),
//   orva_cast_date(x) (CAST and CONVERT with the database's conversion errors);
//   like() in place of SQLite's, case-insensitive beyond ASCII as the collation;
//   aggregate orva_one(x): the single value of a scalar subquery (an error on a
//   second row).
// Throws ComError when SQLite refuses a registration.
void RegisterSqlServerCompat(sqlite3* db);

}  // namespace orva
