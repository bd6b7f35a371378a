// ShowLookup: which entry point of the GL view each item class reaches, what
// it is given, and how refusals and failures come back.
#include "entry_fixture.h"
#include "host/component_registry.h"
#include "host/gl_view.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva {
namespace {

class LookupTest : public EntryTest {
  protected:
    void SetUp() override {
        EntryTest::SetUp();
        StoreSession("LANGUAGE=CHS");
    }

    static LookupReply Picked(std::string name, int id) {
        auto record = std::make_shared<Dictionary>();
        record->SetValue("FName", std::move(name));
        record->SetValue("FCurrencyID", id);
        return {true, record};
    }
};

TEST_F(LookupTest, EachClassReachesItsEntryPoint) {
    struct Case {
        int classID;
        const char* method;
        int classArg;
    };
    const Case cases[] = {{1, "ItemLookUp", 1},       {8, "ItemLookUp", 8},
                          {7, "UnitLookup", 3},       {12, "CurrencyLookup", 0},
                          {13, "AccountLookup", 0},   {130, "SettTypeLookup", 0},
                          {20, "SubMesLookup", 20},   {129, "SubMesLookup", 129},
                          {131, "SubMesLookup", 131}, {999, "SubMesLookup", 999}};
    for (const Case& c : cases) {
        ui->ClearRecords();
        ShowLookup(*ctx_, c.classID, "01", "3", 1);
        ASSERT_EQ(ui->Lookups().size(), 1u) << c.classID;
        EXPECT_EQ(ui->Lookups()[0].method, c.method) << c.classID;
        EXPECT_EQ(ui->Lookups()[0].classID, c.classArg) << c.classID;
        EXPECT_EQ(ui->Lookups()[0].first, "01") << c.classID;
        EXPECT_TRUE(ui->MessageBoxes().empty()) << c.classID;
    }
}

TEST_F(LookupTest, ItemLookupGetsItsParameterSet) {
    ctx_->g_UseShortNumber = true;
    ShowLookup(*ctx_, 4, "abc", " FErpClsID<4 ", 2);
    ASSERT_EQ(ui->Lookups().size(), 1u);
    const LookupRequest& r = ui->Lookups()[0];
    EXPECT_EQ(r.second, " FErpClsID<4 ");
    EXPECT_TRUE(r.params.Value("beshortnumber").ToBool());
    EXPECT_EQ(r.params.Value("GetDataType").ToInteger(), 2);
    EXPECT_EQ(r.params.Value("Search").ToText(), "abc");
}

TEST_F(LookupTest, PickedRowReturnsTheLookupObjectAndCancelReturnsNothing) {
    ui->AnswerLookup(Picked("美元", 2));
    auto lookup = ShowLookup(*ctx_, 12, "", "", 1);
    ASSERT_TRUE(lookup);
    EXPECT_TRUE(lookup->ReturnOK());
    EXPECT_EQ(lookup->ReturnObject()->Value("FCurrencyID").ToInteger(), 2);
    EXPECT_EQ(lookup->ReturnObject()->Value("fname").ToText(), "美元");

    EXPECT_EQ(ShowLookup(*ctx_, 12, "", "", 1), nullptr);  // the user cancels
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(LookupTest, ClassWithoutLookupAndBadUnitArgumentShowTheFailure) {
    EXPECT_EQ(ShowLookup(*ctx_, 6, "", "", 1), nullptr);
    EXPECT_EQ(ShowLookup(*ctx_, 1000, "", "", 1), nullptr);
    EXPECT_EQ(ShowLookup(*ctx_, 7, "kg", "not a number", 1), nullptr);
    EXPECT_TRUE(ui->Lookups().empty());
    ASSERT_EQ(ui->MessageBoxes().size(), 3u);
    for (auto& box : ui->MessageBoxes()) {
        EXPECT_EQ(box.title, "Tesmar提示：");
        EXPECT_EQ(box.buttons, MsgButtons::kOK);
        EXPECT_EQ(box.text.rfind("基础资料可能没有授权\r\n", 0), 0u) << box.text;
        EXPECT_GT(box.text.size(), std::string("基础资料可能没有授权\r\n").size());
    }
}

TEST_F(LookupTest, ARegisteredViewReplacesTheDefaultAndItsErrorsAreShown) {
    class FailingView : public UiGLView {
      public:
        BaseDataLookupPtr CurrencyLookup(const std::string&) override {
            throw ComError(ComError::kGeneric, "lookup service down");
        }
    };
    ComponentRegistry::Register<GLView>(
        GLView::kProgID, [] { return std::shared_ptr<GLView>(std::make_shared<FailingView>()); });
    EXPECT_EQ(ShowLookup(*ctx_, 12, "", "", 1), nullptr);
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "基础资料可能没有授权\r\nlookup service down");
}

}  // namespace
}  // namespace orva
