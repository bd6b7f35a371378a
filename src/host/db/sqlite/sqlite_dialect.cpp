#include <string_view>

#include "host/db/sqlite/sqlite_dialect.h"

#include "host/db/sqlite/sqlite_functions.h"

namespace orva {
namespace {

using tsql::CreateIndex;
using tsql::Dialect;
using tsql::FindFunction;
using tsql::FunctionName;
using tsql::QuoteName;
using tsql::TypeSpec;

// The functions SQLite names its own way, its own or registered on every
// connection (sqlite_functions.h); the others as every engine names them.
constexpr FunctionName kFunctions[] = {
    {"ISNULL", "ifnull"},
    {"UPPER", "orva_upper"},
    {"LOWER", "orva_lower"},
    {"ROUND", "round"},
};

class Sqlite final : public Dialect {
  public:
    const char* Engine() const override { return "SQLite"; }
    std::string Parameter(std::size_t n) const override { return "?" + std::to_string(n); }
    // SQLite's default limit.
    std::size_t MaxParameter() const override { return 32766; }
    std::string Name(std::string_view name) const override { return QuoteName(name); }
    std::string OutputName(std::string_view name) const override { return QuoteName(name); }
    bool NamesPlainColumns() const override { return false; }
    std::string TempTable(std::string_view name) const override {
        return "temp." + QuoteName(name);
    }
    std::string TempIndex(std::string_view table, std::string_view index,
                          const std::vector<std::string>& columns) const override {
        return CreateIndex(*this, "temp." + QuoteName(index), QuoteName(table), columns);
    }
    std::string CreateTable(std::string_view name, bool temp) const override {
        return (temp ? "CREATE TEMP TABLE " : "CREATE TABLE ") + QuoteName(name);
    }
    const char* Collate() const override { return " COLLATE ORVA_CI"; }
    bool CollateEachOperand() const override { return false; }
    const char* GroupCollate() const override { return Collate(); }
    const char* AliasOrderCollate() const override { return Collate(); }
    // like() is replaced on the connection by the collation's own.
    const char* LikeOperandBegin() const override { return ""; }
    const char* LikeOperandEnd() const override { return ""; }
    const char* LikeSubject() const override { return ""; }
    const char* LikeOperator(bool negated) const override {
        return negated ? " NOT LIKE " : " LIKE ";
    }
    const char* LikeNoEscape() const override { return ""; }
    const char* Function(std::string_view tsqlName) const override {
        return FindFunction(kFunctions, tsqlName);
    }
    const char* Divide() const override { return "orva_div"; }
    const char* Modulo() const override { return "orva_mod"; }
    bool WrapsScalarSubquery() const override { return true; }
    const char* DerivedAlias() const override { return ""; }
    std::string ColumnType(const TypeSpec& t) const override {
        switch (t.base) {
            case TypeSpec::Base::Int:
            case TypeSpec::Base::Bit:
                return "INTEGER";
            case TypeSpec::Base::Float:
            case TypeSpec::Base::Decimal:
                return "REAL";
            case TypeSpec::Base::Text:
                return std::string("TEXT") + Collate();
            case TypeSpec::Base::Date:
                return "TEXT";
        }
        return "TEXT";
    }
    // SQLite's own row number, which must be the primary key by itself.
    const char* IdentityColumn() const override { return "INTEGER PRIMARY KEY"; }
};

}  // namespace

const tsql::Dialect& SqliteDialect() {
    static const Sqlite dialect;
    return dialect;
}

}  // namespace orva
