// The price history on the company file and on PostgreSQL: every path that
// writes an entry leaves exactly its rows (operation, changed columns, the
// module's user, one batch per command), another program's writes are
// recorded without a user, history rows cannot be rewritten, a row altered
// behind the triggers' back breaks the chain, and an entry's change whose
// history cannot be written does not happen.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <set>

#include "batch_fixture.h"
#include "browse/base_detail.h"
#include "browse/detail_commands.h"
#include "engine/audit_entries.h"
#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/controls/ledger.h"
#include "host/db/price_history.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "support/postgres_server.h"

namespace orva::batchtest {
namespace {

constexpr int kGroup = 900100;
constexpr int kItem = 900301;

// A history row as the tests compare it.
struct Logged {
    int entry = 0;
    std::string op;
    std::string columns;  // the changed columns, comma-separated
    bool operator==(const Logged&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Logged& r) {
    return os << "{" << r.entry << " " << r.op << " " << r.columns << "}";
}

std::string AllColumns() {
    std::string s;
    for (auto c : kHistoryEntryColumns) s += (s.empty() ? "" : ",") + std::string(c);
    return s;
}

class PriceHistoryTest : public BatchTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            if (const std::string why = test::NewServerCompany(test::TempCompany::kDemo, uri_);
                !why.empty())
                GTEST_SKIP() << why;
        }
        BatchTest::SetUp();
        ASSERT_TRUE(UpgradePriceHistory(Db()));
        ctx_->historyUser = demo::kAdminUserId;
        Db().SetHistoryUser(ctx_->historyUser);
        AddCustomerGroup(kGroup, "T9", 0);
        for (int i = 1; i <= 3; ++i) AddCustomer(Cust(i), "T9.00" + std::to_string(i), kGroup);
        AddItemGroup(900300, "I9", 0);
        AddItem(kItem, "I9.001", 900300);
    }

    DbBackend& Db() { return ctx_->g_Connection->Backend(); }
    static int Cust(int i) { return 900110 + i; }

    Entry Matching(int cust) {
        Entry e;
        e.cust = cust;
        e.item = kItem;
        e.endQty = 100;
        e.price = 10;
        e.quote = "2025-01-01";
        e.note = "old";
        return e;
    }
    GridValues Values() {
        GridValues g;
        g.cust = kGroup;
        g.item = kItem;
        g.endQty = 100;
        g.price = 10;
        g.quote = "2025-01-01";
        g.note = "old";
        return g;
    }
    static PriceEntry AsPriceEntry(int id, const Entry& e) {
        PriceEntry p;
        p.entryID = id;
        p.custID = std::to_string(e.cust);
        p.itemID = std::to_string(e.item);
        p.unitID = std::to_string(e.unit);
        p.startQty = FormatDouble(e.startQty);
        p.endQty = FormatDouble(e.endQty);
        p.price = FormatDouble(e.price);
        p.currencyID = std::to_string(e.currency);
        p.discount = FormatDouble(e.discount);
        p.leadTime = std::to_string(e.leadTime);
        p.quoteTime = e.quote;
        p.expireDate = e.expire;
        p.used = std::to_string(e.used);
        p.note = e.note;
        return p;
    }

    // Rows written since the last Mark.
    void Mark() { mark_ = Int("SELECT MAX(FHistID) FROM t_CustEntryHistory"); }
    RecordsetPtr Since() {
        return Query(
            "SELECT FEntryID,FOperation,FChanges,FUserID,FBatchID FROM t_CustEntryHistory "
            "WHERE FHistID>" +
            std::to_string(mark_) + " ORDER BY FHistID");
    }
    std::vector<Logged> Written() {
        std::vector<Logged> out;
        for (RecordsetPtr rs = Since(); !rs->EOF_(); rs->MoveNext()) {
            Logged r;
            r.entry = static_cast<int>(rs->Fields(0).Value().ToInteger());
            r.op = rs->Fields(1).Value().ToText();
            for (const auto& c : SplitHistoryChanges(rs->Fields(2).Value().ToText()))
                r.columns += (r.columns.empty() ? "" : ",") + c.column;
            out.push_back(r);
        }
        return out;
    }
    // The users and batches of the rows since the mark.
    std::set<std::string> Users() { return Distinct(3); }
    std::set<std::string> Batches() { return Distinct(4); }
    std::set<std::string> Distinct(int col) {
        std::set<std::string> out;
        for (RecordsetPtr rs = Since(); !rs->EOF_(); rs->MoveNext())
            out.insert(rs->Fields(col).Value().IsNull() ? "null"
                                                        : rs->Fields(col).Value().ToText());
        return out;
    }
    std::vector<int> EntriesOfGroup() {
        std::vector<int> ids;
        RecordsetPtr rs = Query("SELECT FEntryID FROM t_CustEntry WHERE FItemID=" + SqlId(kItem) +
                                " ORDER BY FCustID");
        for (; !rs->EOF_(); rs->MoveNext())
            ids.push_back(static_cast<int>(rs->Fields(0).Value().ToInteger()));
        return ids;
    }

    // A write by another program: the sqlite3 shell's connection (no
    // function or collation of the module's) or psql's.
    void Outside(const std::string& sql) {
        if (uri_.empty()) {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(company_.path().c_str(), &db), SQLITE_OK);
            char* err = nullptr;
            const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
            const std::string msg = err ? err : "";
            sqlite3_free(err);
            sqlite3_close(db);
            ASSERT_EQ(rc, SQLITE_OK) << msg;
        } else {
            PGconn* c = PQconnectdb(uri_.c_str());
            PGresult* r = PQexec(c, sql.c_str());
            const std::string msg = PQresultErrorMessage(r);
            const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
            PQfinish(c);
            ASSERT_TRUE(ok) << msg;
        }
    }
    // The same, expecting the database to refuse; its message.
    std::string OutsideRefused(const std::string& sql) {
        std::string msg;
        bool ok = false;
        if (uri_.empty()) {
            sqlite3* db = nullptr;
            sqlite3_open(company_.path().c_str(), &db);
            char* err = nullptr;
            ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK;
            msg = err ? err : "";
            sqlite3_free(err);
            sqlite3_close(db);
        } else {
            PGconn* c = PQconnectdb(uri_.c_str());
            PGresult* r = PQexec(c, sql.c_str());
            ok = PQresultStatus(r) == PGRES_COMMAND_OK;
            msg = PQresultErrorMessage(r);
            PQclear(r);
            PQfinish(c);
        }
        EXPECT_FALSE(ok) << sql;
        return msg;
    }

    std::int64_t mark_ = 0;
};

struct PathTest;

// One write path: what it does, the rows it must leave (given the entries
// of the item after it ran), and whether they name the module's user.
struct PathCase {
    const char* name;
    std::function<std::vector<Logged>(PathTest&)> run;
    bool moduleUser = true;
};

struct PathTest : PriceHistoryTest {
    static std::vector<PathCase> Cases();
};

std::vector<PathCase> PathTest::Cases() {
    using T = PathTest;
    return {
        {"the editor adds an entry",
         [](T& t) {
             t.Mark();
             std::int32_t id = 0;
             PriceStore store(*t.ctx_->g_Connection);
             EXPECT_TRUE(store.Add(AsPriceEntry(0, t.Matching(Cust(1))), id).Written());
             return std::vector<Logged>{{id, "add", AllColumns()}};
         }},
        {"the editor changes an entry's price and note",
         [](T& t) {
             const Entry e = t.Matching(Cust(1));
             const int id = t.AddEntry(e);
             t.Mark();
             PriceEntry changed = AsPriceEntry(id, e);
             changed.price = "12.5";
             changed.note = "OLD";  // a change of letter case is a change
             PriceStore store(*t.ctx_->g_Connection);
             EXPECT_TRUE(store.Update(changed, AsPriceEntry(id, e)).Written());
             return std::vector<Logged>{{id, "change", "FPrice,FNote"}};
         }},
        {"batch add over a group of three customers",
         [](T& t) {
             t.Mark();
             t.Fill(t.Values());
             std::int16_t alert = 0;
             double base = 10;
             EXPECT_EQ(t.engine_.BatchAdd(alert, base), 3);
             std::vector<Logged> want;
             for (int id : t.EntriesOfGroup()) want.push_back({id, "add", AllColumns()});
             return want;
         }},
        {"batch update of the group",
         [](T& t) {
             for (int i = 1; i <= 3; ++i) t.AddEntry(t.Matching(Cust(i)));
             t.Mark();
             GridValues g = t.Values();
             g.price = 11;
             g.leadTime = 4;
             t.Fill(g);
             std::int16_t alert = 0;
             double base = 11;
             EXPECT_EQ(t.engine_.BatchUpdate(alert, base), 3);
             std::vector<Logged> want;
             for (int id : t.EntriesOfGroup()) want.push_back({id, "change", "FPrice,FLeadTime"});
             return want;
         }},
        {"batch delete of the group",
         [](T& t) {
             std::vector<Logged> want;
             for (int i = 1; i <= 2; ++i)
                 want.push_back({t.AddEntry(t.Matching(Cust(i))), "delete", AllColumns()});
             t.Mark();
             t.Fill(t.Values());
             t.ui_->AnswerMessageBox(MsgResult::kYes);
             EXPECT_EQ(t.engine_.BatchDelete(), 2);
             return want;
         }},
        {"audit of two entries, then unaudit of one",
         [](T& t) {
             const int a = t.AddEntry(t.Matching(Cust(1)));
             const int b = t.AddEntry(t.Matching(Cust(2)));
             t.Mark();
             EXPECT_TRUE(
                 AuditEntries(*t.ctx_, false, std::to_string(a) + "," + std::to_string(b)).Done());
             EXPECT_TRUE(AuditEntries(*t.ctx_, true, std::to_string(b)).Done());
             return std::vector<Logged>{
                 {a, "audit", "FUsed"}, {b, "audit", "FUsed"}, {b, "unaudit", "FUsed"}};
         }},
        {"a refused audit writes nothing",
         [](T& t) {
             Entry audited = t.Matching(Cust(1));
             audited.used = 1;
             const int a = t.AddEntry(audited);
             t.Mark();
             EXPECT_FALSE(AuditEntries(*t.ctx_, false, std::to_string(a)).Done());
             return std::vector<Logged>{};
         }},
        {"delete from the browse window",
         [](T& t) {
             const int id = t.AddEntry(t.Matching(Cust(1)));
             t.Mark();
             BaseDetail detail(*t.ctx_);
             Ledger ledger;
             ledger.SetCols(2);
             ledger.SetRows(3);
             ledger.SetRow(3);
             ledger.SetCol(1);
             ledger.SetText(std::to_string(id));
             ledger.SetSelRow(3);
             detail.SetLDG(&ledger);
             std::int32_t result = 0;
             DeleteDetail(*t.ctx_, detail, result);
             return std::vector<Logged>{{id, "delete", AllColumns()}};
         }},
        {"the minimum price of a customer-item row",
         [](T& t) {
             t.SetCustomerFloor(Cust(1), kItem, 5, 1);
             t.Mark();
             t.Exec("Update t_Cust set FCurrencyID=2,FSELowPrice=6 where FItemID=" + SqlId(kItem) +
                    " and FCustID=" + SqlId(Cust(1)));
             t.Exec("Update t_Cust set FCurrencyID=2,FSELowPrice=6 where FItemID=" + SqlId(kItem) +
                    " and FCustID=" + SqlId(Cust(1)));  // no change
             return std::vector<Logged>{{0, "change", "FCurrencyID,FSELowPrice"}};
         }},
        {"another program changes and deletes entries",
         [](T& t) {
             const int a = t.AddEntry(t.Matching(Cust(1)));
             const int b = t.AddEntry(t.Matching(Cust(2)));
             t.Mark();
             t.Outside("UPDATE t_CustEntry SET FPrice=99 WHERE FEntryID=" + std::to_string(a));
             t.Outside("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" + std::to_string(a));
             t.Outside("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(b));
             return std::vector<Logged>{
                 {a, "change", "FPrice"}, {a, "audit", "FUsed"}, {b, "delete", AllColumns()}};
         },
         false},
    };
}

TEST_P(PathTest, EachWritePathLeavesExactlyItsRows) {
    for (const PathCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        // Each case on entries of its own.
        Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
        const std::vector<Logged> want = c.run(*this);
        EXPECT_EQ(Written(), want);
        if (want.empty())
            continue;
        const std::string user = std::to_string(demo::kAdminUserId);
        EXPECT_EQ(Users(), std::set<std::string>{c.moduleUser ? user : "null"});
        if (std::string_view(c.name).rfind("batch", 0) == 0) {
            EXPECT_EQ(Batches().size(), 1u) << "one command, one batch";
        }
        const HistoryCheck check = VerifyPriceHistory(Db());
        EXPECT_FALSE(check.brokenId) << check.why;
    }
}

TEST_P(PathTest, AnotherProgramsRowsAreSealedByTheModulesNextWrite) {
    const int a = AddEntry(Matching(Cust(1)));
    Outside("UPDATE t_CustEntry SET FPrice=99 WHERE FEntryID=" + std::to_string(a));
    HistoryCheck before = VerifyPriceHistory(Db());
    EXPECT_FALSE(before.brokenId) << before.why;
    // psql's rows are sealed by the server's trigger; the shell's wait.
    EXPECT_EQ(before.unsealed, uri_.empty() ? 1 : 0);
    AddEntry(Matching(Cust(2)));
    HistoryCheck after = VerifyPriceHistory(Db());
    EXPECT_FALSE(after.brokenId) << after.why;
    EXPECT_EQ(after.unsealed, 0);
    EXPECT_EQ(after.sealed, before.sealed + before.unsealed + 1);
}

TEST_P(PathTest, HistoryRowsCannotBeChangedOrDeleted) {
    AddEntry(Matching(Cust(1)));
    const std::string id = std::to_string(Int("SELECT MAX(FHistID) FROM t_CustEntryHistory"));
    for (const std::string& sql : {"UPDATE t_CustEntryHistory SET FChanges='x' WHERE FHistID=" + id,
                                   "UPDATE t_CustEntryHistory SET FHash=NULL WHERE FHistID=" + id,
                                   "DELETE FROM t_CustEntryHistory WHERE FHistID=" + id}) {
        SCOPED_TRACE(sql);
        EXPECT_THROW(Exec(sql), ComError);  // through the module
        EXPECT_NE(OutsideRefused(sql).find("Price history rows cannot be"), std::string::npos);
    }
    EXPECT_FALSE(VerifyPriceHistory(Db()).brokenId);
}

// Rows altered with the refusing triggers out of the way: the walk names the
// first broken one.
TEST_P(PathTest, ARowAlteredByHandBreaksTheChainThere) {
    for (int i = 1; i <= 3; ++i) AddEntry(Matching(Cust(i)));
    const std::int64_t last = Int("SELECT MAX(FHistID) FROM t_CustEntryHistory");
    const std::string middle = std::to_string(last - 1);
    const bool pg = !uri_.empty();
    const std::string off = pg ? "ALTER TABLE t_CustEntryHistory DISABLE TRIGGER USER; "
                               : "DROP TRIGGER IF EXISTS tr_CustEntryHistory_NoUpdate; "
                                 "DROP TRIGGER IF EXISTS tr_CustEntryHistory_NoDelete; ";
    struct Tamper {
        const char* name;
        std::string sql;
        std::int64_t broken;
    };
    const std::vector<Tamper> cases = {
        {"a changed price",
         "UPDATE t_CustEntryHistory SET FChanges=replace(FChanges,'10','1') "
         "WHERE FHistID=" +
             middle,
         last - 1},
        {"a row removed", "DELETE FROM t_CustEntryHistory WHERE FHistID=" + middle, last},
    };
    for (const Tamper& t : cases) {
        SCOPED_TRACE(t.name);
        // The second case removes the row the first one changed: the walk
        // then stops at the row after the gap.
        Outside(off + t.sql);
        const HistoryCheck check = VerifyPriceHistory(Db());
        ASSERT_TRUE(check.brokenId);
        EXPECT_EQ(*check.brokenId, t.broken) << check.why;
    }
}

TEST_P(PathTest, AnEntrysChangeWhoseHistoryCannotBeWrittenDoesNotHappen) {
    const int a = AddEntry(Matching(Cust(1)));
    const std::string refuse =
        uri_.empty()
            ? "CREATE TRIGGER tr_Refuse BEFORE INSERT ON t_CustEntryHistory BEGIN "
              "SELECT RAISE(ABORT, 'history refused'); END"
            : "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE "
              "EXCEPTION 'history refused'; END $$; CREATE TRIGGER tr_Refuse BEFORE INSERT ON "
              "t_CustEntryHistory FOR EACH ROW EXECUTE FUNCTION refuse()";
    Outside(refuse);
    Mark();
    EXPECT_THROW(AuditEntries(*ctx_, false, std::to_string(a)), ComError);
    EXPECT_EQ(Int("SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + SqlId(a)), 0);
    EXPECT_THROW(Exec("UPDATE t_CustEntry SET FPrice=1 WHERE FEntryID=" + SqlId(a)), ComError);
    EXPECT_DOUBLE_EQ(Read(a).price, 10);
    EXPECT_EQ(Written(), std::vector<Logged>{});
}

INSTANTIATE_TEST_SUITE_P(Stores, PathTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "PostgreSQL" : "CompanyFile";
});

}  // namespace
}  // namespace orva::batchtest
