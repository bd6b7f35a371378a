// Minimum sale price: conversions into the base currency and the floor that
// applies to a customer and item, on a copy of the demo company.
#include <gtest/gtest.h>

#include <memory>

#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "minprice/min_price.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva {
namespace {

// Currencies of the tests' own.
constexpr int kDivideBy8 = 91;
constexpr int kTimes8 = 92;
constexpr int kTimesZero = 93;
constexpr int kDivideByZero = 94;

class MinPriceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();
        session_ = std::make_unique<test::ScopedSession>(company_.path(), demo::kAdminUserId);
        ctx_->g_Connection = std::make_shared<AppConnection>();
        Exec(
            "INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FOperator,FExchangeRate) VALUES "
            "(91,'D8','D8','/',8),(92,'M8','M8','*',8),(93,'M0','M0','*',0),(94,'D0','D0','/',0)");
    }
    void Exec(const std::string& sql) { ctx_->g_Connection->Execute(sql); }

    // An item with a floor of its own (fixingType "1"), none ("0"), or a Null type.
    void Item(int id, const std::string& fixingType, double floor, int currency) {
        Exec(
            "INSERT INTO t_ICItem (FItemID,FNumber,FName,FSalePriceFixingType,FSoLowPrc,"
            "FSoLowPrcMnyType) VALUES (" +
            std::to_string(id) + ",'M" + std::to_string(id) + "','M'," + fixingType + "," +
            std::to_string(floor) + "," + std::to_string(currency) + ")");
    }
    void CustomerFloor(int cust, int item, double floor, int currency) {
        Exec("INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," +
             std::to_string(item) + "," + std::to_string(cust) + "," + std::to_string(currency) +
             "," + std::to_string(floor) + ")");
    }
    double Floor(int cust, int item) {
        double price = -1;
        EXPECT_TRUE(GetSELowPrice(*ctx_, cust, item, price));
        return price;
    }

    ScriptedUiScope ui_;
    test::TempCompany company_;
    std::unique_ptr<test::ScopedSession> session_;
    test::TestContext ctx_;
};

TEST_F(MinPriceTest, ConvertByRateMultipliesOrDividesByTheRate) {
    struct Case {
        int currency;
        double amount, expected;
    };
    for (const Case& c : {Case{kDivideBy8, 80, 10}, Case{kTimes8, 80, 640},
                          Case{demo::kCurrencyUsd, 10, 10 * demo::kUsdRate},
                          Case{demo::kCurrencyHkd, 109, 109 / demo::kHkdRate},
                          Case{kTimesZero, 80, 80},     // a rate of 0 counts as 1,
                          Case{kDivideByZero, 80, 80},  // whichever the operator
                          Case{4711, 80, 0}}) {         // no such currency
        double result = -1;
        EXPECT_TRUE(ConvertByRate(*ctx_, c.currency, c.amount, result)) << c.currency;
        EXPECT_DOUBLE_EQ(result, c.expected) << c.currency;
    }
}

TEST_F(MinPriceTest, ConvertByRateRaisesADatabaseFailure) {
    Exec("DROP TABLE t_Currency");
    double result = 0;
    EXPECT_THROW(ConvertByRate(*ctx_, 1, 80, result), ComError);
}

TEST_F(MinPriceTest, ItemLevelFloorAppliesToEveryCustomer) {
    Item(900001, "1", 10, kTimes8);
    CustomerFloor(5001, 900001, 1, demo::kCurrencyRmb);  // not consulted
    EXPECT_DOUBLE_EQ(Floor(5001, 900001), 80);
    EXPECT_DOUBLE_EQ(Floor(5002, 900001), 80);

    // "/" and any operator but "*" divide.
    Item(900002, "1", 80, kDivideBy8);
    EXPECT_DOUBLE_EQ(Floor(5001, 900002), 10);
}

TEST_F(MinPriceTest, OtherwiseTheCustomersFloorDecides) {
    Item(900003, "0", 999, demo::kCurrencyRmb);
    CustomerFloor(5001, 900003, 80, kDivideBy8);
    EXPECT_DOUBLE_EQ(Floor(5001, 900003), 10);
    EXPECT_DOUBLE_EQ(Floor(5002, 900003), 0) << "no header row: no floor";

    Item(900004, "NULL", 999, demo::kCurrencyRmb);
    CustomerFloor(5001, 900004, 3, kTimes8);
    EXPECT_DOUBLE_EQ(Floor(5001, 900004), 24);

    // An item that is not in the item master: the customer's floor.
    CustomerFloor(5001, 900005, 7, demo::kCurrencyRmb);
    EXPECT_DOUBLE_EQ(Floor(5001, 900005), 7);
    // A floor in a currency that does not exist: no row, 0.
    CustomerFloor(5001, 900006, 7, 4711);
    EXPECT_DOUBLE_EQ(Floor(5001, 900006), 0);
}

TEST_F(MinPriceTest, AFloorThatCannotBeConvertedGivesZeroWithoutError) {
    Item(900007, "1", 50, kDivideByZero);
    EXPECT_DOUBLE_EQ(Floor(5001, 900007), 0);
    Item(900008, "0", 0, demo::kCurrencyRmb);
    CustomerFloor(5001, 900008, 50, kDivideByZero);
    EXPECT_DOUBLE_EQ(Floor(5001, 900008), 0);
    // Multiplying by a rate of 0 is no failure: the floor is 0.
    Item(900009, "1", 50, kTimesZero);
    EXPECT_DOUBLE_EQ(Floor(5001, 900009), 0);

    // Even a database that cannot answer: True, 0.
    Exec("DROP TABLE t_Cust");
    EXPECT_DOUBLE_EQ(Floor(5001, 900008), 0);
    EXPECT_TRUE(ui_->MessageBoxes().empty());
}

}  // namespace
}  // namespace orva
