// F7 and F8 in the editor grid: the pickers, the base-data list and the
// currency lookup fill their rows, and rows without a lookup (or locked
// rows) are left alone.
#include "editor_fixture.h"
#include "entry/globals.h"
#include "host/component_registry.h"

namespace orva::test {
namespace {

std::shared_ptr<Dictionary> Record(
    std::initializer_list<std::pair<const char*, Variant>> properties) {
    auto record = std::make_shared<Dictionary>();
    for (const auto& [key, value] : properties) record->SetValue(key, value);
    return record;
}

RecordsetPtr Picked(std::vector<std::string> columns, std::vector<Variant> cells) {
    return std::make_shared<Recordset>(std::move(columns), std::move(cells));
}

TEST_F(EditorTest, ItemPickerFillsTheItemRowsUnitAndDecimals) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    const std::int32_t item = ItemID("02.02.001");  // counted in pieces, no price decimals set
    ui->AnswerLookup({true, Record({{"Detail", true},
                                    {"Number", "02.02.001"},
                                    {"ItemID", item},
                                    {"Name", "单片机"},
                                    {"FModel", "SOP-8"},
                                    {"FPriceDecimal", 4},
                                    {"FQtyDecimal", Variant()}})});
    PressKey(W::kKeyF7);
    ASSERT_EQ(ui->Lookups().size(), 1u);
    const LookupRequest& asked = ui->Lookups()[0];
    EXPECT_EQ(asked.method, "ItemLookUp");
    EXPECT_EQ(asked.classID, 4);
    EXPECT_EQ(asked.second, " FErpClsID<>6 AND FErpClsID<>8 ");
    EXPECT_FALSE(asked.params.Value("BeShortNumber").ToBool());

    EXPECT_EQ(Text(R::kRowItemNumber), "02.02.001");
    EXPECT_EQ(Value(R::kRowItemNumber), std::to_string(item));
    EXPECT_EQ(Text(R::kRowItemName), "单片机");
    EXPECT_EQ(Text(R::kRowModel), "SOP-8");
    EXPECT_EQ(Text(R::kRowUnit), "个");
    EXPECT_EQ(Value(R::kRowUnit), "101");
    Spread& grid = window->vaSProperty();
    EXPECT_EQ(grid.TypeAt(2, R::kRowPrice).decimalPlaces, 4);
    EXPECT_EQ(grid.TypeAt(2, R::kRowStartQty).decimalPlaces, 2);
    EXPECT_EQ(grid.TypeAt(2, R::kRowEndQty).decimalPlaces, 2);
    EXPECT_TRUE(window->Dirty());
    // Leaving the cell right after the pick checks nothing again.
    backend->texts.clear();
    EXPECT_TRUE(GoTo(R::kRowPrice));
    EXPECT_TRUE(backend->texts.empty());
}

TEST_F(EditorTest, CustomerPickerTakesOnlyDetailRecords) {
    Open(W::kOpSingle, 0, ItemID("03.01.001"));
    ASSERT_TRUE(GoTo(R::kRowCustNumber));
    ui->AnswerLookup({true, Record({{"Detail", false}, {"Number", "01"}, {"ItemID", 1001}})});
    PressKey(W::kKeyF7);
    EXPECT_EQ(Text(R::kRowCustNumber), "");
    EXPECT_FALSE(window->Dirty());

    ui->AnswerLookup({true, Record({{"Detail", true},
                                    {"Number", "99"},
                                    {"ItemID", CustomerID("99")},
                                    {"Name", "零售客户"}})});
    PressKey(W::kKeyF7);
    EXPECT_EQ(ui->Lookups().back().classID, 1);
    EXPECT_EQ(ui->Lookups().back().second, "");
    EXPECT_EQ(Text(R::kRowCustNumber), "99");
    EXPECT_EQ(Value(R::kRowCustNumber), std::to_string(CustomerID("99")));
    EXPECT_EQ(Text(R::kRowCustName), "零售客户");
    EXPECT_TRUE(window->Dirty());
}

TEST_F(EditorTest, ListLookupCompletesTheRowFromThePickedID) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    TypeKeys("03.01");
    ListAnswers(Picked({"FItemID"}, {Variant(ItemID("03.01.002"))}));
    PressKey(W::kKeyF8);
    EXPECT_EQ(list->filter, "FErpClsID<4");
    EXPECT_EQ(list->keyWord, "03.01");
    EXPECT_EQ(list->listCode, 4);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");
    EXPECT_EQ(Text(R::kRowItemName), "电饭煲");
    EXPECT_EQ(Value(R::kRowUnit), "101");

    // Nothing picked: the row stays as it was.
    ListAnswers(Picked({"FItemID"}, {}));
    PressKey(W::kKeyF8);
    EXPECT_EQ(list->shown, 2);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(EditorTest, UnitListIsThatOfTheItemsUnitGroup) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    TypeKeys("03.01.001");
    ASSERT_TRUE(GoTo(R::kRowUnit));
    ListAnswers(Picked({"FItemID"}, {Variant(demo::kUnitCarton)}));
    PressKey(W::kKeyF8);
    EXPECT_EQ(list->filter, "  FUnitGroupID=1");
    EXPECT_EQ(list->keyWord, "个");
    EXPECT_EQ(list->listCode, 7);
    EXPECT_EQ(Text(R::kRowUnit), "箱");
    EXPECT_EQ(Value(R::kRowUnit), "103");
}

TEST_F(EditorTest, CurrencyLookupFillsTheCurrencyRow) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    TypeKeys("03.01.001");
    ASSERT_TRUE(GoTo(R::kRowCurrency));
    ui->AnswerLookup({true, Record({{"FName", "美元"}, {"FCurrencyID", demo::kCurrencyUsd}})});
    PressKey(W::kKeyF7);
    EXPECT_EQ(ui->Lookups().back().method, "CurrencyLookup");
    EXPECT_EQ(Text(R::kRowCurrency), "美元");
    EXPECT_EQ(Value(R::kRowCurrency), "2");
    // A cancelled lookup changes nothing.
    PressKey(W::kKeyF8);
    EXPECT_EQ(Value(R::kRowCurrency), "2");
}

TEST_F(EditorTest, KeysWithoutALookupDoNothing) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
    Open(W::kOpSingle, CustomerID("99"), 0, entry);
    for (int row : {R::kRowPrice, R::kRowNote, R::kRowCustNumber, R::kRowItemNumber}) {
        ASSERT_TRUE(GoTo(row));
        PressKey(W::kKeyF7);
        PressKey(W::kKeyF8);
    }
    EXPECT_TRUE(ui->Lookups().empty());  // customer and item are locked here
    EXPECT_EQ(list->shown, 0);
    EXPECT_FALSE(window->Dirty());
}

TEST_F(EditorTest, FailingLookupIsReportedAsMissingRights) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    ComponentRegistry::Unregister(Dictionary::kProgID);
    PressKey(W::kKeyF7);
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].title, "Tesmar提示：");
    EXPECT_EQ(ui->MessageBoxes()[0].text.rfind("基础资料很有可能没有授权\r\n", 0), 0u);
}

}  // namespace
}  // namespace orva::test
