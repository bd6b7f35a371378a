#include <string_view>

#include "host/text_util.h"
#include "host/tsql/dialect.h"

namespace orva::tsql {
namespace {

std::string Quote(std::string_view s) {
    std::string o = "\"";
    for (char c : s) {
        if (c == '"')
            o.push_back('"');
        o.push_back(c);
    }
    o.push_back('"');
    return o;
}

struct FunctionName {
    const char* tsql;
    const char* postgres;
};

// The server's own functions and those the company setup creates
// (postgres_setup.cpp).
constexpr FunctionName kFunctions[] = {
    {"ISNULL", "coalesce"},
    {"LEN", "len"},
    {"LEFT", "orva_left"},
    {"RIGHT", "orva_right"},
    {"LTRIM", "ltrim"},
    {"RTRIM", "rtrim"},
    {"REVERSE", "reverse"},
    {"CHARINDEX", "charindex"},
    {"UPPER", "upper"},
    {"LOWER", "lower"},
    {"REPLACE", "orva_replace"},
    {"SUBSTRING", "substr"},
    {"ABS", "abs"},
    {"ROUND", "orva_round"},
    {"COALESCE", "coalesce"},
    {"NULLIF", "nullif"},
    {"COUNT", "count"},
    {"SUM", "sum"},
    {"AVG", "avg"},
    {"MIN", "min"},
    {"MAX", "max"},
    {"GETDATE", "getdate"},
};

// Text columns are blank-padded character strings (bpchar) under the
// nondeterministic ICU collation orva_ci: bpchar ignores trailing blanks in
// comparisons, hashing and sorting, and the collation ignores case, so '=',
// IN, DISTINCT, GROUP BY, ORDER BY, joins and unique indexes all compare as
// the company's SQL Server collation does and still use the indexes. A text
// expression is brought to the same type and collation before it is compared.
// Names are folded to lower case, as the server folds unquoted names, so the
// letter case a statement writes a name in does not matter.
class Postgres final : public Dialect {
  public:
    const char* Engine() const override { return "PostgreSQL"; }
    std::string Parameter(std::size_t n) const override { return "$" + std::to_string(n); }
    std::size_t MaxParameter() const override { return 65535; }
    std::string Name(std::string_view name) const override { return Quote(ToLowerAscii(name)); }
    std::string OutputName(std::string_view name) const override { return Quote(name); }
    bool NamesPlainColumns() const override { return true; }
    std::string TempTable(std::string_view name) const override { return "pg_temp." + Name(name); }
    std::string TempIndex(std::string_view table, std::string_view index,
                          const std::vector<std::string>& columns) const override {
        std::string ix = "CREATE INDEX " + Name(index) + " ON " + TempTable(table) + " (";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                ix += ", ";
            ix += Name(columns[i]);
        }
        return ix + ")";
    }
    std::string CreateTable(std::string_view name, bool temp) const override {
        return (temp ? "CREATE TEMP TABLE " : "CREATE TABLE ") + Name(name);
    }
    const char* Collate() const override { return "::bpchar COLLATE orva_ci"; }
    bool CollateEachOperand() const override { return true; }
    // A GROUP BY or ORDER BY item must stay the expression the select list
    // holds; text columns compare as the collation does by themselves.
    const char* GroupCollate() const override { return ""; }
    const char* AliasOrderCollate() const override { return ""; }
    // LIKE is not available under a nondeterministic collation: ILIKE under
    // the server's root ICU collation matches letters case-insensitively.
    const char* LikeSubject() const override { return "::text COLLATE \"und-x-icu\""; }
    const char* LikeOperator(bool negated) const override {
        return negated ? " NOT ILIKE " : " ILIKE ";
    }
    // SQL Server's LIKE has no escape character unless one is given.
    const char* LikeNoEscape() const override { return " ESCAPE ''"; }
    const char* Function(std::string_view tsqlName) const override {
        for (const FunctionName& f : kFunctions) {
            if (tsqlName == f.tsql)
                return f.postgres;
        }
        return nullptr;
    }
    // The server's '/' and '%' raise a division-by-zero error of their own.
    const char* Divide() const override { return nullptr; }
    const char* Modulo() const override { return nullptr; }
    // The server refuses a second row of a scalar subquery by itself.
    bool WrapsScalarSubquery() const override { return false; }
    const char* DerivedAlias() const override { return " AS orva_top"; }
    std::string ColumnType(const TypeSpec& t) const override {
        switch (t.base) {
            case TypeSpec::Base::Int:
            case TypeSpec::Base::Bit:
                return "integer";
            case TypeSpec::Base::Float:
                return "double precision";
            case TypeSpec::Base::Decimal:
                return "numeric(38, " + std::to_string(t.scale) + ")";
            case TypeSpec::Base::Text:
                if (t.fixed && t.length > 0)
                    return "bpchar(" + std::to_string(t.length) + ") COLLATE orva_ci";
                return "bpchar COLLATE orva_ci";
            case TypeSpec::Base::Date:
                return "varchar";
        }
        return "varchar";
    }
    const char* IdentityColumn() const override {
        return "integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
    }
};

}  // namespace

const Dialect& PostgresDialect() {
    static const Postgres dialect;
    return dialect;
}

}  // namespace orva::tsql
