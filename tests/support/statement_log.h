// Records what the module sends to its company database: a back end that
// forwards every call to a real one and writes down, in order, each text run
// (ExecuteBatch), each numbering key asked for (NextNumber) and each write
// transaction's begin, commit and rollback, with the error of a call that
// failed.
//
//   auto log = std::make_shared<orva::test::StatementLog>();
//   orva::test::StatementLogScope logged(log);  // after RegisterHostServices
//   orva::CustFace face;                        // its connection is logged,
//   face.Show(orva::showedit);                  // and every other one made by ProgID
//   log->Lines();  // {"SELECT FValue FROM t_Systemprofile ...", ...}
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/db/db_backend.h"

namespace orva::test {

class StatementLog {
  public:
    // Entries as they are written: the text run as it was passed, or a
    // marker line ("NUMBER t_Cust", "BEGIN WRITE", "FAILED <description>").
    void Add(std::string entry) { lines_.push_back(std::move(entry)); }
    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};

// `inner` with every call written to `log`. The result offers the write
// grouping exactly when `inner` does, so a WriteTransaction over it groups
// (or does not) as it would over `inner`.
std::unique_ptr<DbBackend> LogStatements(std::unique_ptr<DbBackend> inner,
                                         std::shared_ptr<StatementLog> log);

// While it lives, every connection component created by its ProgID opens the
// session's company database through LogStatements; afterwards the plain
// component is registered again.
class StatementLogScope {
  public:
    explicit StatementLogScope(std::shared_ptr<StatementLog> log);
    ~StatementLogScope();
    StatementLogScope(const StatementLogScope&) = delete;
    StatementLogScope& operator=(const StatementLogScope&) = delete;
};

}  // namespace orva::test
