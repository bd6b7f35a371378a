// Runs a translated batch on one SQLite connection: holds the batch's
// variables and @@ROWCOUNT, walks IF/WHILE/BEGIN...END, binds variables as
// parameters, collects every record set in order and the rows affected by the
// last data-changing statement. Transactions are the caller's business.
#pragma once

#include <sqlite3.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "host/db_backend.h"
#include "host/tsql/program.h"
#include "host/variant.h"

namespace orva::tsql {

// Reads the rows of a stepped statement into a record set (the first row is
// already stepped when firstStep is SQLITE_ROW). expectedRows sizes the
// buffer (the row count of the statement's previous run).
RecordsetPtr ReadRecordset(sqlite3* db, sqlite3_stmt* stmt, int firstStep, long expectedRows,
                           long& rows);

class Interpreter {
  public:
    explicit Interpreter(sqlite3* db) : db_(db) {}

    // Throws TsqlError with SQLite's message; pos is the failing statement's
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
    sqlite3_stmt* Prepared(const Step& step, std::size_t i);
    void Bind(sqlite3_stmt* stmt, const Step& step, std::size_t i);
    bool Condition(const Step& step);
    void Assign(const Step& step);
    void Query(const Step& step);
    void Run(const Step& step, std::size_t i);
    [[noreturn]] void Fail(const Step& step, const std::string& message);

    sqlite3* db_;
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
