// Loading a stored entry or a batch's group into the grid, the names shown
// for IDs, decimals taken from the item, currency defaults, and the host's
// list window behind the lookups.
#include "engine_fixture.h"
#include "host/base_list.h"
#include "host/component_registry.h"

namespace orva::test {
namespace {

using R = UserDefInfo;

TEST_F(EngineTest, StoredEntryIsLoadedByEntryAndGroupingKey) {
    ctx_->g_CategoryByCust = false;
    const std::size_t sent = backend->texts.size();
    Open(EditorOperation::kSingle, 0, 1141, 3);
    EXPECT_EQ(SentSince(sent).at(0), "SELECT * FROM t_CustEntry WHERE FEntryID=3 AND FItemID=1141");
    EXPECT_EQ(engine->SelCustID, 1021);
    EXPECT_EQ(Text(R::kRowCustNumber), "01.01.001");
    EXPECT_EQ(Text(R::kRowCustName), "北京华联商贸有限公司");
    EXPECT_EQ(Text(R::kRowItemNumber), "01.02.019");
    EXPECT_EQ(Text(R::kRowItemName), "尼龙66");
    EXPECT_EQ(Text(R::kRowModel), "耐候级");
    EXPECT_EQ(Text(R::kRowUnit), "千克");
    EXPECT_EQ(Value(R::kRowUnit), "106");
    EXPECT_EQ(Value(R::kRowPrice), "33.6");
    EXPECT_EQ(grid.DisplayText(2, R::kRowPrice), "33.60");
    EXPECT_EQ(Value(R::kRowDiscount), "10");
    EXPECT_EQ(Text(R::kRowNote), "含税价");
    EXPECT_EQ(Text(R::kRowUsed), "");

    // The same entry asked for under another item loads nothing.
    Open(EditorOperation::kSingle, 0, 1098, 3);
    EXPECT_EQ(Text(R::kRowNote), "");
    EXPECT_EQ(Text(R::kRowPrice), "0");
    EXPECT_EQ(engine->SelCustID, 0);

    ctx_->g_CategoryByCust = true;
    Open(EditorOperation::kSingle, 1022, 0, 3);  // entry 3 belongs to customer 1021
    EXPECT_EQ(Text(R::kRowNote), "");
    Open(EditorOperation::kSingle, 1021, 0, 3);
    EXPECT_EQ(Text(R::kRowNote), "含税价");
}

TEST_F(EngineTest, NullDatesAndNotesKeepTheirDefaults) {
    Exec("UPDATE t_CustEntry SET FExpireDate=NULL, FQuoteTime=NULL, FNote=NULL WHERE FEntryID=3");
    Open(EditorOperation::kSingle, 1021, 0, 3);
    EXPECT_EQ(Text(R::kRowExpireDate), "2100-01-01");
    EXPECT_EQ(Text(R::kRowQuoteTime), Date::Today().ToText());
    EXPECT_EQ(grid.TypeAt(2, R::kRowQuoteTime).kind, CellKind::kDate);
    EXPECT_EQ(Text(R::kRowNote), "");
}

TEST_F(EngineTest, QuantityAndPriceCellsTakeTheItemsDecimals) {
    // 02.01.001: 4 price decimals, whole quantities.
    Open(EditorOperation::kSingle, 0, ItemID("02.01.001"));
    EXPECT_EQ(grid.TypeAt(2, R::kRowPrice).decimalPlaces, 4);
    EXPECT_EQ(grid.TypeAt(2, R::kRowStartQty).decimalPlaces, 0);
    EXPECT_EQ(grid.TypeAt(2, R::kRowEndQty).decimalPlaces, 0);
    EXPECT_EQ(engine->PropDesc()->Item("FPrice")->m_Scale, 4);
    EXPECT_FALSE(grid.TypeText(2, R::kRowStartQty, "1.5"));

    // 01.003 has no decimals recorded: 2 for prices, 4 for quantities.
    Open(EditorOperation::kSingle, 0, ItemID("01.003"));
    EXPECT_EQ(grid.TypeAt(2, R::kRowPrice).decimalPlaces, 2);
    EXPECT_EQ(grid.TypeAt(2, R::kRowStartQty).decimalPlaces, 4);

    // A batch does not take an item's decimals.
    ctx_->g_CategoryByCust = false;
    Open(EditorOperation::kBatchAdd, 0, 0);
    EXPECT_EQ(grid.TypeAt(2, R::kRowPrice).decimalPlaces, 2);
    EXPECT_EQ(Text(R::kRowItemName), "所有物料");
}

TEST_F(EngineTest, CurrencyNamesDefaultToCurrencyOneAndFlagAMissingOne) {
    EXPECT_EQ(engine->GetOtherName(120, "").ToText(), "人民币");
    EXPECT_EQ(engine->GetOtherName(120, "0").ToText(), "人民币");
    EXPECT_EQ(engine->GetOtherName(120, "x'y").ToText(), "人民币");
    EXPECT_EQ(engine->GetOtherName(120, "3").ToText(), "欧元");
    EXPECT_EQ(engine->GetOtherName(120, "77").ToText(), "This is a bug");
    EXPECT_TRUE(engine->GetOtherName(7, "1").IsNull());

    Exec("UPDATE t_CustEntry SET FCyID=77 WHERE FEntryID=3");
    Open(EditorOperation::kSingle, 1021, 0, 3);
    EXPECT_EQ(Text(R::kRowCurrency), "This is a bug");
    EXPECT_EQ(Value(R::kRowCurrency), "77");
}

TEST_F(EngineTest, BatchesShowTheirGroupOrEverything) {
    Open(EditorOperation::kBatchUpdate, 0, 0);
    EXPECT_EQ(Text(R::kRowCustNumber), "");
    EXPECT_EQ(Text(R::kRowCustName), "所有客户");
    EXPECT_EQ(Value(R::kRowCustNumber), "0");

    const int group =
        std::stoi(Scalar("SELECT FItemID FROM t_Item WHERE FItemClassID=1 AND FNumber='01.01'"));
    Open(EditorOperation::kBatchUpdate, group, 0);
    EXPECT_EQ(Text(R::kRowCustNumber), "01.01");
    EXPECT_EQ(Value(R::kRowCustNumber), std::to_string(group));
    EXPECT_FALSE(Text(R::kRowCustName).empty());
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(EngineTest, BatchGroupThatIsNotThereIsReportedAndNothingIsLoaded) {
    Open(EditorOperation::kBatchAdd, 424242, 0);
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    const auto& box = ui->MessageBoxes()[0];
    EXPECT_EQ(box.text.rfind("设置属性值出错，错误描述：", 0), 0u) << box.text;
    EXPECT_GT(box.text.size(), std::string("设置属性值出错，错误描述：").size());
    EXPECT_EQ(box.icon, MsgIcon::kExclamation);
    EXPECT_EQ(box.title, "Tesmar提示");
    EXPECT_EQ(Value(R::kRowCustNumber), "424242");  // the initial value stays
}

TEST_F(EngineTest, UnitNamesAreReadAfreshOnEveryCall) {
    Open(EditorOperation::kSingle, 1021, 0, 3);
    EXPECT_EQ(engine->GetName(111, 7), "");
    Exec(
        "INSERT INTO t_MeasureUnit (FItemID,FMeasureUnitID,FUnitGroupID,FNumber,FShortNumber,"
        "FName,FCoefficient,FDeleted) VALUES (111,111,2,'LB','LB','磅',0.4536,0)");
    EXPECT_EQ(engine->GetName(111, 7), "磅");
    EXPECT_EQ(engine->GetName(106, 7), "千克");
}

TEST_F(EngineTest, ShortCodesAreShownWhenTheOptionIsOn) {
    ctx_->g_UseShortNumber = true;
    Open(EditorOperation::kSingle, 1021, 0, 3);
    EXPECT_EQ(Text(R::kRowCustNumber), "BJ01");
    EXPECT_EQ(Text(R::kRowItemNumber), "SJ019");
}

// A list window that hands back the records it was told to and notes how it
// was called.
class ScriptedList : public BaseList {
  public:
    struct Calls {
        std::string filter, keyWord;
        std::int16_t listCode = 0;
        std::int32_t owner = -1;
        RecordsetPtr answer;
    };
    explicit ScriptedList(std::shared_ptr<Calls> calls) : calls_(std::move(calls)) {}
    void Filter(const std::string& f) override { calls_->filter = f; }
    void KeyWord(const std::string& k) override { calls_->keyWord = k; }
    RecordsetPtr Show(std::int32_t& hwnd, std::int16_t& listCode) override {
        calls_->owner = hwnd;
        calls_->listCode = listCode;
        return calls_->answer;
    }

  private:
    std::shared_ptr<Calls> calls_;
};

TEST_F(EngineTest, ListWindowIsCreatedByProgIDAndFailsQuietly) {
    ComponentRegistry::Unregister(BaseList::kProgID);
    EXPECT_EQ(engine->GetInfoList("FErpClsID<4", "01", 4), nullptr);
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_TRUE(ui->Dialogs().empty());

    auto calls = std::make_shared<ScriptedList::Calls>();
    calls->answer = std::make_shared<Recordset>(std::vector<std::string>{"FItemID"},
                                                std::vector<Variant>{Variant(1098)});
    ComponentRegistry::Register<BaseList>(
        BaseList::kProgID, [calls] { return std::make_shared<ScriptedList>(calls); });
    RecordsetPtr picked = engine->GetInfoList("  FUnitGroupID=2", "KG", 7);
    ComponentRegistry::Unregister(BaseList::kProgID);
    ASSERT_EQ(picked, calls->answer);
    EXPECT_EQ(calls->filter, "  FUnitGroupID=2");
    EXPECT_EQ(calls->keyWord, "KG");
    EXPECT_EQ(calls->listCode, 7);
    EXPECT_EQ(calls->owner, 0);
}

}  // namespace
}  // namespace orva::test
