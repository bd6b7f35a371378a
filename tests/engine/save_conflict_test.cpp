// A new entry the database refuses as a clash on a unique key, another
// client having written its row between the duplicate test and the insert:
// a clash on the entry's key (the same customer, item, unit, band, currency
// and dates) is the duplicate refusal; a clash on the entry number (a row
// written with that number outside the numbering) is a failed save with the
// database's description. On the company file and, when the test server can
// be started, on PostgreSQL.
#include "engine_fixture.h"
#include "support/postgres_server.h"

namespace orva::test {
namespace {

using R = UserDefInfo;

class SaveConflictTest : public EngineTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            if (const std::string why = NewServerCompany(TempCompany::kDemo, uri_); !why.empty())
                GTEST_SKIP() << why;
        }
        EngineTest::SetUp();
    }
};

TEST_P(SaveConflictTest, OnlyAClashOnTheEntrysKeyIsADuplicate) {
    const std::string cust = std::to_string(CustomerID("99"));
    for (bool sameKey : {true, false}) {
        SCOPED_TRACE(sameKey ? "the entry's key" : "the entry number");
        Exec("DELETE FROM t_CustEntry WHERE FItemID=1098 AND FCustID=" + cust);
        ui->ClearRecords();
        Open(EditorOperation::kSingle, CustomerID("99"), 0);
        ASSERT_TRUE(Type(R::kRowItemNumber, "01.01.001")) << message;
        ASSERT_TRUE(Type(R::kRowEndQty, "100"));
        ASSERT_TRUE(Type(R::kRowPrice, "12.5"));
        ASSERT_TRUE(Type(R::kRowQuoteTime, "2026-01-01"));
        // Their row: the new entry's key under another number, or another
        // band under the number the engine drew.
        std::int32_t theirs = 0;
        backend->before = [&](std::string_view sql) {
            if (theirs != 0 || sql.rfind("INSERT INTO t_CustEntry", 0) != 0)
                return;
            theirs = sameKey ? 90001 : engine->SelEntryID;
            Exec(
                "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,"
                "FEndQty,FPrice,FCyID,FQuoteTime,FExpireDate,FNote) VALUES ('0'," +
                std::to_string(theirs) + "," + cust + ",1098,106,0," + (sameKey ? "100" : "50") +
                ",11,1,'2026-01-01','2100-01-01','theirs')");
        };
        EXPECT_FALSE(engine->Add());
        backend->before = nullptr;
        ASSERT_NE(theirs, 0);
        EXPECT_EQ(engine->SelEntryID, 0);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=1098 AND FCustID=" + cust),
                  1);  // theirs alone
        const std::vector<std::string> duplicate{"已有相同记录，不允许保存"};
        EXPECT_EQ(ui->MessageBoxTexts(), sameKey ? duplicate : std::vector<std::string>{});
        ASSERT_EQ(ui->Dialogs().size(), sameKey ? 0u : 1u);
        if (!sameKey) {
            const auto& content = ui->Dialogs()[0].content;
            EXPECT_EQ(content.title, "提示");
            ASSERT_EQ(content.details.size(), 2u);
            EXPECT_EQ(content.details[0], "保存数据失败。");
            EXPECT_FALSE(content.details[1].empty());  // the database's own description
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, SaveConflictTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "PostgreSQL" : "CompanyFile";
});

}  // namespace
}  // namespace orva::test
