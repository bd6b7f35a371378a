// The ledger as of a day, on the company file and on PostgreSQL: a scripted
// sequence of adds, changes, audits, minimum price changes, deletes (with the
// pair's header row) and a move to another customer is replayed day by day,
// the ledgers of a customer and of an item are kept after each day, and the
// as-of ledger of each day must equal what was kept. On the company file the
// days are real days (the file's clock is set through SQLite's VFS); the
// test server's clock cannot be set, so there the steps are apart in time
// and the cutoff lies between them.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "batch_fixture.h"
#include "browse/tvw_builder.h"
#include "host/app_connection.h"
#include "host/db/price_history.h"
#include "host/db/price_history_asof.h"
#include "model/sql_values.h"
#include "support/postgres_server.h"

namespace orva::batchtest {
namespace {

constexpr int kGroup = 900100;
constexpr int kItem = 900301;
constexpr int kItem2 = 900302;

// The default VFS with its clock set by the test: 'now' in SQLite's date
// functions, and so the time the history records, is Now.
class FileClock {
  public:
    FileClock() : real_(sqlite3_vfs_find(nullptr)), vfs_(*real_) {
        vfs_.zName = "orva_test_clock";
        vfs_.xCurrentTimeInt64 = [](sqlite3_vfs*, sqlite3_int64* t) {
            *t = now_;
            return SQLITE_OK;
        };
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~FileClock() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(real_, 1);
    }
    FileClock(const FileClock&) = delete;
    FileClock& operator=(const FileClock&) = delete;
    // Noon (UTC) of the day.
    static void SetNoon(const Date& d) {
        // Days since 1970-01-01 (civil calendar), then Julian day milliseconds.
        const int y = d.month <= 2 ? d.year - 1 : d.year;
        const int era = y / 400;
        const int yoe = y - era * 400;
        const int doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
        const long days = era * 146097L + yoe * 365L + yoe / 4 - yoe / 100 + doy - 719468L;
        now_ = (days * 86400LL + 43200LL) * 1000LL + 210866760000000LL;
    }

  private:
    sqlite3_vfs* real_;
    sqlite3_vfs vfs_;
    static inline sqlite3_int64 now_ = 0;
};

class AsOfTest : public BatchTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            if (const std::string why = test::NewServerCompany(test::TempCompany::kDemo, uri_);
                !why.empty())
                GTEST_SKIP() << why;
        } else {
            clock_ = std::make_unique<FileClock>();
            FileClock::SetNoon(Date{2025, 2, 27});
        }
        BatchTest::SetUp();
        ASSERT_TRUE(UpgradePriceHistory(Db()));
        AddCustomerGroup(kGroup, "T9", 0);
        for (int i = 1; i <= 2; ++i) AddCustomer(Cust(i), "T9.00" + std::to_string(i), kGroup);
        AddItemGroup(900300, "I9", 0);
        AddItem(kItem, "I9.001", 900300);
        AddItem(kItem2, "I9.002", 900300);
    }
    DbBackend& Db() { return ctx_->g_Connection->Backend(); }
    static int Cust(int i) { return 900110 + i; }

    // The ledger of a customer (byItem false) or an item, each row its
    // fields joined, sorted (rows of one code have no order of their own).
    std::vector<std::string> Ledger(bool byItem, int leaf, const LedgerTables& tables = {}) {
        tvwBuilder::RightsContext all;
        all.filtered = false;
        std::vector<std::string> rows;
        for (RecordsetPtr rs =
                 Query(tvwBuilder::DetailSql(byItem, false, false, SqlId(leaf), all, tables));
             !rs->EOF_(); rs->MoveNext()) {
            std::string row;
            for (int f = 0; f < rs->FieldCount(); ++f) row += rs->Fields(f).Value().ToText() + "|";
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    int Add(int cust, int item, double price, double endQty) {
        Entry e;
        e.cust = cust;
        e.item = item;
        e.price = price;
        e.endQty = endQty;
        if (Int("SELECT COUNT(*) FROM t_Cust WHERE FCustID=" + SqlId(cust) +
                " AND FItemID=" + SqlId(item)) == 0)
            Exec("INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0'," + SqlId(item) + "," +
                 SqlId(cust) + ")");
        return AddEntry(e);
    }
    void Delete(int entry, int cust, int item) {
        Exec("DELETE FROM t_CustEntry WHERE FEntryID=" + SqlId(entry));
        if (EntryCount(cust, item) == 0)
            Exec("DELETE FROM t_Cust WHERE FCustID=" + SqlId(cust) + " AND FItemID=" + SqlId(item));
    }

    std::unique_ptr<FileClock> clock_;
};

TEST_P(AsOfTest, EachDaysLedgerIsTheOneKeptThatDay) {
    const bool file = !GetParam();
    int e1 = 0, e2 = 0, e3 = 0, e4 = 0;
    const std::vector<std::function<void()>> days = {
        [&] {
            e1 = Add(Cust(1), kItem, 10, 100);
            e2 = Add(Cust(1), kItem, 9, 200);
            e3 = Add(Cust(2), kItem, 11, 100);
            Add(Cust(1), kItem2, 3, 0);
        },
        [&] {
            Exec("UPDATE t_CustEntry SET FPrice=12.5,FNote='it''s' WHERE FEntryID=" + SqlId(e1));
            Exec("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" + SqlId(e2));
            // The header row deleted on day 3 with its last entry.
            Exec("UPDATE t_Cust SET FSELowPrice=4 WHERE FCustID=" + SqlId(Cust(2)) +
                 " AND FItemID=" + SqlId(kItem));
            Exec("UPDATE t_Cust SET FSELowPrice=5,FCurrencyID=2 WHERE FCustID=" + SqlId(Cust(1)) +
                 " AND FItemID=" + SqlId(kItem));
        },
        [&] {
            Delete(e3, Cust(2), kItem);
            Exec(
                "UPDATE t_CustEntry SET FUsed=0,FLeadTime=4,FExpireDate='2026-01-01' WHERE "
                "FEntryID=" +
                SqlId(e2));
            e4 = Add(Cust(1), kItem, 8, 300);
        },
        [&] {
            Delete(e1, Cust(1), kItem);
            Exec("UPDATE t_Cust SET FSELowPrice=6 WHERE FCustID=" + SqlId(Cust(1)) +
                 " AND FItemID=" + SqlId(kItem));
            // (Not of the pair whose header row is gone: a header row added
            // again is recorded by no history row.)
            Add(Cust(2), kItem2, 7, 50);
        },
        [&] {
            // Another program moves an entry to the other customer.
            Exec("UPDATE t_CustEntry SET FCustID=" + SqlId(Cust(2)) +
                 " WHERE FEntryID=" + SqlId(e4));
            Exec("UPDATE t_CustEntry SET FPrice=8.25 WHERE FEntryID=" + SqlId(e4));
        },
    };
    struct Kept {
        std::string cutoff;
        std::vector<std::string> cust1, cust2, item;
    };
    std::vector<Kept> kept;
    for (std::size_t d = 0; d < days.size(); ++d) {
        const Date day{2025, 3, static_cast<int>(d) + 1};
        if (file)
            FileClock::SetNoon(day);
        days[d]();
        Kept k;
        if (file) {
            k.cutoff = AsOfCutoff(day);
        } else {
            // Just after this step's last row: the next step is written later.
            k.cutoff =
                Query("SELECT MAX(FTime) FROM t_CustEntryHistory")->Fields(0).Value().ToText() +
                "9";
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        k.cust1 = Ledger(false, Cust(1));
        k.cust2 = Ledger(false, Cust(2));
        k.item = Ledger(true, kItem);
        kept.push_back(std::move(k));
    }
    ASSERT_EQ(kept[0].cust1.size(), 3u);
    ASSERT_EQ(kept[3].cust1.size(), 3u);

    for (std::size_t d = 0; d < kept.size(); ++d) {
        SCOPED_TRACE("day " + std::to_string(d + 1));
        const std::string& cutoff = kept[d].cutoff;
        EXPECT_EQ(Ledger(false, Cust(1), AsOfTables(Db(), false, Cust(1), cutoff)), kept[d].cust1);
        EXPECT_EQ(Ledger(false, Cust(2), AsOfTables(Db(), false, Cust(2), cutoff)), kept[d].cust2);
        EXPECT_EQ(Ledger(true, kItem, AsOfTables(Db(), true, kItem, cutoff)), kept[d].item);
    }
    // Before the first day: nothing of these customers yet.
    if (file) {
        EXPECT_TRUE(
            Ledger(false, Cust(1), AsOfTables(Db(), false, Cust(1), AsOfCutoff(Date{2025, 2, 28})))
                .empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, AsOfTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "PostgreSQL" : "CompanyFile";
});

// The days As of takes, and the first time each leaves out.
TEST(AsOfDay, RealDaysUpToTodayAndTheMidnightAfterThem) {
    const Date today{2026, 12, 7};
    struct Case {
        const char* typed;
        const char* cutoff;  // nullptr: refused
    } cases[] = {
        {"2025-03-01", "2025-03-02 00:00:00.000"},
        {" 2024-02-28 ", "2024-02-29 00:00:00.000"},
        {"2024-02-29", "2024-03-01 00:00:00.000"},
        {"2023-12-31", "2024-01-01 00:00:00.000"},
        {"2026-12-07", "2026-12-08 00:00:00.000"},
        {"1900-01-01", "1900-01-02 00:00:00.000"},
        {"2026-12-08", nullptr},  // after today
        {"1899-12-31", nullptr},
        {"2023-02-29", nullptr},
        {"2025-13-01", nullptr},
        {"", nullptr},
        {"yesterday", nullptr},
        {"99999-01-01", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::optional<Date> day = ParseAsOfDay(c.typed, today);
        ASSERT_EQ(day.has_value(), c.cutoff != nullptr);
        if (day) {
            EXPECT_EQ(AsOfCutoff(*day), c.cutoff);
        }
    }
}

}  // namespace
}  // namespace orva::batchtest
