// Saving: new entries with their header row, duplicates refused, updates of
// the changed columns only, texts kept intact, and what the user sees when
// the database refuses a save (another client saving at the same moment).
#include <functional>

#include "engine_fixture.h"

namespace orva::test {
namespace {

using R = UserDefInfo;

class SaveTest : public EngineTest {
  protected:
    // A new entry of customer 99 for item 01.01.001, a pair without prices.
    void FillNewEntry(const std::string& startQty = "1") {
        Open(EditorOperation::kSingle, CustomerID("99"), 0);
        ASSERT_TRUE(Type(R::kRowItemNumber, "01.01.001")) << message;
        ASSERT_TRUE(Type(R::kRowStartQty, startQty));
        ASSERT_TRUE(Type(R::kRowEndQty, "100"));
        ASSERT_TRUE(Type(R::kRowPrice, "12.5"));
        ASSERT_TRUE(Type(R::kRowLeadTime, "7"));
        ASSERT_TRUE(Type(R::kRowQuoteTime, "2026-01-01"));
        ASSERT_TRUE(Type(R::kRowNote, "O'Neil; DROP TABLE t_Cust --"));
    }
    // Rows of the customer with item 01.01.001 (1098), which it has no prices for.
    long Entries(std::int32_t cust) {
        return Count("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=1098 AND FCustID=" +
                     std::to_string(cust));
    }
    long Headers(std::int32_t cust) {
        return Count("SELECT COUNT(*) FROM t_Cust WHERE FItemID=1098 AND FCustID=" +
                     std::to_string(cust));
    }
    std::string Column(std::int32_t entry, const std::string& column) {
        return Scalar("SELECT " + column +
                      " FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    }
};

TEST_F(SaveTest, NewEntryIsInsertedUnauditedWithOneHeaderRow) {
    FillNewEntry();
    const std::int32_t cust = CustomerID("99");
    ASSERT_EQ(Headers(cust), 0);
    grid.SetText(3, R::kRowUsed, "1");  // the grid may show an audited state
    ASSERT_TRUE(engine->Add());
    const std::int32_t first = engine->SelEntryID;
    EXPECT_EQ(first, 2288);
    EXPECT_EQ(Column(first, "FUsed"), "0");
    EXPECT_EQ(Column(first, "FCustID"), std::to_string(cust));
    EXPECT_EQ(Column(first, "FUnitID"), "106");
    EXPECT_EQ(Column(first, "FPrice"), "12.5");
    EXPECT_EQ(Column(first, "FLeadTime"), "7");
    EXPECT_EQ(Column(first, "FCyID"), "1");
    EXPECT_EQ(Column(first, "FQuoteTime"), "2026-01-01");
    EXPECT_EQ(Column(first, "FExpireDate"), "2100-01-01");
    EXPECT_EQ(Column(first, "FNote"), "O'Neil; DROP TABLE t_Cust --");
    EXPECT_EQ(Headers(cust), 1);
    EXPECT_EQ(Scalar("SELECT FCurrencyID FROM t_Cust WHERE FItemID=1098 AND FCustID=" +
                     std::to_string(cust)),
              "1");

    // A second band for the same pair reuses the header row.
    ASSERT_TRUE(Type(R::kRowStartQty, "101"));
    ASSERT_TRUE(Type(R::kRowEndQty, "200"));
    ASSERT_TRUE(engine->Add());
    EXPECT_EQ(engine->SelEntryID, first + 1);
    EXPECT_EQ(Entries(cust), 2);
    EXPECT_EQ(Headers(cust), 1);
    EXPECT_EQ(SentStartingWith("INSERT INTO t_Cust ").size(), 1u);
    EXPECT_TRUE(ui->Dialogs().empty());
}

TEST_F(SaveTest, EmptyCellsAreStoredAsDefaults) {
    FillNewEntry();
    grid.SetText(3, R::kRowCurrency, "");
    grid.SetText(3, R::kRowLeadTime, "");
    grid.SetText(3, R::kRowExpireDate, "");
    ASSERT_TRUE(engine->Add());
    EXPECT_EQ(Column(engine->SelEntryID, "FCyID"), "1");
    EXPECT_EQ(Column(engine->SelEntryID, "FLeadTime"), "0");
    EXPECT_EQ(Column(engine->SelEntryID, "FExpireDate"), "NULL");
}

TEST_F(SaveTest, DuplicateIsRefusedWhateverPriceAndNote) {
    FillNewEntry();
    ASSERT_TRUE(engine->Add());
    const std::int32_t cust = CustomerID("99");
    ASSERT_TRUE(Type(R::kRowPrice, "99"));
    ASSERT_TRUE(Type(R::kRowNote, "other"));
    EXPECT_FALSE(engine->Add());
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "已有相同记录，不允许保存");
    EXPECT_EQ(ui->MessageBoxes()[0].icon, MsgIcon::kInformation);
    EXPECT_EQ(ui->MessageBoxes()[0].title, "Tesmar提示");
    EXPECT_EQ(Entries(cust), 1);

    // Another unit is another record.
    ASSERT_TRUE(Type(R::kRowUnit, "T"));
    EXPECT_TRUE(engine->Add());
    EXPECT_EQ(Entries(cust), 2);
}

// Each key of the duplicate test varied alone makes another entry: saving it
// is not refused, and neither is a later update of it that keeps its keys.
TEST_F(SaveTest, EachKeyVariedAloneIsANewEntry) {
    FillNewEntry();
    ASSERT_TRUE(engine->Add());
    const std::int32_t cust = CustomerID("99");
    struct Case {
        const char* key;
        std::function<bool()> vary;
    };
    const Case cases[] = {
        {"unit", [this] { return Type(R::kRowUnit, "T"); }},
        {"start quantity", [this] { return Type(R::kRowStartQty, "2"); }},
        {"end quantity", [this] { return Type(R::kRowEndQty, "101"); }},
        {"currency", [this] { return Pick(R::kRowCurrency, demo::kCurrencyUsd); }},
        {"effective date", [this] { return Type(R::kRowQuoteTime, "2026-01-02"); }},
        {"expiry date", [this] { return Type(R::kRowExpireDate, "2099-12-31"); }},
    };
    long expected = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        FillNewEntry();
        ASSERT_TRUE(c.vary()) << message;
        ui->ClearRecords();
        EXPECT_TRUE(engine->Add());
        EXPECT_EQ(Entries(cust), ++expected);
        Open(EditorOperation::kSingle, cust, 0, engine->SelEntryID);
        ASSERT_TRUE(Type(R::kRowPrice, "13"));
        EXPECT_FALSE(engine->Update());
        EXPECT_TRUE(ui->MessageBoxes().empty());
        EXPECT_EQ(Column(engine->SelEntryID, "FPrice"), "13");
    }
}

TEST_F(SaveTest, UpdateWritesTheCurrencyAndTheChangedColumnsOnly) {
    Open(EditorOperation::kSingle, 1021, 0, 3);
    std::size_t sent = backend->texts.size();
    EXPECT_FALSE(engine->Update());  // not refused by its own row
    EXPECT_EQ(SentStartingWith("Update t_CustEntry").back(),
              "Update t_CustEntry SET FCyID=1 WHERE FEntryID=3");

    ASSERT_TRUE(Type(R::kRowPrice, "35.25"));
    ASSERT_TRUE(Type(R::kRowNote, "it's; new"));
    ASSERT_TRUE(Type(R::kRowExpireDate, "2030-12-31"));
    sent = backend->texts.size();
    EXPECT_FALSE(engine->Update());
    EXPECT_EQ(SentSince(sent).back(),
              "Update t_CustEntry SET FPrice=35.25,FCyID=1,FExpireDate='2030-12-31',"
              "FNote='it''s; new' WHERE FEntryID=3");
    EXPECT_EQ(Column(3, "FPrice"), "35.25");
    EXPECT_EQ(Column(3, "FNote"), "it's; new");
    EXPECT_EQ(Column(3, "FDiscount"), "10");
    EXPECT_EQ(Column(3, "FUsed"), "0");
    EXPECT_TRUE(ui->Dialogs().empty());
}

TEST_F(SaveTest, UpdateThatWouldDuplicateAnotherEntryIsRefused) {
    // Entry 1 is customer 1021, item 1098, unit 106, 0-0, currency 1.
    Open(EditorOperation::kSingle, 1021, 0, 3);
    grid.SetText(3, R::kRowItemNumber, "1098");
    EXPECT_TRUE(engine->Update());
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "已有相同记录，不允许保存");
    EXPECT_EQ(Column(3, "FItemID"), "1141");
}

// Another client writes the pair's header row between the engine's look-up
// and its own insert: the entry is saved under that row, as it would have
// been had the row been there already. (The same entry written meanwhile is
// in save_conflict_test.cpp.)
TEST_F(SaveTest, AHeaderRowWrittenMeanwhileIsUsed) {
    const std::string cust = std::to_string(CustomerID("99"));
    FillNewEntry();
    bool written = false;
    backend->before = [&](std::string_view sql) {
        if (written || sql.rfind("INSERT INTO t_Cust ", 0) != 0)
            return;
        written = true;
        Exec("INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID) VALUES ('0',1098," + cust +
             ",2)");
    };
    EXPECT_TRUE(engine->Add());
    backend->before = nullptr;
    EXPECT_TRUE(written);
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_EQ(Entries(CustomerID("99")), 1);
    EXPECT_EQ(Headers(CustomerID("99")), 1);
    EXPECT_EQ(Column(engine->SelEntryID, "FPrice"), "12.5");
}

TEST_F(SaveTest, UpdateRacingAnotherClientsSameEntryIsRefusedAsADuplicate) {
    Open(EditorOperation::kSingle, 1021, 0, 3);
    ASSERT_TRUE(Type(R::kRowPrice, "1"));
    ASSERT_TRUE(Type(R::kRowStartQty, "5"));
    // Meanwhile another client stores an entry with the band this update makes.
    backend->before = [&](std::string_view sql) {
        if (sql.rfind("Update t_CustEntry", 0) != 0)
            return;
        Exec(
            "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FQuoteTime,FExpireDate) VALUES ('0',90002,1021,1141,106,5,0,2,1,"
            "'2024-01-01','2100-01-01')");
    };
    EXPECT_TRUE(engine->Update());
    EXPECT_TRUE(ui->Dialogs().empty());
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "已有相同记录，不允许保存");
    EXPECT_EQ(Column(3, "FPrice"), "33.6");
    EXPECT_EQ(Column(3, "FStartQty"), "0");
}

TEST_F(SaveTest, FailedUpdateKeepsTheStoredValues) {
    Open(EditorOperation::kSingle, 1021, 0, 3);
    ASSERT_TRUE(Type(R::kRowPrice, "1"));
    backend->before = [&](std::string_view sql) {
        if (sql.rfind("Update t_CustEntry", 0) == 0)
            Exec(
                "CREATE TRIGGER refuse BEFORE UPDATE ON t_CustEntry BEGIN "
                "SELECT RAISE(ABORT, 'refused'); END");
    };
    EXPECT_TRUE(engine->Update());
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    const auto& content = ui->Dialogs()[0].content;
    EXPECT_EQ(content.title, "添加失败");
    EXPECT_EQ(content.headline, "网络冲突：");
    ASSERT_EQ(content.details.size(), 4u);
    EXPECT_EQ(content.details[0], "请稍后再保存,如果还不成功请与网络管理员或Tesmar公司联系。");
    EXPECT_EQ(content.details[2], "");
    EXPECT_EQ(content.kind, 2);
    EXPECT_EQ(Column(3, "FPrice"), "33.6");
}

TEST_F(SaveTest, NoNumberMeansNothingIsWritten) {
    FillNewEntry();
    backend->failNumbers = true;
    EXPECT_FALSE(engine->Add());
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "提示");
    EXPECT_EQ(ui->Dialogs()[0].content.details, std::vector<std::string>{"取最大号失败。"});
    EXPECT_EQ(Headers(CustomerID("99")), 0);
    EXPECT_EQ(Entries(CustomerID("99")), 0);
}

}  // namespace
}  // namespace orva::test
