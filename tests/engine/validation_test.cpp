// Checking typed values: codes and short codes, refused item classes, units
// of the item's group only, picked currencies only, numbers that may not be
// negative, and the data rights of the demo clerks.
#include "engine_fixture.h"

namespace orva::test {
namespace {

using R = UserDefInfo;

TEST_F(EngineTest, ItemIsFoundByCodeOrShortCodeAndShownInTheOptionsForm) {
    Open(EditorOperation::kSingle, 1021, 0);
    for (bool shortNo : {false, true}) {
        ctx_->g_UseShortNumber = shortNo;
        for (const char* typed : {"JS001", "01.01.001"}) {
            ASSERT_TRUE(Type(R::kRowItemNumber, typed)) << typed << " " << message;
            EXPECT_EQ(Text(R::kRowItemNumber), shortNo ? "JS001" : "01.01.001");
            EXPECT_EQ(Value(R::kRowItemNumber), "1098");
            EXPECT_EQ(Text(R::kRowItemName), "冷轧钢板");
            EXPECT_EQ(Value(R::kRowItemName), "1098");
            EXPECT_EQ(Text(R::kRowModel), "1.0mm");
        }
    }
}

TEST_F(EngineTest, NewItemResetsUnitAndDecimals) {
    Open(EditorOperation::kSingle, 1021, 0);
    ASSERT_TRUE(Type(R::kRowItemNumber, "02.01.001"));
    EXPECT_EQ(Text(R::kRowUnit), "个");
    EXPECT_EQ(Value(R::kRowUnit), "101");
    EXPECT_EQ(grid.TypeAt(2, R::kRowPrice).decimalPlaces, 4);
    EXPECT_EQ(grid.TypeAt(2, R::kRowEndQty).decimalPlaces, 0);
    ASSERT_TRUE(Type(R::kRowUnit, "BOX"));
    EXPECT_EQ(Value(R::kRowUnit), "102");

    ASSERT_TRUE(Type(R::kRowItemNumber, "01.01.001"));
    EXPECT_EQ(Text(R::kRowUnit), "千克");
    EXPECT_EQ(Value(R::kRowUnit), "106");
    EXPECT_EQ(grid.TypeAt(2, R::kRowPrice).decimalPlaces, 2);
    EXPECT_EQ(grid.TypeAt(2, R::kRowStartQty).decimalPlaces, 3);
}

TEST_F(EngineTest, ItemsThatCannotCarryPricesOrDoNotExistAreRefused) {
    Open(EditorOperation::kSingle, 1021, 0);
    for (const char* code : {"03.01.025", "03.01.026", "JD025"}) {
        EXPECT_FALSE(Type(R::kRowItemNumber, code)) << code;
        EXPECT_EQ(message, "不能指定规划类、特征类的物料。请重新输入") << code;
        EXPECT_EQ(Value(R::kRowItemNumber), "") << code;
    }
    for (const char* code : {"nothing", "05.03.021", "a'b;DELETE FROM t_CustEntry--"}) {
        EXPECT_FALSE(Type(R::kRowItemNumber, code)) << code;
        EXPECT_EQ(message, "物料不存在或需要数据授权！") << code;
    }
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry"), 2287);
    // A picked ID wins over the text in the cell.
    grid.SetText(2, R::kRowItemNumber, "whatever");
    EXPECT_TRUE(Pick(R::kRowItemNumber, 1099));
    EXPECT_EQ(Text(R::kRowItemNumber), "01.01.002");
}

TEST_F(EngineTest, CustomerCodeFillsTheNameAndUnknownCustomersAreRefused) {
    Open(EditorOperation::kSingle, 0, 0);
    ASSERT_TRUE(Type(R::kRowCustNumber, "HB01"));
    EXPECT_EQ(Text(R::kRowCustNumber), "01.001");
    EXPECT_EQ(Text(R::kRowCustName), "北方重工机械有限公司");
    EXPECT_EQ(Value(R::kRowCustNumber), "1041");
    EXPECT_FALSE(Type(R::kRowCustNumber, "01.03.005"));  // deleted
    EXPECT_EQ(message, "客户不存在或需要数据授权！");
    // A code with a quote is looked up as it stands.
    Exec("UPDATE t_Organization SET FShortNumber='O''N' WHERE FNumber='04.02.001'");
    ASSERT_TRUE(Type(R::kRowCustNumber, "O'N")) << message;
    EXPECT_EQ(Text(R::kRowCustName), "O'Neil Trading Ltd.");
    // The name row takes a customer by ID and shows the name.
    EXPECT_TRUE(Pick(R::kRowCustName, 1021));
    EXPECT_EQ(Text(R::kRowCustName), "北京华联商贸有限公司");
}

TEST_F(EngineTest, UnitsOutsideTheItemsGroupAreRefusedSilently) {
    Open(EditorOperation::kSingle, 1021, 0);
    // No item yet: any unit text passes.
    EXPECT_TRUE(Type(R::kRowUnit, "anything"));
    ASSERT_TRUE(Type(R::kRowItemNumber, "01.01.001"));  // weight group
    EXPECT_FALSE(Type(R::kRowUnit, "PCS"));
    EXPECT_EQ(message, "");
    EXPECT_TRUE(Type(R::kRowUnit, "吨"));  // by name
    EXPECT_EQ(Value(R::kRowUnit), "107");
    EXPECT_TRUE(Type(R::kRowUnit, "g"));  // codes compare without case
    EXPECT_EQ(Text(R::kRowUnit), "克");
    EXPECT_FALSE(Type(R::kRowUnit, "x' OR '1'='1"));
    EXPECT_EQ(message, "");

    // One unit's code is another's name: the code wins.
    Exec(
        "INSERT INTO t_MeasureUnit (FItemID,FMeasureUnitID,FUnitGroupID,FNumber,FShortNumber,"
        "FName,FCoefficient,FDeleted) VALUES (111,111,2,'克','克','克(散装)',0.001,0)");
    EXPECT_TRUE(Type(R::kRowUnit, "克"));
    EXPECT_EQ(Value(R::kRowUnit), "111");
    // A deleted unit of the group is not offered.
    Exec("UPDATE t_MeasureUnit SET FDeleted=1 WHERE FMeasureUnitID=107");
    EXPECT_FALSE(Type(R::kRowUnit, "T"));
}

TEST_F(EngineTest, CurrencyMustBePickedFromTheList) {
    Open(EditorOperation::kSingle, 1021, 0);
    EXPECT_FALSE(Type(R::kRowCurrency, "USD"));
    EXPECT_EQ(message, "币别不存在或需要数据授权！");
    EXPECT_TRUE(Pick(R::kRowCurrency, demo::kCurrencyUsd));
    EXPECT_EQ(Text(R::kRowCurrency), "美元");
    EXPECT_EQ(Value(R::kRowCurrency), "2");
    EXPECT_FALSE(Pick(R::kRowCurrency, 99));
}

TEST_F(EngineTest, NegativeNumbersAreUndoneAndOtherValuesStored) {
    Open(EditorOperation::kSingle, 1021, 0);
    EXPECT_TRUE(Type(R::kRowStartQty, "5"));
    EXPECT_EQ(Value(R::kRowStartQty), "5");
    // The editor emptied column 3 when the user typed; the check puts the
    // previous value back from what column 3 held before.
    grid.SetText(2, R::kRowStartQty, "-5");
    EXPECT_TRUE(engine->Changed(R::kRowStartQty, 2, message));
    EXPECT_EQ(Text(R::kRowStartQty), "5");
    EXPECT_EQ(Value(R::kRowStartQty), "5");
    EXPECT_EQ(message, "");
    EXPECT_TRUE(Type(R::kRowStartQty, "0"));
    EXPECT_EQ(Value(R::kRowStartQty), "0");
    grid.SetText(2, R::kRowLeadTime, "-3");
    EXPECT_TRUE(engine->Changed(R::kRowLeadTime, 2, message));
    EXPECT_EQ(Text(R::kRowLeadTime), "0");

    EXPECT_TRUE(Type(R::kRowUsed, "是"));
    EXPECT_EQ(Value(R::kRowUsed), "1");
    EXPECT_TRUE(Type(R::kRowUsed, "Y"));
    EXPECT_EQ(Value(R::kRowUsed), "0");
    EXPECT_TRUE(Type(R::kRowNote, "it's; fine"));
    EXPECT_EQ(Value(R::kRowNote), "it's; fine");
}

TEST_F(EngineTest, GroupClerkSeesOnlyGrantedGroupsAndCurrencies) {
    LogOn(demo::kGroupClerkUserId);
    Open(EditorOperation::kSingle, 0, 0);
    EXPECT_TRUE(Type(R::kRowCustNumber, "01.01.001")) << message;
    EXPECT_TRUE(Type(R::kRowCustNumber, "02.01.001")) << message;  // through the sales group
    EXPECT_FALSE(Type(R::kRowCustNumber, "01.02.001"));
    EXPECT_EQ(message, "客户不存在或需要数据授权！");
    EXPECT_FALSE(Type(R::kRowCustNumber, "03.01.001"));  // granted to group 0 only

    EXPECT_TRUE(Type(R::kRowItemNumber, "01.01.001")) << message;
    EXPECT_TRUE(Type(R::kRowItemNumber, "03.01.001")) << message;
    EXPECT_FALSE(Type(R::kRowItemNumber, "01.02.001"));
    EXPECT_EQ(message, "物料不存在或需要数据授权！");

    EXPECT_TRUE(Pick(R::kRowCurrency, demo::kCurrencyUsd));
    EXPECT_FALSE(Pick(R::kRowCurrency, demo::kCurrencyEur));
    EXPECT_EQ(message, "币别不存在或需要数据授权！");
}

TEST_F(EngineTest, RecordClerkSeesOnlyItsOwnRecords) {
    LogOn(demo::kRecordClerkUserId);
    Open(EditorOperation::kSingle, 0, 0);
    EXPECT_TRUE(Type(R::kRowCustNumber, "01.01.002")) << message;
    EXPECT_FALSE(Type(R::kRowCustNumber, "01.01.003"));
    EXPECT_EQ(message, "客户不存在或需要数据授权！");
    EXPECT_TRUE(Type(R::kRowItemNumber, "01.01.005")) << message;
    EXPECT_FALSE(Type(R::kRowItemNumber, "01.01.003"));
    EXPECT_EQ(message, "物料不存在或需要数据授权！");
    EXPECT_FALSE(Pick(R::kRowCurrency, demo::kCurrencyUsd));
}

TEST_F(EngineTest, WithoutTheBaseDataRightNothingIsLookedUp) {
    LogOn(demo::kLimitedUserId);
    Exec("DELETE FROM t_OrvaAccessRight WHERE FObjectID=3 AND FUserID=3");
    Open(EditorOperation::kSingle, 0, 0);
    const std::size_t sent = backend->texts.size();
    EXPECT_FALSE(Type(R::kRowCustNumber, "01.01.001"));
    EXPECT_EQ(message, "基础资料很有可能没有授权！");
    EXPECT_FALSE(Type(R::kRowItemNumber, "01.01.001"));
    EXPECT_EQ(message, "基础资料很有可能没有授权！");
    for (const std::string& t : SentSince(sent)) {
        EXPECT_EQ(t.find("t_ICItem t1"), std::string::npos) << t;
    }
}

TEST_F(EngineTest, ItemCheckStatementCarriesTheRightsJoins) {
    LogOn(demo::kGroupClerkUserId);
    Open(EditorOperation::kSingle, 0, 0);
    const std::size_t sent = backend->texts.size();
    Type(R::kRowItemNumber, "01.01.001");
    std::string check;
    for (const std::string& t : SentSince(sent)) {
        if (t.rfind("Select Distinct t1.FErpClsID", 0) == 0)
            check = t;
    }
    EXPECT_EQ(check,
              "Select Distinct "
              "t1.FErpClsID,t1.FNumber,t1.FModel,t1.FQtyDecimal,t1.FPriceDecimal,t1.FName,t1."
              "FItemID,t1.FUnitID  FROM t_ICItem t1  INNER JOIN t_Item t8 ON "
              "LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = "
              "t8.FNumber\r\nINNER JOIN t_ItemRight t6 ON t8.FItemID=t6.FItemID\r\n WHERE "
              "(t1.FNumber='01.01.001' or t1.FShortNumber='01.01.001') \r\n AND t1.FDeleted <> 1 "
              "AND t6.FTypeID=4\r\nAND (t6.FuserID=16395 OR t6.FUserID IN (SELECT FGroupID FROM "
              "t_Group WHERE FGroupID <> 0 AND FUserID=16395 ))\r\n");
}

}  // namespace
}  // namespace orva::test

namespace orva::test {
namespace {

// Rows looked up in the common base data (a department, say) take a code, a
// name or a picked ID, and show the code.
TEST_F(EngineTest, BaseDataRowsMatchCodeThenNameThenPickedID) {
    Open(EditorOperation::kSingle, 1021, 0);
    const int row = UserDefInfo::kRowNote;
    engine->PropDesc()->Item(row)->m_Search = kItemClassDepartment;
    EXPECT_TRUE(Type(row, "02"));
    EXPECT_EQ(Value(row), "1002");
    EXPECT_TRUE(Type(row, "财务部"));
    EXPECT_EQ(Text(row), "03");
    EXPECT_EQ(Value(row), "1003");
    EXPECT_TRUE(Pick(row, 1004));
    EXPECT_EQ(Text(row), "04");
    EXPECT_FALSE(Type(row, "采购'部"));
    EXPECT_FALSE(Pick(row, 1021));  // a customer is no department
    EXPECT_EQ(message, "");
}

}  // namespace
}  // namespace orva::test
