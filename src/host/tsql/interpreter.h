// Runs a translated batch on one connection: holds the batch's
// variables and @@ROWCOUNT, walks IF/WHILE/BEGIN...END, binds variables as
// parameters, collects every record set in order and the rows affected by the
// last data-changing statement. The statements themselves run through the
// engine's StatementRunner. Transactions are the caller's business.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "host/base/batch_result.h"
#include "host/tsql/program.h"
#include "host/tsql/statement_runner.h"
#include "orvasaleprice/variant.h"

namespace orva::tsql {

class Interpreter {
  public:
    explicit Interpreter(StatementRunner& runner) : runner_(runner) {}

    // Throws TsqlError with the engine's message; pos is the failing statement's
    // start in the batch text. `literals` are the values of the text's
    // bindable literals when the program binds them.
    BatchResult Run(const Program& program, const std::vector<Variant>& literals = {});

    // Loops stop with an error past this many iterations (a batch that would
    // never end otherwise).
    static constexpr long kMaxIterations = 50'000'000;

  private:
    enum class Flow { Next, Break, Continue, Return };

    Flow Exec(const Step& step);
    Flow ExecList(const std::vector<Step>& steps);
    Parameters ParamsOf(const Step& step, std::size_t i) const;
    bool Condition(const Step& step);
    void Assign(const Step& step);
    void Query(const Step& step);
    [[noreturn]] void Fail(const Step& step, const std::string& message);

    StatementRunner& runner_;
    const Program* program_ = nullptr;
    const std::vector<Variant>* literals_ = nullptr;
    std::vector<Variant> vars_;
    std::unordered_set<std::string> tempsCreated_;
    BatchResult result_;
};

// Converts a value assigned to a variable to the variable's declared type, as
// the database does (text to number, number to text, truncation to the
// declared length). Throws TsqlError on a failed conversion.
Variant ConvertForType(const Variant& v, const TypeSpec& type);

}  // namespace orva::tsql
