#include "editor_fixture.h"

#include "host/base/text_util.h"
#include "host/component_registry.h"
#include "host/db/open_database.h"
#include "host/host_services.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva::test {

namespace {

class ScriptedList : public BaseList {
  public:
    explicit ScriptedList(std::shared_ptr<ListCalls> calls) : calls_(std::move(calls)) {}
    void Filter(const std::string& f) override { calls_->filter = f; }
    void KeyWord(const std::string& k) override { calls_->keyWord = k; }
    RecordsetPtr Show(std::int32_t&, std::int16_t& listCode) override {
        calls_->listCode = listCode;
        return calls_->answer;
    }

  private:
    std::shared_ptr<ListCalls> calls_;
};

}  // namespace

BatchResult FailingBackend::ExecuteBatch(std::string_view tsql) {
    if (!failPrefix.empty() && StartsWithNoCase(Trim(tsql), failPrefix))
        throw ComError(ComError::kDatabase, "Lock request time out period exceeded.");
    return inner_->ExecuteBatch(tsql);
}

void EditorTest::SetUp() {
    RegisterHostServices();
    LogOn(demo::kAdminUserId);
    auto failing = std::make_unique<FailingBackend>(OpenDatabase(company.path()));
    backend = failing.get();
    ctx_->g_Connection = std::make_shared<AppConnection>(std::move(failing));
    ctx_->g_CategoryByCust = true;
    auto calls = list;
    ComponentRegistry::Register<BaseList>(
        BaseList::kProgID, [calls] { return std::make_shared<ScriptedList>(calls); });
}

void EditorTest::TearDown() {
    window.reset();
    ComponentRegistry::Unregister(BaseList::kProgID);
}

void EditorTest::LogOn(int userId) {
    session.reset();
    session = std::make_unique<ScopedSession>(company.path(), userId);
    InitSessionProps(*ctx_, session->propsString());  // as CustFace.Show does
}

frmProperty& EditorTest::Open(EditorOperation operation, std::int32_t custID, std::int32_t itemID,
                              std::int32_t entryID) {
    window = std::make_unique<frmProperty>(*ctx_);
    window->OperationType(operation);
    window->EntryID(entryID);
    window->CustID(custID);
    window->ItemID(itemID);
    window->Load();
    window->Activate();
    return *window;
}

void EditorTest::TypeInto(frmProperty& w, const std::string& text) {
    std::string kept;
    for (char c : text) {
        if (w.FormKeyPress(static_cast<unsigned char>(c)) != 0)
            kept += c;
    }
    w.vaSProperty().TypeText(w.vaSProperty().ActiveCol(), w.vaSProperty().ActiveRow(), kept);
}

bool EditorTest::Enter(int row, const std::string& text) {
    if (!GoTo(row))
        return false;
    TypeKeys(text);
    return true;
}

void EditorTest::PressKey(int keyCode, int shift) {
    const int left = window->FormKeyDown(keyCode, shift);
    if (left != 0)
        window->vaSProperty().UserKeyDown(left, shift);
}

std::vector<std::string> EditorTest::Headlines() {
    std::vector<std::string> found;
    for (const auto& d : ui->Dialogs()) found.push_back(d.content.headline);
    return found;
}

}  // namespace orva::test
