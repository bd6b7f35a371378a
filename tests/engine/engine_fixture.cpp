#include "engine_fixture.h"

#include "host/base/text_util.h"
#include "host/db/open_database.h"
#include "host/host_services.h"

namespace orva::test {

void EngineTest::SetUp() {
    RegisterHostServices();
    LogOn(demo::kAdminUserId);
    auto recording = std::make_unique<RecordingBackend>(OpenDatabase(CompanyPath()));
    backend = recording.get();
    ctx_->g_Connection = std::make_shared<AppConnection>(std::move(recording));
    ctx_->g_CategoryByCust = true;
    grid.SetMaxCols(3);
    status.AddPanel("help");
    engine = std::make_unique<UserDefInfo>(*ctx_);
    engine->Spread(&grid);
    engine->Status(&status);
}

void EngineTest::TearDown() {
    engine.reset();
}

void EngineTest::LogOn(int userId) {
    session.reset();
    session = std::make_unique<ScopedSession>(CompanyPath(), userId);
}

void EngineTest::Open(EditorOperation operation, std::int32_t custID, std::int32_t itemID,
                      std::int32_t entryID) {
    engine->SelCustID = custID;
    engine->SelItemID = itemID;
    engine->SelEntryID = entryID;
    ASSERT_EQ(engine->InitInfo(), 0);
    engine->OperationType(operation);
    engine->SetValues();
    engine->SetProperty();
    if (engine->Used() != 0)
        engine->LocktheGrd(0);
}

bool EngineTest::Type(int row, const std::string& text) {
    message.clear();
    grid.SetText(2, row, text);
    grid.SetText(3, row, "");
    return engine->Changed(row, 2, message);
}

bool EngineTest::Pick(int row, std::int64_t id) {
    message.clear();
    grid.SetText(3, row, std::to_string(id));
    return engine->Changed(row, 2, message);
}

std::vector<std::string> EngineTest::SentSince(std::size_t from) const {
    return {backend->texts.begin() + static_cast<std::ptrdiff_t>(from), backend->texts.end()};
}

std::vector<std::string> EngineTest::SentStartingWith(std::string_view prefix) const {
    std::vector<std::string> found;
    for (const std::string& t : backend->texts) {
        if (StartsWithNoCase(t, prefix))
            found.push_back(t);
    }
    return found;
}

}  // namespace orva::test
