#include "host/tsql/dialect.h"

namespace orva::tsql {

std::string QuoteName(std::string_view name) {
    std::string o = "\"";
    for (char c : name) {
        if (c == '"')
            o.push_back('"');
        o.push_back(c);
    }
    o.push_back('"');
    return o;
}

std::string CreateIndex(const Dialect& dialect, std::string_view index, std::string_view table,
                        const std::vector<std::string>& columns) {
    std::string ix = "CREATE INDEX " + std::string(index) + " ON " + std::string(table) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            ix += ", ";
        ix += dialect.Name(columns[i]);
    }
    return ix + ")";
}

namespace {

// The functions every engine has under one name: the engine's own, or one
// the layer registers (SQLite) or creates in the database (PostgreSQL).
constexpr FunctionName kCommonFunctions[] = {
    {"LEN", "len"},
    {"LEFT", "orva_left"},
    {"RIGHT", "orva_right"},
    {"LTRIM", "ltrim"},
    {"RTRIM", "rtrim"},
    {"REVERSE", "reverse"},
    {"CHARINDEX", "charindex"},
    {"REPLACE", "orva_replace"},
    {"SUBSTRING", "substr"},
    {"ABS", "abs"},
    {"COALESCE", "coalesce"},
    {"NULLIF", "nullif"},
    {"COUNT", "count"},
    {"SUM", "sum"},
    {"AVG", "avg"},
    {"MIN", "min"},
    {"MAX", "max"},
    {"GETDATE", "getdate"},
};

const char* Lookup(std::span<const FunctionName> table, std::string_view tsqlName) {
    for (const FunctionName& f : table) {
        if (tsqlName == f.tsql)
            return f.engine;
    }
    return nullptr;
}

}  // namespace

const char* FindFunction(std::span<const FunctionName> own, std::string_view tsqlName) {
    if (const char* f = Lookup(own, tsqlName))
        return f;
    return Lookup(kCommonFunctions, tsqlName);
}

}  // namespace orva::tsql
