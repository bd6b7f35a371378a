// Reads the current result of an ODBC statement into a client-side record set.
#pragma once

#include <sql.h>

#include "host/db/odbc/odbc_handle.h"
#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"

namespace orva {

// How a column's values are kept, from its ODBC SQL type.
enum class OdbcColumnKind {
    kInteger,  // integer types and bit: Integer
    kDecimal,  // decimal, numeric, money: Integer when the scale is 0, else Double
    kDouble,   // float, real, double: Double
    kDate,     // date, datetime, timestamp: Date (the time of day is dropped)
    kText,     // everything else: Text
};

OdbcColumnKind OdbcKindOfSqlType(SQLSMALLINT sqlType, SQLSMALLINT scale);

// The value of a column fetched as character data, typed by the column's
// kind. A value that does not read as its kind (a dynamically typed engine
// may hold text in a date column) is kept as the text it is.
Variant OdbcValueFromText(OdbcColumnKind kind, std::string text);

// Fetches every row of the statement's current result, which has
// columnCount > 0 columns. Throws ComError kDatabase with the driver's
// messages when a fetch fails.
RecordsetPtr ReadOdbcResult(const OdbcHandle& stmt, SQLSMALLINT columnCount);

}  // namespace orva
