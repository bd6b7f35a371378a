// A caller's write transaction on a connection: numbers and texts
// taken inside it are written together or not at all, a failing text (a
// query too) undoes only its own statements, and a second connection sees nothing until the
// commit and then numbers on from there.
#include "host/db/write_transaction.h"

#include <chrono>
#include <thread>

#include "host/app_connection.h"
#include "host/db/durable_batch.h"
#include "support/com_error_of.h"
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

class WriteTransactionTest : public TsqlTest {
  protected:
    WriteTransactionTest() : conn_(OpenAnother()) {}

    std::int64_t Count() { return Scalar("SELECT COUNT(*) FROM t_Cust").ToInteger(); }
    // Header row and entry of one pair, as a batch add writes a member.
    static std::string Member(int cust, std::int32_t entry) {
        const std::string c = std::to_string(cust);
        return "INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0',7," + c +
               ")\r\nINSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID) VALUES ('0'," +
               std::to_string(entry) + "," + c + ",7)\r\n";
    }

    AppConnection conn_;
};

TEST_P(WriteTransactionTest, NumbersAndTextsAreWrittenTogetherOrNotAtAll) {
    struct Case {
        const char* what;
        bool commit;
        std::int64_t headers;     // afterwards
        std::int32_t nextNumber;  // taken by the other connection afterwards
    };
    for (const Case& c : {Case{"rolled back", false, 0, 1}, Case{"committed", true, 1, 2}}) {
        SCOPED_TRACE(c.what);
        Run("DELETE FROM t_Cust DELETE FROM t_CustEntry DELETE FROM t_ICMaxNum");
        {
            WriteTransaction write(conn_.Backend());
            ASSERT_TRUE(write.Grouped());
            const std::int32_t number = conn_.GetICMaxNum("t_Cust");
            EXPECT_EQ(number, 1);
            conn_.Execute(Member(11, number));
            EXPECT_EQ(Count(), 0);  // not seen by another connection yet
            if (c.commit)
                write.Commit();
        }
        EXPECT_EQ(Count(), c.headers);
        EXPECT_EQ(Db().NextNumber("t_Cust"), c.nextNumber);
    }
}

TEST_P(WriteTransactionTest, AFailingTextUndoesOnlyItsOwnStatements) {
    Run(Member(11, 500));
    WriteTransaction write(conn_.Backend());
    conn_.Execute(Member(12, conn_.GetICMaxNum("t_Cust")));
    // The header row is new, the entry's number is taken: neither stays.
    EXPECT_EQ(test::ComErrorNumber([&] { conn_.Execute(Member(13, 500)); }),
              ComError::kUniqueKeyConflict);
    // Nor does a failing query take the transaction with it.
    EXPECT_EQ(test::ComErrorNumber([&] { conn_.Execute("SELECT FNone FROM t_Cust"); }),
              ComError::kDatabase);
    conn_.Execute(Member(14, conn_.GetICMaxNum("t_Cust")));
    // Only one transaction at a time on a connection.
    EXPECT_THROW(WriteTransaction{conn_.Backend()}, ComError);
    write.Commit();
    EXPECT_EQ(Column(Query("SELECT FCustID FROM t_Cust ORDER BY FCustID")),
              (std::vector<std::string>{"11", "12", "14"}));
    EXPECT_EQ(Column(Query("SELECT FEntryID FROM t_CustEntry ORDER BY FEntryID")),
              (std::vector<std::string>{"500", "501", "502"}));
}

// A batch's members, each in a write transaction of its own: one that fails
// undoes only itself, the members before and after it stay, another
// connection sees them once they are committed (before a question to the
// user, within about 50 ms on an embedded database, at the batch's end), and
// numbering goes on after them.
TEST_P(WriteTransactionTest, ABatchKeepsEachWholeMemberAndCommitsThemInTime) {
    Run("DELETE FROM t_Cust DELETE FROM t_CustEntry DELETE FROM t_ICMaxNum");
    auto member = [&](int cust, bool fail) {
        WriteTransaction write(conn_.Backend());
        // A failing member takes a number and writes its header row, then
        // its entry collides with the first member's.
        const std::int32_t number = conn_.GetICMaxNum("t_Cust");
        conn_.Execute(Member(cust, fail ? 1 : number));
        write.Commit();
    };
    {
        DurableBatch batch(conn_.Backend());
        member(11, false);
        member(12, false);
        EXPECT_EQ(test::ComErrorNumber([&] { member(13, true); }), ComError::kUniqueKeyConflict);
        member(14, false);
        batch.CommitPending();
        EXPECT_EQ(Count(), 3);
        // The lock is free: another connection takes a number at once.
        EXPECT_EQ(Db().NextNumber("t_Cust"), 4);
        // Members that take longer than a group holds the lock: the early
        // ones are committed before the batch ends.
        for (int cust = 21; cust <= 25; ++cust) {
            member(cust, false);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_GE(Count(), 6);
        batch.Finish();
    }
    EXPECT_EQ(Column(Query("SELECT FCustID FROM t_Cust ORDER BY FCustID")),
              (std::vector<std::string>{"11", "12", "14", "21", "22", "23", "24", "25"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_CustEntry").ToInteger(), 8);
}

INSTANTIATE_TEST_SUITE_P(Engines, WriteTransactionTest, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
