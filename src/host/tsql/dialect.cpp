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

const char* FindFunction(std::span<const FunctionName> table, std::string_view tsqlName) {
    for (const FunctionName& f : table) {
        if (tsqlName == f.tsql)
            return f.engine;
    }
    return nullptr;
}

}  // namespace orva::tsql
