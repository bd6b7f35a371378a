// A clerk's own login through plain libpq, past the module: what lies outside
// the clerk's rights is not read, not written and not granted; the rights
// themselves, row security and the price history cannot be undone from the
// login; inside the rights the writes the module sends go through; a change
// of the rights holds from the next statement on.
#include <algorithm>

#include "rowsec_fixture.h"

namespace orva::test {
namespace {

std::string Insert(const std::string& id, const std::string& cust, const std::string& item, int cy,
                   int used) {
    return "INSERT INTO t_CustEntry (FEntryID,FCustID,FItemID,FCyID,FQuoteTime,FExpireDate,FUsed,"
           "FStartQty) VALUES (" +
           id + "," + cust + "," + item + "," + std::to_string(cy) + ",'2030-01-01','2100-01-01'," +
           std::to_string(used) + "," + id + ") RETURNING FEntryID";
}

class ClerkAttacksTest : public RowSecurityTest {
  protected:
    void SetUp() override {
        RowSecurityTest::SetUp();
        if (IsSkipped())
            return;
        // zhangmin sees customer groups 01 and 02 and item groups 01 and 03;
        // group 03 of the customers is granted to group 0, which grants nothing.
        hiddenCust_ = OwnerScalar(
            "SELECT min(e.FCustID) FROM t_CustEntry e JOIN t_Organization o ON "
            "o.FItemID = e.FCustID WHERE o.FNumber COLLATE \"C\" LIKE '03.%'");
        hiddenItem_ = OwnerScalar(
            "SELECT min(e.FItemID) FROM t_CustEntry e JOIN t_ICItem i ON i.FItemID = e.FItemID "
            "WHERE i.FNumber COLLATE \"C\" LIKE '02.%'");
        // An audited and an unaudited entry that every clerk of the demo sees:
        // customer 01.01.001, items 01.01.001 and 01.01.002, currency 1.
        OwnerExec(Insert(unaudited_, "1021", "1098", 1, 0));
        OwnerExec(Insert(audited_, "1021", "1099", 1, 1));
        // One in currency 2, granted to zhangmin's group and not to liqiang.
        OwnerExec(Insert("990012", "1021", "1098", 2, 0));
        ASSERT_FALSE(hiddenCust_.empty() || hiddenItem_.empty());
    }

    // Everything a clerk's attack could have changed, as the owner reads it.
    std::string Fingerprint() {
        std::string all;
        for (const char* t : {"t_CustEntry", "t_Cust", "t_ItemRight", "t_OrvaAccessRight", "t_User",
                              "t_Group", "t_UserItemClassRight", "t_CustEntryHistory"})
            all += OwnerScalar(std::string("SELECT md5(coalesce(string_agg(x::text, ',' ORDER BY "
                                           "x::text), '')) FROM ") +
                               t + " x");
        return all;
    }

    std::string hiddenCust_, hiddenItem_;
    const std::string unaudited_ = "990010", audited_ = "990011";
};

TEST_F(ClerkAttacksTest, OutsideTheRightsNothingIsReadChangedOrGranted) {
    // A history row of the hidden customer, written by the owner.
    OwnerExec("UPDATE t_CustEntry SET FNote = 'owner' WHERE FCustID = " + hiddenCust_);
    const std::string before = Fingerprint();

    enum Outcome { kNothing, kRefused };
    struct Case {
        const char* name;
        const char* login;
        std::string sql;
        Outcome outcome;
        const char* says;  // part of the refusal
    };
    const std::string cust = hiddenCust_, item = hiddenItem_;
    const Case cases[] = {
        {"entries of a customer outside the rights", "zhangmin",
         "SELECT count(*) FROM t_CustEntry WHERE FCustID = " + cust, kNothing, ""},
        {"entries of an item outside the rights", "zhangmin",
         "SELECT count(*) FROM t_CustEntry WHERE FItemID = " + item, kNothing, ""},
        {"its customer-item rows", "zhangmin",
         "SELECT count(*) FROM t_Cust WHERE FCustID = " + cust, kNothing, ""},
        {"its history", "zhangmin",
         "SELECT count(*) FROM t_CustEntryHistory WHERE FCustID = " + cust, kNothing, ""},
        {"the customer in the tree's base data", "zhangmin",
         "SELECT count(*) FROM t_Organization WHERE FItemID = " + cust, kNothing, ""},
        {"the customer's row of t_Item", "zhangmin",
         "SELECT count(*) FROM t_Item WHERE FItemID = " + cust, kNothing, ""},
        {"the item in the tree's base data", "zhangmin",
         "SELECT count(*) FROM t_ICItem WHERE FItemID = " + item, kNothing, ""},
        {"entries in a currency not granted", "liqiang",
         "SELECT count(*) FROM t_CustEntry WHERE FCyID <> 1", kNothing, ""},
        {"a login that is no company user", "orva_clerk_only", "SELECT count(*) FROM t_CustEntry",
         kNothing, ""},
        {"a temporary t_User of the login's own", "zhangmin",
         "CREATE TEMP TABLE t_User ON COMMIT DROP AS SELECT * FROM public.t_User; UPDATE t_User "
         "SET "
         "FDataVokeType = 0; SELECT count(*) FROM t_CustEntry WHERE FCustID = " +
             cust,
         kNothing, ""},
        {"a temporary orva_rs_seen granting every right", "wangfang",
         "CREATE TEMP TABLE orva_rs_seen (login text, kind int, id int) ON COMMIT DROP; "
         "INSERT INTO orva_rs_seen VALUES ('wangfang', 5, -1); "
         "UPDATE t_CustEntry SET FPrice = 1 WHERE FEntryID = " +
             unaudited_,
         kRefused, "no right to change"},
        {"changing its entries", "zhangmin",
         "UPDATE t_CustEntry SET FPrice = 1 WHERE FCustID = " + cust + " RETURNING FEntryID",
         kNothing, ""},
        {"the item's minimum price", "zhangmin",
         "UPDATE t_ICItem SET FSOLowPrc = 1 WHERE FItemID = " + item + " RETURNING FItemID",
         kNothing, ""},
        {"an item's minimum price without the modify right", "wangfang",
         "Update t_ICItem set FSOLowPrc=5 Where FItemID=1098", kRefused,
         "no right to change the minimum price"},
        {"a customer's minimum price without the modify right", "wangfang",
         "Update t_Cust Set FCurrencyID=1,FSELowPrice=5 Where FItemID=(SELECT min(FItemID) FROM "
         "t_Cust)",
         kRefused, "no right to change the minimum price"},
        {"deleting its entries", "zhangmin",
         "DELETE FROM t_CustEntry WHERE FCustID = " + cust + " RETURNING FEntryID", kNothing, ""},
        {"adding an entry for it", "zhangmin", Insert("990001", cust, "1098", 1, 0), kRefused,
         "row-level security"},
        {"moving a seen entry to it", "zhangmin",
         "UPDATE t_CustEntry SET FCustID = " + cust + " WHERE FEntryID = " + unaudited_, kRefused,
         "row-level security"},
        {"changing an audited entry", "zhangmin",
         "UPDATE t_CustEntry SET FPrice = 1 WHERE FEntryID = " + audited_, kRefused, "is audited"},
        {"unauditing and changing at once", "zhangmin",
         "UPDATE t_CustEntry SET FUsed = 0, FNote = 'x' WHERE FEntryID = " + audited_, kRefused,
         "is audited"},
        {"deleting an audited entry", "zhangmin",
         "DELETE FROM t_CustEntry WHERE FEntryID = " + audited_, kRefused, "is audited"},
        {"auditing without the right", "wangfang",
         "UPDATE t_CustEntry SET FUsed = 1 WHERE FEntryID = " + unaudited_, kRefused,
         "no right to audit"},
        {"unauditing without the right", "wangfang",
         "UPDATE t_CustEntry SET FUsed = 0 WHERE FEntryID = " + audited_, kRefused,
         "no right to audit"},
        {"changing without the right", "wangfang",
         "UPDATE t_CustEntry SET FPrice = 1 WHERE FEntryID = " + unaudited_, kRefused,
         "no right to change"},
        {"deleting with group 0's right only", "liqiang",
         "DELETE FROM t_CustEntry WHERE FEntryID = " + unaudited_, kRefused, "no right to delete"},
        {"adding an audited entry without the audit right", "wangfang",
         Insert("990002", "1021", "1098", 1, 1), kRefused, "no right to add audited"},
        {"deleting a pair's row that still has entries", "zhangmin",
         "DELETE FROM t_Cust WHERE FCustID IN (SELECT FCustID FROM t_CustEntry) RETURNING FCustID",
         kNothing, ""},
        {"deleting history", "zhangmin", "DELETE FROM t_CustEntryHistory", kRefused,
         "permission denied"},
        {"writing history directly", "zhangmin",
         "SELECT orva_history_append(1, " + cust + ", 1, 'delete', '')", kRefused,
         "permission denied"},
        {"granting oneself a customer group", "zhangmin",
         "INSERT INTO t_ItemRight (FUserID,FTypeID,FItemID) VALUES (16395,1,1067)", kRefused,
         "permission denied"},
        {"granting oneself a function right", "wangfang",
         "INSERT INTO t_OrvaAccessRight (FUserID,FObjectID,FIndex,FRights) VALUES "
         "(16397,107,6,2147483647)",
         kRefused, "permission denied"},
        {"switching one's data rights off", "zhangmin",
         "UPDATE t_User SET FDataVokeType = 0 WHERE FUserID = 16395", kRefused,
         "permission denied"},
        {"joining the administrators", "zhangmin",
         "INSERT INTO t_Group (FGroupID,FUserID) VALUES (1,16395)", kRefused, "permission denied"},
        {"disabling row security", "zhangmin", "ALTER TABLE t_CustEntry DISABLE ROW LEVEL SECURITY",
         kRefused, "must be owner"},
        {"dropping a policy", "zhangmin", "DROP POLICY orva_rs_custentry ON t_CustEntry", kRefused,
         "must be owner"},
        {"dropping the rights trigger", "zhangmin",
         "DROP TRIGGER tr_CustEntry_Rights ON t_CustEntry", kRefused, "must be owner"},
        {"reading with row_security off", "zhangmin",
         "SET row_security = off; SELECT count(*) FROM t_CustEntry", kRefused,
         "row-level security"},
        {"emptying the entries", "zhangmin", "TRUNCATE t_CustEntry", kRefused, "permission denied"},
    };
    GrantClerkRoles(owner_, {"orva_clerk_only"});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " as " + c.login);
        std::vector<std::string> rows;
        const std::string err = PlainRun(Clerk(c.login), c.sql, &rows);
        if (c.outcome == kRefused) {
            EXPECT_NE(err.find(c.says), std::string::npos) << "said: " << err;
        } else {
            EXPECT_EQ(err, "");
            EXPECT_TRUE(rows.empty() || rows == std::vector<std::string>{"0"})
                << rows.size() << " rows, the first " << rows.front();
        }
    }
    EXPECT_EQ(Fingerprint(), before);
}

TEST_F(ClerkAttacksTest, InsideTheRightsTheModulesWritesGoThrough) {
    struct Case {
        const char* name;
        const char* login;
        std::string sql;
    };
    const Case cases[] = {
        {"audit with a right of one's own", "zhangmin",
         "Update t_CustEntry set FUsed=1 where FEntryID in (" + unaudited_ + ") "},
        {"unaudit", "zhangmin",
         "Update t_CustEntry set FUsed=0 where FEntryID in (" + audited_ + ") "},
        {"change with the group's right", "zhangmin",
         "UPDATE t_CustEntry SET FPrice=3,FCyID=1 WHERE FEntryID=" + unaudited_},
        {"save with nothing changed", "liqiang",
         "Update t_CustEntry SET FCyID=1 WHERE FEntryID=" + unaudited_},
        {"delete with the group's right", "zhangmin",
         "delete from t_CustEntry Where FEntryID=" + unaudited_},
        {"add with a right of one's own", "wangfang", Insert("990003", "1021", "1098", 1, 0)},
        {"add audited (batch add's automatic audit)", "zhangmin",
         Insert("990004", "1021", "1098", 2, 1)},
        {"an item's minimum price", "zhangmin",
         "Update t_ICItem set FSOLowPrc=5 Where FItemID=1098 RETURNING FItemID"},
        {"the administrator audits", "administrator",
         "Update t_CustEntry set FUsed=1 where FEntryID in (" + unaudited_ + ") "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " as " + c.login);
        PGconn* conn = Clerk(c.login);
        ASSERT_EQ(PlainRun(conn, "BEGIN"), "");
        std::vector<std::string> rows;
        EXPECT_EQ(
            PlainRun(
                conn,
                c.sql + (c.sql.find("RETURNING") == std::string::npos ? " RETURNING FEntryID" : ""),
                &rows),
            "");
        EXPECT_EQ(rows.size(), 1u);
        ASSERT_EQ(PlainRun(conn, "ROLLBACK"), "");
    }
}

TEST_F(ClerkAttacksTest, ARightsChangeHoldsFromTheNextStatement) {
    PGconn* clerk = Clerk("zhangmin");
    const std::string read = "SELECT count(*) FROM t_CustEntry WHERE FCustID = " + hiddenCust_;
    const std::string change = "UPDATE t_CustEntry SET FPrice = 2 WHERE FEntryID = " + unaudited_;
    std::vector<std::string> rows;
    ASSERT_EQ(PlainRun(clerk, read, &rows), "");
    EXPECT_EQ(rows, std::vector<std::string>{"0"});
    // Customer groups 03 and 03.01 granted to the user itself.
    OwnerExec(
        "INSERT INTO t_ItemRight (FUserID,FTypeID,FItemID) VALUES (16395,1,1067),(16395,1,1068)");
    ASSERT_EQ(PlainRun(clerk, read, &rows), "");
    EXPECT_NE(rows, std::vector<std::string>{"0"});
    OwnerExec("DELETE FROM t_ItemRight WHERE FUserID = 16395 AND FItemID IN (1067, 1068)");
    ASSERT_EQ(PlainRun(clerk, read, &rows), "");
    EXPECT_EQ(rows, std::vector<std::string>{"0"});
    // The group's function rights taken away, then given back.
    OwnerExec("UPDATE t_OrvaAccessRight SET FRights = 32768 WHERE FUserID = 2");
    EXPECT_NE(PlainRun(clerk, change), "");
    OwnerExec("UPDATE t_OrvaAccessRight SET FRights = 4423680 WHERE FUserID = 2");
    EXPECT_EQ(PlainRun(clerk, change), "");
}

TEST_F(ClerkAttacksTest, AClerksChangeExtendsTheHistoryChainFromItsTrueEnd) {
    // The chain's last row is one the clerk may not read.
    OwnerExec("UPDATE t_CustEntry SET FNote = 'owner' WHERE FCustID = " + hiddenCust_);
    ASSERT_EQ(PlainRun(Clerk("zhangmin"),
                       "UPDATE t_CustEntry SET FPrice = 7 WHERE FEntryID = " + unaudited_),
              "");
    EXPECT_EQ(OwnerScalar("SELECT FLogin FROM t_CustEntryHistory ORDER BY FHistID DESC LIMIT 1"),
              "zhangmin");
    auto db = OpenDatabase(owner_);
    const HistoryCheck check = VerifyPriceHistory(*db);
    EXPECT_FALSE(check.brokenId) << check.why;
    EXPECT_GT(check.sealed, 0);
}

}  // namespace
}  // namespace orva::test
