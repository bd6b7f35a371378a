#include "host/db/odbc/odbc_result_reader.h"

#include <sqlext.h>

#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace orva {

namespace {

struct ColumnInfo {
    std::string name;
    OdbcColumnKind kind;
};

ColumnInfo DescribeColumn(const OdbcHandle& stmt, SQLUSMALLINT col) {
    std::vector<SQLCHAR> name(256);
    SQLSMALLINT nameLen = 0, sqlType = 0, scale = 0, nullable = 0;
    SQLULEN size = 0;
    SQLRETURN rc =
        SQLDescribeCol(stmt.get(), col, name.data(), static_cast<SQLSMALLINT>(name.size()),
                       &nameLen, &sqlType, &size, &scale, &nullable);
    CheckOdbc(rc, stmt, "SQLDescribeCol");
    if (nameLen >= static_cast<SQLSMALLINT>(name.size())) {
        name.resize(static_cast<std::size_t>(nameLen) + 1);
        rc = SQLDescribeCol(stmt.get(), col, name.data(), static_cast<SQLSMALLINT>(name.size()),
                            &nameLen, &sqlType, &size, &scale, &nullable);
        CheckOdbc(rc, stmt, "SQLDescribeCol");
    }
    return {std::string(reinterpret_cast<const char*>(name.data())),
            OdbcKindOfSqlType(sqlType, scale)};
}

// Reads a column as character data, in pieces when it is longer than the
// buffer. nullopt for Null.
std::optional<std::string> ReadText(const OdbcHandle& stmt, SQLUSMALLINT col) {
    std::string out;
    char buf[4096];
    for (;;) {
        SQLLEN ind = 0;
        SQLRETURN rc = SQLGetData(stmt.get(), col, SQL_C_CHAR, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA)
            break;  // the last piece was already read
        CheckOdbc(rc, stmt, "SQLGetData");
        if (ind == SQL_NULL_DATA)
            return std::nullopt;
        // A piece fills the buffer up to its terminating zero; a driver that
        // converts character sets may stop short of a split character, so the
        // length is taken from the text itself unless the driver gave it.
        std::size_t room = sizeof buf - 1;
        bool whole = ind != SQL_NO_TOTAL && ind >= 0 && static_cast<std::size_t>(ind) <= room;
        out.append(buf, whole ? static_cast<std::size_t>(ind) : strnlen(buf, room));
        if (whole || rc == SQL_SUCCESS)
            break;
    }
    return out;
}

Variant ReadValue(const OdbcHandle& stmt, SQLUSMALLINT col, OdbcColumnKind kind) {
    if (kind == OdbcColumnKind::kDouble) {
        double v = 0;
        SQLLEN ind = 0;
        CheckOdbc(SQLGetData(stmt.get(), col, SQL_C_DOUBLE, &v, sizeof v, &ind), stmt,
                  "SQLGetData");
        if (ind == SQL_NULL_DATA)
            return Variant();
        return Variant(v);
    }
    // Integers, decimals and dates travel as text: exact for every size and
    // scale, and a date in the ODBC text form "yyyy-mm-dd[ hh:mm:ss[.f]]".
    auto text = ReadText(stmt, col);
    if (!text)
        return Variant();
    return OdbcValueFromText(kind, std::move(*text));
}

std::optional<std::int64_t> ParseInteger(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    std::int64_t v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

}  // namespace

OdbcColumnKind OdbcKindOfSqlType(SQLSMALLINT sqlType, SQLSMALLINT scale) {
    switch (sqlType) {
        case SQL_INTEGER:
        case SQL_SMALLINT:
        case SQL_TINYINT:
        case SQL_BIGINT:
        case SQL_BIT:
            return OdbcColumnKind::kInteger;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return scale == 0 ? OdbcColumnKind::kInteger : OdbcColumnKind::kDecimal;
        case SQL_FLOAT:
        case SQL_REAL:
        case SQL_DOUBLE:
            return OdbcColumnKind::kDouble;
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIMESTAMP:
        case SQL_DATE:
        case SQL_TIMESTAMP:
            return OdbcColumnKind::kDate;
        default:
            return OdbcColumnKind::kText;
    }
}

Variant OdbcValueFromText(OdbcColumnKind kind, std::string text) {
    switch (kind) {
        case OdbcColumnKind::kInteger:
            if (auto i = ParseInteger(text))
                return Variant(*i);
            [[fallthrough]];
        case OdbcColumnKind::kDecimal:
        case OdbcColumnKind::kDouble:
            if (auto d = ParseNumber(text))
                return Variant(*d);
            break;
        case OdbcColumnKind::kDate:
            if (auto d = Date::Parse(text))
                return Variant(*d);
            break;
        case OdbcColumnKind::kText:
            break;
    }
    return Variant(std::move(text));
}

RecordsetPtr ReadOdbcResult(const OdbcHandle& stmt, SQLSMALLINT columnCount) {
    std::vector<ColumnInfo> cols;
    std::vector<std::string> names;
    for (SQLSMALLINT c = 1; c <= columnCount; ++c) {
        cols.push_back(DescribeColumn(stmt, static_cast<SQLUSMALLINT>(c)));
        names.push_back(cols.back().name);
    }
    std::vector<Variant> cells;
    for (;;) {
        SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA)
            break;
        CheckOdbc(rc, stmt, "SQLFetch");
        for (SQLSMALLINT c = 1; c <= columnCount; ++c) {
            cells.push_back(ReadValue(stmt, static_cast<SQLUSMALLINT>(c), cols[c - 1].kind));
        }
    }
    return std::make_shared<Recordset>(std::move(names), std::move(cells));
}

}  // namespace orva
