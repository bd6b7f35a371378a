#include "support/statement_log.h"

#include <exception>

#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/db/open_database.h"

namespace orva::test {

namespace {

class LoggedBackend : public DbBackend {
  public:
    LoggedBackend(std::unique_ptr<DbBackend> inner, std::shared_ptr<StatementLog> log)
        : inner_(std::move(inner)), log_(std::move(log)) {}

    BatchResult ExecuteBatch(std::string_view tsql) override {
        log_->Add(std::string(tsql));
        return Logged([&] { return inner_->ExecuteBatch(tsql); });
    }
    std::int32_t NextNumber(std::string_view tableKey) override {
        log_->Add("NUMBER " + std::string(tableKey));
        return Logged([&] { return inner_->NextNumber(tableKey); });
    }
    std::string Describe() const override { return inner_->Describe(); }
    std::string ReadOnlyFile() const override { return inner_->ReadOnlyFile(); }

  protected:
    // Runs the call, writing down its error before passing it on.
    template <class F>
    auto Logged(F call) -> decltype(call()) {
        try {
            return call();
        } catch (const std::exception& e) {
            log_->Add(std::string("FAILED ") + e.what());
            throw;
        }
    }

    DbBackend& Inner() { return *inner_; }
    StatementLog& Log() { return *log_; }

  private:
    std::unique_ptr<DbBackend> inner_;
    std::shared_ptr<StatementLog> log_;
};

class LoggedGroupingBackend : public LoggedBackend, public WriteGrouping {
  public:
    LoggedGroupingBackend(std::unique_ptr<DbBackend> inner, std::shared_ptr<StatementLog> log)
        : LoggedBackend(std::move(inner), std::move(log)),
          grouping_(dynamic_cast<WriteGrouping&>(Inner())) {}

    void BeginWrite() override {
        Log().Add("BEGIN WRITE");
        Logged([&] { grouping_.BeginWrite(); });
    }
    void CommitWrite() override {
        Log().Add("COMMIT WRITE");
        Logged([&] { grouping_.CommitWrite(); });
    }
    void RollbackWrite() override {
        Log().Add("ROLLBACK WRITE");
        Logged([&] { grouping_.RollbackWrite(); });
    }

  private:
    WriteGrouping& grouping_;
};

}  // namespace

std::unique_ptr<DbBackend> LogStatements(std::unique_ptr<DbBackend> inner,
                                         std::shared_ptr<StatementLog> log) {
    if (dynamic_cast<WriteGrouping*>(inner.get()))
        return std::make_unique<LoggedGroupingBackend>(std::move(inner), std::move(log));
    return std::make_unique<LoggedBackend>(std::move(inner), std::move(log));
}

StatementLogScope::StatementLogScope(std::shared_ptr<StatementLog> log) {
    ComponentRegistry::Register<AppConnection>(AppConnection::kProgID, [log] {
        return std::make_shared<AppConnection>(
            LogStatements(OpenCompanyDatabase(SessionConnectionString()), log));
    });
}

StatementLogScope::~StatementLogScope() {
    ComponentRegistry::Register<AppConnection>(AppConnection::kProgID,
                                               [] { return std::make_shared<AppConnection>(); });
}

}  // namespace orva::test
