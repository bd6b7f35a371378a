// Batch delete: the unaudited entries of every member that match the grid in
// everything, price included, after one question with the count.
#include "batch_fixture.h"
#include "model/sql_values.h"
#include "session/module_context.h"

namespace orva::batchtest {
namespace {

constexpr int kGroup = 900100;
constexpr int kItem = 900301;

class BatchDeleteTest : public BatchTest {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        AddCustomerGroup(kGroup, "T9", 0);
        for (int i = 1; i <= 4; ++i) AddCustomer(Cust(i), "T9.00" + std::to_string(i), kGroup);
        AddItemGroup(900300, "I9", 0);
        AddItem(kItem, "I9.001", 900300);
    }

    static int Cust(int i) { return 900110 + i; }

    Entry Matching(int cust, int item = kItem, int unit = demo::kUnitPiece) {
        Entry e;
        e.cust = cust;
        e.item = item;
        e.unit = unit;
        e.endQty = 50;
        e.price = 9.5;
        e.quote = "2025-01-01";
        e.expire = "2099-12-31";
        return e;
    }

    GridValues Values() {
        GridValues g;
        g.cust = kGroup;
        g.item = kItem;
        g.endQty = 50;
        g.price = 9.5;
        g.quote = "2025-01-01";
        g.expire = "2099-12-31";
        return g;
    }
};

TEST_F(BatchDeleteTest, DeletesUnauditedExactMatchesAfterOneQuestion) {
    const int gone1 = AddEntry(Matching(Cust(1)));
    const int gone3 = AddEntry(Matching(Cust(3)));
    Entry audited = Matching(Cust(2));
    audited.used = 1;
    const int kept1 = AddEntry(audited);
    Entry otherPrice = Matching(Cust(4));
    otherPrice.price = 9.6;
    const int kept2 = AddEntry(otherPrice);
    Entry otherUnit = Matching(Cust(4));
    otherUnit.unit = demo::kUnitBox;
    const int kept3 = AddEntry(otherUnit);
    SetCustomerFloor(Cust(1), kItem, 0, 1);

    Fill(Values());
    ui_->AnswerMessageBox(MsgResult::kYes);
    EXPECT_EQ(engine_.BatchDelete(), 2);

    const auto& boxes = ui_->MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "本次操作将删除2条记录，是否继续？");
    EXPECT_EQ(boxes[0].buttons, MsgButtons::kYesNo);
    EXPECT_EQ(boxes[0].icon, MsgIcon::kQuestion);
    EXPECT_EQ(boxes[0].title, "Tesmar提示");
    EXPECT_EQ(boxes[1].text, "此次共删除2条记录！");
    EXPECT_EQ(boxes[1].icon, MsgIcon::kInformation);

    EXPECT_FALSE(EntryExists(gone1));
    EXPECT_FALSE(EntryExists(gone3));
    EXPECT_TRUE(EntryExists(kept1));
    EXPECT_TRUE(EntryExists(kept2));
    EXPECT_TRUE(EntryExists(kept3));
    EXPECT_TRUE(HeaderExists(Cust(1), kItem)) << "header rows stay";
}

TEST_F(BatchDeleteTest, DecliningDeletesNothingAndSaysNothingMore) {
    const int entry = AddEntry(Matching(Cust(1)));
    Fill(Values());
    ui_->AnswerMessageBox(MsgResult::kNo);
    EXPECT_EQ(engine_.BatchDelete(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"本次操作将删除1条记录，是否继续？"});
    EXPECT_TRUE(EntryExists(entry));
}

TEST_F(BatchDeleteTest, NothingToDeleteAsksNothing) {
    Entry audited = Matching(Cust(1));
    audited.used = 1;
    AddEntry(audited);
    Fill(Values());
    EXPECT_EQ(engine_.BatchDelete(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"此次共删除0条记录！"});

    // A group without members.
    AddCustomerGroup(900190, "T8", 0);
    GridValues g = Values();
    g.cust = 900190;
    Fill(g);
    ui_->ClearRecords();
    EXPECT_EQ(engine_.BatchDelete(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"此次共删除0条记录！"});
}

TEST_F(BatchDeleteTest, ByItemGroupSparesOtherUnitsAndAuditedEntries) {
    ctx_->g_CategoryByCust = false;
    AddItemGroup(900400, "I8", 0);
    AddItem(900401, "I8.001", 900400, demo::kUnitKilogram);
    AddItem(900402, "I8.002", 900400, demo::kUnitPiece);
    const int gone1 = AddEntry(Matching(Cust(1), 900401, demo::kUnitKilogram));
    const int gone2 = AddEntry(Matching(Cust(1), 900402, demo::kUnitPiece));
    const int ton = AddEntry(Matching(Cust(1), 900401, demo::kUnitTon));
    Entry audited = Matching(Cust(1), 900402, demo::kUnitPiece);
    audited.used = 1;
    audited.quote = "2025-01-02";  // another key, otherwise the same
    const int kept = AddEntry(audited);
    const int otherCust = AddEntry(Matching(Cust(2), 900401, demo::kUnitKilogram));

    GridValues g = Values();
    g.cust = Cust(1);
    g.item = 900400;
    g.unit = demo::kUnitTon;  // not used by item group
    Fill(g);
    ui_->AnswerMessageBox(MsgResult::kYes);
    EXPECT_EQ(engine_.BatchDelete_Item(), 2);
    EXPECT_FALSE(EntryExists(gone1));
    EXPECT_FALSE(EntryExists(gone2));
    EXPECT_TRUE(EntryExists(ton));
    EXPECT_TRUE(EntryExists(kept));
    EXPECT_TRUE(EntryExists(otherCust));
}

// A large group goes to the database in IN lists of 1,000 members. Sizes on
// and just past a list boundary catch a member put in two lists, one left
// out, or a last short list dropped; audited entries sit inside the lists,
// away from their edges. Stopped while its second list is counted, or once
// every list is, the batch deletes nothing although the first list found
// entries.
TEST_F(BatchDeleteTest, GroupsOfThousandsAreCountedAndDeletedWholeOrNotAtAll) {
    struct Case {
        int group;
        const char* code;
        int members;
        int expected;  // one member in 500 has its entry audited
    };
    const Case cases[] = {{900500, "T7", 1000, 998}, {900600, "T6", 2001, 1997}};
    int firstID = 910000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.members);
        AddCustomerGroup(c.group, c.code, 0);
        std::string sql;
        for (int i = 0; i < c.members; ++i) {
            const int id = firstID + i;
            const std::string code = std::string(c.code) + "." + std::to_string(10000 + i);
            sql +=
                "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FName,FParentID,FLevel,FDetail) "
                "VALUES (" +
                std::to_string(id) + ",1,'" + code + "','N" + code + "'," +
                std::to_string(c.group) + ",2,1)\r\n";
            sql +=
                "INSERT INTO t_CustEntry (FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
                "FPrice,FCyID,FQuoteTime,FExpireDate,FUsed) VALUES (" +
                std::to_string(id - 210000) + "," + std::to_string(id) + "," +
                std::to_string(kItem) + ",101,0,50,9.5,1,'2025-01-01','2099-12-31'," +
                (i % 500 == 250 ? "1" : "0") + ")\r\n";
        }
        Exec(sql);
        GridValues g = Values();
        g.cust = c.group;
        Fill(g);
        for (int stopAt : {1000, c.members}) {
            ui_->ClearRecords();
            ui_->CancelProgressAt(stopAt);
            ui_->AnswerMessageBox(MsgResult::kYes);  // were the deletion asked for
            EXPECT_EQ(engine_.BatchDelete(), 0);
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                                      "此次共删除0条记录！\n操作已被用户中止：没有删除任何记录。"});
        }
        ui_->ClearRecords();
        ui_->AnswerMessageBox(MsgResult::kYes);
        EXPECT_EQ(engine_.BatchDelete(), c.expected);
        const std::string n = std::to_string(c.expected);
        EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"本次操作将删除" + n + "条记录，是否继续？",
                                                        "此次共删除" + n + "条记录！"}));
        EXPECT_EQ(Int("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID BETWEEN " + SqlId(firstID) +
                      " AND " + SqlId(firstID + c.members - 1)),
                  c.members - c.expected);
        firstID += 10000;
    }
}

TEST_F(BatchDeleteTest, AFailureReportsAndDeletesNothing) {
    const int entry = AddEntry(Matching(Cust(1)));
    const int refused = AddEntry(Matching(Cust(2)));
    RawExec("CREATE TRIGGER refuse_delete BEFORE DELETE ON t_CustEntry WHEN OLD.FEntryID=" +
            std::to_string(refused) + " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    Fill(Values());
    ui_->AnswerMessageBox(MsgResult::kYes);
    EXPECT_EQ(engine_.BatchDelete(), 0);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"本次操作将删除2条记录，是否继续？", "批量删除出错！"}));
    EXPECT_TRUE(EntryExists(entry));
    EXPECT_TRUE(EntryExists(refused));
}

}  // namespace
}  // namespace orva::batchtest
