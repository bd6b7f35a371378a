// The engine side of the interpreter: runs one translated statement of a step
// with the batch's parameters and hands back its rows. Each database engine
// has one implementation; the interpreter (variables, IF/WHILE, @@ROWCOUNT)
// is the same for all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/tsql/program.h"
#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"

namespace orva::tsql {

// The values a statement binds: the batch's variables as parameters 1 to n
// (slot 0 is @@ROWCOUNT), then the text's literals the statement binds
// (`bound` indexes `literals`) from n + 1 on.
struct Parameters {
    const std::vector<Variant>& variables;
    const std::vector<Variable>& declared;
    const std::vector<Variant>* literals = nullptr;
    const std::vector<int>* bound = nullptr;

    std::size_t Count() const { return variables.size() + (bound ? bound->size() : 0); }
    // Parameter k (0-based).
    const Variant& At(std::size_t k) const {
        if (k < variables.size())
            return variables[k];
        return (*literals)[static_cast<std::size_t>((*bound)[k - variables.size()])];
    }
};

class StatementRunner {
  public:
    virtual ~StatementRunner() = default;

    // Statement i of the step as a record set; rows: how many it has.
    // Throws TsqlError (pos: the step's start) with the engine's message.
    virtual RecordsetPtr Query(const Step& step, std::size_t i, const Parameters& params,
                               long& rows) = 0;
    // Runs statement i of the step; the rows it changed.
    virtual std::int64_t Execute(const Step& step, std::size_t i, const Parameters& params) = 0;
    // Runs statement i of the step and keeps its last row in `last`; the
    // number of rows it returned.
    virtual std::int64_t LastRow(const Step& step, std::size_t i, const Parameters& params,
                                 std::vector<Variant>& last) = 0;
    // Drops the connection's temporary table of that name when there is one.
    virtual void DropTempTable(const std::string& name, std::size_t pos) = 0;

    // Runs a WHILE step whole inside the engine, in one exchange, when the
    // engine can and the loop sends nothing to the client: `variables` come
    // back as the loop left them, and `rowsAffected` as its last data change
    // set it (untouched when it made none). False: the interpreter walks the
    // loop itself. `literals`: the text's bindable literals (may be null).
    virtual bool RunLoop(const Step& loop, const std::vector<Variable>& declared,
                         std::vector<Variant>& variables, const std::vector<Variant>* literals,
                         long& rowsAffected) {
        (void)loop, (void)declared, (void)variables, (void)literals, (void)rowsAffected;
        return false;
    }
};

}  // namespace orva::tsql
