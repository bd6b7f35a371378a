// The price store's answers, one row per rule: what a save of an entry
// answers and what it leaves in the company, without a grid or a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/db/open_database.h"
#include "support/company_queries.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

constexpr std::int32_t kItem = 1098;  // 01.01.001, base unit 106
constexpr const char* kBox = "190";   // 12 of the base unit
constexpr const char* kHkd = "90";    // divided by 8 into the base currency

class PriceStoreTest : public ::testing::Test, protected CompanyQueries {
  protected:
    std::string CompanyPath() const override { return company->path(); }

    // A new entry of customer 99 for the item, in the base unit and currency.
    PriceEntry NewEntry() const {
        PriceEntry e;
        e.custID = std::to_string(CustomerID("99"));
        e.itemID = std::to_string(kItem);
        e.unitID = "106";
        e.startQty = "0";
        e.endQty = "100";
        e.price = "12.5";
        e.currencyID = "1";
        e.discount = "0";
        e.leadTime = "7";
        e.quoteTime = "2024-01-01";
        e.used = "1";  // a new entry is stored unaudited all the same
        e.expireDate = "2100-01-01";
        e.note = "O'Neil";
        return e;
    }
    std::string Pair() const {
        return " WHERE FItemID=" + std::to_string(kItem) +
               " AND FCustID=" + std::to_string(CustomerID("99"));
    }

    std::unique_ptr<TempCompany> company = std::make_unique<TempCompany>();
};

enum class Action { kAdd, kUpdate, kFloor };

struct Case {
    const char* name;
    std::vector<std::string> arrange;  // statements run first
    int storedUsed;                    // -1: no stored entry, else its FUsed
    Action action;
    std::function<void(PriceEntry&)> change;  // the entry saved or checked
    PriceOutcome::Kind expected;
    long entries;       // entries of the pair afterwards
    long headers;       // header rows of the pair afterwards; -1 unchecked
    const char* price;  // the stored entry's price afterwards ("" unchecked)
};

TEST_F(PriceStoreTest, OutcomesOfSavingAnEntry) {
    const std::string cust = std::to_string(CustomerID("99"));
    const std::string item = std::to_string(kItem);
    // A box of 12 in the item's unit group, a currency divided by 8, and a
    // floor of 1 per base unit for the customer and item.
    const std::vector<std::string> floorSetUp = {
        "INSERT INTO t_MeasureUnit (FItemID,FMeasureUnitID,FUnitGroupID,FNumber,FShortNumber,"
        "FName,FCoefficient,FDeleted) SELECT 190,190,FUnitGroupID,'box','box','Box',12,0 FROM "
        "t_ICItem WHERE FItemID=" +
            item,
        "INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FOperator,FExchangeRate,FScale,"
        "FDeleted) VALUES (90,'HKX','HKX','/',8,2,0)",
        "UPDATE t_ICItem SET FSalePriceFixingType=0 WHERE FItemID=" + item,
        "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," + item +
            "," + cust + ",1,1)"};
    auto inBoxes = [](const char* price) {
        return [price](PriceEntry& e) {
            e.unitID = kBox;
            e.currencyID = kHkd;
            e.price = price;
        };
    };
    auto noChange = [](PriceEntry&) {};

    const std::vector<std::string> none;
    const std::vector<std::string> header = {
        "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," + item +
        "," + cust + ",3,2)"};
    const std::vector<std::string> noHeaderTable = {"DROP TABLE t_Cust"};
    // clang-format off
    const Case cases[] = {
        {"new entry written, header row created", none, -1, Action::kAdd, noChange,
         PriceOutcome::kWritten, 1, 1, "12.5"},
        {"header row present is not written twice", header, -1, Action::kAdd, noChange,
         PriceOutcome::kWritten, 1, 1, "12.5"},
        {"exact duplicate refused, whatever its price and note", none, 0, Action::kAdd, noChange,
         PriceOutcome::kDuplicate, 1, 1, "5"},
        {"the same band in another unit is no duplicate", floorSetUp, 0, Action::kAdd,
         [](PriceEntry& e) { e.unitID = kBox; }, PriceOutcome::kWritten, 2, 1, ""},
        {"below the floor in another currency and unit", floorSetUp, -1, Action::kFloor,
         inBoxes("95"), PriceOutcome::kBelowFloor, 0, 1, ""},
        {"at the floor in another currency and unit", floorSetUp, -1, Action::kFloor,
         inBoxes("96"), PriceOutcome::kAccepted, 0, 1, ""},
        {"update of an unaudited entry written", none, 0, Action::kUpdate, noChange,
         PriceOutcome::kWritten, 1, 1, "12.5"},
        {"update of an audited entry refused", none, 1, Action::kUpdate, noChange,
         PriceOutcome::kAudited, 1, 1, "5"},
        {"database error carries the database's text", noHeaderTable, -1, Action::kAdd, noChange,
         PriceOutcome::kDatabaseError, 0, -1, ""},
    };
    // clang-format on

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        company = std::make_unique<TempCompany>();
        for (const std::string& sql : c.arrange) Exec(sql);
        std::int32_t stored = 0;
        if (c.storedUsed >= 0)
            stored = AddEntry(CustomerID("99"), kItem, 5, c.storedUsed);

        AppConnection db(OpenDatabase(company->path()));
        PriceStore store(db);
        PriceEntry entry = NewEntry();
        c.change(entry);
        PriceOutcome outcome;
        switch (c.action) {
            case Action::kAdd: {
                std::int32_t number = -1;
                outcome = store.Add(entry, number);
                EXPECT_EQ(number > 0, outcome.Written()) << number;
                break;
            }
            case Action::kUpdate: {
                PriceEntry loaded = NewEntry();
                loaded.price = "5";
                loaded.used = entry.used = std::to_string(c.storedUsed);
                entry.entryID = loaded.entryID = stored;
                outcome = store.Update(entry, loaded);
                break;
            }
            case Action::kFloor: {
                PriceStore::FloorQuery query;
                query.custID = CustomerID("99");
                query.itemID = kItem;
                query.basePrice = store.BasePrice(entry);
                query.unitID = entry.unitID;
                outcome = store.CheckFloor(query);
                break;
            }
        }
        EXPECT_EQ(outcome.kind, c.expected);
        EXPECT_EQ(outcome.kind == PriceOutcome::kDatabaseError,
                  outcome.error.find("t_Cust") != std::string::npos)
            << outcome.error;
        EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry" + Pair()), c.entries);
        if (c.headers >= 0) {
            EXPECT_EQ(Count("SELECT COUNT(*) FROM t_Cust" + Pair()), c.headers);
        }
        if (*c.price) {
            EXPECT_EQ(Scalar("SELECT MAX(FPrice) FROM t_CustEntry" + Pair()), c.price);
            EXPECT_EQ(Scalar("SELECT MAX(FUsed) FROM t_CustEntry" + Pair()),
                      std::to_string(std::max(c.storedUsed, 0)));
        }
    }
}

}  // namespace
}  // namespace orva::test
