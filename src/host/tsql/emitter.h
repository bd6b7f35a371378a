// Writes parsed T-SQL expressions, selects and table names as SQL of one
// database engine (its Dialect): variables and bound literals as numbered
// parameters, T-SQL functions as the layer's, text comparisons with the
// case-insensitive collation.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/tsql/ast.h"
#include "host/tsql/dialect.h"
#include "host/tsql/translate_support.h"

namespace orva::tsql {

class Emitter {
  public:
    Emitter(const std::vector<Variable>& vars, const Dialect& d) : vars_(vars), d_(d) {}

    const Dialect& D() const { return d_; }

    // While set, the outermost select names its columns as the batch's
    // record set returns them.
    void OutputNames(bool on) { outputNames_ = on; }

    // From now on, literals of the text become parameters numbered after the
    // variables, wherever the translation does not depend on their value.
    void BindLiterals() { bindLiterals_ = true; }
    // The literals bound by the statement just emitted, in parameter order;
    // the next statement starts a new list.
    std::vector<int> TakeParams() { return std::exchange(params_, {}); }
    // Literals whose value the translation used (written into the SQL).
    const std::vector<int>& Pinned() const { return pinned_; }

    // While one lives, the emitter writes literals as they are: in ORDER BY
    // and GROUP BY (an integer there is a column position), TOP, column
    // names, LIKE patterns, CONVERT styles and table definitions.
    class Pin {
      public:
        explicit Pin(Emitter& e) : e_(e) { ++e_.pin_; }
        ~Pin() { --e_.pin_; }
        Pin(const Pin&) = delete;
        Pin& operator=(const Pin&) = delete;

      private:
        Emitter& e_;
    };

    Ty TypeOf(const Expr& e) const;

    // A text comparison between two expressions needs the collation spelled
    // out: only a column carries it by itself.
    bool NeedsCollate(const Expr& a) const;
    bool NeedsCollate(const Expr& a, const Expr& b) const;
    // When each operand is collated by itself: a text literal compared with
    // a column takes the column's type and collation by itself (and a
    // number column converts it, as the database does).
    bool CollateOperand(const Expr& x, const Expr& other) const;
    // Whether a text operand gets the dialect's Collate(). When that changes
    // the operand's type, only an operand known to be text may get it.
    bool CollateText(const Expr& x) const;

    void Emit(const Expr& e, std::string& o);

    // names: the select's column names are seen (a record set or a derived
    // table), so a literal that names a column stays in the text.
    void EmitSelect(const Select& s, std::string& o, bool names = false);

    void EmitTable(const TableRef& t, std::string& o);

    std::string TableName(const TableRef& t) const;

  private:
    // Emit's cases that take more than a few lines.
    void EmitCompare(const Expr& e, std::string& o);
    void EmitInList(const Expr& e, std::string& o);
    void EmitBetween(const Expr& e, std::string& o);
    void EmitLike(const Expr& e, std::string& o);
    void EmitSubquery(const Expr& e, std::string& o);
    void EmitBinary(const Expr& e, std::string& o);

    void EmitCase(const Expr& e, std::string& o);

    void EmitFunction(const Expr& e, std::string& o);

    void EmitCast(const Expr& e, std::string& o);

    // Which select items keep their literals as written.
    enum class Pinning { kNone, kUnnamed, kAll };

    void EmitCore(const SelectCore& c, bool dedup, std::string& o, Pinning pinItems);

    // FROM, WHERE, GROUP BY and HAVING of a select core.
    void EmitFromWhere(const SelectCore& c, std::string& o);

    static bool IsAggregate(const Expr& e);

    // A scalar subquery that may return several rows: one plain select of one
    // column, without aggregates, grouping, DISTINCT or TOP.
    static bool PlainSingleColumn(const Select& s);

    const SelectItem* AliasItem(const Select& s, const Expr& e) const;

    void CheckDistinctOrder(const Select& s) const;

    void EmitOrderItem(const Select& s, const OrderItem& item, std::string& o);

    bool Param(const Expr& e, std::string& o);

    // A table name or alias before a column.
    std::string Qualifier(const std::string& q) const { return d_.Name(q); }
    // The outermost select of a record set the batch returns.
    bool TopLevel() const { return outputNames_ && depth_ == 1; }
    std::string AliasName(const std::string& alias) const;

    const std::vector<Variable>& vars_;
    const Dialect& d_;
    bool outputNames_ = false;
    int depth_ = 0;
    bool bindLiterals_ = false;
    int pin_ = 0;
    std::vector<int> params_;
    std::vector<int> pinned_;
};

}  // namespace orva::tsql
